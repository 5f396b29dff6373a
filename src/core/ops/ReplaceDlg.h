#pragma once
// The dialogs of the replace family: "置換", "指定文字の削除", "複雑な置換" and
// "囲み文字の置換". Each reads its settings when built and writes them only on OK.
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
  enum Control { kZenhan = 1002, kUplow = 1003, kHira = 1004, kRegex = 1005 };
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
  enum Control { kSearch = 1000, kReplacement = 1001 };
  static constexpr int kResource = 1400;
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
  enum Control { kSearch = 1000 };
  static constexpr int kResource = 1401;
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
  enum Control { kStart = 1000, kEnd = 1001, kAfter = 1002 };
  static constexpr int kResource = 1402;
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
  enum Control { kStartBefore = 1000, kStartAfter = 1001, kEndBefore = 1002, kEndAfter = 1003, kEscape = 1004 };
  static constexpr int kResource = 1403;

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnOk(DialogHost& host) override;

  std::string startBefore, startAfter, endBefore, endAfter, escape;
};

}  // namespace qlk
