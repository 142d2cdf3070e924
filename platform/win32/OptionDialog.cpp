#include <windows.h>
// The common controls after windows.h.
#include <commctrl.h>
#include <uxtheme.h>

#include "platform/win32/OptionDialog.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/Files.h"
#include "platform/files/win32/WideText.h"
#include "platform/win32/DialogIds.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace ls {

namespace ids = dialog_ids;

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
// A fixed dialog frame with the context-help button beside the close box.
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP;
// IDC_HAND, whose macro takes the character width from UNICODE.
const wchar_t* const kHandCursor = MAKEINTRESOURCEW(32649);
// "宋体", the form's font.
const wchar_t* const kSongTi = L"\u5B8B\u4F53";
constexpr int kClientWidth = 433;
constexpr int kClientHeight = 332;

// Functions of newer systems, looked up at run time so that the program still
// starts where they are missing (the dialog then keeps 96 dots per inch or
// the system's one setting).
struct DpiFunctions {
  UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* setDialogDpiChangeBehavior)(HWND, int, int) = nullptr;

  static const DpiFunctions& Get() {
    static const DpiFunctions functions = [] {
      DpiFunctions f;
      if (const HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        f.getDpiForWindow = reinterpret_cast<decltype(f.getDpiForWindow)>(
            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
        f.adjustWindowRectExForDpi = reinterpret_cast<decltype(f.adjustWindowRectExForDpi)>(
            reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
        f.setDialogDpiChangeBehavior = reinterpret_cast<decltype(f.setDialogDpiChangeBehavior)>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetDialogDpiChangeBehavior")));
      }
      return f;
    }();
    return functions;
  }
};

UINT DpiOf(HWND window) {
  if (const auto get = DpiFunctions::Get().getDpiForWindow) {
    if (const UINT dpi = get(window)) return dpi;
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

std::wstring JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return Widen(text);
}

// The dialog's template: only the frame, its style and its caption. The
// controls are made in WM_INITDIALOG at pixel positions, which a template in
// dialog units cannot express.
std::vector<WORD> DialogTemplate(const std::wstring& caption) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  DLGTEMPLATE header{};
  header.style = kDialogStyle;
  header.dwExtendedStyle = kDialogExStyle;
  std::memcpy(words.data(), &header, sizeof(header));
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  words.insert(words.end(), caption.begin(), caption.end());
  words.push_back(0);
  return words;
}

}  // namespace

struct Win32OptionDialog::Impl {
  explicit Impl(TOptionForm& f) : form(f) {}

  // A control and its place at 96 dots per inch. page: -1 for the form's
  // client area, else the index of the tab sheet it lies on. Sizes of 0 are
  // taken from the text (labels size themselves to their caption).
  struct Placed {
    HWND window;
    int page;
    int x, y, width, height;
    bool bold;  // the screensaver's name in its own font
  };

  TOptionForm& form;
  HWND dialog = nullptr;
  HWND pageControl = nullptr;
  HFONT font = nullptr;
  HFONT nameFont = nullptr;
  UINT dpi = 96;
  std::vector<Placed> controls;

  ~Impl() { DeleteFonts(); }

  void DeleteFonts() {
    if (font) DeleteObject(font);
    if (nameFont) DeleteObject(nameFont);
    font = nameFont = nullptr;
  }

