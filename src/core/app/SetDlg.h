#pragma once
// "設定": the general settings of the tray.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_SET               108
#define IDC_SET_JIS0          1000
#define IDC_SET_JIS1          109
#define IDC_SET_JIS2          110
#define IDC_SET_JIS3          111
#define IDC_SET_KANA0         105
#define IDC_SET_KANA1         106
#define IDC_SET_KANA2         107
#define IDC_SET_VERIFY        112
#define IDC_SET_CRLF          118
#define IDC_SET_AUTO          127
#define IDC_SET_ALL_SELECT    128
#define IDC_SET_MACRO_DIR     135
#define IDC_SET_EXE_FILE      136
#define IDC_SET_CHECK_MODE    159
#define IDC_SET_BROWSE_FOLDER 129
#define IDC_SET_BROWSE_FILE   130
#define IDC_SET_KINSOKU       154
#define IDC_SET_STARTUP       1001
#define IDC_SET_HOTKEYS       1002

#ifndef RC_INVOKED
#include <functional>
#include <string>

#include "app/AppState.h"
#include "app/Dialog.h"
#include "platform/Platform.h"

namespace qlk {

class CSetDlg final : public DialogModel {
 public:
  enum Control {
    kJis0 = IDC_SET_JIS0, kJis1 = IDC_SET_JIS1, kJis2 = IDC_SET_JIS2, kJis3 = IDC_SET_JIS3,  // "2バイト文字(&B)"
    kKana0 = IDC_SET_KANA0, kKana1 = IDC_SET_KANA1, kKana2 = IDC_SET_KANA2,             // "半角かな(&K)"
    kVerify = IDC_SET_VERIFY,
    kCrLf = IDC_SET_CRLF,
    kAuto = IDC_SET_AUTO,
    kAllSelect = IDC_SET_ALL_SELECT,
    kMacroDir = IDC_SET_MACRO_DIR,
    kExeFile = IDC_SET_EXE_FILE,
    kCheckMode = IDC_SET_CHECK_MODE,
    kBrowseFolder = IDC_SET_BROWSE_FOLDER,
    kBrowseFile = IDC_SET_BROWSE_FILE,
    kKinsoku = IDC_SET_KINSOKU,
    kStartup = IDC_SET_STARTUP,
    kHotKeys = IDC_SET_HOTKEYS,  // "ホットキー(&Y)...": the hotkey dialog
  };
  static constexpr int kResource = IDD_SET;

  // Reads the current values: the profile, the main window's AllSelect and the update state.
  CSetDlg(Platform& p, int allSelect, const UpdateState& update);

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnCommand(int control, DialogHost& host) override;
  // A button whose feature is not in this build stands grey rather than doing nothing.
  bool IsEnabled(int control) const override;
  // Writes every key, in the order the tray has always written them.
  bool OnOk(DialogHost& host) override;

  // What the line-breaking rules and start-up buttons open (set by the shell).
  std::function<void(DialogHost&)> openKinsoku;
  std::function<void(DialogHost&)> createStartupShortcut;
  std::function<void(DialogHost&)> openHotKeys;

  int jis, kana, verify, crlf, autoConvert, allSelect, checkMode;
  std::string macroDir, exeFile;

  // After OK: the values the main window and the update check take over.
  int AcceptedAllSelect() const { return allSelect; }
  const UpdateState& AcceptedUpdate() const { return update_; }

 private:
  Platform& p_;
  UpdateState update_;
};

}  // namespace qlk

#endif  // RC_INVOKED
