// zentrova-tool render: a sprite sandbox. Runs image and sprite calls from a
// scene file, composes the frame with the render pass and writes it as PNG.
#include "gfx/render.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/log.h"
#include "gfx/image.h"
#include "gfx/sprite.h"
#include "platform/headless/headless.h"
#include "platform/plt_png.h"
#include "zentrova-tool/render_scene.h"
#include "zentrova-tool/tool.h"

namespace {

const char kHelp[] =
    "usage: zentrova-tool render [--log] SCENE OUT.png\n"
    "       zentrova-tool render [--log] --sweep A..B:STEP SCENE OUT_%03d.png\n"
    "\n"
    "Runs the calls of SCENE on a zero-filled 640x480 frame, composes it with one\n"
    "render pass and writes it to OUT.png. Pictures are read as the game reads\n"
    "them: loose files in \"grp\" under the current directory, then grp.TVN and\n"
    "pak\\grp.TVN.\n"
    "\n"
    "SCENE is plain text, one call a line: the operation's name followed by its\n"
    "arguments, whitespace-separated, as decimal integers (0x... also accepted);\n"
    "a file name is a single word. '#' starts a comment.\n"
    "\n"
    "  IMG_LoadBMP slot format file     format 0 = palettised (B), 2 = 24-bit (F)\n"
    "  IMG_FreeSlot slot\n"
    "  SPR_SetImage sprite slot layer visible key    key -1 opaque, -2 alpha, else 0xRRGGBB\n"
    "  SPR_SetFill sprite kind geometry layer visible   kind 4 flat, 5 gradient\n"
    "  SPR_SetGradient sprite which row red green blue\n"
    "  SPR_SetSecond sprite slot P\n"
    "  SPR_Move sprite x y\n"
    "  SPR_SetSource sprite sx sy w h\n"
    "  SPR_SetView sprite x y sx sy w h\n"
    "  SPR_SetZoomRect sprite x y w h\n"
    "  SPR_SetZoom sprite zx zy zoom      scale (zoom + 256) / 256\n"
    "  SPR_SetQuad sprite x y x1 y1 x2 y2 x3 y3 sx sy sx1 sy1 sx2 sy2 sx3 sy3\n"
    "  SPR_Rotate sprite cx cy scale angle sx sy w h     angle: 256 steps a turn\n"
    "  SPR_SetPosSize sprite x y w h\n"
    "  SPR_SetClip sprite x y w h        x < 0: whole screen\n"
    "  SPR_SetColour sprite red green blue\n"
    "  SPR_SetBright sprite v\n"
    "  SPR_SetBlend sprite modeword      mode + parameter * 65536\n"
    "  SPR_SetTone red green blue\n"
    "  SPR_Show sprite visible\n"
    "  SPR_Clear sprite\n"
    "  RND_Frame N                        runs N render passes now (they accumulate)\n"
    "\n"
    "Sprites are 0..767, slots 0..255. After the last line one more render pass\n"
    "runs and the frame is written. An unknown name or a bad argument stops with\n"
    "the line number (exit 1).\n"
    "\n"
    "  --log   print the debug log lines of the run (the last 50) to stderr\n"
    "  --sweep A..B:STEP   run the scene once for each P = A, A + STEP, .. <= B, with\n"
    "          the parameter of the scene's last SPR_SetBlend replaced by P (its mode\n"
    "          kept), and write each frame to OUT with P in place of the printf\n"
    "          conversion (%d, %03d, %x ...). STEP defaults to 1; P is 0..65535.\n"
    "\n"
    "Draw modes (modeword = mode + P * 65536):\n"
    "   0 copy  1 add  2 dodge  3 subtract  4 overlay  5 scale by frame  6 lighten\n"
    "   7 darken  8 negative  10 fade (P 0..256)  11 desaturate  12 stipple  13 noise\n"
    "  14 mosaic (cell P + 1)  15 scatter (P 1..255)  17/18 wobble, 19/20 vertical\n"
    "  wave, 21/22 horizontal wave (P = phase * 256 + amplitude)  23-28 soft wipes\n"
    "  (up, down, left, right, close, open; P 0..256)  29-34 staircase blinds (same\n"
    "  directions)  35-37 cells 64/32/16  38-40 blended cells 64/32/16 (P 0..256)\n";

// What one argument must be.
enum Arg { kInt, kSprite, kSlot, kFormat, kName };

struct Op {
  const char* name;
  std::vector<Arg> args;
};

const std::vector<Op>& Ops() {
  static const std::vector<Op> ops = {
      {"IMG_LoadBMP", {kSlot, kFormat, kName}},
      {"IMG_FreeSlot", {kSlot}},
      {"SPR_SetImage", {kSprite, kSlot, kInt, kInt, kInt}},
      {"SPR_SetFill", {kSprite, kInt, kInt, kInt, kInt}},
      {"SPR_SetGradient", {kSprite, kInt, kInt, kInt, kInt, kInt}},
      {"SPR_SetSecond", {kSprite, kSlot, kInt}},
      {"SPR_Move", {kSprite, kInt, kInt}},
      {"SPR_SetSource", {kSprite, kInt, kInt, kInt, kInt}},
      {"SPR_SetView", {kSprite, kInt, kInt, kInt, kInt, kInt, kInt}},
      {"SPR_SetZoomRect", {kSprite, kInt, kInt, kInt, kInt}},
      {"SPR_SetZoom", {kSprite, kInt, kInt, kInt}},
      {"SPR_SetQuad",
       {kSprite, kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt,
        kInt, kInt}},
      {"SPR_Rotate", {kSprite, kInt, kInt, kInt, kInt, kInt, kInt, kInt, kInt}},
      {"SPR_SetPosSize", {kSprite, kInt, kInt, kInt, kInt}},
      {"SPR_SetClip", {kSprite, kInt, kInt, kInt, kInt}},
      {"SPR_SetColour", {kSprite, kInt, kInt, kInt}},
      {"SPR_SetBright", {kSprite, kInt}},
      {"SPR_SetBlend", {kSprite, kInt}},
      {"SPR_SetTone", {kInt, kInt, kInt}},
      {"SPR_Show", {kSprite, kInt}},
      {"SPR_Clear", {kSprite}},
      {"RND_Frame", {kInt}},
  };
  return ops;
}

bool ParseInt(const std::string& s, long long* out) {
  const char* p = s.c_str();
  bool neg = false;
  if (*p == '-' || *p == '+') neg = *p++ == '-';
  int base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 16;
    p += 2;
  }
  if (*p == '\0') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(p, &end, base);
  if (*end != '\0' || errno != 0 || v > 0xFFFFFFFFull) return false;
  *out = neg ? -static_cast<long long>(v) : static_cast<long long>(v);
  return *out >= -2147483648LL && *out <= 0xFFFFFFFFLL;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> words;
  std::string cur;
  for (char c : line) {
    if (c == '#') break;
    if (c == ' ' || c == '\t' || c == '\r' || c == ',') {
      if (!cur.empty()) words.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) words.push_back(cur);
  return words;
}

int Fail(const char* scene, int line, const std::string& what) {
  std::fprintf(stderr, "zentrova-tool render: %s:%d: %s\n", scene, line, what.c_str());
  return 1;
}

// Runs one call; returns an error text, empty on success.
std::string Run(const Op& op, const std::vector<long long>& a, const std::string& name, int line,
                const char* scene, long long passLimit) {
  const auto i = [&](size_t k) { return static_cast<int>(a[k]); };
  const std::string n = op.name;
  if (n == "IMG_LoadBMP") {
    const size_t boxes = HL_MessageBoxes().size();
    if (!IMG_LoadBMP(i(0), i(1), name.c_str())) {
      std::string why;
      if (HL_MessageBoxes().size() > boxes) why = ": " + HL_MessageBoxes().back().text;
      std::fprintf(stderr, "zentrova-tool render: %s:%d: warning: %s not loaded%s\n", scene, line,
                   name.c_str(), why.c_str());
    }
  } else if (n == "IMG_FreeSlot") {
    IMG_FreeSlot(i(0));
  } else if (n == "SPR_SetImage") {
    SPR_SetImage(i(0), i(1), i(2), i(3), i(4));
  } else if (n == "SPR_SetFill") {
    SPR_SetFill(i(0), i(1), i(2), i(3), i(4));
  } else if (n == "SPR_SetGradient") {
    SPR_SetGradient(i(0), i(1), i(2), i(3), i(4), i(5));
  } else if (n == "SPR_SetSecond") {
    SPR_SetSecond(i(0), i(1), i(2));
  } else if (n == "SPR_Move") {
    SPR_Move(i(0), i(1), i(2));
  } else if (n == "SPR_SetSource") {
    SPR_SetSource(i(0), i(1), i(2), i(3), i(4));
  } else if (n == "SPR_SetView") {
    SPR_SetView(i(0), i(1), i(2), i(3), i(4), i(5), i(6));
  } else if (n == "SPR_SetZoomRect") {
    SPR_SetZoomRect(i(0), i(1), i(2), i(3), i(4));
  } else if (n == "SPR_SetZoom") {
    SPR_SetZoom(i(0), i(1), i(2), i(3));
  } else if (n == "SPR_SetQuad") {
    SPR_SetQuad(i(0), i(1), i(2), i(3), i(4), i(5), i(6), i(7), i(8), i(9), i(10), i(11), i(12),
                i(13), i(14), i(15), i(16));
  } else if (n == "SPR_Rotate") {
    SPR_Rotate(i(0), i(1), i(2), i(3), i(4), i(5), i(6), i(7), i(8));
  } else if (n == "SPR_SetPosSize") {
    SPR_SetPosSize(i(0), i(1), i(2), i(3), i(4));
  } else if (n == "SPR_SetClip") {
    SPR_SetClip(i(0), i(1), i(2), i(3), i(4));
  } else if (n == "SPR_SetColour") {
    SPR_SetColour(i(0), i(1), i(2), i(3));
  } else if (n == "SPR_SetBright") {
    SPR_SetBright(i(0), i(1));
  } else if (n == "SPR_SetBlend") {
    SPR_SetBlend(i(0), static_cast<uint32_t>(a[1]));
  } else if (n == "SPR_SetTone") {
    SPR_SetTone(i(0), i(1), i(2));
  } else if (n == "SPR_Show") {
    SPR_Show(i(0), i(1));
  } else if (n == "SPR_Clear") {
    SPR_Clear(i(0));
  } else if (n == "RND_Frame") {
    if (a[0] < 0 || a[0] > RENDER_MAX_PASSES) return "RND_Frame: N must be 0..10000";
    for (long long k = 0; k < a[0] && k < passLimit; ++k) RND_Frame(&g_back.frame, 24);
  }
  return "";
}

}  // namespace

