// Message text of any content, measured, drawn into a small image and
// measured for width: never a read outside the text or a write outside the
// image. The first eight bytes choose the box, the rest is the text.
#include <cstring>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "platform/headless/headless.h"
#include "text/font.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  if (!ready) {
    IMG_InitTables(SCREEN_W, SCREEN_H);
    FNT_CreateCanvas();
    ready = true;
  }
  HL_Reset();
  TXT_Reset();
  uint8_t p[8] = {};
  if (size > 0) std::memcpy(p, data, size < 8 ? size : 8);
  const size_t skip = size < 8 ? size : 8;
  // Exactly the text's bytes and its terminator, so an overread is caught.
  std::vector<char> text(data + skip, data + size);
  text.push_back(0);
  const int fontSize = 1 + p[1] % 48;
  const int width = p[2] % 40;
  const int lines = p[3] % 8;
  const int reveal = p[4] == 255 ? -1 : p[4];
  const int page = p[5] % 4 == 3 ? -1 : p[5] % 4;
  const int alpha = p[6] == 255 ? -1 : p[6];
  const int x = static_cast<int8_t>(p[7]);
  const int y = static_cast<int8_t>(p[0]) / 2;
  int32_t ex = 0, ey = 0;
  TXT_Draw({.x = 0,
            .y = 0,
            .width = width,
            .lines = lines,
            .charSpacing = p[0] & 3,
            .lineSpacing = 8,
            .size = fontSize,
            .text = text.data(),
            .colour = p[0] >> 4,
            .reveal = reveal,
            .page = page,
            .alpha = alpha,
            .measure = 1,
            .endX = &ex,
            .endY = &ey});
  std::vector<uint8_t> pixels(96 * 64 * 3, 0x55);
  FImage img{pixels.data(), 96, 64};
  TXT_Draw({.target = &img,
            .x = x,
            .y = y,
            .width = width,
            .lines = lines,
            .charSpacing = p[0] & 3,
            .lineSpacing = p[3] % 5,
            .size = fontSize,
            .text = text.data(),
            .colour = p[0] >> 4,
            .reveal = reveal,
            .page = page,
            .toneR = p[1],
            .toneG = p[2],
            .toneB = p[6],
            .alpha = alpha,
            .shadow = p[5] % 4,
            .endX = &ex,
            .endY = &ey});
  TXT_GetWidth(text.data());
  return 0;
}

extern "C" void ZvFuzzSeeds(std::vector<std::vector<uint8_t>>* seeds) {
  const char* const texts[] = {
      // Shift-JIS: tags, ruby, emphasis, pages, escapes, kinsoku, katakana.
      "\x8c\x8e<C4\x90\xd4>\x82\xcc<R\x93\x94|\x82\xc6\x82\xa4>\x81\x42\\k<A\x8e\x9a>",
      "<S9\x82\xa0\x82\xa2\x82\xa4><W30>\x82\xa6\\n\x81\x76\x81\x40<F32\x91\xe5>",
      "\\<\\>\\\\\\|\xb1\xb2\xb3 abc<Fabc>\n<D12x><s3y>",
      "<C1<C2<C3<C4<C5<C6<C7<C8<C9<C1<C2<C3<C4<C5<C6<C7x>>>>>>>>>>>>>>>>",
  };
  for (const char* t : texts) {
    std::vector<uint8_t> s = {0x12, 23, 25, 4, 255, 3, 255, 8};
    s.insert(s.end(), t, t + std::strlen(t));
    seeds->push_back(s);
  }
}
