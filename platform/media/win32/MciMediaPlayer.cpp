// The Windows media players on MCI: each player opens its own MCI device
// under an alias of its own, so the music and a picture sound play together.
//
// The end of a track comes as MM_MCINOTIFY to a message-only window of the
// player, on the loop's thread (the loop dispatches every message of the
// thread). The notification is not acted on there: the end is posted to the
// loop and delivered only while its play id is still the player's current one,
// so a stopped or replaced track never reports an end, a finished one reports
// it once, and never from inside Play or Stop. A notification that a stop or
// close caused (aborted, superseded) is no end; a failure during playback is
// one, as is a file that cannot be opened at all.
//
// Every call is made on the loop's thread; nothing here is shared with another
// thread.
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/files/Files.h"
#include "platform/files/win32/WideText.h"
#include "platform/media/NativeMedia.h"

namespace ls {
namespace {

constexpr wchar_t kNotifyWindowClass[] = L"LanternslideMediaNotify";

// Aliases name devices process-wide: a number of its own for every player.
std::atomic<unsigned> g_nextPlayerNumber{1};

class MciMediaPlayer : public MediaPlayer {
 public:
  MciMediaPlayer(MediaRole role, EventLoop& loop)
      : loop_(loop),
        alias_((role == MediaRole::kMusic ? L"lanternslide_music" : L"lanternslide_sound") +
               std::to_wstring(g_nextPlayerNumber++)) {
    // Notifications go to the queue of the thread that made the window: the
    // player is made on the loop's thread.
    if (RegisterWindowClass())
      window_ = CreateWindowExW(0, kNotifyWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }

  ~MciMediaPlayer() override {
    Stop();
    if (window_) {
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      DestroyWindow(window_);
    }
  }

  void SetFileName(const std::string& path) override {
    Stop();
    fileName_ = path;
  }
  const std::string& FileName() const override { return fileName_; }

  void Play() override {
    Stop();
    if (fileName_.empty()) return;
    const uint64_t id = ++lastPlayId_;
    playId_ = id;
    if (!window_ || !Open()) return PostEnd(id);
    if (Send(L"play " + alias_ + L" notify", window_) != 0) {
      Close();
      PostEnd(id);
    }
  }

  void Stop() override {
    playId_ = 0;  // an end already on its way is not delivered
    Close();
  }

 private:
  static bool RegisterWindowClass() {
    static const bool registered = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = &MciMediaPlayer::WindowProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = kNotifyWindowClass;
      return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MM_MCINOTIFY) {
      auto* self = reinterpret_cast<MciMediaPlayer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      if (self) self->Notified(wParam, lParam);
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  MCIERROR Send(const std::wstring& command, HWND callback = nullptr) {
    return mciSendStringW(command.c_str(), nullptr, 0, callback);
  }

  // Opens FileName as the player's device; false when it cannot be played.
  bool Open() {
    const std::wstring path = Widen(NativePath(fileName_));
    // A quote would end the file name inside the command and let the rest of
    // the name be read as command words; no Windows file name has one.
    if (path.find(L'"') != std::wstring::npos) return false;
    if (!OpenPath(path)) {
      // Some devices pass the name on through the ANSI code page (Wine's
      // waveaudio fails on a Chinese name) or a 128-character buffer; the
      // file's short name is plain ASCII and short.
      const std::wstring shortPath = ShortPath(path);
      if (shortPath.empty() || shortPath == path || !OpenPath(shortPath)) return false;
    }
    open_ = true;
    device_ = mciGetDeviceIDW(alias_.c_str());
    KeepDriversLoaded();
    // The sequencer accepts a MIDI file without any MIDI output and then
    // plays it for ever, never reaching the end.
    if (IsSequencer() && midiOutGetNumDevs() == 0) {
      Close();
      return false;
    }
    return true;
  }

  // Closing the last device of a kind unloads its MCI driver, while the wave
  // output's thread may still call into it (under Wine that thread then runs
  // into unmapped code). Drivers once loaded stay loaded.
  static void KeepDriversLoaded() {
    for (const wchar_t* driver : {L"mciwave.drv", L"mciwave.dll", L"mciseq.drv", L"mciseq.dll",
                                  L"mciqtz32.dll"}) {
      HMODULE module = nullptr;
      GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, driver, &module);
    }
  }

  bool OpenPath(const std::wstring& path) {
    // MCI chooses the device by the extension (waveaudio, sequencer,
    // mpegvideo); an extension it has no device for goes to the DirectShow
    // device, which looks at the content.
    MCIERROR error = Send(L"open \"" + path + L"\" alias " + alias_);
    if (error == MCIERR_EXTENSION_NOT_FOUND)
      error = Send(L"open \"" + path + L"\" type mpegvideo alias " + alias_);
    return error == 0;
  }

  static std::wstring ShortPath(const std::wstring& path) {
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) return {};
    std::wstring out(size, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), out.data(), size);
    if (length == 0 || length >= size) return {};
    out.resize(length);
    return out;
  }

  bool IsSequencer() {
    wchar_t type[64] = {};
    const std::wstring command = L"capability " + alias_ + L" device type";
    if (mciSendStringW(command.c_str(), type, 64, nullptr) != 0) return false;
    return lstrcmpiW(type, L"sequencer") == 0;
  }

  // Closes the device (which releases the file) and drops the notifications
  // that it left in the queue: they belong to a playback that is over, and a
  // later device may get the same id.
  void Close() {
    if (!open_) return;
    Send(L"close " + alias_);
    open_ = false;
    device_ = 0;
    MSG message;
    while (PeekMessageW(&message, window_, MM_MCINOTIFY, MM_MCINOTIFY,
                        PM_REMOVE | PM_QS_POSTMESSAGE)) {
    }
  }

  void Notified(WPARAM flags, LPARAM device) {
    if (!open_ || playId_ == 0) return;
    // Wine's DirectShow device names device 0; every other names its own.
    if (device != 0 && static_cast<MCIDEVICEID>(device) != device_) return;
    if (flags != MCI_NOTIFY_SUCCESSFUL && flags != MCI_NOTIFY_FAILURE) return;
    const uint64_t id = playId_;
    Close();  // the finished track no longer holds its file
    PostEnd(id);
  }

  // Delivers the end of play `id` through the loop, unless it is stopped or
  // replaced (or the player is gone) by then.
  void PostEnd(uint64_t id) {
    loop_.Post([this, id, alive = std::weak_ptr<bool>(alive_)] {
      if (alive.expired() || id != playId_) return;
      playId_ = 0;
      if (OnEndOfStream) OnEndOfStream();
    });
  }

  EventLoop& loop_;
  const std::wstring alias_;
  HWND window_ = nullptr;
  std::string fileName_;
  bool open_ = false;
  MCIDEVICEID device_ = 0;
  uint64_t lastPlayId_ = 0;
  uint64_t playId_ = 0;  // the playback whose end is to be reported; 0 = none
  const std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace

std::unique_ptr<MediaPlayer> CreateNativeMediaPlayer(MediaRole role, EventLoop& loop) {
  return std::make_unique<MciMediaPlayer>(role, loop);
}

}  // namespace ls
