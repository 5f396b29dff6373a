#include "conv/Cp932.h"

#include <bit>
#include <cstring>

#include "conv/Sjis.h"

namespace qlk {
namespace {

// How many of the eight bytes at p are ASCII before the first that is not.
size_t AsciiPrefix(const unsigned char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  w &= 0x8080808080808080ull;
  if (w == 0) return 8;
  if constexpr (std::endian::native == std::endian::little) return static_cast<size_t>(std::countr_zero(w)) / 8;
  else return static_cast<size_t>(std::countl_zero(w)) / 8;
}

// Characters that converters built on JIS tables give their own code points, while code page
// 932 holds them under others (U+301C for its U+FF5E, U+2212 for U+FF0D ...). Text from the
// web and from other systems carries them all the time, and in Japanese use they are the
// same characters, so every conversion into Shift-JIS takes them as those codes. Exactly
// these: a wider "best fit" would quietly turn accented letters into plain ones. Reading
// Shift-JIS still gives the code page's own code points.
struct ExtraSjisForm {
  char16_t unit;
  uint16_t code;
};
constexpr ExtraSjisForm kExtraSjisForms[] = {
    {u'\u2212', 0x817C},  // minus sign
    {u'\u301C', 0x8160},  // wave dash
    {u'\u2016', 0x8161},  // double vertical line
    {u'\u00A2', 0x8191},  // cent sign
    {u'\u00A3', 0x8192},  // pound sign
    {u'\u00AC', 0x81CA},  // not sign
    {u'\u2014', 0x815C},  // em dash
};

bool IsSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// U+FDD0-U+FDEF and the last two code points of every plane.
bool IsNoncharacter(char32_t u) { return (u >= 0xFDD0 && u <= 0xFDEF) || (u & 0xFFFE) == 0xFFFE; }

// The UTF-8 form of a unit that is no surrogate.
char* PutUtf8(char* o, char16_t u) {
  if (u < 0x80) {
    *o++ = static_cast<char>(u);
  } else if (u < 0x800) {
    *o++ = static_cast<char>(0xC0 | u >> 6);
    *o++ = static_cast<char>(0x80 | (u & 0x3F));
  } else {
    *o++ = static_cast<char>(0xE0 | u >> 12);
    *o++ = static_cast<char>(0x80 | (u >> 6 & 0x3F));
    *o++ = static_cast<char>(0x80 | (u & 0x3F));
  }
  return o;
}

}  // namespace

Cp932Codec::Cp932Codec(const std::function<char16_t(uint16_t)>& decode, const std::function<int(char16_t)>& encode)
    : toUtf16_(65536, 0), toSjis_(65536, -1) {
  // A character is never half of a surrogate pair; a table claiming one would make the
  // UTF-8 form of a character depend on its neighbours.
  auto decodeChar = [&](unsigned code) {
    char16_t u = decode(static_cast<uint16_t>(code));
    return IsSurrogate(u) ? u'\0' : u;
  };
  for (unsigned b = 0; b < 256; ++b)
    if (!sjis::IsLead(static_cast<unsigned char>(b))) toUtf16_[b] = decodeChar(b);
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!sjis::IsLead(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
      if (IsTrail932(static_cast<unsigned char>(trail))) toUtf16_[lead << 8 | trail] = decodeChar(lead << 8 | trail);
  }
  for (unsigned u = 1; u < 65536; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    int c = encode(static_cast<char16_t>(u));
    if (c >= 0) toSjis_[u] = c;
  }
  for (const ExtraSjisForm& f : kExtraSjisForms) toSjis_[f.unit] = f.code;
  toSjis_[0] = 0;
  toUtf16_[0] = 0;
  otherForms_.assign(65536, false);
  for (unsigned c = 1; c < 65536; ++c)
    if (char16_t u = toUtf16_[c]; u && toSjis_[u] != static_cast<int32_t>(c)) otherForms_[u] = true;
  otherForms_[kBadChar] = true;
  utf8_.resize(65536 * 4);
  for (unsigned c = 0; c < 65536; ++c) {
    char* e = &utf8_[c * 4];
    char16_t u = c < 0x80 ? static_cast<char16_t>(c) : toUtf16_[c] ? toUtf16_[c] : kBadChar;
    e[3] = static_cast<char>(PutUtf8(e, u) - e);
  }
}

// The loops below write through a pointer into output sized for the worst case and trim it at
// the end: appending one unit at a time costs more than the table lookups themselves.

// Calls put(unit) for each unit the bytes decode to, until it returns false; false then.
template <class Put>
bool Cp932Codec::DecodeEach(std::string_view s, Put put) const {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    unsigned char b = p[i];
    char16_t u;
    if (b < 0x80) {
      u = b;
      ++i;
    } else if (sjis::IsLead(b)) {
      if (i + 1 < n && IsTrail932(p[i + 1])) {
        u = toUtf16_[b << 8 | p[i + 1]];
        i += 2;
      } else {
        u = 0;
        ++i;
      }
      if (!u) u = kBadChar;
    } else {
      u = toUtf16_[b];
      if (!u) u = kBadChar;
      ++i;
    }
    if (!put(u)) return false;
  }
  return true;
}

