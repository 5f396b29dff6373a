#include "conv/Cpu.h"

#include <algorithm>
#include <atomic>

namespace qlk {

namespace {

CpuLevel Detected() {
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
  __builtin_cpu_init();  // may run before the run-time library's own constructors
  if (__builtin_cpu_supports("avx2")) return CpuLevel::Avx2;
  if (__builtin_cpu_supports("ssse3")) return CpuLevel::Ssse3;
#if defined(__SSE2__)
  return CpuLevel::Sse2;
#else
  return __builtin_cpu_supports("sse2") ? CpuLevel::Sse2 : CpuLevel::Portable;
#endif
#else
  return CpuLevel::Portable;
#endif
}

// Read by every conversion, perhaps on several threads: an atomic, so that a cap set by a
// test or a bench is seen whole by each reader.
std::atomic<CpuLevel>& Level() {
  static std::atomic<CpuLevel> level{Detected()};
  return level;
}

}  // namespace

CpuLevel Cpu() { return Level().load(std::memory_order_relaxed); }

CpuCap::CpuCap(CpuLevel most) : was_(Cpu()) { Level().store(std::min(was_, most), std::memory_order_relaxed); }

CpuCap::~CpuCap() { Level().store(was_, std::memory_order_relaxed); }

}  // namespace qlk
