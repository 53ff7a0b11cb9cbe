// zentrova-tool render: a scene composes into a PNG; bad lines stop with
// their line number.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "gfx_test_util.h"
#include "platform/plt_png.h"

using namespace gfxtest;

namespace {

class RenderToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tool = std::getenv("ZV_TOOL");
    if (!tool) GTEST_SKIP() << "ZV_TOOL not set (run through ctest)";
    tool_ = tool;
  }
  // Runs the tool on `scene` in the scratch directory; returns the exit code
  // and fills err_ with its standard error.
  int Run(const std::string& scene) {
    std::ofstream("scene.txt") << scene;
    const std::string cmd = "'" + tool_ + "' render scene.txt out.png 2> err.txt";
    const int rc = std::system(cmd.c_str());
    std::ifstream e("err.txt");
    std::stringstream ss;
    ss << e.rdbuf();
    err_ = ss.str();
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  }
  ScratchDir dir_;
  std::string tool_, err_;
};

TEST_F(RenderToolTest, ComposesASceneIntoAPng) {
  // A 24-bit 4 x 2 picture of one colour (blue 10, green 20, red 30).
  std::vector<uint8_t> bgr;
  for (int i = 0; i < 8; ++i) bgr.insert(bgr.end(), {10, 20, 30});
  dir_.Write("dot.bmp", Bmp24(4, 2, false, bgr));
  ASSERT_EQ(Run("# comment line\n"
                "IMG_LoadBMP 3 2 dot.bmp\n"
                "SPR_SetImage 5 3 1 1 -1   # trailing comment\n"
                "SPR_Move 5 100 50\n"
                "SPR_SetFill 6 4 0 0 1\n"
                "SPR_SetPosSize 6 0 0 640 480\n"
                "SPR_SetColour 6 0 0 8\n"
                "SPR_SetBlend 6 1\n"  // added on every pass
                "RND_Frame 2\n"),
            0)
      << err_;
  uint8_t* px = nullptr;
  int w = 0, h = 0;
  ASSERT_EQ(PLT_ReadPng("out.png", &px, &w, &h), 1);
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 480);
  auto at = [&](int x, int y, int c) { return px[4 * (y * w + x) + c]; };
  EXPECT_EQ(at(101, 51, 0), 10);
  EXPECT_EQ(at(101, 51, 2), 30);
  EXPECT_EQ(at(0, 0, 0), 24);  // three passes of +8 blue
  delete[] px;
}

TEST_F(RenderToolTest, SweepWritesOneFramePerParameter) {
  std::vector<uint8_t> bgr;
  for (int i = 0; i < 8; ++i) bgr.insert(bgr.end(), {200, 100, 40});
  dir_.Write("dot.bmp", Bmp24(4, 2, false, bgr));
  std::ofstream("scene.txt") << "IMG_LoadBMP 3 2 dot.bmp\n"
                                "SPR_SetImage 5 3 1 1 -1\n"
                                "SPR_SetBlend 5 0x00400001\n"  // replaced by the sweep
                                "SPR_SetBlend 5 10\n"
                                "RND_Frame 1\n";
  const std::string run = "'" + tool_ + "' render --sweep 0..256:128 scene.txt 'f_%03d.png'";
  ASSERT_EQ(std::system(run.c_str()), 0);
  // Each frame starts from black; two passes of the fade: 100, then 150.
  const int expect[3] = {0, 150, 200};
  for (int k = 0; k < 3; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "f_%03d.png", 128 * k);
    uint8_t* px = nullptr;
    int w = 0, h = 0;
    ASSERT_EQ(PLT_ReadPng(name, &px, &w, &h), 1) << name;
    EXPECT_EQ(px[0], expect[k]) << name;
    delete[] px;
  }
  const std::string bad = "'" + tool_ + "' render --sweep 5..1 scene.txt f_%03d.png 2>/dev/null";
  const int rc = std::system(bad.c_str());
  EXPECT_EQ(WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, 2);
  const std::string noConv = "'" + tool_ + "' render --sweep 0..1 scene.txt f.png 2>/dev/null";
  const int rc2 = std::system(noConv.c_str());
  EXPECT_EQ(WIFEXITED(rc2) ? WEXITSTATUS(rc2) : -1, 2);
}

TEST_F(RenderToolTest, BadLinesStopWithTheirNumber) {
  const struct {
    const char* scene;
    const char* expect;
  } cases[] = {
      {"SPR_Move 1 2 3\nSPR_Wobble 1\n", "scene.txt:2:"},
      {"\n\nSPR_Move 1 2\n", "scene.txt:3:"},
      {"SPR_Move 768 0 0\n", "scene.txt:1:"},
      {"SPR_Move 1 x 0\n", "scene.txt:1:"},
      {"IMG_LoadBMP 256 2 a.bmp\n", "scene.txt:1:"},
      {"IMG_LoadBMP 0 1 a.bmp\n", "scene.txt:1:"},
      {"RND_Frame -1\n", "scene.txt:1:"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.scene), 1) << c.scene;
    EXPECT_NE(err_.find(c.expect), std::string::npos) << c.scene << " -> " << err_;
  }
  // A picture that is not there is a warning, not an error.
  EXPECT_EQ(Run("IMG_LoadBMP 0 2 none.bmp\nSPR_SetImage 0 0 0 1 -1\n"), 0);
  EXPECT_NE(err_.find("warning"), std::string::npos) << err_;
}

}  // namespace
