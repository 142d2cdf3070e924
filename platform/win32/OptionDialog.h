#pragma once
// The settings dialog on Windows: a modal dialog of 433 x 332 client pixels
// (at 96 dots per inch; scaled with the monitor's DPI) whose controls sit at
// the pixel positions of the form's design, showing a TOptionForm and handing
// the user's choices back to it. Control ids: platform/win32/DialogIds.h.

#include <memory>
#include <string>

#include "settingform/OptionForm.h"
#include "settingform/RunConfigure.h"

struct HWND__;

namespace ls {

// One dialog for one filled form.
class Win32OptionDialog {
 public:
  explicit Win32OptionDialog(TOptionForm& form);
  ~Win32OptionDialog();
  Win32OptionDialog(const Win32OptionDialog&) = delete;
  Win32OptionDialog& operator=(const Win32OptionDialog&) = delete;

  // Shows the dialog modally (on the calling thread) until OK, Cancel, Esc
  // or the close box; on OK the form's check boxes and track bar take the
  // controls' states. Throws std::runtime_error when the system refuses to
  // create the dialog.
  TModalResult ShowModal();
  // Closes the dialog shown by ShowModal as if the user had chosen `result`
  // (on the dialog's thread, e.g. from a timer).
  void Close(TModalResult result);

  // The dialog window while ShowModal runs, else nullptr.
  HWND__* Window() const;
  // The control named after a component of the form (see DialogIds.h) while
  // ShowModal runs; nullptr otherwise or when the form has no such control.
  HWND__* Find(const std::string& name) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class Win32OptionFormView : public TOptionFormView {
 public:
  TModalResult ShowModal(TOptionForm& form) override;
  // A message box: a screensaver's settings run without a console.
  void ShowError(const std::string& message) override;
};

}  // namespace ls
