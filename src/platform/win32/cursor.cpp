// The window icon and the mouse cursor made from the program's pixels.
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/plt_cursor.h"
#include "platform/win32/win32_backend.h"

namespace {

struct CursorState {
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
};

CursorState g_cursor;

// A 32-bit icon with alpha from red, green, blue, alpha rows; null on failure
// or for sizes no icon has.
HICON MakeIcon(const uint8_t* rgba, int w, int h, bool isIcon, int hotX, int hotY) {
  if (!rgba || w <= 0 || h <= 0 || w > 256 || h > 256) return nullptr;
  BITMAPV5HEADER bi;
  std::memset(&bi, 0, sizeof bi);
  bi.bV5Size = sizeof bi;
  bi.bV5Width = w;
  bi.bV5Height = -h;
  bi.bV5Planes = 1;
  bi.bV5BitCount = 32;
  bi.bV5Compression = BI_BITFIELDS;
  bi.bV5RedMask = 0x00FF0000;
  bi.bV5GreenMask = 0x0000FF00;
  bi.bV5BlueMask = 0x000000FF;
  bi.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC dc = ::GetDC(nullptr);
  HBITMAP color = ::CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
  ::ReleaseDC(nullptr, dc);
  if (!color) return nullptr;
  auto* px = static_cast<uint32_t*>(bits);
  for (int i = 0; i < w * h; ++i) {
    const uint8_t* p = rgba + static_cast<size_t>(i) * 4;
    px[i] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
            static_cast<uint32_t>(p[1]) << 8 | p[2];
  }
  std::vector<uint8_t> maskBits(static_cast<size_t>((w + 15) / 16 * 2) * h, 0);
  HBITMAP mask = ::CreateBitmap(w, h, 1, 1, maskBits.data());
  ICONINFO ii;
  ii.fIcon = isIcon ? TRUE : FALSE;
  ii.xHotspot = static_cast<DWORD>(hotX);
  ii.yHotspot = static_cast<DWORD>(hotY);
  ii.hbmMask = mask;
  ii.hbmColor = color;
  HICON icon = ::CreateIconIndirect(&ii);
  ::DeleteObject(color);
  ::DeleteObject(mask);
  return icon;
}

}  // namespace

HICON W32_Icon() {
  return g_cursor.icon;
}

HCURSOR W32_Cursor() {
  return g_cursor.cursor;
}

void PLT_SetWindowIconRgba(const uint8_t* rgba, int w, int h) {
  HICON icon = MakeIcon(rgba, w, h, true, 0, 0);
  if (!icon) return;
  if (g_cursor.icon) ::DestroyIcon(g_cursor.icon);
  g_cursor.icon = icon;
  if (W32_Window()) {
    ::SendMessageW(W32_Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(W32_Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
}

void PLT_SetCursorRgba(const uint8_t* rgba, int w, int h, int hotX, int hotY) {
  HICON cursor = MakeIcon(rgba, w, h, false, hotX, hotY);
  if (!cursor) return;
  if (g_cursor.cursor) ::DestroyCursor(g_cursor.cursor);
  g_cursor.cursor = cursor;
}
