// The application shell: start-up, the window procedure, the message loop,
// the frame clock and the frame step.
#include "shell/app.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "blit/blit.h"
#include "common/config.h"
#include "common/cpuinfo.h"
#include "common/key.h"
#include "common/log.h"
#include "common/mouse.h"
#include "common/msg.h"
#include "common/pad.h"
#include "common/reg.h"
#include "common/rng.h"
#include "game/game_mode.h"
#include "game/rank.h"
#include "gfx/image.h"
#include "gfx/render.h"
#include "gfx/sprite.h"
#include "platform/plt_clock.h"
#include "platform/plt_cursor.h"
#include "platform/plt_display.h"
#include "platform/plt_file.h"
#include "platform/plt_glyph.h"
#include "platform/plt_instance.h"
#include "platform/plt_png.h"
#include "platform/plt_registry.h"
#include "platform/plt_shell.h"
#include "platform/plt_sound.h"
#include "platform/plt_types.h"
#include "resources/resources.h"
#include "script/readmark.h"
#include "script/scene.h"
#include "shell/commands.h"
#include "shell/display.h"
#include "sound/bgm.h"
#include "sound/sound.h"
#include "sound/stream.h"
#include "text/font.h"
#include "text/text.h"

const char* const APP_TITLE = "Zentrova";
const char* const APP_INSTANCE_LOCK = "ZENTROVA_MAIN";

AppShell g_app;
AppOptions g_appOptions = {1, 1};

