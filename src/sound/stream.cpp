// Stream slots and their worker threads.
//
// Hand-over between the main thread and a slot's worker: the main thread
// sets a slot up completely before it starts the worker and touches it again
// only after the worker has ended (thread start and join order the two), apart
// from the atomic done and loop flags and the buffer's volume. The worker is
// ended cooperatively: done is set and event 0 signalled, then it is joined.
#include "sound/stream.h"

#include <strings.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/log.h"
#include "common/msg.h"
#include "common/resource.h"
#include "platform/plt_file.h"
#include "platform/plt_thread.h"
#include "sound/acm.h"
#include "sound/buffer.h"
#include "sound/ogg.h"
#include "sound/pcm.h"
#include "sound/wav.h"

namespace {

struct StreamSlot {
  WavFormatArea format;     // source format
  PltWaveFormat outFormat;  // format of the buffer
  WavReader* wav;
  PltEvent* events[2];
  PltThread* worker;
  PltSoundBuffer* buffer;
  uint32_t bufferSize;
  uint32_t segmentSize;
  uint32_t writePos;
  std::atomic<int> loop;
  std::atomic<int> done;  // bDonePlaying
  int silenceCount;
  int endOfData;
  int open;
  int streaming;
  int ogg;
  PltFile* file;
  uint32_t fileLength;
  uint32_t fileRead;
  OggDecoder* decoder;
  uint8_t* carry;  // STRM_CARRY_SIZE bytes
  uint32_t carryLength;
  uint8_t* work;     // decoder output, OGG_OUTPUT_CAPACITY bytes
  char name[64];     // the piece's file name, for the log
  int damageLogged;  // the piece's damage has had its log line
  int volume;
  int slot;
};

struct StreamState {
  StreamSlot slots[STRM_SLOTS];
  char dir[64] = "bgm";
  int eventsCreated = 0;
  int eventsClosed = 0;
};

StreamState g_strm;

void ClearSlot(StreamSlot* s, bool keepVolume) {
  int volume = s->volume;
  s->format = WavFormatArea{};
  s->outFormat = PltWaveFormat{};
  s->wav = nullptr;
  s->events[0] = s->events[1] = nullptr;
  s->worker = nullptr;
  s->buffer = nullptr;
  s->bufferSize = s->segmentSize = s->writePos = 0;
  s->loop.store(0);
  s->done.store(0);
  s->silenceCount = s->endOfData = s->open = s->streaming = s->ogg = 0;
  s->file = nullptr;
  s->fileLength = s->fileRead = 0;
  s->decoder = nullptr;
  s->carry = nullptr;
  s->carryLength = 0;
  s->work = nullptr;
  s->name[0] = 0;
  s->damageLogged = 0;
  s->volume = keepVolume ? volume : 0;
}

bool SlotOk(int slot) {
  if (slot < 0 || slot >= STRM_SLOTS) {
    MSG_Error(nullptr, "ストリーム番号[strm]が 0～%dの範囲を超えています。[%d]", STRM_SLOTS - 1,
              slot);
    return false;
  }
  return BUF_DeviceOpen() != 0;
}

uint8_t SilenceByte(const StreamSlot* s) {
  return s->outFormat.bitsPerSample == 8 ? 0x80 : 0;
}

// A locked region of the buffer, in up to two pieces.
struct Region {
  uint8_t* p[2];
  uint32_t n[2];
  uint32_t filled;
  uint32_t total() const { return n[0] + n[1]; }
  bool full() const { return filled >= total(); }
  uint32_t Append(const uint8_t* src, uint32_t len) {
    uint32_t copied = 0;
    while (copied < len && !full()) {
      int piece = filled < n[0] ? 0 : 1;
      uint32_t at = piece == 0 ? filled : filled - n[0];
      uint32_t room = n[piece] - at;
      uint32_t k = std::min(room, len - copied);
      std::memcpy(p[piece] + at, src + copied, k);
      copied += k;
      filled += k;
    }
    return copied;
  }
  void FillSilence(uint8_t byte) {
    while (!full()) {
      int piece = filled < n[0] ? 0 : 1;
      uint32_t at = piece == 0 ? filled : filled - n[0];
      std::memset(p[piece] + at, byte, n[piece] - at);
      filled += n[piece] - at;
    }
  }
};

void AdvanceWrite(StreamSlot* s, uint32_t bytes) {
  s->writePos += bytes;
  if (s->writePos >= s->bufferSize) s->writePos -= s->bufferSize;
}

void FillOgg(StreamSlot* s, Region* r) {
  // Carried-over PCM first; what still does not fit stays carried.
  if (s->carryLength) {
    uint32_t used = r->Append(s->carry, s->carryLength);
    std::memmove(s->carry, s->carry + used, s->carryLength - used);
    s->carryLength -= used;
  }
  bool outputSinceRestart = r->filled > 0;
  uint8_t input[OGG_INPUT_PIECE];
  while (!r->full()) {
    uint32_t piece = std::min<uint32_t>(OGG_INPUT_PIECE, s->fileLength - s->fileRead);
    if (piece) {
      int64_t got = PLT_FileRead(s->file, input, piece);
      piece = got > 0 ? static_cast<uint32_t>(got) : 0;
      s->fileRead += piece;
      if (!piece) s->fileRead = s->fileLength;  // unreadable: the data ends here
    }
    uint32_t produced = 0;
    int status = OGG_Decode(s->decoder, input, piece, s->work, OGG_OUTPUT_CAPACITY, &produced);
    // Damage plays as silence or a skip; the log says so once for the piece,
    // however often a loop meets it again.
    if (OGG_TakeDamage(s->decoder) > 0 && !s->damageLogged) {
      s->damageLogged = 1;
      LOG_Write("OGGストリームのデータが壊れています[%s]\n", s->name);
    }
    uint32_t used = r->Append(s->work, produced);
    if (produced - used > 0) {
      // The caller's carry area is as large as one decoder output.
      std::memcpy(s->carry, s->work + used, produced - used);
      s->carryLength = produced - used;
    }
    if (produced) outputSinceRestart = true;
    if (status == OGG_MORE) continue;
    bool restart = false;
    if (status == OGG_ERROR) {
      LOG_Write("OGGストリームエラー");
    } else {
      LOG_Write("データ展開終了");
      // A file that yields nothing between two restarts would loop forever.
      restart = s->loop.load() != 0 && outputSinceRestart;
    }
    if (restart) {
      OGG_Reset(s->decoder);
      PLT_FileSeek(s->file, -static_cast<int64_t>(s->fileRead), 1);
      s->fileRead = 0;
      outputSinceRestart = false;
      continue;
    }
    if (s->carryLength) return;  // the area is full; the rest comes next time
    if (r->filled < s->segmentSize) s->endOfData = 1;
    r->FillSilence(SilenceByte(s));
    s->carryLength = 0;
    return;
  }
}

bool RewindWav(StreamSlot* s) {
  return WAV_SeekData(s->wav) != 0;
}

void FillWav(StreamSlot* s, Region* r) {
  const bool pcm = s->format.wf.formatTag == PLT_WAVE_FORMAT_PCM;
  bool rewound = false;
  while (!r->full()) {
    uint32_t before = r->filled;
    if (pcm) {
      for (int piece = 0; piece < 2 && !r->full(); ++piece) {
        while (r->filled < (piece == 0 ? r->n[0] : r->total())) {
          uint32_t at = piece == 0 ? r->filled : r->filled - r->n[0];
          uint32_t got = WAV_Read(s->wav, r->p[piece] + at, r->n[piece] - at);
          if (!got) break;
          r->filled += got;
        }
        if (r->filled < (piece == 0 ? r->n[0] : r->total())) break;
      }
    } else {
      // Source bytes that convert to the rest of the area.
      uint32_t want = r->total() - r->filled;
      uint32_t srcBytes = ACM_OutputSize(&s->outFormat, want, &s->format.wf);
      if (srcBytes) {
        uint8_t* src = static_cast<uint8_t*>(std::malloc(srcBytes));
        uint32_t got = src ? WAV_Read(s->wav, src, srcBytes) : 0;
        PltAcmStream* acm = got ? PLT_AcmStreamOpen(&s->format.wf, &s->outFormat) : nullptr;
        uint32_t outSize = 0;
        if (acm && PLT_AcmStreamSize(acm, got, &outSize) && outSize) {
          uint8_t* pcmOut = static_cast<uint8_t*>(std::malloc(outSize));
          uint32_t written = 0;
          if (pcmOut && PLT_AcmStreamConvert(acm, src, got, pcmOut, outSize, &written)) {
            r->Append(pcmOut, written);
          }
          std::free(pcmOut);
        }
        PLT_AcmStreamClose(acm);
        std::free(src);
      }
    }
    if (r->full()) break;
    const bool progressed = r->filled > before;
    // The data ran out.
    if (s->loop.load() && (progressed || !rewound) && RewindWav(s)) {
      rewound = !progressed;
      continue;
    }
    if (r->filled < s->segmentSize) s->endOfData = 1;
    r->FillSilence(SilenceByte(s));
  }
}

// Fill step: count bytes at the write position.
void Fill(StreamSlot* s, uint32_t count) {
  Region r{};
  void *p1 = nullptr, *p2 = nullptr;
  if (!PLT_SoundLock(s->buffer, s->writePos, count, &p1, &r.n[0], &p2, &r.n[1])) return;
  r.p[0] = static_cast<uint8_t*>(p1);
  r.p[1] = static_cast<uint8_t*>(p2);
  if (s->ogg) {
    FillOgg(s, &r);
  } else {
    FillWav(s, &r);
  }
  r.FillSilence(SilenceByte(s));
  PLT_SoundUnlock(s->buffer, p1, r.n[0], p2, r.n[1]);
  AdvanceWrite(s, r.total());
}

void Worker(void* arg) {
  StreamSlot* s = static_cast<StreamSlot*>(arg);
  for (;;) {
    int which = PLT_WaitEvents(s->events, 2, -1);
    if (which < 0) break;
    if (s->done.load()) {
      LOG_Write("StreamStop1[%d]\n", s->slot);
      PLT_SoundStop(s->buffer);
      break;
    }
    if (which == 0) {
      if (!s->endOfData) {
        Fill(s, s->segmentSize);
      } else {
        Region r{};
        void *p1 = nullptr, *p2 = nullptr;
        if (PLT_SoundLock(s->buffer, s->writePos, s->segmentSize, &p1, &r.n[0], &p2, &r.n[1])) {
          r.p[0] = static_cast<uint8_t*>(p1);
          r.p[1] = static_cast<uint8_t*>(p2);
          r.FillSilence(SilenceByte(s));
          PLT_SoundUnlock(s->buffer, p1, r.n[0], p2, r.n[1]);
          AdvanceWrite(s, r.total());
        }
        LOG_Write("mus end %d", s->silenceCount);
        if (++s->silenceCount >= STRM_SEGMENTS) {
          s->done.store(1);
          LOG_Write("bDonePlaying = TRUE\n");
        }
      }
    } else {
      LOG_Write("StreamStop3");
      s->done.store(1);
      PLT_SoundStop(s->buffer);
    }
  }
  LOG_Write("StreamStop2");
}

void EndWorker(StreamSlot* s) {
  if (!s->worker) return;
  s->done.store(1);
  PLT_SetEvent(s->events[0]);
  PLT_JoinThread(s->worker);
  s->worker = nullptr;
}

void CloseEvents(StreamSlot* s) {
  for (PltEvent*& e : s->events) {
    if (!e) continue;
    PLT_CloseEvent(e);
    e = nullptr;
    ++g_strm.eventsClosed;
  }
}

bool IsOggName(const char* name) {
  const char* dot = std::strrchr(name, '.');
  return dot && strcasecmp(dot + 1, "ogg") == 0;
}

bool OpenOgg(StreamSlot* s, const char* file) {
  if (s->decoder) MSG_Error(nullptr, "？？？？？？");
  if (s->file) MSG_Error(nullptr, "おいおい");
  int length = RES_OpenStream(g_strm.dir, file, &s->file);
  if (length < static_cast<int>(OGG_INPUT_PIECE)) return false;
  s->fileLength = static_cast<uint32_t>(length);
  uint8_t head[OGG_INPUT_PIECE];
  if (PLT_FileRead(s->file, head, sizeof head) != static_cast<int64_t>(sizeof head)) return false;
  if (PLT_FileSeek(s->file, -static_cast<int64_t>(sizeof head), 1) < 0) return false;
  s->decoder = OGG_Create();
  if (!s->decoder || !OGG_Probe(s->decoder, head, sizeof head, &s->outFormat)) return false;
  if (s->outFormat.channels > 2) return false;  // the device mixes mono and stereo
  s->carry = static_cast<uint8_t*>(std::malloc(STRM_CARRY_SIZE));
  s->work = static_cast<uint8_t*>(std::malloc(OGG_OUTPUT_CAPACITY));
  s->ogg = 1;
  return s->carry && s->work;
}

}  // namespace

