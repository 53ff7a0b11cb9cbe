// The DirectSound output: the primary buffer set to 44100 Hz, 16-bit stereo,
// and one looping secondary buffer of kChunks chunks that a worker thread
// refills from the shared mixer each time a position notification says the
// play cursor has left a chunk. No device (or no DirectSound) leaves the game
// silent: the shared device then reports that there is none. Closing tells
// the debugger output how many chunks were refilled and how many of them
// held sound, which shows that the notifications arrive and the mixer runs.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/plt_debug.h"
#include "platform/plt_sound.h"
#include "platform/sound_backend.h"
#include "platform/win32/win32_backend.h"

namespace {

constexpr int kChunks = 4;
constexpr DWORD kChunkFrames = 1024;  // about 23 ms each
constexpr DWORD kFrameBytes = 4;
constexpr DWORD kChunkBytes = kChunkFrames * kFrameBytes;

struct Output {
  IDirectSound* ds = nullptr;
  IDirectSoundBuffer* primary = nullptr;
  IDirectSoundBuffer* buffer = nullptr;
  HANDLE events[kChunks + 1] = {};  // the chunks' notifications, then the stop request
  HANDLE worker = nullptr;
  std::atomic<bool> running{false};
  // Written by the worker only (and by Open before it starts), read after it ended.
  uint32_t chunksFilled = 0;
  uint32_t chunksWithSound = 0;
  DWORD openedAt = 0;  // timeGetTime at the start of play
};

Output g_out;

bool HoldsSound(const void* p, DWORD bytes) {
  const int16_t* s = static_cast<const int16_t*>(p);
  for (DWORD i = 0; p && i < bytes / 2; ++i) {
    if (s[i] != 0) return true;
  }
  return false;
}

void FillChunk(int chunk) {
  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  HRESULT hr = g_out.buffer->Lock(static_cast<DWORD>(chunk) * kChunkBytes, kChunkBytes, &p1, &n1,
                                  &p2, &n2, 0);
  if (hr == DSERR_BUFFERLOST) {
    g_out.buffer->Restore();
    hr = g_out.buffer->Lock(static_cast<DWORD>(chunk) * kChunkBytes, kChunkBytes, &p1, &n1, &p2,
                            &n2, 0);
  }
  if (FAILED(hr)) return;
  PLT_SoundMix(static_cast<int16_t*>(p1), static_cast<int>(n1 / kFrameBytes), nullptr, 0);
  if (p2 && n2) PLT_SoundMix(static_cast<int16_t*>(p2), static_cast<int>(n2 / kFrameBytes), nullptr, 0);
  ++g_out.chunksFilled;
  if (HoldsSound(p1, n1) || HoldsSound(p2, n2)) ++g_out.chunksWithSound;
  g_out.buffer->Unlock(p1, n1, p2, n2);
}

// Notification i fires when play enters chunk i: chunk i - 1 is free again.
DWORD WINAPI Worker(LPVOID) {
  while (g_out.running.load()) {
    const DWORD r = ::WaitForMultipleObjects(kChunks + 1, g_out.events, FALSE, INFINITE);
    if (r == WAIT_OBJECT_0 + kChunks || r == WAIT_FAILED) break;
    const int entered = static_cast<int>(r - WAIT_OBJECT_0);
    if (entered >= 0 && entered < kChunks) FillChunk((entered + kChunks - 1) % kChunks);
  }
  return 0;
}

void Release() {
  if (g_out.buffer) g_out.buffer->Release();
  if (g_out.primary) g_out.primary->Release();
  if (g_out.ds) g_out.ds->Release();
  for (HANDLE& e : g_out.events) {
    if (e) ::CloseHandle(e);
    e = nullptr;
  }
  g_out.buffer = nullptr;
  g_out.primary = nullptr;
  g_out.ds = nullptr;
}

WAVEFORMATEX OutputFormat() {
  WAVEFORMATEX wf;
  std::memset(&wf, 0, sizeof wf);
  wf.wFormatTag = WAVE_FORMAT_PCM;
  wf.nChannels = 2;
  wf.nSamplesPerSec = PLT_SOUND_RATE;
  wf.wBitsPerSample = 16;
  wf.nBlockAlign = kFrameBytes;
  wf.nAvgBytesPerSec = PLT_SOUND_RATE * kFrameBytes;
  return wf;
}

bool Open() {
  if (FAILED(::DirectSoundCreate(nullptr, &g_out.ds, nullptr))) return false;
  HWND owner = W32_Window() ? W32_Window() : ::GetDesktopWindow();
  if (FAILED(g_out.ds->SetCooperativeLevel(owner, DSSCL_PRIORITY))) return false;
  WAVEFORMATEX wf = OutputFormat();
  DSBUFFERDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  // The primary format is a wish: the device may keep its own and convert.
  if (SUCCEEDED(g_out.ds->CreateSoundBuffer(&desc, &g_out.primary, nullptr))) {
    g_out.primary->SetFormat(&wf);
    WAVEFORMATEX got;
    std::memset(&got, 0, sizeof got);
    if (SUCCEEDED(g_out.primary->GetFormat(&got, sizeof got, nullptr))) {
      char line[96];
      std::snprintf(line, sizeof line, "DirectSound: primary buffer %lu Hz, %u bits, %u channels\n",
                    static_cast<unsigned long>(got.nSamplesPerSec), got.wBitsPerSample,
                    got.nChannels);
      PLT_DebugOutput(line);
    }
  }
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLPOSITIONNOTIFY;
  desc.dwBufferBytes = kChunkBytes * kChunks;
  desc.lpwfxFormat = &wf;
  if (FAILED(g_out.ds->CreateSoundBuffer(&desc, &g_out.buffer, nullptr))) return false;
  IDirectSoundNotify* notify = nullptr;
  if (FAILED(g_out.buffer->QueryInterface(IID_IDirectSoundNotify,
                                          reinterpret_cast<void**>(&notify)))) {
    return false;
  }
  DSBPOSITIONNOTIFY marks[kChunks];
  for (int i = 0; i <= kChunks; ++i) g_out.events[i] = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  for (int i = 0; i < kChunks; ++i) {
    marks[i].dwOffset = static_cast<DWORD>(i) * kChunkBytes;
    marks[i].hEventNotify = g_out.events[i];
  }
  const HRESULT hr = notify->SetNotificationPositions(kChunks, marks);
  notify->Release();
  if (FAILED(hr)) return false;
  for (int i = 0; i < kChunks; ++i) FillChunk(i);
  g_out.running = true;
  g_out.worker = ::CreateThread(nullptr, 0, Worker, nullptr, 0, nullptr);
  if (!g_out.worker) {
    g_out.running = false;
    return false;
  }
  ::SetThreadPriority(g_out.worker, THREAD_PRIORITY_TIME_CRITICAL);
  g_out.openedAt = ::timeGetTime();
  return SUCCEEDED(g_out.buffer->Play(0, 0, DSBPLAY_LOOPING));
}

}  // namespace

int SNDDEV_BackendOpen() {
  if (g_out.buffer && g_out.running) return 1;
  if (Open()) return 1;
  SNDDEV_BackendClose();
  return 0;
}

void SNDDEV_BackendClose() {
  if (g_out.worker) {
    g_out.running = false;
    ::SetEvent(g_out.events[kChunks]);
    ::WaitForSingleObject(g_out.worker, INFINITE);
    ::CloseHandle(g_out.worker);
    g_out.worker = nullptr;
  }
  if (g_out.buffer) {
    g_out.buffer->Stop();
    char line[96];
    std::snprintf(line, sizeof line, "DirectSound: %lu chunks refilled in %lu ms, %lu with sound\n",
                  static_cast<unsigned long>(g_out.chunksFilled),
                  static_cast<unsigned long>(::timeGetTime() - g_out.openedAt),
                  static_cast<unsigned long>(g_out.chunksWithSound));
    PLT_DebugOutput(line);
  }
  g_out.chunksFilled = 0;
  g_out.chunksWithSound = 0;
  Release();
}
