#pragma once
// "ホットキーの設定": key combinations bound to the entries of the custom-menu catalogue,
// edited on a copy that OK puts in place, writes and registers.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_HOTKEY          1600
#define IDC_HOTKEY_ALL      1601
#define IDC_HOTKEY_KEY      1602
#define IDC_HOTKEY_WIN      1603
#define IDC_HOTKEY_PASTE    1604
#define IDC_HOTKEY_LIST     1605
#define IDC_HOTKEY_ADD      1606
#define IDC_HOTKEY_CHANGE   1607
#define IDC_HOTKEY_DELETE   1608
#define IDC_HOTKEY_STATUS   1609

#ifndef RC_INVOKED
#include <cstdint>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Dialog.h"
#include "app/HotKeys.h"
#include "platform/Platform.h"

namespace qlk {

class CHotKeyDlg final : public DialogModel {
 public:
  enum Control {
    kAll = IDC_HOTKEY_ALL,        // "全メニュー(&F):", the menu opener first
    kKey = IDC_HOTKEY_KEY,        // the system's hotkey control: Ctrl, Alt, Shift and the key
    kWin = IDC_HOTKEY_WIN,        // "Win(&W)", which that control cannot take
    kPaste = IDC_HOTKEY_PASTE,    // "自動で貼り付け(&P)"
    kList = IDC_HOTKEY_LIST,      // "ホットキー(&H):"
    kAdd = IDC_HOTKEY_ADD,        // "追加(&A)"
    kChange = IDC_HOTKEY_CHANGE,  // "変更(&C)"
    kDelete = IDC_HOTKEY_DELETE,  // "削除(&D)..."
    kStatus = IDC_HOTKEY_STATUS,  // what is wrong with the combination last tried
  };
  static constexpr int kResource = IDD_HOTKEY;
  CHotKeyDlg(Platform& p, AppState& app);

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnCommand(int control, DialogHost& host) override;
  bool IsEnabled(int control) const override;
  // Puts the copy in place, writes the "HotKey" section and registers the keys anew; a
  // combination that could not be registered is named in a message.
  bool OnOk(DialogHost& host) override;

  const std::vector<HotKeyBinding>& bindings() const { return bindings_; }
  // The command of row `i` of list kAll; kNoCommand for a row the list does not have.
  static constexpr uint32_t kNoCommand = 0xFFFFFFFF;
  uint32_t CommandAt(int i) const;

  int chosen = -1;    // in list kAll
  int key = 0;        // modifiers other than Win << 16 | virtual key, as FieldKind::HotKey holds it
  int win = 0, paste = 0;
  int selected = -1;  // in the bindings

 private:
  // The combination of the controls into `b`; false, after saying why, when it cannot be
  // bound (no modifier, another binding has it, another program holds it).
  bool Compose(HotKeyBinding& b, int except, DialogHost& host);
  void ShowSelected();
  void Refill();

  Platform& p_;
  AppState& app_;
  std::vector<HotKeyBinding> bindings_;
  std::vector<std::string> allCaptions_, lines_;
  std::string status_;
};

}  // namespace qlk

#endif  // RC_INVOKED
