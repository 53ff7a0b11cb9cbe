// Archives, LZSS and whole-file loading.
#include "common/archive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "common/lzss.h"
#include "common/resource.h"
#include "platform/headless/headless.h"
#include "platform/plt_file.h"
#include "test_util.h"

namespace {

struct Entry {
  std::string name;
  std::vector<uint8_t> data;
  bool compress = false;
};

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
  int len = static_cast<int>(data.size());
  std::vector<uint8_t> out(8 + LZS_EncodeBound(len));
  int n = LZS_Encode(data.data(), len, out.data() + 8, LZS_EncodeBound(len));
  EXPECT_GE(n, 0);
  out.resize(8 + n);
  Put32(out, 0, n);
  Put32(out, 4, len);
  return out;
}

std::vector<uint8_t> MakeArchive(const std::vector<Entry>& entries) {
  std::vector<uint8_t> a(8 + 36 * entries.size(), 0);
  Put32(a, 0, ARC_MAGIC);
  Put32(a, 4, static_cast<uint32_t>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    std::vector<uint8_t> stored = entries[i].compress ? Compress(entries[i].data) : entries[i].data;
    size_t e = 8 + 36 * i;
    Put32(a, e, entries[i].compress);
    std::memcpy(&a[e + 4], entries[i].name.c_str(), entries[i].name.size());
    Put32(a, e + 28, static_cast<uint32_t>(a.size()));
    Put32(a, e + 32, static_cast<uint32_t>(stored.size()));
    a.insert(a.end(), stored.begin(), stored.end());
  }
  return a;
}

std::string Load(const char* group, const char* name) {
  uint8_t* buf = nullptr;
  int n = RES_Load(group, name, &buf);
  std::string s(reinterpret_cast<char*>(buf), n > 0 ? n : 0);
  RES_Free(buf);
  return s;
}

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override { HL_Reset(); }
  TempDir dir_;
};

TEST_F(ArchiveTest, LookupOrderLooseThenArchiveThenPak) {
  WriteFileBytes("grp.TVN",
                 MakeArchive({{"a.bmp", Bytes("archive")}, {"b.bmp", Bytes("archive-b")}}));
  WriteFileBytes("pak/grp.TVN", MakeArchive({{"a.bmp", Bytes("pak")}, {"c.bmp", Bytes("pak-c")}}));
  WriteFileBytes("grp/a.bmp", Bytes("loose"));
  EXPECT_EQ(Load("grp", "a.bmp"), "loose");
  EXPECT_EQ(Load("grp", "b.bmp"), "archive-b");
  EXPECT_EQ(Load("grp", "c.bmp"), "pak-c");
  std::filesystem::remove("grp/a.bmp");
  EXPECT_EQ(Load("grp", "a.bmp"), "archive");
  EXPECT_TRUE(HL_MessageBoxes().empty());
}

TEST_F(ArchiveTest, NamesMatchWithoutCaseAndFirstDuplicateWins) {
  WriteFileBytes("grp.TVN",
                 MakeArchive({{"Title.bmp", Bytes("first")}, {"title.BMP", Bytes("second")}}));
  EXPECT_EQ(Load("grp", "TITLE.BMP"), "first");
  // Loose files too: the group folder and the file name fold case.
  WriteFileBytes("GRP/Loose.Bmp", Bytes("x"));
  EXPECT_EQ(Load("grp", "LOOSE.bmp"), "x");
  EXPECT_EQ(Load("Grp", "loose.bmp"), "x");
}

TEST_F(ArchiveTest, MissingFileShowsTheMessageAndReturnsZero) {
  WriteFileBytes("grp.TVN", MakeArchive({}));  // count 0: nothing, the next place is tried
  EXPECT_EQ(Load("grp", "none.bmp"), "");
  ASSERT_EQ(HL_MessageBoxes().size(), 1u);
  EXPECT_EQ(HL_MessageBoxes()[0].text, "ファイルが開けません[grp,none.bmp]");
  EXPECT_EQ(HL_MessageBoxes()[0].caption, "警告");
  EXPECT_EQ(Load(nullptr, "nothing.txt"), "");
  EXPECT_EQ(HL_MessageBoxes()[1].text, "ファイルが開けません[nothing.txt]");
}

TEST_F(ArchiveTest, EmptyLooseFileCountsAsMissing) {
  WriteFileBytes("grp/e.bmp", {});
  WriteFileBytes("grp.TVN", MakeArchive({{"e.bmp", Bytes("packed")}}));
  EXPECT_EQ(Load("grp", "e.bmp"), "packed");
}

