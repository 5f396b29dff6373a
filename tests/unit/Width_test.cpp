#include <gtest/gtest.h>

#include "Fakes.h"
#include "conv/Sjis.h"
#include "conv/Width.h"

using namespace qlk;
using namespace qlk::test;

namespace {

// The value of a one-character Shift-JIS string.
uint16_t Ch(const std::string& s) {
  EXPECT_EQ(sjis::CharLen(s, 0), s.size()) << "not one character";
  return sjis::CharAt(s, 0);
}
uint16_t Ch(std::u8string_view u) { return Ch(sj(u)); }

std::vector<std::string> Chars(const std::string& s) {
  std::vector<std::string> v;
  for (size_t i = 0; i < s.size(); i += sjis::CharLen(s, i)) v.push_back(s.substr(i, sjis::CharLen(s, i)));
  return v;
}

// ---------------------------------------------------------------- the tables

TEST(WidthTables, AsciiWidthTablePairsEveryPrintableByte) {
  // Row by row as tabled: the printable bytes 0x20-0x7E and their full-width forms.
  const std::string full =
      sj(u8"　！”＃＄％＆’（）＊＋，－．／０１２３４５６７８９：；＜＝＞？"
         u8"＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ［￥］＾＿"
         u8"‘ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝￣");
  std::vector<std::string> f = Chars(full);
  ASSERT_EQ(f.size(), 95u);
  for (int b = 0x20; b <= 0x7E; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(WidenChar(static_cast<uint16_t>(b)), Ch(f[b - 0x20]));
    EXPECT_EQ(NarrowChar(Ch(f[b - 0x20])), b);
  }
}

struct KanaRowCase {
  unsigned char half;
  const char8_t* widen;
  const char8_t* from;  // every full-width character that narrows to the byte
};

TEST(WidthTables, KanaWidthTableAsTabled) {
  const KanaRowCase rows[] = {
      {0xA1, u8"。", u8"。"},           {0xA2, u8"「", u8"「"},           {0xA3, u8"」", u8"」"},
      {0xA4, u8"、", u8"、"},           {0xA5, u8"・", u8"・"},           {0xA6, u8"ヲ", u8"ヲを"},
      {0xA7, u8"ァ", u8"ァぁ"},         {0xA8, u8"ィ", u8"ィぃ"},         {0xA9, u8"ゥ", u8"ゥぅ"},
      {0xAA, u8"ェ", u8"ェぇ"},         {0xAB, u8"ォ", u8"ォぉ"},         {0xAC, u8"ャ", u8"ャゃ"},
      {0xAD, u8"ュ", u8"ュゅ"},         {0xAE, u8"ョ", u8"ョょ"},         {0xAF, u8"ッ", u8"ッっ"},
      {0xB0, u8"ー", u8"ー"},           {0xB1, u8"ア", u8"アあ"},         {0xB2, u8"イ", u8"イヰいゐ"},
      {0xB3, u8"ウ", u8"ウヴう"},       {0xB4, u8"エ", u8"エヱえゑ"},     {0xB5, u8"オ", u8"オお"},
      {0xB6, u8"カ", u8"カガヵかが"},   {0xB7, u8"キ", u8"キギきぎ"},     {0xB8, u8"ク", u8"クグくぐ"},
      {0xB9, u8"ケ", u8"ケゲヶけげ"},   {0xBA, u8"コ", u8"コゴこご"},     {0xBB, u8"サ", u8"サザさざ"},
      {0xBC, u8"シ", u8"シジしじ"},     {0xBD, u8"ス", u8"スズすず"},     {0xBE, u8"セ", u8"セゼせぜ"},
      {0xBF, u8"ソ", u8"ソゾそぞ"},     {0xC0, u8"タ", u8"タダただ"},     {0xC1, u8"チ", u8"チヂちぢ"},
      {0xC2, u8"ツ", u8"ツヅつづ"},     {0xC3, u8"テ", u8"テデてで"},     {0xC4, u8"ト", u8"トドとど"},
      {0xC5, u8"ナ", u8"ナな"},         {0xC6, u8"ニ", u8"ニに"},         {0xC7, u8"ヌ", u8"ヌぬ"},
      {0xC8, u8"ネ", u8"ネね"},         {0xC9, u8"ノ", u8"ノの"},         {0xCA, u8"ハ", u8"ハバパはばぱ"},
      {0xCB, u8"ヒ", u8"ヒビピひびぴ"}, {0xCC, u8"フ", u8"フブプふぶぷ"}, {0xCD, u8"ヘ", u8"ヘベペへべぺ"},
      {0xCE, u8"ホ", u8"ホボポほぼぽ"}, {0xCF, u8"マ", u8"マま"},         {0xD0, u8"ミ", u8"ミみ"},
      {0xD1, u8"ム", u8"ムむ"},         {0xD2, u8"メ", u8"メめ"},         {0xD3, u8"モ", u8"モも"},
      {0xD4, u8"ヤ", u8"ヤや"},         {0xD5, u8"ユ", u8"ユゆ"},         {0xD6, u8"ヨ", u8"ヨよ"},
      {0xD7, u8"ラ", u8"ラら"},         {0xD8, u8"リ", u8"リり"},         {0xD9, u8"ル", u8"ルる"},
      {0xDA, u8"レ", u8"レれ"},         {0xDB, u8"ロ", u8"ロろ"},         {0xDC, u8"ワ", u8"ワヮわゎ"},
      {0xDD, u8"ン", u8"ンん"},         {0xDE, u8"゛", u8"゛"},           {0xDF, u8"゜", u8"゜"},
  };
  ASSERT_EQ(std::size(rows), 63u);
  size_t listed = 0;
  for (const KanaRowCase& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.half));
    EXPECT_EQ(WidenChar(r.half), Ch(r.widen));
    for (const std::string& c : Chars(sj(r.from))) {
      EXPECT_EQ(NarrowChar(Ch(c)), r.half) << u8(c);
      ++listed;
    }
  }
  // Every full-width character with a half-width form is in the two tables, and no other.
  size_t narrowing = 0;
  for (unsigned c = 0x8100; c <= 0xFCFF; ++c)
    if (NarrowChar(static_cast<uint16_t>(c)) != c) ++narrowing;
  EXPECT_EQ(narrowing, listed + 95);
}

