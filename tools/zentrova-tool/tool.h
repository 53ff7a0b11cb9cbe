// zentrova-tool: subcommands register themselves here.
#pragma once
#include <vector>

struct ToolCommand {
  const char* name;
  const char* summary;
  int (*run)(int argc, char** argv);  // argv[0] is the subcommand's name
};

struct ToolRegistrar {
  explicit ToolRegistrar(const ToolCommand& cmd);
};

#define ZV_TOOL_COMMAND(ident, name, summary, fn) \
  static ToolRegistrar ident##_registrar(ToolCommand{name, summary, fn})

// Every registered subcommand, in registration order.
const std::vector<ToolCommand>& TOOL_Commands();

// True when argv holds --help or -h.
bool TOOL_WantsHelp(int argc, char** argv);
