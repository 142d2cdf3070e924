#include "tests/show/ShowTestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace ls::test {

namespace fs = std::filesystem;

int TraceEvent::Int(const std::string& key) const {
  auto it = fields.find(key);
  EXPECT_TRUE(it != fields.end()) << ev << " has no " << key;
  return it == fields.end() ? -999 : it->second.Int();
}
const std::string& TraceEvent::Str(const std::string& key) const {
  static const std::string none;
  auto it = fields.find(key);
  EXPECT_TRUE(it != fields.end()) << ev << " has no " << key;
  return it == fields.end() ? none : it->second.s;
}
bool TraceEvent::Bool(const std::string& key) const {
  auto it = fields.find(key);
  EXPECT_TRUE(it != fields.end()) << ev << " has no " << key;
  return it != fields.end() && it->second.b;
}
bool TraceEvent::IsNull(const std::string& key) const {
  auto it = fields.find(key);
  return it != fields.end() && it->second.IsNull();
}

std::optional<TraceEvent> ParseTraceLine(const std::string& line) {
  size_t i = 0;
  auto ws = [&] {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  };
  auto str = [&](std::string& out) {
    if (i >= line.size() || line[i] != '"') return false;
    ++i;
    while (i < line.size() && line[i] != '"') {
      if (line[i] == '\\') {
        if (++i >= line.size()) return false;
        const char c = line[i];
        if (c == 'n') out += '\n';
        else if (c == 't') out += '\t';
        else if (c == 'r') out += '\r';
        else if (c == 'u') {
          if (i + 4 >= line.size()) return false;
          out += static_cast<char>(std::stoi(line.substr(i + 1, 4), nullptr, 16));
          i += 4;
        } else out += c;
        ++i;
      } else {
        out += line[i++];
      }
    }
    if (i >= line.size()) return false;
    ++i;
    return true;
  };
  TraceEvent e;
  ws();
  if (i >= line.size() || line[i++] != '{') return std::nullopt;
  bool haveT = false;
  while (true) {
    ws();
    std::string key;
    if (!str(key)) return std::nullopt;
    ws();
    if (i >= line.size() || line[i++] != ':') return std::nullopt;
    ws();
    JsonValue v;
    if (i < line.size() && line[i] == '"') {
      v.kind = JsonValue::Kind::kString;
      if (!str(v.s)) return std::nullopt;
    } else if (line.compare(i, 4, "true") == 0) {
      v.kind = JsonValue::Kind::kBool;
      v.b = true;
      i += 4;
    } else if (line.compare(i, 5, "false") == 0) {
      v.kind = JsonValue::Kind::kBool;
      i += 5;
    } else if (line.compare(i, 4, "null") == 0) {
      i += 4;
    } else {
      size_t used = 0;
      try {
        v.n = std::stod(line.substr(i), &used);
      } catch (...) {
        return std::nullopt;
      }
      v.kind = JsonValue::Kind::kNumber;
      i += used;
    }
    if (key == "t") {
      e.t = static_cast<uint32_t>(v.n);
      haveT = v.kind == JsonValue::Kind::kNumber;
    } else if (key == "ev") {
      e.ev = v.s;
    } else {
      e.fields[key] = v;
    }
    ws();
    if (i < line.size() && line[i] == ',') {
      ++i;
      continue;
    }
    if (i < line.size() && line[i] == '}') break;
    return std::nullopt;
  }
  if (!haveT || e.ev.empty()) return std::nullopt;
  return e;
}

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

std::string ToolPath() { return std::string(LS_BINARY_DIR) + "/bin/lanternslide-tool"; }
std::string ShowRunnerPath() { return LS_SHOW_RUNNER; }

ShowSandbox::ShowSandbox() {
  std::string tmpl = (fs::temp_directory_path() / "ls-show-test-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) ADD_FAILURE() << "mkdtemp failed";
  root_ = buf.data();
  fs::create_directories(TempFolder());
  fs::create_directories(ConfigFolder());
}

ShowSandbox::~ShowSandbox() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

std::string ShowSandbox::WriteFile(const std::string& name, const std::string& bytes) const {
  const std::string p = Path(name);
  fs::create_directories(fs::path(p).parent_path());
  std::ofstream f(p, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(f.good()) << p;
  return p;
}

namespace {
void Put16(std::string& o, uint16_t v) {
  o.push_back(char(v & 255));
  o.push_back(char(v >> 8));
}
void Put32(std::string& o, uint32_t v) {
  for (int i = 0; i < 4; ++i) o.push_back(char((v >> (8 * i)) & 255));
}
}  // namespace

std::string ShowSandbox::WriteBmp(const std::string& name, int w, int h, uint32_t rgb) const {
  const int rowBytes = (w * 3 + 3) & ~3;
  std::string o = "BM";
  Put32(o, 54 + rowBytes * h);
  Put32(o, 0);
  Put32(o, 54);
  Put32(o, 40);
  Put32(o, w);
  Put32(o, h);
  Put16(o, 1);
  Put16(o, 24);
  Put32(o, 0);
  Put32(o, rowBytes * h);
  Put32(o, 2835);
  Put32(o, 2835);
  Put32(o, 0);
  Put32(o, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      o.push_back(char(rgb & 255));
      o.push_back(char((rgb >> 8) & 255));
      o.push_back(char((rgb >> 16) & 255));
    }
    o.append(rowBytes - w * 3, '\0');
  }
  return WriteFile(name, o);
}

std::string ShowSandbox::WriteJpeg(const std::string& name, int w, int h, uint32_t rgb) const {
  const std::string p = Path(name);
  fs::create_directories(fs::path(p).parent_path());
  FILE* f = std::fopen(p.c_str(), "wb");
  EXPECT_TRUE(f) << p;
  if (!f) return p;
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, f);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
  for (int x = 0; x < w; ++x) {
    row[3 * x] = (rgb >> 16) & 255;
    row[3 * x + 1] = (rgb >> 8) & 255;
    row[3 * x + 2] = rgb & 255;
  }
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(f);
  return p;
}