TEST(WidthTables, VoicedKanaRowsInOrder) {
  const std::string rows =
      sj(u8"ガがｶﾞギぎｷﾞグぐｸﾞゲげｹﾞゴごｺﾞザざｻﾞジじｼﾞズずｽﾞゼぜｾﾞゾぞｿﾞダだﾀﾞヂぢﾁﾞヅづﾂﾞデでﾃﾞドどﾄﾞ"
         u8"バばﾊﾞビびﾋﾞブぶﾌﾞベべﾍﾞボぼﾎﾞパぱﾊﾟピぴﾋﾟプぷﾌﾟペぺﾍﾟポぽﾎﾟヴヴｳﾞ");
  ASSERT_EQ(rows.size(), 26u * 6);
  auto table = VoicedKanaTable();
  for (size_t r = 0; r < 26; ++r) {
    SCOPED_TRACE(r);
    const std::string row = rows.substr(r * 6, 6);
    EXPECT_EQ(table[r].katakana, sjis::CharAt(row, 0));
    EXPECT_EQ(table[r].hiragana, sjis::CharAt(row, 2));
    EXPECT_EQ(table[r].base, static_cast<unsigned char>(row[4]));
    EXPECT_EQ(table[r].mark, static_cast<unsigned char>(row[5]));
    EXPECT_EQ(VoicedOfHalf(table[r].base, table[r].mark), &table[r]);
  }
  EXPECT_EQ(VoicedOfFull(Ch(u8"ヴ")), &table[25]);
  EXPECT_EQ(VoicedOfFull(Ch(u8"ア")), nullptr);
  EXPECT_EQ(VoicedOfHalf(0xB1, 0xDE), nullptr);  // ｱﾞ
  EXPECT_EQ(VoicedOfHalf(0xDE, 0xDE), nullptr);  // ﾞﾞ
  EXPECT_EQ(VoicedOfHalf(0xB6, 0xDF), nullptr);  // ｶﾟ
}

