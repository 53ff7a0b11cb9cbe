// The headless sound output: the shared mixer clocked by the virtual clock,
// with the mixed output kept for tests and optionally written to a WAV file.
#pragma once
#include <cstdint>
#include <vector>

// Mixes (toMs - fromMs) milliseconds of output; the headless clock calls it
// whenever virtual time advances. After every mixed chunk that signalled
// notification events it waits until the threads woken by them are waiting
// again, so a replay sounds the same however fast it runs.
void HL_AudioAdvance(uint32_t fromMs, uint32_t toMs);

// Starts keeping the mixed output (interleaved 16-bit stereo at 44100 Hz)
// and, when path is not null, writing it to a WAV file at that host path.
// Returns 1, or 0 when the file cannot be created.
int HL_AudioCaptureStart(const char* path);
// Finishes the WAV file; the kept samples stay readable.
void HL_AudioCaptureStop();
const std::vector<int16_t>& HL_AudioCaptured();

// Makes the next device open fail (tests of the no-sound path).
void HL_AudioFailOpen(int fail);
// Frames mixed since the device was opened.
uint64_t HL_AudioFramesMixed();
// Forgets the capture and the fail switch.
void HL_AudioReset();
