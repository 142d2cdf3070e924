// Display text: UTF-8 as it is, anything else converted from GB18030 by iconv.
#include "platform/files/Encoding.h"

#include <iconv.h>

#include <cerrno>

namespace ls {

std::string ToDisplayText(const std::string& raw) {
  if (IsValidUtf8(raw)) return raw;
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  char buffer[1024];
  char* in = const_cast<char*>(raw.data());
  size_t inLeft = raw.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // An invalid or cut-off sequence: one replacement character for its
      // first byte, then go on with the rest.
      out += "\xEF\xBF\xBD";
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace ls
