#pragma once
// PNG files for the tools and the tests.

#include <optional>
#include <string>

#include "platform/graphics/Bitmap.h"

namespace ls {

// Writes the bitmap as an opaque RGB PNG (the fourth byte is not stored);
// false on failure, and for an empty bitmap, which PNG cannot hold.
bool WritePng(const Bitmap& bitmap, const std::string& path);
// Reads any PNG; a picture with transparency comes out as it looks over
// black. The fourth byte of every pixel is 0. Nothing when the file is
// missing or not a readable PNG.
std::optional<Bitmap> ReadPng(const std::string& path);

}  // namespace ls
