// The title menu's other items: the gallery of seen event pictures and quit.
#include <gtest/gtest.h>

#include <string>

#include "common/config.h"
#include "common/mouse.h"
#include "game/title.h"
#include "gfx/image.h"
#include "gfx/sprite.h"
#include "platform/headless/headless.h"
#include "platform/plt_types.h"
#include "platform/plt_window.h"
#include "shell/app.h"
#include "test_util.h"
#include "title_test_util.h"

namespace {

class GalleryTest : public TitleFlowTest {
 protected:
  void SetUp() override {
    TitleFlowTest::SetUp();
    g_cfg.wait = 0;
    g_eventPictures[0] = 5;
    g_eventPictures[1] = 7;
    g_eventPictures[2] = 9;
    g_eventPictures[3] = -1;
    // Thumbnails and pictures of distinct sizes, to tell which one loaded.
    WriteFileBytes("grp/vs0005.bmp", MakeBmp24(10, 8, 255, 0, 0));
    WriteFileBytes("grp/vs0007.bmp", MakeBmp24(12, 8, 0, 255, 0));
    WriteFileBytes("grp/vs0009.bmp", MakeBmp24(14, 8, 0, 0, 255));
    WriteFileBytes("grp/v0007.bmp", MakeBmp24(64, 48, 0, 255, 0));
  }
};

TEST_F(GalleryTest, ItemIsDarkUntilAListedPictureWasSeen) {
  g_cfg.cg[40] = 1;  // a flag beyond the list does not count
  EXPECT_FALSE(TITLE_GalleryAvailable());
  g_cfg.cg[2] = 1;
  EXPECT_TRUE(TITLE_GalleryAvailable());
  g_eventPictures[2] = -1;  // the list now ends before it
  EXPECT_FALSE(TITLE_GalleryAvailable());
}

TEST_F(GalleryTest, OffersSeenPicturesAndShowsTheChosenOne) {
  g_cfg.cg[1] = 1;  // picture 7 seen; 5 and 9 not
  ToMenuQuickly();
  EXPECT_TRUE(MOUSE_ZoneEnabled(0, TITLE_ITEM_GALLERY));
  EXPECT_EQ(g_sprites[11].red, 128);

  // The keyboard now reaches the gallery item.
  HL_MouseMove(600, 20);
  TapKey(PLT_VK_DOWN);
  TapKey(PLT_VK_DOWN);
  EXPECT_EQ(g_title.hovered, TITLE_ITEM_GALLERY);
  TapKey(PLT_VK_SPACE);
  EXPECT_EQ(TitleState(), TITLE_GALLERY);

  // One thumbnail, the first place of the grid, in zone group 1.
  EXPECT_EQ(g_title.galleryCount, 1);
  EXPECT_EQ(g_mouse.activeGroup, 1);
  EXPECT_TRUE(MOUSE_ZoneEnabled(1, 0));
  EXPECT_FALSE(MOUSE_ZoneEnabled(1, 1));
  EXPECT_EQ(g_mouse.zones[1][0].x, 40);
  EXPECT_EQ(g_mouse.zones[1][0].y, 64);
  EXPECT_EQ(g_mouse.zones[1][0].width, 128);
  EXPECT_EQ(g_mouse.zones[1][0].height, 96);
  int w = 0, h = 0;
  IMG_GetSize(32, &w, &h);
  EXPECT_EQ(w, 12);  // "vs0007.bmp"
  for (int j = 0; j < 3; ++j) EXPECT_FALSE(g_sprites[10 + j].visible);

  HL_MouseMove(100, 100);
  Step();
  ClickLeft();
  EXPECT_EQ(TitleState(), TITLE_VIEW_IN);
  EXPECT_EQ(g_title.viewing, 1);
  IMG_GetSize(9, &w, &h);
  EXPECT_EQ(w, 64);  // "v0007.bmp"
  Step();            // no fade at the fastest speed
  EXPECT_EQ(TitleState(), TITLE_VIEW);
  Steps(20);
  EXPECT_EQ(TitleState(), TITLE_VIEW);  // waits for the player
  TapKey(PLT_VK_SPACE);
  EXPECT_EQ(TitleState(), TITLE_GALLERY);  // faded out in one frame
  EXPECT_FALSE(g_slots[9].used);

  // Cancel returns to the menu and its zones.
  TapKey(PLT_VK_SHIFT);
  EXPECT_EQ(TitleState(), TITLE_MENU);
  EXPECT_EQ(g_mouse.activeGroup, 0);
  EXPECT_FALSE(MOUSE_ZoneEnabled(1, 0));
  EXPECT_FALSE(g_slots[32].used);
  for (int j = 0; j < 3; ++j) EXPECT_TRUE(g_sprites[10 + j].visible);
}

TEST_F(GalleryTest, PictureFadesAtStandardSpeed) {
  g_cfg.cg[0] = 1;
  g_cfg.cg[2] = 1;
  ToMenuQuickly();
  g_cfg.wait = 2;
  HL_MouseMove(240, 340);
  Step();
  ClickLeft();
  Step();
  ASSERT_EQ(TitleState(), TITLE_GALLERY);
  EXPECT_EQ(g_title.galleryCount, 2);
  EXPECT_EQ(g_mouse.zones[1][1].x, 184);  // second place of the row
  HL_MouseMove(190, 70);
  Step();
  ClickLeft();
  ASSERT_EQ(TitleState(), TITLE_VIEW_IN);
  EXPECT_EQ(g_title.viewing, 2);
  EXPECT_EQ(RunUntil(TITLE_VIEW, 40), 16);  // F1 = 15 frames
  EXPECT_EQ(g_sprites[440].mode, 0u);
  TapKey(PLT_VK_SHIFT);
  EXPECT_EQ(RunUntil(TITLE_GALLERY, 40), 15);
}

TEST_F(TitleFlowTest, QuitItemAsksThroughTheWindowProcedure) {
  APP_ResetForTests();
  PLT_CreateWindow("Zentrova", 640, 480, nullptr, APP_WndProc);
  ToMenuQuickly();
  HL_MouseMove(240, 380);
  Step();
  HL_QueueAnswer(PLT_IDNO);
  ClickLeft();
  auto questions = [] {
    int n = 0;
    for (const HlMessageBox& b : HL_MessageBoxes()) {
      if (b.caption == "終了") ++n;
    }
    return n;
  };
  EXPECT_EQ(questions(), 1);
  EXPECT_FALSE(APP_IsEnding());
  Steps(2);  // the frame that discards the menu click, then the release
  HL_QueueAnswer(PLT_IDYES);
  ClickLeft();
  EXPECT_EQ(questions(), 2);
  EXPECT_TRUE(APP_IsEnding());
  PLT_DestroyWindow();
  APP_ResetForTests();
}

}  // namespace
