// Script files: the loader that turns a numbered script into a table of
// NUL-terminated entries, and the argument tokenizer the commands share.
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
