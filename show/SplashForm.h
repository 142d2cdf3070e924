#pragma once
// The start-up form: a black full-screen window with one line of text, on
// screen while the show window unpacks its package.

#include "platform/app/Window.h"
#include "platform/graphics/Bitmap.h"

namespace ls {

class TSplashForm {
 public:
  // Takes over the window's painting; the window must outlive the form.
  explicit TSplashForm(Window& window);
  ~TSplashForm();
  TSplashForm(const TSplashForm&) = delete;
  TSplashForm& operator=(const TSplashForm&) = delete;

  // Shows the form and paints it at once, before any slow work begins.
  void ShowAndPaint();
  void Hide();

  // The text of its one line ("running").
  static constexpr const char* kText = "正在执行....";
  // What the form shows.
  const Bitmap& Content() const { return content_; }

 private:
  Window& window_;
  Bitmap content_;
};

}  // namespace ls
