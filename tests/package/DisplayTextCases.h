#pragma once
// Display text cases shared by the Linux and Windows file tests: both
// systems must show the same text for the same bytes.

#include <string>
#include <utility>

namespace ls::test {

inline const std::pair<std::string, std::string> kDisplayTextCases[] = {
    {"plain", "plain"},
    {"\xE6\xB9\x96", "\xE6\xB9\x96"},                  // "湖" already UTF-8
    {"\xBA\xFE", "\xE6\xB9\x96"},                      // "湖" in GB18030
    {"\xC9\xBD\xCB\xAE\xBB\xAD abc", "\xE5\xB1\xB1\xE6\xB0\xB4\xE7\x94\xBB abc"},  // "山水画 abc"
    {"\xC9\xBD\xCB\xAE", "\xC9\xBD\xCB\xAE"},  // "山水" is also valid UTF-8 ("ɽˮ"): UTF-8 wins
    {"a\xFF" "b", "a\xEF\xBF\xBD" "b"},                // no character: replaced
    {"end\xBA", "end\xEF\xBF\xBD"},                    // cut-off pair
};

}  // namespace ls::test
