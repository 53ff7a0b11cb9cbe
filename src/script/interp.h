// The script interpreter: runs the loaded script's entries once a frame until
// one of them waits.
#pragma once
#include <cstdint>

enum : int {
  SCR_FLAGS = 256,
  // Entries one frame may run. A label followed by a jump back to it never
  // waits; the frame ends here instead of never.
  SCR_FRAME_ENTRY_LIMIT = 10000,
  // Script loads one frame may run: a script that loads itself ends the frame
  // after this many.
  SCR_FRAME_LOAD_LIMIT = 16,
};

struct InterpState {
  int32_t flags[SCR_FLAGS];  // kept from scene to scene
  // Progress of the waiting commands, kept between frames.
  int32_t waitCounter;
  int32_t bgRunning;
  int32_t cgRunning;
  int32_t messageRunning;
  int32_t choiceRunning;
  // The entry that waited at the end of the last frame (-1 none): running it
  // again continues it rather than starting it.
  int32_t resumePc;
  int32_t resumeScript;
  int32_t entriesThisFrame;  // entries run in the last SCR_Execute
};
extern InterpState g_interp;

// Called each time an entry is started (a waiting command once, on its first
// frame), before it runs. Null: no trace.
using SCR_TraceHook = void (*)(int pc, const char* entry);
extern SCR_TraceHook g_scriptTrace;

void SCR_Execute();
int SCR_SearchLabel(const char* name);
// Out-of-range flag numbers are ignored.
void SCR_SetFlag(int flag, int value);
int SCR_GetFlag(int flag);
// Clears the per-command progress (a scene starts): a scene cut short while a
// command waited leaves nothing half-done for the next one.
void SCR_ResetProgress();
// Clears the progress and the flags (tests, a new run).
void SCR_ResetInterp();
// Pause length in frames of #W with the given mode and time.
int SCR_PauseFrames(int mode, int t);
