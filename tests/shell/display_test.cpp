// Display modes through the real main loop with the headless backend: the
// 8-bit desktop path, the display-change message, full screen's menu bar,
// the size query, the help commands and the end of a session.
#include "shell/display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "blit/tables.h"
#include "common/config.h"
#include "common/log.h"
#include "platform/plt_file.h"
#include "common/reg.h"
#include "gfx/image.h"
#include "platform/headless/headless.h"
#include "platform/plt_display.h"
#include "platform/plt_png.h"
#include "platform/plt_registry.h"
#include "platform/plt_types.h"
#include "platform/plt_window.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "test_util.h"

namespace {

constexpr const char* k256Caption = "画面モードエラー";

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("ZENTROVA_CONFIG_DIR", dir_.path().c_str(), 1);
    ::unsetenv("ZENTROVA_DESKTOP_DEPTH");
    PLT_RegReset();
    HL_Reset();
    LOG_Reset();
    HL_SetTime(1000);
    g_appOptions.measureCpuClock = 0;
    g_appOptions.singleInstance = 0;
    std::filesystem::create_directory("err");
  }
  void TearDown() override {
    if (started_) APP_Shutdown();
    ::unsetenv("ZENTROVA_DESKTOP_DEPTH");
    ::unsetenv("ZENTROVA_CONFIG_DIR");
    PLT_RegReset();
  }
  void Start(int bpp, int w = 1920, int h = 1080) {
    HL_SetDesktop(bpp, w, h);
    ASSERT_EQ(APP_Start(), 1);
    started_ = true;
  }
  // Runs message-loop passes until n more frame steps ran; false once quit.
  bool Frames(int n) {
    uint64_t until = g_app.frameSteps + static_cast<uint64_t>(n);
    while (g_app.frameSteps < until) {
      if (!APP_RunOnce()) return false;
    }
    return true;
  }
  int Count(const char* caption) const {
    int n = 0;
    for (const HlMessageBox& b : HL_MessageBoxes()) n += b.caption == caption;
    return n;
  }
  int32_t Stored(const char* name) {
    REG_SetKey(REG_KEY_CONFIG);
    int32_t v = -1;
    return REG_ReadDword(name, &v) == 0 ? v : -1;
  }
  // The whole debug log, not only its recent lines: the title logs every
  // picture this empty data directory lacks.
  bool Logged(const std::string& line) const {
    std::vector<uint8_t> text = ReadFileBytes("err/debug.txt");
    std::string all = "\n" + std::string(text.begin(), text.end());
    return all.find("\n" + line + "\n") != std::string::npos;
  }

  TempDir dir_;
  bool started_ = false;
};

