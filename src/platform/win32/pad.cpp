// Game controllers on Windows, through XInput (loaded when the system has
// it): polled once per pump of the message queue, the first connected pad fed
// into the shared pad state. While the menu bar's own modal loop runs, a
// timer keeps polling and the pad's presses become the menu's keys.
#include <windows.h>
#include <xinput.h>

#include "platform/pad_feed.h"
#include "platform/plt_input.h"
#include "platform/win32/win32_backend.h"

namespace {

using GetStateFn = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

// Asking an empty slot is slow on some systems: the slots are searched
// again only this often while no pad is connected.
constexpr DWORD kSearchEveryMs = 2000;
constexpr UINT_PTR kMenuTimer = 0x5A50;  // "ZP"
constexpr UINT kMenuPollMs = 33;

constexpr struct {
  WORD mask;
  int button;
} kButtons[] = {
    {XINPUT_GAMEPAD_A, PLT_PAD_A},
    {XINPUT_GAMEPAD_B, PLT_PAD_B},
    {XINPUT_GAMEPAD_X, PLT_PAD_X},
    {XINPUT_GAMEPAD_Y, PLT_PAD_Y},
    {XINPUT_GAMEPAD_START, PLT_PAD_START},
    {XINPUT_GAMEPAD_BACK, PLT_PAD_BACK},
    {XINPUT_GAMEPAD_DPAD_UP, PLT_PAD_DPUP},
    {XINPUT_GAMEPAD_DPAD_DOWN, PLT_PAD_DPDOWN},
    {XINPUT_GAMEPAD_DPAD_LEFT, PLT_PAD_DPLEFT},
    {XINPUT_GAMEPAD_DPAD_RIGHT, PLT_PAD_DPRIGHT},
};

struct W32Pads {
  bool loaded;
  GetStateFn getState;
  int slot;  // the pad in use, -1 for none
  DWORD lastSearch;
  WORD buttons;
  int axes[PLT_PAD_AXES];
};
W32Pads g_w32Pads = {false, nullptr, -1, 0, 0, {0, 0}};

void Load() {
  g_w32Pads.loaded = true;
  for (const wchar_t* dll : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
    if (HMODULE m = ::LoadLibraryW(dll)) {
      g_w32Pads.getState = reinterpret_cast<GetStateFn>(
          reinterpret_cast<void*>(::GetProcAddress(m, "XInputGetState")));
      if (g_w32Pads.getState) return;
      ::FreeLibrary(m);
    }
  }
}

bool Read(XINPUT_STATE* st) {
  if (!g_w32Pads.loaded) Load();
  if (!g_w32Pads.getState) return false;
  if (g_w32Pads.slot >= 0) {
    if (g_w32Pads.getState(static_cast<DWORD>(g_w32Pads.slot), st) == ERROR_SUCCESS) return true;
    g_w32Pads.slot = -1;
    g_w32Pads.buttons = 0;
    g_w32Pads.axes[0] = g_w32Pads.axes[1] = 0;
    PADF_Connected(false);
    return false;
  }
  const DWORD now = ::GetTickCount();
  if (g_w32Pads.lastSearch != 0 && now - g_w32Pads.lastSearch < kSearchEveryMs) return false;
  g_w32Pads.lastSearch = now;
  for (DWORD i = 0; i < XUSER_MAX_COUNT; ++i) {
    if (g_w32Pads.getState(i, st) == ERROR_SUCCESS) {
      g_w32Pads.slot = static_cast<int>(i);
      g_w32Pads.buttons = 0;
      PADF_Connected(true);
      return true;
    }
  }
  return false;
}

// XInput counts the stick's y upwards; the game, as the screen, downwards.
int Down(SHORT up) {
  return up == -32768 ? 32767 : -up;
}

}  // namespace

void W32_PadPoll(bool menu) {
  XINPUT_STATE st;
  if (!Read(&st)) return;
  const WORD now = st.Gamepad.wButtons;
  for (const auto& b : kButtons) {
    const bool down = (now & b.mask) != 0;
    if (down == ((g_w32Pads.buttons & b.mask) != 0)) continue;
    if (!menu) {
      PADF_Button(b.button, down);
    } else if (int vk = down ? PADF_KeyFor(b.button) : 0) {
      // The menu's modal loop reads the keys from the queue.
      ::PostMessageW(W32_Window(), WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
      ::PostMessageW(W32_Window(), WM_KEYUP, static_cast<WPARAM>(vk), 0xC0000001);
    }
  }
  g_w32Pads.buttons = now;
  if (menu) return;
  PADF_Trigger(0, st.Gamepad.bLeftTrigger * 128);
  PADF_Trigger(1, st.Gamepad.bRightTrigger * 128);
  const int axes[PLT_PAD_AXES] = {st.Gamepad.sThumbLX, Down(st.Gamepad.sThumbLY)};
  for (int a = 0; a < PLT_PAD_AXES; ++a) {
    if (axes[a] == g_w32Pads.axes[a]) continue;
    g_w32Pads.axes[a] = axes[a];
    PLT_InputPadAxis(a, axes[a]);
  }
}

void W32_PadMenuLoop(bool entered) {
  if (entered) {
    ::SetTimer(W32_Window(), kMenuTimer, kMenuPollMs, nullptr);
  } else {
    ::KillTimer(W32_Window(), kMenuTimer);
  }
}

bool W32_PadTimer(UINT_PTR id) {
  if (id != kMenuTimer) return false;
  W32_PadPoll(true);
  return true;
}
