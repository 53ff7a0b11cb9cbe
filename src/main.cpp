// The game's entry point.
#include <cstdio>
#include <cstring>

#include "platform/plt_datadir.h"
#include "shell/app.h"

#ifndef ZV_DATADIR_RELATIVE
#define ZV_DATADIR_RELATIVE "../share/games/zentrova"
#endif
#ifndef ZV_DATADIR_ABSOLUTE
#define ZV_DATADIR_ABSOLUTE "/usr/share/games/zentrova"
#endif
#ifndef ZV_VERSION
#define ZV_VERSION "1.0.0"
#endif

namespace {

const char kHelp[] =
    "Usage: zentrova [--help] [--version]\n"
    "A scooping game for the mouse: catch the creatures of a moonlit pond, carry\n"
    "them to the bowl and deliver the kinds in their cyclic order to build\n"
    "chains. Between the stages, story scenes; at the end, a top-ten ranking.\n"
    "\n"
    "The game takes no other arguments. It reads its data from the working\n"
    "directory when that holds it (a build tree or a modder's folder), and\n"
    "otherwise from its installed data directory; then \"rank.sav\" is written\n"
    "under $XDG_DATA_HOME/zentrova (default ~/.local/share/zentrova) and the\n"
    "debug log \"debug.txt\" under $XDG_STATE_HOME/zentrova (default\n"
    "~/.local/state/zentrova). Settings are kept in\n"
    "$XDG_CONFIG_HOME/TAVREN/Zentrova/registry.txt (default ~/.config).\n"
    "\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("zentrova %s\n", ZV_VERSION);
    return 0;
  }
  if (!PLT_LocateData(ZV_DATADIR_RELATIVE, ZV_DATADIR_ABSOLUTE)) {
    std::fprintf(stderr,
                 "zentrova: no game data here or in %s; pictures and sounds will be missing\n",
                 ZV_DATADIR_ABSOLUTE);
  }
  return APP_Main();
}
