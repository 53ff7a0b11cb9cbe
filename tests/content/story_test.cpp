// The game's own story: its scripts pass the checker, whole play-throughs of
// the built data reach each ending, the ranking and the gallery, and the mix
// of a stage follows the sound switch and the volume sliders.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_util.h"

namespace {

namespace fs = std::filesystem;

std::string Tool() {
  const char* t = std::getenv("ZV_TOOL");
  return t ? t : std::string(ZV_BINARY_DIR) + "/zentrova-tool";
}

int RunTool(const std::string& args) {
  std::string cmd = "ZENTROVA_CONFIG_DIR=. ";
  cmd.append(Tool()).append(" ").append(args).append(" >out.txt 2>err.txt");
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The scripts the interpreter entered, from the --script-trace lines.
std::set<int> ScriptsRun(const std::string& trace) {
  std::set<int> seen;
  std::istringstream in(Text(trace));
  std::string line;
  const std::string key = "\"script\": ";
  while (std::getline(in, line)) {
    const size_t at = line.find(key);
    if (at != std::string::npos) seen.insert(std::atoi(line.c_str() + at + key.size()));
  }
  return seen;
}

TEST(Story, ScriptsPassTheChecker) {
  TempDir dir;
  std::string files;
  for (const auto& e : fs::directory_iterator(std::string(ZV_SOURCE_DIR) + "/content/story")) {
    files.append(" ").append(e.path().string());
  }
  ASSERT_FALSE(files.empty());
  EXPECT_EQ(RunTool("script check --utf8" + files), 0) << Text("out.txt") << Text("err.txt");
  EXPECT_EQ(Text("out.txt"), "");
}

void CopyData() {
  const fs::path data = fs::path(ZV_BINARY_DIR) / "data";
  for (const char* name : {"grp.TVN", "wav.TVN", "SCR.TVN"}) fs::copy_file(data / name, name);
  fs::copy(data / "bgm", "bgm", fs::copy_options::recursive);
  fs::create_directories("err");
}

// Every pair of answers, read with the skip key held. The interlude's
// choice (flag 10) and the ending's (flag 11) together pick one of four
// closing scripts; on each route every picture, sound and piece of music is
// found (no message box), the result enters the ranking and exactly the
// pictures of that route light the gallery. One route is played again with a
// game controller only (the stick steers the cursor, A clicks, X skips).
TEST(Story, SkippedPlayThroughsReachEveryEnding) {
  const struct {
    const char* answers;
    int flag10, flag11, ending;
    const char* cg;  // gallery flags of pictures 1..12
    const char* hands;
  } kRoutes[] = {
      {"0,0", 1, 1, 4, "1, 1, 1, 1, 1, 1, 0, 1, 0, 1, 0, 0", ""},
      {"0,1", 1, 2, 3, "1, 1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 0", ""},
      {"1,0", 2, 1, 6, "1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 1, 1", ""},
      {"1,1", 2, 2, 5, "1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 1, 0", ""},
      {"1,0", 2, 1, 6, "1, 1, 1, 1, 1, 0, 1, 1, 0, 0, 1, 1", " --autoplay-pad"},
  };
  for (const auto& r : kRoutes) {
    SCOPED_TRACE(std::string(r.answers) + r.hands);
    TempDir dir;
    CopyData();
    std::string args = "replay --autoplay --autoplay-skip --until title --frames 60000";
    args.append(" --autoplay-choices ").append(r.answers);
    args.append(" --state s.json --script-trace t.jsonl").append(r.hands);
    ASSERT_EQ(RunTool(args), 0) << Text("err.txt");
    const std::string s = Text("s.json");
    EXPECT_NE(s.find("\"messageBoxes\": []"), std::string::npos) << s;
    const std::set<int> want = {0, 1, 2, r.ending};
    EXPECT_EQ(ScriptsRun("t.jsonl"), want);
    const std::string flags =
        "\"10\": " + std::to_string(r.flag10) + ", \"11\": " + std::to_string(r.flag11) + "}";
    EXPECT_NE(s.find(flags), std::string::npos) << s;
    EXPECT_EQ(ReadFileBytes("rank.sav").size(), 120u);
    EXPECT_NE(s.find(std::string("\"cg\": [") + r.cg + "]"), std::string::npos) << s;
    EXPECT_NE(s.find("\"galleryLit\": 1"), std::string::npos) << s;
    std::string saved = "cg=hex:";
    for (const char* c = r.cg; *c; ++c) {
      if (*c == '0' || *c == '1') saved.append("0").push_back(*c);
    }
    const std::string settings = Text("registry.txt");
    EXPECT_NE(settings.find(saved), std::string::npos) << settings;
  }
}

// The loudest sample of a rendered mix (16-bit PCM after a 44-byte header).
int Peak(const std::vector<uint8_t>& wav) {
  int peak = 0;
  for (size_t i = 44; i + 1 < wav.size(); i += 2) {
    const int v = static_cast<int16_t>(wav[i] | wav[i + 1] << 8);
    peak = std::max(peak, v < 0 ? -v : v);
  }
  return peak;
}

// Stage 1 holds effects (catches, deliveries, the score counting) and, at
// its end, the stage-clear piece on a music channel of its own.
TEST(Story, StageMixFollowsTheSoundSwitchAndSliders) {
  const struct {
    int sound, volMusic, volEffects;
    bool heard;
  } kRows[] = {
      {1, 0, 100, true},     // effects alone
      {1, 0, 0, false},      // both sliders at 0 %
      {0, 100, 100, false},  // sound switched off, the clear piece too
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(std::to_string(r.sound) + " " + std::to_string(r.volMusic) + " " +
                 std::to_string(r.volEffects));
    TempDir dir;
    CopyData();
    FILE* f = std::fopen("registry.txt", "w");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "[SoftWare\\TAVREN\\Zentrova\\config]\nbgm=dword:%08x\nvol_bgm=dword:%08x\n"
                 "vol_se=dword:%08x\n", r.sound, r.volMusic, r.volEffects);
    std::fclose(f);
    ASSERT_EQ(RunTool("replay --totals 1,0,0,0 --autoplay --frames 1300 --audio mix.wav --state s.json"), 0)
        << Text("err.txt");
    ASSERT_NE(Text("s.json").find("\"totals\": {\"stage\": 2"), std::string::npos);
    const std::vector<uint8_t> wav = ReadFileBytes("mix.wav");
    ASSERT_GT(wav.size(), 44u + 44100u * 4u * 30u);  // the whole stage, 30 s and more
    if (r.heard) {
      EXPECT_GT(Peak(wav), 1000);
    } else {
      EXPECT_EQ(Peak(wav), 0);
    }
  }
}

}  // namespace
