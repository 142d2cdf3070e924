// The preview's logic without a display: which picture is shown, how it is
// stretched, and what a click and a bad parent do.

#include "shell/Preview.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/resources/BuiltinResources.h"
#include "tests/preview/ScreensaverFile.h"

namespace {

using lstest::ScreensaverFile;

// A w x h JPEG of one colour (0xRRGGBB), encoded by gdk-pixbuf.
std::string MakeJpeg(int w, int h, uint32_t rgb) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, w, h);
  gdk_pixbuf_fill(pixbuf, (rgb << 8) | 0xFF);
  gchar* buffer = nullptr;
  gsize size = 0;
  EXPECT_TRUE(gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "jpeg", nullptr, "quality", "100",
                                        nullptr));
  std::string bytes(buffer, size);
  g_free(buffer);
  g_object_unref(pixbuf);
  return bytes;
}

std::string MakePng(int w, int h) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, w, h);
  gdk_pixbuf_fill(pixbuf, 0x00FF00FF);
  gchar* buffer = nullptr;
  gsize size = 0;
  EXPECT_TRUE(gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "png", nullptr, nullptr));
  std::string bytes(buffer, size);
  g_free(buffer);
  g_object_unref(pixbuf);
  return bytes;
}

TEST(BuiltinPreviewTest, IsThe152By112PictureCompiledIntoTheProgram) {
  const std::span<const uint8_t> resource = ls::PreviewBmpResource();
  const lstest::Pixels24 expected = lstest::ParseBmp24(resource.data(), resource.size());
  ASSERT_EQ(expected.width, 152);
  ASSERT_EQ(expected.height, 112);
  EXPECT_EQ(resource[28], 24);  // bits per pixel
  const ls::Bitmap builtin = ls::BuiltinPreviewBitmap();
  ASSERT_EQ(builtin.Width(), 152);
  ASSERT_EQ(builtin.Height(), 112);
  int differing = 0;
  for (int y = 0; y < 112; ++y)
    for (int x = 0; x < 152; ++x) differing += (builtin.At(x, y) & 0xFFFFFF) != expected.At(x, y);
  EXPECT_EQ(differing, 0);
  // A drawn picture, not a flat fill: it has many colours.
  std::vector<uint32_t> colours(expected.pixels);
  std::sort(colours.begin(), colours.end());
  EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 500);
}

class PreviewImageTest : public lstest::ScratchFolders {};

