// Image records, the 256 image slots, the back buffer and the debug font.
#include "gfx/image.h"

#include <cstdlib>
#include <cstring>

#include "blit/tables.h"
#include "common/log.h"
#include "common/msg.h"
#include "gfx/bmp.h"
#include "platform/plt_window.h"
#include "resources/resources.h"

ImageSlot g_slots[IMG_SLOTS];
BackBuffer g_back;
GlobalToneT g_tone = {128, 128, 128};
BImage g_debugFont;

namespace {
struct ImageState {
  char dir[64] = "grp";
  uint32_t generation = 0;
  // The parts the next present may send alone; whole (-1) until a frame
  // says so.
  PltRect presentParts[PLT_PRESENT_PARTS];
  int presentCount = -1;
};
ImageState g_image;

uint8_t* Zalloc(size_t n) {
  return static_cast<uint8_t*>(std::calloc(n ? n : 1, 1));
}
uint8_t* Dup(const uint8_t* p, size_t n) {
  if (!p) return nullptr;
  uint8_t* q = Zalloc(n);
  if (q) std::memcpy(q, p, n);
  return q;
}
}  // namespace

void IMG_SetDir(const char* group) {
  std::strncpy(g_image.dir, group, sizeof g_image.dir - 1);
  g_image.dir[sizeof g_image.dir - 1] = 0;
}

const char* IMG_GetDir() {
  return g_image.dir;
}

void IMG_InitTables(int width, int height) {
  ++g_image.generation;
  BLT_InitTables(width, height);
}

int IMG_CreateBackBuffer(int depth, int width, int height, const uint8_t* palette) {
  if (depth == 8) {
    IMG_AllocB(&g_back.indexed, width, height, 0);
    if (palette && g_back.indexed.palette) std::memcpy(g_back.indexed.palette, palette, 1024);
    if (!g_back.frame.pixels) IMG_AllocF(&g_back.frame, width, height);
    g_back.displayDepth = 8;
    return 1;
  }
  if (depth != 24) {
    MSG_Error(nullptr, "画面モードが異常です");
    return 0;
  }
  IMG_ReleaseB(&g_back.indexed);
  IMG_ReleaseF(&g_back.frame);
  IMG_AllocF(&g_back.frame, width, height);
  g_back.displayDepth = 24;
  return 1;
}

void IMG_FreeBackBuffer() {
  IMG_ReleaseF(&g_back.frame);
  IMG_ReleaseB(&g_back.indexed);
}

void IMG_Present() {
  const int parts = g_image.presentCount;
  g_image.presentCount = -1;
  if (!PLT_HasWindow()) return;
  if (g_back.displayDepth == 8) {
    if (g_back.indexed.pixels)
      PLT_PresentIndexed(g_back.indexed.pixels, g_back.indexed.palette, g_back.indexed.width,
                         g_back.indexed.height);
    return;
  }
  if (!g_back.frame.pixels) return;
  if (parts < 0) {
    PLT_Present(g_back.frame.pixels, g_back.frame.width, g_back.frame.height);
    return;
  }
  PLT_PresentChanged(g_back.frame.pixels, g_back.frame.width, g_back.frame.height,
                     g_image.presentParts, parts);
}

void IMG_SetPresentParts(const ClipBox* parts, int count) {
  g_image.presentCount = count >= 0 && count <= PLT_PRESENT_PARTS ? count : -1;
  for (int i = 0; i < count && i < PLT_PRESENT_PARTS; ++i) {
    const ClipBox& b = parts[i];
    g_image.presentParts[i] = PltRect{b.left, b.top, b.right, b.bottom};
    // One of them the whole picture: presented whole.
    if (b.left <= 0 && b.top <= 0 && b.right >= g_back.frame.width &&
        b.bottom >= g_back.frame.height) {
      g_image.presentCount = -1;
    }
  }
}

void IMG_AllocF(FImage* img, int width, int height) {
  IMG_ReleaseF(img);
  if (width <= 0 || height <= 0) return;
  img->width = width;
  img->height = height;
  img->pixels = Zalloc(static_cast<size_t>(width) * height * 3);
}

void IMG_AllocB(BImage* img, int width, int height, int withAlpha) {
  IMG_ReleaseB(img);
  if (width <= 0 || height <= 0) return;
  img->width = width;
  img->height = height;
  img->pixels = Zalloc(static_cast<size_t>(width) * height);
  img->palette = Zalloc(1024);
  if (withAlpha) img->alpha = Zalloc(static_cast<size_t>(width) * height);
}

void IMG_ReleaseF(FImage* img) {
  ++g_image.generation;
  std::free(img->pixels);
  *img = FImage{};
}

void IMG_ReleaseB(BImage* img) {
  ++g_image.generation;
  std::free(img->pixels);
  std::free(img->alpha);
  std::free(img->palette);
  *img = BImage{};
}

void IMG_FreeSlot(int n) {
  ImageSlot& s = g_slots[n];
  IMG_ReleaseF(&s.f);
  IMG_ReleaseB(&s.b);
  s = ImageSlot{};
}

