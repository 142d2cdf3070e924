#pragma once
// Test fixtures shared by the preview and settings dialog tests: a scratch
// folder that stands in for the temporary and user settings folders, and a
// screensaver file put together byte by byte (program, readme, banner,
// preview, settings, settings length, marker), independent of the project's
// own package writer.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace lstest {

inline std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// The blocks of a screensaver file. The sizes and types of the blocks are
// added to the settings text by Write().
struct ScreensaverFile {
  std::string settings;  // further sections and keys of the settings file
  std::string preview;
  std::string previewType;
  std::string banner;
  std::string bannerType;
  std::string readme;
  uint32_t marker = 1;
  // The program in front of the package; a stand-in when empty.
  std::string program;

  void Write(const std::filesystem::path& path) const {
    std::string text = settings;
    text += "\r\n[CustomizePreviewDlg]\r\nPreviewImageDiskSize=" + std::to_string(preview.size()) +
            "\r\nPreviewImageType=" + previewType + "\r\n";
    text += "[CustomizeSettingDlg]\r\nBannerFileDiskSize=" + std::to_string(banner.size()) +
            "\r\nBannerFileType=" + bannerType + "\r\nTxtFileDiskSize=" +
            std::to_string(readme.size()) + "\r\n";
    std::string bytes = program.empty() ? "\x7f" "ELF stands in for the player program\n" : program;
    bytes += readme + banner + preview + text;
    bytes += Le32(static_cast<uint32_t>(text.size())) + Le32(marker);
    WriteFileText(path, bytes);
  }
};

// An uncompressed 24-bit Windows bitmap of w x h pixels, each given as
// 0x00RRGGBB by pixel(x, y).
template <typename F>
std::string MakeBmp24(int w, int h, F pixel) {
  const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  std::string s = "BM" + Le32(54 + rowBytes * h) + Le32(0) + Le32(54) + Le32(40) + Le32(w) +
                  Le32(h) + std::string("\x01\x00\x18\x00", 4) + Le32(0) + Le32(rowBytes * h) +
                  Le32(3780) + Le32(3780) + Le32(0) + Le32(0);
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      const uint32_t p = pixel(x, y);
      row += static_cast<char>(p & 0xFF);
      row += static_cast<char>((p >> 8) & 0xFF);
      row += static_cast<char>((p >> 16) & 0xFF);
    }
    row.resize(rowBytes, '\0');
    s += row;
  }
  return s;
}

// Reads an uncompressed 24-bit bottom-up Windows bitmap into 0x00RRGGBB
// pixels, top row first (the tests' own reader, independent of the
// program's decoders). Empty on anything else.
struct Pixels24 {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
inline Pixels24 ParseBmp24(const uint8_t* data, size_t size) {
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(data[at]) | (static_cast<uint32_t>(data[at + 1]) << 8) |
           (static_cast<uint32_t>(data[at + 2]) << 16) | (static_cast<uint32_t>(data[at + 3]) << 24);
  };
  Pixels24 out;
  if (size < 54 || data[0] != 'B' || data[1] != 'M' || data[28] != 24 || u32(30) != 0) return out;
  const int w = static_cast<int>(u32(18)), h = static_cast<int>(u32(22));
  const size_t offset = u32(10), rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  if (w <= 0 || h <= 0 || offset + rowBytes * h > size) return out;
  out.width = w;
  out.height = h;
  out.pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = data + offset + rowBytes * (h - 1 - y);
    for (int x = 0; x < w; ++x)
      out.pixels[static_cast<size_t>(y) * w + x] =
          (uint32_t{row[3 * x + 2]} << 16) | (uint32_t{row[3 * x + 1]} << 8) | row[3 * x];
  }
  return out;
}

// A scratch folder for one test, used as the temporary folder ($TMPDIR) and
// the home of the user settings files ($XDG_CONFIG_HOME).
class ScratchFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Taken once: each test points $TMPDIR into its own scratch folder.
    static const std::filesystem::path base = std::filesystem::temp_directory_path();
    root_ = base /
            ("ls-dlg-" + std::to_string(getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "tmp");
    std::filesystem::create_directories(root_ / "config");
    std::filesystem::create_directories(root_ / "savers");
    setenv("TMPDIR", (root_ / "tmp").string().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root_ / "config").string().c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  std::filesystem::path Saver(const std::string& name) const { return root_ / "savers" / name; }
  std::filesystem::path UserFile(const std::string& baseName) const {
    return root_ / "config" / "lanternslide" / ("screensaverusersetting" + baseName + ".ini");
  }
  std::filesystem::path TempFolder() const { return root_ / "tmp"; }

  std::filesystem::path root_;
};

}  // namespace lstest
