#include "package/PackageLayout.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "package/BlockCopy.h"
#include "package/Package.h"
#include "platform/files/Files.h"

namespace ls {

namespace {

std::string FileNameOf(const PlannedBlock& b) {
  switch (b.kind) {
    case BlockKind::Preview: return "preview" + b.type;
    case BlockKind::Banner: return "banner" + b.type;
    case BlockKind::Readme: return "readme.txt";
    case BlockKind::Music: return "Music" + std::to_string(b.index) + b.type;
    case BlockKind::Background: return "background" + b.type;
    case BlockKind::Splash: return "splash" + b.type;
    case BlockKind::Picture: return "Picture" + std::to_string(b.index) + b.type;
    case BlockKind::PictureSound: return "PictureSound" + std::to_string(b.index) + b.type;
  }
  return {};
}

uint64_t Read(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Where a little-endian ELF program ends (its last segment or section header
// table); 0 when the file does not start with one.
int64_t ElfEnd(InputFile& in) {
  uint8_t h[64] = {};
  if (in.Size() < 52 || !in.ReadAt(0, h, std::min<int64_t>(64, in.Size()))) return 0;
  if (h[0] != 0x7F || h[1] != 'E' || h[2] != 'L' || h[3] != 'F' || h[5] != 1) return 0;
  const bool wide = h[4] == 2;
  const uint64_t phoff = wide ? Read(h + 32, 8) : Read(h + 28, 4);
  const uint64_t shoff = wide ? Read(h + 40, 8) : Read(h + 32, 4);
  const uint64_t phentsize = Read(h + (wide ? 54 : 42), 2);
  const uint64_t phnum = Read(h + (wide ? 56 : 44), 2);
  const uint64_t shentsize = Read(h + (wide ? 58 : 46), 2);
  const uint64_t shnum = Read(h + (wide ? 60 : 48), 2);
  uint64_t end = shoff + shnum * shentsize;
  for (uint64_t i = 0; i < phnum && phentsize >= (wide ? 48u : 32u); ++i) {
    uint8_t ph[56];
    if (!in.ReadAt(static_cast<int64_t>(phoff + i * phentsize), ph, wide ? 56 : 32)) return 0;
    const uint64_t off = wide ? Read(ph + 8, 8) : Read(ph + 4, 4);
    const uint64_t filesz = wide ? Read(ph + 32, 8) : Read(ph + 16, 4);
    end = std::max(end, off + filesz);
  }
  return static_cast<int64_t>(end);
}

}  // namespace

PackageLayout InspectPackage(const std::string& path) {
  PackageLayout layout;
  PackageReader reader(path);
  if (!reader.IsOpen()) {
    layout.problems.push_back("cannot open " + path);
    return layout;
  }
  layout.fileSize = reader.FileSize();
  layout.marker = reader.ReadMarker();
  layout.packageStart = layout.fileSize;
  if (layout.marker != kPackageMarker) {
    layout.problems.push_back("no package: the marker is " + std::to_string(layout.marker) + ", not 1");
    return layout;
  }
  std::optional<std::string> text = reader.ReadSettingsBlock();
  if (!text) {
    layout.problems.push_back("reading stopped at " + reader.StopReason());
    return layout;
  }
  layout.settingsLength = static_cast<int64_t>(text->size());
  layout.blocks.push_back(LayoutBlock{"settings", "screensaversetup.ini", reader.Position(),
                                      layout.settingsLength, ".ini", true});
  const IniFile settings = IniFile::FromText(*text);

  // Every picture of ImageCount is walked so that the front of the package is
  // known; those beyond the ones a show reads are counted, not listed.
  for (const PlannedBlock& b : PlanBlocks(settings, INT32_MAX)) {
    if (b.size == 0) continue;
    if (!reader.Skip(b.size, b.name)) break;
    const bool unread =
        (b.kind == BlockKind::Picture || b.kind == BlockKind::PictureSound) && b.index >= kMaxPictures;
    if (unread) {
      if (b.kind == BlockKind::Picture) ++layout.unreadPictures;
      continue;
    }
    LayoutBlock block{b.name, FileNameOf(b), reader.Position(), b.size, b.type, IsSafeBlockType(b.type)};
    if (!block.safe) layout.problems.push_back(b.name + ": type \"" + b.type + "\" is not a safe file name");
    layout.blocks.push_back(std::move(block));
  }
  layout.packageStart = reader.Position();
  if (reader.Stopped()) {
    layout.problems.push_back("reading stopped at " + reader.StopReason());
    return layout;
  }
  auto in = InputFile::Open(path);
  const int64_t programEnd = in ? ElfEnd(*in) : 0;
  if (programEnd > 0 && programEnd != layout.packageStart)
    layout.problems.push_back("the package starts at " + std::to_string(layout.packageStart) +
                              " but the program ends at " + std::to_string(programEnd));
  return layout;
}

int ExtractPackageBlocks(const std::string& path, const PackageLayout& layout, const std::string& dir) {
  auto in = InputFile::Open(path);
  if (!in) throw std::runtime_error("cannot open " + path);
  if (!FolderExists(dir) && !CreateFolder(dir)) throw std::runtime_error("cannot create folder " + dir);
  std::vector<uint8_t> buffer(kCopyBufferSize);
  int written = 0;
  for (const LayoutBlock& b : layout.blocks) {
    if (!b.safe || b.size <= 0) continue;
    const std::string target = dir + "/" + b.file;
    switch (CopyBlock(*in, b.offset, b.size, target, buffer)) {
      case CopyResult::Done:
        ++written;
        break;
      case CopyResult::ReadFailed:
        throw std::runtime_error("cannot read " + b.name + " of " + path);
      case CopyResult::WriteFailed:
        throw std::runtime_error("cannot write " + target);
    }
  }
  return written;
}

}  // namespace ls
