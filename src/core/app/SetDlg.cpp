#include "app/SetDlg.h"

#include "app/SettingKeys.h"

namespace qlk {

CSetDlg::CSetDlg(Platform& p, int allSelectNow, const UpdateState& update) : p_(p), update_(update) {
  ISettings& s = p.settings;
  kana = Get(s, keys::kJisKana);
  jis = Get(s, keys::kJisEscape);
  verify = Get(s, keys::kVerify);
  crlf = Get(s, keys::kCrLf);
  autoConvert = Get(s, keys::kAutoConvert);
  macroDir = Get(s, keys::kMacroDir);
  exeFile = Get(s, keys::kExeFile);
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
    case kHotKeys:
      if (openHotKeys) openHotKeys(host);
      return false;
  }
  return false;
}

bool CSetDlg::IsEnabled(int control) const {
  if (control == kKinsoku) return openKinsoku != nullptr;
  if (control == kStartup) return createStartupShortcut != nullptr;
  if (control == kHotKeys) return openHotKeys != nullptr;
  return true;
}

bool CSetDlg::OnOk(DialogHost&) {
  ISettings& s = p_.settings;
  update_.checkMode = checkMode;
  update_.Save(s);
  Set(s, keys::kJisKana, kana);
  Set(s, keys::kJisEscape, jis);
  Set(s, keys::kVerify, verify);
  Set(s, keys::kCrLf, crlf);
  Set(s, keys::kAutoConvert, autoConvert);
  Set(s, keys::kAllSelect, allSelect);
  Set(s, keys::kMacroDir, macroDir);
  Set(s, keys::kExeFile, exeFile);
  return true;
}

}  // namespace qlk
