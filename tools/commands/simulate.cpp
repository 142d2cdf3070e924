// lanternslide-tool simulate FILE: runs the show of FILE on the headless
// backends in virtual time and prints its trace, one JSON object per line.
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/app/headless/HeadlessLoop.h"
#include "platform/app/headless/HeadlessWindow.h"
#include "platform/files/Files.h"
#include "platform/graphics/Png.h"
#include "platform/random/Random.h"
#include "show/ScreensaverForm.h"
#include "tools/Command.h"

namespace ls::tool {
namespace {

constexpr const char* kUsage =
    "usage: lanternslide-tool simulate FILE [--seconds S] [--size WxH] [--seed K]\n"
    "                                       [--input EVENTS] [--frames DIR]\n"
    "Runs the show of FILE (a built screensaver, or a bare player for direct-run\n"
    "mode) in virtual time and prints its trace, one JSON object per line.\n"
    "  --seconds S     end the show after S virtual seconds (default 60)\n"
    "  --size WxH      size of the simulated screen (default 1024x768)\n"
    "  --seed K        base seed of the random generator (default 1)\n"
    "  --input EVENTS  T:key:CODE;T:click;T:move:X,Y;T:deactivate (T in ms)\n"
    "  --frames DIR    write the frame on screen at every slide and complete as PNG\n";

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

// Writes the trace and, on request, the frames on screen.
class TraceWriter : public ShowObserver {
 public:
  TraceWriter(EventLoop& loop, FILE* out) : loop_(loop), out_(out) {}

  void SetFrames(const HeadlessWindow* window, std::string dir) {
    window_ = window;
    framesDir_ = std::move(dir);
  }
  bool FramesOk() const { return framesOk_; }

  void ShowStarted(bool packageMode, int images, int tracks) override {
    Line("start", std::string(",\"mode\":") + (packageMode ? "\"package\"" : "\"direct\"") +
                      ",\"images\":" + std::to_string(images) +
                      ",\"tracks\":" + std::to_string(tracks));
  }
  void SplashStarted(const std::optional<std::string>& file, int style) override {
    Line("splash", ",\"file\":" + (file ? JsonString(*file) : std::string("null")) +
                       ",\"style\":" + std::to_string(style));
  }
  void SlideStarted(int index, int style, int step, bool caption) override {
    Line("slide", ",\"index\":" + std::to_string(index) + ",\"style\":" + std::to_string(style) +
                      ",\"step\":" + std::to_string(step) +
                      ",\"caption\":" + (caption ? "true" : "false"));
    Frame("slide", std::to_string(index));
  }
  void SlideSkipped(int index, SkipReason reason) override {
    Line("skip", ",\"index\":" + std::to_string(index) + ",\"reason\":" +
                     JsonString(SkipReasonName(reason)));
  }
  void TransitionCompleted(std::optional<int> index) override {
    Line("complete", ",\"index\":" + (index ? std::to_string(*index) : std::string("null")));
    Frame("complete", index ? std::to_string(*index) : "splash");
  }
  void SoundStarted(int index, const std::string& file) override {
    Line("sound", ",\"index\":" + std::to_string(index) + ",\"file\":" + JsonString(file));
  }
  void TrackStarted(int n, const std::string& file) override {
    Line("track", ",\"n\":" + std::to_string(n) + ",\"file\":" + JsonString(file));
  }
  void TrackEnded(int n) override { Line("trackend", ",\"n\":" + std::to_string(n)); }
  void ShowEnding(ExitReason reason) override {
    Line("exit", ",\"reason\":" + JsonString(ExitReasonName(reason)));
  }
  void End(bool workdirRemoved) {
    Line("end", std::string(",\"workdir_removed\":") + (workdirRemoved ? "true" : "false"));
  }

 private:
  void Line(const char* ev, const std::string& fields) {
    std::fprintf(out_, "{\"t\":%" PRIu32 ",\"ev\":\"%s\"%s}\n", loop_.GetTickCount(), ev,
                 fields.c_str());
  }
  void Frame(const char* what, const std::string& index) {
    if (!window_) return;
    char name[96];
    std::snprintf(name, sizeof name, "/%04d-t%07" PRIu32 "-%s-%s.png", frameNumber_++,
                  loop_.GetTickCount(), what, index.c_str());
    if (!WritePng(window_->Screen(), framesDir_ + name)) framesOk_ = false;
  }

