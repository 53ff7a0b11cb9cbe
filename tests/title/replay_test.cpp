// `zentrova-tool replay` with the title's extensions: --totals and the
// "title" and "rank" summaries.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "test_util.h"

namespace {

std::string Tool() {
  const char* t = std::getenv("ZV_TOOL");
  return t ? t : std::string(ZV_BINARY_DIR) + "/zentrova-tool";
}

int RunTool(const std::string& args) {
  std::string cmd = "ZENTROVA_CONFIG_DIR=. " + Tool() + " " + args + " >out.txt 2>err.txt";
  int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const std::string& path) {
  auto b = ReadFileBytes(path);
  return std::string(b.begin(), b.end());
}

TEST(TitleReplay, TotalsOfAFinishedPlayThroughEnterTheRanking) {
  TempDir dir;
  ASSERT_EQ(RunTool("replay --frames 10 --totals 3,50000,123,4 --state s.json"), 0)
      << Text("err.txt");
  std::string s = Text("s.json");
  EXPECT_NE(s.find("\"title\": {\"state\": 6, \"counter\": 7, \"hovered\": -1, \"newestIndex\": 5, "
                   "\"galleryLit\": 0,"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("[60000, 0, 0], [50000, 123, 4], [50000, 0, 0]"), std::string::npos) << s;
  EXPECT_EQ(ReadFileBytes("rank.sav").size(), 120u);
}

TEST(TitleReplay, BadTotalsAreRefused) {
  TempDir dir;
  EXPECT_NE(RunTool("replay --frames 2 --totals 3,50000"), 0);
  EXPECT_NE(Text("err.txt").find("--totals"), std::string::npos);
  EXPECT_NE(RunTool("replay --frames 2 --totals 9,1,1,1"), 0);
  EXPECT_NE(RunTool("replay --frames 2 --totals"), 0);
}

}  // namespace
