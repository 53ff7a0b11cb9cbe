// zentrova-tool pack, cat and replay, and the game's single-instance rule,
// run as a user would run them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

// The game started where no display can be opened: it leaves before a window
// is needed when another copy or another user's lock keeps it from running.
Result RunGameWithoutDisplay() {
  std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 " +
                    std::string(ZV_BINARY_DIR) + "/zentrova >out.txt 2>err.txt";
  int status = std::system(cmd.c_str());
  auto out = ReadFileBytes("out.txt"), err = ReadFileBytes("err.txt");
  return Result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(out.begin(), out.end()),
                std::string(err.begin(), err.end())};
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
  // An empty entry is still an entry: extracted as an empty file, stored or
  // compressed.
  WriteFileBytes("in/empty.bin", {});
  for (const char* how : {"", "--compress "}) {
    ASSERT_EQ(RunTool(std::string("pack create e.TVN ") + how + "in/empty.bin in/text.txt").code,
              0);
    Result r = RunTool("pack extract e.TVN empty.bin");
    EXPECT_EQ(r.code, 0) << how << r.err;
    EXPECT_EQ(r.out, "") << how;
    EXPECT_NE(RunTool("pack extract e.TVN other.bin").code, 0);
  }
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
                                 "12 command 40084\n13 command 40082\n14 command 40088\n"));
  ASSERT_EQ(RunTool("replay --frames 20 --input in.txt --state s.json").code, 0);
  const std::string s = ReadText("s.json");
  EXPECT_NE(s.find("\"comfort\": {\"historyOpen\": false, \"historyCount\": 0, \"auto\": 2, "
                   "\"skipReadOnly\": true, \"volMusic\": 30, \"volSe\": 0, "
                   "\"muteUnfocused\": false, \"textHook\": false, \"padConnected\": true, "
                   "\"waitMark\": true}"),
            std::string::npos)
      << s;
  const char* const bad[] = {"1 pad z down\n", "1 axis leftz 3\n", "1 axis lefty 40000\n",
                             "1 wheel 0\n",    "1 gamepad 2\n",    "1 sliders 101\n"};
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

// With no display there is no window: the game says so and ends, where it
// used to run on unseen.
TEST(Game, WithoutADisplaySaysSoAndEnds) {
  TempDir dir;
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  ::setenv("ZENTROVA_CONFIG_DIR", dir.path().c_str(), 1);
  Result r = RunGameWithoutDisplay();
  ::unsetenv("ZENTROVA_CONFIG_DIR");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no window could be opened"), std::string::npos) << r.err;
}

TEST(ToolReplay, LeavesTheRankingToARunningGame) {
  TempDir dir;
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  const std::string args = "replay --frames 10 --totals 3,50000,123,4 --state s.json";
  ASSERT_EQ(PLT_AcquireInstanceLock("ZENTROVA_MAIN"), 1);
  Result r = RunTool(args);
  PLT_ReleaseInstanceLock();
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_FALSE(std::filesystem::exists("rank.sav"));
  std::string s = ReadText("s.json");
  EXPECT_NE(s.find("\"savesDisabled\": true"), std::string::npos) << s;
  EXPECT_EQ(s.find("ランキングを保存できませんでした"), std::string::npos) << s;
  const size_t said = r.err.find("rank.sav is not written");
  ASSERT_NE(said, std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("rank.sav", said + 8), std::string::npos) << r.err;  // once
  // Without a game the ranking is saved as always.
  r = RunTool(args);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadFileBytes("rank.sav").size(), 120u);
  EXPECT_NE(ReadText("s.json").find("\"savesDisabled\": false"), std::string::npos);
  EXPECT_EQ(r.err.find("rank.sav"), std::string::npos) << r.err;
}

