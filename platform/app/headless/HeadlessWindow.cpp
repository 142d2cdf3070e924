#include "platform/app/headless/HeadlessWindow.h"

#include <charconv>
#include <cstring>

namespace ls {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

template <typename T>
bool ParseNumber(std::string_view s, T& out) {
  s = Trim(s);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

}  // namespace

std::optional<std::vector<ScriptedInput>> ParseInputScript(std::string_view script,
                                                           std::string* error) {
  std::vector<ScriptedInput> events;
  auto fail = [&](std::string_view entry, const char* why) {
    if (error) *error = "bad input event \"" + std::string(entry) + "\": " + why;
    return std::nullopt;
  };
  while (!script.empty()) {
    const size_t semi = script.find(';');
    const std::string_view entry = Trim(script.substr(0, semi));
    script = semi == std::string_view::npos ? std::string_view{} : script.substr(semi + 1);
    if (entry.empty()) continue;

    const size_t c1 = entry.find(':');
    if (c1 == std::string_view::npos) return fail(entry, "expected TIME:KIND");
    ScriptedInput in;
    if (!ParseNumber(entry.substr(0, c1), in.at)) return fail(entry, "bad time");
    std::string_view rest = entry.substr(c1 + 1);
    const size_t c2 = rest.find(':');
    const std::string_view kind = Trim(rest.substr(0, c2));
    const std::string_view arg =
        c2 == std::string_view::npos ? std::string_view{} : rest.substr(c2 + 1);
    const bool hasArg = c2 != std::string_view::npos;
    if (kind == "key") {
      in.kind = ScriptedInput::Kind::kKey;
      if (!hasArg || !ParseNumber(arg, in.code) || in.code < 0 || in.code > 255)
        return fail(entry, "expected key:CODE with a code from 0 to 255");
    } else if (kind == "click") {
      in.kind = ScriptedInput::Kind::kClick;
      if (hasArg) return fail(entry, "click takes no argument");
    } else if (kind == "move") {
      in.kind = ScriptedInput::Kind::kMove;
      const size_t comma = arg.find(',');
      if (!hasArg || comma == std::string_view::npos || !ParseNumber(arg.substr(0, comma), in.x) ||
          !ParseNumber(arg.substr(comma + 1), in.y))
        return fail(entry, "expected move:X,Y");
    } else if (kind == "deactivate") {
      in.kind = ScriptedInput::Kind::kDeactivate;
      if (hasArg) return fail(entry, "deactivate takes no argument");
    } else {
      return fail(entry, "unknown kind (key, click, move or deactivate)");
    }
    events.push_back(in);
  }
  return events;
}

HeadlessWindow::HeadlessWindow(HeadlessLoop& loop, int width, int height)
    : Window(loop), loop_(loop), screen_(width, height), cursor_{width / 2, height / 2} {}

HeadlessWindow::~HeadlessWindow() { loop_.CancelScheduled(this); }

void HeadlessWindow::Show() {
  visible_ = true;
  Activated();
  InvalidateAll();
}

void HeadlessWindow::Hide() { visible_ = false; }

void HeadlessWindow::Present(const Bitmap& frame, const Rect& area) {
  const Rect r = area.Intersect(frame.Bounds()).Intersect(screen_.Bounds());
  if (r.IsEmpty()) return;
  for (int y = r.top; y < r.bottom; ++y)
    std::memcpy(screen_.Row(y) + r.left, frame.Row(y) + r.left,
                static_cast<size_t>(r.Width()) * sizeof(Pixel));
  ++presentCount_;
  if (onPresented) onPresented(r);
}

void HeadlessWindow::Schedule(const ScriptedInput& input) {
  loop_.ScheduleAt(input.at, [this, input] { Deliver(input); }, this);
}

void HeadlessWindow::Schedule(const std::vector<ScriptedInput>& inputs) {
  for (const ScriptedInput& in : inputs) Schedule(in);
}

void HeadlessWindow::Deliver(const ScriptedInput& input) {
  switch (input.kind) {
    case ScriptedInput::Kind::kKey:
      KeyDown(input.code, input.alt);
      break;
    case ScriptedInput::Kind::kClick:
      Click();
      break;
    case ScriptedInput::Kind::kMove:
      cursor_ = {input.x, input.y};
      // The window covers the screen from its origin: client = screen.
      MouseMove(input.x, input.y);
      break;
    case ScriptedInput::Kind::kDeactivate:
      Deactivated();
      break;
  }
}

}  // namespace ls
