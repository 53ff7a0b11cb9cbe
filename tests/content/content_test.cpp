// The content generator: deterministic output, pictures in exactly the forms
// the game loads, effects in the promised WAV formats, music scores.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "blit/blit.h"
#include "blit/tables.h"
#include "common/archive.h"
#include "common/resource.h"
#include "game/title.h"
#include "gfx/bmp.h"
#include "gfx/image.h"
#include "sound/acm.h"
#include "sound/ogg.h"
#include "sound/wav.h"
#include "test_util.h"
#ifdef ZV_CONTENT_LIB
#include "levels.h"
#endif

namespace fs = std::filesystem;

namespace {
#ifdef ZV_CONTENT_TOOL
const char* kTool = ZV_CONTENT_TOOL;
#else
const char* kTool = nullptr;
#endif

int RunTool(const std::string& out, const std::string& source, const std::string& extra) {
  std::string cmd = std::string("\"") + (kTool ? kTool : "") + "\" --out \"" + out +
                    "\" --source \"" + source + "\" " + extra + " >/dev/null 2>&1";
  return std::system(cmd.c_str());
}

std::map<std::string, std::vector<uint8_t>> ReadTree(const std::string& root) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = ReadFileBytes(e.path());
  return files;
}

uint32_t Le32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}

std::vector<uint8_t> Entry(const std::string& archive, const char* name) {
  uint8_t* buf = nullptr;
  int n = ARC_Read(archive.c_str(), name, &buf);
  std::vector<uint8_t> out(buf, buf + (n > 0 ? n : 0));
  RES_Free(buf);
  return out;
}

// One generated data directory (without music) shared by the tests.
class ContentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!kTool) return;
    char tmpl[] = "/tmp/zentrova-content-XXXXXX";
    dir_ = new std::string(::mkdtemp(tmpl));
    status_ = RunTool(*dir_ + "/a", std::string(ZV_SOURCE_DIR) + "/content", "--no-music");
  }
  static void TearDownTestSuite() {
    if (!dir_) return;
    std::error_code ec;
    fs::remove_all(*dir_, ec);
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (!kTool) GTEST_SKIP() << "built without the content generator";
    ASSERT_EQ(status_, 0);
  }
  static std::string Data() { return *dir_ + "/a"; }
  static std::string* dir_;
  static int status_;
};
std::string* ContentTest::dir_ = nullptr;
int ContentTest::status_ = -1;

TEST_F(ContentTest, SameSourcesGiveSameBytes) {
  ASSERT_EQ(RunTool(*dir_ + "/b", std::string(ZV_SOURCE_DIR) + "/content", "--no-music"), 0);
  auto a = ReadTree(Data()), b = ReadTree(*dir_ + "/b");
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a.size(), b.size());
  for (const auto& [name, bytes] : a) EXPECT_TRUE(b.count(name) && b[name] == bytes) << name;
  // Nothing a game run writes: no log folder, no ranking.
  EXPECT_FALSE(fs::exists(Data() + "/err"));
  EXPECT_FALSE(fs::exists(Data() + "/rank.sav"));
  EXPECT_FALSE(fs::exists(Data() + "/grp")) << "loose pictures would shadow the archive";
}

