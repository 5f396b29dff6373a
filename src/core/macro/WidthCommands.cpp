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
  b.Plain(Cmd::ZenToHan, Kind<ZenToHan, 0>);
  b.Plain(Cmd::ZenToHanAlpha, Kind<ZenToHan, 1>);
  b.Plain(Cmd::ZenToHanNum, Kind<ZenToHan, 2>);
  b.Plain(Cmd::ZenToHanKana, Kind<ZenToHan, 3>);
  b.Command(Cmd::ZenToHanSw, SwitchCommand<CZentohanDlg, ZenToHanSw, ml::ZenToHanSw>);
  b.Plain(Cmd::HanToZen, Kind<HanToZen, 0>);
  b.Plain(Cmd::HanToZenAlpha, Kind<HanToZen, 1>);
  b.Plain(Cmd::HanToZenNum, Kind<HanToZen, 2>);
  b.Plain(Cmd::HanToZenKana, Kind<HanToZen, 3>);
  b.Command(Cmd::HanToZenSw, SwitchCommand<CHantozenDlg, HanToZenSw, ml::HanToZenSw>);

  b.Plain(Cmd::ToUpper, ToUpper);
  b.Plain(Cmd::ToLower, ToLower);
  b.Plain(Cmd::ToZenUpper, ToZenUpper);
  b.Plain(Cmd::ToZenLower, ToZenLower);
  b.Plain(Cmd::ToLineUpper, ToLineUpper);
  b.Plain(Cmd::ToTopUpper, ToTopUpper);
  // Its keyword is written by the recorder though missing from the keyword table: replayed
  // all the same.
  b.Plain(Cmd::ChangeUpperLower, ChangeUpperLower);
  b.Plain(Cmd::HiraToKana, HiraToKana);
  b.Plain(Cmd::KanaToHira, KanaToHira);

  // The plain rows without fixed arguments bind their keywords above.
  b.Keyword(Kw::ZenToHan2, RunWithArg<ZenToHan>);
  b.Keyword(Kw::HanToZen2, RunWithArg<HanToZen>);
  b.Keyword(Kw::ZenToHanSw, RunWithArg<ZenToHanSw>);
  b.Keyword(Kw::HanToZenSw, RunWithArg<HanToZenSw>);
  b.LineKeyword(Kw::ZenToHan, [](MainState&, const MacroArgs&) { return WidthLines(ZenToHanConverter::ForKind(0)); });
  b.LineKeyword(Kw::HanToZen, [](MainState&, const MacroArgs&) { return WidthLines(HanToZenConverter::ForKind(0)); });
  b.LineKeyword(Kw::ZenToHan2,
                [](MainState&, const MacroArgs& a) { return WidthLines(ZenToHanConverter::ForKind(a.N(1))); });
  b.LineKeyword(Kw::HanToZen2,
                [](MainState&, const MacroArgs& a) { return WidthLines(HanToZenConverter::ForKind(a.N(1))); });
  b.LineKeyword(Kw::ZenToHanSw,
                [](MainState&, const MacroArgs& a) { return WidthLines(ZenToHanConverter::ForFlags(a.N(1))); });
  b.LineKeyword(Kw::HanToZenSw,
                [](MainState&, const MacroArgs& a) { return WidthLines(HanToZenConverter::ForFlags(a.N(1))); });
}

}  // namespace qlk
