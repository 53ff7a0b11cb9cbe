// Parameter blocks of any content through every pixel-loop entry: never a
// read or write outside an image (images are sized exactly, so the sanitizer
// or libFuzzer's own checks catch any stray access).
#include <cstring>
#include <memory>
#include <vector>

#include "blit/blit.h"
#include "common/rng.h"

namespace {

struct Reader {
  const uint8_t* p;
  size_t n;
  int32_t i32() {
    int32_t v = 0;
    const size_t k = n < 4 ? n : 4;
    if (k) std::memcpy(&v, p, k);
    p += k;
    n -= k;
    return v;
  }
  // Small values most of the time, so that the draws reach the pixel loops.
  int32_t coord() {
    const int32_t v = i32();
    return (v & 3) == 0 ? v : (v >> 2) % 96;
  }
  uint8_t u8() {
    if (n == 0) return 0;
    n--;
    return *p++;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool init = false;
  if (!init) {
    RNG_Seed(1);
    BLT_InitTables(640, 480);
    init = true;
  }
  Reader r{data, size};
  const int dw = r.u8() % 80, dh = r.u8() % 60, sw = r.u8() % 50, sh = r.u8() % 50;
  const bool alpha = r.u8() & 1;
  const size_t dn = static_cast<size_t>(dw) * dh, sn = static_cast<size_t>(sw) * sh;
  std::unique_ptr<uint8_t[]> dpx(new uint8_t[dn * 3 + 1]), fpx(new uint8_t[sn * 3 + 1]),
      bpx(new uint8_t[sn + 1]), apx(new uint8_t[sn + 1]), pal(new uint8_t[1024]);
  for (size_t i = 0; i < sn; i++)
    bpx[i] = static_cast<uint8_t>(i * 37), apx[i] = static_cast<uint8_t>(i * 91);
  std::memset(fpx.get(), 0x55, sn * 3 + 1);
  std::memset(dpx.get(), 0x22, dn * 3 + 1);
  for (int i = 0; i < 1024; i++) pal[i] = static_cast<uint8_t>(i);
  FImage dst{dpx.get(), dw, dh}, f{fpx.get(), sw, sh};
  BImage b{bpx.get(), alpha ? apx.get() : nullptr, pal.get(), sw, sh};

  BlitParams p{};
  p.dst = &dst;
  p.dx = r.coord(), p.dy = r.coord(), p.w = r.coord(), p.h = r.coord();
  p.sx = r.coord(), p.sy = r.coord(), p.sw = r.coord(), p.sh = r.coord();
  for (int k = 0; k < 3; k++) {
    p.dq[k][0] = r.coord(), p.dq[k][1] = r.coord();
    p.sq[k][0] = r.coord(), p.sq[k][1] = r.coord();
  }
  p.s2x = r.coord(), p.s2y = r.coord(), p.s2w = r.coord(), p.s2h = r.coord();
  p.colR = r.i32(), p.colG = r.i32(), p.colB = r.i32();
  p.colorKey = r.i32();
  ClipBox box = {r.coord(), r.coord(), r.coord(), r.coord()};
  const uint8_t c = r.u8() % 3;
  p.clip = c == 0 ? nullptr : c == 1 ? BLT_NO_CLIP : &box;
  p.mode = static_cast<uint32_t>(r.i32());
  // Most inputs pick one of the draw modes the loops know.
  if (r.u8() & 1) p.mode = (p.mode & 0xFFFF0000u) | (r.u8() % 44);
  p.mode2 = static_cast<uint32_t>(r.i32());
  p.flags = static_cast<uint32_t>(r.i32());
  BLT_SetVectorLevel(r.u8() % 4);

  p.srcFormat = FMT_F;
  p.src = &f;
  DRW_DrawBMP_FF(p);
  DRW_DrawZOOM_FF(p);
  DRW_DrawQuad_FF(p);
  p.src2Format = FMT_B;
  p.src2 = &b;
  DRW_DrawBMP_FTT(p);
  p.src2 = &f;
  DRW_DrawBMP_FTT_F(p);
  p.srcFormat = FMT_B;
  p.src = &b;
  DRW_DrawBMP_FB(p);
  DRW_DrawZOOM_FB(p);
  DRW_DrawQuad_FB(p);
  PRM_DrawRect_F(p);
  const int corners[4][2] = {
      {p.dx, p.dy}, {p.dq[0][0], p.dq[0][1]}, {p.dq[1][0], p.dq[1][1]}, {p.dq[2][0], p.dq[2][1]}};
  BImage frame8{bpx.get(), nullptr, pal.get(), sw, sh};
  if (sn <= dn) DRW_ChangeBMP_F2B(&frame8, &dst);
  PRM_DrawVQuad(&dst, corners, p.clip, r.coord(), r.coord(), r.coord(), r.coord(), r.coord(),
                r.coord(), r.coord(), r.coord(), p.mode);
  return 0;
}
