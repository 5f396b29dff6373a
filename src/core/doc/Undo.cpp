#include "doc/Undo.h"

namespace qlk {

void CUndoStack::Push(std::unique_ptr<CKorvuUndoUnit> unit) {
  units_.resize(static_cast<size_t>(position_));  // drops every redo state
  if (static_cast<int>(units_.size()) >= limit_) {
    units_.erase(units_.begin());
    --position_;
    overflow_ = 1;
  }
  units_.push_back(std::move(unit));
  ++position_;
}

CKorvuUndoUnit* CUndoStack::Undo(std::unique_ptr<CKorvuUndoUnit> current) {
  if (position_ < 1) return nullptr;
  if (position_ == static_cast<int>(units_.size())) units_.push_back(std::move(current));
  // otherwise the present state is already saved at `position_` and `current` is dropped
  --position_;
  return units_[static_cast<size_t>(position_)].get();
}

CKorvuUndoUnit* CUndoStack::Redo() {
  if (position_ < static_cast<int>(units_.size()) - 1) {
    ++position_;
    return units_[static_cast<size_t>(position_)].get();
  }
  return nullptr;
}

}  // namespace qlk
