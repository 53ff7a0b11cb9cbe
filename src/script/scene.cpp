// The story-scene runtime and the scene's frame (game mode 3).
#include "script/scene.h"

#include <cstdio>
#include <cstring>

#include "blit/blit.h"
#include "common/act.h"
#include "common/clock.h"
#include "common/cmd_ids.h"
#include "common/config.h"
#include "common/key.h"
#include "common/log.h"
#include "common/modes.h"
#include "common/mouse.h"
#include "common/msg.h"
#include "common/resource.h"
#include "common/se_ids.h"
#include "gfx/image.h"
#include "gfx/sprite.h"
#include "platform/plt_file.h"
#include "platform/plt_glyph.h"
#include "platform/plt_menu.h"
#include "platform/plt_shell.h"
#include "script/history.h"
#include "script/readmark.h"
#include "script/script.h"
#include "sound/bgm.h"
#include "sound/sound.h"
#include "text/text.h"

SceneState g_scene;
SceneOptions g_sceneOptions = {2, 0};
int32_t g_eventPictures[EVENT_PICTURE_MAX] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -1};

namespace {

// Layers: pictures below the window, the window below its text, the choices
// above everything else of the scene.
enum : int {
  LAYER_PICTURE = 0,
  LAYER_INCOMING = 1,
  LAYER_WINDOW = 10,
  LAYER_MESSAGE = 11,
  LAYER_WAIT_MARK = 12,
  LAYER_CHOICE_FRAME = 20,
  LAYER_CHOICE_BAR = 21,
  LAYER_CHOICE_TEXT = 22,
};

constexpr int kFps = 30;
// Auto mode's wait: a base and a share per byte of text, slow to fast.
constexpr int kAutoBase[4] = {0, 45, 30, 15};
constexpr int kAutoPerByte[4] = {0, 3, 2, 1};
const char kAutoSign[] = "AUTO";
// The click-wait mark: frames of kMarkSize square, each shown kMarkTicks frames.
constexpr int kMarkSize = 16, kMarkTicks = 3;
const char kMarkPicture[] = "wait00.bmp";
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
  // The incoming picture's pixels change owner: slot 1 is left empty.
  IMG_MoveSlot(AVG_IMG_PICTURE, AVG_IMG_INCOMING);
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

// The mark is an addition of this program: without its picture (a modder's
// data) there is none, and no warning either.
void LoadWaitMark() {
  PltFile* f = nullptr;
  g_scene.markLoaded = RES_OpenStream(IMG_GetDir(), kMarkPicture, &f) > 0 ? 1 : 0;
  if (f) PLT_FileClose(f);
  if (g_scene.markLoaded) g_scene.markLoaded = IMG_LoadBMP(AVG_IMG_WAIT_MARK, FMT_F, kMarkPicture) ? 1 : 0;
  if (!g_scene.markLoaded) return;
  SPR_SetImage(AVG_SPR_WAIT_MARK, AVG_IMG_WAIT_MARK, LAYER_WAIT_MARK, 0, -1);
  SPR_SetBlend(AVG_SPR_WAIT_MARK, BLT_MODE_ADD);
}

// Every frame: the mark shows while a fully shown message waits for the
// player, one frame of its picture after another, when the player asked for it.
void UpdateWaitMark() {
  if (!g_scene.markLoaded) return;
  const bool on = g_cfg.waitMark && g_interp.messageRunning && g_scene.shown && !g_scene.revealing &&
                  g_scene.windowVisible && !g_scene.choicesOpen;
  if (!on) {
    g_scene.markTicks = 0;
    SPR_Show(AVG_SPR_WAIT_MARK, 0);
    return;
  }
  int w = 0, h = 0;
  IMG_GetSize(AVG_IMG_WAIT_MARK, &w, &h);
  const int frames = w / kMarkSize > 0 ? w / kMarkSize : 1;
  const int frame = g_scene.markTicks / kMarkTicks % frames;
  ++g_scene.markTicks;
  SPR_SetView(AVG_SPR_WAIT_MARK, g_scene.markX, g_scene.markY, frame * kMarkSize, 0,
              kMarkSize, h < kMarkSize ? h : kMarkSize);
  SPR_Show(AVG_SPR_WAIT_MARK, 1);
}

// Where the mark goes: after the last character laid out, on its line.
void PlaceWaitMark() {
  const TextRecord& r = g_texts[AVG_TXT_MESSAGE];
  // Line breaks after the last character would put it at the start of an
  // empty line.
  static char text[TXT_BUFFER_SIZE];
  std::snprintf(text, sizeof text, "%s", r.text ? r.text : "");
  for (size_t n = std::strlen(text); n > 0;) {
    if (text[n - 1] == '\n' || text[n - 1] == ' ') {
      text[--n] = 0;
    } else if (n >= 2 && text[n - 2] == '\\' && (text[n - 1] == 'n' || text[n - 1] == 'k') &&
               (n < 3 || text[n - 3] != '\\')) {
      n -= 2;
      text[n] = 0;
    } else {
      break;
    }
  }
  int32_t ex = r.x, ey = r.y;
  TXT_Draw({.x = r.x,
            .y = r.y,
            .width = r.width,
            .lines = r.lines,
            .charSpacing = r.charSpacing,
            .lineSpacing = r.lineSpacing,
            .size = r.size,
            .text = text,
            .page = r.page,
            .measure = 1,
            .endX = &ex,
            .endY = &ey});
  // Kept on the screen whatever the message did.
  g_scene.markX = ex + 2 > 640 - kMarkSize ? 640 - kMarkSize : ex + 2;
  g_scene.markY = ey + (r.size - kMarkSize) / 2 + 2;
  if (g_scene.markY > 480 - kMarkSize) g_scene.markY = 480 - kMarkSize;
}

void ShowAutoSign() {
  if (!g_scene.active) return;
  const int on = g_cfg.autoSpeed > 0 && g_scene.windowVisible;
  if (on && !g_scene.autoSignMade) {
    TXT_SetSlot(AVG_TXT_AUTO, LAYER_MESSAGE, 16, 1, "%s", kAutoSign);
    TXT_SetShadow(AVG_TXT_AUTO, 1);
    TXT_SetBox(AVG_TXT_AUTO, 584, 328, 4, 1);
    g_scene.autoSignMade = 1;
  }
  if (g_scene.autoSignMade) TXT_ShowSlot(AVG_TXT_AUTO, on);
}

// Hands the message on show, without its markup, to the programs that read
// along (the "text_hook" setting).
void PublishMessage(const char* text) {
  static char plain[TXT_BUFFER_SIZE];
  static char utf8[TXT_BUFFER_SIZE * 3 / 2 + 4];
  TXT_PlainText(text, plain, sizeof plain);
  PLT_SjisToUtf8(plain, utf8, sizeof utf8);
  PLT_PublishText(utf8);
}

void MarkRead() {
  if (!g_scene.shown || g_scene.msgRead) return;
  READ_Mark(g_script.number, g_scene.msgHash);
  g_scene.msgRead = 1;
}

bool AnyKeyPressed() {
  for (int k = 0; k < KEY_COUNT; ++k) {
    // The function keys are the program's own (F12 takes a picture).
    if (k >= KEY_F1 && k < KEY_F1 + 12) continue;
    if (k != KEY_A && g_keys.pressed[k]) return true;
  }
  return false;
}

// The window and what goes with it step aside for the history, which draws
// the same message at the same place.
void ShowWindowParts(int on) {
  SPR_Show(AVG_SPR_WINDOW, on);
  TXT_ShowSlot(AVG_TXT_MESSAGE, on);
  if (g_scene.autoSignMade) TXT_ShowSlot(AVG_TXT_AUTO, on && g_cfg.autoSpeed > 0);
  if (g_scene.markLoaded && !on) SPR_Show(AVG_SPR_WAIT_MARK, 0);
}

// The history takes the frame's input while it is open; the wheel or Page Up
// opens it.
void HistoryInput() {
  if (HIS_IsOpen()) {
    for (int n = g_mouse.wheel; n > 0; --n) HIS_Older();
    for (int n = g_mouse.wheel; n < 0 && HIS_IsOpen(); ++n) HIS_Newer();
    if (g_act.up || g_act.pageUp) HIS_Older();
    if ((g_act.down || g_act.pageDown) && g_history.bottom > 0) HIS_Newer();
    if (MOUSE_PressedInside(1) || (g_keys.pressed[KEY_ESC] && !g_sceneOptions.debugMode))
      HIS_Close();
    if (!HIS_IsOpen()) ShowWindowParts(g_scene.windowVisible);
    ACT_Reset();  // the scene waits, and nothing of this frame reaches it
    return;
  }
  if ((g_mouse.wheel > 0 || g_act.pageUp) && HIS_Count() > 0) {
    HIS_Open();
    for (int n = g_mouse.wheel; n > 1; --n) HIS_Older();
    ShowWindowParts(0);
    ACT_Reset();
  }
}

// Auto mode's keys, and skipping held back at a message not seen before.
void ComfortInput() {
  HistoryInput();
  if (HIS_IsOpen()) return;
  if (g_keys.pressed[KEY_A]) {
    AVG_SetAuto(g_cfg.autoSpeed ? 0 : g_sceneOptions.lastAuto);
  } else if (g_cfg.autoSpeed && (g_act.decide || g_act.cancel || g_act.enter || AnyKeyPressed())) {
    // The click only ends auto mode.
    AVG_SetAuto(0);
    g_act.decide = g_act.cancel = g_act.enter = 0;
  }
  if (g_cfg.skipReadOnly && g_act.skip && g_scene.shown && !g_scene.msgRead) g_act.skip = 0;
}

}  // namespace

