// `zentrova-tool script` and the scene parts of `zentrova-tool replay`: a
// whole test play-through driven by the scripts in data/SCR.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "test_util.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class ToolScript : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* t = std::getenv("ZV_TOOL");
    if (!t) GTEST_SKIP() << "ZV_TOOL not set (run through CTest)";
    tool_ = t;
  }
  int Run(const std::string& args) {
    const std::string cmd = tool_ + " " + args + " > out.txt 2> err.txt";
    const int r = std::system(cmd.c_str());
    return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  }
  std::string tool_;
  TempDir dir_;
};

TEST_F(ToolScript, DumpWritesEntriesThroughTheGamesLookup) {
  WriteFileBytes("SCR/s0003.txt", Bytes("#T1\nA B\n@x"));
  ASSERT_EQ(Run("script dump 3"), 0);
  EXPECT_EQ(ReadText("out.txt"), std::string("#T1\0AB\n\0@x\0", 11));
  EXPECT_EQ(Run("script dump 4"), 1);
  EXPECT_NE(ReadText("err.txt").find("s0004.txt"), std::string::npos);
  EXPECT_EQ(Run("script dump"), 2);
}

TEST_F(ToolScript, ArgsPrintsKindsNumbersAndHexText) {
  WriteFileBytes("a.txt", Bytes("N1,,x,7"));
  ASSERT_EQ(Run("script args --vars 0,-5 a.txt"), 0);
  EXPECT_EQ(ReadText("out.txt"), "3\n0 -5 -\n1 0 2c78\n0 7 -\n");
  EXPECT_EQ(Run("script args --vars 1,2,3,4,5,6,7,8,9,10,11 a.txt"), 2);
}

TEST_F(ToolScript, CheckNamesEachProblemByLine) {
  WriteFileBytes("bad.txt", Bytes("#Gnone\n#Q\n#C0,a\n#C0,b\n#C0,c\n#C0,d\n#C0,e\n#W1,2,3\n"
                                  "#I1,==\ntext<C3open\n@l\n#Il,==,1,l\nA>B\n#FN1,10\n#F=N1,10\n"
                                  "@a\n@b\n#N1+1\n#M1\n#Ga\n"));
  EXPECT_EQ(Run("script check bad.txt"), 1);
  const std::string out = ReadText("out.txt");
  for (const char* want :
       {"bad.txt:1: no label 'none'", "bad.txt:2: unknown command", "bad.txt:7: a fifth choice",
        "bad.txt:8: #W takes 1 or 2", "bad.txt:9: #I takes 4 or 5", "bad.txt:10: tag left open",
        "bad.txt:13: '>' without an open tag", "bad.txt:14: flag read must look like",
        "bad.txt:20: jumps back to label 'a' with nothing between that waits"}) {
    EXPECT_NE(out.find(want), std::string::npos) << want << "\n" << out;
  }
  EXPECT_EQ(out.find("bad.txt:15:"), std::string::npos) << out;
  WriteFileBytes("long.txt", Bytes("1\n2\n3\n4\n5\n"));
  EXPECT_EQ(Run("script check long.txt"), 1);
  EXPECT_NE(ReadText("out.txt").find("long.txt:1: message does not fit"), std::string::npos);
  // The window's own layout decides: 100 full-width characters fill it
  // exactly, one more does not fit, and a closing bracket may hang.
  std::string full;
  for (int i = 0; i < 100; ++i) full += "\x82\xa0";
  WriteFileBytes("full.txt", Bytes(full + "\n"));
  EXPECT_EQ(Run("script check full.txt"), 0) << ReadText("out.txt");
  WriteFileBytes("over.txt", Bytes(full + "\x82\xa0\n"));
  EXPECT_EQ(Run("script check over.txt"), 1);
  WriteFileBytes("hang.txt", Bytes(full + "\x81\x76\n"));
  EXPECT_EQ(Run("script check hang.txt"), 0) << ReadText("out.txt");
  WriteFileBytes("page.txt", Bytes("one\\ktwo\n"));
  EXPECT_EQ(Run("script check page.txt"), 1);
  EXPECT_NE(ReadText("out.txt").find("page.txt:1: text after \\k never shows"), std::string::npos)
      << ReadText("out.txt");
  const std::string data = std::string(ZV_SOURCE_DIR) + "/tests/script/data/SCR/";
  EXPECT_EQ(Run("script check " + data + "s0000.txt " + data + "s0001.txt " + data + "s0002.txt"),
            0)
      << ReadText("out.txt");
  // Loops that wait, or that a condition can leave, are fine.
  WriteFileBytes("loops.txt", Bytes("@w\nwait here\n#Gw\n@p\n#W0,10\n#Gp\n@x\n#N1+1\n"
                                    "#IN1,==,5,y\n#Gx\n@y\n#Gz\n@z\n"));
  EXPECT_EQ(Run("script check loops.txt"), 0) << ReadText("out.txt");
  WriteFileBytes("u.txt", Bytes("#T1\n\xE3\x81\x82\n"));
  EXPECT_EQ(Run("script check --utf8 u.txt"), 0) << ReadText("out.txt");
}