int RENDER_RunScene(const std::string& text, const char* scene, int blendLine, long long param,
                    long long passLimit) {
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    const std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    ++lineNo;
    const std::vector<std::string> words = Split(line);
    if (words.empty()) continue;
    const Op* op = nullptr;
    for (const Op& o : Ops()) {
      if (words[0] == o.name) op = &o;
    }
    if (!op) return Fail(scene, lineNo, "unknown call '" + words[0] + "'");
    if (words.size() - 1 != op->args.size()) {
      return Fail(scene, lineNo,
                  words[0] + " takes " + std::to_string(op->args.size()) + " arguments, not " +
                      std::to_string(words.size() - 1));
    }
    std::vector<long long> args;
    std::string name;
    for (size_t k = 0; k < op->args.size(); ++k) {
      const std::string& w = words[k + 1];
      if (op->args[k] == kName) {
        name = w;
        args.push_back(0);
        continue;
      }
      long long v;
      if (!ParseInt(w, &v)) return Fail(scene, lineNo, "'" + w + "' is not an integer");
      if (op->args[k] == kSprite && (v < 0 || v >= SPR_COUNT)) {
        return Fail(scene, lineNo, "sprite " + w + " is not in 0..767");
      }
      if (op->args[k] == kSlot && (v < 0 || v >= IMG_SLOTS)) {
        return Fail(scene, lineNo, "slot " + w + " is not in 0..255");
      }
      if (op->args[k] == kFormat && v != FMT_B && v != FMT_F) {
        return Fail(scene, lineNo, "format " + w + " is not 0 (B) or 2 (F)");
      }
      args.push_back(v);
    }
    if (lineNo == blendLine) args[1] = (args[1] & 0xFFFF) | (param << 16);
    const std::string err = Run(*op, args, name, lineNo, scene, passLimit);
    if (!err.empty()) return Fail(scene, lineNo, err);
  }
  return 0;
}

