#include "package/Package.h"

#include <algorithm>
#include <cstdio>

#include "package/BlockCopy.h"
#include "platform/files/Encoding.h"
#include "platform/files/Files.h"

namespace ls {

namespace {

uint32_t LittleEndian32(const uint8_t* b) {
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
         (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

void Report(const std::string& line) { std::fprintf(stderr, "lanternslide: %s\n", line.c_str()); }

}  // namespace

bool IsSafeBlockType(const std::string& type) {
  if (type.size() > kMaxTypeLength) return false;
  if (type.find("..") != std::string::npos) return false;
  for (unsigned char c : type)
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7F) return false;
  return true;
}

std::vector<PlannedBlock> PlanBlocks(const IniFile& s, int32_t pictureLimit) {
  std::vector<PlannedBlock> plan;
  auto add = [&](BlockKind kind, int index, int32_t size, std::string type, std::string name) {
    plan.push_back(PlannedBlock{kind, index, size, std::move(type), std::move(name)});
  };
  add(BlockKind::Preview, 0, s.ReadInteger("CustomizePreviewDlg", "PreviewImageDiskSize", 0),
      s.ReadString("CustomizePreviewDlg", "PreviewImageType", ""), "preview image");
  add(BlockKind::Banner, 0, s.ReadInteger("CustomizeSettingDlg", "BannerFileDiskSize", 0),
      s.ReadString("CustomizeSettingDlg", "BannerFileType", ""), "banner image");
  add(BlockKind::Readme, 0, s.ReadInteger("CustomizeSettingDlg", "TxtFileDiskSize", 0), ".txt",
      "readme text");
  const int32_t tracks = ReadMusicCount(s);
  for (int n = 1; n <= tracks; ++n) {
    const std::string k = "Music" + std::to_string(n);
    add(BlockKind::Music, n, s.ReadInteger("Musics", k + "Size", 0), s.ReadString("Musics", k + "Type", ""),
        "music " + std::to_string(n));
  }
  if (s.ReadInteger("Background", "BackgroundMod", 1) == 2)
    add(BlockKind::Background, 0, s.ReadInteger("Background", "BackgroundImageDiskSize", 0),
        s.ReadString("Background", "BackgroundImageType", ""), "background image");
  add(BlockKind::Splash, 0, s.ReadInteger("Splash", "SplashDiskSize", 0),
      s.ReadString("Splash", "SplashScreenImageType", ""), "splash image");
  const int32_t pictures =
      std::clamp(s.ReadInteger("Picture", "ImageCount", 0), 0, std::max(pictureLimit, 0));
  for (int i = 0; i < pictures; ++i) {
    const std::string index = std::to_string(i);
    add(BlockKind::Picture, i, s.ReadInteger("Pictures", "File" + index + "DiskSize", 0),
        s.ReadString("Pictures", "File" + index + "Type", ""), "picture " + index);
    add(BlockKind::PictureSound, i, s.ReadInteger("Pictures", "FileSound" + index + "DiskSize", 0),
        s.ReadString("Pictures", "FileSound" + index + "Type", ""), "sound of picture " + index);
  }
  return plan;
}

// ---------------------------------------------------------------------------
// PackageReader

PackageReader::PackageReader(const std::string& path, size_t bufferSize)
    : file_(InputFile::Open(path)), buffer_(std::max<size_t>(bufferSize, 1)) {
  position_ = file_ ? file_->Size() : 0;
  if (!file_) Stop("cannot open " + path);
}

PackageReader::~PackageReader() = default;

bool PackageReader::IsOpen() const { return file_ != nullptr; }

int64_t PackageReader::FileSize() const { return file_ ? file_->Size() : 0; }

void PackageReader::Stop(const std::string& reason) {
  if (stopped_) return;
  stopped_ = true;
  stopReason_ = reason;
}

uint32_t PackageReader::ReadMarker() {
  uint8_t bytes[4];
  if (!file_ || file_->Size() < 8 || !file_->ReadAt(file_->Size() - 4, bytes, 4)) return 0;
  return LittleEndian32(bytes);
}

std::optional<std::string> PackageReader::ReadSettingsBlock() {
  if (stopped_) return std::nullopt;
  uint8_t bytes[4];
  const int64_t size = file_->Size();
  if (size < 8 || !file_->ReadAt(size - 8, bytes, 4)) {
    Stop("settings block: the file is too short for a package");
    return std::nullopt;
  }
  const int64_t length = LittleEndian32(bytes);
  if (length > size - 8) {
    Stop("settings block: length " + std::to_string(length) + " reaches before the start of the file");
    return std::nullopt;
  }
  if (length > kMaxMemoryBlock) {
    Stop("settings block: length " + std::to_string(length) + " is beyond any settings file");
    return std::nullopt;
  }
  position_ = size - 8 - length;
  std::string text(static_cast<size_t>(length), '\0');
  if (length > 0 && !file_->ReadAt(position_, text.data(), text.size())) {
    Stop("settings block: read error");
    return std::nullopt;
  }
  return text;
}

bool PackageReader::Back(int32_t size, const std::string& name) {
  if (stopped_) return false;
  if (size < 0) {
    Stop(name + ": negative size " + std::to_string(size));
    return false;
  }
  if (size > position_) {
    Stop(name + ": size " + std::to_string(size) + " reaches before the start of the file");
    return false;
  }
  position_ -= size;
  return true;
}

bool PackageReader::Skip(int32_t size, const std::string& name) { return Back(size, name); }

std::optional<std::vector<uint8_t>> PackageReader::ReadToMemory(int32_t size, const std::string& name) {
  if (!Back(size, name)) return std::nullopt;
  if (size > kMaxMemoryBlock) {
    Report(name + ": " + std::to_string(size) + " bytes is too large to load; passed over");
    return std::nullopt;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0 && !file_->ReadAt(position_, bytes.data(), bytes.size())) {
    Stop(name + ": read error");
    return std::nullopt;
  }
  return bytes;
}

bool PackageReader::ReadToFile(int32_t size, const std::string& path, const std::string& name) {
  if (size == 0 || !Back(size, name)) return false;
  switch (CopyBlock(*file_, position_, size, path, buffer_)) {
    case CopyResult::Done:
      return true;
    case CopyResult::ReadFailed:
      Stop(name + ": read error");
      return false;
    case CopyResult::WriteFailed:
      return false;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Readers

uint32_t ReadPackageMarker(const std::string& programPath) {
  PackageReader reader(programPath);
  return reader.ReadMarker();
}

std::string WorkingFolderPath() { return GetTempFolder() + "screensavertempdirectory"; }

void PrepareWorkingFolder(const std::string& workingFolder) {
  if (FileExists(workingFolder)) DeleteFolderTree(workingFolder);
  CreateFolder(workingFolder);
  for (const char* sub : {"\\musics", "\\background", "\\splash", "\\pictures"})
    CreateFolder(workingFolder + sub);
}

ShowPackage ExtractShowPackage(const std::string& programPath,
                               const BackgroundChoice& userShowsBackground) {
  ShowPackage out;
  PackageReader reader(programPath);
  if (reader.ReadMarker() != kPackageMarker) {
    out.stoppedOnBadBlock = true;
    out.stopReason = reader.Stopped() ? reader.StopReason() : "the file carries no package";
    return out;
  }
  const std::string wf = WorkingFolderPath();
  out.workingFolder = wf;
  PrepareWorkingFolder(wf);
  out.settingsPath = wf + "\\screensaversetup.ini";

  std::optional<std::string> text = reader.ReadSettingsBlock();
  IniFile settings = IniFile::FromText(text.value_or(""), out.settingsPath);
  if (text) {
    auto file = OutputFile::Create(out.settingsPath);
    bool ok = file && file->Write(text->data(), text->size());
    if (!file || !file->Close() || !ok) {
      ++out.unwrittenBlocks;
      Report("cannot write " + NativePath(out.settingsPath));
    }
  }

  // Reads one block to `path`, or passes over it when its type is unsafe.
  // Returns the path the block went to, or "" when nothing could go there.
  auto extract = [&](const PlannedBlock& b, const std::string& stem) -> std::string {
    if (!IsSafeBlockType(b.type)) {
      if (reader.Skip(b.size, b.name)) Report(b.name + ": unsafe type; block passed over");
      return "";
    }
    const std::string path = stem + b.type;
    if (b.size != 0 && !reader.ReadToFile(b.size, path, b.name) && !reader.Stopped()) {
      ++out.unwrittenBlocks;
      Report(b.name + ": cannot write " + NativePath(path));
    }
    return path;
  };

  const std::vector<PlannedBlock> plan = PlanBlocks(settings);
  bool askedBackground = false;
  bool showBackground = true;
  auto askBackground = [&] {
    if (!askedBackground) showBackground = userShowsBackground ? userShowsBackground(settings) : true;
    askedBackground = true;
  };
  for (const PlannedBlock& b : plan) {
    switch (b.kind) {
      case BlockKind::Preview:
      case BlockKind::Banner:
        reader.Skip(b.size, b.name);
        break;
      case BlockKind::Readme:
        reader.Skip(b.size, b.name);
        // The preferences are chosen here, before the background is reached.
        askBackground();
        break;
      case BlockKind::Music: {
        std::string path = extract(b, wf + "/musics/Music" + std::to_string(b.index));
        // The track keeps its place in the list even when its block is absent.
        out.media.musicFiles.push_back(path.empty() ? wf + "/musics/Music" + std::to_string(b.index)
                                                    : path);
        break;
      }
      case BlockKind::Background:
        if (b.size == 0) break;
        if (showBackground)
          out.media.backgroundImage = extract(b, wf + "/background/background");
        else
          reader.Skip(b.size, b.name);
        break;
      case BlockKind::Splash:
        if (b.size != 0) out.media.splashImage = extract(b, wf + "/splash/splash");
        break;
      case BlockKind::Picture: {
        std::string path = extract(b, wf + "/pictures/Picture" + std::to_string(b.index));
        out.media.pictures.push_back({path.empty() ? wf + "/pictures/Picture" + std::to_string(b.index)
                                                   : path,
                                      ""});
        break;
      }
      case BlockKind::PictureSound:
        if (b.size != 0)
          out.media.pictures.back().sound =
              extract(b, wf + "/pictures/PictureSound" + std::to_string(b.index));
        break;
    }
  }
  if (reader.Stopped()) {
    out.stoppedOnBadBlock = true;
    out.stopReason = reader.StopReason();
    Report("package reading stopped at " + out.stopReason);
  }
  return out;
}

namespace {

// Opens the package of a file and reads its settings block; nullopt (with a
// line on standard error when the package is damaged) when there is none.
std::optional<IniFile> OpenPackageSettings(PackageReader& reader) {
  if (!reader.IsOpen() || reader.ReadMarker() != kPackageMarker) return std::nullopt;
  std::optional<std::string> text = reader.ReadSettingsBlock();
  if (!text) {
    Report("package reading stopped at " + reader.StopReason());
    return std::nullopt;
  }
  return IniFile::FromText(*text);
}

void ReportStop(const PackageReader& reader) {
  if (reader.Stopped()) Report("package reading stopped at " + reader.StopReason());
}

}  // namespace

std::optional<PreviewPackage> ReadPreviewPackage(const std::string& programPath) {
  PackageReader reader(programPath);
  std::optional<IniFile> settings = OpenPackageSettings(reader);
  if (!settings) return std::nullopt;
  PreviewPackage out{std::move(*settings), {}, std::nullopt};
  out.preview = ReadPreviewSettings(out.settings);
  if (out.preview.PreviewImageDiskSize != 0)
    out.previewImage = reader.ReadToMemory(out.preview.PreviewImageDiskSize, "preview image");
  ReportStop(reader);
  return out;
}

std::optional<DialogPackage> ReadDialogPackage(const std::string& programPath) {
  PackageReader reader(programPath);
  std::optional<IniFile> settings = OpenPackageSettings(reader);
  if (!settings) return std::nullopt;
  DialogPackage out{std::move(*settings), {}, std::nullopt, std::nullopt};
  out.dialog = ReadSettingDialogSettings(out.settings);
  reader.Skip(ReadPreviewSettings(out.settings).PreviewImageDiskSize, "preview image");
  if (out.dialog.BannerFileDiskSize != 0)
    out.bannerImage = reader.ReadToMemory(out.dialog.BannerFileDiskSize, "banner image");
  if (out.dialog.TxtFileDiskSize != 0) {
    if (auto bytes = reader.ReadToMemory(out.dialog.TxtFileDiskSize, "readme text"))
      out.readme = ToDisplayText(std::string(bytes->begin(), bytes->end()));
  }
  ReportStop(reader);
  return out;
}

}  // namespace ls
