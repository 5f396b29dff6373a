#pragma once
// Operations driven by a number (a width, a column, a count) may be handed absurd values by
// a mistyped entry or a hand-written macro line. They count the bytes they add and give up,
// leaving the document as it was, before the text could grow beyond what memory can hold.
#include <cstdint>

namespace qlk {

class GrowthBudget {
 public:
  static constexpr uint64_t kLimit = uint64_t{1} << 28;  // 256 MiB added by one operation

  [[nodiscard]] bool Take(uint64_t bytes) {
    if (bytes > left_) {
      left_ = 0;
      exceeded_ = true;
      return false;
    }
    left_ -= bytes;
    return true;
  }
  bool Exceeded() const { return exceeded_; }

 private:
  uint64_t left_ = kLimit;
  bool exceeded_ = false;
};

}  // namespace qlk
