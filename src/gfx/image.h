// Pixel formats, image records, the 256 image slots and the back buffer.
#pragma once
#include <cstdint>

#include "blit/pixels.h"
#include "blit/tables.h"

struct ImageSlot {
  int32_t used;
  int32_t format;
  int32_t alphaFlag;
  FImage f;
  BImage b;
};

enum : int { IMG_SLOTS = 256, SCREEN_W = 640, SCREEN_H = 480 };
extern ImageSlot g_slots[IMG_SLOTS];

struct BackBuffer {
  FImage frame;    // what the frame is composed in (the working image)
  BImage indexed;  // on a 256-colour desktop: what is shown, with the display palette
  int32_t displayDepth;
};
extern BackBuffer g_back;

struct GlobalToneT {
  int32_t r, g, b;
};
extern GlobalToneT g_tone;

void IMG_SetDir(const char* group);
const char* IMG_GetDir();
void IMG_InitTables(int width, int height);
// depth 24: the working image, which is also what is shown; depth 8: the
// 8-bit image shown on a 256-colour desktop, with palette (256 entries of
// blue, green, red, 0; null for black), beside the working image.
int IMG_CreateBackBuffer(int depth, int width, int height, const uint8_t* palette = nullptr);
void IMG_FreeBackBuffer();
void IMG_Present();
// The parts of the back buffer the frame just drawn changed (none: nothing
// did). The next IMG_Present may send only those to the window; every other
// present sends the whole picture.
void IMG_SetPresentParts(const ClipBox* parts, int count);

void IMG_AllocF(FImage* img, int width, int height);
void IMG_AllocB(BImage* img, int width, int height, int withAlpha);
void IMG_ReleaseF(FImage* img);
void IMG_ReleaseB(BImage* img);
void IMG_FreeSlot(int n);
// Frees the slot, marks it used with the requested format (FMT_B keeps 8-bit
// pictures palettised, FMT_F converts to 24-bit) and decodes the file of the
// image group into it. Returns 1, or 0 with the slot used and empty.
int IMG_LoadBMP(int slot, int format, const char* name);
void IMG_FreeAll();
void IMG_GetSize(int n, int* width, int* height);
void* IMG_GetImage(int n);
void* IMG_GetImage(ImageSlot* slot);
void IMG_CopySlot(int dst, int src);
// Frees dst and hands it src's pictures; src is left empty.
void IMG_MoveSlot(int dst, int src);
// Counts the changes to pictures and images (loads, frees, copies, moves):
// the render pass draws the whole frame again after any of them.
uint32_t IMG_Generation();
int IMG_ConvertAll(int format);

// The 8x8 debug font (resource 108): 128 x 32, 16 cells a row, 4 rows.
extern BImage g_debugFont;
int IMG_LoadDebugFont();
void IMG_ReleaseDebugFont();
// Draws text with the debug font into the frame (lower case folded to upper).
void IMG_DrawDebugText(FImage* dst, int x, int y, const char* text);
// Frees every slot and goes back to the start state: picture group "grp",
// neutral tone (tests; the back buffer and the debug font are left alone).
void IMG_Reset();
