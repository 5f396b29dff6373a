#include <gtest/gtest.h>

#include <random>

#include "Fakes.h"
#include "conv/Sjis.h"
#include "doc/Document.h"
#include "ops/Fold.h"

using namespace qlk;
using namespace qlk::test;

namespace {

using V = std::vector<std::string>;

KinsokuRules Rules(std::u8string first = u8"", std::u8string last = u8"", bool tags = false) {
  KinsokuRules r;
  r.first = sj(first);
  r.last = sj(last);
  r.hanging = !first.empty();
  r.pushOut = !last.empty();
  r.noBreakInTags = tags;
  return r;
}

V Sj(std::initializer_list<const char8_t*> lines) {
  V v;
  for (auto* l : lines) v.push_back(sj(std::u8string_view(l)));
  return v;
}

V Fold(const std::string& line, int width, const KinsokuRules& r = {}, int english = 0) {
  V out;
  EXPECT_TRUE(TurnChangeLine(line, width, r, english, out));
  return out;
}

V IndFold(const std::string& line, int width, const KinsokuRules& r = {}, int english = 0) {
  V out;
  EXPECT_TRUE(IndTurnChangeLine(line, width, r, english, out));
  return out;
}

struct FoldCase {
  const char* name;
  std::u8string line;
  int width;
  KinsokuRules rules;
  int english;
  std::vector<const char8_t*> pieces;
};

class FoldLine : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldLine, CutsIntoThePieces) {
  const FoldCase& c = GetParam();
  V want;
  for (auto* p : c.pieces) want.push_back(sj(std::u8string_view(p)));
  EXPECT_EQ(Fold(sj(c.line), c.width, c.rules, c.english), want);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FoldLine,
    ::testing::Values(
        FoldCase{"ExactWidthIsNotCut", u8"abcde", 5, {}, 0, {u8"abcde"}},
        FoldCase{"OneByteLongerIsCutOnce", u8"abcdef", 5, {}, 0, {u8"abcde", u8"f"}},
        FoldCase{"LeadByteAtTheWidthMovesToTheNextPiece", u8"abcdefghiあxyz", 10, {}, 0, {u8"abcdefghi", u8"あxyz"}},
        FoldCase{"HangingKeepsThePeriodOnTheLine", u8"abcdefgh。。ij", 8, Rules(u8"。"), 0, {u8"abcdefgh。", u8"。ij"}},
        FoldCase{"HangingSingleByteEntry", u8"abcdefgh,ij", 8, Rules(u8","), 0, {u8"abcdefgh,", u8"ij"}},
        FoldCase{"PushOutMovesTheBracket", u8"abcdef「ghij", 8, Rules(u8"", u8"「"), 0, {u8"abcdef", u8"「ghij"}},
        FoldCase{
            "HangingThenPushOutIsNotRepeated", u8"abcdef「。gh", 8, Rules(u8"。", u8"「"), 0, {u8"abcdef「。", u8"gh"}},
        FoldCase{"BothOnOnlyPushOutApplies", u8"abcdef「xyz", 8, Rules(u8"。", u8"「"), 0, {u8"abcdef", u8"「xyz"}},
        FoldCase{"CharacterInBothListsHangsAndIsPushedBack",
                 u8"abcdefgh・ij",
                 8,
                 Rules(u8"・", u8"・"),
                 0,
                 {u8"abcdefgh", u8"・ij"}},
        FoldCase{
            "TagIsNeverCut", u8"abc<font size=3>def", 5, Rules(u8"", u8"", true), 0, {u8"abc<font size=3>", u8"def"}},
        FoldCase{"TagRuleOffCutsInsideTheTag",
                 u8"abc<font size=3>def",
                 5,
                 {},
                 0,
                 {u8"abc<f", u8"ont s", u8"ize=3", u8">def"}},
        FoldCase{"TagRuleStopsAtALineFeedInsideATag",
                 u8"ab<fo\nnt>cdefgh",
                 3,
                 Rules(u8"", u8"", true),
                 0,
                 {u8"ab<fo", u8"\nnt>", u8"cde", u8"fgh"}},
        FoldCase{"TagRuleStopsAtALineFeedBeforeTheWidth",
                 u8"ab\ncdefghij",
                 5,
                 Rules(u8"", u8"", true),
                 0,
                 {u8"ab", u8"\ncdef", u8"ghij"}},
        FoldCase{"UnclosedTagKeepsTheLineWholeWithoutAnEmptyLine",
                 u8"ab<cdefghijkl",
                 3,
                 Rules(u8"", u8"", true),
                 0,
                 {u8"ab<cdefghijkl"}},
        FoldCase{"EnglishNextLineMovesTheWord", u8"hello world", 8, {}, kEnglishNextLine, {u8"hello ", u8"world"}},
        FoldCase{"EnglishHyphenation", u8"hello world", 8, {}, kEnglishHyphen, {u8"hello wo-", u8"rld"}},
        FoldCase{"EnglishWordLongerThanTheWidthStaysAtTheWidth",
                 u8"abcdefghijkl",
                 5,
                 {},
                 kEnglishNextLine,
                 {u8"abcde", u8"fghij", u8"kl"}},
        FoldCase{"EnglishWordAfterDoubleByteTextMovesWhole",
                 u8"あいうえabcdefgh",
                 10,
                 {},
                 kEnglishNextLine,
                 {u8"あいうえ", u8"abcdefgh"}},
        FoldCase{"EnglishTrailByteLetterIsNotPartOfTheWord",
                 u8"アbcdefghij",
                 6,
                 {},
                 kEnglishNextLine,
                 {u8"ア", u8"bcdefg", u8"hij"}},
        FoldCase{"EnglishRuleSkipsACutAfterADoubleByteCharacter",
                 u8"abcdアxyz",
                 6,
                 {},
                 kEnglishHyphen,
                 {u8"abcdア", u8"xyz"}},
        FoldCase{
            "EnglishRuleNeedsLettersOnBothSides", u8"hello, world", 6, {}, kEnglishHyphen, {u8"hello,", u8" world"}},
        FoldCase{"HangingAtTheVeryEndLeavesNoEmptyLine", u8"abcdefgh。", 8, Rules(u8"。"), 0, {u8"abcdefgh。"}}),
    [](const auto& info) { return info.param.name; });

