#include "tests/win32/e2e/Win32Desktop.h"

#include <algorithm>
#include <cstdlib>

#include "platform/files/win32/WideText.h"

namespace ls::e2e {

std::wstring WindowsPath(const std::string& path) {
  std::wstring out = Widen(path);
  std::replace(out.begin(), out.end(), L'/', L'\\');
  if (!out.empty() && out[0] == L'\\' && (out.size() < 2 || out[1] != L'\\')) out = L"Z:" + out;
  return out;
}

std::string WindowsPathUtf8(const std::string& path) { return Narrow(WindowsPath(path)); }

void PumpMessages(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    PumpMessages(pollMs);
  }
}

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Start(const std::string& program, const std::wstring& arguments,
                         std::string* why) {
  Kill();
  const std::wstring path = WindowsPath(program);
  std::wstring commandLine = L"\"" + path + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    if (why) *why = "CreateProcessW failed with error " + std::to_string(GetLastError());
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  return true;
}

bool ChildProcess::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::WaitForExit(DWORD timeoutMs) {
  if (!process_) return std::nullopt;
  // Messages keep flowing meanwhile: the child may be waiting for a window
  // of this process to answer.
  if (!WaitUntil([this] { return !Running(); }, timeoutMs)) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
  return code;
}

void ChildProcess::Kill() {
  if (!process_) return;
  if (Running()) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
  process_ = nullptr;
}

namespace {

struct WindowSearch {
  DWORD pid;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid && (!search->visibleOnly || IsWindowVisible(window)))
    search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly) {
  WindowSearch search{pid, visibleOnly, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring WindowClass(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

Bitmap CaptureScreenRect(const Rect& area) {
  Bitmap out;
  if (area.IsEmpty()) return out;
  const int w = area.Width(), h = area.Height();
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down rows, as Bitmap keeps them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    if (BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY | CAPTUREBLT)) {
      GdiFlush();
      out.Resize(w, h);
      const auto* src = static_cast<const uint32_t*>(bits);
      for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) out.Data()[i] = src[i] & 0xFFFFFFu;
    }
    SelectObject(memory, old);
  }
  if (dib) DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return out;
}

Bitmap CaptureScreen() {
  return CaptureScreenRect(Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

PictureDistance CompareBlocks(const Bitmap& shot, const Bitmap& reference, int block,
                              int tolerance) {
  PictureDistance d;
  if (shot.Width() != reference.Width() || shot.Height() != reference.Height() || block < 1) {
    d.meanDifference = 255;
    return d;
  }
  const int bw = shot.Width() / block, bh = shot.Height() / block;
  if (bw == 0 || bh == 0) {
    d.meanDifference = 255;
    return d;
  }
  double total = 0;
  int close = 0;
  for (int by = 0; by < bh; ++by) {
    for (int bx = 0; bx < bw; ++bx) {
      int64_t a[3] = {}, b[3] = {};
      for (int y = by * block; y < (by + 1) * block; ++y) {
        const Pixel* ra = shot.Row(y);
        const Pixel* rb = reference.Row(y);
        for (int x = bx * block; x < (bx + 1) * block; ++x)
          for (int c = 0; c < 3; ++c) {
            a[c] += (ra[x] >> (8 * c)) & 255;
            b[c] += (rb[x] >> (8 * c)) & 255;
          }
      }
      const double n = double(block) * block;
      double worst = 0;
      for (int c = 0; c < 3; ++c) {
        const double diff = std::abs(double(a[c] - b[c])) / n;
        total += diff;
        worst = std::max(worst, diff);
      }
      if (worst <= tolerance) ++close;
    }
  }
  const double blocks = double(bw) * bh;
  d.meanDifference = total / (3 * blocks);
  d.closeBlocks = close / blocks;
  return d;
}

int64_t CountDifferentPixels(const Bitmap& a, const Bitmap& b, Point* first) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return int64_t(std::max(a.Width(), b.Width())) * std::max(a.Height(), b.Height());
  int64_t count = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (((a.At(x, y) ^ b.At(x, y)) & 0xFFFFFFu) != 0) {
        if (count == 0 && first) *first = {x, y};
        ++count;
      }
  return count;
}

}  // namespace ls::e2e
