// Message boxes of the SDL backend.
#include <SDL.h>

#include <cstdio>

#include "platform/plt_msgbox.h"
#include "platform/plt_types.h"
#include "platform/sdl/sdl_backend.h"

int PLT_MessageBox(const char* text, const char* caption, int style) {
  bool yesNo = (style & 0xF) == PLT_MB_YESNO;
  // Enter picks the first button (OK or Yes), Escape the last (OK or No).
  SDL_MessageBoxButtonData buttons[2];
  int count;
  if (yesNo) {
    buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, PLT_IDYES, "はい"};
    buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, PLT_IDNO, "いいえ"};
    count = 2;
  } else {
    buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                  PLT_IDOK, "OK"};
    count = 1;
  }
  SDL_MessageBoxData data{};
  data.flags = (yesNo ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_WARNING) |
               SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  data.window = SDLB_Window();
  data.title = caption ? caption : "";
  data.message = text ? text : "";
  data.numbuttons = count;
  data.buttons = buttons;
  if (data.window && (style & PLT_MB_SETFOREGROUND)) SDL_RaiseWindow(data.window);
  int chosen = -1;
  if (!SDLB_EnsureVideo() || SDL_ShowMessageBox(&data, &chosen) != 0 || chosen < 0) {
    // Nobody can be asked: say so where it can be read and take the default.
    std::fprintf(stderr, "%s: %s\n", data.title, data.message);
    return yesNo ? PLT_IDYES : PLT_IDOK;
  }
  // The box took the mouse and keyboard: keys and buttons released meanwhile
  // never reached the window.
  SDLB_ReleaseAllSources();
  return chosen;
}
