// The title flow, one frame at a time: logos, title picture and menu, the
// attract ranking, the gallery, and the stages between story scenes.
#include "game/title.h"

#include <cstdio>

#include "blit/blit.h"
#include "common/act.h"
#include "common/clock.h"
#include "common/cmd_ids.h"
#include "common/config.h"
#include "common/key.h"
#include "common/mouse.h"
#include "common/rng.h"
#include "common/se_ids.h"
#include "common/util.h"
#include "game/game_mode.h"
#include "game/play.h"
#include "game/rank.h"
#include "gfx/image.h"
#include "gfx/sprite.h"
#include "platform/plt_window.h"
#include "sound/bgm.h"
#include "sound/sound.h"

// The numbers of the event pictures "v%04d.bmp" the story scenes show, in
// gallery order; the gallery offers the ones already seen.

TitleFlow g_title = {-1, 0, {}, -1, -1};

namespace {

// Image slots of the title sequence.
enum : int {
  IMG_BACK = 0,         // "g0010.bmp"
  IMG_LOGO = 1,         // "logo.bmp"
  IMG_WALK_A = 2,       // "tavr00.bmp"
  IMG_WALK_B = 3,       // "tavr01.bmp"
  IMG_TITLE = 4,        // "title0000.bmp"
  IMG_ITEMS = 5,        // "title0001.bmp", three rows of 232 x 40
  IMG_RANK_HEAD = 6,    // "title1000.bmp"
  IMG_RANK_COLS = 7,    // "title1001.bmp", four rows of 84 x 28
  IMG_RANK_DIGITS = 8,  // "title1002.bmp", 28 x 32 digit cells
  IMG_VIEW = 9,         // gallery: the picture on show
  IMG_THUMBS = 32,      // gallery: thumbnails, 32 slots from here
};

// Sprites.
enum : int {
  SP_BACK = 0,
  SP_LOGO = 1,
  SP_TITLE = 2,
  SP_WALKERS = 8,  // 120 of them
  WALKER_COUNT = 120,
  SP_ITEMS = 10,      // three menu items
  SP_RANK_HEAD = 15,  // ranking heading, then 16..19 column headings
  SP_RANK_ROWS = 20,  // 34 sprites per row
  RANK_ROW_SPRITES = 34,
  SP_THUMBS = 400,  // gallery thumbnails (32)
  SP_VIEW = 440,    // gallery: the picture on show
};

// Layers: later layers are drawn over earlier ones.
enum : int {
  LY_BACK = 0,
  LY_LOGO = 1,
  LY_WALKERS = 2,
  LY_TITLE = 3,
  LY_ITEMS = 4,
  LY_RANK = 5,
  LY_THUMBS = 6,
  LY_VIEW = 8,
};

const int kColumnX[4] = {64, 240, 400, 512};

StatePair& Title() {
  return g_state[STATE_TITLE];
}

void Go(int state) {
  Title().next = state;
}

void SetOpacity(int sprite, int p) {
  if (p < 0) p = 0;
  if (p > 256) p = 256;
  SPR_SetBlend(sprite, BLT_Mode(BLT_MODE_FADE, p));
}

void PlaySE(int effect) {
  SND_PlaySE(effect, 0, 255);
}

int Min(int a, int b) {
  return a < b ? a : b;
}

// Values as the ranking shows them: never negative and never wider than the
// digits given, so a damaged file cannot draw garbage cells.
int Shown(int32_t v, int digits) {
  int32_t top = 1;
  for (int i = 0; i < digits; ++i) top *= 10;
  if (v < 0) return 0;
  if (v >= top) return top - 1;
  return v;
}

// --- Ranking display -------------------------------------------------------

void RankHeadings(int headY, const int* colX) {
  SPR_SetImage(SP_RANK_HEAD, IMG_RANK_HEAD, LY_RANK, 1, BLT_KEY_ALPHA);
  SPR_Move(SP_RANK_HEAD, 32, headY);
  for (int k = 0; k < 4; ++k) {
    int s = SP_RANK_HEAD + 1 + k;
    SPR_SetImage(s, IMG_RANK_COLS, LY_RANK, 1, BLT_KEY_ALPHA);
    SPR_SetView(s, colX[k], 80, 0, 28 * k, 84, 28);
  }
}

// Row i with its left part shifted by w (w = 320 is the final place).
void RankRow(int i, int w) {
  int base = SP_RANK_ROWS + RANK_ROW_SPRITES * i;
  int y = 112 + 36 * i;
  PLAY_DrawNumber(base, IMG_RANK_DIGITS, i + 1, w - 280, y, 28, 32, 2);
  PLAY_DrawNumber(base + 2, IMG_RANK_DIGITS, Shown(g_rank.rankScore[i], 6), w - 192, y, 28, 32, 6);
  PLAY_DrawNumber(base + 8, IMG_RANK_DIGITS, Shown(g_rank.rankClicks[i], 4), w + 20, y, 28, 32, 4);
  PLAY_DrawNumber(base + 12, IMG_RANK_DIGITS, Shown(g_rank.rankChain[i], 2), w + 180, y, 28, 32, 2);
}

void RowBlend(int i, uint32_t mode) {
  int base = SP_RANK_ROWS + RANK_ROW_SPRITES * i;
  for (int s = 0; s < RANK_ROW_SPRITES; ++s) SPR_SetBlend(base + s, mode);
}

void RowBright(int i, int v) {
  int base = SP_RANK_ROWS + RANK_ROW_SPRITES * i;
  for (int s = 0; s < RANK_ROW_SPRITES; ++s) SPR_SetBright(base + s, v);
}

// The whole ranking at its final places.
void RankFinal() {
  RankHeadings(16, kColumnX);
  for (int i = 0; i < RANK_ENTRIES; ++i) RankRow(i, 320);
}

// --- Gallery -----------------------------------------------------------------

void GalleryClose() {
  for (int k = 0; k < EVENT_PICTURE_MAX; ++k) {
    SPR_Clear(SP_THUMBS + k);
    IMG_FreeSlot(IMG_THUMBS + k);
  }
  SPR_Clear(SP_VIEW);
  IMG_FreeSlot(IMG_VIEW);
  MOUSE_DisableGroup(1);
  MOUSE_SelectGroup(0);
  g_title.galleryCount = 0;
  g_title.viewing = -1;
}

void GallerySetUp() {
  char name[32];
  GalleryClose();
  int count = TITLE_EventPictureCount();
  for (int i = 0; i < count; ++i) {
    if (!g_cfg.cg[i]) continue;  // not seen yet
    int k = g_title.galleryCount++;
    g_title.galleryEntry[k] = i;
    std::snprintf(name, sizeof name, "vs%04d.bmp", static_cast<int>(g_eventPictures[i]));
    IMG_LoadBMP(IMG_THUMBS + k, FMT_F, name);
    int x = 144 * (k % 4) + 40, y = 120 * (k / 4) + 64;
    SPR_SetImage(SP_THUMBS + k, IMG_THUMBS + k, LY_THUMBS, 1, BLT_KEY_NONE);
    SPR_SetZoomRect(SP_THUMBS + k, x, y, 128, 96);
    MOUSE_SetZone(1, k, x, y, 128, 96, 1);
  }
  MOUSE_SelectGroup(1);
  g_title.galleryHovered = -1;
  for (int j = 0; j < 3; ++j) SPR_Show(SP_ITEMS + j, 0);
  SPR_SetBright(SP_BACK, 64);
  CLK_RequestResync();
}

void GalleryToMenu() {
  GalleryClose();
  for (int j = 0; j < 3; ++j) SPR_Show(SP_ITEMS + j, 1);
  SPR_SetBright(SP_BACK, 128);
  g_title.hovered = -1;
  Go(TITLE_MENU);
}

// Keyboard over the thumbnails: left and right by one, up and down by a row.
int GalleryKeys(int hovered) {
  int step = 0;
  if (g_act.left)
    step = -1;
  else if (g_act.right)
    step = 1;
  else if (g_act.up)
    step = -4;
  else if (g_act.down)
    step = 4;
  if (step == 0 || g_title.galleryCount == 0) return hovered;
  int p = hovered < 0 ? 0 : UTIL_Clamp(0, hovered + step, g_title.galleryCount - 1);
  if (MOUSE_ZoneEnabled(1, p)) {
    MOUSE_MoveToZone(1, p);
    return p;
  }
  return hovered;
}

void Gallery(int n) {
  (void)n;
  int hovered = GalleryKeys(MOUSE_ZoneUnderCursorInGroup(-1, 1));
  for (int k = 0; k < g_title.galleryCount; ++k) SPR_SetBright(SP_THUMBS + k, 128);
  if (hovered >= 0) {
    if (hovered != g_title.galleryHovered) PlaySE(SE_CURSOR);
    SPR_SetColour(SP_THUMBS + hovered, 128, 192, 128);
  }
  g_title.galleryHovered = hovered;
  if (g_act.cancel) {
    GalleryToMenu();
  } else if (g_act.decide && hovered >= 0) {
    PlaySE(SE_DECIDE);
    char name[32];
    int entry = g_title.galleryEntry[hovered];
    std::snprintf(name, sizeof name, "v%04d.bmp", static_cast<int>(g_eventPictures[entry]));
    IMG_LoadBMP(IMG_VIEW, FMT_F, name);
    SPR_SetImage(SP_VIEW, IMG_VIEW, LY_VIEW, 1, BLT_KEY_NONE);
    SetOpacity(SP_VIEW, 0);
    g_title.viewing = entry;
    CLK_RequestResync();
    Go(TITLE_VIEW_IN);
  }
}

// --- Menu ----------------------------------------------------------------------

void SetUpZones() {
  MOUSE_SetZone(0, TITLE_ITEM_START, 232, 288, 160, 40, 1);
  MOUSE_SetZone(0, TITLE_ITEM_GALLERY, 232, 328, 160, 40, TITLE_GalleryAvailable());
  MOUSE_SetZone(0, TITLE_ITEM_QUIT, 232, 368, 160, 40, 1);
  MOUSE_SelectGroup(0);
}

void Menu(int n) {
  int hovered = MOUSE_ZoneUnderCursorInGroup(-1, 0);
  int proposed = -2;
  if (g_act.up)
    proposed = UTIL_Clamp(0, hovered - 1, 2);
  else if (g_act.down)
    proposed = hovered < 0 ? 0 : UTIL_Clamp(0, hovered + 1, 2);
  if (proposed >= 0 && MOUSE_ZoneEnabled(0, proposed)) {
    MOUSE_MoveToZone(0, proposed);
    hovered = proposed;
  }

  int gallery = TITLE_GalleryAvailable();
  SPR_SetBright(SP_ITEMS + 0, 128);
  SPR_SetBright(SP_ITEMS + 2, 128);
  if (gallery) SPR_SetBright(SP_ITEMS + 1, 128);

  if (hovered != -1) {
    if (hovered != g_title.hovered) PlaySE(SE_CURSOR);
    SPR_SetColour(SP_ITEMS + hovered, 128, 192, 128);
  }
  g_title.hovered = hovered;

  if (g_act.decide && hovered == TITLE_ITEM_START) {
    PlaySE(SE_DECIDE);
    BGM_Stop(60);
    Go(TITLE_LEAVING);
    return;
  }
  if (g_act.decide && hovered == TITLE_ITEM_QUIT) {
    PlaySE(SE_DECIDE);
    // Through the window procedure, so the player is asked first.
    PLT_SendMessage(PLT_MSG_COMMAND, CMD_QUIT, 0);
    return;
  }
  if (g_act.decide && hovered == TITLE_ITEM_GALLERY && gallery) {
    PlaySE(SE_DECIDE);
    Go(TITLE_GALLERY_SETUP);
    return;
  }
  if (n > 449) Go(TITLE_RANK_SLIDE);
}

// --- States --------------------------------------------------------------------

void SetUp() {
  g_rank.newestIndex = -1;
  RANK_Load();
  if (g_playTotals.stage == 3) {
    RANK_Insert(&g_playTotals);
  } else if (g_playTotals.stage != 0) {
    SPR_ClearAll();
    Go(TITLE_PLAYING);
    return;
  }

  IMG_LoadBMP(IMG_BACK, FMT_F, "g0010.bmp");
  IMG_LoadBMP(IMG_LOGO, FMT_F, "logo.bmp");
  IMG_LoadBMP(IMG_WALK_A, FMT_B, "tavr00.bmp");
  IMG_LoadBMP(IMG_WALK_B, FMT_B, "tavr01.bmp");
  IMG_LoadBMP(IMG_TITLE, FMT_F, "title0000.bmp");
  IMG_LoadBMP(IMG_ITEMS, FMT_B, "title0001.bmp");
  IMG_LoadBMP(IMG_RANK_HEAD, FMT_B, "title1000.bmp");
  IMG_LoadBMP(IMG_RANK_COLS, FMT_B, "title1001.bmp");
  IMG_LoadBMP(IMG_RANK_DIGITS, FMT_B, "title1002.bmp");

  SPR_SetImage(SP_BACK, IMG_BACK, LY_BACK, 1, BLT_KEY_NONE);
  SPR_SetImage(SP_LOGO, IMG_LOGO, LY_LOGO, 1, BLT_KEY_NONE);
  SPR_Move(SP_LOGO, 80, 80);
  SetOpacity(SP_LOGO, 0);  // fades in during the logo walk
  for (int i = 0; i < WALKER_COUNT; ++i) {
    int slot = ((i / 20) % 2 == 0) ? IMG_WALK_A : IMG_WALK_B;
    SPR_SetImage(SP_WALKERS + i, slot, LY_WALKERS, 1, BLT_KEY_ALPHA);
    int r = RNG_Next() % 128;
    int g = RNG_Next() % 128;
    int b = RNG_Next() % 128;
    SPR_SetColour(SP_WALKERS + i, r, g, b);
    SPR_SetView(SP_WALKERS + i, -640, 0, 0, 0, 125, 140);  // placed by the logo walk
  }

  SetUpZones();
  g_title.hovered = -1;
  CLK_RequestResync();

  if (g_rank.newestIndex < 0) {
    BGM_Play(1, 0, 1, 255, 0);
    Go(TITLE_LOGOS);
  } else {
    Go(TITLE_RANK_NEW);
  }
}

void Logos(int n) {
  SetOpacity(SP_LOGO, UTIL_Clamp(0, 8 * n - 1800, 256));
  for (int i = 0; i < WALKER_COUNT; ++i) {
    int r = i / 20, c = i % 20;
    int x =
        (r % 2 == 0) ? 280 * (r + 1) + 64 * c - 8 * n + 640 : 64 * (c - 19) + 8 * n - 280 * (r + 1);
    SPR_SetView(SP_WALKERS + i, x, 64 * r, 125 * (((7 * i + n) / 5) % 2), 0, 125, 140);
  }
  if (n > 499 || g_act.decide) {
    SPR_SetImage(SP_TITLE, IMG_TITLE, LY_TITLE, 1, BLT_KEY_NONE);
    SetOpacity(SP_TITLE, 0);  // the fade starts from nothing
    Go(TITLE_PICTURE);
  }
}

void Picture(int n) {
  BGM_Play(2, 0, 0, 255, 0);
  int f1 = GAME_FadeF1();
  if (n < f1 && !g_act.decide) {
    SetOpacity(SP_TITLE, 256 * n / f1);
    return;
  }
  for (int s = 0; s < 128; ++s) SPR_Clear(s);
  for (int slot = 0; slot <= 3; ++slot) IMG_FreeSlot(slot);
  SPR_SetImage(SP_BACK, IMG_TITLE, LY_BACK, 1, BLT_KEY_NONE);
  for (int j = 0; j < 3; ++j) {
    SPR_SetImage(SP_ITEMS + j, IMG_ITEMS, LY_ITEMS, 1, BLT_KEY_ALPHA);
    SPR_SetView(SP_ITEMS + j, 204, 288 + 40 * j, 0, 40 * j, 232, 40);
    SetOpacity(SP_ITEMS + j, 0);
  }
  if (!TITLE_GalleryAvailable()) SPR_SetBright(SP_ITEMS + 1, 64);
  Go(TITLE_MENU_IN);
}

void MenuIn(int n) {
  int f1 = GAME_FadeF1();
  if (n < f1 && !g_act.decide) {
    int d = 128 * n / f1;
    for (int j = 0; j < 3; ++j) SetOpacity(SP_ITEMS + j, 2 * d);
    return;
  }
  for (int j = 0; j < 3; ++j) SPR_SetBlend(SP_ITEMS + j, BLT_MODE_COPY);
  Go(TITLE_MENU);
}

void RankSlide(int n) {
  for (int j = 0; j < 3; ++j) SPR_Move(SP_ITEMS + j, 204, 288 + 40 * j + 2 * n);
  SPR_SetBright(SP_BACK, 128 - Min(4 * n, 64));

  // The heading drops in from above the screen during the first 32 frames;
  // the column headings follow one after another from the right.
  int v = Min(n, 32);
  int colX[4];
  for (int k = 0; k < 4; ++k) {
    int u = UTIL_Clamp(0, n - 16 - 8 * k, 32);
    colX[k] = kColumnX[k] + (32 - u) * (32 - u) * 640 / 1024;
  }
  RankHeadings(16 - (32 - v) * (32 - v) * 112 / 1024, colX);

  for (int i = 0; i < RANK_ENTRIES; ++i) {
    int vi = UTIL_Clamp(0, n - 72 - 4 * i, 32);
    int w = vi * vi * 320 / 1024;
    RankRow(i, w);
    RowBlend(i, BLT_Mode(BLT_MODE_FADE, Min(w, 256)));
  }

  if (g_act.decide) {
    SPR_ClearAll();
    Go(TITLE_SETUP);
  } else if (n > 143) {
    Go(TITLE_RANK_SHOW);
  }
}

void RankNew(int n) {
  if (n == 0) {
    // The logo walk was set up but is not shown: only the ranking is.
    for (int s = 1; s < 128; ++s) SPR_Clear(s);
  }
  SPR_SetImage(SP_BACK, IMG_TITLE, LY_BACK, 1, BLT_KEY_NONE);
  SPR_SetBright(SP_BACK, 2 * n);
  RankFinal();
  for (int s = SP_RANK_HEAD; s < SP_RANK_ROWS; ++s) SPR_SetBright(s, 4 * n);
  for (int i = 0; i < RANK_ENTRIES; ++i) RowBright(i, 4 * n);
  if (g_act.decide) {
    SPR_ClearAll();
    Go(TITLE_SETUP);
  } else if (n > 31) {
    Go(TITLE_RANK_SHOW);
  }
}

void RankShow(int n) {
  int i = g_rank.newestIndex;
  if (i >= 0 && i < RANK_ENTRIES) RowBright(i, 128 + UTIL_Triangle(4 * n, 127));
  if (n > 299 || g_act.decide) {
    SPR_ClearAll();
    Go(TITLE_SETUP);
  }
}

void ViewIn(int n) {
  int f1 = GAME_FadeF1();
  if (n < f1 && !g_act.decide) {
    SetOpacity(SP_VIEW, 256 * n / f1);
    return;
  }
  SPR_SetBlend(SP_VIEW, BLT_MODE_COPY);
  Go(TITLE_VIEW);
}

void View() {
  if (g_act.decide || g_act.cancel) Go(TITLE_VIEW_OUT);
}

void ViewOut(int n) {
  int f1 = GAME_FadeF1();
  if (n < f1 && !g_act.decide) {
    SetOpacity(SP_VIEW, 256 - 256 * n / f1);
    return;
  }
  SPR_Clear(SP_VIEW);
  IMG_FreeSlot(IMG_VIEW);
  g_title.viewing = -1;
  Go(TITLE_GALLERY);
}

void Leaving(int n) {
  int f2 = GAME_FadeF2();
  if (n < f2 && !g_act.decide) {
    int v = 128 - 128 * n / f2;
    const int fading[5] = {SP_BACK, SP_LOGO, SP_ITEMS, SP_ITEMS + 1, SP_ITEMS + 2};
    for (int s : fading) SPR_SetBright(s, v);
    return;
  }
  Go(TITLE_TO_SCENE);
}

}  // namespace

