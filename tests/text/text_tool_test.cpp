// zentrova-tool text, run as an author would run it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "platform/plt_png.h"
#include "test_util.h"
#include "text_test_util.h"

namespace {

struct Result {
  int code;
  std::string out, err;
};

Result Text(const std::string& args) {
  const char* t = std::getenv("ZV_TOOL");
  const std::string tool = t ? t : std::string(ZV_BINARY_DIR) + "/zentrova-tool";
  const int status = std::system((tool + " text " + args + " >out.txt 2>err.txt").c_str());
  auto out = ReadFileBytes("out.txt"), err = ReadFileBytes("err.txt");
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(out.begin(), out.end()),
          std::string(err.begin(), err.end())};
}

TEST(TextTool, LayoutAndWidthPrintTheEngineResults) {
  TempDir dir;
  WriteFileBytes("m.txt", Bytes(texttest::Sj("あいうえお」か<W10>")));
  WriteFileBytes("u.txt", Bytes("あいうえお」か<W10>"));
  Result r = Text("layout --width 5 m.txt");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "17 24 32\n");
  EXPECT_EQ(Text("layout --utf8 --width 5 u.txt").out, "17 24 32\n");
  EXPECT_EQ(Text("layout --width 5 --reveal 3 m.txt").out, "4 96 0\n");
  EXPECT_EQ(Text("layout --size 20 --line-spacing 2 --width 5 --lines 1 m.txt").out, "6 0 22\n");
  EXPECT_EQ(Text("width m.txt").out, "14\n");
  EXPECT_EQ(Text("width --utf8 u.txt").out, "14\n");
}

TEST(TextTool, WarningsGoToStderrAndTheLineIsStillPrinted) {
  TempDir dir;
  WriteFileBytes("open.txt", Bytes("<C4x"));
  Result r = Text("layout open.txt");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "1 12 0\n");
  EXPECT_NE(r.err.find("タグが開いたままになっています"), std::string::npos) << r.err;
}

TEST(TextTool, RenderWritesAFrameWithTheText) {
  TempDir dir;
  WriteFileBytes("m.txt", Bytes("灯籠鳥の<R歌|うた>"));
  ASSERT_EQ(Text("render --utf8 --shadow 2 --at 8,352 m.txt out.png").code, 0);
  uint8_t* px = nullptr;
  int w = 0, h = 0;
  ASSERT_EQ(PLT_ReadPng("out.png", &px, &w, &h), 1);
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 480);
  int bright = 0, dark = 0, other = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int v = px[4 * (y * w + x) + 1];
      (v > 200 ? bright : v < 100 ? dark : other) += 1;
      if (v != 128) {
        EXPECT_TRUE(y >= 340 && y < 380 && x >= 8 && x < 140) << x << "," << y;
      }
    }
  }
  delete[] px;
  EXPECT_GT(bright, 100);
  EXPECT_GT(dark, 50);
}

TEST(TextTool, BadUseExitsNonZeroWithAMessage) {
  TempDir dir;
  WriteFileBytes("m.txt", Bytes("x"));
  for (const char* args :
       {"", "layout", "layout missing.txt", "layout --size 0 m.txt", "layout --width m.txt",
        "render m.txt", "frobnicate m.txt", "render --colour 16 m.txt o.png",
        "render --background none.bmp m.txt o.png", "layout --bogus m.txt"}) {
    Result r = Text(args);
    EXPECT_NE(r.code, 0) << args;
    EXPECT_FALSE(r.err.empty()) << args;
  }
  Result help = Text("layout --help");
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("RESULT ENDX ENDY"), std::string::npos);
}

}  // namespace
