#pragma once
// Folding lines at a width with the Japanese line-breaking rules, and breaking lines at a
// string. Widths and positions are bytes; a double-byte character counts two.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ops/Growth.h"
#include "ops/Kinsoku.h"

namespace qlk {

class CQuenlarkDoc;

// English modes: how a run of Latin letters cut by the fold is treated.
enum EnglishMode { kEnglishNormal = 0, kEnglishNextLine = 1, kEnglishHyphen = 2 };

// The lead-byte test of the fold rules: whether s[k] is the lead byte of a character, the text
// being parsed from its start; true at and beyond the end. Same answer as sjis::IsLeadAt, but
// decided from the bytes just before k, so a long line is not rescanned for every piece.
bool LeadByteAt(std::string_view s, size_t k);

// The rules ready for a fold run: the character lists as sets of codes (lead * 256 + trail, or
// the single byte), so that each piece looks its candidates up at once. Made from the rules
// implicitly, so a one-off call can pass KinsokuRules.
class FoldRules {
 public:
  FoldRules(const KinsokuRules& rules);  // implicit on purpose
  bool hanging, pushOut, noBreakInTags;
  bool First(uint16_t code) const { return Has(first_, code); }
  bool Last(uint16_t code) const { return Has(last_, code); }

 private:
  static bool Has(const std::vector<uint64_t>& set, uint16_t code) {
    return !set.empty() && (set[code >> 6] >> (code & 63) & 1) != 0;
  }
  std::vector<uint64_t> first_, last_;
};

// Where the head piece of `s` ends when the fold is proposed at `p`: `end` bytes, and whether
// a hyphen follows them (English mode 2). Every piece keeps at least one character, so a fold
// always advances. `s` starts at a character boundary.
struct FoldCut {
  size_t end = 0;
  bool hyphen = false;
};
FoldCut FoldPiece(std::string_view s, size_t p, const FoldRules& rules, int englishMode);

// One line folded at `width`: the pieces, in order. A width below 1 leaves the line whole.
// With a budget, false (and partial output) once the added hyphens exceed it.
bool TurnChangeLine(std::string_view line, int width, const FoldRules& rules, int englishMode,
                    std::vector<std::string>& out, GrowthBudget* budget = nullptr);
// As TurnChangeLine, every piece after the first led by the line's indent (its leading
// half-width and full-width blanks); never hyphenates. An indent as wide as the width
// leaves the line whole.
bool IndTurnChangeLine(std::string_view line, int width, const FoldRules& rules, int englishMode,
                       std::vector<std::string>& out, GrowthBudget* budget = nullptr);
// The leading blanks of a line (0x20 and the full-width space), in bytes.
size_t IndentLength(std::string_view line);

// One line broken after (replace 0) or at (replace non-zero, dropping it) every occurrence of
// `text` found on a character boundary. An empty text leaves the line whole.
std::vector<std::string> TurnIfLine(std::string_view line, std::string_view text, int replace);

// Document operations over the target lines. The range of target lines grows with the pieces.
// The two folds read the English mode from the settings; false when the result would grow
// beyond the budget (the document is then left as it was).
bool TurnChange(CQuenlarkDoc& doc, const KinsokuRules& rules);
bool IndTurnChange(CQuenlarkDoc& doc, const KinsokuRules& rules);
void TurnIf(CQuenlarkDoc& doc, std::string_view text, int replace);

}  // namespace qlk
