// Script loader and argument tokenizer.
#include "script/script.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/log.h"
#include "common/resource.h"

ScriptState g_script;
ScriptArg g_args[SCR_MAX_ARGS];
int32_t g_vars[SCR_VARS];

namespace {

const char kTooMany[] = "最大コマンド数を超えています。スクリプトをファイル分けしてください。";

void FreeScript() {
  std::free(g_script.buffer);
  g_script = ScriptState{};
}

enum ScanState { IDLE, TEXT, COMMAND };

struct Writer {
  char* out;
  int32_t pos;
  int32_t cap;  // one byte is always left for the final NUL
  void Put(char c) {
    if (pos < cap - 1) out[pos++] = c;
  }
};

void BeginEntry(const Writer& w, int line) {
  if (g_script.count < SCR_MAX_ENTRIES) {
    g_script.lines[g_script.count] = line;
    g_script.entries[g_script.count++] = w.out + w.pos;
  } else {
    // The table is full: the entry's bytes still go into the buffer but
    // nothing can reach them.
    ++g_script.dropped;
  }
}

}  // namespace

int32_t SCR_ToInt(const char* s) {
  const char* p = s;
  bool negative = false;
  if (*p == '-') {
    negative = true;
    ++p;
  }
  if (*p == 0) return 0;
  int64_t v = 0;
  for (; *p; ++p) {
    if (*p < '0' || *p > '9') return 0;
    if (v <= 0x80000000ll) v = v * 10 + (*p - '0');
  }
  if (negative) v = -v;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int SCR_LoadData(int number, const uint8_t* data, int length) {
  FreeScript();
  g_script.number = number;
  g_script.loaded = 1;
  if (!data || length <= 0) return 0;
  // Every input byte gives at most two output bytes ('#' and '@' write a NUL
  // before themselves), so twice the length always fits; a fixed margin over
  // the length would not for a file of many short commands.
  const int64_t cap64 = static_cast<int64_t>(length) * 2 + 2;
  if (cap64 > INT32_MAX) return 0;
  Writer w{static_cast<char*>(std::calloc(static_cast<size_t>(cap64), 1)), 0,
           static_cast<int32_t>(cap64)};
  if (!w.out) return 0;
  g_script.buffer = w.out;
  g_script.bufferSize = w.cap;
  bool warned = false;
  ScanState state = IDLE;
  int i = 0;
  int line = 1;
  while (i < length) {
    const uint8_t c = data[i];
    if (SCR_IsLead(c)) {
      if (state == IDLE) {
        BeginEntry(w, line);
        state = TEXT;
      }
      w.Put(static_cast<char>(c));
      // A lead byte at the very end has no partner to copy.
      if (i + 1 < length) w.Put(static_cast<char>(data[i + 1]));
      i += 2;
      continue;
    }
    if (c == '\t' || c == '\r' || c == ' ') {
      ++i;
      continue;
    }
    if (c == '\n') {
      ++line;
      if (state == TEXT) {
        w.Put('\n');
      } else if (state == COMMAND) {
        w.Put(0);
        state = IDLE;
      }
      ++i;
      continue;
    }
    if (c == '#' || c == '@') {
      w.Put(0);
      BeginEntry(w, line);
      w.Put(static_cast<char>(c));
      state = COMMAND;
      if (g_script.count + g_script.dropped >= SCR_MAX_ENTRIES && !warned) {
        warned = true;
        MSG_Error(nullptr, "%s", kTooMany);
      }
      ++i;
      continue;
    }
    if (c == '/' && i + 1 < length && data[i + 1] == '/') {
      while (i < length && data[i] != '\n') ++i;
      if (i < length) {
        ++i;  // the LF ends the comment
        ++line;
      }
      if (state == COMMAND) {
        w.Put(0);
        state = IDLE;
      } else if (w.pos > 0 && w.out[w.pos - 1] != '\n') {
        w.Put('\n');
      }
      continue;
    }
    if (state == IDLE) {
      BeginEntry(w, line);
      state = TEXT;
    }
    w.Put(static_cast<char>(c));
    ++i;
  }
  return 1;
}

int SCR_Load(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "s%04d.txt", number);
  uint8_t* data = nullptr;
  const int length = RES_Load("SCR", name, &data);
  const int r = SCR_LoadData(number, data, length);
  RES_Free(data);
  return r;
}

int SCR_GetArgs(const char* text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : "");
  int n = 0;
  while (*p) {
    // Pieces past the sixteenth slot are read over and dropped.
    ScriptArg* a = n < SCR_MAX_ARGS ? &g_args[n] : nullptr;
    char piece[SCR_ARG_TEXT];
    int len = 0;
    bool first = true;
    while (*p && (first || *p != ',')) {
      first = false;
      const int width = (SCR_IsLead(*p) && p[1]) ? 2 : 1;
      // A piece longer than the slot keeps its first 1023 bytes, never half
      // a character.
      if (len + width < SCR_ARG_TEXT) {
        for (int k = 0; k < width; ++k) piece[len++] = static_cast<char>(p[k]);
      }
      p += width;
    }
    piece[len] = 0;
    if (*p == ',') ++p;
    if (a) {
      const char c = piece[0];
      if (c >= '0' && c <= '9') {
        a->kind = 0;
        a->number = SCR_ToInt(piece);
      } else if (c == 'N' || c == 'n') {
        a->kind = 0;
        // A reference to no variable reads 0.
        a->number = (piece[1] >= '0' && piece[1] <= '9') ? g_vars[piece[1] - '0'] : 0;
      } else {
        a->kind = 1;
        std::memcpy(a->text, piece, static_cast<size_t>(len) + 1);
      }
    }
    ++n;
  }
  if (n > SCR_MAX_ARGS) n = SCR_MAX_ARGS;
  for (int i = n; i < SCR_MAX_ARGS; ++i) {
    g_args[i].kind = 0;
    g_args[i].number = 0;
    g_args[i].text[0] = 0;
  }
  return n;
}

int SCR_Release() {
  FreeScript();
  std::memset(g_args, 0, sizeof g_args);
  std::memset(g_vars, 0, sizeof g_vars);
  return 1;
}
