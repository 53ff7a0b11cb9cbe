// Menu commands and the menu's check and grey states.
#pragma once

enum : int {
  CMD_FULLSCREEN = 40004,
  CMD_WINDOW = 40005,
  CMD_QUIT = 40006,
  CMD_ABOUT = 40035,
  CMD_HOMEPAGE = 40036,
  CMD_NEXT_STAGE = 40047,
  CMD_MSG_SPEED0 = 40050,  // 40050..40053
  CMD_SYS_SPEED0 = 40054,  // 40054..40057
  CMD_SOUND_ON = 40059,
  CMD_SOUND_OFF = 40060,
  CMD_MANUAL = 40061
};

void CMD_InitMenu();
void CMD_Execute(int id);
