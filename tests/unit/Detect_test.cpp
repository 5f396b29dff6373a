// Code detection: the memory scan, the file scan, the UTF-8 test and the document detection.
#include "conv/Detect.h"

#include <gtest/gtest.h>

#include <random>

#include "Fakes.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct ScanCase {
  const char* name;
  std::string bytes;
  int memory;  // the scan of a text in memory
  int file;    // the scan of a file
  int text;    // the memory scan with the UTF-8 test
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class Scan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(Scan, Decides) {
  const ScanCase& c = GetParam();
  EXPECT_EQ(ScanTextCode(c.bytes), c.memory);
  EXPECT_EQ(ScanFileCode(c.bytes), c.file);
  EXPECT_EQ(DetectTextCode(c.bytes), c.text);
}

constexpr int S = kCodeSjis, J = kCodeJis, E = kCodeEuc, U = kCodeUtf8, A = kCodeAscii, X = kCodeUnknown;

INSTANTIATE_TEST_SUITE_P(
    Examples, Scan,
    ::testing::Values(
        ScanCase{"Empty", "", A, A, A}, ScanCase{"Ascii", "abc\r\n~", A, A, A},
        ScanCase{"SjisA", "\x82\xA0", S, S, S},                     // あ
        ScanCase{"EucKanji", "\xB4\xC1\xBB\xFA", E, E, E},          // 漢字, decided at 0xBB 0xFA
        ScanCase{"EucAiAloneIsUndecided", "\xA4\xA2\xA4\xA4", X, X, X},  // あい
        ScanCase{"Utf8A", "\xE3\x81\x82", S, S, U},                 // あ
        ScanCase{"JisTwoByteEscape", "a\x1B$Bb", J, J, J},
        ScanCase{"JisOldEscape", "\x1B$@", J, J, J},
        ScanCase{"AsciiEscapeIsJisOnlyInMemory", "a\x1B(Bb", J, A, J},
        ScanCase{"RomanEscapeIsJisOnlyInMemory", "\x1B(J", J, A, J},
        ScanCase{"Jis1990EscapeIsJisOnlyInMemory", "\x1B&@", J, A, J},
        ScanCase{"X0212EscapeIsNoJisEvidence", "\x1B$(D", A, A, A},
        ScanCase{"EscapeAtTheEnd", "a\x1B", A, A, A},
        ScanCase{"EscapeDollarAtTheEnd", "a\x1B$", A, A, A},
        ScanCase{"HalfWidthKanaBeforeAscii", "\xB1\x41", S, S, S},
        ScanCase{"HalfWidthKanaAtTheEnd", "a\xB1", S, S, S},
        ScanCase{"TwoHalfWidthKana", "\xB1\xB2", X, X, X},
        ScanCase{"ThreeHalfWidthKana", "\xB1\xB2\xB3", S, S, S},
        ScanCase{"SingleShiftTwoWithKana", "\x8E\xB1", X, X, X},
        ScanCase{"SingleShiftTwoWithAscii", "\x8E\x41", S, S, S},
        ScanCase{"SingleShiftTwoWithHighLead", "\x8E\xE0", S, S, S},
        ScanCase{"SingleShiftTwoWithControl", "\x8E\x20", A, A, A},
        ScanCase{"KanaThenEucSecondByte", "\xB1\xF0", E, E, E},
        ScanCase{"KanaThenA0", "\xB1\xA0", A, A, A},
        ScanCase{"KanaThenFF", "\xB1\xFF", A, A, A},
        ScanCase{"RunFindsASjisOnlyByte", "\xB1\xE0\x41\x82", S, S, S},
        ScanCase{"RunFindsAnEucOnlyByte", "\xB1\xE0\x41\xFD", E, E, E},
        // The byte below 0x40 that ends the run is passed over: the ESC there is not read.
        ScanCase{"RunEndPassesOverItsByte", "\xB1\xE0\x1B$B", X, X, X},
        ScanCase{"HighLeadWithAscii", "\xE0\x41", S, S, S},
        ScanCase{"HighLeadWithEucOnly", "\xE0\xFD", E, E, E},
        ScanCase{"HighLeadWithBoth", "\xE0\xA1", X, X, X},
        ScanCase{"HighLeadWithControl", "\xE0\x20", A, A, A},
        ScanCase{"EucOnlyLead", "a\xF0", E, E, E},
        ScanCase{"FirstDecisionCounts", "\x82\xA0\xB4\xC1\xBB\xFA", S, S, S},
        ScanCase{"ZeroByteIsData", std::string("\0\x82\xA0", 3), S, S, S}),
    [](const auto& info) { return info.param.name; });

