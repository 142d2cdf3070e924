#pragma once
// What the end-to-end tests do on the Windows desktop from outside the
// player: start it as a child process (killed when a test fails, so nothing
// is left running), find its windows, read the screen, and judge pictures.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"

namespace ls::e2e {

// A path of the build (a POSIX path when the build ran on Linux) as Windows
// takes it: Wine's drive Z: is the root of the Linux file system.
std::wstring WindowsPath(const std::string& path);
std::string WindowsPathUtf8(const std::string& path);

// Handles the calling thread's window messages (so that windows of this
// process, such as a preview parent, answer the messages other processes send
// them) and waits up to ms milliseconds.
void PumpMessages(DWORD ms);

// Polls `done` (with messages pumped in between) until it holds or timeoutMs
// passes; true when it held. A bound against a hang, not a timing goal.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs = 50);

// A program started with CreateProcessW. The destructor kills it when it
// still runs, and waits for it, so a failed test leaves nothing behind.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `program` with the arguments (appended to the quoted program path
  // as they are). False, with the system's error in `why`, when it cannot.
  bool Start(const std::string& program, const std::wstring& arguments, std::string* why = nullptr);
  DWORD Pid() const { return pid_; }
  bool Running() const;
  // The exit code once the process has ended within timeoutMs; nothing when
  // it still runs then.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);
  void Kill();

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// Top-level windows of a process, visible ones only when asked.
std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly);
std::wstring WindowText(HWND window);
std::wstring WindowClass(HWND window);

// The screen (the virtual screen's primary monitor area at (0, 0)) as a
// bitmap, read through the screen's device context.
Bitmap CaptureScreen();
// A rectangle of the screen.
Bitmap CaptureScreenRect(const Rect& area);

// How far a screenshot is from a reference picture of the same size,
// compared on the means of square blocks (so that small differences of
// decoding and text rendering between the two systems do not count, while
// another picture, or the same one darkened, does).
struct PictureDistance {
  double meanDifference = 0;  // mean over blocks and channels, 0..255
  double closeBlocks = 0;     // share of blocks whose channels all differ by <= the tolerance
};
PictureDistance CompareBlocks(const Bitmap& shot, const Bitmap& reference, int block = 16,
                              int tolerance = 12);

// Pixels of a and b (same size) that differ in B, G or R; the first such
// pixel in `first` when there is one.
int64_t CountDifferentPixels(const Bitmap& a, const Bitmap& b, Point* first = nullptr);

}  // namespace ls::e2e
