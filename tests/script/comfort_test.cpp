// The scene's comforts: the history, auto mode, skipping only what was read
// (and "read.sav"), the text hook and the click-wait mark. With them off the
// scene tests beside this file hold unchanged.
#include <string>

#include "common/cmd_ids.h"
#include "common/file.h"
#include "platform/plt_menu.h"
#include "script/history.h"
#include "script/readmark.h"
#include "script_test_util.h"
#include "text/text.h"

namespace {

class ComfortTest : public ScriptTest {
 protected:
  void Wheel(int n) {
    HL_Wheel(n);
    Frame();
  }
  // Pressed for a frame, then released for one.
  void Tap(int vk) {
    HL_KeyEvent(vk, 1);
    Frame();
    HL_KeyEvent(vk, 0);
    Frame();
  }
  // Frames until the message on show is fully revealed.
  void Reveal() {
    for (int i = 0; i < 200 && (g_scene.revealing || !g_interp.messageRunning); ++i) Frame();
  }
};

TEST_F(ComfortTest, HistoryShowsTheLastMessagesAndTheSceneWaitsWhileItIsOpen) {
  Load("one#N1+1\ntwo#N1+1\nthree#N1+1\nfour#N1+1\n#W2,600");
  for (int i = 0; i < 3; ++i) {
    Reveal();
    Click();
  }
  Reveal();
  ASSERT_EQ(HIS_Count(), 4);
  const int pc = g_script.pc;
  Wheel(1);
  ASSERT_TRUE(HIS_IsOpen());
  EXPECT_EQ(g_sprites[HIS_SPR_SHADE].visible, 1);
  EXPECT_EQ(g_texts[AVG_TXT_MESSAGE].visible, 0);  // the history shows it in its place
  // Newest at the bottom, as the window laid it out.
  EXPECT_STREQ(g_texts[HIS_TXT_ROW0 + HIS_ROWS - 1].text, "four");
  EXPECT_STREQ(g_texts[HIS_TXT_ROW0].text, "two");
  EXPECT_EQ(g_texts[HIS_TXT_ROW0].size, 24);
  Click();  // the scene waits: the click reaches nothing
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(g_script.pc, pc);
  Wheel(3);  // further back than the oldest stops at it
  EXPECT_STREQ(g_texts[HIS_TXT_ROW0].text, "one");
  Tap(PLT_VK_DOWN);
  EXPECT_STREQ(g_texts[HIS_TXT_ROW0].text, "two");
  Tap(PLT_VK_DOWN);  // the arrow keys never close it
  EXPECT_TRUE(HIS_IsOpen());
  Wheel(-1);  // past the newest
  EXPECT_FALSE(HIS_IsOpen());
  EXPECT_EQ(g_sprites[HIS_SPR_SHADE].visible, 0);
  EXPECT_EQ(g_texts[HIS_TXT_ROW0].visible, 0);
  EXPECT_EQ(g_texts[AVG_TXT_MESSAGE].visible, 1);

  // Page Up opens it too; a right click and Escape close it, but in debug
  // mode Escape is the quit key's.
  Tap(PLT_VK_PRIOR);
  ASSERT_TRUE(HIS_IsOpen());
  HL_MouseButton(1, 1);
  Frame();
  HL_MouseButton(1, 0);
  EXPECT_FALSE(HIS_IsOpen());
  EXPECT_EQ(g_scene.windowVisible, 1);  // the right click only closed the history
  Wheel(1);
  AVG_SetDebugMode(1);
  Tap(PLT_VK_ESCAPE);
  EXPECT_TRUE(HIS_IsOpen());
  AVG_SetDebugMode(0);
  Tap(PLT_VK_ESCAPE);
  EXPECT_FALSE(HIS_IsOpen());
  Click();
  EXPECT_EQ(g_script.pc, pc + 1);
}

TEST_F(ComfortTest, HistoryKeepsTheLastHundredAndASceneStartForgetsThem) {
  for (int i = 0; i < HIS_MAX + 5; ++i) HIS_Add(std::to_string(i).c_str());
  EXPECT_EQ(HIS_Count(), HIS_MAX);
  EXPECT_STREQ(HIS_Get(0), std::to_string(HIS_MAX + 4).c_str());
  EXPECT_STREQ(HIS_Get(HIS_MAX - 1), "5");
  EXPECT_EQ(HIS_Get(HIS_MAX), nullptr);
  AVG_StartScene();
  EXPECT_EQ(HIS_Count(), 0);
  HIS_Open();  // nothing to show
  EXPECT_FALSE(HIS_IsOpen());
}

TEST_F(ComfortTest, AutoModeGoesOnAfterADelayThatGrowsWithTheText) {
  EXPECT_LT(AVG_AutoDelay(2, 4), AVG_AutoDelay(2, 40));
  EXPECT_GT(AVG_AutoDelay(1, 10), AVG_AutoDelay(2, 10));
  EXPECT_GT(AVG_AutoDelay(2, 10), AVG_AutoDelay(3, 10));
  AVG_StartScene();
  Load("abcd#N1+1\nabcdabcdabcdabcd#N1+1\n#W2,600");
  Tap(PLT_VK_A + 0);  // the A key: the last speed, standard at first
  EXPECT_EQ(g_cfg.autoSpeed, 2);
  EXPECT_EQ(PLT_IsMenuItemChecked(CMD_AUTO0 + 2), 1);
  Reveal();
  EXPECT_EQ(g_texts[AVG_TXT_AUTO].visible, 1);  // the window says so
  int waited = FramesAt(0);
  EXPECT_EQ(g_vars[1], 0);
  EXPECT_NEAR(waited, AVG_AutoDelay(2, 4), 2);
  Reveal();
  waited = FramesAt(2);
  EXPECT_NEAR(waited, AVG_AutoDelay(2, 16), 2);
  EXPECT_EQ(g_vars[1], 1);

  // A click ends auto mode and does nothing else; the A key brings back the
  // speed chosen last.
  AVG_StartScene();
  Load("abcd#N1+1\n#W2,600");
  AVG_SetAuto(3);
  Reveal();
  Click();
  EXPECT_EQ(g_cfg.autoSpeed, 0);
  EXPECT_EQ(g_script.pc, 0);
  EXPECT_EQ(g_texts[AVG_TXT_AUTO].visible, 0);
  for (int i = 0; i < 200; ++i) Frame();
  EXPECT_EQ(g_script.pc, 0);  // off: it waits for the click
  Tap(PLT_VK_A + 0);
  EXPECT_EQ(g_cfg.autoSpeed, 3);
}

TEST_F(ComfortTest, SkipStopsAtUnreadMessagesOnlyWhenAskedAndMarksOutliveTheRun) {
  const std::string script = "one#N1+1\ntwo#N1+1\nthree#N1+1\n#W2,600";
  g_cfg.skipReadOnly = 1;
  Load(script);
  HL_KeyEvent(PLT_VK_CONTROL, 1);
  for (int i = 0; i < 20; ++i) Frame();
  EXPECT_EQ(g_vars[1], 0);  // nothing seen yet: skip stops at "one"
  HL_KeyEvent(PLT_VK_CONTROL, 0);
  Reveal();
  Click();
  Reveal();
  Click();  // "one" and "two" are read now
  EXPECT_EQ(g_vars[1], 1);
  EXPECT_EQ(READ_Save(), 1);

  // Another run: the marks come from read.sav, skip runs to "three".
  READ_Reset();
  SCR_ResetProgress();
  AVG_Reset();
  g_vars[1] = 0;
  Load(script);
  HL_KeyEvent(PLT_VK_CONTROL, 1);
  for (int i = 0; i < 20; ++i) Frame();
  EXPECT_EQ(g_vars[1], 2);
  EXPECT_EQ(g_script.pc, 4);
  // Unchecked, skip runs through everything.
  g_cfg.skipReadOnly = 0;
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(g_vars[1], 3);
  HL_KeyEvent(PLT_VK_CONTROL, 0);

  // A rewritten message is unread; so is the same text in another script.
  EXPECT_TRUE(READ_IsRead(0, READ_Hash("one")));
  EXPECT_FALSE(READ_IsRead(0, READ_Hash("one!")));
  EXPECT_FALSE(READ_IsRead(1, READ_Hash("one")));
}

TEST_F(ComfortTest, ADamagedReadFileCountsAsNoMarksAndIsNeverOverrun) {
  READ_Mark(3, 7);
  READ_Mark(1, 9);
  READ_Mark(3, 7);
  ASSERT_EQ(READ_Save(), 1);
  std::vector<uint8_t> good = ReadFileBytes(READ_FILE);
  ASSERT_EQ(good.size(), 12u + 2 * 8u);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int marks;
  };
  std::vector<uint8_t> cut(good.begin(), good.end() - 3);
  std::vector<uint8_t> lies = good;
  lies[8] = 0xFF;  // a count far past the file's end
  lies[9] = 0xFF;
  std::vector<uint8_t> foreign = good;
  foreign[0] = 'X';
  std::vector<uint8_t> later = good;
  later[4] = 2;  // a version this program does not know
  const Case cases[] = {{"whole", good, 2},     {"cut inside a mark", cut, 1},
                        {"count too large", lies, 2}, {"other magic", foreign, 0},
                        {"other version", later, 0},  {"empty", {}, 0}};
  for (const Case& c : cases) {
    WriteFileBytes(READ_FILE, c.bytes);
    READ_Reset();
    READ_Load();
    EXPECT_EQ(g_read.count, c.marks) << c.what;
  }
}

