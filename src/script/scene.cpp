// The story-scene runtime and the scene's frame (game mode 3).
#include "script/scene.h"

#include <cstdio>
#include <cstring>

#include "blit/blit.h"
#include "common/act.h"
#include "common/clock.h"
#include "common/cmd_ids.h"
#include "common/config.h"
#include "common/log.h"
#include "common/modes.h"
#include "common/mouse.h"
#include "common/msg.h"
#include "common/se_ids.h"
#include "gfx/image.h"
#include "gfx/sprite.h"
#include "platform/plt_menu.h"
#include "script/script.h"
#include "sound/bgm.h"
#include "sound/sound.h"
#include "text/text.h"

SceneState g_scene;
int32_t g_eventPictures[EVENT_PICTURE_MAX] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -1};

namespace {

// Layers: pictures below the window, the window below its text, the choices
// above everything else of the scene.
enum : int {
  LAYER_PICTURE = 0,
  LAYER_INCOMING = 1,
  LAYER_WINDOW = 10,
  LAYER_MESSAGE = 11,
  LAYER_CHOICE_FRAME = 20,
  LAYER_CHOICE_BAR = 21,
  LAYER_CHOICE_TEXT = 22,
};

constexpr int kFps = 30;
const char kTooManyChoices[] = "選択肢の数が多すぎます";

int Speed() {
  return CFG_SystemSpeed();
}

bool SlotHasPicture(int slot) {
  int w = 0, h = 0;
  IMG_GetSize(slot, &w, &h);
  return g_slots[slot].used && w > 0 && h > 0;
}

void ShowPicture(int slot, int sprite, int layer, int visible) {
  SPR_SetImage(sprite, slot, layer, visible, -1);
}

void LoadPicture(const char* pattern, int number, int duration) {
  CLK_RequestResync();
  char name[32];
  std::snprintf(name, sizeof name, pattern, number);
  if (duration != 0) {
    IMG_LoadBMP(AVG_IMG_INCOMING, FMT_F, name);
    ShowPicture(AVG_IMG_INCOMING, AVG_SPR_INCOMING, LAYER_INCOMING, 0);
    g_scene.transRunning = 1;
    g_scene.transCounter = 0;
    g_scene.transLength = 0;
  } else {
    IMG_LoadBMP(AVG_IMG_PICTURE, FMT_F, name);
    ShowPicture(AVG_IMG_PICTURE, AVG_SPR_PICTURE, LAYER_PICTURE, 1);
    g_scene.transRunning = 0;
  }
}

void EndTransition() {
  g_scene.transRunning = 0;
  SPR_Show(AVG_SPR_INCOMING, 0);
  IMG_FreeSlot(AVG_IMG_PICTURE);
  // The incoming picture's pixels change owner: slot 1 is left empty.
  g_slots[AVG_IMG_PICTURE] = g_slots[AVG_IMG_INCOMING];
  g_slots[AVG_IMG_INCOMING] = ImageSlot{};
  SPR_Clear(AVG_SPR_INCOMING);
  ShowPicture(AVG_IMG_PICTURE, AVG_SPR_PICTURE, LAYER_PICTURE, 1);
}

void ShowChoiceSprites(int visible) {
  for (int s = AVG_SPR_FRAME_TOP; s <= AVG_SPR_HIGHLIGHT; ++s) SPR_Show(s, visible);
  for (int i = 0; i < AVG_CHOICES; ++i) TXT_ShowSlot(AVG_TXT_CHOICE0 + i, visible);
}

// Copies at most max - 1 bytes, never half a two-byte character.
void CopyText(char* dst, const char* src, int max) {
  int n = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(src);
  while (*p) {
    const int width = (SCR_IsLead(*p) && p[1]) ? 2 : 1;
    if (n + width > max - 1) break;
    for (int k = 0; k < width; ++k) dst[n++] = static_cast<char>(*p++);
  }
  dst[n] = 0;
}

}  // namespace

void AVG_Reset() {
  g_scene = SceneState{};
  g_scene.lastHovered = -1;
}

