#pragma once
// "全角→半角" and "半角→全角": the character classes a type-switch conversion covers.
// Each box but "英数記号(&M)" keeps its state in the settings section of its dialog; that
// one starts unticked every time.
#include <vector>

#include "app/Dialog.h"

namespace qlk {

class ISettings;

// Control identifiers, shared by both dialogs (the half-to-full one has no hiragana and no
// kanji numeral box).
enum WidthDlgControl {
  kWidthDlgHira = 1001,         // "ひらがな(&H)"
  kWidthDlgKata = 1002,         // "カタカナ(&K)"
  kWidthDlgNum = 1003,          // "数字(&N)"
  kWidthDlgAlpha = 1004,        // "アルファベット(&A)"
  kWidthDlgOther = 1005,        // "日本語記号(&O)"
  kWidthDlgAsciiSymbol = 1006,  // "英数記号(&M)", not stored
  kWidthDlgWasu = 1007,         // "漢数字(&W)"
};

class CZentohanDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1100;
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
  static constexpr int kResource = 1101;
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
