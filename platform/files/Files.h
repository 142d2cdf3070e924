#pragma once
// The file side of the platform: folders, the program file, deletion and the
// shell. Paths built by the core may mix "\" and "/" as separators; every
// function here accepts them so (on POSIX "\" is taken as "/").

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ls {

// The per-user temporary folder, always ending with a separator:
// $TMPDIR when set, else $XDG_RUNTIME_DIR, else /tmp/lanternslide-<uid>/
// (created with mode 0700; refused when a link or owned by someone else).
std::string GetTempFolder();
// Home of the user settings files: $XDG_CONFIG_HOME/lanternslide, else
// ~/.config/lanternslide, created on demand (no trailing separator).
std::string GetWindowsFolder();
// Full path of the running program file.
std::string ProgramFilePath();
// The file's name without folder and without its extension (from the last dot).
std::string ProgramBaseName(const std::string& programPath);

// The path as the operating system takes it ("\" becomes "/" on POSIX).
std::string NativePath(const std::string& path);
bool FileExists(const std::string& path);
bool CreateFolder(const std::string& path);
bool DeleteFile(const std::string& path);
// Deletes a folder with everything in it; never follows links; errors ignored.
void DeleteFolderTree(const std::string& path);
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);
// Writes through a temporary file beside the target and renames it over.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// Opens a document or address with the desktop's handler (detached; the
// result is not checked).
void ShellOpen(const std::string& target);

}  // namespace ls
