#pragma once
// A fresh folder per test, with the temporary folder and the user settings
// folder of the program pointed into it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace ls::test {

class TestFolder {
 public:
  TestFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("lstest-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
             std::to_string(std::random_device{}()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "tmp");
    std::filesystem::create_directories(root_ / "config");
    Save("TMPDIR");
    Save("XDG_CONFIG_HOME");
    Save("XDG_RUNTIME_DIR");
    Save("HOME");
    setenv("TMPDIR", (root_ / "tmp").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
  }
  ~TestFolder() {
    for (auto& [name, value] : saved_) {
      if (value.second)
        setenv(name.c_str(), value.first.c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    std::filesystem::remove_all(root_);
  }
  std::string Path(const std::string& name = "") const { return (root_ / name).string(); }
  std::string TempFolder() const { return (root_ / "tmp").string() + "/"; }

 private:
  void Save(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    saved_.push_back({name, {v ? v : "", v != nullptr}});
  }
  std::filesystem::path root_;
  std::vector<std::pair<std::string, std::pair<std::string, bool>>> saved_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Bytes that differ from file to file, so that a block read from the wrong
// place never matches.
inline std::string Noise(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

}  // namespace ls::test
