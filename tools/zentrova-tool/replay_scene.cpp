// Replay extension for the story scenes: the scene's state in the summary
// ("scene"), a trace of the script entries run (--script-trace), and the
// title, scene and ranking parts of --autoplay.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/game_mode.h"
#include "game/play.h"
#include "game/title.h"
#include "platform/headless/headless.h"
#include "platform/plt_types.h"
#include "script/scene.h"
#include "script/script.h"
#include "shell/app.h"
#include "zentrova-tool/autoplay_hands.h"
#include "zentrova-tool/replay_ext.h"
#include "zentrova-tool/sjis.h"

namespace {

// How the scripted reader acts.
enum : int {
  READ_PAUSE = 12,    // frames it rests on a fully shown message before clicking
  CHOOSE_PAUSE = 20,  // frames it hovers over a choice before clicking
};

enum Phase { BEFORE, PLAYING, BACK_AT_TITLE };

struct SceneReplay {
  const char* tracePath;
  FILE* trace;
  uint64_t frame;  // the frame step about to run
  std::vector<int> choices;
  size_t nextChoice;
  bool skip;
  bool untilTitle;
  Phase phase;
  bool buttonDown;
  bool skipHeld;
  int rest;  // frames the reader has rested on what it is looking at
};
SceneReplay g_sr = {nullptr, nullptr, 0, {}, 0, false, false, BEFORE, false, false, 0};

int ParseSceneOption(int argc, char** argv, int i) {
  const char* a = argv[i];
  if (std::strcmp(a, "--script-trace") == 0) {
    if (i + 1 >= argc) {
      std::fprintf(stderr, "zentrova-tool replay: --script-trace needs FILE.jsonl\n");
      return -1;
    }
    g_sr.tracePath = argv[i + 1];
    return 2;
  }
  if (std::strcmp(a, "--autoplay-choices") == 0) {
    std::string list = i + 1 < argc ? argv[i + 1] : "";
    g_sr.choices.clear();
    size_t at = 0;
    while (i + 1 < argc) {
      const size_t comma = list.find(',', at);
      const std::string item = list.substr(at, comma == std::string::npos ? comma : comma - at);
      char* end = nullptr;
      const long v = std::strtol(item.c_str(), &end, 10);
      if (item.empty() || !end || *end || v < 0 || v >= AVG_CHOICES) {
        std::fprintf(stderr, "zentrova-tool replay: --autoplay-choices needs I,J,... (0..3)\n");
        return -1;
      }
      g_sr.choices.push_back(static_cast<int>(v));
      if (comma == std::string::npos) break;
      at = comma + 1;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "zentrova-tool replay: --autoplay-choices needs I,J,...\n");
      return -1;
    }
    return 2;
  }
  if (std::strcmp(a, "--autoplay-skip") == 0) {
    g_sr.skip = true;
    return 1;
  }
  if (std::strcmp(a, "--until") == 0) {
    if (i + 1 >= argc || std::strcmp(argv[i + 1], "title") != 0) {
      std::fprintf(stderr, "zentrova-tool replay: --until takes 'title'\n");
      return -1;
    }
    g_sr.untilTitle = true;
    return 2;
  }
  return 0;
}

void TraceEntry(int pc, const char* entry) {
  if (!g_sr.trace) return;
  const std::string line = REC_TraceLine(g_sr.frame, pc, entry);
  std::fwrite(line.data(), 1, line.size(), g_sr.trace);
}

void StartScene() {
  if (g_sr.tracePath) {
    g_sr.trace = std::fopen(g_sr.tracePath, "w");
    if (!g_sr.trace) {
      std::fprintf(stderr, "zentrova-tool replay: cannot write '%s'\n", g_sr.tracePath);
    } else {
      g_scriptTrace = TraceEntry;
    }
  }
  g_sr.nextChoice = 0;
  g_sr.phase = BEFORE;
  g_sr.buttonDown = g_sr.skipHeld = false;
  g_sr.rest = 0;
}

void Button(bool down) {
  if (HANDS_Pad()) {
    HANDS_Button(down);
    return;
  }
  if (down == g_sr.buttonDown) return;
  HL_MouseButton(0, down ? 1 : 0);
  g_sr.buttonDown = down;
}

void HoldSkip(bool on) {
  if (HANDS_Pad()) {
    HANDS_Skip(on);
    return;
  }
  if (on == g_sr.skipHeld) return;
  HL_KeyEvent(PLT_VK_CONTROL, on ? 1 : 0);
  g_sr.skipHeld = on;
}

// A click: pressed in one frame, released in the next.
void ClickAt(int x, int y) {
  if (HANDS_Pad()) {
    HANDS_ClickAt(x, y);
    return;
  }
  if (g_sr.buttonDown) {
    Button(false);
    return;
  }
  HL_MouseMove(x, y);
  Button(true);
}

void ReadScene() {
  HoldSkip(g_sr.skip);
  if (g_sr.buttonDown) {
    Button(false);
    return;
  }
  if (g_scene.choicesOpen && g_interp.choiceRunning) {
    int want = g_sr.nextChoice < g_sr.choices.size() ? g_sr.choices[g_sr.nextChoice] : 0;
    if (want >= g_scene.choiceCount) want = 0;
    HL_MouseMove(400, 232 + 28 * want + 14);
    if (++g_sr.rest >= CHOOSE_PAUSE) {
      g_sr.rest = 0;
      ++g_sr.nextChoice;
      ClickAt(400, 232 + 28 * want + 14);
    }
    return;
  }
  if (g_sr.skip) return;
  if (g_interp.messageRunning && !g_scene.revealing) {
    // A hidden window waits for a right click; the reader never hides it.
    if (++g_sr.rest >= READ_PAUSE) {
      g_sr.rest = 0;
      ClickAt(320, 400);
    }
    return;
  }
  g_sr.rest = 0;
}