TEST_F(DisplayTest, EightBitDesktopConvertsEveryFrameThroughTheDisplayPalette) {
  Start(8);
  EXPECT_EQ(Count(k256Caption), 1);  // at start, and "256_check" is created as 0
  EXPECT_EQ(Stored("256_check"), 0);
  EXPECT_EQ(g_display.desktopDepth, 8);
  EXPECT_EQ(g_display.displayDepth, 8);
  EXPECT_EQ(g_display.workingDepth, 24);
  ASSERT_TRUE(Frames(40));
  EXPECT_GT(HL_IndexedPresentCount(), 20u);

  // The system's static colours stay, the entries between them are its no longer.
  uint8_t sys[1024];
  PLT_GetSystemPalette(sys);
  const uint8_t* pal = g_back.indexed.palette;
  ASSERT_NE(pal, nullptr);
  for (int i = 0; i < 256; ++i) {
    bool fixed = i < 10 || i >= 246;
    // Entry 10, the first free colour, is kept out of the map as well.
    EXPECT_EQ(g_display.reserved[i], fixed || i == 10 ? 255 : 0) << i;
    if (fixed) {
      EXPECT_EQ(0, std::memcmp(pal + i * 4, sys + i * 4, 3)) << i;
    }
  }
  int systemLeft = 0;
  for (int i = 10; i < 246; ++i) systemLeft += std::memcmp(pal + i * 4, sys + i * 4, 3) == 0;
  EXPECT_LT(systemLeft, 10);

  // Known colours land on their own entries; the low three bits do not matter.
  auto index = [](int r, int g, int b) {
    return Rgb15ToIndex[((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)];
  };
  struct {
    int r, g, b;
  } const known[] = {{255, 0, 0}, {0, 0, 0}, {255, 255, 255}, {0, 255, 255}, {72, 116, 176}};
  for (const auto& c : known) {
    const uint8_t* e = pal + index(c.r, c.g, c.b) * 4;
    EXPECT_EQ(e[2], c.r);
    EXPECT_EQ(e[1], c.g);
    EXPECT_EQ(e[0], c.b);
    EXPECT_EQ(index(c.r, c.g, c.b), index(c.r | 7, c.g | 7, c.b | 7));
  }
  // The frame shown is the working image through the table, pixel for pixel.
  const uint8_t* f = g_back.frame.pixels;
  size_t bad = 0;
  for (size_t i = 0; i < static_cast<size_t>(SCREEN_W) * SCREEN_H; ++i) {
    bad += g_back.indexed.pixels[i] != index(f[i * 3 + 2], f[i * 3 + 1], f[i * 3]);
  }
  EXPECT_EQ(bad, 0u);
}

TEST_F(DisplayTest, DisplayChangeRebuildsTheBuffersAndWarnsOnceOnEnteringEightBits) {
  Start(32);
  ASSERT_TRUE(Frames(3));
  EXPECT_EQ(Count(k256Caption), 0);
  EXPECT_EQ(g_back.displayDepth, 24);
  HL_ChangeDesktop(8, 1920, 1080);
  ASSERT_TRUE(Frames(3));
  EXPECT_EQ(Count(k256Caption), 1);
  EXPECT_EQ(g_display.displayDepth, 8);
  EXPECT_NE(g_back.indexed.pixels, nullptr);
  HL_ChangeDesktop(8, 1600, 900);  // same depth: nothing rebuilt, no warning
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(Count(k256Caption), 1);
  EXPECT_EQ(g_display.desktopWidth, 1600);
  HL_ChangeDesktop(16, 1600, 900);
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(g_display.displayDepth, 16);
  EXPECT_EQ(g_back.displayDepth, 24);
  EXPECT_EQ(g_back.indexed.pixels, nullptr);
  EXPECT_EQ(g_cfg.screen, 0);
  // A desktop 640 wide: the game goes full screen.
  HL_ChangeDesktop(16, 640, 480);
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(g_cfg.screen, 1);
  EXPECT_EQ(PLT_IsFullScreen(), 1);
  // While the game ends no warning is shown.
  HL_PostEndSession();
  HL_ChangeDesktop(8, 640, 480);
  while (Frames(1)) {
  }
  EXPECT_EQ(Count(k256Caption), 1);
}

TEST_F(DisplayTest, DepthOverrideAndTheHighColourDialogWithItsCheckBox) {
  ::setenv("ZENTROVA_DESKTOP_DEPTH", "16", 1);
  Start(32);
  EXPECT_EQ(g_display.desktopDepth, 16);
  EXPECT_EQ(Count("警告"), 1);  // dialog 104
  EXPECT_EQ(Stored("16bit_check"), 0);
  ::setenv("ZENTROVA_DESKTOP_DEPTH", "12", 1);  // not a depth: the real one
  int bpp, w, h;
  PLT_GetDesktopMode(&bpp, &w, &h);
  EXPECT_EQ(bpp, 32);
}

TEST_F(DisplayTest, FullScreenMenuBarFollowsTheTopRowsAndTheSizeQueryIsLogged) {
  Start(32);
  EXPECT_TRUE(Logged("MINMAXINFO "));
  EXPECT_TRUE(Logged("1920 : 1080"));
  ASSERT_TRUE(Frames(2));
  HL_PostCommand(CMD_FULLSCREEN);
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(PLT_IsFullScreen(), 1);
  EXPECT_TRUE(Logged("SetWindowPos 0 : -19"));
  HL_MouseMove(300, 18);
  ASSERT_TRUE(Frames(1));
  EXPECT_EQ(g_display.menuShown, 1);
  EXPECT_EQ(HL_MenuBarShown(), 1);
  EXPECT_TRUE(Logged("SetWindowPos 0 : 0"));
  HL_MouseMove(300, 200);
  ASSERT_TRUE(Frames(1));
  EXPECT_EQ(g_display.menuShown, 0);
  HL_MouseMove(300, 19);  // below the bar's rows
  ASSERT_TRUE(Frames(1));
  EXPECT_EQ(g_display.menuShown, 0);
  HL_PostCommand(CMD_WINDOW);
  HL_MouseMove(300, 5);  // in a window the bar is always there
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(PLT_IsFullScreen(), 0);
  EXPECT_EQ(g_display.menuShown, 0);
  // A real switch to 640x480, which the system does not store: the desktop
  // is then 640 wide, and the window command must still go back.
  HL_PostCommand(CMD_FULLSCREEN);
  ASSERT_TRUE(Frames(2));
  HL_SwitchDesktop(640, 480);
  ASSERT_TRUE(Frames(2));
  HL_PostCommand(CMD_WINDOW);
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(PLT_IsFullScreen(), 0);
  EXPECT_EQ(g_cfg.screen, 0);
}

TEST_F(DisplayTest, AFailedModeChangeIsReportedWithItsReasonAndTheGameGoesOn) {
  const struct {
    int result;
    const char* text;  // empty: no message
  } kRows[] = {
      {PLT_DISP_CHANGE_SUCCESSFUL, ""},
      {PLT_DISP_CHANGE_RESTART, "画面モード変更時、再起動必要"},
      {PLT_DISP_CHANGE_FAILED, "画面モード変更失敗(ドライバがそのモード変更をサーポートしていません)"},
      {PLT_DISP_CHANGE_BADMODE, "画面モード変更失敗(そのモードは存在しません)"},
      {PLT_DISP_CHANGE_NOTUPDATED, "画面モード変更失敗(よーわからん、NT用？)"},
      {PLT_DISP_CHANGE_BADFLAGS, "画面モード変更失敗(フラグミス)"},
      {-5, "画面モード変更失敗(原因不明・・・・)"},
  };
  // The empty data directory brings boxes of its own: only these count.
  auto modeBoxes = [] {
    std::vector<std::string> texts;
    for (const HlMessageBox& b : HL_MessageBoxes()) {
      if (b.text.rfind("画面モード変更", 0) == 0) texts.push_back(b.text);
    }
    return texts;
  };
  Start(32);
  ASSERT_TRUE(Frames(2));
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.result);
    const size_t boxes = modeBoxes().size();
    HL_SetModeChangeResult(row.result);
    HL_PostCommand(CMD_FULLSCREEN);
    ASSERT_TRUE(Frames(2));
    EXPECT_EQ(PLT_IsFullScreen(), 1);
    const std::vector<std::string> texts = modeBoxes();
    if (row.text[0]) {
      ASSERT_EQ(texts.size(), boxes + 1);
      EXPECT_EQ(texts.back(), row.text);
    } else {
      EXPECT_EQ(texts.size(), boxes);
    }
    HL_PostCommand(CMD_WINDOW);
    ASSERT_TRUE(Frames(2));
    EXPECT_EQ(PLT_IsFullScreen(), 0);
  }
}

