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
// Where a replay's events go: the headless backend's injections in the
// tool, the page's in the browser build. desktop may be null (a page has no
// desktop mode to change).
struct ReplaySink {
  void (*mouseMove)(int x, int y);
  void (*mouseButton)(int button, int down);
  void (*key)(int vk, int down);
  void (*answer)(int answer);
  void (*command)(int id);
  void (*close)();
  void (*activate)(int active);
  void (*minimize)(int minimized);
  void (*wheel)(int notches);
  void (*padButton)(int button, int down);
  void (*padAxis)(int axis, int value);
  void (*padConnected)(int connected);
  void (*sliders)(const std::vector<int>& values);
  void (*desktop)(int bpp, int width, int height);
};
// Hands one parsed event to a sink, the same way for every system.
void REPLAY_Dispatch(const ReplayEvent& e, const ReplaySink& sink);
// Hands one parsed event to the headless backend.
void REPLAY_ApplyEvent(const ReplayEvent& e);
