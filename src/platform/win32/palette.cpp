// The logical palette of a 256-colour desktop. An 8-bit picture copied to
// a palette display goes through the palette realized in the window's
// device context: without one it is the system's default palette, and the
// picture shows in its twenty static colours only. So the program's display
// palette becomes a logical palette, realized before each copy and again
// when the window gets the focus or another window changed the palette.
#include <windows.h>

#include <cstring>

#include "platform/win32/win32_backend.h"

namespace {

constexpr int kEntries = 256;
constexpr int kStaticLow = 10, kStaticHigh = 246;  // entries the system keeps

struct PaletteState {
  HPALETTE palette = nullptr;
  uint8_t entries[kEntries * 4] = {};  // the entries it was made from
};

PaletteState g_pal;

}  // namespace

void W32_PaletteSet(const uint8_t* entries) {
  if (g_pal.palette && std::memcmp(entries, g_pal.entries, sizeof g_pal.entries) == 0) return;
  struct {
    WORD version;
    WORD count;
    PALETTEENTRY e[kEntries];
  } lp;
  lp.version = 0x300;
  lp.count = kEntries;
  for (int i = 0; i < kEntries; ++i) {
    const uint8_t* c = entries + i * 4;
    // The program's own entries may not be folded onto the static colours.
    const BYTE flags = i >= kStaticLow && i < kStaticHigh ? PC_NOCOLLAPSE : 0;
    lp.e[i] = PALETTEENTRY{c[2], c[1], c[0], flags};
  }
  HPALETTE made = ::CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));
  if (!made) return;
  W32_PaletteRelease();
  g_pal.palette = made;
  std::memcpy(g_pal.entries, entries, sizeof g_pal.entries);
  if (HWND w = W32_Window()) {
    HDC dc = ::GetDC(w);
    W32_PaletteRealize(dc);
    ::ReleaseDC(w, dc);
  }
}

bool W32_PaletteRealize(HDC dc) {
  if (!g_pal.palette || !dc) return false;
  ::SelectPalette(dc, g_pal.palette, FALSE);
  return ::RealizePalette(dc) != GDI_ERROR;
}

bool W32_PaletteMessage(HWND hwnd, UINT msg, WPARAM wp, LRESULT* result) {
  if (!g_pal.palette) return false;
  if (msg == WM_QUERYNEWPALETTE ||
      (msg == WM_PALETTECHANGED && reinterpret_cast<HWND>(wp) != hwnd)) {
    HDC dc = ::GetDC(hwnd);
    W32_PaletteRealize(dc);
    ::ReleaseDC(hwnd, dc);
    ::InvalidateRect(hwnd, nullptr, FALSE);
    *result = msg == WM_QUERYNEWPALETTE ? TRUE : 0;
    return true;
  }
  return false;
}

void W32_PaletteRelease() {
  if (!g_pal.palette) return;
  // A palette still selected into the window's context cannot be deleted.
  if (HWND w = W32_Window()) {
    HDC dc = ::GetDC(w);
    ::SelectPalette(dc, static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), FALSE);
    ::ReleaseDC(w, dc);
  }
  ::DeleteObject(g_pal.palette);
  g_pal.palette = nullptr;
}
