// The sound device, the sound-effect slots and the managed effect records.
#include "sound/sound.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/act.h"
#include "common/config.h"
#include "common/log.h"
#include "common/msg.h"
#include "platform/plt_clock.h"
#include "sound/buffer.h"
#include "sound/pcm.h"
#include "sound/stream.h"

namespace {

struct SoundState {
  bool device = false;
  bool primary = false;
  PltWaveFormat primaryFormat{};
  void* window = nullptr;
  PltSoundBuffer* silence = nullptr;
  SeSlot slots[SND_SLOTS]{};
  SeRecord records[SND_RECORDS]{};
};

SoundState g_snd;

bool SlotOk(int slot) {
  return g_snd.device && slot >= 0 && slot < SND_SLOTS;
}

void ClearRecord(SeRecord* r) {
  std::memset(r, 0, sizeof *r);
  r->slot = -1;
}

void ReleaseDevice() {
  if (g_snd.primary) PLT_SoundReleasePrimary();
  PLT_SoundClose();
  g_snd.primary = false;
  g_snd.device = false;
  BUF_SetDeviceOpen(0);
}

}  // namespace

int SND_Init(void* window) {
  if (g_snd.device) return 1;
  if (!PLT_SoundOpen()) {
    MSG_Error(nullptr, "DirectSoundの初期化に失敗しました。");
    ReleaseDevice();
    return 0;
  }
  g_snd.device = true;
  BUF_SetDeviceOpen(1);
  if (!PLT_SoundSetCooperativeLevel(window)) {
    MSG_Error(nullptr, "DirectSoundの優先レベルの設定に失敗しました。");
    ReleaseDevice();
    return 0;
  }
  if (!PLT_SoundCreatePrimary()) {
    MSG_Error(nullptr, "DirectSoundのPRIMARYBUFFERの生成に失敗しました。");
    ReleaseDevice();
    return 0;
  }
  g_snd.primary = true;
  if (!PLT_SoundGetPrimaryFormat(&g_snd.primaryFormat)) LOG_Write("GetFormat失敗");
  for (SeSlot& s : g_snd.slots) s = SeSlot{};
  for (SeRecord& r : g_snd.records) ClearRecord(&r);
  STRM_ClearAll();
  g_snd.window = window;
  uint8_t silence[256];
  std::memset(silence, g_snd.primaryFormat.bitsPerSample == 8 ? 0x80 : 0, sizeof silence);
  g_snd.silence = BUF_Create(&g_snd.primaryFormat, sizeof silence, silence);
  if (!g_snd.silence) {
    MSG_Error(nullptr, "無音用SoundBufferが生成できません。");
  } else if (!BUF_Play(g_snd.silence, 1)) {
    MSG_Error(nullptr, "無音再生失敗");
  }
  return 1;
}

void SND_Release() {
  if (g_snd.device) {
    STRM_ReleaseAll();
    for (int i = 0; i < SND_SLOTS; ++i) SND_Free(i);
    BUF_Release(&g_snd.silence);
    ReleaseDevice();
  }
  for (SeRecord& r : g_snd.records) ClearRecord(&r);
  if (!STRM_EventsBalanced()) {
    MSG_Error(nullptr,
              "オープンしたイベントハンドルとクローズしたイベントハンドルの数が一致しません");
  }
}

void SND_StopAll() {
  if (!g_snd.device) return;
  STRM_ReleaseAll();
  for (int i = 0; i < SND_SLOTS; ++i) SND_Free(i);
}

int SND_HasDevice() {
  return g_snd.device ? 1 : 0;
}
const PltWaveFormat* SND_PrimaryFormat() {
  return &g_snd.primaryFormat;
}

void SND_SetSEDir(const char* group) {
  PCM_SetGroup(group);
}
const char* SND_SEDir() {
  return PCM_Group();
}

