// pack and inspect as a person runs them: exit codes and messages.
#include <sys/wait.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/package/TestFolder.h"

namespace ls {
namespace {

namespace fs = std::filesystem;

const std::string kTool = std::string(LS_BINARY_DIR) + "/bin/lanternslide-tool";

struct ToolRun {
  int code;
  std::string out;
  std::string err;
};

ToolRun Tool(const test::TestFolder& dir, const std::string& args) {
  const std::string out = dir.Path("stdout"), err = dir.Path("stderr");
  const int status = std::system((kTool + " " + args + " >" + out + " 2>" + err).c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(out), test::ReadFile(err)};
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kTool)) GTEST_SKIP() << "lanternslide-tool is not built";
  }
};

TEST_F(ToolTest, PackAndInspectExitCodes) {
  test::TestFolder dir;
  test::WriteFile(dir.Path("a.jpg"), test::Noise(5000, 1));
  test::WriteFile(dir.Path("s.wav"), test::Noise(700, 2));
  test::WriteFile(dir.Path("p.ini"), "[Picture]\nImageCount=1\n[Pictures]\nFile0=a.jpg\nFile0Sound=s.wav\n");

  EXPECT_EQ(Tool(dir, "pack --help").code, 0);
  EXPECT_EQ(Tool(dir, "inspect --help").code, 0);
  EXPECT_EQ(Tool(dir, "pack").code, 2);
  EXPECT_EQ(Tool(dir, "pack " + dir.Path("p.ini")).code, 2);  // no -o
  EXPECT_EQ(Tool(dir, "inspect").code, 2);
  EXPECT_EQ(Tool(dir, "inspect a b").code, 2);

  const std::string out = dir.Path("Saver.scr");
  ToolRun pack = Tool(dir, "pack " + dir.Path("p.ini") + " -o " + out + " --player /bin/true");
  EXPECT_EQ(pack.code, 0) << pack.err;
  EXPECT_EQ(pack.err, "");
  ToolRun inspect = Tool(dir, "inspect " + out + " --extract " + dir.Path("x"));
  EXPECT_EQ(inspect.code, 0) << inspect.err;
  EXPECT_NE(inspect.out.find("picture 0"), std::string::npos);
  EXPECT_NE(inspect.out.find("sound of picture 0"), std::string::npos);
  EXPECT_EQ(test::ReadFile(dir.Path("x/Picture0.jpg")), test::Noise(5000, 1));
  EXPECT_EQ(test::ReadFile(dir.Path("x/PictureSound0.wav")), test::Noise(700, 2));

  ToolRun bare = Tool(dir, "inspect /bin/true");
  EXPECT_EQ(bare.code, 1);
  EXPECT_EQ(Lines(bare.err), 1) << bare.err;
  ToolRun missing = Tool(dir, "pack " + dir.Path("none.ini") + " -o " + out + ".2 --player /bin/true");
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(Lines(missing.err), 1) << missing.err;
  EXPECT_FALSE(fs::exists(out + ".2"));
}

TEST_F(ToolTest, PackUsesThePlayerBesideTheTool) {
  const std::string player = std::string(LS_BINARY_DIR) + "/bin/lanternslide";
  if (!fs::exists(player)) GTEST_SKIP() << "the player is not built";
  test::TestFolder dir;
  test::WriteFile(dir.Path("p.ini"), "[Picture]\nImageCount=0\n");
  EXPECT_EQ(Tool(dir, "pack " + dir.Path("p.ini") + " -o " + dir.Path("S.scr")).code, 0);
  const std::string whole = test::ReadFile(dir.Path("S.scr"));
  const std::string program = test::ReadFile(player);
  EXPECT_EQ(whole.substr(0, program.size()), program);
  EXPECT_EQ(Tool(dir, "inspect " + dir.Path("S.scr")).code, 0);
}

}  // namespace
}  // namespace ls
