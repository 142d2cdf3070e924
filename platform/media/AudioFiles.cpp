// What the players know about audio files without playing them.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <fstream>

#include "platform/files/Files.h"
#include "platform/media/MediaPlayers.h"

namespace ls {
namespace {

uint32_t Le32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

std::string LowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

std::optional<uint32_t> WavDurationMs(const std::string& path) {
  std::ifstream in(NativePath(path), std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff fileSize = in.tellg();
  in.seekg(0);
  unsigned char head[12];
  if (!in.read(reinterpret_cast<char*>(head), 12)) return std::nullopt;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
    return std::nullopt;

  uint32_t byteRate = 0;
  bool haveFormat = false;
  std::streamoff pos = 12;
  while (pos + 8 <= fileSize) {
    unsigned char chunk[8];
    in.seekg(pos);
    if (!in.read(reinterpret_cast<char*>(chunk), 8)) return std::nullopt;
    const uint32_t size = Le32(chunk + 4);
    const std::streamoff body = pos + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      unsigned char fmt[16];
      if (size < 16 || !in.read(reinterpret_cast<char*>(fmt), 16)) return std::nullopt;
      const uint16_t channels = Le16(fmt + 2);
      byteRate = Le32(fmt + 8);
      const uint16_t blockAlign = Le16(fmt + 12);
      if (channels == 0 || byteRate == 0 || blockAlign == 0) return std::nullopt;
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return std::nullopt;
      const uint64_t present = static_cast<uint64_t>(fileSize - body);
      const uint64_t bytes = std::min<uint64_t>(size, present);
      return static_cast<uint32_t>(std::min<uint64_t>(bytes * 1000 / byteRate, UINT32_MAX));
    }
    // Chunks are padded to an even size.
    pos = body + size + (size & 1);
  }
  return std::nullopt;
}

std::optional<uint32_t> HeadlessPlayingTimeMs(const std::string& path) {
  const std::string ext = LowerExtension(path);
  if (ext == ".wav") return WavDurationMs(path);
  // The formats the SDL2_mixer backend decodes (WMA, for one, is not among them).
  static constexpr std::array<const char*, 16> kPlayable = {
      ".mp3", ".ogg", ".oga", ".opus", ".flac", ".mod", ".xm",  ".s3m",
      ".it",  ".mid", ".midi", ".aif", ".aiff", ".voc", ".wv",  ".669"};
  const bool known = std::any_of(kPlayable.begin(), kPlayable.end(),
                                 [&](const char* k) { return ext == k; });
  if (!known) return std::nullopt;
  std::ifstream in(NativePath(path), std::ios::binary);
  if (!in || in.peek() == std::ifstream::traits_type::eof()) return std::nullopt;
  return 5000;
}

}  // namespace ls
