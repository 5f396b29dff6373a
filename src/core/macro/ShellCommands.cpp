// Commands of the tray itself that need no window: the settings dialog, the custom menu, the
// hotkeys and the about box.
#include "app/AboutDlg.h"
#include "app/HotKeyDlg.h"
#include "app/RMenuCustDlg.h"
#include "app/SetDlg.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/MainState.h"

namespace qlk {

void BindShellCommands(Bindings& b) {
  b.Command(Cmd::About, [](MainState& m) {
    CAboutDlg dlg;
    m.platform().ui.RunDialog(dlg);
  });
  b.Command(Cmd::Settings, [](MainState& m) {
    AppState& app = m.app();
    CSetDlg dlg(m.platform(), m.allSelect, app.update);
    dlg.openKinsoku = app.hooks.openKinsokuDialog;
    dlg.createStartupShortcut = app.hooks.createStartupShortcut;
    dlg.openHotKeys = [&m](DialogHost& host) {
      CHotKeyDlg keys(m.platform(), m.app());
      host.ui().RunDialog(keys);  // owned by the settings dialog, as the rules dialog is
    };
    if (!m.platform().ui.RunDialog(dlg)) return;
    m.allSelect = dlg.AcceptedAllSelect();
    app.update = dlg.AcceptedUpdate();
  });
  b.Command(Cmd::HotKeySettings, [](MainState& m) {
    CHotKeyDlg dlg(m.platform(), m.app());
    m.platform().ui.RunDialog(dlg);
  });
  b.Command(Cmd::MenuCustomize, [](MainState& m) {
    CRMenuCustDlg dlg(m.platform(), m.app());
    m.platform().ui.RunDialog(dlg);
  });
}

}  // namespace qlk
