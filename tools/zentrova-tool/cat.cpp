// zentrova-tool cat: the bytes the game's loader returns for a group and name.
#include <cstdio>

#include "common/resource.h"
#include "platform/headless/headless.h"
#include "zentrova-tool/tool.h"

namespace {

const char kHelp[] =
    "usage: zentrova-tool cat GROUP NAME\n"
    "\n"
    "Writes to standard output exactly the bytes the game loads for GROUP and NAME\n"
    "in the current directory: the loose file GROUP\\NAME, else the entry of\n"
    "GROUP.TVN, else the entry of pak\\GROUP.TVN (names matched without regard to\n"
    "case, compressed entries decompressed). When nothing is found the game's\n"
    "message goes to standard error and the exit code is 1.\n";

int Run(int argc, char** argv) {
  if (TOOL_WantsHelp(argc, argv)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc != 3) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  uint8_t* buf = nullptr;
  int n = RES_Load(argv[1], argv[2], &buf);
  for (const HlMessageBox& box : HL_MessageBoxes()) {
    std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
  }
  if (n <= 0) {
    RES_Free(buf);
    return 1;
  }
  bool ok = std::fwrite(buf, 1, static_cast<size_t>(n), stdout) == static_cast<size_t>(n);
  RES_Free(buf);
  return ok && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

ZV_TOOL_COMMAND(cat, "cat", "write the bytes the game loads for a group and name", Run);
