// Menu commands and the menu's check and grey states.
#include "shell/commands.h"

#include <cstring>
#include <string>

#include "common/cmd_ids.h"
#include "common/config.h"
#include "common/log.h"
#include "common/msg.h"
#include "platform/plt_display.h"
#include "platform/plt_file.h"
#include "platform/plt_menu.h"
#include "platform/plt_msgbox.h"
#include "platform/plt_shell.h"
#include "platform/plt_types.h"
#include "platform/plt_window.h"
#include "gfx/render.h"
#include "resources/resources.h"
#include "script/scene.h"
#include "shell/app.h"
#include "shell/display.h"
#include "sound/bgm.h"
#include "sound/sound.h"

const char* const CMD_HOMEPAGE_URL = "https://www.tavren.example/zentrova/";

namespace {

const int kSysSpeedValue[4] = {0, 1, 2, 4};

void CheckOnly(int first, int count, int chosen) {
  for (int i = 0; i < count; ++i) PLT_CheckMenuItem(first + i, first + i == chosen);
}

// Reports a failed display change with the system's reason.
void ReportDisplayChange(int result) {
  const char* text;
  switch (result) {
    case PLT_DISP_CHANGE_SUCCESSFUL:
      return;
    case PLT_DISP_CHANGE_RESTART:
      text = "画面モード変更時、再起動必要";
      break;
    case PLT_DISP_CHANGE_FAILED:
      text = "画面モード変更失敗(ドライバがそのモード変更をサーポートしていません)";
      break;
    case PLT_DISP_CHANGE_BADMODE:
      text = "画面モード変更失敗(そのモードは存在しません)";
      break;
    case PLT_DISP_CHANGE_NOTUPDATED:
      text = "画面モード変更失敗(よーわからん、NT用？)";
      break;
    case PLT_DISP_CHANGE_BADFLAGS:
      text = "画面モード変更失敗(フラグミス)";
      break;
    default:
      text = "画面モード変更失敗(原因不明・・・・)";
      break;
  }
  MSG_Error(nullptr, "%s", text);
}

const char kManual[] = "manual/manual.html";

// A desktop without a handler for documents opens nothing: the player is
// told where the page is instead of being left with a dead menu item.
void OpenOrSay(const char* target) {
  if (PLT_ShellOpen(target)) return;
  std::string where = target;
  if (!std::strstr(target, "://")) {
    std::string host = PLT_ResolvePath(target);
    if (!host.empty()) where = host;
  }
  LOG_Write("could not open %s\n", where.c_str());
  MSG_Box(nullptr, PLT_MB_OK, "ヘルプ", "このデスクトップでは開けませんでした。\n%s", where.c_str());
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
  if (g_cfg.msgWait >= 0 && g_cfg.msgWait <= 3)
    PLT_CheckMenuItem(CMD_MSG_SPEED0 + g_cfg.msgWait, 1);
  for (int i = 0; i < 4; ++i) {
    if (g_cfg.wait == kSysSpeedValue[i]) PLT_CheckMenuItem(CMD_SYS_SPEED0 + i, 1);
  }
  g_cfg.windowScale = g_cfg.windowScale < 1 ? 1 : g_cfg.windowScale > 4 ? 4 : g_cfg.windowScale;
  CheckOnly(CMD_SCALE1, 4, CMD_SCALE1 + g_cfg.windowScale - 1);
  PLT_CheckMenuItem(CMD_SMOOTH, g_cfg.smooth != 0);
  PLT_SetWindowScale(g_cfg.windowScale);
  PLT_SetSmoothScaling(g_cfg.smooth);
  CheckOnly(CMD_AUTO0, 4, CMD_AUTO0 + g_cfg.autoSpeed);
  PLT_CheckMenuItem(CMD_SKIP_READ_ONLY, g_cfg.skipReadOnly != 0);
  PLT_CheckMenuItem(CMD_MUTE_UNFOCUSED, g_cfg.muteUnfocused != 0);
  PLT_CheckMenuItem(CMD_TEXT_HOOK, g_cfg.textHook != 0);
  PLT_CheckMenuItem(CMD_WAIT_MARK, g_cfg.waitMark != 0);
  if (g_cfg.bgm == 1) {
    g_cfg.se = 1;
    PLT_CheckMenuItem(CMD_SOUND_ON, 1);
  } else {
    g_cfg.se = 0;
    PLT_CheckMenuItem(CMD_SOUND_OFF, 1);
  }
}

void CMD_Execute(int id) {
  // A setting may change how the frame is drawn: the next one is drawn whole.
  RND_Invalidate();
  if (id == CMD_QUIT) {
    if (g_app.debugMode || MSG_Box(nullptr, PLT_MB_YESNO | PLT_MB_SYSTEMMODAL, "終了",
                                   "%s を、終了してもよろしいですか？", APP_TITLE) == PLT_IDYES) {
      APP_RequestEnd();
    }
  } else if (id == CMD_FULLSCREEN) {
    g_cfg.screen = 1;
    ReportDisplayChange(DSP_SwitchMode(640, 480));
    PLT_EnableMenuItem(CMD_FULLSCREEN, 0);
    PLT_EnableMenuItem(CMD_WINDOW, 1);
    PLT_CheckMenuItem(CMD_FULLSCREEN, 1);
    PLT_CheckMenuItem(CMD_WINDOW, 0);
  } else if (id == CMD_WINDOW) {
    // The stored mode, not the current one: after a real switch to 640x480
    // the current desktop is 640 wide too, and the game could never go back.
    int w, h;
    PLT_GetStoredDesktopSize(&w, &h);
    if (w == 640) {
      g_cfg.screen = 1;  // the desktop itself is 640 wide: the game stays full screen
      return;
    }
    g_cfg.screen = 0;
    ReportDisplayChange(DSP_SwitchMode(-1, -1));
    PLT_EnableMenuItem(CMD_FULLSCREEN, 1);
    PLT_EnableMenuItem(CMD_WINDOW, 0);
    PLT_CheckMenuItem(CMD_FULLSCREEN, 0);
    PLT_CheckMenuItem(CMD_WINDOW, 1);
  } else if (id == CMD_SOUND_ON || id == CMD_SOUND_OFF) {
    int on = id == CMD_SOUND_ON;
    PLT_CheckMenuItem(CMD_SOUND_ON, on);
    PLT_CheckMenuItem(CMD_SOUND_OFF, !on);
    BGM_SetEnable(on);
    SND_SetSEEnable(on);
  } else if (id == CMD_NEXT_STAGE) {
    AVG_RequestNextStage();
  } else if (id >= CMD_MSG_SPEED0 && id < CMD_MSG_SPEED0 + 4) {
    g_cfg.msgWait = id - CMD_MSG_SPEED0;
    CheckOnly(CMD_MSG_SPEED0, 4, id);
  } else if (id == CMD_ABOUT) {
    PLT_DialogBox(&g_dialogAbout, nullptr);
    CLK_RequestResync();
  } else if (id == CMD_HOMEPAGE) {
    LOG_Write("homepage %s\n", CMD_HOMEPAGE_URL);
    OpenOrSay(CMD_HOMEPAGE_URL);
  } else if (id == CMD_MANUAL) {
    OpenOrSay(kManual);
  } else if (id >= CMD_SCALE1 && id < CMD_SCALE1 + 4) {
    g_cfg.windowScale = id - CMD_SCALE1 + 1;
    CheckOnly(CMD_SCALE1, 4, id);
    PLT_SetWindowScale(g_cfg.windowScale);
  } else if (id == CMD_SMOOTH) {
    g_cfg.smooth = !g_cfg.smooth;
    PLT_CheckMenuItem(CMD_SMOOTH, g_cfg.smooth);
    PLT_SetSmoothScaling(g_cfg.smooth);
  } else if (id >= CMD_AUTO0 && id < CMD_AUTO0 + 4) {
    AVG_SetAuto(id - CMD_AUTO0);
  } else if (id == CMD_SKIP_READ_ONLY) {
    g_cfg.skipReadOnly = !g_cfg.skipReadOnly;
    PLT_CheckMenuItem(CMD_SKIP_READ_ONLY, g_cfg.skipReadOnly);
  } else if (id == CMD_MUTE_UNFOCUSED) {
    g_cfg.muteUnfocused = !g_cfg.muteUnfocused;
    PLT_CheckMenuItem(CMD_MUTE_UNFOCUSED, g_cfg.muteUnfocused);
    APP_ApplyMix();
  } else if (id == CMD_WAIT_MARK) {
    g_cfg.waitMark = !g_cfg.waitMark;
    PLT_CheckMenuItem(CMD_WAIT_MARK, g_cfg.waitMark);
  } else if (id == CMD_TEXT_HOOK) {
    g_cfg.textHook = !g_cfg.textHook;
    PLT_CheckMenuItem(CMD_TEXT_HOOK, g_cfg.textHook);
  } else if (id == CMD_VOLUME) {
    int values[2] = {g_cfg.volBgm, g_cfg.volSe};
    if (PLT_DialogBoxValues(&g_dialogVolume, nullptr, values) == PLT_IDOK) {
      g_cfg.volBgm = values[0];
      g_cfg.volSe = values[1];
      APP_ApplyMix();
    }
    CLK_RequestResync();
  } else if (id >= CMD_SYS_SPEED0 && id < CMD_SYS_SPEED0 + 4) {
    g_cfg.wait = kSysSpeedValue[id - CMD_SYS_SPEED0];
    CheckOnly(CMD_SYS_SPEED0, 4, id);
  }
}
