#include "macro/Frame.h"

#include "ops/Replace.h"
#include "platform/UserInterface.h"

namespace qlk {

void RunPlain(MainState& m, const CommandDef& c, const Bindings::Handler& op, const Bindings::LineMaker& line) {
  if (!m.Reload()) return;
  if (!m.Verify(c.confirm)) return;
  m.WriteMacroLine(line ? line(m) : c.MacroLine());
  op(m);
  m.Store();
}

bool SelectAllFrame(MainState& m) {
  m.WriteMacroLine(KeywordName(Kw::TextAll));
  m.doc().SelectAll();
  return m.Store();
}

bool NotselFrame(MainState& m) {
  m.WriteMacroLine(KeywordName(Kw::Notsel));
  m.doc().exclusive = m.doc().exclusive ? 0 : 1;
  return m.Store();
}

void RunDialog(MainState& m, DialogModel& dlg, const std::function<std::string()>& accept,
               const Bindings::DocOp& op) {
  if (!m.Reload()) return;
  if (!m.platform().ui.RunDialog(dlg)) return;
  m.WriteMacroLine(accept());
  op(m.doc());
  m.Store();
}

void ReportSearchFailure(MainState& m) {
  m.platform().ui.Tell(MakeMessage(m.doc().RegexAvailable() ? Txt::RegexInvalid : Txt::RegexMissing));
}

bool SearchRan(MainState& m, SearchResult r) {
  if (r.failed) ReportSearchFailure(m);
  return !r.failed;
}

void RunSearch(MainState& m, DialogModel& dlg, const std::function<std::string()>& accept, const SearchOp& op,
               Txt countMessage) {
  RunSearch(m, dlg, accept, op, [countMessage] { return countMessage; });
}

void RunSearch(MainState& m, DialogModel& dlg, const std::function<std::string()>& accept, const SearchOp& op,
               const std::function<Txt()>& countMessage) {
  if (!m.Reload()) return;
  if (!m.platform().ui.RunDialog(dlg)) return;
  m.WriteMacroLine(accept());
  const SearchResult r = op(m.doc());
  if (!SearchRan(m, r)) return;
  if (!r.Found()) {
    m.platform().ui.Tell(MakeMessage(Txt::NotFound));
    return;
  }
  m.platform().ui.Tell(MakeMessage(countMessage(), {static_cast<long long>(r.count)}));
  m.Store();
}

}  // namespace qlk
