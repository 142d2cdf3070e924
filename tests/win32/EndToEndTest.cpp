// The Windows screensaver from the outside, as Windows runs it: the demo
// screensaver (the Windows player with the demo package appended by the Linux
// build's tool) in its three run modes. The show comes up full screen with its
// first picture and ends on a key with exit code 0 and no working folder left;
// the preview puts its window into a parent window of ours, lives as long as
// that parent and shows the demo's preview image; the settings dialog stores a
// changed box in the user settings file on OK.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/app/PreviewWindow.h"
#include "platform/files/Files.h"
#include "platform/files/win32/WideText.h"
#include "platform/graphics/Draw.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/Png.h"
#include "platform/win32/DialogIds.h"
#include "shell/Preview.h"
#include "tests/win32/e2e/Win32Desktop.h"

#include <commctrl.h>

namespace ls::e2e {
namespace {

namespace fs = std::filesystem;

std::string DemoScreensaver() { return std::string(LS_E2E_DIR) + "/demo.scr"; }
std::string DemoMedia(const std::string& name) { return std::string(LS_E2E_DIR) + "/media/" + name; }
std::string BuildFile(const std::string& name) {
  return WindowsPathUtf8(std::string(LS_BINARY_DIR) + "/" + name);
}

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, buffer);
  return buffer;
}
// Where the show unpacks its package.
std::wstring WorkingFolder() { return TempFolder() + L"screensavertempdirectory"; }

// The demo's user settings file: the user's application data folder, our
// folder, then the name made of the screensaver's base name ("demo").
std::wstring DemoUserSettingsFile() {
  wchar_t appData[MAX_PATH + 1] = {};
  GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH + 1);
  return std::wstring(appData) + L"\\lanternslide\\screensaverusersettingdemo.ini";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring IniValue(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  wchar_t value[256] = {};
  GetPrivateProfileStringW(section, key, L"<missing>", value, 256, file.c_str());
  return value;
}

// The one frame of the reference show whose file name ends so.
std::optional<Bitmap> ReferenceFrame(const std::string& suffix) {
  const fs::path folder(WindowsPath(std::string(LS_E2E_DIR) + "/show/frames"));
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = Narrow(entry.path().filename().wstring());
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      return ReadPng(Narrow(entry.path().wstring()));
  }
  return std::nullopt;
}

HWND FindShowWindow(DWORD pid) {
  for (HWND w : TopLevelWindowsOf(pid, true))
    if (WindowText(w) == L"Screen Saver") return w;
  return nullptr;
}

// Removes what an earlier, killed run may have left, so every test starts
// as on a fresh desktop.
void ClearLeftovers() {
  DeleteFolderTree(Narrow(WorkingFolder()));
  DeleteFileW(DemoUserSettingsFile().c_str());
}

std::string Describe(const PictureDistance& d) {
  return "mean difference " + std::to_string(d.meanDifference) + ", close blocks " +
         std::to_string(d.closeBlocks);
}