void AVG_SetAuto(int speed) {
  speed = speed < 0 ? 0 : speed > 3 ? 3 : speed;
  g_cfg.autoSpeed = speed;
  if (speed) g_sceneOptions.lastAuto = speed;
  g_scene.autoCounter = 0;
  for (int i = 0; i < 4; ++i) PLT_CheckMenuItem(CMD_AUTO0 + i, i == speed);
  ShowAutoSign();
}

void AVG_SetDebugMode(int on) {
  g_sceneOptions.debugMode = on ? 1 : 0;
}

int AVG_AutoDelay(int speed, int length) {
  if (speed < 1 || speed > 3) return 0;
  const int64_t d = kAutoBase[speed] + int64_t{kAutoPerByte[speed]} * (length < 0 ? 0 : length);
  return d > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(d);
}

void AVG_ResetOptions() {
  g_sceneOptions = SceneOptions{2, 0};
}

void AVG_Reset() {
  g_scene = SceneState{};
  g_scene.lastHovered = -1;
}

void AVG_StartScene() {
  SND_StopAll();
  AVG_Reset();
  HIS_Reset();
  READ_Load();
  g_scene.active = 1;
  if (g_cfg.autoSpeed) g_sceneOptions.lastAuto = g_cfg.autoSpeed;
  SCR_ResetProgress();
  IMG_LoadBMP(AVG_IMG_WINDOW, FMT_F, "win00.bmp");
  SPR_SetImage(AVG_SPR_WINDOW, AVG_IMG_WINDOW, LAYER_WINDOW, 0, -1);
  SPR_Move(AVG_SPR_WINDOW, 0, 320);
  SPR_SetBlend(AVG_SPR_WINDOW, BLT_MODE_SUB);
  LoadWaitMark();
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
  static char plain[TXT_BUFFER_SIZE];
  g_scene.msgLength = TXT_PlainText(shown, plain, sizeof plain);
  g_scene.msgHash = READ_Hash(shown);
  g_scene.msgRead = READ_IsRead(g_script.number, g_scene.msgHash);
  g_scene.autoCounter = 0;
  PlaceWaitMark();
  HIS_Add(shown);
  if (g_cfg.textHook) PublishMessage(shown);
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
  if (g_cfg.autoSpeed && g_scene.windowVisible && !g_scene.choicesOpen) ++g_scene.autoCounter;
}

