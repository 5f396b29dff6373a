// The replace family's searches and line rewriting, and its document operations, with the
// regular-expression path on the platform's own engine (PCRE2 natively, the scripting
// RegExp object under Wine): both must give the same lines and counts.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "doc/Document.h"
#include "conv/Sjis.h"
#include "ops/Blanks.h"
#include "ops/Fold.h"
#include "ops/Replace.h"

using namespace qlk;
using namespace qlk::test;

namespace {

using V = std::vector<std::string>;

V Sj(std::initializer_list<const char8_t*> lines) {
  V v;
  for (const char8_t* l : lines) v.push_back(sj(l));
  return v;
}

// ---------------------------------------------------------------- option-aware search

struct SearchCase {
  const char8_t* text;
  const char8_t* find;
  int options;
  size_t pos;  // npos: no match
  size_t length;
};

constexpr size_t kNone = std::string::npos;

class OptionSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(OptionSearch, FindsWhereTheFoldedCharactersAgree) {
  const SearchCase& c = GetParam();
  const std::string text = sj(c.text);
  Found f = Searcher(sj(c.find), c.options).Next(text, 0);
  EXPECT_EQ(f.pos, c.pos) << u8(text) << " / " << u8(sj(c.find)) << " options " << c.options;
  if (c.pos != kNone) {
    EXPECT_EQ(f.length, c.length);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachOptionAloneAndCombined, OptionSearch,
    ::testing::Values(
        SearchCase{u8"xｶﾞ", u8"ガ", kIgnoreWidth, 1, 2},  // the pair is one character of two bytes
        SearchCase{u8"ガ", u8"ｶﾞ", kIgnoreWidth, 0, 2}, SearchCase{u8"ｶﾞ", u8"ガ", 0, kNone, 0},
        SearchCase{u8"ｶﾞ", u8"ｶ", kIgnoreWidth, kNone, 0},  // ｶﾞ is taken whole
        SearchCase{u8"ｱﾞ", u8"ア", kIgnoreWidth, 0, 1},      // no voiced ｱ: the mark stays apart
        SearchCase{u8"カ゛", u8"ガ", kIgnoreWidth, 0, 4}, SearchCase{u8"ガ゛", u8"ガ", kIgnoreWidth, 0, 2},
        SearchCase{u8"か゛", u8"ガ", kIgnoreWidth, kNone, 0},  // hiragana join only when kana are folded
        SearchCase{u8"か゛", u8"ガ", kIgnoreWidth | kIgnoreKana, 0, 4},
        SearchCase{u8"xabc", u8"ABC", kIgnoreCase, 1, 3}, SearchCase{u8"ＡＢＣ", u8"abc", kIgnoreCase, kNone, 0},
        SearchCase{u8"ＡＢＣ", u8"abc", kIgnoreWidth | kIgnoreCase, 0, 6},
        SearchCase{u8"abc", u8"ＡＢＣ", kIgnoreWidth | kIgnoreCase, 0, 3},
        SearchCase{u8"ａｂｃ", u8"ＡＢＣ", kIgnoreCase, 0, 6}, SearchCase{u8"abc", u8"ABC", 0, kNone, 0},
        SearchCase{u8"あ", u8"ア", kIgnoreKana, 0, 2}, SearchCase{u8"ア", u8"あ", kIgnoreKana, 0, 2},
        SearchCase{u8"あ", u8"ア", kIgnoreWidth | kIgnoreCase, kNone, 0},
        SearchCase{u8"ｱｲｳ", u8"あいう", kIgnoreWidth | kIgnoreKana, 0, 3},
        SearchCase{u8"a　b", u8"a b", kIgnoreWidth, 0, 4}, SearchCase{u8"ab", u8"abc", kIgnoreCase, kNone, 0},
        // A trail byte never starts a match: 表 is 0x95 0x5C, ソ 0x83 0x5C.
        SearchCase{u8"表ソ\\", u8"\\", 0, 4, 1}, SearchCase{u8"表ソ\\", u8"\\", kIgnoreCase, 4, 1}));

TEST(CharStart, LooksBackOnlyOverLeadBytes) {
  const std::string s = "a\x88\x9F\x88\x9F" "b";  // a亜亜b: 0x9F and 0x88 are both lead values
  const bool starts[] = {true, true, false, true, false, true};
  for (size_t h = 0; h < s.size(); ++h) EXPECT_EQ(IsCharStart(s, 0, h), starts[h]) << h;
  EXPECT_TRUE(IsCharStart(s, 3, 5));  // knowing 3 starts a character is enough
}

// ---------------------------------------------------------------- line rewriting

struct LineCase {
  const char8_t* line;
  int count;
  const char8_t* out;
};

std::string Rewritten(const LineCase& c, int n, const std::string& out) {
  return n > 0 ? out : sj(c.line);
}

TEST(ReplaceLine, NeverRescansWhatItInserted) {
  const LineCase cases[] = {{u8"aaaa", 2, u8"aa"}, {u8"xaay", 1, u8"xay"}, {u8"b", 0, u8"b"}};
  for (const LineCase& c : cases) {
    std::string out;
    int n = ReplaceLine(sj(c.line), Searcher("aa", 0), "a", out);
    EXPECT_EQ(n, c.count);
    EXPECT_EQ(Rewritten(c, n, out), sj(c.out));
  }
  std::string out;
  EXPECT_EQ(ReplaceLine(sj(u8"ｶﾞガか゛"), Searcher(sj(u8"が"), 7), "x", out), 3);
  EXPECT_EQ(out, "xxx");
  EXPECT_EQ(ReplaceLine("abc", Searcher("", 0), "x", out), 0);  // an empty search never moves on
}

// Found by the fuzzer: a search string ending in a lone lead byte (a hand-written or binary
// macro line) matched the lead byte of a double-byte character, and every later search went
// on from its trail byte. Every search for whole characters now finds it only whole: here
// only the lone lead byte at the end of "ソ\x83".
TEST(WholeCharacters, ASearchEndingInALoneLeadByteNeverTakesHalfACharacter) {
  const std::string line = "\x83\x5C\x83", lone = "\x83";
  struct Case {
    const char* what;
    std::string got, want;
  };
  std::string out;
  const Case cases[] = {
      {"ReplaceLine", ReplaceLine(line, Searcher(lone, 0), "x", out) == 1 ? out : "", "\x83\x5Cx"},
      {"SuperReplaceLine", SuperReplaceLine(line, lone, "", "y", out) == 1 ? out : "", "\x83\x5Cy"},
      {"ReplaceDoubleLine", ReplaceDoubleLine(line, lone, "z", "", "", "", out) == 1 ? out : "", "\x83\x5Cz"},
      {"TabIfLine", TabIfLine(line, lone, 1), "\x83\x5C\t"},
      {"TurnIfLine", [&] {
         std::string j;
         for (const std::string& p : TurnIfLine(line, lone, 0)) j += p + "|";
         return j;
       }(), "\x83\x5C\x83||"},
      {"FindAligned", std::to_string(sjis::FindAligned(line, lone)), "2"},
      {"FindAligned in a pair", std::to_string(sjis::FindAligned("\x83\x5C", lone) == std::string::npos), "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(SuperReplaceLine, SpansFromStartToNextEnd) {
  struct Case {
    const char8_t *line, *start, *end, *after;
    int count;
    const char8_t* out;
  } cases[] = {
      {u8"a<b>c<d", u8"<", u8">", u8"", 2, u8"acd"},  // the last '<' has no end: it goes alone
      {u8"<<a>>", u8"<", u8">", u8"X", 1, u8"X>"},
      {u8"[x]表[y]", u8"[", u8"]", u8"#", 2, u8"#表#"},
      {u8"ソ\\a\\", u8"\\", u8"\\", u8"!", 1, u8"ソ!"},  // not from the trail byte of ソ
      {u8"a(b", u8"(", u8"", u8"", 1, u8"ab"},
      {u8"abc", u8"", u8">", u8"x", 0, u8"abc"},
  };
  for (const Case& c : cases) {
    std::string out;
    int n = SuperReplaceLine(sj(c.line), sj(c.start), sj(c.end), sj(c.after), out);
    EXPECT_EQ(n, c.count) << u8(sj(c.line));
    EXPECT_EQ(n > 0 ? out : sj(c.line), sj(c.out)) << u8(sj(c.line));
  }
}

TEST(ReplaceDoubleLine, ChangesTheEnclosingStringsAndHonoursTheEscape) {
  struct Case {
    const char8_t *line, *escape;
    int count;
    const char8_t* out;
  } cases[] = {
      {u8"「a」\\「b」", u8"\\", 1, u8"『a』\\「b」"},  // the escaped 「 is skipped
      {u8"「a\\」b」", u8"\\", 1, u8"『a\\」b』"},
      {u8"「a」「b」", u8"", 2, u8"『a』『b』"},
      {u8"「abc", u8"\\", 1, u8"『abc"},             // no end: no end string is made up
      {u8"ソ「a」", u8"\\", 1, u8"ソ『a』"},          // ソ's trail byte 0x5C is no backslash
      {u8"￥「a」「b」", u8"￥x", 1, u8"￥「a」『b』"},  // the first character, two bytes
      {u8"\\「a」", u8"\\", 0, u8"\\「a」"},
  };
  for (const Case& c : cases) {
    std::string out;
    int n = ReplaceDoubleLine(sj(c.line), sj(u8"「"), sj(u8"『"), sj(u8"」"), sj(u8"』"), sj(c.escape), out);
    EXPECT_EQ(n, c.count) << u8(sj(c.line));
    EXPECT_EQ(n > 0 ? out : sj(c.line), sj(c.out)) << u8(sj(c.line));
  }
  std::string out;
  EXPECT_EQ(ReplaceDoubleLine("(a)", "", "[", ")", "]", "", out), 0);
  EXPECT_EQ(ReplaceDoubleLine("(a)", "(", "[", "", "]", "", out), 1);  // an empty end ends at once
  EXPECT_EQ(out, "[]a)");
}

// ---------------------------------------------------------------- document operations

struct ReplaceDoc : ::testing::Test {
  TestPlatform tp;
  CQuenlarkDoc doc{tp.platform};
  void Load(const V& lines) {
    std::string t;
    for (const std::string& l : lines) t += l + "\r\n";
    tp.clipboard.text = t;
    ASSERT_TRUE(doc.NewFromClipboard());
  }
  V Lines() const { return doc.Lines().ToVector(); }
};

TEST_F(ReplaceDoc, ABreakInTheReplacementCutsTheLineIntoTargets) {
  Load({"a,b", "c", "d,e,f"});
  doc.rangeEnd = 1;  // only the first line
  EXPECT_EQ(Replace(doc, ",", "\r\n", 0), 1);
  EXPECT_EQ(Lines(), (V{"a", "b", "c", "d,e,f"}));
  EXPECT_EQ(doc.rangeEnd, 2);  // both pieces stay in range; "c" stays out
  EXPECT_EQ(doc.TargetMask(), (std::vector<char>{1, 1, 0, 0}));
  ASSERT_TRUE(doc.StoreClipboard(false));
  EXPECT_EQ(*tp.clipboard.text, "a\r\nb\r\n");
  doc.Undo();
  EXPECT_EQ(Lines(), (V{"a,b", "c", "d,e,f"}));
}

TEST_F(ReplaceDoc, CutLinesBeforeTheRangeMoveIt) {
  Load({"a,b", "c,d", "e,f"});
  doc.rangeStart = doc.rangeEnd = 2;
  doc.exclusive = 1;  // targets: lines 1 and 3
  EXPECT_EQ(Replace(doc, ",", "\r\n", 0), 2);
  EXPECT_EQ(Lines(), (V{"a", "b", "c,d", "e", "f"}));
  EXPECT_EQ(doc.rangeStart, 3);
  EXPECT_EQ(doc.rangeEnd, 3);
}

TEST_F(ReplaceDoc, OnlyTargetLinesChangeAndLongLinesStayWhole) {
  const std::string lng = std::string(40000, 'x') + sj(u8"ガ") + std::string(40000, 'y') + "\x82";
  Load({"ab", lng, "ab"});
  doc.pattern = "x";
  EXPECT_EQ(Replace(doc, sj(u8"ｶﾞ"), "-", kIgnoreWidth), 1);
  EXPECT_EQ(Lines(), (V{"ab", std::string(40000, 'x') + "-" + std::string(40000, 'y') + "\x82", "ab"}));
  EXPECT_EQ(Replace(doc, "", "z", 0), 0);
}

// Same lines and counts from either engine, so these cases avoid empty global matches.
struct RegexCase {
  const char* name;
  V lines;
  std::string pattern, replacement;
  int options, count;
  V out;
};

class RegexReplaceDoc : public ReplaceDoc, public ::testing::WithParamInterface<RegexCase> {};

TEST_P(RegexReplaceDoc, CountsLinesAndExpandsReferences) {
  const RegexCase& c = GetParam();
  Load(c.lines);
  EXPECT_EQ(RegexReplace(doc, c.pattern, c.replacement, c.options), c.count);
  EXPECT_EQ(Lines(), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    BothEngines, RegexReplaceDoc,
    ::testing::Values(
        RegexCase{"TwoMatchesCountOneLine", {"a1b22", "x"}, "\\d+", "<$&>", 0, 1, {"a<1>b<22>", "x"}},
        RegexCase{"Groups", {"mail bob@home", "none"}, "(\\w+)@(\\w+)", "$2:$1", 0, 1, {"mail home:bob", "none"}},
        RegexCase{"CaseIgnored", {"ABC abc"}, "abc", "x", kIgnoreCase, 1, {"x x"}},
        RegexCase{"CaseKept", {"ABC abc"}, "abc", "x", 0, 1, {"ABC x"}},
        RegexCase{"WidthAndKanaBitsDoNothing", {sj(u8"ａア")}, "a", "x", kIgnoreWidth | kIgnoreKana, 0, {sj(u8"ａア")}},
        RegexCase{"ClassesSeeCharacters", Sj({u8"ひらがなと漢字"}), sj(u8"[ぁ-ん]+"), "*", 0, 1, Sj({u8"*漢字"})},
        RegexCase{"BreakCutsTheLine", {"a,b,c"}, ",", "\r\n", 0, 1, {"a", "b", "c"}},
        RegexCase{"BadBytesOutsideTheMatchStay", {"ab\x82", "q\x85\x40" "a"}, "a", "x", 0, 2, {"xb\x82", "q\x85\x40" "x"}},
        RegexCase{"EmptyExpressionChangesNothing", {"abc"}, "", "x", 0, 0, {"abc"}}),
    [](const auto& info) { return info.param.name; });

TEST_F(ReplaceDoc, MalformedExpressionLeavesTheLinesAndTheSelectionTestCompareCase) {
  Load({"abc", "ABC"});
  EXPECT_EQ(RegexReplace(doc, "(", "x", 0), SearchResult::Failed());
  EXPECT_EQ(Lines(), (V{"abc", "ABC"}));
  EXPECT_EQ(RegexReplace(doc, "b", "B", kIgnoreCase), 2);
  // The object is shared with the target-line test, which must compare case again.
  doc.regexFlag = 1;
  doc.pattern = "aBc";
  EXPECT_EQ(doc.TargetMask(), (std::vector<char>{1, 0}));
}

TEST_F(ReplaceDoc, RegexSelectionAndRegexReplaceShareTheObject) {
  Load({"a1", "b1", "a2"});
  doc.regexFlag = 1;
  doc.pattern = "^a";
  EXPECT_EQ(RegexReplace(doc, "\\d", "#", 0), 2);
  EXPECT_EQ(Lines(), (V{"a#", "b1", "a#"}));
}

TEST(RegexReplaceWithoutEngine, FailsAndChangesNothing) {
  TestPlatform tp;
  NoRegexFactory none;
  Platform p{tp.clipboard, tp.settings, tp.platform.codepage, none, tp.ui, *tp.files, tp.shell, tp.clock};
  CQuenlarkDoc doc(p);
  tp.clipboard.text = "abc";
  ASSERT_TRUE(doc.NewFromClipboard());
  EXPECT_EQ(RegexReplace(doc, "b", "x", 0), SearchResult::Failed());
  EXPECT_EQ(doc.Lines()[0], "abc");
}

TEST(KeepUnchangedBytes, RestoresWhatTheCodePageCannotCarry) {
  const ICodePage& cp = CodePage();
  // A lone lead byte at the end comes back from the engine as ・ (0x81 0x45).
  EXPECT_EQ(KeepUnchangedBytes(cp, "ab\x82", "xb\x81\x45"), "xb\x82");
  // 0x85 0x40 is no character of the code page either.
  EXPECT_EQ(KeepUnchangedBytes(cp, "\x85\x40" "ab\x82", "\x81\x45xy\x81\x45"), "\x85\x40" "xy\x82");
  EXPECT_EQ(KeepUnchangedBytes(cp, "abc", "aXc"), "aXc");  // nothing to restore
}

}  // namespace