  int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi), 96); }

  HWND Add(int id, int page, const wchar_t* windowClass, const std::string& text, DWORD style,
           DWORD exStyle, int x, int y, int width, int height, bool bold = false) {
    const HWND control = CreateWindowExW(
        exStyle, windowClass, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
        0, 0, 0, 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        GetModuleHandleW(nullptr), nullptr);
    controls.push_back({control, page, x, y, width, height, bold});
    return control;
  }
  HWND Label(int id, int page, const TLabel& label, int x, int y, int width = 0, int height = 0,
             bool bold = false) {
    return Add(id, page, L"STATIC", label.Caption, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, x, y, width,
               height, bold);
  }
  HWND CheckBox(int id, int page, const TCheckBox& box, int x, int y, int width, int height) {
    const HWND control = Add(id, page, L"BUTTON", box.Caption, BS_AUTOCHECKBOX | WS_TABSTOP, 0, x,
                             y, width, height);
    SendMessageW(control, BM_SETCHECK, box.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return control;
  }
  HWND GroupBox(int id, int page, const TLabel& caption, int x, int y, int width, int height) {
    const HWND box = Add(id, page, L"BUTTON", caption.Caption, BS_GROUPBOX, 0, x, y, width, height);
    SetWindowSubclass(box, &PaintGroupInside, 0, 0);
    return box;
  }

  // A group box draws only its frame and caption, and the page beneath does
  // not paint where a sibling lies above it: the box fills its inside itself
  // (its controls, above it, are clipped out).
  static LRESULT CALLBACK PaintGroupInside(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR) {
    if (message == WM_PAINT) {
      RECT inside{};
      GetClientRect(box, &inside);
      const HDC dc = GetDC(box);
      FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNFACE));
      ReleaseDC(box, dc);
    } else if (message == WM_NCDESTROY) {
      RemoveWindowSubclass(box, &PaintGroupInside, 0);
    }
    return DefSubclassProc(box, message, wParam, lParam);
  }

  void CreateControls() {
    // Panel1 with its lowered bevel, the banner inside it.
    const HWND panel1 = Add(ids::kPanel1, -1, L"STATIC", "", SS_OWNERDRAW, 0, 8, 4, 417, 65);
    const HWND banner = Add(ids::kBannerImage, -1, L"STATIC", "", SS_OWNERDRAW | SS_NOTIFY, 0,
                            8 + 2, 4 + 2, 413, 61);
    if (!form.BannerImage.Hint.empty()) AddTip(banner, form.BannerImage.Hint);

    // Panel2 (aligned to the bottom at y 67) holds the pages and the buttons.
    const int panel2 = 67;
    pageControl = Add(ids::kPageControl1, -1, WC_TABCONTROLW, "", TCS_MULTILINE | WS_TABSTOP, 0, 8,
                      panel2 + 8, 417, 217);
    // The pages keep the form's button-face colour: a themed tab pane would
    // show the controls' plain backgrounds as grey boxes on it.
    SetWindowTheme(pageControl, L"", L"");
    const TLabel* sheets[ids::kPageCount] = {&form.TabSheet1, &form.TabSheet2, &form.TabSheet3};
    for (int i = 0; i < ids::kPageCount; ++i) {
      std::wstring caption = Widen(sheets[i]->Caption);
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      SendMessageW(pageControl, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }

    // "全局": the group boxes' controls lie at the group's offset.
    GroupBox(ids::kGroupBox3, 0, form.GroupBox3, 8, 8, 393, 81);
    CheckBox(ids::kShowCaptionCheckBox, 0, form.ShowCaptionCheckBox, 8 + 24, 8 + 24, 137, 17);
    CheckBox(ids::kShowBackgroundCheckBox, 0, form.ShowBackgroundCheckBox, 8 + 200, 8 + 24, 161, 17);
    CheckBox(ids::kPlayMusicCheckBox, 0, form.PlayMusicCheckBox, 8 + 24, 8 + 46, 153, 25);
    CheckBox(ids::kShowTransitionCheckBox, 0, form.ShowTransitionCheckBox, 8 + 200, 8 + 49, 145, 17);
    GroupBox(ids::kGroupBox2, 0, form.GroupBox2, 8, 96, 393, 81);
    Label(ids::kLabel1, 0, form.Label1, 8 + 24, 96 + 32);
    const TTrackBar& step = form.TransitionStepTrackBar;
    const HWND trackBar = Add(ids::kTransitionStepTrackBar, 0, TRACKBAR_CLASSW, "",
                              TBS_HORZ | TBS_BOTH | TBS_AUTOTICKS | TBS_FIXEDLENGTH | WS_TABSTOP, 0,
                              8 + 69, 96 + 24, 257, 33);
    SendMessageW(trackBar, TBM_SETRANGE, FALSE, MAKELPARAM(step.Min(), step.Max()));
    SendMessageW(trackBar, TBM_SETLINESIZE, 0, 1);
    SendMessageW(trackBar, TBM_SETPAGESIZE, 0, 1);
    SendMessageW(trackBar, TBM_SETTICFREQ, 1, 0);
    SendMessageW(trackBar, TBM_SETPOS, TRUE, step.Position());
    Label(ids::kLabel2, 0, form.Label2, 8 + 336, 96 + 32);

    // "退出选项".
    GroupBox(ids::kGroupBox1, 1, form.GroupBox1, 8, 8, 393, 81);
    CheckBox(ids::kMouseMoveCheckBox, 1, form.MouseMoveCheckBox, 8 + 32, 8 + 24, 137, 17);
    CheckBox(ids::kKeyPressCheckBox, 1, form.KeyPressCheckBox, 8 + 192, 8 + 20, 145, 25);
    CheckBox(ids::kMouseClickCheckBox, 1, form.MouseClickCheckBox, 8 + 32, 8 + 48, 129, 17);
    Label(ids::kLabel3, 1, form.Label3, 16, 104, 361, 13);

    // "关于".
    Label(ids::kScreensaverNameLabel, 2, form.ScreensaverNameLabel, 8, 10, 0, 0, true);
    Add(ids::kBevel1, 2, L"STATIC", "", SS_ETCHEDHORZ, 0, 8, 30, 393, 2);
    GroupBox(ids::kGroupBox4, 2, form.GroupBox4, 8, 40, 393, 65);
    Label(ids::kAuthorLabel, 2, form.AuthorLabel, 8 + 9, 40 + 21);
    Label(ids::kCompanyLabel, 2, form.CompanyLabel, 8 + 11, 40 + 40);
    const HWND readme =
        Add(ids::kReadmeEdit, 2, L"EDIT", "",
            ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
            8, 112, 393, 65);
    SetWindowTextW(readme, JoinLines(form.readmeedit.Lines).c_str());

    Add(ids::kBitBtn1, -1, L"BUTTON", form.BitBtn1.Caption,
                        BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, 208, panel2 + 232, 89, 25);
    Add(ids::kBitBtn2, -1, L"BUTTON", form.BitBtn2.Caption, BS_PUSHBUTTON | WS_TABSTOP, 0, 304,
        panel2 + 232, 89, 25);
    SendMessageW(dialog, DM_SETDEFID, ids::kBitBtn1, 0);

    // Frames lie beneath what they frame (each one pushed to the bottom goes
    // below the ones before): the group boxes, the bevel, the pages, Panel1.
    for (const int id : {ids::kGroupBox3, ids::kGroupBox2, ids::kGroupBox1, ids::kGroupBox4,
                         ids::kBevel1, ids::kPageControl1})
      SetWindowPos(GetDlgItem(dialog, id), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(panel1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  void AddTip(HWND banner, const std::string& hint) {
    const HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    if (!tip) return;
    std::wstring text = Widen(hint);
    TTTOOLINFOW tool{};
    // The size every version of the common controls accepts.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(banner);
    tool.lpszText = text.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  void MakeFonts() {
    DeleteFonts();
    // "宋体" in the Chinese character set: the system substitutes its own
    // face for the character set where the font itself is not installed.
    font = CreateFontW(-Scale(12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, kSongTi);
    nameFont = CreateFontW(-Scale(13), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, L"Verdana");
    // Verdana has no Chinese: a name it cannot draw is shown in the bold
    // Chinese face instead of as boxes.
    if (!Covers(nameFont, Widen(form.ScreensaverNameLabel.Caption))) {
      DeleteObject(nameFont);
      nameFont = CreateFontW(-Scale(13), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, kSongTi);
    }
  }

  // True when the font has a glyph for every character of the text.
  bool Covers(HFONT textFont, const std::wstring& text) const {
    if (text.empty()) return true;
    const HDC dc = GetDC(dialog);
    const HGDIOBJ old = SelectObject(dc, textFont);
    std::vector<WORD> glyphs(text.size());
    const DWORD done = GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()),
                                        glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    if (done == GDI_ERROR) return true;
    for (const WORD glyph : glyphs)
      if (glyph == 0xFFFF) return false;
    return true;
  }

  SIZE TextSize(HWND control, HFONT textFont) const {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    SIZE size{0, 0};
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, textFont);
    if (length > 0) {
      GetTextExtentPoint32W(dc, text.c_str(), length, &size);
    } else {
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      size.cy = metrics.tmHeight;
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
  }

  // Places the dialog and every control for the current dpi; centres the
  // dialog on its monitor's work area, or puts it at `at` (the system's
  // suggestion after a DPI change).
  void Layout(const RECT* at) {
    MakeFonts();
    for (const Placed& c : controls)
      SendMessageW(c.window, WM_SETFONT, reinterpret_cast<WPARAM>(c.bold ? nameFont : font), FALSE);

    RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
    if (const auto adjust = DpiFunctions::Get().adjustWindowRectExForDpi)
      adjust(&frame, kDialogStyle, FALSE, kDialogExStyle, dpi);
    else
      AdjustWindowRectEx(&frame, kDialogStyle, FALSE, kDialogExStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left = 0, top = 0;
    if (at) {
      left = at->left;
      top = at->top;
    } else {
      MONITORINFO monitor{};
      monitor.cbSize = sizeof(monitor);
      GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
      const RECT& area = monitor.rcWork;
      left = area.left + (area.right - area.left - width) / 2;
      top = area.top + (area.bottom - area.top - height) / 2;
    }
    SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    // The tab sheets' client area is the page control's display area.
    POINT sheet{0, 0};
    for (const Placed& c : controls) {
      if (c.window != pageControl) continue;
      MoveWindow(pageControl, Scale(c.x), Scale(c.y), Scale(c.width), Scale(c.height), FALSE);
      RECT display{0, 0, Scale(c.width), Scale(c.height)};
      SendMessageW(pageControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
      sheet = {Scale(c.x) + display.left, Scale(c.y) + display.top};
    }
    for (const Placed& c : controls) {
      if (c.window == pageControl) continue;
      const POINT origin = c.page < 0 ? POINT{0, 0} : sheet;
      SIZE size{Scale(c.width), Scale(c.height)};
      if (c.width == 0) size = TextSize(c.window, c.bold ? nameFont : font);
      MoveWindow(c.window, origin.x + Scale(c.x), origin.y + Scale(c.y), size.cx, size.cy, FALSE);
    }
    const HWND trackBar = GetDlgItem(dialog, ids::kTransitionStepTrackBar);
    SendMessageW(trackBar, TBM_SETTHUMBLENGTH, Scale(10), 0);
    InvalidateRect(dialog, nullptr, TRUE);
  }

  void ShowPage(int page) {
    if (page < 0 || page >= ids::kPageCount) page = 0;
    if (SendMessageW(pageControl, TCM_GETCURSEL, 0, 0) != page)
      SendMessageW(pageControl, TCM_SETCURSEL, page, 0);
    for (const Placed& c : controls)
      if (c.page >= 0) ShowWindow(c.window, c.page == page ? SW_SHOWNA : SW_HIDE);
  }

  void TakeChoices() {
    const std::pair<int, TCheckBox*> boxes[] = {
        {ids::kShowCaptionCheckBox, &form.ShowCaptionCheckBox},
        {ids::kShowBackgroundCheckBox, &form.ShowBackgroundCheckBox},
        {ids::kPlayMusicCheckBox, &form.PlayMusicCheckBox},
        {ids::kShowTransitionCheckBox, &form.ShowTransitionCheckBox},
        {ids::kMouseMoveCheckBox, &form.MouseMoveCheckBox},
        {ids::kKeyPressCheckBox, &form.KeyPressCheckBox},
        {ids::kMouseClickCheckBox, &form.MouseClickCheckBox}};
    for (const auto& [id, box] : boxes) box->Checked = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
    form.TransitionStepTrackBar.SetPosition(static_cast<int>(
        SendDlgItemMessageW(dialog, ids::kTransitionStepTrackBar, TBM_GETPOS, 0, 0)));
  }

  void End(TModalResult result) {
    if (!dialog) return;
    if (result == TModalResult::Ok) TakeChoices();
    EndDialog(dialog, result == TModalResult::Ok       ? IDOK
                      : result == TModalResult::Cancel ? IDCANCEL
                                                       : 0);
  }

  void DrawItem(const DRAWITEMSTRUCT& item) {
    RECT area = item.rcItem;
    if (item.CtlID == static_cast<UINT>(ids::kPanel1)) {
      FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(item.hDC, &area, BDR_SUNKENOUTER, BF_RECT);
      return;
    }
    if (item.CtlID != static_cast<UINT>(ids::kBannerImage)) return;
    const Bitmap& picture = form.BannerImage.Picture;
    if (picture.IsEmpty()) {
      FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
      return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.Width();
    info.bmiHeader.biHeight = -picture.Height();  // rows top-down, as in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int width = area.right - area.left, height = area.bottom - area.top;
    // One to one the picture is copied as it is; stretched, it is smoothed.
    const bool same = width == picture.Width() && height == picture.Height();
    SetStretchBltMode(item.hDC, same ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    StretchDIBits(item.hDC, area.left, area.top, width, height, 0, 0, picture.Width(),
                  picture.Height(), picture.Data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }

  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK) {
          End(TModalResult::Ok);
          return TRUE;
        }
        if (id == IDCANCEL) {
          End(TModalResult::Cancel);
          return TRUE;
        }
        if (id == ids::kBannerImage && HIWORD(wParam) == STN_CLICKED) {
          try {
            form.BannerImageClick();
          } catch (...) {
            // Opening the link is not checked; nothing may unwind through the system.
          }
          return TRUE;
        }
        return FALSE;
      }
      case WM_CLOSE:
        End(TModalResult::Cancel);
        return TRUE;
      case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == pageControl && header->code == TCN_SELCHANGE) {
          ShowPage(static_cast<int>(SendMessageW(pageControl, TCM_GETCURSEL, 0, 0)));
          return TRUE;
        }
        return FALSE;
      }
      case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == GetDlgItem(dialog, ids::kBannerImage) &&
            form.BannerImage.HandCursor && LOWORD(lParam) == HTCLIENT) {
          SetCursor(LoadCursorW(nullptr, kHandCursor));
          SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
          return TRUE;
        }
        return FALSE;
      case WM_HELP:
        // The help button has no help to show.
        return TRUE;
      case WM_DPICHANGED:
        dpi = HIWORD(wParam);
        Layout(reinterpret_cast<const RECT*>(lParam));
        return TRUE;
      default:
        return FALSE;
    }
  }

  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      Impl* self = reinterpret_cast<Impl*>(lParam);
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      self->dialog = window;
      // The controls are placed here for every DPI; the dialog manager's
      // own rescaling would move them a second time.
      if (const auto behave = DpiFunctions::Get().setDialogDpiChangeBehavior)
        behave(window, 0x0001 | 0x0002 | 0x0004, 0x0001 | 0x0002 | 0x0004);
      self->dpi = DpiOf(window);
      self->CreateControls();
      self->Layout(nullptr);
      self->ShowPage(self->form.ActivePageIndex);
      SetFocus(GetDlgItem(window, ids::kBitBtn1));
      return FALSE;  // the focus is set
    }
    Impl* self = reinterpret_cast<Impl*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
      self->dialog = nullptr;
      self->pageControl = nullptr;
      self->controls.clear();
      return FALSE;
    }
    return self->Handle(message, wParam, lParam);
  }
};

