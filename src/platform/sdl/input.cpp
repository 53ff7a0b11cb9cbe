// Keyboard and mouse of the SDL backend: SDL keys as the program's virtual
// keys, the physical key state fed to the shared asynchronous key state, and
// the cursor position in screen and client coordinates.
#include <SDL.h>

#include "platform/plt_input.h"
#include "platform/plt_types.h"
#include "platform/sdl/sdl_backend.h"

namespace {

constexpr int kSources = SDL_NUM_SCANCODES + 8;  // every key, then the mouse buttons

struct KeySources {
  uint8_t vkOf[kSources];  // virtual key a source holds down, 0 when up
  uint8_t downCount[PLT_VK_COUNT];
};

KeySources g_keys;

int ScancodeToVk(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return PLT_VK_A + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return PLT_VK_0 + 1 + (sc - SDL_SCANCODE_1);
  if (sc == SDL_SCANCODE_0) return PLT_VK_0;
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) {
    return PLT_VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
  }
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return PLT_VK_F1 + (sc - SDL_SCANCODE_F1);
  switch (sc) {
    case SDL_SCANCODE_KP_0:
      return PLT_VK_NUMPAD0;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
    case SDL_SCANCODE_RETURN2:
      return PLT_VK_RETURN;
    case SDL_SCANCODE_SPACE:
      return PLT_VK_SPACE;
    case SDL_SCANCODE_TAB:
      return PLT_VK_TAB;
    case SDL_SCANCODE_ESCAPE:
      return PLT_VK_ESCAPE;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return PLT_VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return PLT_VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return PLT_VK_MENU;
    case SDL_SCANCODE_PAGEUP:
      return PLT_VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN:
      return PLT_VK_NEXT;
    case SDL_SCANCODE_END:
      return PLT_VK_END;
    case SDL_SCANCODE_HOME:
      return PLT_VK_HOME;
    case SDL_SCANCODE_LEFT:
      return PLT_VK_LEFT;
    case SDL_SCANCODE_UP:
      return PLT_VK_UP;
    case SDL_SCANCODE_RIGHT:
      return PLT_VK_RIGHT;
    case SDL_SCANCODE_DOWN:
      return PLT_VK_DOWN;
    case SDL_SCANCODE_BACKSPACE:
      return 0x08;
    case SDL_SCANCODE_INSERT:
      return 0x2D;
    case SDL_SCANCODE_DELETE:
      return 0x2E;
    default:
      return 0;
  }
}

}  // namespace

int SDLB_KeyToVk(const SDL_Keysym& key) {
  // Letters follow the layout (the key labelled A is A), everything else is
  // taken by position.
  if (key.sym >= SDLK_a && key.sym <= SDLK_z) return PLT_VK_A + (key.sym - SDLK_a);
  return ScancodeToVk(key.scancode);
}

void SDLB_KeySource(int source, int vk, int down) {
  if (source < 0 || source >= kSources) return;
  if (down) {
    if (vk <= 0 || vk >= PLT_VK_COUNT || g_keys.vkOf[source]) return;
    g_keys.vkOf[source] = static_cast<uint8_t>(vk);
    if (g_keys.downCount[vk]++ == 0) PLT_InputKeyEvent(vk, 1);
    return;
  }
  int held = g_keys.vkOf[source];
  if (!held) return;
  g_keys.vkOf[source] = 0;
  if (g_keys.downCount[held] > 0 && --g_keys.downCount[held] == 0) PLT_InputKeyEvent(held, 0);
}

void SDLB_ReleaseAllSources() {
  for (int s = 0; s < kSources; ++s) SDLB_KeySource(s, 0, 0);
}

void PLT_GetCursorPos(int* x, int* y) {
  int gx = 0, gy = 0;
  SDL_Window* w = SDLB_EnsureVideo() ? SDLB_Window() : nullptr;
  if (w && SDL_GetMouseFocus() == w) {
    // Over the window the position comes from its motion events: the global
    // state follows raw input, which pointers moved by other programs (XTest)
    // do not make.
    int wx = 0, wy = 0;
    SDL_GetMouseState(&gx, &gy);
    SDL_GetWindowPosition(w, &wx, &wy);
    gx += wx;
    gy += wy;
  } else if (SDLB_EnsureVideo()) {
    SDL_GetGlobalMouseState(&gx, &gy);
  }
  if (x) *x = gx;
  if (y) *y = gy;
}

void PLT_SetCursorPos(int x, int y) {
  if (!SDLB_EnsureVideo()) return;
  // Warping inside our own window works on every video driver; the global
  // warp only where the system allows it.
  if (SDL_Window* w = SDLB_Window()) {
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(w, &wx, &wy);
    SDL_WarpMouseInWindow(w, x - wx, y - wy);
  } else {
    SDL_WarpMouseGlobal(x, y);
  }
}

void PLT_ScreenToClient(int* x, int* y) {
  SDL_Window* w = SDLB_Window();
  if (!w || !x || !y) return;
  int wx = 0, wy = 0;
  SDL_GetWindowPosition(w, &wx, &wy);
  *x -= wx;
  *y -= wy;
  SDLB_WindowToClient(x, y);
}

void PLT_ClientToScreen(int* x, int* y) {
  SDL_Window* w = SDLB_Window();
  if (!w || !x || !y) return;
  SDLB_ClientToWindow(x, y);
  int wx = 0, wy = 0;
  SDL_GetWindowPosition(w, &wx, &wy);
  *x += wx;
  *y += wy;
}

// The desktop's button swap is applied by the X server before SDL sees the
// buttons, so the game never needs to swap them again.
int PLT_SwapButtons() {
  return 0;
}
