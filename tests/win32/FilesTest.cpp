// The Windows file side: folders, the program file, atomic writes, deletion
// and display text, on the real system (under Wine in CI).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/files/Encoding.h"
#include "platform/files/Files.h"
#include "platform/files/win32/WideText.h"
#include "tests/package/DisplayTextCases.h"

namespace ls {
namespace {

// A fresh folder in the temporary folder, deleted with everything in it.
class Sandbox {
 public:
  Sandbox() {
    path_ = GetTempFolder() + "ls-files-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount());
    EXPECT_TRUE(CreateFolder(path_));
  }
  ~Sandbox() { DeleteFolderTree(path_); }
  std::string Path(const std::string& name) const { return path_ + "\\" + name; }
  const std::string& Root() const { return path_; }

 private:
  std::string path_;
};

std::string ReadText(const std::string& path) {
  auto bytes = ReadWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

bool WriteText(const std::string& path, const std::string& text) {
  auto out = OutputFile::Create(path);
  return out && out->Write(text.data(), text.size()) && out->Close();
}

// The id of a process that has ended: a copy of this test program run to the end.
DWORD EndedProcessId() {
  std::wstring command = L"\"" + Widen(ProgramFilePath()) + L"\" --gtest_list_tests";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &pi))
    return 0;
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return pi.dwProcessId;
}

TEST(Win32Files, FoldersOfTheSystem) {
  const std::string temp = GetTempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(FolderExists(temp));

  // User settings: the roaming application data, never the Windows folder.
  const std::string settings = GetWindowsFolder();
  wchar_t appData[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
  EXPECT_EQ(settings, Narrow(appData) + "\\lanternslide");
  EXPECT_TRUE(FolderExists(settings));
}

TEST(Win32Files, TheRunningProgramFileCanBeRead) {
  const std::string self = ProgramFilePath();
  EXPECT_EQ(ProgramBaseName(self), "test_win32");
  auto in = InputFile::Open(self);
  ASSERT_TRUE(in);
  char magic[2] = {};
  ASSERT_TRUE(in->ReadAt(0, magic, 2));
  EXPECT_EQ(std::string(magic, 2), "MZ");
  EXPECT_FALSE(in->ReadAt(in->Size() - 1, magic, 2));  // past the end
  EXPECT_FALSE(InputFile::Open(GetTempFolder()));      // a folder is no file
}

TEST(Win32Files, NamesInAnyScriptAndEitherSeparator) {
  Sandbox box;
  const std::string folder = box.Path("\xE6\xB9\x96\xE5\x85\x89");  // "湖光"
  ASSERT_TRUE(CreateFolder(folder));
  ASSERT_TRUE(WriteText(folder + "/a.txt", "lake"));
  EXPECT_EQ(ReadText(folder + "\\a.txt"), "lake");
  EXPECT_EQ(NativePath("C:/x/y\\z"), "C:\\x\\y\\z");
  EXPECT_EQ(ProgramBaseName("C:\\Savers\\Lakes.scr"), "Lakes");
  EXPECT_EQ(ProgramBaseName("C:/Savers/Lakes"), "Lakes");
}

TEST(Win32Files, AtomicWriteReplacesAndCleansUpAfterKilledWriters) {
  Sandbox box;
  const std::string target = box.Path("settings.ini");
  ASSERT_TRUE(WriteFileAtomically(target, "old"));
  ASSERT_TRUE(WriteFileAtomically(target, "new"));
  EXPECT_EQ(ReadText(target), "new");

  // Left behind by a writer that is gone: removed. Ours (alive): kept.
  const DWORD ended = EndedProcessId();
  ASSERT_NE(ended, 0u);
  const std::string stale = target + ".tmp-" + std::to_string(ended) + "-77";
  const std::string live = target + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-78";
  ASSERT_TRUE(WriteText(stale, "x"));
  ASSERT_TRUE(WriteText(live, "y"));
  ASSERT_TRUE(WriteFileAtomically(target, "newer"));
  EXPECT_EQ(ReadText(target), "newer");
  EXPECT_FALSE(FileExists(stale));
  EXPECT_TRUE(FileExists(live));

  // A target that cannot be replaced (a folder of that name) reports the failure.
  ASSERT_TRUE(CreateFolder(box.Path("taken")));
  EXPECT_FALSE(WriteFileAtomically(box.Path("taken"), "z"));
}

TEST(Win32Files, DeleteFolderTreeRemovesEverything) {
  Sandbox box;
  const std::string tree = box.Path("screensavertempdirectory");
  ASSERT_TRUE(CreateFolder(tree));
  ASSERT_TRUE(CreateFolder(tree + "\\inner"));
  ASSERT_TRUE(WriteText(tree + "\\inner\\0.jpg", "data"));
  ASSERT_TRUE(WriteText(tree + "\\1.wav", "data"));
  DeleteFolderTree(tree + "\\");
  EXPECT_FALSE(FileExists(tree));
  EXPECT_TRUE(FolderExists(box.Root()));
  DeleteFolderTree(tree);  // nothing there: harmless
}

TEST(Win32Files, DisplayTextIsUtf8OrConvertedFromGb18030) {
  for (const auto& [raw, shown] : test::kDisplayTextCases) EXPECT_EQ(ToDisplayText(raw), shown) << raw;
  EXPECT_EQ(Narrow(Widen("\xE6\xB9\x96 ok")), "\xE6\xB9\x96 ok");
}

}  // namespace
}  // namespace ls
