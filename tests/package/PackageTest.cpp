#include "package/Package.h"

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "package/PackageLayout.h"
#include "package/PackageWriter.h"
#include "platform/files/Files.h"
#include "tests/package/TestFolder.h"

namespace ls {
namespace {

namespace fs = std::filesystem;
using test::Noise;
using test::ReadFile;
using test::WriteFile;

// A project folder: media files with distinct contents and a project file
// naming them, packed onto a small stand-in player.
class Project {
 public:
  explicit Project(const test::TestFolder& dir) : dir_(dir) {
    fs::create_directories(dir.Path("media"));
    player_ = dir.Path("player");
    WriteFile(player_, "#!player\n" + Noise(777, 1));
  }
  // Creates media/<name> with `size` bytes and returns its path.
  std::string Medium(const std::string& name, size_t size) {
    const std::string path = dir_.Path("media/" + name);
    contents_[path] = Noise(size, static_cast<uint32_t>(contents_.size() + 100));
    WriteFile(path, contents_[path]);
    return path;
  }
  const std::string& Content(const std::string& path) { return contents_.at(path); }
  std::string Pack(const std::string& projectText) {
    const std::string project = dir_.Path("project.ini");
    WriteFile(project, projectText);
    const std::string out = dir_.Path("Saver.scr");
    PackScreensaver(project, player_, out);
    return out;
  }
  const std::string& Player() const { return player_; }

