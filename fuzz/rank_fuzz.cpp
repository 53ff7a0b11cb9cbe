// "rank.sav" of any content: loading takes whole values only and keeps the
// rest of the table; a result entered afterwards keeps the table sorted by
// score and the file it saves loads back as the same table.
#include <cstring>

#include "fuzz_util.h"
#include "game/play.h"
#include "game/rank.h"
#include "platform/headless/headless.h"

namespace {
// Value v of the file: score, clicks and chain arrays one after the other.
int32_t Value(const RankTable& t, size_t v) {
  const int32_t* const arrays[3] = {t.rankScore, t.rankClicks, t.rankChain};
  return arrays[v / RANK_ENTRIES][v % RANK_ENTRIES];
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDir();
  HL_Reset();
  fuzz::WriteFile("rank.sav", data, size);
  RANK_Reset();
  const RankTable builtIn = g_rank;
  RANK_Load();
  // Values the file does not hold whole stay built in.
  for (size_t v = size / 4; v < 3 * RANK_ENTRIES; ++v) {
    if (Value(g_rank, v) != Value(builtIn, v)) __builtin_trap();
  }
  PlayTotals totals{};
  // A score the game can reach: the table holds six digits.
  uint32_t raw = 0;
  if (size >= 4) std::memcpy(&raw, data, 4);
  totals.score = static_cast<int32_t>(raw % 1000000u);
  totals.clicks = 7;
  totals.maxChain = 3;
  const int32_t score = totals.score;
  const int place = RANK_Insert(&totals);
  if (place >= RANK_ENTRIES || place < -1) __builtin_trap();
  if (place >= 0) {
    if (g_rank.rankScore[place] != score || g_rank.newestIndex != place) __builtin_trap();
    const RankTable saved = g_rank;
    RANK_Reset();
    RANK_Load();
    if (std::memcmp(saved.rankScore, g_rank.rankScore, sizeof saved.rankScore) != 0 ||
        std::memcmp(saved.rankClicks, g_rank.rankClicks, sizeof saved.rankClicks) != 0 ||
        std::memcmp(saved.rankChain, g_rank.rankChain, sizeof saved.rankChain) != 0)
      __builtin_trap();
  }
  return 0;
}