  EventLoop& loop_;
  FILE* out_;
  const HeadlessWindow* window_ = nullptr;
  std::string framesDir_;
  int frameNumber_ = 0;
  bool framesOk_ = true;
};

bool ParseSize(const std::string& s, int& w, int& h) {
  unsigned a = 0, b = 0;
  char x = 0, extra = 0;
  if (std::sscanf(s.c_str(), "%u%c%u%c", &a, &x, &b, &extra) != 3 || (x != 'x' && x != 'X'))
    return false;
  if (a == 0 || b == 0 || a > 16384 || b > 16384) return false;
  w = static_cast<int>(a);
  h = static_cast<int>(b);
  return true;
}

bool ParseUnsigned(const std::string& s, uint64_t& out) {
  if (s.empty() || s.size() > 19) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  out = std::stoull(s);
  return true;
}

int Simulate(const std::vector<std::string>& args) {
  std::string file, inputScript, framesDir;
  uint64_t seconds = 60, seed = 1;
  int width = 1024, height = 768;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--seconds") {
      if (!value(v) || !ParseUnsigned(v, seconds) || seconds > 2'000'000) {
        std::fprintf(stderr, "simulate: --seconds takes a whole number of seconds\n");
        return 2;
      }
    } else if (a == "--size") {
      if (!value(v) || !ParseSize(v, width, height)) {
        std::fprintf(stderr, "simulate: --size takes WxH, for example 1024x768\n");
        return 2;
      }
    } else if (a == "--seed") {
      if (!value(v) || !ParseUnsigned(v, seed)) {
        std::fprintf(stderr, "simulate: --seed takes a whole number\n");
        return 2;
      }
    } else if (a == "--input") {
      if (!value(inputScript)) {
        std::fprintf(stderr, "simulate: --input takes a list of events\n");
        return 2;
      }
    } else if (a == "--frames") {
      if (!value(framesDir)) {
        std::fprintf(stderr, "simulate: --frames takes a folder\n");
        return 2;
      }
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "simulate: unknown option %s\n%s", a.c_str(), kUsage);
      return 2;
    } else if (file.empty()) {
      file = a;
    } else {
      std::fprintf(stderr, "simulate: only one FILE may be given\n");
      return 2;
    }
  }
  if (file.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string inputError;
  const auto inputs = ParseInputScript(inputScript, &inputError);
  if (!inputs) {
    std::fprintf(stderr, "simulate: %s\n", inputError.c_str());
    return 2;
  }
  if (!FileExists(file)) {
    std::fprintf(stderr, "simulate: %s: no such file\n", file.c_str());
    return 1;
  }
  if (!framesDir.empty()) {
    CreateFolder(framesDir);
    if (!FolderExists(framesDir)) {
      std::fprintf(stderr, "simulate: cannot create the frames folder %s\n", framesDir.c_str());
      return 1;
    }
  }

  // The clock starts at 0 with the show window; start-up moves it not at all.
  HeadlessLoop loop(0);
  EventLoop* previous = ApplicationOrNull();
  SetApplication(&loop);
  struct Restore {
    EventLoop* loop;
    ~Restore() { SetApplication(loop); }
  } restore{previous};
  SharedRandom().SetBaseSeed(seed);

  HeadlessWindow window(loop, width, height);
  TraceWriter trace(loop, stdout);
  if (!framesDir.empty()) trace.SetFrames(&window, framesDir);
  window.Show();

  ShowEnvironment env;
  env.programPath = file;
  env.window = &window;
  env.media = MediaBackend::kHeadless;
  env.observer = &trace;
  std::string workdir;
  {
    TScreensaverForm form(env);
    window.Schedule(*inputs);
    Timer limit(loop);
    limit.SetInterval(static_cast<uint32_t>(seconds * 1000));
    limit.OnTimer = [&] {
      limit.SetEnabled(false);
      form.EndShow(ExitReason::kTime);
    };
    limit.SetEnabled(true);
    if (seconds == 0) form.EndShow(ExitReason::kTime);
    loop.Run();
    workdir = form.WorkingFolder();
    loop.CancelScheduled(&window);
  }  // destroying the form deletes its working folder
  const bool workdirRemoved = workdir.empty() || !FolderExists(workdir);
  trace.End(workdirRemoved);
  std::fflush(stdout);
  if (!trace.FramesOk()) {
    std::fprintf(stderr, "simulate: could not write every frame into %s\n", framesDir.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

LS_TOOL_COMMAND(simulate, "simulate", "run a screensaver's show in virtual time and trace it",
                Simulate);

}  // namespace ls::tool