TEST(Utf8Test, AcceptsOneToThreeByteSequencesOnly) {
  struct Case {
    std::string text;
    bool utf8;
  } cases[] = {
      {"", true},
      {"abc", true},
      {"\xE3\x81\x82", true},
      {"\xC3\xA9", true},
      {"\xF0\x9F\x98\x80", false},  // four bytes
      {"\xE3\x81", false},          // ends inside a sequence
      {"\xC3", false},
      {"\x82\xA0", false},  // a trail byte where a character starts
      {"\xE3\x41\x82", false},
      {std::string(13, 'a') + "\xE3\x81\x82" + std::string(9, 'b'), true},
      {std::string(21, 'a') + "\xE3\x81", false},
      {std::string(16, 'a') + "\xFF" + std::string(7, 'a'), false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8Text(c.text), c.utf8) << ::testing::PrintToString(c.text);
}

TEST(DetectFileCode, OnlyJisAndEucAskForAConversion) {
  EXPECT_EQ(DetectFileCode("\x1B$B"), FileCode::Jis);
  EXPECT_EQ(DetectFileCode("\xB4\xC1\xBB\xFA"), FileCode::Euc);
  for (std::string s : {std::string("abc"), std::string("\x82\xA0"), std::string("\xA4\xA2"), std::string("\xE3\x81\x82")})
    EXPECT_EQ(DetectFileCode(s), FileCode::None);
}

TEST(DocumentDetection, AgreesWithTheScanOfTheWholeText) {
  // The document is scanned line by line; its answer must be that of its joined text.
  const unsigned char alphabet[] = {0x1B, '$', '(', '&', 'B', '@', 'J', 'a', 0x30, 0x8E, 0x82, 0xA1,
                                    0xB1, 0xDF, 0xA0, 0xE0, 0xE3, 0x81, 0xBF, 0xEF, 0xF0, 0xFD, 0xFF};
  std::mt19937 rng(20261208);
  TestPlatform tp;
  CQuenlarkDoc doc(tp.platform);
  int decided[6] = {};
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::string> lines(1 + rng() % 4);
    for (std::string& l : lines) {
      const size_t n = rng() % 5;
      for (size_t k = 0; k < n; ++k) l.push_back(static_cast<char>(alphabet[rng() % sizeof alphabet]));
    }
    doc.Lines() = LineArray::FromVector(lines);
    const int want = DetectTextCode(doc.GetText());
    ASSERT_EQ(DetectDocumentCode(doc), want) << ::testing::PrintToString(lines);
    ++decided[want];
  }
  for (int code = 0; code < 6; ++code) EXPECT_GT(decided[code], 0) << "no document came out as " << code;
}

TEST(DocumentDetection, OfATextAgreesWithTheDocumentItLoadsInto) {
  // qlark --detect answers from the bytes alone: it must be the document's answer.
  const unsigned char alphabet[] = {0x1B, '$', 'B', 'a', 0x82, 0xA0, 0xE3, 0x81, 0xFD, '\r', '\n', 0};
  std::mt19937 rng(8122026);
  TestPlatform tp;
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    for (size_t k = 0, n = rng() % 9; k < n; ++k) text.push_back(static_cast<char>(alphabet[rng() % sizeof alphabet]));
    tp.clipboard.text = text;
    CQuenlarkDoc doc(tp.platform);
    doc.NewFromClipboard();
    ASSERT_EQ(DetectLoadedTextCode(text), DetectDocumentCode(doc)) << ::testing::PrintToString(text);
  }
}

TEST(DocumentDetection, EveryLineCountsTargetOrNot) {
  TestPlatform tp;
  CQuenlarkDoc doc(tp.platform);
  doc.Lines() = LineArray::FromVector({"abc", "\xE3\x81\x82"});
  doc.rangeStart = doc.rangeEnd = 1;
  EXPECT_EQ(DetectDocumentCode(doc), kCodeUtf8);
  doc.Lines() = LineArray::FromVector({"\xE3\x81\x82", "\x82\xA0"});
  EXPECT_EQ(DetectDocumentCode(doc), kCodeSjis);  // the second line is no UTF-8
}

}  // namespace
