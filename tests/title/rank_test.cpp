// The ranking: insertion rules, the file "rank.sav" and how the title shows a
// new entry.
#include "game/rank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "game/play.h"
#include "game/title.h"
#include "gfx/sprite.h"
#include "test_util.h"
#include "title_test_util.h"

namespace {

std::vector<int32_t> FileValues() {
  std::vector<uint8_t> b = ReadFileBytes("rank.sav");
  std::vector<int32_t> v;
  for (size_t i = 0; i + 4 <= b.size(); i += 4) {
    v.push_back(static_cast<int32_t>(b[i] | b[i + 1] << 8 | b[i + 2] << 16 |
                                     static_cast<uint32_t>(b[i + 3]) << 24));
  }
  return v;
}

std::vector<uint8_t> FileOf(const int32_t (&score)[10], const int32_t (&clicks)[10],
                            const int32_t (&chain)[10]) {
  std::vector<uint8_t> b;
  for (const int32_t* a : {score, clicks, chain}) {
    for (int i = 0; i < 10; ++i) {
      uint32_t u = static_cast<uint32_t>(a[i]);
      for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(u >> (8 * k)));
    }
  }
  return b;
}

PlayTotals Result(int score, int clicks, int chain) {
  PlayTotals t{};
  t.stage = 3;
  t.score = score;
  t.clicks = clicks;
  t.maxChain = chain;
  t.clearCounter = 5;
  t.startTime = 777;
  return t;
}

class RankTest : public ::testing::Test {
 protected:
  void SetUp() override { RANK_Reset(); }
  TempDir dir_;
};

TEST_F(RankTest, LowestPlaceTakesAnEqualScoreButNotALowerOne) {
  PlayTotals t = Result(9990, 40, 3);
  EXPECT_EQ(RANK_Insert(&t), -1);
  EXPECT_FALSE(std::filesystem::exists("rank.sav"));  // nothing written
  EXPECT_EQ(g_rank.newestIndex, -1);
  EXPECT_EQ(t.stage, 0);  // the totals are cleared either way
  EXPECT_EQ(t.score, 0);
  EXPECT_EQ(t.startTime, 0u);

  t = Result(10000, 40, 3);
  EXPECT_EQ(RANK_Insert(&t), 9);
  EXPECT_EQ(g_rank.rankScore[9], 10000);
  EXPECT_EQ(g_rank.rankClicks[9], 40);  // the new entry, not the built-in one
  EXPECT_EQ(g_rank.newestIndex, 9);
  EXPECT_EQ(t.clicks, 0);
  EXPECT_EQ(t.maxChain, 0);
  EXPECT_EQ(t.clearCounter, 0);
}

TEST_F(RankTest, TieWithFirstPlaceGoesAboveIt) {
  PlayTotals t = Result(100000, 12, 7);
  EXPECT_EQ(RANK_Insert(&t), 0);
  EXPECT_EQ(g_rank.rankClicks[0], 12);
  EXPECT_EQ(g_rank.rankScore[1], 100000);
  EXPECT_EQ(g_rank.rankClicks[1], 0);
  EXPECT_EQ(g_rank.rankScore[2], 90000);
  EXPECT_EQ(g_rank.rankScore[9], 20000);  // 10000 dropped out
}

TEST_F(RankTest, FileIsTheWholeSortedTableAndReadsBack) {
  const int scores[] = {55555, 123456, 10001, 99999, 75000};
  for (int s : scores) {
    PlayTotals t = Result(s, s % 1000, s % 17);
    RANK_Insert(&t);
  }
  ASSERT_EQ(ReadFileBytes("rank.sav").size(), 120u);
  std::vector<int32_t> v = FileValues();
  for (int i = 0; i < 9; ++i) EXPECT_GE(v[i], v[i + 1]);
  EXPECT_EQ(v[0], 123456);
  EXPECT_EQ(v[10], 456);  // clicks of the best
  EXPECT_EQ(v[20], 123456 % 17);
  // No temporary is left beside it.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(".")) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);

  RankTable written = g_rank;
  RANK_Reset();
  RANK_Load();
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(g_rank.rankScore[i], written.rankScore[i]);
    EXPECT_EQ(g_rank.rankClicks[i], written.rankClicks[i]);
    EXPECT_EQ(g_rank.rankChain[i], written.rankChain[i]);
  }
}

TEST_F(RankTest, ShortFileFillsWholeValuesAsFarAsItReaches) {
  int32_t score[10], clicks[10], chain[10];
  for (int i = 0; i < 10; ++i) {
    score[i] = 5000 - i;
    clicks[i] = 100 + i;
    chain[i] = i;
  }
  std::vector<uint8_t> b = FileOf(score, clicks, chain);
  b.resize(50);  // the scores, two click counts and half of a third
  WriteFileBytes("rank.sav", b);
  RANK_Load();
  EXPECT_EQ(g_rank.rankScore[9], 4991);
  EXPECT_EQ(g_rank.rankClicks[1], 101);
  EXPECT_EQ(g_rank.rankClicks[2], 0);  // cut inside the value: kept as it was
  EXPECT_EQ(g_rank.rankChain[0], 0);

  WriteFileBytes("rank.sav", {});
  RANK_Reset();
  RANK_Load();
  EXPECT_EQ(g_rank.rankScore[0], 100000);

  // A longer file: only the table at its start counts.
  b = FileOf(score, clicks, chain);
  b.resize(200, 0xFF);
  WriteFileBytes("rank.sav", b);
  RANK_Load();
  EXPECT_EQ(g_rank.rankChain[9], 9);
}

