// What every backend's game controller feeds into the shared pad state: its
// buttons (named PLT_PAD_*), the triggers as buttons, and, while the menu bar
// is open, the keys the pad stands for there.
#pragma once

// A button went down or up. While the menu bar is open a press works it as
// the keyboard would (d-pad the arrows, A Enter, B and Start Escape).
void PADF_Button(int button, bool down);
// The key a button stands for in the menu bar and the dialogs (0: none).
int PADF_KeyFor(int button);
// A trigger's travel, 0..32767 (which: 0 left, 1 right), taken as the button
// PLT_PAD_LT/RT with some hysteresis.
void PADF_Trigger(int which, int value);
// The controller is gone or back; either way nothing is held.
void PADF_Connected(bool connected);
void PADF_Reset();
