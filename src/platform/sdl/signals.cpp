// The signals that end a session: SDL turns SIGINT and SIGTERM into its quit
// event; the terminal closing (SIGHUP) and SIGQUIT end the game the same way,
// through the normal shutdown, instead of killing it before it saves. So does
// losing the X server (the desktop session ending under the game), which the
// X library would otherwise answer with exit(): static state torn down under
// the running audio thread (a crash) and nothing saved.
#include <SDL_syswm.h>
#include <signal.h>

#include "platform/sdl/sdl_backend.h"

namespace {

volatile sig_atomic_t g_endSignal = 0;
bool g_displayLost = false;

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

#if defined(ZV_X11) && defined(SDL_VIDEO_DRIVER_X11)
// The I/O error handler's return and an exit handler that returns too keep
// the library from exiting (libX11 1.7 on): the connection is marked dead,
// every later call on it returns at once, and the next pump posts the end.
extern "C" int OnDisplayLost(Display* display) {
  SDL_Log("video: the connection to X server %s was lost; ending", XDisplayString(display));
  g_displayLost = true;
  g_endSignal = 1;
  return 0;
}
extern "C" void OnDisplayLostExit(Display*, void*) {}
#endif

}  // namespace

void SDLB_CatchDisplayLoss(SDL_Window* window) {
#if defined(ZV_X11) && defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  XSetIOErrorHandler(OnDisplayLost);
  XSetIOErrorExitHandler(info.info.x11.display, OnDisplayLostExit, nullptr);
#else
  (void)window;
#endif
}

bool SDLB_DisplayLost() {
  return g_displayLost;
}

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
