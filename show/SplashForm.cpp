#include "show/SplashForm.h"

#include "platform/graphics/Text.h"

namespace ls {

TSplashForm::TSplashForm(Window& window)
    : window_(window), content_(window.ClientWidth(), window.ClientHeight()) {
  // Black, with the line in a white bold Verdana 13 pixels high (8 points at
  // 96 dots per inch), in a borderless text box at (24, 24).
  FontSpec font;
  font.name = "Verdana";
  font.sizePt = 8;
  font.bold = true;
  font.color = 0xFFFFFF;
  DrawText(content_, 24, 24, font, kText);
  window_.handlers.onPaint = [this](const Rect& invalid) { window_.Present(content_, invalid); };
}

TSplashForm::~TSplashForm() { window_.handlers.onPaint = nullptr; }

void TSplashForm::ShowAndPaint() {
  window_.Show();
  window_.InvalidateAll();
  window_.Update();
}

void TSplashForm::Hide() { window_.Hide(); }

}  // namespace ls
