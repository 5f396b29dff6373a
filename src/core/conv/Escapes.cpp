// URL percent escapes, "=" escapes and hexadecimal code listings (the decoders' walk, and the
// URL decoder's forms written in place, are in simd/Escapes.cpp).
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "conv/Jis.h"
#include "conv/Sjis.h"
#include "conv/Transfer.h"
#include "conv/TransferParts.h"

namespace qlk {

using transfer::AppendEscapes;
using transfer::Bytes;
using transfer::PutEachLine;
using transfer::Sink;

namespace {

// Two upper-case hexadecimal digits of every byte.
constexpr std::array<std::array<char, 2>, 256> MakeHex() {
  constexpr char d[] = "0123456789ABCDEF";
  std::array<std::array<char, 2>, 256> h{};
  for (int b = 0; b < 256; ++b) h[b] = {d[b >> 4], d[b & 15]};
  return h;
}
constexpr std::array<std::array<char, 2>, 256> kHex = MakeHex();

constexpr std::array<bool, 256> MakeUrlSafe() {
  std::array<bool, 256> s{};
  for (int b = '0'; b <= '9'; ++b) s[b] = true;
  for (int b = 'A'; b <= 'Z'; ++b) s[b] = true;
  for (int b = 'a'; b <= 'z'; ++b) s[b] = true;
  for (char c : std::string_view("-_.!~*'()")) s[static_cast<unsigned char>(c)] = true;
  return s;
}
constexpr std::array<bool, 256> kUrlSafe = MakeUrlSafe();

// What SjisToUrl writes for every byte: the byte itself, or "%XX", padded to four bytes so
// that each is one store.
struct UrlForm {
  std::array<char, 4> bytes;
  unsigned char length;
};
constexpr std::array<UrlForm, 256> MakeUrlForms() {
  constexpr char d[] = "0123456789ABCDEF";
  std::array<UrlForm, 256> f{};
  for (int b = 0; b < 256; ++b)
    f[b] = kUrlSafe[b] ? UrlForm{{static_cast<char>(b), 0, 0, 0}, 1} : UrlForm{{'%', d[b >> 4], d[b & 15], 0}, 3};
  return f;
}
constexpr std::array<UrlForm, 256> kUrlForms = MakeUrlForms();

// Pairs of hexadecimal digits to bytes, blanks skipped; zero bytes are left out.
void AppendListing(std::string_view in, std::string& out) {
  const unsigned char* p = Bytes(in);
  const size_t n = in.size();
  Sink w(out, n);
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c == ' ') {
      ++i;
    } else if (c == 0x81 && i + 1 < n && p[i + 1] == 0x40) {  // full-width space
      i += 2;
    } else if (i + 1 < n) {
      const unsigned char v = HexPair(c, p[i + 1]);
      if (v) w.Put(v);
      i += 2;
    } else {
      w.Put(c);
      ++i;
    }
  }
}

}  // namespace

std::string EqualsDecode(std::string_view text) {
  std::string s;
  AppendEscapes(text, false, s);
  return s;
}

// ---------------------------------------------------------------- URL

size_t SjisToUrlRoom(size_t n) { return n * 3 + 7; }

namespace {

// kUrlForms split in two for the loop below: each byte's four stored bytes and its length.
template <class T, class F>
constexpr std::array<T, 256> UrlTable(F field) {
  std::array<T, 256> t{};
  for (int b = 0; b < 256; ++b) t[b] = field(kUrlForms[b]);
  return t;
}
constexpr auto kUrlWords = UrlTable<uint32_t>([](const UrlForm& f) {
  uint32_t w = 0;
  for (int k = 3; k >= 0; --k) w = w << 8 | static_cast<unsigned char>(f.bytes[k]);  // as stored, lowest byte first
  return w;
});
constexpr auto kUrlLengths = UrlTable<unsigned char>([](const UrlForm& f) { return f.length; });

}  // namespace

