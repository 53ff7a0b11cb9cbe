// What the files of the web backend share.
#pragma once
#include <cstdint>

// True in a scripted replay (virtual clock, answers from the script).
bool WEBB_Scripted();
// Virtual clock in use: the time, and advancing it.
bool WEBB_VirtualClock();
// Pulls the page's queued events into the message queue and the key state.
void WEBB_Pump();
// Polls the game controller: into the pad state, or as keys into the open
// box when `dialog` is set.
void WEBB_PadPoll(bool dialog);
// Draws the cursor where the game put it (at a canvas pixel), for the player
// who moves it with a controller.
void WEBB_ShowPadCursor(int canvasX, int canvasY);
// Sound: mixes what the output needs by now (live), or (virtual clock) the
// time from fromMs to toMs; either runs the music workers woken meanwhile.
void WEBB_AudioPump();
void WEBB_AudioAdvance(uint32_t fromMs, uint32_t toMs);
// Runs every worker whose event is signalled until all wait again.
void WEBB_RunWorkers();
// The program's icon (red, green, blue, alpha); false when none was set.
bool WEBB_WindowIcon(const uint8_t** rgba, int* w, int* h);
// Writes changed files to the browser's storage about once a second.
void WEBB_StorageTick(uint32_t nowMs);
