#include "shell/CommandLine.h"

#include <gtest/gtest.h>

namespace ls {
namespace {

struct Case {
  std::vector<std::string> args;
  TRunMode mode;
  int32_t parent;
};

TEST(CommandLineTest, Grammar) {
  const Case cases[] = {
      {{"/s"}, TRunMode::Show, 0},
      {{"/S"}, TRunMode::Show, 0},
      {{"-s"}, TRunMode::Show, 0},
      {{"s"}, TRunMode::Show, 0},
      {{"S"}, TRunMode::Show, 0},
      {{"/c"}, TRunMode::Configure, 0},
      {{"/c:1234"}, TRunMode::Configure, 0},
      {{"C"}, TRunMode::Configure, 0},
      {{"-C", "99"}, TRunMode::Configure, 0},
      {{}, TRunMode::Configure, 0},
      {{"/p", "1234"}, TRunMode::Preview, 1234},
      {{"/P", "1234"}, TRunMode::Preview, 1234},
      {{"p", "-17"}, TRunMode::Preview, -17},
      {{"/p", "0x4A00007"}, TRunMode::Preview, 0x4A00007},
      {{"/p"}, TRunMode::Show, 0},
      {{"/p", "abc"}, TRunMode::Show, 0},
      {{"/p", "12abc"}, TRunMode::Show, 0},
      {{"/p", "4294967296"}, TRunMode::Show, 0},
      {{"/p", ""}, TRunMode::Show, 0},
      {{"/a"}, TRunMode::Show, 0},
      {{"/x", "1234"}, TRunMode::Show, 0},
      {{"/1"}, TRunMode::Show, 0},         // a digit after the switch character
      {{"12"}, TRunMode::Show, 0},
      {{"//s"}, TRunMode::Show, 0},
      {{"//c"}, TRunMode::Show, 0},   // the second slash stays: not "C"
      {{"/p:1234"}, TRunMode::Show, 0},
      {{"\xC3\xA9"}, TRunMode::Show, 0},  // a non-ASCII first byte is dropped, "\xA9" is no letter
      {{""}, TRunMode::Configure, 0},
      {{"/"}, TRunMode::Configure, 0},
      {{"1"}, TRunMode::Configure, 0},     // one character, deleted: nothing to act on
      {{"-", "1234"}, TRunMode::Configure, 0},
  };
  for (const auto& c : cases) {
    const TCommandLine got = ParseCommandLine(c.args);
    std::string shown;
    for (const auto& a : c.args) shown += "[" + a + "]";
    EXPECT_EQ(got.RunMode, c.mode) << shown;
    EXPECT_EQ(got.PreviewParent, c.parent) << shown;
  }
}

TEST(CommandLineTest, PreviewParentNeedsASecondArgument) {
  int32_t parent = 5;
  EXPECT_FALSE(ParsePreviewParent({"/p"}, parent));
  EXPECT_EQ(parent, 5);
  EXPECT_FALSE(ParsePreviewParent({"/p", "1.5"}, parent));
  EXPECT_EQ(parent, 5);
  EXPECT_TRUE(ParsePreviewParent({"/p", "2147483647", "extra"}, parent));
  EXPECT_EQ(parent, 2147483647);
}

}  // namespace
}  // namespace ls
