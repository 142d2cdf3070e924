// lanternslide-tool inspect: lists the blocks of a screensaver's package.
#include <cstdio>
#include <string>
#include <vector>

#include "package/PackageLayout.h"
#include "tools/Command.h"

namespace {

const char* kUsage =
    "usage: lanternslide-tool inspect FILE [--extract DIR]\n"
    "\n"
    "Lists the blocks of FILE's package (name, offset, size, type) in the order the\n"
    "player reads them, and checks the layout. Exits 1 when the layout is unsound.\n"
    "\n"
    "  --extract DIR  also write every block into DIR\n";

int Inspect(const std::vector<std::string>& args) {
  std::string file, dir;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--extract" && i + 1 < args.size()) {
      dir = args[++i];
    } else if (!a.empty() && a[0] != '-' && file.empty()) {
      file = a;
    } else {
      std::fprintf(stderr, "lanternslide-tool inspect: unexpected argument '%s'\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (file.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const ls::PackageLayout layout = ls::InspectPackage(file);
  std::printf("file size %lld, marker %u, package from offset %lld\n",
              static_cast<long long>(layout.fileSize), layout.marker,
              static_cast<long long>(layout.packageStart));
  if (!layout.blocks.empty()) std::printf("%-22s %12s %12s  %s\n", "block", "offset", "size", "type");
  for (const ls::LayoutBlock& b : layout.blocks)
    std::printf("%-22s %12lld %12lld  %s%s\n", b.name.c_str(), static_cast<long long>(b.offset),
                static_cast<long long>(b.size), b.type.c_str(), b.safe ? "" : "  (unsafe, not extracted)");
  if (layout.unreadPictures > 0)
    std::printf("%d pictures beyond the first 99 lie unread at the front\n", layout.unreadPictures);
  for (const std::string& p : layout.problems) std::printf("problem: %s\n", p.c_str());
  if (!dir.empty() && !layout.blocks.empty()) {
    try {
      const int written = ls::ExtractPackageBlocks(file, layout, dir);
      std::printf("%d files written to %s\n", written, dir.c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "lanternslide-tool inspect: %s\n", e.what());
      return 1;
    }
  }
  if (!layout.problems.empty()) {
    std::fprintf(stderr, "lanternslide-tool inspect: %s\n", layout.problems.front().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

LS_TOOL_COMMAND(inspect, "inspect", "list and check the blocks of a screensaver's package", Inspect);
