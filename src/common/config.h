// The settings, kept in the registry.
#pragma once
#include <cstdint>

struct Settings {
  int32_t screen;
  int32_t wait;
  int32_t msgWait;
  int32_t bgm;
  int32_t se;
  uint8_t cg[128];
  int32_t check256;
  // Values of our own beside the system's: the window scale (1 to 4) and
  // smooth scaling in full screen (0/1).
  int32_t windowScale;
  int32_t smooth;
  // Comforts beside the system's values, each off (or at 100 %) by default:
  // music and effect volumes in per cent on top of the effects' own
  // volumes, auto mode (0 off, 1 slow to 3 fast), skipping stops at
  // unread messages, mute while the window is in the background,
  // messages written out for other programs, and the click-wait mark.
  int32_t volBgm;
  int32_t volSe;
  int32_t autoSpeed;
  int32_t skipReadOnly;
  int32_t muteUnfocused;
  int32_t textHook;
  int32_t waitMark;
};
extern Settings g_cfg;

// The defaults; also starts a new run of save warnings.
void CFG_Defaults();
// Reads the settings as stored; only the window scale and smoothing, which
// size the window, fall back to their defaults when out of range.
void CFG_Load();
void CFG_Sanitize();
// Writes all the settings in one replacement of the store. Returns 1, or 0
// when it could not be written (CFG_SaveFailed). Inside an open registry
// batch the write waits for the batch's commit.
int CFG_Save();
// A save of the settings failed: a line in the debug log, and the first time
// in a run a warning box for the player.
void CFG_SaveFailed();
// "wait" as the fades multiply with it: a stored value far out of range is
// limited so that it cannot overflow their arithmetic.
enum : int { CFG_MAX_SYSTEM_SPEED = 255 };
int CFG_SystemSpeed();
