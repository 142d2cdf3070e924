// lanternslide-tool: builds, inspects, renders and simulates screensavers.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/Command.h"

namespace ls::tool {
std::map<std::string, CommandInfo>& Commands() {
  static std::map<std::string, CommandInfo> commands;
  return commands;
}
}  // namespace ls::tool

static void PrintUsage(FILE* out) {
  std::fprintf(out, "usage: lanternslide-tool COMMAND [ARGS...]\n\ncommands:\n");
  for (const auto& [name, info] : ls::tool::Commands())
    std::fprintf(out, "  %-10s %s\n", name.c_str(), info.summary.c_str());
  std::fprintf(out, "\nEach command prints its own usage with --help.\n");
}

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return 2;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintUsage(stdout);
    return 0;
  }
  auto& commands = ls::tool::Commands();
  auto it = commands.find(name);
  if (it == commands.end()) {
    std::fprintf(stderr, "lanternslide-tool: unknown command '%s'\n", name.c_str());
    PrintUsage(stderr);
    return 2;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  try {
    return it->second.run(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lanternslide-tool %s: %s\n", name.c_str(), e.what());
    return 1;
  }
}
