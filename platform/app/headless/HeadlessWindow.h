#pragma once
// The headless window: an in-memory screen of a fixed size at the origin of
// the screen, and input scripted at virtual times of a HeadlessLoop.
//
// What Present puts on screen is kept in Screen(), so a tool can write the
// frames that a person would have seen.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/app/Window.h"
#include "platform/app/headless/HeadlessLoop.h"

namespace ls {

// One scripted input event.
struct ScriptedInput {
  enum class Kind {
    kKey,         // a key goes down: `code` is a virtual-key code
    kClick,       // a click on the client area
    kMove,        // the cursor moves to the screen position (x, y)
    kDeactivate,  // another window takes the activation
  };
  uint32_t at = 0;  // virtual milliseconds
  Kind kind = Kind::kKey;
  int code = 0;
  bool alt = false;
  int x = 0;
  int y = 0;
  friend bool operator==(const ScriptedInput&, const ScriptedInput&) = default;
};

// Parses "T:key:CODE;T:click;T:move:X,Y;T:deactivate" (T in virtual
// milliseconds, CODE a decimal virtual-key code; empty entries are skipped).
// On bad input returns nothing and, when `error` is given, says what is wrong.
std::optional<std::vector<ScriptedInput>> ParseInputScript(std::string_view script,
                                                           std::string* error = nullptr);

class HeadlessWindow : public Window {
 public:
  HeadlessWindow(HeadlessLoop& loop, int width, int height);
  ~HeadlessWindow() override;

  // Showing activates the window and asks for a paint of the whole.
  void Show() override;
  void Hide() override;
  bool Visible() const override { return visible_; }
  int ClientWidth() const override { return screen_.Width(); }
  int ClientHeight() const override { return screen_.Height(); }
  void Present(const Bitmap& frame, const Rect& area) override;
  Point CursorPos() const override { return cursor_; }
  void ShowCursor(bool visible) override { cursorVisible_ = visible; }

  bool CursorVisible() const { return cursorVisible_; }
  // What is on screen now (black before anything was presented).
  const Bitmap& Screen() const { return screen_; }
  // How many times Present put anything on screen.
  int PresentCount() const { return presentCount_; }
  // Called after each Present, with the area put on screen.
  std::function<void(const Rect& area)> onPresented;

  // Places the cursor without reporting a movement (start position).
  void SetCursorPos(Point p) { cursor_ = p; }

  // Delivers the input through the loop at its time.
  void Schedule(const ScriptedInput& input);
  void Schedule(const std::vector<ScriptedInput>& inputs);
  // Delivers the input now (its time is ignored).
  void Deliver(const ScriptedInput& input);

 private:
  HeadlessLoop& loop_;
  Bitmap screen_;
  Point cursor_;
  bool visible_ = false;
  bool cursorVisible_ = true;
  int presentCount_ = 0;
};

}  // namespace ls
