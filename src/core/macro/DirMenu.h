#pragma once
// The macro menu: up to thirty named macro files, kept in the profile section "DirMenu" and
// shown as commands 32853 + n. Whatever reads the menu (the tray menu, its commands, the
// custom-menu catalogue, the editing dialogs) reads it through this list.
#include <array>
#include <string>
#include <vector>

#include "macro/Commands.h"

namespace qlk {

class ISettings;

class CDirMenuArray {
 public:
  static constexpr int kMax = kMacroMenuEntries;
  struct Entry {
    std::string name;  // shown on the menu
    std::string path;  // the macro file
    bool operator==(const Entry&) const = default;
  };

  explicit CDirMenuArray(ISettings& s) : s_(s) {}
  virtual ~CDirMenuArray() = default;

  // Reads "DirNo" and the entries it counts; a count above thirty reads as thirty (the keys
  // beyond it are left alone). Returns the count.
  virtual int Load();
  // Writes "DirNo" and the entries; keys beyond the count are neither written nor removed.
  virtual void Save() const;

  // False, changing nothing, when the list is full.
  bool Append(std::string name, std::string path);
  // Out-of-range indices change nothing.
  void Remove(int n);
  void Swap(int a, int b);

  int Count() const { return count_; }
  const Entry& operator[](int n) const { return entries_[static_cast<size_t>(n)]; }
  Entry& operator[](int n) { return entries_[static_cast<size_t>(n)]; }
  // Entry n, or an empty one when n is not below the count.
  Entry At(int n) const { return n >= 0 && n < count_ ? (*this)[n] : Entry{}; }
  std::vector<std::string> Names() const;

 private:
  ISettings& s_;
  std::array<Entry, kMax> entries_{};
  int count_ = 0;
};

}  // namespace qlk
