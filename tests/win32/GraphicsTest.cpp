// The Windows picture decoders, PNG files and caption text: pictures made
// here byte by byte (bitmaps, GIF, icons, metafiles) or with the system's own
// encoders (JPEG, PNG) decode to the pixels that the Linux decoders give for
// the same bytes; damaged and oversized data is refused; text is drawn at 96
// dots per inch in its colour over what lies beneath.

#include <windows.h>
#include <wincodec.h>
// windows.h names DrawText as a macro for its own function.
#undef DrawText

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/graphics/Picture.h"
#include "platform/graphics/Png.h"
#include "platform/graphics/Text.h"
#include "platform/graphics/win32/Wic.h"
#include "tests/graphics_io/Fixtures.h"

namespace ls {
namespace {

using test::BmpHeaderOnly;
using test::Bytes;
using test::EncodeBmp24;
using test::EncodeBmp8;
using test::EncodeWmf;
using test::Quadrants;
using wic::ComPtr;

constexpr Pixel kRed = 0xFF0000;
constexpr Pixel kGreen = 0x00FF00;
constexpr Pixel kBlue = 0x0000FF;
constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kBlack = 0x000000;

// --- pictures made here ----------------------------------------------------

void Put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// 2 x 1, 32 bits with a version-5 header whose alpha mask calls the first
// pixel fully transparent: Windows draws bitmaps opaque regardless.
Bytes Bmp32WithAlphaMask() {
  Bytes b = {'B', 'M'};
  Put32(b, 14 + 124 + 8);
  Put32(b, 0);
  Put32(b, 14 + 124);
  Put32(b, 124);
  Put32(b, 2);
  Put32(b, 1);
  Put32(b, 1 | (32u << 16));
  Put32(b, 3);  // bit fields
  Put32(b, 8);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(b, mask);
  Put32(b, 0x73524742u);  // sRGB
  b.resize(14 + 124, 0);
  b.insert(b.end(), {0x10, 0x20, 0x30, 0x00, 0x10, 0x20, 0x30, 0xFF});
  return b;
}

struct GifFrame {
  int left = 0;
  int top = 0;
  int screenWidth = 0;  // 0: the frame's size
  int screenHeight = 0;
};

// A GIF89a with a global palette, an optional transparent index and one
// frame; LZW with literal codes only (valid for any decoder).
Bytes EncodeGif(int width, int height, const std::vector<Pixel>& palette,
                const std::vector<uint8_t>& indices, int transparentIndex = -1,
                GifFrame place = {}) {
  int sizeBits = 1;
  while ((1u << sizeBits) < palette.size()) ++sizeBits;
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(b, static_cast<unsigned>(place.screenWidth ? place.screenWidth : width));
  Put16(b, static_cast<unsigned>(place.screenHeight ? place.screenHeight : height));
  b.insert(b.end(), {static_cast<uint8_t>(0xF0 | (sizeBits - 1)), 0, 0});
  for (size_t i = 0; i < (1u << sizeBits); ++i) {
    const Pixel p = i < palette.size() ? palette[i] : 0;
    b.insert(b.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                       static_cast<uint8_t>(p)});
  }
  if (transparentIndex >= 0) {
    b.insert(b.end(), {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00,
                       static_cast<uint8_t>(transparentIndex), 0x00});
  }
  b.push_back(0x2C);
  Put16(b, static_cast<unsigned>(place.left));
  Put16(b, static_cast<unsigned>(place.top));
  Put16(b, static_cast<unsigned>(width));
  Put16(b, static_cast<unsigned>(height));
  b.push_back(0);

  const int minCodeSize = std::max(2, sizeBits);
  const unsigned clear = 1u << minCodeSize;
  Bytes lzw;
  uint32_t acc = 0;
  int bits = 0;
  auto emit = [&](unsigned code, int size) {
    acc |= code << bits;
    for (bits += size; bits >= 8; bits -= 8, acc >>= 8) lzw.push_back(static_cast<uint8_t>(acc));
  };
  // A clear code before the table would widen the codes.
  const size_t perClear = (1u << (minCodeSize + 1)) - clear - 2;
  for (size_t i = 0; i < indices.size(); ++i) {
    if (i % perClear == 0) emit(clear, minCodeSize + 1);
    emit(indices[i], minCodeSize + 1);
  }
  emit(clear + 1, minCodeSize + 1);
  if (bits > 0) lzw.push_back(static_cast<uint8_t>(acc));
  b.push_back(static_cast<uint8_t>(minCodeSize));
  for (size_t at = 0; at < lzw.size(); at += 255) {
    const size_t n = std::min<size_t>(255, lzw.size() - at);
    b.push_back(static_cast<uint8_t>(n));
    b.insert(b.end(), lzw.begin() + static_cast<long>(at), lzw.begin() + static_cast<long>(at + n));
  }
  b.insert(b.end(), {0x00, 0x3B});
  return b;
}

// 4 x 2 GIF: index 3 is transparent.
Bytes FourColourGif() {
  return EncodeGif(4, 2, {kRed, kGreen, kBlue, 0x123456}, {0, 1, 2, 3, 3, 2, 1, 0}, 3);
}

// An icon of 32-bit images (0xAARRGGBB, row-major, top row first), each with
// an all-clear AND mask.
Bytes EncodeIcon(const std::vector<std::tuple<int, int, std::vector<uint32_t>>>& images) {
  Bytes directory;
  Bytes data;
  Put16(directory, 0);
  Put16(directory, 1);
  Put16(directory, static_cast<unsigned>(images.size()));
  size_t offset = 6 + 16 * images.size();
  for (const auto& [w, h, argb] : images) {
    Bytes image;
    Put32(image, 40);
    Put32(image, static_cast<uint32_t>(w));
    Put32(image, static_cast<uint32_t>(2 * h));  // colours and mask
    Put16(image, 1);
    Put16(image, 32);
    for (int i = 0; i < 6; ++i) Put32(image, 0);
    for (int y = h - 1; y >= 0; --y) {
      for (int x = 0; x < w; ++x) Put32(image, argb[static_cast<size_t>(y) * w + x]);
    }
    const size_t maskRow = (static_cast<size_t>(w) + 31) / 32 * 4;
    image.resize(image.size() + maskRow * h, 0);
    directory.insert(directory.end(), {static_cast<uint8_t>(w & 0xFF), static_cast<uint8_t>(h & 0xFF),
                                       0, 0, 1, 0, 32, 0});
    Put32(directory, static_cast<uint32_t>(image.size()));
    Put32(directory, static_cast<uint32_t>(offset));
    offset += image.size();
    data.insert(data.end(), image.begin(), image.end());
  }
  directory.insert(directory.end(), data.begin(), data.end());
  return directory;
}

// 16 x 16: left half opaque blue, right half fully transparent red, one
// half-transparent white pixel at (0, 15).
std::vector<uint32_t> HalfTransparentPixels() {
  std::vector<uint32_t> argb(256);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) argb[y * 16 + x] = x < 8 ? 0xFF0000FFu : 0x00FF0000u;
  }
  argb[15 * 16 + 0] = 0x80FFFFFFu;
  return argb;
}
Bytes HalfTransparentIcon() { return EncodeIcon({{16, 16, HalfTransparentPixels()}}); }

