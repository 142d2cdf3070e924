#pragma once
// Fixture for preview mode on a real X display (Xvfb in the test run): the
// preview runs in a process of its own inside a window that the test makes,
// as the desktop's display settings would.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "shell/resources/BuiltinResources.h"
#include "tests/preview/ScreensaverFile.h"

// Last: Xlib's macros (None, Bool, Status) must not meet the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>

extern char** environ;

namespace lstest {

using Clock = std::chrono::steady_clock;
// Generous: only reached when something is broken.
constexpr auto kDeadline = std::chrono::seconds(20);

inline int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

class PreviewProcess {
 public:
  // Runs argv (argv[0] the program file) with standard error into errFile.
  PreviewProcess(const std::vector<std::string>& args, const std::string& errFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    spawned_ = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~PreviewProcess() {
    if (spawned_ && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool Spawned() const { return spawned_; }
  pid_t Pid() const { return pid_; }
  // The exit code, or -1 when the process did not end by itself in time.
  int WaitForExit() {
    const auto end = Clock::now() + kDeadline;
    while (Clock::now() < end) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

 private:
  pid_t pid_ = 0;
  bool spawned_ = false;
  bool exited_ = false;
};

class PreviewX11Fixture : public ScratchFolders {
 protected:
  void SetUp() override {
    ScratchFolders::SetUp();
    display_ = XOpenDisplay(nullptr);
    if (!display_) GTEST_SKIP() << "no X display";
    XSetErrorHandler(&IgnoreXErrors);
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    ScratchFolders::TearDown();
  }

  // A mapped top-level window standing for the preview box, filled with a
  // colour that the preview must cover.
  // With `alpha`, the parent has a 32-bit visual with an alpha channel, as
  // windows of a compositing desktop may.
  Window MakeParent(int w, int h, bool alpha = false) {
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0xFF00FF;
    attributes.override_redirect = True;
    unsigned long mask = CWBackPixel | CWOverrideRedirect;
    int depth = CopyFromParent;
    Visual* visual = CopyFromParent;
    XVisualInfo info{};
    if (alpha) {
      if (!XMatchVisualInfo(display_, screen, 32, TrueColor, &info)) return 0;
      visual = info.visual;
      depth = 32;
      attributes.colormap =
          XCreateColormap(display_, RootWindow(display_, screen), visual, AllocNone);
      attributes.border_pixel = 0;
      attributes.background_pixel = 0xFFFF00FF;
      mask |= CWColormap | CWBorderPixel;
    }
    const Window parent = XCreateWindow(display_, RootWindow(display_, screen), 10, 10, w, h, 0,
                                        depth, InputOutput, visual, mask, &attributes);
    // Rendered off screen, so that windows of tests running beside this one
    // cannot cover the pixels read back.
    int event = 0, error = 0;
    if (XCompositeQueryExtension(display_, &event, &error))
      XCompositeRedirectWindow(display_, parent, CompositeRedirectAutomatic);
    XMapRaised(display_, parent);
    XSync(display_, False);
    return parent;
  }

  // The preview's window once it is mapped (0 when it does not appear).
  Window WaitForChild(Window parent) {
    const auto end = Clock::now() + kDeadline;
    while (Clock::now() < end) {
      Window root = 0, up = 0, *children = nullptr;
      unsigned count = 0;
      if (XQueryTree(display_, parent, &root, &up, &children, &count) && count > 0) {
        const Window child = children[0];
        XFree(children);
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, child, &attributes) &&
            attributes.map_state == IsViewable)
          return child;
      } else if (children) {
        XFree(children);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
  }

  // Pixels of the window that differ from the picture (0x00RRGGBB), or -1
  // when the window cannot be read.
  int DifferingPixels(Window window, const lstest::Pixels24& picture) {
    XImage* image = XGetImage(display_, window, 0, 0, picture.width, picture.height, AllPlanes,
                              ZPixmap);
    if (!image) return -1;
    // In a window with an alpha channel the picture must be opaque as well.
    const unsigned long opaque = image->depth == 32 ? 0xFFFFFFFFul : 0xFFFFFFul;
    int differing = 0;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x)
        differing += (XGetPixel(image, x, y) & opaque) != (picture.At(x, y) | (opaque & 0xFF000000));
    XDestroyImage(image);
    return differing;
  }

  // Polls until the window shows the picture; the last count of differing pixels.
  int WaitForPicture(Window window, const lstest::Pixels24& picture) {
    int differing = -1;
    for (const auto end = Clock::now() + kDeadline; Clock::now() < end;) {
      differing = DifferingPixels(window, picture);
      if (differing == 0) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return differing;
  }

  std::string NoPackageSaver() {
    lstest::ScreensaverFile file;
    file.marker = 0;
    file.Write(Saver("Bare.scr"));
    return Saver("Bare.scr").string();
  }
  std::string ErrFile() const { return (root_ / "stderr.txt").string(); }

  Display* display_ = nullptr;
};

}  // namespace lstest
