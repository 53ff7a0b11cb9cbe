// zentrova-tool: the developer and modder tool.
#include <cstdio>
#include <cstring>
#include <vector>

#include "zentrova-tool/tool.h"

#ifndef ZV_VERSION
#define ZV_VERSION "1.0.0"
#endif

namespace {
const std::vector<ToolCommand>& Commands() {
  return TOOL_Commands();
}

void Usage(FILE* out) {
  std::fprintf(out, "usage: zentrova-tool COMMAND [ARGS...]\n\ncommands:\n");
  for (const ToolCommand& c : Commands()) std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
  std::fprintf(out, "\n'zentrova-tool COMMAND --help' describes a command.\n");
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    Usage(stderr);
    return 2;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("zentrova-tool %s\n", ZV_VERSION);
    return 0;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    Usage(stdout);
    return 0;
  }
  for (const ToolCommand& c : Commands()) {
    if (std::strcmp(c.name, argv[1]) == 0) return c.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "zentrova-tool: unknown command '%s'\n", argv[1]);
  Usage(stderr);
  return 2;
}
