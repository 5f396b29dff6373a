// The fold and column-edit commands: menu handlers through the command frame, and the macro
// keywords of the interpreter.
#include <algorithm>
#include <memory>

#include "app/SettingKeys.h"
#include "conv/Sjis.h"
#include "macro/Bindings.h"
#include "macro/Escape.h"
#include "macro/Families.h"
#include "macro/Frame.h"
#include "macro/MacroLines.h"
#include "macro/MainState.h"
#include "ops/Columns.h"
#include "ops/Fold.h"
#include "ops/FoldDialogs.h"

namespace qlk {
namespace {

// The escape form of a text that the command used exactly as typed. Unescape on replay turns
// backslash pairs and "\n" into other bytes, so real backslashes are written doubled: the
// recorded line then gives the command's own text back.

// Runs an operation that may refuse to grow the text too far, and says so when it does.
template <typename Op>
bool Guarded(CQuenlarkDoc& d, Op op) {
  if (op(d)) return true;
  d.platform().ui.Tell(MakeMessage(Txt::FoldTooLarge));
  return false;
}

// The commands that ask for one number in CInputNoDlg and store it as the document's width.
void WidthCommand(MainState& m, Txt prompt, const char* section, std::string (*line)(int),
                  bool (*op)(CQuenlarkDoc&, const KinsokuRules&)) {
  CInputNoDlg dlg(m.platform().settings, prompt, section);
  KinsokuRules& rules = m.app().kinsoku;
  RunDialog(
      m, dlg,
      [&] {
        m.doc().width = dlg.value;
        return line(dlg.value);
      },
      [&](CQuenlarkDoc& d) { Guarded(d, [&](CQuenlarkDoc& x) { return op(x, rules); }); });
}

bool KetaOp(CQuenlarkDoc& d, const KinsokuRules&) { return KetaChange(d); }
bool IndentOp(CQuenlarkDoc& d, const KinsokuRules&) { return IndentChange(d); }

void TurnIfCommand(MainState& m) {
  CTurnIfDlg dlg(m.platform().settings);
  RunDialog(
      m, dlg, [&] { return ml::TurnIf(dlg.text, dlg.replace); },
      [&](CQuenlarkDoc& d) {
        TurnIf(d, dlg.text, dlg.replace);
        d.rangeEnd = d.LineCount();
      });
}

void OverwriteCommand(MainState& m) {
  CUstrDlg dlg(m.platform().settings);
  RunDialog(
      m, dlg,
      [&] {
        m.doc().overwriteColumn = dlg.column;
        m.doc().overwriteString = dlg.text;
        return ml::OverwriteString(dlg.column, dlg.text);
      },
      [](CQuenlarkDoc& d) { Guarded(d, OverwriteString); });
}

void RenoCommand(MainState& m) {
  CRenoDlg dlg(m.platform().settings);
  RunDialog(
      m, dlg,
      [&] {
        CQuenlarkDoc& d = m.doc();
        d.renoColumn = dlg.column;
        d.renoDigits = dlg.digits;
        d.renoStart = dlg.start;
        d.renoIncrement = dlg.increment;
        d.renoBlankFill = dlg.blankFill;
        return ml::RenoString(dlg.increment, dlg.digits, dlg.column, dlg.start, dlg.blankFill);
      },
      [](CQuenlarkDoc& d) { Guarded(d, RenoString); });
}

void InsertCommand(MainState& m) {
  CInsertDlg dlg(m.platform().settings);
  RunDialog(
      m, dlg,
      [&] {
        // Only the insert string is decoded, so "\n" typed in it makes line breaks.
        m.doc().insertColumn = dlg.column;
        m.doc().insertString = Unescape(dlg.text);
        return ml::InsertString(dlg.column, dlg.text);
      },
      [](CQuenlarkDoc& d) { Guarded(d, InsertString); });
}

void DelposCommand(MainState& m) {
  CDelposDlg dlg(m.platform().settings);
  RunDialog(
      m, dlg, [&] { return ml::DeletePos(dlg.first, dlg.last); },
      [&](CQuenlarkDoc& d) { DeletePos(d, dlg.first, dlg.last); });
}

void SpaceInsertCommand(MainState& m) {
  CSpaceInsDlg dlg(m.platform().settings);
  RunDialog(
      m, dlg, [&] { return ml::SpaceInsert(dlg.column, dlg.count, dlg.overwrite); },
      [&](CQuenlarkDoc& d) {
        Guarded(d, [&](CQuenlarkDoc& x) { return SpaceInsert(x, dlg.column, dlg.count, dlg.overwrite); });
      });
}

void StrCatCommand(MainState& m) {
  CInputDlg dlg(m.platform().settings, Txt::FoldPromptStrCat, "StrAdd", "String");
  RunDialog(
      m, dlg, [&] { return ml::StrCat(dlg.text); },
      [&](CQuenlarkDoc& d) { Guarded(d, [&](CQuenlarkDoc& x) { return StrCat(x, dlg.text); }); });
}

void InsertEndLineCommand(MainState& m) {
  CLineEditDlg dlg;
  RunDialog(
      m, dlg, [&] { return ml::InsertEndLine(dlg.text); },
      [&](CQuenlarkDoc& d) { InsertEndLine(d, dlg.text); });
}

// ---- keywords: the macro line's arguments in place of the dialogs ----

void WidthKeyword(Bindings& b, Kw keyword, bool (*op)(CQuenlarkDoc&, const KinsokuRules&)) {
  b.Keyword(keyword, [op](MainState& m, const MacroArgs& a) {
    m.doc().width = a.N(1);
    return Guarded(m.doc(), [&](CQuenlarkDoc& d) { return op(d, m.app().kinsoku); });
  });
}

}  // namespace

void BindFoldCommands(Bindings& b) {
  // The rules dialog, opened from the settings dialog's button, edits the application's rules.
  b.DocHooks([](MainState& m) {
    m.app().hooks.openKinsokuDialog = [&app = m.app(), &settings = m.platform().settings](DialogHost& host) {
      CKinsokuDlg dlg(app.kinsoku, settings);
      host.ui().RunDialog(dlg);
    };
  });
  b.Command(Cmd::TurnChange, [](MainState& m) { WidthCommand(m, Txt::FoldPromptTurn, "Turn", ml::TurnChange, TurnChange); });
  b.Command(Cmd::IndTurnChange,
            [](MainState& m) { WidthCommand(m, Txt::FoldPromptTurn, "Turn", ml::IndTurnChange, IndTurnChange); });
  b.Command(Cmd::KetaChange, [](MainState& m) { WidthCommand(m, Txt::FoldPromptKeta, "Textketa", ml::KetaChange, KetaOp); });
  b.Command(Cmd::IndentChange,
            [](MainState& m) { WidthCommand(m, Txt::FoldPromptIndent, "TextIndent", ml::IndentChange, IndentOp); });
  b.Command(Cmd::TurnIf, TurnIfCommand);
  b.Command(Cmd::OverwriteString, OverwriteCommand);
  b.Command(Cmd::RenoString, RenoCommand);
  b.Command(Cmd::InsertString, InsertCommand);
  b.Command(Cmd::DeletePos, DelposCommand);
  b.Command(Cmd::SpaceInsert, SpaceInsertCommand);
  b.Command(Cmd::StrCat, StrCatCommand);
  b.Command(Cmd::InsertEndLine, InsertEndLineCommand);
  b.Plain(Cmd::LineDelete, LineDelete);
  b.Plain(Cmd::ShiftLeft, [](CQuenlarkDoc& d) { DeletePos(d, 1, 1); });
  b.Plain(Cmd::ShiftRight, [](CQuenlarkDoc& d) { Guarded(d, [](CQuenlarkDoc& x) { return SpaceInsert(x, 1, 1, 0); }); });

  WidthKeyword(b, Kw::TurnChange, TurnChange);
  // Folding a line at the width alone, for a long text streamed a line at a time. Hyphens
  // lengthen the text, and the limit on that growth is the whole run's: that mode runs whole.
  b.LineKeyword(Kw::TurnChange, [](MainState& m, const MacroArgs& a) -> Bindings::LineFn {
    const int english = Get(m.platform().settings, keys::kTurnEnglish);
    if (english == kEnglishHyphen) return {};
    const int width = a.N(1);
    auto rules = std::make_shared<const FoldRules>(m.app().kinsoku);
    auto pieces = std::make_shared<std::vector<std::string>>();
    return [width, english, rules, pieces](std::string_view l, std::string& out) {
      if (width < 1 || l.size() <= static_cast<size_t>(width)) {
        out += l;
        return;
      }
      pieces->clear();
      TurnChangeLine(l, width, *rules, english, *pieces);
      for (size_t i = 0; i < pieces->size(); ++i) {
        if (i > 0) out += "\r\n";
        out += (*pieces)[i];
      }
    };
  });
  WidthKeyword(b, Kw::IndTurnChange, IndTurnChange);
  WidthKeyword(b, Kw::KetaChange, KetaOp);
  WidthKeyword(b, Kw::IndentChange, IndentOp);
  b.Keyword(Kw::TurnIf, [](MainState& m, const MacroArgs& a) { TurnIf(m.doc(), a.D(1), a.N(2)); });
  b.Keyword(Kw::OverwriteString, [](MainState& m, const MacroArgs& a) {
    m.doc().overwriteColumn = a.N(1);
    m.doc().overwriteString = a.D(2);
    return Guarded(m.doc(), OverwriteString);
  });
  b.Keyword(Kw::RenoString, [](MainState& m, const MacroArgs& a) {
    CQuenlarkDoc& d = m.doc();
    d.renoIncrement = a.N(1);
    d.renoDigits = a.N(2);
    d.renoColumn = a.N(3);
    d.renoStart = a.N(4);
    d.renoBlankFill = a.N(5);
    return Guarded(d, RenoString);
  });
  b.Keyword(Kw::InsertString, [](MainState& m, const MacroArgs& a) {
    m.doc().insertColumn = a.N(1);
    m.doc().insertString = a.D(2);
    return Guarded(m.doc(), InsertString);
  });
  b.Keyword(Kw::DeletePos, [](MainState& m, const MacroArgs& a) { DeletePos(m.doc(), a.N(1), a.N(2)); });
  b.Keyword(Kw::SpaceInsert, [](MainState& m, const MacroArgs& a) {
    const int count = std::max(1, a.N(2));  // a macro line always inserts at least one blank
    return Guarded(m.doc(), [&](CQuenlarkDoc& d) { return SpaceInsert(d, a.N(1), count, a.N(3)); });
  });
  b.Keyword(Kw::StrCat, [](MainState& m, const MacroArgs& a) {
    return Guarded(m.doc(), [&](CQuenlarkDoc& d) { return StrCat(d, a.D(1)); });
  });
  b.Keyword(Kw::InsertEndLine, [](MainState& m, const MacroArgs& a) { InsertEndLine(m.doc(), a.D(1)); });
}

}  // namespace qlk
