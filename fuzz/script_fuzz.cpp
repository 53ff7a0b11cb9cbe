// Scripts of any content run as a scene for a bounded number of frames with
// varying input: loading, tokenizing and interpreting never read or write
// outside a buffer, and every frame ends. The first four bytes choose the
// speeds and the input pattern, the rest is the script.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/config.h"
#include "common/key.h"
#include "common/mouse.h"
#include "gfx/image.h"
#include "gfx/render.h"
#include "gfx/sprite.h"
#include "platform/headless/headless.h"
#include "platform/plt_types.h"
#include "script/scene.h"
#include "script/script.h"
#include "shell/app.h"
#include "text/font.h"
#include "text/text.h"

namespace {

void Put(const char* path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A small 24-bit picture and an 8-bit wipe pattern, so the transitions draw.
std::vector<uint8_t> Bmp(int w, int h, int bits) {
  const int stride = ((w * bits / 8) + 3) & ~3;
  const int palette = bits == 8 ? 1024 : 0;
  const int size = 54 + palette + stride * h;
  std::vector<uint8_t> d(static_cast<size_t>(size), 0);
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  d[0] = 'B';
  d[1] = 'M';
  put32(2, size);
  put32(10, 54 + palette);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  d[26] = 1;
  d[28] = static_cast<uint8_t>(bits);
  for (int i = 0; i < palette / 4; ++i) d[54 + 4 * i] = d[55 + 4 * i] = d[56 + 4 * i] = i;
  for (int i = 54 + palette; i < size; ++i) d[i] = static_cast<uint8_t>(i * 7);
  return d;
}

// The scratch directory goes when the process ends.
struct Scratch {
  std::string path;
  ~Scratch() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
};
Scratch g_scratch;

void SetUpDirectory() {
  char tmpl[] = "/tmp/zv-script-fuzz-XXXXXX";
  if (!::mkdtemp(tmpl) || ::chdir(tmpl) != 0) return;
  g_scratch.path = tmpl;
  ::mkdir("grp", 0755);
  ::mkdir("SCR", 0755);
  Put("grp/g0001.BMP", Bmp(64, 48, 24));
  Put("grp/v0002.BMP", Bmp(640, 480, 24));
  Put("grp/ptf0000.bmp", Bmp(640, 480, 8));
  Put("grp/win00.bmp", Bmp(640, 160, 24));
  const char* s1 = "#B1,2,4\nA<R\x8e\x9a|x>#C0,a\n#C0,b\n#Cc\n#L2";
  Put("SCR/s0001.txt", std::vector<uint8_t>(s1, s1 + std::strlen(s1)));
  const char* s2 = "@a\n#N1+1\n#L2";  // loads itself for ever
  Put("SCR/s0002.txt", std::vector<uint8_t>(s2, s2 + std::strlen(s2)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = false;
  static std::vector<uint8_t> pixels(static_cast<size_t>(SCREEN_W) * SCREEN_H * 3);
  if (!ready) {
    SetUpDirectory();
    IMG_InitTables(SCREEN_W, SCREEN_H);
    FNT_CreateCanvas();
    ready = true;
  }
  HL_Reset();
  KEY_Reset();
  MOUSE_Init(SCREEN_W, SCREEN_H);
  CFG_Defaults();
  SPR_ClearAll();
  SCR_Release();
  SCR_ResetInterp();
  AVG_StartScene();
  g_scene.nextStageRequest = 0;
  uint8_t p[4] = {};
  const size_t skip = size < 4 ? size : 4;
  if (skip) std::memcpy(p, data, skip);
  g_cfg.wait = p[0] % 5;
  g_cfg.msgWait = p[1] % 4;
  SCR_LoadData(0, size > skip ? data + skip : nullptr, static_cast<int>(size - skip));
  // Every entry tokenized as arguments, from each of its first three bytes.
  for (int i = 0; i < g_script.count; ++i) {
    const char* e = g_script.entries[i];
    for (int k = 0; k < 3 && e[k]; ++k) SCR_GetArgs(e + k + 1);
  }
  g_script.pc = 0;
  FImage frame{pixels.data(), SCREEN_W, SCREEN_H};
  for (int f = 0; f < 48; ++f) {
    const uint8_t in = static_cast<uint8_t>(p[2] + f * p[3]);
    HL_MouseMove((in * 37) % SCREEN_W, 200 + (in % 5) * 28);
    HL_MouseButton(0, in & 1);
    HL_MouseButton(1, (in >> 3) % 7 == 0);
    HL_KeyEvent(PLT_VK_CONTROL, (in >> 1) & 1);
    HL_KeyEvent(PLT_VK_DOWN, (in >> 5) & 1);
    KEY_Poll(1);
    MOUSE_Poll(1);
    if (ADV_Update() != 3) break;
    if (f % 16 == 15) RND_Frame(&frame, 24);
  }
  RND_Frame(&frame, 24);
  SCR_Release();
  SPR_ClearAll();
  return 0;
}

extern "C" void ZvFuzzSeeds(std::vector<std::vector<uint8_t>>* seeds) {
  const char* const scripts[] = {
      ("#T1\n#B1,0,0\nhello<C3you>\n#W0,10\n#V2,2,20\n#C0,yes\n#C0,no\n#Cs,v3\n#IN3,==,1,a,b\n@a\n"
       "#FS3,N3\n#F=N4,3\n@b\n#M1\n#S2,100,1\n#Mx,30\n#L1"),
      "@a\n#Ga\n",
      "#B1,1,8\n#B1,2,8\n#B1,0,8\n#B\n#V\n#W\n#W9,9,9\n#I\n#I1\n#N\n#Nx\n#F\n#FS\n#C\n#C0\n#L",
      "\x82\xa0\x82\xa0%s%n%d\n#T0\n\x82\xa0\n#Ta\n#Q\n#\n@\n//x\n\x81",
  };
  for (const char* s : scripts) {
    std::vector<uint8_t> v = {2, 2, 0x5a, 3};
    v.insert(v.end(), s, s + std::strlen(s));
    seeds->push_back(v);
  }
}
