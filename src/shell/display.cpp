// Display modes. The frame is always composed at 24 bits; a 256-colour
// desktop gets it converted into an 8-bit image with the display palette
// every drawn frame, other desktops convert the 24-bit image themselves.
//
// Full screen is a borderless window over the whole desktop with the picture
// scaled onto it; the desktop's own mode is never switched. The window
// metrics the placements are computed from are those of that window: no
// frame, no caption, a 19-row menu bar.
#include "shell/display.h"

#include <cstring>

#include "blit/tables.h"
#include "common/config.h"
#include "common/log.h"
#include "common/msg.h"
#include "common/reg.h"
#include "gfx/image.h"
#include "platform/plt_display.h"
#include "platform/plt_msgbox.h"
#include "resources/resources.h"
#include "shell/app.h"
#include "shell/commands.h"

DisplayState g_display = {0, 0, 0, 0, 0, 1, 0, 0, {}, {}};

namespace {

// The reserved-entry map of the display palette: entries 0-10 and 246-255.
constexpr int kLastLowReserved = 10, kFirstHighStatic = 246;
constexpr uint8_t kReserved = 255;

// Frame width, frame height, border height, caption-button height and the
// menu bar's height of the window.
constexpr int kFrameX = 0, kFrameY = 0, kBorder = 0, kCaption = 0, kMenuBar = 19;

// Rgb15ToIndex: the nearest entry to each 5-5-5 colour. A 5-bit value stands
// for the whole range it was cut from, so it is widened to 8 bits by
// repeating its top bits (31 is 255): taken as value x 8 instead, white
// (248) would land nearer the static cream (255, 251, 240) than on white.
void BuildInverseTable(const uint8_t* pal) {
  for (int c = 0; c < 32768; ++c) {
    int r5 = (c >> 10) & 31, g5 = (c >> 5) & 31, b5 = c & 31;
    int r = (r5 << 3) | (r5 >> 2), g = (g5 << 3) | (g5 >> 2), b = (b5 << 3) | (b5 >> 2);
    int best = 0, bestDist = 1 << 30;
    for (int i = 0; i < 256 && bestDist; ++i) {
      int db = pal[i * 4] - b, dg = pal[i * 4 + 1] - g, dr = pal[i * 4 + 2] - r;
      int dist = dr * dr + dg * dg + db * db;
      if (dist < bestDist) {
        bestDist = dist;
        best = i;
      }
    }
    Rgb15ToIndex[c] = static_cast<uint8_t>(best);
  }
}

void BuildPalette() {
  DSP_FreePalette();
  uint8_t* p = g_display.palette;
  PLT_GetSystemPalette(p);
  for (int i = 0; i < 256; ++i) p[i * 4 + 3] = 0;
  std::memset(p + 10 * 4, 0, 236 * 4);
  // The map also marks entry 10, the first after the system's low colours,
  // as not free.
  std::memset(g_display.reserved, 0, sizeof g_display.reserved);
  for (int i = 0; i <= kLastLowReserved; ++i) g_display.reserved[i] = kReserved;
  for (int i = kFirstHighStatic; i < 256; ++i) g_display.reserved[i] = kReserved;
  // The 236 free entries would otherwise stay black and every colour of the
  // frame would fall on one of the twenty static ones: they get a 6 x 6 x 6
  // colour cube and a ramp of twenty greys between its levels. The cube's
  // levels lie closer together in the dark, where the game's night scenes
  // are and where the eye tells steps apart best.
  static const uint8_t kLevel[6] = {0, 36, 72, 116, 176, 255};
  int e = 10;
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b, ++e) {
        p[e * 4 + 0] = kLevel[b];
        p[e * 4 + 1] = kLevel[g];
        p[e * 4 + 2] = kLevel[r];
      }
    }
  }
  for (int k = 0; k < 20; ++k, ++e) {
    uint8_t v = static_cast<uint8_t>((k * 255 + 10) / 20 + 6);
    p[e * 4 + 0] = p[e * 4 + 1] = p[e * 4 + 2] = v;
  }
  BuildInverseTable(p);
  g_display.hasPalette = 1;
}

int OwnCheck(const char* name, const PltDialog& dialog) {
  int32_t value = 0;
  REG_ReadOrCreate(name, &value);
  if (value == 0) {
    int checked = 0;
    if (PLT_DialogBox(&dialog, &checked) == PLT_IDOK) value = checked;
    CLK_RequestResync();
  }
  REG_SetKey(REG_KEY_CONFIG);
  REG_WriteDword(name, static_cast<uint32_t>(value));
  return value;
}

}  // namespace

