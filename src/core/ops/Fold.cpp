#include "ops/Fold.h"

#include "app/SettingKeys.h"
#include "conv/Sjis.h"
#include "doc/Document.h"
#include "ops/RangeShift.h"

namespace qlk {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Codes of the characters of a rule list, walked character by character, so that a single-byte
// entry never matches half of a double-byte character.
std::vector<uint64_t> CodeSet(std::string_view list) {
  std::vector<uint64_t> set;
  if (list.empty()) return set;
  set.assign(65536 / 64, 0);
  for (size_t i = 0; i < list.size(); i += sjis::CharLen(list, i)) {
    const uint16_t c = sjis::CharAt(list, i);
    set[c >> 6] |= uint64_t{1} << (c & 63);
  }
  return set;
}

// The code of the `len` bytes at s[at].
uint16_t CodeAt(std::string_view s, size_t at, size_t len) {
  const auto b = static_cast<unsigned char>(s[at]);
  return len == 2 ? static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(s[at + 1])) : b;
}

bool Blank(std::string_view s, size_t i, size_t& len) {
  if (s[i] == ' ') {
    len = 1;
    return true;
  }
  if (i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x81 && static_cast<unsigned char>(s[i + 1]) == 0x40) {
    len = 2;  // full-width space
    return true;
  }
  return false;
}

}  // namespace

FoldRules::FoldRules(const KinsokuRules& r)
    : hanging(r.hanging),
      pushOut(r.pushOut),
      noBreakInTags(r.noBreakInTags),
      first_(CodeSet(r.first)),
      last_(CodeSet(r.last)) {}

bool LeadByteAt(std::string_view s, size_t k) {
  if (k >= s.size()) return true;
  if (!sjis::IsLead(s[k])) return false;
  // A byte outside the lead range always ends a character, so only the run of lead-range
  // bytes just before k decides: they pair up from its start.
  size_t j = k;
  while (j > 0 && sjis::IsLead(s[j - 1])) --j;
  return (k - j) % 2 == 0;
}

FoldCut FoldPiece(std::string_view s, size_t p, const FoldRules& rules, int englishMode) {
  const size_t n = s.size();
  FoldCut cut;
  if (n == 0) return cut;

  // Tag rule: the cut moves past the end of a tag it would fall into, and never past a line
  // feed. A line feed at the very start is the break the previous piece made.
  if (rules.noBreakInTags) {
    bool inTag = false;
    size_t i = 0;
    for (; i < n; ++i) {
      const char c = s[i];
      if (c == '\n' && i > 0) break;
      if (!inTag && i >= p && c != '<' && c != '>') break;
      if (c == '<')
        inTag = true;
      else if (c == '>')
        inTag = false;
    }
    p = i;
  } else if (p > n) {
    p = n;
  }

  // Split-character rule: never cut a double-byte character; one wider than the whole piece
  // stays whole rather than leave nothing.
  if (p >= 1 && p < n && LeadByteAt(s, p - 1)) p = (p >= 2) ? p - 1 : 2;

  // Hanging: one first-forbidden character that would begin the next piece ends this one.
  if (rules.hanging && p < n) {
    const size_t len = (LeadByteAt(s, p) && p + 1 < n) ? 2 : 1;
    if (rules.First(CodeAt(s, p, len))) p += len;
  }
  // Push-out: one last-forbidden character that would end this piece begins the next, unless
  // it is all the piece holds.
  if (rules.pushOut && p > 0) {
    const size_t len = (p >= 2 && LeadByteAt(s, p - 2)) ? 2 : 1;
    if (p > len && rules.Last(CodeAt(s, p - len, len))) p -= len;
  }

  // English rule, when the cut falls between two letters of a run of single bytes.
  if (englishMode != kEnglishNormal && p >= 1 && p < n && !(p >= 2 && LeadByteAt(s, p - 2)) && !LeadByteAt(s, p - 1) &&
      IsLetter(s[p - 1]) && IsLetter(s[p])) {
    if (englishMode == kEnglishNextLine) {
      size_t i = p - 1;
      while (i > 0 && !LeadByteAt(s, i - 1) && IsLetter(s[i])) --i;
      // The walk stopped before the word (at a non-letter or a double-byte character): the word
      // moves whole to the next piece. A word that reaches the start of the piece cannot move.
      if (i >= 1) p = i + 1;
    } else if (englishMode == kEnglishHyphen) {
      cut.hyphen = true;
    }
  }

  if (p == 0) p = sjis::CharLen(s, 0);
  cut.end = p;
  return cut;
}

bool TurnChangeLine(std::string_view line, int width, const FoldRules& rules, int englishMode,
                    std::vector<std::string>& out, GrowthBudget* budget) {
  std::string_view rest = line;
  size_t pieces = 0;
  if (width >= 1) {
    const size_t w = static_cast<size_t>(width);
    while (w < rest.size()) {
      FoldCut c = FoldPiece(rest, w, rules, englishMode);
      std::string head(rest.substr(0, c.end));
      if (c.hyphen) {
        if (budget && !budget->Take(1)) return false;
        head += '-';
      }
      out.push_back(std::move(head));
      rest.remove_prefix(c.end);
      ++pieces;
    }
  }
  // The last piece may have taken all that was left; that leaves no empty line behind.
  if (pieces == 0 || !rest.empty()) out.emplace_back(rest);
  return true;
}

