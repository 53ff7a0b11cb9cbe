// The ranking table and "rank.sav": three arrays of ten little-endian signed
// 32-bit values (scores, clicks, chains), 120 bytes, no header.
#include "game/rank.h"

#include "common/file.h"
#include "common/log.h"
#include "common/msg.h"
#include "game/play.h"
#include "platform/plt_file.h"

RankTable g_rank = {
    {100000, 90000, 80000, 70000, 60000, 50000, 40000, 30000, 20000, 10000}, {}, {}, -1, 0};

const char* const RANK_FILE = "rank.sav";

namespace {
constexpr int kArrayBytes = RANK_ENTRIES * 4;

int32_t GetLE32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

void PutLE32(uint8_t* p, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}

// The largest value each array can show: six digits of score, four of clicks,
// two of chain.
const int32_t kArrayMax[3] = {999999, 9999, 99};

int32_t Clamp(int32_t v, int32_t hi) {
  return v < 0 ? 0 : v > hi ? hi : v;
}

const char kSaveFailed[] =
    "ランキングを保存できませんでした。ディスクの空きや書き込み権限を確かめてください。";

int32_t* Array(int a) {
  if (a == 0) return g_rank.rankScore;
  if (a == 1) return g_rank.rankClicks;
  return g_rank.rankChain;
}
}  // namespace

void RANK_Reset() {
  for (int i = 0; i < RANK_ENTRIES; ++i) {
    g_rank.rankScore[i] = 100000 - 10000 * i;
    g_rank.rankClicks[i] = 0;
    g_rank.rankChain[i] = 0;
  }
  g_rank.newestIndex = -1;
}

void RANK_Load() {
  // One read of the whole file: the three arrays come from the same version
  // of it. Only whole values are taken, so a file cut inside a value leaves
  // that value as it was instead of mixing old and new bytes.
  uint8_t buf[RANK_FILE_SIZE];
  int n = FILE_ReadAt(RANK_FILE, 0, buf, RANK_FILE_SIZE);
  if (n <= 0) return;
  if (n > RANK_FILE_SIZE) n = RANK_FILE_SIZE;
  for (int a = 0; a < 3; ++a) {
    int32_t* arr = Array(a);
    for (int i = 0; i < RANK_ENTRIES; ++i) {
      int at = a * kArrayBytes + i * 4;
      if (at + 4 > n) return;
      // A damaged file cannot put values the table cannot show.
      arr[i] = Clamp(GetLE32(buf + at), kArrayMax[a]);
    }
  }
}

int RANK_Save() {
  if (g_rank.savesDisabled) return 1;
  uint8_t buf[RANK_FILE_SIZE];
  for (int a = 0; a < 3; ++a) {
    const int32_t* arr = Array(a);
    for (int i = 0; i < RANK_ENTRIES; ++i) PutLE32(buf + a * kArrayBytes + i * 4, arr[i]);
  }
  return PLT_FileReplaceAtomic(RANK_FILE, buf, RANK_FILE_SIZE);
}

int RANK_Insert(PlayTotals* totals) {
  int place = -1;
  for (int i = 0; i < RANK_ENTRIES; ++i) {
    if (g_rank.rankScore[i] <= totals->score) {
      place = i;
      break;
    }
  }
  if (place >= 0) {
    for (int i = RANK_ENTRIES - 1; i > place; --i) {
      g_rank.rankScore[i] = g_rank.rankScore[i - 1];
      g_rank.rankClicks[i] = g_rank.rankClicks[i - 1];
      g_rank.rankChain[i] = g_rank.rankChain[i - 1];
    }
    g_rank.rankScore[place] = totals->score;
    g_rank.rankClicks[place] = totals->clicks;
    g_rank.rankChain[place] = totals->maxChain;
    g_rank.newestIndex = place;
    // A file that cannot be written keeps the entry in memory for this
    // run; the player is told and the game goes on.
    if (!RANK_Save()) {
      LOG_Write("rank.sav could not be saved\n");
      MSG_Error(nullptr, "%s", kSaveFailed);
    }
  }
  totals->stage = 0;
  totals->score = 0;
  totals->clicks = 0;
  totals->maxChain = 0;
  totals->clearCounter = 0;
  totals->startTime = 0;
  return place;
}
