#pragma once
// A profile (INI) file with the Windows rules: sections and keys matched
// without regard to case, spaces around keys and values trimmed, one pair of
// surrounding quotes removed from a value, ';' starts a comment line, the
// first of duplicate keys wins, a UTF-8 byte order mark is ignored, CRLF and
// LF both end a line. Strings are cut at 2047 characters; ints are decimal,
// or hexadecimal when they begin with "$" or, being longer than two
// characters, with "0x"/"0X"; a value that is not wholly such a number gives
// the default (no reading of leading digits). Bools are ints written "1"/"0";
// colours are ints (0x00BBGGRR). A missing file reads as empty.
//
// Writing keeps the rest of the file as it was and replaces the file
// atomically, so a failed write never loses what was there.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ls {

// "Unable to write to %s", with the file name.
class IniWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole text as a signed 32-bit number: optional sign and decimal digits,
// or "$"/"0x"/"0X" and up to 8 hex digits (taken as the 32 bits, so
// "$FFFFFFFF" is -1). Leading and trailing spaces are allowed; anything else,
// or a decimal value out of range, gives nullopt.
std::optional<int32_t> ParseInteger(std::string_view text);

class IniFile {
 public:
  // Longest string value returned; longer values are cut here.
  static constexpr size_t kMaxValueLength = 2047;

  // Reads the file at path (a missing or unreadable file reads as empty).
  explicit IniFile(std::string path);
  // Parses text that is already in memory; writes go to `path` (none when empty).
  static IniFile FromText(const std::string& text, std::string path = "");

  const std::string& Path() const { return path_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  bool SectionExists(const std::string& section) const;

  // Each write updates the file on disk at once (throws IniWriteError, and
  // then the file and this object keep their earlier content).
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  // In-memory edits for building a file; Save() writes them out.
  // A line break in a value would start a new key, so the value is cut there.
  void SetString(const std::string& section, const std::string& key, const std::string& value);
  void DeleteKey(const std::string& section, const std::string& key);
  // Writes the text atomically to Path() (throws IniWriteError).
  void Save() const;
  // The file's text as it would be written.
  std::string Text() const;

 private:
  struct Entry {
    std::string lowerKey;
    size_t line;
  };
  struct Section {
    std::string lowerName;
    size_t headerLine;  // npos for the keys before the first header
    size_t lastLine;    // last line that belongs to the section
    std::vector<Entry> entries;
  };
  IniFile() = default;
  void Parse(const std::string& text);
  void Reindex();
  const Entry* Find(const std::string& section, const std::string& key) const;
  std::optional<std::string> RawValue(const std::string& section, const std::string& key) const;

  std::string path_;
  std::vector<std::string> lines_;
  std::vector<Section> sections_;
  bool bom_ = false;
  std::string newline_ = "\r\n";
};

}  // namespace ls
