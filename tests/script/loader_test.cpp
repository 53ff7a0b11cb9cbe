// The script loader and the argument tokenizer.
#include <cstring>
#include <string>
#include <vector>

#include "script_test_util.h"

using ::testing::ElementsAre;

TEST_F(ScriptTest, SplitsCommandsLabelsAndTextRuns) {
  // 0x82 0xA0 is a two-byte character; spaces go everywhere, also in text.
  ASSERT_EQ(Load("#T1\n\x82\xA0 A B\nline2\n#W 30\n\n@ start\n#G start"), 1);
  EXPECT_THAT(Entries(), ElementsAre("#T1",
                                     "\x82\xA0"
                                     "AB\nline2\n",
                                     "#W30", "@start", "#Gstart"));
  EXPECT_EQ(g_script.pc, 0);
  EXPECT_EQ(g_script.number, 0);
}

TEST_F(ScriptTest, MarkersInsideTextStartNewEntries) {
  Load("ab#W1\ncd@x\nef");
  EXPECT_THAT(Entries(), ElementsAre("ab", "#W1", "cd", "@x", "ef"));
}

TEST_F(ScriptTest, Comments) {
  // After a command the comment ends it; inside a text run a comment line
  // keeps the run's line breaks; at the start of the file it writes nothing.
  Load("//head\n#W30//wait\ntext\n//own line\nmore//tail\nend\n#T0");
  EXPECT_THAT(Entries(), ElementsAre("#W30", "text\nmore\nend\n", "#T0"));
  EXPECT_EQ(g_script.buffer[0], 0);  // nothing was written for the first comment
}

TEST_F(ScriptTest, CarriageReturnsAndTabsDrop) {
  Load("#N1=\t5\r\nA\r\n");
  EXPECT_THAT(Entries(), ElementsAre("#N1=5", "A\n"));
}

TEST_F(ScriptTest, LeadBytesHideMarkersAndLineEnds) {
  // The trail byte of a two-byte character is never a '#', '@', '/' or LF.
  Load(std::string("\x81#\x81@\x81/\x81/x\n#T1"));
  EXPECT_THAT(Entries(), ElementsAre("\x81#\x81@\x81/\x81/x\n", "#T1"));
}

TEST_F(ScriptTest, BareHashAndEmptyInput) {
  Load("#\nA");
  EXPECT_THAT(Entries(), ElementsAre("#", "A"));
  EXPECT_EQ(Load(""), 0);
  EXPECT_EQ(g_script.count, 0);
  EXPECT_EQ(g_script.loaded, 1);
}

TEST_F(ScriptTest, LeadByteAtTheEndIsNotReadPast) {
  // The data is copied so that nothing follows the last byte.
  std::vector<uint8_t> d = {'A', 0x82};
  ASSERT_EQ(SCR_LoadData(0, d.data(), 2), 1);
  EXPECT_THAT(Entries(), ElementsAre("A\x82"));
}

TEST_F(ScriptTest, ManyShortCommandsFitTheBuffer) {
  // Each '#' writes two bytes: a file of nothing else needs twice its length.
  std::string s(20000, '#');
  Load(s);
  EXPECT_EQ(g_script.count, SCR_MAX_ENTRIES);
  EXPECT_EQ(g_script.dropped, 20000 - SCR_MAX_ENTRIES);
  EXPECT_EQ(BoxesMentioning("最大コマンド数を超えています"), 1);
  EXPECT_EQ(SCR_SearchLabel("x"), SCR_MAX_ENTRIES);
}

TEST_F(ScriptTest, EntryLimitWarnsAtTheLastSlot) {
  std::string s;
  for (int i = 0; i < SCR_MAX_ENTRIES - 1; ++i) s += "#T1\n";
  Load(s);
  EXPECT_EQ(HL_MessageBoxes().size(), 0u);
  Load(s + "@end\n");
  EXPECT_EQ(g_script.count, SCR_MAX_ENTRIES);
  EXPECT_EQ(BoxesMentioning("最大コマンド数を超えています"), 1);
  EXPECT_STREQ(g_script.entries[SCR_MAX_ENTRIES - 1], "@end");
}

