// The settings, kept in the registry.
#include "common/config.h"

#include <cstring>

#include "common/log.h"
#include "common/reg.h"
#include "platform/plt_registry.h"

Settings g_cfg;

void CFG_Defaults() {
  std::memset(&g_cfg, 0, sizeof g_cfg);
  g_cfg.wait = 2;
  g_cfg.msgWait = 2;
  g_cfg.bgm = 1;
  g_cfg.se = 1;
  g_cfg.windowScale = 1;
}

namespace {

// System speeds the menu offers.
bool IsSystemSpeed(int32_t v) {
  return v == 0 || v == 1 || v == 2 || v == 4;
}

int32_t InRangeOr(int32_t v, int32_t lo, int32_t hi, int32_t fallback) {
  return v >= lo && v <= hi ? v : fallback;
}

}  // namespace

void CFG_Sanitize() {
  // A value outside what the menus offer goes back to its default: a damaged
  // or hand-edited file must not stall the game or draw off the screen.
  g_cfg.screen = InRangeOr(g_cfg.screen, 0, 1, 0);
  if (!IsSystemSpeed(g_cfg.wait)) g_cfg.wait = 2;
  g_cfg.msgWait = InRangeOr(g_cfg.msgWait, 0, 3, 2);
  g_cfg.bgm = InRangeOr(g_cfg.bgm, 0, 1, 1);
  g_cfg.se = InRangeOr(g_cfg.se, 0, 1, 1);
  g_cfg.windowScale = InRangeOr(g_cfg.windowScale, 1, 4, 1);
  g_cfg.smooth = InRangeOr(g_cfg.smooth, 0, 1, 0);
}

void CFG_Load() {
  REG_SetKey(REG_KEY_CONFIG);
  REG_ReadDword("screen", &g_cfg.screen);
  REG_ReadDword("wait", &g_cfg.wait);
  REG_ReadDword("msg_wait", &g_cfg.msgWait);
  REG_ReadDword("bgm", &g_cfg.bgm);
  REG_ReadDword("se", &g_cfg.se);
  REG_Read("cg", g_cfg.cg, sizeof g_cfg.cg);
  REG_ReadDword("window_scale", &g_cfg.windowScale);
  REG_ReadDword("smooth", &g_cfg.smooth);
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
  REG_WriteDword("window_scale", static_cast<uint32_t>(g_cfg.windowScale));
  REG_WriteDword("smooth", static_cast<uint32_t>(g_cfg.smooth));
  if (PLT_RegCommit() == PLT_REG_OK) return 1;
  LOG_Write("設定を保存できませんでした[%s]\n", PLT_RegStorePath());
  return 0;
}
