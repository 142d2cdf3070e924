// The show window in-process on the headless backends: what the trace does
// not show (Alt keys, the system command filter, the cursor, the background).
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "platform/app/headless/HeadlessLoop.h"
#include "platform/app/headless/HeadlessWindow.h"
#include "show/ScreensaverForm.h"
#include "tests/show/ShowTestSupport.h"

namespace ls {
namespace {

// A direct-run show in a sandbox: TMPDIR points at the sandbox's temporary
// folder for this test process.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"TMPDIR", "XDG_CONFIG_HOME"}) {
      const char* v = std::getenv(name);
      saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    setenv("TMPDIR", box.TempFolder().c_str(), 1);
    setenv("XDG_CONFIG_HOME", box.ConfigFolder().c_str(), 1);
    SetApplication(&loop);
    window.SetCursorPos({200, 150});
    window.Show();
  }
  void TearDown() override {
    SetApplication(nullptr);
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }

  std::unique_ptr<TScreensaverForm> Start(const std::string& extraIni) {
    box.WriteDirectRunSettings(
        test::PicturesSection({box.WriteBmp("media/p.bmp", 32, 24, 0xFF0000)}, 1) + extraIni);
    ShowEnvironment env;
    env.programPath = box.WriteFile("player", "no package here");
    env.window = &window;
    env.media = MediaBackend::kHeadless;
    return std::make_unique<TScreensaverForm>(env);
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  test::ShowSandbox box;
  HeadlessLoop loop{0};
  HeadlessWindow window{loop, 400, 300};
};

TEST_F(FormTest, AnyKeyWithAltEndsTheShowOnlyWithKeyExit) {
  for (bool keyExit : {true, false}) {
    loop.ResetTerminated();
    auto form = Start(std::string("[ExitOption]\nExitOnKeyPress=") + (keyExit ? "1" : "0") + "\n");
    ScriptedInput altF4;
    altF4.kind = ScriptedInput::Kind::kKey;
    altF4.code = 0x73;
    altF4.alt = true;
    window.Deliver(altF4);
    EXPECT_EQ(loop.Terminated(), keyExit);
  }
}

TEST_F(FormTest, RefusesOnlyTheScreensaverCommand) {
  auto form = Start("");
  EXPECT_TRUE(form->WMSysCommand(0xF140));
  EXPECT_TRUE(form->WMSysCommand(0xF14F));  // the low four bits do not count
  EXPECT_FALSE(form->WMSysCommand(0xF020));  // minimise
  EXPECT_FALSE(form->WMSysCommand(0xF170));  // monitor power
}

TEST_F(FormTest, CursorHiddenDuringTheShowAndReferenceTaken) {
  auto form = Start("");
  EXPECT_FALSE(window.CursorVisible());
  EXPECT_EQ(form->LastCursorPos(), (Point{200, 150}));
  form.reset();
  EXPECT_TRUE(window.CursorVisible());
}

struct BackgroundCase {
  const char* name;
  bool write;         // write the file at all
  bool decodable;     // with a picture in it
  int expectedMod;
};

class Backgrounds : public FormTest, public ::testing::WithParamInterface<BackgroundCase> {};

// A background file that is missing, or exists but cannot be decoded, leaves
// the colour alone (BackgroundMod 1); a good one keeps BackgroundMod 2.
TEST_P(Backgrounds, FallBackToTheColour) {
  const BackgroundCase c = GetParam();
  std::string path = box.Path("media/bg.bmp");
  if (c.write) {
    if (c.decodable) box.WriteBmp("media/bg.bmp", 8, 8, 0x123456);
    else box.WriteFile("media/bg.bmp", "BM but broken");
  }
  auto form = Start("[Background]\nBackgroundMod=2\nBackgroundImageMode=1\nBackgroundImage=" + path + "\n");
  EXPECT_EQ(form->BackgroundMod(), c.expectedMod);
  EXPECT_TRUE(loop.RunFor(3000));  // and the show goes on
  EXPECT_EQ(form->CurrentPicture(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Backgrounds,
                         ::testing::Values(BackgroundCase{"Good", true, true, 2},
                                           BackgroundCase{"Missing", false, false, 1},
                                           BackgroundCase{"Undecodable", true, false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ls
