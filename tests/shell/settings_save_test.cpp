// Saving and loading the settings, and the debug log, when files are damaged
// or the disk refuses writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/config.h"
#include "common/log.h"
#include "common/reg.h"
#include "fault_util.h"
#include "game/game_mode.h"
#include "platform/headless/headless.h"
#include "platform/plt_file.h"
#include "platform/plt_menu.h"
#include "platform/plt_registry.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "sound/bgm.h"
#include "test_util.h"

namespace {

class SettingsSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(config_);
    ::setenv("ZENTROVA_CONFIG_DIR", config_.c_str(), 1);
    PLT_RegReset();
    PLT_FaultInjectOff();
    LOG_Reset();
    HL_Reset();
  }
  void TearDown() override {
    PLT_FaultInjectOff();
    ::unsetenv("ZENTROVA_CONFIG_DIR");
    PLT_RegReset();
    LOG_Reset();
  }
  std::string Store() const { return config_ + "/registry.txt"; }
  TempDir dir_;
  std::string config_ = dir_.path() + "/config";
};

std::string Text(const std::vector<uint8_t>& b) {
  return std::string(b.begin(), b.end());
}

size_t SaveWarnings() {
  size_t n = 0;
  for (const HlMessageBox& b : HL_MessageBoxes())
    n += b.caption == "警告" && b.text.rfind("設定を保存できませんでした", 0) == 0;
  return n;
}

TEST_F(SettingsSaveTest, AllValuesGoInOneReplacementInTheSameFormat) {
#ifdef _WIN32
  GTEST_SKIP() << "the settings file is the Linux build's; Windows keeps them in the registry";
#endif
  CFG_Defaults();
  g_cfg.wait = 4;
  g_cfg.cg[0] = 0x5A;
  PLT_FaultInjectArm(PltFaultInject());
  EXPECT_EQ(CFG_Save(), 1);
  EXPECT_EQ(PLT_FaultInjectCounts().renames, 1);
  EXPECT_EQ(PLT_FaultInjectCounts().writes, 1);
  std::string cg = "5a";
  cg.append(254, '0');
  std::string want =
      "# Zentrova settings\n"
      "[SoftWare\\TAVREN\\Zentrova\\config]\n"
      "auto_speed=dword:00000000\n"
      "bgm=dword:00000001\n";
  want.append("cg=hex:").append(cg).append("\n");
  want.append(
      "msg_wait=dword:00000002\n"
      "mute_unfocused=dword:00000000\n"
      "screen=dword:00000000\n"
      "se=dword:00000001\n"
      "skip_read_only=dword:00000000\n"
      "smooth=dword:00000000\n"
      "text_hook=dword:00000000\n"
      "vol_bgm=dword:00000064\n"
      "vol_se=dword:00000064\n"
      "wait=dword:00000004\n"
      "wait_mark=dword:00000000\n"
      "window_scale=dword:00000001\n");
  EXPECT_EQ(Text(ReadFileBytes(Store())), want);

  // Outside a batch each change is still written at once.
  PLT_FaultInjectArm(PltFaultInject());
  REG_SetKey(REG_KEY_MAIN);
  REG_WriteDword("pos_x", 3);
  REG_WriteDword("pos_y", 4);
  EXPECT_EQ(PLT_FaultInjectCounts().renames, 3);  // the new key, then each value

  // Nested batches write once, at the outer commit.
  PLT_FaultInjectArm(PltFaultInject());
  PLT_RegBeginBatch();
  REG_WriteDword("pos_x", 5);
  EXPECT_EQ(CFG_Save(), 1);
  EXPECT_EQ(PLT_FaultInjectCounts().renames, 0);
  EXPECT_EQ(PLT_RegCommit(), PLT_REG_OK);
  EXPECT_EQ(PLT_FaultInjectCounts().renames, 1);
  EXPECT_EQ(PLT_RegCommit(), PLT_REG_ERROR);  // no batch open
}

