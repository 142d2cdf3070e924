#pragma once
// Fixtures of the show's tests: a private temporary and settings folder per
// test, small media files, screensavers built with the real `pack`, and the
// trace of `simulate` read back.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ls::test {

// One value of a trace line: a number, a string, true/false or null.
struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString } kind = Kind::kNull;
  bool b = false;
  double n = 0;
  std::string s;
  bool IsNull() const { return kind == Kind::kNull; }
  int Int() const { return static_cast<int>(n); }
};

// One trace line.
struct TraceEvent {
  uint32_t t = 0;
  std::string ev;
  std::map<std::string, JsonValue> fields;
  int Int(const std::string& key) const;
  const std::string& Str(const std::string& key) const;
  bool Bool(const std::string& key) const;
  bool IsNull(const std::string& key) const;
  bool Has(const std::string& key) const { return fields.count(key) != 0; }
};

// Parses one flat JSON object; nullopt when it is not one.
std::optional<TraceEvent> ParseTraceLine(const std::string& line);

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// A folder of its own for one test: its temporary folder (TMPDIR) and its
// settings folder (XDG_CONFIG_HOME) live inside, and are removed at the end.
class ShowSandbox {
 public:
  ShowSandbox();
  ~ShowSandbox();

  const std::string& Root() const { return root_; }
  std::string Path(const std::string& name) const { return root_ + "/" + name; }
  std::string TempFolder() const { return root_ + "/tmp/"; }
  std::string ConfigFolder() const { return root_ + "/config"; }
  std::string WorkingFolder() const { return TempFolder() + "screensavertempdirectory"; }

  // A 24-bit Windows bitmap of one colour (0xRRGGBB).
  std::string WriteBmp(const std::string& name, int w, int h, uint32_t rgb) const;
  // A JPEG of one colour.
  std::string WriteJpeg(const std::string& name, int w, int h, uint32_t rgb) const;
  // A 16-bit mono PCM WAV lasting `ms`.
  std::string WriteWav(const std::string& name, uint32_t ms) const;
  std::string WriteFile(const std::string& name, const std::string& bytes) const;

  // Runs a command line (a shell string) with TMPDIR and XDG_CONFIG_HOME set
  // to this sandbox's folders.
  ProcessResult Run(const std::string& command) const;
  // `pack` of a project file's text; returns the screensaver's path.
  std::string Pack(const std::string& projectIni, const std::string& name = "Show.scr") const;
  // `simulate FILE ARGS`; fails the test when the tool fails.
  std::vector<TraceEvent> Simulate(const std::string& file, const std::string& args = "") const;
  // The direct-run settings file in this sandbox's temporary folder.
  void WriteDirectRunSettings(const std::string& ini) const;
  // The user settings file of a screensaver file.
  void WriteUserSettings(const std::string& screensaverPath, const std::string& ini) const;

 private:
  std::string root_;
};

std::string ToolPath();    // the built lanternslide-tool
std::string ShowRunnerPath();  // a player that runs show mode only
std::string Quote(const std::string& s);

// The events of one kind, in order.
std::vector<TraceEvent> Events(const std::vector<TraceEvent>& trace, const std::string& ev);
// The `index` of every `slide` event.
std::vector<int> SlideOrder(const std::vector<TraceEvent>& trace);
// The `n` of every `track` event.
std::vector<int> TrackOrder(const std::vector<TraceEvent>& trace);

// The [Picture] and [Pictures] sections of a settings or project file (the
// direct-run form): File<i> and File<i>SceneDuration for every file, the
// lines of `perPicture` with "{i}" replaced by the index, `pictureKeys` under
// [Picture], and `overrides` (full key names) in place of generated keys.
std::string PicturesSection(const std::vector<std::string>& files, int sceneDuration,
                            const std::string& perPicture = "",
                            const std::string& pictureKeys = "",
                            const std::map<std::string, std::string>& overrides = {});

}  // namespace ls::test
