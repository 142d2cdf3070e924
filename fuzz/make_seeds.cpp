// Writes the seed corpora of the fuzz targets from files we make ourselves:
// small pictures of each format, a settings file touching every section, a
// packed screensaver, and a few command lines.
//   fuzz_make_seeds OUTDIR   (OUTDIR/<target>/<seed files>)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "package/PackageWriter.h"
#include "tests/graphics_io/Fixtures.h"

namespace fs = std::filesystem;
using ls::test::Bytes;

namespace {

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}
void Write(const fs::path& path, const Bytes& bytes) {
  Write(path, std::string(bytes.begin(), bytes.end()));
}

const char* kProject = R"([Transition]
1=1
2=0
118=1
TransitionStep=3
[Picture]
ImageCount=2
ShowImageRandomly=0
ClearOldImage=1
[Pictures]
File0=PICTURE0
File0Size=1
File0SceneDuration=2
File0Sound=SOUND0
File0ShowCaption=1
File0Caption=Lake at dawn
File0CaptionPosition=6
File0CaptionX=40
File0CaptionY=$20
File0FontColor=0x0000FF
File0FfsBold=1
File0TransitionMode=118
File1=PICTURE1
File1Caption=湖
File1TransitionMode=-2
[ExitOption]
ExitOnMouseMove=0
ExitOnMouseClick=1
ExitOnKeyPress=1
[Splash]
SplashScreenImage=SPLASH
SplashInterval=2
SplashFadeOut=1
[Background]
BackgroundMod=2
BackgroundColor=0x808080
BackgroundImageMode=1
BackgroundImage=BACKGROUND
[Music]
MusicCount=2
PlayMusicOrder=2
PlayMusicLoop=0
[Musics]
Music1=MUSIC1
Music2=MUSIC2
[CustomizePreviewDlg]
PreviewImage=PREVIEW
PreviewLink=https://example.invalid/
[CustomizeSettingDlg]
BannerFile=BANNER
TxtFile=README
ScreensaverName=Seed
Authos=Someone
Compans=Somewhere
[Identify]
Id=2026-12-11 12:00:00
)";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_make_seeds OUTDIR\n");
    return 2;
  }
  // Absolute: the project names its media by full path.
  const fs::path out = fs::absolute(argv[1]);
  const ls::Bitmap card = ls::test::Quadrants(16, 12);
  const std::vector<ls::Pixel> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  const std::vector<uint8_t> indices = {0, 1, 2, 3, 3, 2, 1, 0, 0, 0, 1, 1, 2, 2, 3, 3};

  Write(out / "picture_jpg/baseline.jpg", ls::test::EncodeJpeg(card));
  Write(out / "picture_jpg/progressive.jpg",
        ls::test::EncodeJpeg(card, 80, ls::test::JpegKind::kProgressive));
  Write(out / "picture_jpg/grey.jpg", ls::test::EncodeJpeg(card, 60, ls::test::JpegKind::kGrey));
  Write(out / "picture_gif/palette.gif", ls::test::EncodeGif(4, 4, palette, indices));
  Write(out / "picture_gif/transparent.gif", ls::test::EncodeGif(4, 4, palette, indices, 0));
  Write(out / "picture_bmp/rgb24.bmp", ls::test::EncodeBmp24(card));
  Write(out / "picture_bmp/topdown.bmp", ls::test::EncodeBmp24(card, true));
  Write(out / "picture_bmp/palette8.bmp", ls::test::EncodeBmp8(4, 4, palette, indices));
  std::vector<uint32_t> argb(16 * 16, 0xFF336699u);
  Write(out / "picture_ico/icon.ico", ls::test::EncodeWithPixbuf(16, 16, argb, "ico"));

  Write(out / "cmdline/show", std::string("/s"));
  Write(out / "cmdline/preview", std::string("/p\0" "1234", 7));
  Write(out / "cmdline/configure", std::string("/c:5678"));

  // A project with every kind of block, packed onto a tiny stand-in player.
  const fs::path media = out / "media";
  Write(media / "p0.jpg", ls::test::EncodeJpeg(card));
  Write(media / "p1.bmp", ls::test::EncodeBmp24(card));
  Write(media / "s0.wav", std::string("RIFF\x24\0\0\0WAVEfmt ", 16));
  Write(media / "splash.gif", ls::test::EncodeGif(4, 4, palette, indices));
  Write(media / "bg.bmp", ls::test::EncodeBmp8(4, 4, palette, indices));
  Write(media / "m1.ogg", std::string("OggS music one"));
  Write(media / "m2.mid", std::string("MThd music two"));
  Write(media / "preview.jpg", ls::test::EncodeJpeg(card, 50));
  Write(media / "banner.bmp", ls::test::EncodeBmp24(card));
  Write(media / "readme.txt", std::string("A seed screensaver.\r\n"));
  Write(media / "player", std::string("\x7f" "ELF stand-in player"));
  std::string project = kProject;
  for (const auto& [key, file] : std::vector<std::pair<std::string, std::string>>{
           {"PICTURE0", "p0.jpg"}, {"PICTURE1", "p1.bmp"}, {"SOUND0", "s0.wav"},
           {"SPLASH", "splash.gif"}, {"BACKGROUND", "bg.bmp"}, {"MUSIC1", "m1.ogg"},
           {"MUSIC2", "m2.mid"}, {"PREVIEW", "preview.jpg"}, {"BANNER", "banner.bmp"},
           {"README", "readme.txt"}})
    project = Replace(project, key, (media / file).string());
  Write(media / "project.ini", project);
  Write(out / "profile/project.ini", project);
  fs::create_directories(out / "package");
  ls::PackScreensaver((media / "project.ini").string(), (media / "player").string(),
                      (out / "package/seed.scr").string());
  fs::remove_all(media);
  return 0;
}
