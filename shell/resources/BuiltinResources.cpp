#include "shell/resources/BuiltinResources.h"

#include <cstddef>

extern const unsigned char ls_preview_bmp[];
extern const std::size_t ls_preview_bmp_size;
extern const unsigned char ls_banner_bmp[];
extern const std::size_t ls_banner_bmp_size;

namespace ls {

std::span<const uint8_t> PreviewBmpResource() { return {ls_preview_bmp, ls_preview_bmp_size}; }
std::span<const uint8_t> BannerBmpResource() { return {ls_banner_bmp, ls_banner_bmp_size}; }

}  // namespace ls
