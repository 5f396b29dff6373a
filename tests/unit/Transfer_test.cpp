// The line conversions of the transfer encodings and code listings.
#include "conv/Transfer.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "Fakes.h"
#include "conv/Cpu.h"
#include "conv/Jis.h"

using namespace qlk;
using namespace qlk::test;

namespace {

using LineFn = std::function<std::string(std::string_view)>;

struct LineCase {
  const char* name;
  LineFn fn;
  std::string in;
  std::string out;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

std::string Mime(std::string_view l) {
  JisModes m;
  return MimeToSjisLine(CodePage(), l, m);
}

class TransferLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(TransferLine, Converts) {
  const LineCase& c = GetParam();
  EXPECT_EQ(c.fn(c.in), c.out);
}

const std::string kTesuto = sj(u8"テスト");

INSTANTIATE_TEST_SUITE_P(
    Url, TransferLine,
    ::testing::Values(
        LineCase{"BlankIsEscaped", SjisToUrlLine, "a b", "a%20b"},
        LineCase{"BothBytesOfADoubleByteCharacter", SjisToUrlLine, sj(u8"あ"), "%82%A0"},
        LineCase{"MarksAndAlphanumericsStay", SjisToUrlLine, "~*'()-_.!AZaz09", "~*'()-_.!AZaz09"},
        LineCase{"ReservedBytesAreEscapedInUpperCase", SjisToUrlLine, "/?&=+%\xB1", "%2F%3F%26%3D%2B%25%B1"},
        LineCase{"PlusBlankAndAmpersandLineBreak", UrlToSjisLine, "%82%A0+x&y", sj(u8"あ") + " x\r\ny"},
        LineCase{"PercentBeforeAnEscapeIsHandledFirst", UrlToSjisLine, "%%41", "A"},
        LineCase{"AmpersandWhileTheFlagIsUpStillBreaks", UrlToSjisLine, "%&41", "\r\nA"},
        LineCase{"LowerCaseDigits", UrlToSjisLine, "%e3%81%82", "\xE3\x81\x82"},
        LineCase{"BytesOutsideEscapesAreCopied", UrlToSjisLine, "a=b", "a=b"},
        LineCase{"ADigitCutShortByTheEndIsCopied", UrlToSjisLine, "ab%4", "ab4"},
        LineCase{"APercentAtTheEndEndsCleanly", UrlToSjisLine, "ab%", "ab"},
        LineCase{"DecodedZeroByteIsLeftOut", UrlToSjisLine, "a%00b", "ab"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Equals, TransferLine,
    ::testing::Values(LineCase{"Pairs", EqualsDecode, "=82=A0x", sj(u8"あ") + "x"},
                      LineCase{"RepeatedEqualsKeepTheFlag", EqualsDecode, "==41", "A"},
                      LineCase{"EqualsAtTheEndEndsCleanly", EqualsDecode, "a=", "a"},
                      LineCase{"ADigitCutShortIsCopied", EqualsDecode, "a=4", "a4"},
                      LineCase{"PlusAndAmpersandAreData", EqualsDecode, "a+b&c", "a+b&c"},
                      LineCase{"DecodedZeroByteIsLeftOut", EqualsDecode, "x=00y", "xy"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Base64, TransferLine,
    ::testing::Values(LineCase{"Empty", Base64Encode, "", ""}, LineCase{"OneByte", Base64Encode, "a", "YQ=="},
                      LineCase{"TwoBytes", Base64Encode, "ab", "YWI="}, LineCase{"ThreeBytes", Base64Encode, "abc", "YWJj"},
                      LineCase{"HighBytes", Base64Encode, "\xFF\xFE\xFD", "//79"},
                      LineCase{"DecodeWhole", Base64Decode, "YWJj", "abc"},
                      LineCase{"DecodeFillTwo", Base64Decode, "YQ==", "a"},
                      LineCase{"DecodeFillOne", Base64Decode, "YWI=", "ab"},
                      LineCase{"TextAfterTheFirstFillIsIgnored", Base64Decode, "YQ==YWJj", "a"},
                      LineCase{"GroupOfTwoCutShort", Base64Decode, "YWJjZA", "abcd"},
                      LineCase{"GroupOfThreeCutShort", Base64Decode, "YWJjZGU", "abcde"},
                      LineCase{"LoneLastCharacterGivesNothing", Base64Decode, "YWJjZ", "abc"},
                      LineCase{"ZeroBytesAreKeptInData", Base64Decode, "AAE=", std::string("\0\x01", 2)}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Mime, TransferLine,
    ::testing::Values(
        LineCase{"EncodedWord", Mime, "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=", kTesuto},
        LineCase{"LowerCaseCharsetAndEncoding", Mime, "=?iso-2022-jp?b?GyRCJUYlOSVIGyhC?=", kTesuto},
        LineCase{"TextAroundTheWordStays", Mime, "Subject: =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?= (1)",
                 "Subject: " + kTesuto + " (1)"},
        LineCase{"OnlyTheFirstWordsKindIsDecoded", Mime, "=?ISO-2022-JP?B?GyRCJCIbKEI=?= =?UTF-8?B?44GC?=",
                 sj(u8"あ") + " =?UTF-8?B?44GC?="},
        LineCase{"WordsOfTheSameKindInAnyCase", Mime, "=?UTF-8?B?44GC?==?utf-8?b?44GE?=", sj(u8"あい")},
        LineCase{"Utf8Charset", Mime, "=?utf-8?B?44GC?=", sj(u8"あ")},
        LineCase{"Utf7Charset", Mime, "=?UNICODE-1-1-UTF-7?Q?+MEI-?=", sj(u8"あ")},
        LineCase{"EqualsEscapesForOtherEncodings", Mime, "=?ISO-2022-JP?Q?=1B$B$\"=1B(B?=", sj(u8"あ")},
        LineCase{"BlanksBeforeTheEndAreTrimmed", Mime, "=?utf-8?B?44GC \t?=", sj(u8"あ")},
        LineCase{"AWordWithoutItsEndStays", Mime, "=?ISO-2022-JP?B?GyRC", "=?ISO-2022-JP?B?GyRC"},
        LineCase{"ALongerEncodingNameLeavesTheLine", Mime, "=?utf-8?BB?44GC?=", "=?utf-8?BB?44GC?="},
        LineCase{"NoCharsetEndLeavesTheLine", Mime, "x =?utf-8", "x =?utf-8"},
        LineCase{"ZeroByteEndsADecodedWord", Mime, "=?x?B?YQBi?=!", "a!"},
        LineCase{"ALineWithoutWordsIsBase64", Mime, "YWJj", "abc"},
        LineCase{"ZeroByteEndsADecodedLine", Mime, "YQBi", "a"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Listings, TransferLine,
    ::testing::Values(
        LineCase{"SjisCodes", ToSjisCodeLine, sj(u8"Aあ"), "41 82 A0 "},
        LineCase{"SjisCodesOfALoneLeadByte", ToSjisCodeLine, "A\x82", "41 82 "},
        LineCase{"JisCodes", ToJisCodeLine, sj(u8"Aあ"), "41 2422 "},
        LineCase{"JisCodeOfHalfWidthKana", ToJisCodeLine, sj(u8"ｱ"), "B1 "},
        LineCase{"NoJisCodeGivesZeros", ToJisCodeLine, "\xF0\x40", "0000 "},  // user-defined character
        LineCase{"LoneLeadByteAtTheEndIsOneByte", ToJisCodeLine, "\x88", "88 "},
        LineCase{"CodesBack", CodeToSjisLine, "41 82 A0 ", sj(u8"Aあ")},
        LineCase{"CodesWithoutBlanks", CodeToSjisLine, "4182a0", sj(u8"Aあ")},
        LineCase{"FullWidthBlanksAreSkipped", CodeToSjisLine, "41" + sj(u8"　") + "42", "AB"},
        LineCase{"AnOddLastDigitIsCopied", CodeToSjisLine, "41 4", "A4"},
        LineCase{"ZeroIsNotWritten", CodeToSjisLine, "00 41 00", "A"},
        LineCase{"JisCodesBack", CodeToJisLine, "2422 2424", sj(u8"あい")},
        // ASCII pairs up with its neighbour: 0x41 0x24 is a JIS code of its own.
        LineCase{"AsciiPairsWithItsNeighbour", CodeToJisLine, "41 2422", sj(u8"舛") + "\""},
        LineCase{"BytesOutsideJisStayOneByte", CodeToJisLine, "0A 2422 B1", "\n" + sj(u8"あ") + "\xB1"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Uuencode, TransferLine,
    ::testing::Values(LineCase{"ThreeBytes", UudecodeLine, "#86)C", "abc"},
                      LineCase{"CountShorterThanTheGroups", UudecodeLine, ",2&5L;&\\L('=O<FQD", "Hello, world"},
                      LineCase{"StrippedTrailingBlanksReadAsZeroBits", UudecodeLine, "#80", std::string("a\0\0", 3)},
                      LineCase{"BackquoteCountsZero", UudecodeLine, "`", ""}),
    [](const auto& info) { return info.param.name; });

TEST(SjisToMime, TheWholeLineBecomesOneEncodedWordOfItsJisText) {
  JisModes m;
  const JisEncoderSettings defaults;
  // Base64 of "Subject: " ESC $ B "%F%9%H" ESC ( B.
  EXPECT_EQ(SjisToMimeLine(sj(u8"Subject: テスト"), defaults, m), "=?ISO-2022-JP?B?U3ViamVjdDogGyRCJUYlOSVIGyhC?=");
  EXPECT_FALSE(m.twoByte || m.kana);
}

TEST(SjisToMime, LinesWithoutDoubleByteCharactersStay) {
  JisModes m;
  const JisEncoderSettings defaults;
  for (std::string l : {std::string("Subject: hello"), sj(u8"ｱｲｳ abc"), std::string("")})
    EXPECT_EQ(SjisToMimeLine(l, defaults, m), l);
}

TEST(SjisToMime, ModesLeftOnByAnotherLineDoNotLeakIn) {
  JisModes m;
  m.twoByte = m.kana = true;
  const JisEncoderSettings defaults;
  EXPECT_EQ(SjisToMimeLine(sj(u8"あ"), defaults, m), "=?ISO-2022-JP?B?GyRCJCIbKEI=?=");
}

TEST(SjisToMime, EncodesWithTheHeldSettings) {
  JisModes m;
  const JisEncoderSettings old{kKanaShift, kJisOld};
  const std::string word = SjisToMimeLine(sj(u8"あ"), old, m);
  ASSERT_EQ(word.substr(0, 16), "=?ISO-2022-JP?B?");
  EXPECT_EQ(Base64Decode(word.substr(16, word.size() - 18)), "\x1B$@$\"\x1B(B");
}

TEST(Mime, MimeToSjisReadsWhatSjisToMimeWrote) {
  const JisEncoderSettings defaults;
  for (std::string l : {sj(u8"件名: 漢字とｶﾀｶﾅと ASCII ①"), sj(u8"あ"), sj(u8"x表y")}) {
    JisModes e, d;
    EXPECT_EQ(MimeToSjisLine(CodePage(), SjisToMimeLine(l, defaults, e), d), l) << u8(l);
  }
}

TEST(Base64, EveryByteValueAndLengthComesBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  for (size_t n = 0; n <= all.size(); n += 7) {
    std::string s = all.substr(all.size() - n);
    EXPECT_EQ(Base64Decode(Base64Encode(s)), s) << n;
  }
}

std::string UrlByRule(std::string_view in) {
  std::string out;
  for (unsigned char c : in) {
    if (std::isalnum(c) || (c != 0 && std::strchr("-_.!~*'()", c))) {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string Base64ByBits(std::string_view in) {
  const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < in.size(); i += 3) {
    unsigned v = 0;
    const size_t k = std::min<size_t>(3, in.size() - i);
    for (size_t j = 0; j < 3; ++j) v = v << 8 | (j < k ? static_cast<unsigned char>(in[i + j]) : 0u);
    for (size_t j = 0; j < 4; ++j) out.push_back(j <= k ? abc[v >> (18 - 6 * j) & 63] : '=');
  }
  return out;
}

// The "%" and "=" escapes read rule by rule, one byte at a time.
std::string EscapesByRule(std::string_view in, bool percent) {
  std::string out;
  bool flag = false;
  for (size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c == (percent ? '%' : '=')) {
      flag = true;
    } else if (percent && c == '&') {
      out += "\r\n";
    } else if (percent && c == '+') {
      out += ' ';
    } else if (flag && i + 1 < in.size()) {
      const auto v = static_cast<char>(HexPair(static_cast<unsigned char>(c), static_cast<unsigned char>(in[++i])));
      if (v) out += v;
      flag = false;
    } else {
      out += c;
    }
  }
  return out;
}

TEST(Encoders, WriteInPlaceWithinTheRoomTheySayTheyNeed) {
  // Exactly the room asked for, in storage of its own: a store past it is caught by the
  // address checker.
  struct Encoder {
    const char* name;
    size_t (*room)(size_t);
    char* (*put)(std::string_view, char*);
    std::string (*want)(std::string_view);
  } encoders[] = {{"Base64", Base64Room, PutBase64, Base64ByBits}, {"Url", SjisToUrlRoom, PutSjisToUrl, UrlByRule}};
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes.push_back(static_cast<char>(i * 89 % 256));
  // Each path the processor may take.
  for (CpuLevel level : {CpuLevel::Portable, CpuLevel::Sse2, CpuLevel::Ssse3, CpuLevel::Avx2}) {
    const CpuCap cap(level);
    for (const Encoder& e : encoders) {
      for (size_t n = 0; n <= 64; ++n) {
        for (size_t from : {size_t{0}, size_t{5}, size_t{200}}) {
          const std::string_view in = std::string_view(bytes).substr(from, n);
          std::vector<char> room(e.room(n));
          char* const begin = room.data();
          char* const end = e.put(in, begin);
          ASSERT_LE(static_cast<size_t>(end - begin), room.size()) << e.name << n;
          EXPECT_EQ(std::string(begin, end), e.want(in))
              << e.name << " " << n << " from " << from << " at level " << static_cast<int>(level);
        }
      }
    }
  }
}

TEST(Encoders, OfARunOfLinesConvertEachLineOnItsOwn) {
  // Random runs of lines of every short length (lone CRs inside them), in exactly the room
  // asked for: a wide path reads past each line and stores past its result, and must still
  // give each line's own conversion and stay inside the room and the run.
  struct RunEncoder {
    const char* name;
    size_t (*room)(size_t);
    char* (*put)(std::string_view, char*);
    std::string (*want)(std::string_view);
  } encoders[] = {{"ToMime", ToMimeRoom, PutToMimeLines, Base64ByBits},
                  {"SjisToUrl", SjisToUrlRoom, PutSjisToUrlLines, UrlByRule},
                  {"UrlToSjis", UrlToSjisRoom, PutUrlToSjisLines, [](std::string_view l) { return EscapesByRule(l, true); }}};
  std::mt19937 rng(11);
  for (CpuLevel level : {CpuLevel::Sse2, CpuLevel::Ssse3}) {
    const CpuCap cap(level);
    for (const RunEncoder& e : encoders) {
      for (int round = 0; round < 200; ++round) {
        std::string run, want;
        for (size_t k = 0, lines = rng() % 12; k < lines; ++k) {
          std::string line;
          for (size_t n = rng() % 50; line.size() < n;) {
            const unsigned r = rng() % 9;
            if (r == 0) line.push_back('\r');
            else if (r <= 3) line += "%8";  // escapes for the decoder, one byte more to come
            else line.push_back(static_cast<char>(rng()));
          }
          if (!line.empty() && line.back() == '\r') line.back() = 'x';  // the run's CR LF must end it
          for (size_t at; (at = line.find("\r\n")) != std::string::npos;) line[at + 1] = 'y';
          run += line + "\r\n";
          want += e.want(line) + "\r\n";
        }
        const std::vector<char> in(run.begin(), run.end());  // a read past the run is caught
        std::vector<char> room(e.room(run.size()));
        char* const end = e.put(std::string_view(in.data(), in.size()), room.data());
        ASSERT_LE(static_cast<size_t>(end - room.data()), room.size());
        ASSERT_EQ(std::string(room.data(), end), want)
            << e.name << ::testing::PrintToString(run) << " at level " << static_cast<int>(level);
      }
    }
  }
}

TEST(Decoders, EscapesGiveWhatTheRulesGiveOnEveryPath) {
  // Runs of escapes with digits of every kind, broken by the bytes that end a run early:
  // the wide path takes up to five escapes and sixteen plain bytes at a time.
  const std::string tokens[] = {"%41", "%82%A0", "%00", "%", "%%", "%&", "%+", "&", "+", "=41", "=",
                                "==", "%zz", "%\xFF\x82", "abc", "0123456789abcdef", "\r\n", std::string(1, '\0')};
  std::mt19937 rng(5);
  for (CpuLevel level : {CpuLevel::Sse2, CpuLevel::Ssse3}) {
    const CpuCap cap(level);
    for (int round = 0; round < 2000; ++round) {
      std::string in;
      for (size_t k = 0, n = rng() % 30; k < n; ++k) in += tokens[rng() % std::size(tokens)];
      ASSERT_EQ(UrlToSjisLine(in), EscapesByRule(in, true)) << ::testing::PrintToString(in) << static_cast<int>(level);
      ASSERT_EQ(EqualsDecode(in), EscapesByRule(in, false)) << ::testing::PrintToString(in) << static_cast<int>(level);
    }
  }
}

TEST(Decoders, NoneReadsPastTheEndOfItsText) {
  // Every prefix of an escape-laden text, followed in memory by two different tails that the
  // view leaves out: a decoder that looks past the end of its text gives two results.
  const std::string text = "%8=2+&%A0=?B?x?=YWJjZ\x82\x41 4";
  auto all = [](std::string_view v) {
    JisModes m;
    return std::vector<std::string>{UrlToSjisLine(v),   EqualsDecode(v), Base64Decode(v), CodeToSjisLine(v),
                                    CodeToJisLine(v),   UudecodeLine(v), Mime(v),         MimeToSjisLine(CodePage(), v, m),
                                    ToJisCodeLine(v)};
  };
  for (size_t n = 0; n <= text.size(); ++n) {
    const std::string a = text.substr(0, n) + "4141====", b = text.substr(0, n) + "%=?\x1B$B!";
    EXPECT_EQ(all(std::string_view(a).substr(0, n)), all(std::string_view(b).substr(0, n))) << n;
  }
}

TEST(Listings, EveryDoubleByteCharacterListsAndComesBack) {
  std::string line;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      line.push_back(static_cast<char>(lead));
      line.push_back(static_cast<char>(trail));
    }
  }
  for (int b = 1; b < 0x80; ++b) line.push_back(static_cast<char>(b));
  EXPECT_EQ(CodeToSjisLine(ToSjisCodeLine(line)), line);
  EXPECT_EQ(UrlToSjisLine(SjisToUrlLine(line)), line);
}

TEST(Listings, JisCodesOfEveryJisCharacterComeBack) {
  // Only characters with a JIS code take the round trip through their four digits.
  for (int j1 = 0x21; j1 <= 0x7E; ++j1)
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      const uint16_t s = JisToSjisCode(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
      const std::string c{static_cast<char>(s >> 8), static_cast<char>(s & 0xFF)};
      char want[8];
      std::snprintf(want, sizeof want, "%02X%02X ", j1, j2);
      ASSERT_EQ(ToJisCodeLine(c), want);
      ASSERT_EQ(CodeToJisLine(want), c);
    }
}

TEST(Lines, LongLinesConvertWhole) {
  std::string line;
  while (line.size() < 100000) line += sj(u8"漢字a ｶ~");
  EXPECT_EQ(UrlToSjisLine(SjisToUrlLine(line)), line);
  EXPECT_EQ(CodeToSjisLine(ToSjisCodeLine(line)), line);
  EXPECT_EQ(Base64Decode(ToMimeLine(line)), line);
  JisModes e, d;
  EXPECT_EQ(MimeToSjisLine(CodePage(), SjisToMimeLine(line, JisEncoderSettings{}, e), d), line);
}

// A long MimeToSjis line in two parts, cut anywhere: looked at first (as a file is read
// twice) or not, the first part converted as far as it can be and the rest as the line's end,
// it gives the bytes of the whole line.
TEST(MimePieces, AnyCutGivesTheBytesOfTheWholeLine) {
  const std::string texts[] = {"YWJjYWJj=?x",  "YWJjYWJj=",        "=?",          "YWJjYQ==YWJj", "AAAAYWJjYWJj",
                               "YWJjYWI", "=?ISO-2022-JP?B?GyRCJUYbKEI=?= x", "gqCCooKk=", "x=?utf-8?B?44GC?="};
  int checked = 0;
  for (const std::string& text : texts) {
    JisModes wholeModes;
    const std::string want = MimeToSjisLine(CodePage(), text, wholeModes);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
      for (bool looked : {false, true}) {
        uint32_t carry = 0;
        if (looked) {
          LookMimeToSjis(std::string_view(text).substr(0, cut), false, carry);
          LookMimeToSjis(std::string_view(text).substr(cut), true, carry);
        }
        JisModes modes;
        std::string out;
        size_t k = AppendMimeToSjisPiece(CodePage(), std::string_view(text).substr(0, cut), false, carry, modes, out);
        ASSERT_LE(k, cut);
        for (size_t t = 1; t > 0 && k < text.size(); k += t)
          t = AppendMimeToSjisPiece(CodePage(), std::string_view(text).substr(k), true, carry, modes, out);
        EXPECT_EQ(k, text.size());
        EXPECT_EQ(out, want) << text << " cut at " << cut << (looked ? " after a look" : "");
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 200);
}

}  // namespace
