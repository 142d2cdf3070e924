// Display text on Windows: UTF-8 as it is, anything else converted from
// GB18030 (code page 54936) by the system.
#include <windows.h>

#include "platform/files/Encoding.h"
#include "platform/files/win32/WideText.h"

namespace ls {

namespace {

// GB18030 where the system has it, else GBK (its two-byte part, which is
// what authors' tools write).
UINT ChineseCodePage() {
  static const UINT page = IsValidCodePage(54936) ? 54936 : 936;
  return page;
}

// The length of the GB18030 sequence at s[i] (1, 2 or 4), 0 when none starts there.
size_t SequenceLength(const unsigned char* s, size_t i, size_t n) {
  const unsigned char lead = s[i];
  if (lead < 0x80) return 1;
  if (lead == 0x80 || lead == 0xFF || i + 1 >= n) return 0;
  const unsigned char second = s[i + 1];
  if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE)) return 2;
  if (second >= 0x30 && second <= 0x39 && i + 3 < n && s[i + 2] >= 0x81 && s[i + 2] <= 0xFE &&
      s[i + 3] >= 0x30 && s[i + 3] <= 0x39)
    return 4;
  return 0;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string ToDisplayText(const std::string& raw) {
  if (IsValidUtf8(raw)) return raw;
  // Character by character, so that a byte that starts no character becomes
  // one U+FFFD and the rest still converts, exactly as on Linux.
  const auto* s = reinterpret_cast<const unsigned char*>(raw.data());
  const size_t n = raw.size();
  std::wstring wide;
  for (size_t i = 0; i < n;) {
    const size_t len = SequenceLength(s, i, n);
    wchar_t out[2];
    const int got = len == 0 ? 0
                             : MultiByteToWideChar(ChineseCodePage(), MB_ERR_INVALID_CHARS,
                                                   raw.data() + i, static_cast<int>(len), out, 2);
    if (got > 0) {
      wide.append(out, static_cast<size_t>(got));
      i += len;
    } else {
      wide += L'\xFFFD';
      ++i;
    }
  }
  return Narrow(wide);
}

}  // namespace ls
