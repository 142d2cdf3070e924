// The Windows desktop pieces, in process: the preview child window inside a
// parent window made here (its class and title, the frame's pixels on screen,
// its end when the parent or the child goes), and the settings dialog (the
// controls at their designed places with their texts, the user's choices
// handed back on OK only, Enter, Esc and the close box, the banner link, and
// configure mode writing the user settings file).
//
// Each scenario is a script run from the thread's message loop by a thread
// timer, as the user's actions would come.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "package/IniFile.h"
#include "platform/app/PreviewWindow.h"
#include "platform/files/Files.h"
#include "platform/files/win32/WideText.h"
#include "platform/graphics/Png.h"
#include "platform/win32/DialogIds.h"
#include "platform/win32/OptionDialog.h"
#include "shell/Preview.h"

namespace {

namespace ids = ls::dialog_ids;

// Runs `step` from the calling thread's message loop every few milliseconds
// until it returns true. A script that has not finished after ten seconds
// calls `giveUp` (which must end the loop) and fails the test.
class Script {
 public:
  Script(std::function<bool()> step, std::function<void()> giveUp)
      : step_(std::move(step)), giveUp_(std::move(giveUp)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &Tick);
  }
  ~Script() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool Finished() const { return finished_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* self = current_;
    if (!self || self->finished_ || self->busy_) return;
    self->busy_ = true;
    if (self->step_()) {
      self->finished_ = true;
    } else if (++self->ticks_ == 500) {
      ADD_FAILURE() << "the script did not finish";
      self->finished_ = true;
      self->giveUp_();
    }
    self->busy_ = false;
  }

  static inline Script* current_ = nullptr;
  std::function<bool()> step_;
  std::function<void()> giveUp_;
  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  bool busy_ = false;
  bool finished_ = false;
};

std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return ls::Narrow(text);
}

std::string ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return ls::Narrow(name);
}

// The pixels of the window's client area as they are on screen, 0x00RRGGBB.
ls::Bitmap Capture(HWND window, int width, int height) {
  ls::Bitmap shot(width, height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const HDC screen = GetDC(window);
  const HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  const HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      shot.Set(x, y, pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF);
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return shot;
}

int DifferingPixels(const ls::Bitmap& shot, const ls::Bitmap& expected) {
  if (shot.Width() != expected.Width() || shot.Height() != expected.Height()) return -1;
  int differing = 0;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x)
      differing += (shot.At(x, y) & 0xFFFFFF) != (expected.At(x, y) & 0xFFFFFF);
  return differing;
}

// A bordered top-level window whose client area is the preview box.
HWND MakeParent(int clientWidth, int clientHeight) {
  static const ATOM parentClass = [] {
    WNDCLASSW c{};
    c.lpfnWndProc = &DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    c.lpszClassName = L"LsTestPreviewBox";
    return RegisterClassW(&c);
  }();
  EXPECT_NE(parentClass, 0);
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, 0);
  return CreateWindowExW(0, L"LsTestPreviewBox", L"preview box", WS_POPUP | WS_BORDER | WS_VISIBLE,
                         40, 40, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

int64_t IdOf(HWND window) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(window)); }

