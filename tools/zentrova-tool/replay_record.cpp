// The records of a replay, shared with the browser build.
#include "zentrova-tool/replay_record.h"

#include <cstdio>

#include "common/clock.h"
#include "common/log.h"
#include "game/rank.h"
#include "script/script.h"
#include "shell/app.h"

void REC_JsonString(std::string& out, const char* s) {
  out += '"';
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
    unsigned char c = *p;
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04x", c);
      out += b;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

void REC_JsonInt(std::string& out, int64_t v) {
  out += std::to_string(v);
}

void REC_JsonInts(std::string& out, const int32_t* v, int n) {
  out += "[";
  for (int i = 0; i < n; ++i) {
    if (i) out += ", ";
    REC_JsonInt(out, v[i]);
  }
  out += "]";
}

void REC_JsonField(std::string& out, const char* key, int64_t v, bool first) {
  if (!first) out += ", ";
  REC_JsonString(out, key);
  out += ": ";
  REC_JsonInt(out, v);
}

uint64_t REC_FrameHash(const std::vector<uint8_t>& frame) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint8_t b : frame) {
    h ^= b;
    h *= 0x100000001b3ull;
  }
  return h;
}

std::string REC_TraceLine(uint64_t frame, int pc, const char* entry) {
  static const char digits[] = "0123456789abcdef";
  std::string line = "{";
  REC_JsonField(line, "frame", static_cast<int64_t>(frame), true);
  REC_JsonField(line, "script", g_script.number);
  REC_JsonField(line, "pc", pc);
  line += ", \"entry\": \"";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(entry); *p; ++p) {
    line += digits[*p >> 4];
    line += digits[*p & 15];
  }
  line += "\", \"vars\": ";
  REC_JsonInts(line, g_vars, SCR_VARS);
  line += "}\n";
  return line;
}

void REC_StateKey(std::string& j, const char* key) {
  if (j.size() > 2) j += ",\n";
  j += "  ";
  REC_JsonString(j, key);
  j += ": ";
}

std::string REC_StateBegin(bool quit, const std::vector<RecMessageBox>& boxes) {
  std::string j = "{\n";
  REC_StateKey(j, "frame");
  REC_JsonInt(j, static_cast<int64_t>(g_app.frameSteps));
  REC_StateKey(j, "loopState");
  REC_JsonInt(j, g_app.loopState);
  REC_StateKey(j, "gameMode");
  REC_JsonInt(j, g_app.gameMode);
  REC_StateKey(j, "debugMode");
  REC_JsonInt(j, g_app.debugMode);
  REC_StateKey(j, "drawnLastSecond");
  REC_JsonInt(j, g_clock.drawnLastSecond);
  REC_StateKey(j, "updatesLastSecond");
  REC_JsonInt(j, g_clock.updatesLastSecond);
  REC_StateKey(j, "framesDrawn");
  REC_JsonInt(j, static_cast<int64_t>(g_app.framesDrawn));
  REC_StateKey(j, "quit");
  j += quit ? "true" : "false";
  REC_StateKey(j, "savesDisabled");
  j += g_rank.savesDisabled ? "true" : "false";
  REC_StateKey(j, "log");
  j += "[";
  for (int i = 0; i < LOG_RecentCount(); ++i) {
    if (i) j += ", ";
    REC_JsonString(j, LOG_Recent(i));
  }
  j += "]";
  REC_StateKey(j, "messageBoxes");
  j += "[";
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (i) j += ", ";
    j += "{\"caption\": ";
    REC_JsonString(j, boxes[i].caption);
    j += ", \"text\": ";
    REC_JsonString(j, boxes[i].text);
    j += ", \"answer\": ";
    REC_JsonInt(j, boxes[i].answer);
    j += "}";
  }
  j += "]";
  return j;
}

void REC_StateEnd(std::string& j) {
  j += "\n}\n";
}