void AtTitle() {
  HoldSkip(false);
  const int state = g_state[STATE_TITLE].current;
  if (g_sr.phase == BEFORE) {
    // Through the logos and fades to the menu, then the first item.
    if (state == TITLE_LOGOS || state == TITLE_PICTURE || state == TITLE_MENU_IN ||
        state == TITLE_MENU || state == TITLE_LEAVING) {
      ClickAt(232 + 80, 288 + 20);
    } else {
      Button(false);
    }
    return;
  }
  if (g_sr.phase == PLAYING) {
    if (state == TITLE_RANK_NEW || state == TITLE_RANK_SHOW) {
      ClickAt(320, 240);  // dismiss the ranking
    } else if (state != TITLE_PLAYING) {
      Button(false);
    }
  }
}

void BeforeLoop(uint64_t frameSteps) {
  g_sr.frame = frameSteps;
  if (!g_replayAutoplay || g_sr.phase == BACK_AT_TITLE) return;
  if (g_app.gameMode == MODE_SCENE) {
    g_sr.phase = PLAYING;
    ReadScene();
    return;
  }
  if (g_app.gameMode == MODE_GAME) AtTitle();
}

void AfterStep(uint64_t) {
  if (!g_replayAutoplay) return;
  const int state = g_state[STATE_TITLE].current;
  if (g_sr.phase == BEFORE && (state == TITLE_LEAVING || g_app.gameMode == MODE_SCENE)) {
    g_sr.phase = PLAYING;
  }
  if (g_sr.phase == PLAYING && g_app.gameMode == MODE_GAME && g_playTotals.stage == 0 &&
      state == TITLE_LOGOS) {
    g_sr.phase = BACK_AT_TITLE;
    Button(false);
    HoldSkip(false);
    ++g_replayPlaythroughs;
    if (g_sr.untilTitle) {
      g_replayStop = true;
    } else if (g_replaySoakFrames > 0) {
      // The next play-through, with the same choices.
      g_sr.phase = BEFORE;
      g_sr.nextChoice = 0;
      g_sr.rest = 0;
    }
  }
}

void SceneJson(std::string& out) {
  out += "{";
  REC_JsonField(out, "script", g_script.loaded ? g_script.number : -1, true);
  REC_JsonField(out, "pc", g_script.pc);
  REC_JsonField(out, "count", g_script.count);
  out += ", \"vars\": ";
  REC_JsonInts(out, g_vars, SCR_VARS);
  out += ", \"flags\": {";
  bool first = true;
  for (int i = 0; i < SCR_FLAGS; ++i) {
    if (!g_interp.flags[i]) continue;
    if (!first) out += ", ";
    first = false;
    REC_JsonString(out, std::to_string(i).c_str());
    out += ": ";
    REC_JsonInt(out, g_interp.flags[i]);
  }
  out += "}, \"message\": {";
  REC_JsonField(out, "shown", g_scene.shown, true);
  REC_JsonField(out, "revealing", g_scene.revealing);
  REC_JsonField(out, "position", g_scene.revealPos);
  REC_JsonField(out, "target", g_scene.revealTarget);
  REC_JsonField(out, "window", g_scene.windowVisible);
  out += "}, \"transition\": {";
  REC_JsonField(out, "running", g_scene.transRunning, true);
  REC_JsonField(out, "effect", g_scene.transEffect);
  REC_JsonField(out, "counter", g_scene.transCounter);
  REC_JsonField(out, "length", g_scene.transLength);
  out += "}, \"choices\": {";
  REC_JsonField(out, "open", g_scene.choicesOpen, true);
  out += ", \"texts\": [";
  for (int i = 0; i < g_scene.choiceCount && i < AVG_CHOICES; ++i) {
    if (i) out += ", ";
    REC_JsonString(out, SJIS_ToUtf8(g_scene.choices[i]).c_str());
  }
  out += "]";
  REC_JsonField(out, "hovered", g_scene.lastHovered);
  out += "}}";
}

void FinishScene() {
  g_scriptTrace = nullptr;
  if (g_sr.trace) std::fclose(g_sr.trace);
  g_sr.trace = nullptr;
}

}  // namespace

ZV_REPLAY_EXTENSION(
    scene, "scene",
    "  --script-trace FILE.jsonl\n"
    "                       one JSON line each time the script interpreter starts\n"
    "                       an entry (a waiting command once, on its first frame):\n"
    "                       frame, script, pc, entry (hex bytes), vars (before it)\n"
    "  --autoplay-choices I,J,...\n"
    "                       with --autoplay: the choices to pick, in order (0 once\n"
    "                       the list runs out); in a scene the player waits until\n"
    "                       each message is fully shown and clicks after a pause\n"
    "  --autoplay-skip      with --autoplay: hold the skip key through the scenes\n"
    "  --until title        end the replay on the frame the play-through is back at\n"
    "                       the title (with --autoplay)\n",
    ParseSceneOption, StartScene, BeforeLoop, AfterStep, SceneJson, FinishScene);
