// The picture decoders on Windows: JPEG, Windows bitmaps, GIF and icons
// through the Windows Imaging Component, each with the decoder of the format
// that the extension names (other formats are refused, as elsewhere);
// placeable metafiles played by GDI into a DIB section.

#include <algorithm>
#include <new>
#include <vector>

#include "platform/graphics/PictureChecks.h"
#include "platform/graphics/PictureDecode.h"
#include "platform/graphics/win32/Wic.h"

namespace ls::picture_detail {

namespace {

using wic::Alpha;
using wic::ComPtr;
using picture_checks::TooManyPixels;

// One decoding: COM, the factory, and the decoder of one format over the
// data in memory (the stream reads the caller's bytes without copying them).
struct WicDecoding {
  wic::ComScope com;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;

  bool Open(const CLSID& decoderClass, std::span<const uint8_t> data) {
    if (!com.Ok() || data.empty() || data.size() > MAXDWORD) return false;
    factory = wic::CreateFactory();
    if (!factory || FAILED(factory->CreateStream(&stream))) return false;
    // The stream only reads.
    if (FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data.data()),
                                            static_cast<DWORD>(data.size())))) {
      return false;
    }
    if (FAILED(CoCreateInstance(decoderClass, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&decoder)))) {
      return false;
    }
    return SUCCEEDED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand));
  }

  ComPtr<IWICBitmapFrameDecode> Frame(UINT index) {
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(index, &frame))) return nullptr;
    return frame;
  }
};

bool SizeOf(IWICBitmapSource* source, UINT* width, UINT* height) {
  return SUCCEEDED(source->GetSize(width, height)) && *width > 0 && *height > 0;
}

// The scaled size of libjpeg's reduced decoding: rounded up.
UINT ScaledDimension(UINT size, UINT denom) { return (size + denom - 1) / denom; }

// The smallest of 1/8, 1/4 and 1/2 whose result still covers the fit box in
// both directions; 1 when none does or there is no box.
UINT ReductionFor(UINT width, UINT height, const PictureLoadOptions& options) {
  if (options.fitWidth <= 0 || options.fitHeight <= 0) return 1;
  for (UINT denom : {8u, 4u, 2u}) {
    if (ScaledDimension(width, denom) >= static_cast<UINT>(options.fitWidth) &&
        ScaledDimension(height, denom) >= static_cast<UINT>(options.fitHeight)) {
      return denom;
    }
  }
  return 1;
}

// Ink to channel for CMYK pictures as the decoder gives them (0 = no ink;
// the decoder has already undone Adobe's inverted storage).
inline unsigned InkToChannel(unsigned ink, unsigned black) {
  return ((255 - ink) * (255 - black) + 127) / 255;
}

bool CopyCmyk(IWICBitmapSource* source, UINT width, UINT height, Bitmap& out) {
  try {
    out.Resize(static_cast<int>(width), static_cast<int>(height));
  } catch (const std::bad_alloc&) {
    return false;
  }
  const UINT stride = static_cast<UINT>(out.StrideBytes());
  if (FAILED(source->CopyPixels(nullptr, stride, stride * height,
                                reinterpret_cast<BYTE*>(out.Data())))) {
    return false;
  }
  auto* bytes = reinterpret_cast<uint8_t*>(out.Data());
  const size_t n = static_cast<size_t>(width) * height;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* s = bytes + 4 * i;
    const Pixel r = InkToChannel(s[0], s[3]);
    const Pixel g = InkToChannel(s[1], s[3]);
    const Pixel b = InkToChannel(s[2], s[3]);
    out.Data()[i] = (r << 16) | (g << 8) | b;
  }
  return true;
}

// Reads a GIF frame's place on the logical screen from its image descriptor.
int FrameOffset(IWICBitmapFrameDecode* frame, const wchar_t* query) {
  ComPtr<IWICMetadataQueryReader> reader;
  if (FAILED(frame->GetMetadataQueryReader(&reader))) return 0;
  PROPVARIANT value;
  PropVariantInit(&value);
  int offset = 0;
  if (SUCCEEDED(reader->GetMetadataByName(query, &value)) && value.vt == VT_UI2) {
    offset = value.uiVal;
  }
  PropVariantClear(&value);
  return offset;
}

