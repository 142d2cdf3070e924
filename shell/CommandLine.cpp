#include "shell/CommandLine.h"

#include "package/IniFile.h"

namespace ls {

bool ParsePreviewParent(const std::vector<std::string>& args, int32_t& PreviewParent) {
  if (args.size() < 2) return false;
  std::optional<int32_t> value = ParseInteger(args[1]);
  if (!value) return false;
  PreviewParent = *value;
  return true;
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine result;  // show mode until a case below says otherwise
  if (args.empty()) {
    result.RunMode = TRunMode::Configure;
    return result;
  }
  std::string first = args[0];
  for (char& c : first)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  // Exactly one leading character that is not a letter is dropped: "/s",
  // "-s" and "s" all read as "S", while "//s" keeps its second slash.
  if (!first.empty() && (first[0] < 'A' || first[0] > 'Z')) first.erase(0, 1);
  if (first.empty() || first[0] == 'C') {
    result.RunMode = TRunMode::Configure;
  } else if (first[0] == 'P') {
    if (ParsePreviewParent(args, result.PreviewParent)) result.RunMode = TRunMode::Preview;
  } else {
    result.RunMode = TRunMode::Show;
  }
  return result;
}

}  // namespace ls
