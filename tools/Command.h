#pragma once
// The subcommands of lanternslide-tool. Each command file registers itself
// with LS_TOOL_COMMAND; the tool's main looks commands up by name.
//
// Contract of every command: prints its usage for --help and exits 0; exits 0
// on success, 2 on bad usage, 1 on failure with one line on standard error.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ls::tool {

using CommandFn = std::function<int(const std::vector<std::string>& args)>;

struct CommandInfo {
  std::string summary;
  CommandFn run;
};

std::map<std::string, CommandInfo>& Commands();

struct CommandRegistration {
  CommandRegistration(const std::string& name, const std::string& summary, CommandFn fn) {
    Commands()[name] = CommandInfo{summary, std::move(fn)};
  }
};

}  // namespace ls::tool

// Registers `fn` (int(const std::vector<std::string>&)) as subcommand `name`.
#define LS_TOOL_COMMAND(ident, name, summary, fn) \
  static ::ls::tool::CommandRegistration ls_tool_command_##ident(name, summary, fn)