std::string ShowSandbox::WriteWav(const std::string& name, uint32_t ms) const {
  const uint32_t rate = 8000;
  const uint32_t samples = rate * ms / 1000;
  std::string o = "RIFF";
  Put32(o, 36 + samples * 2);
  o += "WAVEfmt ";
  Put32(o, 16);
  Put16(o, 1);
  Put16(o, 1);
  Put32(o, rate);
  Put32(o, rate * 2);
  Put16(o, 2);
  Put16(o, 16);
  o += "data";
  Put32(o, samples * 2);
  o.append(samples * 2, '\0');
  return WriteFile(name, o);
}

ProcessResult ShowSandbox::Run(const std::string& command) const {
  const std::string errFile = Path("stderr.txt");
  const std::string full = "TMPDIR=" + Quote(TempFolder()) + " XDG_CONFIG_HOME=" +
                           Quote(ConfigFolder()) + " " + command + " 2>" + Quote(errFile);
  ProcessResult r;
  FILE* p = popen(full.c_str(), "r");
  if (!p) {
    ADD_FAILURE() << "cannot run " << full;
    return r;
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream e(errFile);
  std::stringstream ss;
  ss << e.rdbuf();
  r.err = ss.str();
  return r;
}

std::string ShowSandbox::Pack(const std::string& projectIni, const std::string& name) const {
  const std::string ini = WriteFile("project-" + name + ".ini", projectIni);
  const std::string out = Path(name);
  const ProcessResult r = Run(Quote(ToolPath()) + " pack " + Quote(ini) + " -o " + Quote(out) +
                              " --player " + Quote(ShowRunnerPath()));
  EXPECT_EQ(r.exitCode, 0) << "pack failed: " << r.err;
  return out;
}

std::vector<TraceEvent> ShowSandbox::Simulate(const std::string& file,
                                              const std::string& args) const {
  const ProcessResult r =
      Run(Quote(ToolPath()) + " simulate " + Quote(file) + " --size 320x240 " + args);
  EXPECT_EQ(r.exitCode, 0) << "simulate failed: " << r.err;
  std::vector<TraceEvent> trace;
  std::istringstream in(r.out);
  std::string line;
  uint32_t lastT = 0;
  while (std::getline(in, line)) {
    auto e = ParseTraceLine(line);
    EXPECT_TRUE(e.has_value()) << "not a trace line: " << line;
    if (!e) continue;
    EXPECT_GE(e->t, lastT) << "trace out of time order at " << line;
    lastT = e->t;
    trace.push_back(*e);
  }
  EXPECT_FALSE(trace.empty());
  if (!trace.empty()) {
    EXPECT_EQ(trace.front().ev, "start");
    EXPECT_EQ(trace.back().ev, "end");
  }
  return trace;
}

void ShowSandbox::WriteDirectRunSettings(const std::string& ini) const {
  std::ofstream f(TempFolder() + "globalscreensaverini.ini", std::ios::binary);
  f << ini;
}

void ShowSandbox::WriteUserSettings(const std::string& screensaverPath,
                                    const std::string& ini) const {
  const std::string base = fs::path(screensaverPath).stem().string();
  fs::create_directories(ConfigFolder() + "/lanternslide");
  std::ofstream f(ConfigFolder() + "/lanternslide/screensaverusersetting" + base + ".ini",
                  std::ios::binary);
  f << ini;
}

std::vector<TraceEvent> Events(const std::vector<TraceEvent>& trace, const std::string& ev) {
  std::vector<TraceEvent> out;
  for (const auto& e : trace)
    if (e.ev == ev) out.push_back(e);
  return out;
}

std::vector<int> SlideOrder(const std::vector<TraceEvent>& trace) {
  std::vector<int> out;
  for (const auto& e : Events(trace, "slide")) out.push_back(e.Int("index"));
  return out;
}

std::vector<int> TrackOrder(const std::vector<TraceEvent>& trace) {
  std::vector<int> out;
  for (const auto& e : Events(trace, "track")) out.push_back(e.Int("n"));
  return out;
}

std::string PicturesSection(const std::vector<std::string>& files, int sceneDuration,
                            const std::string& perPicture, const std::string& pictureKeys,
                            const std::map<std::string, std::string>& overrides) {
  std::string s = "[Picture]\nImageCount=" + std::to_string(files.size()) + "\n" + pictureKeys +
                  "[Pictures]\n";
  auto line = [&](const std::string& key, const std::string& value) {
    if (!overrides.count(key)) s += key + "=" + value + "\n";
  };
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string k = "File" + std::to_string(i);
    line(k, files[i]);
    line(k + "SceneDuration", std::to_string(sceneDuration));
    std::string extra = perPicture;
    for (size_t at; (at = extra.find("{i}")) != std::string::npos;)
      extra.replace(at, 3, std::to_string(i));
    s += extra;
  }
  for (const auto& [key, value] : overrides) s += key + "=" + value + "\n";
  return s;
}

}  // namespace ls::test