// The show of the demo: the start-up splash fades in, then the first picture
// ("Lanterns over the lake", fitted over the tiled background, with its
// caption) fades in. The screen must come to show that picture as the Linux
// build composes it: same blocks of colour, allowing for the two systems'
// JPEG decoders and fonts, and clearly not the splash (the same scene
// darkened under a title).
TEST(Win32EndToEnd, DemoShowShowsItsFirstPictureAndEndsOnAKey) {
  const std::optional<Bitmap> firstPicture = ReferenceFrame("-complete-0.png");
  const std::optional<Bitmap> splash = ReferenceFrame("-complete-splash.png");
  ASSERT_TRUE(firstPicture && splash) << "the reference show's frames are missing";
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_EQ(screenW, firstPicture->Width()) << "run under xvfb-run -s \"-screen 0 1920x1080x24\"";
  ASSERT_EQ(screenH, firstPicture->Height()) << "run under xvfb-run -s \"-screen 0 1920x1080x24\"";
  ClearLeftovers();

  ChildProcess show;
  std::string why;
  ASSERT_TRUE(show.Start(DemoScreensaver(), L"/s", &why)) << why;
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (window = FindShowWindow(show.Pid())) || !show.Running(); },
                        60000))
      << "no show window appeared";
  ASSERT_NE(window, nullptr) << "the show ended before its window appeared";
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, screenW);
  EXPECT_EQ(rect.bottom, screenH);
  // Always on top, and no taskbar button or Alt+Tab entry.
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

  Bitmap shot;
  PictureDistance toPicture, toSplash, best{255, 0};
  const bool shown = WaitUntil(
      [&] {
        if (!show.Running()) return true;
        shot = CaptureScreen();
        toPicture = CompareBlocks(shot, *firstPicture);
        toSplash = CompareBlocks(shot, *splash);
        if (toPicture.meanDifference < best.meanDifference) best = toPicture;
        return toPicture.meanDifference < 1.5 && toPicture.closeBlocks > 0.97 &&
               2 * toPicture.meanDifference < toSplash.meanDifference;
      },
      120000, 200);
  WritePng(shot, BuildFile("win32-show-screenshot.png"));
  ASSERT_TRUE(show.Running()) << "the show ended by itself";
  EXPECT_TRUE(shown) << "the first picture never came on screen; closest: " << Describe(best)
                     << "; see win32-show-screenshot.png";
  std::printf("first picture on screen: %s (splash: %s)\n", Describe(toPicture).c_str(),
              Describe(toSplash).c_str());
  EXPECT_TRUE(Exists(WorkingFolder() + L"\\pictures")) << "the package was not unpacked into the temporary folder";

  // Any key ends the demo's show (ExitOnKeyPress=1).
  PostMessageW(window, WM_KEYDOWN, 'A', 0x001E0001);
  PostMessageW(window, WM_KEYUP, 'A', 0xC01E0001);
  const std::optional<DWORD> code = show.WaitForExit(30000);
  ASSERT_TRUE(code.has_value()) << "the show did not end on a key";
  EXPECT_EQ(*code, 0u);
  EXPECT_FALSE(Exists(WorkingFolder())) << "the working folder was left behind";
  EXPECT_TRUE(TopLevelWindowsOf(show.Pid(), false).empty());
  PumpMessages(300);
  EXPECT_GT(CompareBlocks(CaptureScreen(), *firstPicture).meanDifference, 10.0)
      << "the picture stayed on screen after the show ended";
  ClearLeftovers();
}

// A parent window as the display settings' preview box is: a plain window
// of the given client size, pumped by this thread.
class PreviewBox {
 public:
  PreviewBox(int width, int height) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LanternslideTestPreviewBox";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    // No frame: the window rectangle is the client area, as in the box of
    // the display settings.
    window_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"preview box",
                              WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, width, height,
                              nullptr, nullptr, wc.hInstance, nullptr);
    PumpMessages(50);
  }
  ~PreviewBox() { Destroy(); }
  HWND Handle() const { return window_; }
  void Destroy() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    PumpMessages(10);
  }

 private:
  HWND window_ = nullptr;
};

// /p with the box's handle, as the display settings start a screensaver: a
// child window of the named class and title, owned by the screensaver's
// process, covers the box; nothing is left in the temporary folder; and
// destroying the box ends the process with 0. (Wine draws a child window
// whose parent belongs to another process nowhere, so its pixels are
// checked in process, below.)
struct PreviewCase {
  const char* name;
  bool demo;          // the demo screensaver, else the bare player
  int width, height;  // the box
};

void PrintTo(const PreviewCase& c, std::ostream* os) { *os << c.name; }

class Win32EndToEndPreview : public testing::TestWithParam<PreviewCase> {};

