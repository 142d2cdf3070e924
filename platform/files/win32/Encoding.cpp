// Display text on Windows: UTF-8 as it is, anything else converted from
// GB18030 (code page 54936) by the system.
#include <windows.h>

#include "platform/files/Encoding.h"
#include "platform/files/win32/WideText.h"

namespace ls {

namespace {
constexpr UINT kGb18030 = 54936;
}

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
  // The system converts invalid sequences to U+FFFD itself (no
  // MB_ERR_INVALID_CHARS), as the Linux conversion does byte by byte.
  const int n = MultiByteToWideChar(kGb18030, 0, raw.data(), static_cast<int>(raw.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kGb18030, 0, raw.data(), static_cast<int>(raw.size()), wide.data(), n);
  return Narrow(wide);
}

}  // namespace ls
