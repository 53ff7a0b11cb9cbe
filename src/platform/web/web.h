// Control of the web backend for the page's entry: the player's storage and,
// for the browser test, a scripted replay on a virtual clock with the same
// input events, message-box answers and captured frames as the headless
// backend's.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Mounts the browser's storage at /save and reads it back (waits for it).
// 1, or 0 when the browser keeps nothing (private windows, no IndexedDB).
int WEB_MountStorage();
// Writes changed files back to the browser's storage now.
void WEB_SyncStorage();

// The input script the page handed over (null when it gave none: the game).
const char* WEB_ScriptText();
// Frame steps the replay runs (the page's choice, 300 by default).
uint64_t WEB_ReplayFrames();
// Tells the page that the replay finished; its results are in the files named.
void WEB_ReplayDone(const char* tracePath, const char* statePath, const char* hashPath);

// Tells the page where the game is (frame steps, game mode, title state),
// for the browser test to follow.
void WEB_PublishState(uint64_t frameSteps, int gameMode, int titleState);
// In a replay: holds after the frame step when the page asked to see it (a
// screenshot of that very frame), until the page lets it go on.
void WEB_ReplayStep(uint64_t step);

// Virtual clock: from now on PLT_Sleep advances it at once (the sound mixed
// along, as headless), and the browser gets its turn every few frames.
void WEB_UseVirtualClock(uint32_t startMs);
// Lets the browser run (paint, deliver events) before going on.
void WEB_Yield();

// Scripted input, applied as the headless backend applies it.
void WEB_InjectMouseMove(int clientX, int clientY);
void WEB_InjectButton(int button, int down);  // 0 left, 1 right, 2 middle
void WEB_InjectKey(int vk, int down);
void WEB_InjectCommand(int id);
void WEB_InjectClose();
void WEB_InjectActivate(int active);
void WEB_InjectMinimized(int minimized);
// The wheel (notches, up positive) and the game controller, as the replay
// tool's input script gives them.
void WEB_InjectWheel(int notches);
void WEB_InjectPadButton(int button, int down);
void WEB_InjectPadAxis(int axis, int value);
void WEB_InjectPadConnected(int connected);
// Message boxes and dialogs answered by the script (otherwise their default),
// not shown; listed like the headless backend lists them.
void WEB_QueueAnswer(int answer);
// The sliders of the next dialog that has them, as the player leaves them.
void WEB_QueueSliderValues(const std::vector<int>& values);
struct WebMessageBox {
  std::string caption;
  std::string text;
  int style;  // the negated resource number for a dialog
  int answer;
};
const std::vector<WebMessageBox>& WEB_MessageBoxes();
// Frames presented and the newest one (blue, green, red), kept in scripted mode.
uint64_t WEB_PresentCount();
const std::vector<uint8_t>& WEB_LastFrame();
