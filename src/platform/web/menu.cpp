// The menu services of the web backend: the shared menu bar does the work.
#include "platform/menubar.h"
#include "platform/plt_menu.h"

void PLT_CheckMenuItem(int id, int checked) {
  MBAR_SetChecked(id, checked);
}
void PLT_EnableMenuItem(int id, int enabled) {
  MBAR_SetEnabled(id, enabled);
}
int PLT_IsMenuItemChecked(int id) {
  return MBAR_IsChecked(id);
}
int PLT_IsMenuItemEnabled(int id) {
  return MBAR_IsEnabled(id);
}
