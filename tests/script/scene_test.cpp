// The scene runtime: messages, the window, pictures, choices and the end of
// a scene.
#include <string>

#include "game/game_mode.h"
#include "game/play.h"
#include "game/title.h"
#include "platform/plt_menu.h"
#include "script_test_util.h"
#include "shell/commands.h"
#include "sound/sound.h"
#include "text/text.h"

TEST_F(ScriptTest, MessageRevealsAtTheMessageSpeedThenWaitsForAClick) {
  const std::string text =
      "\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0"
      "AB\n\x82\xA0";  // 12 columns
  for (int speed : {0, 1, 2, 3}) {
    SCR_ResetProgress();
    AVG_Reset();
    Load(text + "#N1=1");
    g_cfg.msgWait = speed;
    g_vars[1] = 0;
    Frame();  // shown; the reveal takes its first step
    // The whole layout's 8 units and the last character's 16-unit fade,
    // more than the 12 columns of the widest line.
    ASSERT_EQ(g_scene.revealTarget, 8 + 16);
    ASSERT_GT(g_scene.revealTarget, TXT_GetWidth(text.c_str()));
    const int step = AVG_MessageStep();
    EXPECT_EQ(step, speed == 0 ? 256 : (speed == 1 ? 8 : (speed == 2 ? 4 : 2)));
    int frames = 1;
    while (g_scene.revealing && frames < 100) {
      Frame();
      ++frames;
    }
    // One step a frame up to the target, then one frame to end the reveal.
    const int steps = (g_scene.revealTarget + step - 1) / step;
    EXPECT_EQ(frames, steps + 1) << speed;
    EXPECT_EQ(g_texts[AVG_TXT_MESSAGE].reveal, -1);
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(g_vars[1], 0);  // still waiting for the click
    Click();
    EXPECT_EQ(g_script.pc, 1);
    Frame();
    EXPECT_EQ(g_vars[1], 1);
  }
}

TEST_F(ScriptTest, MessageRecordLayout) {
  AVG_StartScene();
  Load("100% sure %s %n\n#T1");
  Frame();
  const TextRecord& t = g_texts[AVG_TXT_MESSAGE];
  EXPECT_STREQ(t.text, "100%sure%s%n\n");  // never a format
  EXPECT_EQ(t.size, 24);
  EXPECT_EQ(t.alpha, -1);
  EXPECT_EQ(t.shadow, 2);
  EXPECT_EQ(t.x, 8);
  EXPECT_EQ(t.y, 352);
  EXPECT_EQ(t.width, 25);
  EXPECT_EQ(t.lines, 4);
  EXPECT_EQ(t.lineSpacing, 8);
  EXPECT_EQ(t.visible, 1);
  EXPECT_EQ(g_sprites[AVG_SPR_WINDOW].visible, 1);
}

TEST_F(ScriptTest, ClickDuringTheRevealShowsAllAndTheNextClickGoesOn) {
  Load("\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0#N1=1");
  g_cfg.msgWait = 3;
  Frame();
  Click();
  EXPECT_EQ(g_scene.revealing, 0);
  EXPECT_EQ(g_script.pc, 0);
  Frame();
  Click();
  EXPECT_EQ(g_script.pc, 1);
}

TEST_F(ScriptTest, RightClickTogglesTheWindowAndAHiddenWindowWaits) {
  Load("A#N1=1");
  for (int i = 0; i < 20 && (i < 3 || g_scene.revealing); ++i) Frame();
  ASSERT_EQ(g_scene.revealing, 0);
  HL_MouseButton(1, 1);
  Frame();
  HL_MouseButton(1, 0);
  EXPECT_EQ(g_scene.windowVisible, 0);
  EXPECT_EQ(g_sprites[AVG_SPR_WINDOW].visible, 0);
  EXPECT_EQ(g_texts[AVG_TXT_MESSAGE].visible, 0);
  Click();  // hidden: the click does not complete the message
  EXPECT_EQ(g_script.pc, 0);
  HL_KeyEvent(PLT_VK_RETURN, 1);  // enter shows it again
  HL_KeyEvent(PLT_VK_RETURN, 0);
  Frame();
  EXPECT_EQ(g_scene.windowVisible, 1);
  Click();
  EXPECT_EQ(g_script.pc, 1);
}

