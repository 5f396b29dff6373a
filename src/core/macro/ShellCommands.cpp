// Commands of the tray itself that need no document: the settings, the editor, the custom
// menu, the hotkeys, the help file, the web pages and the about box.
#include "app/AboutDlg.h"
#include "app/EditorDlg.h"
#include "app/HotKeyDlg.h"
#include "app/RMenuCustDlg.h"
#include "app/SetDlg.h"
#include "app/ShellActions.h"
#include "app/WebPages.h"
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
  b.DocHooks([](MainState& m) {
    Platform& p = m.platform();
    m.app().hooks.createStartupShortcut = [&p](DialogHost& host) { CreateStartupShortcut(p, host.ui()); };
  });
  b.Command(Cmd::HotKeySettings, [](MainState& m) {
    CHotKeyDlg dlg(m.platform(), m.app());
    m.platform().ui.RunDialog(dlg);
  });
  b.Command(Cmd::MenuCustomize, [](MainState& m) {
    CRMenuCustDlg dlg(m.platform(), m.app());
    m.platform().ui.RunDialog(dlg);
  });
  b.Command(Cmd::EditorSettings, [](MainState& m) {
    CEditorDlg dlg(m.platform().settings);
    m.platform().ui.RunDialog(dlg);
  });
  b.Command(Cmd::LaunchEditor, [](MainState& m) { LaunchEditor(m.platform()); });
  // The contents go through the help entry, as a finder request; the custom menu's entry and
  // the keyword search call the viewer straight.
  b.Command(Cmd::HelpContents, [](MainState& m) { HelpRequest(m.platform(), m.app().helpPath, kHelpFinder); });
  b.Command(Cmd::HelpTopics, [](MainState& m) { ShowHelp(m.platform(), m.app().helpPath, HelpView::Contents); });
  b.Command(Cmd::HelpSearch, [](MainState& m) { ShowHelp(m.platform(), m.app().helpPath, HelpView::Index); });
  for (const WebPage& w : kWebPages)
    b.Command(w.cmd, [url = w.url](MainState& m) { m.platform().shell.Execute(url, "", ""); });
}

}  // namespace qlk
