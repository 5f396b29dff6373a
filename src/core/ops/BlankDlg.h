#pragma once
// Parameter dialogs of the tab, comma and joining commands.
#include <string>
#include <vector>

#include "app/Dialog.h"

namespace qlk {

class ISettings;

// "タブ変換", for both directions: "TabDlg"/"nTab".
class CTabDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1203;
  enum Control { kWidth = 1001 };  // "タブ文字数を何文字にしますか？"
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
  static constexpr int kResource = 1204;
  enum Control {
    kText = 1001,     // "TABにする文字(&S):"
    kReplace = 1002,  // "置換(&R)"
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
  static constexpr int kResource = 1205;
  enum Control {
    kStart = 1001,  // "開始位置桁数(&S)"
    kEnd = 1002,    // "終了位置桁数(&E)"
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
  static constexpr int kResource = 1206;
  enum Control { kCount = 1001 };  // "何行ごとに一行化しますか？"
  explicit COnelineDlg(ISettings& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;
  int count;

 private:
  ISettings& s_;
};

}  // namespace qlk
