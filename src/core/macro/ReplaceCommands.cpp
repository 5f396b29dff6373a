// Replacement and deletion of strings: the menu commands, their dialogs and macro keywords.
#include "macro/Bindings.h"
#include "macro/Escape.h"
#include "macro/Families.h"
#include "macro/Frame.h"
#include "macro/MacroLines.h"
#include "macro/MainState.h"
#include "ops/Replace.h"
#include "ops/ReplaceDlg.h"

namespace qlk {
namespace {

constexpr uint32_t kReplaceId = 32783;
constexpr uint32_t kSuperReplaceId = 32827;
constexpr uint32_t kReplaceDoubleId = 32915;
constexpr uint32_t kDelStrId = 32926;

// ---------------------------------------------------------------- menu commands

// The dialog's texts are typed in the escape notation, except a regular expression, which
// the engine reads as it stands.
void ReplaceCommand(MainState& m) {
  CReplaceDlg dlg(m.platform().settings, m.doc().RegexAvailable());
  RunSearch(
      m, dlg,
      [&dlg] {
        const int o = dlg.boxes.Options(), re = dlg.boxes.regex;
        return dlg.replacement.empty() ? ml::DelStr(dlg.search, o, re) : ml::Replace(dlg.search, dlg.replacement, o, re);
      },
      [&dlg](CQuenlarkDoc& d) {
        const std::string replacement = Unescape(dlg.replacement);
        if (dlg.boxes.regex) return RegexReplace(d, dlg.search, replacement, dlg.boxes.Options());
        return Replace(d, Unescape(dlg.search), replacement, dlg.boxes.Options());
      },
      [&dlg] { return dlg.boxes.regex ? Txt::ReplacedLines : Txt::ReplacedCount; });
}

void DelStrCommand(MainState& m) {
  CDelStrDlg dlg(m.platform().settings, m.doc().RegexAvailable());
  RunSearch(
      m, dlg, [&dlg] { return ml::DelStr(dlg.search, dlg.boxes.Options(), dlg.boxes.regex); },
      [&dlg](CQuenlarkDoc& d) {
        if (dlg.boxes.regex) return RegexReplace(d, dlg.search, "", dlg.boxes.Options());
        return Replace(d, Unescape(dlg.search), "", dlg.boxes.Options());
      },
      Txt::DeletedCount);
}

void SuperReplaceCommand(MainState& m) {
  CSReplaceDlg dlg(m.platform().settings);
  RunSearch(
      m, dlg, [&dlg] { return ml::SuperReplace(dlg.start, dlg.end, dlg.after); },
      [&dlg](CQuenlarkDoc& d) { return SuperReplace(d, Unescape(dlg.start), Unescape(dlg.end), Unescape(dlg.after)); },
      Txt::ReplacedCount);
}

void ReplaceDoubleCommand(MainState& m) {
  CReplaceDoubleDlg dlg;
  RunSearch(
      m, dlg,
      [&dlg] { return ml::ReplaceDouble(dlg.startBefore, dlg.startAfter, dlg.endBefore, dlg.endAfter, dlg.escape); },
      [&dlg](CQuenlarkDoc& d) {
        return ReplaceDouble(d, dlg.startBefore, dlg.startAfter, dlg.endBefore, dlg.endAfter, dlg.escape);
      },
      Txt::ReplacedCount);
}

// ---------------------------------------------------------------- macro keywords

// Counts are not shown in a macro run; a search that could not run at all is.
void Checked(MainState& m, int n) {
  if (n == kSearchFailed) ReportSearchFailure(m);
}

// Every form the recorder has ever written is read: the four-argument form it writes now,
// the three-argument form without the regex flag, and two older ones.
void ReplaceKeyword(MainState& m, const MacroArgs& a) {
  CQuenlarkDoc& d = m.doc();
  const size_t n = a.Count();
  if (n >= 4 && a.N(4) != 0) {
    // 0x01 0x01 once stood for an empty replacement.
    const std::string replacement = a.Raw(2) == "\x01\x01" ? std::string() : a.D(2);
    Checked(m, RegexReplace(d, a.Raw(1), replacement, a.N(3)));
  } else if (n >= 3) {
    Replace(d, a.D(1), a.D(2), a.N(3));
  } else if (n == 2) {
    // "Replace text  1": an empty replacement written bare leaves a space on the search.
    const std::string s = a.Raw(1), r = a.Raw(2);
    const bool digit = r.size() == 1 && r[0] >= '0' && r[0] <= '9';
    if (digit && !s.empty() && s.back() == ' ')
      Replace(d, Unescape(std::string_view(s).substr(0, s.size() - 1)), "", 0);
    else
      Replace(d, s, r, 0);
  } else if (n == 1) {
    Replace(d, a.Raw(1), "", 0);
  }
}

void DelStrKeyword(MainState& m, const MacroArgs& a) {
  if (a.N(3) != 0)
    Checked(m, RegexReplace(m.doc(), a.Raw(1), "", a.N(2)));
  else
    Replace(m.doc(), a.D(1), "", a.N(2));
}

void SuperReplaceKeyword(MainState& m, const MacroArgs& a) {
  if (a.Count() >= 3)
    SuperReplace(m.doc(), a.D(1), a.D(2), a.D(3));
  else
    SuperReplace(m.doc(), a.Raw(1), a.Raw(2), "");
}

// The texts as written, but "\b" is an empty one (an empty text written bare would shift the
// arguments after it).
std::string Typed(const MacroArgs& a, size_t i) {
  std::string t = a.Raw(i);
  return t == "\\b" ? std::string() : t;
}

void ReplaceDoubleKeyword(MainState& m, const MacroArgs& a) {
  ReplaceDouble(m.doc(), Typed(a, 1), Typed(a, 2), Typed(a, 3), Typed(a, 4), Typed(a, 5));
}

}  // namespace

void BindReplaceCommands(Bindings& b) {
  b.Command(kReplaceId, ReplaceCommand);
  b.Command(kDelStrId, DelStrCommand);
  b.Command(kSuperReplaceId, SuperReplaceCommand);
  b.Command(kReplaceDoubleId, ReplaceDoubleCommand);

  b.Keyword("Replace", ReplaceKeyword);
  b.Keyword("DelStr", DelStrKeyword);
  b.Keyword("SuperReplace", SuperReplaceKeyword);
  b.Keyword("ReplaceDouble", ReplaceDoubleKeyword);
}

}  // namespace qlk
