#pragma once
// One fuzz target per file. QLK_FUZZ_TARGET(name) opens the target's body over `data` and
// `size`: libFuzzer's entry point in the fuzz build (QLK_FUZZING), and otherwise a function
// registered under its name, through which the unit tests replay the committed inputs of
// tests/fuzz/corpus/<name>/. FUZZ_CHECK states what must hold for every input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qlk::fuzz {

using Entry = int (*)(const uint8_t* data, size_t size);

// What a failed check throws in the unit build, where the replay reports it with the input.
struct CheckFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  const std::string m = std::string(file) + ":" + std::to_string(line) + ": " + what;
#ifdef QLK_FUZZING
  std::fprintf(stderr, "fuzz check failed: %s\n", m.c_str());
  std::abort();  // libFuzzer keeps the input as a crash
#else
  throw CheckFailed(m);
#endif
}

#ifndef QLK_FUZZING
// The targets linked into this program, by name (defined by the replay test).
void Register(const char* name, Entry e);
struct Registration {
  Registration(const char* name, Entry e) { Register(name, e); }
};
#endif

// Takes structured values off the front of the input; once it runs dry every value is 0 or
// empty, so any input means something.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : p_(reinterpret_cast<const char*>(data)), n_(size) {}
  bool Empty() const { return n_ == 0; }
  size_t Left() const { return n_; }
  uint8_t Byte() {
    if (n_ == 0) return 0;
    --n_;
    return static_cast<uint8_t>(*p_++);
  }
  // A value in [lo, hi] from one or two bytes.
  int Int(int lo, int hi) {
    const unsigned span = static_cast<unsigned>(hi - lo) + 1;
    unsigned v = Byte();
    if (span > 256) v = v << 8 | Byte();
    return lo + static_cast<int>(v % span);
  }
  bool Bool() { return Byte() & 1; }
  // Up to `most` bytes; the length comes from the input first.
  std::string_view Text(size_t most) { return Take(static_cast<size_t>(Int(0, static_cast<int>(most)))); }
  // Bytes up to the next `sep` (dropped), or everything left.
  std::string_view Until(char sep) {
    std::string_view rest(p_, n_);
    const size_t k = rest.find(sep);
    if (k == std::string_view::npos) return Rest();
    Take(k + 1);
    return rest.substr(0, k);
  }
  std::string_view Take(size_t k) {
    if (k > n_) k = n_;
    std::string_view t(p_, k);
    p_ += k;
    n_ -= k;
    return t;
  }
  std::string_view Rest() { return Take(n_); }

 private:
  const char* p_;
  size_t n_;
};

// Shift-JIS text of characters that every code here can carry: tab and printable ASCII,
// half-width katakana, and double-byte characters of JIS X 0208 rows 1-94 (leads up to 0xEF).
// With `doubleOnly`, double-byte characters alone.
inline std::string JisText(Input& in, size_t most, bool doubleOnly = false) {
  std::string s;
  const size_t n = static_cast<size_t>(in.Int(0, static_cast<int>(most)));
  while (s.size() < n && !in.Empty()) {
    const uint8_t kind = doubleOnly ? 0 : in.Byte() % 4;
    if (kind == 1) {
      const uint8_t b = in.Byte() % 96;
      s += b == 95 ? '\t' : static_cast<char>(0x20 + b);
    } else if (kind == 2) {
      s += static_cast<char>(0xA1 + in.Byte() % 63);
    } else {
      const int lead = in.Int(0, 46);  // 0x81-0x9F, then 0xE0-0xEF
      const int trail = in.Int(0, 187);  // 0x40-0x7E, then 0x80-0xFC
      s += static_cast<char>(lead < 31 ? 0x81 + lead : 0xE0 + lead - 31);
      s += static_cast<char>(trail < 63 ? 0x40 + trail : 0x80 + trail - 63);
    }
  }
  return s;
}

}  // namespace qlk::fuzz

#define FUZZ_CHECK(cond) \
  ((cond) ? static_cast<void>(0) : ::qlk::fuzz::Fail(#cond, __FILE__, __LINE__))

#ifdef QLK_FUZZING
#define QLK_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#else
#define QLK_FUZZ_TARGET(name)                                                                      \
  static int FuzzTarget_##name(const uint8_t* data, size_t size);                                 \
  static const ::qlk::fuzz::Registration kFuzzRegistration_##name(#name, FuzzTarget_##name); \
  static int FuzzTarget_##name(const uint8_t* data, size_t size)
#endif
