// Story scripts: the loader that turns a numbered script into a table of
// NUL-terminated entries, the argument tokenizer the commands share, and the
// interpreter that runs the entries once a frame.
#pragma once
#include <cstdint>

enum : int {
  SCR_MAX_ENTRIES = 4096,
  SCR_MAX_ARGS = 16,
  SCR_ARG_TEXT = 1024,
  SCR_VARS = 10,
};

struct ScriptState {
  int32_t loaded;  // nonzero once SCR_Load has been called
  int32_t number;  // number of the loaded file
  char* buffer;    // the processed text; every entry points into it (owned)
  int32_t bufferSize;
  char* entries[SCR_MAX_ENTRIES];  // null at and beyond count
  int32_t pc;
  int32_t count;
  int32_t dropped;                 // entries past the table's end that were not stored
  int32_t lines[SCR_MAX_ENTRIES];  // source line (from 1) where each entry begins
};

struct ScriptArg {
  uint8_t kind;  // 0 number, 1 text
  int32_t number;
  char text[SCR_ARG_TEXT];
};

extern ScriptState g_script;
extern ScriptArg g_args[SCR_MAX_ARGS];
extern int32_t g_vars[SCR_VARS];  // N0..N9

// Shift-JIS lead bytes: the byte after one is never interpreted.
inline bool SCR_IsLead(uint8_t c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEA) || c == 0xF0;
}

// Loads "s%04d.txt" of the "SCR" group. 1 when loaded, 0 when missing or
// empty (the script then has no entries).
int SCR_Load(int number);
// The same over data already in memory (tools, tests, fuzzing).
int SCR_LoadData(int number, const uint8_t* data, int length);
// Splits text at commas into the argument slots; returns the count (at most
// SCR_MAX_ARGS).
int SCR_GetArgs(const char* text);
// Frees the script, clears the script state, the argument slots and N0..N9.
int SCR_Release();
// Decimal conversion: optional '-', then digits only; anything else is 0.
// Values beyond 32 bits saturate.
int32_t SCR_ToInt(const char* s);

// --- The interpreter: runs the loaded script's entries once a frame until one
// of them waits. -------------------------------------------------------------

enum : int {
  SCR_FLAGS = 256,
  // Entries one frame may run. A label followed by a jump back to it never
  // waits; the frame ends here instead of never.
  SCR_FRAME_ENTRY_LIMIT = 10000,
  // Script loads one frame may run: a script that loads itself ends the frame
  // after this many.
  SCR_FRAME_LOAD_LIMIT = 16,
  // Frames in a row that end at the entry bound before the stall is logged
  // (ten seconds): a scene that loops without waiting is stuck, not slow.
  SCR_STALL_FRAMES = 300,
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
  int32_t framesAtBound;     // frames in a row that ended at the entry bound
  int32_t stallLogged;       // this scene's stall has had its log line
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