PltSoundBuffer* SND_LoadSound(const char* name, uint32_t* outSize) {
  if (outSize) *outSize = 0;
  if (!g_snd.device || !name) return nullptr;
  PcmSound pcm;
  if (!PCM_Load(name, &pcm)) return nullptr;
  PltSoundBuffer* buffer = pcm.size ? BUF_Create(&pcm.format, pcm.size, pcm.data) : nullptr;
  if (buffer && outSize) *outSize = pcm.size;
  PCM_Free(&pcm);
  if (!buffer) MSG_Error(nullptr, "SoundBufferが生成できません。[%s]", name);
  return buffer;
}

// --- slots ---

int SND_LoadSlot(int slot, const char* name) {
  if (!SlotOk(slot)) return 0;
  SeSlot& s = g_snd.slots[slot];
  BUF_Release(&s.buffer);
  uint32_t size = 0;
  s.buffer = SND_LoadSound(name, &size);
  return s.buffer ? 1 : 0;
}

int SND_SetVolume(int slot, int volume) {
  if (!SlotOk(slot)) return 0;
  if (volume < 0) volume = 0;
  if (volume > 255) volume = 255;
  SeSlot& s = g_snd.slots[slot];
  s.volume = static_cast<uint32_t>(volume);
  return BUF_SetVolume(s.buffer, volume);
}

void SND_ApplyMix(int muted) {
  BUF_SetMix(g_cfg.volSe, g_cfg.volBgm, muted);
  for (int i = 0; i < SND_SLOTS; ++i) BUF_SetVolume(g_snd.slots[i].buffer, static_cast<int>(g_snd.slots[i].volume));
  STRM_ReapplyVolumes();
}

int SND_Play(int slot, const char* name, int loop, int volume) {
  if (!SlotOk(slot)) return 0;
  SeSlot& s = g_snd.slots[slot];
  s.loop = loop ? 1 : 0;
  s.started = PLT_TimeMs();
  if (s.buffer) PLT_SoundSetVolume(s.buffer, PLT_SOUND_VOLUME_MIN);
  if (!SND_LoadSlot(slot, name)) return 0;
  SND_SetVolume(slot, volume);
  BUF_SetPosition(s.buffer, 0);
  return BUF_Play(s.buffer, loop);
}

int SND_HasBuffer(int slot) {
  return SlotOk(slot) && g_snd.slots[slot].buffer ? 1 : 0;
}
int SND_IsPlaying(int slot) {
  return SlotOk(slot) ? BUF_IsPlaying(g_snd.slots[slot].buffer) : 0;
}
int SND_IsLoop(int slot) {
  return SlotOk(slot) && g_snd.slots[slot].loop ? 1 : 0;
}
uint32_t SND_StartTime(int slot) {
  return SlotOk(slot) ? g_snd.slots[slot].started : 0;
}
PltSoundBuffer* SND_SlotBuffer(int slot) {
  return SlotOk(slot) ? g_snd.slots[slot].buffer : nullptr;
}

int SND_Stop(int slot) {
  if (!SlotOk(slot)) return 0;
  return BUF_Stop(g_snd.slots[slot].buffer);
}

int SND_Free(int slot) {
  if (!SlotOk(slot)) return 0;
  BUF_Release(&g_snd.slots[slot].buffer);
  return 1;
}

// --- numbered effects and managed records ---

int SND_PlaySE(int number, int loop, int volume) {
  if (!g_cfg.se) return -1;
  if (!g_snd.device) return -1;
  int slot = -1;
  for (int i = 0; i < SND_SLOTS && slot < 0; ++i) {
    bool reserved = false;
    for (const SeRecord& r : g_snd.records) {
      if (r.inUse && r.slot == i) reserved = true;
    }
    if (!reserved && !SND_IsPlaying(i)) slot = i;
  }
  if (slot < 0) {
    for (int i = 0; i < SND_SLOTS; ++i) {
      if (g_snd.slots[i].loop) continue;
      if (slot < 0 || g_snd.slots[i].started < g_snd.slots[slot].started) slot = i;
    }
    if (slot < 0) {
      MSG_Error(nullptr, "サウンドを再生するバッファがありません");
      return -1;
    }
  }
  if (volume < 0) volume = 0;
  if (volume > 255) volume = 255;
  char name[32];
  std::snprintf(name, sizeof name, "se_%03d.wav", number);
  SND_Play(slot, name, loop, volume);
  return slot;
}

