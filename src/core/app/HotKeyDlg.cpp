#include "app/HotKeyDlg.h"

#include "app/CustomMenu.h"
#include "app/ListEdit.h"

namespace qlk {
namespace {

// The dialog's key field holds Ctrl, Alt and Shift; Win has a box of its own.
constexpr uint32_t kFieldMods = kModCtrl | kModAlt | kModShift;

}  // namespace

CHotKeyDlg::CHotKeyDlg(Platform& p, AppState& app) : p_(p), app_(app), bindings_(app.hotKeys) {
  allCaptions_.push_back(p_.codepage.Utf8ToSjis(TextOf(Txt::HotKeyPopupEntry)));
  for (std::string& c : CatalogueCaptions(app.catalogue)) allCaptions_.push_back(std::move(c));
  selected = bindings_.empty() ? -1 : 0;
  Refill();
  ShowSelected();
}

std::vector<Field> CHotKeyDlg::Fields() {
  return {Field::List(kAll, chosen, allCaptions_), Field::HotKey(kKey, key),       Field::Check(kWin, win),
          Field::Check(kPaste, paste),             Field::List(kList, selected, lines_), Field::LabelText(kStatus, status_)};
}

uint32_t CHotKeyDlg::CommandAt(int i) const {
  if (i == 0) return kHotKeyPopup;
  if (i < 0 || i > static_cast<int>(app_.catalogue.size())) return kNoCommand;
  return app_.catalogue[static_cast<size_t>(i - 1)].id;
}

void CHotKeyDlg::Refill() {
  lines_.clear();
  const std::string pasteMark = p_.codepage.Utf8ToSjis(TextOf(Txt::HotKeyAutoPaste));
  for (const HotKeyBinding& b : bindings_) {
    std::string caption = b.command == kHotKeyPopup ? allCaptions_.front() : CaptionOf(app_.catalogue, b.command);
    std::string line = HotKeyText(b.mods, b.vk) + "\t" + caption;
    if (b.autoPaste) line += "\t" + pasteMark;
    lines_.push_back(std::move(line));
  }
}

// The binding chosen in the list shows in the controls, ready to be changed.
void CHotKeyDlg::ShowSelected() {
  if (selected < 0 || selected >= static_cast<int>(bindings_.size())) return;
  const HotKeyBinding& b = bindings_[static_cast<size_t>(selected)];
  key = static_cast<int>((b.mods & kFieldMods) << 16 | b.vk);
  win = (b.mods & kModWin) ? 1 : 0;
  paste = b.autoPaste ? 1 : 0;
  chosen = -1;
  for (int i = 0; i < static_cast<int>(allCaptions_.size()) && chosen < 0; ++i)
    if (CommandAt(i) == b.command) chosen = i;
}

bool CHotKeyDlg::Compose(HotKeyBinding& b, int except, DialogHost& host) {
  b.command = CommandAt(chosen);
  b.mods = ((static_cast<uint32_t>(key) >> 16) & kFieldMods) | (win ? static_cast<uint32_t>(kModWin) : 0u);
  b.vk = static_cast<uint32_t>(key) & 0xFF;
  b.autoPaste = paste != 0;
  auto refuse = [&](Txt why) {
    Message m = why == Txt::HotKeyNeedsModifier ? MakeMessage(why) : MakeMessage(why, {HotKeyText(b.mods, b.vk)});
    status_ = p_.codepage.Utf8ToSjis(m.text);
    host.ui().Tell(m);
    host.FocusControl(kKey);
    return false;
  };
  if (!ValidHotKey(b.mods, b.vk)) return refuse(Txt::HotKeyNeedsModifier);
  for (int i = 0; i < static_cast<int>(bindings_.size()); ++i)
    if (i != except && bindings_[static_cast<size_t>(i)].SameKeys(b)) return refuse(Txt::HotKeyTaken);
  // A combination bound before the dialog opened is registered by this program itself.
  bool ours = false;
  for (const HotKeyBinding& h : app_.hotKeys) ours = ours || h.SameKeys(b);
  if (!ours && app_.hotKeyFree && !app_.hotKeyFree(b.mods, b.vk)) return refuse(Txt::HotKeyInUse);
  status_.clear();
  return true;
}

bool CHotKeyDlg::OnCommand(int control, DialogHost& host) {
  const int n = static_cast<int>(bindings_.size());
  const bool picked = chosen >= 0 && chosen < static_cast<int>(allCaptions_.size());
  switch (control) {
    case kList:
      ShowSelected();
      return true;
    case kAdd: {
      HotKeyBinding b;
      if (!picked) return false;
      if (!Compose(b, -1, host)) return true;  // the status line names the combination
      bindings_.push_back(b);
      selected = n;
      break;
    }
    case kChange: {
      HotKeyBinding b;
      if (!picked || selected < 0 || selected >= n) return false;
      if (!Compose(b, selected, host)) return true;
      bindings_[static_cast<size_t>(selected)] = b;
      break;
    }
    case kDelete: {
      auto question = [this](int i) {
        return MakeMessage(Txt::DeleteQuestionSpaced, {p_.codepage.SjisToUtf8(lines_[static_cast<size_t>(i)])});
      };
      if (!listedit::Delete(host.ui(), selected, n, question, [this](int i) { bindings_.erase(bindings_.begin() + i); }))
        return false;
      ShowSelected();
      break;
    }
    default: return false;
  }
  Refill();
  return true;
}

bool CHotKeyDlg::IsEnabled(int control) const {
  const bool bindingChosen = selected >= 0 && selected < static_cast<int>(bindings_.size());
  if (control == kChange || control == kDelete) return bindingChosen;
  return true;
}

bool CHotKeyDlg::OnOk(DialogHost& host) {
  app_.hotKeys = bindings_;
  SaveHotKeys(p_.settings, app_.hotKeys);
  if (!app_.applyHotKeys) return true;
  // Kept in the profile all the same: the other program may let go of it by the next start.
  for (const HotKeyBinding& b : app_.applyHotKeys()) host.ui().Tell(MakeMessage(Txt::HotKeyInUse, {HotKeyText(b.mods, b.vk)}));
  return true;
}

}  // namespace qlk
