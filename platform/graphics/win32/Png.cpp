// PNG files through the Windows Imaging Component.

#include "platform/graphics/Png.h"

#include <vector>

#include "platform/files/win32/WideText.h"
#include "platform/graphics/win32/Wic.h"

namespace ls {

namespace {

using wic::ComPtr;

bool Encode(IWICImagingFactory* factory, const Bitmap& bitmap, IWICStream* stream) {
  ComPtr<IWICBitmapEncoder> encoder;
  if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
      FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache))) {
    return false;
  }
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> properties;
  if (FAILED(encoder->CreateNewFrame(&frame, &properties)) ||
      FAILED(frame->Initialize(properties.Get())) ||
      FAILED(frame->SetSize(static_cast<UINT>(bitmap.Width()), static_cast<UINT>(bitmap.Height())))) {
    return false;
  }
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR) return false;
  // Rows of B, G, R: the fourth byte is not stored.
  const UINT stride = static_cast<UINT>(bitmap.Width()) * 3;
  std::vector<BYTE> row(stride);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const Pixel* s = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      row[3 * x] = static_cast<BYTE>(s[x]);
      row[3 * x + 1] = static_cast<BYTE>(s[x] >> 8);
      row[3 * x + 2] = static_cast<BYTE>(s[x] >> 16);
    }
    if (FAILED(frame->WritePixels(1, stride, stride, row.data()))) return false;
  }
  return SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool WritePng(const Bitmap& bitmap, const std::string& path) {
  if (bitmap.IsEmpty()) return false;  // PNG has no empty image
  const std::wstring widePath = Widen(path);
  bool ok = false;
  {
    wic::ComScope com;
    if (!com.Ok()) return false;
    ComPtr<IWICImagingFactory> factory = wic::CreateFactory();
    ComPtr<IWICStream> stream;
    if (!factory || FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE))) {
      return false;
    }
    ok = Encode(factory.Get(), bitmap, stream.Get());
  }
  // A file cut short is no picture.
  if (!ok) DeleteFileW(widePath.c_str());
  return ok;
}

std::optional<Bitmap> ReadPng(const std::string& path) {
  wic::ComScope com;
  if (!com.Ok()) return std::nullopt;
  ComPtr<IWICImagingFactory> factory = wic::CreateFactory();
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (!factory || FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromFilename(Widen(path).c_str(), GENERIC_READ)) ||
      FAILED(CoCreateInstance(CLSID_WICPngDecoder, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&decoder))) ||
      FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)) ||
      FAILED(decoder->GetFrame(0, &frame))) {
    return std::nullopt;
  }
  // Transparency as it looks over black.
  Bitmap bitmap;
  if (!wic::CopyToBitmap(factory.Get(), frame.Get(), wic::Alpha::kBlend, 0, bitmap)) {
    return std::nullopt;
  }
  return bitmap;
}

}  // namespace ls
