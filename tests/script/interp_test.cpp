// The interpreter: flow, variables, flags, pauses and the per-frame bound.
#include <string>

#include "common/log.h"
#include "script_test_util.h"

TEST_F(ScriptTest, VariablesAndOperators) {
  Load("#N3=5\n#N4:2\n#N3+N4\n#N4-10\n#N5=N3\n#Nx=1\n#N\n@end");
  EXPECT_EQ(Frame(), 1);  // ran to the end in one frame: the scene is over
  EXPECT_EQ(g_vars[3], 7);
  EXPECT_EQ(g_vars[4], -8);
  EXPECT_EQ(g_vars[5], 7);
}

TEST_F(ScriptTest, JumpsAndLabels) {
  // A label right before the end: jumping to it ends the script in the same
  // frame.
  Load("#Gskip\n#N1=1\n@skip\n#N2=2\n#Gend\n#N3=3\n@end");
  EXPECT_EQ(Frame(), 1);
  EXPECT_EQ(g_vars[1], 0);
  EXPECT_EQ(g_vars[2], 2);
  EXPECT_EQ(g_vars[3], 0);
  EXPECT_EQ(SCR_SearchLabel("skip"), 2);
  EXPECT_EQ(SCR_SearchLabel("Skip"), g_script.count);
}

TEST_F(ScriptTest, MissingLabelEndsTheScript) {
  Load("#Gnowhere\n#N1=1\n#W2,60");
  EXPECT_EQ(Frame(), 1);
  EXPECT_EQ(g_vars[1], 0);
  EXPECT_EQ(g_script.pc, g_script.count);
}

TEST_F(ScriptTest, Conditions) {
  const char* s = "#IN0,==,2,yes\n#N1=1\n#Gend\n@yes\n#N1=2\n@end\n#T1";
  for (int v : {2, 1}) {
    Load(s);
    g_vars[0] = v;
    g_vars[1] = 0;
    Frame();
    EXPECT_EQ(g_vars[1], v == 2 ? 2 : 1) << v;
  }
  // Five arguments: the false branch jumps too; an unknown operator is false.
  Load("#I1,>=,2,a,b\n@a\n#N1=10\n@b\n#N2=20\n#I1,=>,0,a,c\n@c\n#T1");
  g_vars[1] = g_vars[2] = 0;
  Frame();
  EXPECT_EQ(g_vars[1], 0);
  EXPECT_EQ(g_vars[2], 20);
  // Too few arguments: no jump, the script goes on.
  Load("#I1,==\n#N7=1\n#T1");
  Frame();
  EXPECT_EQ(g_vars[7], 1);
}

TEST_F(ScriptTest, FlagsSurviveScenesAndReleases) {
  Load("#FS10,7\n#F=N2,10\n#FS300,1\n#F=N3,300\n#F=Nx,10\n#T1");
  Frame();
  EXPECT_EQ(SCR_GetFlag(10), 7);
  EXPECT_EQ(g_vars[2], 7);
  EXPECT_EQ(g_vars[3], 0);  // a flag outside the table reads 0 and is never written
  SCR_Release();
  Load("#F=N4,10\n#T1");
  Frame();
  EXPECT_EQ(g_vars[4], 7);
}

TEST_F(ScriptTest, UnknownCommandsSkipAndEndTheFrame) {
  Load("#Q1\n#\n#N1=1\n#T1");
  Frame();
  EXPECT_EQ(g_script.pc, 1);
  Frame();
  EXPECT_EQ(g_script.pc, 2);
  Frame();
  EXPECT_EQ(g_vars[1], 1);
}

TEST_F(ScriptTest, WindowCommandYieldsOnce) {
  Load("#T1\n#N1=1\n#T0\n#N2=1\n#W2,600");
  Frame();
  EXPECT_EQ(g_scene.windowVisible, 1);
  EXPECT_EQ(g_vars[1], 0);
  Frame();
  EXPECT_EQ(g_vars[1], 1);
  EXPECT_EQ(g_scene.windowVisible, 0);
  EXPECT_EQ(g_vars[2], 0);
}

