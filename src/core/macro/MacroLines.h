#pragma once
// One formatter per macro keyword: the lines the recorder writes and the interpreter reads.
// Texts marked "typed" go out as the user typed them; the others in escape form. The texts
// that a command uses as typed (overwrite, append, break and tab strings, the selection
// pattern, the last line) are written with their backslashes doubled, so that replay gives
// the same text.
#include <string>
#include <string_view>
#include <vector>

#include "doc/Document.h"
#include "macro/Keywords.h"

namespace qlk::ml {

// The line of keyword `k` and its arguments, each after one space: numbers in decimal, texts
// as given (pass them through Escape or EscapeTyped first, as the keyword reads them back).
// A new keyword's line needs no function of its own: ml::Line(Kw::X, column, Escape(text)).
inline void AppendArg(std::string& s, int n) { s += std::to_string(n); }
inline void AppendArg(std::string& s, std::string_view text) { s += text; }
template <class... Args>
std::string Line(Kw k, const Args&... args) {
  std::string s = KeywordName(k);
  ((s += ' ', AppendArg(s, args)), ...);
  return s;
}

std::string OverwriteString(int column, std::string_view text);
std::string RenoString(int increment, int digits, int column, int start, int blankFill);
std::string KetaChange(int width);
std::string IndentChange(int width);
std::string TurnChange(int width);
std::string IndTurnChange(int width);
std::string InsertString(int column, std::string_view text);
std::string DeletePos(int first, int last);
// The search in escape form, or with regex on as typed with every space as "\s" (an escaped
// space too).
std::string Replace(std::string_view search, std::string_view replacement, int options, int regex);
// The search in escape form, or with regex on as typed with every space as "\x20" (an
// escaped space too).
std::string DelStr(std::string_view search, int options, int regex);
std::string SjisToEuc(int option);
std::string ZenToHan2(int kind);
std::string HanToZen2(int kind);
std::string ZenToHanSw(int bits);
std::string HanToZenSw(int bits);
std::string StrCat(std::string_view text);
// All three in escape form (the texts as typed in the dialog, which are in that notation).
std::string SuperReplace(std::string_view typedStart, std::string_view typedEnd, std::string_view replacement);
std::string LineSelect(int step, std::string_view pattern, int start, int end, int regex);
std::string LineSelect(int step, int start, int end);
std::string SpaceInsert(int column, int count, int overwrite);
std::string OnelineNo(int lines);
std::string TurnIf(std::string_view text, int replace);
std::string TabIf(std::string_view text, int replace);
std::string SpToCsv(int first, int last);
std::string MultiFileReplace(std::string_view typedFolder, std::string_view typedFiles, std::string_view typedSearch,
                             std::string_view replacement);
std::string TabSpace(int width);
std::string SpaceTab(int width);
// The five as typed; an empty one as "\b".
std::string ReplaceDouble(std::string_view startBefore, std::string_view startAfter, std::string_view endBefore,
                          std::string_view endAfter, std::string_view escape);
std::string Sort(const std::vector<CSortItem>& keys);
std::string DupLineDel(int partial, int first, int last, int sorted);
std::string InsertEndLine(std::string_view text);
std::string Open(std::string_view path);
std::string Save(std::string_view path);  // "" writes the bare "Save"

}  // namespace qlk::ml
