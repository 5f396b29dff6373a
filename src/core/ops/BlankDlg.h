#pragma once
// Parameter dialogs of the tab, comma and joining commands.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_TAB            1203
#define IDC_TAB_WIDTH      1001
#define IDD_TAB_IF         1204
#define IDC_TAB_IF_TEXT    1001
#define IDC_TAB_IF_REPLACE 1002
#define IDD_SPTOCSV        1205
#define IDC_SPTOCSV_START  1001
#define IDC_SPTOCSV_END    1002
#define IDD_ONELINE        1206
#define IDC_ONELINE_COUNT  1001

#ifndef RC_INVOKED
#include <string>
#include <vector>

#include "app/Dialog.h"

namespace qlk {

class ISettings;

// "タブ変換", for both directions: "TabDlg"/"nTab".
class CTabDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_TAB;
  enum Control { kWidth = IDC_TAB_WIDTH };  // "タブ文字数を何文字にしますか？"
  explicit CTabDlg(ISettings& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;
  int width;

 private:
  ISettings& s_;
};

// "指定文字をTABに": "TabIf"/"TabStr", "TabIf"/"bReplace". The text is taken as typed.
class CTabIfDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_TAB_IF;
  enum Control {
    kText = IDC_TAB_IF_TEXT,     // "TABにする文字(&S):"
    kReplace = IDC_TAB_IF_REPLACE,  // "置換(&R)"
  };
  explicit CTabIfDlg(ISettings& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;
  std::string text;
  int replace;

 private:
  ISettings& s_;
};

// "スペース区切り→CSV": "SpToCsv"/"nStart", "SpToCsv"/"nEnd".
class CSptocsvDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_SPTOCSV;
  enum Control {
    kStart = IDC_SPTOCSV_START,  // "開始位置桁数(&S)"
    kEnd = IDC_SPTOCSV_END,    // "終了位置桁数(&E)"
  };
  explicit CSptocsvDlg(ISettings& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;
  int start, end;

 private:
  ISettings& s_;
};

// "指定行の一行化": "Oneline"/"nCount", 2 to 65535.
class COnelineDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_ONELINE;
  enum Control { kCount = IDC_ONELINE_COUNT };  // "何行ごとに一行化しますか？"
  explicit COnelineDlg(ISettings& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;
  int count;

 private:
  ISettings& s_;
};

}  // namespace qlk

#endif  // RC_INVOKED
