// LZSS: a 4096-byte ring, flag bytes of eight literals or references.
#include "common/lzss.h"

#include <cstdlib>
#include <cstring>

#include "common/msg.h"

namespace {
uint8_t g_ring[LZS_RING];
}  // namespace

// The most bytes an LZSS stream of n bytes can produce: each group is a flag
// byte and up to eight references of two bytes that copy at most 18 bytes
// each, so 17 stored bytes give at most 144.
int64_t LZS_MaxOutput(int64_t n) {
  return n <= 0 ? 0 : (n + 16) / 17 * 144;
}

int LZS_Decode(uint8_t* out, const uint8_t* in, int inLength, int expected) {
  std::memset(g_ring, 0x20, LZS_RING - 18);
  std::memset(g_ring + LZS_RING - 18, 0, 18);
  int r = LZS_RING - 18;
  int ip = 0, op = 0;
  if (inLength < 0) inLength = 0;
  if (expected < 0) expected = 0;
  auto emit = [&](uint8_t c) -> bool {
    if (op >= expected) {
      ++op;  // counted, not stored: the caller's length check fails
      MSG_Error(nullptr, "エラーだす");
      return false;
    }
    out[op++] = c;
    g_ring[r] = c;
    r = (r + 1) & (LZS_RING - 1);
    return true;
  };
  while (ip < inLength) {
    unsigned flags = in[ip++];
    for (int bit = 0; bit < 8; ++bit, flags >>= 1) {
      if (flags & 1) {
        if (ip >= inLength) return op;
        if (!emit(in[ip++])) return op;
      } else {
        if (ip + 1 >= inLength) return op;
        int b0 = in[ip++], b1 = in[ip++];
        int pos = b0 | ((b1 & 0xF0) << 4);
        int len = (b1 & 0x0F) + 3;
        for (int k = 0; k < len; ++k) {
          if (!emit(g_ring[(pos + k) & (LZS_RING - 1)])) return op;
        }
      }
    }
  }
  return op;
}

int LZS_EncodeBound(int length) {
  return length + (length + 7) / 8 + 16;
}

int LZS_Encode(const uint8_t* in, int length, uint8_t* out, int outCapacity) {
  // Greedy longest match with hash chains. The input is searched as if it
  // followed the decoder's initial spaces, so matches may reach into them; a
  // match may overlap the bytes it produces, as the decoder copies byte by byte.
  if (length < 0 || outCapacity < LZS_EncodeBound(length)) return -1;
  constexpr int kPre = LZS_RING - 18;
  constexpr int kMaxDist = LZS_RING - 18;
  constexpr int kHashBits = 14;
  constexpr int kMaxChain = 128;
  const int total = kPre + length;
  uint8_t* ext = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(total), 1));
  int32_t* head = static_cast<int32_t*>(std::malloc(sizeof(int32_t) << kHashBits));
  int32_t* prev = static_cast<int32_t*>(std::malloc(sizeof(int32_t) * static_cast<size_t>(total)));
  if (!ext || !head || !prev) {
    std::free(ext);
    std::free(head);
    std::free(prev);
    return -1;
  }
  std::memset(ext, 0x20, kPre);
  if (length > 0) std::memcpy(ext + kPre, in, static_cast<size_t>(length));
  for (int i = 0; i < (1 << kHashBits); ++i) head[i] = -1;
  auto hash = [&](int e) {
    uint32_t v = ext[e] | ext[e + 1] << 8 | ext[e + 2] << 16;
    return static_cast<int>((v * 2654435761u) >> (32 - kHashBits));
  };
  auto insert = [&](int e) {
    if (e + 2 >= total) return;
    int h = hash(e);
    prev[e] = head[h];
    head[h] = e;
  };
  for (int e = 0; e < kPre; ++e) insert(e);
  int op = 0, e = kPre;
  while (e < total) {
    int flagPos = op++;
    uint8_t flags = 0;
    for (int bit = 0; bit < 8 && e < total; ++bit) {
      int maxLen = total - e < 18 ? total - e : 18;
      int bestLen = 0, bestSrc = 0;
      if (maxLen >= 3) {
        int chain = 0;
        for (int c = head[hash(e)]; c >= 0 && e - c <= kMaxDist && chain < kMaxChain;
             c = prev[c], ++chain) {
          int k = 0;
          while (k < maxLen && ext[c + k] == ext[e + k]) ++k;
          if (k > bestLen) {
            bestLen = k;
            bestSrc = c;
            if (k == maxLen) break;
          }
        }
      }
      if (bestLen >= 3) {
        int pos = bestSrc & (LZS_RING - 1);
        out[op++] = static_cast<uint8_t>(pos & 0xFF);
        out[op++] = static_cast<uint8_t>(((pos >> 4) & 0xF0) | (bestLen - 3));
      } else {
        bestLen = 1;
        flags |= static_cast<uint8_t>(1u << bit);
        out[op++] = ext[e];
      }
      for (int k = 0; k < bestLen; ++k) insert(e++);
    }
    out[flagPos] = flags;
  }
  std::free(ext);
  std::free(head);
  std::free(prev);
  return op;
}
