// What the files of the Win32 window backend share: the window, the message
// queue and the conversions of text and coordinates.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// The main window, or null before it exists.
HWND W32_Window();
HINSTANCE W32_Instance();
// Queues a message for PLT_PeekMessage / PLT_GetMessage.
void W32_Post(int type, int64_t wparam, int64_t lparam);
// Client pixels of the window to the picture's coordinates and back (the
// window may show the picture scaled, or centred on a full screen).
void W32_WindowToPicture(int* x, int* y);
void W32_PictureToWindow(int* x, int* y);
// UTF-8 to UTF-16 for the wide API.
std::wstring W32_Wide(const char* utf8);
// The icon and cursor the program set (null when none).
HICON W32_Icon();
HCURSOR W32_Cursor();
// The menu bar built from the program's menu (null without one), and the
// checks and greys asked for before it existed applied to it.
HMENU W32_BuildMenu(const struct PltMenu* menu);
void W32_DestroyMenu();
HMENU W32_Menu();

// The logical palette of a 256-colour desktop: made from the program's
// display palette (256 entries of blue, green, red, 0; made again only when
// they change), realized in a device context before an 8-bit picture is
// copied, and realized again on the system's palette messages (true when
// the message was one, with the window procedure's result).
void W32_PaletteSet(const uint8_t* entries);
bool W32_PaletteRealize(HDC dc);
bool W32_PaletteMessage(HWND hwnd, UINT msg, WPARAM wp, LRESULT* result);
void W32_PaletteRelease();

// Full screen's black backdrop over the whole screen, made topmost (the
// main window is made topmost after it, so lies above); hidden again when
// full screen ends (see backdrop.cpp).
void W32_BackdropShow(const RECT& screen);
void W32_BackdropHide();

// The game controller (XInput): polled after each pump of the queue; while
// the menu bar's modal loop runs (`menu`), its presses become the menu's keys,
// polled from a timer that the window procedure hands to W32_PadTimer.
void W32_PadPoll(bool menu);
void W32_PadMenuLoop(bool entered);
bool W32_PadTimer(UINT_PTR id);
