#pragma once
// The CRs of a buffer in order, for the walks that cut a text into lines at CR LF.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qlk {

// The CRs of a buffer in order, found 64 bytes at a time: one pass of compares per window
// of 64 bytes however many lines end in it, rather than a search started afresh per line.
class CrFinder {
 public:
  CrFinder(const char* d, size_t size, size_t from) : d_(d), size_(size), base_(from) {
    if (base_ < size_) mask_ = MaskAt(base_);
  }
  // The next CR's offset, or the size when there is none.
  size_t Next() {
    for (;;) {
      if (mask_) {
        const size_t p = base_ + static_cast<size_t>(std::countr_zero(mask_));
        mask_ &= mask_ - 1;
        return p;
      }
      if (size_ - base_ <= 64) return size_;
      base_ += 64;
      mask_ = MaskAt(base_);
    }
  }

 private:
  uint64_t MaskAt(size_t at) const {
    const char* p = d_ + at;
    const size_t n = std::min<size_t>(64, size_ - at);
    uint64_t m = 0;
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      m |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))) << i;
    }
#endif
    for (; i < n; ++i) m |= static_cast<uint64_t>(p[i] == '\r') << i;
    return m;
  }

  const char* d_;
  size_t size_;
  size_t base_;
  uint64_t mask_ = 0;
};

}  // namespace qlk
