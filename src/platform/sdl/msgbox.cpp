// Message boxes and dialogs of the SDL backend, drawn inside the game window
// with the program's own font: the desktop's message-box service draws with
// the X server's fonts, which have no Japanese on most machines.
#include "platform/dialog_box.h"
#include "platform/plt_msgbox.h"
#include "platform/sdl/sdl_backend.h"

namespace {

DlgBoxHost Host() {
  return DlgBoxHost{SDLB_Window() ? SDLB_RunDialog : nullptr, SDLB_WindowIcon};
}

}  // namespace

int PLT_MessageBox(const char* text, const char* caption, int style) {
  return DLGB_MessageBox(Host(), text, caption, style);
}

int PLT_DialogBox(const PltDialog* dialog, int* checked) {
  return PLT_DialogBoxValues(dialog, checked, nullptr);
}

int PLT_DialogBoxValues(const PltDialog* dialog, int* checked, int* values) {
  return DLGB_DialogBox(Host(), dialog, checked, values);
}