TEST_F(ComfortTest, TextHookHandsOutEachMessageWithoutMarkup) {
  char plain[64];
  struct Row {
    const char* markup;
    const char* plain;
  };
  const Row rows[] = {
      {"<C4red>plain", "redplain"},
      {"a<F32<Sb>>c\\nd", "abc\nd"},
      {"<Rbase|ruby>!", "base(ruby)!"},
      {"\\<x\\>\\\\\\k", "<x>\\"},
      {"\x82\xA0<W20>\x82\xA2", "\x82\xA0\x82\xA2"},
      {"cut\x82", "cut"},
  };
  for (const Row& r : rows) {
    TXT_PlainText(r.markup, plain, sizeof plain);
    EXPECT_STREQ(plain, r.plain) << r.markup;
  }
  EXPECT_EQ(TXT_PlainText("abcdef", plain, 4), 3);

  Load("<C4\x82\xA0>b#N1+1\nc#N1+1\n#W2,600");
  Reveal();
  EXPECT_TRUE(HL_PublishedTexts().empty());  // off by default
  Click();
  g_cfg.textHook = 1;
  Reveal();
  ASSERT_EQ(HL_PublishedTexts().size(), 1u);
  EXPECT_EQ(HL_PublishedTexts()[0], "c");
  SCR_ResetProgress();
  Load("<C4\x82\xA0>b#N1+1\n");
  Reveal();
  EXPECT_EQ(HL_PublishedTexts().back(), "\xE3\x81\x82" "b");  // UTF-8
}

