// zentrova-tool replay: runs the real main loop headless with scripted input.
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/host.h"
#include "common/log.h"
#include "game/rank.h"
#include "gfx/image.h"
#include "gfx/render.h"
#include "platform/headless/headless.h"
#include "platform/headless/hl_audio.h"
#include "platform/plt_input.h"
#include "platform/plt_instance.h"
#include "platform/plt_png.h"
#include "platform/plt_registry.h"
#include "platform/plt_types.h"
#include "script/readmark.h"
#include "shell/app.h"
#include "text/font.h"
#include "zentrova-tool/autoplay_hands.h"
#include "zentrova-tool/replay_ext.h"
#include "zentrova-tool/replay_input.h"
#include "zentrova-tool/tool.h"

bool g_replayAutoplay = false;
bool g_replayStop = false;

namespace {

std::vector<ReplayExtension>& Extensions() {
  static std::vector<ReplayExtension> list;
  return list;
}

// The source file of each extension in Extensions(), in the same order.
std::vector<const char*>& ExtensionFiles() {
  static std::vector<const char*> files;
  return files;
}

const char kHelp[] =
    "usage: zentrova-tool replay [--frames N] [--input SCRIPT] [--shot FRAME:FILE.png]...\n"
    "                            [--state FILE.json] [--start-time MS] [OPTIONS]\n"
    "\n"
    "Runs the game's real main loop in the current directory (the data directory)\n"
    "with the headless backend: a virtual clock (a sleep advances it at once), no\n"
    "window, scripted input, message boxes answered by the script (otherwise by\n"
    "their default button: OK, or Yes), frames captured.\n"
    "\n"
    "  --frames N          stop after N frame steps (default 300); frame steps are\n"
    "                      numbered from 0, and frame 0 runs the game's start-up\n"
    "  --input SCRIPT      plain-text input script (below)\n"
    "  --shot F:FILE.png   write the frame shown after frame step F (repeatable)\n"
    "  --state FILE.json   write a JSON summary of the game's state at the end\n"
    "  --audio FILE.wav    write what the sound device mixed (44100 Hz stereo)\n"
    "  --frame-hashes FILE write one line per frame step, 'FRAME HASH': the 64-bit\n"
    "                      FNV-1a of the 24-bit frame shown after that step, in 16\n"
    "                      hex digits (the same input gives the same lines on every\n"
    "                      platform wherever no glyph is drawn)\n"
    "  --glyph-frames FILE write one line per frame step, 'FRAME GLYPHS': how many\n"
    "                      glyphs of the platform's font the frame shown holds\n"
    "                      (frames with none compare across platforms)\n"
    "  --start-time MS     virtual clock at start (default 1000); it also seeds the\n"
    "                      game's random generator, as the real clock does\n"
    "\n"
    "Settings are read and written in $ZENTROVA_CONFIG_DIR when it is set, else in a\n"
    "temporary directory that is removed at the end.\n"
    "\n"
    "Input script: one event a line, '#' starts a comment. Each line starts with the\n"
    "frame step F in which the event is first seen:\n"
    "  F move X Y             cursor to client pixel (X, Y)\n"
    "  F down BUTTON          BUTTON is left, right or middle\n"
    "  F up BUTTON\n"
    "  F click BUTTON [X Y]   (move and) press in frame F, release in frame F+1\n"
    "  F key KEY down|up      KEY: a-z, 0-9, pad0-pad9, up, down, left, right, enter,\n"
    "                         space, ctrl, shift, alt, tab, esc, pageup, pagedown,\n"
    "                         end, home, f1-f12\n"
    "  F tap KEY              pressed and released between two polls\n"
    "  F type LETTERS         one letter a frame from frame F on (e.g. 'type fps')\n"
    "  F answer yes|no|ok     the answer to the next message box or dialog (a dialog\n"
    "                         takes ok or yes as OK, no as closing it otherwise)\n"
    "  F command ID           a menu command (e.g. 40006 quit)\n"
    "  F close                the window's close box\n"
    "  F activate 0|1         the window loses or gains the focus\n"
    "  F minimize 1|0         the window is minimised or restored\n"
    "  F desktop BPP W H      the desktop changes to BPP bits (8, 16, 24, 32) at W x H\n"
    "  F wheel N              the wheel turns N notches (positive away from the user)\n"
    "  F pad BUTTON down|up   a game-controller button: a, b, x, y, start, back, dpup,\n"
    "                         dpdown, dpleft, dpright, lt, rt\n"
    "  F axis leftx|lefty V   the left stick's axis at V (-32768 to 32767)\n"
    "  F gamepad 1|0          a game controller is connected or removed\n"
    "  F sliders V...         the sliders of the next dialog that has them, as the\n"
    "                         user leaves them (0 to 100 each)\n"
    "\n"
    "JSON summary keys: frame, loopState, gameMode, debugMode, drawnLastSecond,\n"
    "updatesLastSecond, framesDrawn, quit, savesDisabled (a running game held the\n"
    "single-instance lock, so rank.sav was left alone), log (the last 50 debug-log lines),\n"
    "messageBoxes (dialogs among them), and the state the game adds";

using Event = ReplayEvent;

bool ParseInt(const std::string& s, long long* v) {
  char* end = nullptr;
  *v = std::strtoll(s.c_str(), &end, 10);
  return !s.empty() && end && *end == 0;
}


}  // namespace

