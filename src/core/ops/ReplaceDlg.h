#pragma once
// The dialogs of the replace family: "置換", "指定文字の削除", "複雑な置換" and
// "囲み文字の置換". Each reads its settings when built and writes them only on OK.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDC_SEARCH_OPT_ZENHAN           1002
#define IDC_SEARCH_OPT_UPLOW            1003
#define IDC_SEARCH_OPT_HIRA             1004
#define IDC_SEARCH_OPT_REGEX            1005
#define IDD_REPLACE                     1400
#define IDC_REPLACE_SEARCH              1000
#define IDC_REPLACE_REPLACEMENT         1001
#define IDD_DEL_STR                     1401
#define IDC_DEL_STR_SEARCH              1000
#define IDD_SREPLACE                    1402
#define IDC_SREPLACE_START              1000
#define IDC_SREPLACE_END                1001
#define IDC_SREPLACE_AFTER              1002
#define IDD_REPLACE_DOUBLE              1403
#define IDC_REPLACE_DOUBLE_START_BEFORE 1000
#define IDC_REPLACE_DOUBLE_START_AFTER  1001
#define IDC_REPLACE_DOUBLE_END_BEFORE   1002
#define IDC_REPLACE_DOUBLE_END_AFTER    1003
#define IDC_REPLACE_DOUBLE_ESCAPE       1004

#ifndef RC_INVOKED
#include <string>
#include <string_view>
#include <vector>

#include "app/Dialog.h"

namespace qlk {

class ISettings;

// Strings typed before, most recent first, without repeats, at most `limit` of them; stored
// one per key of a prefix and a two-digit index ("Search00" ...).
class SearchHistory {
 public:
  explicit SearchHistory(size_t limit) : limit_(limit) {}
  // Reads the indexes 00 up to limit - 1; a string met again is skipped.
  void Load(ISettings& s, std::string_view section, std::string_view prefix);
  // A known string moves to the front; a new one goes in front, pushing out the oldest.
  void Add(const std::string& text);
  void Save(ISettings& s, std::string_view section, std::string_view prefix) const;
  const std::vector<std::string>& Items() const { return items_; }
  // What the drop-down list shows: the entries without the empty one.
  std::vector<std::string> Listed() const;

 private:
  size_t limit_;
  std::vector<std::string> items_;
};

// The option boxes shared by "置換" and "指定文字の削除". While the regular-expression box
// is ticked the width and kana boxes mean nothing and are disabled; without an engine the
// regular-expression box is cleared and disabled.
struct SearchBoxes {
  enum Control {
    kZenhan = IDC_SEARCH_OPT_ZENHAN,
    kUplow = IDC_SEARCH_OPT_UPLOW,
    kHira = IDC_SEARCH_OPT_HIRA,
    kRegex = IDC_SEARCH_OPT_REGEX,
  };
  int zenhan = 0, uplow = 0, hira = 0, regex = 0;

  void Read(ISettings& s, const char* section, bool regexAvailable);
  void Write(ISettings& s, const char* section) const;
  std::vector<Field> Fields();
  bool IsEnabled(int control, bool regexAvailable) const;
  int Options() const;  // the SearchOption bits of the ticked boxes
};

// "置換": search and replacement with their histories of 20 (section "Replace").
class CReplaceDlg final : public DialogModel {
 public:
  enum Control { kSearch = IDC_REPLACE_SEARCH, kReplacement = IDC_REPLACE_REPLACEMENT };
  static constexpr int kResource = IDD_REPLACE;
  static constexpr size_t kHistory = 20;
  CReplaceDlg(ISettings& settings, bool regexAvailable);

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost& host) override;
  bool IsEnabled(int control) const override { return boxes.IsEnabled(control, regexAvailable_); }

  std::string search, replacement;  // as typed, in the escape notation
  SearchBoxes boxes;
  const SearchHistory& searchHistory() const { return searchHistory_; }
  const SearchHistory& replaceHistory() const { return replaceHistory_; }

 private:
  ISettings& settings_;
  bool regexAvailable_;
  SearchHistory searchHistory_{kHistory}, replaceHistory_{kHistory};
  std::vector<std::string> searchList_, replaceList_;
};

// "指定文字の削除": the string to delete, with its last ten strings (section "DeleleStr").
class CDelStrDlg final : public DialogModel {
 public:
  enum Control { kSearch = IDC_DEL_STR_SEARCH };
  static constexpr int kResource = IDD_DEL_STR;
  static constexpr int kEntries = 10;
  CDelStrDlg(ISettings& settings, bool regexAvailable);

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost& host) override;
  bool IsEnabled(int control) const override { return boxes.IsEnabled(control, regexAvailable_); }

  std::string search;
  SearchBoxes boxes;
  // The ten stored strings in order, empty ones included.
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  ISettings& settings_;
  bool regexAvailable_;
  std::vector<std::string> entries_;
};

// "複雑な置換": start string, end string and what replaces the span (section "SReplace").
class CSReplaceDlg final : public DialogModel {
 public:
  enum Control { kStart = IDC_SREPLACE_START, kEnd = IDC_SREPLACE_END, kAfter = IDC_SREPLACE_AFTER };
  static constexpr int kResource = IDD_SREPLACE;
  explicit CSReplaceDlg(ISettings& settings);

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost& host) override;

  std::string start, end, after;  // as typed

 private:
  ISettings& settings_;
};

// "囲み文字の置換": the enclosing strings before and after, and the escape character. It
// keeps no settings; OK is refused while a before-text is empty.
class CReplaceDoubleDlg final : public DialogModel {
 public:
  enum Control {
    kStartBefore = IDC_REPLACE_DOUBLE_START_BEFORE,
    kStartAfter = IDC_REPLACE_DOUBLE_START_AFTER,
    kEndBefore = IDC_REPLACE_DOUBLE_END_BEFORE,
    kEndAfter = IDC_REPLACE_DOUBLE_END_AFTER,
    kEscape = IDC_REPLACE_DOUBLE_ESCAPE,
  };
  static constexpr int kResource = IDD_REPLACE_DOUBLE;

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost& host) override;

  std::string startBefore, startAfter, endBefore, endAfter, escape;
};

}  // namespace qlk

#endif  // RC_INVOKED
