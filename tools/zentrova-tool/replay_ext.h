// Extensions of `zentrova-tool replay`: each adds options, per-frame actions
// and a value in the JSON summary under its own key.
#pragma once
#include <cstdint>
#include <string>

#include "zentrova-tool/replay_record.h"

struct ReplayExtension {
  const char* key;  // JSON key of the state it adds ("play", "title", "rank"); null for none
  // Help lines for its options (may be null).
  const char* help;
  // Tries to take argv[i] (and its arguments); returns how many were taken, 0 when not its option,
  // -1 on a bad argument (after a message to stderr).
  int (*parseOption)(int argc, char** argv, int i);
  // Called once after start-up, before the first frame step.
  void (*start)();
  // Called before each pass of the message loop with the number of frame steps run so far.
  void (*beforeLoop)(uint64_t frameSteps);
  // Called after each frame step (frameSteps counts it).
  void (*afterStep)(uint64_t frameSteps);
  // Appends the JSON value of its state to out.
  void (*writeJson)(std::string& out);
  // Called at the end of the run.
  void (*finish)();
};

// The extensions run, and their keys appear, in the order of their source
// files' names (in a file, in the order written): the C++ runtimes construct
// the registrars of different files in different orders (Windows' in the
// reverse of Linux's), and a replay must act and report the same on both.
struct ReplayRegistrar {
  ReplayRegistrar(const char* file, const ReplayExtension& ext);
};

#define ZV_REPLAY_EXTENSION(ident, ...) \
  static ReplayRegistrar ident##_replay_registrar(__FILE__, ReplayExtension{__VA_ARGS__})

// Shared by the extensions: --autoplay was given (the scooping player, the
// title and the scenes all act on it), and a request to end the replay after
// the current frame step.
extern bool g_replayAutoplay;
extern bool g_replayStop;
// --soak FRAMES: the play-throughs of --autoplay start over each time they
// are back at the title, for FRAMES frames in all (0: no soak); the scene
// extension counts the play-throughs finished.
extern long long g_replaySoakFrames;
extern int64_t g_replayPlaythroughs;