void REPLAY_ApplyEvent(const ReplayEvent& e) {
  static const ReplaySink kHeadless = {
      HL_MouseMove,   HL_MouseButton, HL_KeyEvent,     HL_QueueAnswer,       HL_PostCommand,
      HL_PostClose,   HL_SetActive,   HL_PostMinimized, HL_Wheel,            HL_PadButton,
      HL_PadAxis,     HL_PadConnected, HL_QueueSliderValues, HL_ChangeDesktop};
  REPLAY_Dispatch(e, kHeadless);
}

namespace {

// Reads the script file.
bool ParseScript(const char* path, std::vector<Event>* out) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "zentrova-tool replay: cannot read '%s'\n", path);
    return false;
  }
  return REPLAY_ParseInput(in, path, out);
}

struct Shot {
  uint64_t frame;
  std::string path;
};

bool WriteText(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

int Run(int argc, char** argv) {
  if (TOOL_WantsHelp(argc, argv)) {
    std::fputs(kHelp, stdout);
    std::fputs(".\n", stdout);
    for (const ReplayExtension& x : Extensions()) {
      if (x.help) std::fputs(x.help, stdout);
    }
    return 0;
  }
  long long frames = 300, startTime = 1000;
  const char* script = nullptr;
  const char* statePath = nullptr;
  const char* audioPath = nullptr;
  const char* hashPath = nullptr;
  const char* glyphPath = nullptr;
  std::vector<Shot> shots;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--frames" && hasValue) {
      if (!ParseInt(argv[++i], &frames) || frames < 0) {
        std::fprintf(stderr, "zentrova-tool replay: bad --frames\n");
        return 2;
      }
    } else if (a == "--start-time" && hasValue) {
      if (!ParseInt(argv[++i], &startTime) || startTime < 1 || startTime > 0x7FFFFFFF) {
        std::fprintf(stderr, "zentrova-tool replay: bad --start-time\n");
        return 2;
      }
    } else if (a == "--input" && hasValue) {
      script = argv[++i];
    } else if (a == "--audio" && hasValue) {
      audioPath = argv[++i];
    } else if (a == "--glyph-frames" && hasValue) {
      glyphPath = argv[++i];
    } else if (a == "--frame-hashes" && hasValue) {
      hashPath = argv[++i];
    } else if (a == "--state" && hasValue) {
      statePath = argv[++i];
    } else if (a == "--shot" && hasValue) {
      std::string s = argv[++i];
      size_t colon = s.find(':');
      long long f;
      if (colon == std::string::npos || !ParseInt(s.substr(0, colon), &f) || f < 0 ||
          colon + 1 >= s.size()) {
        std::fprintf(stderr, "zentrova-tool replay: --shot needs FRAME:FILE.png\n");
        return 2;
      }
      shots.push_back(Shot{static_cast<uint64_t>(f), s.substr(colon + 1)});
    } else {
      int taken = 0;
      for (const ReplayExtension& x : Extensions()) {
        if (x.parseOption && (taken = x.parseOption(argc, argv, i)) != 0) break;
      }
      if (taken < 0) return 2;
      if (taken == 0) {
        std::fprintf(stderr, "zentrova-tool replay: unknown option '%s' (see --help)\n", argv[i]);
        return 2;
      }
      i += taken - 1;
    }
  }
  if (g_replaySoakFrames > 0) frames = g_replaySoakFrames;
  std::vector<Event> events;
  if (script && !ParseScript(script, &events)) return 2;
  std::stable_sort(events.begin(), events.end(),
                   [](const Event& x, const Event& y) { return x.frame < y.frame; });

  std::string tempConfig;
  if (!std::getenv("ZENTROVA_CONFIG_DIR")) {
    tempConfig = TOOL_MakeTempDir("zentrova-replay-");
    if (tempConfig.empty()) {
      std::fprintf(stderr, "zentrova-tool replay: cannot make a temporary directory\n");
      return 1;
    }
    TOOL_SetEnv("ZENTROVA_CONFIG_DIR", tempConfig.c_str());
  }
  PLT_RegReset();
  HL_Reset();
  HL_AudioReset();
  HL_SetTime(static_cast<uint32_t>(startTime));
  g_appOptions.measureCpuClock = 0;
  g_appOptions.singleInstance = 0;
  // Beside a running game the ranking file is the game's: whichever saved
  // last would win.
  g_rank.savesDisabled = PLT_InstanceLockHeld(APP_INSTANCE_LOCK);
  g_read.savesDisabled = g_rank.savesDisabled;
  if (g_rank.savesDisabled)
    std::fprintf(stderr,
                 "zentrova-tool replay: a game is running; rank.sav is not written in this run "
                 "(nor read.sav)\n");
  int status = 0;
  g_replayStop = false;
  if (!APP_Start()) {
    std::fprintf(stderr, "zentrova-tool replay: the game did not start\n");
    return 1;
  }
  if (audioPath && !HL_AudioCaptureStart(audioPath)) {
    std::fprintf(stderr, "zentrova-tool replay: cannot write '%s'\n", audioPath);
    status = 1;
  }
  FILE* hashes = nullptr;
  if (hashPath && !(hashes = std::fopen(hashPath, "w"))) {
    std::fprintf(stderr, "zentrova-tool replay: cannot write '%s'\n", hashPath);
    status = 1;
  }
  FILE* glyphs = nullptr;
  if (glyphPath && !(glyphs = std::fopen(glyphPath, "w"))) {
    std::fprintf(stderr, "zentrova-tool replay: cannot write '%s'\n", glyphPath);
    status = 1;
  }
  uint64_t glyphDraws = FNT_CacheStats().draws, shownGlyphs = 0;
  for (const ReplayExtension& x : Extensions()) {
    if (x.start) x.start();
  }
  size_t next = 0;
  uint64_t presents = HL_PresentCount();
  bool quit = false;
  while (g_app.frameSteps < static_cast<uint64_t>(frames)) {
    while (next < events.size() && events[next].frame <= g_app.frameSteps)
      REPLAY_ApplyEvent(events[next++]);
    for (const ReplayExtension& x : Extensions()) {
      if (x.beforeLoop) x.beforeLoop(g_app.frameSteps);
    }
    HANDS_Apply();  // after every scripted player has decided this frame
    // Message-loop passes until the next frame step has run (or the game quit).
    const uint64_t before = g_app.frameSteps;
    bool running = true;
    while (running && g_app.frameSteps == before) running = APP_RunOnce();
    if (!running) {
      quit = true;
      break;
    }
    for (const ReplayExtension& x : Extensions()) {
      if (x.afterStep) x.afterStep(g_app.frameSteps);
    }
    const bool stopHere = g_replayStop;
    uint64_t step = g_app.frameSteps - 1;
    bool drawn = HL_PresentCount() != presents;
    presents = HL_PresentCount();
    // A step that drew nothing still shows the last drawn frame.
    const uint64_t draws = FNT_CacheStats().draws;  // the cache statistics may be reset
    // A frame whose render pass changed nothing still shows the last one's.
    if (drawn && !BLT_BoxIsEmpty(RND_Changed()))
      shownGlyphs = draws >= glyphDraws ? draws - glyphDraws : draws;
    glyphDraws = draws;
    if (glyphs)
      std::fprintf(glyphs, "%llu %llu\n", static_cast<unsigned long long>(step),
                   static_cast<unsigned long long>(shownGlyphs));
    if (hashes)
      std::fprintf(hashes, "%llu %016llx\n", static_cast<unsigned long long>(step),
                   static_cast<unsigned long long>(REC_FrameHash(HL_LastFrame())));
    for (const Shot& s : shots) {
      if (s.frame != step) continue;
      int w, h;
      HL_LastFrameSize(&w, &h);
      if (!drawn)
        std::fprintf(stderr,
                     "zentrova-tool replay: frame %llu was not drawn; writing the last drawn one\n",
                     static_cast<unsigned long long>(step));
      if (HL_LastFrame().empty() || !PLT_WritePng(s.path.c_str(), HL_LastFrame().data(), w, h)) {
        std::fprintf(stderr, "zentrova-tool replay: cannot write '%s'\n", s.path.c_str());
        status = 1;
      }
    }
    if (stopHere) break;
  }
  for (const ReplayExtension& x : Extensions()) {
    if (x.finish) x.finish();
  }
  if (glyphs && std::fclose(glyphs) != 0) {
    std::fprintf(stderr, "zentrova-tool replay: cannot write '%s'\n", glyphPath);
    status = 1;
  }
  if (hashes && std::fclose(hashes) != 0) {
    std::fprintf(stderr, "zentrova-tool replay: cannot write '%s'\n", hashPath);
    status = 1;
  }
  if (statePath) {
    std::vector<RecMessageBox> boxes;
    for (const HlMessageBox& b : HL_MessageBoxes()) {
      boxes.push_back({b.caption.c_str(), b.text.c_str(), b.answer});
    }
    std::string j = REC_StateBegin(quit, boxes);
    for (const ReplayExtension& x : Extensions()) {
      if (!x.key || !x.writeJson) continue;
      REC_StateKey(j, x.key);
      x.writeJson(j);
    }
    REC_StateEnd(j);
    if (!WriteText(statePath, j)) {
      std::fprintf(stderr, "zentrova-tool replay: cannot write '%s'\n", statePath);
      status = 1;
    }
  }
  APP_Shutdown();
  if (audioPath) HL_AudioCaptureStop();
  if (!tempConfig.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(tempConfig, ec);
    TOOL_SetEnv("ZENTROVA_CONFIG_DIR", nullptr);
  }
  return status;
}

}  // namespace

ReplayRegistrar::ReplayRegistrar(const char* file, const ReplayExtension& ext) {
  std::vector<const char*>& files = ExtensionFiles();
  const auto at = std::upper_bound(files.begin(), files.end(), file,
                                   [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
  Extensions().insert(Extensions().begin() + (at - files.begin()), ext);
  files.insert(at, file);
}

ZV_TOOL_COMMAND(replay, "replay", "run the game headless with scripted input", Run);