// Encodes 32-bit B, G, R, A pixels with the system's encoder of `container`.
Bytes EncodeWithWic(const GUID& container, int width, int height, const std::vector<uint32_t>& bgra,
                    const GUID& sourceFormat = GUID_WICPixelFormat32bppBGR) {
  wic::ComScope com;
  ComPtr<IWICImagingFactory> factory = wic::CreateFactory();
  ComPtr<IStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  ComPtr<IWICBitmap> source;
  const UINT stride = static_cast<UINT>(width) * 4;
  if (!factory || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
      FAILED(factory->CreateEncoder(container, nullptr, &encoder)) ||
      FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(&frame, &options))) {
    return {};
  }
  if (container == GUID_ContainerFormatJpeg) {
    // Full colour resolution and a high quality keep the quadrants' edges.
    PROPBAG2 names[2] = {};
    names[0].pstrName = const_cast<wchar_t*>(L"ImageQuality");
    names[1].pstrName = const_cast<wchar_t*>(L"JpegYCrCbSubsampling");
    VARIANT values[2];
    VariantInit(&values[0]);
    VariantInit(&values[1]);
    values[0].vt = VT_R4;
    values[0].fltVal = 0.95f;
    values[1].vt = VT_UI1;
    values[1].bVal = WICJpegYCrCbSubsampling444;
    options->Write(2, names, values);
  }
  if (FAILED(frame->Initialize(options.Get())) ||
      FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) ||
      FAILED(factory->CreateBitmapFromMemory(static_cast<UINT>(width), static_cast<UINT>(height),
                                             sourceFormat, stride, stride * height,
                                             reinterpret_cast<BYTE*>(const_cast<uint32_t*>(bgra.data())),
                                             &source)) ||
      FAILED(frame->WriteSource(source.Get(), nullptr)) || FAILED(frame->Commit()) ||
      FAILED(encoder->Commit())) {
    return {};
  }
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  Bytes out(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(out.data(), static_cast<ULONG>(out.size()), &read);
  out.resize(read);
  return out;
}

Bytes EncodeJpeg(const Bitmap& picture) {
  return EncodeWithWic(GUID_ContainerFormatJpeg, picture.Width(), picture.Height(),
                       std::vector<uint32_t>(picture.Data(),
                                             picture.Data() + picture.Width() * picture.Height()));
}

Bytes PngData() {
  return EncodeWithWic(GUID_ContainerFormatPng, 4, 4, std::vector<uint32_t>(16, 0x0000FF00u));
}

// JPEG kinds the system's encoder does not write, made with libjpeg
// (quality 90, full colour resolution): 16 x 16 quadrants red, green, blue,
// white; progressive, grey (from the green channel) and Adobe CMYK (inverted
// inks).
const uint8_t kProgressiveJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x03, 0x02, 0x02, 0x03,
    0x03, 0x03, 0x03, 0x04, 0x03, 0x03, 0x04, 0x05, 0x08, 0x05, 0x05, 0x04, 0x04, 0x05, 0x0a, 0x07,
    0x07, 0x06, 0x08, 0x0c, 0x0a, 0x0c, 0x0c, 0x0b, 0x0a, 0x0b, 0x0b, 0x0d, 0x0e, 0x12, 0x10, 0x0d,
    0x0e, 0x11, 0x0e, 0x0b, 0x0b, 0x10, 0x16, 0x10, 0x11, 0x13, 0x14, 0x15, 0x15, 0x15, 0x0c, 0x0f,
    0x17, 0x18, 0x16, 0x14, 0x18, 0x12, 0x14, 0x15, 0x14, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x03, 0x04,
    0x04, 0x05, 0x04, 0x05, 0x09, 0x05, 0x05, 0x09, 0x14, 0x0d, 0x0b, 0x0d, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0xff, 0xc2,
    0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x10, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xff, 0xc4, 0x00, 0x16, 0x00, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0x08, 0x09, 0xff, 0xc4, 0x00, 0x18, 0x01, 0x00, 0x03,
    0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x08,
    0x09, 0x05, 0x07, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x10, 0x03, 0x10, 0x00, 0x00,
    0x01, 0x39, 0x05, 0x6a, 0x58, 0xc2, 0x66, 0x3c, 0xbd, 0x46, 0x7b, 0x9e, 0x96, 0xaa, 0xdb, 0x9f,
    0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x01, 0x05, 0x02,
    0x1f, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08, 0x01, 0x03, 0x01, 0x01, 0x3f,
    0x01, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08, 0x01, 0x02, 0x01, 0x01,
    0x3f, 0x01, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00,
    0x06, 0x3f, 0x02, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01,
    0x00, 0x01, 0x3f, 0x21, 0x1f, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00,
    0x00, 0x00, 0x10, 0xf5, 0x4f, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08, 0x01,
    0x03, 0x01, 0x01, 0x3f, 0x10, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08,
    0x01, 0x02, 0x01, 0x01, 0x3f, 0x10, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00,
    0x08, 0x01, 0x01, 0x00, 0x01, 0x3f, 0x10, 0x1f, 0xff, 0xd9,
};
const uint8_t kGreyJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x03, 0x02, 0x02, 0x03,
    0x03, 0x03, 0x03, 0x04, 0x03, 0x03, 0x04, 0x05, 0x08, 0x05, 0x05, 0x04, 0x04, 0x05, 0x0a, 0x07,
    0x07, 0x06, 0x08, 0x0c, 0x0a, 0x0c, 0x0c, 0x0b, 0x0a, 0x0b, 0x0b, 0x0d, 0x0e, 0x12, 0x10, 0x0d,
    0x0e, 0x11, 0x0e, 0x0b, 0x0b, 0x10, 0x16, 0x10, 0x11, 0x13, 0x14, 0x15, 0x15, 0x15, 0x0c, 0x0f,
    0x17, 0x18, 0x16, 0x14, 0x18, 0x12, 0x14, 0x15, 0x14, 0xff, 0xc0, 0x00, 0x0b, 0x08, 0x00, 0x10,
    0x00, 0x10, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x1f, 0x00, 0x00, 0x01, 0x05, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04,
    0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0xff, 0xc4, 0x00, 0xb5, 0x10, 0x00, 0x02, 0x01, 0x03,
    0x03, 0x02, 0x04, 0x03, 0x05, 0x05, 0x04, 0x04, 0x00, 0x00, 0x01, 0x7d, 0x01, 0x02, 0x03, 0x00,
    0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71, 0x14, 0x32,
    0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72,
    0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35,
    0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55,
    0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75,
    0x76, 0x77, 0x78, 0x79, 0x7a, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94,
    0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2,
    0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9,
    0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6,
    0xe7, 0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa, 0xff, 0xda,
    0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f, 0x00, 0xfc, 0xaa, 0xaf, 0xea, 0xa2, 0xbf, 0x95, 0x7a,
    0xfe, 0xaa, 0x2b, 0xff, 0xd9,
};
const uint8_t kCmykAdobeJpeg[] = {
    0xff, 0xd8, 0xff, 0xee, 0x00, 0x0e, 0x41, 0x64, 0x6f, 0x62, 0x65, 0x00, 0x64, 0x00, 0x00, 0x00,
    0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x03, 0x02, 0x02, 0x03, 0x03, 0x03,
    0x03, 0x04, 0x03, 0x03, 0x04, 0x05, 0x08, 0x05, 0x05, 0x04, 0x04, 0x05, 0x0a, 0x07, 0x07, 0x06,
    0x08, 0x0c, 0x0a, 0x0c, 0x0c, 0x0b, 0x0a, 0x0b, 0x0b, 0x0d, 0x0e, 0x12, 0x10, 0x0d, 0x0e, 0x11,
    0x0e, 0x0b, 0x0b, 0x10, 0x16, 0x10, 0x11, 0x13, 0x14, 0x15, 0x15, 0x15, 0x0c, 0x0f, 0x17, 0x18,
    0x16, 0x14, 0x18, 0x12, 0x14, 0x15, 0x14, 0xff, 0xc0, 0x00, 0x14, 0x08, 0x00, 0x10, 0x00, 0x10,
    0x04, 0x43, 0x11, 0x00, 0x4d, 0x11, 0x00, 0x59, 0x11, 0x00, 0x4b, 0x11, 0x00, 0xff, 0xc4, 0x00,
    0x1f, 0x00, 0x00, 0x01, 0x05, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0xff, 0xc4,
    0x00, 0xb5, 0x10, 0x00, 0x02, 0x01, 0x03, 0x03, 0x02, 0x04, 0x03, 0x05, 0x05, 0x04, 0x04, 0x00,
    0x00, 0x01, 0x7d, 0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13,
    0x51, 0x61, 0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15,
    0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25,
    0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46,
    0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64, 0x65, 0x66,
    0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83, 0x84, 0x85, 0x86,
    0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4,
    0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2,
    0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9,
    0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5,
    0xf6, 0xf7, 0xf8, 0xf9, 0xfa, 0xff, 0xda, 0x00, 0x0e, 0x04, 0x43, 0x00, 0x4d, 0x00, 0x59, 0x00,
    0x4b, 0x00, 0x00, 0x3f, 0x00, 0xfd, 0x53, 0xaf, 0xca, 0xaa, 0xfc, 0xaa, 0xaf, 0xd5, 0x3a, 0xfe,
    0x55, 0xeb, 0xfa, 0xa8, 0xa2, 0x8a, 0x2b, 0xf9, 0x57, 0xaf, 0xea, 0xa2, 0x8a, 0xfe, 0xaa, 0x2b,
    0xfa, 0xa8, 0xa2, 0x8a, 0xff, 0xd9,
};

