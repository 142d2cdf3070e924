#pragma once
// Building a screensaver: a project file in the direct-run form (every medium
// named by its path) plus [CustomizePreviewDlg] PreviewImage and
// [CustomizeSettingDlg] BannerFile and TxtFile becomes a package appended to
// a copy of the player.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace ls {

// A project that cannot be packed, or an output that cannot be written.
class PackError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PackSummary {
  int blocks = 0;            // media blocks written (absent ones not counted)
  int64_t packageBytes = 0;  // bytes appended to the player
};

// Writes the screensaver at outPath: the player's bytes, the media blocks
// (front to back: pictures from the highest index down to 0, each sound in
// front of its picture, splash, background, music from the last track down to
// 1, readme, banner, preview), the package settings (sizes and types in place
// of paths, every other key kept), the settings length and marker 1. Media
// paths may be relative to the project file's folder. The output is written
// beside its final name and renamed into place, and made executable.
// Throws PackError with a one-line reason.
PackSummary PackScreensaver(const std::string& projectPath, const std::string& playerPath,
                            const std::string& outPath);

}  // namespace ls
