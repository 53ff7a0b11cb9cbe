#include "platform/menubar.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/plt_types.h"
#include "resources/resources.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr uint32_t kSentinel = 0xFF123456;

std::vector<int> g_commands;
void Sink(int id) {
  g_commands.push_back(id);
}

// Rows of the drop-down items: the panel starts under the bar with a
// three-pixel frame; items are 17 rows high, separators 9.
int ItemY(const std::vector<bool>& separatorsBefore, int index) {
  int y = MBAR_BarHeight() + 3;
  for (int i = 0; i < index; ++i) y += separatorsBefore[i] ? 9 : 17;
  return y + 8;
}

// Items of the "システム" panel: full screen, window, separator, next stage,
// separator, quit.
const std::vector<bool> kSystemItems = {false, false, true, false, true, false};
constexpr int kSystemX = 20;    // over the first caption
constexpr int kSettingsX = 90;  // over the second caption

class MenuBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_commands.clear();
    MBAR_Build(&g_menuMain, kWidth, Sink);
  }
  void TearDown() override { MBAR_Destroy(); }

  void Click(int x, int y) {
    MBAR_MouseMove(x, y);
    MBAR_MouseDown(0, x, y);
    MBAR_MouseUp(0, x, y);
  }

  std::vector<uint32_t> Draw() {
    std::vector<uint32_t> px(static_cast<size_t>(kWidth) * (kHeight + MBAR_BarHeight()), kSentinel);
    MBAR_Draw(px.data(), kWidth, kHeight + MBAR_BarHeight());
    return px;
  }
};

// Darkest channel value in a rectangle (text is drawn in black, greyed text
// in grey).
int Darkest(const std::vector<uint32_t>& px, int x0, int y0, int x1, int y1) {
  int darkest = 255;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      uint32_t p = px[static_cast<size_t>(y) * kWidth + x];
      darkest = std::min(darkest, static_cast<int>(p & 0xFF));
    }
  }
  return darkest;
}

TEST_F(MenuBarTest, ChoosingAnItemPostsItsIdAndClosesTheMenu) {
  ASSERT_GT(MBAR_BarHeight(), 10);
  EXPECT_TRUE(MBAR_MouseDown(0, kSystemX, 5));
  EXPECT_TRUE(MBAR_IsOpen());
  EXPECT_TRUE(MBAR_MouseUp(0, kSystemX, 5));
  EXPECT_TRUE(MBAR_IsOpen());  // releasing over the caption keeps it open
  Click(40, ItemY(kSystemItems, 5));
  EXPECT_EQ(g_commands, std::vector<int>{40006});
  EXPECT_FALSE(MBAR_IsOpen());

  // Press on the caption, drag to an item and release there.
  MBAR_MouseDown(0, kSystemX, 5);
  MBAR_MouseMove(40, ItemY(kSystemItems, 0));
  MBAR_MouseUp(0, 40, ItemY(kSystemItems, 0));
  EXPECT_EQ(g_commands, (std::vector<int>{40006, 40004}));
}

TEST_F(MenuBarTest, GreyedItemsAndSeparatorsChooseNothing) {
  MBAR_SetEnabled(40047, 0);
  Click(kSystemX, 5);
  Click(40, ItemY(kSystemItems, 3));  // the greyed "next stage"
  Click(40, ItemY(kSystemItems, 2));  // a separator
  EXPECT_TRUE(g_commands.empty());
  EXPECT_TRUE(MBAR_IsOpen());
  MBAR_SetEnabled(40047, 1);
  Click(40, ItemY(kSystemItems, 3));
  EXPECT_EQ(g_commands, std::vector<int>{40047});
}

TEST_F(MenuBarTest, ClicksOutsideCloseTheMenuAndGoNoFurther) {
  // While closed, the client area is the game's and the bar is the menu's.
  EXPECT_FALSE(MBAR_MouseDown(0, 300, 300));
  EXPECT_FALSE(MBAR_MouseMove(300, 300));
  EXPECT_TRUE(MBAR_MouseDown(0, 600, 5));  // bar, right of the captions
  EXPECT_FALSE(MBAR_IsOpen());

  Click(kSystemX, 5);
  ASSERT_TRUE(MBAR_IsOpen());
  EXPECT_TRUE(MBAR_MouseMove(300, 300));  // the game sees no moves while open
  EXPECT_TRUE(MBAR_MouseDown(0, 300, 300));
  EXPECT_FALSE(MBAR_IsOpen());
  MBAR_MouseUp(0, 300, 300);
  EXPECT_TRUE(g_commands.empty());

  // A second click on the open caption closes it too.
  Click(kSystemX, 5);
  MBAR_MouseDown(0, kSystemX, 5);
  EXPECT_FALSE(MBAR_IsOpen());
}

