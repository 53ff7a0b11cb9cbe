// Control of the headless backend, for tests and replays: the virtual clock,
// scripted input, scripted answers to message boxes and captured frames.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Returns the backend to its start state (clock 0, no window, no input).
void HL_Reset();

// Virtual clock: PLT_Sleep advances it at once.
void HL_SetTime(uint32_t ms);
void HL_AdvanceTime(uint32_t ms);

// Input, applied at once to the asynchronous state.
void HL_KeyEvent(int vk, int down);
void HL_MouseMove(int clientX, int clientY);
void HL_MouseButton(int button, int down);  // 0 left, 1 right, 2 middle
// The wheel (notches, positive away from the user) and the game controller
// (PLT_PAD_* buttons and axes of plt_input.h).
void HL_Wheel(int notches);
void HL_PadConnected(int connected);
void HL_PadButton(int button, int down);
void HL_PadAxis(int axis, int value);
// A letter typed between two polls: down and up again.
void HL_TypeLetter(char c);
void HL_SetActive(int active);  // posts the activation message
void HL_SetSwapButtons(int swapped);

// Messages the user's actions would cause.
void HL_PostCommand(int id);
void HL_PostClose();

// Message boxes: answers taken in order; when none is queued the box gets
// its default button (OK, or Yes for a Yes/No box).
void HL_QueueAnswer(int answer);
// The sliders of the next dialog that has them, as the user leaves them.
void HL_QueueSliderValues(const std::vector<int>& values);
// Dialogs (resources) are listed too, with the negated resource number as style.
struct HlMessageBox {
  std::string caption;
  std::string text;
  int style;
  int answer;
};
const std::vector<HlMessageBox>& HL_MessageBoxes();

// Desktop the backend pretends to have (ZENTROVA_DESKTOP_DEPTH still
// overrides the depth). HL_ChangeDesktop also posts the display-change message.
void HL_SetDesktop(int bpp, int width, int height);
void HL_ChangeDesktop(int bpp, int width, int height);
// A mode change the system does not store (a full-screen one): the desktop
// changes as with HL_ChangeDesktop, its stored size stays.
void HL_SwitchDesktop(int width, int height);
// What entering full screen reports from now on (a PLT_DISP_CHANGE_ code);
// the picture still goes full screen, as a failed mode change leaves it.
void HL_SetModeChangeResult(int result);
// The session ends (the signal a desktop sends at logout); the window is
// minimised (1) or shown again (0).
void HL_PostEndSession();
void HL_PostMinimized(int minimized);
// Full screen's menu bar as the game last placed it, the window scale.
int HL_MenuBarShown();
int HL_WindowScale();
// Files and addresses handed to the desktop to open.
const std::vector<std::string>& HL_OpenedTargets();
// Messages the text hook handed out (UTF-8), and how often the program
// asked for the menu bar to open.
const std::vector<std::string>& HL_PublishedTexts();
int HL_SystemMenuOpens();
// The desktop has nothing to open files and addresses with (1).
void HL_SetNoOpener(int none);
// Frames presented as 8-bit images with a palette.
uint64_t HL_IndexedPresentCount();

// Frames presented so far and the newest one (640 x 480 x 3, blue green red).
uint64_t HL_PresentCount();
const std::vector<uint8_t>& HL_LastFrame();
void HL_LastFrameSize(int* width, int* height);
