#include "package/PackageWriter.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <ctime>
#include <memory>
#include <vector>

#include "package/IniFile.h"
#include "package/Package.h"
#include "platform/files/Files.h"

namespace ls {

namespace {

// One medium of the project: where its path is and where its size and type go.
struct Medium {
  std::string section;
  std::string pathKey;
  std::string sizeKey;
  std::string typeKey;  // empty: the block has no type key (the readme)
  bool wanted = true;   // false: the medium is not packed (background not in use)
};

std::string FolderOf(const std::string& path) {
  const std::string native = NativePath(path);
  const size_t slash = native.find_last_of('/');
  return slash == std::string::npos ? "." : native.substr(0, slash == 0 ? 1 : slash);
}

std::string ExtensionOf(const std::string& path) {
  const std::string native = NativePath(path);
  const size_t slash = native.find_last_of('/');
  const size_t dot = native.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return native.substr(dot);
}

std::string NowId() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  char text[32] = "";
  if (const std::tm* tm = std::gmtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", tm);
  return text;
}

void PutLittleEndian32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The output is written under a temporary name and renamed at the end, so a
// failed pack never leaves a half-built screensaver under the real name.
class Output {
 public:
  explicit Output(const std::string& path) : path_(path), temp_(path + ".part") {
    file_ = OutputFile::Create(temp_);
    if (!file_) throw PackError("cannot create " + temp_);
  }
  ~Output() {
    if (file_) {
      file_->Close();
      DeleteFile(temp_);
    }
  }
  void Write(const void* data, size_t n) {
    if (!file_->Write(data, n)) throw PackError("cannot write " + temp_);
  }
  void Append(const std::string& source, int64_t size, std::vector<uint8_t>& buffer) {
    auto in = InputFile::Open(source);
    if (!in) throw PackError("cannot read " + source);
    for (int64_t offset = 0; offset < size;) {
      const size_t n = static_cast<size_t>(std::min<int64_t>(size - offset, static_cast<int64_t>(buffer.size())));
      if (!in->ReadAt(offset, buffer.data(), n)) throw PackError("cannot read " + source);
      Write(buffer.data(), n);
      offset += static_cast<int64_t>(n);
    }
  }
  void Finish() {
    const bool ok = file_->Close();
    file_.reset();
    if (!ok || !RenameFile(temp_, path_)) {
      DeleteFile(temp_);
      throw PackError("cannot write " + path_);
    }
    MakeExecutable(path_);
  }

 private:
  std::string path_;
  std::string temp_;
  std::unique_ptr<OutputFile> file_;
};

}  // namespace

PackSummary PackScreensaver(const std::string& projectPath, const std::string& playerPath,
                            const std::string& outPath) {
  if (!FileExists(projectPath)) throw PackError("cannot read project file " + projectPath);
  IniFile settings(projectPath);
  const std::string projectFolder = FolderOf(projectPath);
  auto resolve = [&](const std::string& path) {
    const std::string native = NativePath(path);
    return native.empty() || native.front() == '/' ? native : projectFolder + "/" + native;
  };

  // The media in reading order (the package is read from its end), which is
  // also the order of PlanBlocks.
  std::vector<Medium> media;
  media.push_back({"CustomizePreviewDlg", "PreviewImage", "PreviewImageDiskSize", "PreviewImageType"});
  media.push_back({"CustomizeSettingDlg", "BannerFile", "BannerFileDiskSize", "BannerFileType"});
  media.push_back({"CustomizeSettingDlg", "TxtFile", "TxtFileDiskSize", ""});
  const int32_t tracks = ReadMusicCount(settings);
  for (int n = 1; n <= tracks; ++n) {
    const std::string k = "Music" + std::to_string(n);
    media.push_back({"Musics", k, k + "Size", k + "Type"});
  }
  // Readers look for a background block only with BackgroundMod = 2.
  media.push_back({"Background", "BackgroundImage", "BackgroundImageDiskSize", "BackgroundImageType",
                   settings.ReadInteger("Background", "BackgroundMod", 1) == 2});
  media.push_back({"Splash", "SplashScreenImage", "SplashDiskSize", "SplashScreenImageType"});
  const int32_t pictures = std::max(settings.ReadInteger("Picture", "ImageCount", 0), 0);
  for (int i = 0; i < pictures; ++i) {
    const std::string k = std::to_string(i);
    media.push_back({"Pictures", "File" + k, "File" + k + "DiskSize", "File" + k + "Type"});
    media.push_back({"Pictures", "File" + k + "Sound", "FileSound" + k + "DiskSize", "FileSound" + k + "Type"});
  }

  struct Block {
    std::string source;
    int64_t size;
  };
  std::vector<Block> blocks;  // reading order
  for (const Medium& m : media) {
    const std::string path = resolve(settings.ReadString(m.section, m.pathKey, ""));
    settings.DeleteKey(m.section, m.pathKey);
    settings.DeleteKey(m.section, m.sizeKey);
    if (!m.typeKey.empty()) settings.DeleteKey(m.section, m.typeKey);
    if (path.empty() || !m.wanted) continue;
    auto in = InputFile::Open(path);
    if (!in) throw PackError("cannot read " + path);
    const int64_t size = in->Size();
    if (size > INT32_MAX) throw PackError(path + " is larger than a package block can be (2 GiB)");
    if (size == 0) continue;  // an empty medium is an absent block
    const std::string type = ExtensionOf(path);
    if (!m.typeKey.empty() && !IsSafeBlockType(type))
      throw PackError("the extension of " + path + " cannot name an extracted file");
    settings.SetString(m.section, m.sizeKey, std::to_string(size));
    if (!m.typeKey.empty()) settings.SetString(m.section, m.typeKey, type);
    blocks.push_back({path, size});
  }
  // Each build gets its identity, which ties the user's settings to it.
  if (settings.ReadString("Identify", "Id", "").empty()) settings.SetString("Identify", "Id", NowId());
  const std::string text = settings.Text();

  auto player = InputFile::Open(playerPath);
  if (!player) throw PackError("cannot read player " + playerPath);
  std::vector<uint8_t> buffer(kCopyBufferSize);
  Output out(outPath);
  out.Append(playerPath, player->Size(), buffer);
  PackSummary summary;
  for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) {
    out.Append(it->source, it->size, buffer);
    summary.packageBytes += it->size;
    ++summary.blocks;
  }
  std::string trailer = text;
  PutLittleEndian32(trailer, static_cast<uint32_t>(text.size()));
  PutLittleEndian32(trailer, kPackageMarker);
  out.Write(trailer.data(), trailer.size());
  summary.packageBytes += static_cast<int64_t>(trailer.size());
  out.Finish();
  return summary;
}

}  // namespace ls
