// Fuzz target: folding with the line-breaking rules, and breaking at a string. The pieces of
// a fold give the line back (its hyphens taken out, the indent taken off the later pieces),
// none is empty, each starts on a character boundary, and each stays within the width but
// for what the rules allow (a double-byte character wider than the width, one hanging
// character, a hyphen; a tag kept whole has no bound). The quick lead-byte test agrees with
// the scan from the start.
#include "FuzzTarget.h"
#include "conv/Sjis.h"
#include "ops/Fold.h"

using namespace qlk;

namespace {

bool IsBoundary(std::string_view s, size_t k) {
  size_t i = 0;
  while (i < k) i += sjis::CharLen(s, i);
  return i == k;
}

// Walks the pieces over the line; false when they do not give it back.
bool Rebuild(std::string_view line, const std::vector<std::string>& pieces, size_t indent, bool hyphens,
             size_t most) {
  if (line.empty()) return pieces.size() == 1 && pieces[0].empty();
  size_t pos = 0;
  for (size_t k = 0; k < pieces.size(); ++k) {
    std::string_view p = pieces[k];
    if (k > 0 && indent) {
      if (p.substr(0, indent) != line.substr(0, indent)) return false;
      p.remove_prefix(indent);
    }
    if (p.empty() || !IsBoundary(line, pos)) return false;
    if (line.substr(pos, p.size()) != p) {
      // Only a hyphen the fold added may differ: it stands after a letter the line goes on from.
      if (!hyphens || k + 1 == pieces.size() || p.back() != '-' || line.substr(pos, p.size() - 1) != p.substr(0, p.size() - 1))
        return false;
      p.remove_suffix(1);
    }
    if (p.size() > most) return false;
    pos += p.size();
  }
  return pos == line.size();
}

}  // namespace

QLK_FUZZ_TARGET(fold) {
  fuzz::Input in(data, size);
  const uint8_t flags = in.Byte();
  const int width = in.Int(-2, 120);
  const int english = in.Int(-1, 3);
  KinsokuRules rules;
  rules.hanging = flags & 1;
  rules.pushOut = flags & 2;
  rules.noBreakInTags = flags & 4;
  rules.first = in.Text(12);
  rules.last = in.Text(12);
  const std::string_view breakAt = in.Text(4);
  const std::string_view line = in.Rest();
  const FoldRules ready(rules);

  for (size_t k = 0; k <= line.size() + 1; k += 1 + k / 64) FUZZ_CHECK(LeadByteAt(line, k) == sjis::IsLeadAt(line, k));

  // Past the width: a double-byte character that does not fit alone, then one hanging character.
  const size_t most = rules.noBreakInTags ? line.size() : static_cast<size_t>(std::max(width, 2)) + 2;
  std::vector<std::string> pieces;
  FUZZ_CHECK(TurnChangeLine(line, width, ready, english, pieces));
  FUZZ_CHECK(Rebuild(line, pieces, 0, english == kEnglishHyphen, width < 1 ? line.size() : most));

  pieces.clear();
  FUZZ_CHECK(IndTurnChangeLine(line, width, ready, english, pieces));
  const size_t indent = IndentLength(line);
  FUZZ_CHECK(indent == 0 || IsBoundary(line, indent));
  FUZZ_CHECK(Rebuild(line, pieces, pieces.size() > 1 ? indent : 0, false, line.size()));

  std::vector<bool> boundaries(line.size() + 1, false);
  for (size_t i = 0; i < line.size(); i += sjis::CharLen(line, i)) boundaries[i] = true;
  boundaries[line.size()] = true;
  for (int replace : {0, 1}) {
    const std::vector<std::string> parts = TurnIfLine(line, breakAt, replace);
    std::string joined;
    for (size_t k = 0; k < parts.size(); ++k) {
      FUZZ_CHECK(joined.size() <= line.size() && boundaries[joined.size()]);  // no break takes half of a character
      if (k > 0 && replace) joined += breakAt;
      FUZZ_CHECK(joined.size() <= line.size() && boundaries[joined.size()]);
      if (k + 1 < parts.size() && !replace)
        FUZZ_CHECK(parts[k].size() >= breakAt.size() && parts[k].ends_with(breakAt));
      joined += parts[k];
    }
    FUZZ_CHECK(joined == line);
    FUZZ_CHECK(breakAt.empty() || parts.size() - 1 <= line.size() / breakAt.size());
  }
  return 0;
}