void STRM_SetDir(const char* group) {
  std::snprintf(g_strm.dir, sizeof g_strm.dir, "%s", group ? group : "");
}
const char* STRM_Dir() {
  return g_strm.dir;
}

void STRM_ClearAll() {
  for (int i = 0; i < STRM_SLOTS; ++i) {
    ClearSlot(&g_strm.slots[i], false);
    g_strm.slots[i].volume = 255;
    g_strm.slots[i].slot = i;
  }
}

void STRM_Release(int slot) {
  if (!SlotOk(slot)) return;
  StreamSlot* s = &g_strm.slots[slot];
  if (s->buffer) {
    PLT_SoundStop(s->buffer);
    EndWorker(s);
    CloseEvents(s);
    PLT_SoundReleaseBuffer(s->buffer);
    s->buffer = nullptr;
  }
  EndWorker(s);
  CloseEvents(s);
  WAV_Close(&s->wav);
  if (s->file) PLT_FileClose(s->file);
  s->file = nullptr;
  OGG_Destroy(&s->decoder);
  std::free(s->carry);
  std::free(s->work);
  ClearSlot(s, true);
}

void STRM_ReleaseChannel(int slot) {
  if (!SlotOk(slot)) return;
  StreamSlot* s = &g_strm.slots[slot];
  if (s->streaming) {
    STRM_Release(slot);
  } else {
    BUF_Release(&s->buffer);
  }
}

