// The top-ten ranking of finished play-throughs and its file "rank.sav".
#pragma once
#include <cstdint>

struct PlayTotals;

enum : int { RANK_ENTRIES = 10, RANK_FILE_SIZE = 120 };

struct RankTable {
  int32_t rankScore[RANK_ENTRIES];  // index 0 = best
  int32_t rankClicks[RANK_ENTRIES];
  int32_t rankChain[RANK_ENTRIES];
  int32_t newestIndex;  // entry added by the last insertion, -1 none
  // 1 while another program (a running game) owns "rank.sav": saves write
  // nothing and succeed. Set by the host; RANK_Reset leaves it.
  int32_t savesDisabled;
};
extern RankTable g_rank;

extern const char* const RANK_FILE;  // "rank.sav"

// Built-in table (100000 down to 10000, no clicks, no chains), no newest entry.
void RANK_Reset();
// Reads "rank.sav" over the table: as many whole values as the file holds;
// a missing or short file leaves the rest of the table as it was. Values are
// held to what the table shows: 0..999999 score, 0..9999 clicks, 0..99 chain.
void RANK_Load();
// Writes the whole table as one 120-byte file that replaces "rank.sav" in one
// step, so the file always holds either the old or the new table. 1 or 0.
int RANK_Save();
// Enters the play-through's score, clicks and longest chain: at the first
// place whose score is not above it (a tie goes above the stored entry).
// When it enters, the table is saved (a failed save warns the player with a
// box and keeps the entry for this run) and newestIndex set. Either way the
// totals are cleared. Returns the place, or -1 when the result stays out.
int RANK_Insert(PlayTotals* totals);
