// lanternslide-tool pack: builds a screensaver from a project file.
#include <cstdio>
#include <string>
#include <vector>

#include "package/PackageWriter.h"
#include "platform/files/Files.h"
#include "tools/Command.h"

namespace {

const char* kUsage =
    "usage: lanternslide-tool pack PROJECT.ini -o OUT [--player PATH]\n"
    "\n"
    "Builds a screensaver: the media that PROJECT.ini names by path (the keys of the\n"
    "direct-run settings file, plus [CustomizePreviewDlg] PreviewImage and\n"
    "[CustomizeSettingDlg] BannerFile and TxtFile) are appended as a package to a\n"
    "copy of the player, written executable to OUT. Relative media paths are taken\n"
    "from the project file's folder.\n"
    "\n"
    "  -o OUT         the screensaver to write\n"
    "  --player PATH  the player to copy: the Linux player or the Windows lanternslide.scr\n"
    "                 (default: the player beside this tool)\n";

int Pack(const std::vector<std::string>& args) {
  std::string project, out, player;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if ((a == "-o" || a == "--player") && i + 1 < args.size()) {
      (a == "-o" ? out : player) = args[++i];
    } else if (!a.empty() && a[0] != '-' && project.empty()) {
      project = a;
    } else {
      std::fprintf(stderr, "lanternslide-tool pack: unexpected argument '%s'\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (project.empty() || out.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (player.empty()) {
    // The player built beside the tool: "lanternslide" on Linux,
    // "lanternslide.scr" on Windows.
    const std::string self = ls::ProgramFilePath();
    const std::string folder = self.substr(0, self.find_last_of("/\\") + 1);
    player = folder + "lanternslide";
    if (!ls::FileExists(player) && ls::FileExists(player + ".scr")) player += ".scr";
  }
  try {
    const ls::PackSummary summary = ls::PackScreensaver(project, player, out);
    std::printf("%s: %d media blocks, %lld package bytes\n", out.c_str(), summary.blocks,
                static_cast<long long>(summary.packageBytes));
  } catch (const ls::PackError& e) {
    std::fprintf(stderr, "lanternslide-tool pack: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace

LS_TOOL_COMMAND(pack, "pack", "build a screensaver from a project file", Pack);
