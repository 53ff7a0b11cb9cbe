// `zentrova-tool replay` with the stage's extension: the autoplayer plays
// stage 1 from the title set-up to its end, the trace records each release
// and the summary carries the stage's state.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "test_util.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(PlayReplay, AutoplayFinishesStageOneAndTracesEveryRelease) {
  const char* tool = std::getenv("ZV_TOOL");
  if (!tool) GTEST_SKIP() << "ZV_TOOL not set (run through CTest)";
  TempDir dir;
  const std::string cmd = std::string(tool) +
                          " replay --totals 1,0,0,0 --autoplay --frames 1300 --trace t.jsonl"
                          " --state s.json > out.txt 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadText("out.txt");

  const std::string state = ReadText("s.json");
  for (const char* key :
       {"\"play\": {\"state\": ", "\"counter\": ", "\"totals\": {\"stage\": ", "\"score\": ",
        "\"clicks\": ", "\"maxChain\": ", "\"shownScore\": ", "\"slowed\": ",
        "\"chain\": {\"chainDisplay\": ", "\"chainCount\": ", "\"target\": ", "\"history\": [",
        "\"creatures\": [{\"kind\": ", "\"size\": "}) {
    EXPECT_NE(state.find(key), std::string::npos) << key;
  }
  // Stage 1 was cleared: the play-through moved on to stage 2.
  EXPECT_NE(state.find("\"totals\": {\"stage\": 2"), std::string::npos) << state;

  std::ifstream trace("t.jsonl");
  std::string line;
  int lines = 0, delivered = 0;
  while (std::getline(trace, line)) {
    ++lines;
    for (const char* key : {"{\"frame\": ", "\"x\": ", "\"y\": ", "\"inBowl\": ", "\"kinds\": [",
                            "\"delivered\": ", "\"dropped\": ", "\"units\": ", "\"score\": ",
                            "\"chainCount\": ", "\"target\": ", "\"history\": ["}) {
      EXPECT_NE(line.find(key), std::string::npos) << key << " in " << line;
    }
    const size_t at = line.find("\"delivered\": ");
    if (at != std::string::npos) delivered += std::atoi(line.c_str() + at + 13);
  }
  EXPECT_GT(lines, 0);
  EXPECT_GE(delivered, 15) << "all of stage 1's creatures went through the trace";
}

}  // namespace
