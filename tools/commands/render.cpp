// lanternslide-tool render: one frame of a transition as PNG.
#include <cstdio>
#include <string>
#include <vector>

#include "TransitionView/DrawFrame.h"
#include "platform/graphics/Png.h"
#include "platform/random/Random.h"
#include "tools/Command.h"
#include "tools/commands/FrameTools.h"

namespace ls::tool {
namespace {

const char kUsage[] =
    "usage: lanternslide-tool render --style N --progress P --size WxH OLD NEW OUT.png\n"
    "                                [--step S] [--seed K]\n"
    "Draws the frame of transition style N (0..255) at progress P (0..100) in a\n"
    "transition from the picture OLD to the picture NEW, each stretched to WxH\n"
    "first, and writes it to OUT.png.\n"
    "  --step S   the transition's step, 1..100 (default 4; sets the bar styles' snap)\n"
    "  --seed K   seed of the random generator for the random styles (default 1)\n";

int Render(const std::vector<std::string>& args) {
  std::optional<int> style, progress, step = 4, seed = 1;
  int width = 0, height = 0;
  bool haveSize = false;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a.rfind("--", 0) == 0) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "render: %s needs a value\n%s", a.c_str(), kUsage);
        return 2;
      }
      const std::string& v = args[++i];
      bool ok = true;
      if (a == "--style")
        ok = (style = ParseIntIn(v, 0, 255)).has_value();
      else if (a == "--progress")
        ok = (progress = ParseIntIn(v, 0, 100)).has_value();
      else if (a == "--step")
        ok = (step = ParseIntIn(v, 1, 100)).has_value();
      else if (a == "--seed")
        ok = (seed = ParseIntIn(v, 0, 999999999)).has_value();
      else if (a == "--size")
        ok = haveSize = ParseFrameSize(v, width, height);
      else {
        std::fprintf(stderr, "render: unknown option %s\n%s", a.c_str(), kUsage);
        return 2;
      }
      if (!ok) {
        std::fprintf(stderr, "render: bad value for %s: %s\n", a.c_str(), v.c_str());
        return 2;
      }
      continue;
    }
    files.push_back(a);
  }
  if (!style || !progress || !haveSize || files.size() != 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string why;
  const std::optional<Bitmap> oldImage = LoadStretched(files[0], width, height, why);
  if (!oldImage) {
    std::fprintf(stderr, "render: %s\n", why.c_str());
    return 1;
  }
  const std::optional<Bitmap> newImage = LoadStretched(files[1], width, height, why);
  if (!newImage) {
    std::fprintf(stderr, "render: %s\n", why.c_str());
    return 1;
  }
  SharedRandom().SetBaseSeed(static_cast<uint64_t>(*seed));
  const Bitmap frame = DrawFrameOffscreen(*oldImage, *newImage, *style, *progress, *step);
  if (!WritePng(frame, files[2])) {
    std::fprintf(stderr, "render: cannot write %s\n", files[2].c_str());
    return 1;
  }
  return 0;
}

}  // namespace

LS_TOOL_COMMAND(render, "render", "draw one frame of a transition style as PNG", Render);

}  // namespace ls::tool
