// The menu bar: a real Win32 menu built from the program's menu resource
// (captions, command ids, separators, submenus), with its checks and greys.
#include <windows.h>

#include <map>

#include "platform/plt_menu.h"
#include "platform/win32/win32_backend.h"

namespace {

struct MenuState {
  HMENU bar = nullptr;
  // Asked for before the menu existed (or kept for the queries).
  std::map<int, int> checked;
  std::map<int, int> enabled;
};

MenuState g_menu;

constexpr int kMaxDepth = 4;

}  // namespace

HMENU W32_BuildMenu(const PltMenu* menu) {
  W32_DestroyMenu();
  if (!menu || !menu->items || menu->count <= 0) return nullptr;
  HMENU levels[kMaxDepth + 1] = {};
  levels[0] = ::CreateMenu();
  for (int i = 0; i < menu->count; ++i) {
    const PltMenuItem& it = menu->items[i];
    const int depth = it.depth < 0 ? 0 : it.depth > kMaxDepth - 1 ? kMaxDepth - 1 : it.depth;
    HMENU parent = levels[depth];
    if (!parent) continue;  // an item without its caption: nowhere to go
    const std::wstring caption = W32_Wide(it.caption ? it.caption : "");
    if (depth == 0 || it.id == -1) {
      HMENU popup = ::CreatePopupMenu();
      ::AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                    caption.c_str());
      levels[depth + 1] = popup;
      for (int d = depth + 2; d <= kMaxDepth; ++d) levels[d] = nullptr;
    } else if (it.id == 0) {
      ::AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
    } else {
      ::AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(it.id), caption.c_str());
    }
  }
  g_menu.bar = levels[0];
  for (const auto& [id, on] : g_menu.checked) {
    ::CheckMenuItem(g_menu.bar, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  }
  for (const auto& [id, on] : g_menu.enabled) {
    ::EnableMenuItem(g_menu.bar, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  }
  return g_menu.bar;
}

void W32_DestroyMenu() {
  if (g_menu.bar) ::DestroyMenu(g_menu.bar);
  g_menu.bar = nullptr;
}

HMENU W32_Menu() {
  return g_menu.bar;
}

void PLT_CheckMenuItem(int id, int checked) {
  g_menu.checked[id] = checked ? 1 : 0;
  if (g_menu.bar) {
    ::CheckMenuItem(g_menu.bar, static_cast<UINT>(id),
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

void PLT_EnableMenuItem(int id, int enabled) {
  g_menu.enabled[id] = enabled ? 1 : 0;
  if (g_menu.bar) {
    ::EnableMenuItem(g_menu.bar, static_cast<UINT>(id),
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  }
  if (W32_Window()) ::DrawMenuBar(W32_Window());
}

int PLT_IsMenuItemChecked(int id) {
  auto it = g_menu.checked.find(id);
  return it != g_menu.checked.end() && it->second ? 1 : 0;
}

int PLT_IsMenuItemEnabled(int id) {
  auto it = g_menu.enabled.find(id);
  return it == g_menu.enabled.end() || it->second ? 1 : 0;
}
