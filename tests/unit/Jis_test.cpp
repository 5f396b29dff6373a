#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "Fakes.h"
#include "conv/Jis.h"
#include "conv/Sjis.h"
#include "doc/Document.h"

using namespace qlk;
using namespace qlk::test;

namespace {

// Escapes and shifts, spelt out so the expected bytes read as they are written.
const std::string kB = "\x1B$B";    // two-byte text, X 0208-1983
const std::string kAt = "\x1B$@";   // two-byte text, C 6226
const std::string kAsc = "\x1B(B";  // one-byte text
const std::string kKanaEsc = "\x1B(I";
const std::string kSO = "\x0E";
const std::string kSI = "\x0F";

// ---------------------------------------------------------------- arithmetic

TEST(JisCode, KnownCharactersHaveTheirCodes) {
  struct Case {
    const char8_t* ch;
    uint16_t jis;
  } cases[] = {
      {u8"亜", 0x3021}, {u8"あ", 0x2422}, {u8"　", 0x2121}, {u8"ア", 0x2522}, {u8"А", 0x2721},
      {u8"①", 0x2D21},  // reached from lead byte 0x87
      {u8"熙", 0x7426},  // the last JIS X 0208 row
  };
  for (const Case& c : cases) {
    std::string s = sj(c.ch);
    ASSERT_EQ(s.size(), 2u);
    auto s1 = static_cast<unsigned char>(s[0]), s2 = static_cast<unsigned char>(s[1]);
    EXPECT_EQ(SjisToJisCode(s1, s2), c.jis) << u8(s);
    EXPECT_EQ(JisToSjisCode(c.jis >> 8, c.jis & 0xFF), s1 << 8 | s2) << u8(s);
  }
}

TEST(JisCode, EveryShiftJisPairWithACodeComesBackAndCodesCoverTheWholeSquare) {
  int withCode = 0;
  for (int s1 = 0x80; s1 <= 0xFF; ++s1)
    for (int s2 = 0x00; s2 <= 0xFF; ++s2) {
      uint16_t j = SjisToJisCode(static_cast<unsigned char>(s1), static_cast<unsigned char>(s2));
      if (!j) continue;
      ++withCode;
      ASSERT_TRUE(sjis::IsLead(static_cast<unsigned char>(s1)));
      ASSERT_LT(s1, 0xF0) << "user-defined rows have no JIS code";
      ASSERT_EQ(JisToSjisCode(j >> 8, j & 0xFF), s1 << 8 | s2) << std::hex << s1 << ' ' << s2;
    }
  EXPECT_EQ(withCode, 94 * 94);
  for (int j1 = 0x21; j1 <= 0x7E; ++j1)
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      uint16_t s = JisToSjisCode(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
      ASSERT_EQ(SjisToJisCode(s >> 8, s & 0xFF), j1 << 8 | j2);
    }
}

TEST(JisCode, PairsOutsideTheRangesHaveNone) {
  struct Case {
    unsigned char a, b;
  } sjisCases[] = {{0xF0, 0x40}, {0xFC, 0xFC}, {0x41, 0x40}, {0x88, 0x7F}, {0x88, 0x3F}, {0x88, 0xFD}, {0xA0, 0x40}};
  for (auto c : sjisCases) EXPECT_EQ(SjisToJisCode(c.a, c.b), 0) << std::hex << int(c.a) << ' ' << int(c.b);
  struct Case2 {
    unsigned char a, b;
  } jisCases[] = {{0x20, 0x21}, {0x21, 0x7F}, {0x7F, 0x21}, {0xB0, 0xA1}};
  for (auto c : jisCases) EXPECT_EQ(JisToSjisCode(c.a, c.b), 0) << std::hex << int(c.a) << ' ' << int(c.b);
}

// ---------------------------------------------------------------- decoding

struct DecodeCase {
  const char* name;
  std::string in;
  std::string out;
  JisModes before;
  JisModes after;
};

class JisDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(JisDecode, GivesShiftJisAndTheModesAfterTheLine) {
  const DecodeCase& c = GetParam();
  JisModes m = c.before;
  EXPECT_EQ(JisToSjisLine(c.in, m), c.out);
  EXPECT_EQ(m.twoByte, c.after.twoByte);
  EXPECT_EQ(m.kana, c.after.kana);
}

const JisModes kOff{false, false}, kTwo{true, false}, kKana{false, true};

INSTANTIATE_TEST_SUITE_P(
    Edge, JisDecode,
    ::testing::Values(
        DecodeCase{"Kanji", kB + "0!" + kAsc, sj(u8"亜"), kOff, kOff},
        DecodeCase{"ShiftedKana", kSO + "1" + kSI, sj(u8"ｱ"), kOff, kOff},
        DecodeCase{"EscapedKana", kKanaEsc + "12" + kAsc + "a", sj(u8"ｱｲa"), kOff, kOff},
        DecodeCase{"OldEscape", kAt + "$\"" + "\x1B(J" + "x", sj(u8"あx"), kOff, kOff},
        DecodeCase{"Escape1990", "\x1B&@" + kB + "$\"" + "\x1B(H", sj(u8"あ"), kOff, kOff},
        DecodeCase{"X0212EscapeReadsX0208Pairs", "\x1B$(D0!" + kAsc, sj(u8"亜"), kOff, kOff},
        DecodeCase{"ShiftJisPassesWithoutEscapes", sj(u8"漢字とｶﾅ and ASCII"), sj(u8"漢字とｶﾅ and ASCII"), kOff, kOff},
        DecodeCase{"UnknownEscapeIsText", "\x1B(Zab\x1B", "\x1B(Zab\x1B", kOff, kOff},
        DecodeCase{"EscapeCutAtLineEnd", "a\x1B$", "a\x1B$", kOff, kOff},
        DecodeCase{"RunLeftOpen", kB + "$\"$$", sj(u8"あい"), kOff, kTwo},
        DecodeCase{"OpenRunFromTheLineBefore", "$\"" + kAsc + "a", sj(u8"あa"), kTwo, kOff},
        DecodeCase{"NonPairByteInTwoByteText", kB + "0! \t0!", sj(u8"亜 \t亜"), kOff, kTwo},
        DecodeCase{"OddByteAtLineEndInTwoByteText", kB + "0!0", sj(u8"亜") + "0", kOff, kTwo},
        DecodeCase{"KanaRunLeftOpen", kSO + "12", sj(u8"ｱｲ"), kOff, kKana},
        // Controls and blanks keep their meaning under the kana shift: nothing is dropped,
        // and no byte turns into a zero byte.
        DecodeCase{"ControlsAndBlankInKanaText", kSO + "1\t 2\r" + kSI, sj(u8"ｱ") + "\t " + sj(u8"ｲ") + "\r", kOff, kOff},
        DecodeCase{"HighBytesInKanaText", kSO + "\x80\xE0\x7D" + kSI, "\x80\xE0\x7D", kOff, kOff},
        DecodeCase{"ZeroByteIsData", kB + "0!" + std::string(1, '\0') + "0!", sj(u8"亜") + std::string(1, '\0') + sj(u8"亜"), kOff, kTwo},
        DecodeCase{"SiEndsTwoByteText", kB + "0!" + kSI + "0!", sj(u8"亜") + "0!", kOff, kOff},
        DecodeCase{"SoEndsTwoByteText", kB + "0!" + kSO + "1", sj(u8"亜ｱ"), kOff, kKana}),
    [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------- encoding

struct EncodeCase {
  const char* name;
  int kana, jis;
  std::string in;
  std::string out;
};

class JisEncode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(JisEncode, WritesTheChosenEscapesAndEndsInOneByteMode) {
  const EncodeCase& c = GetParam();
  JisModes m;
  EXPECT_EQ(SjisToJisLine(c.in, JisEncoderSettings{c.kana, c.jis}, m), c.out);
  EXPECT_FALSE(m.twoByte);
  EXPECT_FALSE(m.kana);
  // Whatever the settings, the decoder brings the text back.
  JisModes d;
  EXPECT_EQ(JisToSjisLine(c.out, d), c.in);
}

INSTANTIATE_TEST_SUITE_P(
    Edge, JisEncode,
    ::testing::Values(
        // Two-byte text is closed before SO: SI returns to what G0 holds, and other readers
        // would take the ASCII after the kana for two-byte text.
        EncodeCase{"Defaults", 0, 1, sj(u8"aあｱ"), "a" + kB + "$\"" + kAsc + kSO + "1" + kSI},
        EncodeCase{"KanaShiftThenAscii", 0, 1, sj(u8"あｱa"), kB + "$\"" + kAsc + kSO + "1" + kSI + "a"},
        EncodeCase{"KanaShiftThenKanji", 0, 1, sj(u8"ｱあ"), kSO + "1" + kSI + kB + "$\"" + kAsc},
        EncodeCase{"KanaEscape", 1, 1, sj(u8"aあｱ"), "a" + kB + "$\"" + kKanaEsc + "1" + kAsc},
        EncodeCase{"KanaEscapeThenKanji", 1, 1, sj(u8"ｱあ"), kKanaEsc + "1" + kB + "$\"" + kAsc},
        EncodeCase{"KanaEscapeThenAscii", 1, 1, sj(u8"ｱｲa"), kKanaEsc + "12" + kAsc + "a"},
        EncodeCase{"UnknownKanaValueIsEscape", 7, 1, sj(u8"ｱ"), kKanaEsc + "1" + kAsc},
        EncodeCase{"EightBitKana", 2, 1, sj(u8"ｱ"), "\xB1"},
        EncodeCase{"EightBitKanaAfterKanji", 2, 1, sj(u8"あｱあ"), kB + "$\"" + kAsc + "\xB1" + kB + "$\"" + kAsc},
        EncodeCase{"Jis0", 0, 0, sj(u8"あ"), kAt + "$\"" + kAsc},
        EncodeCase{"Jis2", 0, 2, sj(u8"あ"), "\x1B&@" + kB + "$\"" + kAsc},
        EncodeCase{"Jis3", 0, 3, sj(u8"あ"), "\x1B$(D$\"" + kAsc},
        // An escape nobody can read back would lose the text: unknown values write ESC $ B.
        EncodeCase{"UnknownJisValueIsNew", 0, 9, sj(u8"あ"), kB + "$\"" + kAsc},
        EncodeCase{"AsciiOnlyUnchanged", 0, 1, "plain text\t1", "plain text\t1"},
        EncodeCase{"UserDefinedRowStaysShiftJis", 0, 1, sj(u8"あ") + "\xF0\x40" + sj(u8"い"),
                   kB + "$\"" + kAsc + "\xF0\x40" + kB + "$$" + kAsc},
        EncodeCase{"LeadByteAtLineEnd", 0, 1, sj(u8"あ") + "\x82", kB + "$\"" + kAsc + "\x82"},
        EncodeCase{"KanaBeforeUnencodableClosesKana", 1, 1, sj(u8"ｱ") + "\xFC\xFC", kKanaEsc + "1" + kAsc + "\xFC\xFC"},
        EncodeCase{"KanjiRunStaysOpenAcrossCharacters", 0, 1, sj(u8"漢字"), kB + "4A;z" + kAsc}),
    [](const auto& info) { return info.param.name; });

// Random mixtures of every character class, every setting: decoding gives the text back.
TEST(JisEncode, RandomTextComesBackUnderEverySetting) {
  std::mt19937 rng(7);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  for (int kana = 0; kana <= 3; ++kana)
    for (int jis = 0; jis <= 4; ++jis)
      for (int round = 0; round < 200; ++round) {
        std::string s;
        int len = pick(20);
        for (int k = 0; k < len; ++k) {
          switch (pick(4)) {
            case 0: s.push_back(static_cast<char>(0x20 + pick(0x5F))); break;
            case 1: s.push_back(static_cast<char>(0xA1 + pick(0x3F))); break;
            default: {
              uint16_t c = JisToSjisCode(static_cast<unsigned char>(0x21 + pick(94)), static_cast<unsigned char>(0x21 + pick(94)));
              s.push_back(static_cast<char>(c >> 8));
              s.push_back(static_cast<char>(c & 0xFF));
            }
          }
        }
        JisModes m, d;
        std::string j = SjisToJisLine(s, JisEncoderSettings{kana, jis}, m);
        if (kana != 2) {
          for (char ch : j) ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << "JIS text is seven-bit";
        }
        ASSERT_EQ(JisToSjisLine(j, d), s) << "kana " << kana << " jis " << jis;
      }
}

// ---------------------------------------------------------------- EUC

struct EucCase {
  const char* name;
  std::string euc;
  std::string sjis;
};

class EucDecode : public ::testing::TestWithParam<EucCase> {};
TEST_P(EucDecode, GivesShiftJis) { EXPECT_EQ(EucToSjisLine(GetParam().euc), GetParam().sjis); }

INSTANTIATE_TEST_SUITE_P(
    Edge, EucDecode,
    ::testing::Values(EucCase{"Kanji", "\xB0\xA1", sj(u8"亜")},
                      EucCase{"SingleShift2", "\x8E\xB1", sj(u8"ｱ")},
                      EucCase{"SingleShift3Dropped", "\x8F\xB0\xA1", sj(u8"亜")},
                      EucCase{"SingleShift2AtLineEndDropped", "a\x8E", "a"},
                      EucCase{"Ascii", "a b\t~", "a b\t~"},
                      EucCase{"LoneHighByteAtLineEndCopied", "a\xB0", "a\xB0"},
                      EucCase{"NoJisCodeCopied", "\xFF\xA1", "\xFF\xA1"},
                      EucCase{"Mixed", "\xA4\xA2x\x8E\xB1\xB4\xC1", sj(u8"あxｱ漢")}),
    [](const auto& info) { return info.param.name; });

class EucEncode : public ::testing::TestWithParam<EucCase> {};
TEST_P(EucEncode, GivesEucAndComesBack) {
  EXPECT_EQ(SjisToEucLine(GetParam().sjis), GetParam().euc);
  // A character without a JIS code has no EUC form to come back from.
  if (GetParam().sjis.find('\xF0') == std::string::npos) {
    EXPECT_EQ(EucToSjisLine(GetParam().euc), GetParam().sjis);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Edge, EucEncode,
    ::testing::Values(EucCase{"Kanji", "\xB0\xA1", sj(u8"亜")},
                      EucCase{"HalfWidthKana", "\x8E\xB1", sj(u8"ｱ")},
                      EucCase{"Ascii", "a b", "a b"},
                      EucCase{"UserDefinedRowCopied", "\xF0\x40", "\xF0\x40"},
                      EucCase{"LeadByteAtLineEndCopied", "\xA4\xA2\x82", sj(u8"あ") + "\x82"},
                      EucCase{"Mixed", "\xA4\xA2x\x8E\xB1\xB4\xC1", sj(u8"あxｱ漢")}),
    [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------- document operations

struct CodesDoc : ::testing::Test {
  TestPlatform tp;
  CQuenlarkDoc doc{tp.platform};
  JisContext context;  // as a main window keeps it from command to command
  void Load(const std::vector<std::string>& lines) {
    std::string t;
    for (auto& l : lines) t += l + "\r\n";
    tp.clipboard.text = t;
    ASSERT_TRUE(doc.NewFromClipboard());
  }
  std::vector<std::string> Lines() const { return doc.Lines().ToVector(); }
};

TEST_F(CodesDoc, JisRunLeftOpenContinuesOnTheNextTargetLine) {
  Load({kB + "$\"", "$$" + kAsc + "x"});
  JisToSjis(doc, context);
  EXPECT_EQ(Lines(), (std::vector<std::string>{sj(u8"あ"), sj(u8"い") + "x"}));
}

TEST_F(CodesDoc, JisToSjisStartsWithBothModesOff) {
  context.modes.twoByte = true;  // left over from an earlier command
  Load({"0!"});
  JisToSjis(doc, context);
  EXPECT_EQ(Lines(), std::vector<std::string>{"0!"});
}

TEST_F(CodesDoc, OnlyNonEmptyTargetLinesChangeAndUndoRestores) {
  const std::string jis = kB + "0!" + kAsc;
  Load({jis, "", jis, jis});
  doc.rangeStart = 2;
  doc.rangeEnd = 3;
  JisToSjis(doc, context);
  EXPECT_EQ(Lines(), (std::vector<std::string>{jis, "", sj(u8"亜"), jis}));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(tp.ui.waits, 1);
  EXPECT_EQ(tp.ui.waitDepth, 0);
  doc.Undo();
  EXPECT_EQ(Lines(), (std::vector<std::string>{jis, "", jis, jis}));
}

TEST_F(CodesDoc, SjisToJisLoadsTheSettingsAtEachRunAndKeepsThemForOthers) {
  tp.settings.SetInt("Jis", "Kana", 1);
  tp.settings.SetInt("Jis", "Jis", 0);
  Load({sj(u8"あｱ")});
  SjisToJis(doc, context);
  EXPECT_EQ(Lines(), std::vector<std::string>{kAt + "$\"" + kKanaEsc + "1" + kAsc});
  // Other users of the encoder (MIME headers) keep the loaded settings until the next run.
  tp.settings.SetInt("Jis", "Kana", 0);
  EXPECT_EQ(SjisToJisLine(sj(u8"ｱ"), context.encoder, context.modes), kKanaEsc + "1" + kAsc);
  EXPECT_EQ(context.encoder.jis, 0);
  Load({sj(u8"ｱ")});
  SjisToJis(doc, context);
  EXPECT_EQ(Lines(), std::vector<std::string>{kSO + "1" + kSI});
}

TEST_F(CodesDoc, EncoderHoldsBuiltInSettingsBeforeTheFirstLoad) {
  EXPECT_EQ(SjisToJisLine(sj(u8"あｱ"), context.encoder, context.modes), kB + "$\"" + kAsc + kSO + "1" + kSI);
}

TEST_F(CodesDoc, EucBothWaysOnTargetLines) {
  Load({sj(u8"亜ｱa"), ""});
  SjisToEuc(doc);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"\xB0\xA1\x8E\xB1" "a", ""}));
  EucToSjis(doc);
  EXPECT_EQ(Lines(), (std::vector<std::string>{sj(u8"亜ｱa"), ""}));
}

TEST_F(CodesDoc, EveryEucOptionGivesPlainEuc) {
  for (int option : {0, 1, -3}) {
    Load({sj(u8"あa")});
    doc.eucOption = option;
    SjisToEuc(doc);
    EXPECT_EQ(Lines(), std::vector<std::string>{"\xA4\xA2" "a"}) << option;
  }
}

// Far past the old 32,767-byte buffer: every byte arrives, both ways, for each code.
TEST_F(CodesDoc, LongLinesConvertWholeAndComeBackExactly) {
  std::string unit = sj(u8"漢字かなｶﾅ ascii ～①");
  std::string line;
  while (line.size() < 200000) line += unit;
  struct Op {
    const char* name;
    std::function<void(CQuenlarkDoc&)> to, back;
  } ops[] = {{"Jis", [&](CQuenlarkDoc& d) { SjisToJis(d, context); }, [&](CQuenlarkDoc& d) { JisToSjis(d, context); }},
             {"Euc", SjisToEuc, EucToSjis}};
  for (const Op& op : ops) {
    Load({line, "x"});
    op.to(doc);
    EXPECT_GT(doc.Lines()[0].size(), line.size()) << op.name;
    op.back(doc);
    EXPECT_EQ(Lines(), (std::vector<std::string>{line, "x"})) << op.name;
  }
}

}  // namespace