// The game under SDL's off-screen drivers (or on the X server `display`), in
// a scratch folder, with its own settings folder; returns the child's process
// number.
pid_t StartGame(const std::string& config, const std::string& display = "") {
  pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("SDL_VIDEODRIVER", display.empty() ? "dummy" : "x11", 1);
    if (!display.empty()) {
      ::setenv("DISPLAY", display.c_str(), 1);
      ::setenv("LSAN_OPTIONS", "suppressions=" ZV_SOURCE_DIR "/tests/tool/x11-leaks.supp", 1);
    }
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::setenv("ZENTROVA_CONFIG_DIR", config.c_str(), 1);
    const std::string game = std::string(ZV_BINARY_DIR) + "/zentrova";
    ::execl(game.c_str(), game.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

// Waits up to `ms` for the child; its exit status, or -1 when still running.
int WaitGame(pid_t pid, int ms) {
  for (int t = 0; t < ms; t += 20) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return status;
    ::usleep(20000);
  }
  return -1;
}

// Starts the game and waits until its first frame has logged the processor
// report; false when it ended before.
bool GameRunning(pid_t pid) {
  for (int t = 0; t < 200 && ReadText("err/debug.txt").find("pixel loops") == std::string::npos;
       ++t)
    ::usleep(50000);
  ::usleep(500000);
  return WaitGame(pid, 0) == -1;
}

// The end of a game that must go through the normal shutdown: exit status 0,
// the window position and the settings saved, the game's end logged.
void ExpectNormalEnd(pid_t pid, const std::string& config, const std::string& why) {
  int status = WaitGame(pid, 10000);
  if (status == -1) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    FAIL() << why << " did not end the game";
  }
  ASSERT_TRUE(WIFEXITED(status)) << why << " killed the game";
  EXPECT_EQ(WEXITSTATUS(status), 0) << why;
  const std::string store = ReadText(config + "/registry.txt");
  EXPECT_NE(store.find("pos_x="), std::string::npos) << why << store;
  EXPECT_NE(store.find("wait="), std::string::npos) << why << store;
  EXPECT_NE(ReadText("err/debug.txt").find("main_term"), std::string::npos) << why;
}

TEST(Game, HangupAndQuitSignalsEndThroughTheNormalShutdown) {
  for (int sig : {SIGHUP, SIGQUIT, SIGTERM}) {
    TempDir dir;
    ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    std::filesystem::create_directory("err");
    const std::string config = dir.path() + "/config";
    const pid_t pid = StartGame(config);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(GameRunning(pid)) << "the game ended early: " << ReadText("err/debug.txt");
    ::kill(pid, sig);
    ExpectNormalEnd(pid, config, "signal " + std::to_string(sig));
  }
}

// The desktop session ending under the game: the X library's answer to the
// lost connection used to be exit(), which tore static state down under the
// running audio thread (a crash) and saved nothing.
TEST(Game, LosingTheXServerEndsThroughTheNormalShutdown) {
  if (::access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "needs Xvfb";
  TempDir dir;
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  std::filesystem::create_directory("err");
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t server = ::fork();
  if (server == 0) {
    ::close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    ::execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24",
            "-nolisten", "tcp", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  // The number and its newline come in two writes; the server ends if the
  // pipe is closed between them.
  std::string number;
  char c;
  while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  ASSERT_FALSE(number.empty()) << "Xvfb did not start";
  const std::string config = dir.path() + "/config";
  const pid_t pid = StartGame(config, ":" + number);
  ASSERT_GT(pid, 0);
  const bool running = GameRunning(pid);
  ::kill(server, SIGTERM);
  ::waitpid(server, nullptr, 0);
  if (!running) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    FAIL() << "the game ended early: " << ReadText("err/debug.txt");
  }
  ExpectNormalEnd(pid, config, "the lost X server");
}

TEST(Game, ALockFileOfAnotherUserIsNamedNotSilentlyObeyed) {
  if (::getuid() != 0) GTEST_SKIP() << "needs to make a file of another user";
  TempDir dir;
  ::unsetenv("XDG_RUNTIME_DIR");
  ::setenv("TMPDIR", dir.path().c_str(), 1);
  const std::string lock = dir.path() + "/ZENTROVA_MAIN." + std::to_string(::getuid()) + ".lock";
  WriteFileBytes(lock, {});
  ASSERT_EQ(::chown(lock.c_str(), 65534, 65534), 0);
  EXPECT_EQ(PLT_AcquireInstanceLock("ZENTROVA_MAIN"), PLT_LOCK_FOREIGN);
  EXPECT_EQ(std::string(PLT_InstanceLockForeignPath()), lock);
  Result r = RunGameWithoutDisplay();
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("belongs to another user"), std::string::npos) << r.err;
  // A link in its place is not followed, whoever's it is.
  std::filesystem::remove(lock);
  WriteFileBytes("mine.txt", Bytes("mine"));
  std::filesystem::create_symlink(dir.path() + "/mine.txt", lock);
  EXPECT_EQ(PLT_AcquireInstanceLock("ZENTROVA_MAIN"), PLT_LOCK_FOREIGN);
  EXPECT_EQ(ReadText("mine.txt"), "mine");
  // Our own file, held by a second copy: the silent exit as before.
  std::filesystem::remove(lock);
  ASSERT_EQ(PLT_AcquireInstanceLock("ZENTROVA_MAIN"), 1);
  r = RunGameWithoutDisplay();
  PLT_ReleaseInstanceLock();
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err.find("another user"), std::string::npos) << r.err;
  ::unsetenv("TMPDIR");
}

}  // namespace