Bytes FromArray(const uint8_t* data, size_t size) { return Bytes(data, data + size); }

// --- checks ----------------------------------------------------------------

int ChannelDistance(Pixel a, Pixel b) {
  int worst = 0;
  for (int shift : {0, 8, 16}) {
    worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                     static_cast<int>((b >> shift) & 0xFF)));
  }
  return worst;
}

bool AllXBytesZero(const Bitmap& b) {
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      if (b.At(x, y) >> 24) return false;
    }
  }
  return true;
}

struct Probe {
  int x;
  int y;
  Pixel colour;
};

std::vector<Probe> QuadrantProbes(int w, int h) {
  return {{w / 4, h / 4, kRed}, {3 * w / 4, h / 4, kGreen}, {w / 4, 3 * h / 4, kBlue},
          {3 * w / 4, 3 * h / 4, kWhite}};
}

Bitmap SixColours() {
  Bitmap b(3, 2);
  const Pixel colours[] = {kRed, kGreen, kBlue, kWhite, kBlack, 0x808080};
  for (int i = 0; i < 6; ++i) b.Set(i % 3, i / 3, colours[i]);
  return b;
}
std::vector<Probe> SixProbes() {
  return {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {0, 1, kWhite}, {1, 1, kBlack}, {2, 1, 0x808080}};
}

// --- decoding ----------------------------------------------------------------