void DSP_Warn256() {
  REG_ReadOrCreate("256_check", &g_cfg.check256);
  if (g_cfg.check256 == 0) {
    // Its OK stores the state of check box 1004, which this dialog lacks.
    if (PLT_DialogBox(&g_dialog256, nullptr) == PLT_IDOK) g_cfg.check256 = 0;
    CLK_RequestResync();
  }
  REG_SetKey(REG_KEY_CONFIG);
  REG_WriteDword("256_check", static_cast<uint32_t>(g_cfg.check256));
}

int DSP_Setup(int depth) {
  int bpp, w, h;
  PLT_GetDesktopMode(&bpp, &w, &h);
  g_display.desktopDepth = static_cast<int16_t>(bpp);
  g_display.desktopWidth = w;
  g_display.desktopHeight = h;
  if (g_display.firstSetUp) {
    g_display.firstSetUp = 0;
    if (bpp == 8) DSP_Warn256();
    // A high-colour desktop shows the frame with fewer shades; dialog 104
    // says so once, until its check box is ticked.
    if (bpp == 16) OwnCheck("16bit_check", g_dialogHighColor);
  }
  if (depth != 24) {
    MSG_Error(nullptr, "画面モードが異常です");
    return 0;
  }
  g_display.workingDepth = static_cast<int16_t>(depth);
  g_display.displayDepth = g_display.desktopDepth;
  IMG_ConvertAll(FMT_F);
  if (!IMG_CreateBackBuffer(24, SCREEN_W, SCREEN_H)) return 0;
  if (g_display.displayDepth == 8) {
    BuildPalette();
    IMG_CreateBackBuffer(8, SCREEN_W, SCREEN_H, g_display.palette);
  }
  return 1;
}

void DSP_DisplayChange(int depth, int width, int height) {
  if (width == SCREEN_W && g_cfg.screen == 0) CMD_Execute(CMD_FULLSCREEN);
  if (depth != g_display.desktopDepth) {
    if (depth == 8 && !APP_IsEnding()) DSP_Warn256();
    if (g_display.desktopDepth == 8) IMG_ReleaseB(&g_back.indexed);
    DSP_Setup(24);
  }
  g_display.desktopWidth = width;
  g_display.desktopHeight = height;
}

int DSP_SwitchMode(int width, int height) {
  int r = PLT_ChangeDisplayMode(width, height);
  if (width >= 0 && height >= 0) {
    LOG_Write("SetWindowPos %d : %d\n", -kFrameX, -(kMenuBar + 2 * kBorder + kCaption + kFrameY));
    DSP_PlaceFullScreen(0);
  } else {
    g_display.menuShown = 0;
    PLT_ShowMenuBar(0);
  }
  return r;
}

void DSP_PlaceFullScreen(int showMenu) {
  int x = -kFrameX;
  int y = -(kMenuBar + 2 * kBorder + kCaption + kFrameY) + (showMenu ? kMenuBar + kBorder : 0);
  PLT_ShowMenuBar(showMenu);
  LOG_Write("SetWindowPos %d : %d\n", x, y);
}

void DSP_MouseMove(int x, int y) {
  if (x >= 0 && x < SCREEN_W && y >= 0 && y < 19 && !g_display.menuShown) {
    DSP_PlaceFullScreen(1);
    g_display.menuShown = 1;
  } else if (g_display.menuShown) {
    DSP_PlaceFullScreen(0);
    g_display.menuShown = 0;
  }
}

void DSP_SizeQuery(PltMinMaxInfo* info) {
  LOG_Write("MINMAXINFO \n");
  LOG_Write("%d : %d\n", info->maxPositionX, info->maxPositionY);
  LOG_Write("%d : %d\n", info->maxSizeX, info->maxSizeY);
  LOG_Write("%d : %d\n", info->maxTrackX, info->maxTrackY);
  LOG_Write("%d : %d\n", info->minTrackX, info->minTrackY);
  int w = 0, h = 0;
  PLT_WindowSizeForClient(SCREEN_W + 2 * kFrameX, SCREEN_H + 2 * kFrameY + 2 * kBorder + kCaption,
                          &w, &h);
  info->minTrackX = info->maxTrackX = w;
  info->minTrackY = info->maxTrackY = h;
}

void DSP_FreePalette() {
  g_display.hasPalette = 0;
}

void DSP_Reset() {
  g_display = DisplayState{};
  g_display.firstSetUp = 1;
}
