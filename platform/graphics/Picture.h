#pragma once
// Picture loading: the decoder is chosen by the file-name extension, compared
// without regard to case.
//
// The general picture loader (PictureDecoders::kGeneral) knows ".jpg"/".jpeg"
// (JPEG), ".gif", ".bmp", ".ico" and ".wmf" (where a metafile loader is
// installed), each with the format forced by the extension; ".emf" is always
// undecodable (no renderer exists here); a name without an extension is
// recognised by its content. Any other extension goes to the bitmap (BMP)
// loader, which then fails unless the data is a Windows bitmap.
//
// The slide and preview loader (PictureDecoders::kJpegGifOrBitmap) knows JPEG
// and GIF only; every other extension, ".ico" and ".wmf" included, goes to the
// bitmap loader.
//
// Every result is an opaque Bitmap with X bytes 0. Transparent pixels (GIF
// transparency, icon alpha) are composed over PictureLoadOptions::background,
// black unless the caller says otherwise: a transparent picture drawn onto a
// fresh bitmap shows that bitmap's background.
//
// Damaged data is an error, never a partly grey picture: a truncated JPEG or
// bitmap, a JPEG with lost entropy-coded data, a GIF that ends early. JPEG
// warnings that lose no picture data (stray bytes between markers, an unknown
// JFIF revision) are tolerated, as every common viewer does.
//
// Main thread or any one thread at a time; no state is kept between calls.

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

// Which decoders the extensions reach (see the top of this header).
enum class PictureDecoders {
  kGeneral,           // backgrounds, splash and banner images
  kJpegGifOrBitmap,   // slides and the preview image
};

struct PictureLoadOptions {
  // When both are above 0, a JPEG at least twice as large as this box in both
  // directions is decoded at the smallest of the reduced scales 1/8, 1/4 and
  // 1/2 whose result still covers the box in both directions (width >=
  // fitWidth and height >= fitHeight). The Bitmap then has the reduced size.
  // Pass the view size only when the picture will be stretched or fitted to
  // the view; a picture shown at its own size must be decoded whole.
  int fitWidth = 0;
  int fitHeight = 0;
  PictureDecoders decoders = PictureDecoders::kGeneral;
  // What fully transparent pixels become; partly transparent ones are blended
  // over it.
  Pixel background = 0;
};

// Pictures above this many pixels (after any reduced-scale decoding) are
// refused as undecodable, from their headers, before any pixel memory is
// allocated.
inline constexpr int64_t kMaxPicturePixels = 100'000'000;

// Lower-cased extension of a path, with its dot ("" when there is none). Only
// the last path component counts: "a.b/c" has none.
std::string PathExtension(const std::string& path);
bool IsJpegFile(const std::string& path);  // ".jpg" or ".jpeg"
bool IsGifFile(const std::string& path);   // ".gif"

// Loads a picture file; the extension of `path` chooses the decoder. A file
// that does not exist or cannot be read gives kMissing; an empty file and
// every decoding failure give kUndecodable.
std::optional<Bitmap> LoadPictureFile(const std::string& path, PictureError* error = nullptr,
                                      const PictureLoadOptions& options = {});
// `extension` (with its dot, any case; a whole file name does as well)
// chooses the decoder as a file name would; the same bytes give the same Bitmap as LoadPictureFile. Empty data is
// undecodable.
std::optional<Bitmap> LoadPictureMemory(std::span<const uint8_t> data, const std::string& extension,
                                        PictureError* error = nullptr,
                                        const PictureLoadOptions& options = {});

}  // namespace ls
