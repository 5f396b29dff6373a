#include "ops/MultiReplaceDlg.h"

#include "platform/Settings.h"
#include "platform/UserInterface.h"

namespace qlk {
namespace {
constexpr char kSection[] = "MultiReplace";
}

CMultiReplaceDlg::CMultiReplaceDlg(ISettings& s)
    : dir(s.GetText(kSection, "Dir", "")),
      file(s.GetText(kSection, "File", "")),
      find(s.GetText(kSection, "Find", "")),
      replace(s.GetText(kSection, "Replace", "")),
      settings_(s) {}

std::vector<Field> CMultiReplaceDlg::Fields() {
  return {Field::Text(IDC_MULTI_REPLACE_DIR, dir), Field::Text(IDC_MULTI_REPLACE_FILE, file),
          Field::Text(IDC_MULTI_REPLACE_FIND, find), Field::Text(IDC_MULTI_REPLACE_REPLACE, replace)};
}

bool CMultiReplaceDlg::OnCommand(int control, DialogHost& host) {
  if (control != IDC_MULTI_REPLACE_BROWSE) return false;
  std::optional<std::string> chosen = host.ui().BrowseFolder(Txt::MultiReplaceBrowseTitle);
  if (!chosen) return false;
  dir = *chosen;
  return true;
}

bool CMultiReplaceDlg::OnOk(DialogHost& host) {
  const bool noWord = find.empty();
  if (noWord || dir.empty()) {
    host.ui().Tell(MakeMessage(noWord ? Txt::MultiReplaceNoWord : Txt::MultiReplaceNoFolder));
    host.FocusControl(noWord ? IDC_MULTI_REPLACE_FIND : IDC_MULTI_REPLACE_DIR);
    return false;
  }
  settings_.SetText(kSection, "Dir", dir);
  settings_.SetText(kSection, "File", file);
  settings_.SetText(kSection, "Find", find);
  settings_.SetText(kSection, "Replace", replace);
  return true;
}

}  // namespace qlk
