// Story scripts: the loader, the argument tokenizer and the interpreter with
// its commands.
#include "script/script.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/act.h"
#include "common/config.h"
#include "common/log.h"
#include "common/msg.h"
#include "common/resource.h"
#include "script/scene.h"
#include "sound/bgm.h"
#include "sound/sound.h"

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

// --- The interpreter ------------------------------------------------------------

InterpState g_interp = {{}, 0, 0, 0, 0, 0, -1, -1, 0, 0, 0};
SCR_TraceHook g_scriptTrace = nullptr;

namespace {

enum Flow { GO_ON, YIELD };

// Frames per second of the frame clock that pauses are counted in.
constexpr int64_t kFps = 30;

int64_t Sixtieths(int t) {
  if (t == -1) return 30;
  if (t == -2) return 60;
  return t;
}

int ClampFrames(int64_t v) {
  if (v < 0) return 0;
  return v > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(v);
}

int Speed() {
  return CFG_SystemSpeed();
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The argument text from byte `offset` of the entry, or "" when the entry is
// shorter: the bytes after an entry's NUL belong to the next one.
const char* ArgsFrom(const char* entry, size_t length, size_t offset) {
  return offset <= length ? entry + offset : entry + length;
}

// A text argument; a number in its place is read as its decimal form.
const char* ArgText(int i, char* scratch, size_t size) {
  if (g_args[i].kind == 1) return g_args[i].text;
  std::snprintf(scratch, size, "%d", static_cast<int>(g_args[i].number));
  return scratch;
}

int32_t Wrap(int64_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

void Advance() {
  ++g_script.pc;
}

Flow Variable(const char* e, size_t len) {
  Advance();
  if (len < 3 || !IsDigit(e[2])) return GO_ON;  // names no variable
  const char op = len > 3 ? e[3] : 0;
  SCR_GetArgs(ArgsFrom(e, len, 4));
  int32_t& v = g_vars[e[2] - '0'];
  const int64_t a = g_args[0].number;
  if (op == '+') {
    v = Wrap(static_cast<int64_t>(v) + a);
  } else if (op == '-') {
    v = Wrap(static_cast<int64_t>(v) - a);
  } else {
    v = static_cast<int32_t>(a);
  }
  return GO_ON;
}

Flow Jump(const char* label) {
  g_script.pc = SCR_SearchLabel(label);
  return GO_ON;
}

bool Compare(int32_t a, const char* op, int32_t b) {
  if (!std::strcmp(op, "==")) return a == b;
  if (!std::strcmp(op, ">=")) return a >= b;
  if (!std::strcmp(op, "<=")) return a <= b;
  if (!std::strcmp(op, ">")) return a > b;
  if (!std::strcmp(op, "<")) return a < b;
  if (!std::strcmp(op, "!=")) return a != b;
  return false;
}

Flow If(const char* e, size_t len) {
  const int n = SCR_GetArgs(ArgsFrom(e, len, 2));
  // Fewer than four arguments name no label: the test is skipped.
  if (n < 4) {
    Advance();
    return GO_ON;
  }
  const bool yes =
      g_args[1].kind == 1 && Compare(g_args[0].number, g_args[1].text, g_args[2].number);
  char scratch[16];
  if (yes) return Jump(ArgText(3, scratch, sizeof scratch));
  if (n >= 5) return Jump(ArgText(4, scratch, sizeof scratch));
  Advance();
  return GO_ON;
}

Flow Wait(const char* e, size_t len) {
  const int n = SCR_GetArgs(ArgsFrom(e, len, 2));
  const int mode = g_args[0].number;
  const int t = n >= 2 ? g_args[1].number : -1;
  const int frames = SCR_PauseFrames(mode, t);
  if (g_interp.waitCounter + 1 >= frames) {
    g_interp.waitCounter = 0;
    Advance();
  } else {
    ++g_interp.waitCounter;
  }
  return YIELD;
}

Flow Flag(const char* e, size_t len) {
  Advance();
  if (len >= 3 && (e[2] == 'S' || e[2] == 's')) {
    SCR_GetArgs(ArgsFrom(e, len, 3));
    SCR_SetFlag(g_args[0].number, g_args[1].number);
    return GO_ON;
  }
  if (len < 5 || !IsDigit(e[4])) return GO_ON;
  SCR_GetArgs(ArgsFrom(e, len, 3));
  g_vars[e[4] - '0'] = SCR_GetFlag(g_args[1].number);
  return GO_ON;
}

// Fades of more than ten minutes are taken as ten minutes: the music's frame
// arithmetic would overflow long before a script could mean them.
int Fade(int32_t v) {
  return v > 36000 ? 36000 : (v < -2 ? 0 : v);
}

Flow Music(const char* e, size_t len) {
  Advance();
  const int n = SCR_GetArgs(ArgsFrom(e, len, 2));
  if (g_args[0].kind == 1) {
    BGM_Stop(Fade(g_args[1].number));
    return GO_ON;
  }
  BGM_Play(g_args[0].number, n >= 2 ? Fade(g_args[1].number) : 300, n >= 3 ? g_args[2].number : 1,
           n >= 4 ? g_args[3].number : 255, n >= 5 ? g_args[4].number : 0);
  return GO_ON;
}

Flow Sound(const char* e, size_t len) {
  Advance();
  const int n = SCR_GetArgs(ArgsFrom(e, len, 2));
  if (n <= 1) {
    SND_PlaySE(g_args[0].number, 0, 255);
  } else if (n == 2) {
    SND_PlaySE(g_args[0].number, 0, g_args[1].number);
  } else {
    SND_PlaySE(g_args[0].number, g_args[2].number != 0 ? 1 : 0, g_args[1].number);
  }
  return GO_ON;
}

Flow Picture(const char* e, size_t len, bool event) {
  int32_t& running = event ? g_interp.cgRunning : g_interp.bgRunning;
  if (!running) {
    const int n = SCR_GetArgs(ArgsFrom(e, len, 2));
    const int number = n >= 1 ? g_args[0].number : 0;
    const int effect = n >= 2 ? g_args[1].number : 0;
    const int duration = n >= 3 ? g_args[2].number : (n == 0 ? 0 : -1);
    running = 1;
    if (event) {
      AVG_SetCG(number, effect, duration);
    } else {
      AVG_SetBG(number, effect, duration);
    }
  }
  if (!AVG_TransitionDone()) return YIELD;
  running = 0;
  Advance();
  return GO_ON;
}

Flow Window(const char* e, size_t len) {
  SCR_GetArgs(ArgsFrom(e, len, 2));
  AVG_ShowWindow(g_args[0].number != 0);
  Advance();
  return YIELD;
}

Flow Choice(const char* e, size_t len) {
  const int n = SCR_GetArgs(ArgsFrom(e, len, 2));
  if (!g_interp.choiceRunning && g_args[0].kind == 0) {
    char scratch[16];
    AVG_AddChoice(n >= 2 ? ArgText(1, scratch, sizeof scratch) : "");
    Advance();
    return GO_ON;
  }
  if (!g_interp.choiceRunning) {
    // Nothing to choose from: waiting would never end.
    if (g_scene.choiceCount == 0) {
      Advance();
      return GO_ON;
    }
    g_interp.choiceRunning = 1;
    AVG_OpenChoices();
    return YIELD;
  }
  const int r = AVG_PollChoice();
  if (r < 0) return YIELD;
  int var = 0;
  if (n >= 2 && g_args[1].kind == 1 && IsDigit(g_args[1].text[1])) var = g_args[1].text[1] - '0';
  g_vars[var] = r;
  g_interp.choiceRunning = 0;
  Advance();
  // The click that chose belongs to the choice alone.
  return YIELD;
}

Flow Load(const char* e, size_t len, int* loads) {
  SCR_GetArgs(ArgsFrom(e, len, 2));
  SCR_Load(g_args[0].number);
  return ++*loads >= SCR_FRAME_LOAD_LIMIT ? YIELD : GO_ON;
}

Flow Message(const char* e) {
  if (!g_interp.messageRunning) {
    g_interp.messageRunning = 1;
    AVG_ShowMessage(e);
    return YIELD;
  }
  if (!AVG_MessageDone()) return YIELD;
  g_interp.messageRunning = 0;
  Advance();
  // Skipping runs straight into the next entry; a click that acknowledged
  // this message must not also complete the next one.
  return g_act.skip && !g_act.decide ? GO_ON : YIELD;
}

Flow Run(const char* e, int* loads) {
  const size_t len = std::strlen(e);
  if (e[0] == '@') {
    Advance();
    return GO_ON;
  }
  if (e[0] != '#') return Message(e);
  switch (e[1]) {
    case 'N':
    case 'n':
      return Variable(e, len);
    case 'G':
    case 'g':
      return Jump(e + 2);
    case 'I':
    case 'i':
      return If(e, len);
    case 'W':
    case 'w':
      return Wait(e, len);
    case 'F':
    case 'f':
      return Flag(e, len);
    case 'M':
    case 'm':
      return Music(e, len);
    case 'S':
    case 's':
      return Sound(e, len);
    case 'B':
    case 'b':
      return Picture(e, len, false);
    case 'V':
    case 'v':
      return Picture(e, len, true);
    case 'T':
    case 't':
      return Window(e, len);
    case 'C':
    case 'c':
      return Choice(e, len);
    case 'L':
    case 'l':
      return Load(e, len, loads);
    default:
      Advance();
      return YIELD;
  }
}

}  // namespace

int SCR_PauseFrames(int mode, int t) {
  const int64_t s = Sixtieths(t);
  const bool skipping = g_act.skip != 0;
  switch (mode) {
    case 0:
      return skipping ? 0 : ClampFrames(s * Speed() / 2 * kFps / 60);
    case 1:
      return ClampFrames(skipping ? s * kFps / 180 : s * kFps / 60);
    default:
      // Mode 2, and any mode the script should not have used: a plain pause.
      return ClampFrames(s * kFps / 60);
  }
}

namespace {

void NoteFrameAtBound() {
  if (++g_interp.framesAtBound < SCR_STALL_FRAMES || g_interp.stallLogged) return;
  g_interp.stallLogged = 1;
  LOG_Write("スクリプトが待たずに回り続けています[s%04d.txt:%d]\n", g_script.number,
            g_script.pc >= 0 && g_script.pc < g_script.count ? g_script.lines[g_script.pc] : 0);
}

}  // namespace

void SCR_Execute() {
  g_interp.entriesThisFrame = 0;
  // A scene with nothing (left) to run ends: a missing or empty script would
  // otherwise leave the player in a black scene with no way on.
  if (!g_script.loaded || g_script.pc >= g_script.count || g_script.pc < 0) {
    AVG_RequestNextStage();
    return;
  }
  int loads = 0;
  for (;;) {
    const int pc = g_script.pc;
    const char* e = g_script.entries[pc];
    if (g_scriptTrace && !(pc == g_interp.resumePc && g_script.number == g_interp.resumeScript)) {
      g_scriptTrace(pc, e);
    }
    ++g_interp.entriesThisFrame;
    const int script = g_script.number;
    const Flow flow = Run(e, &loads);
    const bool waiting = flow == YIELD && g_script.pc == pc && script == g_script.number;
    g_interp.resumePc = waiting ? pc : -1;
    g_interp.resumeScript = script;
    if (g_script.pc >= g_script.count || g_script.pc < 0) {
      AVG_RequestNextStage();
      return;
    }
    if (flow == YIELD) break;
    if (g_interp.entriesThisFrame >= SCR_FRAME_ENTRY_LIMIT) {
      NoteFrameAtBound();
      return;
    }
  }
  g_interp.framesAtBound = 0;
}

int SCR_SearchLabel(const char* name) {
  for (int i = 0; i < g_script.count; ++i) {
    const char* e = g_script.entries[i];
    if (e[0] == '@' && std::strcmp(e + 1, name) == 0) return i;
  }
  return g_script.count;
}

void SCR_SetFlag(int flag, int value) {
  if (flag >= 0 && flag < SCR_FLAGS) g_interp.flags[flag] = value;
}

int SCR_GetFlag(int flag) {
  return (flag >= 0 && flag < SCR_FLAGS) ? g_interp.flags[flag] : 0;
}

void SCR_ResetProgress() {
  g_interp.waitCounter = 0;
  g_interp.bgRunning = g_interp.cgRunning = 0;
  g_interp.messageRunning = g_interp.choiceRunning = 0;
  g_interp.resumePc = g_interp.resumeScript = -1;
  g_interp.entriesThisFrame = 0;
  g_interp.framesAtBound = 0;
  g_interp.stallLogged = 0;
}

void SCR_ResetInterp() {
  g_interp = InterpState{};
  SCR_ResetProgress();
}
