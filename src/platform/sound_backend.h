// What a backend provides to the shared sound device: opening and closing the
// output that pulls PLT_SoundMix.
#pragma once

// Returns 1 when the output runs (or, headless, is ready to be clocked).
int SNDDEV_BackendOpen();
void SNDDEV_BackendClose();