namespace {

// The line of the scene's last SPR_SetBlend, 0 when it has none.
int LastBlendLine(const std::string& text) {
  int lineNo = 0, found = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string::npos) eol = text.size();
    const std::vector<std::string> words = Split(text.substr(pos, eol - pos));
    pos = eol + 1;
    ++lineNo;
    if (!words.empty() && words[0] == "SPR_SetBlend") found = lineNo;
  }
  return found;
}

// "A..B" or "A..B:STEP" with 0 <= A <= B <= 65535 and STEP >= 1.
bool ParseSweep(const std::string& range, long long* a, long long* b, long long* step) {
  const size_t dots = range.find("..");
  if (dots == std::string::npos) return false;
  const size_t colon = range.find(':', dots + 2);
  *step = 1;
  if (!ParseInt(range.substr(0, dots), a)) return false;
  if (!ParseInt(
          range.substr(dots + 2, colon == std::string::npos ? std::string::npos : colon - dots - 2),
          b)) {
    return false;
  }
  if (colon != std::string::npos && !ParseInt(range.substr(colon + 1), step)) return false;
  return *a >= 0 && *a <= *b && *b <= 0xFFFF && *step >= 1;
}

// OUT must hold exactly one integer conversion (and no other '%' but "%%").
bool ValidPattern(const char* out) {
  int conversions = 0;
  for (const char* c = out; *c; ++c) {
    if (*c != '%') continue;
    if (c[1] == '%') {
      ++c;
      continue;
    }
    ++c;
    while (*c == '0' || *c == '-' || *c == ' ' || *c == '+') ++c;
    while (*c >= '0' && *c <= '9') ++c;
    if (*c != 'd' && *c != 'u' && *c != 'x' && *c != 'X') return false;
    ++conversions;
  }
  return conversions == 1;
}

