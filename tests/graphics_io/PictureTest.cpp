// Picture loading: decoders chosen by extension, damaged and oversized data
// refused, reduced-scale JPEG decoding.

#include "platform/graphics/Picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/graphics_io/Fixtures.h"

namespace ls {
namespace {

using test::Bytes;

constexpr Pixel kRed = 0xFF0000;
constexpr Pixel kGreen = 0x00FF00;
constexpr Pixel kBlue = 0x0000FF;
constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kBlack = 0x000000;

int ChannelDistance(Pixel a, Pixel b) {
  int worst = 0;
  for (int shift : {0, 8, 16}) {
    const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    worst = std::max(worst, d);
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

std::vector<Probe> QuadrantProbes(int w, int h) {
  return {{w / 4, h / 4, kRed}, {3 * w / 4, h / 4, kGreen}, {w / 4, 3 * h / 4, kBlue},
          {3 * w / 4, 3 * h / 4, kWhite}};
}

// 3 x 2: a row of red, green, blue over a row of white, black, grey.
Bitmap SixColours() {
  Bitmap b(3, 2);
  const Pixel colours[] = {kRed, kGreen, kBlue, kWhite, kBlack, 0x808080};
  for (int i = 0; i < 6; ++i) b.Set(i % 3, i / 3, colours[i]);
  return b;
}
std::vector<Probe> SixProbes() {
  return {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {0, 1, kWhite}, {1, 1, kBlack}, {2, 1, 0x808080}};
}

// 2 x 1, 32 bits per pixel with a version-5 header whose alpha mask says the
// first pixel is fully transparent: Windows draws bitmaps opaque regardless.
Bytes Bmp32WithAlphaMask() {
  Bytes b = {'B', 'M'};
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put32(14 + 124 + 8);
  put32(0);
  put32(14 + 124);
  put32(124);  // header size
  put32(2);
  put32(1);
  put32(1 | (32u << 16));  // planes, bits per pixel
  put32(3);                // bit fields
  put32(8);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  put32(0x00FF0000u);  // red, green, blue and alpha masks
  put32(0x0000FF00u);
  put32(0x000000FFu);
  put32(0xFF000000u);
  put32(0x73524742u);  // sRGB
  while (b.size() < 14 + 124) b.push_back(0);
  b.insert(b.end(), {0x10, 0x20, 0x30, 0x00, 0x10, 0x20, 0x30, 0xFF});
  return b;
}

// 4 x 2 GIF: index 3 is transparent.
Bytes FourColourGif() {
  return test::EncodeGif(4, 2, {kRed, kGreen, kBlue, 0x123456}, {0, 1, 2, 3, 3, 2, 1, 0}, 3);
}

// 16 x 16 icon: left half opaque blue, right half fully transparent red, one
// half-transparent white pixel at (0, 15).
Bytes HalfTransparentIcon() {
  std::vector<uint32_t> argb(256);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) argb[y * 16 + x] = x < 8 ? 0xFF0000FFu : 0x00FF0000u;
  }
  argb[15 * 16 + 0] = 0x80FFFFFFu;
  return test::EncodeWithPixbuf(16, 16, argb, "ico");
}

std::vector<DecodeCase> DecodeCases() {
  PictureLoadOptions slide;
  slide.decoders = PictureDecoders::kJpegGifOrBitmap;
  PictureLoadOptions grey;
  grey.background = 0x404040;
  return {
      {"Jpeg", [] { return test::EncodeJpeg(test::Quadrants(32, 32)); }, ".jpg", 32, 32,
       QuadrantProbes(32, 32), 8},
      {"JpegUpperCase", [] { return test::EncodeJpeg(test::Quadrants(32, 32)); }, ".JPG", 32, 32,
       QuadrantProbes(32, 32), 8},
      {"JpegLongExtension", [] { return test::EncodeJpeg(test::Quadrants(48, 16)); }, ".Jpeg", 48,
       16, QuadrantProbes(48, 16), 8},
      {"JpegProgressive",
       [] { return test::EncodeJpeg(test::Quadrants(32, 32), 95, test::JpegKind::kProgressive); },
       ".jpg", 32, 32, QuadrantProbes(32, 32), 8},
      {"JpegGrey", [] { return test::EncodeJpeg(test::Quadrants(32, 32), 95, test::JpegKind::kGrey); },
       ".jpg", 32, 32,
       // Grey from the green byte: red and blue quadrants are black.
       {{8, 8, kBlack}, {24, 8, kWhite}, {8, 24, kBlack}, {24, 24, kWhite}}, 8},
      {"JpegCmyk",
       [] { return test::EncodeJpeg(test::Quadrants(32, 32), 95, test::JpegKind::kCmykAdobe); },
       ".jpg", 32, 32, QuadrantProbes(32, 32), 8},
      {"JpegOddSize", [] { return test::EncodeJpeg(test::Quadrants(33, 17)); }, ".jpeg", 33, 17,
       {{4, 2, kRed}, {30, 2, kGreen}, {4, 15, kBlue}, {30, 15, kWhite}}, 8},
      // Stray bytes between markers lose nothing: a warning, tolerated.
      {"JpegStrayBytesBeforeScan",
       [] {
         Bytes b = test::EncodeJpeg(test::Quadrants(32, 32));
         for (size_t i = 2; i + 1 < b.size(); ++i) {
           if (b[i] == 0xFF && b[i + 1] == 0xDA) {
             b.insert(b.begin() + static_cast<long>(i), {0x11, 0x22, 0x33});
             break;
           }
         }
         return b;
       },
       ".jpg", 32, 32, QuadrantProbes(32, 32), 8},
      // Every row present, only the end marker missing: nothing is lost.
      {"JpegWithoutEndMarker",
       [] { Bytes b = test::EncodeJpeg(test::Quadrants(32, 32)); b.resize(b.size() - 2); return b; },
       ".jpg", 32, 32, QuadrantProbes(32, 32), 8},
      {"JpegProgressiveWithoutEndMarker",
       [] {
         Bytes b = test::EncodeJpeg(test::Quadrants(32, 32), 95, test::JpegKind::kProgressive);
         b.resize(b.size() - 2);
         return b;
       },
       ".jpg", 32, 32, QuadrantProbes(32, 32), 8},
      {"JpegWithoutExtension", [] { return test::EncodeJpeg(test::Quadrants(16, 16)); }, "", 16,
       16, QuadrantProbes(16, 16), 8},
      {"Bmp24BottomUp", [] { return test::EncodeBmp24(SixColours()); }, ".bmp", 3, 2, SixProbes()},
      {"Bmp24TopDown", [] { return test::EncodeBmp24(SixColours(), true); }, ".BMP", 3, 2,
       SixProbes()},
      {"Bmp8Palette",
       [] { return test::EncodeBmp8(5, 3, {kRed, kGreen, kBlue}, {0, 1, 2, 0, 1, 1, 2, 0, 1, 2, 2, 0, 1, 2, 0}); },
       ".bmp", 5, 3, {{0, 0, kRed}, {4, 0, kGreen}, {0, 1, kGreen}, {4, 2, kRed}, {3, 2, kBlue}}},
      {"Bmp32WithAlphaMask", Bmp32WithAlphaMask, ".bmp", 2, 1, {{0, 0, 0x302010}, {1, 0, 0x302010}}},
      // Any other extension reaches the bitmap loader, which reads bitmaps.
      {"BmpDataNamedPng", [] { return test::EncodeBmp24(SixColours()); }, ".png", 3, 2, SixProbes()},
      {"BmpDataNamedIcoForSlides", [] { return test::EncodeBmp24(SixColours()); }, ".ico", 3, 2,
       SixProbes(), 0, slide},
      {"Gif", FourColourGif, ".gif", 4, 2,
       {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {3, 0, kBlack}, {0, 1, kBlack}, {3, 1, kRed}}},
      {"GifTransparentOverBackground", FourColourGif, ".Gif", 4, 2,
       {{0, 0, kRed}, {3, 0, 0x404040}, {0, 1, 0x404040}}, 0, grey},
      {"GifLarger",
       [] {
         std::vector<uint8_t> idx(40 * 30);
         for (size_t i = 0; i < idx.size(); ++i) idx[i] = static_cast<uint8_t>((i % 40) / 10);
         return test::EncodeGif(40, 30, {kRed, kGreen, kBlue, kWhite}, idx);
       },
       ".gif", 40, 30, {{0, 0, kRed}, {15, 29, kGreen}, {25, 10, kBlue}, {39, 29, kWhite}}},
      // 80 x 40 units at 192 per inch: 40 x 20 pixels at 96 dots per inch.
      {"Metafile", [] { return test::EncodeWmf(80, 40, 192, kRed, kBlue); }, ".wmf", 40, 20,
       {{2, 2, kRed}, {17, 17, kRed}, {22, 2, kBlue}, {39, 19, kBlue}}},
      {"Icon", HalfTransparentIcon, ".ico", 16, 16,
       {{0, 0, kBlue}, {7, 7, kBlue}, {8, 0, kBlack}, {15, 15, kBlack}, {0, 15, 0x808080}}, 1},
  };
}

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class PictureDecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(PictureDecodeTest, SizeAndColours) {
  const DecodeCase& c = GetParam();
  const Bytes data = c.make();
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
}

TEST_P(PictureDecodeTest, FileGivesWhatMemoryGives) {
  const DecodeCase& c = GetParam();
  const Bytes data = c.make();
  const std::string path = testing::TempDir() + "/pic_" + c.name + c.extension;
  test::WriteFile(path, data);
  PictureError error = PictureError::kMissing;
  const std::optional<Bitmap> fromFile = LoadPictureFile(path, &error, c.options);
  std::filesystem::remove(path);
  const std::optional<Bitmap> fromMemory = LoadPictureMemory(data, c.extension, nullptr, c.options);
  ASSERT_TRUE(fromFile.has_value());
  EXPECT_EQ(error, PictureError::kNone);
  ASSERT_TRUE(fromMemory.has_value());
  EXPECT_TRUE(*fromFile == *fromMemory);
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureDecodeTest, testing::ValuesIn(DecodeCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- refused data ---------------------------------------------------------

Bytes Cut(Bytes b, size_t keep) {
  b.resize(std::min(keep, b.size()));
  return b;
}

Bytes PngData() {
  return test::EncodeWithPixbuf(4, 4, std::vector<uint32_t>(16, 0xFF00FF00u), "png");
}

// A JPEG big enough that its entropy-coded data spans many bytes.
Bytes NoisyJpeg() {
  Bitmap b(64, 64);
  uint32_t seed = 12345;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      seed = seed * 1103515245u + 12345u;
      b.Set(x, y, (seed >> 8) & 0xFFFFFF);
    }
  }
  return test::EncodeJpeg(b, 90);
}

// An end-of-image marker in the middle of the entropy-coded data.
Bytes JpegWithMarkerInScan() {
  Bytes b = NoisyJpeg();
  const size_t at = b.size() * 2 / 3;
  b[at] = 0xFF;
  b[at + 1] = 0xD9;
  return b;
}

struct RefuseCase {
  const char* name;
  std::function<Bytes()> make;
  std::string extension;
  PictureDecoders decoders = PictureDecoders::kGeneral;
};

std::vector<RefuseCase> RefuseCases() {
  const auto slides = PictureDecoders::kJpegGifOrBitmap;
  return {
      {"PngNamedPng", PngData, ".png"},
      {"PngNamedBmp", PngData, ".bmp"},
      {"PngWithoutExtension", PngData, ""},
      {"JpegNamedGif", [] { return test::EncodeJpeg(test::Quadrants(8, 8)); }, ".gif"},
      {"JpegNamedBmp", [] { return test::EncodeJpeg(test::Quadrants(8, 8)); }, ".bmp"},
      {"GifNamedJpg", FourColourGif, ".jpg"},
      {"IconForSlides", HalfTransparentIcon, ".ico", slides},
      {"EnhancedMetafile", [] { return Bytes(200, 0x01); }, ".emf"},
      {"UnknownExtension", [] { return Bytes{'h', 'e', 'l', 'l', 'o'}; }, ".xyz"},
      {"JpegTruncated", [] { Bytes b = NoisyJpeg(); return Cut(b, b.size() / 2); }, ".jpg"},
      {"JpegCutInHeader", [] { return Cut(NoisyJpeg(), 100); }, ".jpg"},
      {"JpegCutBeforeFrame", [] { return Cut(NoisyJpeg(), 3); }, ".jpg"},
      {"JpegMarkerInScan", JpegWithMarkerInScan, ".jpg"},
      {"JpegEmpty", [] { return Bytes{}; }, ".jpg"},
      {"BmpEmpty", [] { return Bytes{}; }, ".bmp"},
      {"GifEmpty", [] { return Bytes{}; }, ".gif"},
      {"BmpTruncated", [] { Bytes b = test::EncodeBmp24(test::Quadrants(20, 20)); return Cut(b, b.size() - 30); }, ".bmp"},
      {"BmpHeaderOnly", [] { return Cut(test::EncodeBmp24(test::Quadrants(20, 20)), 54); }, ".bmp"},
      // 12000 x 9000 declared, a few bytes present.
      {"BmpHugeDeclared", [] { return test::BmpHeaderOnly(12000, 9000, 64); }, ".bmp"},
      {"BmpZeroWidth", [] { return test::BmpHeaderOnly(0, 10, 64); }, ".bmp"},
      // An icon whose one image is declared far larger than the file.
      {"IcoImageBeyondData", [] {
         Bytes b = test::EncodeWithPixbuf(16, 16, std::vector<uint32_t>(256, 0xFF336699u), "ico");
         b[14] = 0x21; b[15] = 0x21; b[16] = 0x21; b[17] = 0x21;
         return b;
       }, ".ico"},
      // A colour count of nearly 2^32: the table would lie far beyond the data.
      {"BmpColourTableBeyondData", [] {
         Bytes b = test::EncodeBmp8(4, 4, {kRed, kGreen}, std::vector<uint8_t>(16, 1));
         b[46] = 0xFE; b[47] = 0xFF; b[48] = 0xFF; b[49] = 0xFF;
         return b;
       }, ".bmp"},
      {"GifTruncated", [] {
         std::vector<uint8_t> idx(40 * 30, 1);
         Bytes b = test::EncodeGif(40, 30, {kRed, kGreen}, idx);
         return Cut(b, b.size() / 2);
       }, ".gif"},
      {"GifHugeScreen", [] {
         Bytes b = FourColourGif();
         b[6] = b[7] = b[8] = b[9] = 0xFF;  // a 65535 x 65535 logical screen
         return b;
       }, ".gif"},
      {"MetafileForSlides", [] { return test::EncodeWmf(80, 40, 192, kRed, kBlue); }, ".wmf", slides},
      {"MetafileCut", [] { Bytes b = test::EncodeWmf(80, 40, 192, kRed, kBlue); return Cut(b, b.size() - 10); }, ".wmf"},
      {"MetafileRecordTooLong", [] {
         Bytes b = test::EncodeWmf(80, 40, 192, kRed, kBlue);
         b[22 + 18 + 2] = 0x40;  // the first record claims 16 K words more
         return b;
       }, ".wmf"},
      {"MetafileWithoutPlaceableHeader", [] { return Bytes(64, 0x01); }, ".wmf"},
  };
}

void PrintTo(const RefuseCase& c, std::ostream* os) { *os << c.name; }

class PictureRefuseTest : public testing::TestWithParam<RefuseCase> {};

TEST_P(PictureRefuseTest, IsUndecodable) {
  const RefuseCase& c = GetParam();
  PictureLoadOptions options;
  options.decoders = c.decoders;
  PictureError error = PictureError::kNone;
  EXPECT_FALSE(LoadPictureMemory(c.make(), c.extension, &error, options).has_value());
  EXPECT_EQ(error, PictureError::kUndecodable);
}

INSTANTIATE_TEST_SUITE_P(BadData, PictureRefuseTest, testing::ValuesIn(RefuseCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PictureFile, MissingFileIsMissing) {
  PictureError error = PictureError::kNone;
  EXPECT_FALSE(LoadPictureFile(testing::TempDir() + "/no_such_picture.jpg", &error).has_value());
  EXPECT_EQ(error, PictureError::kMissing);
}

TEST(PictureFile, FolderIsMissing) {
  PictureError error = PictureError::kNone;
  const std::string folder = testing::TempDir() + "/pic_folder.bmp";
  std::filesystem::create_directories(folder);
  EXPECT_FALSE(LoadPictureFile(folder, &error).has_value());
  EXPECT_EQ(error, PictureError::kMissing);
  std::filesystem::remove(folder);
}

TEST(PictureFile, EmptyFileIsUndecodable) {
  const std::string path = testing::TempDir() + "/pic_empty.jpg";
  test::WriteFile(path, {});
  PictureError error = PictureError::kNone;
  EXPECT_FALSE(LoadPictureFile(path, &error).has_value());
  EXPECT_EQ(error, PictureError::kUndecodable);
  std::filesystem::remove(path);
}

// --- reduced-scale JPEG decoding -----------------------------------------

struct ScaleCase {
  int fitWidth;
  int fitHeight;
  int width;  // of the result, from 800 x 600
  int height;
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.fitWidth << "x" << c.fitHeight; }

class JpegScaleTest : public testing::TestWithParam<ScaleCase> {};

TEST_P(JpegScaleTest, SmallestScaleThatCoversTheBox) {
  static const Bytes data = test::EncodeJpeg(test::Quadrants(800, 600), 90);
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
    FitBoxes, JpegScaleTest,
    testing::Values(ScaleCase{0, 0, 800, 600},        // no box: whole
                    ScaleCase{640, 0, 800, 600},      // half a box: whole
                    ScaleCase{100, 75, 100, 75},      // 1/8 covers exactly
                    ScaleCase{101, 75, 200, 150},     // 1/8 one pixel short: 1/4
                    ScaleCase{200, 10, 200, 150},     // one direction limits
                    ScaleCase{400, 300, 400, 300},    // 1/2
                    ScaleCase{401, 300, 800, 600},    // nothing smaller covers
                    ScaleCase{1920, 1080, 800, 600},  // never enlarged
                    ScaleCase{160, 151, 400, 300}));

// Over 100 million pixels: refused whole, accepted once reduced below the
// limit, so the refusal comes from the size and not from the data.
TEST(JpegLimit, OverLimitRefusedUnlessReduced) {
  const Bytes data = test::EncodeGreyJpeg(10016, 10000, [](int x, int y) {
    return static_cast<uint8_t>((x / 1024 + y / 1024) % 2 ? 200 : 40);
  });
  PictureError error = PictureError::kNone;
  EXPECT_FALSE(LoadPictureMemory(data, ".jpg", &error).has_value());
  EXPECT_EQ(error, PictureError::kUndecodable);

  PictureLoadOptions options;
  options.fitWidth = 1920;
  options.fitHeight = 1080;
  const std::optional<Bitmap> b = LoadPictureMemory(data, ".jpg", &error, options);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->Width(), 2504);
  EXPECT_EQ(b->Height(), 2500);
  EXPECT_LE(ChannelDistance(b->At(10, 10), 0x282828), 4);
  EXPECT_LE(ChannelDistance(b->At(300, 10), 0xC8C8C8), 4);
}

// --- extensions -----------------------------------------------------------

TEST(PathExtension, LowerCasedFromTheLastComponent) {
  const std::pair<const char*, const char*> cases[] = {
      {"a/b/pic.JPG", ".jpg"},        {"pic.jpeg", ".jpeg"},
      {"c:\\dir\\Pic.GiF", ".gif"},   {"folder.d/noext", ""},
      {"folder.d\\noext", ""},        {"archive.tar.gz", ".gz"},
      {"", ""},                       {"trailing.", "."},
      {"/work/pictures/Picture0.Bmp", ".bmp"},
  };
  for (const auto& [path, ext] : cases) EXPECT_EQ(PathExtension(path), ext) << path;
}

TEST(PathExtension, JpegAndGifTests) {
  EXPECT_TRUE(IsJpegFile("x.JPG"));
  EXPECT_TRUE(IsJpegFile("x.jpeg"));
  EXPECT_FALSE(IsJpegFile("x.jpe"));
  EXPECT_FALSE(IsJpegFile("jpg"));
  EXPECT_FALSE(IsJpegFile("x.jpg.png"));
  EXPECT_TRUE(IsGifFile("dir/x.GIF"));
  EXPECT_FALSE(IsGifFile("x.gif/y"));
  EXPECT_FALSE(IsGifFile("x.giff"));
}

}  // namespace
}  // namespace ls