TEST_F(ArchiveTest, CompressedEntriesRoundTrip) {
  std::mt19937 rng(7);
  std::vector<uint8_t> noise(5000), runs;
  for (auto& b : noise) b = static_cast<uint8_t>(rng());
  for (int i = 0; i < 20000; ++i) runs.push_back(static_cast<uint8_t>("  abcab  "[i % 9]));
  WriteFileBytes(
      "grp.TVN",
      MakeArchive({{"noise", noise, true}, {"runs", runs, true}, {"empty1", Bytes("z"), true}}));
  EXPECT_EQ(Load("grp", "noise"), std::string(noise.begin(), noise.end()));
  EXPECT_EQ(Load("grp", "runs"), std::string(runs.begin(), runs.end()));
  EXPECT_EQ(Load("grp", "empty1"), "z");
  EXPECT_TRUE(HL_MessageBoxes().empty());
}

TEST_F(ArchiveTest, WrongLengthShowsTheCorruptionMessage) {
  std::vector<uint8_t> c = Compress(Bytes("hello world"));
  Put32(c, 4, 20);  // claims more than the stream holds
  std::vector<uint8_t> a = MakeArchive({{"x", {}}});
  Put32(a, 8, 1);
  Put32(a, 8 + 32, static_cast<uint32_t>(c.size()));
  a.insert(a.end(), c.begin(), c.end());
  WriteFileBytes("grp.TVN", a);
  EXPECT_EQ(Load("grp", "x"), "hello world");
  ASSERT_EQ(HL_MessageBoxes().size(), 1u);
  EXPECT_NE(HL_MessageBoxes()[0].text.find("ファイル名：[x]"), std::string::npos);
}

// One compressed entry "x" whose stream is given as is, with a claimed size.
std::vector<uint8_t> ArchiveWithStream(const std::vector<uint8_t>& stream, uint32_t unpacked) {
  std::vector<uint8_t> c(8, 0);
  Put32(c, 0, static_cast<uint32_t>(stream.size()));
  Put32(c, 4, unpacked);
  c.insert(c.end(), stream.begin(), stream.end());
  std::vector<uint8_t> a = MakeArchive({{"x", {}}});
  Put32(a, 8, 1);
  Put32(a, 8 + 32, static_cast<uint32_t>(c.size()));
  a.insert(a.end(), c.begin(), c.end());
  return a;
}

TEST_F(ArchiveTest, UnpackedSizesTheStreamCannotProduceAreRefused) {
  // The densest stream there is: a flag byte and eight references of 18
  // bytes each, 144 bytes from 17.
  std::vector<uint8_t> dense = {0x00};
  for (int i = 0; i < 8; ++i) {
    dense.push_back(0x00);
    dense.push_back(0x0F);
  }
  WriteFileBytes("grp.TVN", ArchiveWithStream(dense, 144));
  EXPECT_EQ(Load("grp", "x"), std::string(144, ' '));
  EXPECT_TRUE(HL_MessageBoxes().empty());

  // Sizes past what 17 bytes can give, up to the largest a size can say,
  // are damage: nothing is read back and the corruption box names the file.
  for (uint32_t claim : {145u, 100000u, 0x7FFFFFFFu}) {
    HL_Reset();
    WriteFileBytes("grp.TVN", ArchiveWithStream(dense, claim));
    uint8_t* buf = nullptr;
    EXPECT_EQ(ARC_Read("grp.TVN", "x", &buf), 0) << claim;
    EXPECT_EQ(buf, nullptr);
    ASSERT_EQ(HL_MessageBoxes().size(), 1u) << claim;
    EXPECT_NE(HL_MessageBoxes()[0].text.find("ファイル名：[x]"), std::string::npos);
  }

  // A second group may give more again.
  std::vector<uint8_t> twice = dense;
  twice.insert(twice.end(), dense.begin(), dense.end());
  HL_Reset();
  WriteFileBytes("grp.TVN", ArchiveWithStream(twice, 288));
  EXPECT_EQ(Load("grp", "x"), std::string(288, ' '));
  EXPECT_TRUE(HL_MessageBoxes().empty());
}

