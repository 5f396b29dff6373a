#pragma once
// "右クリックメニューカスタマイズ": the commands put on top of the tray menu, chosen from the
// catalogue and edited on a copy of the list that OK puts in place and saves.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_RMENU_CUST        139
#define IDC_RMENU_CUST_ALL    164
#define IDC_RMENU_CUST_LIST   165
#define IDC_RMENU_CUST_ADD    141
#define IDC_RMENU_CUST_INSERT 144
#define IDC_RMENU_CUST_DELETE 131
#define IDC_RMENU_CUST_UP     142
#define IDC_RMENU_CUST_DOWN   143

#ifndef RC_INVOKED
#include <cstdint>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Dialog.h"
#include "platform/Platform.h"

namespace qlk {

class CRMenuCustDlg final : public DialogModel {
 public:
  enum Control {
    kAll = IDC_RMENU_CUST_ALL,        // "全メニュー(&F):"
    kList = IDC_RMENU_CUST_LIST,      // "追加されるメニュー(&M):"
    kAdd = IDC_RMENU_CUST_ADD,        // "追加(&A)"
    kInsert = IDC_RMENU_CUST_INSERT,  // "挿入(&I)"
    kDelete = IDC_RMENU_CUST_DELETE,  // "削除(&D)..."
    kUp = IDC_RMENU_CUST_UP,          // "上へ(&U)"
    kDown = IDC_RMENU_CUST_DOWN,      // "下へ(&W)"
  };
  static constexpr int kResource = IDD_RMENU_CUST;
  CRMenuCustDlg(Platform& p, AppState& app);

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override {
    return {Field::List(kAll, chosen, allCaptions_), Field::List(kList, selected, captions_)};
  }
  bool OnCommand(int control, DialogHost& host) override;
  // Puts the copy in place of the application's list and saves it.
  bool OnOk(DialogHost& host) override;

  const std::vector<uint32_t>& entries() const { return entries_; }
  int chosen = -1;    // in the catalogue
  int selected = -1;  // in the working copy

 private:
  void Refill();

  Platform& p_;
  AppState& app_;
  std::vector<uint32_t> entries_;
  std::vector<std::string> allCaptions_, captions_;
};

}  // namespace qlk

#endif  // RC_INVOKED
