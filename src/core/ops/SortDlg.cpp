#include "ops/SortDlg.h"

#include <string>

#include "platform/Settings.h"

namespace qlk {
namespace {

constexpr const char* kSortSection = "SortDlg";
constexpr const char* kDupSection = "CDupLineDelDlg";

std::string KeyName(const char* name, int k) { return name + std::to_string(k + 1); }

}  // namespace

CSortDlg::CSortDlg(ISettings& s) : s_(s) {
  for (int k = 0; k < 3; ++k) {
    Key& key = keys[k];
    // A stored direction other than 0 or 1 would name no entry of the drop-down.
    key.mode = s.GetInt(kSortSection, KeyName("Mode", k), 0) != 0 ? 1 : 0;
    key.first = s.GetInt(kSortSection, KeyName("First", k), 1);
    key.end = s.GetInt(kSortSection, KeyName("End", k), 1);
    key.num = s.GetInt(kSortSection, KeyName("Num", k), 0) != 0 ? 1 : 0;
  }
  second = s.GetInt(kSortSection, "Second", 0) != 0 ? 1 : 0;
  third = second && s.GetInt(kSortSection, "Third", 0) != 0 ? 1 : 0;
}

std::vector<Field> CSortDlg::Fields() {
  std::vector<Field> f;
  for (int k = 0; k < 3; ++k) {
    const int d = k * kKeyStep;
    f.push_back(Field::Combo(kMode + d, keys[k].mode, {Txt::SortAscending, Txt::SortDescending}));
    f.push_back(Field::Int(kFirst + d, keys[k].first));
    f.push_back(Field::Int(kEnd + d, keys[k].end));
    f.push_back(Field::Check(kNum + d, keys[k].num));
  }
  f.push_back(Field::Check(kSecond, second));
  f.push_back(Field::Check(kThird, third));
  return f;
}

bool CSortDlg::OnCommand(int control, DialogHost&) {
  if (control == kSecond && !second) {
    third = 0;
    return true;
  }
  return control == kThird;
}

bool CSortDlg::IsEnabled(int control) const {
  if (control == kThird) return second != 0;
  if (control >= kMode + kKeyStep && control <= kNum + kKeyStep) return second != 0;
  if (control >= kMode + 2 * kKeyStep && control <= kNum + 2 * kKeyStep) return second && third;
  return true;
}

bool CSortDlg::OnOk(DialogHost&) {
  for (int k = 0; k < 3; ++k) {
    s_.SetInt(kSortSection, KeyName("Mode", k), keys[k].mode);
    s_.SetInt(kSortSection, KeyName("First", k), keys[k].first);
    s_.SetInt(kSortSection, KeyName("End", k), keys[k].end);
    s_.SetInt(kSortSection, KeyName("Num", k), keys[k].num);
  }
  s_.SetInt(kSortSection, "Second", second);
  s_.SetInt(kSortSection, "Third", third);
  return true;
}

std::vector<CSortItem> CSortDlg::Keys() const {
  std::vector<CSortItem> v;
  const int used = second ? (third ? 3 : 2) : 1;
  for (int k = 0; k < used; ++k) v.push_back({keys[k].mode, keys[k].first, keys[k].end, keys[k].num});
  return v;
}

CDupLineDelDlg::CDupLineDelDlg(ISettings& s)
    : partial(s.GetInt(kDupSection, "Keta", 0) != 0 ? 1 : 0),
      start(s.GetInt(kDupSection, "Start", 1)),
      end(s.GetInt(kDupSection, "End", 1)),
      sorted(s.GetInt(kDupSection, "Sort", 0) != 0 ? 1 : 0),
      s_(s) {}

std::vector<Field> CDupLineDelDlg::Fields() {
  return {Field::Check(kPartial, partial), Field::Int(kStart, start), Field::Int(kEnd, end),
          Field::Check(kSorted, sorted)};
}

bool CDupLineDelDlg::OnOk(DialogHost&) {
  s_.SetInt(kDupSection, "Keta", partial);
  s_.SetInt(kDupSection, "Start", start);
  s_.SetInt(kDupSection, "End", end);
  s_.SetInt(kDupSection, "Sort", sorted);
  return true;
}

}  // namespace qlk
