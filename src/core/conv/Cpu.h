#pragma once
// The instruction sets that the faster paths of the converters may use. Every path gives the
// same bytes; the processor is asked once which of them it can run.

namespace qlk {

// In rising order: each level includes those below it.
enum class CpuLevel { Portable, Sse2, Ssse3, Avx2 };

// The highest level this processor runs, or less while a CpuCap lives.
CpuLevel Cpu();

// Lowers Cpu() while it lives, so that each path can be run on one machine (tests, benches).
class CpuCap {
 public:
  explicit CpuCap(CpuLevel most);
  ~CpuCap();
  CpuCap(const CpuCap&) = delete;
  CpuCap& operator=(const CpuCap&) = delete;

 private:
  CpuLevel was_;
};

}  // namespace qlk