ls::Bitmap Pattern(int width, int height) {
  ls::Bitmap frame(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      frame.Set(x, y, (static_cast<uint32_t>(x * 7 & 0xFF) << 16) |
                          (static_cast<uint32_t>(y * 3 & 0xFF) << 8) | ((x + y) & 0xFF));
  return frame;
}

class FrameHandler : public ls::PreviewWindowHandler {
 public:
  FrameHandler(ls::PreviewWindowSystem& system, ls::Bitmap frame)
      : system_(system), frame_(std::move(frame)) {}
  void OnPaint() override {
    system_.Draw(frame_);
    ++paints;
  }
  void OnLeftButtonDown() override { ++clicks; }
  const ls::Bitmap& Frame() const { return frame_; }
  int paints = 0;
  int clicks = 0;

 private:
  ls::PreviewWindowSystem& system_;
  ls::Bitmap frame_;
};

TEST(Win32PreviewWindowTest, TheChildCoversTheBoxShowsTheFrameAndEndsWithItself) {
  const HWND parent = MakeParent(152, 112);
  ASSERT_NE(parent, nullptr);
  std::unique_ptr<ls::PreviewWindowSystem> system = ls::CreatePreviewWindowSystem();
  ASSERT_NE(system, nullptr);
  // The client area, not the bordered window, is the box.
  const auto size = system->ParentSize(IdOf(parent));
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(*size, (std::pair<int, int>{152, 112}));
  ASSERT_TRUE(system->CreateChild(IdOf(parent), size->first, size->second, ls::kPreviewClassName,
                                  ls::kPreviewWindowName));
  const HWND child = reinterpret_cast<HWND>(static_cast<intptr_t>(system->ChildWindow()));
  ASSERT_TRUE(IsWindow(child));
  EXPECT_EQ(ClassOf(child), "QuindelScreenSaverPreview");
  EXPECT_EQ(TextOf(child), "QuindelSaver");
  EXPECT_EQ(GetParent(child), parent);
  const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), WS_CHILD | WS_VISIBLE);
  // Never erased: the class has no background brush.
  EXPECT_EQ(GetClassLongPtrW(child, GCLP_HBRBACKGROUND), 0);
  RECT placed{};
  GetWindowRect(child, &placed);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, 0);
  EXPECT_EQ(placed.top, 0);
  EXPECT_EQ(placed.right, 152);
  EXPECT_EQ(placed.bottom, 112);

  FrameHandler handler(*system, Pattern(152, 112));
  std::optional<ls::Bitmap> shown;
  int stage = 0;
  Script script(
      [&] {
        switch (stage) {
          case 0:  // painted: read the screen back
            UpdateWindow(child);
            if (handler.paints == 0) return false;
            shown = Capture(child, 152, 112);
            PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
            stage = 1;
            return false;
          case 1:  // the click arrived: the parent goes away
            if (handler.clicks == 0) return false;
            DestroyWindow(parent);
            return true;
        }
        return true;
      },
      [&] { DestroyWindow(parent); });
  system->Run(handler);
  EXPECT_TRUE(script.Finished());
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(handler.clicks, 1);
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(DifferingPixels(*shown, handler.Frame()), 0);
}

TEST(Win32PreviewWindowTest, RunEndsWhenTheChildAloneIsDestroyedOrTheParentsThreadDestroysIt) {
  for (const bool foreignParent : {false, true}) {
    SCOPED_TRACE(foreignParent ? "parent on another thread" : "child destroyed");
    // A parent of another thread stands in for the display settings' box.
    std::promise<HWND> made;
    std::thread owner;
    HWND parent = nullptr;
    if (foreignParent) {
      owner = std::thread([&made] {
        const HWND box = MakeParent(80, 60);
        made.set_value(box);
        MSG message;
        while (IsWindow(box) && GetMessageW(&message, nullptr, 0, 0) > 0) {
          TranslateMessage(&message);
          DispatchMessageW(&message);
        }
      });
      parent = made.get_future().get();
    } else {
      parent = MakeParent(80, 60);
    }
    ASSERT_NE(parent, nullptr);
    std::unique_ptr<ls::PreviewWindowSystem> system = ls::CreatePreviewWindowSystem();
    ASSERT_TRUE(system->CreateChild(IdOf(parent), 80, 60, ls::kPreviewClassName,
                                    ls::kPreviewWindowName));
    const HWND child = reinterpret_cast<HWND>(static_cast<intptr_t>(system->ChildWindow()));
    FrameHandler handler(*system, Pattern(80, 60));
    const auto end = [&] {
      if (foreignParent)
        PostMessageW(parent, WM_CLOSE, 0, 0);  // closed and destroyed on its own thread
      else
        DestroyWindow(child);
    };
    Script script(
        [&] {
          if (handler.paints == 0) return false;
          end();
          return true;
        },
        end);
    system->Run(handler);
    EXPECT_TRUE(script.Finished());
    system.reset();
    if (owner.joinable()) owner.join();
    EXPECT_FALSE(IsWindow(child));
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(IsWindow(parent) != FALSE, !foreignParent);
    if (IsWindow(parent)) DestroyWindow(parent);
  }
}