struct PictureForm {
  const char* name;
  int width, height, bits;
};
const PictureForm kPictures[] = {
    {"g0010.bmp", 640, 480, 24},   {"logo.bmp", 480, 320, 24},      {"tavr00.bmp", 252, 140, 8},
    {"tavr01.bmp", 252, 140, 8},   {"title0000.bmp", 640, 480, 24}, {"title0001.bmp", 232, 120, 8},
    {"title1000.bmp", 576, 56, 8}, {"title1001.bmp", 84, 112, 8},   {"title1002.bmp", 280, 32, 8},
    {"sys1000.bmp", 640, 480, 24}, {"char000.bmp", 336, 224, 8},    {"sys0000.bmp", 180, 24, 8},
    {"sys0001.bmp", 120, 128, 8},  {"sys0002.bmp", 216, 48, 8},     {"sys0003.bmp", 512, 64, 8},
    {"sys0010.bmp", 432, 24, 8},   {"sys0011.bmp", 432, 24, 8},     {"sys0012.bmp", 276, 72, 8},
    {"g0001.bmp", 640, 480, 24},   {"g0002.bmp", 640, 480, 24},     {"g0003.bmp", 640, 480, 24},
    {"g0004.bmp", 640, 480, 24},   {"g0005.bmp", 640, 480, 24},     {"g0006.bmp", 640, 480, 24},
    {"g0007.bmp", 640, 480, 24},   {"g0008.bmp", 640, 480, 24},     {"g0009.bmp", 640, 480, 24},
    {"g0011.bmp", 640, 480, 24},   {"g0012.bmp", 640, 480, 24},     {"g0013.bmp", 640, 480, 24},
    {"g0014.bmp", 640, 480, 24},   {"g0015.bmp", 640, 480, 24},     {"g0016.bmp", 640, 480, 24},
    {"v0001.bmp", 640, 480, 24},   {"v0002.bmp", 640, 480, 24},     {"v0003.bmp", 640, 480, 24},
    {"v0004.bmp", 640, 480, 24},   {"v0005.bmp", 640, 480, 24},     {"v0006.bmp", 640, 480, 24},
    {"v0007.bmp", 640, 480, 24},   {"v0008.bmp", 640, 480, 24},     {"v0009.bmp", 640, 480, 24},
    {"v0010.bmp", 640, 480, 24},   {"v0011.bmp", 640, 480, 24},     {"v0012.bmp", 640, 480, 24},
    {"vs0001.bmp", 128, 96, 24},   {"vs0002.bmp", 128, 96, 24},     {"vs0003.bmp", 128, 96, 24},
    {"vs0004.bmp", 128, 96, 24},   {"vs0005.bmp", 128, 96, 24},     {"vs0006.bmp", 128, 96, 24},
    {"vs0007.bmp", 128, 96, 24},   {"vs0008.bmp", 128, 96, 24},     {"vs0009.bmp", 128, 96, 24},
    {"vs0010.bmp", 128, 96, 24},   {"vs0011.bmp", 128, 96, 24},     {"vs0012.bmp", 128, 96, 24},
    {"win00.bmp", 640, 160, 24},   {"ptf0000.bmp", 640, 480, 8},    {"wait00.bmp", 128, 16, 24},
};

