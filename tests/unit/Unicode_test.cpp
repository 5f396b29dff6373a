#include <gtest/gtest.h>

#include <random>

#include "Fakes.h"
#include "conv/Unicode.h"
#include "doc/Document.h"

using namespace qlk;
using namespace qlk::test;

namespace {

std::string Bytes(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }

struct Case {
  const char* name;
  std::string in;
  std::string out;
};

// ---------------------------------------------------------------- UTF-8

class Utf8Decode : public ::testing::TestWithParam<Case> {};
TEST_P(Utf8Decode, GivesShiftJis) { EXPECT_EQ(Utf8ToSjisLine(CodePage(), GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Edge, Utf8Decode,
    ::testing::Values(Case{"Hiragana", "\xE3\x81\x82", "\x82\xA0"},  // あ
                      Case{"HalfWidthKana", "\xEF\xBD\xB1", "\xB1"},  // ｱ
                      Case{"MarkAtLineStartSkipped", "\xEF\xBB\xBF" "abc", "abc"},
                      Case{"MarkAloneIsEmpty", "\xEF\xBB\xBF", ""},
                      Case{"MarkInTheMiddleIsACharacterWithoutShiftJis", "a\xEF\xBB\xBF" "b", "a?b"},
                      Case{"SecondMarkAfterTheFirstIsACharacter", "\xEF\xBB\xBF\xEF\xBB\xBF" "x", "?x"},
                      Case{"EmojiBecomesOneQuestionMark", "a\xF0\x9F\x98\x80z", "a?z"},
                      Case{"MalformedByteBecomesQuestionMark", "a\x80z", "a?z"},
                      Case{"TruncatedSequenceAtLineEnd", "a\xE3\x81", "a?"},
                      Case{"Ascii", "plain ~\\", "plain ~\\"},
                      Case{"Mixed", Bytes(u8"漢字とｶﾅ～"), sj(u8"漢字とｶﾅ～")}),
    [](const auto& info) { return info.param.name; });

class Utf8Encode : public ::testing::TestWithParam<Case> {};
TEST_P(Utf8Encode, GivesUtf8WithoutMark) { EXPECT_EQ(SjisToUtf8Line(CodePage(), GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(Edge, Utf8Encode,
                         ::testing::Values(Case{"Hiragana", "\x82\xA0", "\xE3\x81\x82"},
                                           Case{"HalfWidthKana", "\xB1", "\xEF\xBD\xB1"},
                                           Case{"WaveDashIsTheFullWidthTilde", "\x81\x60", "\xEF\xBD\x9E"},
                                           Case{"Ascii", "a b", "a b"},
                                           Case{"Mixed", sj(u8"亜ｱa①"), Bytes(u8"亜ｱa①")}),
                         [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------- UTF-7

class Utf7Decode : public ::testing::TestWithParam<Case> {};
TEST_P(Utf7Decode, GivesShiftJis) { EXPECT_EQ(Utf7ToSjisLine(CodePage(), GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Edge, Utf7Decode,
    ::testing::Values(Case{"TwoCharacters", "+MEIwRA-", sj(u8"あい")},
                      Case{"PlusMinusIsPlus", "A+-B", "A+B"},
                      Case{"RunEndedByOtherByteKeepsIt", "+MEI.", sj(u8"あ") + "."},
                      Case{"RunOpenAtLineEnd", "x+MEI", "x" + sj(u8"あ")},
                      Case{"EmptyRunEndedByOtherByte", "+.", "."},
                      Case{"EmptyRunAtLineEnd", "a+", "a"},
                      Case{"OddLastByteDropped", "+MEIw-", sj(u8"あ")},
                      Case{"SingleCharacterRunGivesNothing", "+M-a", "a"},
                      Case{"KanjiThenLetterInOneRun", "+TpwAYQ-", sj(u8"亜a")},
                      Case{"SurrogatePairBecomesOneQuestionMark", "+2D3eAA-", "?"},
                      Case{"DirectBytesCopiedAsTheyAre", sj(u8"漢") + "+MEI-", sj(u8"漢あ")},
                      Case{"TwoRuns", "+MEI- and +MEQ-", sj(u8"あ and い")},
                      // found by the fuzzer: U+0000 would end the clipboard's text there
                      Case{"ZeroUnitDropped", "a+AAA-b+MEIAAA-", "ab" + sj(u8"あ")}),
    [](const auto& info) { return info.param.name; });

class Utf7Encode : public ::testing::TestWithParam<Case> {};
TEST_P(Utf7Encode, GivesSevenBitTextThatDecodesBack) {
  EXPECT_EQ(SjisToUtf7Line(CodePage(), GetParam().in), GetParam().out);
  EXPECT_EQ(Utf7ToSjisLine(CodePage(), GetParam().out), GetParam().in);
}

INSTANTIATE_TEST_SUITE_P(Edge, Utf7Encode,
                         ::testing::Values(Case{"TwoCharacters", sj(u8"あい"), "+MEIwRA-"},
                                           Case{"Plus", "A+B", "A+-B"},
                                           Case{"TildeAndBackslashEncoded", "~\\", "+AH4AXA-"},
                                           Case{"RunBeforeMinusIsClosed", sj(u8"あ") + "-", "+MEI--"},
                                           Case{"AsciiStaysDirect", "a b.\t(x)", "a b.\t(x)"}),
                         [](const auto& info) { return info.param.name; });

// A zero byte (only a file holds one) is encoded, but the decoder leaves U+0000 out.
TEST(Utf7Encode, ZeroByteEncodedThoughNotDecodedBack) {
  EXPECT_EQ(SjisToUtf7Line(CodePage(), std::string("a\0b", 3)), "a+AAA-b");
  EXPECT_EQ(Utf7ToSjisLine(CodePage(), "a+AAA-b"), "ab");
}

TEST(Utf7Encode, RandomShiftJisComesBack) {
  std::mt19937 rng(11);
  const std::string pool[] = {sj(u8"あ"), sj(u8"漢"), sj(u8"ｶ"), "a", "+", "-", " ", "~", "\\", "/", "Z", "9", sj(u8"～")};
  for (int round = 0; round < 500; ++round) {
    std::string s;
    for (int k = static_cast<int>(rng() % 12); k > 0; --k) s += pool[rng() % std::size(pool)];
    std::string u7 = SjisToUtf7Line(CodePage(), s);
    for (char c : u7) ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    ASSERT_EQ(Utf7ToSjisLine(CodePage(), u7), s) << u7;
  }
}

// ---------------------------------------------------------------- document operations

struct UnicodeDoc : ::testing::Test {
  TestPlatform tp;
  CQuenlarkDoc doc{tp.platform};
  void Load(const std::vector<std::string>& lines) {
    std::string t;
    for (auto& l : lines) t += l + "\r\n";
    tp.clipboard.text = t;
    ASSERT_TRUE(doc.NewFromClipboard());
  }
  std::vector<std::string> Lines() const { return doc.Lines().ToVector(); }
};

TEST_F(UnicodeDoc, MarkIsSkippedAtTheStartOfEveryLine) {
  Load({"\xEF\xBB\xBF\xE3\x81\x82", "\xEF\xBB\xBF" "b", "c"});
  Utf8ToSjis(doc);
  EXPECT_EQ(Lines(), (std::vector<std::string>{sj(u8"あ"), "b", "c"}));
}

TEST_F(UnicodeDoc, OnlyTargetLinesChange) {
  Load({sj(u8"あ"), sj(u8"い"), ""});
  doc.rangeStart = 2;
  SjisToUtf8(doc);
  EXPECT_EQ(Lines(), (std::vector<std::string>{sj(u8"あ"), Bytes(u8"い"), ""}));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(tp.ui.waitDepth, 0);
  doc.Undo();
  EXPECT_EQ(Lines(), (std::vector<std::string>{sj(u8"あ"), sj(u8"い"), ""}));
}

TEST_F(UnicodeDoc, MbcsToUnicodeAndBackIsTheSameText) {
  const std::vector<std::string> text{sj(u8"全角とｶﾅ and a+b"), "plain"};
  Load(text);
  MbcsToUnicode(doc);
  EXPECT_NE(Lines(), text);
  for (auto& l : Lines()) EXPECT_EQ(l.find('\0'), std::string::npos);
  UnicodeToMbcs(doc);
  EXPECT_EQ(Lines(), text);
}

TEST_F(UnicodeDoc, LongLinesConvertWholeAndComeBackExactly) {
  std::string unit = sj(u8"漢字かなｶﾅ ascii + ～①");
  std::string line;
  while (line.size() < 200000) line += unit;
  struct Op {
    const char* name;
    void (*to)(CQuenlarkDoc&);
    void (*back)(CQuenlarkDoc&);
  } ops[] = {{"Utf8", SjisToUtf8, Utf8ToSjis}, {"Utf7", MbcsToUnicode, UnicodeToMbcs}};
  for (const Op& op : ops) {
    Load({line, "x"});
    op.to(doc);
    EXPECT_GT(doc.Lines()[0].size(), line.size()) << op.name;
    op.back(doc);
    EXPECT_EQ(Lines(), (std::vector<std::string>{line, "x"})) << op.name;
  }
}

}  // namespace
