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
struct HlMessageBox {
  std::string caption;
  std::string text;
  int style;
  int answer;
};
const std::vector<HlMessageBox>& HL_MessageBoxes();

// Desktop the backend pretends to have.
void HL_SetDesktop(int bpp, int width, int height);

// Frames presented so far and the newest one (640 x 480 x 3, blue green red).
uint64_t HL_PresentCount();
const std::vector<uint8_t>& HL_LastFrame();
void HL_LastFrameSize(int* width, int* height);
