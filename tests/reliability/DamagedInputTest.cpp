// Damaged screensavers and pictures: each show must run its intact pictures,
// skip the bad ones, end normally and leave nothing on disk.
#include <gtest/gtest.h>

#include <random>

#include "package/IniFile.h"
#include "package/Package.h"
#include "tests/reliability/ReliabilitySupport.h"

namespace ls::test {
namespace {

// Picture 2's size or type changed in the settings text. Blocks are read from
// the end: music, picture 0, picture 1 and its sound, picture 2, picture 3.
// A bad size stops the reading there; an unsafe type only passes its block over.
struct SettingsCase {
  const char* name;
  const char* key;
  std::string value;
  std::set<int> shown;
  std::set<int> skipped;
};

class DamagedSettings : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(DamagedSettings, ShowRunsTheOtherPictures) {
  const SettingsCase& c = GetParam();
  ReliabilitySandbox box;
  const std::string scr = box.Pack(box.Project());
  PackedShow p = PackedShow::Split(ReadBytes(scr));
  p.settings = WithValue(p.settings, c.key, c.value);
  WriteBytes(scr, p.Join());
  box.RunDamaged(scr, c.shown, c.skipped);
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, DamagedSettings,
    ::testing::Values(
        SettingsCase{"SizePast32Bits", "File2DiskSize", "4294967396", {0, 1}, {2}},
        SettingsCase{"SizeJustPastInt32", "File2DiskSize", "2147483648", {0, 1}, {2}},
        SettingsCase{"SizeOfManyDigits", "File2DiskSize", "999999999999999999999", {0, 1}, {2}},
        SettingsCase{"NegativeSize", "File2DiskSize", "-5", {0, 1}, {2, 3}},
        SettingsCase{"SizeBeyondStart", "File2DiskSize", "2000000000", {0, 1}, {2, 3}},
        SettingsCase{"TypeClimbsUp", "File2Type", "../x", {0, 1, 3}, {2}},
        SettingsCase{"TypeAbsolute", "File2Type", "/abs", {0, 1, 3}, {2}},
        SettingsCase{"TypeBackslash", "File2Type", ".a\\b", {0, 1, 3}, {2}},
        SettingsCase{"TypeControlCharacter", "File2Type", std::string(".g\x01if"), {0, 1, 3}, {2}},
        SettingsCase{"TypeFortyCharacters", "File2Type", "." + std::string(39, 'g'), {0, 1, 3}, {2}},
        SettingsCase{"MorePicturesThanBlocks", "ImageCount", "99", {0, 1, 2, 3}, {4, 5}},
        SettingsCase{"NegativePictureCount", "ImageCount", "-3", {}, {}},
        SettingsCase{"HugeMusicCount", "MusicCount", "1000000", {0, 1, 2, 3}, {}},
        SettingsCase{"SoundTypeClimbsUp", "FileSound1Type", "/../../sentinel/x", {0, 1, 2, 3}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedPackage, SettingsLengthPastTheStart) {
  ReliabilitySandbox box;
  const std::string scr = box.Pack(box.Project());
  std::string bytes = ReadBytes(scr);
  const uint32_t past = static_cast<uint32_t>(bytes.size() + 100);
  for (int i = 0; i < 4; ++i) bytes[bytes.size() - 8 + i] = char((past >> (8 * i)) & 255);
  WriteBytes(scr, bytes);
  const auto trace = box.RunDamaged(scr, {}, {});
  EXPECT_TRUE(Events(trace, "slide").empty());
}

TEST(DamagedPackage, SettingsBlockOfRandomBytes) {
  ReliabilitySandbox box;
  const std::string scr = box.Pack(box.Project());
  PackedShow p = PackedShow::Split(ReadBytes(scr));
  std::mt19937 rng(7);
  for (char& ch : p.settings) ch = static_cast<char>(rng() & 255);
  WriteBytes(scr, p.Join());
  const auto trace = box.RunDamaged(scr, {}, {});
  EXPECT_TRUE(Events(trace, "slide").empty());
}

// Cuts of a packed show: the end cut off (no package is left to read), and
// the front cut off with the settings kept (blocks reaching before the new
// start are lost, with every block read after them).
TEST(DamagedPackage, CutAtManyPoints) {
  ReliabilitySandbox box;
  const std::string scr = box.Pack(box.Project());
  const std::string whole = ReadBytes(scr);
  const PackedShow p = PackedShow::Split(whole);
  // Where each picture's block starts, read the way the show reads them.
  std::map<int, int64_t> pictureStart;
  int64_t at = static_cast<int64_t>(p.front.size());
  for (const PlannedBlock& b : PlanBlocks(IniFile::FromText(p.settings))) {
    at -= b.size;
    if (b.kind == BlockKind::Picture) pictureStart[b.index] = at;
  }
  ASSERT_EQ(pictureStart.size(), 4u);
  const int64_t firstBlock = pictureStart[3];
  const std::string file = box.Path("Cut.scr");
  std::vector<size_t> endCuts = {0, 3, 7, whole.size() - 1, whole.size() - 5, whole.size() - 9};
  for (int k = 1; k <= 10; ++k) endCuts.push_back(whole.size() * k / 11);
  for (const size_t endCut : endCuts) {
    SCOPED_TRACE("end cut at " + std::to_string(endCut));
    WriteBytes(file, whole.substr(0, endCut));
    const auto trace = box.RunDamaged(file, {}, {}, 6);
    EXPECT_TRUE(Events(trace, "slide").empty());
  }
  for (int k = 0; k < 10; ++k) {
    // Cut points spread over the player and the media blocks.
    const int64_t frontCut = k == 0 ? firstBlock - 1 : firstBlock + (p.front.size() - firstBlock) * k / 10;
    SCOPED_TRACE("front cut at " + std::to_string(frontCut));
    WriteBytes(file, whole.substr(static_cast<size_t>(frontCut)));
    std::set<int> shown, skipped;
    bool lost = false;  // reading stops at the first block cut off
    for (int i = 0; i < 4; ++i) {
      lost = lost || pictureStart[i] < frontCut;
      (lost ? skipped : shown).insert(i);
    }
    box.RunDamaged(file, shown, skipped);
  }
}

// Damaged picture files packed as picture 2.
struct PictureCase {
  const char* name;
  std::string (*make)(ReliabilitySandbox&);
  // A GIF decoder may show the rows decoded before the fault, as browsers do.
  bool partialAllowed = false;
};

class DamagedPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(DamagedPicture, IsSkippedAndTheOthersShown) {
  ReliabilitySandbox box;
  const std::string bad = GetParam().make(box);
  const std::string scr = box.Pack(box.Project(bad));
  const auto trace = box.RunDamaged(scr, {0, 1, 3}, GetParam().partialAllowed ? std::set<int>{} : std::set<int>{2});
  for (const auto& e : Events(trace, "skip"))
    if (e.Int("index") == 2) {
      EXPECT_EQ(e.Str("reason"), ReadBytes(bad).empty() ? "missing" : "undecodable");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, DamagedPicture,
    ::testing::Values(
        PictureCase{"JpegCutShort",
                    [](ReliabilitySandbox& b) {
                      const std::string whole = ReadBytes(b.WriteJpeg("media/whole.jpg", 200, 150, 0x808080));
                      return b.WriteFile("media/cut.jpg", whole.substr(0, whole.size() / 3));
                    }},
        PictureCase{"JpegHeaderOnly",
                    [](ReliabilitySandbox& b) {
                      const std::string whole = ReadBytes(b.WriteJpeg("media/whole.jpg", 200, 150, 0x808080));
                      return b.WriteFile("media/head.jpg", whole.substr(0, 20));
                    }},
        PictureCase{"GifBadLzw",
                    [](ReliabilitySandbox& b) { return b.WriteFile("media/bad.gif", GifWithBadLzw(40, 30)); },
                    true},
        PictureCase{"BmpHugeDeclaredSize",
                    [](ReliabilitySandbox& b) { return b.WriteFile("media/huge.bmp", BmpHeaderOnly(200000, 200000)); }},
        PictureCase{"BmpNegativeWidth",
                    [](ReliabilitySandbox& b) { return b.WriteFile("media/neg.bmp", BmpHeaderOnly(-64, 64)); }},
        PictureCase{"EmptyPicture", [](ReliabilitySandbox& b) { return b.WriteFile("media/empty.jpg", ""); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ls::test