namespace {

std::string ForeignLockText() {
  std::string t = "起動を確かめるファイルが他のユーザーのものです。削除してから起動してください。[";
  return t.append(PLT_InstanceLockForeignPath()).append("]");
}

void GameStartup() {
  IMG_LoadDebugFont();
  SPR_ClearAll();
  FNT_CreateCanvas();
  int bpp, w, h;
  PLT_GetDesktopMode(&bpp, &w, &h);
  if (w == SCREEN_W) {
    g_cfg.screen = 1;
    PLT_SendMessage(PLT_MSG_COMMAND, CMD_FULLSCREEN, 0);
  } else if (g_cfg.screen == 1) {
    PLT_SendMessage(PLT_MSG_COMMAND, CMD_FULLSCREEN, 0);
  }
  MOUSE_SetExclusive(1);
  CMD_InitMenu();
}

void GameTerminate() {
  FNT_DeleteCanvas();
  SPR_ClearAll();
  DSP_FreePalette();
  IMG_ReleaseDebugFont();
  PLT_DestroyWindow();
}

// F12 writes the picture on show as PNG into the pictures folder and says so
// over the picture for a second (g_app.shotNotice).

void TakeScreenshot() {
  char dir[1024];
  if (!PLT_PicturesDir("Zentrova", dir, sizeof dir) || !g_back.frame.pixels) return;
  const FImage& f = g_back.frame;
  std::vector<uint8_t> shown(f.pixels, f.pixels + static_cast<size_t>(f.width) * f.height * 3);
  if (g_display.displayDepth == 8 && g_back.indexed.pixels) {
    for (size_t i = 0; i < shown.size() / 3; ++i) {
      const uint8_t* e = g_back.indexed.palette + g_back.indexed.pixels[i] * 4;
      shown[i * 3] = e[0];
      shown[i * 3 + 1] = e[1];
      shown[i * 3 + 2] = e[2];
    }
  }
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  std::string path;
  for (int n = 0; n < 100; ++n) {
    path.assign(dir).append("/zentrova-").append(stamp);
    if (n) path.append("-").append(std::to_string(n));
    path.append(".png");
    if (!PLT_FileExists(path.c_str())) break;
  }
  if (PLT_WritePng(path.c_str(), shown.data(), f.width, f.height)) {
    LOG_Write("screenshot %s\n", path.c_str());
    g_app.shotNotice = 30;
  }
}

// The notice in the game's own letters, over the picture's lower left.
void DrawShotNotice() {
  char sjis[64];
  PLT_Utf8ToSjis("スクリーンショットを保存しました", sjis, sizeof sjis);
  TXT_Draw({.target = &g_back.frame,
            .x = 8,
            .y = SCREEN_H - 26,
            .width = 32,
            .lines = 1,
            .size = 16,
            .text = sjis,
            .alpha = 256,
            .shadow = 1});
}

void DrawDebugOverlay() {
  char line[32];
  IMG_DrawDebugText(&g_back.frame, 8, 8, "DEBUG MODE!");
  std::snprintf(line, sizeof line, "%-3d:%-3d", g_clock.drawnLastSecond, g_clock.updatesLastSecond);
  IMG_DrawDebugText(&g_back.frame, 8, 16, line);
}

void RenderAndPresent() {
  const bool rendered = g_app.loopState == LOOP_RUNNING;
  if (rendered) RND_Frame(&g_back.frame, 24);
  if (g_app.debugMode) DrawDebugOverlay();
  if (g_app.shotNotice > 0) DrawShotNotice();
  if (g_app.debugMode || g_app.shotNotice > 0) {
    // Drawn over the frame: the next one is drawn whole again.
    RND_Invalidate();
  } else if (rendered) {
    const ClipBox* parts;
    const int count = RND_ChangedParts(&parts);
    IMG_SetPresentParts(parts, count);
  }
  if (g_display.displayDepth == 8) DRW_ChangeBMP_F2B(&g_back.indexed, &g_back.frame);
  ++g_app.framesDrawn;
  PLT_SendMessage(PLT_MSG_PAINT, 0, 0);
}

// Keeps the window on the work area.
void PlaceWindow(int x, int y) {
  int workW, workH;
  PLT_GetWorkArea(&workW, &workH);
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  if (x > workW - SCREEN_W) x = workW - SCREEN_W;
  if (y > workH - SCREEN_H) y = workH - SCREEN_H;
  PLT_SetWindowPos(x, y);
}

int ReadPos(const char* name) {
  int32_t v = 0;
  REG_SetKey(REG_KEY_MAIN);
  if (REG_ReadDword(name, &v) != 0) {
    v = 0;
    REG_WriteDword(name, 0);
  }
  return v;
}

// The icon (resource 109) and the cursor (resource 113) are pictures in the
// data directory; without them the desktop's own are used.
void LoadIconAndCursor() {
  struct {
    const char* path;
    bool cursor;
  } const pics[] = {{"res\\icon.png", false}, {"res\\cursor.png", true}};
  for (const auto& pic : pics) {
    uint8_t* bgra = nullptr;
    int w = 0, h = 0;
    if (!PLT_ReadPng(PLT_ResolvePath(pic.path).c_str(), &bgra, &w, &h)) continue;
    for (int i = 0; i < w * h; ++i) std::swap(bgra[4 * i], bgra[4 * i + 2]);
    if (pic.cursor) {
      PLT_SetCursorRgba(bgra, w, h, 11, 11);  // the tip of the scoop
    } else {
      PLT_SetWindowIconRgba(bgra, w, h);
    }
    delete[] bgra;
  }
}

}  // namespace

void APP_ApplyMix() {
  SND_ApplyMix(g_cfg.muteUnfocused && !g_app.active);
}

void APP_RequestEnd() {
  LOG_Write("end\n");
  g_app.endRequested = 1;
}

int APP_IsEnding() {
  return g_app.endRequested;
}
void APP_ResetForTests() {
  g_app = AppShell{};
  g_app.className = APP_TITLE;
  g_app.gameMode = MODE_GAME;
  CLK_Reset();
  DSP_Reset();
}

