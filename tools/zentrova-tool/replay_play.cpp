// Replay extension for the scooping game: the stage's state in the summary
// ("play"), a trace of every release during play (--trace) and a scripted
// player (--autoplay).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/game_mode.h"
#include "game/play.h"
#include "game/title.h"
#include "platform/headless/headless.h"
#include "zentrova-tool/autoplay_hands.h"
#include "zentrova-tool/play_autoplay.h"
#include "zentrova-tool/replay_ext.h"

namespace {

struct PlayReplay {
  const char* tracePath;
  FILE* trace;
  uint32_t lastSerial;
  uint32_t autoplaySeed;
  PlayAutoplayer player;
  int appliedX, appliedY;
  bool appliedDown;
};
PlayReplay g_pr = {nullptr, nullptr, 0, 1, {}, -1, -1, false};

int ParsePlayOption(int argc, char** argv, int i) {
  if (std::strcmp(argv[i], "--trace") == 0) {
    if (i + 1 >= argc) {
      std::fprintf(stderr, "zentrova-tool replay: --trace needs FILE.jsonl\n");
      return -1;
    }
    g_pr.tracePath = argv[i + 1];
    return 2;
  }
  if (std::strcmp(argv[i], "--autoplay") == 0) {
    g_replayAutoplay = true;
    return 1;
  }
  if (std::strcmp(argv[i], "--autoplay-seed") == 0) {
    char* end = nullptr;
    unsigned long v = i + 1 < argc ? std::strtoul(argv[i + 1], &end, 10) : 0;
    if (i + 1 >= argc || !end || *end != 0 || v == 0 || v > 0xFFFFFFFFul) {
      std::fprintf(stderr, "zentrova-tool replay: --autoplay-seed needs a number from 1\n");
      return -1;
    }
    g_pr.autoplaySeed = static_cast<uint32_t>(v);
    return 2;
  }
  return 0;
}

void StartPlay() {
  if (g_pr.tracePath) {
    g_pr.trace = std::fopen(g_pr.tracePath, "w");
    if (!g_pr.trace) {
      std::fprintf(stderr, "zentrova-tool replay: cannot write '%s'\n", g_pr.tracePath);
    }
  }
  g_pr.lastSerial = g_play.release.serial;
  g_pr.player.Reset(g_pr.autoplaySeed);
  g_pr.appliedX = g_pr.appliedY = -1;
  g_pr.appliedDown = false;
}

bool Playing() {
  return g_state[STATE_TITLE].current == TITLE_PLAYING;
}

void BeforeLoop(uint64_t) {
  if (!g_replayAutoplay || !Playing()) return;
  PlayAutoplayer& p = g_pr.player;
  if (HANDS_Pad()) {
    // The pad's cursor lags behind where the player looks: it decides from
    // where the cursor really is, and presses only on arrival.
    HANDS_Cursor(&p.x, &p.y);
    p.Step();
    HANDS_Move(p.x, p.y);
    HANDS_Button(p.down);
    return;
  }
  p.Step();
  if (p.x != g_pr.appliedX || p.y != g_pr.appliedY) {
    HL_MouseMove(p.x, p.y);
    g_pr.appliedX = p.x;
    g_pr.appliedY = p.y;
  }
  if (p.down != g_pr.appliedDown) {
    HL_MouseButton(0, p.down ? 1 : 0);
    g_pr.appliedDown = p.down;
  }
}

void History(std::string& out) {
  const int32_t h[4] = {g_play.chain.history[0], g_play.chain.history[1], g_play.chain.history[2],
                        g_play.chain.history[3]};
  REC_JsonInts(out, h, 4);
}

void AfterStep(uint64_t frameSteps) {
  const PlayReleaseInfo& r = g_play.release;
  if (r.serial == g_pr.lastSerial) return;
  g_pr.lastSerial = r.serial;
  if (!g_pr.trace) return;
  std::string line = "{";
  REC_JsonField(line, "frame", static_cast<int64_t>(frameSteps) - 1, true);
  REC_JsonField(line, "x", r.x);
  REC_JsonField(line, "y", r.y);
  REC_JsonField(line, "inBowl", r.inBowl);
  line += ", \"kinds\": ";
  REC_JsonInts(line, r.kinds, r.heldCount);
  REC_JsonField(line, "delivered", r.delivered);
  REC_JsonField(line, "dropped", r.dropped);
  REC_JsonField(line, "units", r.units);
  REC_JsonField(line, "score", g_playTotals.score);
  REC_JsonField(line, "chainCount", g_play.chain.chainCount);
  REC_JsonField(line, "target", g_play.chain.target);
  line += ", \"history\": ";
  History(line);
  line += "}\n";
  std::fwrite(line.data(), 1, line.size(), g_pr.trace);
}

void PlayJson(std::string& out) {
  const PlayTotals& t = g_playTotals;
  const ChainState& ch = g_play.chain;
  out += "{";
  REC_JsonField(out, "state", PLAY_State(), true);
  REC_JsonField(out, "counter", PLAY_Counter());
  out += ", \"totals\": {";
  REC_JsonField(out, "stage", t.stage, true);
  REC_JsonField(out, "score", t.score);
  REC_JsonField(out, "clicks", t.clicks);
  REC_JsonField(out, "maxChain", t.maxChain);
  REC_JsonField(out, "shownScore", t.shownScore);
  REC_JsonField(out, "slowed", t.slowed);
  out += "}, \"chain\": {";
  REC_JsonField(out, "chainDisplay", ch.chainDisplay, true);
  REC_JsonField(out, "chainCount", ch.chainCount);
  REC_JsonField(out, "target", ch.target);
  out += ", \"history\": ";
  History(out);
  out += "}, \"creatures\": [";
  for (int i = 0; i < g_play.count && i < PLAY_OBJECTS; ++i) {
    const ScoopObject& o = g_play.objects[i];
    out += i ? ", {" : "{";
    REC_JsonField(out, "kind", o.kind, true);
    REC_JsonField(out, "x", o.x);
    REC_JsonField(out, "y", o.y);
    REC_JsonField(out, "size", o.size);
    REC_JsonField(out, "state", o.state);
    out += "}";
  }
  out += "]}";
}

void FinishPlay() {
  if (g_pr.trace) std::fclose(g_pr.trace);
  g_pr.trace = nullptr;
}

}  // namespace

ZV_REPLAY_EXTENSION(
    play, "play",
    "  --trace FILE.jsonl   one JSON line per release of the left button during\n"
    "                       play: frame, x, y, inBowl, kinds, delivered, dropped,\n"
    "                       units, and score, chainCount, target, history after it\n"
    "  --autoplay           plays a whole play-through: chooses the first title\n"
    "                       item, reads the story scenes (see --autoplay-choices),\n"
    "                       and in a stage a scripted player clicks to start,\n"
    "                       catches creatures (the kind that continues the chain\n"
    "                       first), carries them to the bowl and dismisses the\n"
    "                       stage-clear banner (start a stage with --totals 1,0,0,0)\n"
    "  --autoplay-seed N    seed of the scripted player's pauses (default 1)\n",
    ParsePlayOption, StartPlay, BeforeLoop, AfterStep, PlayJson, FinishPlay);
