#pragma once
// The two commands that show the text rather than transform it: the character count with its
// dialog "文字数のカウント", and the full edit in "テキスト編集".

#define IDD_COUNT                1450
#define IDC_COUNT_TOTAL          1000
#define IDC_COUNT_KANJI          1001
#define IDC_COUNT_HIRAGANA       1002
#define IDC_COUNT_KATAKANA       1003
#define IDC_COUNT_LETTERS        1004
#define IDC_COUNT_DIGITS         1005
#define IDC_COUNT_SYMBOLS        1006
#define IDC_COUNT_KANJI_PCT      1011
#define IDC_COUNT_HIRAGANA_PCT   1012
#define IDC_COUNT_KATAKANA_PCT   1013
#define IDC_COUNT_LETTERS_PCT    1014
#define IDC_COUNT_DIGITS_PCT     1015
#define IDC_COUNT_SYMBOLS_PCT    1016
#define IDC_COUNT_BYTES          1020
#define IDC_COUNT_BYTES_UNIT     1021
#define IDC_COUNT_WORDS          1022
#define IDD_TEXT_EDIT            1451
#define IDC_TEXT_EDIT_TEXT       1000

#ifndef RC_INVOKED
#include <array>
#include <string>
#include <string_view>

#include "app/Dialog.h"

namespace qlk {

class CQuenlarkDoc;

// The character kinds in the order the dialog shows them; the tests that decide a character's
// kind run in another order (CharKindOf).
enum CharKind { kKanji, kHiragana, kKatakana, kLetter, kDigit, kSymbol, kCharKinds };

struct CharCounts {
  std::array<long long, kCharKinds> n{};
  long long Total() const;
  // n[k] * 100 / total, rounded down (0 for an empty count).
  long long Percent(CharKind k) const;
};

// The kind of the character at `i` of a Shift-JIS line (double-byte aware): hiragana,
// katakana (full-width, and half-width 0xA1-0xDF), then by its single-byte form letters,
// digits and symbols (space, ASCII punctuation, the full-width symbols of lead byte 0x81),
// and kanji for everything else.
CharKind CharKindOf(std::string_view line, size_t i);

// ---- document queries (no undo step, no change) ----
// The characters of the non-empty target lines by kind.
CharCounts CountChars(CQuenlarkDoc& doc);
// The target lines' bytes, each with its CR LF.
long long ByteSize(CQuenlarkDoc& doc);
// English words of the target lines: runs of letters, digits, "'", "-", "_" and double-byte
// or other high characters; a line ending with "-" continues its last word on the next
// target line when that begins with a word character.
long long WordCount(CQuenlarkDoc& doc);

// "%.10g" of the value with "," between groups of three digits before the decimal point.
std::string FormatCount(double value);
// The size in K or M units ("1.5K"), or "" for 1,000 bytes and less.
std::string SizeInUnits(long long bytes);

// "文字数のカウント": every figure read-only, closed with "閉じる".
class CCountDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_COUNT;
  CCountDlg(const CharCounts& counts, long long bytes, long long words);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;

  std::string total, bytes, bytesInUnits, words;
  std::array<std::string, kCharKinds> counts, percents;
};

// "テキスト編集": the whole text in one edit without a length limit. On OK, text that
// Shift-JIS cannot hold asks the lossy-text question; Cancel there keeps the dialog open
// with the text as typed.
class CTextEditDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_TEXT_EDIT;
  explicit CTextEditDlg(std::string wholeText) : text(std::move(wholeText)) {}
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost& host) override;

  std::string text;   // Shift-JIS, lines ended by CR LF
  bool lossy = false; // the edit held characters Shift-JIS cannot hold
};

}  // namespace qlk
#endif
