// The web backend's services from the page: the player's storage, the input
// script of a replay, the window icon and cursor, opening addresses, and the
// single-instance lock (a tab is its own instance).
#include <emscripten.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/plt_cursor.h"
#include "platform/plt_file.h"
#include "platform/plt_instance.h"
#include "platform/plt_shell.h"
#include "platform/web/web.h"
#include "platform/web/web_backend.h"

EM_ASYNC_JS(int, zv_mount_storage, (), {
  return await new Promise(function(resolve) { ZV.mountStorage(resolve); });
});
EM_JS(void, zv_sync_storage, (), { ZV.syncStorage(); });
EM_JS(char*, zv_script_text, (), {
  var s = Module.replayScript;
  if (typeof s !== 'string') return 0;
  var n = lengthBytesUTF8(s) + 1;
  var p = _malloc(n);
  stringToUTF8(s, p, n);
  return p;
});
EM_JS(double, zv_replay_frames, (), {
  var n = Number(Module.replayFrames);
  return n > 0 ? n : 300;
});
EM_JS(void, zv_replay_done, (const char* trace, const char* state, const char* hashes), {
  Module.replayResult = {
    trace: UTF8ToString(trace), state: UTF8ToString(state), hashes: UTF8ToString(hashes)
  };
  if (Module.onReplayDone) Module.onReplayDone(Module.replayResult);
});
EM_JS(void, zv_publish, (double steps, int mode, int title), {
  Module.gameState = {frameSteps: steps, gameMode: mode, titleState: title};
});
EM_JS(int, zv_replay_wants, (double step), {
  return Module.replayHoldAt && Module.replayHoldAt.indexOf(step) >= 0 ? 1 : 0;
});
EM_ASYNC_JS(void, zv_replay_hold, (double step), {
  await new Promise(function(resolve) {
    Module.replayHeld = {step: step, release: resolve};
  });
  Module.replayHeld = null;
});
EM_JS(void, zv_publish_text, (const char* t), {
  var s = UTF8ToString(t);
  console.log(s);
  try {
    if (navigator.clipboard) navigator.clipboard.writeText(s).catch(function() {});
  } catch (e) {
  }
});
EM_JS(void, zv_set_cursor, (const uint8_t* rgba, int w, int h, int hx, int hy),
      { ZV.setCursor(rgba, w, h, hx, hy); });
EM_JS(void, zv_set_icon, (const uint8_t* rgba, int w, int h), { ZV.setIcon(rgba, w, h); });
EM_JS(int, zv_open, (const char* url), {
  var w = window.open(UTF8ToString(url), '_blank', 'noopener');
  return w || true ? 1 : 0;
});

namespace {

constexpr uint32_t kStorageIntervalMs = 1000;
constexpr int kMaxPicture = 256;

struct Page {
  bool scriptRead = false;
  char* script = nullptr;
  bool storage = false;
  uint32_t lastSync = 0;
  std::vector<uint8_t> icon;
  int iconW = 0, iconH = 0;
};

Page g_page;

}  // namespace

int WEB_MountStorage() {
  g_page.storage = zv_mount_storage() != 0;
  return g_page.storage ? 1 : 0;
}

void WEB_SyncStorage() {
  if (g_page.storage) zv_sync_storage();
}

void WEBB_StorageTick(uint32_t nowMs) {
  if (!g_page.storage || WEBB_Scripted() || nowMs - g_page.lastSync < kStorageIntervalMs) return;
  g_page.lastSync = nowMs;
  zv_sync_storage();
}

const char* WEB_ScriptText() {
  if (!g_page.scriptRead) {
    g_page.scriptRead = true;
    g_page.script = zv_script_text();
  }
  return g_page.script;
}

bool WEBB_Scripted() {
  return WEB_ScriptText() != nullptr;
}

void WEB_PublishState(uint64_t frameSteps, int gameMode, int titleState) {
  zv_publish(static_cast<double>(frameSteps), gameMode, titleState);
}

void WEB_ReplayStep(uint64_t step) {
  if (zv_replay_wants(static_cast<double>(step))) zv_replay_hold(static_cast<double>(step));
}

uint64_t WEB_ReplayFrames() {
  return static_cast<uint64_t>(zv_replay_frames());
}

void WEB_ReplayDone(const char* tracePath, const char* statePath, const char* hashPath) {
  zv_replay_done(tracePath, statePath, hashPath);
}

bool WEBB_WindowIcon(const uint8_t** rgba, int* w, int* h) {
  if (g_page.icon.empty()) return false;
  *rgba = g_page.icon.data();
  *w = g_page.iconW;
  *h = g_page.iconH;
  return true;
}

void PLT_SetWindowIconRgba(const uint8_t* rgba, int w, int h) {
  if (!rgba || w <= 0 || h <= 0 || w > kMaxPicture || h > kMaxPicture) return;
  g_page.icon.assign(rgba, rgba + static_cast<size_t>(w) * h * 4);
  g_page.iconW = w;
  g_page.iconH = h;
  zv_set_icon(g_page.icon.data(), w, h);
}

void PLT_SetCursorRgba(const uint8_t* rgba, int w, int h, int hotX, int hotY) {
  if (!rgba || w <= 0 || h <= 0 || w > kMaxPicture || h > kMaxPicture) return;
  hotX = hotX < 0 ? 0 : (hotX >= w ? w - 1 : hotX);
  hotY = hotY < 0 ? 0 : (hotY >= h ? h - 1 : hotY);
  zv_set_cursor(rgba, w, h, hotX, hotY);
}

// Addresses open in a new tab; the game's own files (the manual) are served
// with the page, under data/.
int PLT_ShellOpen(const char* target) {
  if (!target || !*target) return 0;
  if (WEBB_Scripted()) return 1;
  std::string url = target;
  if (!std::strstr(target, "://") && std::strncmp(target, "mailto:", 7) != 0) {
    std::string path = PLT_ResolvePath(target);
    if (path.empty()) return 0;
    if (path.rfind("/data/", 0) == 0) path.erase(0, 6);
    url = "data/" + path;
  }
  return zv_open(url.c_str());
}

// Text for the player to take away (a replay's line): the console and the
// clipboard, when the browser lets the page write it.
void PLT_PublishText(const char* utf8) {
  if (utf8) zv_publish_text(utf8);
}

int PLT_AcquireInstanceLock(const char*) {
  return 1;
}
const char* PLT_InstanceLockForeignPath() {
  return "";
}
int PLT_InstanceLockHeld(const char*) {
  return 0;
}
void PLT_ReleaseInstanceLock() {}