void STRM_ReleaseAll() {
  if (!BUF_DeviceOpen()) return;
  for (int i = 0; i < STRM_SLOTS; ++i) STRM_Release(i);
}

int STRM_Open(int slot, const char* file) {
  if (!SlotOk(slot) || !file) return 0;
  STRM_Release(slot);
  StreamSlot* s = &g_strm.slots[slot];
  std::snprintf(s->name, sizeof s->name, "%s", file);
  bool ok;
  if (IsOggName(file)) {
    ok = OpenOgg(s, file);
  } else {
    s->wav = WAV_Open(file, &s->format);
    ok = s->wav && WAV_SeekData(s->wav);
    if (ok && s->format.wf.formatTag == PLT_WAVE_FORMAT_PCM) {
      s->outFormat = s->format.wf;
    } else if (ok) {
      ACM_PcmFormatFor(&s->format.wf, &s->outFormat);
    }
  }
  // Segment: one second of output in whole blocks.
  if (ok) {
    if (s->ogg) {
      s->segmentSize = s->outFormat.avgBytesPerSec;
    } else if (s->format.wf.formatTag == PLT_WAVE_FORMAT_PCM) {
      const PltWaveFormat& f = s->format.wf;
      uint64_t bytes = static_cast<uint64_t>(f.bitsPerSample) * f.samplesPerSec * f.channels / 8;
      s->segmentSize = f.blockAlign ? static_cast<uint32_t>(bytes - bytes % f.blockAlign) : 0;
    } else {
      const PltWaveFormat& f = s->format.wf;
      uint32_t second = f.blockAlign ? f.avgBytesPerSec - f.avgBytesPerSec % f.blockAlign : 0;
      s->segmentSize = ACM_OutputSize(&f, second, &s->outFormat);
    }
    const uint64_t bufferSize = static_cast<uint64_t>(s->segmentSize) * STRM_SEGMENTS;
    ok = s->segmentSize > 0 && bufferSize <= PLT_SOUND_MAX_BUFFER;
    s->bufferSize = static_cast<uint32_t>(bufferSize);
  }
  if (!ok) {
    MSG_Error(nullptr, "サウンドストリームファイルが開けません。[%s]", file);
    STRM_Release(slot);
    return 0;
  }
  if (!s->ogg && s->wav->dataSize < s->bufferSize) {
    // Short enough to be held whole.
    const char* base = std::strrchr(file, '\\');
    base = base ? base + 1 : file;
    WAV_Close(&s->wav);
    PcmSound pcm;
    if (PCM_Load(base, &pcm)) {
      s->buffer = pcm.size ? BUF_Create(&pcm.format, pcm.size, pcm.data) : nullptr;
      if (!s->buffer) MSG_Error(nullptr, "SoundBufferが生成できません。[%s]", base);
      PCM_Free(&pcm);
    }
    s->streaming = 0;
    s->open = s->buffer ? 1 : 0;
    BUF_SetGroupVolume(s->buffer, s->volume, BUF_GROUP_MUSIC);
    return s->open;
  }
  s->buffer = BUF_Create(&s->outFormat, s->bufferSize, nullptr);
  if (!s->buffer) {
    MSG_Error(nullptr, "セカンダリバッファを生成できません。");
    STRM_Release(slot);
    return 0;
  }
  BUF_SetGroupVolume(s->buffer, s->volume, BUF_GROUP_MUSIC);
  s->open = 1;
  s->streaming = 1;
  s->writePos = 0;
  s->loop.store(0);
  s->done.store(0);
  s->endOfData = 0;
  return 1;
}

