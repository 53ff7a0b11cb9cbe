// zentrova-tool pack, cat and replay, and the game's single-instance rule,
// run as a user would run them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/plt_instance.h"
#include "test_util.h"

namespace {

std::string Tool() {
  const char* t = std::getenv("ZV_TOOL");
  return t ? t : std::string(ZV_BINARY_DIR) + "/zentrova-tool";
}

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result RunTool(const std::string& args) {
  std::string cmd = Tool() + " " + args + " >out.txt 2>err.txt";
  int status = std::system(cmd.c_str());
  auto out = ReadFileBytes("out.txt"), err = ReadFileBytes("err.txt");
  return Result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(out.begin(), out.end()),
                std::string(err.begin(), err.end())};
}

std::string ReadText(const std::string& path) {
  auto b = ReadFileBytes(path);
  return std::string(b.begin(), b.end());
}

TEST(ToolPack, CreateListExtractRoundTrip) {
  TempDir dir;
  std::mt19937 rng(3);
  std::vector<uint8_t> noise(3000);
  for (auto& b : noise) b = static_cast<uint8_t>(rng() % 7);
  WriteFileBytes("in/Noise.bin", noise);
  WriteFileBytes("in/text.txt", Bytes(std::string(500, 'x') + "tail"));
  ASSERT_EQ(RunTool("pack create grp.TVN --compress in/Noise.bin in/text.txt").code, 0);
  Result list = RunTool("pack list grp.TVN");
  ASSERT_EQ(list.code, 0);
  EXPECT_NE(list.out.find("Noise.bin 1 80 "), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("text.txt 1 "), std::string::npos);
  ASSERT_EQ(RunTool("pack extract grp.TVN NOISE.BIN").code, 0);
  EXPECT_EQ(ReadFileBytes("out.txt"), noise);
  // The game's loader reads the same bytes.
  ASSERT_EQ(RunTool("cat grp text.txt").code, 0);
  EXPECT_EQ(ReadText("out.txt"), std::string(500, 'x') + "tail");
}

TEST(ToolPack, ErrorsGoToStderrWithNonZeroExit) {
  TempDir dir;
  WriteFileBytes("a-name-that-is-far-too-long.bin", Bytes("x"));
  Result r = RunTool("pack create x.TVN a-name-that-is-far-too-long.bin");
  EXPECT_NE(r.code, 0);
  EXPECT_NE(r.err.find("longer than 23"), std::string::npos);
  EXPECT_NE(RunTool("pack create x.TVN missing.bin").code, 0);
  EXPECT_NE(RunTool("pack list nothing.TVN").code, 0);
  EXPECT_NE(RunTool("pack frobnicate").code, 0);
  EXPECT_EQ(RunTool("pack --help").code, 0);
}

TEST(ToolCat, LooseWinsAndMissingReportsTheMessage) {
  TempDir dir;
  WriteFileBytes("w/a.wav", Bytes("loose"));
  WriteFileBytes("a.wav", Bytes("packed"));
  ASSERT_EQ(RunTool("pack create wav.TVN a.wav").code, 0);
  EXPECT_EQ(RunTool("cat wav a.wav").out, "packed");
  WriteFileBytes("wav/A.WAV", Bytes("loose"));
  EXPECT_EQ(RunTool("cat wav a.wav").out, "loose");
  Result r = RunTool("cat wav none.wav");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("ファイルが開けません[wav,none.wav]"), std::string::npos);
}

TEST(ToolReplay, DebugModeAndTheRateLine) {
  TempDir dir;
  std::filesystem::create_directory("err");
  WriteFileBytes("in.txt", Bytes("10 type fps\n"));
  const std::string args =
      "replay --frames 100 --input in.txt --state s.json --shot 99:shot.png --frame-hashes ";
  Result r = RunTool(args + "h1.txt");
  ASSERT_EQ(r.code, 0) << r.err;
  // One line per frame step, and the same input gives the same frames.
  std::istringstream hashes(ReadText("h1.txt"));
  std::string line;
  int lines = 0;
  while (std::getline(hashes, line)) {
    EXPECT_EQ(line.substr(0, line.find(' ')), std::to_string(lines));
    EXPECT_EQ(line.size() - line.find(' '), 17u) << line;
    ++lines;
  }
  EXPECT_EQ(lines, 100);
  ASSERT_EQ(RunTool(args + "h2.txt").code, 0);
  EXPECT_EQ(ReadText("h1.txt"), ReadText("h2.txt"));
  std::string s = ReadText("s.json");
  EXPECT_NE(s.find("\"debugMode\": 1"), std::string::npos) << s;
  // 33 ms frames: 30 or 31 fall into each one-second window.
  EXPECT_TRUE(s.find("\"drawnLastSecond\": 31") != std::string::npos ||
              s.find("\"drawnLastSecond\": 30") != std::string::npos)
      << s;
  EXPECT_TRUE(std::filesystem::exists("shot.png"));
  EXPECT_NE(ReadText("err/debug.txt").find("VenderID"), std::string::npos);
}

