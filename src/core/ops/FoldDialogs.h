#pragma once
// Dialog models of the fold and column-edit commands. Each reads its settings when built and
// writes them only on OK. The prompts of CInputNoDlg and CInputDlg are static texts; the
// others' controls are edits and boxes.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_INPUT_NO                 1300
#define IDC_INPUT_NO_VALUE           1000
#define IDC_INPUT_NO_PROMPT          1001
#define IDD_TURN_IF                  1301
#define IDC_TURN_IF_TEXT             1000
#define IDC_TURN_IF_REPLACE          1001
#define IDD_KINSOKU                  1302
#define IDC_KINSOKU_FIRST            1000
#define IDC_KINSOKU_LAST             1001
#define IDC_KINSOKU_HANGING          1002
#define IDC_KINSOKU_PUSH_OUT         1003
#define IDC_KINSOKU_NO_BREAK_IN_TAGS 1004
#define IDC_KINSOKU_ENGLISH          1005
#define IDD_USTR                     1303
#define IDC_USTR_COLUMN              1000
#define IDC_USTR_TEXT                1001
#define IDD_RENO                     1304
#define IDC_RENO_COLUMN              1000
#define IDC_RENO_DIGITS              1001
#define IDC_RENO_START               1002
#define IDC_RENO_INCREMENT           1003
#define IDC_RENO_BLANK_FILL          1004
#define IDD_INSERT                   1305
#define IDC_INSERT_COLUMN            1000
#define IDC_INSERT_TEXT              1001
#define IDD_DELPOS                   1306
#define IDC_DELPOS_FIRST             1000
#define IDC_DELPOS_LAST              1001
#define IDD_SPACE_INS                1307
#define IDC_SPACE_INS_COLUMN         1000
#define IDC_SPACE_INS_COUNT          1001
#define IDC_SPACE_INS_OVERWRITE      1002
#define IDD_INPUT                    1308
#define IDC_INPUT_TEXT               1000
#define IDC_INPUT_PROMPT             1001
#define IDD_LINE_EDIT                1309
#define IDC_LINE_EDIT_TEXT           1000

#ifndef RC_INVOKED
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
  static constexpr int kResource = IDD_INPUT_NO, kValue = IDC_INPUT_NO_VALUE, kPrompt = IDC_INPUT_NO_PROMPT;
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
  static constexpr int kResource = IDD_TURN_IF, kText = IDC_TURN_IF_TEXT, kReplace = IDC_TURN_IF_REPLACE;
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
  static constexpr int kResource = IDD_KINSOKU, kFirst = IDC_KINSOKU_FIRST, kLast = IDC_KINSOKU_LAST,
                       kHanging = IDC_KINSOKU_HANGING, kPushOut = IDC_KINSOKU_PUSH_OUT,
                       kNoBreakInTags = IDC_KINSOKU_NO_BREAK_IN_TAGS, kEnglish = IDC_KINSOKU_ENGLISH;
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
  static constexpr int kResource = IDD_USTR, kColumn = IDC_USTR_COLUMN, kText = IDC_USTR_TEXT;
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
  static constexpr int kResource = IDD_RENO, kColumn = IDC_RENO_COLUMN, kDigits = IDC_RENO_DIGITS,
                       kStart = IDC_RENO_START, kIncrement = IDC_RENO_INCREMENT, kBlankFill = IDC_RENO_BLANK_FILL;
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
  static constexpr int kResource = IDD_INSERT, kColumn = IDC_INSERT_COLUMN, kText = IDC_INSERT_TEXT;
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
  static constexpr int kResource = IDD_DELPOS, kFirst = IDC_DELPOS_FIRST, kLast = IDC_DELPOS_LAST;
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
  static constexpr int kResource = IDD_SPACE_INS, kColumn = IDC_SPACE_INS_COLUMN, kCount = IDC_SPACE_INS_COUNT,
                       kOverwrite = IDC_SPACE_INS_OVERWRITE;
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
  static constexpr int kResource = IDD_INPUT, kText = IDC_INPUT_TEXT, kPrompt = IDC_INPUT_PROMPT;
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
  static constexpr int kResource = IDD_LINE_EDIT, kText = IDC_LINE_EDIT_TEXT;
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override { return {Field::Text(kText, text)}; }

  std::string text;
};

}  // namespace qlk

#endif  // RC_INVOKED
