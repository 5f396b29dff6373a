// The Base64 encoder: twelve bytes a step with SSSE3, three at a time by table otherwise,
// each path giving the same characters.
#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "conv/Cpu.h"
#include "conv/Transfer.h"
#include "conv/TransferParts.h"

namespace qlk {

using transfer::Bytes;
using transfer::PutEachLine;

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The two characters of every 12 bits: a group of three bytes is two lookups.
constexpr std::array<std::array<char, 2>, 4096> MakeBase64Pairs() {
  std::array<std::array<char, 2>, 4096> t{};
  for (int v = 0; v < 4096; ++v) t[v] = {kAlphabet[v >> 6], kAlphabet[v & 63]};
  return t;
}
constexpr std::array<std::array<char, 2>, 4096> kBase64Pairs = MakeBase64Pairs();

#if defined(__SSE2__)
// Twelve bytes become sixteen characters a step: `pick` spreads each group of three over four
// bytes so that two multiplications move the four six-bit values into bytes of their own, and
// a table of sixteen offsets, chosen by the range each value lies in, turns them into letters.
__attribute__((target("ssse3"))) inline __m128i Base64Of12(__m128i bytes, __m128i pick) {
  const __m128i in = _mm_shuffle_epi8(bytes, pick);
  const __m128i hi = _mm_mulhi_epu16(_mm_and_si128(in, _mm_set1_epi32(0x0FC0FC00)), _mm_set1_epi32(0x04000040));
  const __m128i lo = _mm_mullo_epi16(_mm_and_si128(in, _mm_set1_epi32(0x003F03F0)), _mm_set1_epi32(0x01000010));
  const __m128i values = _mm_or_si128(hi, lo);  // 0-63 in every byte
  // 0-25 take entry 13, 26-51 entry 0, 52-61 entries 1-10, 62 and 63 entries 11 and 12.
  const __m128i offsets = _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                        '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
  __m128i entry = _mm_subs_epu8(values, _mm_set1_epi8(51));
  entry = _mm_or_si128(entry, _mm_and_si128(_mm_cmpgt_epi8(_mm_set1_epi8(26), values), _mm_set1_epi8(13)));
  return _mm_add_epi8(_mm_shuffle_epi8(offsets, entry), values);
}

// The whole groups of three of a text of at least sixteen bytes; returns the bytes encoded.
// Sixteen bytes are read a step; the last groups are read from the last sixteen bytes of the
// text, moved into place by the spreading shuffle, and only their characters are stored.
__attribute__((target("ssse3"))) size_t PutBase64Ssse3(const unsigned char* p, size_t n, char*& to) {
  const __m128i spread = _mm_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
  size_t i = 0;
  for (; i + 16 <= n; i += 12, to += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), Base64Of12(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), spread));
  const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
  auto fromLast = [&] { return _mm_add_epi8(spread, _mm_set1_epi8(static_cast<char>(i - (n - 16)))); };
  if (n - i >= 12) {  // fewer than sixteen left: the next twelve sit one to four bytes into `last`
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), Base64Of12(last, fromLast()));
    i += 12;
    to += 16;
  }
  const size_t groups = (n - i) / 3;  // at most three
  if (groups > 0) {
    __m128i chars = Base64Of12(last, fromLast());
    if (groups >= 2) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(to), chars);
      chars = _mm_srli_si128(chars, 8);
      to += 8;
    }
    if (groups != 2) {
      const uint32_t four = static_cast<uint32_t>(_mm_cvtsi128_si32(chars));
      std::memcpy(to, &four, 4);
      to += 4;
    }
    i += 3 * groups;
  }
  return i;
}

// One line of a run at `p`, of n bytes, followed by its CR LF and at least fourteen more
// readable bytes: twelve bytes a step, the last step reading past the line. The bytes read
// past it need no clearing: the first is the CR, whose top four bits (all that a short last
// group takes from the byte after it) are zero, and the characters of the rest are
// overwritten. The "=" fill is put where the line's characters end; stores reach up to
// sixteen bytes past them, into room that the next line overwrites.
__attribute__((target("ssse3"))) inline char* PutBase64Over(const unsigned char* p, size_t n, char* to) {
  const __m128i spread = _mm_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
  char* const start = to;
  for (size_t i = 0; i < n; i += 12, to += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), Base64Of12(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), spread));
  char* const end = start + (n + 2) / 3 * 4;
  const size_t cut = n % 3;  // the last group's bytes, when it is short
  end[cut ? -1 : 0] = '=';   // past the end when nothing is short: the next bytes overwrite it
  end[cut == 1 ? -2 : 0] = '=';
  return end;
}
#endif

}  // namespace

char* PutBase64(std::string_view bytes, char* to) {
  const unsigned char* p = Bytes(bytes);
  const size_t n = bytes.size();
  size_t i = 0;
#if defined(__SSE2__)
  if (n >= 16 && Cpu() >= CpuLevel::Ssse3) i = PutBase64Ssse3(p, n, to);
#endif
  for (; i + 3 <= n; i += 3) {
    const unsigned v = static_cast<unsigned>(p[i]) << 16 | static_cast<unsigned>(p[i + 1]) << 8 | p[i + 2];
    std::memcpy(to, kBase64Pairs[v >> 12].data(), 2);
    std::memcpy(to + 2, kBase64Pairs[v & 0xFFF].data(), 2);
    to += 4;
  }
  if (n - i == 1) {
    *to++ = kAlphabet[p[i] >> 2];
    *to++ = kAlphabet[(p[i] & 3) << 4];
    *to++ = '=';
    *to++ = '=';
  } else if (n - i == 2) {
    *to++ = kAlphabet[p[i] >> 2];
    *to++ = kAlphabet[(p[i] & 3) << 4 | p[i + 1] >> 4];
    *to++ = kAlphabet[(p[i + 1] & 15) << 2];
    *to++ = '=';
  }
  return to;
}

char* PutToMimeLines(std::string_view lines, char* to) {
#if defined(__SSE2__)
  // With sixteen readable bytes after the line (its CR LF and the lines after it), twelve
  // bytes a step.
  if (Cpu() >= CpuLevel::Ssse3) {
    return PutEachLine(lines, to, [](std::string_view line, size_t after, char* at) {
      return after >= 16 ? PutBase64Over(Bytes(line), line.size(), at) : PutBase64(line, at);
    });
  }
#endif
  return PutEachLine(lines, to, [](std::string_view line, size_t, char* at) { return PutBase64(line, at); });
}

size_t PutBase64Piece(std::string_view rest, bool ends, uint32_t&, char*& to) {
  const size_t k = ends ? rest.size() : rest.size() - rest.size() % 3;  // whole groups of three
  to = PutBase64(rest.substr(0, k), to);
  return k;
}

}  // namespace qlk
