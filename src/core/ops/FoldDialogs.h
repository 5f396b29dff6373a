#pragma once
// Dialog models of the fold and column-edit commands. Each reads its settings when built and
// writes them only on OK. Resource and control identifiers (the dialogs have no fixed ones):
//
//   dialog        resource  controls
//   CInputNoDlg   1300      1000 number, 1001 prompt (static)
//   CTurnIfDlg    1301      1000 text, 1001 replace box
//   CKinsokuDlg   1302      1000 first-forbidden, 1001 last-forbidden, 1002 hanging box,
//                           1003 push-out box, 1004 no-break-in-tags box, 1005 English drop-down
//   CUstrDlg      1303      1000 column, 1001 text
//   CRenoDlg      1304      1000 column, 1001 digits, 1002 start, 1003 increment, 1004 blank box
//   CInsertDlg    1305      1000 column, 1001 text
//   CDelposDlg    1306      1000 first column, 1001 last column
//   CSpaceInsDlg  1307      1000 column, 1001 count, 1002 overwrite box
//   CInputDlg     1308      1000 text, 1001 prompt (static)
//   CLineEditDlg  1309      1000 text
#include <string>
#include <vector>

#include "app/Dialog.h"
#include "ops/Kinsoku.h"

namespace qlk {

class ISettings;

// Columns, positions and digits that the dialogs accept.
inline constexpr int kMinColumn = 1, kMaxColumn = 32767;

// A number with a prompt, titled with the product name; any integer. The value lives in
// `section`/"No" (default 70).
class CInputNoDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1300, kValue = 1000, kPrompt = 1001;
  CInputNoDlg(ISettings& settings, Txt prompt, std::string section);
  int ResourceId() const override { return kResource; }
  Txt Title() const override { return Txt::ProductName; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;

  int value = 70;

 private:
  ISettings& settings_;
  Txt prompt_;
  std::string section_;
};

// "指定文字で改行": the break string and whether it is dropped ("TurnIf" section).
class CTurnIfDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1301, kText = 1000, kReplace = 1001;
  explicit CTurnIfDlg(ISettings& settings);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;

  std::string text;
  int replace = 0;

 private:
  ISettings& settings_;
};

// The line-breaking rules. Shows and edits the rules the application holds in memory (the
// English mode as stored, which is what every fold reads); OK copies them back and writes
// the settings.
class CKinsokuDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1302, kFirst = 1000, kLast = 1001, kHanging = 1002, kPushOut = 1003,
                       kNoBreakInTags = 1004, kEnglish = 1005;
  CKinsokuDlg(KinsokuRules& rules, ISettings& settings);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;
  // The two edits follow their boxes.
  bool IsEnabled(int control) const override;

  std::string first, last;
  int hanging = 0, pushOut = 0, noBreakInTags = 0, english = 0;

 private:
  KinsokuRules& rules_;
  ISettings& settings_;
};

// "埋め込み文字": overwrite column and string ("UstrDlg").
class CUstrDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1303, kColumn = 1000, kText = 1001;
  explicit CUstrDlg(ISettings& settings);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;

  int column = 0;
  std::string text;

 private:
  ISettings& settings_;
};

// "連番の埋め込み": running numbers ("RenoDlg").
class CRenoDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1304, kColumn = 1000, kDigits = 1001, kStart = 1002, kIncrement = 1003,
                       kBlankFill = 1004;
  explicit CRenoDlg(ISettings& settings);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;

  int column = 1, digits = 0, start = 1, increment = 1, blankFill = 0;

 private:
  ISettings& settings_;
};

// "文字列の挿入": insert column and string as typed ("InsertDlg").
class CInsertDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1305, kColumn = 1000, kText = 1001;
  explicit CInsertDlg(ISettings& settings);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;

  int column = 1;
  std::string text;

 private:
  ISettings& settings_;
};

// "指定桁の削除": first and last column to delete ("DelPos").
class CDelposDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1306, kFirst = 1000, kLast = 1001;
  explicit CDelposDlg(ISettings& settings);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;

  int first = 1, last = 1;

 private:
  ISettings& settings_;
};

// "空白の挿入": column, count and overwrite ("SpaceIns").
class CSpaceInsDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1307, kColumn = 1000, kCount = 1001, kOverwrite = 1002;
  explicit CSpaceInsDlg(ISettings& settings);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;

  int column = 1, count = 1, overwrite = 0;

 private:
  ISettings& settings_;
};

// One line of text with a prompt, titled with the product name; kept in `section`/`key`.
class CInputDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1308, kText = 1000, kPrompt = 1001;
  CInputDlg(ISettings& settings, Txt prompt, std::string section, std::string key);
  int ResourceId() const override { return kResource; }
  Txt Title() const override { return Txt::ProductName; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost&) override;

  std::string text;

 private:
  ISettings& settings_;
  Txt prompt_;
  std::string section_, key_;
};

// "行の入力": the text of a new last line; keeps nothing.
class CLineEditDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1309, kText = 1000;
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override { return {Field::Text(kText, text)}; }

  std::string text;
};

}  // namespace qlk
