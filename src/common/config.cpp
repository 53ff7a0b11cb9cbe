// The settings, kept in the registry.
#include "common/config.h"

#include <cstring>

#include "common/log.h"
#include "common/msg.h"
#include "common/reg.h"
#include "platform/plt_registry.h"

Settings g_cfg;

namespace {
// Whether the player has been told this run that the settings were lost.
struct CfgRunState {
  int saveWarned;
};
CfgRunState g_cfgRun;
}  // namespace

void CFG_Defaults() {
  std::memset(&g_cfg, 0, sizeof g_cfg);
  g_cfg.wait = 2;
  g_cfg.msgWait = 2;
  g_cfg.bgm = 1;
  g_cfg.se = 1;
  g_cfg.windowScale = 1;
  g_cfg.volBgm = 100;
  g_cfg.volSe = 100;
  g_cfgRun = CfgRunState{};
}

namespace {

const char kSaveFailed[] =
    "設定を保存できませんでした。ディスクの空きや書き込み権限を確かめてください。";

int32_t InRangeOr(int32_t v, int32_t lo, int32_t hi, int32_t fallback) {
  return v >= lo && v <= hi ? v : fallback;
}

}  // namespace

void CFG_Sanitize() {
  // The stored values are taken as they are: each use reads them as the menu
  // does ("bgm" is on only when 1, a system speed outside the menu checks no
  // item) and limits what would overflow its arithmetic (CFG_SystemSpeed).
  // Only our own window values, which size the window, are held to range.
  g_cfg.windowScale = InRangeOr(g_cfg.windowScale, 1, 4, 1);
  g_cfg.smooth = InRangeOr(g_cfg.smooth, 0, 1, 0);
  g_cfg.volBgm = InRangeOr(g_cfg.volBgm, 0, 100, 100);
  g_cfg.volSe = InRangeOr(g_cfg.volSe, 0, 100, 100);
  g_cfg.autoSpeed = InRangeOr(g_cfg.autoSpeed, 0, 3, 0);
  g_cfg.skipReadOnly = InRangeOr(g_cfg.skipReadOnly, 0, 1, 0);
  g_cfg.muteUnfocused = InRangeOr(g_cfg.muteUnfocused, 0, 1, 0);
  g_cfg.textHook = InRangeOr(g_cfg.textHook, 0, 1, 0);
  g_cfg.waitMark = InRangeOr(g_cfg.waitMark, 0, 1, 0);
}

namespace {

// The comforts' values, read and written beside the system's.
struct ExtraValue {
  const char* name;
  int32_t Settings::*field;
};
const ExtraValue kExtraValues[] = {
    {"window_scale", &Settings::windowScale}, {"smooth", &Settings::smooth},
    {"vol_bgm", &Settings::volBgm},           {"vol_se", &Settings::volSe},
    {"auto_speed", &Settings::autoSpeed},     {"skip_read_only", &Settings::skipReadOnly},
    {"mute_unfocused", &Settings::muteUnfocused}, {"text_hook", &Settings::textHook},
    {"wait_mark", &Settings::waitMark},
};

}  // namespace
int CFG_SystemSpeed() {
  const int32_t w = g_cfg.wait;
  return w < 0 ? 0 : (w > CFG_MAX_SYSTEM_SPEED ? CFG_MAX_SYSTEM_SPEED : w);
}

void CFG_SaveFailed() {
  LOG_Write("設定を保存できませんでした[%s]\n", PLT_RegStorePath());
  if (g_cfgRun.saveWarned) return;
  g_cfgRun.saveWarned = 1;
  MSG_Error(nullptr, "%s", kSaveFailed);
}

void CFG_Load() {
  REG_SetKey(REG_KEY_CONFIG);
  REG_ReadDword("screen", &g_cfg.screen);
  REG_ReadDword("wait", &g_cfg.wait);
  REG_ReadDword("msg_wait", &g_cfg.msgWait);
  REG_ReadDword("bgm", &g_cfg.bgm);
  REG_ReadDword("se", &g_cfg.se);
  REG_Read("cg", g_cfg.cg, sizeof g_cfg.cg);
  for (const ExtraValue& v : kExtraValues) REG_ReadDword(v.name, &(g_cfg.*v.field));
  CFG_Sanitize();
}

int CFG_Save() {
  // One replacement of the file for all the values.
  PLT_RegBeginBatch();
  REG_SetKey(REG_KEY_CONFIG);
  REG_WriteDword("screen", static_cast<uint32_t>(g_cfg.screen));
  REG_WriteDword("wait", static_cast<uint32_t>(g_cfg.wait));
  REG_WriteDword("msg_wait", static_cast<uint32_t>(g_cfg.msgWait));
  REG_WriteDword("bgm", static_cast<uint32_t>(g_cfg.bgm));
  REG_WriteDword("se", static_cast<uint32_t>(g_cfg.se));
  REG_WriteBinary("cg", g_cfg.cg, sizeof g_cfg.cg);
  for (const ExtraValue& v : kExtraValues) REG_WriteDword(v.name, static_cast<uint32_t>(g_cfg.*v.field));
  if (PLT_RegCommit() == PLT_REG_OK) return 1;
  CFG_SaveFailed();
  return 0;
}
