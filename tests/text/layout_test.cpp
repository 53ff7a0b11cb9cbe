// The message layout: reveal and its fading front, speeds and pauses, line
// starts, pages, ruby, nesting, escapes, warnings, measuring and hostile text.
#include <random>

#include "gfx/render.h"
#include "gfx/sprite.h"
#include "text_test_util.h"

using namespace texttest;

namespace {

class LayoutTest : public TextTest {};

// Draws one character as the layout should have: white, size 24 unless told.
void Char(Frame& f, int x, int y, const char* utf8, int opacity, int size = 24,
          uint32_t rgb = 0xFFFFFF) {
  const std::string s = Sj(utf8);
  FNT_DrawString(&f.img, 24, x, y, 0, 0, s.c_str(), size, nullptr, rgb >> 16, rgb >> 8 & 0xFF,
                 rgb & 0xFF, opacity, 0);
}

const char* const kKana[] = {"い", "ろ", "は", "に", "ほ", "へ", "と", "ち", "り", "ぬ", "る", "を",
                             "わ", "か", "よ", "た", "れ", "そ", "つ", "ね", "な", "ら", "む"};

TEST_F(LayoutTest, RevealZeroDrawsNothingVisible) {
  Frame f(640, 200, 60);
  Draw(f, Sj("見えない文字<C4赤>"), 0, -1, -1, 2);
  EXPECT_TRUE(f.Blank(60));
}

TEST_F(LayoutTest, FrontFadesOverSixteenUnitsAtSpeedTen) {
  std::string text;
  for (const char* k : kKana) text += k;
  Frame got(640, 200, 60), want(640, 200, 60);
  Draw(got, Sj(text.c_str()), 20);
  for (int k = 0; k < 20; ++k) Char(want, 16 + 24 * k, 16, kKana[k], std::min(256, 16 * (20 - k)));
  EXPECT_TRUE(got.bytes == want.bytes);
  int32_t ex = 0;
  // The character at the reveal position is still laid out (at opacity 0).
  EXPECT_EQ(Measure(Sj(text.c_str()), &ex, nullptr, 25, 20), 21);
  EXPECT_EQ(ex, 21 * 24);
}

TEST_F(LayoutTest, SpeedTagsCarryTenths) {
  const std::string ten = Sj("あいうえおかきくけこ");
  EXPECT_EQ(Measure(Cat("<S9", ten, ">")), 2);    // a fifth of a unit each
  EXPECT_EQ(Measure(Sj("<S6あいうえお>")), 4);    // 8 tenths each
  EXPECT_EQ(Measure(Sj("<S7あいう>え")), 2);      // 18 tenths, carry 8, then 1
  EXPECT_EQ(Measure(Sj("<S0あ>い<S99う>")), 12);  // S99 is no speed: stays 10
  int32_t ex = 0;
  // Reveal 0 at S9: the first character raises the carry, so the loop goes
  // on once more while i still equals the reveal position.
  Measure(Cat("<S9", ten, ">"), &ex, nullptr, 25, 0);
  EXPECT_EQ(ex, 48);
  // Reveal 1: five characters reach one unit; the sixth does not start.
  EXPECT_EQ(Measure(Cat("<S9", ten, ">"), &ex, nullptr, 25, 1), 1);
  EXPECT_EQ(ex, 5 * 24);
  Frame got(640, 100, 30), want(640, 100, 30);
  Draw(got, Cat("<S9", ten, ">"), 1);
  const char* const first[] = {"あ", "い", "う", "え", "お"};
  for (int k = 0; k < 5; ++k) Char(want, 16 + 24 * k, 16, first[k], 16);
  EXPECT_TRUE(got.bytes == want.bytes);
}

TEST_F(LayoutTest, WaitTagsPauseTheReveal) {
  const std::string text = Sj("あ<W30>い<W>う");
  EXPECT_EQ(Measure(text), 33);
  int32_t ex = 0;
  Measure(text, &ex, nullptr, 25, 20);
  EXPECT_EQ(ex, 24);  // still pausing
  Measure(text, &ex, nullptr, 25, 31);
  EXPECT_EQ(ex, 48);  // い starts at 31
  Frame got(640, 100, 30), want(640, 100, 30);
  Draw(got, text, 31 + 16);
  Char(want, 16, 16, "あ", 256);
  Char(want, 40, 16, "い", 256);
  Char(want, 64, 16, "う", 240);
  EXPECT_TRUE(got.bytes == want.bytes);
}

TEST_F(LayoutTest, LineStartCharactersHangPastTheMargin) {
  int32_t ex = 0, ey = 0;
  Measure(Sj("あいうえお」か"), &ex, &ey, 5);
  EXPECT_EQ(ex, 24);  // 」 hung on line 1, か starts line 2
  EXPECT_EQ(ey, 32);
  Measure(Sj("あいうえお」　か"), &ex, &ey, 5);
  EXPECT_EQ(ex, 24);  // the full-width space hangs after it too
  EXPECT_EQ(ey, 32);
  Measure(Sj("あいうえお。」か"), &ex, &ey, 5);
  EXPECT_EQ(ex, 48);  // only one character hangs: 」 moves down
  EXPECT_EQ(ey, 32);
  Measure(Sj("あいうえおかき"), &ex, &ey, 5);
  EXPECT_EQ(ex, 48);
  EXPECT_EQ(ey, 32);
}

TEST_F(LayoutTest, LineBreakRightAfterAWrapAddsNoEmptyLine) {
  int32_t ex = 0, ey = 0;
  for (const char* brk : {"\n", "\\n"}) {
    Measure(Sj("あいうえお") + brk + Sj("か"), &ex, &ey, 5);
    EXPECT_EQ(ey, 32) << brk;
    EXPECT_EQ(ex, 24);
    Measure(Sj("あ") + brk + brk + Sj("か"), &ex, &ey, 5);
    EXPECT_EQ(ey, 64) << brk;
  }
}

TEST_F(LayoutTest, BoxFullStopsLayout) {
  int32_t ex = 0, ey = 0;
  const int units = TXT_Draw({.x = 0,
                              .y = 0,
                              .width = 5,
                              .lines = 1,
                              .lineSpacing = 8,
                              .size = 24,
                              .text = Sj("あいうえおかきく").c_str(),
                              .measure = 1,
                              .endX = &ex,
                              .endY = &ey});
  EXPECT_EQ(units, 5);
  EXPECT_EQ(ex, 0);
  EXPECT_EQ(ey, 32);
  // Drawing returns the height used.
  Frame f(640, 200, 0);
  EXPECT_EQ(TXT_Draw({.target = &f.img,
                      .x = 0,
                      .y = 40,
                      .width = 25,
                      .lines = 4,
                      .lineSpacing = 8,
                      .size = 24,
                      .text = Sj("あい\nう").c_str()}),
            32 + 24);
}

TEST_F(LayoutTest, PagesStopAtTheirMarkerAndEarlierPagesStayOpaque) {
  const std::string text = Sj("あい\\kうえ\\kお");
  int32_t ex = 0;
  EXPECT_EQ(Measure(text, &ex, nullptr, 25, -1, 0), 2);
  EXPECT_EQ(ex, 48);
  EXPECT_EQ(Measure(text, &ex, nullptr, 25, -1, 1), 4);
  EXPECT_EQ(ex, 96);
  EXPECT_EQ(Measure(text, &ex, nullptr, 25, -1, -1), 5);
  Frame got(640, 100, 20), want(640, 100, 20);
  Draw(got, text, 3, 1);
  Char(want, 16, 16, "あ", 256);
  Char(want, 40, 16, "い", 256);
  Char(want, 64, 16, "う", 16);
  EXPECT_TRUE(got.bytes == want.bytes);
}

TEST_F(LayoutTest, RubyIsCentredOrSpreadOverItsBase) {
  {
    // Base 48, ruby 6 bytes: width 33, gap 7, spacing 2 x 7 / 3 = 4.
    Frame got(640, 100, 40), want(640, 100, 40);
    Draw(got, Sj("<R漢字|かんじ>"));
    Char(want, 16, 16, "漢", 256);
    Char(want, 40, 16, "字", 256);
    FNT_DrawString(&want.img, 24, 16 + 2, 16 - 9, 4, 0, Sj("かんじ").c_str(), 11, nullptr, 255, 255,
                   255, 256, 0);
    EXPECT_TRUE(got.bytes == want.bytes);
  }
  {
    // Longer than its base: centred, overhanging both ends.
    Frame got(640, 100, 40), want(640, 100, 40);
    Draw(got, Sj("<R字|ふりがな>"));
    Char(want, 16, 16, "字", 256);
    FNT_DrawString(&want.img, 24, 16 - 10, 16 - 9, 0, 0, Sj("ふりがな").c_str(), 11, nullptr, 255,
                   255, 255, 256, 0);
    EXPECT_TRUE(got.bytes == want.bytes);
  }
  {
    // One byte: nothing to spread, so centred.
    Frame got(640, 100, 40), want(640, 100, 40);
    Draw(got, Sj("<R字|a>"));
    Char(want, 16, 16, "字", 256);
    Char(want, 16 + 9, 16 - 9, "a", 256, 11);
    EXPECT_TRUE(got.bytes == want.bytes);
  }
  // The ruby costs no reveal units and does not move the pen.
  int32_t ex = 0;
  EXPECT_EQ(Measure(Sj("<R漢字|かんじ>だ"), &ex), 3);
  EXPECT_EQ(ex, 72);
}

TEST_F(LayoutTest, NestedTagsRestoreColourAndSizeAndToneApplies) {
  int32_t ex = 0;
  Measure(Sj("<C4あ<F30い>う>え"), &ex);
  EXPECT_EQ(ex, 24 + 30 + 24 + 24);
  Frame got(640, 100, 50), want(640, 100, 50);
  Draw(got, Sj("<C4あ<F30い>う>え"));
  Char(want, 16, 16, "あ", 256, 24, 0xFF0000);
  Char(want, 40, 16, "い", 256, 30, 0xFF0000);
  Char(want, 70, 16, "う", 256, 24, 0xFF0000);
  Char(want, 94, 16, "え", 256);
  EXPECT_TRUE(got.bytes == want.bytes);
  // A size tag without digits keeps the size; its content is laid out.
  Measure(Sj("<Fabc>d"), &ex);
  EXPECT_EQ(ex, 48);
  // Tone 64 halves white to 127, which then blends by the colour rule.
  Frame toned(200, 60, 50), ref(200, 60, 50);
  TXT_Draw({.target = &toned.img,
            .x = 4,
            .y = 4,
            .width = 25,
            .lines = 4,
            .lineSpacing = 8,
            .size = 24,
            .text = Sj("字").c_str(),
            .toneR = 64,
            .toneG = 64,
            .toneB = 64,
            .alpha = 256});
  Char(ref, 4, 4, "字", 256, 24, 0x7F7F7F);
  EXPECT_TRUE(toned.bytes == ref.bytes);
}

TEST_F(LayoutTest, EscapesHalfWidthAndEmphasis) {
  int32_t ex = 0;
  EXPECT_EQ(Measure("\\<\\>\\\\\\|", &ex), 4);
  EXPECT_EQ(ex, 48);
  EXPECT_EQ(Measure("a\\xb", &ex), 2);
  EXPECT_EQ(ex, 24);
  EXPECT_EQ(Measure("\xB1\xB2", &ex), 2);  // half-width katakana are single bytes
  EXPECT_EQ(ex, 24);
  Frame got(640, 100, 50), want(640, 100, 50);
  Draw(got, Cat("\\<", Sj("<A字>")));
  Char(want, 16, 16, "<", 256);
  Char(want, 28, 16, "字", 256);
  FNT_DrawString(&want.img, 24, 28 + 6, 16 - 7, 0, 0, "\x81\x45", 11, nullptr, 255, 255, 255, 256,
                 0);
  EXPECT_TRUE(got.bytes == want.bytes);
  EXPECT_EQ(Boxes(), 0u);
}

TEST_F(LayoutTest, MarkupWarningsShowOncePerText) {
  Frame f(640, 200, 0);
  const std::string open = Sj("<C4開いたまま");
  Draw(f, open);
  Draw(f, open);
  Measure(open);
  ASSERT_EQ(Boxes(), 1u);
  EXPECT_EQ(HL_MessageBoxes()[0].text, "タグが開いたままになっています。必ず閉じてください");
  EXPECT_EQ(HL_MessageBoxes()[0].caption, "警告");
  Draw(f, Sj("閉じ過ぎ>"));
  ASSERT_EQ(Boxes(), 2u);
  EXPECT_EQ(HL_MessageBoxes()[1].text, "閉じタグ( > )の数が、開いた数より多くなっています");
  std::string deep;
  for (int k = 0; k < 16; ++k) deep += "<C1";
  deep += "x";
  for (int k = 0; k < 15; ++k) deep += ">";
  int32_t ex = 0;
  Measure(deep, &ex);
  ASSERT_EQ(Boxes(), 3u);
  EXPECT_EQ(HL_MessageBoxes()[2].text, "タグを開き過ぎです。ＭＡＸ １５");
  EXPECT_EQ(ex, 3 * 12);  // the 16th '<' is skipped and "C1x" laid out as text
}

TEST_F(LayoutTest, WidthCountsTwoByteCharactersAndSpacesOfTheWidestLine) {
  EXPECT_EQ(TXT_GetWidth(Sj("あいう\nab  cd").c_str()), 6);
  EXPECT_EQ(TXT_GetWidth(Sj("a b c d e f g h").c_str()), 7);
  // Katakana's second bytes lie in the single-byte range; they still count.
  EXPECT_EQ(TXT_GetWidth(Sj("<C4赤い>文字です\\nアイウエオカキ").c_str()), 14);
  EXPECT_EQ(TXT_GetWidth(""), 0);
}

TEST_F(LayoutTest, RenderPassDrawsTextRecordsThroughTheLayout) {
  ASSERT_TRUE(IMG_CreateBackBuffer(24, SCREEN_W, SCREEN_H));
  std::memset(g_back.frame.pixels, 0, SCREEN_W * SCREEN_H * 3);
  SPR_Reset();
  SPR_SetTone(128, 128, 128);
  // A '%' in the text is shown as written.
  TXT_SetSlot(4, 10, 24, 1, "%s", Sj("百%の月").c_str());
  TXT_SetBox(4, 8, 352, 25, 4);
  TXT_SetShadow(4, 2);
  RND_Frame(&g_back.frame, 24);
  EXPECT_EQ(g_texts[4].endX, 8 + 24 + 12 + 24 + 24);
  EXPECT_EQ(g_texts[4].endY, 352);
  Frame want(640, 480, 0);
  TXT_Draw({.target = &want.img,
            .x = 8,
            .y = 352,
            .width = 25,
            .lines = 4,
            .lineSpacing = 0,
            .size = 24,
            .text = Sj("百%の月").c_str(),
            .page = 0,
            .alpha = 256,
            .shadow = 2});
  EXPECT_EQ(0, std::memcmp(g_back.frame.pixels, want.bytes.data(), want.bytes.size()));
  SPR_Reset();
  IMG_FreeBackBuffer();
}

TEST_F(LayoutTest, HostileTextStaysInsideItsBytesAndTheImage) {
  std::vector<std::string> texts = {
      std::string(600, '<'),
      std::string(300, '>'),
      Cat("<F99999", Sj("巨大"), ">"),
      Cat("<F40", Sj("大"), "><F0", Sj("零"), ">"),
      Cat("<C99", Sj("色"), ">"),
      "abc\x88",
      "<R\x88",
      Cat("<R", Sj("字"), "|", std::string(200, 'r')),
      Cat("|", Sj("縦"), "|"),
      "\\",
      "<W99999999999>",
      std::string(5000, 'x'),
      Sj(std::string(400, 'a').c_str()),
  };
  std::mt19937 rng(5);
  for (int k = 0; k < 200; ++k) {
    std::string s;
    const int n = static_cast<int>(rng() % 120);
    for (int j = 0; j < n; ++j) {
      static const char kPieces[] = "<>|\\nkCFSWDAR0123456789\x81\x40\x82\xA0\xB1\n ";
      s +=
          (rng() % 4 == 0) ? static_cast<char>(rng() % 256) : kPieces[rng() % (sizeof kPieces - 1)];
    }
    texts.push_back(s);
  }
  Frame f(120, 90, 0);
  for (const std::string& s : texts) {
    for (int reveal : {-1, 0, 7, 200}) {
      Measure(s, nullptr, nullptr, 25, reveal, reveal > 100 ? 1 : -1);
      TXT_Draw({.target = &f.img,
                .x = -30 + static_cast<int>(rng() % 150),
                .y = -30 + static_cast<int>(rng() % 120),
                .width = 1 + static_cast<int>(rng() % 30),
                .lines = 1 + static_cast<int>(rng() % 6),
                .lineSpacing = 4,
                .size = 8 + static_cast<int>(rng() % 40),
                .text = s.c_str(),
                .reveal = reveal,
                .toneG = 200,
                .toneB = 60,
                .shadow = 2});
    }
    TXT_GetWidth(s.c_str());
  }
  SUCCEED();
}

}  // namespace