TEST_P(Win32EndToEndPreview, ACoveringChildWindowLivesAsLongAsTheParent) {
  const PreviewCase& c = GetParam();
  PreviewBox box(c.width, c.height);
  ASSERT_NE(box.Handle(), nullptr);
  ChildProcess preview;
  std::string why;
  const std::wstring handle = std::to_wstring(reinterpret_cast<uintptr_t>(box.Handle()));
  ASSERT_TRUE(preview.Start(c.demo ? DemoScreensaver() : std::string(LS_E2E_BARE_PLAYER),
                            L"/p " + handle, &why))
      << why;
  HWND child = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        child = FindWindowExW(box.Handle(), nullptr, L"QuindelScreenSaverPreview", L"QuindelSaver");
        return child || !preview.Running();
      },
      60000))
      << "no preview window appeared";
  ASSERT_NE(child, nullptr) << "the preview ended before its window appeared";
  DWORD owner = 0;
  GetWindowThreadProcessId(child, &owner);
  EXPECT_EQ(owner, preview.Pid());
  // Shown at once; the child takes clicks (a click opens the preview link),
  // so it is not disabled.
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(child) != FALSE; }, 10000));
  EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_CHILD);
  RECT rect{};
  GetWindowRect(child, &rect);
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.top, 100);
  EXPECT_EQ(rect.right - rect.left, c.width);
  EXPECT_EQ(rect.bottom - rect.top, c.height);
  EXPECT_FALSE(Exists(TempFolder() + L"screensaverpreviewini.ini"));
  PumpMessages(300);
  EXPECT_TRUE(preview.Running());

  box.Destroy();
  const std::optional<DWORD> code = preview.WaitForExit(30000);
  ASSERT_TRUE(code.has_value()) << "the preview did not end with its parent";
  EXPECT_EQ(*code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Boxes, Win32EndToEndPreview,
                         testing::Values(PreviewCase{"Demo", true, 152, 112},
                                         PreviewCase{"BarePlayer", false, 200, 150}),
                         [](const testing::TestParamInfo<PreviewCase>& info) { return info.param.name; });

// The preview mode of the demo screensaver's file, run in this process on
// the Win32 window system: its JPEG preview image, decoded by the system's
// decoder, stretched over a box larger than the picture, is what the screen
// shows inside the box.
TEST(Win32EndToEnd, DemoPreviewShowsItsPreviewImageStretchedOverTheBox) {
  const int width = 190, height = 140;
  const std::optional<Bitmap> picture = LoadPictureFile(WindowsPathUtf8(DemoMedia("preview.jpg")));
  ASSERT_TRUE(picture.has_value());
  ASSERT_EQ(picture->Width(), 152);
  Bitmap expected(width, height);
  StretchCopy(expected, expected.Bounds(), *picture, picture->Bounds());

  PreviewBox box(width, height);
  ASSERT_NE(box.Handle(), nullptr);
  const int64_t parent = static_cast<int64_t>(reinterpret_cast<intptr_t>(box.Handle()));
  std::atomic<DWORD> previewThread{0};
  std::atomic<int> result{-1};
  std::thread run([&] {
    previewThread = GetCurrentThreadId();
    std::unique_ptr<PreviewWindowSystem> system = CreatePreviewWindowSystem();
    result = system ? RunPreview(WindowsPathUtf8(DemoScreensaver()), parent, *system) : 1;
  });
  HWND child = nullptr;
  Bitmap shot;
  const bool drawn = WaitUntil(
      [&] {
        child = FindWindowExW(box.Handle(), nullptr, L"QuindelScreenSaverPreview", L"QuindelSaver");
        if (!child) return false;
        shot = CaptureScreenRect(Rect{100, 100, 100 + width, 100 + height});
        return shot == expected;
      },
      30000, 100);
  Point first{};
  const int64_t wrong = CountDifferentPixels(shot, expected, &first);
  if (!drawn) WritePng(shot, BuildFile("win32-preview-demo.png"));
  box.Destroy();
  if (!WaitUntil([&] { return result != -1; }, 30000))
    PostThreadMessageW(previewThread, WM_QUIT, 0, 0);
  run.join();
  ASSERT_NE(child, nullptr) << "no preview window appeared";
  EXPECT_TRUE(drawn) << wrong << " pixels differ from the preview picture, the first at (" << first.x
                     << ", " << first.y << "); see win32-preview-demo.png";
  EXPECT_EQ(result, 0);
}

// The settings dialog of the demo, found by its process and caption.
HWND FindDialog(DWORD pid) {
  // "lanternslide demo" and the words for screen saver settings.
  const std::wstring caption = L"lanternslide demo \u5C4F\u5E55\u4FDD\u62A4\u7A0B\u5E8F\u8BBE\u7F6E";
  for (HWND w : TopLevelWindowsOf(pid, true))
    if (WindowText(w) == caption) return w;
  return nullptr;
}

