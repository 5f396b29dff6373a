#pragma once
// "整列" (the complex sort's keys) and "重複行削除" (duplicate removal) dialogs.
#include <vector>

#include "app/Dialog.h"
#include "doc/Document.h"

namespace qlk {

class ISettings;

// Section "SortDlg". Key 2 is offered only while "第二条件" is ticked, key 3 only while
// "第三条件" is, and clearing the second box clears the third.
class CSortDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1201;
  // Per key k (0, 1, 2): direction kMode + 10k, columns kFirst + 10k and kEnd + 10k,
  // numeric kNum + 10k.
  enum Control {
    kMode = 1001,    // "第一条件(&F):" drop-down: "昇順", "降順"
    kFirst = 1002,   // "桁～"
    kEnd = 1003,     // "桁"
    kNum = 1004,     // "数値(&N)", "数値(&M)", "数値(&O)"
    kSecond = 1010,  // check box "第二条件(&W):"
    kThird = 1020,   // check box "第三条件(&T):"
  };
  static constexpr int kKeyStep = 10;

  explicit CSortDlg(ISettings& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnCommand(int control, DialogHost& host) override;
  bool OnOk(DialogHost& host) override;
  bool IsEnabled(int control) const override;

  // The keys in use: key 1, then key 2 and key 3 when ticked; the last column as typed.
  std::vector<CSortItem> Keys() const;

  struct Key {
    int mode = 0, first = 1, end = 1, num = 0;
  };
  Key keys[3];
  int second = 0, third = 0;

 private:
  ISettings& s_;
};

// Section "CDupLineDelDlg". The column edits are offered only while the first box is ticked.
class CDupLineDelDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1202;
  enum Control {
    kPartial = 1001,  // "行の一部を比較する(&K)"
    kStart = 1002,    // "比較開始桁(&S)"
    kEnd = 1003,      // "比較終了桁(&E)"
    kSorted = 1004,   // "整列済みデータと仮定する(&D)"
  };

  explicit CDupLineDelDlg(ISettings& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnCommand(int control, DialogHost&) override { return control == kPartial; }
  bool OnOk(DialogHost& host) override;
  bool IsEnabled(int control) const override { return (control != kStart && control != kEnd) || partial; }

  int partial, start, end, sorted;

 private:
  ISettings& s_;
};

}  // namespace qlk
