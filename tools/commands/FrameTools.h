#pragma once
// What the frame commands (render, gallery, bench) share: option values,
// pictures stretched to the frame size, and two generated test pictures.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Draw.h"
#include "platform/graphics/Picture.h"

namespace ls::tool {

// A whole decimal number within [lo, hi]; nothing else (no sign games, no
// trailing text).
inline std::optional<int> ParseIntIn(const std::string& text, int lo, int hi) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  size_t i = 0;
  bool negative = false;
  if (text[0] == '-') {
    negative = true;
    i = 1;
    if (text.size() == 1) return std::nullopt;
  }
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    v = v * 10 + (text[i] - '0');
  }
  if (negative) v = -v;
  if (v < lo || v > hi) return std::nullopt;
  return static_cast<int>(v);
}

// "WxH" with both sides 1..16384.
inline bool ParseFrameSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  const auto w = ParseIntIn(text.substr(0, x), 1, 16384);
  const auto h = ParseIntIn(text.substr(x + 1), 1, 16384);
  if (!w || !h) return false;
  width = *w;
  height = *h;
  return true;
}

// The picture file stretched to width x height (nearest neighbour, as the
// frames themselves are drawn); nothing when it cannot be loaded.
inline std::optional<Bitmap> LoadStretched(const std::string& path, int width, int height,
                                           std::string& why) {
  PictureError error = PictureError::kNone;
  std::optional<Bitmap> picture = LoadPictureFile(path, &error);
  if (!picture || picture->IsEmpty()) {
    why = error == PictureError::kMissing ? "cannot read " + path : "cannot decode " + path;
    return std::nullopt;
  }
  Bitmap out(width, height);
  StretchCopy(out, out.Bounds(), *picture, picture->Bounds());
  return out;
}

// The old test picture: a cool gradient with a white grid every 16 pixels
// and a dark diagonal, so that a moved or stretched copy of it shows.
inline Bitmap TestOldPicture(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t g = static_cast<uint32_t>(40 + 140 * x / std::max(width, 1));
      const uint32_t bl = static_cast<uint32_t>(90 + 150 * y / std::max(height, 1));
      Pixel p = (20u << 16) | (g << 8) | bl;
      if (x % 16 == 0 || y % 16 == 0) p = 0xE0E0E0;
      if (std::abs(x * height - y * width) < 2 * std::max(width, height)) p = 0x101030;
      b.Set(x, y, p);
    }
  }
  return b;
}

// The new test picture: four warm quarters (red, yellow, green, magenta
// clockwise from the top left) with a white disc in the middle and a black
// bar near the top, so that squeezes, mirrors and turns are recognisable.
inline Bitmap TestNewPicture(int width, int height) {
  Bitmap b(width, height);
  const double cx = width / 2.0, cy = height / 2.0;
  const double r = std::min(width, height) / 4.0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2, bottom = y >= height / 2;
      Pixel p = !bottom ? (right ? 0xF0D020 : 0xE02020) : (right ? 0xC030C0 : 0x30B040);
      const double ddx = x + 0.5 - cx, ddy = y + 0.5 - cy;
      if (ddx * ddx + ddy * ddy < r * r) p = 0xF8F8F8;
      if (y >= height / 10 && y < height / 10 + std::max(height / 16, 1) && x >= width / 8 &&
          x < width / 2)
        p = 0x000000;
      b.Set(x, y, p);
    }
  }
  return b;
}

}  // namespace ls::tool