 private:
  const test::TestFolder& dir_;
  std::string player_;
  std::map<std::string, std::string> contents_;
};

std::string ExtractedSettings(const ShowPackage& p) { return ReadFile(NativePath(p.settingsPath)); }

TEST(PackageTest, RoundTripGivesEveryBlockByteForByte) {
  test::TestFolder dir;
  Project project(dir);
  const std::string preview = project.Medium("preview.jpg", 3000);
  const std::string banner = project.Medium("banner.gif", 2000);
  const std::string readme = project.Medium("readme.txt", 500);
  const std::string music1 = project.Medium("one.ogg", 5000);
  const std::string music2 = project.Medium("two.mp3", 4000);
  const std::string background = project.Medium("bg.bmp", 2500);
  const std::string splash = project.Medium("splash.jpeg", 1500);
  const std::string pic0 = project.Medium("p0.jpg", 2100);
  const std::string snd0 = project.Medium("s0.wav", 900);
  const std::string pic1 = project.Medium("p1.JPG", 2200);
  const std::string out = project.Pack(
      "[CustomizePreviewDlg]\nPreviewImage=" + preview + "\nPreviewLink=http://x/\n"
      "[CustomizeSettingDlg]\nBannerFile=" + banner + "\nTxtFile=media/readme.txt\nScreensaverName=Lakes\n"
      "[Music]\nMusicCount=2\n[Musics]\nMusic1=" + music1 + "\nMusic2=" + music2 + "\n"
      "[Background]\nBackgroundMod=2\nBackgroundImage=" + background + "\n"
      "[Splash]\nSplashScreenImage=" + splash + "\n"
      "[Picture]\nImageCount=2\n[Pictures]\nFile0=" + pic0 + "\nFile0Sound=" + snd0 +
      "\nFile0Caption=Morning\nFile1=" + pic1 + "\n");
  EXPECT_EQ(ReadFile(out).substr(0, ReadFile(project.Player()).size()), ReadFile(project.Player()));

  // The settings inside name sizes and types, not paths; other keys are kept.
  const PackageLayout layout = InspectPackage(out);
  EXPECT_TRUE(layout.problems.empty()) << layout.problems.front();
  const std::string extractDir = dir.Path("extract");
  EXPECT_EQ(ExtractPackageBlocks(out, layout, extractDir), 11);
  const IniFile settings(extractDir + "/screensaversetup.ini");
  EXPECT_EQ(settings.ReadInteger("Pictures", "File0DiskSize", 0), 2100);
  EXPECT_EQ(settings.ReadString("Pictures", "File1Type", ""), ".JPG");
  EXPECT_EQ(settings.ReadString("Pictures", "FileSound0Type", ""), ".wav");
  EXPECT_EQ(settings.ReadInteger("Musics", "Music2Size", 0), 4000);
  EXPECT_EQ(settings.ReadInteger("CustomizeSettingDlg", "TxtFileDiskSize", 0), 500);
  EXPECT_EQ(settings.ReadString("Pictures", "File0Caption", ""), "Morning");
  EXPECT_EQ(settings.ReadString("CustomizePreviewDlg", "PreviewLink", ""), "http://x/");
  EXPECT_FALSE(settings.ValueExists("Pictures", "File0"));
  EXPECT_FALSE(settings.ValueExists("Pictures", "File0Sound"));
  EXPECT_FALSE(settings.ValueExists("Musics", "Music1"));
  EXPECT_FALSE(settings.ValueExists("CustomizeSettingDlg", "TxtFile"));
  EXPECT_FALSE(settings.ReadString("Identify", "Id", "").empty());

  const std::pair<const char*, std::string> expected[] = {
      {"preview.jpg", preview},     {"banner.gif", banner}, {"readme.txt", readme},
      {"Music1.ogg", music1},       {"Music2.mp3", music2}, {"background.bmp", background},
      {"splash.jpeg", splash},      {"Picture0.jpg", pic0}, {"PictureSound0.wav", snd0},
      {"Picture1.JPG", pic1}};
  for (const auto& [name, source] : expected)
    EXPECT_EQ(ReadFile(extractDir + "/" + name), project.Content(source)) << name;

  // The show extracts the same bytes to the working folder's paths.
  const ShowPackage show = ExtractShowPackage(out, [](const IniFile&) { return true; });
  EXPECT_FALSE(show.stoppedOnBadBlock) << show.stopReason;
  const std::string wf = dir.TempFolder() + "screensavertempdirectory";
  EXPECT_EQ(show.workingFolder, wf);
  EXPECT_EQ(show.settingsPath, wf + "\\screensaversetup.ini");
  EXPECT_EQ(ExtractedSettings(show), ReadFile(extractDir + "/screensaversetup.ini"));
  EXPECT_EQ(show.media.musicFiles, (std::vector<std::string>{wf + "/musics/Music1.ogg", wf + "/musics/Music2.mp3"}));
  EXPECT_EQ(show.media.backgroundImage, wf + "/background/background.bmp");
  EXPECT_EQ(show.media.splashImage, wf + "/splash/splash.jpeg");
  ASSERT_EQ(show.media.pictures.size(), 2u);
  EXPECT_EQ(show.media.pictures[0].file, wf + "/pictures/Picture0.jpg");
  EXPECT_EQ(show.media.pictures[0].sound, wf + "/pictures/PictureSound0.wav");
  EXPECT_EQ(show.media.pictures[1].sound, "");
  EXPECT_EQ(ReadFile(show.media.musicFiles[1]), project.Content(music2));
  EXPECT_EQ(ReadFile(show.media.backgroundImage), project.Content(background));
  EXPECT_EQ(ReadFile(show.media.splashImage), project.Content(splash));
  EXPECT_EQ(ReadFile(show.media.pictures[0].file), project.Content(pic0));
  EXPECT_EQ(ReadFile(show.media.pictures[0].sound), project.Content(snd0));
  EXPECT_EQ(ReadFile(show.media.pictures[1].file), project.Content(pic1));
  // The preview, banner and readme never go to disk in the show.
  for (const char* sub : {"musics", "background", "splash", "pictures"}) EXPECT_TRUE(fs::is_directory(wf + "/" + sub));

  // Preview and settings dialog take their blocks from memory.
  const auto previewPackage = ReadPreviewPackage(out);
  ASSERT_TRUE(previewPackage);
  ASSERT_TRUE(previewPackage->previewImage);
  EXPECT_EQ(std::string(previewPackage->previewImage->begin(), previewPackage->previewImage->end()),
            project.Content(preview));
  EXPECT_EQ(previewPackage->preview.PreviewImageType, ".jpg");
  const auto dialog = ReadDialogPackage(out);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(dialog->bannerImage && dialog->readme);
  EXPECT_EQ(std::string(dialog->bannerImage->begin(), dialog->bannerImage->end()), project.Content(banner));
  EXPECT_EQ(dialog->dialog.BannerFileType, ".gif");
  EXPECT_EQ(dialog->dialog.ScreensaverName, "Lakes");
  EXPECT_TRUE(fs::exists(NativePath(show.media.pictures[0].file)));
}

TEST(PackageTest, WithoutMediaTheSizesAddUpToThePackage) {
  test::TestFolder dir;
  Project project(dir);
  const std::string preview = project.Medium("pv.jpg", 100);
  const std::string banner = project.Medium("bn.jpg", 200);
  const std::string readme = project.Medium("rd.txt", 300);
  const std::string p0 = project.Medium("a.jpg", 400);
  const std::string p1 = project.Medium("b.jpg", 500);
  const std::string out = project.Pack(
      "[CustomizePreviewDlg]\nPreviewImage=" + preview + "\n[CustomizeSettingDlg]\nBannerFile=" + banner +
      "\nTxtFile=" + readme + "\n[Picture]\nImageCount=2\n[Pictures]\nFile0=" + p0 + "\nFile1=" + p1 + "\n");
  const std::string whole = ReadFile(out);
  const size_t playerSize = ReadFile(project.Player()).size();
  const PackageLayout layout = InspectPackage(out);
  ASSERT_TRUE(layout.problems.empty());
  EXPECT_EQ(layout.packageStart, static_cast<int64_t>(playerSize));
  // Front to back: picture 1, picture 0, readme, banner, preview, settings, length, marker.
  size_t at = playerSize;
  for (const std::string* m : {&p1, &p0, &readme, &banner, &preview}) {
    EXPECT_EQ(whole.substr(at, project.Content(*m).size()), project.Content(*m));
    at += project.Content(*m).size();
  }
  EXPECT_EQ(static_cast<int64_t>(whole.size() - at - 8), layout.settingsLength);
  EXPECT_EQ(layout.settingsLength + 100 + 200 + 300 + 400 + 500,
            static_cast<int64_t>(whole.size() - playerSize - 8));
  EXPECT_EQ(whole.substr(whole.size() - 4), std::string("\x01\0\0\0", 4));
}

TEST(PackageTest, OnlyTheFirst99Of120PicturesAreRead) {
  test::TestFolder dir;
  Project project(dir);
  std::string text = "[Picture]\nImageCount=120\n[Pictures]\n";
  std::vector<std::string> pictures;
  for (int i = 0; i < 120; ++i) {
    pictures.push_back(project.Medium("p" + std::to_string(i) + ".jpg", 10 + static_cast<size_t>(i)));
    text += "File" + std::to_string(i) + "=" + pictures.back() + "\n";
  }
  const std::string splash = project.Medium("s.gif", 64);
  text += "[Splash]\nSplashScreenImage=" + splash + "\n";
  const std::string out = project.Pack(text);

  const PackageLayout layout = InspectPackage(out);
  EXPECT_TRUE(layout.problems.empty());
  EXPECT_EQ(layout.unreadPictures, 21);
  EXPECT_EQ(layout.packageStart, static_cast<int64_t>(ReadFile(project.Player()).size()));

  const ShowPackage show = ExtractShowPackage(out, nullptr);
  EXPECT_FALSE(show.stoppedOnBadBlock);
  ASSERT_EQ(show.media.pictures.size(), 99u);
  EXPECT_EQ(ReadFile(show.media.pictures[0].file), project.Content(pictures[0]));
  EXPECT_EQ(ReadFile(show.media.pictures[98].file), project.Content(pictures[98]));
  EXPECT_EQ(ReadFile(show.media.splashImage), project.Content(splash));
  EXPECT_FALSE(fs::exists(show.workingFolder + "/pictures/Picture99.jpg"));
}

TEST(PackageTest, EmptyTypeGivesAFileWithoutExtension) {
  test::TestFolder dir;
  Project project(dir);
  std::string text = "[Picture]\nImageCount=4\n[Pictures]\n";
  std::vector<std::string> media;
  for (int i = 0; i < 4; ++i) {
    media.push_back(project.Medium(i == 3 ? "noext" : "p" + std::to_string(i) + ".png", 50));
    text += "File" + std::to_string(i) + "=" + media.back() + "\n";
  }
  const std::string out = project.Pack(text);
  const ShowPackage show = ExtractShowPackage(out, nullptr);
  ASSERT_EQ(show.media.pictures.size(), 4u);
  EXPECT_EQ(show.media.pictures[3].file, show.workingFolder + "/pictures/Picture3");
  EXPECT_EQ(ReadFile(show.media.pictures[3].file), project.Content(media[3]));
  EXPECT_EQ(ReadFile(show.media.pictures[2].file), project.Content(media[2]));
}

TEST(PackageTest, BackgroundIsPassedOverForAUserWithoutBackgrounds) {
  test::TestFolder dir;
  Project project(dir);
  const std::string music = project.Medium("m.ogg", 321);
  const std::string background = project.Medium("bg.jpg", 4096);
  const std::string splash = project.Medium("sp.jpg", 777);
  const std::string pic = project.Medium("p.jpg", 555);
  const std::string out = project.Pack(
      "[Identify]\nId=build-1\n[Music]\nMusicCount=1\n[Musics]\nMusic1=" + music +
      "\n[Background]\nBackgroundMod=2\nBackgroundImage=" + background +
      "\n[Splash]\nSplashScreenImage=" + splash + "\n[Picture]\nImageCount=1\n[Pictures]\nFile0=" + pic + "\n");
  // The user turned backgrounds off in the settings dialog.
  WriteFile(UserSettingsPath(out), "[Identify]\nId=build-1\n[UserSetting]\nUserShowBackground=0\n");

  int asked = 0;
  const ShowPackage show = ExtractShowPackage(out, [&](const IniFile& settings) {
    ++asked;
    EXPECT_EQ(ReadPackageId(settings), "build-1");
    return ChoosePreferences(settings, UserSettingsPath(out)).prefs.UserShowBackground;
  });
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(show.stoppedOnBadBlock);
  EXPECT_EQ(show.media.backgroundImage, "");
  EXPECT_TRUE(fs::is_empty(show.workingFolder + "/background"));
  EXPECT_EQ(ReadFile(show.media.splashImage), project.Content(splash));
  EXPECT_EQ(ReadFile(show.media.pictures[0].file), project.Content(pic));
  EXPECT_EQ(ReadFile(show.media.musicFiles[0]), project.Content(music));

  // Without BackgroundMod 2 the background is not packed at all.
  const std::string plain = project.Pack("[Background]\nBackgroundMod=1\nBackgroundImage=" + background +
                                         "\n[Splash]\nSplashScreenImage=" + splash + "\n");
  const PackageLayout layout = InspectPackage(plain);
  EXPECT_TRUE(layout.problems.empty());
  EXPECT_EQ(layout.blocks.size(), 2u);  // settings and splash
}

TEST(PackageTest, AnOlderWorkingFolderIsDeletedFirst) {
  test::TestFolder dir;
  Project project(dir);
  const std::string out = project.Pack("[Picture]\nImageCount=0\n");
  const std::string wf = dir.TempFolder() + "screensavertempdirectory";
  fs::create_directories(wf + "/pictures");
  WriteFile(wf + "/pictures/Picture7.jpg", "left over");
  const ShowPackage show = ExtractShowPackage(out, nullptr);
  EXPECT_EQ(show.workingFolder, wf);
  EXPECT_FALSE(fs::exists(wf + "/pictures/Picture7.jpg"));
  EXPECT_TRUE(fs::exists(wf + "/screensaversetup.ini"));
  // The show's end removes it with everything in it.
  DeleteFolderTree(show.workingFolder);
  EXPECT_FALSE(fs::exists(wf));
}

TEST(PackageTest, AFileWithoutPackageIsReadByNoReader) {
  test::TestFolder dir;
  const std::string player = dir.Path("bare");
  WriteFile(player, Noise(5000, 9));  // its last bytes are no marker 1
  ASSERT_NE(ReadPackageMarker(player), kPackageMarker);
  const ShowPackage show = ExtractShowPackage(player, nullptr);
  EXPECT_TRUE(show.stoppedOnBadBlock);
  EXPECT_EQ(show.workingFolder, "");
  EXPECT_TRUE(fs::is_empty(dir.TempFolder()));  // nothing left in the temporary folder
  EXPECT_FALSE(ReadPreviewPackage(player));
  EXPECT_FALSE(ReadDialogPackage(player));
  EXPECT_FALSE(InspectPackage(player).problems.empty());
  EXPECT_EQ(ReadPackageMarker(dir.Path("missing")), 0u);
}

// A package assembled by hand: media blocks front to back, then settings.
std::string HandPackage(const std::string& front, const std::string& settings, uint32_t length) {
  std::string bytes = front + settings;
  for (uint32_t v : {length, 1u})
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
  return bytes;
}

// Every file below `root`, relative to it.
std::vector<std::string> FilesBelow(const std::string& root) {
  std::vector<std::string> files;
  for (auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) files.push_back(fs::relative(e.path(), root).string());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(PackageTest, BadSizesStopTheReadingAtThatBlock) {
  struct Case {
    const char* name;
    const char* keys;      // [Pictures] keys after File0 (which is good)
    const char* stopsAt;   // words the reason must contain
  };
  const Case cases[] = {
      {"negative size", "File1DiskSize=-5\nFile1Type=.jpg\n", "picture 1: negative size -5"},
      {"size past the start", "File1DiskSize=99999999\nFile1Type=.jpg\n",
       "picture 1: size 99999999 reaches before the start of the file"},
      {"negative sound", "FileSound0DiskSize=-1\n", "sound of picture 0: negative size"},
  };
  for (const auto& c : cases) {
    test::TestFolder dir;
    const std::string pic0 = Noise(300, 3);
    const std::string settings = std::string("[Picture]\nImageCount=3\n[Pictures]\nFile0DiskSize=300\nFile0Type=.jpg\n") +
                                 c.keys + "File2DiskSize=10\nFile2Type=.jpg\n";
    const std::string path = dir.Path("bad.scr");
    WriteFile(path, HandPackage(Noise(40, 1) + pic0, settings, static_cast<uint32_t>(settings.size())));

    const ShowPackage show = ExtractShowPackage(path, nullptr);
    EXPECT_TRUE(show.stoppedOnBadBlock) << c.name;
    EXPECT_NE(show.stopReason.find(c.stopsAt), std::string::npos) << c.name << ": " << show.stopReason;
    ASSERT_EQ(show.media.pictures.size(), 3u) << c.name;
    EXPECT_EQ(ReadFile(show.media.pictures[0].file), pic0) << c.name;  // read before: usable
    EXPECT_EQ(FilesBelow(dir.TempFolder()),
              (std::vector<std::string>{"screensavertempdirectory/pictures/Picture0.jpg",
                                        "screensavertempdirectory/screensaversetup.ini"}))
        << c.name;
    EXPECT_FALSE(InspectPackage(path).problems.empty()) << c.name;
  }
}

TEST(PackageTest, SettingsLengthPastTheStartStopsBeforeAnyBlock) {
  test::TestFolder dir;
  const std::string settings = "[Picture]\nImageCount=1\n[Pictures]\nFile0DiskSize=4\nFile0Type=.jpg\n";
  const std::string path = dir.Path("bad.scr");
  WriteFile(path, HandPackage("abcd", settings, 0x7FFFFFF0u));
  const ShowPackage show = ExtractShowPackage(path, nullptr);
  EXPECT_TRUE(show.stoppedOnBadBlock);
  EXPECT_NE(show.stopReason.find("settings block"), std::string::npos);
  EXPECT_TRUE(show.media.pictures.empty());
  EXPECT_EQ(FilesBelow(dir.TempFolder()), std::vector<std::string>{});
  EXPECT_FALSE(ReadPreviewPackage(path));
  EXPECT_FALSE(ReadDialogPackage(path));
  EXPECT_FALSE(InspectPackage(path).problems.empty());
}

TEST(PackageTest, UnsafeTypesArePassedOverAndNothingLeavesTheWorkingFolder) {
  test::TestFolder dir;
  const std::string pic0 = Noise(64, 4);
  const std::string pic1 = Noise(32, 5);
  const std::string pic2 = Noise(16, 6);
  const std::string splash = Noise(8, 7);
  const std::string settings =
      "[Splash]\nSplashDiskSize=8\nSplashScreenImageType=/../../../splash-escaped\n"
      "[Picture]\nImageCount=3\n[Pictures]\nFile0DiskSize=64\nFile0Type=.jpg\n"
      "File1DiskSize=32\nFile1Type=\\..\\..\\picture-escaped\nFile2DiskSize=16\nFile2Type=.png\n";
  const std::string path = dir.Path("bad.scr");
  // Front to back: picture 2, picture 1, picture 0, splash.
  WriteFile(path, HandPackage(pic2 + pic1 + pic0 + splash, settings, static_cast<uint32_t>(settings.size())));
  const ShowPackage show = ExtractShowPackage(path, nullptr);
  EXPECT_FALSE(show.stoppedOnBadBlock) << show.stopReason;
  EXPECT_EQ(show.media.splashImage, "");
  ASSERT_EQ(show.media.pictures.size(), 3u);
  EXPECT_EQ(show.media.pictures[1].file, show.workingFolder + "/pictures/Picture1");  // names no file
  EXPECT_FALSE(fs::exists(show.media.pictures[1].file));
  // The blocks after the unsafe ones are still found at the right place.
  EXPECT_EQ(ReadFile(show.media.pictures[0].file), pic0);
  EXPECT_EQ(ReadFile(show.media.pictures[2].file), pic2);
  EXPECT_EQ(FilesBelow(dir.Path()),
            (std::vector<std::string>{"bad.scr", "tmp/screensavertempdirectory/pictures/Picture0.jpg",
                                      "tmp/screensavertempdirectory/pictures/Picture2.png",
                                      "tmp/screensavertempdirectory/screensaversetup.ini"}));
  const PackageLayout layout = InspectPackage(path);
  EXPECT_EQ(layout.problems.size(), 2u);
  const std::string extractDir = dir.Path("x");
  EXPECT_EQ(ExtractPackageBlocks(path, layout, extractDir), 3);  // settings, picture 0, picture 2
}

TEST(PackageTest, SafeTypeTable) {
  for (const char* good : {"", ".jpg", ".JPEG", ".mp3", "x", ".0123456789abcde"})
    EXPECT_TRUE(IsSafeBlockType(good)) << good;
  for (const char* bad : {"/x", "\\x", "..", ".a..b", ".jpg\n", "\x01", ".0123456789abcdef", "a\x7f"})
    EXPECT_FALSE(IsSafeBlockType(bad)) << bad;
}

TEST(PackageTest, CopyBufferBoundsMemoryNotTheBlock) {
  // A block many times the buffer arrives whole through a 4 KiB buffer.
  test::TestFolder dir;
  const std::string big = Noise(1 << 20, 11);
  const std::string settings = "[Splash]\nSplashDiskSize=1048576\nSplashScreenImageType=.bin\n";
  const std::string path = dir.Path("big.scr");
  WriteFile(path, HandPackage("program" + big, settings, static_cast<uint32_t>(settings.size())));
  PackageReader reader(path, 4096);
  ASSERT_EQ(reader.ReadMarker(), kPackageMarker);
  ASSERT_TRUE(reader.ReadSettingsBlock());
  EXPECT_TRUE(reader.ReadToFile(1 << 20, dir.Path("out.bin"), "splash image"));
  EXPECT_EQ(reader.Position(), 7);
  EXPECT_EQ(ReadFile(dir.Path("out.bin")), big);
  // A write that fails leaves no partial file and the reading goes on.
  EXPECT_FALSE(reader.ReadToFile(7, dir.Path("no/such/folder/x"), "rest"));
  EXPECT_FALSE(reader.Stopped());
  EXPECT_EQ(reader.Position(), 0);
}

TEST(PackageTest, PackReportsWhatItCannotDo) {
  test::TestFolder dir;
  Project project(dir);
  EXPECT_THROW(PackScreensaver(dir.Path("none.ini"), project.Player(), dir.Path("o")), PackError);
  WriteFile(dir.Path("p.ini"), "[Picture]\nImageCount=1\n[Pictures]\nFile0=" + dir.Path("gone.jpg") + "\n");
  try {
    PackScreensaver(dir.Path("p.ini"), project.Player(), dir.Path("o"));
    FAIL();
  } catch (const PackError& e) {
    EXPECT_NE(std::string(e.what()).find("gone.jpg"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(dir.Path("o")));
  EXPECT_FALSE(fs::exists(dir.Path("o.part")));
  WriteFile(dir.Path("q.ini"), "[Picture]\nImageCount=0\n");
  EXPECT_THROW(PackScreensaver(dir.Path("q.ini"), dir.Path("no-player"), dir.Path("o")), PackError);
}

TEST(PackageTest, PackedScreensaverIsExecutableAndEndsTheElfProgram) {
  test::TestFolder dir;
  // Any ELF program stands for the player; inspect checks that the package
  // begins exactly where the program ends.
  const std::string project = dir.Path("p.ini");
  WriteFile(project, "[Picture]\nImageCount=0\n");
  const std::string out = dir.Path("Elf.scr");
  PackScreensaver(project, "/bin/true", out);
  EXPECT_NE(fs::status(out).permissions() & fs::perms::owner_exec, fs::perms::none);
  const PackageLayout layout = InspectPackage(out);
  EXPECT_TRUE(layout.problems.empty()) << (layout.problems.empty() ? "" : layout.problems.front());

  // One byte too many between program and package is found.
  std::string bytes = ReadFile(out);
  bytes.insert(static_cast<size_t>(layout.packageStart), "X");
  WriteFile(out, bytes);
  EXPECT_FALSE(InspectPackage(out).problems.empty());
}

}  // namespace
}  // namespace ls
