// Picture loading: choice of decoder by extension, reading files.

#include "platform/graphics/Picture.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/graphics/PictureDecode.h"

namespace ls {

namespace {

using picture_detail::DecodeBmp;
using picture_detail::DecodeGif;
using picture_detail::DecodeIco;
using picture_detail::DecodeJpeg;
using picture_detail::DecodeWmf;

bool StartsWith(std::span<const uint8_t> data, const char* magic, size_t length) {
  return data.size() >= length && std::memcmp(data.data(), magic, length) == 0;
}

// A name without an extension: the format is recognised by its first bytes,
// among those the general loader knows.
std::optional<Bitmap> DecodeByContent(std::span<const uint8_t> data,
                                      const PictureLoadOptions& options) {
  if (StartsWith(data, "\xFF\xD8\xFF", 3)) return DecodeJpeg(data, options);
  if (StartsWith(data, "GIF8", 4)) return DecodeGif(data, options);
  if (StartsWith(data, "BM", 2)) return DecodeBmp(data, options);
  if (StartsWith(data, "\x00\x00\x01\x00", 4)) return DecodeIco(data, options);
  if (StartsWith(data, "\xD7\xCD\xC6\x9A", 4)) return DecodeWmf(data, options);
  return std::nullopt;
}

std::optional<Bitmap> Decode(std::span<const uint8_t> data, const std::string& extension,
                             const PictureLoadOptions& options) {
  if (data.empty()) return std::nullopt;
  const std::string ext = PathExtension(extension);
  if (ext == ".jpg" || ext == ".jpeg") return DecodeJpeg(data, options);
  if (ext == ".gif") return DecodeGif(data, options);
  if (options.decoders == PictureDecoders::kGeneral) {
    if (ext == ".ico") return DecodeIco(data, options);
    if (ext == ".wmf") return DecodeWmf(data, options);
    // Enhanced metafiles have no renderer on this platform.
    if (ext == ".emf") return std::nullopt;
    if (ext.empty()) return DecodeByContent(data, options);
  }
  return DecodeBmp(data, options);
}

// No picture file is this large; reading it would only exhaust memory.
constexpr uintmax_t kMaxPictureFileBytes = uintmax_t{1} << 30;

enum class ReadResult { kOk, kMissing, kTooLarge };

// Reads a whole regular file.
ReadResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return ReadResult::kMissing;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return ReadResult::kMissing;
  if (size > kMaxPictureFileBytes) return ReadResult::kTooLarge;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return ReadResult::kMissing;
  out.reserve(static_cast<size_t>(size));
  uint8_t chunk[64 * 1024];
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, f);
    out.insert(out.end(), chunk, chunk + n);
    if (out.size() > kMaxPictureFileBytes) break;  // grew while being read
    if (n < sizeof chunk) {
      ok = !std::ferror(f);
      break;
    }
  }
  std::fclose(f);
  if (!ok) return ReadResult::kMissing;
  return out.size() > kMaxPictureFileBytes ? ReadResult::kTooLarge : ReadResult::kOk;
}

}  // namespace

std::string PathExtension(const std::string& path) {
  // Paths are built with either separator.
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ext;
}

bool IsJpegFile(const std::string& path) {
  const std::string ext = PathExtension(path);
  return ext == ".jpg" || ext == ".jpeg";
}

bool IsGifFile(const std::string& path) { return PathExtension(path) == ".gif"; }

std::optional<Bitmap> LoadPictureMemory(std::span<const uint8_t> data, const std::string& extension,
                                        PictureError* error, const PictureLoadOptions& options) {
  std::optional<Bitmap> bitmap = Decode(data, extension, options);
  if (error) *error = bitmap ? PictureError::kNone : PictureError::kUndecodable;
  return bitmap;
}

std::optional<Bitmap> LoadPictureFile(const std::string& path, PictureError* error,
                                      const PictureLoadOptions& options) {
  std::vector<uint8_t> data;
  const ReadResult read = ReadWholeFile(path, data);
  if (read != ReadResult::kOk) {
    if (error) {
      *error = read == ReadResult::kMissing ? PictureError::kMissing : PictureError::kUndecodable;
    }
    return std::nullopt;
  }
  return LoadPictureMemory(data, PathExtension(path), error, options);
}

}  // namespace ls