int64_t APP_WndProc(const PltMsg& msg) {
  switch (msg.type) {
    case PLT_MSG_CREATE:
      return 0;
    case PLT_MSG_DESTROY:
      PLT_PostQuit(0);
      return 0;
    case PLT_MSG_ACTIVATE:
      g_app.active = static_cast<int32_t>(msg.wparam & 0xFFFF);
      if (g_cfg.muteUnfocused) APP_ApplyMix();
      return 0;
    case PLT_MSG_PAINT:
      IMG_Present();
      return 0;
    case PLT_MSG_CLOSE:
      MOUSE_RequestFlush();
      CMD_Execute(CMD_QUIT);
      return 0;
    case PLT_MSG_ENDSESSION:
      // The desktop is logging out or the process was asked to end: nobody
      // is there to answer a question, so end through the normal shutdown.
      if (!g_app.endRequested) APP_RequestEnd();
      return 0;
    case PLT_MSG_KEYDOWN:
      if (msg.wparam == PLT_VK_ESCAPE && g_app.debugMode) CMD_Execute(CMD_QUIT);
      return 0;
    case PLT_MSG_DISPLAYCHANGE:
      DSP_DisplayChange(static_cast<int>(msg.wparam), static_cast<int>(msg.lparam & 0xFFFF),
                        static_cast<int>((msg.lparam >> 16) & 0xFFFF));
      return 0;
    case PLT_MSG_MOUSEMOVE:
      if (g_cfg.screen == 1 && PLT_IsFullScreen()) {
        DSP_MouseMove(static_cast<int16_t>(msg.lparam & 0xFFFF),
                      static_cast<int16_t>((msg.lparam >> 16) & 0xFFFF));
      }
      return 0;
    case PLT_MSG_GETMINMAXINFO:
      if (msg.lparam) DSP_SizeQuery(reinterpret_cast<PltMinMaxInfo*>(msg.lparam));
      return 0;
    case PLT_MSG_WINDOWED:
      // The window is back already; the setting and the menu follow it.
      if (g_cfg.screen == 1) CMD_Execute(CMD_WINDOW);
      return 0;
    case PLT_MSG_MINIMIZED:
      // Nobody hears a minimised game: music and effects wait where they are.
      PLT_SoundPause(msg.wparam != 0);
      LOG_Write(msg.wparam ? "window minimised: sound paused\n"
                           : "window restored: sound resumed\n");
      return 0;
    case PLT_MSG_COMMAND:
      MOUSE_RequestFlush();
      CMD_Execute(static_cast<int>(msg.wparam));
      return 0;
    default:
      return 0;
  }
}

void APP_FrameStep() {
  KEY_Poll(g_app.active);
  PAD_Poll(g_app.active);
  MOUSE_Poll(g_app.active);
  ++g_app.frameSteps;
  if (g_app.loopState == LOOP_STARTING) {
    GameStartup();
    g_app.nextLoopState = LOOP_RUNNING;
    return;
  }
  if (g_app.loopState == LOOP_ENDING) {
    LOG_Write("main_term\n");
    GameTerminate();
    return;
  }
  if (g_keys.pressed[KEY_F1 + 11]) TakeScreenshot();
  if (g_app.shotNotice > 0) --g_app.shotNotice;
  if (!g_app.debugMode && KEY_Typed("fps")) {
    g_app.debugMode = 1;
  } else if (g_app.debugMode && g_keys.pressed[KEY_A + ('d' - 'a')]) {
    g_app.debugMode = 0;
  }
  AVG_SetDebugMode(g_app.debugMode);
  if (g_app.gameMode == MODE_GAME) {
    g_app.gameMode = GAME_Update();
  } else if (g_app.gameMode == MODE_SCENE) {
    g_app.gameMode = ADV_Update();
  }
  g_app.nextLoopState = g_app.endRequested ? LOOP_ENDING : LOOP_RUNNING;
}

void APP_FrameClock() {
  FrameClock& c = g_clock;
  c.now = PLT_TimeMs();
  if (c.secondStart == 0) c.secondStart = c.now;
  if (c.deadline == 0) {
    c.deadline = c.now;
  } else if (static_cast<int32_t>(c.now - c.deadline) < 0) {
    PLT_Sleep(c.deadline - c.now);
    return;
  }
  uint32_t late = c.now - c.deadline;
  if (c.resync == 2) c.resync = 0;
  c.deadline += 33;
  if (c.now - c.secondStart >= 1000) {
    c.drawnLastSecond = c.drawnThisSecond;
    c.updatesLastSecond = c.updatesThisSecond;
    c.secondStart = c.now;
    c.drawnThisSecond = c.updatesThisSecond = 0;
  }
  APP_FrameStep();
  ++c.updatesThisSecond;
  if (c.resync != 0) {
    c.resync = 2;
    c.skipCount = 0;
    late = 0;
    c.deadline = PLT_TimeMs() + 33;
  }
  if (c.skipCount > 0) {
    --c.skipCount;
  } else {
    int skip = static_cast<int>(static_cast<uint64_t>(late) * 30 / 1000);
    c.skipCount = skip > 10 ? 10 : skip;
    if (static_cast<int32_t>(c.deadline + 500 - c.now) < 0) c.deadline = c.now + 33;
    ++c.drawnThisSecond;
    RenderAndPresent();
  }
  g_app.loopState = g_app.nextLoopState;
  PLT_Sleep(0);
}