TEST_F(ToolScript, AutoplayRunsTheWholePlayThroughBackToTheTitle) {
  std::filesystem::copy(std::string(ZV_SOURCE_DIR) + "/tests/script/data/SCR", "SCR");
  ASSERT_EQ(Run("replay --autoplay --autoplay-choices 1 --until title --frames 20000"
                " --state s.json --script-trace t.jsonl"),
            0)
      << ReadText("err.txt");
  const std::string state = ReadText("s.json");
  EXPECT_NE(state.find("\"gameMode\": 1"), std::string::npos);
  EXPECT_NE(state.find("\"title\": {\"state\": 1, \"counter\": 0"), std::string::npos) << state;
  for (const char* key : {"\"scene\": {\"script\": 2, \"pc\": 7, \"count\": 7", "\"vars\": [",
                          "\"flags\": {\"0\": 2, \"1\": 2}", "\"message\": {\"shown\": ",
                          "\"revealing\": ", "\"position\": ", "\"target\": ", "\"window\": ",
                          "\"transition\": {\"running\": ", "\"effect\": ", "\"length\": ",
                          "\"choices\": {\"open\": 0, \"texts\": [], \"hovered\": "}) {
    EXPECT_NE(state.find(key), std::string::npos) << key << "\n" << state;
  }
  // The trace holds every scene in order, the chosen branch and the loop.
  const std::string trace = ReadText("t.jsonl");
  const size_t s0 = trace.find("\"script\": 0, \"pc\": 0,");
  const size_t s1 = trace.find("\"script\": 1, \"pc\": 0,");
  const size_t s2 = trace.find("\"script\": 2, \"pc\": 0,");
  ASSERT_NE(s0, std::string::npos);
  ASSERT_NE(s1, std::string::npos);
  ASSERT_NE(s2, std::string::npos);
  EXPECT_LT(s0, s1);
  EXPECT_LT(s1, s2);
  // The label "@said_no" was reached: prologue choice 1 set flag 1 to 2.
  EXPECT_NE(trace.find("\"entry\": \"40736169645f6e6f\""), std::string::npos);
  EXPECT_NE(trace.find("\"vars\": [0, 2, 3, 0, 0, 0, 0, 0, 0, 0]"), std::string::npos);
}

TEST_F(ToolScript, AutoplaySkipHoldsTheSkipKeyThroughTheScenes) {
  std::filesystem::copy(std::string(ZV_SOURCE_DIR) + "/tests/script/data/SCR", "SCR");
  ASSERT_EQ(Run("replay --autoplay --autoplay-skip --until title --frames 20000 --state a.json"),
            0);
  ASSERT_EQ(Run("replay --autoplay --until title --frames 20000 --state b.json"), 0);
  auto frames = [](const std::string& s) {
    return std::atoi(s.c_str() + s.find("\"frame\": ") + 9);
  };
  const int skipped = frames(ReadText("a.json")), read = frames(ReadText("b.json"));
  EXPECT_LT(skipped, read - 100) << skipped << " " << read;
  EXPECT_NE(ReadText("a.json").find("\"flags\": {\"0\": 2, \"1\": 1}"), std::string::npos);
}

TEST_F(ToolScript, SoakRepeatsPlayThroughsAndSamplesMemory) {
  std::filesystem::copy(std::string(ZV_SOURCE_DIR) + "/tests/script/data/SCR", "SCR");
  ASSERT_EQ(Run("replay --autoplay-skip --soak 20000 --frames 5 --state s.json"), 0)
      << ReadText("err.txt");
  const std::string state = ReadText("s.json");
  EXPECT_NE(state.find("\"frame\": 20000,"), std::string::npos) << state;  // --soak wins
  const size_t at = state.find("\"memory_samples\": [");
  ASSERT_NE(at, std::string::npos) << state;
  const std::string samples = state.substr(at);
  for (const char* frame : {"{\"frame\": 0, ", "{\"frame\": 10000, ", "{\"frame\": 20000, "}) {
    EXPECT_NE(samples.find(frame), std::string::npos) << frame << "\n" << samples;
  }
  EXPECT_EQ(samples.find("\"resident_kib\": -1"), std::string::npos) << samples;
  // Each skipped play-through is far shorter than the run: it started over.
  const size_t last = samples.rfind("\"playthroughs\": ");
  ASSERT_NE(last, std::string::npos);
  EXPECT_GE(std::atoi(samples.c_str() + last + 16), 2) << samples;
  const std::string out = ReadText("out.txt");
  EXPECT_NE(out.find("soak: frame 10000 resident "), std::string::npos) << out;
  EXPECT_EQ(Run("replay --soak 0"), 2);
}

}  // namespace
