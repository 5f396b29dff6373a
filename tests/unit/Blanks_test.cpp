#include <gtest/gtest.h>

#include <random>

#include "Fakes.h"
#include "ops/Blanks.h"

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

const std::string kZen = "\x81\x40";  // "　", the full-width space

}  // namespace

TEST(TabSpaceLine, TabsReachTheNextStop) {
  struct Case {
    std::string in;
    int width;
    std::string out;
  } cases[] = {
      {"a\tb", 4, "a   b"},
      {"\tx", 4, "    x"},
      {"abcd\te", 4, "abcd    e"},
      {"\t\t", 2, "    "},
      {sj(u8"あ") + "\tb", 4, sj(u8"あ") + "  b"},  // a double-byte character is two columns
      {"a\tb", 1, "a b"},
      {"a\tb", 0, "a\tb"},  // no width, no change
      {"a\tb", -3, "a\tb"},
      {"a\tb", kMaxTabWidth + 1, "a\tb"},
      {"", 8, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TabSpaceLine(c.in, c.width), c.out) << c.width << " [" << c.in << "]";
}

TEST(SpaceTabLine, SpacesReachingAStopBecomeATab) {
  struct Case {
    std::string in;
    int width;
    std::string out;
  } cases[] = {
      {"a   b", 4, "a\tb"},
      {"        x", 4, "\t\tx"},
      {"ab c", 4, "ab c"},
      {"abc d", 4, "abc\td"},
      {"a     b", 4, "a\t  b"},  // the rest of the run stays spaces
      {"a  \tb", 4, "a  \tb"},   // a tab already there restarts the count
      {"\t    x", 4, "\t\tx"},
      {sj(u8"あ") + "  b", 4, sj(u8"あ") + "\tb"},
      {"a   ", 4, "a\t"},
      {"a  ", 4, "a  "},
      {"a   b", 0, "a   b"},
  };
  for (const Case& c : cases) EXPECT_EQ(SpaceTabLine(c.in, c.width), c.out) << c.width << " [" << c.in << "]";
}

TEST(TabSpaceLine, LongLinesConvertWhole) {
  std::string in, want;
  for (int i = 0; i < 20000; ++i) {
    in += "ab\t";
    want += "ab      ";
  }
  ASSERT_GT(want.size(), 32767u);
  EXPECT_EQ(TabSpaceLine(in, 8), want);
  EXPECT_EQ(SpaceTabLine(want, 8), in);
}

TEST(Blanks, PerLineTrimming) {
  struct Case {
    std::string in, first, back;
    bool blank, blankWithTabs;
  } cases[] = {
      {"  ab  ", "ab  ", "  ab", false, false},
      {kZen + "ab" + kZen, "ab" + kZen, kZen + "ab", false, false},
      {"\tab\t", "\tab\t", "\tab\t", false, false},  // tabs are no blanks here
      {"", "", "", true, true},
      {" " + kZen + " ", "", "", true, true},
      {"\t", "\t", "\t", false, true},
      // 0x81 0x81 is one character and '@' (0x40) follows it: no full-width space to cut
      {"\x81\x81@", "\x81\x81@", "\x81\x81@", false, false},
      {"a\x81", "a\x81", "a\x81", false, false},  // a lone lead byte at the end stays
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DelSpaceFirstLine(c.in), c.first) << "[" << c.in << "]";
    EXPECT_EQ(DelSpaceBackLine(c.in), c.back) << "[" << c.in << "]";
    EXPECT_EQ(IsBlankLine(c.in, false), c.blank) << "[" << c.in << "]";
    EXPECT_EQ(IsBlankLine(c.in, true), c.blankWithTabs) << "[" << c.in << "]";
  }
}

TEST(Blanks, CenterAndRight) {
  struct Case {
    std::string in;
    size_t longest;
    std::string center, right;
  } cases[] = {
      {"abcd", 20, std::string(8, ' ') + "abcd", std::string(16, ' ') + "abcd"},
      {"", 20, std::string(10, ' '), std::string(20, ' ')},
      {"abc  ", 10, "    abc  ", "       abc"},
      {"        ab", 10, "    ab", "        ab"},  // shifted left by dropping blanks
      {kZen + "abcdef", 8, " abcdef", kZen + "abcdef"},  // a half full-width space becomes a space
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CenterLine(c.in, c.longest / 2), c.center) << "[" << c.in << "]";
    EXPECT_EQ(RightLine(c.in, c.longest), c.right) << "[" << c.in << "]";
  }
}

