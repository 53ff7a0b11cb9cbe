// The message markup and layout engine. The whole text is laid out again on
// every call, so the typewriter reveal, pages and pauses need no state kept
// between frames; glyphs come from the font module's coverage cache.
#include "text/text.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/log.h"
#include "common/msg.h"
#include "text/font.h"

const uint32_t kTextPalette[16] = {
    0xFFFFFF, 0xC0C0C0, 0x505050, 0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
    0x00FFFF, 0xFF00FF, 0xFF8000, 0x00FF80, 0xB375FF, 0x80FF00, 0x0080FF, 0xFF0080,
};

TextRecord g_texts[TXT_COUNT];

namespace {

void FreeText(TextRecord* t) {
  std::free(t->text);
  std::memset(t, 0, sizeof *t);
}

constexpr int kMaxTags = 15;
constexpr int kRubySize = 11;
constexpr int kDotSize = 11;
// The longest ruby drawn; a longer one is cut at a character boundary.
constexpr int kMaxRubyBytes = 31;
// Numbers in tags are limited so that sizes and pauses stay far from
// overflowing the pen arithmetic.
constexpr int kMaxTagNumber = 99999;

const int kSpeeds[10] = {100, 80, 60, 40, 20, 10, 8, 6, 4, 2};

// Line-start characters that may hang past the right margin.
const unsigned char kLineStart[][2] = {
    {0x81, 0x42}, {0x81, 0x41}, {0x81, 0x48}, {0x81, 0x49}, {0x81, 0x40},
    {0x81, 0x6A}, {0x81, 0x76}, {0x81, 0x78}, {0xF0, 0x44}, {0xF0, 0x43},
    {0xF0, 0x42}, {0xF0, 0x41}, {0xF0, 0x45}, {0xF0, 0x40},
};

enum TagType : uint8_t { kTagC, kTagF, kTagS, kTagW, kTagD, kTagA, kTagR };

struct Tag {
  TagType type;
  int saved;
};

// The three markup warnings go to the warning box. The render pass lays a
// message out every frame, so each warning is shown once per text: a box per
// frame would leave the player nothing but boxes.
enum Warning { kWarnOpen, kWarnTooMany, kWarnExtraClose, kWarnCount };
const char* const kWarningText[kWarnCount] = {
    "タグが開いたままになっています。必ず閉じてください",
    "タグを開き過ぎです。ＭＡＸ １５",
    "閉じタグ( > )の数が、開いた数より多くなっています",
};

struct TextState {
  int carry = 0;  // the tenths carry of the reveal counter
  uint64_t warned[kWarnCount][16] = {};
  int warnedNext[kWarnCount] = {};
};
TextState g_text;

uint64_t HashText(const char* text) {
  uint64_t h = 1469598103934665603ull;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    h = (h ^ *p) * 1099511628211ull;
  }
  return h;
}

void Warn(Warning w, const char* text) {
  const uint64_t h = HashText(text);
  for (uint64_t seen : g_text.warned[w]) {
    if (seen == h) return;
  }
  g_text.warned[w][g_text.warnedNext[w]] = h;
  g_text.warnedNext[w] = (g_text.warnedNext[w] + 1) % 16;
  MSG_Error(nullptr, "%s", kWarningText[w]);
}

bool IsLead(unsigned c) {
  return (c >= 0x80 && c <= 0x9F) || c >= 0xE0;
}

int Tone(int c, int f) {
  if (f <= 128) return (c * (f < 0 ? 0 : f)) >> 7;
  if (f > 255) f = 255;
  return c + (((255 - c) * (f - 127)) >> 7);
}

// Reads decimal digits at p; returns whether there were any.
bool ReadNumber(const unsigned char** p, int* value) {
  const unsigned char* q = *p;
  if (*q < '0' || *q > '9') return false;
  long long v = 0;
  while (*q >= '0' && *q <= '9') {
    if (v <= kMaxTagNumber) v = v * 10 + (*q - '0');
    ++q;
  }
  *p = q;
  *value = static_cast<int>(v > kMaxTagNumber ? kMaxTagNumber : v);
  return true;
}

