#include "conv/Cpu.h"

#include <algorithm>

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

CpuLevel& Level() {
  static CpuLevel level = Detected();
  return level;
}

}  // namespace

CpuLevel Cpu() { return Level(); }

CpuCap::CpuCap(CpuLevel most) : was_(Level()) { Level() = std::min(was_, most); }

CpuCap::~CpuCap() { Level() = was_; }

}  // namespace qlk