TEST(Win32PreviewWindowTest, ANumberThatNamesNoWindowHasNoSizeAndGetsNoChild) {
  std::unique_ptr<ls::PreviewWindowSystem> system = ls::CreatePreviewWindowSystem();
  const HWND gone = MakeParent(10, 10);
  DestroyWindow(gone);
  EXPECT_FALSE(system->ParentSize(0).has_value());
  EXPECT_FALSE(system->ParentSize(IdOf(gone)).has_value());
  EXPECT_FALSE(system->ParentSize(1234).has_value());
  EXPECT_FALSE(system->CreateChild(IdOf(gone), 10, 10, ls::kPreviewClassName, ls::kPreviewWindowName));
  // No quit request is left behind for a later loop of the thread.
  MSG quit;
  EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// The bytes of a screensaver file: a stand-in program, the settings text,
// its length and the package marker (no media blocks).
void WriteScreensaver(const std::filesystem::path& path, const std::string& settings) {
  std::string bytes = "MZ stands in for the player program\r\n" + settings;
  const uint32_t words[2] = {static_cast<uint32_t>(settings.size()), 1};
  bytes.append(reinterpret_cast<const char*>(words), sizeof(words));
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A scratch folder for the screensaver files of one test.
class Win32DesktopFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("ls-win32-" + std::to_string(GetCurrentProcessId()) + "-" + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
  }
  void TearDown() override {
    for (const std::filesystem::path& file : userFiles_) std::filesystem::remove(file);
    std::filesystem::remove_all(root_);
  }
  // The user settings file of a screensaver named base; removed after the test.
  std::filesystem::path UserFile(const std::string& base) {
    userFiles_.push_back(std::filesystem::u8path(ls::GetWindowsFolder() +
                                                 "\\screensaverusersetting" + base + ".ini"));
    return userFiles_.back();
  }
  std::filesystem::path root_;
  std::vector<std::filesystem::path> userFiles_;
};

std::string g_opened;
void RecordOpen(const std::string& target) { g_opened += target + ";"; }

TEST_F(Win32DesktopFileTest, PreviewModeStretchesTheBuiltInPictureOverTheBoxAndAClickOpensTheLink) {
  const std::filesystem::path saver = root_ / "Lakes.scr";
  WriteScreensaver(saver, "[CustomizePreviewDlg]\r\nPreviewLink=https://lakes.example/\r\n");
  // 152 x 112 is the built-in picture's own size: shown one to one.
  const HWND parent = MakeParent(152, 112);
  std::unique_ptr<ls::PreviewWindowSystem> system = ls::CreatePreviewWindowSystem();
  std::optional<ls::Bitmap> shown;
  HWND child = nullptr;
  g_opened.clear();
  Script script(
      [&] {
        child = FindWindowExW(parent, nullptr, L"QuindelScreenSaverPreview", L"QuindelSaver");
        if (!child) return false;
        UpdateWindow(child);
        if (!shown) {
          shown = Capture(child, 152, 112);
          SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
          SendMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        }
        DestroyWindow(parent);
        return true;
      },
      [&] { DestroyWindow(parent); });
  EXPECT_EQ(ls::RunPreview(saver.string(), IdOf(parent), *system, &RecordOpen), 0);
  EXPECT_TRUE(script.Finished());
  ASSERT_TRUE(shown.has_value());
  const ls::Bitmap builtin = ls::BuiltinPreviewBitmap();
  ASSERT_EQ(builtin.Width(), 152);
  EXPECT_EQ(DifferingPixels(*shown, builtin), 0);
  EXPECT_EQ(g_opened, "https://lakes.example/;");
}

// The dialog's client area position of a control.
RECT PlaceOf(HWND dialog, int id) {
  RECT r{};
  GetWindowRect(GetDlgItem(dialog, id), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string TabText(HWND tabs, int index) {
  wchar_t text[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
  return ls::Narrow(text);
}

// True when the control's font has a glyph for every character of its text.
bool DrawsEveryCharacter(HWND control) {
  const std::wstring text = ls::Widen(TextOf(control));
  const HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  std::vector<WORD> glyphs(text.size());
  GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                   GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  for (WORD g : glyphs)
    if (g == 0xFFFF) return false;
  return true;
}

// A form as FormCreate would fill it for a package "湖光山色".
void FillForm(ls::TOptionForm& form) {
  form.Caption = "湖光山色 屏幕保护程序设置";
  form.ScreensaverNameLabel.Caption = "湖光山色";
  form.AuthorLabel.Caption = "李伟 (Li Wei)";
  form.CompanyLabel.Caption = "湖畔影像工作室";
  form.readmeedit.Lines = {"湖光山色屏幕保护程序", "收录了北方湖泊的四季风光。", "", "版本 1.0"};
  for (ls::TCheckBox* box : {&form.ShowCaptionCheckBox, &form.ShowBackgroundCheckBox,
                             &form.PlayMusicCheckBox, &form.ShowTransitionCheckBox,
                             &form.MouseMoveCheckBox, &form.KeyPressCheckBox,
                             &form.MouseClickCheckBox})
    box->Checked = true;
  form.KeyPressCheckBox.Checked = false;
  form.TransitionStepTrackBar.SetPosition(6);
}

TEST(Win32OptionDialogTest, ControlsSitAtTheirDesignedPlacesWithTheirTexts) {
  ls::TOptionForm form("unused.scr");
  FillForm(form);
  ls::Win32OptionDialog dialog(form);
  const auto check = [&] {
    const HWND d = dialog.Window();
    SCOPED_TRACE("inside the dialog");
    // The checks below hold at 96 dots per inch, the setting of the test system.
    ASSERT_EQ(GetDpiForWindow(d), 96u);
    RECT client{};
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, 433);
    EXPECT_EQ(client.bottom, 332);
    EXPECT_EQ(TextOf(d), "湖光山色 屏幕保护程序设置");
    const LONG_PTR style = GetWindowLongPtrW(d, GWL_STYLE);
    EXPECT_EQ(style & WS_THICKFRAME, 0) << "a fixed frame";
    EXPECT_NE(GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_CONTEXTHELP, 0);
    // Owned by a hidden tool window: no taskbar button.
    const HWND owner = GetWindow(d, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_NE(GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_FALSE(IsWindowVisible(owner));

    struct Place {
      int id;
      RECT rect;
    };
    for (const Place& p : {Place{ids::kPanel1, {8, 4, 425, 69}},
                           Place{ids::kBannerImage, {10, 6, 423, 67}},
                           Place{ids::kPageControl1, {8, 75, 425, 292}},
                           Place{ids::kBitBtn1, {208, 299, 297, 324}},
                           Place{ids::kBitBtn2, {304, 299, 393, 324}}}) {
      const RECT r = PlaceOf(d, p.id);
      EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
                (std::vector<LONG>{p.rect.left, p.rect.top, p.rect.right, p.rect.bottom}))
          << p.id;
    }
    // Inside the pages, the group boxes' controls keep their offsets and sizes.
    const RECT group3 = PlaceOf(d, ids::kGroupBox3), caption = PlaceOf(d, ids::kShowCaptionCheckBox);
    EXPECT_EQ(caption.left - group3.left, 24);
    EXPECT_EQ(caption.top - group3.top, 24);
    EXPECT_EQ(caption.right - caption.left, 137);
    EXPECT_EQ(caption.bottom - caption.top, 17);
    const RECT group2 = PlaceOf(d, ids::kGroupBox2), step = PlaceOf(d, ids::kTransitionStepTrackBar);
    EXPECT_EQ(step.left - group2.left, 69);
    EXPECT_EQ(step.top - group2.top, 24);
    EXPECT_EQ(step.right - step.left, 257);
    EXPECT_EQ(step.bottom - step.top, 33);
    EXPECT_EQ(group2.top - group3.top, 88);
    const RECT group1 = PlaceOf(d, ids::kGroupBox1), key = PlaceOf(d, ids::kKeyPressCheckBox);
    EXPECT_EQ(group1.left, group3.left);
    EXPECT_EQ(key.left - group1.left, 192);
    EXPECT_EQ(key.top - group1.top, 20);
    // The first page lies inside the page control's display area.
    const RECT pages = PlaceOf(d, ids::kPageControl1);
    EXPECT_GT(group3.top, pages.top + 8);
    EXPECT_LT(group3.left, pages.left + 20);

    const std::pair<int, const char*> texts[] = {
        {ids::kShowCaptionCheckBox, "显示图片标题"},
        {ids::kShowBackgroundCheckBox, "显示背景图片"},
        {ids::kPlayMusicCheckBox, "播放背景音乐"},
        {ids::kShowTransitionCheckBox, "显示转换特效"},
        {ids::kMouseMoveCheckBox, "移动鼠标"},
        {ids::kKeyPressCheckBox, "按任意键"},
        {ids::kMouseClickCheckBox, "鼠标点击"},
        {ids::kBitBtn1, "确定"},
        {ids::kBitBtn2, "取消"},
        {ids::kLabel1, "最慢"},
        {ids::kLabel2, "最快"},
        {ids::kLabel3, "提示：任何时间按下“ESC”键，都会退出屏保。."},
        {ids::kScreensaverNameLabel, "湖光山色"},
        {ids::kAuthorLabel, "李伟 (Li Wei)"},
        {ids::kCompanyLabel, "湖畔影像工作室"},
        {ids::kGroupBox3, "显示"},
        {ids::kGroupBox2, "转换速度"},
        {ids::kGroupBox1, "屏保退出条件"},
        {ids::kGroupBox4, "作者信息"}};
    for (const auto& [id, text] : texts) {
      const HWND control = GetDlgItem(d, id);
      EXPECT_EQ(TextOf(control), text) << id;
      EXPECT_TRUE(DrawsEveryCharacter(control)) << text;
    }
    // Names lead to the same controls.
    EXPECT_EQ(dialog.Find("BitBtn1"), GetDlgItem(d, IDOK));
    EXPECT_EQ(dialog.Find("BitBtn2"), GetDlgItem(d, IDCANCEL));
    EXPECT_EQ(dialog.Find("KeyPressCheckBox"), GetDlgItem(d, ids::kKeyPressCheckBox));
    EXPECT_EQ(dialog.Find("NoSuchControl"), nullptr);
    EXPECT_EQ(SendMessageW(d, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));

    const HWND tabs = GetDlgItem(d, ids::kPageControl1);
    ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(TabText(tabs, 0), "全局");
    EXPECT_EQ(TabText(tabs, 1), "退出选项");
    EXPECT_EQ(TabText(tabs, 2), "关于");
    // Only the active page's controls are shown; choosing a tab shows its page.
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, ids::kShowCaptionCheckBox)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, ids::kKeyPressCheckBox)));
    SendMessageW(tabs, TCM_SETCURFOCUS, 2, 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, ids::kShowCaptionCheckBox)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(d, ids::kReadmeEdit)));

    const HWND trackBar = GetDlgItem(d, ids::kTransitionStepTrackBar);
    EXPECT_EQ(SendMessageW(trackBar, TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessageW(trackBar, TBM_GETRANGEMAX, 0, 0), 10);
    EXPECT_EQ(SendMessageW(trackBar, TBM_GETPOS, 0, 0), 6);
    EXPECT_EQ(SendMessageW(trackBar, TBM_GETNUMTICS, 0, 0), 10);
    const HWND readme = GetDlgItem(d, ids::kReadmeEdit);
    EXPECT_EQ(TextOf(readme), "湖光山色屏幕保护程序\r\n收录了北方湖泊的四季风光。\r\n\r\n版本 1.0");
    EXPECT_NE(GetWindowLongPtrW(readme, GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(IsDlgButtonChecked(d, ids::kKeyPressCheckBox), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(d, ids::kMouseClickCheckBox), BST_CHECKED);

    // The banner is drawn one to one.
    const HWND banner = GetDlgItem(d, ids::kBannerImage);
    UpdateWindow(d);
    ASSERT_EQ(form.BannerImage.Picture.Width(), 413);
    EXPECT_EQ(DifferingPixels(Capture(banner, 413, 61), form.BannerImage.Picture), 0);
  };
  Script script(
      [&] {
        // The dialog shows itself once its queue is idle the first time.
        if (!dialog.Window() || !IsWindowVisible(dialog.Window())) return false;
        check();
        dialog.Close(ls::TModalResult::Cancel);
        return true;
      },
      [&] { dialog.Close(ls::TModalResult::None); });
  EXPECT_EQ(dialog.ShowModal(), ls::TModalResult::Cancel);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(dialog.Window(), nullptr);
}

TEST(Win32OptionDialogTest, MovingToAMonitorOf144DotsPerInchScalesTheLayoutByOneAndAHalf) {
  ls::TOptionForm form("unused.scr");
  FillForm(form);
  ls::Win32OptionDialog dialog(form);
  Script script(
      [&] {
        const HWND d = dialog.Window();
        if (!d || !IsWindowVisible(d)) return false;
        // What the system sends when the dialog is dragged onto such a monitor.
        RECT suggested{100, 80, 100 + 700, 80 + 560};
        SendMessageW(d, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        // The frame is sized for the new DPI's title bar, which only a real
        // move gives the window; the controls are placed within the client.
        RECT frame{};
        GetWindowRect(d, &frame);
        EXPECT_EQ(frame.left, 100);
        EXPECT_EQ(frame.top, 80);
        const RECT ok = PlaceOf(d, IDOK);
        EXPECT_EQ((std::vector<LONG>{ok.left, ok.top, ok.right, ok.bottom}),
                  (std::vector<LONG>{312, 449, 446, 487}));
        const RECT group3 = PlaceOf(d, ids::kGroupBox3), caption = PlaceOf(d, ids::kShowCaptionCheckBox);
        EXPECT_EQ(caption.left - group3.left, 36);
        EXPECT_EQ(caption.right - caption.left, 206);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(d, ids::kLabel1), WM_GETFONT, 0, 0)),
                   sizeof(font), &font);
        EXPECT_EQ(font.lfHeight, -18);
        dialog.Close(ls::TModalResult::Cancel);
        return true;
      },
      [&] { dialog.Close(ls::TModalResult::None); });
  EXPECT_EQ(dialog.ShowModal(), ls::TModalResult::Cancel);
}

