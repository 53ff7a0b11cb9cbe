// zentrova-tool text: lays out and draws message text with the game's markup
// engine, for authors checking how a message fits and looks.
#include "text/text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/bmp.h"
#include "gfx/image.h"
#include "platform/headless/headless.h"
#include "platform/plt_glyph.h"
#include "platform/plt_png.h"
#include "text/font.h"
#include "zentrova-tool/tool.h"

namespace {

const char kHelp[] =
    "usage: zentrova-tool text layout [OPTIONS] FILE\n"
    "       zentrova-tool text width [--utf8] FILE\n"
    "       zentrova-tool text render [OPTIONS] [DRAW OPTIONS] FILE OUT.png\n"
    "\n"
    "FILE holds one message, Shift-JIS with the game's markup, used to its end.\n"
    "\n"
    "layout  lays the message out without drawing, at (0, 0) with colour 0, tone\n"
    "        128 and the reveal fade, and prints 'RESULT ENDX ENDY': the reveal\n"
    "        units used and the pen position where layout stopped.\n"
    "width   prints the widest line in half-width columns (the reveal target of\n"
    "        a message in a scene).\n"
    "render  draws the message into a 640x480 frame and writes it as PNG.\n"
    "\n"
    "Options (layout and render):\n"
    "  --size N           base font size (24)\n"
    "  --width N          characters per line (25)\n"
    "  --lines N          lines in the box (4)\n"
    "  --char-spacing N   extra pixels after each character (0)\n"
    "  --line-spacing N   extra pixels between lines (8)\n"
    "  --reveal N         reveal position, -1 everything (-1)\n"
    "  --page N           page markers passed, -1 no limit (-1)\n"
    "  --utf8             FILE is UTF-8: convert it to Shift-JIS first\n"
    "Draw options (render):\n"
    "  --at X,Y           top-left of the box (16,16)\n"
    "  --colour I         colour index 0..15 (0, white)\n"
    "  --tone R,G,B       tone factors, 128 unchanged (128,128,128)\n"
    "  --alpha A          -1 reveal fade, else opacity 0..256 (-1)\n"
    "  --shadow N         shadow offset in pixels (0)\n"
    "  --background F.bmp picture under the text (mid grey)\n"
    "\n"
    "Markup warnings are printed to stderr; they do not change the exit status.\n";

struct Options {
  int size = 24, width = 25, lines = 4, charSpacing = 0, lineSpacing = 8;
  int reveal = -1, page = -1;
  bool utf8 = false;
  int x = 16, y = 16, colour = 0, toneR = 128, toneG = 128, toneB = 128, alpha = -1, shadow = 0;
  std::string background;
  std::vector<std::string> files;
};

int Error(const char* fmt, const char* what) {
  std::fprintf(stderr, "zentrova-tool text: ");
  std::fprintf(stderr, fmt, what);
  std::fprintf(stderr, "\n");
  return 2;
}

bool ParseInts(const char* s, int* out, int count) {
  for (int k = 0; k < count; ++k) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s, &end, 10);
    if (end == s || errno != 0 || v < -1000000 || v > 1000000) return false;
    out[k] = static_cast<int>(v);
    s = end;
    if (k + 1 < count) {
      if (*s != ',') return false;
      ++s;
    }
  }
  return *s == 0;
}

