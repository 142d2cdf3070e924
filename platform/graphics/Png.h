#pragma once
// PNG files for the tools and the tests.

#include <optional>
#include <string>

#include "platform/graphics/Bitmap.h"

namespace ls {

// Writes the bitmap as an opaque RGB PNG; false on failure.
bool WritePng(const Bitmap& bitmap, const std::string& path);
std::optional<Bitmap> ReadPng(const std::string& path);

}  // namespace ls