struct Layout {
  // parameters
  FImage* target;
  int x0, y0, width, lines, charSpacing, lineSpacing;
  const ClipBox* clip;
  ClipBox* bounds;
  int baseSize;
  const char* text;
  int reveal, page, toneR, toneG, toneB, alpha, shadow;
  bool measure;
  // state
  int x, y, size, colour, speed = 10;
  bool emphasis = false;
  int wait = 0, pageCounter = 0;
  bool kinsoku = false, justWrapped = false;
  int i = 0;
  Tag tags[kMaxTags];
  int depth = 0;

  void ColourOf(int* r, int* g, int* b) const {
    const uint32_t c = kTextPalette[colour & 15];
    *r = Tone(static_cast<int>(c >> 16 & 0xFF), toneR);
    *g = Tone(static_cast<int>(c >> 8 & 0xFF), toneG);
    *b = Tone(static_cast<int>(c & 0xFF), toneB);
  }

  void Glyphs(int gx, int gy, int spacing, const char* s, int sz, int opacity, int shade) {
    if (bounds) {
      // Each glyph's cell is size pixels high and narrower than twice that,
      // with its shadow below and right of it.
      int chars = 0, rows = 1;
      for (const char* p = s; *p; p += IsLead(static_cast<unsigned char>(*p)) && p[1] ? 2 : 1) {
        ++chars;
        if (*p == '\n') ++rows;
      }
      const int step = 2 * sz + (spacing > 0 ? spacing : 0);
      const int back = spacing < 0 ? chars * spacing : 0;
      BLT_BoxExtend(bounds, {gx + back - 1, gy - 1, gx + chars * step + shade + 1,
                             gy + rows * sz + shade + 1});
    }
    int r, g, b;
    ColourOf(&r, &g, &b);
    FNT_DrawString(target, 24, gx, gy, spacing, 0, s, sz, clip, r, g, b, opacity, shade);
  }

  void NewLine() {
    x = x0;
    y += size + lineSpacing;
  }

  void Character(const unsigned char* c, bool twoByte, int opacity) {
    if (!measure) {
      char s[3] = {static_cast<char>(c[0]), twoByte ? static_cast<char>(c[1]) : '\0', '\0'};
      Glyphs(x, y, 0, s, size, opacity, shadow);
    }
    const int q = speed / 10, r = speed % 10;
    const int t = g_text.carry + r;
    i += q + t / 10;
    g_text.carry = t % 10;
    if (emphasis && !measure) {
      Glyphs(x + (size - kDotSize) / 2, y - 7, 0, twoByte ? "\x81\x45" : "\xA5", kDotSize, opacity,
             0);
    }
    x += twoByte ? size + charSpacing : size / 2 + charSpacing;
    justWrapped = false;
  }

  // At the '|' of an open R tag: draws the ruby up to the next '>' above the
  // base text laid out since the tag opened. Returns the position of the '>'
  // (or the NUL).
  const unsigned char* Ruby(const unsigned char* p, int start, int opacity) {
    const unsigned char* rubyText = p + 1;
    const unsigned char* end = rubyText;
    while (*end && *end != '>') ++end;
    int n = static_cast<int>(end - rubyText);
    if (n > kMaxRubyBytes) {
      int cut = 0;
      while (cut < n) {
        const int step = IsLead(rubyText[cut]) ? 2 : 1;
        if (cut + step > kMaxRubyBytes) break;
        cut += step;
      }
      n = cut;
    }
    const int base = x - start;
    const int rubyWidth = n * kRubySize / 2;
    const int gap = (base - rubyWidth) / 2;
    int rubyX, spacing;
    if (gap <= 0 || n / 2 == 0) {
      // Centred, overhanging both ends when longer than its base; a
      // one-byte ruby has no gaps to spread.
      rubyX = start + gap;
      spacing = 0;
    } else {
      spacing = 2 * gap / (n / 2);
      rubyX = start + spacing / 2;
    }
    if (!measure && n > 0) {
      char buf[kMaxRubyBytes + 1];
      std::memcpy(buf, rubyText, static_cast<size_t>(n));
      buf[n] = 0;
      Glyphs(rubyX, y - 9, spacing, buf, kRubySize, opacity, 0);
    }
    return end;
  }

