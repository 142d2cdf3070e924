#pragma once
// Control ids of the settings dialog on Windows. Every control is a direct
// child of the dialog window, so GetDlgItem(dialog, id) finds it, also from
// another process (the dialog is found by its title, the form's caption).
// The ids carry the form's component names; OK and Cancel are the system's
// IDOK (1) and IDCANCEL (2), so Enter and Esc answer them as in any dialog.
//
// Panel2 and the three TabSheets have no window of their own: they only
// shift their controls, which sit at their designed places inside them.

#include <string_view>

namespace ls::dialog_ids {

inline constexpr int kPanel1 = 1001;
inline constexpr int kBannerImage = 1002;
inline constexpr int kPageControl1 = 1003;
inline constexpr int kGroupBox3 = 1010;
inline constexpr int kShowCaptionCheckBox = 1011;
inline constexpr int kShowBackgroundCheckBox = 1012;
inline constexpr int kPlayMusicCheckBox = 1013;
inline constexpr int kShowTransitionCheckBox = 1014;
inline constexpr int kGroupBox2 = 1015;
inline constexpr int kLabel1 = 1016;
inline constexpr int kTransitionStepTrackBar = 1017;
inline constexpr int kLabel2 = 1018;
inline constexpr int kGroupBox1 = 1020;
inline constexpr int kMouseMoveCheckBox = 1021;
inline constexpr int kKeyPressCheckBox = 1022;
inline constexpr int kMouseClickCheckBox = 1023;
inline constexpr int kLabel3 = 1024;
inline constexpr int kScreensaverNameLabel = 1030;
inline constexpr int kBevel1 = 1031;
inline constexpr int kGroupBox4 = 1032;
inline constexpr int kAuthorLabel = 1033;
inline constexpr int kCompanyLabel = 1034;
inline constexpr int kReadmeEdit = 1035;
inline constexpr int kBitBtn1 = 1;  // IDOK
inline constexpr int kBitBtn2 = 2;  // IDCANCEL

struct NamedControl {
  std::string_view name;
  int id;
};

// Component name -> control id.
inline constexpr NamedControl kControls[] = {
    {"Panel1", kPanel1},
    {"BannerImage", kBannerImage},
    {"PageControl1", kPageControl1},
    {"GroupBox3", kGroupBox3},
    {"ShowCaptionCheckBox", kShowCaptionCheckBox},
    {"ShowBackgroundCheckBox", kShowBackgroundCheckBox},
    {"PlayMusicCheckBox", kPlayMusicCheckBox},
    {"ShowTransitionCheckBox", kShowTransitionCheckBox},
    {"GroupBox2", kGroupBox2},
    {"Label1", kLabel1},
    {"TransitionStepTrackBar", kTransitionStepTrackBar},
    {"Label2", kLabel2},
    {"GroupBox1", kGroupBox1},
    {"MouseMoveCheckBox", kMouseMoveCheckBox},
    {"KeyPressCheckBox", kKeyPressCheckBox},
    {"MouseClickCheckBox", kMouseClickCheckBox},
    {"Label3", kLabel3},
    {"ScreensaverNameLabel", kScreensaverNameLabel},
    {"Bevel1", kBevel1},
    {"GroupBox4", kGroupBox4},
    {"AuthorLabel", kAuthorLabel},
    {"CompanyLabel", kCompanyLabel},
    {"readmeedit", kReadmeEdit},
    {"BitBtn1", kBitBtn1},
    {"BitBtn2", kBitBtn2},
};

// The control id of a component; 0 for a name the dialog does not have.
constexpr int ControlId(std::string_view name) {
  for (const NamedControl& c : kControls)
    if (c.name == name) return c.id;
  return 0;
}

// The pages of PageControl1 in order: "全局", "退出选项", "关于".
inline constexpr int kPageCount = 3;

}  // namespace ls::dialog_ids