TEST(WidthTables, KanjiNumeralsInValueOrder) {
  const std::vector<std::string> n = Chars(sj(u8"〇一二三四五六七八九"));
  ASSERT_EQ(n.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(KanjiNumerals()[i], Ch(n[i]));
    EXPECT_EQ(KanjiNumeralValue(Ch(n[i])), i);
  }
  EXPECT_EQ(KanjiNumeralValue(Ch(u8"十")), -1);
  EXPECT_EQ(KanjiNumeralValue('0'), -1);
}

TEST(WidthTables, CharacterClassEdges) {
  EXPECT_FALSE(IsHiragana(Ch(u8"ゝ")));
  EXPECT_TRUE(IsKatakana(Ch(u8"ヶ")));
  EXPECT_FALSE(IsKatakana(0x837F));
  EXPECT_FALSE(IsKatakana(Ch(u8"ー")));
  EXPECT_TRUE(IsSymbolBlock(Ch(u8"〓")));
  EXPECT_FALSE(IsSymbolBlock(Ch(u8"　")));
  EXPECT_FALSE(IsAsciiPunct(0x7F));
  EXPECT_FALSE(IsWhiteChar(0xA0));  // no locale: bytes from 0x80 up are never blanks
}

// ---------------------------------------------------------------- line conversions

enum class Conv { Zen, Han, ZenSw, HanSw };

struct LineCase {
  const char* name;
  Conv conv;
  int arg;  // kind or flags
  std::string in, out;
};

std::string Apply(Conv c, int arg, std::string_view in) {
  switch (c) {
    case Conv::Zen:
      return ZenToHanLine(in, arg);
    case Conv::Han:
      return HanToZenLine(in, arg);
    case Conv::ZenSw:
      return ZenToHanSwLine(in, arg);
    case Conv::HanSw:
      return HanToZenSwLine(in, arg);
  }
  return {};
}

class WidthLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(WidthLine, Converts) {
  const LineCase& c = GetParam();
  EXPECT_EQ(u8(Apply(c.conv, c.arg, c.in)), u8(c.out));
  EXPECT_EQ(Apply(c.conv, c.arg, c.in), c.out);  // the bytes themselves
}

LineCase L(const char* name, Conv c, int arg, std::u8string_view in, std::u8string_view out) {
  return {name, c, arg, sj(in), sj(out)};
}

