// Fixture for the script tests: a fresh working directory, headless input,
// and the scene's frame stepped as the frame step runs it.
#pragma once
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/act.h"
#include "common/config.h"
#include "common/key.h"
#include "common/mouse.h"
#include "gfx/gfx_test_util.h"
#include "gfx/image.h"
#include "gfx/sprite.h"
#include "platform/headless/headless.h"
#include "platform/plt_types.h"
#include "script/scene.h"
#include "script/script.h"
#include "shell/app.h"
#include "shell/reset.h"
#include "test_util.h"

// A picture of one colour, and a wipe pattern whose index rises left to right.
inline std::vector<uint8_t> SolidBmp(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> bgr;
  for (int i = 0; i < w * h; ++i) bgr.insert(bgr.end(), {b, g, r});
  return gfxtest::Bmp24(w, h, true, bgr);
}
inline std::vector<uint8_t> RampPatternBmp(int w, int h) {
  std::vector<uint8_t> idx(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) idx[y * w + x] = static_cast<uint8_t>(x * 255 / (w - 1));
  return gfxtest::Bmp8(w, h, true, 256, idx, true);
}

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HL_Reset();
    ZV_ResetAll();
  }
  void TearDown() override {
    SPR_ClearAll();
    SCR_Release();
    SCR_ResetInterp();
    AVG_Reset();
  }

  int Load(const std::string& text) {
    return SCR_LoadData(0, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<int>(text.size()));
  }
  static std::vector<std::string> Entries() {
    std::vector<std::string> v;
    for (int i = 0; i < g_script.count; ++i) v.emplace_back(g_script.entries[i]);
    return v;
  }
  // One scene frame: poll, then the scene update. Returns the next game mode.
  int Frame() {
    KEY_Poll(1);
    MOUSE_Poll(1);
    return ADV_Update();
  }
  // Frames until the program counter leaves `pc` (at most `limit`).
  int FramesAt(int pc, int limit = 1000) {
    int n = 0;
    while (g_script.pc == pc && n < limit) {
      ++n;
      if (Frame() != 3) break;  // the scene ended
    }
    return n;
  }
  void Click() {
    HL_MouseButton(0, 1);
    Frame();
    HL_MouseButton(0, 0);
  }
  int BoxesMentioning(const char* text) const {
    int n = 0;
    for (const HlMessageBox& b : HL_MessageBoxes()) n += b.text.find(text) != std::string::npos;
    return n;
  }

  TempDir dir_;
};
