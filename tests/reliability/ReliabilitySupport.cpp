#include "tests/reliability/ReliabilitySupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace ls::test {

namespace fs = std::filesystem;

namespace {
void Put16(std::string& o, uint16_t v) {
  o.push_back(char(v & 255));
  o.push_back(char(v >> 8));
}
void Put32(std::string& o, uint32_t v) {
  for (int i = 0; i < 4; ++i) o.push_back(char((v >> (8 * i)) & 255));
}
uint32_t Get32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[at + i]);
  return v;
}

// Codes of `bits` bits each, packed from the low bit up, in GIF sub-blocks.
std::string LzwBlocks(const std::vector<int>& codes, int bits) {
  std::string packed;
  uint32_t acc = 0;
  int have = 0;
  for (int c : codes) {
    acc |= static_cast<uint32_t>(c) << have;
    have += bits;
    while (have >= 8) {
      packed.push_back(char(acc & 255));
      acc >>= 8;
      have -= 8;
    }
  }
  if (have > 0) packed.push_back(char(acc & 255));
  std::string out;
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - at);
    out.push_back(char(n));
    out += packed.substr(at, n);
  }
  out.push_back('\0');
  return out;
}

std::string GifWithCodes(int w, int h, const std::vector<int>& codes) {
  std::string o = "GIF89a";
  Put16(o, uint16_t(w));
  Put16(o, uint16_t(h));
  o.push_back(char(0x81));  // global colour table of 4 entries
  o.push_back('\0');
  o.push_back('\0');
  o += std::string("\x20\x40\xa0" "\xe0\xc0\x30" "\x10\x90\x50" "\xff\xff\xff", 12);
  o.push_back(',');
  Put16(o, 0);
  Put16(o, 0);
  Put16(o, uint16_t(w));
  Put16(o, uint16_t(h));
  o.push_back('\0');
  o.push_back('\2');  // minimum code size: clear = 4, end = 5, codes of 3 bits
  o += LzwBlocks(codes, 3);
  o.push_back(';');
  return o;
}
}  // namespace

std::string PackedShow::Join() const {
  std::string out = front + settings;
  Put32(out, static_cast<uint32_t>(settings.size()));
  Put32(out, 1);
  return out;
}

PackedShow PackedShow::Split(const std::string& bytes) {
  PackedShow p;
  if (bytes.size() < 8) {
    ADD_FAILURE() << "not a package";
    return p;
  }
  const uint32_t length = Get32(bytes, bytes.size() - 8);
  EXPECT_EQ(Get32(bytes, bytes.size() - 4), 1u);
  EXPECT_LE(length + 8u, bytes.size());
  const size_t start = bytes.size() - 8 - length;
  p.front = bytes.substr(0, start);
  p.settings = bytes.substr(start, length);
  return p;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(f.good()) << path;
}

std::string WithValue(const std::string& settings, const std::string& key, const std::string& value) {
  size_t at = 0;
  while ((at = settings.find(key + "=", at)) != std::string::npos) {
    if (at == 0 || settings[at - 1] == '\n') break;
    at += key.size();
  }
  if (at == std::string::npos) {
    ADD_FAILURE() << "no key " << key << " in the package settings";
    return settings;
  }
  const size_t valueAt = at + key.size() + 1;
  size_t end = settings.find_first_of("\r\n", valueAt);
  if (end == std::string::npos) end = settings.size();
  return settings.substr(0, valueAt) + value + settings.substr(end);
}

std::string GifBytes(int w, int h, uint8_t colourIndex) {
  std::vector<int> codes;
  for (int i = 0; i < w * h; ++i) {
    codes.push_back(4);
    codes.push_back(colourIndex & 3);
  }
  codes.push_back(5);
  return GifWithCodes(w, h, codes);
}

std::string GifWithBadLzw(int w, int h) {
  // After a clear and one pixel the next free code is 6; 7 names nothing.
  std::vector<int> codes = {4, 1, 7, 7, 7, 7, 6, 7, 5};
  return GifWithCodes(w, h, codes);
}

std::string BmpHeaderOnly(int32_t w, int32_t h) {
  std::string o = "BM";
  Put32(o, 54 + 3 * 64);
  Put16(o, 0);
  Put16(o, 0);
  Put32(o, 54);
  Put32(o, 40);
  Put32(o, static_cast<uint32_t>(w));
  Put32(o, static_cast<uint32_t>(h));
  Put16(o, 1);
  Put16(o, 24);
  Put32(o, 0);
  Put32(o, 0xfffffff0u);  // image size
  Put32(o, 3780);
  Put32(o, 3780);
  Put32(o, 0);
  Put32(o, 0);
  o.append(3 * 64, '\x7f');
  return o;
}