TEST_F(RankTest, WriteFailureKeepsTheEntryForThisDisplay) {
  std::filesystem::create_directory("rank.sav");  // cannot be replaced by a file
  PlayTotals t = Result(65000, 1, 1);
  EXPECT_EQ(RANK_Insert(&t), 4);
  EXPECT_EQ(g_rank.rankScore[4], 65000);
  EXPECT_TRUE(std::filesystem::is_directory("rank.sav"));
}

// --- The title after a play-through -----------------------------------------

TEST_F(TitleFlowTest, ResultThatEntersShowsRankingAtOnceWithItsRowBlinking) {
  g_playTotals = Result(10000, 321, 4);
  EXPECT_EQ(RunUntil(TITLE_RANK_NEW, 5), 2);
  EXPECT_EQ(g_rank.newestIndex, 9);
  EXPECT_EQ(g_playTotals.stage, 0);
  EXPECT_EQ(ReadFileBytes("rank.sav").size(), 120u);

  EXPECT_EQ(RunUntil(TITLE_RANK_SHOW, 100), 33);
  const int row9 = 20 + 34 * 9, row8 = 20 + 34 * 8;
  auto rowRed = [](int base) {
    for (int k = 0; k < 34; ++k) {
      if (g_sprites[base + k].used) return static_cast<int>(g_sprites[base + k].red);
    }
    return -1;
  };
  int lowest = 999, highest = 0;
  for (int f = 0; f < 80; ++f) {
    Step();
    lowest = std::min(lowest, rowRed(row9));
    highest = std::max(highest, rowRed(row9));
    for (int k = 0; k < 34; ++k) {  // other rows stay still
      if (g_sprites[row8 + k].used) {
        EXPECT_EQ(g_sprites[row8 + k].red, 128);
      }
    }
  }
  EXPECT_LE(lowest, 132);
  EXPECT_GE(highest, 250);
  // The logo walk of the set-up is not left on screen behind the ranking.
  for (int s = 1; s < 15; ++s) EXPECT_FALSE(g_sprites[s].used) << s;

  EXPECT_EQ(RunUntil(TITLE_SETUP, 400), 221);
  Step();
  EXPECT_EQ(TitleState(), TITLE_LOGOS);
  EXPECT_EQ(g_rank.newestIndex, -1);
}

TEST_F(TitleFlowTest, ResultThatStaysOutShowsTheLogos) {
  g_playTotals = Result(9990, 321, 4);
  EXPECT_EQ(RunUntil(TITLE_LOGOS, 5), 2);
  EXPECT_EQ(g_rank.newestIndex, -1);
  EXPECT_EQ(g_playTotals.score, 0);
  EXPECT_FALSE(std::filesystem::exists("rank.sav"));
}

// Digits shown by a run of number sprites, most significant first.
std::string Digits(int first, int count) {
  std::vector<std::pair<int, char>> cells;
  for (int k = 0; k < count; ++k) {
    const Sprite& sp = g_sprites[first + k];
    if (!sp.used) continue;
    EXPECT_EQ(sp.sx % 28, 0);
    EXPECT_GE(sp.sx, 0);
    EXPECT_LE(sp.sx, 9 * 28);
    cells.push_back({sp.x, static_cast<char>('0' + sp.sx / 28)});
  }
  std::sort(cells.begin(), cells.end());
  std::string s;
  for (const auto& c : cells) s += c.second;
  return s;
}

TEST_F(TitleFlowTest, DamagedFileNeverDrawsGarbage) {
  int32_t score[10] = {2000000000, 500, 123, -5, -6, -7, -8, -9, -10, -11};
  int32_t clicks[10] = {-1, 99999, 0, 0, 0, 0, 0, 0, 0, 0};
  int32_t chain[10] = {-2147483647 - 1, 100, 0, 0, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> b = FileOf(score, clicks, chain);
  b.resize(117);  // torn inside the last value
  WriteFileBytes("rank.sav", b);
  g_playTotals = Result(50, 2, 1);  // enters below 123
  EXPECT_EQ(RunUntil(TITLE_RANK_SHOW, 60), 35);
  EXPECT_EQ(g_rank.newestIndex, 3);
  EXPECT_EQ(Digits(22, 6), "999999");
  EXPECT_EQ(Digits(22 + 34, 6), "500");
  EXPECT_EQ(Digits(22 + 34 * 3, 6), "50");
  EXPECT_EQ(Digits(22 + 34 * 4, 6), "0");
  EXPECT_EQ(Digits(28, 4), "0");
  EXPECT_EQ(Digits(28 + 34, 4), "9999");
  EXPECT_EQ(Digits(32, 2), "0");
  EXPECT_EQ(Digits(32 + 34, 2), "99");
  EXPECT_EQ(Digits(20 + 34 * 9, 2), "10");
  EXPECT_EQ(ReadFileBytes("rank.sav").size(), 120u);
}

}  // namespace
