#include "doc/LineArray.h"

#include <algorithm>

namespace qlk {

// Reference counts are plain integers: the whole tool runs on one thread.

LineArray::LineArray(const LineArray& o) : refs_(o.refs_) {
  for (Node* n : refs_) Retain(n);
}

LineArray& LineArray::operator=(const LineArray& o) {
  if (this != &o) {
    for (Node* n : o.refs_) Retain(n);
    ReleaseAll();
    refs_ = o.refs_;
  }
  return *this;
}

LineArray& LineArray::operator=(LineArray&& o) noexcept {
  if (this != &o) {
    ReleaseAll();
    refs_ = std::move(o.refs_);
    o.refs_.clear();
  }
  return *this;
}

LineArray::~LineArray() { ReleaseAll(); }

void LineArray::ReleaseAll() {
  for (Node* n : refs_) Release(n);
  refs_.clear();
}

void LineArray::Set(size_t i, std::string text) {
  Node*& slot = refs_[i];
  if (slot->text == text) return;
  if (slot->refs == 1) {
    slot->text = std::move(text);
    return;
  }
  Node* n = New(std::move(text));
  Release(slot);
  slot = n;
}

void LineArray::Insert(size_t i, std::string text) {
  Node* n = New(std::move(text));
  refs_.insert(refs_.begin() + static_cast<std::ptrdiff_t>(i), n);
}

void LineArray::Erase(size_t i, size_t count) {
  count = std::min(count, refs_.size() - i);
  for (size_t k = i; k < i + count; ++k) Release(refs_[k]);
  refs_.erase(refs_.begin() + static_cast<std::ptrdiff_t>(i), refs_.begin() + static_cast<std::ptrdiff_t>(i + count));
}

void LineArray::PushBack(std::string text) { refs_.push_back(New(std::move(text))); }

void LineArray::PushShared(const LineArray& from, size_t i) {
  Node* n = from.refs_[i];
  Retain(n);
  refs_.push_back(n);
}

void LineArray::Clear() { ReleaseAll(); }

void LineArray::Move(size_t from, size_t to) {
  if (from == to) return;
  Node* n = refs_[from];
  if (from < to)
    std::move(refs_.begin() + static_cast<std::ptrdiff_t>(from) + 1, refs_.begin() + static_cast<std::ptrdiff_t>(to) + 1,
              refs_.begin() + static_cast<std::ptrdiff_t>(from));
  else
    std::move_backward(refs_.begin() + static_cast<std::ptrdiff_t>(to), refs_.begin() + static_cast<std::ptrdiff_t>(from),
                       refs_.begin() + static_cast<std::ptrdiff_t>(from) + 1);
  refs_[to] = n;
}

std::vector<std::string> LineArray::ToVector() const {
  std::vector<std::string> v;
  v.reserve(refs_.size());
  for (Node* n : refs_) v.push_back(n->text);
  return v;
}

LineArray LineArray::FromVector(const std::vector<std::string>& v) {
  LineArray a;
  a.Reserve(v.size());
  for (const auto& s : v) a.PushBack(s);
  return a;
}

bool LineArray::operator==(const LineArray& o) const {
  if (refs_.size() != o.refs_.size()) return false;
  for (size_t i = 0; i < refs_.size(); ++i)
    if (refs_[i] != o.refs_[i] && refs_[i]->text != o.refs_[i]->text) return false;
  return true;
}

}  // namespace qlk
