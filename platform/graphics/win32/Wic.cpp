#include "platform/graphics/win32/Wic.h"

#include <new>

namespace ls::wic {

ComScope::ComScope() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // A thread already in the multithreaded apartment keeps it; the imaging
  // component works in either.
  ok_ = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
  uninitialize_ = SUCCEEDED(hr);
}

ComScope::~ComScope() {
  if (uninitialize_) CoUninitialize();
}

ComPtr<IWICImagingFactory> CreateFactory() {
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory)))) {
    return nullptr;
  }
  return factory;
}

bool CopyToBitmap(IWICImagingFactory* factory, IWICBitmapSource* source, Alpha alpha,
                  Pixel background, Bitmap& out) {
  UINT width = 0;
  UINT height = 0;
  if (FAILED(source->GetSize(&width, &height)) || width == 0 || height == 0) return false;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(&converter))) return false;
  const WICPixelFormatGUID& format =
      alpha == Alpha::kBlend ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat32bppBGR;
  if (FAILED(converter->Initialize(source, format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return false;
  }
  try {
    out.Resize(static_cast<int>(width), static_cast<int>(height));
  } catch (const std::bad_alloc&) {
    return false;
  }
  const UINT stride = static_cast<UINT>(out.StrideBytes());
  const UINT bytes = stride * height;
  if (FAILED(converter->CopyPixels(nullptr, stride, bytes, reinterpret_cast<BYTE*>(out.Data())))) {
    return false;
  }
  Pixel* p = out.Data();
  const size_t n = static_cast<size_t>(width) * height;
  if (alpha == Alpha::kIgnore) {
    for (size_t i = 0; i < n; ++i) p[i] &= 0x00FFFFFFu;
    return true;
  }
  const unsigned bgR = (background >> 16) & 0xFF;
  const unsigned bgG = (background >> 8) & 0xFF;
  const unsigned bgB = background & 0xFF;
  for (size_t i = 0; i < n; ++i) {
    const Pixel s = p[i];
    const unsigned a = s >> 24;
    if (a == 255) {
      p[i] = s & 0x00FFFFFFu;
      continue;
    }
    const unsigned r = (((s >> 16) & 0xFF) * a + bgR * (255 - a) + 127) / 255;
    const unsigned g = (((s >> 8) & 0xFF) * a + bgG * (255 - a) + 127) / 255;
    const unsigned b = ((s & 0xFF) * a + bgB * (255 - a) + 127) / 255;
    p[i] = (r << 16) | (g << 8) | b;
  }
  return true;
}

}  // namespace ls::wic
