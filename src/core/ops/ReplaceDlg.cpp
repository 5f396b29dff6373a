#include "ops/ReplaceDlg.h"

#include <algorithm>

#include "ops/Replace.h"
#include "platform/Settings.h"
#include "platform/UserInterface.h"

namespace qlk {
namespace {

constexpr const char* kReplace = "Replace";
constexpr const char* kDelStr = "DeleleStr";  // the section has always been spelt so
constexpr const char* kSReplace = "SReplace";

// "Search00" ... "Search19"
std::string Key(std::string_view prefix, size_t index) {
  return std::string(prefix) + static_cast<char>('0' + index / 10 % 10) + static_cast<char>('0' + index % 10);
}

int Box(ISettings& s, const char* section, const char* key) { return s.GetInt(section, key, 0) ? 1 : 0; }

}  // namespace

// ---------------------------------------------------------------- history

void SearchHistory::Load(ISettings& s, std::string_view section, std::string_view prefix) {
  items_.clear();
  for (size_t i = 0; i < limit_; ++i) {
    std::string t = s.GetText(section, Key(prefix, i), "");
    if (std::find(items_.begin(), items_.end(), t) == items_.end()) items_.push_back(std::move(t));
  }
}

void SearchHistory::Add(const std::string& text) {
  auto it = std::find(items_.begin(), items_.end(), text);
  if (it != items_.end()) {
    std::rotate(items_.begin(), it, it + 1);
    return;
  }
  items_.insert(items_.begin(), text);
  if (items_.size() > limit_) items_.resize(limit_);
}

void SearchHistory::Save(ISettings& s, std::string_view section, std::string_view prefix) const {
  for (size_t i = 0; i < items_.size(); ++i) s.SetText(section, Key(prefix, i), items_[i]);
}

std::vector<std::string> SearchHistory::Listed() const {
  std::vector<std::string> v;
  for (const std::string& t : items_)
    if (!t.empty()) v.push_back(t);
  return v;
}

// ---------------------------------------------------------------- option boxes

void SearchBoxes::Read(ISettings& s, const char* section, bool regexAvailable) {
  zenhan = Box(s, section, "bZenhan");
  uplow = Box(s, section, "bUplow");
  hira = Box(s, section, "bHira");
  regex = regexAvailable ? Box(s, section, "bRegExp") : 0;
}

void SearchBoxes::Write(ISettings& s, const char* section) const {
  s.SetInt(section, "bZenhan", zenhan);
  s.SetInt(section, "bUplow", uplow);
  s.SetInt(section, "bHira", hira);
  s.SetInt(section, "bRegExp", regex);
}

std::vector<Field> SearchBoxes::Fields() {
  return {Field::Check(kZenhan, zenhan), Field::Check(kUplow, uplow), Field::Check(kHira, hira),
          Field::Check(kRegex, regex)};
}

bool SearchBoxes::IsEnabled(int control, bool regexAvailable) const {
  if (control == kRegex) return regexAvailable;
  if (control == kZenhan || control == kHira) return !regex;
  return true;
}

int SearchBoxes::Options() const {
  return (zenhan ? kIgnoreWidth : 0) | (uplow ? kIgnoreCase : 0) | (hira ? kIgnoreKana : 0);
}

// ---------------------------------------------------------------- 置換

CReplaceDlg::CReplaceDlg(ISettings& s, bool regexAvailable)
    : search(s.GetText(kReplace, "SearchStr", "")),
      replacement(s.GetText(kReplace, "RepStr", "")),
      settings_(s),
      regexAvailable_(regexAvailable) {
  boxes.Read(s, kReplace, regexAvailable);
  searchHistory_.Load(s, kReplace, "Search");
  replaceHistory_.Load(s, kReplace, "Replace");
  searchList_ = searchHistory_.Listed();
  replaceList_ = replaceHistory_.Listed();
}

std::vector<Field> CReplaceDlg::Fields() {
  std::vector<Field> f{Field::ComboEdit(kSearch, search, searchList_),
                       Field::ComboEdit(kReplacement, replacement, replaceList_)};
  for (Field& b : boxes.Fields()) f.push_back(b);
  return f;
}

bool CReplaceDlg::OnOk(DialogHost&) {
  settings_.SetText(kReplace, "RepStr", replacement);
  settings_.SetText(kReplace, "SearchStr", search);
  boxes.Write(settings_, kReplace);
  settings_.SetText(kReplace, "Replace00", replacement);
  settings_.SetText(kReplace, "Search00", search);
  searchHistory_.Add(search);
  replaceHistory_.Add(replacement);
  searchHistory_.Save(settings_, kReplace, "Search");
  replaceHistory_.Save(settings_, kReplace, "Replace");
  return true;
}

// ---------------------------------------------------------------- 指定文字の削除

CDelStrDlg::CDelStrDlg(ISettings& s, bool regexAvailable)
    : search(s.GetText(kDelStr, "SearchStr", "")), settings_(s), regexAvailable_(regexAvailable) {
  boxes.Read(s, kDelStr, regexAvailable);
  for (int i = 0; i < kEntries; ++i) entries_.push_back(s.GetText(kDelStr, Key("Search", i), ""));
}

std::vector<Field> CDelStrDlg::Fields() {
  std::vector<Field> f{Field::ComboEdit(kSearch, search, entries_)};
  for (Field& b : boxes.Fields()) f.push_back(b);
  return f;
}

bool CDelStrDlg::OnOk(DialogHost&) {
  settings_.SetText(kDelStr, "SearchStr", search);
  boxes.Write(settings_, kDelStr);
  // The list moves down by one under the new string; the tenth entry drops out.
  settings_.SetText(kDelStr, "Search00", search);
  for (int i = 1; i < kEntries; ++i) settings_.SetText(kDelStr, Key("Search", i), entries_[i - 1]);
  return true;
}

// ---------------------------------------------------------------- 複雑な置換

CSReplaceDlg::CSReplaceDlg(ISettings& s)
    : start(s.GetText(kSReplace, "StartStr", "")),
      end(s.GetText(kSReplace, "EndStr", "")),
      after(s.GetText(kSReplace, "AfterStr", "")),
      settings_(s) {}

std::vector<Field> CSReplaceDlg::Fields() {
  return {Field::Text(kStart, start), Field::Text(kEnd, end), Field::Text(kAfter, after)};
}

bool CSReplaceDlg::OnOk(DialogHost&) {
  settings_.SetText(kSReplace, "StartStr", start);
  settings_.SetText(kSReplace, "EndStr", end);
  settings_.SetText(kSReplace, "AfterStr", after);
  return true;
}

// ---------------------------------------------------------------- 囲み文字の置換

std::vector<Field> CReplaceDoubleDlg::Fields() {
  return {Field::Text(kStartBefore, startBefore), Field::Text(kStartAfter, startAfter),
          Field::Text(kEndBefore, endBefore), Field::Text(kEndAfter, endAfter), Field::Text(kEscape, escape, 1)};
}

bool CReplaceDoubleDlg::OnOk(DialogHost& host) {
  if (startBefore.empty() || endBefore.empty()) {
    const bool start = startBefore.empty();
    host.ui().Tell(MakeMessage(start ? Txt::NoStartBefore : Txt::NoEndBefore));
    host.FocusControl(start ? kStartBefore : kEndBefore);
    return false;
  }
  return true;
}

}  // namespace qlk
