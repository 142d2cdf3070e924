#pragma once
// The decoders behind LoadPictureMemory, one per family of formats. Each
// returns the picture or nothing; none of them throws or aborts on bad data.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/graphics/Picture.h"

namespace ls::picture_detail {

// JPEG through libjpeg(-turbo), reduced-scale decoding per options.fit*.
std::optional<Bitmap> DecodeJpeg(std::span<const uint8_t> data, const PictureLoadOptions& options);

// Windows bitmap, GIF, icon and placeable metafile through gdk-pixbuf, the
// format forced; the headers are checked first (declared size against the
// data, pixel count against kMaxPicturePixels).
std::optional<Bitmap> DecodeBmp(std::span<const uint8_t> data, const PictureLoadOptions& options);
std::optional<Bitmap> DecodeGif(std::span<const uint8_t> data, const PictureLoadOptions& options);
std::optional<Bitmap> DecodeIco(std::span<const uint8_t> data, const PictureLoadOptions& options);
std::optional<Bitmap> DecodeWmf(std::span<const uint8_t> data, const PictureLoadOptions& options);

}  // namespace ls::picture_detail
