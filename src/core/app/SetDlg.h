#pragma once
// "設定": the general settings of the tray.
#include <functional>
#include <string>

#include "app/AppState.h"
#include "app/Dialog.h"
#include "platform/Platform.h"

namespace qlk {

class CSetDlg final : public DialogModel {
 public:
  enum Control {
    kJis0 = 1000, kJis1 = 109, kJis2 = 110, kJis3 = 111,  // "2バイト文字(&B)"
    kKana0 = 105, kKana1 = 106, kKana2 = 107,             // "半角かな(&K)"
    kVerify = 112,
    kCrLf = 118,
    kAuto = 127,
    kAllSelect = 128,
    kMacroDir = 135,
    kExeFile = 136,
    kCheckMode = 159,
    kBrowseFolder = 129,
    kBrowseFile = 130,
    kKinsoku = 154,
    kStartup = 1001,
  };
  static constexpr int kResource = 108;

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
