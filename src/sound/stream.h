// Stream slots: music (Ogg Vorbis or WAV) played through an eight-segment
// buffer that a worker thread per playing stream refills, one second at a
// time, as the play position passes each segment.
#pragma once
#include <cstdint>

enum : int { STRM_SLOTS = 8, STRM_SEGMENTS = 8 };
enum : uint32_t { STRM_CARRY_SIZE = 128 * 1024 };

// Resource group of the music files ("bgm" unless set).
void STRM_SetDir(const char* group);
const char* STRM_Dir();

int STRM_Open(int slot, const char* file);
int STRM_Play(int slot, int loop);
int STRM_Stop(int slot);
int STRM_IsPlaying(int slot);
void STRM_SetVolume(int slot, int volume);
// Every stream's volume again, after the player's mix changed.
void STRM_ReapplyVolumes();
void STRM_Release(int slot);
// The release used by the music channels: a buffer held whole is released
// alone, a streaming slot entirely.
void STRM_ReleaseChannel(int slot);

// Device start-up: all slots cleared, volume 255.
void STRM_ClearAll();
void STRM_ReleaseAll();
// Events created and closed by the streams; SND_Release reports a mismatch.
int STRM_EventsBalanced();
int STRM_EventsCreated();
int STRM_EventsClosed();
// Test view of a slot.
int STRM_IsStreaming(int slot);
int STRM_SegmentSize(int slot);
int STRM_Volume(int slot);
struct PltSoundBuffer;
PltSoundBuffer* STRM_Buffer(int slot);