int TITLE_EventPictureCount() {
  int n = 0;
  while (n < EVENT_PICTURE_MAX && g_eventPictures[n] != -1) ++n;
  return n;
}

int TITLE_GalleryAvailable() {
  int count = TITLE_EventPictureCount();
  for (int i = 0; i < count; ++i) {
    if (g_cfg.cg[i]) return 1;
  }
  return 0;
}

void TITLE_Reset() {
  g_title = TitleFlow{};
  g_title.hovered = -1;
  g_title.galleryHovered = -1;
  g_title.viewing = -1;
}

int TITLE_Update() {
  int n = Title().counter;
  switch (Title().current) {
    case TITLE_SETUP:
      SetUp();
      break;
    case TITLE_LOGOS:
      Logos(n);
      break;
    case TITLE_PICTURE:
      Picture(n);
      break;
    case TITLE_MENU_IN:
      MenuIn(n);
      break;
    case TITLE_MENU:
      Menu(n);
      break;
    case TITLE_RANK_SLIDE:
      RankSlide(n);
      break;
    case TITLE_RANK_NEW:
      RankNew(n);
      break;
    case TITLE_RANK_SHOW:
      RankShow(n);
      break;
    case TITLE_GALLERY_SETUP:
      GallerySetUp();
      Go(TITLE_GALLERY);
      break;
    case TITLE_GALLERY:
      Gallery(n);
      break;
    case TITLE_VIEW_IN:
      ViewIn(n);
      break;
    case TITLE_VIEW_OUT:
      ViewOut(n);
      break;
    case TITLE_VIEW:
      View();
      break;
    case TITLE_PLAYING:
      if (PLAY_Update() == 0) Go(TITLE_TO_SCENE);
      break;
    case TITLE_LEAVING:
      Leaving(n);
      break;
    case TITLE_TO_SCENE:
      Go(TITLE_SETUP);
      SPR_ClearAll();
      return 0;
    default:
      // Not a state of the flow: start the title again.
      SPR_ClearAll();
      Go(TITLE_SETUP);
      break;
  }
  return 1;
}