TEST_F(DisplayTest, HelpCommandsScaleAndTheEndOfTheSession) {
  Start(32);
  ASSERT_TRUE(Frames(2));
  HL_PostCommand(CMD_ABOUT);
  HL_PostCommand(CMD_HOMEPAGE);
  HL_PostCommand(CMD_MANUAL);
  HL_PostCommand(CMD_SCALE1 + 2);
  ASSERT_TRUE(Frames(2));
  EXPECT_EQ(Count("バージョン情報"), 1);
  ASSERT_EQ(HL_OpenedTargets().size(), 2u);
  EXPECT_EQ(HL_OpenedTargets()[0], CMD_HOMEPAGE_URL);
  EXPECT_EQ(HL_OpenedTargets()[1], "manual/manual.html");
  EXPECT_EQ(HL_WindowScale(), 3);
  // A desktop that cannot open it: the player is told where the manual is.
  HL_SetNoOpener(1);
  HL_PostCommand(CMD_MANUAL);
  ASSERT_TRUE(Frames(1));
  ASSERT_EQ(Count("ヘルプ"), 1);
  EXPECT_NE(HL_MessageBoxes().back().text.find(PLT_ResolvePath("manual/manual.html")),
            std::string::npos);
  HL_SetNoOpener(0);
  // The session ends: no question, the loop ends within three frames and the
  // settings are written.
  size_t boxes = HL_MessageBoxes().size();
  HL_PostEndSession();
  int frames = 0;
  while (Frames(1)) ++frames;
  EXPECT_LE(frames, 3);
  EXPECT_EQ(HL_MessageBoxes().size(), boxes);
  APP_Shutdown();
  started_ = false;
  EXPECT_EQ(Stored("window_scale"), 3);
  EXPECT_EQ(Stored("msg_wait"), 2);
}

TEST_F(DisplayTest, F12WritesThePictureOnShowIntoThePicturesFolder) {
#ifdef _WIN32
  GTEST_SKIP() << "the XDG pictures folder is the Linux build's; Windows uses %LOCALAPPDATA%";
#endif
  ::setenv("XDG_PICTURES_DIR", (dir_.path() + "/pics").c_str(), 1);
  Start(32);
  ASSERT_TRUE(Frames(5));
  std::vector<uint8_t> shown = HL_LastFrame();
  HL_KeyEvent(PLT_VK_F1 + 11, 1);
  ASSERT_TRUE(Frames(1));
  HL_KeyEvent(PLT_VK_F1 + 11, 0);
  ::unsetenv("XDG_PICTURES_DIR");
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(dir_.path() + "/pics/Zentrova"))
    files.push_back(e.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].extension(), ".png");
  uint8_t* bgra = nullptr;
  int w = 0, h = 0;
  ASSERT_EQ(PLT_ReadPng(files[0].string().c_str(), &bgra, &w, &h), 1);
  ASSERT_EQ(w, SCREEN_W);
  ASSERT_EQ(h, SCREEN_H);
  size_t differ = 0;
  for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
    differ += std::memcmp(bgra + i * 4, shown.data() + i * 3, 3) != 0;
  }
  delete[] bgra;
  EXPECT_EQ(differ, 0u);             // the frame shown when F12 went down, before the notice
  EXPECT_NE(HL_LastFrame(), shown);  // the notice is drawn over the next frames
}

}  // namespace
