#include <gtest/gtest.h>

#include <random>
#include <set>

#include "Fakes.h"
#include "ops/Sort.h"

using namespace qlk;
using namespace qlk::test;

namespace {

using Lines = std::vector<std::string>;

struct Doc {
  TestPlatform tp;
  CQuenlarkDoc d{tp.platform};
  explicit Doc(const Lines& l) {
    d.Lines() = LineArray::FromVector(l);
    d.rangeStart = 1;
    d.rangeEnd = d.LineCount();
  }
  Lines Out() const { return d.Lines().ToVector(); }
};

int Sign(int v) { return (v > 0) - (v < 0); }

// The heap sort written straight from its description, on plain strings and the full
// comparison only: the reference the real sort (with its key summaries) must match exactly.
Lines ReferenceHeapSort(Lines v, const std::vector<CSortItem>& keys) {
  size_t n = v.size();
  if (n < 2) return v;
  Lines h(n + 1);
  for (size_t i = 0; i < n; ++i) h[i + 1] = v[i];
  auto less = [&](const std::string& a, const std::string& b) { return CompareSortLines(a, b, keys) < 0; };
  auto sift = [&](std::string x, size_t a, size_t m) {
    for (size_t i = 2 * a; i <= m; i *= 2) {
      if (i < m && less(h[i], h[i + 1])) ++i;
      if (!less(x, h[i])) break;
      h[a] = h[i];
      a = i;
    }
    h[a] = x;
  };
  for (size_t a = n / 2; a >= 1; --a) sift(h[a], a, n);
  while (n > 1) {
    std::string x = h[n];
    h[n] = h[1];
    --n;
    sift(x, 1, n);
  }
  return Lines(h.begin() + 1, h.end());
}

}  // namespace

TEST(SortCompare, TextOrderIsCodeOrderIgnoringCase) {
  struct Case {
    std::string a, b;
    int sign;
  } cases[] = {
      {"a", "A", 0},
      {"abc", "ABD", -1},
      {"b", "A", 1},
      {"", "a", -1},
      {"a", std::string("a\0", 2), 0},  // NUL counts as the end
      {"a", "ab", -1},
      {"[", "a", 1},  // '[' (0x5B) lies above 'A' (0x41) once 'a' is folded
      {sj(u8"ｱ"), "z", 1},                 // half-width kana above ASCII
      {sj(u8"ｱ"), sj(u8"あ"), -1},         // single bytes before every double-byte character
      {sj(u8"ａ"), sj(u8"Ａ"), 0},         // full-width letters fold too
      {sj(u8"ｂ"), sj(u8"Ａ"), 1},
      {sj(u8"α"), sj(u8"Α"), 1},           // Greek letters keep their case: by code
      {"\x81", "\x81\x40", -1},            // a lone lead byte at the end is its byte value
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareKeyText(c.a, c.b)), c.sign) << u8(c.a) << " vs " << u8(c.b);
    EXPECT_EQ(Sign(CompareKeyText(c.b, c.a)), -c.sign) << u8(c.b) << " vs " << u8(c.a);
  }
}

