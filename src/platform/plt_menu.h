// The menu bar: a resource described as data, with check and grey states.
#pragma once

struct PltMenuItem {
  int id;               // command id; 0 for a separator, -1 for a submenu caption
  const char* caption;  // UTF-8
  int depth;            // 0 top-level caption, 1 item, 2 item of a submenu
};

struct PltMenu {
  const PltMenuItem* items;
  int count;
};

void PLT_CheckMenuItem(int id, int checked);
void PLT_EnableMenuItem(int id, int enabled);  // 0 = greyed
int PLT_IsMenuItemChecked(int id);
int PLT_IsMenuItemEnabled(int id);
