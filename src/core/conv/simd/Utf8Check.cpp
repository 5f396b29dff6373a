#include "conv/simd/Utf8Check.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "conv/Cpu.h"

namespace qlk {
namespace {

// Eight bytes with byte k in bits 8k..8k+7.
uint64_t LoadLittle(const unsigned char* p) {
  uint64_t w;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&w, p, 8);
  } else {
    w = 0;
    for (int k = 7; k >= 0; --k) w = w << 8 | p[k];
  }
  return w;
}

// ---- UTF-8 test
// A byte must continue a sequence (0x80-0xBF) exactly where the byte before it leads one
// (0xC0 and above) or the byte two before leads three bytes (0xE0 and above); no byte may be
// 0xF0 or above.

// What the last two bytes of a piece leave owing.
int Owed(unsigned beforeLast, unsigned last) {
  return last >= 0xE0 ? 2 : (last >= 0xC0 || beforeLast >= 0xE0) ? 1 : 0;
}

#if defined(__SSE2__)
// Sixteen (or thirty-two) bytes a step. Subtracting with saturation leaves the top bit of a
// byte set exactly where it is at least 0x40 (0x60, 0x70) above the bound subtracted, so the
// top bits say where a continuation is due and where a byte can start nothing. Returns the
// bytes read: the whole blocks before the first that holds a fault or, with kToNul, a zero
// byte; that block is left to the byte-by-byte test.
template <bool kToNul>
size_t Utf8Sse2(const unsigned char* p, size_t n, Utf8State& s) {
  __m128i prev = _mm_insert_epi16(_mm_setzero_si128(), s.need == 2 ? 0xE000 : s.need == 1 ? 0xC000 : 0, 7);
  const __m128i lead = _mm_set1_epi8(0x40), lead3 = _mm_set1_epi8(0x60), four = _mm_set1_epi8(0x70);
  const __m128i contBelow = _mm_set1_epi8(-64);  // 0x80-0xBF are the bytes below it, signed
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i prev1 = _mm_or_si128(_mm_slli_si128(v, 1), _mm_srli_si128(prev, 15));
    const __m128i prev2 = _mm_or_si128(_mm_slli_si128(v, 2), _mm_srli_si128(prev, 14));
    const __m128i due = _mm_or_si128(_mm_subs_epu8(prev1, lead), _mm_subs_epu8(prev2, lead3));
    const __m128i cont = _mm_cmplt_epi8(v, contBelow);
    __m128i bad = _mm_or_si128(_mm_xor_si128(due, cont), _mm_subs_epu8(v, four));
    if constexpr (kToNul) bad = _mm_or_si128(bad, _mm_cmpeq_epi8(v, _mm_setzero_si128()));
    if (_mm_movemask_epi8(bad)) break;
    prev = v;
  }
  if (i > 0) s.need = Owed(p[i - 2], p[i - 1]);
  return i;
}

template <bool kToNul>
__attribute__((target("avx2"))) size_t Utf8Avx2(const unsigned char* p, size_t n, Utf8State& s) {
  __m256i prev = _mm256_insert_epi16(_mm256_setzero_si256(), s.need == 2 ? 0xE000 : s.need == 1 ? 0xC000 : 0, 15);
  const __m256i lead = _mm256_set1_epi8(0x40), lead3 = _mm256_set1_epi8(0x60), four = _mm256_set1_epi8(0x70);
  const __m256i contBelow = _mm256_set1_epi8(-64), top = _mm256_set1_epi8(-128);
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
    const __m256i before = _mm256_permute2x128_si256(prev, v, 0x21);  // the 16 bytes before each half
    const __m256i prev1 = _mm256_alignr_epi8(v, before, 15), prev2 = _mm256_alignr_epi8(v, before, 14);
    const __m256i due = _mm256_or_si256(_mm256_subs_epu8(prev1, lead), _mm256_subs_epu8(prev2, lead3));
    const __m256i cont = _mm256_cmpgt_epi8(contBelow, v);
    __m256i bad = _mm256_or_si256(_mm256_xor_si256(due, cont), _mm256_subs_epu8(v, four));
    if constexpr (kToNul) bad = _mm256_or_si256(bad, _mm256_cmpeq_epi8(v, _mm256_setzero_si256()));
    if (!_mm256_testz_si256(bad, top)) break;
    prev = v;
  }
  if (i > 0) s.need = Owed(p[i - 2], p[i - 1]);
  return i;
}
#endif

// The wide blocks the processor allows.
template <bool kToNul>
size_t Utf8Blocks(const unsigned char* p, size_t n, Utf8State& s) {
#if defined(__SSE2__)
  const CpuLevel cpu = Cpu();
  if (cpu >= CpuLevel::Avx2) return Utf8Avx2<kToNul>(p, n, s);
  if (cpu >= CpuLevel::Sse2) return Utf8Sse2<kToNul>(p, n, s);
#endif
  (void)p, (void)n, (void)s;
  return 0;
}

// Eight bytes at a time, then byte by byte: the continuation bytes must be exactly those that
// the lead bytes before them call for. Each mask has the top bit of a byte set where the byte
// is of its kind; `due` marks the bytes of the next word that leads in this one call for.
void Utf8Portable(const unsigned char* p, size_t n, Utf8State& s) {
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  size_t i = 0;
  uint64_t due = s.need == 0 ? 0 : s.need == 1 ? 0x80 : 0x8080;
  for (; i + 8 <= n && !s.failed; i += 8) {
    const uint64_t w = LoadLittle(p + i);
    const uint64_t high = w & kHigh;
    if (!high && !due) continue;
    const uint64_t cont = high & ~(w << 1);           // 10xxxxxx
    const uint64_t lead = high & (w << 1);            // 11xxxxxx
    const uint64_t three = lead & (w << 2) & kHigh;   // 111xxxxx
    const uint64_t four = three & (w << 3) & kHigh;   // 1111xxxx: no lead of a sequence here
    const uint64_t two = lead & ~three;
    if (four || cont != (due | two << 8 | three << 8 | three << 16)) s.failed = true;
    due = two >> 56 | three >> 56 | three >> 48;
  }
  int need = due == 0 ? 0 : (due & 0x8000) ? 2 : 1;
  for (; need > 0 && i < n && !s.failed; ++i, --need) s.failed = (p[i] & 0xC0) != 0x80;
  while (i < n && !s.failed) {
    const unsigned b = p[i];
    int follow;
    if (b < 0x80) follow = 0;
    else if (b >= 0xC0 && b <= 0xDF) follow = 1;
    else if (b >= 0xE0 && b <= 0xEF) follow = 2;
    else {
      s.failed = true;
      break;
    }
    ++i;
    for (; follow > 0 && i < n; ++i, --follow)
      if ((p[i] & 0xC0) != 0x80) s.failed = true;
    need = follow;  // cut by the end of the piece
  }
  s.need = need;
}

}  // namespace

void FeedUtf8(const unsigned char* p, size_t n, Utf8State& s) {
  if (s.failed) return;
  const size_t i = Utf8Blocks<false>(p, n, s);
  Utf8Portable(p + i, n - i, s);
}

size_t FeedUtf8ToNul(const unsigned char* p, size_t n, Utf8State& s) {
  const size_t i = s.failed ? 0 : Utf8Blocks<true>(p, n, s);
  const void* nul = std::memchr(p + i, 0, n - i);
  const size_t end = nul ? static_cast<size_t>(static_cast<const unsigned char*>(nul) - p) : n;
  if (!s.failed) Utf8Portable(p + i, end - i, s);
  return end;
}

}  // namespace qlk
