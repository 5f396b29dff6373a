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

bool ToUpperInPlace(std::string& s, const ICodePage& cp) {
  return Walk(s, AsciiUpper, [&cp](uint16_t c) { return cp.MapCase(c, true); });
}

bool ToLowerInPlace(std::string& s, const ICodePage& cp) {
  return Walk(s, AsciiLower, [&cp](uint16_t c) { return cp.MapCase(c, false); });
}

bool ToZenUpperInPlace(std::string& s, const ICodePage& cp) {
  return Walk(s, AsciiUpper, [&cp](uint16_t c) { return cp.CaseOf(c) == CharCase::Lower ? cp.MapCase(c, true) : c; });
}

bool ToZenLowerInPlace(std::string& s, const ICodePage& cp) {
  return Walk(s, AsciiLower, [&cp](uint16_t c) { return cp.CaseOf(c) == CharCase::Upper ? cp.MapCase(c, false) : c; });
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

std::string ToUpperLine(std::string_view l, const ICodePage& cp) {
  return Copied(l, [&cp](std::string& s) { ToUpperInPlace(s, cp); });
}
std::string ToLowerLine(std::string_view l, const ICodePage& cp) {
  return Copied(l, [&cp](std::string& s) { ToLowerInPlace(s, cp); });
}
std::string ToZenUpperLine(std::string_view l, const ICodePage& cp) {
  return Copied(l, [&cp](std::string& s) { ToZenUpperInPlace(s, cp); });
}
std::string ToZenLowerLine(std::string_view l, const ICodePage& cp) {
  return Copied(l, [&cp](std::string& s) { ToZenLowerInPlace(s, cp); });
}
std::string ToTopUpperLine(std::string_view l) { return Copied(l, ToTopUpperInPlace); }
std::string ToLineUpperLine(std::string_view l, bool& next) {
  return Copied(l, [&next](std::string& s) { ToLineUpperInPlace(s, next); });
}
std::string ChangeUpperLowerLine(std::string_view l) { return Copied(l, ChangeUpperLowerInPlace); }
std::string HiraToKanaLine(std::string_view l) { return Copied(l, HiraToKanaInPlace); }
std::string KanaToHiraLine(std::string_view l) { return Copied(l, KanaToHiraInPlace); }

}  // namespace qlk