struct DecodeCase {
  const char* name;
  std::function<Bytes()> make;
  std::string extension;
  int width;
  int height;
  std::vector<Probe> probes;
  int tolerance = 0;  // per channel
  PictureLoadOptions options = {};
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

std::vector<DecodeCase> DecodeCases() {
  PictureLoadOptions slide;
  slide.decoders = PictureDecoders::kJpegGifOrBitmap;
  PictureLoadOptions grey;
  grey.background = 0x404040;
  PictureLoadOptions eighth;
  eighth.fitWidth = 2;
  eighth.fitHeight = 2;
  return {
      {"Jpeg", [] { return EncodeJpeg(Quadrants(64, 64)); }, ".jpg", 64, 64, QuadrantProbes(64, 64), 8},
      {"JpegOddSizeUpperCase", [] { return EncodeJpeg(Quadrants(67, 35)); }, ".JPEG", 67, 35,
       {{4, 2, kRed}, {62, 2, kGreen}, {4, 33, kBlue}, {62, 33, kWhite}}, 8},
      // Every row present, only the end marker missing: nothing is lost.
      {"JpegWithoutEndMarker",
       [] { Bytes b = EncodeJpeg(Quadrants(64, 64)); b.resize(b.size() - 2); return b; }, ".jpg",
       64, 64, QuadrantProbes(64, 64), 8},
      {"JpegProgressive", [] { return FromArray(kProgressiveJpeg, sizeof kProgressiveJpeg); },
       ".jpg", 16, 16, QuadrantProbes(16, 16), 8},
      {"JpegGrey", [] { return FromArray(kGreyJpeg, sizeof kGreyJpeg); }, ".jpg", 16, 16,
       {{4, 4, kBlack}, {12, 4, kWhite}, {4, 12, kBlack}, {12, 12, kWhite}}, 8},
      {"JpegCmykAdobe", [] { return FromArray(kCmykAdobeJpeg, sizeof kCmykAdobeJpeg); }, ".jpg",
       16, 16, QuadrantProbes(16, 16), 8},
      {"JpegCmykAdobeReduced", [] { return FromArray(kCmykAdobeJpeg, sizeof kCmykAdobeJpeg); },
       ".jpg", 2, 2, {{0, 0, kRed}, {1, 0, kGreen}, {0, 1, kBlue}, {1, 1, kWhite}}, 8, eighth},
      {"JpegProgressiveWithoutEndMarker",
       [] { return FromArray(kProgressiveJpeg, sizeof kProgressiveJpeg - 2); }, ".jpg", 16, 16,
       QuadrantProbes(16, 16), 8},
      {"JpegWithoutExtension", [] { return EncodeJpeg(Quadrants(64, 32)); }, "", 64, 32,
       QuadrantProbes(64, 32), 8},
      {"Bmp24BottomUp", [] { return EncodeBmp24(SixColours()); }, ".bmp", 3, 2, SixProbes()},
      {"Bmp24TopDown", [] { return EncodeBmp24(SixColours(), true); }, ".BMP", 3, 2, SixProbes()},
      {"Bmp8Palette",
       [] { return EncodeBmp8(5, 3, {kRed, kGreen, kBlue}, {0, 1, 2, 0, 1, 1, 2, 0, 1, 2, 2, 0, 1, 2, 0}); },
       ".bmp", 5, 3, {{0, 0, kRed}, {4, 0, kGreen}, {0, 1, kGreen}, {4, 2, kRed}, {3, 2, kBlue}}},
      {"Bmp32WithAlphaMask", Bmp32WithAlphaMask, ".bmp", 2, 1, {{0, 0, 0x302010}, {1, 0, 0x302010}}},
      // Any other extension reaches the bitmap loader, which reads bitmaps.
      {"BmpDataNamedPng", [] { return EncodeBmp24(SixColours()); }, ".png", 3, 2, SixProbes()},
      {"BmpDataNamedIcoForSlides", [] { return EncodeBmp24(SixColours()); }, ".ico", 3, 2,
       SixProbes(), 0, slide},
      {"Gif", FourColourGif, ".gif", 4, 2,
       {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {3, 0, kBlack}, {0, 1, kBlack}, {3, 1, kRed}}},
      {"GifTransparentOverBackground", FourColourGif, ".Gif", 4, 2,
       {{0, 0, kRed}, {3, 0, 0x404040}, {0, 1, 0x404040}}, 0, grey},
      {"GifLarger",
       [] {
         std::vector<uint8_t> idx(40 * 30);
         for (size_t i = 0; i < idx.size(); ++i) idx[i] = static_cast<uint8_t>((i % 40) / 10);
         return EncodeGif(40, 30, {kRed, kGreen, kBlue, kWhite}, idx);
       },
       ".gif", 40, 30, {{0, 0, kRed}, {15, 29, kGreen}, {25, 10, kBlue}, {39, 29, kWhite}}},
      // The first frame at its place on a larger logical screen; the rest of
      // the screen is transparent.
      {"GifFrameOnLargerScreen",
       [] { return EncodeGif(2, 2, {kRed, kGreen}, {0, 1, 1, 0}, -1, {3, 1, 6, 4}); }, ".gif", 6,
       4, {{3, 1, kRed}, {4, 1, kGreen}, {3, 2, kGreen}, {0, 0, 0x404040}, {5, 3, 0x404040}}, 0, grey},
      // 80 x 40 units at 192 per inch: 40 x 20 pixels at 96 dots per inch.
      // GDI fills a rectangle drawn without a pen short of its right and
      // bottom edges: the last column and row keep the background.
      {"Metafile", [] { return EncodeWmf(80, 40, 192, kRed, kBlue); }, ".wmf", 40, 20,
       {{0, 0, kRed}, {18, 18, kRed}, {20, 0, kBlue}, {38, 18, kBlue}, {39, 19, 0x404040}}, 0, grey},
      {"Icon", HalfTransparentIcon, ".ico", 16, 16,
       {{0, 0, kBlue}, {7, 7, kBlue}, {8, 0, kBlack}, {15, 15, kBlack}, {0, 15, 0x808080}}, 1},
      // The largest image of the icon, wherever it stands in the directory.
      {"IconLargestImage",
       [] {
         return EncodeIcon({{16, 16, std::vector<uint32_t>(256, 0xFFFF0000u)},
                            {32, 32, std::vector<uint32_t>(1024, 0xFF00FF00u)},
                            {8, 8, std::vector<uint32_t>(64, 0xFF0000FFu)}});
       },
       ".ico", 32, 32, {{0, 0, kGreen}, {31, 31, kGreen}}},
  };
}

class WinPictureDecode : public testing::TestWithParam<DecodeCase> {};

TEST_P(WinPictureDecode, SizeColoursAndFile) {
  const DecodeCase& c = GetParam();
  const Bytes data = c.make();
  ASSERT_FALSE(data.empty());
  PictureError error = PictureError::kMissing;
  const std::optional<Bitmap> b = LoadPictureMemory(data, c.extension, &error, c.options);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(error, PictureError::kNone);
  ASSERT_EQ(b->Width(), c.width);
  ASSERT_EQ(b->Height(), c.height);
  for (const Probe& p : c.probes) {
    EXPECT_LE(ChannelDistance(b->At(p.x, p.y), p.colour), c.tolerance)
        << "at (" << p.x << ", " << p.y << "): " << std::hex << b->At(p.x, p.y) << " instead of "
        << p.colour;
  }
  EXPECT_TRUE(AllXBytesZero(*b));

  // The same bytes read from a file give the same picture.
  const std::string path = testing::TempDir() + "winpic_" + c.name + c.extension;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                               static_cast<std::streamsize>(data.size()));
  error = PictureError::kMissing;
  const std::optional<Bitmap> fromFile = LoadPictureFile(path, &error, c.options);
  std::filesystem::remove(path);
  ASSERT_TRUE(fromFile.has_value());
  EXPECT_EQ(error, PictureError::kNone);
  EXPECT_TRUE(*fromFile == *b);
}

INSTANTIATE_TEST_SUITE_P(Formats, WinPictureDecode, testing::ValuesIn(DecodeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- refused data --------------------------------------------------------------

Bytes Cut(Bytes b, size_t keep) {
  b.resize(std::min(keep, b.size()));
  return b;
}

// A JPEG whose entropy-coded data spans many bytes.
Bytes NoisyJpeg() {
  Bitmap b(64, 64);
  uint32_t seed = 12345;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      seed = seed * 1103515245u + 12345u;
      b.Set(x, y, (seed >> 8) & 0xFFFFFF);
    }
  }
  return EncodeJpeg(b);
}

