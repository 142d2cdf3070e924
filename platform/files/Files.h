#pragma once
// The file side of the platform: folders, the program file, deletion and the
// shell. Paths built by the core may mix "\" and "/" as separators; every
// function here accepts them so (on POSIX "\" is taken as "/", on Windows "/"
// as "\"). Paths are UTF-8 on both systems.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// <windows.h> names its DeleteFile function by a macro, which would rename
// ours in any file that includes both.
#ifdef DeleteFile
#undef DeleteFile
#endif

namespace ls {

// A platform folder that cannot be used safely (a temporary folder that is a
// link or belongs to someone else, or one that cannot be made).
class FolderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The per-user temporary folder, always ending with a separator. Windows: the
// system's (GetTempPath). POSIX: $TMPDIR when set, else $XDG_RUNTIME_DIR, else /tmp/lanternslide-<uid>/
// (created with mode 0700; refused with FolderError when it is a link or is
// owned by someone else).
std::string GetTempFolder();
// The private folder parent + "/lanternslide-<uid>/" that GetTempFolder falls
// back to (with parent "/tmp"): created with mode 0700, refused with
// FolderError when it is a link, not a folder, or owned by someone else.
std::string PrivateTempFolderIn(const std::string& parent);
// Home of the user settings files. Windows: %APPDATA%\lanternslide (the
// Windows folder itself is not writable for a normal user). POSIX:
// $XDG_CONFIG_HOME/lanternslide, else
// ~/.config/lanternslide (the home from $HOME or the password database),
// created on demand (no trailing separator). When it cannot be created the
// path is still returned: reading finds no file, writing reports the error.
// FolderError only when the user has no home (or application data) folder.
std::string GetWindowsFolder();
// Full path of the running program file.
std::string ProgramFilePath();
// The file's name without folder and without its extension (from the last
// dot); a name without a dot is returned whole.
std::string ProgramBaseName(const std::string& programPath);

// The path as the operating system takes it ("\" becomes "/" on POSIX).
std::string NativePath(const std::string& path);
// True when something (file or folder) exists at path; links are not followed.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates one folder (its parent must exist); true when it exists afterwards.
bool CreateFolder(const std::string& path);
// Deletes one file; true when it was deleted.
bool DeleteFile(const std::string& path);
// Deletes a folder with everything in it; never follows links; errors ignored.
void DeleteFolderTree(const std::string& path);
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);
// Writes through a temporary file beside the target and renames it over, so
// the target holds either its old or its new content. False on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);
// Renames a file over another (atomic on one file system); true on success.
bool RenameFile(const std::string& from, const std::string& to);
// Adds execute permission for everyone who may read the file.
bool MakeExecutable(const std::string& path);

// A file read at any offset; the running program file can be opened so.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // nullptr when the file cannot be opened for reading.
  static std::unique_ptr<InputFile> Open(const std::string& path);
  virtual int64_t Size() const = 0;
  // Reads exactly n bytes at offset; false when they are not all there.
  virtual bool ReadAt(int64_t offset, void* buffer, size_t n) = 0;
};

// A file written from its start (created, or truncated when it exists).
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // nullptr when the file cannot be created.
  static std::unique_ptr<OutputFile> Create(const std::string& path);
  // Appends n bytes; false on a write error (disk full, ...).
  virtual bool Write(const void* data, size_t n) = 0;
  // Flushes and closes; false when anything written was lost.
  virtual bool Close() = 0;
};

// Opens a document or address with the desktop's handler (detached; the
// result is not checked).
void ShellOpen(const std::string& target);

}  // namespace ls
