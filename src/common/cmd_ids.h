// Menu command ids: the menu resource, the shell's command handler, the
// title's quit item and the story scenes' next-stage item all use these.
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
  CMD_MANUAL = 40061,
  CMD_SCALE1 = 40070,  // 40070..40073: the window at 1x to 4x
  CMD_SMOOTH = 40075,  // full screen: smooth scaling on or off
  CMD_AUTO0 = 40080,   // 40080..40083: auto mode off, slow, standard, fast
  CMD_SKIP_READ_ONLY = 40084,
  CMD_VOLUME = 40085,  // the volume dialog
  CMD_MUTE_UNFOCUSED = 40086,
  CMD_TEXT_HOOK = 40087,
  CMD_WAIT_MARK = 40088  // the click-wait mark on or off
};
