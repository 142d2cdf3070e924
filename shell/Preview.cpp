#include "shell/Preview.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "package/Package.h"
#include "platform/files/Files.h"
#include "platform/graphics/Draw.h"
#include "platform/graphics/Picture.h"
#include "shell/resources/BuiltinResources.h"

namespace ls {

Bitmap BuiltinPreviewBitmap() {
  std::optional<Bitmap> picture = LoadPictureMemory(PreviewBmpResource(), ".bmp");
  return picture ? std::move(*picture) : Bitmap();
}

PreviewImage LoadPreviewImage(const std::string& programPath) {
  PreviewImage image;
  // Only a file that carries a package is read: the trailing bytes of a bare
  // player are no settings block.
  std::optional<PreviewPackage> package = ReadPreviewPackage(programPath);
  if (package) {
    image.PreviewLink = package->preview.PreviewLink;
    if (package->previewImage) {
      // The extension chooses the decoder; anything that is neither JPEG nor
      // GIF must be a Windows bitmap, or the built-in picture is shown.
      PictureLoadOptions options;
      options.decoders = PictureDecoders::kJpegGifOrBitmap;
      if (std::optional<Bitmap> picture = LoadPictureMemory(
              *package->previewImage, package->preview.PreviewImageType, nullptr, options)) {
        image.PreviewBitmap = std::move(*picture);
        return image;
      }
    }
  }
  image.PreviewBitmap = BuiltinPreviewBitmap();
  return image;
}

Bitmap PaintPreview(const Bitmap& previewBitmap, const Rect& previewRect) {
  Bitmap frame(previewRect.Width(), previewRect.Height());
  if (!previewBitmap.IsEmpty())
    StretchCopy(frame, Rect{0, 0, frame.Width(), frame.Height()}, previewBitmap,
                previewBitmap.Bounds());
  return frame;
}

namespace {

class PreviewWndProc : public PreviewWindowHandler {
 public:
  PreviewWndProc(PreviewWindowSystem& system, const PreviewImage& image, const Rect& rect,
                 void (*shellOpen)(const std::string&))
      : system_(system), image_(image), rect_(rect), shellOpen_(shellOpen) {}

  void OnPaint() override {
    // The window never changes size, so the stretched picture is made once.
    if (!frame_) frame_ = PaintPreview(image_.PreviewBitmap, rect_);
    system_.Draw(*frame_);
  }
  void OnLeftButtonDown() override {
    system_.Beep();
    if (!image_.PreviewLink.empty()) shellOpen_(image_.PreviewLink);
  }

 private:
  PreviewWindowSystem& system_;
  const PreviewImage& image_;
  Rect rect_;
  void (*shellOpen_)(const std::string&);
  std::optional<Bitmap> frame_;
};

}  // namespace

int RunPreview(const std::string& programPath, int64_t previewParent, PreviewWindowSystem& system,
               void (*shellOpen)(const std::string&)) {
  const std::optional<std::pair<int, int>> parentSize = system.ParentSize(previewParent);
  if (!parentSize) {
    std::fprintf(stderr, "lanternslide: preview parent %lld is not a window\n",
                 static_cast<long long>(previewParent));
    return 0;
  }
  const Rect previewRect{0, 0, parentSize->first, parentSize->second};
  // The picture is loaded before the window exists, so a paint never meets a
  // half-loaded bitmap.
  const PreviewImage image = LoadPreviewImage(programPath);
  if (!system.CreateChild(previewParent, previewRect.Width(), previewRect.Height(),
                          kPreviewClassName, kPreviewWindowName)) {
    std::fprintf(stderr, "lanternslide: preview parent %lld went away\n",
                 static_cast<long long>(previewParent));
    return 0;
  }
  PreviewWndProc handler(system, image, previewRect, shellOpen ? shellOpen : &ShellOpen);
  system.Run(handler);
  return 0;
}

int RunPreviewMode(const std::string& programPath, int32_t previewParent) {
  std::unique_ptr<PreviewWindowSystem> system = CreatePreviewWindowSystem();
  if (!system) return 1;
  // Window ids are unsigned on X11; the command line carries them as signed
  // 32-bit numbers.
  return RunPreview(programPath, static_cast<uint32_t>(previewParent), *system);
}

}  // namespace ls