int STRM_Play(int slot, int loop) {
  if (!SlotOk(slot)) return 0;
  StreamSlot* s = &g_strm.slots[slot];
  if (!s->open || !s->buffer) return 0;
  if (!s->streaming) return BUF_Play(s->buffer, loop);
  // A worker left from an earlier start is ended before the slot is refilled.
  PLT_SoundStop(s->buffer);
  EndWorker(s);
  CloseEvents(s);
  s->done.store(0);
  s->silenceCount = 0;
  // The first fill already needs to know whether the piece loops.
  s->loop.store(loop ? 1 : 0);
  Fill(s, s->bufferSize);
  for (PltEvent*& e : s->events) {
    e = PLT_CreateEvent();
    ++g_strm.eventsCreated;
  }
  s->worker = PLT_CreateThread(Worker, s);
  PltSoundNotify notes[STRM_SEGMENTS + 1];
  for (int i = 0; i < STRM_SEGMENTS - 1; ++i) {
    notes[i] = {s->segmentSize * static_cast<uint32_t>(i + 1), s->events[0]};
  }
  notes[STRM_SEGMENTS - 1] = {s->segmentSize * STRM_SEGMENTS - 1, s->events[0]};
  notes[STRM_SEGMENTS] = {PLT_SOUND_NOTIFY_STOP, s->events[1]};
  if (!s->worker || !PLT_SoundSetNotifications(s->buffer, notes, STRM_SEGMENTS + 1)) {
    EndWorker(s);
    CloseEvents(s);
    return 0;
  }
  PLT_SoundSetPosition(s->buffer, 0);
  PLT_SoundPlay(s->buffer, 1);
  return 1;
}

