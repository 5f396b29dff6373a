#include "ops/Sort.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <unordered_set>
#include <vector>

#include "conv/Case.h"
#include "conv/Sjis.h"
#include "platform/UserInterface.h"

namespace qlk {

uint16_t SortFoldCase(uint16_t c) { return FoldUpper(c); }

std::string_view SortKeyText(std::string_view line, const CSortItem& key) {
  const long long len = static_cast<long long>(line.size());
  if (len == 0) return {};
  const long long last = key.lastColumn == -1 ? len : key.lastColumn;
  // A first column below 1 (typed, or from a macro) starts at the line's start: the column
  // before the line does not exist.
  const long long first = std::max(1LL, std::min<long long>(key.firstColumn, len));
  const long long count = std::min(len, last) - first + 1;
  if (count <= 0) return {};
  return line.substr(static_cast<size_t>(first - 1), static_cast<size_t>(count));
}

int CompareKeyText(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  const size_t na = a.size(), nb = b.size();
  // Single bytes below 0x80 are the common case; they need neither decoding nor a table.
  while (i < na && j < nb) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[j]);
    if ((x | y) < 0x80) {
      if (x != y) {
        int fx = (x >= 'a' && x <= 'z') ? x - 0x20 : x;
        int fy = (y >= 'a' && y <= 'z') ? y - 0x20 : y;
        if (fx != fy) return fx - fy;
      }
      ++i;
      ++j;
      continue;
    }
    int ca = SortFoldCase(sjis::CharAt(a, i));
    int cb = SortFoldCase(sjis::CharAt(b, j));
    if (ca != cb) return ca - cb;
    i += sjis::CharLen(a, i);
    j += sjis::CharLen(b, j);
  }
  // The shorter text goes on with zeros; a NUL byte therefore equals the end.
  for (; i < na; i += sjis::CharLen(a, i))
    if (int c = SortFoldCase(sjis::CharAt(a, i)); c != 0) return c;
  for (; j < nb; j += sjis::CharLen(b, j))
    if (int c = SortFoldCase(sjis::CharAt(b, j)); c != 0) return -c;
  return 0;
}

