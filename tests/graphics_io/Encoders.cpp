// The picture files the tests write byte by byte (bitmaps, GIF, metafiles):
// plain code, so that the tests of every system make the same files.
#include <cstdio>
#include <initializer_list>
#include <stdexcept>
#include <tuple>

#include "tests/graphics_io/Fixtures.h"

namespace ls::test {

namespace {

void Put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

}  // namespace

Bytes EncodeBmp24(const Bitmap& picture, bool topDown) {
  const int w = picture.Width();
  const int h = picture.Height();
  const uint32_t rowBytes = static_cast<uint32_t>((w * 3 + 3) / 4 * 4);
  Bytes b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, 54 + rowBytes * h);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(topDown ? -h : h));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);
  Put32(b, rowBytes * h);
  Put32(b, 3780);
  Put32(b, 3780);
  Put32(b, 0);
  Put32(b, 0);
  for (int i = 0; i < h; ++i) {
    const int y = topDown ? i : h - 1 - i;
    for (int x = 0; x < w; ++x) {
      const Pixel p = picture.At(x, y);
      b.push_back(static_cast<uint8_t>(p));
      b.push_back(static_cast<uint8_t>(p >> 8));
      b.push_back(static_cast<uint8_t>(p >> 16));
    }
    for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < rowBytes; ++pad) b.push_back(0);
  }
  return b;
}

Bytes EncodeBmp8(int width, int height, const std::vector<Pixel>& palette,
                 const std::vector<uint8_t>& indices) {
  const uint32_t rowBytes = static_cast<uint32_t>((width + 3) / 4 * 4);
  const uint32_t offBits = 54 + 4 * static_cast<uint32_t>(palette.size());
  Bytes b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, offBits + rowBytes * height);
  Put32(b, 0);
  Put32(b, offBits);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  Put16(b, 1);
  Put16(b, 8);
  Put32(b, 0);
  Put32(b, rowBytes * height);
  Put32(b, 3780);
  Put32(b, 3780);
  Put32(b, static_cast<uint32_t>(palette.size()));
  Put32(b, 0);
  for (Pixel p : palette) Put32(b, p & 0xFFFFFF);  // B, G, R, 0
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) b.push_back(indices[static_cast<size_t>(y) * width + x]);
    for (uint32_t pad = static_cast<uint32_t>(width); pad < rowBytes; ++pad) b.push_back(0);
  }
  return b;
}

Bytes BmpHeaderOnly(int width, int height, size_t dataBytes) {
  Bytes b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, static_cast<uint32_t>(54 + dataBytes));
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 3780);
  Put32(b, 3780);
  Put32(b, 0);
  Put32(b, 0);
  b.resize(b.size() + dataBytes, 0x80);
  return b;
}

