#pragma once
// Pictures compiled into the program, each an uncompressed 24-bit Windows
// bitmap file as it was painted at build time.

#include <cstdint>
#include <span>

namespace ls {

// "PREVIEW_BMP": the preview picture, 152 x 112.
std::span<const uint8_t> PreviewBmpResource();
// The settings dialog's banner, 413 x 61.
std::span<const uint8_t> BannerBmpResource();

}  // namespace ls
