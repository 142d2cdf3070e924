// The player itself in preview mode, `lanternslide /p <window id>`, inside a
// window made by the test: the bare player and copies carrying a package.

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/preview/PreviewX11Fixture.h"

namespace {

using lstest::PreviewProcess;

class PreviewPlayerTest : public lstest::PreviewX11Fixture {
 protected:
  // A copy of the player with the package appended, executable.
  std::string Screensaver(lstest::ScreensaverFile file) {
    file.program = lstest::ReadFileText(LS_PLAYER);
    const std::filesystem::path path = Saver("Lakes.scr");
    file.Write(path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path.string();
  }
};

TEST_F(PreviewPlayerTest, TheBarePlayerShowsItsBuiltInPictureAndEndsWithItsParent) {
  const Window parent = MakeParent(152, 112);
  PreviewProcess preview({LS_PLAYER, "/p", std::to_string(parent)}, ErrFile());
  ASSERT_TRUE(preview.Spawned());
  const Window child = WaitForChild(parent);
  ASSERT_NE(child, 0u);
  XClassHint hint{};
  ASSERT_TRUE(XGetClassHint(display_, child, &hint));
  EXPECT_STREQ(hint.res_class, "QuindelScreenSaverPreview");
  XFree(hint.res_name);
  XFree(hint.res_class);
  char* name = nullptr;
  ASSERT_TRUE(XFetchName(display_, child, &name));
  EXPECT_STREQ(name, "QuindelSaver");
  XFree(name);

  const std::span<const uint8_t> resource = ls::PreviewBmpResource();
  EXPECT_EQ(WaitForPicture(child, lstest::ParseBmp24(resource.data(), resource.size())), 0);
  XDestroyWindow(display_, parent);
  XSync(display_, False);
  EXPECT_EQ(preview.WaitForExit(), 0);
}

TEST_F(PreviewPlayerTest, AScreensaverShowsItsPreviewImageStretchedOverTheBox) {
  lstest::ScreensaverFile file;
  file.preview = lstest::MakeBmp24(2, 2, [](int x, int y) {
    return x == 0 ? (y == 0 ? 0xFF0000u : 0x00FF00u) : (y == 0 ? 0x0000FFu : 0xFFFF00u);
  });
  file.previewType = ".bmp";
  const std::string saver = Screensaver(file);
  const Window parent = MakeParent(150, 100);
  PreviewProcess preview({saver, "/p", std::to_string(parent)}, ErrFile());
  ASSERT_TRUE(preview.Spawned());
  const Window child = WaitForChild(parent);
  ASSERT_NE(child, 0u);
  lstest::Pixels24 expected;
  expected.width = 150;
  expected.height = 100;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 150; ++x)
      expected.pixels.push_back(x < 75 ? (y < 50 ? 0xFF0000u : 0x00FF00u)
                                       : (y < 50 ? 0x0000FFu : 0xFFFF00u));
  EXPECT_EQ(WaitForPicture(child, expected), 0);
  XDestroyWindow(display_, child);
  XSync(display_, False);
  EXPECT_EQ(preview.WaitForExit(), 0);
  XDestroyWindow(display_, parent);
}

}  // namespace
