// The message boxes and dialogs a backend draws inside its window, in the
// style of the menu bar: a caption, an icon, text wrapped to the box, an
// optional check box and a row of buttons. One box at a time, modal: the
// backend feeds it keys and the mouse until it has a result. Coordinates are
// the window's; pixels are 0xAARRGGBB. Nothing here knows the window system.
#pragma once
#include <cstdint>

enum : int {
  DLG_ICON_NONE = 0,
  DLG_ICON_WARNING = 1,
  DLG_ICON_QUESTION = 2,
  DLG_ICON_INFORMATION = 3,
  DLG_ICON_PICTURE = 4,  // the picture given in DlgSpec (the program's icon)
};

struct DlgButton {
  int id;  // the result when chosen
  const char* label;
};

// A slider of 0..100 (per cent) with its caption on the left and its value
// on the right; Left and Right move the focused one by 5.
enum : int { DLG_MAX_SLIDERS = 4, DLG_FOCUS_SLIDER0 = 100 };
struct DlgSlider {
  const char* caption;  // UTF-8
  int value;
};

struct DlgSpec {
  const char* caption;  // UTF-8
  const char* text;     // UTF-8; '\n' breaks a line, long lines wrap
  int icon;
  const uint8_t* pictureRgba;  // DLG_ICON_PICTURE: red, green, blue, alpha rows
  int pictureW, pictureH;
  const DlgButton* buttons;
  int buttonCount;           // 1 to 4
  int defaultButton;         // index of the button Enter chooses (and that has the focus at first)
  int escapeResult;          // the result of Escape and of closing the box otherwise
  const char* checkCaption;  // a check box above the buttons, or null
  int checked;
  const DlgSlider* sliders;  // rows between the text and the check box, or null
  int sliderCount;
};

// Lays the box out centred in a window of the given size and opens it.
void DLG_Open(const DlgSpec& desc, int windowWidth, int windowHeight);
bool DLG_IsOpen();
// Ends the box from outside with a result (the session ends, the window closes).
void DLG_Cancel(int result);
// The result of the box that closed last (0 while one is open) and its check box.
int DLG_Result();
int DLG_Checked();
// A slider's value (0..100) as the box has it.
int DLG_SliderValue(int i);
void DLG_SliderBounds(int i, int* x, int* y, int* w, int* h);  // its track

// Keys (virtual key codes; shift for Shift+Tab) and the mouse (button 0 left).
void DLG_Key(int vk, bool shift);
void DLG_MouseMove(int x, int y);
void DLG_MouseDown(int button, int x, int y);
void DLG_MouseUp(int button, int x, int y);

// Index of the focused control: the buttons 0.., the check box -1, the
// sliders DLG_FOCUS_SLIDER0...
int DLG_Focus();
// The box's rectangle in window coordinates, and a button's.
void DLG_Bounds(int* x, int* y, int* w, int* h);
void DLG_ButtonBounds(int index, int* x, int* y, int* w, int* h);
void DLG_CheckBounds(int* x, int* y, int* w, int* h);
// The wrapped lines of the text (for tests).
int DLG_LineCount();
const char* DLG_Line(int i);

// True once after anything visible changed.
bool DLG_TakeDirty();
// Draws the open box over pixels.
void DLG_Draw(uint32_t* pixels, int width, int height);
