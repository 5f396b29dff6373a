#include "app/EditorDlg.h"

#include "app/SettingKeys.h"
#include "platform/UserInterface.h"

namespace qlk {

CEditorDlg::CEditorDlg(ISettings& s) : path(Get(s, keys::kEditor)), s_(s) {}

bool CEditorDlg::OnCommand(int control, DialogHost& host) {
  if (control != kBrowse) return false;
  FileDialogRequest r;
  r.open = true;
  r.fileName = "*.EXE";
  r.filter = Txt::ExeFilter;
  r.title = Txt::EditorTitle;
  r.mustExist = true;
  std::vector<std::string> chosen = host.ui().FileDialog(r);
  if (chosen.empty()) return false;
  path = chosen[0];
  return true;
}

bool CEditorDlg::OnOk(DialogHost&) {
  Set(s_, keys::kEditor, path);
  return true;
}

}  // namespace qlk
