// Game controllers of the SDL backend, through SDL's game-controller API:
// controllers come and go while the game runs; their buttons and the left
// stick feed the shared pad state, and while the menu bar or a box is open
// the pad works them as the keyboard would.
#include <SDL.h>

#include <algorithm>

#include "platform/menubar.h"
#include "platform/pad_feed.h"
#include "platform/plt_display.h"
#include "platform/plt_input.h"
#include "platform/plt_types.h"
#include "platform/plt_window.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/window_state.h"

namespace {

constexpr int kMaxPads = 4;

struct Pads {
  bool ready = false;
  SDL_GameController* open[kMaxPads] = {};
};
Pads g_pads;

int Count() {
  return static_cast<int>(std::count_if(std::begin(g_pads.open), std::end(g_pads.open),
                                        [](SDL_GameController* c) { return c != nullptr; }));
}

int ButtonOf(uint8_t b) {
  switch (b) {
    case SDL_CONTROLLER_BUTTON_A:
      return PLT_PAD_A;
    case SDL_CONTROLLER_BUTTON_B:
      return PLT_PAD_B;
    case SDL_CONTROLLER_BUTTON_X:
      return PLT_PAD_X;
    case SDL_CONTROLLER_BUTTON_Y:
      return PLT_PAD_Y;
    case SDL_CONTROLLER_BUTTON_START:
      return PLT_PAD_START;
    case SDL_CONTROLLER_BUTTON_BACK:
      return PLT_PAD_BACK;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return PLT_PAD_DPUP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return PLT_PAD_DPDOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return PLT_PAD_DPLEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return PLT_PAD_DPRIGHT;
    default:
      return -1;
  }
}

void Added(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
  if (!c) return;
  for (SDL_GameController*& slot : g_pads.open) {
    if (slot == c) return;  // already open: SDL reports pads present at start twice
  }
  for (SDL_GameController*& slot : g_pads.open) {
    if (!slot) {
      slot = c;
      if (Count() == 1) PADF_Connected(true);
      return;
    }
  }
  SDL_GameControllerClose(c);
}

void Removed(SDL_JoystickID id) {
  for (SDL_GameController*& slot : g_pads.open) {
    if (slot && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(slot)) == id) {
      SDL_GameControllerClose(slot);
      slot = nullptr;
    }
  }
  if (Count() == 0) PADF_Connected(false);
}

}  // namespace

void SDLB_PadInit() {
  if (g_pads.ready) return;
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    SDL_Log("game controllers: %s", SDL_GetError());
    return;
  }
  g_pads.ready = true;
  for (int i = 0; i < SDL_NumJoysticks(); ++i) Added(i);
}

int SDLB_PadKey(const SDL_Event& e) {
  return e.type == SDL_CONTROLLERBUTTONDOWN ? PADF_KeyFor(ButtonOf(e.cbutton.button)) : 0;
}

bool SDLB_PadEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Added(e.cdevice.which);
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      Removed(e.cdevice.which);
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      PADF_Button(ButtonOf(e.cbutton.button), e.type == SDL_CONTROLLERBUTTONDOWN);
      return true;
    }
    case SDL_CONTROLLERAXISMOTION:
      switch (e.caxis.axis) {
        case SDL_CONTROLLER_AXIS_LEFTX:
          PLT_InputPadAxis(PLT_PAD_AXIS_LEFTX, e.caxis.value);
          break;
        case SDL_CONTROLLER_AXIS_LEFTY:
          PLT_InputPadAxis(PLT_PAD_AXIS_LEFTY, e.caxis.value);
          break;
        case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
          PADF_Trigger(0, e.caxis.value);
          break;
        case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
          PADF_Trigger(1, e.caxis.value);
          break;
        default:
          break;
      }
      return true;
    default:
      return false;
  }
}

void PLT_OpenSystemMenu() {
  if (!g_sdlWin.window || g_sdlWin.menuH <= 0) return;
  if (g_sdlWin.fullScreen) PLT_ShowMenuBar(1);
  MBAR_OpenFirst();
  SDLB_Redraw();
}