int RenderCommand(int argc, char** argv) {
  if (TOOL_WantsHelp(argc, argv)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  bool showLog = false;
  const char* sweep = nullptr;
  std::vector<const char*> files;
  for (int k = 1; k < argc; ++k) {
    if (std::strcmp(argv[k], "--log") == 0) {
      showLog = true;
    } else if (std::strcmp(argv[k], "--sweep") == 0 && k + 1 < argc) {
      sweep = argv[++k];
    } else {
      files.push_back(argv[k]);
    }
  }
  if (files.size() != 2) {
    std::fputs(kHelp, stderr);
    return 2;
  }
  const char* scene = files[0];
  const char* out = files[1];
  long long first = 0, last = 0, step = 1;
  if (sweep) {
    if (!ParseSweep(sweep, &first, &last, &step)) {
      std::fprintf(stderr, "zentrova-tool render: bad sweep '%s' (want A..B:STEP)\n", sweep);
      return 2;
    }
    if (!ValidPattern(out)) {
      std::fprintf(stderr, "zentrova-tool render: %s needs one integer conversion like %%03d\n",
                   out);
      return 2;
    }
  }

  FILE* f = std::fopen(scene, "rb");
  if (!f) {
    std::fprintf(stderr, "zentrova-tool render: cannot open %s\n", scene);
    return 1;
  }
  std::string text;
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
  std::fclose(f);

  const int blendLine = sweep ? LastBlendLine(text) : 0;
  if (sweep && blendLine == 0) {
    std::fprintf(stderr, "zentrova-tool render: %s has no SPR_SetBlend to sweep\n", scene);
    return 1;
  }

  IMG_SetDir("grp");
  IMG_InitTables(SCREEN_W, SCREEN_H);
  if (!IMG_CreateBackBuffer(24, SCREEN_W, SCREEN_H) || g_back.frame.pixels == nullptr) {
    std::fprintf(stderr, "zentrova-tool render: no back buffer\n");
    return 1;
  }
  const int logStart = LOG_RecentCount();

  for (long long v = first; v <= last; v += step) {
    std::memset(g_back.frame.pixels, 0,
                static_cast<size_t>(g_back.frame.width) * g_back.frame.height * 3);
    RND_Invalidate();  // every frame of a sweep starts from black
    const int rc = RENDER_RunScene(text, scene, blendLine, v, RENDER_MAX_PASSES);
    if (rc != 0) return rc;
    RND_Frame(&g_back.frame, 24);
    std::string name = out;
    if (sweep) {
      char buf[4096];
      std::snprintf(buf, sizeof buf, out, static_cast<int>(v));
      name = buf;
    }
    if (!PLT_WritePng(name.c_str(), g_back.frame.pixels, g_back.frame.width, g_back.frame.height)) {
      std::fprintf(stderr, "zentrova-tool render: cannot write %s\n", name.c_str());
      return 1;
    }
    if (!sweep) break;
  }
  if (showLog) {
    for (int k = logStart; k < LOG_RecentCount(); ++k) std::fprintf(stderr, "%s\n", LOG_Recent(k));
  }
  return 0;
}

}  // namespace

ZV_TOOL_COMMAND(render, "render", "compose sprite calls from a scene file into a PNG",
                RenderCommand);
