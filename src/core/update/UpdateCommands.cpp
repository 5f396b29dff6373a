// "最新バージョンの確認(&V)...": the update check on demand, where the front end has one.
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/MainState.h"
#include "update/Update.h"

namespace qlk {

void BindUpdateCommands(Bindings& b) {
  b.Command(Cmd::UpdateCheck, [](MainState& m) {
    AppState& app = m.app();
    if (!app.updateSystem) return;
    UpdateCheck check(m.platform(), *app.updateSystem, app.update, app.updateKeyPem);
    // A setup program was started: the program ends so that the setup can replace it.
    if (check.Manual() == 1 && app.closeMainWindow) app.closeMainWindow();
  });
}

}  // namespace qlk
