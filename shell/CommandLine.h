#pragma once
// The screensaver command line: the first character of argument 1 (upper-cased,
// after deleting one leading character that is not a letter) chooses the run
// mode; preview mode takes the parent window from argument 2.
//   none        -> configure     "C..."           -> configure
//   "P" + int   -> preview       "P" without int  -> show
//   anything else ("S", "A", digits, "/") -> show
// An argument 1 that is empty, or empty once its one character is deleted
// (a lone "/"), starts configure mode: there is no switch to act on, and the
// settings dialog is what a bare start opens.

#include <cstdint>
#include <string>
#include <vector>

namespace ls {

enum class TRunMode : uint8_t {
  Show = 0,       // the full-screen show
  Configure = 1,  // the settings dialog
  Preview = 2,    // the still preview inside PreviewParent
};

struct TCommandLine {
  TRunMode RunMode = TRunMode::Show;
  int32_t PreviewParent = 0;  // window id; only preview mode sets it
};

// args: the arguments after the program path.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);
// True, with PreviewParent set, when argument 2 converts to a signed 32-bit
// integer (decimal, or hexadecimal with "$" or "0x"); false otherwise.
bool ParsePreviewParent(const std::vector<std::string>& args, int32_t& PreviewParent);

}  // namespace ls