// The frame header of a JPEG rewritten to declare another size.
Bytes JpegDeclaring(Bytes b, unsigned width, unsigned height) {
  for (size_t i = 2; i + 8 < b.size(); ++i) {
    if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
      b[i + 5] = static_cast<uint8_t>(height >> 8);
      b[i + 6] = static_cast<uint8_t>(height);
      b[i + 7] = static_cast<uint8_t>(width >> 8);
      b[i + 8] = static_cast<uint8_t>(width);
      return b;
    }
  }
  return {};
}

struct RefuseCase {
  const char* name;
  std::function<Bytes()> make;
  std::string extension;
  PictureDecoders decoders = PictureDecoders::kGeneral;
};

void PrintTo(const RefuseCase& c, std::ostream* os) { *os << c.name; }

std::vector<RefuseCase> RefuseCases() {
  const auto slides = PictureDecoders::kJpegGifOrBitmap;
  return {
      {"PngNamedPng", PngData, ".png"},
      {"PngNamedBmp", PngData, ".bmp"},
      {"PngWithoutExtension", PngData, ""},
      {"JpegNamedGif", [] { return EncodeJpeg(Quadrants(8, 8)); }, ".gif"},
      {"JpegNamedBmp", [] { return EncodeJpeg(Quadrants(8, 8)); }, ".bmp"},
      {"JpegNamedIco", [] { return EncodeJpeg(Quadrants(8, 8)); }, ".ico"},
      {"GifNamedJpg", FourColourGif, ".jpg"},
      {"BmpNamedGif", [] { return EncodeBmp24(SixColours()); }, ".gif"},
      {"IconForSlides", HalfTransparentIcon, ".ico", slides},
      {"EnhancedMetafile", [] { return Bytes(200, 0x01); }, ".emf"},
      {"Garbage", [] { return Bytes{'h', 'e', 'l', 'l', 'o'}; }, ".jpg"},
      {"JpegTruncated", [] { Bytes b = NoisyJpeg(); return Cut(b, b.size() / 2); }, ".jpg"},
      {"JpegCutNearTheEnd", [] { Bytes b = NoisyJpeg(); return Cut(b, b.size() - 40); }, ".jpg"},
      {"JpegCutAtTheLastBytes", [] { Bytes b = NoisyJpeg(); return Cut(b, b.size() - 5); }, ".jpg"},
      {"JpegProgressiveTruncated",
       [] { return FromArray(kProgressiveJpeg, sizeof kProgressiveJpeg * 2 / 3); }, ".jpg"},
      {"JpegCutInHeader", [] { return Cut(NoisyJpeg(), 100); }, ".jpg"},
      {"JpegCutBeforeFrame", [] { return Cut(NoisyJpeg(), 3); }, ".jpg"},
      {"JpegEmpty", [] { return Bytes{}; }, ".jpg"},
      // 12000 x 9000 declared: refused from the header, whatever follows.
      {"JpegOverPixelLimit", [] { return JpegDeclaring(NoisyJpeg(), 12000, 9000); }, ".jpg"},
      {"BmpTruncated", [] { Bytes b = EncodeBmp24(Quadrants(20, 20)); return Cut(b, b.size() - 30); }, ".bmp"},
      {"BmpHeaderOnly", [] { return Cut(EncodeBmp24(Quadrants(20, 20)), 54); }, ".bmp"},
      {"BmpHugeDeclared", [] { return BmpHeaderOnly(12000, 9000, 64); }, ".bmp"},
      {"BmpZeroWidth", [] { return BmpHeaderOnly(0, 10, 64); }, ".bmp"},
      {"BmpColourTableBeyondData", [] {
         Bytes b = EncodeBmp8(4, 4, {kRed, kGreen}, std::vector<uint8_t>(16, 1));
         b[46] = 0xFE; b[47] = 0xFF; b[48] = 0xFF; b[49] = 0xFF;
         return b;
       }, ".bmp"},
      {"IcoImageBeyondData", [] {
         Bytes b = HalfTransparentIcon();
         b[14] = 0x21; b[15] = 0x21; b[16] = 0x21; b[17] = 0x21;
         return b;
       }, ".ico"},
      {"GifTruncated", [] {
         Bytes b = EncodeGif(40, 30, {kRed, kGreen}, std::vector<uint8_t>(40 * 30, 1));
         return Cut(b, b.size() / 2);
       }, ".gif"},
      // A sound small frame on a 65535 x 65535 logical screen.
      {"GifHugeScreen", [] {
         Bytes b = FourColourGif();
         b[6] = b[7] = b[8] = b[9] = 0xFF;
         return b;
       }, ".gif"},
      {"MetafileForSlides", [] { return EncodeWmf(80, 40, 192, kRed, kBlue); }, ".wmf", slides},
      {"MetafileCut", [] { Bytes b = EncodeWmf(80, 40, 192, kRed, kBlue); return Cut(b, b.size() - 10); }, ".wmf"},
      // Damage that the system's metafile player and icon decoder trust
      // (found by the seeded corruptions below): refused from the headers.
      {"MetafileObjectBeyondTable", [] {
         Bytes b = EncodeWmf(80, 40, 192, kRed, kBlue);
         b[22 + 18 + 10 + 10 + 16 + 6] = 0x07;  // the first SelectObject names object 7 of 3
         return b;
       }, ".wmf"},
      {"MetafilePolygonBeyondRecord", [] {
         Bytes b = EncodeWmf(80, 40, 192, kRed, kBlue);
         // The first record becomes a polygon of 4000 points in 2 words.
         b[22 + 18 + 4] = 0x24;
         b[22 + 18 + 5] = 0x03;
         b[22 + 18 + 6] = 0xA0;
         b[22 + 18 + 7] = 0x0F;
         return b;
       }, ".wmf"},
      {"IcoBitmapTallerThanItsEntry", [] {
         Bytes b = HalfTransparentIcon();
         b[22 + 8 + 3] = 0x38;  // the bitmap's height: 939524128
         return b;
       }, ".ico"},
      {"MetafileWithoutPlaceableHeader", [] { return Bytes(64, 0x01); }, ".wmf"},
  };
}

class WinPictureRefuse : public testing::TestWithParam<RefuseCase> {};

TEST_P(WinPictureRefuse, IsUndecodable) {
  const RefuseCase& c = GetParam();
  PictureLoadOptions options;
  options.decoders = c.decoders;
  PictureError error = PictureError::kNone;
  EXPECT_FALSE(LoadPictureMemory(c.make(), c.extension, &error, options).has_value());
  EXPECT_EQ(error, PictureError::kUndecodable);
}

