#pragma once
// Text written by the screensaver authors' tools is usually in the Chinese
// ANSI code page; everything shown to a person is UTF-8.

#include <string>

namespace ls {

// The text itself when it is valid UTF-8, otherwise its conversion from
// GB18030 (bytes that do not convert become U+FFFD).
std::string ToDisplayText(const std::string& raw);
// True when the bytes form valid UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(const std::string& text);

}  // namespace ls
