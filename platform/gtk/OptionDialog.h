#pragma once
// The settings dialog on GTK3: a fixed 433 x 332 dialog whose controls sit at
// the pixel positions of the form's design, showing a TOptionForm and handing
// the user's choices back to it.

#include <memory>
#include <string>

#include "settingform/OptionForm.h"
#include "settingform/RunConfigure.h"

typedef struct _GtkWidget GtkWidget;

namespace ls {

// Initialises GTK once for the process; false when no display can be opened.
bool InitGtk();

// One dialog for one form. Widgets are named after the form's components
// ("KeyPressCheckBox", "BitBtn1", ...), so they can be found by name.
class GtkOptionDialog {
 public:
  // Builds the dialog from the filled form (InitGtk must have succeeded).
  explicit GtkOptionDialog(TOptionForm& form);
  ~GtkOptionDialog();
  GtkOptionDialog(const GtkOptionDialog&) = delete;
  GtkOptionDialog& operator=(const GtkOptionDialog&) = delete;

  // Shows the dialog modally until OK, Cancel, Esc or the close box; on OK
  // the form's check boxes and track bar take the widgets' states.
  TModalResult ShowModal();
  // Closes a dialog shown by ShowModal as if the user had chosen `result`.
  void Close(TModalResult result);

  GtkWidget* Window() const { return window_; }
  // The widget named after a component of the form; nullptr when none.
  GtkWidget* Find(const std::string& name) const;
  // Draws the dialog's client area into a PNG file; false on failure.
  bool SaveScreenshot(const std::string& pngPath) const;

 private:
  void Build();
  void TakeChoices();

  TOptionForm& form_;
  GtkWidget* window_ = nullptr;
  TModalResult result_ = TModalResult::None;
  void* loop_ = nullptr;  // the GMainLoop of ShowModal
};

class GtkOptionFormView : public TOptionFormView {
 public:
  TModalResult ShowModal(TOptionForm& form) override;
};

}  // namespace ls
