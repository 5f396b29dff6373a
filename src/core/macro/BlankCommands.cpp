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
  b.Plain(Cmd::DelSpaceLine, DelSpaceLine);
  b.Plain(Cmd::DelSpaceMultiLine, DelSpaceMultiLine);
  b.Plain(Cmd::DelSpaceOnly, DelSpaceOnly);
  b.Plain(Cmd::DelSpaceFirst, DelSpaceFirst);
  b.Plain(Cmd::DelSpaceBack, DelSpaceBack);
  b.Plain(Cmd::ToCenter, ToCenter);
  b.Plain(Cmd::ToRight, ToRight);
  b.Plain(Cmd::ToOneline, ToOneline);
  b.Plain(Cmd::ToOnelineAll, ToOnelineAll);
  b.Plain(Cmd::CtlMToCRLF, CtlMToCRLF);
  b.Plain(Cmd::LFToCRLF, LFToCRLF);
  b.Command(Cmd::TabSpace, [](MainState& m) { TabCommand(m, TabSpace, ml::TabSpace); });
  b.Command(Cmd::SpaceTab, [](MainState& m) { TabCommand(m, SpaceTab, ml::SpaceTab); });
  b.Command(Cmd::TabIf, TabIfCommand);
  b.Command(Cmd::SpToCsv, SpToCsvCommand);
  b.Command(Cmd::OnelineNo, OnelineNoCommand);
  b.Keyword(Kw::TabSpace, [](MainState& m, const MacroArgs& a) { TabSpace(m.doc(), a.N(1)); });
  b.Keyword(Kw::SpaceTab, [](MainState& m, const MacroArgs& a) { SpaceTab(m.doc(), a.N(1)); });
  b.Keyword(Kw::TabIf, [](MainState& m, const MacroArgs& a) { TabIf(m.doc(), a.D(1), a.N(2)); });
  b.Keyword(Kw::SpToCsv, [](MainState& m, const MacroArgs& a) { SpToCsv(m.doc(), a.N(1), a.N(2)); });
  b.Keyword(Kw::OnelineNo, [](MainState& m, const MacroArgs& a) { OnelineNoAndRange(m.doc(), a.N(1)); });
}

}  // namespace qlk
