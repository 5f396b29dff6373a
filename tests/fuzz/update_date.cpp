// Fuzz target: the release-date parser. A date it accepts is a real day in its range.
#include "FuzzTarget.h"
#include "update/Update.h"

QLK_FUZZ_TARGET(update_date) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto t = qlk::ParseUpdateDate(text)) {
    const qlk::Date d = qlk::DateOf(*t);
    FUZZ_CHECK(d.year >= 1583 && d.year <= 9998 && qlk::ToLocalSeconds(d.year, d.month, d.day) == *t);
  }
  return 0;
}