TEST_F(ScriptTest, SkipRunsThroughMessagesOnePerFrame) {
  Load("one#N1+1\ntwo#N1+1\nthree#N1+1\n#W2,600");
  HL_KeyEvent(PLT_VK_CONTROL, 1);
  Frame();
  EXPECT_EQ(g_scene.revealing, 0);  // completed in the frame it was shown
  Frame();
  EXPECT_EQ(g_vars[1], 1);
  Frame();
  EXPECT_EQ(g_vars[1], 2);
  Frame();
  EXPECT_EQ(g_vars[1], 3);
  HL_KeyEvent(PLT_VK_CONTROL, 0);
}

class SceneTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    WriteFileBytes("grp/g0001.BMP", SolidBmp(640, 480, 255, 0, 0));
    WriteFileBytes("grp/g0002.BMP", SolidBmp(640, 480, 0, 0, 255));
    WriteFileBytes("grp/v0003.BMP", SolidBmp(640, 480, 0, 255, 0));
    WriteFileBytes("grp/ptf0000.bmp", RampPatternBmp(640, 480));
    WriteFileBytes("grp/win00.bmp", SolidBmp(640, 160, 40, 40, 40));
  }
  static uint8_t PictureRed() { return g_slots[0].f.pixels ? g_slots[0].f.pixels[2] : 0; }
};

TEST_F(SceneTest, BackgroundWithoutDurationReplacesAtOnce) {
  Load("#B1\n#B2,0,0\n#N1=1\n#W2,600");
  Frame();
  EXPECT_EQ(g_scene.transRunning, 1);  // "#B1": duration -1
  SCR_ResetProgress();
  AVG_Reset();
  Load("#B2,0,0\n#N1=1\n#W2,600");
  Frame();
  EXPECT_EQ(g_vars[1], 1);                 // completed in the same frame
  EXPECT_EQ(g_slots[0].f.pixels[0], 255);  // blue
  EXPECT_EQ(g_sprites[AVG_SPR_PICTURE].visible, 1);
  EXPECT_EQ(g_sprites[AVG_SPR_PICTURE].slot, 0);
}

TEST_F(SceneTest, TransitionsRunTheirLengthAndHandThePictureOver) {
  for (int effect : {0, 1, 2}) {
    SCR_ResetProgress();
    AVG_Reset();
    AVG_SetBG(1, 0, 0);
    Load("#B2," + std::to_string(effect) + ",60\n#N1=1\n#W2,600");
    g_cfg.wait = 2;
    g_vars[1] = 0;
    int frames = 0, sawHalfway = 0;
    while (g_vars[1] == 0 && frames < 200) {
      Frame();
      ++frames;
      if (g_scene.transCounter == 15 && g_scene.transRunning) {
        const Sprite& in = g_sprites[AVG_SPR_INCOMING];
        if (effect == 0) sawHalfway = g_sprites[AVG_SPR_PICTURE].visible == 0 && in.visible == 1;
        if (effect == 1) sawHalfway = (in.mode & 0xFFFF) == 10 && (in.mode >> 16) == 128;
        if (effect == 2)
          sawHalfway = in.hasSecond && in.secondSlot == 2 && (in.secondMode >> 16) == 128;
      }
    }
    // Length 30 frames at the standard speed; the command goes on in the
    // frame after the last.
    EXPECT_EQ(frames, 31) << effect;
    EXPECT_TRUE(sawHalfway || effect == 2) << effect;
    EXPECT_EQ(g_slots[0].f.pixels[0], 255) << effect;  // the new picture moved into slot 0
    EXPECT_EQ(g_slots[1].used, 0);
    EXPECT_EQ(g_sprites[AVG_SPR_INCOMING].visible, 0);
    EXPECT_EQ(g_sprites[AVG_SPR_PICTURE].red, 128);
  }
}

