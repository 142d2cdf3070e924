// Exit rules, preferences and the working folder, through `simulate`.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/show/ShowTestSupport.h"

namespace ls::test {
namespace {

namespace fs = std::filesystem;

struct ExitCase {
  const char* name;
  const char* exitOptions;  // [ExitOption] lines
  const char* input;
  const char* reason;  // expected exit reason
  uint32_t at;         // expected time of the exit (0: the time limit)
};

class ExitRules : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitRules, EndTheShowAsChosen) {
  const ExitCase c = GetParam();
  ShowSandbox box;
  box.WriteDirectRunSettings(PicturesSection({box.WriteBmp("media/p.bmp", 32, 24, 0xFF0000)}, 1) +
                             "[ExitOption]\n" + c.exitOptions);
  // 640x480: the cursor starts at (320, 240).
  const auto trace =
      box.Simulate(ShowRunnerPath(), std::string("--size 640x480 --seconds 8 --input '") + c.input + "'");
  const auto exits = Events(trace, "exit");
  ASSERT_EQ(exits.size(), 1u);
  EXPECT_EQ(exits[0].Str("reason"), c.reason);
  EXPECT_NEAR(exits[0].t, c.at ? c.at : 8000u, 2);
  EXPECT_EQ(trace.back().ev, "end");
}

constexpr const char* kNone = "ExitOnMouseMove=0\nExitOnMouseClick=0\nExitOnKeyPress=0\n";
constexpr const char* kAll = "ExitOnMouseMove=1\nExitOnMouseClick=1\nExitOnKeyPress=1\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitRules,
    ::testing::Values(
        ExitCase{"EscWithoutKeyExit", kNone, "3000:key:65;3500:key:27", "esc", 3500},
        ExitCase{"AnyKey", kAll, "3000:key:65", "key", 3000},
        ExitCase{"KeyExitOff", kNone, "3000:key:65;3100:key:32", "time", 0},
        ExitCase{"ClickOn", kAll, "3000:click", "click", 3000},
        ExitCase{"ClickOff", kNone, "3000:click", "time", 0},
        ExitCase{"TenRightStays", kAll, "3000:move:330,240", "time", 0},
        ExitCase{"TenDownStays", kAll, "3000:move:320,250", "time", 0},
        ExitCase{"ElevenRightEnds", kAll, "3000:move:331,240", "move", 3000},
        ExitCase{"ElevenDownEnds", kAll, "3000:move:320,251", "move", 3000},
        // Slow steps of 10 pixels never end it: the reference follows.
        ExitCase{"SlowSteps", kAll, "1000:move:330,240;1100:move:340,240;1200:move:350,250", "time", 0},
        // 300 pixels left is harmless and becomes the reference: 11 to the
        // right of it ends the show, though it is far left of the start.
        ExitCase{"LeftMovesReference", kAll, "3000:move:20,240;3500:move:31,240", "move", 3500},
        ExitCase{"MoveOff", "ExitOnMouseMove=0\n", "3000:move:600,400", "time", 0},
        ExitCase{"Deactivation", kNone, "3000:deactivate", "deactivate", 3000}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

// The user settings file counts only when its Id matches the package's.
TEST(Preferences, UserSettingsFileAppliesOnlyWithTheSameId) {
  for (bool matching : {true, false}) {
    ShowSandbox box;
    const std::string scr = box.Pack(
        PicturesSection({box.WriteBmp("media/p.bmp", 32, 24, 0xFF0000)}, 1,
                        "File{i}TransitionMode=5\n") +
        "[Identify]\nId=2026-12-11 10:00\n[Transition]\nTransitionStep=3\n"
        "[ExitOption]\nExitOnKeyPress=1\n");
    box.WriteUserSettings(scr, std::string("[Identify]\nId=") +
                                   (matching ? "2026-12-11 10:00" : "2025-01-01 09:00") +
                                   "\n[UserSetting]\nTransitionStep=9\nUserShowTransition=0\n"
                                   "[ExitOption]\nExitOnKeyPress=0\n");
    const auto trace = box.Simulate(scr, "--seconds 6 --input 4000:key:65");
    const auto slides = Events(trace, "slide");
    ASSERT_FALSE(slides.empty());
    EXPECT_EQ(slides[0].Int("step"), matching ? 9 : 3);
    EXPECT_EQ(slides[0].Int("style"), matching ? 0 : 5);
    const auto exits = Events(trace, "exit");
    ASSERT_EQ(exits.size(), 1u);
    EXPECT_EQ(exits[0].Str("reason"), matching ? "time" : "key");
  }
}

struct CaptionCase {
  bool showCaption;
  bool userShowCaption;
  const char* text;
  bool shown;
};

class Captions : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(Captions, NeedFlagPreferenceAndText) {
  const CaptionCase c = GetParam();
  ShowSandbox box;
  const std::string scr = box.Pack(
      PicturesSection({box.WriteBmp("media/p.bmp", 32, 24, 0xFF0000)}, 1,
                      std::string("File{i}ShowCaption=") + (c.showCaption ? "1" : "0") +
                          "\nFile{i}Caption=" + c.text + "\n") +
      "[Identify]\nId=x\n");
  box.WriteUserSettings(scr, std::string("[Identify]\nId=x\n[UserSetting]\nUserShowCaption=") +
                                 (c.userShowCaption ? "1" : "0") + "\n");
  const auto slides = Events(box.Simulate(scr, "--seconds 5"), "slide");
  ASSERT_FALSE(slides.empty());
  EXPECT_EQ(slides[0].Bool("caption"), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, Captions,
                         ::testing::Values(CaptionCase{true, true, "Lake · 湖", true},
                                           CaptionCase{true, true, "", false},
                                           CaptionCase{false, true, "Lake", false},
                                           CaptionCase{true, false, "Lake", false}),
                         [](const ::testing::TestParamInfo<CaptionCase>& info) {
                           const CaptionCase& c = info.param;
                           return std::string(c.showCaption ? "Wanted" : "NotWanted") +
                                  (c.userShowCaption ? "UserOn" : "UserOff") +
                                  (*c.text ? "WithText" : "NoText");
                         });

// UserShowTransition off: style 0 for every picture, and the step is still handed on.
TEST(Preferences, TransitionsOffGiveStyleZeroAndKeepTheStep) {
  ShowSandbox box;
  const std::string scr = box.Pack(
      PicturesSection({box.WriteBmp("media/a.bmp", 32, 24, 0xFF0000),
                       box.WriteBmp("media/b.bmp", 32, 24, 0x00FF00)},
                      1, "File{i}TransitionMode=-1\n") +
      "[Identify]\nId=y\n");
  box.WriteUserSettings(scr, "[Identify]\nId=y\n[UserSetting]\nUserShowTransition=0\nTransitionStep=10\n");
  const auto slides = Events(box.Simulate(scr, "--seconds 12"), "slide");
  ASSERT_GE(slides.size(), 3u);
  for (const auto& s : slides) {
    EXPECT_EQ(s.Int("style"), 0);
    EXPECT_EQ(s.Int("step"), 10);
  }
}

TEST(DirectRun, MediaInPlaceStepFourAndNothingLeftBehind) {
  ShowSandbox box;
  const std::string picture = box.WriteBmp("media/p.bmp", 32, 24, 0xFF0000);
  const std::string sound = box.WriteWav("media/s.wav", 200);
  box.WriteDirectRunSettings(PicturesSection({picture}, 1, "File{i}Sound=" + sound + "\n") +
                             "[Music]\nMusicCount=1\n[Musics]\nMusic1=" +
                             box.WriteWav("media/m.wav", 500) + "\n");
  const auto trace = box.Simulate(ShowRunnerPath(), "--seconds 8");
  EXPECT_EQ(trace.front().Str("mode"), "direct");
  const auto slides = Events(trace, "slide");
  ASSERT_FALSE(slides.empty());
  EXPECT_EQ(slides[0].Int("step"), 4);
  const auto sounds = Events(trace, "sound");
  ASSERT_FALSE(sounds.empty());
  EXPECT_EQ(sounds[0].Str("file"), sound);
  const auto tracks = Events(trace, "track");
  ASSERT_FALSE(tracks.empty());
  EXPECT_EQ(tracks[0].Str("file"), box.Path("media/m.wav"));
  EXPECT_TRUE(trace.back().Bool("workdir_removed"));
  // The temporary folder holds nothing but the settings file it was given.
  std::vector<std::string> left;
  for (const auto& f : fs::directory_iterator(box.TempFolder())) left.push_back(f.path().filename());
  EXPECT_EQ(left, (std::vector<std::string>{"globalscreensaverini.ini"}));
}

TEST(Shutdown, WorkingFolderIsGoneAfterTheShow) {
  ShowSandbox box;
  const std::string scr = box.Pack(
      PicturesSection({box.WriteBmp("media/p.bmp", 32, 24, 0xFF0000)}, 1, "File{i}Sound=" +
                      box.WriteWav("media/s.wav", 200) + "\n"));
  // A folder left by a show that was killed is replaced, then removed too.
  fs::create_directories(box.WorkingFolder() + "/pictures");
  const auto trace = box.Simulate(scr, "--seconds 5 --input 4000:key:27");
  EXPECT_EQ(Events(trace, "exit").at(0).Str("reason"), "esc");
  EXPECT_TRUE(trace.back().Bool("workdir_removed"));
  EXPECT_FALSE(fs::exists(box.WorkingFolder()));
}

}  // namespace
}  // namespace ls::test