TEST_F(SettingsSaveTest, EveryFailurePointLeavesOldOrNewFileAndIsLogged) {
#ifdef _WIN32
  GTEST_SKIP() << "the settings file is the Linux build's; Windows keeps them in the registry";
#endif
  CFG_Defaults();
  ASSERT_EQ(CFG_Save(), 1);
  const std::vector<uint8_t> oldBytes = ReadFileBytes(Store());
  auto changeSettings = [] {
    g_cfg.wait = 0;
    g_cfg.msgWait = 3;
    g_cfg.windowScale = 2;
    g_cfg.cg[100] = 1;
  };
  changeSettings();
  PLT_FaultInjectArm(PltFaultInject());
  ASSERT_EQ(CFG_Save(), 1);
  const std::vector<FailurePoint> points = FailurePoints(PLT_FaultInjectCounts());
  PLT_FaultInjectOff();
  const std::vector<uint8_t> newBytes = ReadFileBytes(Store());
  ASSERT_NE(oldBytes, newBytes);
  EXPECT_EQ(points.size(), 7u);
  for (const FailurePoint& p : points) {
    WriteFileBytes(Store(), oldBytes);
    PLT_RegReset();
    LOG_Reset();
    CFG_Defaults();
    CFG_Load();
    changeSettings();
    PLT_FaultInjectArm(p.faults);
    EXPECT_EQ(CFG_Save(), 0) << p.what;
    EXPECT_TRUE(PLT_FaultInjectFired()) << p.what;
    PLT_FaultInjectOff();
    const std::vector<uint8_t> now = ReadFileBytes(Store());
    EXPECT_TRUE(now == oldBytes || now == newBytes) << p.what;
    EXPECT_EQ(FilesIn(config_), std::vector<std::string>{"registry.txt"}) << p.what;
    ASSERT_EQ(LOG_RecentCount(), 1) << p.what;
    EXPECT_NE(std::string(LOG_Recent(0)).find("設定を保存できませんでした"), std::string::npos);
    // The player is warned, once in a run however often saving fails.
    EXPECT_EQ(SaveWarnings(), 1u) << p.what;
    PLT_FaultInjectArm(p.faults);
    EXPECT_EQ(CFG_Save(), 0) << p.what;
    PLT_FaultInjectOff();
    EXPECT_EQ(SaveWarnings(), 1u) << p.what;
    HL_Reset();
  }
}

TEST_F(SettingsSaveTest, StoredValuesAreTakenAsTheyAreAndOnlyArithmeticIsLimited) {
#ifdef _WIN32
  GTEST_SKIP() << "the settings file is the Linux build's; Windows keeps them in the registry";
#endif
  WriteFileBytes(Store(), Bytes("[SoftWare\\TAVREN\\Zentrova\\config]\n"
                                "screen=dword:00000005\nwait=dword:00000003\n"
                                "msg_wait=dword:ffffffff\nbgm=dword:00000002\n"
                                "se=dword:00000001\nwindow_scale=dword:00000009\n"
                                "smooth=dword:00000003\nvol_bgm=dword:00000065\n"
                                "vol_se=dword:ffffffff\nauto_speed=dword:00000004\n"
                                "skip_read_only=dword:00000002\n"));
  CFG_Defaults();
  CFG_Load();
  EXPECT_EQ(g_cfg.screen, 5);
  EXPECT_EQ(g_cfg.msgWait, -1);
  EXPECT_EQ(g_cfg.windowScale, 1);  // our own values, which size the window
  EXPECT_EQ(g_cfg.smooth, 0);
  EXPECT_EQ(g_cfg.volBgm, 100);
  EXPECT_EQ(g_cfg.volSe, 100);
  EXPECT_EQ(g_cfg.autoSpeed, 0);
  EXPECT_EQ(g_cfg.skipReadOnly, 0);
  // System speed 3 checks no menu item, and the fades use it.
  CMD_InitMenu();
  for (int id = CMD_SYS_SPEED0; id < CMD_SYS_SPEED0 + 4; ++id)
    EXPECT_EQ(PLT_IsMenuItemChecked(id), 0);
  EXPECT_EQ(g_cfg.wait, 3);
  EXPECT_EQ(GAME_FadeF1(), 22);
  EXPECT_EQ(GAME_FadeF2(), 45);
  // Music is on only for 1: the menu shows OFF, effects follow it, and no
  // music starts.
  EXPECT_EQ(PLT_IsMenuItemChecked(CMD_SOUND_OFF), 1);
  EXPECT_EQ(g_cfg.se, 0);
  BGM_Reset();
  BGM_Play(1, 0, 1, 255, 0);
  EXPECT_EQ(BGM_GetChannel(0)->number, -1);
  EXPECT_EQ(BGM_GetChannel(1)->number, -1);
  // A speed far out of range cannot overflow a fade.
  g_cfg.wait = 0x7FFFFFFF;
  EXPECT_EQ(GAME_FadeF2(), 255 * 15);
  BGM_Reset();

  // Every value the menus can set is kept as it is.
  const int32_t speeds[] = {0, 1, 2, 4};
  for (int32_t speed : speeds) {
    for (int32_t msg = 0; msg <= 3; ++msg) {
      for (int32_t scale = 1; scale <= 4; ++scale) {
        CFG_Defaults();
        g_cfg.screen = 1;
        g_cfg.wait = speed;
        g_cfg.msgWait = msg;
        g_cfg.windowScale = scale;
        g_cfg.bgm = 0;
        g_cfg.se = 0;
        g_cfg.smooth = 1;
        ASSERT_EQ(CFG_Save(), 1);
        PLT_RegReset();
        CFG_Defaults();
        CFG_Load();
        EXPECT_EQ(g_cfg.screen, 1);
        EXPECT_EQ(g_cfg.wait, speed);
        EXPECT_EQ(g_cfg.msgWait, msg);
        EXPECT_EQ(g_cfg.windowScale, scale);
        EXPECT_EQ(g_cfg.bgm, 0);
        EXPECT_EQ(g_cfg.se, 0);
        EXPECT_EQ(g_cfg.smooth, 1);
      }
    }
  }
}

