#pragma once
// Snapshot undo: each unit holds the lines and target range as they were before an operation.
#include <memory>
#include <vector>

#include "conv/Carried.h"
#include "doc/LineArray.h"

namespace qlk {

class CKorvuUndoUnit {
 public:
  virtual ~CKorvuUndoUnit() = default;
};

class CQLarkUndo : public CKorvuUndoUnit {
 public:
  // The lines are shared with the document, never copied byte by byte (see LineArray).
  // With the characters the lines' user-defined codes carried when it was taken.
  CQLarkUndo(int rangeStart, int rangeEnd, const LineArray& lines, std::shared_ptr<CarriedChars> carried = nullptr)
      : rangeStart_(rangeStart), rangeEnd_(rangeEnd), lines_(lines), carried_(std::move(carried)) {}
  void Restore(int& rangeStart, int& rangeEnd, LineArray& lines) const {
    rangeStart = rangeStart_;
    rangeEnd = rangeEnd_;
    lines = lines_;
  }
  void Restore(int& rangeStart, int& rangeEnd, LineArray& lines, std::shared_ptr<CarriedChars>& carried) const {
    Restore(rangeStart, rangeEnd, lines);
    carried = carried_;
  }
  const LineArray& Lines() const { return lines_; }

 private:
  int rangeStart_;
  int rangeEnd_;
  LineArray lines_;
  std::shared_ptr<CarriedChars> carried_;
};

class CUndoStack {
 public:
  static constexpr int kLimit = 100;

  void Push(std::unique_ptr<CKorvuUndoUnit> unit);
  // `current` is a snapshot of the present state; the stack keeps it when no redo state is
  // saved yet. Returns the unit to restore, or nullptr.
  CKorvuUndoUnit* Undo(std::unique_ptr<CKorvuUndoUnit> current);
  CKorvuUndoUnit* Redo();
  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < static_cast<int>(units_.size()) - 1; }

  int Position() const { return position_; }
  int Count() const { return static_cast<int>(units_.size()); }
  bool Overflowed() const { return overflow_ != 0; }

 private:
  std::vector<std::unique_ptr<CKorvuUndoUnit>> units_;
  int position_ = 0;
  int limit_ = kLimit;
  int overflow_ = 0;
};

}  // namespace qlk
