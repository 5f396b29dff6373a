// Every character of code page 932 through every width, case and kana conversion: the output
// is whole characters, and a character outside a conversion's tables comes out unchanged.
#include <gtest/gtest.h>

#include <functional>

#include "Fakes.h"
#include "conv/Case.h"
#include "conv/Cp932.h"
#include "conv/Sjis.h"
#include "conv/Width.h"

using namespace qlk;
using namespace qlk::test;

namespace {

// Every single byte that is no lead byte, and every lead byte with every trail byte.
std::vector<std::string> AllCharacters() {
  std::vector<std::string> v;
  for (int b = 0; b < 256; ++b)
    if (!sjis::IsLead(static_cast<unsigned char>(b))) v.push_back(std::string(1, static_cast<char>(b)));
  for (int l = 0x81; l <= 0xFC; ++l) {
    if (!sjis::IsLead(static_cast<unsigned char>(l))) continue;
    for (int t = 0x40; t <= 0xFC; ++t)
      if (IsTrail932(static_cast<unsigned char>(t))) v.push_back({static_cast<char>(l), static_cast<char>(t)});
  }
  return v;
}

// True when s splits into whole characters: no lead byte is left without its trail byte.
bool Whole(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (!sjis::IsLead(s[i])) continue;
    if (i + 1 == s.size()) return false;
    ++i;
  }
  return true;
}

// Characters some full-to-half rule may change.
bool InZenTables(uint16_t c) {
  return NarrowChar(c) != c || VoicedOfFull(c) || KanjiNumeralValue(c) >= 0 || c == 0x815D || c == 0x817E ||
         c == 0x8180;
}
bool InHanTables(uint16_t c) { return WidenChar(c) != c; }

struct Conversion {
  std::string name;
  std::function<std::string(const std::string&)> run;
  std::function<bool(uint16_t)> inTables;
};

std::vector<Conversion> AllConversions() {
  std::vector<Conversion> v;
  for (int k = 0; k < 4; ++k) {
    auto z = std::make_shared<ZenToHanConverter>(ZenToHanConverter::ForKind(k));
    auto h = std::make_shared<HanToZenConverter>(HanToZenConverter::ForKind(k));
    v.push_back({"ZenToHan" + std::to_string(k),
                 [z](const std::string& s) {
                   std::string o;
                   z->Convert(s, o);
                   return o;
                 },
                 InZenTables});
    v.push_back({"HanToZen" + std::to_string(k),
                 [h](const std::string& s) {
                   std::string o;
                   h->Convert(s, o);
                   return o;
                 },
                 InHanTables});
  }
  for (int f = 0; f < 0x80; ++f) {
    auto z = std::make_shared<ZenToHanConverter>(ZenToHanConverter::ForFlags(f));
    auto h = std::make_shared<HanToZenConverter>(HanToZenConverter::ForFlags(f));
    v.push_back({"ZenToHanSw" + std::to_string(f),
                 [z](const std::string& s) {
                   std::string o;
                   z->Convert(s, o);
                   return o;
                 },
                 InZenTables});
    v.push_back({"HanToZenSw" + std::to_string(f),
                 [h](const std::string& s) {
                   std::string o;
                   h->Convert(s, o);
                   return o;
                 },
                 InHanTables});
  }
  auto ascii = [](uint16_t c) { return IsAsciiLetter(c); };
  auto hira = [](uint16_t c) { return IsHiragana(c); };
  auto kata = [](uint16_t c) { return c >= 0x8340 && c <= 0x8393; };
  // Case: ASCII letters, the letter rows 3, 6, 7, and the vendor rows whose case the platform
  // may map (Roman numerals: NEC row 13, NEC-selected IBM and IBM extensions).
  auto cased = [](uint16_t c) {
    const int lead = c >> 8;
    return IsAsciiLetter(c) || (c >= 0x8260 && c <= 0x829A) || (c >= 0x839F && c <= 0x83D6) ||
           (c >= 0x8440 && c <= 0x8491) || lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA;
  };
  const ICodePage& cp = CodePage();
  v.push_back({"ToUpper", [&cp](const std::string& s) { return ToUpperLine(s, cp); }, cased});
  v.push_back({"ToLower", [&cp](const std::string& s) { return ToLowerLine(s, cp); }, cased});
  v.push_back({"ToZenUpper", [&cp](const std::string& s) { return ToZenUpperLine(s, cp); }, cased});
  v.push_back({"ToZenLower", [&cp](const std::string& s) { return ToZenLowerLine(s, cp); }, cased});
  v.push_back({"ChangeUpperLower", [](const std::string& s) { return ChangeUpperLowerLine(s); }, ascii});
  v.push_back({"ToTopUpper", [](const std::string& s) { return ToTopUpperLine(s); }, ascii});
  v.push_back({"ToLineUpper",
               [](const std::string& s) {
                 bool next = true;
                 return ToLineUpperLine(s, next);
               },
               ascii});
  v.push_back({"HiraToKana", [](const std::string& s) { return HiraToKanaLine(s); }, hira});
  v.push_back({"KanaToHira", [](const std::string& s) { return KanaToHiraLine(s); }, kata});
  return v;
}

TEST(WidthProperty, EveryCharacterComesOutWholeAndUntouchedOutsideTheTables) {
  const std::vector<std::string> chars = AllCharacters();
  ASSERT_GT(chars.size(), 11000u);
  // 0x01 on both sides: no conversion touches it, and a swallowed or split neighbour shows.
  const std::string guard = "\x01";
  for (const Conversion& conv : AllConversions()) {
    int broken = 0, changed = 0;
    for (const std::string& c : chars) {
      const std::string out = conv.run(guard + c + guard);
      const uint16_t v = sjis::CharAt(c, 0);
      const bool ok = Whole(out) && out.size() >= 3 && out.front() == '\x01' && out.back() == '\x01';
      if (!ok && ++broken <= 3) ADD_FAILURE() << conv.name << " broke 0x" << std::hex << v;
      if (!conv.inTables(v) && out != guard + c + guard && ++changed <= 3)
        ADD_FAILURE() << conv.name << " changed 0x" << std::hex << v << " outside its tables";
    }
  }
}

// A text made of every character at once converts the same as the characters one by one: no
// conversion looks across a character boundary except for the half-width voiced marks.
TEST(WidthProperty, WholeTextConvertsLikeItsCharacters) {
  std::string all;
  std::string expectedZen, expectedHan;
  for (const std::string& c : AllCharacters()) {
    if (c == "\xDE" || c == "\xDF") continue;  // the marks combine with what stands before them
    all += c;
    expectedZen += ZenToHanLine(c, 0);
    expectedHan += HanToZenLine(c, 0);
  }
  EXPECT_EQ(ZenToHanLine(all, 0), expectedZen);
  EXPECT_EQ(HanToZenLine(all, 0), expectedHan);
}

}  // namespace
