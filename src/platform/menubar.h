// The menu bar a backend draws above (or, in full screen, over) the client
// area: layout, drawing with the glyph rasterizer, and mouse and keyboard
// handling. Coordinates are the window's: the bar takes rows 0 to
// MBAR_BarHeight() - 1 and drop-downs open below it. Pixels are 0xAARRGGBB.
#pragma once
#include <cstdint>

#include "platform/plt_menu.h"

// Receives the id of every enabled item the user chooses.
using MbarCommandSink = void (*)(int id);

// Builds the bar from the menu resource (none when menu is null); every item
// starts enabled and unchecked.
void MBAR_Build(const PltMenu* menu, int windowWidth, MbarCommandSink sink);
void MBAR_Destroy();
int MBAR_BarHeight();  // 0 without a menu
bool MBAR_IsOpen();
void MBAR_Close();
// Opens the first top-level menu, for the keyboard to go on from.
void MBAR_OpenFirst();

// Mouse at window coordinates (button 0 left, 1 right, 2 middle); each
// returns true when the menu used the event, which then must not reach the
// game.
bool MBAR_MouseMove(int x, int y);
bool MBAR_MouseDown(int button, int x, int y);
bool MBAR_MouseUp(int button, int x, int y);
void MBAR_MouseLeave();
// A key (virtual key code) while a drop-down is open; true when used.
bool MBAR_Key(int vk);

// True once after anything visible changed.
bool MBAR_TakeDirty();
// Draws the bar into rows 0.. of pixels and any open drop-downs below it.
void MBAR_Draw(uint32_t* pixels, int width, int height);

// Check marks and greyed items by command id (unknown ids are ignored; an
// unknown item reads as unchecked and enabled).
void MBAR_SetChecked(int id, int checked);
void MBAR_SetEnabled(int id, int enabled);
int MBAR_IsChecked(int id);
int MBAR_IsEnabled(int id);