size_t Cp932Codec::DecodeInto(std::string_view s, char16_t* out) const {
  char16_t* o = out;
  DecodeEach(s, [&o](char16_t u) {
    *o++ = u;
    return true;
  });
  return static_cast<size_t>(o - out);
}

std::u16string Cp932Codec::Decode(std::string_view s) const {
  std::u16string out(s.size(), u'\0');  // never more units than bytes
  out.resize(DecodeInto(s, out.data()));
  return out;
}

bool Cp932Codec::DecodesTo(std::string_view s, std::u16string_view text) const {
  size_t k = 0;
  return DecodeEach(s, [&](char16_t u) { return k < text.size() && text[k++] == u; }) && k == text.size();
}

bool Cp932Codec::HasOtherForms(std::u16string_view text) const {
  for (char16_t u : text)
    if (otherForms_[u]) return true;
  return false;
}

std::string Cp932Codec::Encode(std::u16string_view s, bool* lossy) const {
  std::string out(s.size() * 2, '\0');  // at most two bytes per unit
  char* o = out.data();
  bool lost = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t u = s[i];
    if (u < 0x80) {
      *o++ = static_cast<char>(u);
      continue;
    }
    int c = (u >= 0xD800 && u <= 0xDFFF) ? -1 : toSjis_[u];
    if (c < 0) {
      lost = true;
      *o++ = '?';
      // A surrogate pair is one character: one question mark.
      if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
    } else if (c > 0xFF) {
      *o++ = static_cast<char>(c >> 8);
      *o++ = static_cast<char>(c & 0xFF);
    } else {
      *o++ = static_cast<char>(c);
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
  if (lossy) *lossy = lost;
  return out;
}

void Cp932Codec::AppendUtf8(std::string_view s, std::string& out) const {
  const size_t start = out.size();
  // Three bytes at most for each byte read, and one more: a character's table entry is
  // copied whole, its length byte included.
  out.resize(start + s.size() * 3 + 1);
  char* o = out.data() + start;
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n) {
      // The ASCII bytes at the front of the next eight go over in one copy.
      std::memcpy(o, p + i, 8);
      const size_t k = AsciiPrefix(p + i);
      o += k;
      i += k;
      if (k == 8) continue;
    }
    const unsigned char b = p[i];
    if (b < 0x80) {
      *o++ = static_cast<char>(b);
      ++i;
      continue;
    }
    // A lead byte without its trail byte is read alone, and the next byte on its own.
    const bool pair = sjis::IsLead(b) && i + 1 < n && IsTrail932(p[i + 1]);
    const char* e = &utf8_[pair ? (b << 8 | p[i + 1]) * 4 : b * 4];
    i += pair ? 2 : 1;
    std::memcpy(o, e, 4);
    o += e[3];
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

bool Cp932Codec::AppendFromUtf8(std::string_view s, std::string& out, bool* lossy, bool wellFormedOnly) const {
  // What one malformed sequence gives: the form of U+FFFD, as Encode writes it.
  const int bad = toSjis_[0xFFFD];
  const size_t start = out.size();
  // A sequence of two or more bytes gives at most two; a bad byte alone gives the form of
  // U+FFFD.
  out.resize(start + s.size() * (bad > 0xFF ? 2 : 1));
  char* o = out.data() + start;
  bool lost = false;
  auto put = [&](int c) {
    if (c < 0) {
      lost = true;
      *o++ = '?';
    } else if (c > 0xFF) {
      *o++ = static_cast<char>(c >> 8);
      *o++ = static_cast<char>(c & 0xFF);
    } else {
      *o++ = static_cast<char>(c);
    }
  };
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n) {
      std::memcpy(o, p + i, 8);  // never more than the room left: ASCII gives a byte a byte
      const size_t k = AsciiPrefix(p + i);
      o += k;
      i += k;
      if (k == 8) continue;
    }
    const unsigned char b = p[i];
    if (b < 0x80) {
      *o++ = static_cast<char>(b);
      ++i;
      continue;
    }
    // The common case first: a well-formed three-byte sequence.
    if (b >= 0xE0 && b <= 0xEF && i + 2 < n && (p[i + 1] & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
      const char32_t u = (b & 0x0Fu) << 12 | (p[i + 1] & 0x3Fu) << 6 | (p[i + 2] & 0x3Fu);
      if (u >= 0x800 && !IsSurrogate(u) && !(wellFormedOnly && IsNoncharacter(u))) {
        put(toSjis_[u]);
        i += 3;
        continue;
      }
    }
    // Read as Utf8ToUtf16 reads it.
    int len = 0;
    char32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; min = 0x80; }
    else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; min = 0x800; }
    else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; min = 0x10000; }
    int k = 1;
    if (len > 0)
      for (; k < len && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k) cp = cp << 6 | (p[i + k] & 0x3F);
    if (len == 0 || k < len || cp < min || cp > 0x10FFFF || IsSurrogate(cp)) {
      if (wellFormedOnly) break;
      put(bad);
      i += static_cast<size_t>(k);  // the bytes read so far form one bad sequence
      continue;
    }
    if (wellFormedOnly && IsNoncharacter(cp)) break;
    i += static_cast<size_t>(len);
    // Beyond U+FFFF a surrogate pair, which code page 932 has no form for: one '?'.
    put(cp >= 0x10000 ? -1 : toSjis_[cp]);
  }
  if (i < n) {  // stopped at text it must not read
    out.resize(start);
    return false;
  }
  out.resize(static_cast<size_t>(o - out.data()));
  if (lossy) *lossy = lost;
  return true;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out(s.size(), u'\0');  // never more units than bytes
  char16_t* o = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    unsigned char b = p[i];
    if (b < 0x80) {
      *o++ = b;
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; min = 0x80; }
    else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; min = 0x800; }
    else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; min = 0x10000; }
    if (len == 0) {
      *o++ = u'\uFFFD';
      ++i;
      continue;
    }
    int k = 1;
    for (; k < len && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k) cp = cp << 6 | (p[i + k] & 0x3F);
    if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      *o++ = u'\uFFFD';
      i += static_cast<size_t>(k);  // the bytes read so far form one bad sequence
      continue;
    }
    i += static_cast<size_t>(len);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *o++ = static_cast<char16_t>(cp);
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out(s.size() * 3, '\0');  // three bytes per unit, four per pair of units
  char* o = out.data();
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate cannot be written in UTF-8
    }
    if (cp < 0x80) {
      *o++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
      *o++ = static_cast<char>(0xC0 | cp >> 6);
      *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      *o++ = static_cast<char>(0xE0 | cp >> 12);
      *o++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      *o++ = static_cast<char>(0xF0 | cp >> 18);
      *o++ = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
      *o++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

}  // namespace qlk
