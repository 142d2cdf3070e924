// Transition frames drawn by the Windows build are byte for byte those of the
// Linux build. The build ran the Linux tool's render for every case of
// e2e/FrameCases.txt; here the Windows build draws the same frame in process,
// from the same two pictures (uncompressed 24-bit bitmaps, which the two
// systems' decoders read alike), and the pixels are compared.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TransitionView/DrawFrame.h"
#include "platform/graphics/Png.h"
#include "platform/random/Random.h"
#include "tests/win32/e2e/Win32Desktop.h"
#include "tools/commands/FrameTools.h"

namespace ls::e2e {
namespace {

struct FrameCase {
  int style = 0, progress = 0, step = 4, seed = 1;
  std::string size;  // "WxH"
  // The reference's file name, as the build names it.
  std::string FileName() const {
    return "style" + std::to_string(style) + "-p" + std::to_string(progress) + "-step" +
           std::to_string(step) + "-seed" + std::to_string(seed) + "-" + size + ".png";
  }
};

std::vector<FrameCase> ReadCases() {
  std::vector<FrameCase> cases;
  std::ifstream in(std::filesystem::path(WindowsPath(LS_E2E_FRAME_CASES)));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] < '0' || line[0] > '9') continue;
    std::istringstream fields(line);
    FrameCase c;
    if (fields >> c.style >> c.progress >> c.step >> c.seed >> c.size) cases.push_back(c);
  }
  return cases;
}

// Compares one case; failures name it.
void ExpectSameAsLinux(const FrameCase& c) {
  SCOPED_TRACE(c.FileName());
  int width = 0, height = 0;
  ASSERT_TRUE(tool::ParseFrameSize(c.size, width, height)) << c.size;
  const std::string reference = WindowsPathUtf8(std::string(LS_E2E_DIR) + "/frames/" + c.FileName());
  const std::optional<Bitmap> linuxFrame = ReadPng(reference);
  ASSERT_TRUE(linuxFrame.has_value()) << "missing reference " << reference;

  std::string why;
  const std::optional<Bitmap> oldImage = tool::LoadStretched(WindowsPathUtf8(LS_E2E_OLD_BMP), width, height, why);
  ASSERT_TRUE(oldImage.has_value()) << why;
  const std::optional<Bitmap> newImage = tool::LoadStretched(WindowsPathUtf8(LS_E2E_NEW_BMP), width, height, why);
  ASSERT_TRUE(newImage.has_value()) << why;
  SharedRandom().SetBaseSeed(static_cast<uint64_t>(c.seed));
  const Bitmap frame = DrawFrameOffscreen(*oldImage, *newImage, c.style, c.progress, c.step);

  ASSERT_EQ(frame.Width(), linuxFrame->Width());
  ASSERT_EQ(frame.Height(), linuxFrame->Height());
  Point first{};
  const int64_t wrong = CountDifferentPixels(frame, *linuxFrame, &first);
  if (wrong != 0) {
    const std::string mine = WindowsPathUtf8(std::string(LS_BINARY_DIR) + "/win32-" + c.FileName());
    WritePng(frame, mine);
    ADD_FAILURE() << wrong << " pixels differ from the Linux frame, the first at (" << first.x << ", "
                  << first.y << "): Windows " << std::hex << frame.At(first.x, first.y) << ", Linux "
                  << linuxFrame->At(first.x, first.y) << std::dec << "; the Windows frame is " << mine;
  }
}

// All cases in one test: every test program start costs Wine a few seconds.
TEST(Win32Frames, EveryCaseIsTheLinuxBuildsFrame) {
  const std::vector<FrameCase> cases = ReadCases();
  EXPECT_GE(cases.size(), 10u) << LS_E2E_FRAME_CASES;
  for (const FrameCase& c : cases) ExpectSameAsLinux(c);
}

}  // namespace
}  // namespace ls::e2e