size_t IndentLength(std::string_view line) {
  size_t i = 0, len = 0;
  while (i < line.size() && Blank(line, i, len)) i += len;
  return i;
}

bool IndTurnChangeLine(std::string_view line, int width, const FoldRules& rules, int englishMode,
                       std::vector<std::string>& out, GrowthBudget* budget) {
  const size_t indentLen = IndentLength(line);
  // No room after the indent: the line stays as it is rather than be cut to nothing.
  if (width < 1 || line.size() <= static_cast<size_t>(width) || indentLen >= static_cast<size_t>(width)) {
    out.emplace_back(line);
    return true;
  }
  const size_t w = static_cast<size_t>(width);
  const std::string_view indent = line.substr(0, indentLen);
  std::string_view rest = line;
  bool first = true;
  // The test is against the full width, so the last piece may be up to the indent longer.
  while (w < rest.size()) {
    FoldCut c =
        FoldPiece(rest, first ? w : w - indentLen, rules, englishMode == kEnglishHyphen ? kEnglishNormal : englishMode);
    if (first) {
      out.emplace_back(rest.substr(0, c.end));
    } else {
      if (budget && !budget->Take(indentLen)) return false;
      std::string piece;
      piece.reserve(indentLen + c.end);
      piece.append(indent).append(rest.substr(0, c.end));
      out.push_back(std::move(piece));
    }
    rest.remove_prefix(c.end);
    first = false;
  }
  if (!rest.empty()) {
    if (budget && !budget->Take(indentLen)) return false;
    std::string piece;
    piece.reserve(indentLen + rest.size());
    piece.append(indent).append(rest);
    out.push_back(std::move(piece));
  }
  return true;
}

std::vector<std::string> TurnIfLine(std::string_view line, std::string_view text, int replace) {
  std::vector<std::string> out;
  if (text.empty()) {
    out.emplace_back(line);
    return out;
  }
  std::string_view rest = line;
  for (size_t b; (b = sjis::FindAligned(rest, text)) != std::string_view::npos;) {
    out.emplace_back(rest.substr(0, replace == 0 ? b + text.size() : b));
    rest.remove_prefix(b + text.size());
  }
  out.emplace_back(rest);
  return out;
}

namespace {

// Replaces every target line by the pieces `split` makes of it (none: the line stays as it is),
// keeping the range on the pieces; false leaves the document untouched.
template <typename SplitLine>
bool SplitTargets(CQuenlarkDoc& doc, SplitLine split) {
  const LineArray& in = doc.Lines();
  LineArray out;
  out.Reserve(in.size());
  RangeShift shift(doc.rangeStart, doc.rangeEnd);
  std::vector<std::string> pieces;
  for (size_t i = 0; i < in.size(); ++i) {
    if (!doc.IsTargetLine(i)) {
      out.PushShared(in, i);
      continue;
    }
    pieces.clear();
    if (!split(in[i], pieces)) return false;
    if (pieces.empty()) {  // unchanged: keep sharing its bytes
      out.PushShared(in, i);
      continue;
    }
    for (std::string& p : pieces) out.PushBack(std::move(p));
    shift.Add(i, pieces.size() - 1);
  }
  doc.BeginUndoStep();
  doc.Lines() = std::move(out);
  shift.Apply(doc.rangeStart, doc.rangeEnd);
  doc.SetModified();
  return true;
}

bool FoldTargets(CQuenlarkDoc& doc, const KinsokuRules& kinsoku, bool keepIndent) {
  WaitCursor wait(doc.platform().ui);
  const FoldRules rules(kinsoku);
  doc.englishMode = Get(doc.platform().settings, keys::kTurnEnglish);
  const int width = doc.width;
  const int english = doc.englishMode;
  GrowthBudget budget;
  return SplitTargets(doc, [&](const std::string& line, std::vector<std::string>& out) {
    if (width < 1 || line.size() <= static_cast<size_t>(width)) return true;
    return keepIndent ? IndTurnChangeLine(line, width, rules, english, out, &budget)
                      : TurnChangeLine(line, width, rules, english, out, &budget);
  });
}

}  // namespace

bool TurnChange(CQuenlarkDoc& doc, const KinsokuRules& rules) { return FoldTargets(doc, rules, false); }

bool IndTurnChange(CQuenlarkDoc& doc, const KinsokuRules& rules) { return FoldTargets(doc, rules, true); }

void TurnIf(CQuenlarkDoc& doc, std::string_view text, int replace) {
  WaitCursor wait(doc.platform().ui);
  SplitTargets(doc, [&](const std::string& line, std::vector<std::string>& out) {
    if (!text.empty() && line.find(text) != std::string::npos) out = TurnIfLine(line, text, replace);
    return true;
  });
}

}  // namespace qlk
