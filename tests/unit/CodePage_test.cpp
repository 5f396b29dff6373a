// Runs natively against iconv and, cross-built, against the Windows code page: the same
// expectations on both prove the two platforms agree.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "Fakes.h"
#include "conv/Cp932.h"
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
  // Only the seven JIS forms (the wave dash, the minus sign ...) are taken as other codes:
  // the en dash, the tilde operator and the wavy dash, near them, are not.
  EXPECT_EQ(cp.FromUtf16(Charset::Sjis, u"\u2013\u223C\u3030", &lossy), "???");
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

// ---------------------------------------------------------------- one-pass UTF-8

// The conversions through a UTF-16 string, which the one-pass forms must equal byte for byte.
std::string TwoStepToUtf8(std::string_view sjis) {
  const ICodePage& cp = CodePage();
  return cp.FromUtf16(Charset::Utf8, cp.ToUtf16(Charset::Sjis, sjis));
}
std::string TwoStepToSjis(std::string_view utf8, bool* lossy) {
  const ICodePage& cp = CodePage();
  return cp.FromUtf16(Charset::Sjis, cp.ToUtf16(Charset::Utf8, utf8), lossy);
}

// A character has other forms exactly when another code reads as it too, or it is U+30FB,
// which stands for bytes that read as no character as well.
TEST(OtherForms, AreTheCharactersWithMoreThanOneCode) {
  const ICodePage& cp = CodePage();
  std::map<char16_t, int> codes;
  for (unsigned c : AllCodes()) ++codes[cp.ToUtf16(Charset::Sjis, Bytes(c))[0]];
  int flagged = 0;
  for (const auto& [u, n] : codes) {
    const std::u16string one(1, u);
    EXPECT_EQ(cp.SjisHasOtherForms(one), n > 1 || u == u'\u30FB') << std::hex << static_cast<unsigned>(u);
    flagged += cp.SjisHasOtherForms(one) ? 1 : 0;
  }
  EXPECT_GT(flagged, 300);
  EXPECT_FALSE(cp.SjisHasOtherForms(u"plain \u3042\u65E5"));
  EXPECT_TRUE(cp.SjisHasOtherForms(u"plain \u2160"));
}

// What the clipboard relies on: bytes that read as a text without other forms are the text's
// own Shift-JIS; and the direct reads agree with the conversion through a string.
TEST(OtherForms, BytesOfATextWithoutThemAreItsEncoding) {
  const ICodePage& cp = CodePage();
  const unsigned char pick[] = {'a', '\\', 0x7E, 0x80, 0x81, 0x82, 0x87, 0x88, 0x9F, 0xA0, 0xA1, 0xDF,
                                0xE0, 0xED, 0xEE, 0xFA, 0xFC, 0xFD, 0x40, 0x54, 0x5C, 0xA0, 0xF0};
  std::mt19937 rng(20261210);
  int withoutOtherForms = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string b;
    for (size_t k = 0, n = 1 + rng() % 8; k < n; ++k) b.push_back(static_cast<char>(pick[rng() % sizeof pick]));
    const std::u16string u = cp.ToUtf16(Charset::Sjis, b);
    std::u16string direct(b.size(), u'\0');
    direct.resize(cp.SjisToUtf16(b, direct.data()));
    ASSERT_EQ(direct, u) << ::testing::PrintToString(b);
    ASSERT_TRUE(cp.SjisReadsAs(b, u));
    ASSERT_FALSE(cp.SjisReadsAs(b, u + u"x"));
    ASSERT_FALSE(cp.SjisReadsAs(b, u.substr(1)));
    std::u16string changed = u;
    changed[rng() % changed.size()] ^= 1;
    ASSERT_FALSE(cp.SjisReadsAs(b, changed));
    if (!cp.SjisHasOtherForms(u)) {
      ++withoutOtherForms;
      ASSERT_EQ(cp.FromUtf16(Charset::Sjis, u), b) << ::testing::PrintToString(b);
    }
  }
  EXPECT_GT(withoutOtherForms, 1000);
}

// Both directions on the platform's code page, each appended after bytes already there.
void ExpectOnePassAgrees(const std::string& in) {
  const ICodePage& cp = CodePage();
  std::string out = "kept";
  cp.AppendSjisToUtf8(in, out);
  ASSERT_EQ(out, "kept" + TwoStepToUtf8(in)) << ::testing::PrintToString(in);
  bool lossy = false, wantLossy = false;
  out = "kept";
  cp.AppendUtf8ToSjis(in, out, &lossy);
  ASSERT_EQ(out, "kept" + TwoStepToSjis(in, &wantLossy)) << ::testing::PrintToString(in);
  ASSERT_EQ(lossy, wantLossy) << ::testing::PrintToString(in);
}

