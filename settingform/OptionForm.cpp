#include "settingform/OptionForm.h"

#include <utility>

#include "package/Package.h"
#include "platform/files/Files.h"
#include "platform/graphics/Picture.h"
#include "shell/resources/BuiltinResources.h"

namespace ls {

const char* const kDefaultReadmeNote =
    "感谢您使用本屏幕保护程序。\n"
    "在“全局”页选择要显示的内容和图片转换的速度，在“退出选项”页选择结束屏保的方式，"
    "然后按“确定”保存。\n"
    "\n"
    "Thank you for choosing this screensaver. Choose what it shows and how fast the "
    "pictures change on the first page, how it ends on the second, and press OK to keep "
    "your choices.";

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  // A final line break ends the last line; it does not start an empty one.
  if (!line.empty() || text.empty()) lines.push_back(std::move(line));
  return lines;
}

Bitmap BuiltinBanner() {
  std::optional<Bitmap> banner = LoadPictureMemory(BannerBmpResource(), ".bmp");
  return banner ? std::move(*banner) : Bitmap();
}

TOptionForm::TOptionForm(std::string programPath, ShellOpenFunction shellOpen)
    : programPath_(std::move(programPath)), shellOpen_(shellOpen ? std::move(shellOpen) : ShellOpenFunction(&ShellOpen)) {
  BannerImage.Picture = BuiltinBanner();
  readmeedit.Lines = SplitLines(kDefaultReadmeNote);
  AuthorLabel.Caption = kDefaultAuthor;
  CompanyLabel.Caption = kDefaultCompany;
}

void TOptionForm::FormCreate() {
  ActivePageIndex = 0;

  // Only a file that carries a package is read; a bare player (or a file with
  // a damaged package) shows the defaults and the built-in pictures.
  std::optional<DialogPackage> package = ReadDialogPackage(programPath_);
  const IniFile settings = package ? package->settings : IniFile::FromText("");
  const SettingDialogSettings dialog =
      package ? package->dialog : ReadSettingDialogSettings(settings);

  // The user settings file belongs to one build of the package: a missing or
  // foreign one is started afresh with this package's Id before anything is
  // shown, as the show will read it.
  userSettingsPath_ = UserSettingsPath(programPath_);
  const PreferenceChoice choice = ChoosePreferences(settings, userSettingsPath_);
  if (choice.userFile != UserFileState::Matching)
    ResetUserSettingsFile(userSettingsPath_, ReadPackageId(settings));
  prefs_ = choice.prefs;

  // A banner that does not decode leaves the built-in one in place.
  if (package && package->bannerImage) {
    if (std::optional<Bitmap> banner = LoadPictureMemory(*package->bannerImage, dialog.BannerFileType))
      BannerImage.Picture = std::move(*banner);
  }
  if (package && package->readme) readmeedit.Lines = SplitLines(*package->readme);

  ScreensaverNameLabel.Caption = dialog.ScreensaverName;
  AuthorLabel.Caption = dialog.Authos;
  CompanyLabel.Caption = dialog.Compans;
  Caption = dialog.ScreensaverName + " 屏幕保护程序设置";

  bannerLink_ = dialog.UsingBannerLink ? dialog.BannerLink : std::string();
  BannerImage.HandCursor = !bannerLink_.empty();
  BannerImage.Hint = bannerLink_;

  ShowCaptionCheckBox.Checked = prefs_.UserShowCaption;
  ShowBackgroundCheckBox.Checked = prefs_.UserShowBackground;
  PlayMusicCheckBox.Checked = prefs_.UserPlayMusic;
  ShowTransitionCheckBox.Checked = prefs_.UserShowTransition;
  TransitionStepTrackBar.SetPosition(prefs_.TransitionStep);
  MouseMoveCheckBox.Checked = prefs_.ExitOnMouseMove;
  KeyPressCheckBox.Checked = prefs_.ExitOnKeyPress;
  MouseClickCheckBox.Checked = prefs_.ExitOnMouseClick;
}

void TOptionForm::FormClose(TModalResult result) {
  if (result != TModalResult::Ok) return;
  Preferences chosen;
  chosen.UserShowCaption = ShowCaptionCheckBox.Checked;
  chosen.UserShowBackground = ShowBackgroundCheckBox.Checked;
  chosen.UserPlayMusic = PlayMusicCheckBox.Checked;
  chosen.UserShowTransition = ShowTransitionCheckBox.Checked;
  chosen.TransitionStep = TransitionStepTrackBar.Position();
  chosen.ExitOnMouseMove = MouseMoveCheckBox.Checked;
  chosen.ExitOnMouseClick = MouseClickCheckBox.Checked;
  chosen.ExitOnKeyPress = KeyPressCheckBox.Checked;
  IniFile user(userSettingsPath_.empty() ? UserSettingsPath(programPath_) : userSettingsPath_);
  WriteUserPreferences(user, chosen);
}

void TOptionForm::BannerImageClick() {
  if (!bannerLink_.empty()) shellOpen_(bannerLink_);
}

}  // namespace ls
