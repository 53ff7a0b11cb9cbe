// The game's entry in the browser. The page has put the data in /data; the
// player's files go to the browser's storage, mounted at /save. When the
// page hands over an input script (the browser test), the game instead runs
// it as `zentrova-tool replay` does, on a virtual clock, and leaves the
// script trace, the frame hashes and a state summary in /replay for the page
// to compare with the desktop build's.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "common/config.h"
#include "game/state.h"
#include "gfx/render.h"
#include "platform/plt_file.h"
#include "platform/plt_input.h"
#include "platform/plt_registry.h"
#include "platform/plt_types.h"
#include "platform/web/web.h"
#include "script/script.h"
#include "shell/app.h"
#include "text/font.h"
#include "zentrova-tool/replay_input.h"
#include "zentrova-tool/replay_record.h"

namespace {

constexpr const char* kData = "/data";
constexpr const char* kReplayDir = "/replay";
constexpr uint32_t kReplayStartMs = 1000;  // the replay tool's default
// Frame steps between the browser's turns in a replay: enough for it to
// paint now and then, few enough for the replay to run fast.
constexpr uint64_t kStepsPerYield = 4;
// Frame steps between looks at the settings (a second).
constexpr uint64_t kSettingsCheckSteps = 30;

struct Replay {
  FILE* trace = nullptr;
  uint64_t frame = 0;
};
Replay g_replay;

void MakeDir(const std::string& path) {
  ::mkdir(path.c_str(), 0755);
}

// The player's folders: in the browser's storage when it keeps any.
void UseFolders(const std::string& base) {
  MakeDir(base);
  MakeDir(base + "/data");
  MakeDir(base + "/state");
  MakeDir(base + "/config");
  PLT_SetUserDir((base + "/data").c_str());
  PLT_SetStateDir((base + "/state").c_str());
  ::setenv("ZENTROVA_CONFIG_DIR", (base + "/config").c_str(), 1);
  PLT_RegReset();
}

// The same lines as the replay tool's --script-trace.
void TraceEntry(int pc, const char* entry) {
  if (!g_replay.trace) return;
  const std::string line = REC_TraceLine(g_replay.frame, pc, entry);
  std::fwrite(line.data(), 1, line.size(), g_replay.trace);
}

// "desktop" lines change the desktop's display mode, which a page has not.
const ReplaySink kPage = {WEB_InjectMouseMove, WEB_InjectButton,   WEB_InjectKey,
                          WEB_QueueAnswer,     WEB_InjectCommand,  WEB_InjectClose,
                          WEB_InjectActivate,  WEB_InjectMinimized, WEB_InjectWheel,
                          WEB_InjectPadButton, WEB_InjectPadAxis,  WEB_InjectPadConnected,
                          WEB_QueueSliderValues, nullptr};

std::string StateJson(bool quit) {
  std::vector<RecMessageBox> boxes;
  for (const WebMessageBox& b : WEB_MessageBoxes()) {
    boxes.push_back({b.caption.c_str(), b.text.c_str(), b.answer});
  }
  std::string j = REC_StateBegin(quit, boxes);
  REC_StateEnd(j);
  return j;
}

int RunReplay(const char* script, uint64_t frames) {
  std::vector<ReplayEvent> events;
  std::istringstream in(script);
  if (!REPLAY_ParseInput(in, "page", &events)) return 2;
  std::stable_sort(events.begin(), events.end(),
                   [](const ReplayEvent& x, const ReplayEvent& y) { return x.frame < y.frame; });
  const std::string dir = kReplayDir;
  MakeDir(dir);
  UseFolders(dir + "/player");
  const std::string tracePath = dir + "/trace.jsonl", statePath = dir + "/state.json",
                    hashPath = dir + "/hash.txt";
  g_replay.trace = std::fopen(tracePath.c_str(), "w");
  g_scriptTrace = TraceEntry;
  FILE* hashes = std::fopen(hashPath.c_str(), "w");
  WEB_UseVirtualClock(kReplayStartMs);
  g_appOptions.measureCpuClock = 0;
  g_appOptions.singleInstance = 0;
  if (!APP_Start()) return 1;
  uint64_t glyphDraws = FNT_CacheStats().draws, shownGlyphs = 0;
  uint64_t presents = WEB_PresentCount();
  size_t next = 0;
  bool quit = false;
  while (g_app.frameSteps < frames) {
    while (next < events.size() && events[next].frame <= g_app.frameSteps) {
      REPLAY_Dispatch(events[next++], kPage);
    }
    g_replay.frame = g_app.frameSteps;
    const uint64_t before = g_app.frameSteps;
    bool running = true;
    while (running && g_app.frameSteps == before) running = APP_RunOnce();
    if (!running) {
      quit = true;
      break;
    }
    const uint64_t step = g_app.frameSteps - 1;
    const bool drawn = WEB_PresentCount() != presents;
    presents = WEB_PresentCount();
    const uint64_t draws = FNT_CacheStats().draws;
    // A frame whose render pass changed nothing still shows the last one's.
    if (drawn && !BLT_BoxIsEmpty(RND_Changed()))
      shownGlyphs = draws >= glyphDraws ? draws - glyphDraws : draws;
    glyphDraws = draws;
    if (hashes) {
      std::fprintf(hashes, "%llu %016llx %llu\n", static_cast<unsigned long long>(step),
                   static_cast<unsigned long long>(REC_FrameHash(WEB_LastFrame())),
                   static_cast<unsigned long long>(shownGlyphs));
    }
    WEB_PublishState(g_app.frameSteps, g_app.gameMode, g_state[STATE_TITLE].current);
    WEB_ReplayStep(step);
    if (g_app.frameSteps % kStepsPerYield == 0) WEB_Yield();
  }
  if (hashes) std::fclose(hashes);
  if (g_replay.trace) std::fclose(g_replay.trace);
  g_replay.trace = nullptr;
  g_scriptTrace = nullptr;
  const std::string state = StateJson(quit);
  if (FILE* f = std::fopen(statePath.c_str(), "w")) {
    std::fwrite(state.data(), 1, state.size(), f);
    std::fclose(f);
  }
  APP_Shutdown();
  WEB_ReplayDone(tracePath.c_str(), statePath.c_str(), hashPath.c_str());
  return 0;
}

}  // namespace

