#pragma once
// "整列" (the complex sort's keys) and "重複行削除" (duplicate removal) dialogs.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_SORT                 1201
#define IDC_SORT_MODE1           1001
#define IDC_SORT_FIRST1          1002
#define IDC_SORT_END1            1003
#define IDC_SORT_NUM1            1004
#define IDC_SORT_MODE2           1011
#define IDC_SORT_FIRST2          1012
#define IDC_SORT_END2            1013
#define IDC_SORT_NUM2            1014
#define IDC_SORT_MODE3           1021
#define IDC_SORT_FIRST3          1022
#define IDC_SORT_END3            1023
#define IDC_SORT_NUM3            1024
#define IDC_SORT_SECOND          1010
#define IDC_SORT_THIRD           1020
#define IDD_DUP_LINE_DEL         1202
#define IDC_DUP_LINE_DEL_PARTIAL 1001
#define IDC_DUP_LINE_DEL_START   1002
#define IDC_DUP_LINE_DEL_END     1003
#define IDC_DUP_LINE_DEL_SORTED  1004

#ifndef RC_INVOKED
#include <vector>

#include "app/Dialog.h"
#include "doc/Document.h"

namespace qlk {

class ISettings;

// Section "SortDlg". Key 2 is offered only while "第二条件" is ticked, key 3 only while
// "第三条件" is, and clearing the second box clears the third.
class CSortDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_SORT;
  // Per key k (0, 1, 2): direction kMode + 10k, columns kFirst + 10k and kEnd + 10k,
  // numeric kNum + 10k.
  enum Control {
    kMode = IDC_SORT_MODE1,    // "第一条件(&F):" drop-down: "昇順", "降順"
    kFirst = IDC_SORT_FIRST1,   // "桁～"
    kEnd = IDC_SORT_END1,     // "桁"
    kNum = IDC_SORT_NUM1,     // "数値(&N)", "数値(&M)", "数値(&O)"
    kSecond = IDC_SORT_SECOND,  // check box "第二条件(&W):"
    kThird = IDC_SORT_THIRD,   // check box "第三条件(&T):"
  };
  static constexpr int kKeyStep = 10;
  static_assert(IDC_SORT_MODE3 == kMode + 2 * kKeyStep && IDC_SORT_FIRST2 == kFirst + kKeyStep &&
                IDC_SORT_END3 == kEnd + 2 * kKeyStep && IDC_SORT_NUM2 == kNum + kKeyStep);

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
  static constexpr int kResource = IDD_DUP_LINE_DEL;
  enum Control {
    kPartial = IDC_DUP_LINE_DEL_PARTIAL,  // "行の一部を比較する(&K)"
    kStart = IDC_DUP_LINE_DEL_START,    // "比較開始桁(&S)"
    kEnd = IDC_DUP_LINE_DEL_END,      // "比較終了桁(&E)"
    kSorted = IDC_DUP_LINE_DEL_SORTED,   // "整列済みデータと仮定する(&D)"
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

#endif  // RC_INVOKED