namespace ls {
namespace {

// Damaged files of every format, made by seeded byte changes and cuts: each
// load ends with a picture or an error, never a crash or a hang, and any
// picture it gives is whole (its X bytes 0, its size within the limit).
TEST(PictureDamage, SeededCorruptionsEndCleanly) {
  const std::pair<const char*, Bytes> sources[] = {
      {".jpg", test::EncodeJpeg(test::Quadrants(24, 16))},
      {".jpg", test::EncodeJpeg(test::Quadrants(24, 16), 80, test::JpegKind::kProgressive)},
      {".bmp", test::EncodeBmp24(test::Quadrants(7, 5))},
      {".bmp", test::EncodeBmp8(5, 3, {kRed, kGreen, kBlue}, std::vector<uint8_t>(15, 1))},
      {".gif", FourColourGif()},
      {".ico", HalfTransparentIcon()},
      {".wmf", test::EncodeWmf(80, 40, 192, kRed, kBlue)},
  };
  uint32_t seed = 2024;
  auto random = [&seed](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  int decoded = 0;
  int refused = 0;
  for (const auto& [ext, original] : sources) {
    for (int round = 0; round < 100; ++round) {
      Bytes b = original;
      const int changes = 1 + static_cast<int>(random(4));
      for (int i = 0; i < changes; ++i) b[random(static_cast<uint32_t>(b.size()))] = static_cast<uint8_t>(random(256));
      if (random(4) == 0) b.resize(random(static_cast<uint32_t>(b.size())));
      PictureError error = PictureError::kMissing;
      const std::optional<Bitmap> picture = LoadPictureMemory(b, ext, &error);
      if (!picture) {
        ASSERT_EQ(error, PictureError::kUndecodable);
        ++refused;
        continue;
      }
      ++decoded;
      ASSERT_EQ(error, PictureError::kNone);
      ASSERT_FALSE(picture->IsEmpty());
      ASSERT_LE(int64_t{picture->Width()} * picture->Height(), kMaxPicturePixels);
      ASSERT_TRUE(AllXBytesZero(*picture)) << ext << " round " << round;
    }
  }
  // Both outcomes occur: the damage is neither always fatal nor always harmless.
  EXPECT_GT(decoded, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace ls
