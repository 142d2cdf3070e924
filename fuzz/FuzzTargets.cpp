#include "fuzz/FuzzTargets.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "package/IniFile.h"
#include "package/Package.h"
#include "package/Settings.h"
#include "platform/files/Files.h"
#include "platform/graphics/Picture.h"
#include "shell/CommandLine.h"

namespace ls::fuzz {
namespace fs = std::filesystem;

namespace {

// A temporary folder of this process alone, made the program's temporary
// folder so that extraction lands inside it.
const fs::path& Scratch() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("lanternslide-fuzz-" + std::to_string(getpid()));
    fs::remove_all(d);
    fs::create_directories(d / "tmp");
    fs::create_directories(d / "config");
    setenv("TMPDIR", (d / "tmp").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (d / "config").c_str(), 1);
    std::atexit([] { std::error_code ec; fs::remove_all(Scratch(), ec); });
    return d;
  }();
  return dir;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

}  // namespace

void FuzzPackage(const uint8_t* data, size_t size) {
  const fs::path tmp = Scratch() / "tmp";
  const fs::path program = Scratch() / "Saver.scr";
  {
    std::ofstream out(program, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::string path = program.string();
  if (ReadPackageMarker(path) == kPackageMarker) {
    ShowPackage extracted = ExtractShowPackage(path, [](const IniFile&) { return true; });
    IniFile settings(extracted.settingsPath);
    (void)ReadShowSettings(settings, extracted.media);
    // Everything the show wrote lies in its working folder.
    for (const auto& entry : fs::directory_iterator(tmp))
      Check(entry.path().filename() == "screensavertempdirectory", "file outside the working folder");
    DeleteFolderTree(extracted.workingFolder);
  }
  (void)ReadPreviewPackage(path);
  (void)ReadDialogPackage(path);
  for (const auto& entry : fs::directory_iterator(tmp))
    Check(false, ("left behind: " + entry.path().string()).c_str());
}

void FuzzProfile(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  IniFile ini = IniFile::FromText(text);
  MediaPaths media = ReadDirectRunMediaPaths(ini);
  ShowSettings show = ReadShowSettings(ini, media);
  Check(show.ImageCount >= 0 && show.ImageCount <= kMaxPictures, "image count out of range");
  Check(static_cast<int>(show.Pictures.size()) == show.ImageCount, "picture table size");
  (void)DirectRunPreferences(ini);
  (void)ReadSettingDialogSettings(ini);
  (void)ReadPreviewSettings(ini);
  (void)ReadPackageId(ini);
  // The user settings rule against a user file made of the same text.
  const fs::path user = Scratch() / "user.ini";
  {
    std::ofstream out(user, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  (void)ChoosePreferences(ini, user.string());
}

void FuzzPicture(const uint8_t* data, size_t size, const std::string& extension) {
  PictureError error = PictureError::kNone;
  PictureLoadOptions fit;
  fit.fitWidth = 64;
  fit.fitHeight = 48;
  for (const PictureLoadOptions& options : {PictureLoadOptions{}, fit}) {
    auto picture = LoadPictureMemory({data, size}, extension, &error, options);
    if (picture) {
      Check(error == PictureError::kNone, "picture with an error");
      Check(static_cast<int64_t>(picture->Width()) * picture->Height() <= kMaxPicturePixels,
            "picture above the pixel limit");
    } else {
      Check(error != PictureError::kNone, "failure without an error");
    }
  }
}

void FuzzCommandLine(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back().push_back(static_cast<char>(data[i]));
  }
  if (size == 0) args.clear();
  const TCommandLine line = ParseCommandLine(args);
  Check(line.RunMode == TRunMode::Show || line.RunMode == TRunMode::Configure ||
            line.RunMode == TRunMode::Preview,
        "run mode out of range");
  if (line.RunMode != TRunMode::Preview) Check(line.PreviewParent == 0, "parent outside preview");
}

bool RunTarget(const std::string& name, const uint8_t* data, size_t size) {
  if (name == "package") FuzzPackage(data, size);
  else if (name == "profile") FuzzProfile(data, size);
  else if (name == "picture_jpg") FuzzPicture(data, size, ".jpg");
  else if (name == "picture_gif") FuzzPicture(data, size, ".gif");
  else if (name == "picture_bmp") FuzzPicture(data, size, ".bmp");
  else if (name == "picture_ico") FuzzPicture(data, size, ".ico");
  else if (name == "cmdline") FuzzCommandLine(data, size);
  else return false;
  return true;
}

}  // namespace ls::fuzz
