#include "ops/Count.h"

#include <cstdio>

#include "conv/Sjis.h"
#include "conv/Width.h"
#include "doc/Document.h"
#include "platform/UserInterface.h"

namespace qlk {
namespace {

// A byte that ends a word: ASCII white space, or ASCII punctuation other than the three
// marks that stand inside words.
constexpr bool IsWordSeparator(unsigned char b) {
  if ((b >= 0x09 && b <= 0x0D) || b == 0x20) return true;
  return b < 0x80 && IsAsciiPunct(b) && b != '\'' && b != '-' && b != '_';
}

}  // namespace

long long CharCounts::Total() const {
  long long t = 0;
  for (long long v : n) t += v;
  return t;
}

long long CharCounts::Percent(CharKind k) const {
  const long long t = Total();
  return t == 0 ? 0 : n[k] * 100 / t;
}

CharKind CharKindOf(std::string_view line, size_t i) {
  const uint16_t c = sjis::CharAt(line, i);
  if (IsHiragana(c)) return kHiragana;
  if (IsKatakana(c) || (c < 0x100 && sjis::IsHalfKana(static_cast<unsigned char>(c)))) return kKatakana;
  const uint16_t narrow = c < 0x100 ? c : NarrowChar(c);
  if (narrow < 0x80 && IsAsciiLetter(narrow)) return kLetter;
  if (narrow >= '0' && narrow <= '9') return kDigit;
  if (narrow == 0x20 || (narrow < 0x80 && IsAsciiPunct(narrow))) return kSymbol;
  if ((c >= 0x8141 && c <= 0x817E) || (c >= 0x8180 && c <= 0x81AC)) return kSymbol;
  return kKanji;
}

CharCounts CountChars(CQuenlarkDoc& doc) {
  CharCounts counts;
  const LineArray& lines = doc.Lines();
  for (size_t l = 0; l < lines.size(); ++l) {
    const std::string_view line = lines[l];
    if (line.empty() || !doc.IsTargetLine(l)) continue;
    for (size_t i = 0; i < line.size(); i += sjis::CharLen(line, i)) ++counts.n[CharKindOf(line, i)];
  }
  return counts;
}

long long ByteSize(CQuenlarkDoc& doc) {
  long long size = 0;
  const LineArray& lines = doc.Lines();
  for (size_t l = 0; l < lines.size(); ++l)
    if (doc.IsTargetLine(l)) size += static_cast<long long>(lines[l].size()) + 2;
  return size;
}

// Character by character: the trail byte of a double-byte character is part of it, never a
// separator of its own (the trail byte of ソ is the backslash's value).
long long WordCount(CQuenlarkDoc& doc) {
  long long words = 0;
  bool carry = false;  // the last target line ended with "-"
  const LineArray& lines = doc.Lines();
  for (size_t l = 0; l < lines.size(); ++l) {
    if (!doc.IsTargetLine(l)) continue;
    const std::string_view line = lines[l];
    bool inWord = carry;
    size_t last = line.size();  // where the last character starts
    for (size_t i = 0; i < line.size(); i += sjis::CharLen(line, i)) {
      const bool word = !IsWordSeparator(static_cast<unsigned char>(line[i]));
      if (word && !inWord) ++words;
      inWord = word;
      last = i;
    }
    // The continuation reaches the next target line only.
    carry = last + 1 == line.size() && line[last] == '-';
  }
  return words;
}

std::string FormatCount(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10g", value);
  const std::string s = buf;
  size_t end = s.find_first_of(".eE");
  if (end == std::string::npos) end = s.size();
  std::string out;
  int digits = 0;  // digits left of each position up to `end`
  for (size_t i = 0; i < end; ++i) digits += (s[i] >= '0' && s[i] <= '9') ? 1 : 0;
  for (size_t i = 0; i < end; ++i) {
    out += s[i];
    if (s[i] >= '0' && s[i] <= '9') {
      --digits;
      if (digits > 0 && digits % 3 == 0) out += ',';
    }
  }
  out.append(s, end);
  return out;
}

std::string SizeInUnits(long long bytes) {
  auto unit = [bytes](double base, Txt name) {
    const double tenths = static_cast<double>(static_cast<long long>(static_cast<double>(bytes) / base * 10));
    return FormatCount(tenths / 10) + TextOf(name);
  };
  if (bytes > 1000000) return unit(1048576.0, Txt::CountUnitM);
  if (bytes > 1000) return unit(1024.0, Txt::CountUnitK);
  return {};
}

CCountDlg::CCountDlg(const CharCounts& c, long long b, long long w)
    : total(FormatCount(static_cast<double>(c.Total()))),
      bytes(FormatCount(static_cast<double>(b))),
      bytesInUnits(SizeInUnits(b)),
      words(FormatCount(static_cast<double>(w))) {
  for (int k = 0; k < kCharKinds; ++k) {
    counts[k] = FormatCount(static_cast<double>(c.n[k]));
    percents[k] = std::to_string(c.Percent(static_cast<CharKind>(k)));
  }
}

std::vector<Field> CCountDlg::Fields() {
  std::vector<Field> f = {Field::LabelText(IDC_COUNT_TOTAL, total), Field::LabelText(IDC_COUNT_BYTES, bytes),
                          Field::LabelText(IDC_COUNT_BYTES_UNIT, bytesInUnits), Field::LabelText(IDC_COUNT_WORDS, words)};
  for (int k = 0; k < kCharKinds; ++k) {
    f.push_back(Field::LabelText(IDC_COUNT_KANJI + k, counts[k]));
    f.push_back(Field::LabelText(IDC_COUNT_KANJI_PCT + k, percents[k]));
  }
  return f;
}

std::vector<Field> CTextEditDlg::Fields() { return {Field::WholeText(IDC_TEXT_EDIT_TEXT, text, lossy)}; }

bool CTextEditDlg::OnOk(DialogHost& host) {
  if (lossy && !host.ui().Confirm(MakeMessage(Txt::LossyClipboard))) {
    host.FocusControl(IDC_TEXT_EDIT_TEXT);
    return false;
  }
  return true;
}

}  // namespace qlk
