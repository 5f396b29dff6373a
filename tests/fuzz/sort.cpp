// Fuzz target: sorting lines on keys. A key's text is a slice of its line; the numeric order
// agrees with a reference reading of decimal integers of any length; both orders give 0 for
// equal texts and turn round when the texts are swapped; the sort gives back the same lines,
// each no greater than the next on the keys.
#include <algorithm>
#include <map>

#include "FuzzTarget.h"
#include "ops/Sort.h"

using namespace qlk;

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

// The integer at the start of `s` (blanks, optional sign, digits) compared as a sign and a
// digit string without leading zeros.
int ReferenceNumber(std::string_view a, std::string_view b) {
  auto read = [](std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    std::string digits;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') digits += s[i++];
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    return std::pair{digits.empty() ? false : neg, digits};
  };
  const auto [na, da] = read(a);
  const auto [nb, db] = read(b);
  if (na != nb) return na ? -1 : 1;
  int mag = da.size() != db.size() ? (da.size() < db.size() ? -1 : 1) : Sign(da.compare(db));
  return na ? -mag : mag;
}

}  // namespace

QLK_FUZZ_TARGET(sort) {
  fuzz::Input in(data, size);
  std::vector<CSortItem> keys(in.Int(0, 3));
  for (CSortItem& k : keys) {
    const uint8_t f = in.Byte();
    k.descending = f & 1;
    k.numeric = (f >> 1) & 1;
    k.firstColumn = in.Int(-2, 20);
    k.lastColumn = in.Int(-2, 24);
  }
  LineArray lines;
  std::map<std::string, int> count;
  while (!in.Empty() && lines.size() < 200) {
    std::string l(in.Until('\n'));
    ++count[l];
    lines.PushBack(std::move(l));
  }

  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& a = lines[i];
    const std::string& b = lines[(i * 7 + 3) % lines.size()];
    for (const CSortItem& k : keys) {
      const std::string_view t = SortKeyText(a, k);
      FUZZ_CHECK(t.empty() || (t.data() >= a.data() && t.data() + t.size() <= a.data() + a.size()));
    }
    FUZZ_CHECK(CompareKeyText(a, a) == 0 && CompareKeyNumber(a, a) == 0);
    FUZZ_CHECK(Sign(CompareKeyText(a, b)) == -Sign(CompareKeyText(b, a)));
    FUZZ_CHECK(Sign(CompareKeyNumber(a, b)) == ReferenceNumber(a, b));
    FUZZ_CHECK(Sign(CompareSortLines(a, b, keys)) == -Sign(CompareSortLines(b, a, keys)));
  }

  HeapSortLines(lines, keys);
  for (size_t i = 0; i < lines.size(); ++i) {
    FUZZ_CHECK(count[lines[i]]-- > 0);
    if (i > 0) FUZZ_CHECK(CompareSortLines(lines[i - 1], lines[i], keys) <= 0);
  }
  return 0;
}
