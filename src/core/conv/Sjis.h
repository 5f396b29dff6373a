#pragma once
// Shift-JIS byte classes shared by every conversion and line operation.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qlk::sjis {

constexpr bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsLead(char b) { return IsLead(static_cast<unsigned char>(b)); }
constexpr bool IsHalfKana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }
constexpr bool IsHalfKana(char b) { return IsHalfKana(static_cast<unsigned char>(b)); }

// Length of the character starting at s[i]: 2 for a lead byte with its trail byte, else 1.
// A lead byte at the very end counts as one byte so that walks never run past the text.
constexpr size_t CharLen(std::string_view s, size_t i) {
  return (IsLead(s[i]) && i + 1 < s.size()) ? 2 : 1;
}

// Value of the character at s[i] (lead * 256 + trail, or the byte itself).
constexpr uint16_t CharAt(std::string_view s, size_t i) {
  auto b = static_cast<unsigned char>(s[i]);
  if (CharLen(s, i) == 2) return static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(s[i + 1]));
  return b;
}

// Whether the byte at index k is a lead byte, deciding by a scan from the start of the text.
// Answers true when k lies beyond the end, as the column edits expect.
constexpr bool IsLeadAt(std::string_view s, size_t k) {
  if (k >= s.size()) return true;
  size_t i = 0;
  while (i < k) i += IsLead(s[i]) ? 2 : 1;
  return i == k && IsLead(s[k]);
}

// Where the last character of `s` starts, as a scan from its start reads the text (a lead
// byte takes the byte after it, whatever that is); 0 for an empty text. A byte that is no lead
// byte always ends a character, so the search goes back only over a run of lead bytes.
constexpr size_t LastCharStart(std::string_view s) {
  if (s.empty()) return 0;
  size_t b = s.size() - 1;
  while (b > 0 && IsLead(s[b - 1])) --b;
  // A character starts at b; from there on the lead bytes pair up with the bytes after them.
  return b + ((s.size() - 1 - b) & ~size_t{1});
}

// The first occurrence of `needle` in `s` at or after `from` (a character boundary) that
// starts and ends on a character boundary, so that "A" is never found in the trail byte of ア
// and a needle ending in a lone lead byte never takes half of a character. An empty needle is
// found nowhere.
inline size_t FindAligned(std::string_view s, std::string_view needle, size_t from = 0) {
  if (needle.empty()) return std::string_view::npos;
  size_t boundary = from;
  for (size_t cand = from;;) {
    const size_t p = s.find(needle, cand);
    if (p == std::string_view::npos) return p;
    while (boundary < p) boundary += IsLead(s[boundary]) ? 2 : 1;
    if (boundary == p) {
      size_t e = p;
      while (e < p + needle.size()) e += CharLen(s, e);
      if (e == p + needle.size()) return p;
    }
    cand = p + 1;
  }
}

}  // namespace qlk::sjis
