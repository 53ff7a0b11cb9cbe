// The application shell: start-up, the window procedure, the message loop and
// the frame clock.
#pragma once
#include <cstdint>

#include "common/clock.h"
#include "common/modes.h"
#include "platform/plt_window.h"

// The main loop's states: the game's start-up runs on the first frame, the
// termination on the frame after the end was asked for.
enum : int { LOOP_STARTING = 0, LOOP_RUNNING = 1, LOOP_ENDING = 2 };

struct AppShell {
  const char* className;
  int32_t active;
  int32_t loopState;  // LOOP_*
  int32_t nextLoopState;
  int32_t endRequested;
  int32_t gameMode;  // MODE_GAME or MODE_SCENE
  int32_t debugMode;
  // Frame steps run and frames drawn since start (for replays and tests).
  uint64_t frameSteps;
  uint64_t framesDrawn;
  // The quit message has arrived, with this exit code.
  bool quit;
  int32_t quitCode;
  int32_t shotNotice;  // frames the screenshot notice still shows
};

extern AppShell g_app;

extern const char* const APP_TITLE;  // "Zentrova"
// The single-instance lock's name; the replay tool checks it too.
extern const char* const APP_INSTANCE_LOCK;

struct AppOptions {
  int measureCpuClock;  // 0 in replays: the virtual clock does not run during a busy wait
  int singleInstance;   // 0 in replays and tests: they may run beside the game
};
extern AppOptions g_appOptions;

void APP_RequestEnd();
// The player's volumes and muting (the window in the background) to the sound.
void APP_ApplyMix();
int APP_IsEnding();

// Start-up: lock, processor report, initialisation sequence, window.
// Returns 1 to run, 0 when another copy runs (exit 0 at once) or another
// user's lock file keeps every copy from starting (told, exit 1: quitCode).
int APP_Start();
// One pass of the message loop; returns 0 once the quit message arrived.
int APP_RunOnce();
// Shutdown sequence; returns the quit message's code.
int APP_Shutdown();
// The whole program: start, loop, shut down.
int APP_Main();

// Parts of the loop, exposed for tests.
void APP_FrameClock();
void APP_FrameStep();
int64_t APP_WndProc(const PltMsg& msg);
void APP_ResetForTests();