bool Checked(HWND dialog, int id) {
  return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// /c: the dialog shows the package's choices; clearing "显示图片标题" and
// pressing OK ends the process with 0 and stores the change in the user
// settings file in the application data folder. /c:1234 opens it again with
// the stored choice, and Cancel leaves the file as it was.
TEST(Win32EndToEnd, SettingsDialogStoresTheChangedBoxOnOk) {
  namespace ids = ls::dialog_ids;
  ClearLeftovers();
  const std::wstring userFile = DemoUserSettingsFile();
  {
    ChildProcess dialogProcess;
    std::string why;
    ASSERT_TRUE(dialogProcess.Start(DemoScreensaver(), L"/c", &why)) << why;
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialog(dialogProcess.Pid())) || !dialogProcess.Running(); },
                          60000))
        << "no settings dialog appeared";
    ASSERT_NE(dialog, nullptr) << "the program ended without showing the dialog";
    // First start: the file is made with the package's Id, every display
    // box is ticked, the exit boxes and the speed come from the package.
    EXPECT_TRUE(Exists(userFile));
    EXPECT_TRUE(Checked(dialog, ids::kShowCaptionCheckBox));
    EXPECT_TRUE(Checked(dialog, ids::kShowBackgroundCheckBox));
    EXPECT_TRUE(Checked(dialog, ids::kKeyPressCheckBox));
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, ids::kTransitionStepTrackBar), TBM_GETPOS, 0, 0), 2);

    SendMessageW(GetDlgItem(dialog, ids::kShowCaptionCheckBox), BM_CLICK, 0, 0);
    EXPECT_FALSE(Checked(dialog, ids::kShowCaptionCheckBox));
    PostMessageW(GetDlgItem(dialog, ids::kBitBtn1), BM_CLICK, 0, 0);
    const std::optional<DWORD> code = dialogProcess.WaitForExit(30000);
    ASSERT_TRUE(code.has_value()) << "OK did not close the dialog";
    EXPECT_EQ(*code, 0u);
  }
  ASSERT_TRUE(Exists(userFile));
  EXPECT_EQ(IniValue(userFile, L"Identify", L"Id"), L"lanternslide-demo-1");
  EXPECT_EQ(IniValue(userFile, L"UserSetting", L"UserShowCaption"), L"0");
  EXPECT_EQ(IniValue(userFile, L"UserSetting", L"UserShowBackground"), L"1");
  EXPECT_EQ(IniValue(userFile, L"UserSetting", L"UserPlayMusic"), L"1");
  EXPECT_EQ(IniValue(userFile, L"UserSetting", L"UserShowTransition"), L"1");
  EXPECT_EQ(IniValue(userFile, L"UserSetting", L"TransitionStep"), L"2");
  EXPECT_EQ(IniValue(userFile, L"ExitOption", L"ExitOnMouseMove"), L"1");
  EXPECT_EQ(IniValue(userFile, L"ExitOption", L"ExitOnMouseClick"), L"1");
  EXPECT_EQ(IniValue(userFile, L"ExitOption", L"ExitOnKeyPress"), L"1");

  {
    ChildProcess dialogProcess;
    std::string why;
    ASSERT_TRUE(dialogProcess.Start(DemoScreensaver(), L"/c:1234", &why)) << why;
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialog(dialogProcess.Pid())) || !dialogProcess.Running(); },
                          60000));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Checked(dialog, ids::kShowCaptionCheckBox)) << "the stored choice was not read back";
    SendMessageW(GetDlgItem(dialog, ids::kShowCaptionCheckBox), BM_CLICK, 0, 0);
    PostMessageW(GetDlgItem(dialog, ids::kBitBtn2), BM_CLICK, 0, 0);
    const std::optional<DWORD> code = dialogProcess.WaitForExit(30000);
    ASSERT_TRUE(code.has_value()) << "Cancel did not close the dialog";
    EXPECT_EQ(*code, 0u);
  }
  EXPECT_EQ(IniValue(userFile, L"UserSetting", L"UserShowCaption"), L"0") << "Cancel wrote the box";

  {
    // No arguments at all (Windows' "Configure" entry) opens the dialog too.
    ChildProcess dialogProcess;
    std::string why;
    ASSERT_TRUE(dialogProcess.Start(DemoScreensaver(), L"", &why)) << why;
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialog(dialogProcess.Pid())) || !dialogProcess.Running(); },
                          60000));
    ASSERT_NE(dialog, nullptr) << "no dialog without arguments";
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    const std::optional<DWORD> code = dialogProcess.WaitForExit(30000);
    ASSERT_TRUE(code.has_value()) << "the close box did not close the dialog";
    EXPECT_EQ(*code, 0u);
  }
  ClearLeftovers();
}

}  // namespace
}  // namespace ls::e2e
