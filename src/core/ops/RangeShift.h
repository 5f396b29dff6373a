#pragma once
// Keeps the target range on the same lines while an operation turns lines into several, so
// that the pieces of a target line stay targets and the lines around the range stay out.
#include <climits>
#include <cstddef>

namespace qlk {

class RangeShift {
 public:
  RangeShift(int rangeStart, int rangeEnd) : start_(rangeStart), end_(rangeEnd) {}

  // Line `index` of the old text became 1 + `extra` lines.
  void Add(size_t index, size_t extra) {
    const long long i = static_cast<long long>(index);
    const long long e = static_cast<long long>(extra);
    if (i < start_ - 1LL) {
      startAdd_ += e;
      endAdd_ += e;
    } else if (i <= end_ - 1LL) {
      endAdd_ += e;
    }
  }

  void Apply(int& rangeStart, int& rangeEnd) const {
    rangeStart = Clamp(start_ + startAdd_);
    rangeEnd = Clamp(end_ + endAdd_);
  }

 private:
  static int Clamp(long long v) { return v > INT_MAX ? INT_MAX : static_cast<int>(v); }
  long long start_, end_;
  long long startAdd_ = 0, endAdd_ = 0;
};

}  // namespace qlk