  void OpenTag(const unsigned char** pp) {
    const unsigned char* p = *pp + 1;  // past '<'
    const unsigned letter = *p;
    if (letter == 0) {
      *pp = p;
      return;
    }
    ++p;
    Tag tag;
    int n = 0;
    bool has = false;
    switch (letter | 0x20) {
      case 'c':
        tag = {kTagC, colour};
        has = ReadNumber(&p, &n);
        // Past the palette the colour stays as it was.
        if (has && n <= 15) colour = n;
        break;
      case 'f':
        tag = {kTagF, size};
        if (ReadNumber(&p, &n)) size = n;
        break;
      case 's':
        tag = {kTagS, speed};
        if (ReadNumber(&p, &n) && n <= 9) speed = kSpeeds[n];
        break;
      case 'w':
        tag = {kTagW, 0};
        if (ReadNumber(&p, &n)) wait = n;
        break;
      case 'd':
        tag = {kTagD, 0};
        ReadNumber(&p, &n);
        break;
      case 'a':
        tag = {kTagA, emphasis ? 1 : 0};
        emphasis = true;
        break;
      case 'r':
        tag = {kTagR, x};
        break;
      default:
        *pp = p;  // any other byte after '<' opens nothing
        return;
    }
    tags[depth++] = tag;
    *pp = p;
  }

  void CloseTag() {
    const Tag t = tags[--depth];
    switch (t.type) {
      case kTagC:
        colour = t.saved;
        break;
      case kTagF:
        size = t.saved;
        break;
      case kTagS:
        speed = t.saved;
        break;
      case kTagA:
        emphasis = false;
        break;
      default:
        break;
    }
  }

  bool AtLineStart(const unsigned char* p) const {
    if (p[0] == 0) return false;
    for (const auto& c : kLineStart) {
      if (p[0] == c[0] && p[1] == c[1]) return true;
    }
    return false;
  }

  void Wrap(const unsigned char* p) {
    if (x - x0 < width * baseSize - size + 1) return;
    if (kinsoku) {
      if (p[0] == 0x81 && p[1] == 0x40) return;  // a full-width space still hangs
      kinsoku = false;
    } else if (AtLineStart(p)) {
      kinsoku = true;
      return;
    }
    NewLine();
    justWrapped = true;
  }

  int Run() {
    x = x0;
    y = y0;
    size = baseSize;
    g_text.carry = 0;
    int carryBefore = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (reveal == -1 || i < reveal || (i == reveal && carryBefore == 0)) {
      carryBefore = g_text.carry;
      if (wait > 0) {
        --wait;
        ++i;
        continue;
      }
      int opacity = alpha;
      if (alpha == -1) {
        if (reveal == -1 || pageCounter < page) {
          opacity = 256;
        } else {
          const long long o = 16ll * (reveal - i);
          opacity = o < 0 ? 0 : o > 256 ? 256 : static_cast<int>(o);
        }
      }
      const unsigned c = *p;
      if (c == 0) {
        if (depth > 0) Warn(kWarnOpen, text);
        break;
      }
      if (c == '\n' || (c == '\\' && p[1] == 'n')) {
        if (!justWrapped) NewLine();
        justWrapped = false;
        p += c == '\n' ? 1 : 2;
      } else if (c == '<') {
        if (depth >= kMaxTags) {
          Warn(kWarnTooMany, text);
          ++p;
        } else {
          OpenTag(&p);
        }
      } else if (c == '>') {
        if (depth == 0) {
          Warn(kWarnExtraClose, text);
        } else {
          CloseTag();
        }
        ++p;
      } else if (c == '|' && depth > 0 && tags[depth - 1].type == kTagR) {
        p = Ruby(p, tags[depth - 1].saved, opacity);
      } else if (c == '\\' && p[1] == 'k') {
        if (page != -1 && pageCounter >= page) break;
        ++pageCounter;
        p += 2;
      } else if (c == '\\') {
        const unsigned e = p[1];
        if (e == '<' || e == '>' || e == '\\' || e == '|') {
          Character(p + 1, false, opacity);
          p += 2;
        } else {
          p += e == 0 ? 1 : 2;
        }
      } else if (IsLead(c)) {
        if (p[1] == 0) {
          ++p;  // a lead byte cut off by the end of the text draws nothing
        } else {
          Character(p, true, opacity);
          p += 2;
        }
      } else {
        Character(p, false, opacity);
        ++p;
      }
      Wrap(p);
      if (y - y0 >= lines * (baseSize + lineSpacing) - size - lineSpacing + 1) break;
    }
    return measure ? i : (x == x0 ? y - y0 : y - y0 + size);
  }
};

}  // namespace