// Parses argv[1..]; returns 0 or an exit status.
int Parse(int argc, char** argv, bool drawing, Options* o) {
  struct IntOpt {
    const char* name;
    int* value;
    int count;
    bool draw;
  };
  int tone[3], at[2];
  const IntOpt opts[] = {
      {"--size", &o->size, 1, false},
      {"--width", &o->width, 1, false},
      {"--lines", &o->lines, 1, false},
      {"--char-spacing", &o->charSpacing, 1, false},
      {"--line-spacing", &o->lineSpacing, 1, false},
      {"--reveal", &o->reveal, 1, false},
      {"--page", &o->page, 1, false},
      {"--at", at, 2, true},
      {"--colour", &o->colour, 1, true},
      {"--tone", tone, 3, true},
      {"--alpha", &o->alpha, 1, true},
      {"--shadow", &o->shadow, 1, true},
  };
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--utf8") == 0) {
      o->utf8 = true;
      continue;
    }
    if (drawing && std::strcmp(a, "--background") == 0) {
      if (++i >= argc) return Error("%s needs a value", a);
      o->background = argv[i];
      continue;
    }
    bool matched = false;
    for (const IntOpt& opt : opts) {
      if (std::strcmp(a, opt.name) != 0 || (opt.draw && !drawing)) continue;
      if (++i >= argc) return Error("%s needs a value", a);
      if (!ParseInts(argv[i], opt.value, opt.count)) return Error("bad value for %s", a);
      if (opt.value == tone) o->toneR = tone[0], o->toneG = tone[1], o->toneB = tone[2];
      if (opt.value == at) o->x = at[0], o->y = at[1];
      matched = true;
      break;
    }
    if (matched) continue;
    if (a[0] == '-' && a[1] != 0) return Error("unknown option %s", a);
    o->files.push_back(a);
  }
  if (o->size < 1 || o->size > 255) return Error("%s", "--size must be 1..255");
  if (o->width < 0 || o->width > 4096 || o->lines < 0 || o->lines > 4096) {
    return Error("%s", "--width and --lines must be 0..4096");
  }
  if (o->colour < 0 || o->colour > 15) return Error("%s", "--colour must be 0..15");
  if (o->alpha < -1 || o->alpha > 256) return Error("%s", "--alpha must be -1..256");
  if (o->shadow < 0 || o->shadow > 255) return Error("%s", "--shadow must be 0..255");
  return 0;
}

// Reads FILE whole, converted from UTF-8 when asked. Empty on failure.
bool ReadText(const std::string& path, bool utf8, std::string* text) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    std::fprintf(stderr, "zentrova-tool text: cannot open %s: %s\n", path.c_str(),
                 std::strerror(errno));
    return false;
  }
  std::string bytes;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  // The engine reads up to the first NUL, as from a text record.
  bytes.resize(std::strlen(bytes.c_str()));
  if (!utf8) {
    *text = bytes;
    return true;
  }
  std::vector<char> out(bytes.size() * 2 + 16);
  PLT_Utf8ToSjis(bytes.c_str(), out.data(), static_cast<int>(out.size()));
  if (out[0] == 0 && !bytes.empty()) {
    std::fprintf(stderr, "zentrova-tool text: %s: not UTF-8 text that Shift-JIS can hold\n",
                 path.c_str());
    return false;
  }
  *text = out.data();
  return true;
}

void PrintWarnings(size_t from) {
  const auto& boxes = HL_MessageBoxes();
  for (size_t k = from; k < boxes.size(); ++k) {
    std::fprintf(stderr, "warning: %s\n", boxes[k].text.c_str());
  }
}

int Layout(int argc, char** argv) {
  Options o;
  if (int r = Parse(argc, argv, false, &o)) return r;
  if (o.files.size() != 1) return Error("%s", "layout takes one FILE");
  std::string text;
  if (!ReadText(o.files[0], o.utf8, &text)) return 1;
  int32_t ex = 0, ey = 0;
  const int r = TXT_Draw({.x = 0,
                          .y = 0,
                          .width = o.width,
                          .lines = o.lines,
                          .charSpacing = o.charSpacing,
                          .lineSpacing = o.lineSpacing,
                          .size = o.size,
                          .text = text.c_str(),
                          .reveal = o.reveal,
                          .page = o.page,
                          .measure = 1,
                          .endX = &ex,
                          .endY = &ey});
  PrintWarnings(0);
  std::printf("%d %d %d\n", r, ex, ey);
  return 0;
}