int STRM_Stop(int slot) {
  if (!SlotOk(slot)) return 0;
  StreamSlot* s = &g_strm.slots[slot];
  if (!s->buffer) return 0;
  if (!s->streaming) {
    BUF_Release(&s->buffer);
    return 1;
  }
  s->done.store(1);
  PLT_SoundStop(s->buffer);
  // The worker is joined before the slot is reset under it.
  EndWorker(s);
  s->endOfData = 0;
  s->loop.store(0);
  s->writePos = 0;
  s->silenceCount = 0;
  s->done.store(0);
  if (s->wav && !WAV_SeekData(s->wav)) STRM_Release(slot);
  return 1;
}

int STRM_IsPlaying(int slot) {
  if (!SlotOk(slot)) return 0;
  const StreamSlot* s = &g_strm.slots[slot];
  return s->open && s->buffer && !s->done.load() ? 1 : 0;
}

void STRM_SetVolume(int slot, int volume) {
  if (!SlotOk(slot)) return;
  StreamSlot* s = &g_strm.slots[slot];
  s->volume = std::clamp(volume, 0, 255);
  BUF_SetGroupVolume(s->buffer, s->volume, BUF_GROUP_MUSIC);
}

void STRM_ReapplyVolumes() {
  for (int i = 0; i < STRM_SLOTS; ++i) STRM_SetVolume(i, g_strm.slots[i].volume);
}

int STRM_EventsBalanced() {
  return g_strm.eventsCreated == g_strm.eventsClosed ? 1 : 0;
}
int STRM_EventsCreated() {
  return g_strm.eventsCreated;
}
int STRM_EventsClosed() {
  return g_strm.eventsClosed;
}
int STRM_IsStreaming(int slot) {
  return slot >= 0 && slot < STRM_SLOTS ? g_strm.slots[slot].streaming : 0;
}
int STRM_SegmentSize(int slot) {
  return slot >= 0 && slot < STRM_SLOTS ? static_cast<int>(g_strm.slots[slot].segmentSize) : 0;
}
int STRM_Volume(int slot) {
  return slot >= 0 && slot < STRM_SLOTS ? g_strm.slots[slot].volume : 0;
}
PltSoundBuffer* STRM_Buffer(int slot) {
  return slot >= 0 && slot < STRM_SLOTS ? g_strm.slots[slot].buffer : nullptr;
}