void AVG_StartScene() {
  SND_StopAll();
  AVG_Reset();
  SCR_ResetProgress();
  IMG_LoadBMP(AVG_IMG_WINDOW, FMT_F, "win00.bmp");
  SPR_SetImage(AVG_SPR_WINDOW, AVG_IMG_WINDOW, LAYER_WINDOW, 0, -1);
  SPR_Move(AVG_SPR_WINDOW, 0, 320);
  SPR_SetBlend(AVG_SPR_WINDOW, BLT_MODE_SUB);
  AVG_ShowWindow(0);
  PLT_EnableMenuItem(CMD_NEXT_STAGE, 1);
}

// --- Messages ---------------------------------------------------------------

void AVG_ShowMessage(const char* text) {
  // The text is message markup, never a format: '%' stays as written.
  TXT_SetSlot(AVG_TXT_MESSAGE, LAYER_MESSAGE, 24, 1, "%s", text);
  TXT_SetAlpha(AVG_TXT_MESSAGE, -1);
  TXT_SetShadow(AVG_TXT_MESSAGE, 2);
  TXT_SetReveal(AVG_TXT_MESSAGE, 0);
  TXT_SetBox(AVG_TXT_MESSAGE, 8, 352, 25, 4);
  TXT_SetSpacing(AVG_TXT_MESSAGE, 0, 8);
  g_scene.shown = 1;
  const char* shown = g_texts[AVG_TXT_MESSAGE].text ? g_texts[AVG_TXT_MESSAGE].text : "";
  // The widest line alone ends the reveal half-way through a message of
  // several lines (or before its pauses), and the rest pops in at once: the
  // reveal runs at least as far as the window's layout of the whole message
  // takes, and 16 units more so that its last character fades in fully.
  const TextRecord& r = g_texts[AVG_TXT_MESSAGE];
  const int laidOut = TXT_Draw({.x = r.x,
                                .y = r.y,
                                .width = r.width,
                                .lines = r.lines,
                                .charSpacing = r.charSpacing,
                                .lineSpacing = r.lineSpacing,
                                .size = r.size,
                                .text = shown,
                                .page = r.page,
                                .measure = 1});
  const int width = TXT_GetWidth(shown);
  g_scene.revealTarget = laidOut + 16 > width ? laidOut + 16 : width;
  g_scene.revealPos = 0;
  g_scene.revealing = 1;
  AVG_ShowWindow(1);
}

int AVG_MessageStep() {
  if (g_act.skip) return 256;
  int step;
  switch (g_cfg.msgWait) {
    case 1:
      step = 240 / kFps;
      break;
    case 2:
      step = 120 / kFps;
      break;
    case 3:
      step = 60 / kFps;
      break;
    default:
      step = 256;
      break;
  }
  return step < 1 ? 1 : step;
}

void AVG_UpdateMessage() {
  if (g_scene.revealing) {
    if (g_scene.revealPos >= g_scene.revealTarget || g_act.decide || g_act.skip) {
      g_scene.revealing = 0;
      TXT_SetReveal(AVG_TXT_MESSAGE, -1);
    } else {
      g_scene.revealPos += AVG_MessageStep();
      // The record holds 16 bits; anything past the target shows the same.
      const int shown = g_scene.revealPos > 32767 ? 32767 : g_scene.revealPos;
      TXT_SetReveal(AVG_TXT_MESSAGE, shown);
    }
    return;
  }
  if (g_act.cancel || g_act.enter) AVG_ShowWindow(!g_scene.windowVisible);
}

int AVG_MessageDone() {
  return !g_scene.revealing && (g_act.decide || g_act.skip) && g_scene.windowVisible;
}

void AVG_ShowWindow(int on) {
  g_scene.windowVisible = on ? 1 : 0;
  SPR_Show(AVG_SPR_WINDOW, g_scene.windowVisible);
  TXT_ShowSlot(AVG_TXT_MESSAGE, g_scene.windowVisible);
}

// --- Pictures ---------------------------------------------------------------

int AVG_ScaledFrames(int t) {
  if (g_act.skip) return 0;
  const int64_t s = t == -1 ? 30 : (t == -2 ? 60 : t);
  const int64_t v = s * Speed() / 2 * kFps / 60;
  return v < 0 ? 0 : (v > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(v));
}