namespace {
int FadeFrames(int fade) {
  if (g_act.skip) return 0;
  const int speed = CFG_SystemSpeed();
  int base = fade == -1 ? 30 * speed : fade == -2 ? 60 * speed : fade * speed;
  return base / 2 * SND_FPS / 60;
}
}  // namespace

void SND_UpdateSE() {
  for (int i = 0; i < SND_SLOTS; ++i) {
    if (SND_HasBuffer(i) && !g_snd.slots[i].loop && !SND_IsPlaying(i)) {
      SND_Stop(i);
      SND_Free(i);
    }
  }
  for (SeRecord& r : g_snd.records) {
    if (!r.inUse) continue;
    const int len = FadeFrames(r.fade);
    if (len > 0 && r.counter < len) {
      ++r.counter;
      r.volume = (r.counter * r.targetVolume + (len - r.counter) * r.startVolume) / len;
    } else {
      r.volume = r.targetVolume;
      if (r.stop) {
        SND_Stop(r.slot);
        SND_Free(r.slot);
        ClearRecord(&r);
        return;
      }
    }
    int v = r.volume < 0 ? 0 : r.volume > 255 ? 255 : r.volume;
    SND_SetVolume(r.slot, v);
  }
}

void AVG_PlaySE2(int record, int number, int fade, int loop, int volume) {
  if (record < 0 || record >= SND_RECORDS) return;
  SeRecord& r = g_snd.records[record];
  if (r.inUse) {
    LOG_Write("サウンド構造体が使用中です。AVG_PlaySE2[%d]\n", record);
    SND_Stop(r.slot);
    SND_Free(r.slot);
  }
  ClearRecord(&r);
  r.inUse = 1;
  r.number = number;
  if (g_cfg.se) {
    r.slot = SND_PlaySE(number, loop, fade != 0 ? 0 : volume);
    if (r.slot == -1) {
      ClearRecord(&r);
      return;
    }
    r.loop = loop;
    r.targetVolume = volume;
    r.counter = 0;
    r.fade = fade;
    r.startVolume = 0;
  } else {
    r.counter = 0;
    r.fade = 0;
    r.loop = loop;
    r.targetVolume = volume;
    r.startVolume = volume;
  }
}

void AVG_StopSE2(int record, int fade) {
  if (record < 0 || record >= SND_RECORDS) return;
  SeRecord& r = g_snd.records[record];
  if (!r.inUse) return;
  if (fade > 0) {
    r.fade = fade;
    r.stop = 1;
    r.counter = 0;
    r.startVolume = r.volume;
    r.targetVolume = 0;
  } else {
    SND_Stop(r.slot);
    SND_Free(r.slot);
    ClearRecord(&r);
  }
}

void SND_SetSEEnable(int on) {
  on = on ? 1 : 0;
  if (g_cfg.se == on) return;
  g_cfg.se = on;
  for (SeRecord& r : g_snd.records) {
    if (!r.inUse) continue;
    if (on) {
      if (r.loop) r.slot = SND_PlaySE(r.number, r.loop, r.targetVolume);
    } else if (r.loop) {
      SND_Stop(r.slot);
      SND_Free(r.slot);
      r.slot = -1;
    } else {
      SND_Stop(r.slot);
      SND_Free(r.slot);
      ClearRecord(&r);
    }
  }
}

int AVG_GetSE2Slot(int record) {
  if (record < 0 || record >= SND_RECORDS) return -1;
  const SeRecord& r = g_snd.records[record];
  return r.inUse ? r.slot : -1;
}

const SeRecord* AVG_GetSE2Record(int record) {
  return record >= 0 && record < SND_RECORDS ? &g_snd.records[record] : nullptr;
}

void SND_Reset() {
  SND_Release();
  g_snd = SoundState{};
  BUF_Reset();
  PCM_Reset();
}
