// Fuzz target: the release-date parser. A date it accepts is a real day in its range.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/Update.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto t = qlk::ParseUpdateDate(text)) {
    const qlk::Date d = qlk::DateOf(*t);
    if (d.year < 1583 || d.year > 9998 || qlk::ToLocalSeconds(d.year, d.month, d.day) != *t) __builtin_trap();
  }
  return 0;
}