void AVG_SetBG(int number, int effect, int duration) {
  g_scene.transEffect = effect;
  g_scene.transDuration = duration;
  LoadPicture("g%04d.BMP", number, duration);
}

void AVG_SetCG(int number, int effect, int duration) {
  for (int i = 0; i < EVENT_PICTURE_MAX && g_eventPictures[i] != -1; ++i) {
    if (g_eventPictures[i] == number && i < static_cast<int>(sizeof g_cfg.cg)) g_cfg.cg[i] = 1;
  }
  g_scene.transEffect = effect;
  g_scene.transDuration = duration;
  if (duration != 0) IMG_LoadBMP(AVG_IMG_PATTERN, FMT_B, "ptf0000.bmp");
  LoadPicture("v%04d.BMP", number, duration);
}

void AVG_UpdateTransition() {
  if (!g_scene.transRunning) return;
  ++g_scene.transCounter;
  const int L = AVG_ScaledFrames(g_scene.transDuration);
  g_scene.transLength = L;
  const int n = g_scene.transCounter;
  if (n >= L) {
    EndTransition();
    return;
  }
  // Long transitions count far enough that the products need 64 bits.
  const int P = static_cast<int>(static_cast<int64_t>(n) * 256 / L);
  switch (g_scene.transEffect) {
    case 0: {
      const int h = L / 2;
      if (h == 0) break;
      const int c = static_cast<int>(static_cast<int64_t>(n) * 128 / h);
      if (c < 128) {
        SPR_Show(AVG_SPR_PICTURE, 1);
        SPR_SetBright(AVG_SPR_PICTURE, 128 - c);
        SPR_Show(AVG_SPR_INCOMING, 0);
      } else {
        SPR_Show(AVG_SPR_PICTURE, 0);
        SPR_Show(AVG_SPR_INCOMING, 1);
        SPR_SetBright(AVG_SPR_INCOMING, c - 128 > 128 ? 128 : c - 128);
      }
      break;
    }
    case 2:
      // A wipe needs a pattern; without one the pictures cross-fade.
      if (SlotHasPicture(AVG_IMG_PATTERN) && g_slots[AVG_IMG_PATTERN].format == FMT_B) {
        SPR_Show(AVG_SPR_INCOMING, 1);
        SPR_SetBlend(AVG_SPR_INCOMING, BLT_MODE_COPY);
        SPR_SetSecond(AVG_SPR_INCOMING, AVG_IMG_PATTERN, P);
        break;
      }
      [[fallthrough]];
    case 1:
      SPR_Show(AVG_SPR_INCOMING, 1);
      SPR_SetBlend(AVG_SPR_INCOMING, BLT_Mode(BLT_MODE_FADE, P));
      break;
    default:
      break;  // no such effect: the new picture appears at the end
  }
}

int AVG_TransitionDone() {
  return !g_scene.transRunning;
}

// --- Choices ----------------------------------------------------------------

void AVG_AddChoice(const char* text) {
  if (g_scene.choiceCount >= AVG_CHOICES) {
    MSG_Error(nullptr, "%s", kTooManyChoices);
    return;
  }
  CopyText(g_scene.choices[g_scene.choiceCount], text ? text : "", AVG_CHOICE_TEXT);
  ++g_scene.choiceCount;
}

