#include "platform/files/Files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/files/Encoding.h"
#include "tests/package/DisplayTextCases.h"
#include "tests/package/TestFolder.h"

namespace ls {
namespace {

namespace fs = std::filesystem;

TEST(FilesTest, TemporaryFolderFollowsTheEnvironment) {
  test::TestFolder dir;
  setenv("TMPDIR", "/some/where", 1);
  EXPECT_EQ(GetTempFolder(), "/some/where/");
  setenv("TMPDIR", "/some/where/", 1);
  EXPECT_EQ(GetTempFolder(), "/some/where/");
  unsetenv("TMPDIR");
  setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
  EXPECT_EQ(GetTempFolder(), "/run/user/1000/");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(GetTempFolder(), "/tmp/lanternslide-" + std::to_string(getuid()) + "/");
}

TEST(FilesTest, PrivateTemporaryFolderIsMadePrivateOrRefused) {
  test::TestFolder dir;
  const std::string name = "lanternslide-" + std::to_string(getuid());
  EXPECT_THROW(PrivateTempFolderIn(dir.Path("missing-parent")), FolderError);

  const std::string shared = dir.Path("shared");
  fs::create_directory(shared);
  EXPECT_EQ(PrivateTempFolderIn(shared), shared + "/" + name + "/");
  struct stat st {};
  ASSERT_EQ(stat((shared + "/" + name).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  chmod((shared + "/" + name).c_str(), 0755);  // loosened: made private again
  EXPECT_EQ(PrivateTempFolderIn(shared + "/"), shared + "/" + name + "/");
  ASSERT_EQ(stat((shared + "/" + name).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // Prepared by someone else: a link to elsewhere, a plain file, another owner.
  const std::string linked = dir.Path("linked");
  fs::create_directories(linked);
  fs::create_directory_symlink(dir.Path("tmp"), linked + "/" + name);
  EXPECT_THROW(PrivateTempFolderIn(linked), FolderError);
  const std::string filed = dir.Path("filed");
  fs::create_directories(filed);
  test::WriteFile(filed + "/" + name, "x");
  EXPECT_THROW(PrivateTempFolderIn(filed), FolderError);
  if (getuid() == 0) {
    const std::string foreign = dir.Path("foreign");
    fs::create_directories(foreign + "/" + name);
    ASSERT_EQ(chown((foreign + "/" + name).c_str(), 4321, 4321), 0);
    EXPECT_THROW(PrivateTempFolderIn(foreign), FolderError);
  }
}

TEST(FilesTest, WindowsFolderIsCreatedOnDemand) {
  test::TestFolder dir;
  EXPECT_EQ(GetWindowsFolder(), dir.Path("config") + "/lanternslide");
  EXPECT_TRUE(fs::is_directory(dir.Path("config") + "/lanternslide"));
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", dir.Path("home").c_str(), 1);
  EXPECT_EQ(GetWindowsFolder(), dir.Path("home") + "/.config/lanternslide");
  EXPECT_TRUE(fs::is_directory(dir.Path("home") + "/.config/lanternslide"));
}

TEST(FilesTest, ProgramBaseNameAndNativePath) {
  const std::pair<const char*, const char*> names[] = {
      {"/opt/savers/Lakes.scr", "Lakes"}, {"Lakes.scr", "Lakes"},     {"/usr/bin/lanternslide", "lanternslide"},
      {"/a/b.c/noext", "noext"},          {"/x/archive.tar.gz", "archive.tar"}, {"C:\\Savers\\Sea.scr", "Sea"},
      {"/x/.hidden", ""}};
  for (const auto& [path, base] : names) EXPECT_EQ(ProgramBaseName(path), base) << path;
  EXPECT_EQ(NativePath("C:\\tmp\\screensavertempdirectory\\screensaversetup.ini"),
            "C:/tmp/screensavertempdirectory/screensaversetup.ini");
  EXPECT_EQ(ProgramBaseName(ProgramFilePath()), "test_package");
}

TEST(FilesTest, MixedSeparatorsReachTheSameFile) {
  test::TestFolder dir;
  const std::string folder = dir.Path("work");
  EXPECT_TRUE(CreateFolder(folder));
  EXPECT_TRUE(CreateFolder(folder + "\\pictures"));
  EXPECT_TRUE(WriteFileAtomically(folder + "\\pictures/Picture0.jpg", "abc"));
  EXPECT_TRUE(FileExists(folder + "/pictures\\Picture0.jpg"));
  EXPECT_EQ(test::ReadFile(folder + "/pictures/Picture0.jpg"), "abc");
  EXPECT_TRUE(DeleteFile(folder + "\\pictures\\Picture0.jpg"));
  EXPECT_FALSE(FileExists(folder + "/pictures/Picture0.jpg"));
}

TEST(FilesTest, DeleteFolderTreeNeverFollowsLinks) {
  test::TestFolder dir;
  fs::create_directories(dir.Path("keep"));
  test::WriteFile(dir.Path("keep/precious"), "x");
  fs::create_directories(dir.Path("tree/sub"));
  test::WriteFile(dir.Path("tree/sub/file"), "y");
  fs::create_directory_symlink(dir.Path("keep"), dir.Path("tree/link"));
  DeleteFolderTree(dir.Path("tree"));
  EXPECT_FALSE(fs::exists(dir.Path("tree")));
  EXPECT_TRUE(fs::exists(dir.Path("keep/precious")));
  DeleteFolderTree(dir.Path("not-there"));  // errors are ignored
}

TEST(FilesTest, AtomicWriteKeepsPermissionsAndLeavesNoTemporaryFile) {
  test::TestFolder dir;
  const std::string path = dir.Path("f.ini");
  test::WriteFile(path, "old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_TRUE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(test::ReadFile(path), "new");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  int entries = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 3);  // f.ini, tmp, config
  EXPECT_FALSE(WriteFileAtomically(dir.Path("missing/f.ini"), "x"));
  fs::create_directory(dir.Path("adir"));
  EXPECT_FALSE(WriteFileAtomically(dir.Path("adir"), "x"));  // a folder is not replaced
  EXPECT_TRUE(fs::is_directory(dir.Path("adir")));
}

TEST(FilesTest, InputFileReadsOnlyWhatIsThere) {
  test::TestFolder dir;
  test::WriteFile(dir.Path("f"), "0123456789");
  auto in = InputFile::Open(dir.Path("f"));
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Size(), 10);
  char buf[4] = {};
  EXPECT_TRUE(in->ReadAt(6, buf, 4));
  EXPECT_EQ(std::string(buf, 4), "6789");
  EXPECT_FALSE(in->ReadAt(7, buf, 4));
  EXPECT_FALSE(in->ReadAt(-1, buf, 1));
  EXPECT_FALSE(InputFile::Open(dir.Path("none")));
  EXPECT_FALSE(InputFile::Open(dir.Path()));  // a folder is no file
}

TEST(FilesTest, ShellOpenHandsTheTargetOverAsOneArgument) {
  test::TestFolder dir;
  // A stand-in for the desktop's opener that records what it was given.
  const std::string bin = dir.Path("bin");
  fs::create_directories(bin);
  const std::string record = dir.Path("opened");
  test::WriteFile(bin + "/xdg-open", "#!/bin/sh\nprintf '%s|%s' \"$1\" \"$#\" > " + record + ".part && mv " +
                                         record + ".part " + record + "\n");
  fs::permissions(bin + "/xdg-open", fs::perms::owner_all);
  const char* path = getenv("PATH");
  const std::string savedPath = path ? path : "";
  setenv("PATH", (bin + ":" + savedPath).c_str(), 1);
  const std::string target = "http://example.org/a b?c=$(touch " + dir.Path("injected") + ")&d=`id`";
  ShellOpen(target);
  setenv("PATH", savedPath.c_str(), 1);
  // The opener runs detached; wait for its record (bounded, not a timing check).
  for (int i = 0; i < 500 && !fs::exists(record); ++i) usleep(10000);
  EXPECT_EQ(test::ReadFile(record), target + "|1");
  EXPECT_FALSE(fs::exists(dir.Path("injected")));
}

TEST(FilesTest, DisplayTextIsUtf8OrConvertedFromGb18030) {
  for (const auto& [raw, shown] : test::kDisplayTextCases) EXPECT_EQ(ToDisplayText(raw), shown) << raw;
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

}  // namespace
}  // namespace ls