TEST_F(ContentTest, PicturesHaveTheirFormsAndLoad) {
  std::string grp = Data() + "/grp.TVN";
  auto arc = ReadFileBytes(grp);
  ASSERT_GE(arc.size(), 8u);
  ASSERT_EQ(Le32(arc.data()), ARC_MAGIC);
  ASSERT_EQ(Le32(arc.data() + 4), std::size(kPictures));
  for (uint32_t i = 0; i < std::size(kPictures); i++)
    EXPECT_NE(Le32(arc.data() + 8 + 36 * i), 0u) << "picture entries are compressed";

  TempDir cwd;
  fs::copy_file(grp, "grp.TVN");
  IMG_SetDir("grp");
  int slot = 0;
  for (const PictureForm& p : kPictures) {
    SCOPED_TRACE(p.name);
    auto bmp = Entry(grp, p.name);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(int32_t(Le32(&bmp[18])), p.width);
    EXPECT_EQ(int32_t(Le32(&bmp[22])), p.height);
    EXPECT_EQ(Le16(&bmp[28]), p.bits);
    if (p.bits == 24) {
      EXPECT_EQ(Le16(&bmp[6]), 0);
      ASSERT_EQ(IMG_LoadBMP(slot, FMT_F, p.name), 1);
      EXPECT_EQ(g_slots[slot].f.width, p.width);
      EXPECT_EQ(g_slots[slot].f.height, p.height);
    } else if (strcmp(p.name, "ptf0000.bmp") == 0) {
      // The wipe pattern: plain grey levels, no alpha plane.
      EXPECT_EQ(Le16(&bmp[6]), 0);
      ASSERT_EQ(IMG_LoadBMP(slot, FMT_B, p.name), 1);
      const BImage& b = g_slots[slot].b;
      EXPECT_EQ(b.width, p.width);
      EXPECT_EQ(b.height, p.height);
      for (int i = 0; i < 256; i++)
        EXPECT_EQ(Le32(b.palette + 4 * i) & 0xFFFFFF, uint32_t(i) * 0x010101u) << "entry " << i;
    } else {
      // Every sprite carries the alpha plane; rows need no padding.
      EXPECT_NE(Le16(&bmp[6]), 0);
      EXPECT_EQ(p.width % 4, 0);
      EXPECT_EQ(bmp.size(), 1078u + 2u * p.width * p.height);
      ASSERT_EQ(IMG_LoadBMP(slot, FMT_B, p.name), 1);
      const BImage& b = g_slots[slot].b;
      EXPECT_EQ(b.width, p.width);
      EXPECT_EQ(b.height, p.height);
      ASSERT_NE(b.alpha, nullptr);
      // Index 0 is the transparent black; no visible colour is pure black,
      // so the pictures also work with a black colour key.
      EXPECT_EQ(Le32(b.palette), 0u);
      int visible = 0;
      for (int k = 0; k < b.width * b.height; k++) {
        if (b.alpha[k] == 0) {
          EXPECT_EQ(b.pixels[k], 0) << "pixel " << k;
        }
        if (b.pixels[k] != 0) {
          EXPECT_NE(Le32(b.palette + 4 * b.pixels[k]) & 0xFFFFFF, 0u);
          visible++;
        }
      }
      EXPECT_GT(visible, b.width * b.height / 20) << "picture is nearly empty";
    }
    slot++;
  }
  IMG_FreeAll();
}

TEST_F(ContentTest, CreatureCellsAreCentredWithClearCorners) {
  auto bmp = Entry(Data() + "/grp.TVN", "char000.bmp");
  BImage b{};
  int32_t alphaFlag = 0;
  ASSERT_EQ(BMP_DecodeB("char000.bmp", bmp.data(), int(bmp.size()), &b, &alphaFlag), 1);
  for (int row = 0; row < 2; row++)
    for (int kind = 0; kind < 3; kind++) {
      int x0 = 112 * kind, y0 = 112 * row;
      EXPECT_EQ(b.alpha[(y0 + 56) * b.width + x0 + 56], 255) << kind << "," << row;
      // Corners stay clear so a rotated cell shows no box.
      EXPECT_EQ(b.alpha[(y0 + 1) * b.width + x0 + 1], 0);
      EXPECT_EQ(b.alpha[(y0 + 110) * b.width + x0 + 110], 0);
    }
  IMG_ReleaseB(&b);
}

// Luminance 0..1 of every pixel of an 8-bit picture, scaled by its alpha
// (what it adds over black); opaqueOnly keeps only the nearly opaque pixels.
std::vector<double> Lumas(const std::vector<uint8_t>& bmp, const char* name, bool opaqueOnly,
                          int x0, int w) {
  BImage b{};
  int32_t alphaFlag = 0;
  std::vector<double> out;
  EXPECT_EQ(BMP_DecodeB(name, bmp.data(), int(bmp.size()), &b, &alphaFlag), 1) << name;
  if (!b.alpha) return out;
  for (int y = 0; y < b.height; y++)
    for (int x = x0; x < x0 + w; x++) {
      const int i = y * b.width + x;
      if (opaqueOnly && b.alpha[i] < 230) continue;
      const uint8_t* c = b.palette + 4 * b.pixels[i];
      out.push_back((0.0722 * c[0] + 0.7152 * c[1] + 0.2126 * c[2]) / 255 * b.alpha[i] / 255);
    }
  IMG_ReleaseB(&b);
  return out;
}

