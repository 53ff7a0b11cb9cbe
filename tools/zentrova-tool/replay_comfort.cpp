// Replay extension for the player's comforts: the history, auto mode,
// skipping, the volumes, the text hook and the game controller ("comfort").
#include "common/config.h"
#include "common/pad.h"
#include "script/history.h"
#include "zentrova-tool/replay_ext.h"

namespace {

void Bool(std::string& out, const char* key, bool v) {
  out += ", \"";
  out += key;
  out += "\": ";
  out += v ? "true" : "false";
}

void Int(std::string& out, const char* key, int64_t v) {
  out += ", \"";
  out += key;
  out += "\": ";
  REC_JsonInt(out, v);
}

void ComfortJson(std::string& out) {
  out += "{\"historyOpen\": ";
  out += HIS_IsOpen() ? "true" : "false";
  Int(out, "historyCount", HIS_Count());
  Int(out, "auto", g_cfg.autoSpeed);
  Bool(out, "skipReadOnly", g_cfg.skipReadOnly != 0);
  Int(out, "volMusic", g_cfg.volBgm);
  Int(out, "volSe", g_cfg.volSe);
  Bool(out, "muteUnfocused", g_cfg.muteUnfocused != 0);
  Bool(out, "textHook", g_cfg.textHook != 0);
  Bool(out, "padConnected", g_pad.connected != 0);
  Bool(out, "waitMark", g_cfg.waitMark != 0);
  out += "}";
}

}  // namespace

ZV_REPLAY_EXTENSION(comfort, "comfort", nullptr, nullptr, nullptr, nullptr, nullptr, ComfortJson,
                    nullptr);