int TXT_Draw(const TxtLayout& in) {
  if (!in.text) return 0;
  Layout l;
  l.target = in.measure ? nullptr : in.target;
  l.x0 = in.x;
  l.y0 = in.y;
  l.width = in.width;
  l.lines = in.lines;
  l.charSpacing = in.charSpacing;
  l.lineSpacing = in.lineSpacing;
  l.clip = in.clip;
  l.bounds = in.bounds;
  if (l.bounds) *l.bounds = ClipBox{0, 0, 0, 0};
  l.baseSize = in.size;
  l.text = in.text;
  l.colour = in.colour & 15;
  l.reveal = in.reveal;
  l.page = in.page;
  l.toneR = in.toneR;
  l.toneG = in.toneG;
  l.toneB = in.toneB;
  l.alpha = in.alpha;
  l.shadow = in.shadow;
  l.measure = in.measure != 0;
  const int result = l.Run();
  if (in.endX) *in.endX = l.x;
  if (in.endY) *in.endY = l.y;
  return result;
}

int TXT_PlainText(const char* text, char* out, int outSize) {
  if (!out || outSize <= 0) return 0;
  int n = 0;
  auto put = [&](const unsigned char* c, int len) {
    if (n + len > outSize - 1) return;
    for (int k = 0; k < len; ++k) out[n++] = static_cast<char>(c[k]);
  };
  // Which open tags are rubies, so that their '|' and '>' are known.
  bool ruby[kMaxTags + 1] = {};
  int depth = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : "");
  while (*p) {
    const unsigned c = *p;
    if (c == '<') {
      const unsigned letter = p[1] | 0x20;
      if (p[1] == 0) break;
      p += 2;
      if (std::strchr("cfswdar", static_cast<int>(letter))) {
        while (*p >= '0' && *p <= '9') ++p;
        if (depth < kMaxTags) ruby[depth] = letter == 'r';
        ++depth;
      }
    } else if (c == '>') {
      if (depth > 0 && --depth < kMaxTags && ruby[depth]) put(reinterpret_cast<const unsigned char*>(")"), 1);
      ++p;
    } else if (c == '|' && depth > 0 && depth <= kMaxTags && ruby[depth - 1]) {
      put(reinterpret_cast<const unsigned char*>("("), 1);
      ++p;
    } else if (c == '\\') {
      const unsigned e = p[1];
      if (e == '<' || e == '>' || e == '\\' || e == '|') put(p + 1, 1);
      if (e == 'n') put(reinterpret_cast<const unsigned char*>("\n"), 1);
      p += e == 0 ? 1 : 2;
    } else if (IsLead(c) && p[1]) {
      put(p, 2);
      p += 2;
    } else if (IsLead(c)) {
      ++p;
    } else {
      put(p, 1);
      ++p;
    }
  }
  out[n] = 0;
  return n;
}

int TXT_GetWidth(const char* text) {
  if (!text) return 0;
  std::vector<char> line;
  line.reserve(std::strlen(text) + 1);
  int widest = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  for (;;) {
    int spaces = 0;
    line.clear();
    while (*p && *p != '\n' && !(p[0] == '\\' && p[1] == 'n')) {
      if (*p == ' ') {
        ++spaces;
        ++p;
      } else if (IsLead(*p) && p[1]) {
        // Whole two-byte characters: their second byte may lie in the range
        // of the single-byte characters that are left out.
        line.push_back(static_cast<char>(p[0]));
        line.push_back(static_cast<char>(p[1]));
        p += 2;
      } else {
        ++p;
      }
    }
    line.push_back(0);
    const int units = TXT_Draw({.x = 0,
                                .y = 0,
                                .width = 256,
                                .lines = 256,
                                .lineSpacing = 0,
                                .size = 20,
                                .text = line.data(),
                                .alpha = 256,
                                .measure = 1});
    const int value = spaces + 2 * units;
    if (value > widest) widest = value;
    if (*p == 0) break;
    p += *p == '\n' ? 1 : 2;
  }
  return widest;
}

