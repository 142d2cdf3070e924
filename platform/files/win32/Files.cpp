// Win32 implementation of the file side of the platform. Paths are UTF-8 in
// the program and UTF-16 at the system's interfaces, so names in any script
// work whatever the ANSI code page of the machine.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "platform/files/Files.h"
#include "platform/files/win32/WideText.h"

namespace ls {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::wstring W(const std::string& path) { return Widen(NativePath(path)); }

std::string WithTrailingSeparator(std::string path) {
  if (path.empty() || !IsSeparator(path.back())) path += '\\';
  return path;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(W(path).c_str()); }

// Creates `path` and its missing parents; true when a folder is there.
bool CreateFolders(const std::string& path) {
  const std::string native = NativePath(path);
  for (size_t i = 1; i <= native.size(); ++i) {
    if (i == native.size() || native[i] == '\\') {
      const std::string part = native.substr(0, i);
      if (part.size() == 2 && part[1] == ':') continue;  // a drive
      CreateDirectoryW(Widen(part).c_str(), nullptr);
    }
  }
  return FolderExists(native);
}

class Win32InputFile : public InputFile {
 public:
  Win32InputFile(HANDLE file, int64_t size) : file_(file), size_(size) {}
  ~Win32InputFile() override { CloseHandle(file_); }
  int64_t Size() const override { return size_; }
  bool ReadAt(int64_t offset, void* buffer, size_t n) override {
    if (offset < 0 || offset > size_ || static_cast<int64_t>(n) > size_ - offset) return false;
    auto* out = static_cast<char*>(buffer);
    while (n > 0) {
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
      at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(file_, out, chunk, &got, &at) || got == 0) return false;
      out += got;
      offset += got;
      n -= got;
    }
    return true;
  }

 private:
  HANDLE file_;
  int64_t size_;
};

class Win32OutputFile : public OutputFile {
 public:
  explicit Win32OutputFile(HANDLE file) : file_(file) {}
  ~Win32OutputFile() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  bool Write(const void* data, size_t n) override {
    if (file_ == INVALID_HANDLE_VALUE) return false;
    const auto* in = static_cast<const char*>(data);
    while (n > 0) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
      DWORD put = 0;
      if (!WriteFile(file_, in, chunk, &put, nullptr) || put == 0) {
        ok_ = false;
        return false;
      }
      in += put;
      n -= put;
    }
    return true;
  }
  bool Flush() { return file_ != INVALID_HANDLE_VALUE && FlushFileBuffers(file_); }
  bool Close() override {
    if (file_ == INVALID_HANDLE_VALUE) return ok_;
    if (!CloseHandle(file_)) ok_ = false;
    file_ = INVALID_HANDLE_VALUE;
    return ok_;
  }

 private:
  HANDLE file_;
  bool ok_ = true;
};

