#include "macro/MacroLines.h"

#include "conv/Sjis.h"
#include "macro/Escape.h"
#include "macro/Keywords.h"

namespace qlk::ml {
namespace {

// A regular expression without spaces, which would split it into arguments: each space
// becomes `space`. An escaped space ("\ ") loses its backslash, which would otherwise escape
// the backslash of `space`. Double-byte aware: the trail byte of ソ (0x83 0x5C) is no backslash.
std::string SpacedExpression(std::string_view re, const char* space) {
  std::string s;
  s.reserve(re.size() + 8);
  size_t backslashes = 0;
  for (size_t i = 0; i < re.size();) {
    const size_t n = sjis::CharLen(re, i);
    if (n == 1 && re[i] == ' ') {
      if (backslashes % 2) s.pop_back();
      s += space;
      backslashes = 0;
    } else {
      backslashes = (n == 1 && re[i] == '\\') ? backslashes + 1 : 0;
      s.append(re.substr(i, n));
    }
    i += n;
  }
  return s;
}

}  // namespace

std::string OverwriteString(int c, std::string_view t) { return Line(Kw::OverwriteString, c, EscapeTyped(t)); }
std::string RenoString(int inc, int dig, int col, int start, int blank) {
  return Line(Kw::RenoString, inc, dig, col, start, blank);
}
std::string KetaChange(int w) { return Line(Kw::KetaChange, w); }
std::string IndentChange(int w) { return Line(Kw::IndentChange, w); }
std::string TurnChange(int w) { return Line(Kw::TurnChange, w); }
std::string IndTurnChange(int w) { return Line(Kw::IndTurnChange, w); }
std::string InsertString(int c, std::string_view t) { return Line(Kw::InsertString, c, Escape(t)); }
std::string DeletePos(int a, int b) { return Line(Kw::DeletePos, a, b); }

std::string Replace(std::string_view search, std::string_view repl, int options, int regex) {
  const std::string s = regex ? SpacedExpression(search, "\\s") : Escape(search);
  return Line(Kw::Replace, s, Escape(repl), options, regex);
}

std::string DelStr(std::string_view search, int options, int regex) {
  // \x20 is the same character to both engines, where \s would also take tabs.
  const std::string s = regex ? SpacedExpression(search, "\\x20") : Escape(search);
  return Line(Kw::DelStr, s, options, regex);
}

std::string SjisToEuc(int o) { return Line(Kw::SjisToEuc, o); }
std::string ZenToHan2(int k) { return Line(Kw::ZenToHan2, k); }
std::string HanToZen2(int k) { return Line(Kw::HanToZen2, k); }
std::string ZenToHanSw(int b) { return Line(Kw::ZenToHanSw, b); }
std::string HanToZenSw(int b) { return Line(Kw::HanToZenSw, b); }
std::string StrCat(std::string_view t) { return Line(Kw::StrCat, EscapeTyped(t)); }
// The start and end strings go in escape form too: the three-argument line is read back
// decoded, and a space or an empty end string written as typed would shift the arguments.
std::string SuperReplace(std::string_view a, std::string_view b, std::string_view r) {
  return Line(Kw::SuperReplace, Escape(a), Escape(b), Escape(r));
}
std::string LineSelect(int step, std::string_view pattern, int start, int end, int regex) {
  return Line(Kw::LineSelect, step, EscapeTyped(pattern), start, end, regex);
}
std::string LineSelect(int step, int start, int end) { return Line(Kw::LineSelect, step, start, end); }
std::string SpaceInsert(int c, int n, int o) { return Line(Kw::SpaceInsert, c, n, o); }
std::string OnelineNo(int n) { return Line(Kw::OnelineNo, n); }
std::string TurnIf(std::string_view t, int r) { return Line(Kw::TurnIf, EscapeTyped(t), r); }
std::string TabIf(std::string_view t, int r) { return Line(Kw::TabIf, EscapeTyped(t), r); }
std::string SpToCsv(int a, int b) { return Line(Kw::SpToCsv, a, b); }
std::string MultiFileReplace(std::string_view folder, std::string_view files, std::string_view search,
                             std::string_view repl) {
  return Line(Kw::MultiFileReplace, folder, files, search, Escape(repl));
}
std::string TabSpace(int w) { return Line(Kw::TabSpace, w); }
std::string SpaceTab(int w) { return Line(Kw::SpaceTab, w); }
// As typed, but an empty text (an after-text that removes the brackets, no escape character)
// as "\b", which the interpreter reads back as empty; written bare, it would shift the rest.
std::string ReplaceDouble(std::string_view a, std::string_view b, std::string_view c, std::string_view d,
                          std::string_view e) {
  auto typed = [](std::string_view t) { return t.empty() ? std::string("\\b") : std::string(t); };
  return Line(Kw::ReplaceDouble, typed(a), typed(b), typed(c), typed(d), typed(e));
}
std::string Sort(const std::vector<CSortItem>& keys) {
  std::string s = KeywordName(Kw::Sort);
  for (const CSortItem& k : keys)
    for (int n : {k.descending, k.firstColumn, k.lastColumn, k.numeric}) s += " " + std::to_string(n);
  return s;
}
std::string DupLineDel(int p, int a, int b, int s) { return Line(Kw::DupLineDel, p, a, b, s); }
std::string InsertEndLine(std::string_view t) { return Line(Kw::InsertEndLine, EscapeTyped(t)); }
std::string Open(std::string_view path) { return Line(Kw::Open, path); }
std::string Save(std::string_view path) { return path.empty() ? KeywordName(Kw::Save) : Line(Kw::Save, path); }

}  // namespace qlk::ml