Win32OptionDialog::Win32OptionDialog(TOptionForm& form) : impl_(std::make_unique<Impl>(form)) {}

Win32OptionDialog::~Win32OptionDialog() = default;

TModalResult Win32OptionDialog::ShowModal() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_TAB_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&classes);

  const HINSTANCE instance = GetModuleHandleW(nullptr);
  // The dialog belongs to a hidden tool window, as the forms belong to the
  // application window: so it gets no taskbar button of its own.
  const HWND application = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0,
                                           nullptr, nullptr, instance, nullptr);
  const std::vector<WORD> dialogTemplate = DialogTemplate(Widen(impl_->form.Caption));
  const INT_PTR result = DialogBoxIndirectParamW(
      instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), application,
      &Impl::Procedure, reinterpret_cast<LPARAM>(impl_.get()));
  const DWORD error = GetLastError();
  if (application) DestroyWindow(application);
  impl_->DeleteFonts();
  if (result == -1)
    throw std::runtime_error("cannot show the settings dialog (system error " +
                             std::to_string(error) + ")");
  return result == IDOK ? TModalResult::Ok
         : result == IDCANCEL ? TModalResult::Cancel
                              : TModalResult::None;
}

void Win32OptionDialog::Close(TModalResult result) { impl_->End(result); }

HWND__* Win32OptionDialog::Window() const { return impl_->dialog; }

HWND__* Win32OptionDialog::Find(const std::string& name) const {
  const int id = ids::ControlId(name);
  return impl_->dialog && id ? GetDlgItem(impl_->dialog, id) : nullptr;
}

TModalResult Win32OptionFormView::ShowModal(TOptionForm& form) {
  Win32OptionDialog dialog(form);
  return dialog.ShowModal();
}

void Win32OptionFormView::ShowError(const std::string& message) {
  const std::wstring title = Widen(ProgramBaseName(ProgramFilePath()));
  MessageBoxW(nullptr, Widen(message).c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_TOPMOST);
}

int RunConfigureMode(const std::string& programPath) {
  Win32OptionFormView view;
  return RunConfigureMode(programPath, view);
}

}  // namespace ls
