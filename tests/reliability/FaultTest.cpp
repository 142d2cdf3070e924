// Faults from outside: the player killed mid-way, a full disk under the
// working folder, and a crash while the user settings file is written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "package/IniFile.h"
#include "package/Settings.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace ls::test {
namespace {

namespace fs = std::filesystem;

// Starts a long `simulate FILE` with the sandbox's folders; its output is dropped.
pid_t StartSimulate(const ReliabilitySandbox& box, const std::string& file) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("TMPDIR", box.TempFolder().c_str(), 1);
    setenv("XDG_CONFIG_HOME", box.ConfigFolder().c_str(), 1);
    freopen("/dev/null", "w", stdout);
    const std::string tool = ToolPath();
    execl(tool.c_str(), tool.c_str(), "simulate", file.c_str(), "--size", "320x240", "--seconds", "600",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

TEST(Fault, KilledPlayerLeavesNothingThatBreaksTheNextStart) {
  ReliabilitySandbox box;
  // A long sound makes the extraction last long enough to be cut into.
  const std::string longSound = box.WriteFile("media/long.wav", SilentWav(96u << 20));
  std::string project = box.Project();
  project += "File0Sound=" + longSound + "\n";
  const std::string scr = box.Pack(project);
  bool leftSomething = false;
  for (int delayMs : {0, 5, 20, 50, 100, 200, 400, 800}) {
    SCOPED_TRACE("killed after " + std::to_string(delayMs) + " ms");
    const pid_t pid = StartSimulate(box, scr);
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    leftSomething = leftSomething || fs::exists(box.WorkingFolder());
    box.RunDamaged(scr, {0, 1, 2, 3}, {}, 8);
  }
  // Some kill must have caught the show with its working folder made, or the
  // test did not test the clean-up of an old one.
  EXPECT_TRUE(leftSomething);
}

TEST(Fault, FullDiskDuringExtraction) {
  ReliabilitySandbox box;
  // Pictures 0 to 2 fit in 2 MB together; picture 3 does not fit after them.
  const std::vector<std::string> files = {
      box.WriteBmp("media/a.bmp", 200, 200, 0x204080),  // 120 kB
      box.WriteJpeg("media/b.jpg", 64, 48, 0x802040),
      box.WriteBmp("media/c.bmp", 700, 700, 0x408020),  // 1.47 MB
      box.WriteBmp("media/d.bmp", 500, 500, 0x808080),  // 750 kB
      box.WriteJpeg("media/e.jpg", 64, 48, 0x202020),
  };
  const std::string scr = box.Pack("[Identify]\nId=full-disk\n" + PicturesSection(files, 1));
  if (mount("tmpfs", box.TempFolder().c_str(), "tmpfs", 0, "size=2m") != 0)
    GTEST_SKIP() << "cannot mount a small file system here";
  box.RunDamaged(scr, {0, 1, 2}, {3}, 30);
  umount(box.TempFolder().c_str());
}

// The settings dialog's OK killed at any moment: the file holds one whole set
// of preferences, the old or the new.
TEST(Fault, UserSettingsSurviveACrashWhileWriting) {
  ReliabilitySandbox box;
  const std::string path = box.ConfigFolder() + "/user.ini";
  Preferences a;
  Preferences b;
  b.UserShowCaption = false;
  b.UserPlayMusic = false;
  b.TransitionStep = 7;
  b.ExitOnMouseMove = false;
  b.ExitOnKeyPress = false;
  {
    IniFile f(path);
    f.SetString("Identify", "Id", "prefs-1");
    WriteUserPreferences(f, a);
  }
  for (int delayUs : {0, 200, 500, 1000, 2000, 3000, 5000, 8000, 13000, 21000}) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      IniFile f(path);
      for (int n = 0;; ++n) WriteUserPreferences(f, n % 2 ? a : b);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    SCOPED_TRACE("killed after " + std::to_string(delayUs) + " us");
    const IniFile f(path);
    EXPECT_EQ(f.ReadString("Identify", "Id", ""), "prefs-1");
    const int step = f.ReadInteger("UserSetting", "TransitionStep", -1);
    ASSERT_TRUE(step == a.TransitionStep || step == b.TransitionStep) << step;
    const Preferences& expected = step == a.TransitionStep ? a : b;
    EXPECT_EQ(f.ReadBool("UserSetting", "UserShowCaption", !expected.UserShowCaption), expected.UserShowCaption);
    EXPECT_EQ(f.ReadBool("UserSetting", "UserShowBackground", !expected.UserShowBackground),
              expected.UserShowBackground);
    EXPECT_EQ(f.ReadBool("UserSetting", "UserPlayMusic", !expected.UserPlayMusic), expected.UserPlayMusic);
    EXPECT_EQ(f.ReadBool("UserSetting", "UserShowTransition", !expected.UserShowTransition),
              expected.UserShowTransition);
    EXPECT_EQ(f.ReadBool("ExitOption", "ExitOnMouseMove", !expected.ExitOnMouseMove), expected.ExitOnMouseMove);
    EXPECT_EQ(f.ReadBool("ExitOption", "ExitOnMouseClick", !expected.ExitOnMouseClick), expected.ExitOnMouseClick);
    EXPECT_EQ(f.ReadBool("ExitOption", "ExitOnKeyPress", !expected.ExitOnKeyPress), expected.ExitOnKeyPress);
  }
  // The next OK leaves only the settings file: no temporary file of a killed
  // write stays beside it.
  IniFile f(path);
  WriteUserPreferences(f, b);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(box.ConfigFolder())) names.push_back(e.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"user.ini"});
}

}  // namespace
}  // namespace ls::test