INSTANTIATE_TEST_SUITE_P(BadData, WinPictureRefuse, testing::ValuesIn(RefuseCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A picture over the limit only before reduction is accepted at the reduced
// size: the limit applies to what is decoded.
TEST(WinPictureLimit, SmallSourceUnderTheLimitDecodes) {
  const Bytes data = EncodeJpeg(Quadrants(64, 48));
  ASSERT_FALSE(data.empty());
  EXPECT_TRUE(LoadPictureMemory(data, ".jpg").has_value());
  EXPECT_FALSE(LoadPictureMemory(JpegDeclaring(data, 12000, 9000), ".jpg").has_value());
}

// Damaged files of every format, made by seeded byte changes and cuts: each
// load ends with a picture or an error, never a crash, and any picture it
// gives is whole.
TEST(WinPictureDamage, SeededCorruptionsEndCleanly) {
  const std::pair<const char*, Bytes> sources[] = {
      {".jpg", EncodeJpeg(Quadrants(24, 16))},
      {".bmp", EncodeBmp24(Quadrants(7, 5))},
      {".bmp", EncodeBmp8(5, 3, {kRed, kGreen, kBlue}, std::vector<uint8_t>(15, 1))},
      {".gif", FourColourGif()},
      {".ico", HalfTransparentIcon()},
      {".wmf", EncodeWmf(80, 40, 192, kRed, kBlue)},
  };
  uint32_t seed = 2024;
  auto random = [&seed](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  int decoded = 0;
  int refused = 0;
  for (const auto& [ext, original] : sources) {
    ASSERT_FALSE(original.empty());
    for (int round = 0; round < 60; ++round) {
      Bytes b = original;
      const int changes = 1 + static_cast<int>(random(4));
      for (int i = 0; i < changes; ++i) {
        b[random(static_cast<uint32_t>(b.size()))] = static_cast<uint8_t>(random(256));
      }
      if (random(4) == 0) b.resize(random(static_cast<uint32_t>(b.size())));
      PictureError error = PictureError::kMissing;
      const std::optional<Bitmap> picture = LoadPictureMemory(b, ext, &error);
      if (!picture) {
        ASSERT_EQ(error, PictureError::kUndecodable);
        ++refused;
        continue;
      }
      ++decoded;
      ASSERT_FALSE(picture->IsEmpty());
      ASSERT_LE(int64_t{picture->Width()} * picture->Height(), kMaxPicturePixels);
      ASSERT_TRUE(AllXBytesZero(*picture)) << ext << " round " << round;
    }
  }
  EXPECT_GT(decoded, 0);
  EXPECT_GT(refused, 0);
}

// Decoding works on a thread whose COM apartment is already the
// multithreaded kind, and leaves a thread's COM state as it found it.
TEST(WinPictureThreads, AnyApartmentAndNothingLeftBehind) {
  const Bytes jpeg = EncodeJpeg(Quadrants(64, 64));
  HRESULT inMultithreaded = E_FAIL;
  bool decodedThere = false;
  std::thread([&] {
    inMultithreaded = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    decodedThere = LoadPictureMemory(jpeg, ".jpg").has_value() &&
                   LoadPictureMemory(FourColourGif(), ".gif").has_value();
    if (SUCCEEDED(inMultithreaded)) CoUninitialize();
  }).join();
  EXPECT_EQ(inMultithreaded, S_OK);
  EXPECT_TRUE(decodedThere);

  HRESULT afterwards = E_FAIL;
  std::thread([&] {
    const bool decoded = LoadPictureMemory(jpeg, ".jpg").has_value();
    // Not left in a single-threaded apartment by the decoder.
    afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterwards)) CoUninitialize();
    EXPECT_TRUE(decoded);
  }).join();
  EXPECT_EQ(afterwards, S_OK);
}

// --- reduced-scale JPEG decoding -------------------------------------------

struct ScaleCase {
  int fitWidth;
  int fitHeight;
  int width;  // of the result, from 800 x 600
  int height;
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.fitWidth << "x" << c.fitHeight; }

class WinJpegScale : public testing::TestWithParam<ScaleCase> {};

TEST_P(WinJpegScale, SmallestScaleThatCoversTheBox) {
  static const Bytes data = EncodeJpeg(Quadrants(800, 600));
  ASSERT_FALSE(data.empty());
  const ScaleCase& c = GetParam();
  PictureLoadOptions options;
  options.fitWidth = c.fitWidth;
  options.fitHeight = c.fitHeight;
  const std::optional<Bitmap> b = LoadPictureMemory(data, ".jpg", nullptr, options);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->Width(), c.width);
  EXPECT_EQ(b->Height(), c.height);
  for (const Probe& p : QuadrantProbes(b->Width(), b->Height())) {
    EXPECT_LE(ChannelDistance(b->At(p.x, p.y), p.colour), 8);
  }
  EXPECT_TRUE(AllXBytesZero(*b));
}

INSTANTIATE_TEST_SUITE_P(
    FitBoxes, WinJpegScale,
    testing::Values(ScaleCase{0, 0, 800, 600},        // no box: whole
                    ScaleCase{640, 0, 800, 600},      // half a box: whole
                    ScaleCase{100, 75, 100, 75},      // 1/8 covers exactly
                    ScaleCase{101, 75, 200, 150},     // 1/8 one pixel short: 1/4
                    ScaleCase{400, 300, 400, 300},    // 1/2
                    ScaleCase{401, 300, 800, 600},    // nothing smaller covers
                    ScaleCase{1920, 1080, 800, 600},  // never enlarged
                    ScaleCase{160, 151, 400, 300}));

// An odd size rounds up as the reduced decoding does: 801 / 8 gives 101.
TEST(WinJpegScale, ReducedSizeRoundsUp) {
  const Bytes data = EncodeJpeg(Quadrants(801, 601));
  PictureLoadOptions options;
  options.fitWidth = 100;
  options.fitHeight = 75;
  const std::optional<Bitmap> b = LoadPictureMemory(data, ".jpg", nullptr, options);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->Width(), 101);
  EXPECT_EQ(b->Height(), 76);
}

// --- PNG files -------------------------------------------------------------------

std::string TempPath(const char* name) { return testing::TempDir() + "winpng_" + name; }

TEST(WinPng, RoundTripKeepsColoursAndClearsTheFourthByte) {
  Bitmap b(7, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 7; ++x) {
      b.Set(x, y, 0xAB000000u | static_cast<Pixel>((x * 37) << 16 | (y * 91) << 8 | (x + y * 7)));
    }
  }
  const std::string path = TempPath("round.png");
  ASSERT_TRUE(WritePng(b, path));
  const std::optional<Bitmap> back = ReadPng(path);
  std::filesystem::remove(path);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Width(), 7);
  ASSERT_EQ(back->Height(), 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 7; ++x) EXPECT_EQ(back->At(x, y), b.At(x, y) & 0x00FFFFFFu) << x << "," << y;
  }
}