TEST(Win32OptionDialogTest, AScreenshotOfEachPageIsWrittenForTheDocumentation) {
  ls::TOptionForm form("unused.scr");
  FillForm(form);
  ls::Win32OptionDialog dialog(form);
  const std::filesystem::path dir = std::filesystem::path(LS_BINARY_DIR) / "docs";
  std::filesystem::create_directories(dir);
  int page = 0;
  Script script(
      [&] {
        const HWND d = dialog.Window();
        if (!d || !IsWindowVisible(d)) return false;
        SendMessageW(GetDlgItem(d, ids::kPageControl1), TCM_SETCURFOCUS, page, 0);
        RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const ls::Bitmap shot = Capture(d, 433, 332);
        const std::string name = page == 0 ? std::string("settings-dialog-win32.png")
                                           : "settings-dialog-win32-page" + std::to_string(page + 1) + ".png";
        EXPECT_TRUE(ls::WritePng(shot, (dir / name).string()));
        // The banner one to one at (10, 6), the pages' controls drawn over the page control.
        const ls::Bitmap& banner = form.BannerImage.Picture;
        int differing = 0;
        for (int y = 0; y < 61; y += 5)
          for (int x = 0; x < 413; x += 7) differing += shot.At(10 + x, 6 + y) != (banner.At(x, y) & 0xFFFFFF);
        EXPECT_EQ(differing, 0) << page;
        if (++page < ids::kPageCount) return false;
        dialog.Close(ls::TModalResult::Cancel);
        return true;
      },
      [&] { dialog.Close(ls::TModalResult::None); });
  EXPECT_EQ(dialog.ShowModal(), ls::TModalResult::Cancel);
}

