// Blanks, tabs, alignment, comma separation, joining and stray line ends: menu handlers and
// macro keywords.
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Frame.h"
#include "macro/MacroLines.h"
#include "ops/BlankDlg.h"
#include "ops/Blanks.h"

namespace qlk {
namespace {

using TabOp = void (*)(CQuenlarkDoc&, int);

void TabCommand(MainState& m, TabOp op, std::string (*line)(int)) {
  CTabDlg dlg(m.platform().settings);
  RunDialog(m, dlg, [&] { return line(dlg.width); }, [&](CQuenlarkDoc& d) { op(d, dlg.width); });
}

void TabIfCommand(MainState& m) {
  CTabIfDlg dlg(m.platform().settings);
  RunDialog(m, dlg, [&] { return ml::TabIf(dlg.text, dlg.replace); },
            [&](CQuenlarkDoc& d) { TabIf(d, dlg.text, dlg.replace); });
}

void SpToCsvCommand(MainState& m) {
  CSptocsvDlg dlg(m.platform().settings);
  RunDialog(m, dlg, [&] { return ml::SpToCsv(dlg.start, dlg.end); },
            [&](CQuenlarkDoc& d) { SpToCsv(d, dlg.start, dlg.end); });
}

// After the joining the range covers every line again, so the lines that follow in a macro
// reach all the joined lines.
void OnelineNoAndRange(CQuenlarkDoc& d, int count) {
  if (count < 2) return;
  OnelineNo(d, count);
  d.rangeEnd = d.LineCount();
}

void OnelineNoCommand(MainState& m) {
  COnelineDlg dlg(m.platform().settings);
  RunDialog(m, dlg, [&] { return ml::OnelineNo(dlg.count); },
            [&](CQuenlarkDoc& d) { OnelineNoAndRange(d, dlg.count); });
}

}  // namespace

void BindBlankCommands(Bindings& b) {
  struct PlainOp {
    uint32_t id;
    const char* keyword;
    void (*op)(CQuenlarkDoc&);
  };
  static constexpr PlainOp kPlain[] = {
      {32799, "DelSpaceLine", DelSpaceLine}, {32800, "DelSpaceMultiLine", DelSpaceMultiLine},
      {32822, "DelSpaceOnly", DelSpaceOnly}, {32797, "DelSpaceFirst", DelSpaceFirst},
      {32798, "DelSpaceBack", DelSpaceBack}, {32908, "ToCenter", ToCenter},
      {32909, "ToRight", ToRight},           {32791, "ToOneline", ToOneline},
      {32913, "ToOnelineAll", ToOnelineAll}, {32808, "CtlMToCRLF", CtlMToCRLF},
      {32823, "LFToCRLF", LFToCRLF},
  };
  for (const PlainOp& p : kPlain) {
    b.Plain(p.id, p.op);
    b.Keyword(p.keyword, [op = p.op](MainState& m, const MacroArgs&) { op(m.doc()); });
  }
  b.Command(32905, [](MainState& m) { TabCommand(m, TabSpace, ml::TabSpace); });
  b.Command(32906, [](MainState& m) { TabCommand(m, SpaceTab, ml::SpaceTab); });
  b.Command(32916, TabIfCommand);
  b.Command(32850, SpToCsvCommand);
  b.Command(32841, OnelineNoCommand);
  b.Keyword("TabSpace", [](MainState& m, const MacroArgs& a) { TabSpace(m.doc(), a.N(1)); });
  b.Keyword("SpaceTab", [](MainState& m, const MacroArgs& a) { SpaceTab(m.doc(), a.N(1)); });
  b.Keyword("TabIf", [](MainState& m, const MacroArgs& a) { TabIf(m.doc(), a.D(1), a.N(2)); });
  b.Keyword("SpToCsv", [](MainState& m, const MacroArgs& a) { SpToCsv(m.doc(), a.N(1), a.N(2)); });
  b.Keyword("OnelineNo", [](MainState& m, const MacroArgs& a) { OnelineNoAndRange(m.doc(), a.N(1)); });
}

}  // namespace qlk