TEST(WinPng, WrittenFileIsAnOpaqueRgbPng) {
  const std::string path = TempPath("rgb.png");
  ASSERT_TRUE(WritePng(Quadrants(4, 4), path));
  std::ifstream in(path, std::ios::binary);
  Bytes head(26);
  in.read(reinterpret_cast<char*>(head.data()), 26);
  in.close();
  std::filesystem::remove(path);
  EXPECT_EQ(Bytes(head.begin() + 1, head.begin() + 4), (Bytes{'P', 'N', 'G'}));
  EXPECT_EQ(head[24], 8);  // bits per sample
  EXPECT_EQ(head[25], 2);  // colour type: RGB, no alpha
}

TEST(WinPng, TransparentPictureReadsAsOverBlack) {
  // B, G, R, A: transparent white, opaque blue, half-transparent red.
  const Bytes png = EncodeWithWic(GUID_ContainerFormatPng, 3, 1,
                                  {0x00FFFFFFu, 0xFF0000FFu, 0x80FF0000u},
                                  GUID_WICPixelFormat32bppBGRA);
  ASSERT_FALSE(png.empty());
  const std::string path = TempPath("alpha.png");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                               static_cast<std::streamsize>(png.size()));
  const std::optional<Bitmap> b = ReadPng(path);
  std::filesystem::remove(path);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->At(0, 0), 0x00000000u);
  EXPECT_EQ(b->At(1, 0), 0x000000FFu);
  EXPECT_EQ(b->At(2, 0), 0x00800000u);
}

TEST(WinPng, FailuresAreReported) {
  EXPECT_FALSE(ReadPng(TempPath("missing.png")));
  const std::string text = TempPath("text.png");
  std::ofstream(text) << "not a picture";
  EXPECT_FALSE(ReadPng(text));
  std::filesystem::remove(text);
  const std::string bmp = TempPath("bitmap.png");
  const Bytes bmpData = EncodeBmp24(SixColours());
  std::ofstream(bmp, std::ios::binary).write(reinterpret_cast<const char*>(bmpData.data()),
                                              static_cast<std::streamsize>(bmpData.size()));
  EXPECT_FALSE(ReadPng(bmp));
  std::filesystem::remove(bmp);
  EXPECT_FALSE(WritePng(Bitmap(), TempPath("empty.png")));
  EXPECT_FALSE(WritePng(Bitmap(2, 2), TempPath("no-such-folder/x.png")));
}

// --- caption text ------------------------------------------------------------------

Rect InkBox(const Bitmap& b, Pixel background = 0) {
  Rect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      if (b.At(x, y) == background) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  return box.IsEmpty() ? Rect{} : box;
}

int CountPixels(const Bitmap& b, Pixel colour) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) n += b.At(x, y) == colour;
  }
  return n;
}

Bitmap Drawn(const FontSpec& font, const std::string& text, int w = 300, int h = 80, int x = 10,
             int y = 10) {
  Bitmap b(w, h);
  DrawText(b, x, y, font, text);
  return b;
}

FontSpec Font(uint32_t colorRef = 0xFFFFFF, int sizePt = 12) {
  FontSpec f;
  f.name = "Verdana";
  f.sizePt = sizePt;
  f.color = colorRef;
  return f;
}

TEST(WinCaptionText, ColourIsBgrColorRefAndXBytesStayZero) {
  // 0x00BBGGRR: 0x0000FF is red, 0xFF0000 blue.
  const std::pair<uint32_t, Pixel> cases[] = {
      {0x0000FF, 0xFF0000}, {0x00FF00, 0x00FF00}, {0xFF0000, 0x0000FF}, {0xFFFFFF, 0xFFFFFF}};
  for (const auto& [colorRef, pixel] : cases) {
    const Bitmap b = Drawn(Font(colorRef, 20), "Hello Il|");
    EXPECT_GT(CountPixels(b, pixel), 20) << std::hex << colorRef;
    for (int y = 0; y < b.Height(); ++y) {
      for (int x = 0; x < b.Width(); ++x) {
        const Pixel p = b.At(x, y);
        ASSERT_EQ(p >> 24, 0u) << "X byte at " << x << "," << y;
        ASSERT_EQ(p & ~pixel, 0u) << std::hex << "stray channel " << p << " for " << pixel;
      }
    }
  }
}

TEST(WinCaptionText, PointsAreMeasuredAt96DotsPerInch) {
  // A capital H is about 0.73 em high: 12 pt = 16 px em gives 11 or 12 rows.
  const std::pair<int, std::pair<int, int>> cases[] = {{12, {10, 13}}, {24, {21, 25}}, {48, {43, 48}}};
  for (const auto& [size, range] : cases) {
    const Rect ink = InkBox(Drawn(Font(0xFFFFFF, size), "H", 200, 120));
    EXPECT_GE(ink.Height(), range.first) << size << " pt";
    EXPECT_LE(ink.Height(), range.second) << size << " pt";
  }
  const int w12 = TextWidth(Font(0xFFFFFF, 12), "Lantern slide show");
  const int w24 = TextWidth(Font(0xFFFFFF, 24), "Lantern slide show");
  EXPECT_GT(w12, 80);
  EXPECT_NEAR(w24, 2 * w12, 6);
  EXPECT_GT(TextWidth(Font(), "Lantern slide show!"), w12);
}

TEST(WinCaptionText, CellTopLeftIsThePosition) {
  const FontSpec f = Font(0xFFFFFF, 16);
  const Bitmap a = Drawn(f, "Hg", 200, 80, 0, 0);
  const Bitmap b = Drawn(f, "Hg", 200, 80, 17, 9);
  const Rect ia = InkBox(a);
  EXPECT_EQ(InkBox(b), ia.Offset(17, 9));
  for (int y = 0; y + 9 < 80; ++y) {
    for (int x = 0; x + 17 < 200; ++x) ASSERT_EQ(b.At(x + 17, y + 9), a.At(x, y));
  }
  // The cell's top holds the ascent: a capital starts a few rows below it,
  // and the ink stays inside the measured width.
  EXPECT_GE(ia.top, 1);
  EXPECT_LE(ia.top, 8);
  EXPECT_GE(ia.left, 0);
  EXPECT_LE(ia.right, TextWidth(f, "Hg") + 1);
}

TEST(WinCaptionText, EdgesBlendWithWhatLiesBeneath) {
  Bitmap b(200, 60);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) b.Set(x, y, 0x336699);
  }
  DrawText(b, 5, 5, Font(0xFFFFFF, 14), "a b");
  // No background box: between and around the letters the picture shows.
  EXPECT_EQ(b.At(5, 5), 0x336699u);
  EXPECT_GT(CountPixels(b, 0x336699), 200 * 60 - 400);
  EXPECT_GT(CountPixels(b, 0xFFFFFF), 5);
  // Edge pixels lie between the picture and the text colour.
  int between = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      const Pixel p = b.At(x, y);
      if (p == 0x336699 || p == 0xFFFFFF) continue;
      ++between;
      EXPECT_GE(p & 0xFF, 0x99u);
      EXPECT_GE((p >> 16) & 0xFF, 0x33u);
    }
  }
  EXPECT_GT(between, 0);
}