TEST(SortCompare, NumbersReadFromTheKeyStart) {
  struct Case {
    std::string a, b;
    int sign;
  } cases[] = {
      {"10", "9", 1},   {"x", "9", -1},      {"x", "0", 0},   {"  7", "7abc", 0}, {"-3", "2", -1},
      {"-10", "-9", -1}, {"+5", "5", 0},     {"-", "0", 0},   {"-0", "0", 0},     {"007", "7", 0},
      {"99999999999999999999", "99999999999999999998", 1},   // beyond 64 bits, still exact
      {"-99999999999999999999", "-99999999999999999998", -1}, {"2147483648", "-2147483648", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareKeyNumber(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
    EXPECT_EQ(Sign(CompareKeyNumber(c.b, c.a)), -c.sign) << c.b << " vs " << c.a;
  }
}

TEST(SortKeyText, ColumnsFromOneInclusive) {
  struct Case {
    std::string line;
    int first, last;
    std::string key;
  } cases[] = {
      {"abcdef", 2, 4, "bcd"}, {"abcdef", 1, -1, "abcdef"}, {"abcdef", 3, 99, "cdef"},
      {"abc", 5, 9, "c"},  // shorter than the first column: its last byte
      {"", 1, -1, ""},     {"abc", 0, 2, "ab"},  // a column before the first starts at it
      {"abcdef", 4, 2, ""}, {"abc", 2, -7, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SortKeyText(c.line, {0, c.first, c.last, 0}), c.key) << c.line << " " << c.first << ".." << c.last;
}

TEST(Sort1, EqualLinesTakeTheHeapSortsOrder) {
  struct Case {
    Lines in, out;
  } cases[] = {
      {{"b", "A", "a", "C"}, {"A", "a", "b", "C"}},
      {{"a", "A"}, {"A", "a"}},
      {{"A", "a"}, {"a", "A"}},
      {{sj(u8"あ"), "z", sj(u8"ｱ"), "1"}, {"1", "z", sj(u8"ｱ"), sj(u8"あ")}},
      {{}, {}},
      {{"x"}, {"x"}},
  };
  for (const Case& c : cases) {
    Doc t(c.in);
    Sort1(t.d);
    EXPECT_EQ(t.Out(), c.out);
    EXPECT_EQ(t.d.sortKeys, (std::vector<CSortItem>{{0, 1, -1, 0}}));
  }
}

TEST(Sort2, Descending) {
  Doc t({"b", "A", "c"});
  Sort2(t.d);
  EXPECT_EQ(t.Out(), (Lines{"c", "b", "A"}));
  EXPECT_TRUE(t.d.IsModified());
  EXPECT_TRUE(t.d.CanUndo());
}

TEST(Sort, KeysInTurnNumericAndDescending) {
  struct Case {
    std::vector<CSortItem> keys;
    Lines in, out;
  } cases[] = {
      {{{0, 1, -1, 1}}, {"10", "9", "x"}, {"x", "9", "10"}},
      {{{1, 1, -1, 1}}, {"9", "x", "10"}, {"10", "9", "x"}},
      {{{0, 1, 2, 0}, {0, 3, 4, 0}}, {"bb02", "aa09", "bb01", "aa03"}, {"aa03", "aa09", "bb01", "bb02"}},
      {{{0, 1, 2, 0}, {1, 3, 4, 1}}, {"bb02", "aa09", "bb01", "aa03"}, {"aa09", "aa03", "bb02", "bb01"}},
  };
  for (const Case& c : cases) {
    Doc t(c.in);
    t.d.sortKeys = c.keys;
    Sort(t.d);
    EXPECT_EQ(t.Out(), c.out);
  }
}

TEST(Sort, NoKeyLeavesTheTextAlone) {
  Doc t({"b", "a", "B", "A"});
  t.d.sortKeys.clear();
  Sort(t.d);
  EXPECT_EQ(t.Out(), (Lines{"b", "a", "B", "A"}));
  EXPECT_FALSE(t.d.CanUndo());
}

TEST(Sort, MatchesTheDescribedHeapSortOnManyEqualKeys) {
  std::mt19937 rng(7);
  const Lines alphabet = {"a", "A", "ab", "aB", "", "b", "10", "9", " 9", "-2", sj(u8"あ"), sj(u8"ａ"),
                          sj(u8"Ａ"), sj(u8"ｱ"), "abcdef", "ABCDEG", "abcdeF", "\x81"};
  const std::vector<std::vector<CSortItem>> keySets = {
      {{0, 1, -1, 0}}, {{1, 1, -1, 0}}, {{0, 1, -1, 1}}, {{0, 2, 3, 0}, {1, 1, 1, 0}},
      {{1, 1, 2, 1}, {0, 3, -1, 0}}, {{0, 5, 9, 0}}, {{0, 0, 0, 0}},
  };
  for (int round = 0; round < 200; ++round) {
    Lines in(rng() % 40);
    for (std::string& s : in) {
      s = alphabet[rng() % alphabet.size()];
      if (rng() % 3 == 0) s += alphabet[rng() % alphabet.size()];
    }
    const auto& keys = keySets[round % keySets.size()];
    LineArray lines = LineArray::FromVector(in);
    HeapSortLines(lines, keys);
    ASSERT_EQ(lines.ToVector(), ReferenceHeapSort(in, keys)) << "round " << round;
  }
}

TEST(Sort, MovesLineReferencesWithoutCopyingBytes) {
  Doc t({"delta", "alpha", "charlie", "bravo"});
  std::set<const std::string*> before;
  for (size_t i = 0; i < t.d.Lines().size(); ++i) before.insert(&t.d.Lines()[i]);
  Sort1(t.d);
  std::set<const std::string*> after;
  for (size_t i = 0; i < t.d.Lines().size(); ++i) after.insert(&t.d.Lines()[i]);
  EXPECT_EQ(t.Out(), (Lines{"alpha", "bravo", "charlie", "delta"}));
  EXPECT_EQ(before, after);
}

TEST(Reverse, AllLinesWhateverTheSelection) {
  struct Case {
    Lines in, out;
  } cases[] = {{{}, {}}, {{"x"}, {"x"}}, {{"a", "b", "c"}, {"c", "b", "a"}}, {{"a", "b", "c", "d"}, {"d", "c", "b", "a"}}};
  for (const Case& c : cases) {
    Doc t(c.in);
    t.d.step = 2;  // the selection does not limit it
    Reverse(t.d);
    EXPECT_EQ(t.Out(), c.out);
  }
}

TEST(DupLineDel, Cases) {
  struct Case {
    Lines in;
    int partial, start, end, sorted;
    Lines out;
  } cases[] = {
      {{"a", "b", "a", "a"}, 0, 1, 1, 0, {"a", "b"}},
      {{"a", "b", "a", "a"}, 0, 1, 1, 1, {"a", "b", "a"}},
      {{"xab1", "yab2"}, 1, 2, 3, 0, {"xab1"}},
      {{"xab1", "yab2"}, 1, 2, 3, 1, {"xab1"}},
      {{"a", "A"}, 0, 1, 1, 0, {"a", "A"}},  // exact bytes, not case-blind
      {{"ab", "cd", "x"}, 1, 5, 9, 0, {"ab"}},  // shorter than the start: all keys empty
      {{"abc", "abd"}, 1, 0, 2, 0, {"abc"}},  // a start before the first column is the first
      {{}, 0, 1, 1, 0, {}},
  };
  for (const Case& c : cases) {
    Doc t(c.in);
    DupLineDel(t.d, c.partial, c.start, c.end, c.sorted);
    EXPECT_EQ(t.Out(), c.out);
    EXPECT_EQ(t.d.rangeEnd, static_cast<int>(c.out.size()));
  }
}

namespace {

// DupLineDel as described, pair by pair, carrying each line's target mark.
Lines PairwiseDupLineDel(const Lines& in, const std::vector<char>& target, int partial, int start, int end,
                         int sorted) {
  std::vector<std::pair<std::string, bool>> v;
  for (size_t i = 0; i < in.size(); ++i) v.emplace_back(in[i], target[i] != 0);
  auto key = [&](const std::string& s) { return std::string(DupLineKey(s, partial, start, end)); };
  if (sorted) {
    std::vector<std::pair<std::string, bool>> out;
    std::optional<std::string> last;
    for (auto& l : v) {
      if (l.second) {
        if (last && *last == key(l.first)) continue;
        last = key(l.first);
      }
      out.push_back(l);
    }
    v = out;
  } else {
    for (size_t i = 0; i < v.size(); ++i) {
      if (!v[i].second) continue;
      for (size_t j = i + 1; j < v.size();)
        if (key(v[j].first) == key(v[i].first))
          v.erase(v.begin() + static_cast<long>(j));
        else
          ++j;
    }
  }
  Lines out;
  for (auto& l : v) out.push_back(l.first);
  return out;
}

}  // namespace

TEST(DupLineDel, SameResultAsThePairwiseDefinition) {
  std::mt19937 rng(11);
  const Lines alphabet = {"a", "b", "ab", "ba", "", "xa", "ya", sj(u8"あ"), "aa"};
  for (int round = 0; round < 300; ++round) {
    Lines in(rng() % 30);
    for (std::string& s : in) s = alphabet[rng() % alphabet.size()] + alphabet[rng() % alphabet.size()];
    Doc t(in);
    switch (round % 4) {
      case 0: break;
      case 1: t.d.step = 2; break;
      case 2: t.d.pattern = "a"; break;
      case 3: t.d.rangeStart = 3; t.d.rangeEnd = 12; break;
    }
    const std::vector<char> target = t.d.TargetMask();
    const int partial = static_cast<int>(rng() % 2), start = static_cast<int>(rng() % 4),
              end = static_cast<int>(rng() % 5), sorted = static_cast<int>(rng() % 2);
    DupLineDel(t.d, partial, start, end, sorted);
    ASSERT_EQ(t.Out(), PairwiseDupLineDel(in, target, partial, start, end, sorted))
        << "round " << round << " partial " << partial << " " << start << ".." << end << " sorted " << sorted;
  }
}