int APP_Start() {
  if (g_appOptions.singleInstance) {
    const int lock = PLT_AcquireInstanceLock(APP_INSTANCE_LOCK);
    if (lock == PLT_LOCK_FOREIGN) {
      // Not another copy of ours: someone else's file blocks every copy,
      // and the player must hear why the game does not start.
      std::fprintf(stderr,
                   "zentrova: the lock file %s belongs to another user; remove it to start\n",
                   PLT_InstanceLockForeignPath());
      MSG_Error(nullptr, "%s", ForeignLockText().c_str());
      g_app.quitCode = 1;
      return 0;
    }
    if (lock == 0) return 0;
  }
  APP_ResetForTests();
  // Saves cut short by a killed process leave their temporaries behind.
  PLT_RemoveStaleTemps(RANK_FILE);
  PLT_RemoveStaleTemps(READ_FILE);
  PLT_RemoveStaleTemps(PLT_RegStorePath());
  CPU_Identify(g_appOptions.measureCpuClock);

  RNG_Seed(PLT_TimeMs());
  CFG_Defaults();
  CFG_Load();
  IMG_SetDir("grp");
  SND_SetSEDir("wav");
  STRM_SetDir("bgm");
  IMG_InitTables(SCREEN_W, SCREEN_H);
  LOG_Write("pixel loops: level %d, %s\n", BLT_GetVectorLevel(), BLT_VectorPathsName());
  MOUSE_Init(SCREEN_W, SCREEN_H);
  LoadIconAndCursor();
  if (!PLT_CreateWindow(g_app.className, SCREEN_W, SCREEN_H, &g_menuMain, APP_WndProc)) {
    // Without a window the game would run unseen, with no way to play or
    // close it (started with no display, say).
    std::fprintf(stderr, "zentrova: no window could be opened; is there a display?\n");
    LOG_Write("no window\n");
    PLT_ReleaseInstanceLock();
    g_app.quitCode = 1;
    return 0;
  }
  int x = ReadPos("pos_x");
  int y = ReadPos("pos_y");
  PlaceWindow(x, y);
  DSP_Setup(24);
  SND_Init(nullptr);
  APP_ApplyMix();

  PLT_TimeBeginPeriod(1);
  PLT_ShowWindow();
  return 1;
}

int APP_RunOnce() {
  if (g_app.quit) return 0;
  PltMsg msg;
  if (PLT_PeekMessage(&msg)) {
    PLT_GetMessage(&msg);
    if (msg.type == PLT_MSG_QUIT) {
      g_app.quit = true;
      g_app.quitCode = static_cast<int>(msg.wparam);
      return 0;
    }
    PLT_DispatchMessage(msg);
    return 1;
  }
  APP_FrameClock();
  return 1;
}

int APP_Shutdown() {
  int x, y;
  PLT_GetWindowPos(&x, &y);
  // The window position and the settings go in one write of the store.
  PLT_RegBeginBatch();
  REG_SetKey(REG_KEY_MAIN);
  REG_WriteDword("pos_x", static_cast<uint32_t>(x));
  REG_WriteDword("pos_y", static_cast<uint32_t>(y));
  CFG_Save();  // inside the batch: written by the commit below
  if (PLT_RegCommit() != PLT_REG_OK) CFG_SaveFailed();
  READ_Save();
  IMG_FreeBackBuffer();
  IMG_FreeAll();
  SND_Release();
  PLT_TimeEndPeriod(1);
  CPU_Finish();
  PLT_ReleaseInstanceLock();
  return g_app.quitCode;
}

int APP_Main() {
  if (!APP_Start()) return g_app.quitCode;
  while (APP_RunOnce()) {
  }
  return APP_Shutdown();
}
