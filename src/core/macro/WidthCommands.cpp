// Full/half width, case and kana: the menu commands and their macro keywords.
#include <memory>

#include "conv/Width.h"
#include "conv/WidthDlg.h"
#include "conv/WidthOps.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Frame.h"
#include "macro/MacroLines.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

template <void (*Op)(CQuenlarkDoc&)>
void Run(MainState& m, const MacroArgs&) {
  Op(m.doc());
}

template <void (*Op)(CQuenlarkDoc&, int)>
void RunWithArg(MainState& m, const MacroArgs& a) {
  Op(m.doc(), a.N(1));
}

template <void (*Op)(CQuenlarkDoc&, int), int kKind>
void Kind(CQuenlarkDoc& d) {
  Op(d, kKind);
}

// The flag byte goes on the macro line as the low byte of the ticked boxes.
template <class Dlg, void (*Op)(CQuenlarkDoc&, int), std::string (*Line)(int)>
void SwitchCommand(MainState& m) {
  Dlg dlg(m.platform().settings);
  RunDialog(
      m, dlg, [&dlg] { return Line(dlg.Flags() & 0xFF); }, [&dlg](CQuenlarkDoc& d) { Op(d, dlg.Flags()); });
}

// A width conversion a line at a time, for a long text streamed through it.
template <class Conv>
Bindings::LineFn WidthLines(Conv conv) {
  auto c = std::make_shared<const Conv>(std::move(conv));
  return EachNonEmptyLineInPieces(
      [c](std::string_view rest, bool ends, uint32_t&, std::string& out) { return c->AppendPiece(rest, ends, out); });
}

}  // namespace

void BindWidthCommands(Bindings& b) {
  b.Plain(32829, Kind<ZenToHan, 0>);
  b.Plain(32817, Kind<ZenToHan, 1>);
  b.Plain(32820, Kind<ZenToHan, 2>);
  b.Plain(32821, Kind<ZenToHan, 3>);
  b.Command(32846, SwitchCommand<CZentohanDlg, ZenToHanSw, ml::ZenToHanSw>);
  b.Plain(32830, Kind<HanToZen, 0>);
  b.Plain(32818, Kind<HanToZen, 1>);
  b.Plain(32819, Kind<HanToZen, 2>);
  b.Plain(32816, Kind<HanToZen, 3>);
  b.Command(32847, SwitchCommand<CHantozenDlg, HanToZenSw, ml::HanToZenSw>);

  b.Plain(32777, ToUpper);
  b.Plain(32778, ToLower);
  b.Plain(32779, ToZenUpper);
  b.Plain(32780, ToZenLower);
  b.Plain(32911, ToLineUpper);
  b.Plain(32904, ToTopUpper);
  b.Plain(32912, ChangeUpperLower);
  b.Plain(32781, HiraToKana);
  b.Plain(32782, KanaToHira);

  b.Keyword("ZenToHan", Run<Kind<ZenToHan, 0>>);
  b.Keyword("HanToZen", Run<Kind<HanToZen, 0>>);
  b.Keyword("ZenToHan2", RunWithArg<ZenToHan>);
  b.Keyword("HanToZen2", RunWithArg<HanToZen>);
  b.Keyword("ZenToHanSw", RunWithArg<ZenToHanSw>);
  b.Keyword("HanToZenSw", RunWithArg<HanToZenSw>);
  b.LineKeyword("ZenToHan", [](MainState&, const MacroArgs&) { return WidthLines(ZenToHanConverter::ForKind(0)); });
  b.LineKeyword("HanToZen", [](MainState&, const MacroArgs&) { return WidthLines(HanToZenConverter::ForKind(0)); });
  b.LineKeyword("ZenToHan2",
                [](MainState&, const MacroArgs& a) { return WidthLines(ZenToHanConverter::ForKind(a.N(1))); });
  b.LineKeyword("HanToZen2",
                [](MainState&, const MacroArgs& a) { return WidthLines(HanToZenConverter::ForKind(a.N(1))); });
  b.LineKeyword("ZenToHanSw",
                [](MainState&, const MacroArgs& a) { return WidthLines(ZenToHanConverter::ForFlags(a.N(1))); });
  b.LineKeyword("HanToZenSw",
                [](MainState&, const MacroArgs& a) { return WidthLines(HanToZenConverter::ForFlags(a.N(1))); });
  b.Keyword("ToUpper", Run<ToUpper>);
  b.Keyword("ToLower", Run<ToLower>);
  b.Keyword("ToZenUpper", Run<ToZenUpper>);
  b.Keyword("ToZenLower", Run<ToZenLower>);
  b.Keyword("ToTopUpper", Run<ToTopUpper>);
  b.Keyword("ToLineUpper", Run<ToLineUpper>);
  // Written by the recorder though missing from the keyword table: replayed all the same.
  b.Keyword("ChangeUpperLower", Run<ChangeUpperLower>);
  b.Keyword("HiraToKana", Run<HiraToKana>);
  b.Keyword("KanaToHira", Run<KanaToHira>);
}

}  // namespace qlk
