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
  b.Plain(32831, Sort1);
  b.Plain(32832, Sort2);
  b.Plain(32814, Reverse);
  b.Command(32918, SortCommand);
  b.Command(32923, DupLineDelCommand);
  auto plain = [](void (*op)(CQuenlarkDoc&)) { return [op](MainState& m, const MacroArgs&) { op(m.doc()); }; };
  b.Keyword("Sort1", plain(Sort1));
  b.Keyword("Sort2", plain(Sort2));
  b.Keyword("Reverse", plain(Reverse));  // written by the recorder; replays as the menu does
  b.Keyword("Sort", SortKeyword);
  b.Keyword("DupLineDel",
            [](MainState& m, const MacroArgs& a) { DupLineDel(m.doc(), a.N(1), a.N(2), a.N(3), a.N(4)); });
}

}  // namespace qlk