std::string SilentWav(uint32_t dataBytes) {
  std::string o = "RIFF";
  Put32(o, 36 + dataBytes);
  o += "WAVEfmt ";
  Put32(o, 16);
  Put16(o, 1);
  Put16(o, 1);
  Put32(o, 44100);
  Put32(o, 44100 * 2);
  Put16(o, 2);
  Put16(o, 16);
  o += "data";
  Put32(o, dataBytes);
  o.append(dataBytes, '\0');
  return o;
}

ReliabilitySandbox::ReliabilitySandbox() {
  sentinel_ = Path("sentinel");
  fs::create_directories(sentinel_);
  WriteBytes(sentinel_ + "/keep.txt", "keep");
}

std::string ReliabilitySandbox::Project(const std::string& picture2) const {
  const std::vector<std::string> files = {
      WriteJpeg("media/p0.jpg", 96, 64, 0x3060c0),
      WriteBmp("media/p1.bmp", 80, 60, 0xc06030),
      picture2.empty() ? WriteFile("media/p2.gif", GifBytes(40, 30, 2)) : picture2,
      WriteJpeg("media/p3.jpg", 120, 90, 0x30c060),
  };
  const std::string chime = WriteWav("media/chime.wav", 200);
  const std::string music = WriteWav("media/music.wav", 1500);
  return "[Identify]\nId=reliability-1\n[Transition]\nTransitionStep=8\n"
         "[Music]\nMusicCount=1\nPlayMusicLoop=1\n[Musics]\nMusic1=" + music + "\n" +
         PicturesSection(files, 1, "File{i}TransitionMode=0\n", "ShowImageRandomly=0\n",
                         {{"File1Sound", chime}});
}

void ReliabilitySandbox::ExpectNothingLeft() const {
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(TempFolder())) left.push_back(e.path().string());
  EXPECT_TRUE(left.empty()) << "left in the temporary folder: " << (left.empty() ? "" : left[0]);
  std::vector<std::string> beside;
  for (const auto& e : fs::directory_iterator(sentinel_)) beside.push_back(e.path().filename().string());
  EXPECT_EQ(beside, std::vector<std::string>{"keep.txt"});
  EXPECT_EQ(ReadBytes(sentinel_ + "/keep.txt"), "keep");
}

std::vector<TraceEvent> ReliabilitySandbox::RunDamaged(const std::string& file,
                                                       const std::set<int>& shown,
                                                       const std::set<int>& skipped,
                                                       int seconds) const {
  // A hang ends in SIGKILL and an exit status that fails the test.
  const ProcessResult r = Run("timeout -s KILL 120 " + Quote(ToolPath()) + " simulate " + Quote(file) +
                              " --size 320x240 --seconds " + std::to_string(seconds));
  EXPECT_EQ(r.exitCode, 0) << "simulate failed: " << r.err;
  std::vector<TraceEvent> trace;
  std::istringstream in(r.out);
  for (std::string line; std::getline(in, line);) {
    auto e = ParseTraceLine(line);
    EXPECT_TRUE(e.has_value()) << "not a trace line: " << line;
    if (e) trace.push_back(*e);
  }
  EXPECT_FALSE(trace.empty());
  if (!trace.empty()) {
    EXPECT_EQ(trace.front().ev, "start");
    EXPECT_EQ(trace.back().ev, "end");
    if (trace.back().ev == "end") {
      EXPECT_TRUE(trace.back().Bool("workdir_removed"));
    }
  }
  std::set<int> slides, skips;
  for (const auto& e : trace) {
    if (e.ev == "slide") slides.insert(e.Int("index"));
    if (e.ev == "skip") skips.insert(e.Int("index"));
  }
  for (int i : shown) EXPECT_TRUE(slides.count(i)) << "picture " << i << " was not shown\n" << r.out;
  for (int i : skipped) {
    EXPECT_FALSE(slides.count(i)) << "damaged picture " << i << " was shown";
    EXPECT_TRUE(skips.count(i)) << "damaged picture " << i << " was not skipped\n" << r.out;
  }
  ExpectNothingLeft();
  return trace;
}

}  // namespace ls::test
