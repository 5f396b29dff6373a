// Runs natively against iconv and, cross-built, against the Windows code page: the same
// expectations on both prove the two platforms agree.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "conv/Sjis.h"

using namespace qlk;
using namespace qlk::test;

namespace {

std::string Bytes(unsigned code) {
  std::string s;
  if (code > 0xFF) s += static_cast<char>(code >> 8);
  s += static_cast<char>(code & 0xFF);
  return s;
}

// Every character of code page 932, single bytes and double-byte pairs that decode.
std::vector<unsigned> AllCodes() {
  std::vector<unsigned> v;
  const ICodePage& cp = CodePage();
  for (unsigned b = 0x01; b <= 0xFF; ++b)
    if (!sjis::IsLead(static_cast<unsigned char>(b)) && cp.ToUtf16(Charset::Sjis, Bytes(b)) != u"\u30FB") v.push_back(b);
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!sjis::IsLead(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::u16string u = cp.ToUtf16(Charset::Sjis, Bytes(lead << 8 | trail));
      if (u.size() == 1 && u[0] != u'\u30FB') v.push_back(lead << 8 | trail);
    }
  }
  v.push_back(0x8145);  // ・ itself, excluded above with the unmapped pairs
  return v;
}

TEST(CodePage932, EveryCharacterSurvivesTheRoundTripThroughUtf16) {
  const ICodePage& cp = CodePage();
  int duplicates = 0, total = 0;
  for (unsigned c : AllCodes()) {
    ++total;
    std::string b = Bytes(c);
    std::u16string u = cp.ToUtf16(Charset::Sjis, b);
    ASSERT_EQ(u.size(), 1u) << std::hex << c;
    bool lossy = true;
    std::string back = cp.FromUtf16(Charset::Sjis, u, &lossy);
    EXPECT_FALSE(lossy) << std::hex << c;
    if (back != b) {
      // A character with two codes comes back as its preferred one, which is the same character.
      ++duplicates;
      EXPECT_EQ(cp.ToUtf16(Charset::Sjis, back), u) << std::hex << c;
    }
  }
  EXPECT_GT(total, 7900);  // JIS X 0208, the vendor rows and the user area
  EXPECT_EQ(duplicates, 398);  // the NEC and IBM copies of the same characters
}

TEST(CodePage932, DuplicateCodesComeBackAsThePlatformPrefers) {
  struct { unsigned from, to; } cases[] = {
      {0xFA4A, 0x8754},  // Ⅰ: the NEC row wins over the IBM extension
      {0xEEEF, 0xFA40},  // ⅰ: the IBM extension wins over the NEC-selected copy
      {0xED40, 0xFA5C},  // 纊
      {0x879A, 0x81E6},  // ∵: JIS row 2 wins
      {0xEEF9, 0x81CA},  // ￢
  };
  const ICodePage& cp = CodePage();
  for (auto& c : cases) EXPECT_EQ(cp.FromUtf16(Charset::Sjis, cp.ToUtf16(Charset::Sjis, Bytes(c.from))), Bytes(c.to));
}

TEST(CodePage932, KnownMappings) {
  const ICodePage& cp = CodePage();
  struct { unsigned code; char16_t u; } cases[] = {
      {0x5C, u'\\'}, {0x7E, u'~'}, {0xA1, u'\uFF61'}, {0xDF, u'\uFF9F'}, {0x8160, u'\uFF5E'},
      {0x817C, u'\uFF0D'}, {0x8191, u'\uFFE0'}, {0x889F, u'\u4E9C'}, {0xF040, u'\uE000'}, {0x8140, u'\u3000'},
  };
  for (auto& c : cases) EXPECT_EQ(cp.ToUtf16(Charset::Sjis, Bytes(c.code)), std::u16string(1, c.u)) << std::hex << c.code;
}

TEST(CodePage932, UnmappableCharactersBecomeOneQuestionMark) {
  const ICodePage& cp = CodePage();
  bool lossy = false;
  EXPECT_EQ(cp.FromUtf16(Charset::Sjis, u"a\U0001F600b", &lossy), "a?b");  // a surrogate pair is one character
  EXPECT_TRUE(lossy);
  EXPECT_EQ(cp.FromUtf16(Charset::Sjis, u"\u00E9", &lossy), "?");  // é has no code
  EXPECT_EQ(cp.FromUtf16(Charset::Sjis, u"\u301C", &lossy), "?");  // the wave dash is not ～
  EXPECT_EQ(cp.Utf8ToSjis("\u00A5"), "?");  // no silent best fit of ¥ to the backslash
}

TEST(CodePage932, MalformedBytesNeverSwallowTheirNeighbours) {
  const ICodePage& cp = CodePage();
  // A lead byte before a byte that cannot trail, and a lead byte at the very end.
  std::u16string u = cp.ToUtf16(Charset::Sjis, "\x82" "0\x82");
  ASSERT_EQ(u.size(), 3u);
  EXPECT_EQ(u[1], u'0');
}

TEST(CodePage932, BytesThatAreNoCharacters) {
  const ICodePage& cp = CodePage();
  for (const char* b : {"\xA0", "\xFD", "\xFE", "\xFF"}) EXPECT_EQ(cp.ToUtf16(Charset::Sjis, b), u"\u30FB");
  EXPECT_EQ(cp.ToUtf16(Charset::Sjis, "\x80"), u"\u0080");
}

TEST(CodePage932, Utf8ThroughTheSeam) {
  const ICodePage& cp = CodePage();
  EXPECT_EQ(cp.Utf8ToSjis("亜あｱA"), "\x88\x9F\x82\xA0\xB1" "A");
  EXPECT_EQ(cp.SjisToUtf8("\x88\x9F\x82\xA0\xB1" "A"), "亜あｱA");
}

TEST(CodePage932, DoubleByteCaseOfRowsThreeSixSeven) {
  const ICodePage& cp = CodePage();
  struct { const char8_t* lower; const char8_t* upper; } cases[] = {
      {u8"ａ", u8"Ａ"}, {u8"ｚ", u8"Ｚ"}, {u8"α", u8"Α"}, {u8"ω", u8"Ω"}, {u8"а", u8"А"}, {u8"я", u8"Я"}, {u8"ё", u8"Ё"}};
  for (auto& c : cases) {
    uint16_t lo = sjis::CharAt(sj(c.lower), 0), up = sjis::CharAt(sj(c.upper), 0);
    EXPECT_EQ(cp.CaseOf(lo), CharCase::Lower) << u8(sj(c.lower));
    EXPECT_EQ(cp.CaseOf(up), CharCase::Upper) << u8(sj(c.upper));
    EXPECT_EQ(cp.MapCase(lo, true), up);
    EXPECT_EQ(cp.MapCase(up, false), lo);
    EXPECT_EQ(cp.MapCase(lo, false), lo);
  }
  uint16_t kanji = sjis::CharAt(sj(u8"亜"), 0);
  EXPECT_EQ(cp.CaseOf(kanji), CharCase::None);
  EXPECT_EQ(cp.MapCase(kanji, true), kanji);
}

}  // namespace
