#pragma once
// Configure mode: the settings dialog from creation to its close.

#include <string>

#include "settingform/OptionForm.h"

namespace ls {

// Shows a TOptionForm to the user: a toolkit's dialog (platform/gtk) or a
// scripted one in tests.
class TOptionFormView {
 public:
  virtual ~TOptionFormView() = default;
  // Shows the filled form modally and returns how it was closed; the form's
  // check boxes and track bar then hold what the user chose. Clicks on the
  // banner go to form.BannerImageClick().
  virtual TModalResult ShowModal(TOptionForm& form) = 0;
  // Tells the user why the choices could not be kept, where standard error
  // reaches nobody (a program without a console). Nothing by default.
  virtual void ShowError(const std::string& message) { (void)message; }
};

// Creates the form for programPath, runs FormCreate, shows it through the
// view and runs FormClose with the result. Returns the process exit code:
// 0, or 1 with one line on standard error (and the view's ShowError) when
// the user settings file cannot be written (the user's choices would
// otherwise be lost unseen).
int RunConfigureMode(const std::string& programPath, TOptionFormView& view);

// Configure mode on the desktop's own dialog (GTK on Linux, a Win32 dialog on
// Windows; implemented by that platform backend). Returns the exit code, 1
// with one line on standard error also when there is no display.
int RunConfigureMode(const std::string& programPath);

}  // namespace ls
