// Every input that once made a fuzz target fail is kept in
// fuzz/regressions/<target>/ and replayed here in the normal test run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/FuzzTargets.h"

namespace fs = std::filesystem;

TEST(FuzzRegressions, EverySavedInputRunsCleanly) {
  const fs::path root = fs::path(LS_SOURCE_DIR) / "fuzz" / "regressions";
  int replayed = 0;
  for (const auto& target : fs::directory_iterator(root)) {
    if (!target.is_directory()) continue;
    for (const auto& input : fs::directory_iterator(target.path())) {
      std::ifstream in(input.path(), std::ios::binary);
      std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
      SCOPED_TRACE(input.path().string());
      EXPECT_TRUE(ls::fuzz::RunTarget(target.path().filename().string(), bytes.data(), bytes.size()))
          << "regression folder names no target";
      ++replayed;
    }
  }
  RecordProperty("replayed", replayed);
}

TEST(FuzzRegressions, TargetsRejectUnknownNames) {
  const uint8_t byte = 0;
  EXPECT_FALSE(ls::fuzz::RunTarget("no-such-target", &byte, 1));
  EXPECT_TRUE(ls::fuzz::RunTarget("cmdline", &byte, 1));
}
