// The character count and the full edit: the two commands that show the text. Neither asks
// the "Verify" question nor writes a macro line.
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/MainState.h"
#include "ops/Count.h"
#include "platform/UserInterface.h"

namespace qlk {
namespace {

void CharCountCommand(MainState& m) {
  if (!m.Reload()) return;
  CQuenlarkDoc& d = m.doc();
  const CharCounts counts = CountChars(d);
  if (counts.Total() == 0) {
    m.platform().ui.Tell(MakeMessage(Txt::CountNoLines));
    return;
  }
  CCountDlg dlg(counts, ByteSize(d), WordCount(d));
  m.platform().ui.RunDialog(dlg);
}

// Every line, target or not; OK takes the text back as the lines (no undo step) and stores
// it, Cancel changes nothing.
void EditAllCommand(MainState& m) {
  if (!m.Reload()) return;
  CQuenlarkDoc& d = m.doc();
  CTextEditDlg dlg(d.GetText());
  if (!m.platform().ui.RunDialog(dlg)) return;
  d.SetText(dlg.text);
  d.SetModified();
  m.Store();
}

}  // namespace

void BindCountCommands(Bindings& b) {
  b.Command(Cmd::CharCount, CharCountCommand);
  b.Command(Cmd::EditAll, EditAllCommand);
}

}  // namespace qlk