// The chain banners scroll behind the creatures: their brightest pixel stays
// under the typical brightness of every kind's body, so the eye (and a player
// looking for a colour) finds the creatures first.
TEST_F(ContentTest, ChainBannersNeverOutshineTheCreatures) {
  double dimmest = 1;
  for (int kind = 0; kind < 3; kind++) {
    std::vector<double> body =
        Lumas(Entry(Data() + "/grp.TVN", "char000.bmp"), "char000.bmp", true, 112 * kind, 112);
    ASSERT_GT(body.size(), 1000u);
    std::nth_element(body.begin(), body.begin() + body.size() / 2, body.end());
    dimmest = std::min(dimmest, body[body.size() / 2]);
  }
  const struct {
    const char* name;
    int width;
  } kBanners[] = {{"sys0010.bmp", 432}, {"sys0011.bmp", 432}, {"sys0012.bmp", 276}};
  for (const auto& [name, width] : kBanners) {
    std::vector<double> banner = Lumas(Entry(Data() + "/grp.TVN", name), name, false, 0, width);
    ASSERT_FALSE(banner.empty()) << name << " has an alpha plane";
    EXPECT_LT(*std::max_element(banner.begin(), banner.end()), dimmest) << name;
  }
}

// The story scenes' pictures, checked through the engine's own draw paths.
class StoryPictures : public ContentTest {
 protected:
  void SetUp() override {
    ContentTest::SetUp();
    BLT_InitTables(640, 480);
    g_defaultClip = {0, 0, 640, 480};
  }
  static FImage LoadF(const char* name) {
    auto bmp = Entry(Data() + "/grp.TVN", name);
    FImage f{};
    int32_t flag = 0;
    EXPECT_EQ(BMP_DecodeF(name, bmp.data(), int(bmp.size()), &f, &flag), 1) << name;
    return f;
  }
  static BlitParams Params(FImage* dst, void* src, int srcFormat, int w, int h) {
    BlitParams p{};
    p.dstFormat = FMT_F;
    p.dst = dst;
    p.w = p.sw = w;
    p.h = p.sh = h;
    p.srcFormat = srcFormat;
    p.src = src;
    p.colR = p.colG = p.colB = 128;
    p.colorKey = BLT_KEY_NONE;
    return p;
  }
  static const uint8_t* Px(const FImage& f, int x, int y) {
    return f.pixels + (y * f.width + x) * 3;
  }
};

TEST_F(StoryPictures, WipeSpreadsOutFromTheDropsAtAnEvenPace) {
  auto bmp = Entry(Data() + "/grp.TVN", "ptf0000.bmp");
  BImage mask{};
  int32_t flag = 0;
  ASSERT_EQ(BMP_DecodeB("ptf0000.bmp", bmp.data(), int(bmp.size()), &mask, &flag), 1);
  ASSERT_EQ(mask.width, 640);
  ASSERT_EQ(mask.height, 480);
  // Every level is used about as often: the wipe neither stalls nor jumps.
  std::vector<int> count(256);
  for (int k = 0; k < 640 * 480; k++) count[mask.pixels[k]]++;
  const int even = 640 * 480 / 256;
  for (int v = 0; v < 256; v++) {
    EXPECT_GT(count[v], even / 2) << "level " << v;
    EXPECT_LT(count[v], even * 2) << "level " << v;
  }
  // Smooth: neighbouring pixels differ by a few levels only.
  int jumps = 0;
  for (int y = 0; y < 480; y++)
    for (int x = 1; x < 640; x++)
      jumps += std::abs(mask.pixels[y * 640 + x] - mask.pixels[y * 640 + x - 1]) > 16;
  EXPECT_LT(jumps, 640 * 480 / 500);

  // The engine's wipe: early on only the first drop's surroundings show the
  // new picture; at the end all of it does.
  std::vector<uint8_t> white(640 * 480 * 3, 255), black(640 * 480 * 3, 0);
  FImage pic{white.data(), 640, 480}, dst{black.data(), 640, 480};
  auto wipe = [&](int pos) {
    std::fill(black.begin(), black.end(), 0);
    BlitParams p = Params(&dst, &pic, FMT_F, 640, 480);
    p.src2Format = FMT_B;
    p.src2 = &mask;
    p.s2w = 640;
    p.s2h = 480;
    p.mode2 = BLT_Mode(0, pos);
    ASSERT_EQ(DRW_DrawBMP_FTT(p), 1);
  };
  wipe(40);
  EXPECT_GT(Px(dst, 212, 190)[0], 30) << "the first drop shows first";
  EXPECT_EQ(Px(dst, 630, 470)[0], 0);
  EXPECT_EQ(Px(dst, 10, 10)[0], 0);
  wipe(256);
  for (int y = 0; y < 480; y += 7)
    for (int x = 0; x < 640; x += 7) ASSERT_GE(Px(dst, x, y)[1], 250) << x << "," << y;
  IMG_ReleaseB(&mask);
}

