// Replay extensions for the title flow and the ranking: the title state in
// the summary ("title"), the ranking table ("rank"), and --totals to start a
// run with the totals of a play-through under way.
#include <cstdio>
#include <cstring>

#include "common/config.h"
#include "game/game_mode.h"
#include "game/play.h"
#include "game/rank.h"
#include "game/title.h"
#include "zentrova-tool/replay_ext.h"

namespace {

struct TotalsOption {
  bool given;
  int stage, score, clicks, maxChain;
};
TotalsOption g_totalsOption;

int ParseTotals(int argc, char** argv, int i) {
  if (std::strcmp(argv[i], "--totals") != 0) return 0;
  if (i + 1 >= argc) {
    std::fprintf(stderr, "replay: --totals needs STAGE,SCORE,CLICKS,MAXCHAIN\n");
    return -1;
  }
  TotalsOption t{};
  char tail = 0;
  if (std::sscanf(argv[i + 1], "%d,%d,%d,%d%c", &t.stage, &t.score, &t.clicks, &t.maxChain,
                  &tail) != 4 ||
      t.stage < 0 || t.stage > 3) {
    std::fprintf(stderr,
                 "replay: bad --totals '%s' (want STAGE,SCORE,CLICKS,MAXCHAIN, stage 0..3)\n",
                 argv[i + 1]);
    return -1;
  }
  t.given = true;
  g_totalsOption = t;
  return 2;
}

void StartTotals() {
  if (!g_totalsOption.given) return;
  g_playTotals.stage = g_totalsOption.stage;
  g_playTotals.score = g_totalsOption.score;
  g_playTotals.clicks = g_totalsOption.clicks;
  g_playTotals.maxChain = g_totalsOption.maxChain;
}

void TitleJson(std::string& out) {
  out += "{\"state\": ";
  REC_JsonInt(out, g_state[STATE_TITLE].current);
  out += ", \"counter\": ";
  REC_JsonInt(out, g_state[STATE_TITLE].counter);
  out += ", \"hovered\": ";
  REC_JsonInt(out, g_title.hovered);
  out += ", \"newestIndex\": ";
  REC_JsonInt(out, g_rank.newestIndex);
  // The second menu item is lit and opens the gallery once a picture was seen.
  out += ", \"galleryLit\": ";
  REC_JsonInt(out, TITLE_GalleryAvailable());
  out += ", \"cg\": [";
  const int count = TITLE_EventPictureCount();
  for (int i = 0; i < count; ++i) {
    if (i) out += ", ";
    REC_JsonInt(out, g_cfg.cg[i]);
  }
  out += "]}";
}

void RankJson(std::string& out) {
  out += "[";
  for (int i = 0; i < RANK_ENTRIES; ++i) {
    if (i) out += ", ";
    out += "[";
    REC_JsonInt(out, g_rank.rankScore[i]);
    out += ", ";
    REC_JsonInt(out, g_rank.rankClicks[i]);
    out += ", ";
    REC_JsonInt(out, g_rank.rankChain[i]);
    out += "]";
  }
  out += "]";
}

}  // namespace

ZV_REPLAY_EXTENSION(title, "title",
                    "  --totals STAGE,SCORE,CLICKS,MAXCHAIN\n"
                    "                   start with these play totals (stage 3: the title set-up\n"
                    "                   enters the result into the ranking; 1 or 2: the stage\n"
                    "                   is played)\n",
                    ParseTotals, StartTotals, nullptr, nullptr, TitleJson, nullptr);
ZV_REPLAY_EXTENSION(rank, "rank", nullptr, nullptr, nullptr, nullptr, nullptr, RankJson, nullptr);
