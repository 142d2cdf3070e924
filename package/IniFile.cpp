#include "package/IniFile.h"

#include <algorithm>

#include "platform/files/Files.h"

namespace ls {

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A header line "[name]" gives its name; anything else gives nullopt.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  size_t close = line.find(']');
  if (close != std::string_view::npos) line = line.substr(0, close);
  return Trim(line);
}

// A key line "key=value" gives the key; comments and other lines nullopt.
std::optional<std::string_view> KeyOf(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return std::nullopt;
  return key;
}

std::string ValueOf(std::string_view line) {
  std::string_view v = Trim(line.substr(line.find('=') + 1));
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v.remove_prefix(1);
    v.remove_suffix(1);
  }
  if (v.size() > IniFile::kMaxValueLength) v = v.substr(0, IniFile::kMaxValueLength);
  return std::string(v);
}

std::string UpToLineBreak(const std::string& s) { return s.substr(0, s.find_first_of("\r\n")); }

}  // namespace

std::optional<int32_t> ParseInteger(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  std::string_view digits;
  if (text.front() == '$') {
    digits = text.substr(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    digits = text.substr(2);
  }
  if (!digits.empty() || text.front() == '$') {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
      int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      value = value * 16 + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
  }
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  auto bytes = ReadWholeFile(path_);
  if (bytes) Parse(std::string(bytes->begin(), bytes->end()));
}

IniFile IniFile::FromText(const std::string& text, std::string path) {
  IniFile ini;
  ini.path_ = std::move(path);
  ini.Parse(text);
  return ini;
}

void IniFile::Parse(const std::string& text) {
  std::string_view rest(text);
  bom_ = rest.substr(0, 3) == kBom;
  if (bom_) rest.remove_prefix(3);
  lines_.clear();
  size_t firstBreak = rest.find('\n');
  newline_ = (firstBreak == std::string_view::npos || (firstBreak > 0 && rest[firstBreak - 1] == '\r'))
                 ? "\r\n"
                 : "\n";
  while (!rest.empty()) {
    size_t nl = rest.find('\n');
    std::string_view line = rest.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    if (nl == std::string_view::npos) break;
    rest.remove_prefix(nl + 1);
  }
  Reindex();
}

void IniFile::Reindex() {
  sections_.clear();
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (auto name = HeaderName(lines_[i])) {
      sections_.push_back(Section{Lower(*name), i, i, {}});
      continue;
    }
    if (sections_.empty()) continue;  // keys before the first section belong to none
    if (auto key = KeyOf(lines_[i])) {
      sections_.back().entries.push_back(Entry{Lower(*key), i});
      sections_.back().lastLine = i;
    } else if (!Trim(lines_[i]).empty()) {
      sections_.back().lastLine = i;  // comments stay with their section
    }
  }
}

const IniFile::Entry* IniFile::Find(const std::string& section, const std::string& key) const {
  const std::string s = Lower(section);
  const std::string k = Lower(key);
  for (const Section& sec : sections_) {
    if (sec.lowerName != s) continue;
    for (const Entry& e : sec.entries)
      if (e.lowerKey == k) return &e;
  }
  return nullptr;
}

std::optional<std::string> IniFile::RawValue(const std::string& section,
                                             const std::string& key) const {
  const Entry* e = Find(section, key);
  if (!e) return std::nullopt;
  return ValueOf(lines_[e->line]);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
  return RawValue(section, key).value_or(def);
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int32_t def) const {
  auto raw = RawValue(section, key);
  if (!raw) return def;
  return ParseInteger(*raw).value_or(def);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  return Find(section, key) != nullptr;
}

bool IniFile::SectionExists(const std::string& section) const {
  const std::string s = Lower(section);
  return std::any_of(sections_.begin(), sections_.end(),
                     [&](const Section& sec) { return sec.lowerName == s; });
}

void IniFile::SetString(const std::string& section, const std::string& key,
                        const std::string& value) {
  const std::string v = UpToLineBreak(value);
  if (const Entry* e = Find(section, key)) {
    std::string_view line = lines_[e->line];
    std::string keep(Trim(line.substr(0, line.find('='))));
    lines_[e->line] = keep + "=" + v;
  } else {
    const std::string s = Lower(section);
    auto sec = std::find_if(sections_.begin(), sections_.end(),
                            [&](const Section& x) { return x.lowerName == s; });
    if (sec != sections_.end()) {
      lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(sec->lastLine + 1), key + "=" + v);
    } else {
      if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
      lines_.push_back("[" + section + "]");
      lines_.push_back(key + "=" + v);
    }
  }
  Reindex();
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
  const std::string s = Lower(section);
  const std::string k = Lower(key);
  std::vector<size_t> doomed;
  for (const Section& sec : sections_)
    if (sec.lowerName == s)
      for (const Entry& e : sec.entries)
        if (e.lowerKey == k) doomed.push_back(e.line);
  std::sort(doomed.rbegin(), doomed.rend());
  for (size_t line : doomed) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
  if (!doomed.empty()) Reindex();
}

std::string IniFile::Text() const {
  std::string out = bom_ ? kBom : "";
  for (const std::string& line : lines_) {
    out += line;
    out += newline_;
  }
  return out;
}

void IniFile::Save() const {
  if (path_.empty() || !WriteFileAtomically(path_, Text()))
    throw IniWriteError("Unable to write to " + path_);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  std::vector<std::string> before = lines_;
  SetString(section, key, value);
  try {
    Save();
  } catch (...) {
    lines_ = std::move(before);
    Reindex();
    throw;
  }
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace ls