// ---- degenerate inputs: each fold must end, and lose nothing ----

TEST(FoldTermination, WidthBelowOneLeavesTheLineWhole) {
  for (int w : {0, -1, -70, INT_MIN}) EXPECT_EQ(Fold("abcdef", w), V{"abcdef"}) << w;
  for (int w : {0, -1}) EXPECT_EQ(IndFold("  abcdef", w), V{"  abcdef"}) << w;
}

TEST(FoldTermination, PushOutThatWouldEmptyThePieceKeepsTheCharacter) {
  // Width 2 and 3 with nothing but last-forbidden characters at the start.
  EXPECT_EQ(Fold(sj(u8"「「「"), 2, Rules(u8"", u8"「")), Sj({u8"「", u8"「", u8"「"}));
  EXPECT_EQ(Fold(sj(u8"「あいう"), 3, Rules(u8"", u8"「")), Sj({u8"「", u8"あ", u8"い", u8"う"}));
  EXPECT_EQ(Fold("((((", 1, Rules(u8"", u8"(")), (V{"(", "(", "(", "("}));
}

TEST(FoldTermination, DoubleByteCharacterWiderThanTheWidthStaysWhole) {
  EXPECT_EQ(Fold(sj(u8"あいう"), 1), Sj({u8"あ", u8"い", u8"う"}));
  EXPECT_EQ(Fold(sj(u8"aあb"), 2), Sj({u8"a", u8"あ", u8"b"}));
}

TEST(FoldTermination, IndentAsWideAsTheWidthLeavesTheLineWhole) {
  EXPECT_EQ(IndFold("    abcdefgh", 4), V{"    abcdefgh"});
  EXPECT_EQ(IndFold("      abcdefgh", 4), V{"      abcdefgh"});
  EXPECT_EQ(IndFold(sj(u8"　　abcdefgh"), 3), V{sj(u8"　　abcdefgh")});
}

TEST(FoldTermination, LoneLeadByteAtTheEndIsKept) {
  EXPECT_EQ(Fold("abcdefgh\x82", 8), (V{"abcdefgh", "\x82"}));
  EXPECT_EQ(Fold("abcdefgh\x82", 8, Rules(u8"", u8"", true)), (V{"abcdefgh", "\x82"}));
}

// ---- indent fold ----

TEST(IndTurnChangeLine, ContinuationPiecesCarryTheIndent) {
  EXPECT_EQ(IndFold(sj(u8"　　abcdefghijklmn"), 8), Sj({u8"　　abcd", u8"　　efgh", u8"　　ijklmn"}));
  EXPECT_EQ(IndFold("  abcdefgh", 5), (V{"  abc", "  defgh"}));
}

TEST(IndTurnChangeLine, ShortLineIsUnchanged) {
  EXPECT_EQ(IndFold(sj(u8"　　abcd"), 8), V{sj(u8"　　abcd")});
  EXPECT_EQ(IndFold("abcdefghij", 5), (V{"abcde", "fghij"}));
}

TEST(IndTurnChangeLine, NeverHyphenates) {
  EXPECT_EQ(IndFold("  hello world", 9, {}, kEnglishHyphen), (V{"  hello w", "  orld"}));
}

// ---- break at a string ----

struct TurnIfCase {
  const char* name;
  std::u8string line, text;
  int replace;
  std::vector<const char8_t*> pieces;
};

