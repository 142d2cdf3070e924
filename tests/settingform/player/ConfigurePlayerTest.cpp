// The player itself in configure mode: the dialog appears with its caption,
// its start has reset the user settings file, and closing it ends the process
// with code 0 without storing anything.

#include <algorithm>
#include <filesystem>
#include <string>

#include "package/IniFile.h"
#include "tests/preview/PreviewX11Fixture.h"

#include <X11/Xatom.h>

namespace {

using lstest::Clock;
using lstest::PreviewProcess;

class ConfigurePlayerTest : public lstest::PreviewX11Fixture {
 protected:
  // The top-level window of process pid whose title is `title`; 0 when none appears.
  Window WaitForDialog(pid_t pid, const std::string& title) {
    const Atom netPid = XInternAtom(display_, "_NET_WM_PID", False);
    const Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    for (const auto end = Clock::now() + lstest::kDeadline; Clock::now() < end;) {
      Window root = 0, up = 0, *children = nullptr;
      unsigned count = 0;
      Window found = 0;
      if (XQueryTree(display_, DefaultRootWindow(display_), &root, &up, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
          if (Property(children[i], netPid, XA_CARDINAL) != std::to_string(pid)) continue;
          XWindowAttributes attributes;
          if (Property(children[i], netName, utf8) == title &&
              XGetWindowAttributes(display_, children[i], &attributes) &&
              attributes.map_state == IsViewable)
            found = children[i];
        }
        if (children) XFree(children);
      }
      if (found) return found;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
  }

  // A text property as UTF-8, or a CARDINAL as its decimal number.
  std::string Property(Window window, Atom name, Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long items = 0, rest = 0;
    unsigned char* data = nullptr;
    std::string value;
    if (XGetWindowProperty(display_, window, name, 0, 1024, False, type, &actual, &format, &items,
                           &rest, &data) == Success &&
        data) {
      if (type == XA_CARDINAL && format == 32 && items == 1)
        value = std::to_string(*reinterpret_cast<unsigned long*>(data));
      else if (format == 8)
        value.assign(reinterpret_cast<char*>(data), items);
    }
    if (data) XFree(data);
    return value;
  }

  // What the window's close box sends.
  void SendDeleteWindow(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
  }
};

TEST_F(ConfigurePlayerTest, NoArgumentsOpenTheDialogWhichEndsTheProcessWhenClosed) {
  PreviewProcess player({LS_PLAYER}, ErrFile());
  ASSERT_TRUE(player.Spawned());
  const Window dialog = WaitForDialog(player.Pid(), "Untitled Screen Saver 屏幕保护程序设置");
  ASSERT_NE(dialog, 0u);
  // The dialog's start has already made the user settings file for this
  // program file (a bare player: an empty Id, nothing else).
  const std::string baseName = std::filesystem::path(LS_PLAYER).stem().string();
  const std::filesystem::path user = UserFile(baseName);
  ASSERT_TRUE(std::filesystem::exists(user));
  const ls::IniFile before(user.string());
  EXPECT_TRUE(before.SectionExists("Identify"));
  EXPECT_FALSE(before.SectionExists("UserSetting"));

  SendDeleteWindow(dialog);
  EXPECT_EQ(player.WaitForExit(), 0);
  EXPECT_FALSE(ls::IniFile(user.string()).SectionExists("UserSetting"));
}

}  // namespace
