// Commands of the tray itself that need no window: the settings dialog.
#include "app/SetDlg.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/MainState.h"

namespace qlk {

void BindShellCommands(Bindings& b) {
  b.Command(32806, [](MainState& m) {
    AppState& app = m.app();
    CSetDlg dlg(m.platform(), m.allSelect, app.update);
    dlg.openKinsoku = app.openKinsokuDialog;
    dlg.createStartupShortcut = app.createStartupShortcut;
    if (!m.platform().ui.RunDialog(dlg)) return;
    m.allSelect = dlg.AcceptedAllSelect();
    app.update = dlg.AcceptedUpdate();
  });
}

}  // namespace qlk