class TurnIfLineTest : public ::testing::TestWithParam<TurnIfCase> {};

TEST_P(TurnIfLineTest, BreaksAtEveryOccurrence) {
  const TurnIfCase& c = GetParam();
  V want;
  for (auto* p : c.pieces) want.push_back(sj(std::u8string_view(p)));
  EXPECT_EQ(TurnIfLine(sj(c.line), sj(c.text), c.replace), want);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TurnIfLineTest,
    ::testing::Values(TurnIfCase{"KeepsTheString", u8"a,b,c", u8",", 0, {u8"a,", u8"b,", u8"c"}},
                      TurnIfCase{"DropsTheString", u8"a,b,c", u8",", 1, {u8"a", u8"b", u8"c"}},
                      TurnIfCase{
                          "TrailingStringGivesAnEmptyLastLine", u8"あ、い、", u8"、", 0, {u8"あ、", u8"い、", u8""}},
                      TurnIfCase{"LongerString", u8"x--y--", u8"--", 1, {u8"x", u8"y", u8""}},
                      TurnIfCase{"NoOccurrence", u8"abc", u8";", 0, {u8"abc"}},
                      TurnIfCase{"EmptyStringLeavesTheLine", u8"abc", u8"", 0, {u8"abc"}},
                      // The trail byte of ア is the letter A: only the real A breaks.
                      TurnIfCase{"TrailByteIsNotAMatch", u8"アAbア", u8"A", 0, {u8"アA", u8"bア"}}),
    [](const auto& info) { return info.param.name; });

// ---- properties over random text ----

TEST(LeadByteAt, AgreesWithTheScanFromTheStart) {
  std::mt19937 rng(7);
  const unsigned char alphabet[] = {'a', 'A', ' ', '<', '\n', 0x40, 0x81, 0x82, 0x9F, 0xA0, 0xB1, 0xE0, 0xFC, 0xFD};
  for (int round = 0; round < 2000; ++round) {
    std::string s(rng() % 12, '\0');
    for (char& c : s) c = static_cast<char>(alphabet[rng() % sizeof alphabet]);
    for (size_t k = 0; k <= s.size() + 1; ++k) ASSERT_EQ(LeadByteAt(s, k), sjis::IsLeadAt(s, k)) << round << " " << k;
  }
}

// Offsets at which characters start, by the scan from the start of the line.
std::vector<char> Boundaries(const std::string& s) {
  std::vector<char> b(s.size() + 1, 0);
  for (size_t i = 0; i < s.size(); i += sjis::CharLen(s, i)) b[i] = 1;
  b[s.size()] = 1;
  return b;
}

TEST(FoldProperty, PiecesRebuildTheLineAndNeverSplitACharacter) {
  std::mt19937 rng(11);
  const std::vector<std::string> alphabet = {"a",        "b",        "Z",        " ",        "<",        ">",
                                             "\n",       "-",        "(",        ",",        sj(u8"あ"), sj(u8"ア"),
                                             sj(u8"。"), sj(u8"「"), sj(u8"亜"), sj(u8"　"), "\xB1",     "\x82"};
  const KinsokuRules rules[] = {{}, Rules(u8"。,", u8"「("), Rules(u8"。", u8"「", true), Rules(u8"", u8"", true)};
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    for (int n = static_cast<int>(rng() % 40); n > 0; --n) line += alphabet[rng() % alphabet.size()];
    const int width = static_cast<int>(rng() % 9) - 1;
    const KinsokuRules& r = rules[rng() % 4];
    const int english = static_cast<int>(rng() % 2);  // hyphens would not rebuild the line
    for (bool indent : {false, true}) {
      V out;
      ASSERT_TRUE(indent ? IndTurnChangeLine(line, width, r, english, out)
                         : TurnChangeLine(line, width, r, english, out));
      ASSERT_FALSE(out.empty());
      if (line.empty()) {
        ASSERT_EQ(out, V{""});
        continue;
      }
      const size_t ind = indent && out.size() > 1 ? IndentLength(line) : 0;
      std::string joined;
      std::vector<char> b = Boundaries(line);
      for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_GE(out[i].size(), i > 0 ? ind + 1 : 1) << "empty piece, round " << round;
        ASSERT_EQ(out[i].substr(0, i > 0 ? ind : 0), line.substr(0, i > 0 ? ind : 0));
        joined += out[i].substr(i > 0 ? ind : 0);
        ASSERT_TRUE(b[joined.size()]) << "character split, round " << round;
      }
      ASSERT_EQ(joined, line) << "round " << round << " width " << width;
    }
  }
}

