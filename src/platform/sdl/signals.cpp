// The signals that end a session: SDL turns SIGINT and SIGTERM into its quit
// event; the terminal closing (SIGHUP) and SIGQUIT end the game the same way,
// through the normal shutdown, instead of killing it before it saves.
#include <signal.h>

#include "platform/sdl/sdl_backend.h"

namespace {

volatile sig_atomic_t g_endSignal = 0;

extern "C" void OnEndSignal(int) {
  g_endSignal = 1;
}

void Catch(int sig) {
  struct sigaction old {};
  if (sigaction(sig, nullptr, &old) != 0) return;
  // A signal the player chose to ignore ("nohup") stays ignored.
  if (!(old.sa_flags & SA_SIGINFO) && old.sa_handler == SIG_IGN) return;
  struct sigaction sa {};
  sa.sa_handler = OnEndSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(sig, &sa, nullptr);
}

}  // namespace

void SDLB_CatchEndSignals() {
  Catch(SIGHUP);
  Catch(SIGQUIT);
}

void SDLB_ForwardEndSignal() {
  if (!g_endSignal) return;
  g_endSignal = 0;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}
