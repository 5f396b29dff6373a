#include "conv/Case.h"

#include "conv/Sjis.h"
#include "conv/Width.h"
#include "platform/CodePage.h"

namespace qlk {
namespace {

// Walks the characters of s: `single` maps a byte, `dual` a double-byte value. A double-byte
// result that is not itself a double-byte character is refused, so the length never changes
// and no trail byte is ever orphaned.
template <class Single, class Dual>
bool Walk(std::string& s, Single single, Dual dual) {
  bool changed = false;
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (sjis::IsLead(b) && i + 1 < n) {
      const uint16_t c = static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(s[i + 1]));
      const uint16_t m = dual(c);
      if (m != c && m > 0xFF && sjis::IsLead(static_cast<unsigned char>(m >> 8))) {
        s[i] = static_cast<char>(m >> 8);
        s[i + 1] = static_cast<char>(m & 0xFF);
        changed = true;
      }
      i += 2;
      continue;
    }
    const char m = single(s[i]);
    if (m != s[i]) {
      s[i] = m;
      changed = true;
    }
    ++i;
  }
  return changed;
}

char Keep(char c) { return c; }
uint16_t KeepDual(uint16_t c) { return c; }

template <class F>
std::string Copied(std::string_view line, F f) {
  std::string s(line);
  f(s);
  return s;
}

}  // namespace

DbcsCaseMap::DbcsCaseMap(const ICodePage& cp, CaseMode mode, bool remember) : cp_(cp), mode_(mode) {
  if (remember) memo_.assign(65536, 0);
}

uint16_t DbcsCaseMap::Ask(uint16_t c) const {
  switch (mode_) {
    case CaseMode::Upper:
      return cp_.MapCase(c, true);
    case CaseMode::Lower:
      return cp_.MapCase(c, false);
    case CaseMode::LowerToUpper:
      return cp_.CaseOf(c) == CharCase::Lower ? cp_.MapCase(c, true) : c;
    case CaseMode::UpperToLower:
      return cp_.CaseOf(c) == CharCase::Upper ? cp_.MapCase(c, false) : c;
  }
  return c;
}

uint16_t DbcsCaseMap::operator()(uint16_t c) {
  if (memo_.empty()) return Ask(c);
  uint16_t& m = memo_[c];
  if (m == 0) m = Ask(c);  // no double-byte character maps to 0, so 0 can mean "not asked"
  return m;
}

bool ToCaseInPlace(std::string& s, DbcsCaseMap& map) {
  return Walk(s, map.Upper() ? AsciiUpper : AsciiLower, [&map](uint16_t c) { return map(c); });
}

bool ToTopUpperInPlace(std::string& s) {
  bool changed = false;
  bool next = true;
  const size_t n = s.size();
  for (size_t k = 0; k < n; ++k) {
    if (next) {
      char u = AsciiUpper(s[k]);
      if (u != s[k]) {
        s[k] = u;
        changed = true;
      }
      next = false;
    }
    const auto b = static_cast<unsigned char>(s[k]);
    if (sjis::IsLead(b)) {
      next = true;
      if (k + 1 >= n) break;  // a lone lead byte ends the line
      ++k;                    // onto the trail byte, which is never capitalised
    }
    const auto t = static_cast<unsigned char>(s[k]);
    if (IsWhiteChar(t) || (IsAsciiPunct(t) && t != '\'')) next = true;
  }
  return changed;
}

bool ToLineUpperInPlace(std::string& s, bool& next) {
  bool changed = false;
  const size_t n = s.size();
  for (size_t k = 0; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[k]);
    if (sjis::IsLead(b)) {
      next = true;
      ++k;  // over the trail byte
      continue;
    }
    if (IsAsciiLetter(b) && next) {
      char u = AsciiUpper(s[k]);
      if (u != s[k]) {
        s[k] = u;
        changed = true;
      }
      next = false;
    }
    if (b == '.') next = true;
  }
  return changed;
}

bool ChangeUpperLowerInPlace(std::string& s) {
  return Walk(
      s, [](char c) { return (c >= 'A' && c <= 'Z') ? AsciiLower(c) : AsciiUpper(c); }, KeepDual);
}

bool HiraToKanaInPlace(std::string& s) { return Walk(s, Keep, HiraToKanaChar); }
bool KanaToHiraInPlace(std::string& s) { return Walk(s, Keep, KanaToHiraChar); }

namespace {

std::string CaseLine(std::string_view l, const ICodePage& cp, CaseMode mode) {
  DbcsCaseMap map(cp, mode, false);
  return Copied(l, [&map](std::string& s) { ToCaseInPlace(s, map); });
}

}  // namespace

std::string ToUpperLine(std::string_view l, const ICodePage& cp) { return CaseLine(l, cp, CaseMode::Upper); }
std::string ToLowerLine(std::string_view l, const ICodePage& cp) { return CaseLine(l, cp, CaseMode::Lower); }
std::string ToZenUpperLine(std::string_view l, const ICodePage& cp) { return CaseLine(l, cp, CaseMode::LowerToUpper); }
std::string ToZenLowerLine(std::string_view l, const ICodePage& cp) { return CaseLine(l, cp, CaseMode::UpperToLower); }
std::string ToTopUpperLine(std::string_view l) { return Copied(l, ToTopUpperInPlace); }
std::string ToLineUpperLine(std::string_view l, bool& next) {
  return Copied(l, [&next](std::string& s) { ToLineUpperInPlace(s, next); });
}
std::string ChangeUpperLowerLine(std::string_view l) { return Copied(l, ChangeUpperLowerInPlace); }
std::string HiraToKanaLine(std::string_view l) { return Copied(l, HiraToKanaInPlace); }
std::string KanaToHiraLine(std::string_view l) { return Copied(l, KanaToHiraInPlace); }

}  // namespace qlk
