// POSIX implementation of the file side of the platform.
#include "platform/files/Files.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

extern char** environ;

namespace ls {

namespace fs = std::filesystem;

namespace {

std::string EnvOrEmpty(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string WithTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

// Creates `path` and its missing parents with `mode`; true when a folder is there.
bool CreateFolders(const std::string& path, mode_t mode) {
  std::string native = NativePath(path);
  if (native.empty()) return false;
  for (size_t i = 1; i <= native.size(); ++i) {
    if (i == native.size() || native[i] == '/') {
      std::string part = native.substr(0, i);
      if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat st {};
  return ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(int fd, int64_t size) : fd_(fd), size_(size) {}
  ~PosixInputFile() override { ::close(fd_); }
  int64_t Size() const override { return size_; }
  bool ReadAt(int64_t offset, void* buffer, size_t n) override {
    if (offset < 0 || offset > size_ || static_cast<int64_t>(n) > size_ - offset) return false;
    auto* out = static_cast<char*>(buffer);
    while (n > 0) {
      ssize_t got = ::pread(fd_, out, n, offset);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      out += got;
      offset += got;
      n -= static_cast<size_t>(got);
    }
    return true;
  }

 private:
  int fd_;
  int64_t size_;
};

class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Write(const void* data, size_t n) override {
    if (fd_ < 0) return false;
    const auto* in = static_cast<const char*>(data);
    while (n > 0) {
      ssize_t put = ::write(fd_, in, n);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        ok_ = false;
        return false;
      }
      in += put;
      n -= static_cast<size_t>(put);
    }
    return true;
  }
  bool Close() override {
    if (fd_ < 0) return ok_;
    if (::close(fd_) != 0) ok_ = false;
    fd_ = -1;
    return ok_;
  }

 private:
  int fd_;
  bool ok_ = true;
};

}  // namespace

std::string NativePath(const std::string& path) {
  std::string out = path;
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::string GetTempFolder() {
  std::string tmp = EnvOrEmpty("TMPDIR");
  if (!tmp.empty()) return WithTrailingSlash(NativePath(tmp));
  std::string runtime = EnvOrEmpty("XDG_RUNTIME_DIR");
  if (!runtime.empty()) return WithTrailingSlash(NativePath(runtime));
  return PrivateTempFolderIn("/tmp");
}

std::string PrivateTempFolderIn(const std::string& parent) {
  // A folder of our own in a shared folder: made private, and refused when
  // someone else prepared it for us (a link or a folder of another user).
  const uid_t uid = ::getuid();
  std::string base = NativePath(parent);
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  const std::string folder = base + "/lanternslide-" + std::to_string(uid);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw FolderError("cannot create temporary folder " + folder + ": " + std::strerror(errno));
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0)
    throw FolderError("cannot use temporary folder " + folder + ": " + std::strerror(errno));
  if (S_ISLNK(st.st_mode) || !S_ISDIR(st.st_mode))
    throw FolderError("temporary folder " + folder + " is not a plain folder");
  if (st.st_uid != uid) throw FolderError("temporary folder " + folder + " belongs to another user");
  if ((st.st_mode & 0077) != 0 && ::chmod(folder.c_str(), 0700) != 0)
    throw FolderError("cannot make temporary folder " + folder + " private");
  return folder + "/";
}

std::string GetWindowsFolder() {
  std::string base = EnvOrEmpty("XDG_CONFIG_HOME");
  if (base.empty()) {
    std::string home = EnvOrEmpty("HOME");
    if (home.empty()) {
      const struct passwd* pw = ::getpwuid(::getuid());
      if (pw && pw->pw_dir) home = pw->pw_dir;
    }
    if (home.empty()) throw FolderError("the user has no home folder for settings");
    base = home + "/.config";
  }
  std::string folder = NativePath(base);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  folder += "/lanternslide";
  CreateFolders(folder, 0700);  // a failure shows when the settings are written
  return folder;
}

std::string ProgramFilePath() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return p.string();
}

std::string ProgramBaseName(const std::string& programPath) {
  std::string native = NativePath(programPath);
  size_t slash = native.find_last_of('/');
  std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::lstat(NativePath(path).c_str(), &st) == 0;
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return ::lstat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::string& path) {
  const std::string native = NativePath(path);
  if (::mkdir(native.c_str(), 0777) == 0) return true;
  return errno == EEXIST && FolderExists(native);
}

bool DeleteFile(const std::string& path) { return ::unlink(NativePath(path).c_str()) == 0; }

void DeleteFolderTree(const std::string& path) {
  std::error_code ec;
  fs::remove_all(fs::path(NativePath(path)), ec);  // does not follow links
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  auto in = InputFile::Open(path);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(in->Size()));
  if (!bytes.empty() && !in->ReadAt(0, bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

namespace {
// Temporary files of earlier writes to `native` whose writer is gone (killed
// between creating and renaming): without this every such crash would leave
// one more file beside the user's settings.
void RemoveStaleTemporaries(const std::string& native) {
  const fs::path target(native);
  const std::string prefix = target.filename().string() + ".tmp-";
  std::error_code ec;
  fs::directory_iterator it(target.has_parent_path() ? target.parent_path() : fs::path("."), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
    if (pid <= 0 || pid > INT_MAX || *end != '-') continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
  }
}
}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string native = NativePath(path);
  RemoveStaleTemporaries(native);
  std::string temp = native + ".tmp-" + std::to_string(::getpid()) + "-" +
                     std::to_string(std::random_device{}() & 0xffffff);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // Keep the permissions of the file being replaced.
  struct stat st {};
  if (::stat(native.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
  PosixOutputFile out(fd);
  bool ok = out.Write(bytes.data(), bytes.size());
  ok = ok && ::fsync(fd) == 0;
  ok = out.Close() && ok;
  if (ok && ::rename(temp.c_str(), native.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool MakeExecutable(const std::string& path) {
  const std::string native = NativePath(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  if (mode & S_IRUSR) mode |= S_IXUSR;
  if (mode & S_IRGRP) mode |= S_IXGRP;
  if (mode & S_IROTH) mode |= S_IXOTH;
  return ::chmod(native.c_str(), mode) == 0;
}

std::unique_ptr<InputFile> InputFile::Open(const std::string& path) {
  int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixInputFile>(fd, static_cast<int64_t>(st.st_size));
}

std::unique_ptr<OutputFile> OutputFile::Create(const std::string& path) {
  int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixOutputFile>(fd);
}

void ShellOpen(const std::string& target) {
  if (target.empty()) return;
  // A short-lived shell starts the opener in the background and exits at
  // once, so the opener is not our child and never becomes a zombie. The
  // target travels as an argument, never as shell text.
  const char* argv[] = {"/bin/sh", "-c", "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &", "sh",
                        target.c_str(), nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    return;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace ls
