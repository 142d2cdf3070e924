// The preview window on X11: a child of a foreign window, named through
// WM_CLASS and WM_NAME, painted with XPutImage and never cleared by the server
// (no background pixmap), ended by its DestroyNotify.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <vector>

#include "platform/app/PreviewWindow.h"

namespace ls {
namespace {

// The parent belongs to another process and may vanish at any moment; the
// default error handler would end the program on the BadWindow that follows.
// Errors are recorded here and checked after a round trip instead.
int g_lastXError = 0;
int RecordXError(Display*, XErrorEvent* event) {
  g_lastXError = event->error_code;
  return 0;
}

// Position of the lowest set bit and number of bits of a colour mask.
void MaskShape(unsigned long mask, int& shift, int& bits) {
  shift = 0;
  bits = 0;
  if (mask == 0) return;
  while (!(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++bits;
  }
}

unsigned long Place(uint32_t channel8, unsigned long mask) {
  int shift = 0, bits = 0;
  MaskShape(mask, shift, bits);
  const unsigned long value = bits >= 8 ? channel8 << (bits - 8) : channel8 >> (8 - bits);
  return (value << shift) & mask;
}

class X11PreviewWindowSystem : public PreviewWindowSystem {
 public:
  explicit X11PreviewWindowSystem(Display* display) : display_(display) {
    XSetErrorHandler(&RecordXError);
  }
  ~X11PreviewWindowSystem() override {
    if (gc_) XFreeGC(display_, gc_);
    if (child_ && !destroyed_) XDestroyWindow(display_, child_);
    XCloseDisplay(display_);
  }

  std::optional<std::pair<int, int>> ParentSize(int64_t parent) override {
    if (parent <= 0 || parent > 0xFFFFFFFFll) return std::nullopt;
    g_lastXError = 0;
    XWindowAttributes attributes;
    const Status ok = XGetWindowAttributes(display_, static_cast<Window>(parent), &attributes);
    XSync(display_, False);
    if (!ok || g_lastXError) return std::nullopt;
    visual_ = attributes.visual;
    depth_ = attributes.depth;
    return std::make_pair(attributes.width, attributes.height);
  }

  bool CreateChild(int64_t parent, int width, int height, const std::string& className,
                   const std::string& windowName) override {
    g_lastXError = 0;
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // the picture covers everything: no erase
    attributes.event_mask = ExposureMask | ButtonPressMask | StructureNotifyMask;
    child_ = XCreateWindow(display_, static_cast<Window>(parent), 0, 0,
                           static_cast<unsigned>(width > 0 ? width : 1),
                           static_cast<unsigned>(height > 0 ? height : 1), 0, CopyFromParent,
                           InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    std::vector<char> name(className.begin(), className.end());
    name.push_back('\0');
    XClassHint hint;
    hint.res_name = name.data();
    hint.res_class = name.data();
    XSetClassHint(display_, child_, &hint);
    XStoreName(display_, child_, windowName.c_str());
    XMapWindow(display_, child_);
    gc_ = XCreateGC(display_, child_, 0, nullptr);
    XSync(display_, False);
    if (g_lastXError) {
      // Creating in a vanished parent fails; whatever was made is gone with it.
      destroyed_ = true;
      return false;
    }
    return true;
  }

  void Run(PreviewWindowHandler& handler) override {
    while (!destroyed_) {
      XEvent event;
      XNextEvent(display_, &event);
      switch (event.type) {
        case Expose:
          // The whole window is painted once the last of a series arrives.
          if (event.xexpose.window == child_ && event.xexpose.count == 0) handler.OnPaint();
          break;
        case ButtonPress:
          if (event.xbutton.window == child_ && event.xbutton.button == Button1)
            handler.OnLeftButtonDown();
          break;
        case DestroyNotify:
          if (event.xdestroywindow.window == child_) destroyed_ = true;
          break;
        default:
          break;
      }
    }
  }

  void Draw(const Bitmap& frame) override {
    if (destroyed_ || frame.IsEmpty() || !visual_) return;
    XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                                 nullptr, static_cast<unsigned>(frame.Width()),
                                 static_cast<unsigned>(frame.Height()), 32, 0);
    if (!image) return;
    // Rows of 32-bit units (bytes_per_line is a multiple of the 32-bit pad).
    const size_t rowUnits = static_cast<size_t>(image->bytes_per_line) / 4;
    std::vector<uint32_t> data(rowUnits * frame.Height());
    image->data = reinterpret_cast<char*>(data.data());
    const bool native = image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                        image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
                        image->blue_mask == 0xFF;
    // A parent with an alpha channel (depth 32) would show the unused fourth
    // byte as transparency: the picture is opaque.
    const uint32_t opaque = depth_ == 32 ? 0xFF000000u : 0u;
    for (int y = 0; y < frame.Height(); ++y) {
      const Pixel* row = frame.Row(y);
      if (native) {
        uint32_t* out = data.data() + static_cast<size_t>(y) * rowUnits;
        for (int x = 0; x < frame.Width(); ++x) out[x] = (row[x] & 0xFFFFFFu) | opaque;
        continue;
      }
      for (int x = 0; x < frame.Width(); ++x) {
        const Pixel p = row[x];
        XPutPixel(image, x, y,
                  Place((p >> 16) & 0xFF, image->red_mask) |
                      Place((p >> 8) & 0xFF, image->green_mask) | Place(p & 0xFF, image->blue_mask));
      }
    }
    XPutImage(display_, child_, gc_, image, 0, 0, 0, 0, static_cast<unsigned>(frame.Width()),
              static_cast<unsigned>(frame.Height()));
    XFlush(display_);
    image->data = nullptr;  // the vector owns the pixels
    XDestroyImage(image);
  }

  void Beep() override {
    XBell(display_, 0);
    XFlush(display_);
  }

  int64_t ChildWindow() const override { return static_cast<int64_t>(child_); }

 private:
  Display* display_;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  Window child_ = 0;
  GC gc_ = nullptr;
  bool destroyed_ = false;
};

}  // namespace

std::unique_ptr<PreviewWindowSystem> CreatePreviewWindowSystem() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "lanternslide: cannot open the X display\n");
    return nullptr;
  }
  return std::make_unique<X11PreviewWindowSystem>(display);
}

}  // namespace ls
