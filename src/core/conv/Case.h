#pragma once
// Letter case and kana script of Shift-JIS text. Single-byte case is ASCII only; the case
// of double-byte letters (full-width Latin, Greek, Cyrillic, and whatever else the platform
// maps) comes from the code-page seam. Every conversion keeps the line's length and never
// splits a character.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qlk {

class ICodePage;

constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; }
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c; }
// Keywords, section and key names: equal but for the case of ASCII letters.
constexpr bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// Case folding for comparisons (search options, sorting): single-byte and full-width Latin
// small letters to capitals; every other character value is returned as it is.
constexpr uint16_t FoldUpper(uint16_t c) {
  if (c >= 'a' && c <= 'z') return static_cast<uint16_t>(c - 0x20);
  if (c >= 0x8281 && c <= 0x829A) return static_cast<uint16_t>(c - 0x21);  // ａ-ｚ → Ａ-Ｚ
  return c;
}

// Hiragana to katakana and back by code arithmetic; the katakana block skips 0x837F.
// ヴ, ヵ and ヶ have no hiragana; anything outside the two blocks is returned as it is.
constexpr uint16_t HiraToKanaChar(uint16_t c) {
  if (c < 0x829F || c > 0x82F1) return c;
  return static_cast<uint16_t>(c < 0x82DE ? c + 0xA1 : c + 0xA2);
}
constexpr uint16_t KanaToHiraChar(uint16_t c) {
  if (c < 0x8340 || c > 0x8393 || c == 0x837F) return c;
  return static_cast<uint16_t>(c < 0x837F ? c - 0xA1 : c - 0xA2);
}

// Per-line conversions. The double-byte ones ask the code page once per double-byte
// character; a mapping that would not give a double-byte character keeps the original.
std::string ToUpperLine(std::string_view line, const ICodePage& cp);
std::string ToLowerLine(std::string_view line, const ICodePage& cp);
// Only the letters the code page classes as lower (upper) case change.
std::string ToZenUpperLine(std::string_view line, const ICodePage& cp);
std::string ToZenLowerLine(std::string_view line, const ICodePage& cp);
// Capitalises the first byte of the line and the byte after any white space, any ASCII
// punctuation but the apostrophe, and any double-byte character, when it is 'a'-'z'.
std::string ToTopUpperLine(std::string_view line);
// Capitalises the first ASCII letter after a full stop or a double-byte character. The flag
// carries from one line to the next: set it before the first line of a command.
std::string ToLineUpperLine(std::string_view line, bool& capitalizeNext);
// Swaps the case of single-byte letters; double-byte characters are left whole.
std::string ChangeUpperLowerLine(std::string_view line);
std::string HiraToKanaLine(std::string_view line);
std::string KanaToHiraLine(std::string_view line);

// The code page's mapping of double-byte characters for one of the four case conversions.
// With `remember` each character value is asked once and kept for the object's life (one
// command over a whole document: the platform's mapping is slow per call); without, every
// call asks the code page.
enum class CaseMode {
  Upper,         // ToUpper: every double-byte character through the upper-case mapping
  Lower,         // ToLower
  LowerToUpper,  // ToZenUpper: only characters classed as lower case
  UpperToLower,  // ToZenLower: only characters classed as upper case
};
class DbcsCaseMap {
 public:
  DbcsCaseMap(const ICodePage& cp, CaseMode mode, bool remember);
  uint16_t operator()(uint16_t c);
  bool Upper() const { return mode_ == CaseMode::Upper || mode_ == CaseMode::LowerToUpper; }

 private:
  uint16_t Ask(uint16_t c) const;
  const ICodePage& cp_;
  CaseMode mode_;
  std::vector<uint16_t> memo_;  // by character value; 0 = not asked yet
};

// In-place forms of the same conversions, for the document walk; true when anything changed.
bool ToCaseInPlace(std::string& s, DbcsCaseMap& map);
bool ToTopUpperInPlace(std::string& s);
bool ToLineUpperInPlace(std::string& s, bool& capitalizeNext);
bool ChangeUpperLowerInPlace(std::string& s);
bool HiraToKanaInPlace(std::string& s);
bool KanaToHiraInPlace(std::string& s);

}  // namespace qlk