int AVG_MessageDone() {
  const bool autoDone = g_cfg.autoSpeed && g_scene.shown &&
                        g_scene.autoCounter >= AVG_AutoDelay(g_cfg.autoSpeed, g_scene.msgLength);
  const int done =
      !g_scene.revealing && (g_act.decide || g_act.skip || autoDone) && g_scene.windowVisible;
  if (done) MarkRead();
  return done;
}

void AVG_ShowWindow(int on) {
  g_scene.windowVisible = on ? 1 : 0;
  SPR_Show(AVG_SPR_WINDOW, g_scene.windowVisible);
  TXT_ShowSlot(AVG_TXT_MESSAGE, g_scene.windowVisible);
  ShowAutoSign();
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
  ComfortInput();
  if (HIS_IsOpen()) {
    BGM_Update();  // the music plays on while the scene waits
  } else {
    SCR_Execute();
    BGM_Update();
    AVG_UpdateTransition();
    AVG_UpdateMessage();
    UpdateWaitMark();
  }
  if (!g_scene.nextStageRequest) return MODE_SCENE;
  READ_Save();
  HIS_Reset();
  SPR_ClearAll();
  PLT_EnableMenuItem(CMD_NEXT_STAGE, 0);
  AVG_Reset();
  SCR_ResetProgress();
  return MODE_GAME;
}
