#include "macro/DirMenu.h"

#include <algorithm>
#include <utility>

#include "app/SettingKeys.h"

namespace qlk {

int CDirMenuArray::Load() {
  count_ = std::clamp(Get(s_, keys::kMacroMenuCount), 0, kMax);
  for (int n = 0; n < count_; ++n)
    (*this)[n] = {Get(s_, keys::kMacroMenuName, n), Get(s_, keys::kMacroMenuFile, n)};
  return count_;
}

void CDirMenuArray::Save() const {
  Set(s_, keys::kMacroMenuCount, count_);
  for (int n = 0; n < count_; ++n) {
    Set(s_, keys::kMacroMenuName, n, (*this)[n].name);
    Set(s_, keys::kMacroMenuFile, n, (*this)[n].path);
  }
}

bool CDirMenuArray::Append(std::string name, std::string path) {
  if (count_ >= kMax) return false;
  (*this)[count_++] = {std::move(name), std::move(path)};
  return true;
}

void CDirMenuArray::Remove(int n) {
  if (n < 0 || n >= count_) return;
  std::move(entries_.begin() + n + 1, entries_.begin() + count_, entries_.begin() + n);
  (*this)[--count_] = {};
}

void CDirMenuArray::Swap(int a, int b) {
  if (a < 0 || b < 0 || a >= count_ || b >= count_) return;
  std::swap((*this)[a], (*this)[b]);
}

std::vector<std::string> CDirMenuArray::Names() const {
  std::vector<std::string> v;
  for (int n = 0; n < count_; ++n) v.push_back((*this)[n].name);
  return v;
}

}  // namespace qlk