TEST_F(StoryPictures, MessageWindowDarkensAnyBackgroundUnderTheText) {
  FImage win = LoadF("win00.bmp");
  ASSERT_EQ(win.width, 640);
  ASSERT_EQ(win.height, 160);
  // Subtracted from the brightest background, the text area (from row 32)
  // is left dark with a blue tint; the top edge leaves the picture as it is.
  std::vector<uint8_t> screen(640 * 160 * 3, 255);
  FImage dst{screen.data(), 640, 160};
  BlitParams p = Params(&dst, &win, FMT_F, 640, 160);
  p.mode = BLT_MODE_SUB;
  ASSERT_EQ(DRW_DrawBMP_FF(p), 1);
  for (int x = 0; x < 640; x += 5) EXPECT_EQ(Px(dst, x, 0)[1], 255) << x;
  for (int y = 32; y < 160; y += 3)
    for (int x = 8; x < 608; x += 5) {
      const uint8_t* q = Px(dst, x, y);
      ASSERT_LE(q[2], 80) << x << "," << y;  // red
      ASSERT_LE(q[1], 90) << x << "," << y;
      ASSERT_GT(q[0], q[2]) << "blue stays a little";
    }
  // The edge fades in: each row down to the rim darkens more than the one
  // above it (at its darkest point; the faint pattern only lightens).
  auto rowMax = [&](int y) {
    int m = 0;
    for (int x = 0; x < 640; x++) m = std::max<int>(m, Px(win, x, y)[1]);
    return m;
  };
  for (int y = 1; y < 26; y++) EXPECT_GT(rowMax(y), rowMax(y - 1)) << y;
  IMG_ReleaseF(&win);
}

TEST_F(StoryPictures, ThumbnailsAreTheEventPicturesMadeSmall) {
  for (int n = 1; n <= TITLE_EventPictureCount(); n++) {
    char big[24], small[24];
    snprintf(big, sizeof big, "v%04d.bmp", n);
    snprintf(small, sizeof small, "vs%04d.bmp", n);
    SCOPED_TRACE(big);
    FImage a = LoadF(big), b = LoadF(small);
    ASSERT_EQ(b.width * 5, a.width);
    ASSERT_EQ(b.height * 5, a.height);
    // Each thumbnail pixel is close to the mean of its 5x5 block.
    int off = 0;
    for (int y = 0; y < b.height; y++)
      for (int x = 0; x < b.width; x++)
        for (int ch = 0; ch < 3; ch++) {
          int sum = 0;
          for (int j = 0; j < 5; j++)
            for (int i = 0; i < 5; i++) sum += Px(a, x * 5 + i, y * 5 + j)[ch];
          off += std::abs(sum / 25 - Px(b, x, y)[ch]) > 2;
        }
    EXPECT_EQ(off, 0);
    IMG_ReleaseF(&a);
    IMG_ReleaseF(&b);
  }
}

TEST_F(StoryPictures, EveryGalleryEntryHasItsPictureAndThumbnail) {
  int entries = 0;
  for (int i = 0; i < EVENT_PICTURE_MAX && g_eventPictures[i] != -1; i++, entries++) {
    char big[16], small[16];
    snprintf(big, sizeof big, "v%04d.bmp", int(g_eventPictures[i]));
    snprintf(small, sizeof small, "vs%04d.bmp", int(g_eventPictures[i]));
    SCOPED_TRACE(big);
    auto a = Entry(Data() + "/grp.TVN", big), b = Entry(Data() + "/grp.TVN", small);
    ASSERT_GE(a.size(), 54u);
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(Le32(&a[18]), 640u);
    EXPECT_EQ(Le32(&b[18]), 128u);
    EXPECT_EQ(Le32(&b[22]), 96u);
  }
  EXPECT_EQ(entries, 12);  // the gallery's screen holds 12
}

