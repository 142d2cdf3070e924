#pragma once
// Picture loading: the decoder is chosen by the file-name extension, compared
// without regard to case. ".jpg"/".jpeg" JPEG; ".gif", ".bmp", ".ico" (and
// ".wmf" where a loader exists) through their own decoders with the format
// forced by the extension; any other extension goes to the bitmap (BMP)
// loader, which then fails unless the data is a bitmap.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/graphics/Bitmap.h"

namespace ls {

// Why a picture could not be loaded.
enum class PictureError {
  kNone,
  kMissing,      // the file does not exist or cannot be read
  kUndecodable,  // the data is damaged, of another format, or too large
};

struct PictureLoadOptions {
  // When both are above 0, a JPEG far larger than this box may be decoded at
  // a reduced scale (1/2, 1/4 or 1/8) that still covers the box.
  int fitWidth = 0;
  int fitHeight = 0;
};

// Pictures above this many pixels (after any reduced-scale decoding) are
// refused as undecodable instead of exhausting memory.
inline constexpr int64_t kMaxPicturePixels = 100'000'000;

// Lower-cased extension of a path, with its dot ("" when there is none).
std::string PathExtension(const std::string& path);
bool IsJpegFile(const std::string& path);  // ".jpg" or ".jpeg"
bool IsGifFile(const std::string& path);   // ".gif"

std::optional<Bitmap> LoadPictureFile(const std::string& path, PictureError* error = nullptr,
                                      const PictureLoadOptions& options = {});
// `extension` (with its dot) chooses the decoder as a file name would.
std::optional<Bitmap> LoadPictureMemory(std::span<const uint8_t> data, const std::string& extension,
                                        PictureError* error = nullptr,
                                        const PictureLoadOptions& options = {});

}  // namespace ls