int main() {
  // The browser's file system starts with a mask of 0777, under which every
  // file the program saves would be left with no permissions at all, and so
  // could not be read back: the usual mask instead.
  ::umask(022);
  if (::chdir(kData) != 0) {
    std::fprintf(stderr, "zentrova: no game data in %s\n", kData);
  }
  if (const char* script = WEB_ScriptText()) return RunReplay(script, WEB_ReplayFrames());
  if (!WEB_MountStorage()) {
    std::fprintf(stderr, "zentrova: the browser keeps no files; nothing will be saved\n");
  }
  UseFolders("/save");
  // The loop of APP_Main, telling the page where the game is. A page is
  // closed without the program ending, so the settings (the gallery's flags
  // among them) are written whenever they change rather than at the end.
  if (!APP_Start()) return 0;
  Settings saved = g_cfg;
  uint64_t checkedAt = 0;
  while (APP_RunOnce()) {
    WEB_PublishState(g_app.frameSteps, g_app.gameMode, g_state[STATE_TITLE].current);
    if (g_app.frameSteps - checkedAt >= kSettingsCheckSteps) {
      checkedAt = g_app.frameSteps;
      if (std::memcmp(&saved, &g_cfg, sizeof saved) != 0 && CFG_Save()) {
        saved = g_cfg;
        WEB_SyncStorage();
      }
    }
  }
  const int code = APP_Shutdown();
  WEB_SyncStorage();
  return code;
}