INSTANTIATE_TEST_SUITE_P(
    Edges, WidthLine,
    ::testing::Values(L("HanVoicedPairsBecomeOneKatakana", Conv::Han, 0, u8"ｶﾞｷﾞﾊﾟ", u8"ガギパ"),
                      L("HanAlphaLeavesKanaAlone", Conv::Han, 1, u8"ｶﾞｷﾞﾊﾟ", u8"ｶﾞｷﾞﾊﾟ"),
                      L("HanMarkAfterUnvoicedKanaStandsAlone", Conv::Han, 0, u8"ｱﾞ", u8"ア゛"),
                      L("HanLoneMark", Conv::Han, 0, u8"ﾞ", u8"゛"),
                      L("HanMarkAfterMark", Conv::Han, 0, u8"ｶﾞﾞﾟ", u8"ガ゛゜"),
                      L("HanSemiVoicedOnlyWhereItExists", Conv::Han, 0, u8"ｶﾟﾎﾟｳﾞ", u8"カ゜ポヴ"),
                      L("HanWaIsNeverSmallWa", Conv::Han, 0, u8"ﾜｦﾝｰ", u8"ワヲンー"),
                      L("HanYenTildeQuotes", Conv::Han, 0, u8"\\~\"'`", u8"￥￣”’‘"),
                      L("HanBlankWidensTabStays", Conv::Han, 0, u8"a b\tc", u8"ａ　ｂ\tｃ"),
                      L("HanDigitsOnly", Conv::Han, 2, u8"12ab!ｱ", u8"１２ab!ｱ"),
                      L("HanKanaLeavesAscii", Conv::Han, 3, u8"ｱa1ﾊﾟ｡", u8"アa1パ。"),
                      L("HanKanaMarkFallback", Conv::Han, 3, u8"ｱﾞ", u8"ア゛"),
                      L("HanKanjiAndFullWidthPass", Conv::Han, 0, u8"漢字アＡ", u8"漢字アＡ"),
                      L("ZenVoicedBothScripts", Conv::Zen, 0, u8"がぱヴ", u8"ｶﾞﾊﾟｳﾞ"),
                      L("ZenKanaKeepsHiraganaButNarrowsVu", Conv::Zen, 3, u8"がぱヴ", u8"がぱｳﾞ"),
                      L("ZenHiraganaBecomeHalfKatakana", Conv::Zen, 0, u8"あいう", u8"ｱｲｳ"),
                      L("ZenSmallAndArchaicKana", Conv::Zen, 0, u8"ヵヶヮヰヱゎゐゑを", u8"ｶｹﾜｲｴﾜｲｴｦ"),
                      L("ZenAllNarrowsLettersDigitsPunctSpace", Conv::Zen, 0, u8"Ａ１！　", u8"A1! "),
                      L("ZenKanaNarrowsOnlyPunctuationHere", Conv::Zen, 3, u8"Ａ１！　", u8"Ａ１!　"),
                      L("ZenKanaNarrowsRowOneSymbols", Conv::Zen, 3, u8"。「」、・ー゛゜（", u8"｡｢｣､･ｰﾞﾟ("),
                      L("ZenAsciiSymbolFlagOnly", Conv::ZenSw, 0x20, u8"Ａ１！　", u8"Ａ１! "),
                      L("ZenHyphenTimesDivide", Conv::Zen, 0, u8"‐×÷", u8"-*/"),
                      L("ZenSwHyphenWhateverTheFlags", Conv::ZenSw, 0, u8"‐×÷", u8"-×÷"),
                      L("ZenSwKanjiNumerals", Conv::ZenSw, 0x40, u8"〇一九十", u8"019十"),
                      L("ZenYenAndMinus", Conv::Zen, 0, u8"￥－", u8"\\-"),
                      // ～ (0x8160) and ― (0x815C) have no half-width form.
                      L("ZenWaveDashAndBarStay", Conv::Zen, 0, u8"～―", u8"～―"),
                      L("ZenAlphaOnlyLetters", Conv::Zen, 1, u8"Ａｚ１！ア", u8"Az１！ア"),
                      L("ZenDigitsOnlyDigits", Conv::Zen, 2, u8"Ａ０９！", u8"Ａ09！"),
                      L("ZenKanjiAndHalfWidthPass", Conv::Zen, 0, u8"漢字ｱabc〓", u8"漢字ｱabc〓"),
                      L("ZenKanaNarrowsSmallKatakanaNotHiragana", Conv::Zen, 3, u8"ァぁヶー", u8"ｧぁｹｰ")),
    [](const auto& info) { return info.param.name; });

TEST(WidthLine, EmptyLineStaysEmpty) {
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(ZenToHanLine("", k), "");
    EXPECT_EQ(HanToZenLine("", k), "");
  }
  EXPECT_EQ(ZenToHanSwLine("", 0x7F), "");
  EXPECT_EQ(HanToZenSwLine("", 0x7F), "");
}

TEST(WidthLine, KindsOutsideTheMenuConvertNothing) {
  const std::string s = sj(u8"がＡ１ｱa1 ");
  for (int k : {-1, 4, 9, 1000}) {
    EXPECT_EQ(ZenToHanLine(s, k), s) << k;
    EXPECT_EQ(HanToZenLine(s, k), s) << k;
  }
}

// Each class of the type switch alone, and all of them, on one character of each class.
TEST(WidthLine, ZenToHanSwFlagsSelectTheirClasses) {
  const std::string in = sj(u8"がアあ１Ａ！　。〇‐×漢");
  const struct {
    int flags;
    const char8_t* out;
  } cases[] = {
      {0x00, u8"がアあ１Ａ！　。〇-×漢"}, {0x01, u8"ｶﾞアｱ１Ａ！　。〇-×漢"}, {0x02, u8"がｱあ１Ａ!　｡〇-×漢"},
      {0x04, u8"がアあ1Ａ！　。〇-×漢"},  {0x08, u8"がアあ１A！　。〇-×漢"}, {0x10, u8"がアあ１Ａ！　｡〇-×漢"},
      {0x20, u8"がアあ１Ａ! 。〇-×漢"},   {0x40, u8"がアあ１Ａ！　。0-×漢"}, {0x03, u8"ｶﾞｱｱ１Ａ!　｡〇-×漢"},
      {0x7F, u8"ｶﾞｱｱ1A! ｡0-×漢"},         {0x17F, u8"ｶﾞｱｱ1A! ｡0-×漢"},  // bits beyond the byte mean nothing
  };
  for (const auto& c : cases) EXPECT_EQ(u8(ZenToHanSwLine(in, c.flags)), u8(sj(c.out))) << "flags " << c.flags;
}

