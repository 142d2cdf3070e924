#pragma once
// UTF-8 (the program's text) to and from UTF-16 (the Windows interfaces'
// text), for every Win32 backend.

#include <string>
#include <string_view>

namespace ls {

// Invalid UTF-8 becomes U+FFFD; never fails.
std::wstring Widen(std::string_view utf8);
// Unpaired surrogates become U+FFFD; never fails.
std::string Narrow(std::wstring_view utf16);

}  // namespace ls
