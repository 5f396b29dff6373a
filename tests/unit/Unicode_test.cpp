#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "Fakes.h"
#include "conv/Cp932.h"
#include "conv/Transfer.h"
#include "conv/Unicode.h"
#include "doc/Document.h"
#include "macro/Bindings.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

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

// ---------------------------------------------------------------- JIS forms

// Seven characters that converters built on JIS tables write with code points of their own.
// Every way into Shift-JIS takes them as code page 932's characters; reading Shift-JIS still
// gives the code page's code points.
struct JisForm {
  char16_t unit;
  std::string sjis;
  char16_t cp932;
};
const JisForm kJisForms[] = {
    {u'\u2212', "\x81\x7C", u'\uFF0D'}, {u'\u301C', "\x81\x60", u'\uFF5E'}, {u'\u2016', "\x81\x61", u'\u2225'},
    {u'\u00A2', "\x81\x91", u'\uFFE0'}, {u'\u00A3', "\x81\x92", u'\uFFE1'}, {u'\u00AC', "\x81\xCA", u'\uFFE2'},
    {u'\u2014', "\x81\x5C", u'\u2015'},
};

// A UTF-7 run of UTF-16 units, as base64 of their big-endian bytes.
std::string Utf7Run(std::u16string_view units) {
  std::string bytes;
  for (char16_t u : units) {
    bytes += static_cast<char>(u >> 8);
    bytes += static_cast<char>(u & 0xFF);
  }
  std::string b64 = Base64Encode(bytes);
  return b64.substr(0, b64.find('='));
}

// "=" escapes of every byte.
std::string QEncoded(std::string_view bytes) {
  std::string q;
  char hex[4];
  for (unsigned char b : bytes) {
    std::snprintf(hex, sizeof hex, "=%02X", b);
    q += hex;
  }
  return q;
}

struct Tray {
  TestPlatform tp;
  AppState app;
  MainState m{tp.platform, AllBindings(), app};
  std::string Run(std::string_view macroLine, const std::string& text) {
    tp.clipboard.text = text;
    RunMacroText(m, macroLine);
    return tp.clipboard.text.value_or("<none>");
  }
};

TEST(JisForms, EveryWayIntoShiftJisTakesThem) {
  const ICodePage& cp = CodePage();
  const std::string japanese = Bytes(u8"日本語の文章です、");  // lets the code detection see UTF-8
  const std::string japaneseSjis = sj(u8"日本語の文章です、");
  int checked = 0;
  // Each character alone, then all seven in one text: its UTF-16 form, its Shift-JIS and the
  // code page's own code points of that Shift-JIS.
  struct Text {
    std::u16string units;
    std::string sjis;
    std::u16string cp932;
  };
  std::vector<Text> texts;
  Text all;
  for (const JisForm& f : kJisForms) {
    texts.push_back({std::u16string(1, f.unit), f.sjis, std::u16string(1, f.cp932)});
    all.units += f.unit;
    all.sjis += f.sjis;
    all.cp932 += f.cp932;
  }
  texts.push_back(all);
  for (const auto& [units, sjis, cp932] : texts) {
    const std::string utf8 = Utf16ToUtf8(units);
    const std::string utf7 = "+" + Utf7Run(units) + "-";
    bool lossy = true;
    EXPECT_EQ(cp.FromUtf16(Charset::Sjis, units, &lossy), sjis);
    EXPECT_FALSE(lossy);
    lossy = true;
    EXPECT_EQ(cp.Utf8ToSjis(utf8, &lossy), sjis);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(Utf8ToSjisLine(cp, "\xEF\xBB\xBF" + utf8), sjis);
    EXPECT_EQ(Utf7ToSjisLine(cp, utf7), sjis);
    struct Way {
      const char* macroLine;
      std::string in, out;
    } ways[] = {
        {"Utf8ToSjis", utf8 + "\r\n" + utf8, sjis + "\r\n" + sjis},
        {"UnicodeToMbcs", "a" + utf7 + "b", "a" + sjis + "b"},
        {"MimeToSjis", "=?utf-8?B?" + Base64Encode(utf8) + "?=", sjis},
        {"MimeToSjis", "x =?UTF-8?Q?" + QEncoded(utf8) + "?= y", "x " + sjis + " y"},
        {"MimeToSjis", "=?unicode-1-1-utf-7?B?" + Base64Encode(utf7) + "?=", sjis},
        {"ToSjis", japanese + utf8 + "\r\n" + japanese, japaneseSjis + sjis + "\r\n" + japaneseSjis},
    };
    for (const Way& w : ways) {
      Tray t;
      EXPECT_EQ(t.Run(w.macroLine, w.in), w.out) << w.macroLine << " of " << u8(sjis);
      ++checked;
    }
    // The reverse direction is the code page's own.
    EXPECT_EQ(cp.ToUtf16(Charset::Sjis, sjis), cp932);
    Tray t;
    EXPECT_EQ(t.Run("SjisToUtf8", sjis), Utf16ToUtf8(cp932));
  }
  EXPECT_EQ(checked, 8 * 6);
}