TEST(SpToCsvLine, FirstSpaceAfterTextBecomesAComma) {
  struct Case {
    std::string in;
    int start, end;
    std::string out;
  } cases[] = {
      {"a  b c", 1, 100, "a, b,c"},
      {"  a b", 1, 100, "  a,b"},        // leading spaces stay
      {"a b c d", 3, 5, "a b,c d"},      // only the part is converted
      {"a" + kZen + "b c", 1, 9, "a" + kZen + "b,c"},
      {"a b", 9, 12, "a b"},
      {"a b", 0, 0, "a b"},  // the stored defaults: nothing
      {"a b", 3, 2, "a b"},
  };
  for (const Case& c : cases) EXPECT_EQ(SpToCsvLine(c.in, c.start, c.end), c.out) << "[" << c.in << "]";
}

TEST(TabIfLine, OccurrencesGainOrBecomeATab) {
  const std::string so = sj(u8"ソ");  // 0x83 0x5C: its trail byte is a backslash
  struct Case {
    std::string in, text;
    int replace;
    std::string out;
  } cases[] = {
      {"a,b,c", ",", 0, "a,\tb,\tc"},
      {"a,b,c", ",", 1, "a\tb\tc"},
      {"a,,", ",", 1, "a\t\t"},
      {"abc", "", 0, "abc"},
      {so + "\\", "\\", 1, so + "\t"},  // the half of a character never matches
      {"a" + sj(u8"、") + "b", sj(u8"、"), 1, "a\tb"},
  };
  for (const Case& c : cases) EXPECT_EQ(TabIfLine(c.in, c.text, c.replace), c.out) << "[" << u8(c.in) << "]";
}

TEST(BlankOps, LinesAndRange) {
  using Op = void (*)(CQuenlarkDoc&);
  struct Case {
    const char* name;
    Op op;
    Lines in, out;
    int rangeEnd;
  } cases[] = {
      {"DelSpaceLine", DelSpaceLine, {"a", "\t", " ", "", "b"}, {"a", "b"}, 2},
      {"DelSpaceMultiLine", DelSpaceMultiLine, {"a", " ", kZen, "", "b", "\t", "c"}, {"a", "", "b", "\t", "c"}, 5},
      {"DelSpaceOnly", DelSpaceOnly, {" ", "\t", " a "}, {"", "\t", " a "}, 3},
      {"ToOneline", ToOneline, {"a", "b", "", "c", "d"}, {"ab", "", "cd"}, 3},
      {"ToOneline", ToOneline, {"x", sj(u8"y。"), "z"}, {sj(u8"xy。"), "z"}, 2},
      {"ToOneline", ToOneline, {sj(u8"x。"), "y"}, {sj(u8"x。"), "y"}, 2},
      {"ToOnelineAll", ToOnelineAll, {"a", "b", "", "c"}, {"abc"}, 1},
      {"CtlMToCRLF", CtlMToCRLF, {"a\rb\r", "c"}, {"a", "b", "", "c"}, 4},
      {"LFToCRLF", LFToCRLF, {"\na\nb"}, {"", "a", "b"}, 3},
  };
  for (const Case& c : cases) {
    Doc t(c.in);
    c.op(t.d);
    EXPECT_EQ(t.Out(), c.out) << c.name;
    EXPECT_EQ(t.d.rangeEnd, c.rangeEnd) << c.name;
    EXPECT_TRUE(t.d.IsModified()) << c.name;
  }
}

