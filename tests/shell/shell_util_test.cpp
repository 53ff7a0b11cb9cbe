// The debug log, file utilities and the registry store.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/config.h"
#include "common/file.h"
#include "common/log.h"
#include "common/reg.h"
#include "common/rng.h"
#include "common/util.h"
#include "platform/plt_registry.h"
#include "test_util.h"

namespace {

TEST(Log, FirstWriteOfTheRunEmptiesTheFileThenAppends) {
  TempDir dir;
  std::filesystem::create_directory("err");
  WriteFileBytes("err/debug.txt", Bytes("old contents\n"));
  LOG_Reset();
  EXPECT_EQ(LOG_Write("a %d\n", 1), 4);
  EXPECT_EQ(LOG_Write("%-3d:%-3d\n", 30, 30), 8);
  auto text = ReadFileBytes("err/debug.txt");
  EXPECT_EQ(std::string(text.begin(), text.end()), "a 1\n30 :30 \n");
  ASSERT_GE(LOG_RecentCount(), 2);
  EXPECT_STREQ(LOG_Recent(LOG_RecentCount() - 1), "30 :30 ");
}

TEST(Log, WithoutTheFolderNothingIsWrittenAndTheGameGoesOn) {
  TempDir dir;
  LOG_Reset();
  EXPECT_EQ(LOG_Write("x\n"), 0);
  EXPECT_FALSE(std::filesystem::exists("err"));
}

TEST(Log, RecentKeepsTheLastFifty) {
  LOG_Reset();
  for (int i = 0; i < 60; ++i) LOG_Write("line %d\n", i);
  EXPECT_EQ(LOG_RecentCount(), 50);
  EXPECT_STREQ(LOG_Recent(0), "line 10");
}

TEST(FileUtil, WriteAtNeverTruncatesAndReadAtReadsWhatIsThere) {
  TempDir dir;
  EXPECT_EQ(FILE_WriteAll("f.bin", "abcdef", 6), 6);
  EXPECT_EQ(FILE_WriteAt("f.bin", 2, "XY", 2), 2);
  char buf[8] = {};
  EXPECT_EQ(FILE_ReadAt("f.bin", 0, buf, 8), 6);
  EXPECT_STREQ(buf, "abXYef");
  EXPECT_EQ(FILE_Append("F.BIN", "g", 1), 1);  // names fold case
  EXPECT_EQ(FILE_ReadAt("f.bin", 6, buf, 1), 1);
  EXPECT_EQ(buf[0], 'g');
  EXPECT_EQ(FILE_ReadAt("missing", 0, buf, 1), 0);
}

TEST(FileUtil, ExtensionClampAndTriangle) {
  EXPECT_STREQ(FILE_Extension("bgm_001.ogg"), "ogg");
  EXPECT_EQ(FILE_Extension("noext"), nullptr);
  EXPECT_EQ(FILE_Extension(".hidden"), nullptr);
  EXPECT_EQ(UTIL_Clamp(0, -5, 10), 0);
  EXPECT_EQ(UTIL_Clamp(0, 50, 10), 10);
  std::vector<int> wave;
  for (int a = 0; a < 256; ++a) wave.push_back(UTIL_Triangle(a, 127));
  EXPECT_EQ(wave[0], 0);
  EXPECT_EQ(wave[127], 127);
  EXPECT_EQ(wave[253], 1);
  EXPECT_EQ(wave[254], 0);
}

TEST(Random, SameSeedSameSequence) {
  RNG_Seed(42);
  int a = RNG_Next(), b = RNG_Next();
  RNG_Seed(42);
  EXPECT_EQ(RNG_Next(), a);
  EXPECT_EQ(RNG_Next(), b);
  for (int i = 0; i < 1000; ++i) {
    int v = RNG_Next();
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 32767);
  }
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("ZENTROVA_CONFIG_DIR", dir_.path().c_str(), 1);
    PLT_RegReset();
  }
  void TearDown() override {
    ::unsetenv("ZENTROVA_CONFIG_DIR");
    PLT_RegReset();
  }
  TempDir dir_;
};

TEST_F(RegistryTest, DefaultsSurviveMissingValues) {
  CFG_Defaults();
  REG_SetKey(REG_KEY_CONFIG);
  REG_WriteDword("wait", 4);
  CFG_Load();
  EXPECT_EQ(g_cfg.wait, 4);
  EXPECT_EQ(g_cfg.msgWait, 2);
  EXPECT_EQ(g_cfg.bgm, 1);
  int32_t v = 77;
  REG_SetKey("SoftWare\\TAVREN\\Nothing");
  EXPECT_EQ(REG_ReadDword("x", &v), -1);
  EXPECT_EQ(v, 77);
}

TEST_F(RegistryTest, SaveAndLoadRoundTripThroughTheFile) {
#ifdef _WIN32
  GTEST_SKIP() << "the settings file is the Linux build's; Windows keeps them in the registry";
#endif
  CFG_Defaults();
  g_cfg.screen = 1;
  g_cfg.cg[5] = 0xAB;
  CFG_Save();
  PLT_RegReset();  // forget the memory copy: read the file again
  CFG_Defaults();
  CFG_Load();
  EXPECT_EQ(g_cfg.screen, 1);
  EXPECT_EQ(g_cfg.cg[5], 0xAB);
  // The store is replaced whole: no temporary files are left behind.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir_.path())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(RegistryTest, ReadOrCreateWritesTheDefault) {
  int32_t check = 0;
  EXPECT_NE(REG_ReadOrCreate("256_check", &check), 0);
  PLT_RegReset();
  check = 5;
  EXPECT_EQ(REG_ReadOrCreate("256_check", &check), 0);
  EXPECT_EQ(check, 0);
}

TEST_F(RegistryTest, DamagedLinesCostOnlyTheirValues) {
#ifdef _WIN32
  GTEST_SKIP() << "the settings file is the Linux build's; Windows keeps them in the registry";
#endif
  WriteFileBytes(dir_.path() + "/registry.txt",
                 Bytes("[SoftWare\\TAVREN\\Zentrova\\config]\nwait=dword:00000001\nbgm=dword:zz\n"
                       "msg_wait\ncg=hex:0g\nse=dword:00000000\n"));
  PLT_RegReset();
  CFG_Defaults();
  CFG_Load();
  EXPECT_EQ(g_cfg.wait, 1);
  EXPECT_EQ(g_cfg.bgm, 1);
  EXPECT_EQ(g_cfg.se, 0);
}

}  // namespace
