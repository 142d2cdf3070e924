// The real player on a display (the test script runs ctest under Xvfb): the
// demo screensaver's show comes up full screen, shows its pictures, ends on a
// key press with exit code 0 and leaves nothing behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "platform/graphics/Png.h"
#include "tests/show/ShowTestSupport.h"

// Xlib last: its macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace ls::test {
namespace {

namespace fs = std::filesystem;

// The whole root window as a bitmap.
std::optional<Bitmap> Screenshot() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return std::nullopt;
  const ::Window root = DefaultRootWindow(d);
  XWindowAttributes a;
  XGetWindowAttributes(d, root, &a);
  XImage* img = XGetImage(d, root, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  std::optional<Bitmap> out;
  if (img) {
    Bitmap b(a.width, a.height);
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x) b.Set(x, y, XGetPixel(img, x, y) & 0xFFFFFF);
    out = std::move(b);
    XDestroyImage(img);
  }
  XCloseDisplay(d);
  return out;
}

int DistinctColours(const Bitmap& b) {
  std::set<uint32_t> colours;
  for (int y = 0; y < b.Height(); y += 7)
    for (int x = 0; x < b.Width(); x += 7) colours.insert(b.At(x, y) & 0xFFFFFF);
  return static_cast<int>(colours.size());
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TEST(RealPlayer, DemoShowRunsAndEndsOnAKey) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  ShowSandbox box;
  ASSERT_EQ(box.Run(Quote(ToolPath()) + " demo-media " + Quote(box.Path("media")) + " >/dev/null")
                .exitCode,
            0);
  const std::string scr = box.Path("Demo.scr");
  ASSERT_EQ(box.Run(Quote(ToolPath()) + " pack " + Quote(box.Path("media/demo.ini")) + " -o " +
                    Quote(scr) + " --player " + Quote(ShowRunnerPath()) + " >/dev/null")
                .exitCode,
            0);
  const auto before = Screenshot();
  ASSERT_TRUE(before.has_value());

  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("TMPDIR", box.TempFolder().c_str(), 1);
    setenv("XDG_CONFIG_HOME", box.ConfigFolder().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    execl(scr.c_str(), scr.c_str(), "/s", static_cast<char*>(nullptr));
    _exit(127);
  }
  // The splash fades in and stays 4 s, then the first picture comes; on a
  // busy machine with software rendering that takes a while.
  SleepMs(16000);
  EXPECT_TRUE(fs::exists(box.WorkingFolder() + "/pictures"));
  const auto during = Screenshot();
  ASSERT_TRUE(during.has_value());
  WritePng(*during, std::string(LS_BINARY_DIR) + "/show-real-player-during.png");
  EXPECT_GT(DistinctColours(*during), 200) << "the screen shows no picture";
  EXPECT_FALSE(*during == *before);

  const int key = std::system(
      "xdotool search --onlyvisible --name '^Screen Saver$' windowfocus --sync key --clearmodifiers a 2>/dev/null");
  EXPECT_EQ(key, 0);
  int status = 0;
  pid_t done = 0;
  for (int i = 0; i < 100 && done == 0; ++i) {
    done = waitpid(pid, &status, WNOHANG);
    if (done == 0) SleepMs(100);
  }
  if (done == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << "the show did not end on a key press";
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(fs::exists(box.WorkingFolder()));
  SleepMs(300);
  const auto after = Screenshot();
  ASSERT_TRUE(after.has_value());
  WritePng(*after, std::string(LS_BINARY_DIR) + "/show-real-player-after.png");
  EXPECT_TRUE(*after == *before) << "a window was left on screen";
}

// The movement rule reads the system cursor position: moving the mouse 300
// pixels left and then 40 to the right of that ends the show.
TEST(RealPlayer, MouseMovementEndsTheShow) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  ShowSandbox box;
  const std::string scr = box.Pack(
      PicturesSection({box.WriteBmp("media/p.bmp", 64, 48, 0x2040C0)}, 3) +
      "[ExitOption]\nExitOnMouseMove=1\nExitOnKeyPress=1\n");
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("TMPDIR", box.TempFolder().c_str(), 1);
    setenv("XDG_CONFIG_HOME", box.ConfigFolder().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    execl(scr.c_str(), scr.c_str(), "/s", static_cast<char*>(nullptr));
    _exit(127);
  }
  SleepMs(6000);
  EXPECT_EQ(std::system("xdotool mousemove 600 500 sleep 0.5 mousemove 640 500"), 0);
  int status = 0;
  pid_t done = 0;
  for (int i = 0; i < 50 && done == 0; ++i) {
    done = waitpid(pid, &status, WNOHANG);
    if (done == 0) SleepMs(100);
  }
  if (done == 0) {
    // End it the other way, so that nothing is left behind.
    std::system("xdotool search --onlyvisible --name '^Screen Saver$' windowfocus --sync key a");
    for (int i = 0; i < 50 && done == 0; ++i) {
      done = waitpid(pid, &status, WNOHANG);
      if (done == 0) SleepMs(100);
    }
    if (done == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
    FAIL() << "moving the mouse did not end the show";
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(fs::exists(box.WorkingFolder()));
}

}  // namespace
}  // namespace ls::test