TEST(FoldProperty, PiecesStayWithinTheWidthAndTheRulesAllowance) {
  std::mt19937 rng(5);
  const std::vector<std::string> alphabet = {"a", "q", " ", ",", sj(u8"あ"), sj(u8"。"), sj(u8"「")};
  const KinsokuRules r = Rules(u8"。,", u8"「");
  for (int round = 0; round < 2000; ++round) {
    std::string line;
    for (int n = static_cast<int>(rng() % 60); n > 0; --n) line += alphabet[rng() % alphabet.size()];
    const int width = 2 + static_cast<int>(rng() % 10);
    const int english = static_cast<int>(rng() % 3);
    V out = Fold(line, width, r, english);
    // A hung character adds up to two bytes, a hyphen one.
    for (const std::string& p : out) ASSERT_LE(p.size(), static_cast<size_t>(width) + 3) << round;
  }
}

// ---- document operations ----

struct FoldDoc : ::testing::Test {
  TestPlatform tp;
  CQuenlarkDoc doc{tp.platform};
  void Load(const std::string& text) {
    tp.clipboard.text = text;
    ASSERT_TRUE(doc.NewFromClipboard());
  }
  V Lines() const { return doc.Lines().ToVector(); }
};

TEST_F(FoldDoc, TurnChangeFoldsTargetsOnlyAndKeepsThePiecesInRange) {
  Load("abcdefgh\r\nabcdefgh\r\nabcdefgh\r\nxy");
  doc.rangeStart = 2;
  doc.rangeEnd = 2;
  doc.width = 3;
  LineArray before = doc.Lines();
  ASSERT_TRUE(TurnChange(doc, {}));
  EXPECT_EQ(Lines(), (V{"abcdefgh", "abc", "def", "gh", "abcdefgh", "xy"}));
  EXPECT_EQ(doc.rangeStart, 2);
  EXPECT_EQ(doc.rangeEnd, 4);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(doc.Lines().SharesLine(before, 0));  // untouched lines keep their bytes
  EXPECT_EQ(tp.ui.waitDepth, 0);
  EXPECT_GT(tp.ui.waits, 0);
  doc.Undo();
  EXPECT_EQ(doc.Lines(), before);
  EXPECT_EQ(doc.rangeEnd, 2);
}

TEST_F(FoldDoc, ExclusiveSelectionKeepsTheRangeOnItsOwnLines) {
  // Lines 2..3 are excluded; folding line 1 pushes them down, and they stay excluded.
  Load("abcdef\r\nkeep1\r\nkeep2\r\nabcdef");
  doc.rangeStart = 2;
  doc.rangeEnd = 3;
  doc.exclusive = 1;
  doc.width = 3;
  ASSERT_TRUE(TurnChange(doc, {}));
  EXPECT_EQ(Lines(), (V{"abc", "def", "keep1", "keep2", "abc", "def"}));
  EXPECT_EQ(doc.rangeStart, 3);
  EXPECT_EQ(doc.rangeEnd, 4);
  EXPECT_FALSE(doc.IsTargetLine(2));
  EXPECT_FALSE(doc.IsTargetLine(3));
  EXPECT_TRUE(doc.IsTargetLine(5));
}

TEST_F(FoldDoc, FoldReadsTheEnglishModeFromTheSettingsEveryRun) {
  Load("hello world");
  doc.width = 8;
  tp.settings.SetInt("Turn", "English", kEnglishHyphen);
  ASSERT_TRUE(TurnChange(doc, {}));
  EXPECT_EQ(doc.englishMode, kEnglishHyphen);
  EXPECT_EQ(Lines(), (V{"hello wo-", "rld"}));
  Load("hello world");
  tp.settings.SetInt("Turn", "English", kEnglishNextLine);
  ASSERT_TRUE(TurnChange(doc, {}));
  EXPECT_EQ(Lines(), (V{"hello ", "world"}));
}

TEST_F(FoldDoc, LongLineFoldsWholeAndExactly) {
  std::string line;
  for (int i = 0; i < 40000; ++i) line += (i % 3 == 0) ? sj(u8"あ") : std::string("x");
  Load(line);
  doc.width = 70;
  ASSERT_TRUE(TurnChange(doc, Rules(u8"", u8"", true)));
  std::string joined;
  for (const std::string& l : Lines()) {
    EXPECT_LE(l.size(), 70u);
    joined += l;
  }
  EXPECT_EQ(joined, line);
}

TEST_F(FoldDoc, TurnIfSplitsTargetsAndKeepsLaterLinesInRange) {
  Load("a,b\r\nc,d\r\ne,f\r\ng,h");
  doc.rangeStart = 2;
  doc.rangeEnd = 3;
  TurnIf(doc, ",", 1);
  EXPECT_EQ(Lines(), (V{"a,b", "c", "d", "e", "f", "g,h"}));
  EXPECT_EQ(doc.rangeStart, 2);
  EXPECT_EQ(doc.rangeEnd, 5);
  EXPECT_TRUE(doc.CanUndo());
}

}  // namespace
