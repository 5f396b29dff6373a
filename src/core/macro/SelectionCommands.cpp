// Target-line selection: its dialog and the selection keywords (select all, exclusive selection,
// copy, undo and redo are run by the dispatch from their rows' frames).
#include <algorithm>
#include <utility>

#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Frame.h"
#include "macro/MacroLines.h"
#include "macro/SearchDlg.h"

namespace qlk {

std::vector<Field> CSearchDlg::Fields() {
  return {Field::Int(kStart, start), Field::Int(kEnd, end), Field::Text(kPattern, pattern),
          Field::Check(kRegex, regex), Field::Int(kStep, step, 1, 32767)};
}

bool CSearchDlg::OnCommand(int control, DialogHost&) {
  if (control != kAllLines) return false;
  start = 1;
  end = lineCount_;
  step = 1;
  pattern.clear();  // the regex box keeps its state
  return true;
}

bool CSearchDlg::OnOk(DialogHost&) {
  if (end < start) std::swap(start, end);
  return true;
}

namespace {

void LineSelectCommand(MainState& m) {
  if (!m.Reload()) return;
  CQuenlarkDoc& d = m.doc();
  CSearchDlg dlg(d.rangeStart, d.rangeEnd, d.LineCount(), d.step, d.pattern, d.regexFlag, d.RegexAvailable());
  if (!m.platform().ui.RunDialog(dlg)) return;
  d.step = dlg.step;
  d.pattern = dlg.pattern;
  d.rangeStart = dlg.start;
  d.rangeEnd = dlg.end;
  d.regexFlag = dlg.regex ? 1 : 0;
  m.WriteMacroLine(d.pattern.empty() ? ml::LineSelect(d.step, d.rangeStart, d.rangeEnd)
                                     : ml::LineSelect(d.step, d.pattern, d.rangeStart, d.rangeEnd, d.regexFlag));
}

void LineSelectKeyword(MainState& m, const MacroArgs& a) {
  CQuenlarkDoc& d = m.doc();
  // A step below 1 would make the target test divide by nothing: the line is refused.
  if (a.N(1) < 1) return;
  if (a.Count() >= 5) {
    d.step = a.N(1);
    d.pattern = a.D(2);
    d.rangeStart = a.N(3);
    d.rangeEnd = a.N(4);
    d.regexFlag = a.N(5) ? 1 : 0;
  } else if (a.Count() == 4) {
    d.step = a.N(1);
    d.pattern = a.Raw(2);
    d.rangeStart = a.N(3);
    d.rangeEnd = a.N(4);
  } else {
    d.step = a.N(1);
    d.rangeStart = a.N(2);
    d.rangeEnd = a.N(3);
  }
}

}  // namespace

void BindSelectionCommands(Bindings& b) {
  // Select all, exclusive selection, copy, undo and redo are run by the dispatch (their rows'
  // frames); their keywords are the same frames.
  b.Command(Cmd::LineSelect, LineSelectCommand);
  b.Keyword(Kw::LineSelect, LineSelectKeyword);
  b.Keyword(Kw::TextAll, [](MainState& m, const MacroArgs&) { return SelectAllFrame(m); });
  // Over a whole text it changes no byte.
  b.LineKeyword(Kw::TextAll, [](MainState&, const MacroArgs&) {
    const auto copy = [](std::string_view l, char* to) { return std::copy(l.begin(), l.end(), to); };
    const auto copyPiece = [](std::string_view rest, bool, uint32_t&, char*& to) {
      to = std::copy(rest.begin(), rest.end(), to);
      return rest.size();
    };
    return Bindings::LineFn(Bindings::RawLine{[](size_t n) { return n; }, copy, copy, copyPiece});
  });
  b.Keyword(Kw::Notsel, [](MainState& m, const MacroArgs&) { return NotselFrame(m); });
  b.Keyword(Kw::Copy, [](MainState& m, const MacroArgs&) { return m.Store(); });
}

}  // namespace qlk
