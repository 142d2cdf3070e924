#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/graphics/Png.h"

namespace ls {
namespace {

class PngFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ls-png-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

TEST_F(PngFiles, RoundTripKeepsColoursAndClearsTheFourthByte) {
  Bitmap b(7, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x)
      b.Set(x, y, 0xAB000000u | static_cast<Pixel>((x * 37) << 16 | (y * 91) << 8 | (x + y * 7)));
  ASSERT_TRUE(WritePng(b, Path("a.png")));
  const std::optional<Bitmap> back = ReadPng(Path("a.png"));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Width(), 7);
  ASSERT_EQ(back->Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(back->At(x, y), b.At(x, y) & 0x00FFFFFFu) << x << "," << y;
}

TEST_F(PngFiles, TransparentPictureReadsAsOverBlack) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2, 1);
  cairo_t* cr = cairo_create(s);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 0.0);
  cairo_paint(cr);
  cairo_rectangle(cr, 1, 0, 1, 1);
  cairo_set_source_rgba(cr, 0.0, 0.0, 1.0, 1.0);
  cairo_fill(cr);
  cairo_destroy(cr);
  ASSERT_EQ(cairo_surface_write_to_png(s, Path("alpha.png").c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(s);
  const std::optional<Bitmap> b = ReadPng(Path("alpha.png"));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->At(0, 0), 0x00000000u);
  EXPECT_EQ(b->At(1, 0), 0x000000FFu);
}

TEST_F(PngFiles, FailuresAreReported) {
  EXPECT_FALSE(ReadPng(Path("missing.png")));
  std::ofstream(Path("text.png")) << "not a picture";
  EXPECT_FALSE(ReadPng(Path("text.png")));
  EXPECT_FALSE(WritePng(Bitmap(), Path("empty.png")));
  EXPECT_FALSE(WritePng(Bitmap(2, 2), Path("no-such-folder/x.png")));
}

}  // namespace
}  // namespace ls
