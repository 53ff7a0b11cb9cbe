// The window icon and the mouse cursor of the SDL backend.
#include <SDL.h>

#include <vector>

#include "platform/plt_cursor.h"
#include "platform/sdl/sdl_backend.h"

namespace {

struct Picture {
  std::vector<uint8_t> rgba;
  int w = 0, h = 0;
  int hotX = 0, hotY = 0;
};

struct CursorState {
  Picture icon;
  Picture cursor;
  SDL_Cursor* sdlCursor = nullptr;
};

CursorState g_cursor;

bool Store(Picture* p, const uint8_t* rgba, int w, int h) {
  if (!rgba || w <= 0 || h <= 0 || w > 256 || h > 256) return false;
  p->rgba.assign(rgba, rgba + static_cast<size_t>(w) * h * 4);
  p->w = w;
  p->h = h;
  return true;
}

SDL_Surface* SurfaceOf(Picture& p) {
  return SDL_CreateRGBSurfaceWithFormatFrom(p.rgba.data(), p.w, p.h, 32, p.w * 4,
                                            SDL_PIXELFORMAT_ABGR8888);
}

void ApplyIcon() {
  SDL_Window* win = SDLB_Window();
  if (!win || g_cursor.icon.rgba.empty()) return;
  if (SDL_Surface* s = SurfaceOf(g_cursor.icon)) {
    SDL_SetWindowIcon(win, s);
    SDL_FreeSurface(s);
  }
}

void ApplyCursor() {
  if (!SDLB_Window() || g_cursor.cursor.rgba.empty()) return;
  SDL_Surface* s = SurfaceOf(g_cursor.cursor);
  if (!s) return;
  SDL_Cursor* c = SDL_CreateColorCursor(s, g_cursor.cursor.hotX, g_cursor.cursor.hotY);
  SDL_FreeSurface(s);
  if (!c) return;
  SDL_SetCursor(c);
  if (g_cursor.sdlCursor) SDL_FreeCursor(g_cursor.sdlCursor);
  g_cursor.sdlCursor = c;
}

}  // namespace

bool SDLB_WindowIcon(const uint8_t** rgba, int* w, int* h) {
  if (g_cursor.icon.rgba.empty()) return false;
  *rgba = g_cursor.icon.rgba.data();
  *w = g_cursor.icon.w;
  *h = g_cursor.icon.h;
  return true;
}

void SDLB_ApplyIconAndCursor() {
  ApplyIcon();
  ApplyCursor();
}

void PLT_SetWindowIconRgba(const uint8_t* rgba, int w, int h) {
  if (Store(&g_cursor.icon, rgba, w, h)) ApplyIcon();
}

void PLT_SetCursorRgba(const uint8_t* rgba, int w, int h, int hotX, int hotY) {
  if (!Store(&g_cursor.cursor, rgba, w, h)) return;
  g_cursor.cursor.hotX = hotX < 0 ? 0 : (hotX >= w ? w - 1 : hotX);
  g_cursor.cursor.hotY = hotY < 0 ? 0 : (hotY >= h ? h - 1 : hotY);
  ApplyCursor();
}
