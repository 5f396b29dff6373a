#include <gtest/gtest.h>

#include "Fakes.h"
#include "conv/Case.h"
#include "conv/Sjis.h"

using namespace qlk;
using namespace qlk::test;

namespace {

enum class Op { Upper, Lower, ZenUpper, ZenLower, TopUpper, LineUpper, Swap, HiraKana, KanaHira };

std::string Apply(Op op, std::string_view s) {
  const ICodePage& cp = CodePage();
  bool next = true;
  switch (op) {
    case Op::Upper:
      return ToUpperLine(s, cp);
    case Op::Lower:
      return ToLowerLine(s, cp);
    case Op::ZenUpper:
      return ToZenUpperLine(s, cp);
    case Op::ZenLower:
      return ToZenLowerLine(s, cp);
    case Op::TopUpper:
      return ToTopUpperLine(s);
    case Op::LineUpper:
      return ToLineUpperLine(s, next);
    case Op::Swap:
      return ChangeUpperLowerLine(s);
    case Op::HiraKana:
      return HiraToKanaLine(s);
    case Op::KanaHira:
      return KanaToHiraLine(s);
  }
  return {};
}

struct CaseCase {
  const char* name;
  Op op;
  std::string in, out;
};

CaseCase C(const char* name, Op op, std::u8string_view in, std::u8string_view out) {
  return {name, op, sj(in), sj(out)};
}

class CaseLine : public ::testing::TestWithParam<CaseCase> {};

TEST_P(CaseLine, Converts) {
  const CaseCase& c = GetParam();
  EXPECT_EQ(u8(Apply(c.op, c.in)), u8(c.out));
  EXPECT_EQ(Apply(c.op, c.in), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, CaseLine,
    ::testing::Values(C("UpperFullWidthToo", Op::Upper, u8"ａｂｃabc", u8"ＡＢＣABC"),
                      C("ZenUpperSameResult", Op::ZenUpper, u8"ａｂｃabc", u8"ＡＢＣABC"),
                      C("UpperGreekCyrillic", Op::Upper, u8"αωаяё", u8"ΑΩАЯЁ"),
                      C("LowerGreekCyrillic", Op::Lower, u8"ΑΩАЯЁＺZ", u8"αωаяёｚz"),
                      C("ZenLowerLeavesOthers", Op::ZenLower, u8"ＡＢ漢ア1!Ω", u8"ａｂ漢ア1!ω"),
                      C("UpperLeavesKanaAndHalfWidth", Op::Upper, u8"あアｱ漢１", u8"あアｱ漢１"),
                      // ヂ is 0x83 0x61: its trail byte is the letter 'a' and must not be touched.
                      C("TrailByteLettersAreNotLetters", Op::Upper, u8"ヂaヂ", u8"ヂAヂ"),
                      C("TrailByteLettersAreNotSwapped", Op::Swap, u8"ヂaB", u8"ヂAb"),
                      C("SwapLeavesDoubleByte", Op::Swap, u8"aBc１ｂ", u8"AbC１ｂ"),
                      C("KanaToHiraLeavesVuSmallKaKeAndMark", Op::KanaHira, u8"ヴヵヶー", u8"ヴヵヶー"),
                      C("KanaToHiraBothSidesOfTheGap", Op::KanaHira, u8"ァミムンヮヰヱヲ", u8"ぁみむんゎゐゑを"),
                      C("HiraToKanaArchaic", Op::HiraKana, u8"ゎゐゑをん", u8"ヮヰヱヲン"),
                      C("HiraToKanaLeavesIterationMarks", Op::HiraKana, u8"ゝゞヽヾｱ", u8"ゝゞヽヾｱ"),
                      C("TopUpperApostrophe", Op::TopUpper, u8"don't stop", u8"Don't Stop"),
                      C("TopUpperHyphen", Op::TopUpper, u8"a-b c", u8"A-B C"),
                      C("TopUpperSentence", Op::TopUpper, u8"it's a pen.ok", u8"It's A Pen.Ok"),
                      C("TopUpperWordKeepsItsCase", Op::TopUpper, u8"a 1st", u8"A 1st"),
                      C("TopUpperAfterJapanese", Op::TopUpper, u8"日本abc　def", u8"日本Abc　Def"),
                      C("TopUpperAfterTab", Op::TopUpper, u8"x\ty", u8"X\tY"),
                      C("LineUpperAfterJapanese", Op::LineUpper, u8"日本abc", u8"日本Abc"),
                      C("LineUpperOnlyFullStops", Op::LineUpper, u8"what? why! ok. fine", u8"What? why! ok. Fine"),
                      C("LineUpperFirstLetterNotFirstByte", Op::LineUpper, u8"12 ab. cd", u8"12 Ab. Cd")),
    [](const auto& info) { return info.param.name; });

TEST(CaseLine, EmptyLinesStayEmpty) {
  for (Op op : {Op::Upper, Op::Lower, Op::ZenUpper, Op::ZenLower, Op::TopUpper, Op::LineUpper, Op::Swap, Op::HiraKana,
                Op::KanaHira})
    EXPECT_EQ(Apply(op, ""), "");
}

TEST(CaseLine, LineUpperFlagCarriesAcrossLines) {
  bool next = true;
  EXPECT_EQ(ToLineUpperLine("end. next", next), "End. Next");
  EXPECT_EQ(ToLineUpperLine("line two", next), "line two");
  next = true;
  EXPECT_EQ(ToLineUpperLine("end.", next), "End.");
  EXPECT_EQ(ToLineUpperLine("line", next), "Line");
  next = true;
  EXPECT_EQ(ToLineUpperLine(sj(u8"日本"), next), sj(u8"日本"));
  EXPECT_EQ(ToLineUpperLine("x", next), "X");  // a double-byte character at the end of a line
}

TEST(CaseLine, LoneLeadByteAtTheEndIsKept) {
  for (Op op : {Op::Upper, Op::Lower, Op::ZenUpper, Op::ZenLower, Op::TopUpper, Op::LineUpper, Op::Swap, Op::HiraKana,
                Op::KanaHira}) {
    std::string out = Apply(op, "a\x82");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1], '\x82');
  }
}

