#pragma once
// Checks of picture headers against the data, made before a decoder sees it:
// decoders size their buffers from declared sizes before reading the pixels,
// and some of them load damaged files quietly with the missing part blank.
// Used by the decoders of every platform.

#include <cstdint>
#include <span>

namespace ls::picture_checks {

// Width x height above kMaxPicturePixels.
bool TooManyPixels(int64_t width, int64_t height);

// A Windows bitmap whose header is one Windows writes, whose colour table
// and pixel data lie inside the data, of a size within the pixel limit, and
// stored in a form meant for the screen.
bool BmpHeaderIsSound(std::span<const uint8_t> data);

// A GIF signature and a logical screen within the pixel limit.
bool GifHeaderIsSound(std::span<const uint8_t> data);

// An icon or cursor directory whose every image lies inside the data and is
// a PNG or a bitmap of the size the directory gives.
bool IcoDirectoryIsSound(std::span<const uint8_t> data);

// The size in pixels of a placeable metafile shown at 96 dots per inch, from
// its header; false when it has none, when it is empty or above the pixel
// limit, or when its record table is damaged (records reaching past the data,
// no end record, records whose parameters reach past them or name objects
// that do not exist, record kinds a player cannot be trusted with).
bool WmfPixelSize(std::span<const uint8_t> data, int* width, int* height);

}  // namespace ls::picture_checks
