// zentrova-tool: the subcommand registry and helpers shared by subcommands.
#include "zentrova-tool/tool.h"

#include <cstring>
#include <vector>

namespace {
std::vector<ToolCommand>& Registry() {
  static std::vector<ToolCommand> commands;
  return commands;
}
}  // namespace

ToolRegistrar::ToolRegistrar(const ToolCommand& cmd) {
  Registry().push_back(cmd);
}

const std::vector<ToolCommand>& TOOL_Commands() {
  return Registry();
}

bool TOOL_WantsHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  }
  return false;
}
