// What a replay records, written alike by `zentrova-tool replay` and by the
// browser build's replay of the same script, so that the two compare line
// for line: the frame hash, the script trace's lines, the state summary's
// keys, and the small JSON writers under them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

void REC_JsonString(std::string& out, const char* s);
void REC_JsonInt(std::string& out, int64_t v);
// [v0, v1, ...]
void REC_JsonInts(std::string& out, const int32_t* v, int n);
// "key": v, after a comma unless it is the first of its object.
void REC_JsonField(std::string& out, const char* key, int64_t v, bool first = false);

// 64-bit FNV-1a: simple, stable across platforms and enough to tell frames apart.
uint64_t REC_FrameHash(const std::vector<uint8_t>& frame);

// One line of the script trace (with its newline): the frame step, the
// script, the entry run (its bytes in hex) and the script variables after it.
std::string REC_TraceLine(uint64_t frame, int pc, const char* entry);

// A message box the replay answered.
struct RecMessageBox {
  const char* caption;
  const char* text;
  int answer;
};

// The state summary: REC_StateBegin writes the game's own keys (frame, loop
// state, modes, frame counts, quit, the recent log, the message boxes), each
// REC_StateKey starts one more key for the caller's value, REC_StateEnd
// closes it.
std::string REC_StateBegin(bool quit, const std::vector<RecMessageBox>& boxes);
void REC_StateKey(std::string& j, const char* key);
void REC_StateEnd(std::string& j);
