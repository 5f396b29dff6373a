#include "macro/MainState.h"

#include "macro/Bindings.h"

namespace qlk {

MainState::MainState(Platform& p, const Bindings& b, AppState& app)
    : allSelect(p.settings.GetInt("System", "AllSelect", 1)), p_(p), b_(b), app_(app), doc_(p) {
  doc_.hooks().writeMacroLine = [this](const std::string& l) { WriteMacroLine(l); };
  b_.InstallDocHooks(*this);
}

MainState::~MainState() { recorder_.Stop(); }

bool MainState::Dispatch(uint32_t id) {
  const Bindings::Handler* h = b_.HandlerFor(id);
  if (!h) return false;
  (*h)(*this);
  return true;
}

bool MainState::IsBound(uint32_t id) const { return b_.HandlerFor(id) != nullptr; }

bool MainState::Reload() {
  if (!doc_.NewFromClipboard()) return false;
  if (doc_.loadedLossy && !p_.ui.Confirm(MakeMessage(Txt::LossyClipboard))) return false;
  return true;
}

bool MainState::Verify(Txt confirm) {
  if (confirm == Txt::None || p_.settings.GetInt("System", "Verify", 0) == 0) return true;
  return p_.ui.Confirm(MakeMessage(confirm));
}

void MainState::WriteMacroLine(const std::string& line) {
  if (recorder_.Recording()) recorder_.Write(line);
}

}  // namespace qlk