TEST(ToolReplay, CloseBoxAsksAndQuitsOnlyOnYes) {
  TempDir dir;
  WriteFileBytes("no.txt", Bytes("5 answer no\n5 close\n"));
  std::string s;
  ASSERT_EQ(RunTool("replay --frames 30 --input no.txt --state s.json").code, 0);
  s = ReadText("s.json");
  EXPECT_NE(s.find("\"quit\": false"), std::string::npos) << s;
  EXPECT_NE(s.find("Zentrova を、終了してもよろしいですか？"), std::string::npos);
  WriteFileBytes("yes.txt", Bytes("5 answer yes\n5 close\n"));
  ASSERT_EQ(RunTool("replay --frames 30 --input yes.txt --state s.json").code, 0);
  s = ReadText("s.json");
  EXPECT_NE(s.find("\"quit\": true"), std::string::npos) << s;
  EXPECT_NE(s.find("main_term"), std::string::npos);
}

TEST(ToolReplay, DesktopChangesAndMinimisingReachTheGame) {
  TempDir dir;
  std::filesystem::create_directory("err");
  WriteFileBytes("in.txt", Bytes("10 answer ok\n10 desktop 8 1920 1080\n"
                                 "20 minimize 1\n30 minimize 0\n"));
  ASSERT_EQ(RunTool("replay --frames 40 --input in.txt --state s.json").code, 0);
  const std::string s = ReadText("s.json");
  EXPECT_NE(s.find("\"displayDepth\": 8"), std::string::npos) << s;
  EXPECT_NE(s.find("\"desktopDepth\": 8"), std::string::npos) << s;
  EXPECT_NE(s.find("画面モードエラー"), std::string::npos) << s;
  const std::string log = ReadText("err/debug.txt");
  const size_t paused = log.find("window minimised: sound paused");
  ASSERT_NE(paused, std::string::npos) << log;
  EXPECT_NE(log.find("window restored: sound resumed", paused), std::string::npos) << log;
  WriteFileBytes("bad.txt", Bytes("1 desktop 12 640 480\n"));
  Result r = RunTool("replay --input bad.txt");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("bad.txt:1: desktop needs BPP"), std::string::npos) << r.err;
}

TEST(ToolReplay, WheelPadAndTheVolumeDialogReachTheGame) {
  TempDir dir;
  WriteFileBytes("in.txt", Bytes("5 gamepad 1\n6 pad a down\n7 pad a up\n8 axis leftx -32768\n"
                                 "9 wheel 2\n10 sliders 30 0\n10 answer ok\n10 command 40085\n"
                                 "12 command 40084\n13 command 40082\n"));
  ASSERT_EQ(RunTool("replay --frames 20 --input in.txt --state s.json").code, 0);
  const std::string s = ReadText("s.json");
  EXPECT_NE(s.find("\"comfort\": {\"historyOpen\": false, \"historyCount\": 0, \"auto\": 2, "
                   "\"skipReadOnly\": true, \"volMusic\": 30, \"volSe\": 0, "
                   "\"muteUnfocused\": false, \"textHook\": false, \"padConnected\": true}"),
            std::string::npos)
      << s;
  const char* const bad[] = {"1 pad z down\n", "1 axis leftz 3\n", "1 axis lefty 40000\n",
                             "1 wheel 0\n", "1 gamepad 2\n", "1 sliders 101\n"};
  for (const char* b : bad) {
    WriteFileBytes("bad.txt", Bytes(b));
    Result r = RunTool("replay --input bad.txt");
    EXPECT_EQ(r.code, 2) << b;
    EXPECT_NE(r.err.find("bad.txt:1:"), std::string::npos) << r.err;
  }
}

TEST(ToolReplay, BadScriptsNameTheLine) {
  TempDir dir;
  WriteFileBytes("bad.txt", Bytes("# fine\n1 move 3 4\n2 jump\n"));
  Result r = RunTool("replay --input bad.txt");
  EXPECT_NE(r.code, 0);
  EXPECT_NE(r.err.find("bad.txt:3"), std::string::npos) << r.err;
}

TEST(Game, SecondCopyExitsAtOnce) {
  TempDir dir;
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  ASSERT_EQ(PLT_AcquireInstanceLock("ZENTROVA_MAIN"), 1);
  std::string cmd = std::string(ZV_BINARY_DIR) + "/zentrova";
  // No display is needed: the copy leaves before it opens a window.
  int status = std::system(("env -u DISPLAY " + cmd).c_str());
  PLT_ReleaseInstanceLock();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists("err/debug.txt"));
}

}  // namespace
