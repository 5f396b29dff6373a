#include "app/RMenuCustDlg.h"

#include <utility>

#include "app/CustomMenu.h"
#include "app/ListEdit.h"

namespace qlk {

CRMenuCustDlg::CRMenuCustDlg(Platform& p, AppState& app)
    : p_(p), app_(app), entries_(app.customMenu), allCaptions_(CatalogueCaptions(app.catalogue)) {
  Refill();
  selected = entries_.empty() ? -1 : 0;
}

void CRMenuCustDlg::Refill() {
  captions_.clear();
  for (uint32_t id : entries_) captions_.push_back(CaptionOf(app_.catalogue, id));
}

bool CRMenuCustDlg::OnCommand(int control, DialogHost& host) {
  const int n = static_cast<int>(entries_.size());
  const bool picked = chosen >= 0 && chosen < static_cast<int>(app_.catalogue.size());
  auto swap = [this](int a, int b) { std::swap(entries_[static_cast<size_t>(a)], entries_[static_cast<size_t>(b)]); };
  switch (control) {
    case kAdd:
      if (!picked) return false;
      entries_.push_back(app_.catalogue[static_cast<size_t>(chosen)].id);
      selected = n;
      break;
    case kInsert: {
      if (!picked) return false;
      // Before the selected entry, or at the end when none is selected.
      const int at = selected >= 0 && selected < n ? selected : n;
      entries_.insert(entries_.begin() + at, app_.catalogue[static_cast<size_t>(chosen)].id);
      selected = n;  // the last entry, as after Add
      break;
    }
    case kDelete: {
      auto question = [this](int i) {
        return MakeMessage(Txt::DeleteQuestionSpaced, {p_.codepage.SjisToUtf8(captions_[static_cast<size_t>(i)])});
      };
      if (!listedit::Delete(host.ui(), selected, n, question, [this](int i) { entries_.erase(entries_.begin() + i); }))
        return false;
      break;
    }
    case kUp:
      if (!listedit::MoveUp(selected, n, swap)) return false;
      break;
    case kDown:
      if (!listedit::MoveDown(selected, n, swap)) return false;
      break;
    default: return false;
  }
  Refill();
  return true;
}

bool CRMenuCustDlg::OnOk(DialogHost&) {
  app_.customMenu = entries_;
  SaveCustomMenu(p_.settings, p_.files, app_.customMenu, app_.appDataFolder);  // says nothing either way
  return true;
}

}  // namespace qlk