TEST(BlankOps, NonTargetLinesStayAsTheyAre) {
  using Op = void (*)(CQuenlarkDoc&);
  // Step 2: lines 1, 3, 5 ... are targets.
  struct Case {
    const char* name;
    Op op;
    Lines in, out;
  } cases[] = {
      {"DelSpaceLine", DelSpaceLine, {" ", " ", "x"}, {" ", "x"}},
      {"DelSpaceMultiLine", DelSpaceMultiLine, {" ", "keep", " ", "x"}, {"", "keep", "x"}},  // the run goes on
      {"DelSpaceFirst", DelSpaceFirst, {" a", " b", " c"}, {"a", " b", "c"}},
      {"DelSpaceBack", DelSpaceBack, {"a ", "b ", "c "}, {"a", "b ", "c"}},
      {"ToOneline", ToOneline, {"a", "n", "b"}, {"ab", "n"}},
      {"ToOnelineAll", ToOnelineAll, {"a", "n", "b", "m", "c"}, {"abc", "n", "m"}},
      {"ToRight", ToRight, {"a", "nnnn", "b"}, {"   a", "nnnn", "   b"}},
      {"LFToCRLF", LFToCRLF, {"a\nb", "n\nm"}, {"a", "b", "n\nm"}},
  };
  for (const Case& c : cases) {
    Doc t(c.in);
    t.d.step = 2;
    c.op(t.d);
    EXPECT_EQ(t.Out(), c.out) << c.name;
  }
}

TEST(OnelineNo, GroupsOfTargetLines) {
  Doc t({"1", "2", "3", "4", "5", "6", "7"});
  OnelineNo(t.d, 3);
  EXPECT_EQ(t.Out(), (Lines{"123", "456", "7"}));
  EXPECT_EQ(t.d.rangeEnd, 3);
}

TEST(BlankOps, DegenerateArgumentsChangeNothing) {
  const Lines in = {"a b\tc", "d,e", " f "};
  std::function<void(CQuenlarkDoc&)> ops[] = {
      [](CQuenlarkDoc& d) { TabSpace(d, 0); },  [](CQuenlarkDoc& d) { SpaceTab(d, -1); },
      [](CQuenlarkDoc& d) { OnelineNo(d, 1); }, [](CQuenlarkDoc& d) { SpToCsv(d, 0, 0); },
      [](CQuenlarkDoc& d) { SpToCsv(d, 5, 2); }, [](CQuenlarkDoc& d) { TabIf(d, "", 0); },
  };
  for (auto& op : ops) {
    Doc t(in);
    op(t.d);
    EXPECT_EQ(t.Out(), in);
    EXPECT_FALSE(t.d.IsModified());
  }
}

TEST(BlankOps, JoiningManyLinesKeepsEveryByte) {
  Lines in(200000, "abcdefghij");
  Doc t(in);
  ToOnelineAll(t.d);
  ASSERT_EQ(t.d.LineCount(), 1);
  EXPECT_EQ(t.d.Lines()[0].size(), 2000000u);
}

namespace {

// Tabs and spaces walked byte by byte, as the conversions are described.
std::string ByteTabSpace(const std::string& s, int w) {
  std::string o;
  int col = 0;
  for (char c : s) {
    if (c == '\t') {
      o.append(static_cast<size_t>(w - col), ' ');
      col = 0;
    } else {
      o += c;
      if (++col == w) col = 0;
    }
  }
  return o;
}

std::string ByteSpaceTab(const std::string& s, int w) {
  std::string o, run;
  int col = 0;
  for (char c : s) {
    if (c == ' ') {
      run += ' ';
      if (++col == w) {
        o += '\t';
        run.clear();
        col = 0;
      }
      continue;
    }
    o += run;
    run.clear();
    o += c;
    if (c == '\t' || ++col == w) col = 0;
  }
  return o + run;
}

}  // namespace

TEST(TabConversions, AgreeWithTheByteWalkOnRandomLines) {
  std::mt19937 rng(5);
  const std::string pieces[] = {" ", "  ", "\t", "a", "bc", sj(u8"あ"), kZen, "\x81"};
  for (int round = 0; round < 2000; ++round) {
    std::string s;
    for (int k = static_cast<int>(rng() % 12); k > 0; --k) s += pieces[rng() % std::size(pieces)];
    const int w = 1 + static_cast<int>(rng() % 9);
    ASSERT_EQ(TabSpaceLine(s, w), ByteTabSpace(s, w)) << w << " [" << s << "]";
    ASSERT_EQ(SpaceTabLine(s, w), ByteSpaceTab(s, w)) << w << " [" << s << "]";
  }
}