// The size in the frame header (SOFn) of a JPEG, read before the decoder
// sees the data: the system's decoder may decode the whole picture as soon
// as it opens it. Bytes between segments are skipped, as decoders do.
bool JpegFrameSize(std::span<const uint8_t> d, UINT* width, UINT* height) {
  if (d.size() < 4 || d[0] != 0xFF || d[1] != 0xD8) return false;
  size_t at = 2;
  while (at + 4 <= d.size()) {
    if (d[at] != 0xFF) {
      ++at;
      continue;
    }
    const uint8_t marker = d[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;  // no length follows
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return false;  // no frame before the data
    const size_t length = (size_t{d[at + 2]} << 8) | d[at + 3];
    if (length < 2) return false;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                       marker != 0xCC;
    if (frame) {
      if (length < 7 || at + 9 > d.size()) return false;
      *height = (UINT{d[at + 5]} << 8) | d[at + 6];
      *width = (UINT{d[at + 7]} << 8) | d[at + 8];
      return *width > 0 && *height > 0;
    }
    at += 2 + length;
  }
  return false;
}

// Filler decoded as picture data when a file without its end marker is cut
// short: enough to change at least one block, and other than the zero bits
// that the decoder itself puts in place of missing data.
constexpr size_t kFillerBytes = 256;
constexpr uint8_t kFiller = 0x55;

std::optional<Bitmap> DecodeJpegData(std::span<const uint8_t> data,
                                     const PictureLoadOptions& options) {
  UINT width = 0;
  UINT height = 0;
  if (!JpegFrameSize(data, &width, &height)) return std::nullopt;
  // The reduced size is that of libjpeg's scaled decoding, made by the
  // imaging component's scaler (area averaging). Whether the decoder then
  // reduces while decoding or decodes the whole picture first is the
  // system's affair; the result's size and the pixel limit are the same.
  const UINT denom = ReductionFor(width, height, options);
  const UINT outWidth = ScaledDimension(width, denom);
  const UINT outHeight = ScaledDimension(height, denom);
  // Refused from the header alone, before any pixel memory exists.
  if (TooManyPixels(outWidth, outHeight)) return std::nullopt;
  WicDecoding d;
  if (!d.Open(CLSID_WICJpegDecoder, data)) return std::nullopt;
  ComPtr<IWICBitmapFrameDecode> frame = d.Frame(0);
  UINT frameWidth = 0;
  UINT frameHeight = 0;
  if (!frame || !SizeOf(frame.Get(), &frameWidth, &frameHeight) || frameWidth != width ||
      frameHeight != height) {
    return std::nullopt;
  }
  ComPtr<IWICBitmapSource> source = frame;
  if (denom > 1) {
    ComPtr<IWICBitmapScaler> scaler;
    if (FAILED(d.factory->CreateBitmapScaler(&scaler)) ||
        FAILED(scaler->Initialize(frame.Get(), outWidth, outHeight, WICBitmapInterpolationModeFant))) {
      return std::nullopt;
    }
    source = scaler;
  }
  WICPixelFormatGUID format{};
  if (FAILED(frame->GetPixelFormat(&format))) return std::nullopt;
  Bitmap out;
  const bool ok = format == GUID_WICPixelFormat32bppCMYK
                      ? CopyCmyk(source.Get(), outWidth, outHeight, out)
                      : wic::CopyToBitmap(d.factory.Get(), source.Get(), Alpha::kIgnore, 0, out);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace

std::optional<Bitmap> DecodeJpeg(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  if (data.size() >= 2 && data[data.size() - 2] == 0xFF && data[data.size() - 1] == 0xD9) {
    return DecodeJpegData(data, options);
  }
  // Without its end marker the file is either whole but for the marker or
  // cut short, and the decoder fills a cut picture's missing part without
  // a word. A whole picture does not depend on what follows its data; a cut
  // one does: decoded once with the marker added and once with filler bytes
  // before it, the two agree only when nothing was missing.
  std::vector<uint8_t> ended;
  try {
    ended.reserve(data.size() + kFillerBytes + 2);
    ended.assign(data.begin(), data.end());
    ended.insert(ended.end(), {0xFF, 0xD9});
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  std::optional<Bitmap> picture = DecodeJpegData(ended, options);
  if (!picture) return std::nullopt;
  ended.resize(data.size());
  ended.insert(ended.end(), kFillerBytes, kFiller);
  ended.insert(ended.end(), {0xFF, 0xD9});
  const std::optional<Bitmap> filled = DecodeJpegData(ended, options);
  if (!filled || !(*filled == *picture)) return std::nullopt;
  return picture;
}

std::optional<Bitmap> DecodeBmp(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  if (!picture_checks::BmpHeaderIsSound(data)) return std::nullopt;
  WicDecoding d;
  if (!d.Open(CLSID_WICBmpDecoder, data)) return std::nullopt;
  ComPtr<IWICBitmapFrameDecode> frame = d.Frame(0);
  UINT width = 0;
  UINT height = 0;
  if (!frame || !SizeOf(frame.Get(), &width, &height) || TooManyPixels(width, height)) {
    return std::nullopt;
  }
  Bitmap out;
  if (!wic::CopyToBitmap(d.factory.Get(), frame.Get(), Alpha::kIgnore, options.background, out)) {
    return std::nullopt;
  }
  return out;
}

std::optional<Bitmap> DecodeGif(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  if (!picture_checks::GifHeaderIsSound(data)) return std::nullopt;
  WicDecoding d;
  if (!d.Open(CLSID_WICGifDecoder, data)) return std::nullopt;
  ComPtr<IWICBitmapFrameDecode> frame = d.Frame(0);
  UINT frameWidth = 0;
  UINT frameHeight = 0;
  if (!frame || !SizeOf(frame.Get(), &frameWidth, &frameHeight) ||
      TooManyPixels(frameWidth, frameHeight)) {
    return std::nullopt;
  }
  // The first frame shown on the logical screen, as a viewer shows a still
  // GIF: the screen's size, the frame at its place, the rest transparent.
  const int left = FrameOffset(frame.Get(), L"/imgdesc/Left");
  const int top = FrameOffset(frame.Get(), L"/imgdesc/Top");
  int screenWidth = data[6] | (data[7] << 8);
  int screenHeight = data[8] | (data[9] << 8);
  // Some writers leave the screen empty: the frame is then the picture.
  if (screenWidth == 0 || screenHeight == 0) {
    screenWidth = left + static_cast<int>(frameWidth);
    screenHeight = top + static_cast<int>(frameHeight);
    if (TooManyPixels(screenWidth, screenHeight)) return std::nullopt;
  }
  Bitmap image;
  if (!wic::CopyToBitmap(d.factory.Get(), frame.Get(), Alpha::kBlend, options.background, image)) {
    return std::nullopt;
  }
  if (left == 0 && top == 0 && image.Width() == screenWidth && image.Height() == screenHeight) {
    return image;
  }
  Bitmap screen;
  try {
    screen.Resize(screenWidth, screenHeight);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const Pixel background = options.background & 0x00FFFFFFu;
  std::fill(screen.Data(), screen.Data() + static_cast<size_t>(screenWidth) * screenHeight,
            background);
  const Rect placed = Rect{left, top, left + image.Width(), top + image.Height()}.Intersect(
      screen.Bounds());
  for (int y = placed.top; y < placed.bottom; ++y) {
    std::copy_n(image.Row(y - top) + (placed.left - left), placed.Width(), screen.Row(y) + placed.left);
  }
  return screen;
}

std::optional<Bitmap> DecodeIco(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  if (!picture_checks::IcoDirectoryIsSound(data)) return std::nullopt;
  WicDecoding d;
  if (!d.Open(CLSID_WICIcoDecoder, data)) return std::nullopt;
  // The largest image of the icon; the first of equal ones.
  UINT count = 0;
  if (FAILED(d.decoder->GetFrameCount(&count)) || count == 0) return std::nullopt;
  ComPtr<IWICBitmapFrameDecode> best;
  uint64_t bestPixels = 0;
  for (UINT i = 0; i < count; ++i) {
    ComPtr<IWICBitmapFrameDecode> frame = d.Frame(i);
    UINT width = 0;
    UINT height = 0;
    if (!frame || !SizeOf(frame.Get(), &width, &height)) return std::nullopt;
    const uint64_t pixels = uint64_t{width} * height;
    if (pixels > bestPixels) {
      best = frame;
      bestPixels = pixels;
    }
  }
  if (bestPixels > static_cast<uint64_t>(kMaxPicturePixels)) return std::nullopt;
  Bitmap out;
  if (!wic::CopyToBitmap(d.factory.Get(), best.Get(), Alpha::kBlend, options.background, out)) {
    return std::nullopt;
  }
  return out;
}

std::optional<Bitmap> DecodeWmf(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  int width = 0;
  int height = 0;
  if (!picture_checks::WmfPixelSize(data, &width, &height)) return std::nullopt;
  // The records after the placeable header, played with the header's
  // bounding box mapped onto the picture's pixels over the background
  // colour, as the platform's metafile picture draws itself. The records
  // may set their own window; the viewport stays the picture.
  constexpr size_t kPlaceableBytes = 22;
  HMETAFILE metafile = SetMetaFileBitsEx(static_cast<UINT>(data.size() - kPlaceableBytes),
                                         data.data() + kPlaceableBytes);
  if (!metafile) return std::nullopt;
  const auto header = [&](size_t at) { return static_cast<int16_t>(data[at] | (data[at + 1] << 8)); };
  const int left = header(6);
  const int top = header(8);
  const int right = header(10);
  const int bottom = header(12);
  std::optional<Bitmap> result;
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows, as in a Bitmap
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (dib) {
    HGDIOBJ old = SelectObject(dc, dib);
    auto* pixels = static_cast<Pixel*>(bits);
    const size_t n = static_cast<size_t>(width) * height;
    std::fill(pixels, pixels + n, options.background & 0x00FFFFFFu);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, left, top, nullptr);
    SetWindowExtEx(dc, right - left, bottom - top, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetViewportExtEx(dc, width, height, nullptr);
    const bool played = PlayMetaFile(dc, metafile);
    GdiFlush();
    if (played) {
      try {
        Bitmap out(width, height);
        for (size_t i = 0; i < n; ++i) out.Data()[i] = pixels[i] & 0x00FFFFFFu;
        result = std::move(out);
      } catch (const std::bad_alloc&) {
      }
    }
    SelectObject(dc, old);
    DeleteObject(dib);
  }
  if (dc) DeleteDC(dc);
  DeleteMetaFile(metafile);
  return result;
}

}  // namespace ls::picture_detail