void IMG_FreeAll() {
  for (int i = 0; i < IMG_SLOTS; ++i) IMG_FreeSlot(i);
}

void IMG_GetSize(int n, int* width, int* height) {
  const ImageSlot& s = g_slots[n];
  *width = *height = 0;
  if (s.format == FMT_F) {
    *width = s.f.width;
    *height = s.f.height;
  } else if (s.format == FMT_B) {
    *width = s.b.width;
    *height = s.b.height;
  }
}

void* IMG_GetImage(ImageSlot* slot) {
  if (slot->format == FMT_F) return &slot->f;
  if (slot->format == FMT_B) return &slot->b;
  return nullptr;
}

void* IMG_GetImage(int n) {
  return IMG_GetImage(&g_slots[n]);
}

void IMG_CopySlot(int dst, int src) {
  if (dst == src) return;
  ++g_image.generation;
  ImageSlot& d = g_slots[dst];
  const ImageSlot& s = g_slots[src];
  d.used = 1;
  d.format = s.format;
  d.alphaFlag = s.alphaFlag;
  if (s.format == FMT_F) {
    IMG_ReleaseF(&d.f);
    size_t n = static_cast<size_t>(s.f.width) * s.f.height * 3;
    d.f.pixels = Dup(s.f.pixels, n);
    d.f.width = s.f.width;
    d.f.height = s.f.height;
  } else if (s.format == FMT_B) {
    IMG_ReleaseB(&d.b);
    size_t n = static_cast<size_t>(s.b.width) * s.b.height;
    d.b.pixels = Dup(s.b.pixels, n);
    d.b.alpha = Dup(s.b.alpha, n);
    d.b.palette = Dup(s.b.palette, 1024);
    d.b.width = s.b.width;
    d.b.height = s.b.height;
  }
}

void IMG_MoveSlot(int dst, int src) {
  if (dst == src) return;
  IMG_FreeSlot(dst);
  g_slots[dst] = g_slots[src];
  g_slots[src] = ImageSlot{};
  ++g_image.generation;
}

uint32_t IMG_Generation() {
  return g_image.generation;
}

int IMG_ConvertAll(int format) {
  ++g_image.generation;
  LOG_Write("%dBITに変換成功\n", (format + 1) * 8);
  return 1;
}

int IMG_LoadDebugFont() {
  IMG_AllocB(&g_debugFont, 128, 32, 0);
  if (!g_debugFont.pixels) return 0;
  // Entry 0 (the background) is pure green, entry 1 white.
  g_debugFont.palette[1] = 255;
  g_debugFont.palette[4 + 0] = g_debugFont.palette[4 + 1] = g_debugFont.palette[4 + 2] = 255;
  for (int c = 0; c < 64; ++c) {
    int cx = (c % 16) * 8, cy = (c / 16) * 8;
    for (int r = 0; r < 8; ++r) {
      for (int b = 0; b < 8; ++b) {
        if (g_debugFontGlyphs[c][r] & (0x80 >> b)) g_debugFont.pixels[(cy + r) * 128 + cx + b] = 1;
      }
    }
  }
  return 1;
}

void IMG_ReleaseDebugFont() {
  IMG_ReleaseB(&g_debugFont);
}

void IMG_DrawDebugText(FImage* dst, int x, int y, const char* text) {
  if (!dst || !dst->pixels || !g_debugFont.pixels || !text) return;
  for (; *text; ++text, x += 8) {
    int c = static_cast<unsigned char>(*text);
    if (c >= 'a' && c <= 'z') c -= 32;
    if (c < 0x21 || c > 0x5F) continue;  // outside the font: an empty cell
    int cx = (c % 16) * 8, cy = ((c - 32) / 16) * 8;
    for (int r = 0; r < 8; ++r) {
      for (int b = 0; b < 8; ++b) {
        if (g_debugFont.pixels[(cy + r) * 128 + cx + b] == 0) continue;
        // White with a dark shadow one pixel down-right, readable on any picture.
        for (int pass = 0; pass < 2; ++pass) {
          int px = x + b + (pass == 0), py = y + r + (pass == 0);
          if (px < 0 || py < 0 || px >= dst->width || py >= dst->height) continue;
          uint8_t* p = dst->pixels + (static_cast<size_t>(py) * dst->width + px) * 3;
          uint8_t v = pass == 0 ? 0 : 255;
          p[0] = p[1] = p[2] = v;
        }
      }
    }
  }
}

int IMG_LoadBMP(int slot, int format, const char* name) {
  IMG_FreeSlot(slot);
  ImageSlot& s = g_slots[slot];
  s.used = 1;
  s.format = format;
  s.alphaFlag = 0;
  if (format == FMT_B) return BMP_ToB(name, &s.b, &s.alphaFlag);
  if (format == FMT_F) return BMP_ToF(name, &s.f, &s.alphaFlag);
  LOG_Write("BMPを読み込めない画像形式です[%s](%d)\n", name, format);
  return 0;
}

void IMG_Reset() {
  IMG_FreeAll();
  g_tone = GlobalToneT{128, 128, 128};
  IMG_SetDir("grp");
  g_image.presentCount = -1;
}
