// The player's entry: reads the command line once, runs exactly one run mode
// and ends the process with that mode's exit code.
#include <string>
#include <vector>

#include "platform/files/Files.h"
#include "settingform/RunConfigure.h"
#include "shell/CommandLine.h"
#include "shell/Preview.h"
#include "show/RunShow.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const ls::TCommandLine line = ls::ParseCommandLine(args);
  const std::string programPath = ls::ProgramFilePath();
  switch (line.RunMode) {
    case ls::TRunMode::Configure:
      return ls::RunConfigureMode(programPath);
    case ls::TRunMode::Preview:
      return ls::RunPreviewMode(programPath, line.PreviewParent);
    case ls::TRunMode::Show:
      break;
  }
  return ls::RunShowMode(programPath);
}