TEST_F(ComfortTest, TheClickWaitMarkFollowsTheTextAndOnlyWhileItWaits) {
  WriteFileBytes("grp/win00.bmp", SolidBmp(640, 160, 40, 40, 40));
  AVG_StartScene();
  EXPECT_EQ(g_scene.markLoaded, 0);  // no picture: no mark, and no warning
  EXPECT_TRUE(HL_MessageBoxes().empty());
  WriteFileBytes("grp/wait00.bmp", SolidBmp(64, 16, 200, 160, 80));
  AVG_StartScene();
  ASSERT_EQ(g_scene.markLoaded, 1);
  Load("ab\\ncd#N1+1\n#W2,600");
  Frame();
  EXPECT_EQ(g_sprites[AVG_SPR_WAIT_MARK].visible, 0);  // still revealing
  Reveal();
  Frame();
  const Sprite& s = g_sprites[AVG_SPR_WAIT_MARK];
  EXPECT_EQ(s.visible, 0);  // off unless the player turns it on
  g_cfg.waitMark = 1;
  Frame();
  EXPECT_EQ(s.visible, 1);
  // After "cd" on the second line: two half-width characters of 24.
  EXPECT_EQ(s.x, 8 + 24 + 2);
  EXPECT_GT(s.y, 352 + 24);
  const int first = s.sx;
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_NE(s.sx, first);  // animated
  Click();
  Frame();
  EXPECT_EQ(s.visible, 0);  // the script went on
}

}  // namespace