HANDLE CreateForWriting(const std::string& path, DWORD disposition) {
  return CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

bool ProcessAlive(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;  // someone else's: leave it
  const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return alive;
}

// Temporary files of earlier writes to `native` whose writer is gone (killed
// between creating and renaming): without this every such crash would leave
// one more file beside the user's settings.
void RemoveStaleTemporaries(const std::string& native) {
  const size_t slash = native.find_last_of('\\');
  const std::string folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
  const std::string prefix =
      (slash == std::string::npos ? native : native.substr(slash + 1)) + ".tmp-";
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Widen(folder + prefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Narrow(found.cFileName);
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    char* end = nullptr;
    const unsigned long pid = std::strtoul(name.c_str() + prefix.size(), &end, 10);
    if (pid == 0 || *end != '-') continue;
    if (!ProcessAlive(static_cast<DWORD>(pid))) DeleteFileW(Widen(folder + name).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

std::string NativePath(const std::string& path) {
  std::string out = path;
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

std::string GetTempFolder() {
  wchar_t buffer[MAX_PATH + 2];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH + 1) throw FolderError("the system names no temporary folder");
  const std::string folder = WithTrailingSeparator(Narrow(std::wstring_view(buffer, n)));
  if (!CreateFolders(folder)) throw FolderError("cannot use temporary folder " + folder);
  return folder;
}

std::string PrivateTempFolderIn(const std::string& parent) {
  // The per-user temporary folder of Windows is private already; this is the
  // same private sub-folder the POSIX side makes in a shared folder.
  std::string base = NativePath(parent);
  while (base.size() > 1 && IsSeparator(base.back())) base.pop_back();
  const std::string folder = base + "\\lanternslide";
  if (!CreateFolder(folder)) throw FolderError("cannot create temporary folder " + folder);
  if (Attributes(folder) & FILE_ATTRIBUTE_REPARSE_POINT)
    throw FolderError("temporary folder " + folder + " is not a plain folder");
  return folder + "\\";
}

std::string GetWindowsFolder() {
  // The Windows folder itself is not writable for a normal user; the user
  // settings files live in the user's roaming application data instead.
  std::string base;
  PWSTR known = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &known)))
    base = Narrow(known);
  CoTaskMemFree(known);
  if (base.empty()) {
    const char* appData = std::getenv("APPDATA");
    if (appData) base = appData;
  }
  if (base.empty()) throw FolderError("the user has no application data folder for settings");
  std::string folder = NativePath(base);
  while (folder.size() > 1 && IsSeparator(folder.back())) folder.pop_back();
  folder += "\\lanternslide";
  CreateFolders(folder);  // a failure shows when the settings are written
  return folder;
}

std::string ProgramFilePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramBaseName(const std::string& programPath) {
  const size_t slash = programPath.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? programPath : programPath.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool FileExists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool FolderExists(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const std::string& path) {
  if (CreateDirectoryW(W(path).c_str(), nullptr)) return true;
  return GetLastError() == ERROR_ALREADY_EXISTS && FolderExists(path);
}

bool DeleteFile(const std::string& path) { return DeleteFileW(W(path).c_str()); }

void DeleteFolderTree(const std::string& path) {
  std::string native = NativePath(path);
  while (native.size() > 3 && IsSeparator(native.back())) native.pop_back();
  if (native.empty() || !FolderExists(native)) return;
  // The shell's delete takes a list ended by an empty name.
  std::wstring from = Widen(native);
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);  // errors ignored: what is left stays
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  auto in = InputFile::Open(path);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(in->Size()));
  if (!bytes.empty() && !in->ReadAt(0, bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string native = NativePath(path);
  RemoveStaleTemporaries(native);
  const std::string temp = native + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(std::random_device{}() & 0xffffff);
  HANDLE file = CreateForWriting(temp, CREATE_NEW);
  if (file == INVALID_HANDLE_VALUE) return false;
  Win32OutputFile out(file);
  bool ok = out.Write(bytes.data(), bytes.size());
  ok = ok && out.Flush();
  ok = out.Close() && ok;
  if (ok && MoveFileExW(Widen(temp).c_str(), Widen(native).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(Widen(temp).c_str());
  return false;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return MoveFileExW(W(from).c_str(), W(to).c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool MakeExecutable(const std::string& path) {
  // Windows runs a program by its name; nothing to add.
  return FileExists(path);
}

std::unique_ptr<InputFile> InputFile::Open(const std::string& path) {
  // Others may read, write or delete meanwhile: the running program file is
  // opened so.
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) ||
      (GetFileAttributesW(W(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY)) {
    CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<Win32InputFile>(file, static_cast<int64_t>(size.QuadPart));
}

std::unique_ptr<OutputFile> OutputFile::Create(const std::string& path) {
  HANDLE file = CreateForWriting(path, CREATE_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32OutputFile>(file);
}

void ShellOpen(const std::string& target) {
  if (target.empty()) return;
  ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace ls
