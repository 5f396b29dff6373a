#pragma once
// The command frame: the fixed patterns every command handler follows.
#include <functional>
#include <string>

#include "app/Dialog.h"
#include "macro/Bindings.h"
#include "macro/Commands.h"
#include "macro/MainState.h"
#include "ops/Replace.h"

namespace qlk {

// Reload, "Verify" question, macro line (the row's, or what `line` makes), the operation, store.
void RunPlain(MainState& m, const CommandDef& c, const Bindings::Handler& op, const Bindings::LineMaker& line = {});
// "全て選択(&A)": no reload; the TextAll line, all lines selected, store (false when the
// clipboard refused it).
bool SelectAllFrame(MainState& m);
// "排他選択(&H)": no reload; the Notsel line, the exclusive flag inverted, store.
bool NotselFrame(MainState& m);

// Reload, the parameter dialog (Cancel ends with nothing recorded or stored), then on OK:
// `accept` copies the values into the document and returns the macro line, the line is
// written, the operation runs, the document is stored.
void RunDialog(MainState& m, DialogModel& dlg, const std::function<std::string()>& accept,
               const Bindings::DocOp& op);

// As RunDialog for the search family: the operation returns its count; nothing found says
// "文字列が見つかりません" and stores nothing, otherwise the count message and a store. An
// operation that could not search at all (SearchResult::Failed of ops/Replace.h) is reported
// by ReportSearchFailure and stores nothing.
using SearchOp = std::function<SearchResult(CQuenlarkDoc&)>;
void RunSearch(MainState& m, DialogModel& dlg, const std::function<std::string()>& accept, const SearchOp& op,
               Txt countMessage);
// The same with a count message that depends on what the dialog chose.
void RunSearch(MainState& m, DialogModel& dlg, const std::function<std::string()>& accept, const SearchOp& op,
               const std::function<Txt()>& countMessage);
// Why a regular-expression search could not run: a malformed expression, or no engine.
void ReportSearchFailure(MainState& m);
// For the keywords, which show no counts: false, after saying why, when the search could not run.
bool SearchRan(MainState& m, SearchResult r);

}  // namespace qlk
