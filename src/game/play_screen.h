// The stage's screen: the image slots, sprites and layers the gameplay draws
// with, and the sizes of its pictures.
#pragma once
#include <cstdint>

namespace play_screen {

// Image slots.
enum : int {
  IMG_POND = 0,          // "sys1000.bmp", working format
  IMG_CREATURES = 10,    // "char000.bmp", 112 x 112 cells: column kind, row 0 swim, 1 held
  IMG_BANNER_A = 20,     // "sys0010.bmp"
  IMG_BANNER_B = 21,     // "sys0011.bmp"
  IMG_BANNER_NEXT = 22,  // "sys0012.bmp", 276 x 24 rows by kind
  IMG_DIGITS = 100,      // "sys0000.bmp"
  IMG_LABELS = 101,      // "sys0001.bmp", 120 x 32 rows by effect kind
  IMG_POPUPS = 102,      // "sys0002.bmp", 216 x 24 rows
  IMG_CLEAR = 103,       // "sys0003.bmp"
};

// Sprites.
enum : int {
  SP_POND = 0,
  SP_CREATURE = 4,  // + creature index
  SP_EFFECT = 132,  // + effect entry
  SP_CHAIN_LABEL = 148,
  SP_CHAIN_DIGITS = 149,
  SP_MULTI_LABEL = 152,
  SP_MULTI_DIGITS = 153,
  SP_CLEAR_A = 155,
  SP_CLEAR_B = 156,
  SP_BANNER = 164,  // 11 sprites
  BANNER_SPRITES = 11,
  SP_SCORE = 196,
  SP_CLICKS = 202,
  SP_MAXCHAIN = 207,
  SP_NEXT_KIND = 211,
};

// Layers, back to front.
enum : int {
  LY_POND = 0,
  LY_BANNER = 1,
  LY_SWIMMING = 2,
  LY_NEXT_KIND = 3,
  LY_HELD = 4,
  LY_NUMBERS = 5,
  LY_EFFECTS = 6,
  LY_CLEAR = 7,
};

// Pictures carry an alpha plane; their transparent pixels are also pure black,
// which is the key for the rotated creatures (quads have no alpha rule).
constexpr int32_t BLACK_COLOUR_KEY = 0x000000;
enum : int { CELL = 112, DIGIT_W = 17, DIGIT_H = 24 };
// The managed effect record that plays the score's counting sound.
enum : int { SE_RECORD_COUNTING = 11 };
enum : int { BGM_STAGE = 3, BGM_CLEAR = 4 };

// Popup and effect lifetimes.
enum : int { POPUP_END = 48, EFFECT_END = 64 };
}  // namespace play_screen
