// The escape decoders' walk, "%" and "=": sixteen bytes a step where the processor allows
// (plain runs with SSE2, runs of escapes with SSSE3), and byte by byte, which every path
// agrees with; and the URL decoder's forms written in place.
#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "conv/Cpu.h"
#include "conv/Transfer.h"
#include "conv/TransferParts.h"

namespace qlk::transfer {
namespace {

#if defined(__SSE2__)
// Where `escape` is, and with `percent` also "&" and "+": the bytes that are not plain.
inline __m128i Stops(__m128i v, unsigned char escape, bool percent) {
  __m128i stop = _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(escape)));
  if (percent) stop = _mm_or_si128(stop, _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('&')), _mm_cmpeq_epi8(v, _mm_set1_epi8('+'))));
  return stop;
}

// Sixteen bytes at `p` stored at `to` as they are; returns how many of them are plain in a row
// from the first (the bytes after those are written over).
inline size_t PlainRun(const unsigned char* p, unsigned char escape, bool percent, char* to) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v);
  const unsigned stops = static_cast<unsigned>(_mm_movemask_epi8(Stops(v, escape, percent)));
  return stops ? static_cast<size_t>(std::countr_zero(stops)) : 16;
}

// Sixteen bytes at `p`, starting with an escape: of the (up to five) escapes in a row there,
// each followed by a first digit that is no byte of its own meaning, the bytes of those before
// the first that is not or that gives a zero byte (which is left out) are stored at `to`
// (eight bytes written); returns their number, 0 leaving the escape to the steps byte by byte.
// The digits are read as HexDigitValue does.
__attribute__((target("ssse3"))) inline size_t Escapes(const unsigned char* p, unsigned char escape, bool percent,
                                                       char* to) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i none = _mm_set1_epi8(-1);  // a shuffle gives zero bytes there
  const __m128i at = _mm_setr_epi8(0, 3, 6, 9, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m128i one = _mm_set1_epi8(1), two = _mm_set1_epi8(2);
  const __m128i atFirst = _mm_or_si128(_mm_add_epi8(at, one), _mm_cmpeq_epi8(at, none));
  const __m128i atSecond = _mm_or_si128(_mm_add_epi8(at, two), _mm_cmpeq_epi8(at, none));
  const __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(v, _mm_set1_epi8(0x40)), v);  // 0x40 and above
  const __m128i value = _mm_add_epi8(_mm_and_si128(v, _mm_set1_epi8(0x0F)), _mm_and_si128(high, _mm_set1_epi8(9)));
  const __m128i hi = _mm_shuffle_epi8(value, atFirst), lo = _mm_shuffle_epi8(value, atSecond);
  const __m128i bytes = _mm_add_epi8(_mm_and_si128(_mm_slli_epi16(hi, 4), _mm_set1_epi8(-16)), lo);
  // Slots 0-4: not an escape where one must be, a first digit of its own meaning, or a zero byte.
  const __m128i notEscape = _mm_xor_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(escape))), none);
  const __m128i bad = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(notEscape, at), _mm_shuffle_epi8(Stops(v, escape, percent), atFirst)),
                                   _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
  const unsigned badSlots = static_cast<unsigned>(_mm_movemask_epi8(bad)) | 0x20;
  _mm_storel_epi64(reinterpret_cast<__m128i*>(to), bytes);
  return static_cast<size_t>(std::countr_zero(badSlots));
}
#endif

}  // namespace

char* PutEscapes(std::string_view in, bool percent, char* to, size_t past, bool& flag, size_t stop, size_t& taken) {
  const unsigned char* p = Bytes(in);
  const size_t n = in.size();
  const unsigned char escape = percent ? '%' : '=';
#if defined(__SSE2__)
  const bool wide = n + past >= 16 && Cpu() >= CpuLevel::Ssse3;
#endif
  size_t i = 0;
  for (; i < stop; ++i) {
    const unsigned char c = p[i];
#if defined(__SSE2__)
    // Sixteen bytes at a time where they are plain or escapes in a row, with the same
    // result as the steps below: only what lies within `in` is taken.
    if (wide && i + 16 <= n + past) {
      if (c == escape) {
        if (const size_t k = std::min(Escapes(p + i, escape, percent, to), (n - i) / 3)) {
          to += k;
          flag = false;
          i += 3 * k - 1;
          continue;
        }
      } else if (!flag) {
        if (const size_t k = std::min(PlainRun(p + i, escape, percent, to), n - i)) {
          to += k;
          i += k - 1;
          continue;
        }
      }
    }
#endif
    // The common case first: an escape and the two digits after it, which are no bytes
    // of their own meaning (the general steps below give the same).
    if (c == escape && i + 2 < n && p[i + 1] != escape && !(percent && (p[i + 1] == '&' || p[i + 1] == '+'))) {
      const unsigned char v = HexPair(p[i + 1], p[i + 2]);
      if (v) *to++ = static_cast<char>(v);
      flag = false;
      i += 2;
      continue;
    }
    if (c == escape) {
      flag = true;
    } else if (percent && c == '&') {
      *to++ = '\r';
      *to++ = '\n';
    } else if (percent && c == '+') {
      *to++ = ' ';
    } else if (flag && i + 1 < n) {
      const unsigned char v = HexPair(c, p[i + 1]);
      if (v) *to++ = static_cast<char>(v);
      flag = false;
      ++i;
    } else {
      *to++ = static_cast<char>(c);
    }
  }
  taken = i;
  return to;
}

char* PutEscapes(std::string_view in, bool percent, char* to, size_t past) {
  bool flag = false;
  size_t taken;
  return PutEscapes(in, percent, to, past, flag, in.size(), taken);
}

void AppendEscapes(std::string_view in, bool percent, std::string& out) {
  const size_t at = out.size();
  out.resize(at + 2 * in.size());
  out.resize(static_cast<size_t>(PutEscapes(in, percent, out.data() + at) - out.data()));
}

}  // namespace qlk::transfer

namespace qlk {

char* PutUrlToSjis(std::string_view line, char* to) { return transfer::PutEscapes(line, true, to); }

size_t PutUrlToSjisPiece(std::string_view rest, bool ends, uint32_t& carry, char*& to) {
  bool flag = carry != 0;
  size_t taken;
  to = transfer::PutEscapes(rest, true, to, 0, flag, ends ? rest.size() : rest.size() - std::min<size_t>(rest.size(), 2),
                            taken);
  carry = flag;
  return taken;
}

char* PutUrlToSjisLines(std::string_view lines, char* to) {
  return transfer::PutEachLine(
      lines, to, [](std::string_view line, size_t after, char* at) { return transfer::PutEscapes(line, true, at, after); });
}

}  // namespace qlk