TEST_F(SceneTest, EventPictureLoadsThePatternAndMarksTheGallery) {
  const int32_t saved[3] = {g_eventPictures[0], g_eventPictures[1], g_eventPictures[2]};
  g_eventPictures[0] = 9;
  g_eventPictures[1] = 3;
  g_eventPictures[2] = -1;
  g_cfg.cg[1] = 0;
  Load("#V3,2,60\n#W2,600");
  Frame();
  EXPECT_EQ(g_cfg.cg[1], 1);
  EXPECT_EQ(g_cfg.cg[0], 0);
  EXPECT_EQ(g_slots[AVG_IMG_PATTERN].format, FMT_B);
  EXPECT_TRUE(g_sprites[AVG_SPR_INCOMING].hasSecond);
  for (int i = 0; i < 3; ++i) g_eventPictures[i] = saved[i];
}

TEST_F(SceneTest, WipeWithoutAPatternCrossFades) {
  Load("#B2,2,60\n#W2,600");
  Frame();
  Frame();
  EXPECT_FALSE(g_sprites[AVG_SPR_INCOMING].hasSecond);
  EXPECT_EQ(g_sprites[AVG_SPR_INCOMING].mode & 0xFFFF, 10u);
}

TEST_F(SceneTest, SkipCompletesTransitionsAndMissingPicturesStillFinish) {
  Load("#B2,1,600\n#B77,0,60\n#N1=1\n#W2,600");
  g_cfg.wait = 1;
  HL_KeyEvent(PLT_VK_CONTROL, 1);
  Frame();
  EXPECT_EQ(g_scene.transRunning, 0);
  HL_KeyEvent(PLT_VK_CONTROL, 0);
  Frame();
  EXPECT_EQ(g_script.pc, 1);
  EXPECT_EQ(FramesAt(1), 15);
  EXPECT_EQ(g_vars[1], 1);
  EXPECT_EQ(BoxesMentioning("g0077.BMP"), 1);
}

TEST_F(SceneTest, ChoicesByMouseAndKeyboard) {
  ASSERT_EQ(SND_Init(nullptr), 1);  // effects are missing: each play is one warning
  Load("#C0,yes\n#C0,iie\n#Cselect\n#C0,a\n#C0,b\n#C0,c\n#Cselect,v4\n#W2,600");
  HL_MouseMove(300, 100);
  Frame();
  ASSERT_EQ(g_scene.choicesOpen, 1);
  EXPECT_EQ(g_scene.choiceCount, 2);
  EXPECT_EQ(g_sprites[AVG_SPR_FRAME_MIDDLE].h, 56);
  EXPECT_EQ(g_sprites[AVG_SPR_FRAME_BOTTOM].y, 288);
  EXPECT_EQ(g_sprites[AVG_SPR_FRAME_TOP].kind, SPR_KIND_GRADIENT);
  EXPECT_STREQ(g_texts[AVG_TXT_CHOICE0 + 1].text, "iie");
  Frame();
  EXPECT_EQ(g_sprites[AVG_SPR_HIGHLIGHT].visible, 0);
  HL_MouseMove(300, 240);  // choice 0
  Frame();
  Frame();
  HL_MouseMove(300, 265);  // choice 1
  Frame();
  Frame();
  EXPECT_EQ(g_sprites[AVG_SPR_HIGHLIGHT].visible, 1);
  EXPECT_EQ(g_sprites[AVG_SPR_HIGHLIGHT].y, 260);
  const int hovers = BoxesMentioning("se_013.wav");
  Click();
  // Two moves, one effect 13 each; one effect 8 on the click.
  const int perPlay = BoxesMentioning("se_008.wav");
  EXPECT_GT(perPlay, 0);
  EXPECT_EQ(hovers, 2 * perPlay);
  EXPECT_EQ(g_vars[0], 1);
  EXPECT_EQ(g_scene.choicesOpen, 0);
  EXPECT_EQ(g_sprites[AVG_SPR_FRAME_TOP].visible, 0);
  // The keyboard moves the cursor onto the lines; space decides.
  Frame();
  ASSERT_EQ(g_scene.choiceCount, 3);
  HL_MouseMove(5, 5);
  HL_KeyEvent(PLT_VK_DOWN, 1);
  Frame();
  HL_KeyEvent(PLT_VK_DOWN, 0);
  Frame();
  HL_KeyEvent(PLT_VK_DOWN, 1);
  Frame();
  HL_KeyEvent(PLT_VK_DOWN, 0);
  Frame();
  HL_KeyEvent(PLT_VK_SPACE, 1);
  Frame();
  HL_KeyEvent(PLT_VK_SPACE, 0);
  EXPECT_EQ(g_vars[4], 1);
  SND_Release();
}

