// The scripted players of `zentrova-tool replay --autoplay` use the mouse
// (the cursor jumps where they look, as the recorded play-throughs have it);
// with --autoplay-pad they use a game controller only, through these: the left
// stick steers the cursor, which moves at the pad's own speed and
// acceleration, A is the left button and X skips. No mouse or keyboard event
// is sent in that mode.
#pragma once

// --autoplay-pad was given.
bool HANDS_Pad();
// The functions below are for pad mode only.
// Once before the first frame: connects the controller.
void HANDS_Start();
// The cursor, in client pixels, where the game has it now.
void HANDS_Cursor(int* x, int* y);
// Where the cursor should go (reached over the next frames).
void HANDS_Move(int x, int y);
// The left button (A) held or let go.
void HANDS_Button(bool down);
bool HANDS_ButtonDown();
// A click at (x, y): pressed once the cursor is there, let go a frame later.
// Asked again while one is pending, it replaces it.
void HANDS_ClickAt(int x, int y);
// The skip button held or let go.
void HANDS_Skip(bool on);
// After the players have decided a frame: steers the stick toward the target
// and presses a pending click that has arrived.
void HANDS_Apply();