namespace {

// A record's layout, to draw it or to find where it draws.
TxtLayout RecordLayout(const TextRecord* t) {
  return {.x = t->x,
          .y = t->y,
          .width = t->width,
          .lines = t->lines,
          .charSpacing = t->charSpacing,
          .lineSpacing = t->lineSpacing,
          .clip = t->clip,
          .size = t->size,
          .text = t->text,
          .colour = t->colourIndex,
          .reveal = t->reveal,
          .page = t->page,
          .alpha = t->alpha,
          .shadow = t->shadow};
}

}  // namespace

void TXT_DrawRecord(FImage* target, TextRecord* t, int toneR, int toneG, int toneB,
                    const ClipBox* clip) {
  // A record without a buffer (its allocation failed) has nothing to lay out.
  if (!t->text) return;
  TxtLayout l = RecordLayout(t);
  l.target = target;
  if (clip) l.clip = clip;
  l.toneR = toneR;
  l.toneG = toneG;
  l.toneB = toneB;
  l.endX = &t->endX;
  l.endY = &t->endY;
  TXT_Draw(l);
}

ClipBox TXT_RecordBounds(const TextRecord* t) {
  ClipBox box{0, 0, 0, 0};
  if (!t->text) return box;
  TxtLayout l = RecordLayout(t);
  l.bounds = &box;
  TXT_Draw(l);
  return box;
}

void TXT_Reset() {
  g_text = TextState{};
}

// --- Text records ------------------------------------------------------------

void TXT_SetSlot(int text, int layer, int size, int visible, const char* format, ...) {
  TextRecord& t = g_texts[text];
  // Formatted before the old buffer goes, so a record may be set from its own
  // text.
  char* buf = static_cast<char*>(std::calloc(TXT_BUFFER_SIZE, 1));
  if (buf && format) {
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, TXT_BUFFER_SIZE, format, ap);
    va_end(ap);
  }
  std::free(t.text);
  t.text = buf;
  t.used = 1;
  t.layer = static_cast<uint8_t>(layer);
  t.size = static_cast<uint8_t>(size);
  t.visible = static_cast<uint8_t>(visible);
  t.colourIndex = 0;
  t.keepTone = 0;
  t.shadow = 0;
  t.x = t.y = 0;
  t.clip = nullptr;
  t.reveal = -1;
  t.alpha = 256;
  t.width = 256;
  t.lines = 256;
}

void TXT_FreeSlot(int text) {
  FreeText(&g_texts[text]);
}

void TXT_ShowSlot(int text, int visible) {
  g_texts[text].visible = static_cast<uint8_t>(visible);
}

void TXT_SetAlpha(int text, int alpha) {
  g_texts[text].alpha = static_cast<int16_t>(alpha);
}

void TXT_SetShadow(int text, int offset) {
  g_texts[text].shadow = static_cast<uint8_t>(offset);
}

void TXT_SetReveal(int text, int position) {
  g_texts[text].reveal = static_cast<int16_t>(position);
}

void TXT_SetBox(int text, int x, int y, int width, int lines) {
  TextRecord& t = g_texts[text];
  t.x = static_cast<int16_t>(x);
  t.y = static_cast<int16_t>(y);
  t.width = static_cast<int16_t>(width);
  t.lines = static_cast<int16_t>(lines);
}

void TXT_MoveSlot(int text, int x, int y) {
  g_texts[text].x = static_cast<int16_t>(x);
  g_texts[text].y = static_cast<int16_t>(y);
}

void TXT_SetSpacing(int text, int charSpacing, int lineSpacing) {
  g_texts[text].charSpacing = static_cast<int16_t>(charSpacing);
  g_texts[text].lineSpacing = static_cast<int16_t>(lineSpacing);
}

void TXT_FreeAll() {
  for (TextRecord& t : g_texts) FreeText(&t);
}