TEST_F(PreviewImageTest, ThePackagesPreviewImageOrTheBuiltInPicture) {
  const ls::Bitmap builtin = ls::BuiltinPreviewBitmap();
  struct Case {
    std::string name;
    std::string block;
    std::string type;
    uint32_t marker;
    int width;  // 0 = the built-in picture
    int height;
    std::string link;
  };
  const std::string bmp = lstest::MakeBmp24(5, 4, [](int, int) { return 0x336699u; });
  const Case cases[] = {
      {"no preview block", "", "", 1, 0, 0, "https://lakes.example/"},
      {"a bitmap", bmp, ".bmp", 1, 5, 4, "https://lakes.example/"},
      {"an upper-case JPEG type", MakeJpeg(20, 10, 0x40A0E0), ".JPG", 1, 20, 10,
       "https://lakes.example/"},
      {"a PNG goes to the bitmap loader and fails", MakePng(8, 8), ".png", 1, 0, 0,
       "https://lakes.example/"},
      {"a damaged JPEG", "\xFF\xD8\xFF garbage", ".jpg", 1, 0, 0, "https://lakes.example/"},
      {"no package at all", bmp, ".bmp", 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    ScreensaverFile file;
    file.settings = "[CustomizePreviewDlg]\r\nPreviewLink=https://lakes.example/\r\n";
    file.preview = c.block;
    file.previewType = c.type;
    file.marker = c.marker;
    file.Write(Saver("Lakes.scr"));
    const ls::PreviewImage image = ls::LoadPreviewImage(Saver("Lakes.scr").string());
    if (c.width == 0) {
      EXPECT_EQ(image.PreviewBitmap, builtin) << c.name;
    } else {
      EXPECT_EQ(image.PreviewBitmap.Width(), c.width) << c.name;
      EXPECT_EQ(image.PreviewBitmap.Height(), c.height) << c.name;
    }
    EXPECT_EQ(image.PreviewLink, c.link) << c.name;
  }
  // Everything was decoded from memory: no file was left, none was needed.
  EXPECT_TRUE(std::filesystem::is_empty(TempFolder()));
}

TEST(PaintPreviewTest, StretchesThePictureOverTheWholeWindow) {
  ls::Bitmap picture(2, 2);
  picture.Set(0, 0, 0x110000);
  picture.Set(1, 0, 0x002200);
  picture.Set(0, 1, 0x000033);
  picture.Set(1, 1, 0x444444);
  const ls::Bitmap frame = ls::PaintPreview(picture, ls::Rect{0, 0, 6, 4});
  ASSERT_EQ(frame.Width(), 6);
  ASSERT_EQ(frame.Height(), 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(frame.At(x, y) & 0xFFFFFF, picture.At(x / 3, y / 2) & 0xFFFFFF) << x << "," << y;
  const ls::Bitmap blank = ls::PaintPreview(ls::Bitmap(), ls::Rect{0, 0, 3, 3});
  EXPECT_EQ(blank, ls::Bitmap(3, 3));
}

// A window system that records what the preview asks of it and plays a
// scripted series of events.
class RecordingWindowSystem : public ls::PreviewWindowSystem {
 public:
  std::optional<std::pair<int, int>> ParentSize(int64_t parent) override {
    askedParent = parent;
    return parentSize;
  }
  bool CreateChild(int64_t, int width, int height, const std::string& className,
                   const std::string& windowName) override {
    created = true;
    childSize = {width, height};
    names = {className, windowName};
    return true;
  }
  void Run(ls::PreviewWindowHandler& handler) override {
    for (char e : script) {
      if (e == 'p') handler.OnPaint();
      if (e == 'c') handler.OnLeftButtonDown();
    }
  }
  void Draw(const ls::Bitmap& frame) override { frames.push_back(frame); }
  void Beep() override { ++beeps; }
  int64_t ChildWindow() const override { return 0; }

  std::optional<std::pair<int, int>> parentSize{{40, 30}};
  std::string script;
  int64_t askedParent = 0;
  bool created = false;
  std::pair<int, int> childSize;
  std::pair<std::string, std::string> names;
  std::vector<ls::Bitmap> frames;
  int beeps = 0;
};

std::vector<std::string> g_opened;
void RecordOpen(const std::string& target) { g_opened.push_back(target); }

class RunPreviewTest : public lstest::ScratchFolders {
 protected:
  std::string Saver(const std::string& link) {
    ScreensaverFile file;
    file.settings = "[CustomizePreviewDlg]\r\nPreviewLink=" + link + "\r\n";
    file.Write(ScratchFolders::Saver("Lakes.scr"));
    g_opened.clear();
    return ScratchFolders::Saver("Lakes.scr").string();
  }
};

TEST_F(RunPreviewTest, PaintsTheStretchedPictureInAChildOfTheParentsSize) {
  RecordingWindowSystem system;
  system.script = "pp";
  EXPECT_EQ(ls::RunPreview(Saver(""), 4242, system, &RecordOpen), 0);
  EXPECT_EQ(system.askedParent, 4242);
  EXPECT_EQ(system.childSize, (std::pair<int, int>{40, 30}));
  EXPECT_EQ(system.names,
            (std::pair<std::string, std::string>{"QuindelScreenSaverPreview", "QuindelSaver"}));
  ASSERT_EQ(system.frames.size(), 2u);
  EXPECT_EQ(system.frames[0], ls::PaintPreview(ls::BuiltinPreviewBitmap(), ls::Rect{0, 0, 40, 30}));
  EXPECT_EQ(system.frames[1], system.frames[0]);
}

TEST_F(RunPreviewTest, AClickBeepsAndOpensThePreviewLinkWhenThereIsOne) {
  for (const std::string link : {"https://lakes.example/about", ""}) {
    RecordingWindowSystem system;
    system.script = "cc";
    EXPECT_EQ(ls::RunPreview(Saver(link), 7, system, &RecordOpen), 0);
    EXPECT_EQ(system.beeps, 2) << link;
    const std::vector<std::string> expected =
        link.empty() ? std::vector<std::string>{} : std::vector<std::string>{link, link};
    EXPECT_EQ(g_opened, expected);
  }
}

TEST_F(RunPreviewTest, AParentThatIsNoWindowEndsAtOnceWithOneLineOnStandardError) {
  RecordingWindowSystem system;
  system.parentSize = std::nullopt;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ls::RunPreview(Saver(""), 99, system, &RecordOpen), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(system.created);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("99"), std::string::npos) << err;
}

}  // namespace
