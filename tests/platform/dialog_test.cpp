#include "platform/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/plt_types.h"

namespace {

constexpr int kW = 640;
constexpr int kH = 499;

const DlgButton kYesNo[2] = {{PLT_IDYES, "はい"}, {PLT_IDNO, "いいえ"}};
const DlgButton kOk[1] = {{PLT_IDOK, "OK"}};

DlgSpec YesNo() {
  DlgSpec s{};
  s.caption = "終了";
  s.text = "Zentrova を、終了してもよろしいですか？";
  s.icon = DLG_ICON_QUESTION;
  s.buttons = kYesNo;
  s.buttonCount = 2;
  s.defaultButton = 0;
  s.escapeResult = PLT_IDNO;
  return s;
}

DlgSpec WithCheck() {
  DlgSpec s{};
  s.caption = "警告";
  s.text = "画面モードがHighColorモード(16BIT)です。";
  s.icon = DLG_ICON_WARNING;
  s.buttons = kOk;
  s.buttonCount = 1;
  s.escapeResult = PLT_IDCANCEL;
  s.checkCaption = "以後このメッセージを表示しない";
  return s;
}

void Center(bool button, int index, int* x, int* y) {
  int bx, by, bw, bh;
  if (button) {
    DLG_ButtonBounds(index, &bx, &by, &bw, &bh);
  } else {
    DLG_CheckBounds(&bx, &by, &bw, &bh);
  }
  *x = bx + bw / 2;
  *y = by + bh / 2;
}

TEST(Dialog, KeyboardChoosesAndMovesBetweenButtons) {
  struct Case {
    std::vector<int> keys;
    int result;
  } const cases[] = {
      {{PLT_VK_RETURN}, PLT_IDYES},
      {{PLT_VK_ESCAPE}, PLT_IDNO},
      {{PLT_VK_TAB, PLT_VK_RETURN}, PLT_IDNO},
      {{PLT_VK_RIGHT, PLT_VK_SPACE}, PLT_IDNO},
      {{PLT_VK_TAB, PLT_VK_TAB, PLT_VK_RETURN}, PLT_IDYES},  // Tab wraps around
      {{PLT_VK_LEFT, PLT_VK_LEFT, PLT_VK_RETURN}, PLT_IDYES},
      {{PLT_VK_DOWN, PLT_VK_UP, PLT_VK_RETURN}, PLT_IDYES},
  };
  for (const Case& c : cases) {
    DLG_Open(YesNo(), kW, kH);
    for (size_t i = 0; i < c.keys.size(); ++i) {
      ASSERT_TRUE(DLG_IsOpen());
      EXPECT_EQ(DLG_Result(), 0);
      DLG_Key(c.keys[i], false);
    }
    EXPECT_FALSE(DLG_IsOpen());
    EXPECT_EQ(DLG_Result(), c.result);
  }
  DLG_Open(YesNo(), kW, kH);
  DLG_Key(PLT_VK_TAB, true);  // Shift+Tab goes back
  EXPECT_EQ(DLG_Focus(), 1);
  DLG_Key(PLT_VK_A, false);  // other keys do nothing
  EXPECT_TRUE(DLG_IsOpen());
}

TEST(Dialog, CheckBoxTakesTheFocusAndSpaceButEnterStillMeansOk) {
  DLG_Open(WithCheck(), kW, kH);
  EXPECT_EQ(DLG_Focus(), 0);
  DLG_Key(PLT_VK_TAB, false);
  EXPECT_EQ(DLG_Focus(), -1);
  DLG_Key(PLT_VK_SPACE, false);
  EXPECT_TRUE(DLG_IsOpen());
  EXPECT_EQ(DLG_Checked(), 1);
  DLG_Key(PLT_VK_RETURN, false);
  EXPECT_EQ(DLG_Result(), PLT_IDOK);
  EXPECT_EQ(DLG_Checked(), 1);

  DLG_Open(WithCheck(), kW, kH);
  DLG_Key(PLT_VK_ESCAPE, false);
  EXPECT_EQ(DLG_Result(), PLT_IDCANCEL);
  EXPECT_EQ(DLG_Checked(), 0);
}

TEST(Dialog, MouseChoosesOnlyWhenReleasedOverThePressedButton) {
  DLG_Open(YesNo(), kW, kH);
  int yesX, yesY, noX, noY;
  Center(true, 0, &yesX, &yesY);
  Center(true, 1, &noX, &noY);
  // Pressed on Yes, dragged away and released over No: nothing chosen.
  DLG_MouseDown(0, yesX, yesY);
  DLG_MouseMove(noX, noY);
  DLG_MouseUp(0, noX, noY);
  EXPECT_TRUE(DLG_IsOpen());
  DLG_MouseDown(1, noX, noY);  // the right button is no click
  DLG_MouseUp(1, noX, noY);
  EXPECT_TRUE(DLG_IsOpen());
  DLG_MouseDown(0, noX, noY);
  DLG_MouseUp(0, noX, noY);
  EXPECT_EQ(DLG_Result(), PLT_IDNO);

  DLG_Open(WithCheck(), kW, kH);
  int cx, cy;
  Center(false, 0, &cx, &cy);
  DLG_MouseDown(0, cx, cy);
  DLG_MouseUp(0, cx, cy);
  EXPECT_EQ(DLG_Checked(), 1);
  EXPECT_TRUE(DLG_IsOpen());
}

TEST(Dialog, LayoutIsCentredAndTextWrapsInsideTheBox) {
  DlgSpec s = YesNo();
  std::string longText;
  for (int i = 0; i < 12; ++i) longText += "このゲームは快適な動作を保証しません。";
  longText += "\nsecond paragraph";
  s.text = longText.c_str();
  DLG_Open(s, kW, kH);
  int x, y, w, h;
  DLG_Bounds(&x, &y, &w, &h);
  EXPECT_LE(w, kW);
  EXPECT_NEAR(x + w / 2, kW / 2, 1);
  EXPECT_NEAR(y + h / 2, kH / 2, 1);
  ASSERT_GE(DLG_LineCount(), 3);
  EXPECT_STREQ(DLG_Line(DLG_LineCount() - 1), "second paragraph");
  std::string joined;
  for (int i = 0; i + 1 < DLG_LineCount(); ++i) joined += DLG_Line(i);
  EXPECT_EQ(joined + "\nsecond paragraph", longText);  // no character lost at a break
  int bx, by, bw, bh;
  DLG_ButtonBounds(1, &bx, &by, &bw, &bh);
  EXPECT_GT(bx, x);
  EXPECT_LT(bx + bw, x + w);
  EXPECT_LT(by + bh, y + h);
}

TEST(Dialog, DrawsInsideItsBoxAndCancelEndsIt) {
  DLG_Open(YesNo(), kW, kH);
  std::vector<uint32_t> px(static_cast<size_t>(kW) * kH, 0xFF123456);
  EXPECT_TRUE(DLG_TakeDirty());
  DLG_Draw(px.data(), kW, kH);
  int x, y, w, h;
  DLG_Bounds(&x, &y, &w, &h);
  int inside = 0, outside = 0;
  for (int j = 0; j < kH; ++j) {
    for (int i = 0; i < kW; ++i) {
      bool changed = px[static_cast<size_t>(j) * kW + i] != 0xFF123456;
      bool in = i >= x && i < x + w && j >= y && j < y + h;
      (in ? inside : outside) += changed ? 1 : 0;
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, w * h / 2);
  DLG_Cancel(PLT_IDNO);
  EXPECT_FALSE(DLG_IsOpen());
  EXPECT_EQ(DLG_Result(), PLT_IDNO);
}

}  // namespace

namespace {

TEST(Dialog, SlidersTakeTheArrowKeysAndFollowTheMouse) {
  static const DlgButton kOkCancel[2] = {{PLT_IDOK, "OK"}, {PLT_IDCANCEL, "キャンセル"}};
  static const DlgSlider kRows[2] = {{"音楽", 100}, {"効果音", 40}};
  DlgSpec s{};
  s.caption = "音量";
  s.buttons = kOkCancel;
  s.buttonCount = 2;
  s.escapeResult = PLT_IDCANCEL;
  s.sliders = kRows;
  s.sliderCount = 2;
  DLG_Open(s, kW, kH);
  EXPECT_EQ(DLG_Focus(), 0);  // the OK button, as in any box
  DLG_Key(PLT_VK_TAB, true);  // the sliders come first in the tab order
  ASSERT_EQ(DLG_Focus(), DLG_FOCUS_SLIDER0 + 1);
  DLG_Key(PLT_VK_LEFT, false);
  EXPECT_EQ(DLG_SliderValue(1), 35);
  DLG_Key(PLT_VK_UP, false);
  DLG_Key(PLT_VK_RIGHT, false);  // 100 stays 100
  EXPECT_EQ(DLG_SliderValue(0), 100);
  DLG_Key(PLT_VK_HOME, false);
  EXPECT_EQ(DLG_SliderValue(0), 0);
  // Pressing on the track jumps there; dragging past its ends stops at them.
  int x, y, w, h;
  DLG_SliderBounds(1, &x, &y, &w, &h);
  DLG_MouseDown(0, x + w / 2, y + h / 2);
  EXPECT_NEAR(DLG_SliderValue(1), 50, 1);
  DLG_MouseMove(x + w + 50, y + h / 2);
  EXPECT_EQ(DLG_SliderValue(1), 100);
  DLG_MouseMove(x - 50, y);
  DLG_MouseUp(0, x - 50, y);
  EXPECT_EQ(DLG_SliderValue(1), 0);
  EXPECT_TRUE(DLG_IsOpen());
  DLG_Key(PLT_VK_RETURN, false);  // Enter on a slider still means OK
  EXPECT_EQ(DLG_Result(), PLT_IDOK);
}

}  // namespace