TEST(OnePassUtf8, AgreesWithTheWayThroughUtf16OnMalformedText) {
  const std::string cases[] = {
      "", "plain ascii, longer than one word", std::string("nul\0inside", 10),
      "\x82\xA0", "\x82", "a\x82", "\x82" "0", "\x82\x7F", "\xFC\xFC", "\x81\x45\x81",  // lead bytes alone
      "\x80\xA0\xFD\xFE\xFF\xB1\xDF", "\xF0\x40\xF9\xFC", "\x85\x40\xEB\x40",        // unmapped, user area
      "\xE3\x81\x82", "\xC3\xA9", "\xEF\xBB\xBF" "a", "\xEF\xBF\xBD", "\xEF\xBF\xBE", "\xEF\xBF\xBF",
      "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80", "\xF0\x9F\x98",   // four bytes
      "\xE3\x81", "\xE3" "a", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\x80",          // truncated, overlong
      "\xED\xA0\x80", "\xED\xB0\x80", "\xED\xA0\xBD\xED\xB8\x80",                             // surrogates
      "\xEF\xB7\x90", "\xF0\x9F\xBF\xBE", "\x80\x80\x80", "\xBF", "\xFE\xFF",
      "12345678\xE3\x81\x82" "12345678\x82\xA0" "1234567",  // word-sized runs around characters
  };
  for (const std::string& c : cases) ExpectOnePassAgrees(c);
}

TEST(OnePassUtf8, AgreesOnEveryCharacter) {
  std::string sjis, utf8;
  for (unsigned c : AllCodes()) sjis += Bytes(c);
  for (char32_t u = 0x80; u < 0x10000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    utf8 += CodePage().FromUtf16(Charset::Utf8, std::u16string(1, static_cast<char16_t>(u)));
  }
  ExpectOnePassAgrees(sjis);
  ExpectOnePassAgrees(utf8);
}

TEST(OnePassUtf8, AgreesOnRandomBytes) {
  // Bytes that start, continue and break sequences in both codes, with ASCII runs between.
  const unsigned char pick[] = {'a', ' ', 0x00, 0x7F, 0x80, 0x81, 0x82, 0x9F, 0xA0, 0xA1, 0xBF, 0xC0, 0xC2, 0xDF,
                                0xE0, 0xE3, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFC, 0xFD, 0xFF, 0x40, 0x7E};
  std::mt19937 rng(20261209);
  for (int round = 0; round < 4000; ++round) {
    std::string s;
    for (size_t k = 0, n = rng() % 24; k < n; ++k) {
      if (rng() % 4 == 0) s.append(rng() % 12, 'x');
      else s.push_back(static_cast<char>(rng() % 3 ? pick[rng() % sizeof pick] : rng() % 256));
    }
    ExpectOnePassAgrees(s);
  }
}

TEST(OnePassUtf8, AFreshCodePageConvertsAsciiAsItDoesLater) {
  // A code page may put off building its tables until text needs them.
  std::unique_ptr<ICodePage> cp = sys::MakeCodePage();
  for (int round = 0; round < 2; ++round) {
    bool lossy = true;
    std::string out = "kept";
    cp->AppendUtf8ToSjis("plain ~\\", out, &lossy);
    EXPECT_EQ(out, "kept" "plain ~\\") << round;
    EXPECT_FALSE(lossy) << round;
    out = "kept";
    cp->AppendSjisToUtf8("plain ~\\", out);
    EXPECT_EQ(out, "kept" "plain ~\\") << round;
    EXPECT_EQ(cp->Utf8ToSjis("\xE4\xBA\x9C", &lossy), "\x88\x9F") << round;  // 亜
    EXPECT_FALSE(lossy);
    EXPECT_EQ(cp->Utf8ToSjis("\xC3\xA9", &lossy), "?") << round;  // é has no code
    EXPECT_TRUE(lossy);
  }
}

TEST(OnePassUtf8, WellFormedOnlyLeavesOtherTextToTheCaller) {
  // A toy code page: ASCII, and あ as 0x82A0.
  Cp932Codec codec([](uint16_t c) -> char16_t { return c < 0x80 ? c : c == 0x82A0 ? u'\u3042' : u'\0'; },
                   [](char16_t u) -> int { return u < 0x80 ? u : u == u'\u3042' ? 0x82A0 : -1; });
  struct Case {
    std::string in;
    bool wellFormed;
  } cases[] = {
      {"a\xE3\x81\x82", true}, {"\xEF\xBB\xBF", true}, {"\xF0\x9F\x98\x80", true}, {"\xEF\xBF\xBD", true},
      {"\x80", false}, {"a\xE3\x81", false}, {"\xC0\x80", false}, {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},
      {"\xEF\xBF\xBE", false}, {"\xEF\xB7\x90", false}, {"\xF0\x9F\xBF\xBF", false},
  };
  for (const Case& c : cases) {
    std::string out = "kept", any = "kept";
    bool lossy = false, anyLossy = false;
    EXPECT_EQ(codec.AppendFromUtf8(c.in, out, &lossy, true), c.wellFormed) << ::testing::PrintToString(c.in);
    EXPECT_TRUE(codec.AppendFromUtf8(c.in, any, &anyLossy));
    EXPECT_EQ(out, c.wellFormed ? any : "kept") << ::testing::PrintToString(c.in);
    EXPECT_EQ(lossy, c.wellFormed && anyLossy) << ::testing::PrintToString(c.in);
  }
}

}  // namespace