void AVG_OpenChoices() {
  const int n = g_scene.choiceCount;
  g_scene.choicesOpen = 1;
  g_scene.lastHovered = -1;
  const int middle = 232, bottom = middle + 28 * n;
  SPR_Clear(AVG_SPR_FRAME_TOP);
  SPR_SetFill(AVG_SPR_FRAME_TOP, SPR_KIND_GRADIENT, 0, LAYER_CHOICE_FRAME, 1);
  SPR_SetPosSize(AVG_SPR_FRAME_TOP, 100, 200, 600, 32);
  SPR_SetGradient(AVG_SPR_FRAME_TOP, 0, 200, 128, 128, 128);
  SPR_SetGradient(AVG_SPR_FRAME_TOP, 1, middle - 1, 64, 64, 64);
  SPR_Clear(AVG_SPR_FRAME_MIDDLE);
  SPR_SetFill(AVG_SPR_FRAME_MIDDLE, SPR_KIND_FILL, 0, LAYER_CHOICE_FRAME, 1);
  SPR_SetPosSize(AVG_SPR_FRAME_MIDDLE, 100, middle, 600, 28 * n);
  SPR_SetColour(AVG_SPR_FRAME_MIDDLE, 64, 64, 64);
  SPR_Clear(AVG_SPR_FRAME_BOTTOM);
  SPR_SetFill(AVG_SPR_FRAME_BOTTOM, SPR_KIND_GRADIENT, 0, LAYER_CHOICE_FRAME, 1);
  SPR_SetPosSize(AVG_SPR_FRAME_BOTTOM, 100, bottom, 600, 32);
  SPR_SetGradient(AVG_SPR_FRAME_BOTTOM, 0, bottom, 64, 64, 64);
  SPR_SetGradient(AVG_SPR_FRAME_BOTTOM, 1, bottom + 31, 128, 128, 128);
  SPR_Clear(AVG_SPR_HIGHLIGHT);
  SPR_SetFill(AVG_SPR_HIGHLIGHT, SPR_KIND_FILL, 0, LAYER_CHOICE_BAR, 0);
  SPR_SetPosSize(AVG_SPR_HIGHLIGHT, 106, middle, 588, 28);
  SPR_SetColour(AVG_SPR_HIGHLIGHT, 64, 144, 192);
  for (int i = 0; i < n; ++i) {
    const int y = middle + 28 * i;
    TXT_SetSlot(AVG_TXT_CHOICE0 + i, LAYER_CHOICE_TEXT, 28, 1, "%s", g_scene.choices[i]);
    TXT_SetBox(AVG_TXT_CHOICE0 + i, 106, y, 21, 1);
    MOUSE_SetZone(AVG_ZONE_GROUP, i, 106, y, 588, 28, 1);
  }
  MOUSE_SelectGroup(AVG_ZONE_GROUP);
}

int AVG_PollChoice() {
  if (!g_scene.choicesOpen) return -1;
  int r = MOUSE_ZoneUnderCursorInGroup(-1, AVG_ZONE_GROUP);
  // The arrow keys move the cursor onto the next line, as on the title menu.
  if (g_act.up || g_act.down) {
    int p = r < 0 ? 0 : r + (g_act.down ? 1 : -1);
    if (p < 0) p = 0;
    if (p >= g_scene.choiceCount) p = g_scene.choiceCount - 1;
    MOUSE_MoveToZone(AVG_ZONE_GROUP, p);
    r = p;
  }
  SPR_Show(AVG_SPR_HIGHLIGHT, 0);
  if (r >= 0) {
    if (r != g_scene.lastHovered) SND_PlaySE(SE_CURSOR, 0, 255);
    SPR_Move(AVG_SPR_HIGHLIGHT, 106, 232 + 28 * r);
    SPR_Show(AVG_SPR_HIGHLIGHT, 1);
    if (g_act.decide) {
      SND_PlaySE(SE_DECIDE, 0, 255);
      g_scene.choiceCount = 0;
      g_scene.choicesOpen = 0;
      g_scene.lastHovered = -1;
      std::memset(g_scene.choices, 0, sizeof g_scene.choices);
      MOUSE_DisableGroup(AVG_ZONE_GROUP);
      ShowChoiceSprites(0);
      return r;
    }
  }
  g_scene.lastHovered = r;
  return -1;
}

// --- The scene's frame --------------------------------------------------------

void AVG_RequestNextStage() {
  g_scene.nextStageRequest = 1;
}

int ADV_Update() {
  ACT_Update();
  SCR_Execute();
  BGM_Update();
  AVG_UpdateTransition();
  AVG_UpdateMessage();
  if (!g_scene.nextStageRequest) return MODE_SCENE;
  SPR_ClearAll();
  PLT_EnableMenuItem(CMD_NEXT_STAGE, 0);
  AVG_Reset();
  SCR_ResetProgress();
  return MODE_GAME;
}