TEST_F(MenuBarTest, SubmenusOpenOnHoverAndWithTheKeyboard) {
  Click(kSettingsX, 5);
  ASSERT_TRUE(MBAR_IsOpen());
  // Third entry "サウンド" opens its panel beside the first one.
  int soundY = MBAR_BarHeight() + 3 + 17 * 2 + 8;
  MBAR_MouseMove(kSettingsX, soundY);
  // The sub panel reaches further right than the first one: its "OFF" item
  // is on the next row, left of the sub panel's right edge.
  std::vector<uint32_t> px = Draw();
  int offY = soundY + 17;
  int right = kWidth - 1;
  while (right > 0 && px[static_cast<size_t>(offY) * kWidth + right] == kSentinel) --right;
  ASSERT_GT(right, kSettingsX + 100);
  Click(right - 20, offY);
  EXPECT_EQ(g_commands, std::vector<int>{40060});

  // Keyboard: down to "システム速度", into it, down once, choose: 40055.
  g_commands.clear();
  Click(kSettingsX, 5);
  for (int vk : {PLT_VK_DOWN, PLT_VK_DOWN, PLT_VK_RIGHT, PLT_VK_DOWN, PLT_VK_RETURN}) {
    EXPECT_TRUE(MBAR_Key(vk));
  }
  EXPECT_EQ(g_commands, std::vector<int>{40055});
  EXPECT_FALSE(MBAR_IsOpen());
  EXPECT_FALSE(MBAR_Key(PLT_VK_DOWN));  // keys belong to the game again

  // Escape closes the sub panel first; Left then moves along the bar.
  g_commands.clear();
  Click(kSettingsX, 5);
  MBAR_Key(PLT_VK_DOWN);
  MBAR_Key(PLT_VK_RIGHT);
  MBAR_Key(PLT_VK_ESCAPE);
  EXPECT_TRUE(MBAR_IsOpen());
  MBAR_Key(PLT_VK_LEFT);  // to "システム", first item selected
  MBAR_Key(PLT_VK_RETURN);
  EXPECT_EQ(g_commands, std::vector<int>{40004});
}

TEST_F(MenuBarTest, DrawsChecksGreyedTextAndOnlyWhatIsOpen) {
  std::vector<uint32_t> closed = Draw();
  // Closed: the bar's rows are drawn, with dark caption text; the picture
  // below is untouched.
  EXPECT_LT(Darkest(closed, 0, 0, 120, MBAR_BarHeight()), 64);
  for (size_t i = static_cast<size_t>(kWidth) * MBAR_BarHeight(); i < closed.size(); ++i) {
    ASSERT_EQ(closed[i], kSentinel);
  }

  MBAR_SetChecked(40005, 1);
  MBAR_SetEnabled(40005, 0);
  EXPECT_TRUE(MBAR_IsChecked(40005));
  EXPECT_FALSE(MBAR_IsEnabled(40005));
  MBAR_SetChecked(99999, 1);  // no such item: ignored
  EXPECT_FALSE(MBAR_IsChecked(99999));
  EXPECT_TRUE(MBAR_IsEnabled(99999));
  EXPECT_TRUE(MBAR_TakeDirty());
  EXPECT_FALSE(MBAR_TakeDirty());

  Click(kSystemX, 5);
  std::vector<uint32_t> open = Draw();
  int fullY = ItemY(kSystemItems, 0), windowY = ItemY(kSystemItems, 1);
  // Enabled text is black, greyed text is not; the check mark sits left of
  // the text on the checked item only.
  EXPECT_LT(Darkest(open, 20, fullY - 6, 120, fullY + 6), 64);
  EXPECT_GT(Darkest(open, 20, windowY - 6, 120, windowY + 6), 96);
  EXPECT_LT(Darkest(open, 4, windowY - 4, 20, windowY + 4), 160);
  EXPECT_EQ(Darkest(open, 4, fullY - 4, 20, fullY + 4), 0xC8);  // plain menu face
  MBAR_Close();
  EXPECT_EQ(Draw(), closed);
}

TEST(MenuBar, WithoutAMenuThereIsNoBar) {
  MBAR_Build(nullptr, kWidth, Sink);
  EXPECT_EQ(MBAR_BarHeight(), 0);
  EXPECT_FALSE(MBAR_MouseDown(0, 10, 5));
  EXPECT_FALSE(MBAR_MouseMove(10, 5));
  EXPECT_FALSE(MBAR_IsOpen());
  MBAR_Destroy();
}

}  // namespace
