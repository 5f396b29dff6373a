#include "macro/MainState.h"

#include "app/SettingKeys.h"
#include "macro/Bindings.h"
#include "macro/Frame.h"

namespace qlk {

MainState::MainState(Platform& p, const Bindings& b, AppState& app)
    : allSelect(Get(p.settings, keys::kAllSelect)), p_(p), b_(b), app_(app), doc_(p) {
  doc_.hooks().writeMacroLine = [this](const std::string& l) { WriteMacroLine(l); };
  b_.InstallDocHooks(*this);
}

MainState::~MainState() { recorder_.Stop(); }

bool MainState::Dispatch(uint32_t id) {
  const CommandDef* c = FindCommand(id);
  switch (c ? c->frame : Frame::Other) {
    case Frame::TextAll: SelectAllFrame(*this); return true;
    case Frame::Notsel: NotselFrame(*this); return true;
    case Frame::Copy: doc_.StoreClipboard(false); return true;
    case Frame::Undo:
      doc_.Undo();
      Store();
      return true;
    case Frame::Redo:
      doc_.Redo();
      Store();
      return true;
    case Frame::Plain:  // the table's frame, built around the operation by Bindings::Plain
    case Frame::Dialog:
    case Frame::Search:
    case Frame::LineSelect:
    case Frame::Other: break;
  }
  const Bindings::Handler* h = b_.HandlerFor(id);
  if (!h) return false;
  (*h)(*this);
  return true;
}

bool MainState::IsBound(uint32_t id) const {
  const CommandDef* c = FindCommand(id);
  switch (c ? c->frame : Frame::Other) {
    case Frame::TextAll:
    case Frame::Notsel:
    case Frame::Copy:
    case Frame::Undo:
    case Frame::Redo: return true;
    default: return b_.HandlerFor(id) != nullptr;
  }
}

bool MainState::Reload() {
  if (!doc_.NewFromClipboard()) return false;
  if (doc_.loadedLossy && !p_.ui.Confirm(MakeMessage(Txt::LossyClipboard))) return false;
  return true;
}

bool MainState::Verify(Txt confirm) {
  if (confirm == Txt::None || Get(p_.settings, keys::kVerify) == 0) return true;
  return p_.ui.Confirm(MakeMessage(confirm));
}

void MainState::WriteMacroLine(const std::string& line) {
  if (recorder_.Recording()) recorder_.Write(line);
}

}  // namespace qlk
