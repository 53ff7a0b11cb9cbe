// Menu commands and the menu's check and grey states.
#include "shell/commands.h"

#include "platform/plt_menu.h"
#include "platform/plt_types.h"
#include "shell/app.h"
#include "shell/config.h"
#include "shell/log.h"

namespace {

const int kSysSpeedValue[4] = {0, 1, 2, 4};

void CheckOnly(int first, int count, int chosen) {
  for (int i = 0; i < count; ++i) PLT_CheckMenuItem(first + i, first + i == chosen);
}

}  // namespace

void CMD_InitMenu() {
  PLT_EnableMenuItem(CMD_NEXT_STAGE, 0);
  CheckOnly(CMD_FULLSCREEN, 2, 0);
  CheckOnly(CMD_MSG_SPEED0, 8, 0);
  CheckOnly(CMD_SOUND_ON, 2, 0);
  int screenItem = g_cfg.screen == 1 ? CMD_FULLSCREEN : CMD_WINDOW;
  PLT_CheckMenuItem(screenItem, 1);
  PLT_EnableMenuItem(CMD_FULLSCREEN, screenItem != CMD_FULLSCREEN);
  PLT_EnableMenuItem(CMD_WINDOW, screenItem != CMD_WINDOW);
  if (g_cfg.msgWait >= 0 && g_cfg.msgWait <= 3) PLT_CheckMenuItem(CMD_MSG_SPEED0 + g_cfg.msgWait, 1);
  for (int i = 0; i < 4; ++i) {
    if (g_cfg.wait == kSysSpeedValue[i]) PLT_CheckMenuItem(CMD_SYS_SPEED0 + i, 1);
  }
  if (g_cfg.bgm == 1) {
    g_cfg.se = 1;
    PLT_CheckMenuItem(CMD_SOUND_ON, 1);
  } else {
    g_cfg.se = 0;
    PLT_CheckMenuItem(CMD_SOUND_OFF, 1);
  }
}

void CMD_Execute(int id) {
  if (id == CMD_QUIT) {
    if (g_app.debugMode ||
        MSG_Box(nullptr, PLT_MB_YESNO | PLT_MB_SYSTEMMODAL, "終了", "%s を、終了してもよろしいですか？",
                APP_TITLE) == PLT_IDYES) {
      APP_RequestEnd();
    }
  } else if (id == CMD_NEXT_STAGE) {
    g_nextStageRequest = 1;
  } else if (id >= CMD_MSG_SPEED0 && id < CMD_MSG_SPEED0 + 4) {
    g_cfg.msgWait = id - CMD_MSG_SPEED0;
    CheckOnly(CMD_MSG_SPEED0, 4, id);
  } else if (id >= CMD_SYS_SPEED0 && id < CMD_SYS_SPEED0 + 4) {
    g_cfg.wait = kSysSpeedValue[id - CMD_SYS_SPEED0];
    CheckOnly(CMD_SYS_SPEED0, 4, id);
  }
}