int Width(int argc, char** argv) {
  Options o;
  if (int r = Parse(argc, argv, false, &o)) return r;
  if (o.files.size() != 1) return Error("%s", "width takes one FILE");
  std::string text;
  if (!ReadText(o.files[0], o.utf8, &text)) return 1;
  std::printf("%d\n", TXT_GetWidth(text.c_str()));
  PrintWarnings(0);
  return 0;
}

int Render(int argc, char** argv) {
  Options o;
  if (int r = Parse(argc, argv, true, &o)) return r;
  if (o.files.size() != 2) return Error("%s", "render takes FILE and OUT.png");
  std::string text;
  if (!ReadText(o.files[0], o.utf8, &text)) return 1;
  IMG_InitTables(SCREEN_W, SCREEN_H);
  FImage frame{};
  IMG_AllocF(&frame, SCREEN_W, SCREEN_H);
  if (!frame.pixels) return Error("%s", "out of memory");
  std::memset(frame.pixels, 128, static_cast<size_t>(SCREEN_W) * SCREEN_H * 3);
  if (!o.background.empty()) {
    std::vector<uint8_t> data;
    FILE* f = std::fopen(o.background.c_str(), "rb");
    if (f) {
      uint8_t buf[65536];
      size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
      std::fclose(f);
    }
    FImage pic{};
    int32_t alphaFlag = 0;
    if (data.empty() || data.size() > 0x7FFFFFFF ||
        !BMP_DecodeF(o.background.c_str(), data.data(), static_cast<int>(data.size()), &pic,
                     &alphaFlag)) {
      PrintWarnings(0);
      IMG_ReleaseF(&frame);
      std::fprintf(stderr, "zentrova-tool text: cannot read the picture %s\n",
                   o.background.c_str());
      return 1;
    }
    for (int y = 0; y < SCREEN_H && y < pic.height; ++y) {
      const int w = pic.width < SCREEN_W ? pic.width : SCREEN_W;
      std::memcpy(frame.pixels + static_cast<size_t>(y) * SCREEN_W * 3,
                  pic.pixels + static_cast<size_t>(y) * pic.width * 3, static_cast<size_t>(w) * 3);
    }
    IMG_ReleaseF(&pic);
  }
  const size_t boxes = HL_MessageBoxes().size();
  FNT_CreateCanvas();
  TXT_Draw({.target = &frame,
            .x = o.x,
            .y = o.y,
            .width = o.width,
            .lines = o.lines,
            .charSpacing = o.charSpacing,
            .lineSpacing = o.lineSpacing,
            .size = o.size,
            .text = text.c_str(),
            .colour = o.colour,
            .reveal = o.reveal,
            .page = o.page,
            .toneR = o.toneR,
            .toneG = o.toneG,
            .toneB = o.toneB,
            .alpha = o.alpha,
            .shadow = o.shadow});
  PrintWarnings(boxes);
  const int ok = PLT_WritePng(o.files[1].c_str(), frame.pixels, SCREEN_W, SCREEN_H);
  IMG_ReleaseF(&frame);
  FNT_DeleteCanvas();
  if (!ok) {
    std::fprintf(stderr, "zentrova-tool text: cannot write %s\n", o.files[1].c_str());
    return 1;
  }
  return 0;
}

int TextCommand(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kHelp, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  if (TOOL_WantsHelp(argc, argv)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  const std::string sub = argv[1];
  if (sub == "layout") return Layout(argc - 1, argv + 1);
  if (sub == "width") return Width(argc - 1, argv + 1);
  if (sub == "render") return Render(argc - 1, argv + 1);
  std::fprintf(stderr, "zentrova-tool text: unknown subcommand '%s'\n", sub.c_str());
  return 2;
}

}  // namespace

ZV_TOOL_COMMAND(text, "text", "lay out, measure and draw message text with markup", TextCommand);