// Two bytes' forms are joined in a register and stored as eight bytes, so the room must
// reach seven bytes past the result. Each step reads all it needs before it stores: the
// stores go through a char pointer that the compiler must otherwise assume may change the tables.
char* PutSjisToUrl(std::string_view line, char* to) {
  static_assert(std::endian::native == std::endian::little, "the forms are stored lowest byte first");
  const unsigned char* p = Bytes(line);
  const size_t n = line.size();
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const unsigned l0 = kUrlLengths[p[i]], l1 = kUrlLengths[p[i + 1]], l2 = kUrlLengths[p[i + 2]];
    const uint64_t a = kUrlWords[p[i]] | uint64_t{kUrlWords[p[i + 1]]} << (8 * l0);
    const uint64_t b = kUrlWords[p[i + 2]] | uint64_t{kUrlWords[p[i + 3]]} << (8 * l2);
    const size_t la = l0 + l1, lb = l2 + kUrlLengths[p[i + 3]];
    std::memcpy(to, &a, 8);
    std::memcpy(to + la, &b, 8);
    to += la + lb;
  }
  for (; i < n; ++i) {
    const uint32_t w = kUrlWords[p[i]];
    const size_t l = kUrlLengths[p[i]];
    std::memcpy(to, &w, 4);
    to += l;
  }
  return to;
}

char* PutSjisToUrlLines(std::string_view lines, char* to) {
  return PutEachLine(lines, to, [](std::string_view line, size_t, char* at) { return PutSjisToUrl(line, at); });
}

std::string SjisToUrlLine(std::string_view line) {
  // Sized exactly first, so the line is written once into storage of its own.
  size_t size = line.size();
  for (unsigned char c : line) size += kUrlSafe[c] ? 0 : 2;
  std::string out(size + 7, '\0');  // the last store may reach seven past the result
  out.resize(static_cast<size_t>(PutSjisToUrl(line, out.data()) - out.data()));
  return out;
}

void AppendSjisToUrl(std::string_view line, std::string& out) {
  const size_t at = out.size();
  out.resize(at + SjisToUrlRoom(line.size()));
  out.resize(static_cast<size_t>(PutSjisToUrl(line, out.data() + at) - out.data()));
}

std::string UrlToSjisLine(std::string_view line) {
  std::string s;
  AppendEscapes(line, true, s);
  return s;
}

void AppendUrlToSjis(std::string_view line, std::string& out) { AppendEscapes(line, true, out); }

size_t UrlToSjisRoom(size_t n) { return 2 * n + 16; }

// ---------------------------------------------------------------- code listings

std::string ToSjisCodeLine(std::string_view line) {
  std::string out;
  {
    Sink w(out, line.size() * 3);
    for (unsigned char c : line) {
      w.Put2(kHex[c].data());
      w.Put(' ');
    }
  }
  return out;
}

std::string ToJisCodeLine(std::string_view line) {
  const unsigned char* p = Bytes(line);
  const size_t n = line.size();
  size_t size = 0;
  for (size_t i = 0; i < n; i += sjis::CharLen(line, i)) size += sjis::CharLen(line, i) == 2 ? 5 : 3;
  std::string out;
  {
    Sink w(out, size);
    size_t i = 0;
    while (i < n) {
      if (sjis::CharLen(line, i) == 2) {
        const uint16_t j = SjisToJisCode(p[i], p[i + 1]);
        w.Put2(kHex[j >> 8].data());
        w.Put2(kHex[j & 0xFF].data());
        i += 2;
      } else {
        w.Put2(kHex[p[i]].data());
        ++i;
      }
      w.Put(' ');
    }
  }
  return out;
}

std::string CodeToSjisLine(std::string_view line) {
  std::string s;
  AppendListing(line, s);
  return s;
}

std::string CodeToJisLine(std::string_view line) {
  const std::string d = CodeToSjisLine(line);
  const unsigned char* p = Bytes(d);
  const size_t n = d.size();
  std::string s;
  {
    Sink w(s, n);
    size_t i = 0;
    while (i < n) {
      const uint16_t c = i + 1 < n ? JisToSjisCode(p[i], p[i + 1]) : 0;
      if (c) {
        w.Put(static_cast<unsigned char>(c >> 8));
        w.Put(static_cast<unsigned char>(c & 0xFF));
        i += 2;
      } else {
        w.Put(p[i]);
        ++i;
      }
    }
  }
  return s;
}

}  // namespace qlk