TEST(WidthLine, ZenToHanSwJapaneseSymbolsAreTheRowOneMarks) {
  // With 0x10 only 。「」、・ー゛゜ change; punctuation, space and kana do not.
  EXPECT_EQ(ZenToHanSwLine(sj(u8"。「」、・ー゛゜！　ア"), 0x10), sj(u8"｡｢｣､･ｰﾞﾟ！　ア"));
}

TEST(WidthLine, HanToZenSwFlagsSelectTheirClasses) {
  const std::string in = sj(u8"ｶﾞｱﾞa1!\t ~ｰ");
  const struct {
    int flags;
    const char8_t* out;
  } cases[] = {
      {0x00, u8"ｶﾞｱﾞa1!\t ~ｰ"},         {0x02, u8"ガア゛a1!\t ~ー"}, {0x04, u8"ｶﾞｱﾞa１!\t ~ｰ"},
      {0x08, u8"ｶﾞｱﾞａ1!\t ~ｰ"},        {0x10, u8"ｶﾞｱﾞa1!\t ~ｰ"},    {0x20, u8"ｶﾞｱﾞa1！\t　￣ｰ"},
      {0x3E, u8"ガア゛ａ１！\t　￣ー"},
  };
  for (const auto& c : cases) EXPECT_EQ(u8(HanToZenSwLine(in, c.flags)), u8(sj(c.out))) << "flags " << c.flags;
}

// ---------------------------------------------------------------- malformed and long input

TEST(WidthLine, LoneLeadByteAtTheEndIsKeptAndNothingIsSwallowed) {
  const std::string lead = "a\x82";  // 0x82 without its trail byte
  EXPECT_EQ(ZenToHanLine(lead, 0), lead);
  EXPECT_EQ(HanToZenLine(lead, 0), sj(u8"ａ") + "\x82");
  EXPECT_EQ(ZenToHanSwLine(lead, 0x7F), lead);
  EXPECT_EQ(HanToZenSwLine(lead, 0x7F), sj(u8"ａ") + "\x82");
  // A lead byte with a byte that cannot be a trail byte still travels as one pair, whole.
  const std::string odd = std::string("\x82\x20") + "b";
  EXPECT_EQ(ZenToHanLine(odd, 0), odd);
  EXPECT_EQ(HanToZenLine(odd, 0), std::string("\x82\x20") + sj(u8"ｂ"));
}

TEST(WidthLine, LinesBeyondTheWorkingBufferConvertWhole) {
  // 40,000 half-width bytes widen to 80,000; nothing is cut at 32,767.
  std::string half;
  std::string full;
  const std::string ka = sj(u8"ガ"), a = sj(u8"ａ");
  for (int i = 0; i < 20000; ++i) {
    half += "a" + sj(u8"ｶﾞ");
    full += a + ka;
  }
  half += "z";
  full += sj(u8"ｚ");
  ASSERT_GT(half.size(), 32767u * 1);
  EXPECT_EQ(HanToZenLine(half, 0), full);
  EXPECT_EQ(ZenToHanLine(full, 0), half);
  EXPECT_EQ(HanToZenSwLine(half, 0x0A), full);
}

TEST(WidthLine, ConverterReportsWhetherAnythingChanged) {
  std::string out = "stale";
  const ZenToHanConverter z = ZenToHanConverter::ForKind(0);
  EXPECT_FALSE(z.Convert(sj(u8"漢字abc"), out));
  EXPECT_EQ(out, sj(u8"漢字abc"));
  EXPECT_TRUE(z.Convert(sj(u8"漢Ａ"), out));
  EXPECT_EQ(out, sj(u8"漢A"));
  const HanToZenConverter h = HanToZenConverter::ForKind(2);
  EXPECT_FALSE(h.Convert("abc", out));
  EXPECT_EQ(out, "abc");
  EXPECT_TRUE(h.Convert("a1", out));
  EXPECT_EQ(out, "a" + sj(u8"１"));
}

}  // namespace
