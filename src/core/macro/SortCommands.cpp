// Sorting, reversing and duplicate removal: menu handlers and macro keywords.
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Frame.h"
#include "macro/MacroLines.h"
#include "ops/Sort.h"
#include "ops/SortDlg.h"

namespace qlk {
namespace {

void SortCommand(MainState& m) {
  CSortDlg dlg(m.platform().settings);
  RunDialog(
      m, dlg,
      [&] {
        m.doc().sortKeys = dlg.Keys();
        return ml::Sort(m.doc().sortKeys);
      },
      Sort);
}

void DupLineDelCommand(MainState& m) {
  CDupLineDelDlg dlg(m.platform().settings);
  RunDialog(
      m, dlg, [&] { return ml::DupLineDel(dlg.partial, dlg.start, dlg.end, dlg.sorted); },
      [&](CQuenlarkDoc& d) { DupLineDel(d, dlg.partial, dlg.start, dlg.end, dlg.sorted); });
}

// "Sort" followed by groups of four numbers, one key each; an incomplete group is ignored.
void SortKeyword(MainState& m, const MacroArgs& a) {
  std::vector<CSortItem>& keys = m.doc().sortKeys;
  keys.clear();
  for (size_t i = 1; i + 3 <= a.Count(); i += 4) keys.push_back({a.N(i), a.N(i + 1), a.N(i + 2), a.N(i + 3)});
  Sort(m.doc());
}

}  // namespace

void BindSortCommands(Bindings& b) {
  b.Plain(Cmd::Sort1, Sort1);
  b.Plain(Cmd::Sort2, Sort2);
  b.Plain(Cmd::Reverse, Reverse);  // its keyword, written by the recorder, replays as the menu does
  b.Command(Cmd::Sort, SortCommand);
  b.Command(Cmd::DupLineDel, DupLineDelCommand);
  b.Keyword(Kw::Sort, SortKeyword);
  b.Keyword(Kw::DupLineDel,
            [](MainState& m, const MacroArgs& a) { DupLineDel(m.doc(), a.N(1), a.N(2), a.N(3), a.N(4)); });
}

}  // namespace qlk