TEST_F(ContentTest, EffectsHaveThePromisedFormats) {
  std::string wav = Data() + "/wav.TVN";
  const struct {
    const char* name;
    int tag;
  } kEffects[] = {{"se_002.wav", 2}, {"se_003.wav", 1}, {"se_008.wav", 1},    {"se_009.wav", 1},
                  {"se_010.wav", 1}, {"se_012.wav", 1}, {"se_013.wav", 0x11}, {"se_020.wav", 1},
                  {"se_021.wav", 1}, {"se_022.wav", 1}, {"se_023.wav", 1}};
  for (const auto& e : kEffects) {
    SCOPED_TRACE(e.name);
    auto w = Entry(wav, e.name);
    ASSERT_GE(w.size(), 44u);
    ASSERT_EQ(memcmp(w.data(), "RIFF", 4), 0);
    ASSERT_EQ(memcmp(w.data() + 8, "WAVE", 4), 0);
    ASSERT_EQ(memcmp(w.data() + 12, "fmt ", 4), 0);
    EXPECT_EQ(Le16(&w[20]), e.tag);
    EXPECT_EQ(Le16(&w[22]), 1);
    EXPECT_EQ(Le32(&w[24]), 44100u);
    // Every effect as the game hears it, compressed ones after conversion.
    const uint8_t* data = nullptr;
    WavFormatArea format{};
    uint32_t size = WAV_ParseMemory(w.data(), uint32_t(w.size()), &data, &format);
    ASSERT_GT(size, 0u);
    std::vector<int16_t> pcm;
    if (e.tag == 1) {
      pcm.resize(size / 2);
      memcpy(pcm.data(), data, pcm.size() * 2);
      // PCM effects start and end in silence: no click at either end.
      ASSERT_GT(pcm.size(), 1000u);
      EXPECT_LT(std::abs(pcm.front()), 64);
      EXPECT_LT(std::abs(pcm.back()), 64);
    } else {
      PltWaveFormat out{};
      ACM_PcmFormatFor(&format.wf, &out);
      pcm.resize(ACM_OutputSize(&format.wf, size, &out) / 2);
      pcm.resize(ACM_Convert(&format.wf, data, size, &out, reinterpret_cast<uint8_t*>(pcm.data())) /
                 2);
      ASSERT_GT(pcm.size(), 1000u);
    }
    int peak = 0;
    for (int16_t v : pcm) peak = std::max(peak, std::abs(int(v)));
#ifdef ZV_CONTENT_LIB
    // The mix adds effects to the music at full volume: each one stays under
    // its ceiling, and none so far under it that it is lost.
    EXPECT_LE(peak, int(32768 * DbGain(kEffectPeakDb)) + 1) << "over the effect ceiling";
    EXPECT_GT(peak, int(32768 * DbGain(kEffectPeakDb - 12))) << "too quiet";
#endif
  }
}

TEST_F(ContentTest, OtherFilesArePresent) {
  for (const char* f : {"manual/manual.html", "res/icon.png", "res/cursor.png",
                        "icons/hicolor/16x16/apps/zentrova.png",
                        "icons/hicolor/256x256/apps/zentrova.png", "zentrova.desktop"}) {
    auto b = ReadFileBytes(Data() + "/" + f);
    EXPECT_FALSE(b.empty()) << f;
  }
  auto cur = ReadFileBytes(Data() + "/res/cursor.png");
  ASSERT_GE(cur.size(), 24u);
  EXPECT_EQ(Le32(&cur[16]), 0x20000000u);  // width 32, big-endian in the header
}