TEST(WinCaptionText, EachStyleChangesTheDrawing) {
  const std::pair<const char*, void (*)(FontSpec&)> cases[] = {
      {"bold", [](FontSpec& f) { f.bold = true; }},
      {"italic", [](FontSpec& f) { f.italic = true; }},
      {"underline", [](FontSpec& f) { f.underline = true; }},
      {"strikeOut", [](FontSpec& f) { f.strikeOut = true; }},
  };
  const Bitmap plain = Drawn(Font(), "Caption text");
  for (const auto& [name, apply] : cases) {
    FontSpec f = Font();
    apply(f);
    EXPECT_FALSE(Drawn(f, "Caption text") == plain) << name;
  }
  FontSpec bold = Font();
  bold.bold = true;
  EXPECT_GT(TextWidth(bold, "Caption text"), TextWidth(Font(), "Caption text"));
}

int LongestRowRun(const Bitmap& b, int* rowOut) {
  int best = 0;
  for (int y = 0; y < b.Height(); ++y) {
    int run = 0;
    for (int x = 0; x < b.Width(); ++x) {
      run = b.At(x, y) != 0 ? run + 1 : 0;
      if (run > best) {
        best = run;
        *rowOut = y;
      }
    }
  }
  return best;
}

TEST(WinCaptionText, UnderlineAndStrikeOutAreLinesAcrossTheText) {
  const std::string text = "i i i i i i i i";  // no long horizontal strokes of its own
  FontSpec f = Font(0xFFFFFF, 16);
  const int width = TextWidth(f, text);
  const Bitmap plain = Drawn(f, text);
  const Rect ink = InkBox(plain);
  int row = 0;
  EXPECT_LT(LongestRowRun(plain, &row), width / 4);

  f.underline = true;
  EXPECT_GE(LongestRowRun(Drawn(f, text), &row), width * 9 / 10);
  EXPECT_GE(row, ink.bottom - 2) << "underline below the baseline";

  f.underline = false;
  f.strikeOut = true;
  EXPECT_GE(LongestRowRun(Drawn(f, text), &row), width * 9 / 10);
  EXPECT_GT(row, ink.top + 2);
  EXPECT_LT(row, ink.bottom - 2) << "strike-out through the letters";
}

TEST(WinCaptionText, ChineseHasGlyphsAndIsDrawn) {
  const std::string chinese = "\xE5\xB1\x8F\xE5\xB9\x95\xE4\xBF\x9D\xE6\x8A\xA4";  // 屏幕保护
  EXPECT_EQ(MissingGlyphCount(Font(), chinese), 0);
  EXPECT_EQ(MissingGlyphCount(Font(), "Caption"), 0);
  // An unassigned code point has no glyph anywhere: the count can fail.
  EXPECT_EQ(MissingGlyphCount(Font(), "a\xCD\xB8"), 1);  // U+0378

  const Bitmap b = Drawn(Font(0x00FFFF, 16), chinese);  // yellow
  EXPECT_GT(CountPixels(b, 0xFFFF00), 30);
  // Four square characters: each about one em (21 px at 16 pt) wide.
  EXPECT_NEAR(TextWidth(Font(0x00FFFF, 16), chinese), 4 * 21, 8);
  // Mixed with Latin text, on one baseline within one line's height.
  const Rect ink = InkBox(Drawn(Font(0xFFFFFF, 16), "Ab" + chinese));
  EXPECT_LE(ink.Height(), 28);
}

TEST(WinCaptionText, InvalidUtf8IsReadAsGb18030) {
  const std::string gbk = "\xC6\xC1\xC4\xBB";          // 屏幕 in GB18030
  const std::string utf8 = "\xE5\xB1\x8F\xE5\xB9\x95";  // 屏幕 in UTF-8
  EXPECT_EQ(TextWidth(Font(), gbk), TextWidth(Font(), utf8));
  EXPECT_TRUE(Drawn(Font(), gbk) == Drawn(Font(), utf8));
}

TEST(WinCaptionText, UnknownAndChineseFontNamesFallBack) {
  const std::string chinese = "\xE5\xB1\x8F\xE5\xB9\x95";
  for (const char* name : {"\xCB\xCE\xCC\xE5", "\xE5\xAE\x8B\xE4\xBD\x93", "No Such Font", ""}) {
    FontSpec f = Font();
    f.name = name;
    EXPECT_EQ(MissingGlyphCount(f, chinese), 0) << name;
    EXPECT_GT(TextWidth(f, "Caption"), 30) << name;
  }
}

TEST(WinCaptionText, CutByTheBitmapWherePlaced) {
  const FontSpec f = Font(0xFFFFFF, 20);
  const std::pair<int, int> places[] = {{-15, -12}, {180, 40}, {-1000, 5}, {INT_MAX - 5, 0},
                                        {0, INT_MIN + 3}, {5, 5}};
  for (const auto& [x, y] : places) {
    const Bitmap b = Drawn(f, "Clipped caption", 200, 50, x, y);
    EXPECT_TRUE(AllXBytesZero(b)) << x << "," << y;
  }
  EXPECT_GT(CountPixels(Drawn(f, "Clipped caption", 200, 50, -15, -12), 0xFFFFFF), 10);
  EXPECT_EQ(CountPixels(Drawn(f, "Clipped caption", 200, 50, -1000, 5), 0), 200 * 50);
}

TEST(WinCaptionText, EmptyTextAndSizes) {
  EXPECT_EQ(TextWidth(Font(), ""), 0);
  EXPECT_EQ(CountPixels(Drawn(Font(), ""), 0), 300 * 80);
  // Size 0 is the default 12 points; a negative size its magnitude; sizes
  // stop at 2000 points.
  EXPECT_EQ(TextWidth(Font(0xFFFFFF, 0), "Size"), TextWidth(Font(0xFFFFFF, 12), "Size"));
  EXPECT_EQ(TextWidth(Font(0xFFFFFF, -20), "Size"), TextWidth(Font(0xFFFFFF, 20), "Size"));
  EXPECT_EQ(TextWidth(Font(0xFFFFFF, 5000), "S"), TextWidth(Font(0xFFFFFF, 2000), "S"));
  // Text ends at a NUL, as a caption string does.
  EXPECT_EQ(TextWidth(Font(), std::string("Size\0more", 9)), TextWidth(Font(), "Size"));
}

}  // namespace
}  // namespace ls
