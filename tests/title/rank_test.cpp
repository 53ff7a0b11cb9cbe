// The ranking: insertion rules, the file "rank.sav" and how the title shows a
// new entry.
#include "game/rank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "fault_util.h"
#include "game/play.h"
#include "game/title.h"
#include "gfx/sprite.h"
#include "platform/headless/headless.h"
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
  void SetUp() override {
    RANK_Reset();
    PLT_FaultInjectOff();
  }
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
  HL_Reset();
  std::filesystem::create_directory("rank.sav");  // cannot be replaced by a file
  PlayTotals t = Result(65000, 1, 1);
  EXPECT_EQ(RANK_Insert(&t), 4);
  EXPECT_EQ(g_rank.rankScore[4], 65000);
  EXPECT_TRUE(std::filesystem::is_directory("rank.sav"));
  // The player hears of it once, and the game goes on with the entry shown.
  ASSERT_EQ(HL_MessageBoxes().size(), 1u);
  EXPECT_EQ(HL_MessageBoxes()[0].caption, "警告");
  EXPECT_NE(HL_MessageBoxes()[0].text.find("ランキングを保存できませんでした"), std::string::npos);
  EXPECT_EQ(g_rank.newestIndex, 4);
  EXPECT_EQ(t.score, 0);

  // A save that works says nothing.
  std::filesystem::remove("rank.sav");
  t = Result(66000, 1, 1);
  EXPECT_EQ(RANK_Insert(&t), 4);
  EXPECT_EQ(HL_MessageBoxes().size(), 1u);
}

TEST_F(RankTest, EveryFailurePointOfASaveLeavesOldOrNewTable) {
  RANK_Save();
  const std::vector<uint8_t> oldBytes = ReadFileBytes("rank.sav");
  PlayTotals t = Result(77777, 12, 3);
  RANK_Insert(&t);
  const RankTable newTable = g_rank;
  const std::vector<uint8_t> newBytes = ReadFileBytes("rank.sav");
  ASSERT_NE(oldBytes, newBytes);

  WriteFileBytes("rank.sav", oldBytes);
  PLT_FaultInjectArm(PltFaultInject());
  ASSERT_EQ(RANK_Save(), 1);
  const std::vector<FailurePoint> points = FailurePoints(PLT_FaultInjectCounts());
  // Two opens (the temporary, the folder), one write, one short write, two
  // fsyncs, one rename.
  EXPECT_EQ(points.size(), 7u);
  for (const FailurePoint& p : points) {
    WriteFileBytes("rank.sav", oldBytes);
    g_rank = newTable;
    PLT_FaultInjectArm(p.faults);
    EXPECT_EQ(RANK_Save(), 0) << p.what;
    EXPECT_TRUE(PLT_FaultInjectFired()) << p.what;
    PLT_FaultInjectOff();
    const std::vector<uint8_t> now = ReadFileBytes("rank.sav");
    EXPECT_TRUE(now == oldBytes || now == newBytes) << p.what;
    EXPECT_EQ(FilesIn("."), std::vector<std::string>{"rank.sav"}) << p.what;
  }
  PLT_FaultInjectOff();

  // Through an insertion: the failure is shown and the entry kept.
  HL_Reset();
  WriteFileBytes("rank.sav", oldBytes);
  RANK_Reset();
  PltFaultInject f;
  f.failRenameAt = 1;
  PLT_FaultInjectArm(f);
  t = Result(77777, 12, 3);
  EXPECT_EQ(RANK_Insert(&t), 3);
  PLT_FaultInjectOff();
  EXPECT_EQ(HL_MessageBoxes().size(), 1u);
  EXPECT_EQ(ReadFileBytes("rank.sav"), oldBytes);
  EXPECT_EQ(g_rank.rankScore[3], 77777);
}

TEST_F(RankTest, LoadedValuesAreHeldToWhatTheTableShows) {
  int32_t score[10] = {2000000000, 1000000, 999999, 5, 0, -1, -2147483647 - 1, 3, 2, 1};
  int32_t clicks[10] = {10000, 9999, -7, 0, 0, 0, 0, 0, 0, 0};
  int32_t chain[10] = {100, 99, -1, 0x7FFFFFFF, 0, 0, 0, 0, 0, 0};
  WriteFileBytes("rank.sav", FileOf(score, clicks, chain));
  RANK_Load();
  const int32_t wantScore[10] = {999999, 999999, 999999, 5, 0, 0, 0, 3, 2, 1};
  const int32_t wantClicks[4] = {9999, 9999, 0, 0};
  const int32_t wantChain[4] = {99, 99, 0, 99};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(g_rank.rankScore[i], wantScore[i]) << i;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(g_rank.rankClicks[i], wantClicks[i]) << i;
    EXPECT_EQ(g_rank.rankChain[i], wantChain[i]) << i;
  }
  // The best possible result still takes first place from a damaged top entry.
  PlayTotals t = Result(999999, 1, 1);
  EXPECT_EQ(RANK_Insert(&t), 0);
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