Bytes EncodeGif(int width, int height, const std::vector<Pixel>& palette,
                const std::vector<uint8_t>& indices, int transparentIndex) {
  int sizeBits = 1;
  while ((1u << sizeBits) < palette.size()) ++sizeBits;
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(b, static_cast<unsigned>(width));
  Put16(b, static_cast<unsigned>(height));
  b.push_back(static_cast<uint8_t>(0x80 | 0x70 | (sizeBits - 1)));
  b.push_back(0);
  b.push_back(0);
  for (size_t i = 0; i < (1u << sizeBits); ++i) {
    const Pixel p = i < palette.size() ? palette[i] : 0;
    b.push_back(static_cast<uint8_t>(p >> 16));
    b.push_back(static_cast<uint8_t>(p >> 8));
    b.push_back(static_cast<uint8_t>(p));
  }
  if (transparentIndex >= 0) {
    b.insert(b.end(), {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00});
    b.push_back(static_cast<uint8_t>(transparentIndex));
    b.push_back(0x00);
  }
  b.push_back(0x2C);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, static_cast<unsigned>(width));
  Put16(b, static_cast<unsigned>(height));
  b.push_back(0);

  // LZW with literal codes only: valid for any decoder, which adds table
  // entries that are simply never used; the code width follows the table.
  const int minCodeSize = sizeBits < 2 ? 2 : sizeBits;
  const unsigned clear = 1u << minCodeSize;
  const unsigned eoi = clear + 1;
  Bytes lzw;
  uint32_t acc = 0;
  int bits = 0;
  auto emit = [&](unsigned code, int size) {
    acc |= code << bits;
    bits += size;
    while (bits >= 8) {
      lzw.push_back(static_cast<uint8_t>(acc));
      acc >>= 8;
      bits -= 8;
    }
  };
  int codeSize = minCodeSize + 1;
  unsigned next = eoi + 1;
  bool first = true;
  emit(clear, codeSize);
  for (uint8_t index : indices) {
    emit(index, codeSize);
    if (!first) {
      ++next;
      if (next == (1u << codeSize) && codeSize < 12) ++codeSize;
    }
    first = false;
    if (next >= 4000) {
      emit(clear, codeSize);
      codeSize = minCodeSize + 1;
      next = eoi + 1;
      first = true;
    }
  }
  emit(eoi, codeSize);
  if (bits > 0) lzw.push_back(static_cast<uint8_t>(acc));

  b.push_back(static_cast<uint8_t>(minCodeSize));
  for (size_t at = 0; at < lzw.size(); at += 255) {
    const size_t n = std::min<size_t>(255, lzw.size() - at);
    b.push_back(static_cast<uint8_t>(n));
    b.insert(b.end(), lzw.begin() + static_cast<long>(at), lzw.begin() + static_cast<long>(at + n));
  }
  b.push_back(0);
  b.push_back(0x3B);
  return b;
}

Bytes EncodeWmf(int width, int height, int unitsPerInch, Pixel left, Pixel right) {
  Bytes records;
  auto record = [&](unsigned function, std::initializer_list<unsigned> words) {
    Put32(records, static_cast<uint32_t>(3 + words.size()));
    Put16(records, function);
    for (unsigned w : words) Put16(records, w);
  };
  const auto w = static_cast<unsigned>(width);
  const auto h = static_cast<unsigned>(height);
  record(0x020B, {0, 0});           // window origin (y, x)
  record(0x020C, {h, w});           // window extent (y, x)
  record(0x02FA, {5, 0, 0, 0, 0});  // null pen, object 0
  record(0x012D, {0});
  unsigned object = 1;
  for (const auto& [colour, x0, x1] : {std::tuple{left, 0u, w / 2}, std::tuple{right, w / 2, w}}) {
    const unsigned r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
    record(0x02FC, {0, r | (g << 8), b, 0});  // solid brush (COLORREF R, G, B, 0)
    record(0x012D, {object++});
    record(0x041B, {h, x1, 0, x0});  // rectangle: bottom, right, top, left
  }
  record(0x0000, {});                                                // end
  const uint32_t totalWords = static_cast<uint32_t>(9 + records.size() / 2);

  Bytes b;
  Put32(b, 0x9AC6CDD7u);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, static_cast<unsigned>(width));
  Put16(b, static_cast<unsigned>(height));
  Put16(b, static_cast<unsigned>(unitsPerInch));
  Put32(b, 0);
  unsigned checksum = 0;
  for (size_t i = 0; i < 20; i += 2) checksum ^= b[i] | (b[i + 1] << 8);
  Put16(b, checksum);
  Put16(b, 1);       // in memory
  Put16(b, 9);       // header words
  Put16(b, 0x0300);  // version
  Put32(b, totalWords);
  Put16(b, 3);       // objects
  Put32(b, 8);       // largest record, in words
  Put16(b, 0);
  b.insert(b.end(), records.begin(), records.end());
  return b;
}

Bitmap Quadrants(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2;
      const bool bottom = y >= height / 2;
      b.Set(x, y, bottom ? (right ? 0xFFFFFFu : 0x0000FFu) : (right ? 0x00FF00u : 0xFF0000u));
    }
  }
  return b;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace ls::test
