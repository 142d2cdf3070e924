#pragma once
// The layout of a package as a person inspects it: every block the readers
// reach, with its place in the file, and the problems found on the way.

#include <cstdint>
#include <string>
#include <vector>

namespace ls {

struct LayoutBlock {
  std::string name;    // "settings", "preview", "music 1", "picture 0", ...
  std::string file;    // file name the block is extracted to ("Picture0.jpg")
  int64_t offset = 0;  // first byte in the file
  int64_t size = 0;
  std::string type;
  bool safe = true;    // false: the type makes an unsafe file name
};

struct PackageLayout {
  int64_t fileSize = 0;
  uint32_t marker = 0;         // 1 = a package is present
  int64_t settingsLength = 0;  // as stored
  int64_t packageStart = 0;    // offset of the frontmost block read
  int unreadPictures = 0;      // pictures of ImageCount beyond the ones read
  std::vector<LayoutBlock> blocks;  // reading order: settings first
  std::vector<std::string> problems;  // empty = the layout is sound
};

// Walks the whole package as a show does for a user who shows backgrounds.
PackageLayout InspectPackage(const std::string& path);

// Writes every present, safe block of `layout` into folder `dir` (created if
// needed) under LayoutBlock::file, through the one copy buffer. Returns the
// number of files written; throws std::runtime_error when one cannot be.
int ExtractPackageBlocks(const std::string& path, const PackageLayout& layout,
                         const std::string& dir);

}  // namespace ls
