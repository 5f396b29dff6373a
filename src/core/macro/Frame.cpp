#include "macro/Frame.h"

#include "ops/Replace.h"
#include "platform/UserInterface.h"

namespace qlk {

void RunPlain(MainState& m, const CommandDef& c, const Bindings::DocOp& op) {
  if (!m.Reload()) return;
  if (!m.Verify(c.confirm)) return;
  m.WriteMacroLine(c.MacroLine());
  op(m.doc());
  m.Store();
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

void RunSearch(MainState& m, DialogModel& dlg, const std::function<std::string()>& accept,
               const std::function<int(CQuenlarkDoc&)>& op, Txt countMessage) {
  RunSearch(m, dlg, accept, op, [countMessage] { return countMessage; });
}

void RunSearch(MainState& m, DialogModel& dlg, const std::function<std::string()>& accept,
               const std::function<int(CQuenlarkDoc&)>& op, const std::function<Txt()>& countMessage) {
  if (!m.Reload()) return;
  if (!m.platform().ui.RunDialog(dlg)) return;
  m.WriteMacroLine(accept());
  int n = op(m.doc());
  if (n == kSearchFailed) {
    ReportSearchFailure(m);
    return;
  }
  if (n <= 0) {
    m.platform().ui.Tell(MakeMessage(Txt::NotFound));
    return;
  }
  m.platform().ui.Tell(MakeMessage(countMessage(), {static_cast<long long>(n)}));
  m.Store();
}

}  // namespace qlk
