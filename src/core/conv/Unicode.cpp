#include "conv/Unicode.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "conv/LineWalk.h"
#include "conv/Sjis.h"
#include "doc/Document.h"
#include "platform/CodePage.h"

namespace qlk {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsAscii(std::string_view s) {
  size_t i = 0;
  for (uint64_t w; i + 8 <= s.size(); i += 8) {
    std::memcpy(&w, s.data() + i, 8);
    if (w & 0x8080808080808080ull) return false;
  }
  for (; i < s.size(); ++i)
    if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
  return true;
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<signed char, 256> MakeValues() {
  std::array<signed char, 256> v{};
  for (auto& x : v) x = -1;
  for (int i = 0; i < 64; ++i) v[static_cast<unsigned char>(kBase64[i])] = static_cast<signed char>(i);
  return v;
}
constexpr std::array<signed char, 256> kValue = MakeValues();

int Base64Value(char c) { return kValue[static_cast<unsigned char>(c)]; }

// Characters written as themselves in UTF-7 output; '\' and '~' are left out because some
// readers give them other meanings.
bool IsDirect(char16_t u) {
  if (u == '\t' || u == '\r' || u == '\n') return true;
  return u >= 0x20 && u <= 0x7E && u != '+' && u != '\\' && u != '~';
}

}  // namespace

namespace {

void AppendUtf8Text(const ICodePage& cp, std::string_view utf8, std::string& out) {
  if (IsAscii(utf8)) out.append(utf8);  // the same bytes in both codes
  else cp.AppendUtf8ToSjis(utf8, out);
}

}  // namespace

void AppendUtf8ToSjisLine(const ICodePage& cp, std::string_view utf8, std::string& out) {
  if (utf8.substr(0, 3) == kBom) utf8.remove_prefix(3);
  AppendUtf8Text(cp, utf8, out);
}

void AppendSjisToUtf8Line(const ICodePage& cp, std::string_view sjis, std::string& out) {
  if (IsAscii(sjis)) out.append(sjis);
  else cp.AppendSjisToUtf8(sjis, out);
}

size_t AppendUtf8ToSjisPiece(const ICodePage& cp, std::string_view rest, bool ends, uint32_t& carry, std::string& out) {
  size_t skip = 0;
  if (carry == 0) {  // the line's first piece: a byte order mark there is skipped
    if (!ends && rest.size() < 3 && kBom.substr(0, rest.size()) == rest) return 0;
    if (rest.substr(0, 3) == kBom) skip = 3;
    carry = 1;
  }
  size_t cut = rest.size();
  if (!ends) {
    // A sequence starts at every byte from 0xC0 up and never takes one: the last such byte
    // among the last three may start a sequence that goes on in the next piece.
    for (size_t k = rest.size(); k > skip && k + 3 > rest.size(); --k)
      if (static_cast<unsigned char>(rest[k - 1]) >= 0xC0) {
        cut = k - 1;
        break;
      }
  }
  AppendUtf8Text(cp, rest.substr(skip, cut - skip), out);
  return cut;
}

size_t AppendSjisToUtf8Piece(const ICodePage& cp, std::string_view rest, bool ends, std::string& out) {
  // The last character may be a lead byte whose trail byte comes with the next piece.
  const size_t cut = ends ? rest.size() : sjis::LastCharStart(rest);
  AppendSjisToUtf8Line(cp, rest.substr(0, cut), out);
  return cut;
}

std::string Utf8ToSjisLine(const ICodePage& cp, std::string_view utf8) {
  std::string out;
  AppendUtf8ToSjisLine(cp, utf8, out);
  return out;
}

std::string SjisToUtf8Line(const ICodePage& cp, std::string_view sjis) {
  std::string out;
  AppendSjisToUtf8Line(cp, sjis, out);
  return out;
}

std::string Utf7RunToSjis(const ICodePage& cp, std::string_view run) {
  std::u16string units;
  units.reserve(run.size() * 3 / 8 + 1);
  uint32_t bits = 0;
  int nbits = 0;
  int high = -1;  // first byte of a unit still waiting for its second
  for (char c : run) {
    int v = Base64Value(c);
    if (v < 0) continue;  // callers pass run characters only
    bits = (bits << 6 | static_cast<uint32_t>(v)) & 0xFFFFFF;
    nbits += 6;
    if (nbits >= 8) {
      nbits -= 8;
      int byte = static_cast<int>(bits >> nbits) & 0xFF;
      if (high < 0) {
        high = byte;
      } else {
        // U+0000 is left out: the clipboard's text would end at its zero byte.
        if (high | byte) units.push_back(static_cast<char16_t>(high << 8 | byte));
        high = -1;
      }
    }
  }
  return cp.FromUtf16(Charset::Sjis, units);
}

std::string Utf7ToSjisLine(const ICodePage& cp, std::string_view in) {
  std::string out;
  out.reserve(in.size());
  size_t i = 0;
  const size_t n = in.size();
  while (i < n) {
    if (in[i] != '+') {
      size_t q = in.find('+', i);
      if (q == std::string_view::npos) q = n;
      out.append(in.substr(i, q - i));
      i = q;
      continue;
    }
    size_t start = ++i;
    while (i < n && Base64Value(in[i]) >= 0) ++i;
    std::string_view run = in.substr(start, i - start);
    if (i < n && in[i] == '-') {
      ++i;
      if (run.empty()) {
        out.push_back('+');
        continue;
      }
    }
    out += Utf7RunToSjis(cp, run);
  }
  return out;
}

std::string SjisToUtf7Line(const ICodePage& cp, std::string_view sjis) {
  std::u16string units = cp.ToUtf16(Charset::Sjis, sjis);
  std::string out;
  out.reserve(sjis.size() * 2);
  size_t i = 0;
  while (i < units.size()) {
    char16_t u = units[i];
    if (IsDirect(u)) {
      out.push_back(static_cast<char>(u));
      ++i;
      continue;
    }
    if (u == '+') {
      out += "+-";
      ++i;
      continue;
    }
    out.push_back('+');
    uint32_t bits = 0;
    int nbits = 0;
    for (; i < units.size() && !IsDirect(units[i]) && units[i] != '+'; ++i) {
      bits = (bits << 16 | units[i]) & 0x3FFFFF;
      nbits += 16;
      while (nbits >= 6) {
        nbits -= 6;
        out.push_back(kBase64[(bits >> nbits) & 0x3F]);
      }
    }
    if (nbits > 0) out.push_back(kBase64[(bits << (6 - nbits)) & 0x3F]);
    out.push_back('-');  // always closed, so a following '-' or letter cannot join the run
  }
  return out;
}

void Utf8ToSjis(CQuenlarkDoc& doc) {
  const ICodePage& cp = doc.platform().codepage;
  AppendTargetLines(doc, [&](std::string_view line, std::string& out) { AppendUtf8ToSjisLine(cp, line, out); });
}

void SjisToUtf8(CQuenlarkDoc& doc) {
  const ICodePage& cp = doc.platform().codepage;
  AppendTargetLines(doc, [&](std::string_view line, std::string& out) { AppendSjisToUtf8Line(cp, line, out); });
}

void UnicodeToMbcs(CQuenlarkDoc& doc) {
  const ICodePage& cp = doc.platform().codepage;
  ConvertTargetLines(doc, [&](std::string_view line) { return Utf7ToSjisLine(cp, line); });
}

void MbcsToUnicode(CQuenlarkDoc& doc) {
  const ICodePage& cp = doc.platform().codepage;
  ConvertTargetLines(doc, [&](std::string_view line) { return SjisToUtf7Line(cp, line); });
}

}  // namespace qlk