// The letters of JIS X 0208 rows 3, 6 and 7 pair up through the code page, on every platform.
TEST(CaseLine, DoubleByteLettersOfRowsThreeSixSevenPairUp) {
  const ICodePage& cp = CodePage();
  struct Block {
    uint16_t lower, upper;
    int count;
  } blocks[] = {{0x8281, 0x8260, 26}, {0x83BF, 0x839F, 24}, {0x8470, 0x8440, 33}};
  for (const Block& b : blocks) {
    for (int i = 0; i < b.count; ++i) {
      uint16_t lo = static_cast<uint16_t>(b.lower + i), up = static_cast<uint16_t>(b.upper + i);
      if (b.lower == 0x8470 && lo >= 0x847F) ++lo;  // 0x847F is not a character
      SCOPED_TRACE(lo);
      EXPECT_EQ(cp.CaseOf(lo), CharCase::Lower);
      EXPECT_EQ(cp.CaseOf(up), CharCase::Upper);
      const std::string l{static_cast<char>(lo >> 8), static_cast<char>(lo & 0xFF)};
      const std::string u{static_cast<char>(up >> 8), static_cast<char>(up & 0xFF)};
      EXPECT_EQ(ToUpperLine(l, cp), u);
      EXPECT_EQ(ToZenUpperLine(l, cp), u);
      EXPECT_EQ(ToLowerLine(u, cp), l);
      EXPECT_EQ(ToZenLowerLine(u, cp), l);
    }
  }
}

// A code page whose mappings would break the line: the walk must refuse them.
class HostileCodePage final : public ICodePage {
 public:
  std::u16string ToUtf16(Charset cs, std::string_view b) const override { return CodePage().ToUtf16(cs, b); }
  std::string FromUtf16(Charset cs, std::u16string_view t, bool* lossy) const override {
    return CodePage().FromUtf16(cs, t, lossy);
  }
  CharCase CaseOf(uint16_t) const override { return CharCase::Lower; }
  uint16_t MapCase(uint16_t c, bool) const override {
    if (c == 0x8281) return 'A';     // ａ to a single byte
    if (c == 0x8282) return 0x4142;  // ｂ to two ASCII bytes
    return c;
  }
};

TEST(CaseLine, MappingsThatAreNotDoubleByteCharactersAreRefused) {
  HostileCodePage cp;
  const std::string s = sj(u8"ａｂc");
  EXPECT_EQ(ToUpperLine(s, cp), sj(u8"ａｂC"));
  EXPECT_EQ(ToZenUpperLine(s, cp), sj(u8"ａｂC"));
}

// Kana arithmetic against the UTF-16 blocks, where katakana are hiragana + 0x60.
TEST(CaseLine, KanaArithmeticMatchesTheUnicodeBlocks) {
  const ICodePage& cp = CodePage();
  for (uint16_t h = 0x829F; h <= 0x82F1; ++h) {
    const std::string hs{static_cast<char>(h >> 8), static_cast<char>(h & 0xFF)};
    const std::string ks = HiraToKanaLine(hs);
    std::u16string hu = cp.ToUtf16(Charset::Sjis, hs), ku = cp.ToUtf16(Charset::Sjis, ks);
    ASSERT_EQ(hu.size(), 1u);
    ASSERT_EQ(ku.size(), 1u);
    EXPECT_EQ(ku[0], hu[0] + 0x60) << std::hex << h;
    EXPECT_EQ(KanaToHiraLine(ks), hs);
  }
}

TEST(CaseFolding, FoldsSingleAndFullWidthLatinOnly) {
  EXPECT_EQ(FoldUpper('a'), 'A');
  EXPECT_EQ(FoldUpper('Z'), 'Z');
  EXPECT_EQ(FoldUpper(sjis::CharAt(sj(u8"ａ"), 0)), sjis::CharAt(sj(u8"Ａ"), 0));
  EXPECT_EQ(FoldUpper(sjis::CharAt(sj(u8"ｚ"), 0)), sjis::CharAt(sj(u8"Ｚ"), 0));
  EXPECT_EQ(FoldUpper(sjis::CharAt(sj(u8"α"), 0)), sjis::CharAt(sj(u8"α"), 0));
  EXPECT_EQ(FoldUpper(0xE1), 0xE1);  // half-width ﾁ has no case
}

}  // namespace
