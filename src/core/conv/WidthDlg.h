#pragma once
// "全角→半角" and "半角→全角": the character classes a type-switch conversion covers.
// Each box but "英数記号(&M)" keeps its state in the settings section of its dialog; that
// one starts unticked every time.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_ZENTOHAN           1100
#define IDD_HANTOZEN           1101
#define IDC_WIDTH_HIRA         1001
#define IDC_WIDTH_KATA         1002
#define IDC_WIDTH_NUM          1003
#define IDC_WIDTH_ALPHA        1004
#define IDC_WIDTH_OTHER        1005
#define IDC_WIDTH_ASCII_SYMBOL 1006
#define IDC_WIDTH_WASU         1007

#ifndef RC_INVOKED
#include <vector>

#include "app/Dialog.h"

namespace qlk {

class ISettings;

// Control identifiers, shared by both dialogs (the half-to-full one has no hiragana and no
// kanji numeral box).
enum WidthDlgControl {
  kWidthDlgHira = IDC_WIDTH_HIRA,         // "ひらがな(&H)"
  kWidthDlgKata = IDC_WIDTH_KATA,         // "カタカナ(&K)"
  kWidthDlgNum = IDC_WIDTH_NUM,          // "数字(&N)"
  kWidthDlgAlpha = IDC_WIDTH_ALPHA,        // "アルファベット(&A)"
  kWidthDlgOther = IDC_WIDTH_OTHER,        // "日本語記号(&O)"
  kWidthDlgAsciiSymbol = IDC_WIDTH_ASCII_SYMBOL,  // "英数記号(&M)", not stored
  kWidthDlgWasu = IDC_WIDTH_WASU,         // "漢数字(&W)"
};

class CZentohanDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_ZENTOHAN;
  explicit CZentohanDlg(ISettings& settings);  // reads section "ZenToHan"

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost& host) override;  // writes the stored boxes back
  // The flag byte of the ticked boxes (WidthFlag bits).
  int Flags() const;

  int hira = 0, kata = 0, num = 0, alpha = 0, other = 0, asciiSymbol = 0, wasu = 0;

 private:
  ISettings& settings_;
};

class CHantozenDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_HANTOZEN;
  explicit CHantozenDlg(ISettings& settings);  // reads section "HanToZen"

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost& host) override;
  int Flags() const;

  int kata = 0, num = 0, alpha = 0, other = 0, asciiSymbol = 0;

 private:
  ISettings& settings_;
};

}  // namespace qlk

#endif  // RC_INVOKED
