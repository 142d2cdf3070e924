#pragma once
// A profile (INI) file with the Windows rules: sections and keys matched
// without regard to case, strings cut at 2047 characters, ints in decimal or
// hexadecimal ("0x"/"0X" when longer than two characters, or "$"), bools as
// ints written "1"/"0", colours as ints. A missing file reads as empty.
//
// Writing keeps the rest of the file as it was and replaces the file
// atomically, so a failed write never loses what was there.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace ls {

// "Unable to write to %s", with the file name.
class IniWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IniFile {
 public:
  // Reads the file at path (a missing or unreadable file reads as empty).
  explicit IniFile(std::string path);
  // Parses text that is already in memory; writes go to `path`.
  static IniFile FromText(const std::string& text, std::string path = "");

  const std::string& Path() const { return path_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  bool ValueExists(const std::string& section, const std::string& key) const;

  // Each write updates the file on disk at once (throws IniWriteError).
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  struct Line;  // the implementation's representation of the file's lines
  std::string path_;
  std::vector<std::string> lines_;
};

}  // namespace ls
