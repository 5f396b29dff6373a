#include "app/SetDlg.h"

namespace qlk {

CSetDlg::CSetDlg(Platform& p, int allSelectNow, const UpdateState& update) : p_(p), update_(update) {
  ISettings& s = p.settings;
  kana = s.GetInt("Jis", "Kana", 0);
  jis = s.GetInt("Jis", "Jis", 1);
  verify = s.GetInt("System", "Verify", 0);
  crlf = s.GetInt("System", "CrLf", 0);
  autoConvert = s.GetInt("System", "Auto", 1);
  macroDir = s.GetText("Macro", "Dir", "");
  exeFile = s.GetText("System", "ExeFile", "");
  allSelect = allSelectNow;
  checkMode = update.checkMode;
}

std::vector<Field> CSetDlg::Fields() {
  return {Field::Radio({kJis0, kJis1, kJis2, kJis3}, jis),
          Field::Radio({kKana0, kKana1, kKana2}, kana),
          Field::Check(kVerify, verify),
          Field::Combo(kCrLf, crlf, {Txt::SetCrLfWindows, Txt::SetCrLfMac, Txt::SetCrLfUnix}),
          Field::Check(kAuto, autoConvert),
          Field::Check(kAllSelect, allSelect),
          Field::Text(kMacroDir, macroDir),
          Field::Text(kExeFile, exeFile),
          Field::Combo(kCheckMode, checkMode, {Txt::SetCheckNever, Txt::SetCheckStart, Txt::SetCheckDaily, Txt::SetCheckWeekly})};
}

bool CSetDlg::OnCommand(int control, DialogHost& host) {
  switch (control) {
    case kBrowseFolder:
      if (auto dir = host.ui().BrowseFolder(Txt::SetFolderTitle)) {
        macroDir = *dir;
        return true;
      }
      return false;
    case kBrowseFile: {
      FileDialogRequest r;
      r.open = true;
      r.fileName = "*.EXE";
      r.filter = Txt::ExeFilter;
      r.title = Txt::SetExeTitle;
      r.mustExist = true;
      std::vector<std::string> chosen = host.ui().FileDialog(r);
      if (chosen.empty()) return false;
      exeFile = chosen[0];
      return true;
    }
    case kKinsoku:
      if (openKinsoku) openKinsoku(host);
      return false;
    case kStartup:
      if (createStartupShortcut) createStartupShortcut(host);
      return false;
  }
  return false;
}

bool CSetDlg::IsEnabled(int control) const {
  if (control == kKinsoku) return openKinsoku != nullptr;
  if (control == kStartup) return createStartupShortcut != nullptr;
  return true;
}

bool CSetDlg::OnOk(DialogHost&) {
  ISettings& s = p_.settings;
  update_.checkMode = checkMode;
  update_.Save(s);
  s.SetInt("Jis", "Kana", kana);
  s.SetInt("Jis", "Jis", jis);
  s.SetInt("System", "Verify", verify);
  s.SetInt("System", "CrLf", crlf);
  s.SetInt("System", "Auto", autoConvert);
  s.SetInt("System", "AllSelect", allSelect);
  s.SetText("Macro", "Dir", macroDir);
  s.SetText("System", "ExeFile", exeFile);
  return true;
}

}  // namespace qlk
