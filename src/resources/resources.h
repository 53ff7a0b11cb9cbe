// Resources compiled into the program.
#pragma once
#include <cstdint>

#include "platform/plt_menu.h"
#include "platform/plt_msgbox.h"

enum : int {
  RES_MENU_MAIN = 101,
  RES_DLG_HIGHCOLOR = 104,
  RES_DLG_ABOUT = 105,
  RES_DLG_256 = 106,
  RES_DLG_VOLUME = 107,
  RES_BMP_DEBUGFONT = 108,
  RES_ICON = 109,
  RES_CURSOR = 113,
  RES_CTL_NO_MORE = 1004  // dialog 104's check box
};

// Dialogs 104 (the high-colour warning with its check box), 105 (version
// information) and 106 (the 256-colour warning).
extern const PltDialog g_dialogHighColor;
extern const PltDialog g_dialogAbout;
extern const PltDialog g_dialog256;
// Dialog 107: the music and effect volumes (two sliders).
extern const PltDialog g_dialogVolume;

// Menu resource 101.
extern const PltMenu g_menuMain;

// Bitmap resource 108: the 8x8 debug font, 64 glyphs for the codes 0x20..0x5F,
// eight bytes a glyph, the top row first, bit 7 the leftmost pixel.
extern const uint8_t g_debugFontGlyphs[64][8];
