// Replacing a file in one step: leftovers of killed saves, the folder sync and
// the fault injection the save tests rely on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "fault_util.h"
#include "platform/plt_file.h"
#include "test_util.h"

namespace {

class ReplaceTest : public ::testing::Test {
 protected:
  void TearDown() override { PLT_FaultInjectOff(); }
  TempDir dir_;
};

// A process number that ran and is gone.
long DeadPid() {
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

std::string Temp(const char* name, const char* sep, long pid) {
  std::string s(name);
  s.append(sep).append(std::to_string(pid));
  return s;
}

TEST_F(ReplaceTest, LeftoversOfGoneWritersAreRemovedAndOthersKept) {
  const long dead = DeadPid();
  const std::string gone[] = {Temp("rank.sav", ".tmp", dead), Temp("rank.sav", ".tmp.", dead),
                              Temp("rank.sav", ".tmp", 999999999),
                              Temp("rank.sav", ".tmp", ::getpid())};
  // A running writer (the first process is always there), other files'
  // temporaries and names that only look alike stay.
  const std::string kept[] = {Temp("rank.sav", ".tmp", 1), Temp("other.sav", ".tmp", dead),
                              "rank.sav.tmpx12", "rank.sav.tmp", "rank.sav.bak"};
  for (const auto& n : gone) WriteFileBytes(n, Bytes("partial"));
  for (const auto& n : kept) WriteFileBytes(n, Bytes("keep"));
  WriteFileBytes("rank.sav", Bytes("old"));

  EXPECT_EQ(PLT_RemoveStaleTemps("RANK.SAV"), 4);  // the name folds case as every path does
  std::vector<std::string> want(std::begin(kept), std::end(kept));
  want.push_back("rank.sav");
  std::sort(want.begin(), want.end());
  EXPECT_EQ(FilesIn("."), want);

  // Saving clears them too, before it writes its own.
  for (const auto& n : gone) WriteFileBytes(n, Bytes("partial"));
  ASSERT_EQ(PLT_FileReplaceAtomic("rank.sav", "new", 3), 1);
  EXPECT_EQ(FilesIn("."), want);
  EXPECT_EQ(ReadFileBytes("rank.sav"), Bytes("new"));
}

TEST_F(ReplaceTest, ReplaceSyncsTheFileAndItsFolder) {
  PLT_FaultInjectArm(PltFaultInject());  // counts only
  ASSERT_EQ(PLT_FileReplaceAtomic("a.bin", "abc", 3), 1);
  PltFaultCounts c = PLT_FaultInjectCounts();
  EXPECT_EQ(c.fsyncs, 2);
  EXPECT_EQ(c.opens, 2);  // the temporary and the folder
  EXPECT_EQ(c.renames, 1);
  EXPECT_FALSE(PLT_FaultInjectFired());
}

TEST_F(ReplaceTest, EveryFailurePointKeepsOldOrNewBytesAndNoTemporary) {
  const std::vector<uint8_t> oldBytes = Bytes("the old contents");
  const std::vector<uint8_t> newBytes(5000, 'n');
  WriteFileBytes("data.bin", oldBytes);
  PLT_FaultInjectArm(PltFaultInject());
  ASSERT_EQ(PLT_FileReplaceAtomic("data.bin", newBytes.data(), 5000), 1);
  const std::vector<FailurePoint> points = FailurePoints(PLT_FaultInjectCounts());
  EXPECT_EQ(points.size(), 7u);
  for (const FailurePoint& p : points) {
    WriteFileBytes("data.bin", oldBytes);
    PLT_FaultInjectArm(p.faults);
    EXPECT_EQ(PLT_FileReplaceAtomic("data.bin", newBytes.data(), 5000), 0) << p.what;
    EXPECT_TRUE(PLT_FaultInjectFired()) << p.what;
    PLT_FaultInjectOff();
    std::vector<uint8_t> now = ReadFileBytes("data.bin");
    EXPECT_TRUE(now == oldBytes || now == newBytes) << p.what;
    EXPECT_EQ(FilesIn("."), std::vector<std::string>{"data.bin"}) << p.what;
  }
}

bool IsOurTemporary(const char* host) {
  const std::string h(host), tail = ".tmp" + std::to_string(::getpid());
  return h.size() > tail.size() && h.compare(h.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(ReplaceTest, TheTemporaryIsMadeNewNeverThroughALinkAndIsOursAlone) {
  const mode_t oldMask = ::umask(022);
  WriteFileBytes("victim.txt", Bytes("victim"));
  // Another process plants a link under the temporary's name between the
  // clean-up and the open: the save fails and the link's target is untouched.
  PltFaultInject f;
  f.beforeOpen = [](const char* host) {
    if (IsOurTemporary(host)) {
      ASSERT_EQ(::symlink("victim.txt", host), 0);
    }
  };
  PLT_FaultInjectArm(f);
  EXPECT_EQ(PLT_FileReplaceAtomic("a.sav", "new", 3), 0);
  PLT_FaultInjectOff();
  EXPECT_EQ(ReadFileBytes("victim.txt"), Bytes("victim"));
  EXPECT_FALSE(std::filesystem::exists("a.sav"));
  // A plain file planted the same way is not taken over either.
  f.beforeOpen = [](const char* host) {
    if (IsOurTemporary(host)) WriteFileBytes(host, Bytes("theirs"));
  };
  PLT_FaultInjectArm(f);
  EXPECT_EQ(PLT_FileReplaceAtomic("b.sav", "new", 3), 0);
  PLT_FaultInjectOff();
  // Until it is renamed only we may read it; in place it has the usual mode.
  static mode_t seen;
  seen = 0;
  f = PltFaultInject();
  f.beforeRename = [](const char* from) {
    struct stat st {};
    if (::lstat(from, &st) == 0) seen = st.st_mode & 07777;
  };
  PLT_FaultInjectArm(f);
  EXPECT_EQ(PLT_FileReplaceAtomic("a.sav", "new", 3), 1);  // the leftover link is cleared first
  PLT_FaultInjectOff();
  EXPECT_EQ(seen, 0600u);
  struct stat st {};
  ASSERT_EQ(::lstat("a.sav", &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  EXPECT_EQ(ReadFileBytes("a.sav"), Bytes("new"));
  EXPECT_EQ(ReadFileBytes("victim.txt"), Bytes("victim"));
  ::umask(oldMask);
}

TEST_F(ReplaceTest, ArmedFaultsReachPlainWritesAndGoOffWhenDisarmed) {
  PltFaultInject f;
  f.shortWriteAt = 1;
  PLT_FaultInjectArm(f);
  PltFile* file = PLT_FileOpen("w.bin", PLT_OPEN_WRITE_TRUNC);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(PLT_FileWrite(file, "0123456789", 10), 5);  // half, then the disk is full
  EXPECT_EQ(PLT_FileWrite(file, "x", 1), 1);            // a later write goes through
  PLT_FileClose(file);
  EXPECT_EQ(ReadFileBytes("w.bin"), Bytes("01234x"));

  f = PltFaultInject();
  f.failOpenAt = 2;
  PLT_FaultInjectArm(f);
  PltFile* first = PLT_FileOpen("w.bin", PLT_OPEN_READ);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(PLT_FileOpen("w.bin", PLT_OPEN_READ), nullptr);
  PLT_FileClose(first);
  PLT_FaultInjectOff();
  PltFile* again = PLT_FileOpen("w.bin", PLT_OPEN_READ);
  EXPECT_NE(again, nullptr);
  PLT_FileClose(again);
}

}  // namespace
