// The title flow: maker logos, title picture and menu, the attract ranking,
// the gallery of event pictures, and the stages of a play-through.
#pragma once
#include <cstdint>

#include "script/scene.h"

// Title states (level 1 of the state pairs).
enum : int {
  TITLE_SETUP = 0,
  TITLE_LOGOS = 1,
  TITLE_PICTURE = 2,
  TITLE_MENU_IN = 3,
  TITLE_MENU = 4,
  TITLE_RANK_SLIDE = 5,
  TITLE_RANK_NEW = 6,
  TITLE_RANK_SHOW = 7,
  TITLE_GALLERY_SETUP = 10,
  TITLE_GALLERY = 11,
  TITLE_VIEW_IN = 12,
  TITLE_VIEW_OUT = 13,
  TITLE_VIEW = 14,
  TITLE_PLAYING = 16,
  TITLE_LEAVING = 17,
  TITLE_TO_SCENE = 18,
};

// Menu items (zones of group 0).
enum : int { TITLE_ITEM_START = 0, TITLE_ITEM_GALLERY = 1, TITLE_ITEM_QUIT = 2 };

// The event pictures that the story scenes show and the gallery offers: up to
// 32 picture numbers, ended by -1 when fewer. Position i is seen when gallery
// flag i (setting "cg") is set.
// Number of entries before the first -1.
int TITLE_EventPictureCount();
// 1 when at least one listed picture has been seen: the gallery item is lit.
int TITLE_GalleryAvailable();

struct TitleFlow {
  int32_t hovered;                          // menu item hovered in the previous frame, -1 none
  int32_t galleryCount;                     // thumbnails on show
  int32_t galleryEntry[EVENT_PICTURE_MAX];  // list position of each thumbnail
  int32_t galleryHovered;                   // thumbnail hovered in the previous frame, -1 none
  int32_t viewing;                          // list position of the picture on show, -1 none
};
extern TitleFlow g_title;

// One frame of the title flow: 1 normally, 0 when a story scene must start.
int TITLE_Update();
void TITLE_Reset();