TEST_F(ScriptTest, PauseLengthsBySpeedModeAndSkip) {
  struct Case {
    const char* cmd;
    int wait;
    bool skip;
    int frames;
  } cases[] = {
      {"#W0,60", 2, false, 30}, {"#W0,60", 0, false, 1},  {"#W0,60", 3, false, 45},
      {"#W0,60", 2, true, 1},   {"#W1,60", 2, false, 30}, {"#W1,60", 2, true, 10},
      {"#W2,60", 0, true, 30},  {"#W2", 2, false, 15},    {"#W0,N5", 1, false, 15},
      {"#W7,60", 2, false, 30},  // no such mode: a plain pause, the script goes on
  };
  for (const Case& c : cases) {
    g_vars[5] = -2;  // a literal cannot be negative
    Load(std::string(c.cmd) + "\n#T1");
    g_cfg.wait = c.wait;
    HL_KeyEvent(PLT_VK_CONTROL, c.skip);
    EXPECT_EQ(FramesAt(0), c.frames) << c.cmd << " wait " << c.wait << " skip " << c.skip;
    HL_KeyEvent(PLT_VK_CONTROL, 0);
    Frame();
  }
}

TEST_F(ScriptTest, LabelJumpLoopEndsTheFrame) {
  // A jump back to its own label never waits: the frame ends at the bound.
  Load("@a\n#N1+1\n#Ga");
  EXPECT_EQ(Frame(), 3);
  EXPECT_EQ(g_interp.entriesThisFrame, SCR_FRAME_ENTRY_LIMIT);
  EXPECT_GT(g_vars[1], 0);
  const int after = g_vars[1];
  Frame();
  EXPECT_GT(g_vars[1], after);
  EXPECT_EQ(g_scene.nextStageRequest, 0);
  // Ten seconds of frames that all end at the bound: the stall is logged,
  // once.
  auto stallLines = [] {
    int n = 0;
    for (int i = 0; i < LOG_RecentCount(); ++i)
      n += std::string(LOG_Recent(i)).find("s0000.txt") != std::string::npos;
    return n;
  };
  for (int i = 2; i < 299; ++i) Frame();
  EXPECT_EQ(stallLines(), 0);
  Frame();
  EXPECT_EQ(stallLines(), 1);
  for (int i = 0; i < 400; ++i) Frame();
  EXPECT_EQ(stallLines(), 1);
}

TEST_F(ScriptTest, LoadChainsScriptsInTheSameFrame) {
  WriteFileBytes("SCR/s0005.txt", Bytes("#N2=5\n#W2,60"));
  WriteFileBytes("SCR/s0006.txt", Bytes("#L6"));
  Load("#N1=1\n#L5\n#N3=3");
  g_vars[0] = 9;
  Frame();
  EXPECT_EQ(g_script.number, 5);
  EXPECT_EQ(g_vars[1], 1);
  EXPECT_EQ(g_vars[2], 5);  // the first entry of script 5 ran in the same frame
  EXPECT_EQ(g_vars[0], 9);  // variables carry over
  EXPECT_EQ(g_script.pc, 1);
  // A script that loads itself ends the frame after a bounded number of loads.
  Load("#L6");
  Frame();
  EXPECT_EQ(g_interp.entriesThisFrame, SCR_FRAME_LOAD_LIMIT);
  EXPECT_EQ(g_scene.nextStageRequest, 0);
  // A missing script leaves nothing: the scene ends.
  Load("#L9\n#N3=3");
  EXPECT_EQ(Frame(), 1);
  EXPECT_EQ(g_vars[3], 0);
}

TEST_F(ScriptTest, SceneWithoutAScriptEndsAtOnce) {
  // Missing (the load failed) or empty: the scene ends on its first frame
  // instead of leaving the player in an empty scene.
  EXPECT_EQ(Frame(), 1);
  EXPECT_EQ(g_scene.nextStageRequest, 0);
  SCR_LoadData(3, nullptr, 0);
  EXPECT_EQ(Frame(), 1);
  EXPECT_EQ(g_scene.nextStageRequest, 0);
}

TEST_F(ScriptTest, TraceSeesEachEntryOnceWhenItStarts) {
  static std::vector<int> seen;
  seen.clear();
  g_scriptTrace = [](int pc, const char*) { seen.push_back(pc); };
  Load("#N1=1\n#W2,4\n@x\n#T1");
  Frame();
  Frame();
  Frame();
  g_scriptTrace = nullptr;
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
}