TEST_F(ScriptTest, LoadsThroughTheResourceGroupAndReportsMissingFiles) {
  WriteFileBytes("SCR/s0007.txt", Bytes("#T1\nhi"));
  EXPECT_EQ(SCR_Load(7), 1);
  EXPECT_EQ(g_script.number, 7);
  EXPECT_THAT(Entries(), ElementsAre("#T1", "hi"));
  EXPECT_EQ(SCR_Load(8), 0);
  EXPECT_EQ(g_script.count, 0);
  EXPECT_EQ(g_script.number, 8);
  EXPECT_EQ(BoxesMentioning("s0008.txt"), 1);
  SCR_Release();
  EXPECT_EQ(g_script.loaded, 0);
  EXPECT_EQ(g_script.buffer, nullptr);
}

TEST_F(ScriptTest, DecimalConversion) {
  EXPECT_EQ(SCR_ToInt("12"), 12);
  EXPECT_EQ(SCR_ToInt("-12"), -12);
  EXPECT_EQ(SCR_ToInt("12a"), 0);
  EXPECT_EQ(SCR_ToInt(""), 0);
  EXPECT_EQ(SCR_ToInt("-"), 0);
  EXPECT_EQ(SCR_ToInt("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(SCR_ToInt("-99999999999999999999"), INT32_MIN);
}

TEST_F(ScriptTest, ArgumentKindsAndPieces) {
  g_vars[3] = 42;
  ASSERT_EQ(SCR_GetArgs("1,,2,N3,n3,-4,abc"), 6);
  EXPECT_EQ(g_args[0].kind, 0);
  EXPECT_EQ(g_args[0].number, 1);
  EXPECT_EQ(g_args[1].kind, 1);  // a piece's first character is never a separator
  EXPECT_STREQ(g_args[1].text, ",2");
  EXPECT_EQ(g_args[2].number, 42);
  EXPECT_EQ(g_args[3].number, 42);
  EXPECT_EQ(g_args[4].kind, 1);
  EXPECT_STREQ(g_args[4].text, "-4");
  EXPECT_STREQ(g_args[5].text, "abc");
  EXPECT_EQ(g_args[6].kind, 0);
  EXPECT_EQ(g_args[6].text[0], 0);
  EXPECT_EQ(SCR_GetArgs(""), 0);
  EXPECT_EQ(SCR_GetArgs("5,"), 1);
}

TEST_F(ScriptTest, NumbersKeepTheSlotsText) {
  SCR_GetArgs("abc");
  SCR_GetArgs("7");
  EXPECT_EQ(g_args[0].kind, 0);
  EXPECT_STREQ(g_args[0].text, "abc");
}

TEST_F(ScriptTest, TwoByteCharactersHideCommas) {
  ASSERT_EQ(SCR_GetArgs("\x81,x,y"), 2);
  EXPECT_STREQ(g_args[0].text, "\x81,x");
  // A lead byte right before the end takes nothing past it.
  const char t[] = {'a', static_cast<char>(0x82), 0, 'z', 0};
  ASSERT_EQ(SCR_GetArgs(t), 1);
  EXPECT_STREQ(g_args[0].text, "a\x82");
}

TEST_F(ScriptTest, ArgumentsBeyondTheSlotsAreRefused) {
  std::string many;
  for (int i = 0; i < 20; ++i) many += std::to_string(i) + ",";
  EXPECT_EQ(SCR_GetArgs(many.c_str()), SCR_MAX_ARGS);
  EXPECT_EQ(g_args[15].number, 15);
  // An overlong piece keeps 1023 bytes, never half of a character.
  std::string longText(1100, '\x82');
  longText += ",5";
  ASSERT_EQ(SCR_GetArgs(longText.c_str()), 2);
  EXPECT_EQ(std::strlen(g_args[0].text), 1022u);
  EXPECT_EQ(g_args[1].number, 5);
  // A variable reference without a digit reads 0.
  g_vars[0] = 9;
  SCR_GetArgs("Nx");
  EXPECT_EQ(g_args[0].number, 0);
}

TEST_F(ScriptTest, ReleaseClearsArgumentsAndVariablesButNotFlags) {
  Load("#T1");
  SCR_GetArgs("abc,4");
  g_vars[2] = 5;
  SCR_SetFlag(3, 1);
  SCR_Release();
  EXPECT_EQ(g_args[0].text[0], 0);
  EXPECT_EQ(g_args[1].number, 0);
  EXPECT_EQ(g_vars[2], 0);
  EXPECT_EQ(SCR_GetFlag(3), 1);
}
