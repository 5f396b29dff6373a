#pragma once
// Character classes of Shift-JIS text, the two width maps between single-byte (half-width)
// and double-byte (full-width) forms, the voiced kana and kanji numeral tables, and the
// full/half-width line conversions built on them.
//
// A character value is the byte itself, or lead * 256 + trail (sjis::CharAt). The line
// conversions walk whole characters; anything they do not convert is copied with its trail
// byte, so they never split a character and never fail.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qlk {

// ---- character classes ----
constexpr bool IsHiragana(uint16_t c) { return c >= 0x829F && c <= 0x82F1; }                 // ぁ … ん
constexpr bool IsKatakana(uint16_t c) { return c >= 0x8340 && c <= 0x8396 && c != 0x837F; }  // ァ … ヶ
// 、 through 〓: JIS X 0208 row 1 and the start of row 2.
constexpr bool IsSymbolBlock(uint16_t c) { return c >= 0x8141 && c <= 0x81AC && c != 0x817F; }
// '0'-'9' or ０-９.
constexpr bool IsDigitChar(uint16_t c) { return (c >= '0' && c <= '9') || (c >= 0x824F && c <= 0x8258); }
// Tab, line feed, vertical tab, form feed, carriage return, blank, ideographic space.
constexpr bool IsWhiteChar(uint16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x8140; }
constexpr bool IsAsciiLetter(uint16_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool IsAsciiPunct(uint16_t c) {
  return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E);
}

// ---- width maps ----
// The half-width form of a full-width character (an ASCII byte or a half-width katakana
// byte), or c itself when it has none. Voiced kana narrow to their base byte (ガ → ｶ); the
// conversions consult the voiced table first so the mark is not lost.
uint16_t NarrowChar(uint16_t c);
// The full-width form of a single byte (0x20-0x7E, 0xA1-0xDF), or c itself. ﾜ widens to ワ.
uint16_t WidenChar(uint16_t c);

// ---- voiced kana ----
struct VoicedKana {
  uint16_t katakana;
  uint16_t hiragana;         // ヴ in the last row: code page 932 has no hiragana vu
  unsigned char base, mark;  // the half-width pair: base byte and ﾞ (0xDE) or ﾟ (0xDF)
};
constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ
// The 26 rows in their fixed order: ガ … ゴ, ザ … ゾ, ダ … ド, バ … ボ, パ … ポ, ヴ.
std::span<const VoicedKana, 26> VoicedKanaTable();
// The row whose katakana, or else whose hiragana, is c; nullptr when none.
const VoicedKana* VoicedOfFull(uint16_t c);
// The row of the half-width pair; nullptr when none (ｱﾞ, or a mark after a mark).
const VoicedKana* VoicedOfHalf(unsigned char base, unsigned char mark);

// ---- kanji numerals ----
// 〇 一 二 三 四 五 六 七 八 九: position n stands for the digit n.
std::span<const uint16_t, 10> KanjiNumerals();
// The digit of a kanji numeral, or -1.
int KanjiNumeralValue(uint16_t c);

// ---- the classes a type-switch conversion covers (ZenToHanSw / HanToZenSw) ----
enum WidthFlag : int {
  kWidthHiragana = 0x01,
  kWidthKatakana = 0x02,  // full-width kana and the symbol block; half-width katakana
  kWidthDigit = 0x04,
  kWidthAlpha = 0x08,
  kWidthJapaneseSymbol = 0x10,  // everything outside the other classes
  kWidthAsciiSymbol = 0x20,     // punctuation and white space
  kWidthKanjiNumeral = 0x40,
};
constexpr int kWidthFlagMask = 0x7F;

// Kinds of ZenToHan2 / HanToZen2; 0 converts everything.
enum WidthKind : int { kWidthAll = 0, kWidthKindAlpha = 1, kWidthKindDigit = 2, kWidthKindKana = 3 };

// ---- line conversions ----
// One converter per kind or flag set: tables built once, then each line is one pass of
// lookups. A converter for a kind outside 0-3 converts nothing (only a hand-written macro
// line can ask for one).
class ZenToHanConverter {
 public:
  static ZenToHanConverter ForKind(int kind);
  static ZenToHanConverter ForFlags(int flags);
  // Writes the converted line into `out` (emptied first); true when it differs from `in`.
  bool Convert(std::string_view in, std::string& out) const;
  // A long line a piece at a time (see Bindings::LineFn::Piece): appends the conversion of
  // the characters that start before the last byte of `in` (of all when `ends`) to `out`, and
  // returns how many bytes they take.
  size_t AppendPiece(std::string_view in, bool ends, std::string& out) const;

 private:
  ZenToHanConverter() = default;
  // The characters that start before `stop`, appended; `stop` becomes where they end.
  bool Append(std::string_view in, size_t& stop, std::string& out) const;
  // Output of each double-byte character with lead 0x81-0x83: 0 copies it, else
  // count << 16 | first byte << 8 | second byte.
  std::array<uint32_t, 3 * 256> map_{};
  bool numerals_ = false;  // kanji numerals become digits
};

class HanToZenConverter {
 public:
  static HanToZenConverter ForKind(int kind);
  static HanToZenConverter ForFlags(int flags);
  bool Convert(std::string_view in, std::string& out) const;
  size_t AppendPiece(std::string_view in, bool ends, std::string& out) const;

 private:
  HanToZenConverter() = default;
  bool Append(std::string_view in, size_t& stop, std::string& out) const;
  std::array<uint16_t, 256> map_{};  // full-width form of each byte, 0 copies it
  bool voiced_ = false;              // a half-width kana with ﾞ/ﾟ becomes one voiced katakana
};

std::string ZenToHanLine(std::string_view line, int kind);
std::string ZenToHanSwLine(std::string_view line, int flags);
std::string HanToZenLine(std::string_view line, int kind);
std::string HanToZenSwLine(std::string_view line, int flags);

}  // namespace qlk
