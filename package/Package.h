#pragma once
// The screensaver package appended to the player's file, read backwards from
// the end: marker (u32, 1 = package), settings length L (u32), the settings
// block (L bytes), then the media blocks towards the front, each block's size
// and type from keys of the settings file:
//   preview image, banner image, readme text, music 1..MusicCount,
//   background (only when BackgroundMod = 2), splash, and for picture
//   0, 1, ... the picture followed (towards the front) by its sound.
// All integers are little-endian; sizes are signed 32-bit.
//
// Blocks go through one fixed copy buffer, so memory stays bounded by the
// buffer whatever the size of a block. A bad size (negative, or reaching
// before the start of the file) stops the reading at that block; what was read
// before stays usable. A block whose type would make an unsafe file name is
// passed over without being written.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/IniFile.h"
#include "package/Settings.h"

namespace ls {

class InputFile;

inline constexpr uint32_t kPackageMarker = 1;
// Size of the one copy buffer that every block passes through.
inline constexpr size_t kCopyBufferSize = 1 << 20;
// Largest block handed back in memory (preview image, banner, readme).
inline constexpr int32_t kMaxMemoryBlock = 64 << 20;
// Longest type (file extension) a block may have.
inline constexpr size_t kMaxTypeLength = 16;

// True when `type` can end a file name inside the working folder: no "/",
// "\", "..", control character, and at most kMaxTypeLength characters.
bool IsSafeBlockType(const std::string& type);

enum class BlockKind { Preview, Banner, Readme, Music, Background, Splash, Picture, PictureSound };

// One media block of the package, as the settings file describes it.
struct PlannedBlock {
  BlockKind kind;
  int index;         // picture index from 0, track number from 1, else 0
  int32_t size;      // as read; 0 = absent
  std::string type;  // extension with its dot, may be empty
  std::string name;  // a person's name for it: "picture 3", "music 1", ...
};

// The media blocks in reading order (from the end of the file towards the
// front). `pictureLimit` cuts the pictures (readers: kMaxPictures; the writer
// writes every picture of ImageCount). The background block is listed only
// when BackgroundMod = 2.
std::vector<PlannedBlock> PlanBlocks(const IniFile& settings, int32_t pictureLimit = kMaxPictures);

// Reads a package from the end of a file, one block at a time.
class PackageReader {
 public:
  // Opens the file read-only; IsOpen() tells whether that worked.
  explicit PackageReader(const std::string& path, size_t bufferSize = kCopyBufferSize);
  ~PackageReader();
  PackageReader(const PackageReader&) = delete;
  PackageReader& operator=(const PackageReader&) = delete;

  bool IsOpen() const;
  int64_t FileSize() const;
  // The current position: the first byte of the last block read.
  int64_t Position() const { return position_; }

  // The u32 at end - 4; 0 when the file is shorter than 8 bytes.
  uint32_t ReadMarker();
  // Reads the settings length at end - 8 and the settings block, leaving the
  // position at the block's start. nullopt (and stopped) when the length
  // reaches before the start of the file.
  std::optional<std::string> ReadSettingsBlock();
  // Moves back over a block without reading it.
  bool Skip(int32_t size, const std::string& name);
  // Reads a block (size <= kMaxMemoryBlock) into memory.
  std::optional<std::vector<uint8_t>> ReadToMemory(int32_t size, const std::string& name);
  // Reads a block into the file at path (created or overwritten) through the
  // copy buffer. False when stopped or the file could not be written (the
  // position still moves over the block then).
  bool ReadToFile(int32_t size, const std::string& path, const std::string& name);

  // True once a bad block has stopped the reading; later calls do nothing.
  bool Stopped() const { return stopped_; }
  // Why the reading stopped, naming the block ("" when not stopped).
  const std::string& StopReason() const { return stopReason_; }

 private:
  bool Back(int32_t size, const std::string& name);
  void Stop(const std::string& reason);

  std::unique_ptr<InputFile> file_;
  std::vector<uint8_t> buffer_;
  int64_t position_ = 0;
  bool stopped_ = false;
  std::string stopReason_;
};

// Reads the package marker of a file (0 when it cannot be read).
uint32_t ReadPackageMarker(const std::string& programPath);

// The working folder: GetTempFolder() + "screensavertempdirectory".
std::string WorkingFolderPath();
// Deletes an older working folder, creates it and its subfolders "\musics",
// "\background", "\splash" and "\pictures" (creation failures unchecked).
void PrepareWorkingFolder(const std::string& workingFolder);

// What a show's start-up got out of its package.
struct ShowPackage {
  std::string workingFolder;
  std::string settingsPath;  // WorkingFolder + "\screensaversetup.ini"
  MediaPaths media;          // built paths; a path of an absent block names no file
  bool stoppedOnBadBlock = false;
  std::string stopReason;    // names the bad block
  int unwrittenBlocks = 0;   // blocks that could not be written to disk
};

// Called once the settings file is unpacked, before the background block is
// reached; returns UserShowBackground (the preferences are chosen there).
using BackgroundChoice = std::function<bool(const IniFile& settings)>;

// The show's whole extraction: prepares the working folder, unpacks the
// settings file, passes over preview, banner and readme, asks
// `userShowsBackground` (null: true), unpacks music, background (or passes
// over it), splash, and pictures with their sounds. A bad or unsafe block is
// reported with one line on standard error. A file whose marker is not 1 is
// left alone: the result is stopped, with no working folder. Throws
// FolderError when the temporary folder is refused (see GetTempFolder).
ShowPackage ExtractShowPackage(const std::string& programPath,
                               const BackgroundChoice& userShowsBackground);

// The settings block and the preview image, read into memory (preview mode).
struct PreviewPackage {
  IniFile settings;
  PreviewSettings preview;
  std::optional<std::vector<uint8_t>> previewImage;  // nullopt: the built-in picture
};
// nullopt when the file carries no package (marker not 1) or its settings
// block cannot be read.
std::optional<PreviewPackage> ReadPreviewPackage(const std::string& programPath);

// The settings block, banner image and readme text, read into memory
// (settings dialog).
struct DialogPackage {
  IniFile settings;
  SettingDialogSettings dialog;
  std::optional<std::vector<uint8_t>> bannerImage;  // nullopt: the built-in banner
  std::optional<std::string> readme;                // display text; nullopt: the default note
};
// nullopt when the file carries no package (marker not 1) or its settings
// block cannot be read.
std::optional<DialogPackage> ReadDialogPackage(const std::string& programPath);

}  // namespace ls
