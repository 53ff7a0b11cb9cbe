// The input scripts of `zentrova-tool replay`: one event a line, each with the
// frame step in which the game first sees it.
#pragma once
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

struct ReplayEvent {
  uint64_t frame;
  std::string verb;  // move, down, up, key, tap, answer, command, close, activate,
                     // minimize, desktop, wheel, pad, axis, gamepad, sliders
  std::vector<std::string> args;
  int line;
};

// Reads a script (named path in messages), expanding compound events (click,
// type) into simple ones and checking every argument. False after a message
// to stderr naming the first line that does not parse.
bool REPLAY_ParseInput(std::istream& in, const char* path, std::vector<ReplayEvent>* out);
// Hands one parsed event to the headless backend.
void REPLAY_ApplyEvent(const ReplayEvent& e);