namespace {

constexpr bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A decimal integer at the start of a key: its sign (-1, 0, 1) and its digits without
// leading zeros.
struct Decimal {
  int sign = 0;
  std::string_view digits;
};

Decimal ReadDecimal(std::string_view k) {
  size_t i = 0;
  while (i < k.size() && IsCSpace(k[i])) ++i;
  bool negative = false;
  if (i < k.size() && (k[i] == '+' || k[i] == '-')) negative = k[i++] == '-';
  while (i < k.size() && k[i] == '0') ++i;
  size_t d = i;
  while (d < k.size() && k[d] >= '0' && k[d] <= '9') ++d;
  Decimal r;
  r.digits = k.substr(i, d - i);
  r.sign = r.digits.empty() ? 0 : (negative ? -1 : 1);
  return r;
}

int CompareMagnitude(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

int CompareKeyNumber(std::string_view a, std::string_view b) {
  Decimal x = ReadDecimal(a), y = ReadDecimal(b);
  if (x.sign != y.sign) return x.sign - y.sign;
  if (x.sign == 0) return 0;
  int m = CompareMagnitude(x.digits, y.digits);
  return x.sign > 0 ? m : -m;
}

int CompareSortLines(std::string_view a, std::string_view b, std::span<const CSortItem> keys) {
  for (const CSortItem& k : keys) {
    std::string_view ka = SortKeyText(a, k), kb = SortKeyText(b, k);
    int d = k.numeric ? CompareKeyNumber(ka, kb) : CompareKeyText(ka, kb);
    if (d != 0) return k.descending ? -d : d;
  }
  return 0;
}

namespace {

// A text with an order-preserving summary of its first key: two different summaries order
// their texts as the full comparison does, and equal ones leave the decision to it. Most
// comparisons then never touch the lines' bytes.
struct SortRef {
  uint64_t high = 0, low = 0;
  uint32_t index = 0;
};

// The first eight characters of a text key, folded, 16 bits each; 0 past the end, as the
// comparison counts the end.
void TextSummary(std::string_view k, uint64_t& high, uint64_t& low) {
  size_t i = 0;
  for (uint64_t* part : {&high, &low}) {
    uint64_t v = 0;
    for (int n = 0; n < 4; ++n) {
      uint16_t c = 0;
      if (i < k.size()) {
        c = SortFoldCase(sjis::CharAt(k, i));
        i += sjis::CharLen(k, i);
      }
      v = v << 16 | c;
    }
    *part = v;
  }
}

uint64_t NumberSummary(std::string_view k) {
  Decimal d = ReadDecimal(k);
  uint64_t mag = 0;
  if (d.digits.size() > 18) {
    mag = static_cast<uint64_t>(LLONG_MAX);  // beyond 18 digits only the full comparison tells
  } else {
    for (char c : d.digits) mag = mag * 10 + static_cast<uint64_t>(c - '0');
  }
  const uint64_t bias = 1ULL << 63;
  return d.sign < 0 ? bias - mag : bias + mag;
}

void Summarize(std::string_view line, const CSortItem& key, SortRef& r) {
  std::string_view k = SortKeyText(line, key);
  if (key.numeric) {
    r.high = NumberSummary(k);
    r.low = 0;
  } else {
    TextSummary(k, r.high, r.low);
  }
  if (key.descending) {
    r.high = ~r.high;
    r.low = ~r.low;
  }
}

// Puts the lines in the order of the references: position p receives the line that was at
// perm[p]. Follows each cycle with swaps, so only references move.
void ApplyPermutation(LineArray& lines, std::vector<uint32_t>& perm) {
  for (size_t s = 0; s < perm.size(); ++s) {
    if (perm[s] == s) continue;
    size_t j = s;
    while (perm[j] != s) {
      size_t k = perm[j];
      lines.Swap(j, k);
      perm[j] = static_cast<uint32_t>(j);
      j = k;
    }
    perm[j] = static_cast<uint32_t>(j);
  }
}

}  // namespace

void HeapSortLines(LineArray& lines, std::span<const CSortItem> keys) {
  const size_t count = lines.size();
  if (count < 2) return;
  // The heap sort needs only the sign of each comparison. Ranking the lines first gives
  // every line a number that compares as the line does, equal exactly when the lines
  // compare equal; the heap then moves small rank and index pairs instead of chasing each
  // line's bytes, and gives the very order it would give on the lines. Lines of the same
  // bytes compare equal under any keys, so only one line of each text is ranked.
  std::vector<uint32_t> text(count);  // per line: its text's number
  std::vector<uint32_t> first;        // per text: its first line
  {
    // Open addressing over the texts' numbers: a slot holds number + 1, 0 when free.
    size_t cap = 16;
    while (cap < 2 * count) cap *= 2;
    std::vector<uint32_t> slot(cap);
    std::vector<size_t> hashOf;
    const std::hash<std::string_view> hash;
    for (size_t i = 0; i < count; ++i) {
      std::string_view s = lines[i];
      const size_t hv = hash(s);
      size_t at = hv & (cap - 1);
      for (;; at = (at + 1) & (cap - 1)) {
        if (slot[at] == 0) {
          slot[at] = static_cast<uint32_t>(first.size() + 1);
          text[i] = static_cast<uint32_t>(first.size());
          first.push_back(static_cast<uint32_t>(i));
          hashOf.push_back(hv);
          break;
        }
        const uint32_t t = slot[at] - 1;
        if (hashOf[t] == hv && lines[first[t]] == s) {
          text[i] = t;
          break;
        }
      }
    }
  }
  std::vector<SortRef> byKey(first.size());
  for (size_t t = 0; t < first.size(); ++t) {
    byKey[t].index = static_cast<uint32_t>(t);
    if (!keys.empty()) Summarize(lines[first[t]], keys[0], byKey[t]);
  }
  auto cmp = [&](const SortRef& x, const SortRef& y) -> int {
    if (x.high != y.high) return x.high < y.high ? -1 : 1;
    if (x.low != y.low) return x.low < y.low ? -1 : 1;
    return CompareSortLines(lines[first[x.index]], lines[first[y.index]], keys);
  };
  std::sort(byKey.begin(), byKey.end(), [&](const SortRef& x, const SortRef& y) { return cmp(x, y) < 0; });
  std::vector<uint32_t> rankOf(first.size());
  uint32_t rank = 0;
  for (size_t k = 0; k < byKey.size(); ++k) {
    if (k > 0 && cmp(byKey[k - 1], byKey[k]) != 0) ++rank;
    rankOf[byKey[k].index] = rank;
  }
  byKey = {};
  // Positions 1..n as the heap counts them; slot 0 is unused. Rank in the high half.
  std::vector<uint64_t> h(count + 1);
  for (size_t i = 0; i < count; ++i) h[i + 1] = static_cast<uint64_t>(rankOf[text[i]]) << 32 | i;
  text = {};
  rankOf = {};
  auto less = [](uint64_t x, uint64_t y) { return (x >> 32) < (y >> 32); };
  auto sift = [&](uint64_t x, size_t a, size_t m) {
    size_t i = 2 * a;
    while (i <= m) {
      if (i < m && less(h[i], h[i + 1])) ++i;
      if (!less(x, h[i])) break;  // x is greater than or equal to it: stop
      h[a] = h[i];
      a = i;
      i *= 2;
    }
    h[a] = x;
  };
  size_t n = count;
  for (size_t a = n / 2; a >= 1; --a) sift(h[a], a, n);
  while (n > 1) {
    uint64_t x = h[n];
    h[n] = h[1];
    --n;
    sift(x, 1, n);
  }
  std::vector<uint32_t> perm(count);
  for (size_t p = 0; p < count; ++p) perm[p] = static_cast<uint32_t>(h[p + 1]);
  ApplyPermutation(lines, perm);
}

void Sort(CQuenlarkDoc& doc) {
  // Without a key every line compares equal and the heap would only scramble the text.
  if (doc.sortKeys.empty()) return;
  WaitCursor w(doc.platform().ui);
  doc.BeginUndoStep();
  HeapSortLines(doc.Lines(), doc.sortKeys);
  doc.SetModified();
}

void Sort1(CQuenlarkDoc& doc) {
  doc.sortKeys = {CSortItem{0, 1, -1, 0}};
  Sort(doc);
}

void Sort2(CQuenlarkDoc& doc) {
  doc.sortKeys = {CSortItem{1, 1, -1, 0}};
  Sort(doc);
}

void Reverse(CQuenlarkDoc& doc) {
  WaitCursor w(doc.platform().ui);
  doc.BeginUndoStep();
  LineArray& lines = doc.Lines();
  const size_t n = lines.size();
  for (size_t k = 0; k < n / 2; ++k) lines.Swap(k, n - 1 - k);
  doc.SetModified();
}

std::string_view DupLineKey(std::string_view line, int partial, int start, int end) {
  if (!partial) return line;
  const long long len = static_cast<long long>(line.size());
  const long long s = std::max(1, start);  // no column before the first
  if (len < s) return {};
  const long long count = std::min<long long>(len, end) - s + 1;
  if (count <= 0) return {};
  return line.substr(static_cast<size_t>(s - 1), static_cast<size_t>(count));
}

void DupLineDel(CQuenlarkDoc& doc, int partial, int start, int end, int sorted) {
  WaitCursor w(doc.platform().ui);
  doc.BeginUndoStep();
  const std::vector<char> target = doc.TargetMask();
  const LineArray old = doc.Lines();  // shares the bytes; the keys below point into it
  LineArray out;
  out.Reserve(old.size());
  if (sorted) {
    std::optional<std::string_view> lastKept;
    for (size_t i = 0; i < old.size(); ++i) {
      if (target[i]) {
        std::string_view key = DupLineKey(old[i], partial, start, end);
        if (lastKept && *lastKept == key) continue;
        lastKept = key;
      }
      out.PushShared(old, i);
    }
  } else {
    // A line goes when an earlier target line has its key: a key is remembered once, by the
    // first target line that carries it, which no earlier line can have removed. Linear
    // where comparing every pair would be quadratic, with the same result.
    std::unordered_set<std::string_view> seen;
    seen.reserve(old.size());
    for (size_t i = 0; i < old.size(); ++i) {
      std::string_view key = DupLineKey(old[i], partial, start, end);
      if (seen.count(key)) continue;
      if (target[i]) seen.insert(key);
      out.PushShared(old, i);
    }
  }
  doc.Lines() = std::move(out);
  doc.rangeEnd = doc.LineCount();
  doc.SetModified();
}

}  // namespace qlk