TEST(Win32OptionDialogTest, TheChoicesReachTheFormOnOkAndEnterButNotOnCancelEscOrTheCloseBox) {
  enum class Input { OkButton, Enter, CancelButton, Esc, CloseBox };
  struct Case {
    Input input;
    ls::TModalResult result;
  };
  for (const Case& c : {Case{Input::OkButton, ls::TModalResult::Ok},
                        Case{Input::Enter, ls::TModalResult::Ok},
                        Case{Input::CancelButton, ls::TModalResult::Cancel},
                        Case{Input::Esc, ls::TModalResult::Cancel},
                        Case{Input::CloseBox, ls::TModalResult::Cancel}}) {
    SCOPED_TRACE(static_cast<int>(c.input));
    ls::TOptionForm form("unused.scr");
    FillForm(form);
    ls::Win32OptionDialog dialog(form);
    int stage = 0;
    Script script(
        [&] {
          const HWND d = dialog.Window();
          if (!d || !IsWindowVisible(d)) return false;
          if (stage++ == 0) {
            // The user's choices: one box off, a box of the second page on, speed 9.
            SendMessageW(GetDlgItem(d, ids::kShowCaptionCheckBox), BM_CLICK, 0, 0);
            SendMessageW(GetDlgItem(d, ids::kPageControl1), TCM_SETCURFOCUS, 1, 0);
            SendMessageW(GetDlgItem(d, ids::kKeyPressCheckBox), BM_CLICK, 0, 0);
            SendMessageW(GetDlgItem(d, ids::kTransitionStepTrackBar), TBM_SETPOS, TRUE, 9);
            return false;
          }
          switch (c.input) {
            case Input::OkButton:
              SendMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
              break;
            case Input::CancelButton:
              SendMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0);
              break;
            case Input::Enter:
            case Input::Esc: {
              // Keys go to the focused control through the dialog's loop.
              const HWND focus = GetDlgItem(d, ids::kMouseMoveCheckBox);
              SetFocus(focus);
              const WPARAM key = c.input == Input::Enter ? VK_RETURN : VK_ESCAPE;
              PostMessageW(focus, WM_KEYDOWN, key, 1);
              PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
              break;
            }
            case Input::CloseBox:
              PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
              break;
          }
          return true;
        },
        [&] { dialog.Close(ls::TModalResult::None); });
    EXPECT_EQ(dialog.ShowModal(), c.result);
    const bool taken = c.result == ls::TModalResult::Ok;
    EXPECT_EQ(form.ShowCaptionCheckBox.Checked, !taken);
    EXPECT_EQ(form.KeyPressCheckBox.Checked, taken);
    EXPECT_TRUE(form.MouseClickCheckBox.Checked);
    EXPECT_EQ(form.TransitionStepTrackBar.Position(), taken ? 9 : 6);
  }
}

