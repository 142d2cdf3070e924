#pragma once
// TOptionForm: the settings dialog of configure mode, without a toolkit.
//
// The form holds its controls as plain fields (caption, state, picture); a
// view (platform/gtk) shows them, lets the user change the check boxes and the
// track bar, and hands the form back to FormClose with the result. The texts
// of the controls are the form's own and live here, so every view shows the
// same ones.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "package/IniFile.h"
#include "package/Settings.h"
#include "platform/graphics/Bitmap.h"

namespace ls {

struct TCheckBox {
  std::string Caption;
  bool Checked = false;
};

struct TLabel {
  std::string Caption;
};

// A horizontal track bar: Position always lies within Min..Max, so a value
// outside the range is shown (and read back) as the nearer end.
class TTrackBar {
 public:
  TTrackBar(int min, int max, int position) : min_(min), max_(max) { SetPosition(position); }
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetPosition(int value) { position_ = value < min_ ? min_ : value > max_ ? max_ : value; }

 private:
  int min_;
  int max_;
  int position_ = 0;
};

// A picture control that stretches its picture over its bounds.
struct TImage {
  Bitmap Picture;
  bool Stretch = true;
  bool HandCursor = false;  // the hand-point cursor instead of the arrow
  std::string Hint;         // tool tip; empty = none
};

// A read-only multi-line text.
struct TMemo {
  std::vector<std::string> Lines;
};

// How the dialog was closed.
enum class TModalResult {
  None,
  Ok,      // the OK button (or Enter)
  Cancel,  // the Cancel button, Esc or the window's close box
};

// Opens a document or address with the desktop's handler.
using ShellOpenFunction = std::function<void(const std::string& target)>;

// The note shown on the About page when the package has no readme text.
extern const char* const kDefaultReadmeNote;

class TOptionForm {
 public:
  // programPath: the screensaver file whose package the dialog describes and
  // whose base name names the user settings file. shellOpen opens the
  // banner link (tests pass a recorder).
  explicit TOptionForm(std::string programPath, ShellOpenFunction shellOpen = nullptr);

  // Fills the dialog: reads the package (when the file carries one), resets
  // a missing or foreign user settings file to the package's Id, chooses the
  // preferences and sets every control. Throws IniWriteError when the user
  // settings file cannot be written.
  void FormCreate();
  // Writes the eight preferences from the controls on Ok; nothing otherwise.
  // Throws IniWriteError when the user settings file cannot be written.
  void FormClose(TModalResult result);
  // Opens the banner link, when there is one.
  void BannerImageClick();

  // The dialog's caption: the screensaver's name and the words for screen
  // saver settings.
  std::string Caption = std::string(kDefaultScreensaverName) + " 屏幕保护程序设置";
  int ActivePageIndex = 0;  // 0 "全局", 1 "退出选项", 2 "关于"

  TImage BannerImage;
  TLabel TabSheet1{"全局"};
  TLabel GroupBox3{"显示"};
  TCheckBox ShowCaptionCheckBox{"显示图片标题"};
  TCheckBox ShowBackgroundCheckBox{"显示背景图片"};
  TCheckBox PlayMusicCheckBox{"播放背景音乐"};
  TCheckBox ShowTransitionCheckBox{"显示转换特效"};
  TLabel GroupBox2{"转换速度"};
  TLabel Label1{"最慢"};
  TTrackBar TransitionStepTrackBar{1, 10, 3};
  TLabel Label2{"最快"};
  TLabel TabSheet2{"退出选项"};
  TLabel GroupBox1{"屏保退出条件"};
  TCheckBox MouseMoveCheckBox{"移动鼠标"};
  TCheckBox KeyPressCheckBox{"按任意键"};
  TCheckBox MouseClickCheckBox{"鼠标点击"};
  TLabel Label3{"提示：任何时间按下“ESC”键，都会退出屏保。."};
  TLabel TabSheet3{"关于"};
  TLabel ScreensaverNameLabel{kDefaultScreensaverName};
  TLabel GroupBox4{"作者信息"};
  TLabel AuthorLabel;
  TLabel CompanyLabel;
  TMemo readmeedit;
  TLabel BitBtn1{"确定"};
  TLabel BitBtn2{"取消"};

  // The preferences as FormCreate chose them.
  const Preferences& ChosenPreferences() const { return prefs_; }
  const std::string& BannerLink() const { return bannerLink_; }
  const std::string& UserSettingsFile() const { return userSettingsPath_; }

 private:
  std::string programPath_;
  ShellOpenFunction shellOpen_;
  std::string userSettingsPath_;
  Preferences prefs_;
  std::string bannerLink_;
};

// Splits a text into lines at CR LF, LF or CR, as a memo shows it.
std::vector<std::string> SplitLines(const std::string& text);

// The built-in banner picture (drawn for this program, 413 x 61).
Bitmap BuiltinBanner();

}  // namespace ls