TEST(Lzss, ReferencesIntoInitialSpacesAndOverlaps) {
  // Flag 0b00000010: a reference, then a literal 'a', then a reference that
  // overlaps its own output (source = the 'a' just written, length 18).
  const uint8_t stream[] = {0x02, 0x00, 0x02, 'a', 0xF3, 0xFF};
  // First reference: position 0, length 5 -> five spaces at ring 4078..4082.
  // 'a' lands at 4083 = 0xFF3; second reference: position 0xFF3, length 18.
  uint8_t out[24];
  int n = LZS_Decode(out, stream, sizeof stream, 24);
  ASSERT_EQ(n, 24);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), "     a");
  for (int i = 6; i < 24; ++i) EXPECT_EQ(out[i], 'a') << i;
}

TEST(Lzss, OverrunCountsOneMoreButStoresOnlyTheExpected) {
  HL_Reset();
  const uint8_t stream[] = {0xFF, 'a', 'b', 'c', 'd'};
  std::vector<uint8_t> out(3);  // exactly the expected size: the sanitizer sees any overrun
  EXPECT_EQ(LZS_Decode(out.data(), stream, sizeof stream, 3), 4);
  EXPECT_EQ(std::string(out.begin(), out.end()), "abc");
  ASSERT_EQ(HL_MessageBoxes().size(), 1u);
  EXPECT_EQ(HL_MessageBoxes()[0].text, "エラーだす");
}

TEST(Lzss, ArbitraryStreamsStayInBounds) {
  HL_Reset();
  std::mt19937 rng(1);
  for (int iter = 0; iter < 2000; ++iter) {
    std::vector<uint8_t> in(rng() % 64);
    for (auto& b : in) b = static_cast<uint8_t>(rng());
    int expected = static_cast<int>(rng() % 200);
    std::vector<uint8_t> out(expected);
    int n = LZS_Decode(out.data(), in.data(), static_cast<int>(in.size()), expected);
    EXPECT_LE(n, expected + 1);
  }
}

TEST_F(ArchiveTest, DamagedArchivesGiveNothingAndNeverReadOutside) {
  std::vector<uint8_t> good = MakeArchive({{"a", Bytes("payload")}});
  auto check = [&](std::vector<uint8_t> a) {
    WriteFileBytes("g.TVN", a);
    uint8_t* buf = nullptr;
    int n = ARC_Read("g.TVN", "a", &buf);
    RES_Free(buf);
    return n;
  };
  EXPECT_EQ(check(good), 7);
  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_EQ(check(std::vector<uint8_t>(good.begin(), good.begin() + cut)), 0) << cut;
  }
  std::vector<uint8_t> a = good;
  Put32(a, 4, 0x7FFFFFFF);  // count far beyond the file: cut to what it holds
  EXPECT_EQ(check(a), 7);
  a = good;
  Put32(a, 4, 0xFFFFFFFF);
  EXPECT_EQ(check(a), 0);
  a = good;
  Put32(a, 8 + 32, 0xFFFFFFF0);  // negative size
  EXPECT_EQ(check(a), 0);
  a = good;
  Put32(a, 8 + 28, 0x10000000);  // offset beyond the file
  EXPECT_EQ(check(a), 0);
  a = good;
  Put32(a, 8 + 32, 100);  // runs past the end
  EXPECT_EQ(check(a), 0);
  a = good;
  Put32(a, 8, 1);  // "compressed" but only 7 bytes: too short for its header
  EXPECT_EQ(check(a), 0);
  a = good;
  std::memset(&a[8 + 4], 'a', 24);  // name without terminator
  EXPECT_EQ(check(a), 0);
}

TEST_F(ArchiveTest, StreamOpenFindsLooseAndStoredEntries) {
  WriteFileBytes("bgm.TVN", MakeArchive({{"x.ogg", Bytes("0123456789")}, {"y.ogg", Bytes("abc")}}));
  PltFile* f = nullptr;
  ASSERT_EQ(RES_OpenStream("bgm", "Y.OGG", &f), 3);
  char buf[4] = {};
  EXPECT_EQ(PLT_FileRead(f, buf, 3), 3);
  EXPECT_STREQ(buf, "abc");
  WriteFileBytes("bgm/y.ogg", Bytes("loose!"));
  EXPECT_EQ(RES_OpenStream("bgm", "y.ogg", &f), 6);  // the old handle is closed first
  EXPECT_EQ(RES_OpenStream("bgm", "none", &f), 0);
  EXPECT_EQ(f, nullptr);
}

}  // namespace
