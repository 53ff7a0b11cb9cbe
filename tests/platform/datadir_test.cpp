// Finding the data and sending the player's files to a writable place.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/plt_datadir.h"
#include "platform/plt_file.h"
#include "test_util.h"

namespace {

std::string ReadAll(const char* path) {
  PltFile* f = PLT_FileOpen(path, PLT_OPEN_READ);
  if (!f) return "<none>";
  char buf[256];
  const int64_t n = PLT_FileRead(f, buf, sizeof buf);
  PLT_FileClose(f);
  return std::string(buf, static_cast<size_t>(n > 0 ? n : 0));
}

TEST(UserDir, WritesGoThereAndReadsPreferThePlayersCopy) {
  TempDir dir;
  std::filesystem::create_directories("user/err");
  WriteFileBytes("data/rank.sav", Bytes("shipped"));
  WriteFileBytes("data/Grp.TVN", Bytes("pictures"));
  std::filesystem::current_path("data");
  const std::string user = dir.path() + "/user";
  PLT_SetUserDir(user.c_str());
  EXPECT_EQ(ReadAll("rank.sav"), "shipped");  // nothing of the player's yet
  ASSERT_EQ(PLT_FileReplaceAtomic("rank.sav", "mine", 4), 1);
  EXPECT_EQ(ReadAll("RANK.SAV"), "mine");
  EXPECT_EQ(ReadFileBytes(user + "/rank.sav"), Bytes("mine"));
  EXPECT_EQ(ReadFileBytes("rank.sav"), Bytes("shipped"));  // the data is left alone
  PltFile* log = PLT_FileOpen("err\\debug.txt", PLT_OPEN_APPEND);
  ASSERT_NE(log, nullptr);
  PLT_FileWrite(log, "line", 4);
  PLT_FileClose(log);
  EXPECT_EQ(ReadFileBytes(user + "/err/debug.txt"), Bytes("line"));
  EXPECT_EQ(ReadAll("grp.tvn"), "pictures");
  // Absolute paths are never redirected.
  const std::string abs = dir.path() + "/abs.txt";
  ASSERT_EQ(PLT_FileReplaceAtomic(abs.c_str(), "a", 1), 1);
  EXPECT_EQ(ReadFileBytes(abs), Bytes("a"));
  PLT_SetUserDir(nullptr);
  EXPECT_EQ(ReadAll("rank.sav"), "shipped");
}

TEST(LocateData, WorkingDirectoryWithDataKeepsTodaysBehaviour) {
  TempDir dir;
  WriteFileBytes("grp.TVN", Bytes("x"));
  EXPECT_EQ(PLT_LocateData("../nowhere", "/nowhere"), 1);
  EXPECT_STREQ(PLT_UserDir(), "");
  EXPECT_EQ(std::filesystem::current_path(), dir.path());
}

TEST(LocateData, InstalledDataWithTheUsersDataDirectory) {
  TempDir dir;
  WriteFileBytes("share/zentrova/grp.TVN", Bytes("x"));
  std::filesystem::create_directories("elsewhere");
  std::filesystem::current_path("elsewhere");
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  const std::string home = dir.path() + "/home-data";
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  const std::string installed = dir.path() + "/share/zentrova";
  EXPECT_EQ(PLT_LocateData("../nowhere", installed.c_str()), 1);
  EXPECT_EQ(std::filesystem::current_path(), installed);
  EXPECT_EQ(std::string(PLT_UserDir()), home + "/zentrova");
  EXPECT_TRUE(std::filesystem::is_directory(home + "/zentrova/err"));
  PLT_SetUserDir(nullptr);
  if (old) {
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
  // No data anywhere: nothing changes.
  std::filesystem::current_path(dir.path() + "/elsewhere");
  EXPECT_EQ(PLT_LocateData("../nowhere", "/nowhere"), 0);
  EXPECT_EQ(std::filesystem::current_path(), dir.path() + "/elsewhere");
}

}  // namespace
