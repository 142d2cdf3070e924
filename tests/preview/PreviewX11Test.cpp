// Preview mode on a real X display (Xvfb in the test run), run by the preview
// runner for a screensaver file made by the test.

#include <algorithm>
#include <string>

#include "tests/preview/PreviewX11Fixture.h"

namespace {

using lstest::Clock;
using lstest::PreviewProcess;

class PreviewX11Test : public lstest::PreviewX11Fixture {
 protected:
  std::vector<std::string> Preview(const std::string& program, unsigned long window) {
    return {LS_PREVIEW_RUNNER, program, std::to_string(window)};
  }
};

TEST_F(PreviewX11Test, ShowsTheBuiltInPictureOneToOneAndEndsWhenTheParentGoes) {
  const Window parent = MakeParent(152, 112);
  PreviewProcess preview(Preview(NoPackageSaver(), parent), ErrFile());
  ASSERT_TRUE(preview.Spawned());
  const Window child = WaitForChild(parent);
  ASSERT_NE(child, 0u);

  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display_, child, &attributes));
  EXPECT_EQ(attributes.x, 0);
  EXPECT_EQ(attributes.y, 0);
  EXPECT_EQ(attributes.width, 152);
  EXPECT_EQ(attributes.height, 112);

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
  const lstest::Pixels24 picture = lstest::ParseBmp24(resource.data(), resource.size());
  ASSERT_EQ(picture.width, 152);
  EXPECT_EQ(WaitForPicture(child, picture), 0);

  // Exposing the window again repaints it; the server never clears it.
  XClearArea(display_, child, 0, 0, 0, 0, True);
  XSync(display_, False);
  EXPECT_EQ(WaitForPicture(child, picture), 0);

  XDestroyWindow(display_, parent);
  XSync(display_, False);
  EXPECT_EQ(preview.WaitForExit(), 0);
}

TEST_F(PreviewX11Test, InAParentWithAnAlphaChannelThePictureIsOpaque) {
  const Window parent = MakeParent(152, 112, /*alpha=*/true);
  if (!parent) GTEST_SKIP() << "no 32-bit visual";
  PreviewProcess preview(Preview(NoPackageSaver(), parent), ErrFile());
  ASSERT_TRUE(preview.Spawned());
  const Window child = WaitForChild(parent);
  ASSERT_NE(child, 0u);
  const std::span<const uint8_t> resource = ls::PreviewBmpResource();
  EXPECT_EQ(WaitForPicture(child, lstest::ParseBmp24(resource.data(), resource.size())), 0);
  XDestroyWindow(display_, parent);
  XSync(display_, False);
  EXPECT_EQ(preview.WaitForExit(), 0);
}

TEST_F(PreviewX11Test, DestroyingOnlyThePreviewWindowEndsThePreview) {
  const Window parent = MakeParent(200, 150);
  PreviewProcess preview(Preview(NoPackageSaver(), parent), ErrFile());
  ASSERT_TRUE(preview.Spawned());
  const Window child = WaitForChild(parent);
  ASSERT_NE(child, 0u);
  XDestroyWindow(display_, child);
  XSync(display_, False);
  EXPECT_EQ(preview.WaitForExit(), 0);
  XDestroyWindow(display_, parent);
}

TEST_F(PreviewX11Test, AWindowIdThatNamesNoWindowEndsAtOnceWithOneLine) {
  // The id of a window that has just been destroyed names no window.
  const Window gone = MakeParent(10, 10);
  XDestroyWindow(display_, gone);
  XSync(display_, False);
  PreviewProcess preview(Preview(NoPackageSaver(), gone), ErrFile());
  ASSERT_TRUE(preview.Spawned());
  EXPECT_EQ(preview.WaitForExit(), 0);
  const std::string err = lstest::ReadFileText(ErrFile());
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find(std::to_string(gone)), std::string::npos) << err;
}

}  // namespace
