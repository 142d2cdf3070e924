#pragma once
// Windows Imaging Component plumbing shared by the picture decoders and the
// PNG files: COM for the calling thread, the factory, and copying a decoded
// source into a Bitmap.

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include "platform/graphics/Bitmap.h"

namespace ls::wic {

using Microsoft::WRL::ComPtr;

// COM on the calling thread for the life of the object, single-threaded
// apartment unless the thread already chose the other kind. Declare it
// before any interface pointer, so that they are released first.
class ComScope {
 public:
  ComScope();
  ~ComScope();
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool Ok() const { return ok_; }

 private:
  bool ok_ = false;
  bool uninitialize_ = false;
};

// The imaging factory; nothing when the component is not installed.
ComPtr<IWICImagingFactory> CreateFactory();

// What the fourth channel of a source means.
enum class Alpha {
  kBlend,   // coverage: blended over the background colour
  kIgnore,  // unused (Windows bitmaps are drawn opaque whatever it holds)
};

// Converts `source` to 32-bit pixels and copies them into `out` (resized to
// the source's size, which the caller has checked against the pixel limit).
// Partly transparent pixels are blended over `background`; X bytes end 0.
bool CopyToBitmap(IWICImagingFactory* factory, IWICBitmapSource* source, Alpha alpha,
                  Pixel background, Bitmap& out);

}  // namespace ls::wic