// Finds the tool tip window owned by found->first.
BOOL CALLBACK FindToolTip(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(data);
  if (ClassOf(window) == "tooltips_class32" && GetWindow(window, GW_OWNER) == found->first)
    found->second = window;
  return TRUE;
}

TEST_F(Win32DesktopFileTest, TheBannerShowsItsLinkAndOpensItOnAClickUnlessLinksAreOff) {
  for (const bool usingLink : {true, false}) {
    SCOPED_TRACE(usingLink ? "link" : "no link");
    const std::string name = usingLink ? "BannerLink" : "BannerNoLink";
    const std::filesystem::path saver = root_ / (name + ".scr");
    UserFile(name);
    WriteScreensaver(saver, std::string("[Identify]\r\nId=7\r\n[CustomizeSettingDlg]\r\n"
                                        "BannerLink=https://lakes.example/\r\nUsingBannerLink=") +
                                (usingLink ? "1" : "0") + "\r\n");
    std::vector<std::string> opened;
    ls::TOptionForm form(saver.string(),
                         [&opened](const std::string& target) { opened.push_back(target); });
    form.FormCreate();
    ls::Win32OptionDialog dialog(form);
    bool hand = false;
    std::string tip = "(none)";
    Script script(
        [&] {
          const HWND d = dialog.Window();
          if (!d || !IsWindowVisible(d)) return false;
          const HWND banner = GetDlgItem(d, ids::kBannerImage);
          SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // the arrow
          SendMessageW(d, WM_SETCURSOR, reinterpret_cast<WPARAM>(banner),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
          hand = GetCursor() == LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
          // The hint is the tool tip of the banner.
          std::pair<HWND, HWND> found(d, nullptr);
          EnumThreadWindows(GetCurrentThreadId(), &FindToolTip,
                            reinterpret_cast<LPARAM>(&found));
          if (found.second) {
            wchar_t text[256] = {};
            TTTOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = d;
            tool.uId = reinterpret_cast<UINT_PTR>(banner);
            tool.lpszText = text;
            SendMessageW(found.second, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
            tip = ls::Narrow(text);
          }
          SendMessageW(banner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 30));
          SendMessageW(banner, WM_LBUTTONUP, 0, MAKELPARAM(100, 30));
          dialog.Close(ls::TModalResult::Cancel);
          return true;
        },
        [&] { dialog.Close(ls::TModalResult::None); });
    EXPECT_EQ(dialog.ShowModal(), ls::TModalResult::Cancel);
    EXPECT_EQ(hand, usingLink);
    EXPECT_EQ(tip, usingLink ? "https://lakes.example/" : "(none)");
    EXPECT_EQ(opened, usingLink ? std::vector<std::string>{"https://lakes.example/"}
                                : std::vector<std::string>{});
  }
}

TEST_F(Win32DesktopFileTest, ConfigureModeFindsTheDialogByItsTitleAndOkWritesTheUserSettingsFile) {
  const std::filesystem::path saver = root_ / "Harbour.scr";
  const std::filesystem::path user = UserFile("Harbour");
  std::filesystem::remove(user);
  WriteScreensaver(saver,
                   "[Identify]\r\nId=harbour-1\r\n[Transition]\r\nTransitionStep=4\r\n"
                   "[CustomizeSettingDlg]\r\nScreensaverName=港湾\r\n");
  const std::wstring title = ls::Widen("港湾 屏幕保护程序设置");
  HWND seen = nullptr;
  Script script(
      [&] {
        // As another program would: the dialog by its title, the controls by id.
        const HWND d = FindWindowW(L"#32770", title.c_str());
        if (!d || !IsWindowVisible(d)) return false;
        seen = d;
        SendMessageW(GetDlgItem(d, ids::kPlayMusicCheckBox), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(d, ids::kTransitionStepTrackBar), TBM_SETPOS, TRUE, 8);
        SendMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
        return true;
      },
      [&] {
        if (const HWND d = FindWindowW(L"#32770", title.c_str())) EndDialog(d, IDCANCEL);
      });
  EXPECT_EQ(ls::RunConfigureMode(saver.string()), 0);
  EXPECT_TRUE(script.Finished());
  EXPECT_NE(seen, nullptr);
  const ls::IniFile settings(ls::Narrow(user.wstring()));
  EXPECT_EQ(settings.ReadString("Identify", "Id", "-"), "harbour-1");
  EXPECT_EQ(settings.ReadString("UserSetting", "UserPlayMusic", "-"), "0");
  EXPECT_EQ(settings.ReadString("UserSetting", "UserShowCaption", "-"), "1");
  EXPECT_EQ(settings.ReadString("UserSetting", "TransitionStep", "-"), "8");
  EXPECT_EQ(settings.ReadString("ExitOption", "ExitOnKeyPress", "-"), "1");
}

}  // namespace