TEST_F(SceneTest, AFifthChoiceIsRefused) {
  Load("#C0,a\n#C0,b\n#C0,c\n#C0,d\n#C0,e\n#W2,600");
  Frame();
  EXPECT_EQ(g_scene.choiceCount, 4);
  EXPECT_EQ(BoxesMentioning("選択肢の数が多すぎます"), 1);
  // Choosing from nothing would wait for ever: it is passed over.
  Load("#Cselect\n#N1=1\n#W2,600");
  AVG_Reset();
  Frame();
  EXPECT_EQ(g_vars[1], 1);
}

class HandOverTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    GAME_Reset();
    g_playTotals = PlayTotals{};
  }
  void TearDown() override {
    g_playTotals = PlayTotals{};
    GAME_Reset();
    SceneTest::TearDown();
  }
};

TEST_F(HandOverTest, SceneStartLoadsTheCountersScriptAndEndsIntoTheNextStage) {
  WriteFileBytes("SCR/s0000.txt", Bytes("#FS20,1\n#F=N1,0\nhello\n"));
  WriteFileBytes("SCR/s0001.txt", Bytes("#F=N2,20\n#W2,6000"));
  g_state[STATE_GAME].current = 3;
  EXPECT_EQ(GAME_Update(), 3);
  EXPECT_EQ(g_playTotals.stage, 1);
  EXPECT_EQ(g_script.number, 0);
  EXPECT_EQ(SCR_GetFlag(0), 0);
  EXPECT_TRUE(PLT_IsMenuItemEnabled(CMD_NEXT_STAGE));
  EXPECT_EQ(g_slots[AVG_IMG_WINDOW].used, 1);
  EXPECT_EQ(g_sprites[AVG_SPR_WINDOW].mode, 3u);
  EXPECT_EQ(g_sprites[AVG_SPR_WINDOW].y, 320);
  EXPECT_EQ(Frame(), 3);
  for (int i = 0; i < 30 && g_scene.revealing; ++i) Frame();
  Frame();
  HL_MouseButton(0, 1);
  EXPECT_EQ(Frame(), 1);  // the end of the script ends the scene
  HL_MouseButton(0, 0);
  EXPECT_FALSE(PLT_IsMenuItemEnabled(CMD_NEXT_STAGE));
  EXPECT_EQ(g_slots[AVG_IMG_WINDOW].used, 0);
  EXPECT_EQ(g_texts[AVG_TXT_MESSAGE].used, 0);
  // The next scene sees the flag the first one set.
  g_state[STATE_GAME].current = 3;
  GAME_Update();
  EXPECT_EQ(SCR_GetFlag(0), 1);
  Frame();
  EXPECT_EQ(g_vars[2], 1);
  // The next-stage command cuts the scene short.
  CMD_Execute(CMD_NEXT_STAGE);
  EXPECT_EQ(Frame(), 1);
  EXPECT_EQ(g_playTotals.stage, 2);
}

TEST_F(HandOverTest, ASceneCutShortLeavesNothingHalfDone) {
  WriteFileBytes("SCR/s0000.txt", Bytes("first\n"));
  WriteFileBytes("SCR/s0001.txt", Bytes("second\n#N1=1"));
  g_state[STATE_GAME].current = 3;
  GAME_Update();
  Frame();
  CMD_Execute(CMD_NEXT_STAGE);
  Frame();
  g_state[STATE_GAME].current = 3;
  GAME_Update();
  Frame();
  EXPECT_STREQ(g_texts[AVG_TXT_MESSAGE].text, "second\n");
  EXPECT_EQ(g_scene.windowVisible, 1);
}
