#pragma once
// Preview mode: a still picture of the screensaver, stretched over a child
// window of the desktop's preview box. The picture is the package's preview
// image, decoded from memory, or the built-in PREVIEW_BMP when the file has no
// package, no preview image, or one that does not decode.

#include <cstdint>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"
#include "platform/app/PreviewWindow.h"

namespace ls {

// The window's class and title names.
inline constexpr const char* kPreviewClassName = "QuindelScreenSaverPreview";
inline constexpr const char* kPreviewWindowName = "QuindelSaver";

struct PreviewImage {
  Bitmap PreviewBitmap;
  std::string PreviewLink;  // [CustomizePreviewDlg] PreviewLink; empty = none
};

// The built-in preview picture "PREVIEW_BMP", 152 x 112.
Bitmap BuiltinPreviewBitmap();

// Reads the preview image and link of the program file's package.
PreviewImage LoadPreviewImage(const std::string& programPath);

// The frame painted into the window: the bitmap stretched over the rectangle
// (proportions not kept); an empty bitmap leaves the frame black.
Bitmap PaintPreview(const Bitmap& previewBitmap, const Rect& previewRect);

// The whole of preview mode on the given window system: loads the picture,
// creates the child window covering the parent, paints it on every expose,
// beeps and opens the link on a click, and returns when the window is
// destroyed. Returns the exit code: 0, also when the parent is not a window
// (then after one line on standard error).
int RunPreview(const std::string& programPath, int64_t previewParent, PreviewWindowSystem& system,
               void (*shellOpen)(const std::string&) = nullptr);

// Preview mode for the entry: RunPreview on the X11 display. Returns 1 when
// no display can be opened.
int RunPreviewMode(const std::string& programPath, int32_t previewParent);

}  // namespace ls
