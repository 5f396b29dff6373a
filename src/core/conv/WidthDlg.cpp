#include "conv/WidthDlg.h"

#include "conv/Width.h"
#include "platform/Settings.h"

namespace qlk {
namespace {

constexpr const char* kZenSection = "ZenToHan";
constexpr const char* kHanSection = "HanToZen";

int Box(ISettings& s, const char* section, const char* key) { return s.GetInt(section, key, 0) ? 1 : 0; }

int Bit(int box, int flag) { return box ? flag : 0; }

}  // namespace

CZentohanDlg::CZentohanDlg(ISettings& s)
    : hira(Box(s, kZenSection, "bHira")),
      kata(Box(s, kZenSection, "bKata")),
      num(Box(s, kZenSection, "bNum")),
      alpha(Box(s, kZenSection, "bAlpha")),
      other(Box(s, kZenSection, "bOther")),
      wasu(Box(s, kZenSection, "bWasu")),
      settings_(s) {}

std::vector<Field> CZentohanDlg::Fields() {
  return {Field::Check(kWidthDlgHira, hira),   Field::Check(kWidthDlgKata, kata),
          Field::Check(kWidthDlgNum, num),     Field::Check(kWidthDlgAlpha, alpha),
          Field::Check(kWidthDlgOther, other), Field::Check(kWidthDlgAsciiSymbol, asciiSymbol),
          Field::Check(kWidthDlgWasu, wasu)};
}

bool CZentohanDlg::OnOk(DialogHost&) {
  settings_.SetInt(kZenSection, "bHira", hira);
  settings_.SetInt(kZenSection, "bKata", kata);
  settings_.SetInt(kZenSection, "bNum", num);
  settings_.SetInt(kZenSection, "bAlpha", alpha);
  settings_.SetInt(kZenSection, "bOther", other);
  settings_.SetInt(kZenSection, "bWasu", wasu);
  return true;
}

int CZentohanDlg::Flags() const {
  return Bit(hira, kWidthHiragana) | Bit(kata, kWidthKatakana) | Bit(num, kWidthDigit) | Bit(alpha, kWidthAlpha) |
         Bit(other, kWidthJapaneseSymbol) | Bit(asciiSymbol, kWidthAsciiSymbol) | Bit(wasu, kWidthKanjiNumeral);
}

CHantozenDlg::CHantozenDlg(ISettings& s)
    : kata(Box(s, kHanSection, "bKata")),
      num(Box(s, kHanSection, "bNum")),
      alpha(Box(s, kHanSection, "bAlpha")),
      other(Box(s, kHanSection, "bOther")),
      settings_(s) {}

std::vector<Field> CHantozenDlg::Fields() {
  return {Field::Check(kWidthDlgKata, kata), Field::Check(kWidthDlgNum, num), Field::Check(kWidthDlgAlpha, alpha),
          Field::Check(kWidthDlgOther, other), Field::Check(kWidthDlgAsciiSymbol, asciiSymbol)};
}

bool CHantozenDlg::OnOk(DialogHost&) {
  settings_.SetInt(kHanSection, "bKata", kata);
  settings_.SetInt(kHanSection, "bNum", num);
  settings_.SetInt(kHanSection, "bAlpha", alpha);
  settings_.SetInt(kHanSection, "bOther", other);
  return true;
}

int CHantozenDlg::Flags() const {
  return Bit(kata, kWidthKatakana) | Bit(num, kWidthDigit) | Bit(alpha, kWidthAlpha) |
         Bit(other, kWidthJapaneseSymbol) | Bit(asciiSymbol, kWidthAsciiSymbol);
}

}  // namespace qlk