TEST_F(SettingsSaveTest, DebugLogKeepsTheLastRunWhenTheNewOneCannotBeWritten) {
  WriteFileBytes("err/debug.txt", Bytes("last run\n"));
  const char* kinds[] = {"open", "write", "fsync", "rename"};
  for (const char* kind : kinds) {
    LOG_Reset();
    PltFaultInject f;
    if (kind == kinds[0]) f.failOpenAt = 1;
    if (kind == kinds[1]) f.failWriteAt = 1;
    if (kind == kinds[2]) f.failFsyncAt = 1;
    if (kind == kinds[3]) f.failRenameAt = 1;
    PLT_FaultInjectArm(f);
    EXPECT_EQ(LOG_Write("first line\n"), 0) << kind;
    PLT_FaultInjectOff();
    EXPECT_EQ(Text(ReadFileBytes("err/debug.txt")), "last run\n") << kind;
    EXPECT_EQ(FilesIn("err"), std::vector<std::string>{"debug.txt"}) << kind;
  }
  // The first line that can be written starts the new log; later ones append,
  // and one that fails costs only itself.
  EXPECT_EQ(LOG_Write("first line\n"), 11);
  EXPECT_EQ(Text(ReadFileBytes("err/debug.txt")), "first line\n");
  PltFaultInject f;
  f.failWriteAt = 1;
  PLT_FaultInjectArm(f);
  EXPECT_EQ(LOG_Write("lost\n"), 0);
  PLT_FaultInjectOff();
  EXPECT_EQ(LOG_Write("second\n"), 7);
  EXPECT_EQ(Text(ReadFileBytes("err/debug.txt")), "first line\nsecond\n");
}

TEST_F(SettingsSaveTest, GameStartClearsLeftoversAndShutdownWritesTheStoreOnce) {
#ifdef _WIN32
  GTEST_SKIP() << "the settings file is the Linux build's; Windows keeps them in the registry";
#endif
  WriteFileBytes(Store(), Bytes("# Zentrova settings\n"));
  // A game killed while saving left its temporaries.
  WriteFileBytes("rank.sav.tmp999999999", Bytes("cut"));
  WriteFileBytes(Store() + ".tmp999999999", Bytes("cut"));
  WriteFileBytes("rank.sav.tmp1", Bytes("a running writer"));
  std::filesystem::create_directory("err");
  HL_Reset();
  HL_SetTime(1000);
  HL_SetDesktop(32, 1920, 1080);
  g_appOptions.measureCpuClock = 0;
  g_appOptions.singleInstance = 0;
  ASSERT_EQ(APP_Start(), 1);
  EXPECT_FALSE(std::filesystem::exists("rank.sav.tmp999999999"));
  EXPECT_FALSE(std::filesystem::exists(Store() + ".tmp999999999"));
  EXPECT_TRUE(std::filesystem::exists("rank.sav.tmp1"));

  // The window position and every setting: one replacement of the store,
  // and when it fails the log says so.
  PltFaultInject f;
  f.failRenameAt = 1;
  PLT_FaultInjectArm(f);
  APP_Shutdown();
  const PltFaultCounts c = PLT_FaultInjectCounts();
  PLT_FaultInjectOff();
  EXPECT_EQ(c.renames, 1);
  bool logged = false;
  for (int i = 0; i < LOG_RecentCount(); ++i) {
    logged = logged || std::string(LOG_Recent(i)).find("設定を保存できませんでした") == 0;
  }
  EXPECT_TRUE(logged);
  EXPECT_EQ(SaveWarnings(), 1u);
  EXPECT_EQ(FilesIn(config_), std::vector<std::string>{"registry.txt"});
}

}  // namespace
