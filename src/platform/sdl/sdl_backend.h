// What the files of the SDL backend share: the window, the message queue and
// the menu bar drawn above the client area.
#pragma once
#include <SDL.h>

#include <cstdint>

#include "platform/plt_menu.h"
#include "platform/plt_window.h"

// Initialises SDL's video once; false when no display can be opened.
bool SDLB_EnsureVideo();
// SIGHUP and SIGQUIT end the session as SIGTERM does: caught here, and
// turned into SDL's quit event by the next forward in an event loop.
void SDLB_CatchEndSignals();
void SDLB_ForwardEndSignal();
// The X server's connection lost ends the game as those signals do;
// SDLB_DisplayLost tells whether it was.
void SDLB_CatchDisplayLoss(SDL_Window* window);
bool SDLB_DisplayLost();
SDL_Window* SDLB_Window();
// Height of the menu bar above the client area (0 without a menu).
int SDLB_MenuBarHeight();
// Window-relative pixels to client coordinates and back (the client area is
// below the menu bar in a window, scaled over the screen in full screen).
void SDLB_WindowToClient(int* x, int* y);
void SDLB_ClientToWindow(int* x, int* y);
// Queues a message for PLT_PeekMessage / PLT_GetMessage.
void SDLB_Post(int type, int64_t wparam, int64_t lparam);

// Virtual key of an SDL key, 0 for keys the program does not know.
int SDLB_KeyToVk(const SDL_Keysym& key);
// Physical key and button state fed to the asynchronous key state; keeps a
// count per virtual key so that the left and right Shift (or Ctrl, Alt) keys
// together behave as one.
void SDLB_KeySource(int source, int vk, int down);
void SDLB_ReleaseAllSources();
// The window icon and cursor set before the window existed.
void SDLB_ApplyIconAndCursor();
// The program's icon as red, green, blue, alpha pixels; false when none was set.
bool SDLB_WindowIcon(const uint8_t** rgba, int* w, int* h);

struct DlgSpec;
// Runs a message box or dialog inside the window until it has a result; the
// last picture stays beneath it. Returns the result (the escape result when
// there is no window, or when the session ends meanwhile).
int SDLB_RunDialog(const DlgSpec& desc, int* checked);

// Game controllers: opened at start and as they are plugged in. SDLB_PadEvent
// takes the controller events (true when it was one); SDLB_PadKey is the key
// a button press stands for in the menu and in boxes (0 none).
void SDLB_PadInit();
bool SDLB_PadEvent(const SDL_Event& e);
int SDLB_PadKey(const SDL_Event& e);
