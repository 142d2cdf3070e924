// lanternslide-tool gallery: every transition style at one progress on one
// sheet, each frame labelled with its number and name.
#include <cstdio>
#include <string>
#include <vector>

#include "TransitionView/DrawFrame.h"
#include "platform/graphics/Png.h"
#include "platform/graphics/Text.h"
#include "platform/random/Random.h"
#include "tools/Command.h"
#include "tools/commands/FrameTools.h"

namespace ls::tool {
namespace {

const char kUsage[] =
    "usage: lanternslide-tool gallery --progress P --size WxH OUT.png\n"
    "                                 [--step S] [--seed K] [--old FILE --new FILE]\n"
    "Draws styles 0..127 at progress P (0..100), each frame WxH, on one sheet\n"
    "with its number and name, and writes the sheet to OUT.png. Without --old\n"
    "and --new two generated test pictures are used.\n"
    "  --step S   the transition's step, 1..100 (default 4)\n"
    "  --seed K   seed of the random generator for the random styles (default 1)\n";

constexpr int kColumns = 8;
constexpr int kGap = 6;
constexpr int kLabelLines = 3;
constexpr Pixel kSheet = 0x303030;

// Splits the label into lines of at most `width` pixels at spaces (a word
// longer than the line is cut by the sheet).
std::vector<std::string> WrapLabel(const FontSpec& font, const std::string& text, int width) {
  std::vector<std::string> lines;
  std::string line;
  size_t i = 0;
  while (i < text.size()) {
    size_t j = text.find(' ', i);
    if (j == std::string::npos) j = text.size();
    const std::string word = text.substr(i, j - i);
    const std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidth(font, candidate) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
    i = j + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

int Gallery(const std::vector<std::string>& args) {
  std::optional<int> progress, step = 4, seed = 1;
  int width = 0, height = 0;
  bool haveSize = false;
  std::string oldPath, newPath;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a.rfind("--", 0) == 0) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "gallery: %s needs a value\n%s", a.c_str(), kUsage);
        return 2;
      }
      const std::string& v = args[++i];
      bool ok = true;
      if (a == "--progress")
        ok = (progress = ParseIntIn(v, 0, 100)).has_value();
      else if (a == "--step")
        ok = (step = ParseIntIn(v, 1, 100)).has_value();
      else if (a == "--seed")
        ok = (seed = ParseIntIn(v, 0, 999999999)).has_value();
      else if (a == "--size")
        ok = haveSize = ParseFrameSize(v, width, height) && width <= 4096 && height <= 4096;
      else if (a == "--old")
        oldPath = v;
      else if (a == "--new")
        newPath = v;
      else {
        std::fprintf(stderr, "gallery: unknown option %s\n%s", a.c_str(), kUsage);
        return 2;
      }
      if (!ok) {
        std::fprintf(stderr, "gallery: bad value for %s: %s\n", a.c_str(), v.c_str());
        return 2;
      }
      continue;
    }
    files.push_back(a);
  }
  if (!progress || !haveSize || files.size() != 1 || oldPath.empty() != newPath.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  Bitmap oldImage, newImage;
  if (oldPath.empty()) {
    oldImage = TestOldPicture(width, height);
    newImage = TestNewPicture(width, height);
  } else {
    std::string why;
    auto o = LoadStretched(oldPath, width, height, why);
    if (!o) {
      std::fprintf(stderr, "gallery: %s\n", why.c_str());
      return 1;
    }
    auto n = LoadStretched(newPath, width, height, why);
    if (!n) {
      std::fprintf(stderr, "gallery: %s\n", why.c_str());
      return 1;
    }
    oldImage = std::move(*o);
    newImage = std::move(*n);
  }

  FontSpec font;
  font.name = "DejaVu Sans";
  font.sizePt = 7;
  font.color = 0xFFFFFF;
  const int lineHeight = 12;
  const int cellW = std::max(width, 150) + kGap;
  const int cellH = height + kLabelLines * lineHeight + kGap;
  const int rows = (128 + kColumns - 1) / kColumns;
  Bitmap sheet(kColumns * cellW + kGap, rows * cellH + kGap);
  FillRect(sheet, sheet.Bounds(), kSheet);

  SharedRandom().SetBaseSeed(static_cast<uint64_t>(*seed));
  for (int style = 0; style < 128; ++style) {
    const int x = kGap + (style % kColumns) * cellW;
    const int y = kGap + (style / kColumns) * cellH;
    const Bitmap frame = DrawFrameOffscreen(oldImage, newImage, style, *progress, *step);
    DrawBitmap(sheet, x, y, frame);
    const std::string label = std::to_string(style) + " " + StyleNameOf(style);
    const auto lines = WrapLabel(font, label, cellW - kGap);
    for (size_t i = 0; i < lines.size() && i < static_cast<size_t>(kLabelLines); ++i)
      DrawText(sheet, x, y + height + 1 + static_cast<int>(i) * lineHeight, font, lines[i]);
  }
  if (!WritePng(sheet, files[0])) {
    std::fprintf(stderr, "gallery: cannot write %s\n", files[0].c_str());
    return 1;
  }
  return 0;
}

}  // namespace

LS_TOOL_COMMAND(gallery, "gallery", "draw every transition style at one progress on one sheet",
                Gallery);

}  // namespace ls::tool
