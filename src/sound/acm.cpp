// Compressed WAV data converted to 16-bit PCM through the codec layer.
#include "sound/acm.h"

#include "common/msg.h"
#include "platform/plt_acm.h"

void ACM_PcmFormatFor(const PltWaveFormat* src, PltWaveFormat* dst) {
  dst->formatTag = PLT_WAVE_FORMAT_PCM;
  dst->channels = src->channels;
  dst->samplesPerSec = src->samplesPerSec;
  dst->bitsPerSample = 16;
  dst->blockAlign = static_cast<uint16_t>(2 * src->channels);
  dst->avgBytesPerSec = src->samplesPerSec * 2u * src->channels;
  dst->extraSize = 0;
}

uint32_t ACM_Convert(const PltWaveFormat* src, const uint8_t* srcData, uint32_t srcSize,
                     const PltWaveFormat* dst, uint8_t* dest) {
  PltAcmStream* s = PLT_AcmStreamOpen(src, dst);
  if (!s) {
    MSG_Box(
        nullptr, 0, "Codecエラー",
        "ADPCMのCodecが見つかりません。\n「コントロールパネル」の「アプリケーションの追加と削除」の"
        "「Windowsファイル」から\n「オーディオ圧縮」をインストールしてください。");
    return 0;
  }
  uint32_t size = 0;
  if (!PLT_AcmStreamSize(s, srcSize, &size)) {
    PLT_AcmStreamClose(s);
    MSG_Error(nullptr, "ACM変換に失敗しました。");
    return 0;
  }
  uint32_t written = 0;
  if (dest) PLT_AcmStreamConvert(s, srcData, srcSize, dest, size, &written);
  PLT_AcmStreamClose(s);
  return dest ? size : 0;
}

uint32_t ACM_OutputSize(const PltWaveFormat* src, uint32_t size, const PltWaveFormat* dst) {
  PltAcmStream* s = PLT_AcmStreamOpen(src, dst);
  if (!s) return 0;
  uint32_t out = 0;
  if (!PLT_AcmStreamSize(s, size, &out)) out = 0;
  PLT_AcmStreamClose(s);
  return out;
}
