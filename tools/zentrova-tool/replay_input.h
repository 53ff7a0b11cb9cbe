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
// Virtual key of a key name, button index (0 left, 1 right, 2 middle) of a
// button name; -1 for names the scripts do not know.
int REPLAY_KeyCode(const std::string& name);
int REPLAY_ButtonCode(const std::string& name);
// Index of a game-pad button name, -1 for names the scripts do not know.
int REPLAY_PadButtonCode(const std::string& name);
// Hands one parsed event to the headless backend.
void REPLAY_ApplyEvent(const ReplayEvent& e);
