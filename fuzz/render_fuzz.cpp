// Render scene files of any content: parsed and run against the back buffer
// (pictures from an empty picture group), then composed once. Render passes
// asked for by a line are capped, as they only cost time.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz_util.h"
#include "gfx/image.h"
#include "gfx/render.h"
#include "gfx/sprite.h"
#include "platform/headless/headless.h"
#include "zentrova-tool/render_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 14)) return 0;
  static bool ready = false;
  if (!ready) {
    fuzz::EnterScratchDir();
    IMG_SetDir("grp");
    IMG_InitTables(SCREEN_W, SCREEN_H);
    if (!IMG_CreateBackBuffer(24, SCREEN_W, SCREEN_H) || !g_back.frame.pixels) __builtin_trap();
    ready = true;
  }
  HL_Reset();
  for (int s = 0; s < SPR_COUNT; ++s) SPR_Clear(s);
  for (int i = 0; i < IMG_SLOTS; ++i) IMG_FreeSlot(i);
  SPR_SetTone(128, 128, 128);
  std::memset(g_back.frame.pixels, 0,
              static_cast<size_t>(g_back.frame.width) * g_back.frame.height * 3);
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (RENDER_RunScene(text, "fuzz.txt", 0, 0, 2) == 0) RND_Frame(&g_back.frame, 24);
  return 0;
}
