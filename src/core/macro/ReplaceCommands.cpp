// Replacement and deletion of strings: the menu commands, their dialogs and macro keywords.
#include <memory>

#include "macro/Bindings.h"
#include "macro/Escape.h"
#include "macro/Families.h"
#include "macro/Frame.h"
#include "macro/MacroLines.h"
#include "macro/MainState.h"
#include "ops/MultiReplace.h"
#include "ops/MultiReplaceDlg.h"
#include "ops/Replace.h"
#include "ops/ReplaceDlg.h"

namespace qlk {
namespace {

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

// Works on files only: neither the clipboard nor the document's lines are touched, so there
// is no reload and no store.
void MultiFileReplaceCommand(MainState& m) {
  CMultiReplaceDlg dlg(m.platform().settings);
  if (!m.platform().ui.RunDialog(dlg)) return;
  const std::string find = Unescape(dlg.find), replacement = Unescape(dlg.replace);
  MultiFileReplace(m.doc(), dlg.dir, dlg.file, find, replacement);
  m.WriteMacroLine(ml::MultiFileReplace(dlg.dir, dlg.file, dlg.find, replacement));
  CRReportDlg report(m.doc().multiReplaceFiles, m.doc().multiReplaceCount);
  m.platform().ui.RunDialog(report);
}

// ---------------------------------------------------------------- macro keywords

// Counts are not shown in a macro run (SearchRan); a search that could not run at all is.

// What a Replace line asks for. Every form the recorder has ever written is read: the
// four-argument form it writes now, the three-argument form without the regex flag, and two
// older ones.
struct ReplaceArgs {
  bool none = false, regex = false;
  std::string find, replacement;
  int options = 0;
};

ReplaceArgs ReadReplaceArgs(const MacroArgs& a) {
  ReplaceArgs r;
  const size_t n = a.Count();
  if (n >= 4 && a.N(4) != 0) {
    r.regex = true;
    r.find = a.Raw(1);
    // 0x01 0x01 once stood for an empty replacement.
    r.replacement = a.Raw(2) == "\x01\x01" ? std::string() : a.D(2);
    r.options = a.N(3);
  } else if (n >= 3) {
    r.find = a.D(1);
    r.replacement = a.D(2);
    r.options = a.N(3);
  } else if (n == 2) {
    // "Replace text  1": an empty replacement written bare leaves a space on the search.
    const std::string s = a.Raw(1), t = a.Raw(2);
    const bool digit = t.size() == 1 && t[0] >= '0' && t[0] <= '9';
    if (digit && !s.empty() && s.back() == ' ') {
      r.find = Unescape(std::string_view(s).substr(0, s.size() - 1));
    } else {
      r.find = s;
      r.replacement = t;
    }
  } else if (n == 1) {
    r.find = a.Raw(1);
  } else {
    r.none = true;
  }
  return r;
}

bool ReplaceKeyword(MainState& m, const MacroArgs& a) {
  const ReplaceArgs r = ReadReplaceArgs(a);
  if (r.none) return true;
  if (r.regex) return SearchRan(m, RegexReplace(m.doc(), r.find, r.replacement, r.options));
  return SearchRan(m, Replace(m.doc(), r.find, r.replacement, r.options));
}

// The plain replace of one line, for a long text streamed a line at a time. (An expression
// runs whole: the engine may fail on any line, and then nothing must be written.)
Bindings::LineFn PlainReplaceLines(std::string find, std::string replacement, int options) {
  auto searcher = std::make_shared<const Searcher>(find, options);
  auto buf = std::make_shared<std::string>();
  return [searcher, buf, replacement = std::move(replacement)](std::string_view l, std::string& out) {
    if (ReplaceLine(l, *searcher, replacement, *buf) > 0)
      out += *buf;
    else
      out += l;
  };
}

// The regular-expression replace of one line, for a long text streamed a line at a time, with
// the document's engine as the whole-text replace would use it. A malformed expression gives
// no conversion: the whole run reports it before anything is written. An engine that fails
// later, on one line (a runaway match), says so once and leaves the lines from there on as
// they were.
Bindings::LineFn RegexReplaceLines(MainState& m, const std::string& pattern, std::string replacement, int options) {
  IRegex* re = m.doc().Regex();
  if (!re || !re->SetPattern(pattern) || !re->SetGlobal(true) || !re->SetIgnoreCase((options & kIgnoreCase) != 0) ||
      !re->Test(std::string_view()))
    return {};
  const bool empty = pattern.empty();  // matches everywhere without moving on: no change
  auto buf = std::make_shared<std::string>();
  auto failed = std::make_shared<bool>(false);
  auto line = [&m, re, empty, buf, failed, replacement = std::move(replacement)](std::string_view l, std::string& out) {
    if (!empty && !*failed) {
      const SearchResult n = RegexReplaceLine(*re, m.platform().codepage, l, replacement, *buf);
      if (n.count > 0) return void(out += *buf);
      if (n.failed) {
        *failed = true;
        ReportSearchFailure(m);
      }
    }
    out += l;
  };
  return Bindings::LineFn(std::move(line), [failed] { return *failed; });
}

bool DelStrKeyword(MainState& m, const MacroArgs& a) {
  if (a.N(3) != 0) return SearchRan(m, RegexReplace(m.doc(), a.Raw(1), "", a.N(2)));
  return SearchRan(m, Replace(m.doc(), a.D(1), "", a.N(2)));
}

bool SuperReplaceKeyword(MainState& m, const MacroArgs& a) {
  if (a.Count() >= 3) return SearchRan(m, SuperReplace(m.doc(), a.D(1), a.D(2), a.D(3)));
  return SearchRan(m, SuperReplace(m.doc(), a.Raw(1), a.Raw(2), ""));
}

// The texts as written, but "\b" is an empty one (an empty text written bare would shift the
// arguments after it).
std::string Typed(const MacroArgs& a, size_t i) {
  std::string t = a.Raw(i);
  return t == "\\b" ? std::string() : t;
}

bool ReplaceDoubleKeyword(MainState& m, const MacroArgs& a) {
  return SearchRan(m, ReplaceDouble(m.doc(), Typed(a, 1), Typed(a, 2), Typed(a, 3), Typed(a, 4), Typed(a, 5)));
}

// The folder and the pattern as written; the word and the replacement decoded.
bool MultiFileReplaceKeyword(MainState& m, const MacroArgs& a) {
  return MultiFileReplace(m.doc(), a.Raw(1), a.Raw(2), a.D(3), a.D(4));
}

}  // namespace

void BindReplaceCommands(Bindings& b) {
  b.Command(Cmd::Replace, ReplaceCommand);
  b.Command(Cmd::DelStr, DelStrCommand);
  b.Command(Cmd::SuperReplace, SuperReplaceCommand);
  b.Command(Cmd::ReplaceDouble, ReplaceDoubleCommand);
  b.Command(Cmd::MultiFileReplace, MultiFileReplaceCommand);

  b.Keyword(Kw::Replace, ReplaceKeyword);
  b.Keyword(Kw::DelStr, DelStrKeyword);
  b.Keyword(Kw::SuperReplace, SuperReplaceKeyword);
  b.Keyword(Kw::ReplaceDouble, ReplaceDoubleKeyword);
  b.Keyword(Kw::MultiFileReplace, MultiFileReplaceKeyword);

  b.LineKeyword(Kw::Replace, [](MainState& m, const MacroArgs& a) -> Bindings::LineFn {
    ReplaceArgs r = ReadReplaceArgs(a);
    if (r.none) return {};
    if (r.regex) return RegexReplaceLines(m, r.find, std::move(r.replacement), r.options);
    return PlainReplaceLines(std::move(r.find), std::move(r.replacement), r.options);
  });
  b.LineKeyword(Kw::DelStr, [](MainState& m, const MacroArgs& a) -> Bindings::LineFn {
    if (a.N(3) != 0) return RegexReplaceLines(m, a.Raw(1), "", a.N(2));
    return PlainReplaceLines(a.D(1), "", a.N(2));
  });
}

}  // namespace qlk
