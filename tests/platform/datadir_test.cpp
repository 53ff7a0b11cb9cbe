// Finding the data and sending the player's files to a writable place.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/plt_datadir.h"
#include "platform/plt_file.h"
#include "platform/plt_shell.h"
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
#ifdef _WIN32
  GTEST_SKIP() << "the XDG folders are the Linux build's; Windows uses %LOCALAPPDATA%";
#endif
  TempDir dir;
  WriteFileBytes("share/zentrova/grp.TVN", Bytes("x"));
  std::filesystem::create_directories("elsewhere");
  std::filesystem::current_path("elsewhere");
  const char* old = std::getenv("XDG_DATA_HOME");
  const char* oldState = std::getenv("XDG_STATE_HOME");
  const std::string saved = old ? old : "", savedState = oldState ? oldState : "";
  const std::string home = dir.path() + "/home-data", state = dir.path() + "/home-state";
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  setenv("XDG_STATE_HOME", state.c_str(), 1);
  const std::string installed = dir.path() + "/share/zentrova";
  EXPECT_EQ(PLT_LocateData("../nowhere", installed.c_str()), 1);
  EXPECT_EQ(std::filesystem::current_path(), installed);
  EXPECT_EQ(std::string(PLT_UserDir()), home + "/zentrova");
  // The debug log is state: its folder's files go to the state directory
  // itself, the saves to the data directory.
  EXPECT_EQ(std::string(PLT_StateDir()), state + "/zentrova");
  ASSERT_EQ(PLT_FileReplaceAtomic("Err\\debug.txt", "log", 3), 1);
  ASSERT_EQ(PLT_FileReplaceAtomic("rank.sav", "r", 1), 1);
  EXPECT_EQ(ReadFileBytes(state + "/zentrova/debug.txt"), Bytes("log"));
  EXPECT_EQ(ReadAll("err/debug.txt"), "log");
  EXPECT_EQ(ReadFileBytes(home + "/zentrova/rank.sav"), Bytes("r"));
  EXPECT_FALSE(std::filesystem::exists(home + "/zentrova/err"));
  EXPECT_FALSE(std::filesystem::exists(installed + "/err"));
  // A relative base is no base: the default under HOME is taken.
  PLT_SetUserDir(nullptr);
  PLT_SetStateDir(nullptr);
  const char* oldHome = std::getenv("HOME");
  const std::string savedHome = oldHome ? oldHome : "";
  setenv("HOME", (dir.path() + "/h").c_str(), 1);
  setenv("XDG_STATE_HOME", "relative/state", 1);
  std::filesystem::current_path(dir.path() + "/elsewhere");
  EXPECT_EQ(PLT_LocateData("../nowhere", installed.c_str()), 1);
  EXPECT_EQ(std::string(PLT_StateDir()), dir.path() + "/h/.local/state/zentrova");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "/h/.local/state/zentrova"));
  PLT_SetUserDir(nullptr);
  PLT_SetStateDir(nullptr);
  auto restore = [](const char* name, const char* was, const std::string& value) {
    if (was) {
      setenv(name, value.c_str(), 1);
    } else {
      unsetenv(name);
    }
  };
  restore("XDG_DATA_HOME", old, saved);
  restore("XDG_STATE_HOME", oldState, savedState);
  restore("HOME", oldHome, savedHome);
  // No data anywhere: nothing changes.
  std::filesystem::current_path(dir.path() + "/elsewhere");
  EXPECT_EQ(PLT_LocateData("../nowhere", "/nowhere"), 0);
  EXPECT_EQ(std::filesystem::current_path(), dir.path() + "/elsewhere");
}

// The pictures folder as the desktop's user-dirs.dirs names it, in the
// player's language, and the fallbacks.
TEST(PicturesDir, FollowsTheUserDirsFile) {
#ifdef _WIN32
  GTEST_SKIP() << "the XDG folders are the Linux build's; Windows uses %LOCALAPPDATA%";
#endif
  TempDir dir;
  const std::string home = dir.path() + "/home";
  std::filesystem::create_directories(home + "/.config");
  std::vector<std::pair<const char*, std::string>> saved;
  for (const char* v : {"HOME", "XDG_CONFIG_HOME", "XDG_PICTURES_DIR"}) {
    const char* was = std::getenv(v);
    saved.emplace_back(v, was ? was : std::string("\1"));
  }
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_PICTURES_DIR");
  char out[512];
  auto pictures = [&] { return PLT_PicturesDir("Zentrova", out, sizeof out) ? std::string(out) : "-"; };
  // No file: ~/Pictures.
  EXPECT_EQ(pictures(), home + "/Pictures/Zentrova");
  // Comments, other folders, malformed lines (no quotes, a relative value,
  // $HOME glued to a name) are passed over; escapes are undone; the last
  // valid line wins.
  WriteFileBytes(home + "/.config/user-dirs.dirs",
                 Bytes("# written by the desktop\n"
                       "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n"
                       "XDG_PICTURES_DIR=\"$HOME/写真\"\n"
                       "  XDG_PICTURES_DIR = \"$HOME/画像\"\n"
                       "XDG_PICTURES_DIR=$HOME/unquoted\n"
                       "XDG_PICTURES_DIR=\"relative\"\n"
                       "XDG_PICTURES_DIR=\"$HOMEWARD\"\n"
                       "XDG_PICTURES_DIR=\"$HOME/open\n"));
  EXPECT_EQ(pictures(), home + "/画像/Zentrova");
  const std::string abs = dir.path() + "/my \"pics\"";
  WriteFileBytes(dir.path() + "/cfg/user-dirs.dirs",
                 Bytes("XDG_PICTURES_DIR=\"" + dir.path() + "/my \\\"pics\\\"\"\n"));
  setenv("XDG_CONFIG_HOME", (dir.path() + "/cfg").c_str(), 1);
  EXPECT_EQ(pictures(), abs + "/Zentrova");
  // The environment wins when it holds an absolute path.
  setenv("XDG_PICTURES_DIR", (dir.path() + "/env").c_str(), 1);
  EXPECT_EQ(pictures(), dir.path() + "/env/Zentrova");
  setenv("XDG_PICTURES_DIR", "env-relative", 1);
  EXPECT_EQ(pictures(), abs + "/Zentrova");
  for (const auto& [name, value] : saved) {
    if (value == "\1") {
      unsetenv(name);
    } else {
      setenv(name, value.c_str(), 1);
    }
  }
}

}  // namespace