#ifdef ZV_CONTENT_LIB
// The built scores, decoded as the game decodes them: under the score
// ceiling that leaves the effects their room, and at one loudness.
TEST(ContentMusic, BuiltScoresKeepTheirLevel) {
  const fs::path bgm = fs::path(ZV_BINARY_DIR) / "data" / "bgm";
  for (int n = 1; n <= 7; n++) {
    const std::string name = "bgm_00" + std::to_string(n) + ".ogg";
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = ReadFileBytes((bgm / name).string());
    ASSERT_GT(file.size(), 4096u);
    OggDecoder* d = OGG_Create();
    std::vector<uint8_t> out(OGG_OUTPUT_CAPACITY);
    int peak = 0;
    double energy = 0;
    size_t samples = 0, at = 0;
    for (int status = OGG_MORE; status == OGG_MORE;) {
      const uint32_t piece = uint32_t(std::min<size_t>(OGG_INPUT_PIECE, file.size() - at));
      uint32_t produced = 0;
      status = OGG_Decode(d, file.data() + at, piece, out.data(), uint32_t(out.size()), &produced);
      at += piece;
      for (uint32_t k = 0; k + 1 < produced; k += 2) {
        const int v = int16_t(out[k] | out[k + 1] << 8);
        peak = std::max(peak, std::abs(v));
        energy += double(v) * v;
        samples++;
      }
    }
    OGG_Destroy(&d);
    ASSERT_GT(samples, 44100u);
    EXPECT_LE(peak, int(32768 * DbGain(kScorePeakDb))) << "over the score ceiling";
    const double rmsDb = 20 * std::log10(std::sqrt(energy / double(samples)) / 32768);
    EXPECT_LE(rmsDb, kScoreRmsDb + 0.5);
    EXPECT_GE(rmsDb, kScoreRmsDb - 3);
  }
}
#endif

// Music: tiny scores keep the test fast; the real scores are checked by the
// same parser in the normal build.
void WriteText(const std::string& path, const std::string& text) {
  WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(ContentMusic, ScoresRenderToOggDeterministically) {
  if (!kTool) GTEST_SKIP() << "built without the content generator";
  TempDir dir;
  fs::create_directories("src/manual");
  fs::copy(std::string(ZV_SOURCE_DIR) + "/content/manual", "src/manual",
           fs::copy_options::recursive);
  fs::copy(std::string(ZV_SOURCE_DIR) + "/content/story", "src/story", fs::copy_options::recursive);
  const std::string score =
      "title test\ntempo 140\nloop on\ntrack a bell vol 0.5 pan -0.5\ntrack k kick\n"
      "define arp ( c5/1 e5 g5 )*2\n"
      "pattern p\na: $arp | c5+e5/4 r/2 f#5/2\nk: x/4 x/4 x/4\nend\nsong p p\n";
  for (int n = 1; n <= 7; n++) WriteText("src/music/bgm_00" + std::to_string(n) + ".txt", score);
  ASSERT_EQ(RunTool("one", "src", ""), 0);
  ASSERT_EQ(RunTool("two", "src", ""), 0);
  for (int n = 1; n <= 7; n++) {
    std::string f = "bgm/bgm_00" + std::to_string(n) + ".ogg";
    auto a = ReadFileBytes("one/" + f), b = ReadFileBytes("two/" + f);
    ASSERT_GE(a.size(), 58u) << f;
    EXPECT_EQ(memcmp(a.data(), "OggS", 4), 0);
    EXPECT_EQ(Le32(&a[14]), 0x5A560000u + n) << "fixed stream serial";
    EXPECT_EQ(a, b) << f;
  }
  // A broken score fails the build instead of leaving silence behind.
  WriteText("src/music/bgm_003.txt", "tempo 100\npattern p\na: c5/4\nend\nsong p\n");
  EXPECT_NE(RunTool("three", "src", ""), 0);
  WriteText("src/music/bgm_003.txt", "tempo 100\ntrack a bell\npattern p\na: h5/4\nend\nsong p\n");
  EXPECT_NE(RunTool("three", "src", ""), 0);
}
}  // namespace
