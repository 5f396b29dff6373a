#include "macro/MacroLines.h"

#include "conv/Sjis.h"
#include "macro/Escape.h"
#include "macro/Keywords.h"

namespace qlk::ml {
namespace {

std::string Nums(Kw k, std::initializer_list<int> nums) {
  std::string s = KeywordName(k);
  for (int n : nums) {
    s += ' ';
    s += std::to_string(n);
  }
  return s;
}

std::string Join(Kw k, std::initializer_list<std::string_view> parts) {
  std::string s = KeywordName(k);
  for (std::string_view p : parts) {
    s += ' ';
    s += p;
  }
  return s;
}

std::string N(int n) { return std::to_string(n); }

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

std::string OverwriteString(int c, std::string_view t) { return Join(Kw::OverwriteString, {N(c), EscapeTyped(t)}); }
std::string RenoString(int inc, int dig, int col, int start, int blank) {
  return Nums(Kw::RenoString, {inc, dig, col, start, blank});
}
std::string KetaChange(int w) { return Nums(Kw::KetaChange, {w}); }
std::string IndentChange(int w) { return Nums(Kw::IndentChange, {w}); }
std::string TurnChange(int w) { return Nums(Kw::TurnChange, {w}); }
std::string IndTurnChange(int w) { return Nums(Kw::IndTurnChange, {w}); }
std::string InsertString(int c, std::string_view t) { return Join(Kw::InsertString, {N(c), Escape(t)}); }
std::string DeletePos(int a, int b) { return Nums(Kw::DeletePos, {a, b}); }

std::string Replace(std::string_view search, std::string_view repl, int options, int regex) {
  const std::string s = regex ? SpacedExpression(search, "\\s") : Escape(search);
  return Join(Kw::Replace, {s, Escape(repl), N(options), N(regex)});
}

std::string DelStr(std::string_view search, int options, int regex) {
  // \x20 is the same character to both engines, where \s would also take tabs.
  const std::string s = regex ? SpacedExpression(search, "\\x20") : Escape(search);
  return Join(Kw::DelStr, {s, N(options), N(regex)});
}

std::string SjisToEuc(int o) { return Nums(Kw::SjisToEuc, {o}); }
std::string ZenToHan2(int k) { return Nums(Kw::ZenToHan2, {k}); }
std::string HanToZen2(int k) { return Nums(Kw::HanToZen2, {k}); }
std::string ZenToHanSw(int b) { return Nums(Kw::ZenToHanSw, {b}); }
std::string HanToZenSw(int b) { return Nums(Kw::HanToZenSw, {b}); }
std::string StrCat(std::string_view t) { return Join(Kw::StrCat, {EscapeTyped(t)}); }
// The start and end strings go in escape form too: the three-argument line is read back
// decoded, and a space or an empty end string written as typed would shift the arguments.
std::string SuperReplace(std::string_view a, std::string_view b, std::string_view r) {
  return Join(Kw::SuperReplace, {Escape(a), Escape(b), Escape(r)});
}
std::string LineSelect(int step, std::string_view pattern, int start, int end, int regex) {
  return Join(Kw::LineSelect, {N(step), EscapeTyped(pattern), N(start), N(end), N(regex)});
}
std::string LineSelect(int step, int start, int end) { return Nums(Kw::LineSelect, {step, start, end}); }
std::string SpaceInsert(int c, int n, int o) { return Nums(Kw::SpaceInsert, {c, n, o}); }
std::string OnelineNo(int n) { return Nums(Kw::OnelineNo, {n}); }
std::string TurnIf(std::string_view t, int r) { return Join(Kw::TurnIf, {EscapeTyped(t), N(r)}); }
std::string TabIf(std::string_view t, int r) { return Join(Kw::TabIf, {EscapeTyped(t), N(r)}); }
std::string SpToCsv(int a, int b) { return Nums(Kw::SpToCsv, {a, b}); }
std::string MultiFileReplace(std::string_view folder, std::string_view files, std::string_view search,
                             std::string_view repl) {
  return Join(Kw::MultiFileReplace, {folder, files, search, Escape(repl)});
}
std::string TabSpace(int w) { return Nums(Kw::TabSpace, {w}); }
std::string SpaceTab(int w) { return Nums(Kw::SpaceTab, {w}); }
// As typed, but an empty text (an after-text that removes the brackets, no escape character)
// as "\b", which the interpreter reads back as empty; written bare, it would shift the rest.
std::string ReplaceDouble(std::string_view a, std::string_view b, std::string_view c, std::string_view d,
                          std::string_view e) {
  auto typed = [](std::string_view t) { return t.empty() ? std::string("\\b") : std::string(t); };
  return Join(Kw::ReplaceDouble, {typed(a), typed(b), typed(c), typed(d), typed(e)});
}
std::string Sort(const std::vector<CSortItem>& keys) {
  std::string s = KeywordName(Kw::Sort);
  for (const CSortItem& k : keys)
    for (int n : {k.descending, k.firstColumn, k.lastColumn, k.numeric}) s += " " + std::to_string(n);
  return s;
}
std::string DupLineDel(int p, int a, int b, int s) { return Nums(Kw::DupLineDel, {p, a, b, s}); }
std::string InsertEndLine(std::string_view t) { return Join(Kw::InsertEndLine, {EscapeTyped(t)}); }
std::string Open(std::string_view path) { return Join(Kw::Open, {path}); }
std::string Save(std::string_view path) { return path.empty() ? KeywordName(Kw::Save) : Join(Kw::Save, {path}); }

}  // namespace qlk::ml
