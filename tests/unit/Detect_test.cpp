// Code detection: the memory scan, the file scan, the UTF-8 test and the document detection.
#include "conv/Detect.h"

#include <gtest/gtest.h>

#include <random>

#include "Fakes.h"
#include "conv/Cpu.h"

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

const ScanCase kScanCases[] = {
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
    ScanCase{"ZeroByteIsData", std::string("\0\x82\xA0", 3), S, S, S}};

INSTANTIATE_TEST_SUITE_P(Examples, Scan, ::testing::ValuesIn(kScanCases), [](const auto& info) { return info.param.name; });

struct Utf8Case {
  std::string text;
  bool utf8;
};

const Utf8Case kUtf8Cases[] = {
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
    // Sequences across the eight-byte words the test reads
    {"1234567\xE3\x81\x82" "abcdefghijklm", true},
    {"123456\xE3\x81\x82" "abcdefghijklmn", true},
    {"1234567\xC3\xA9" "abcdefghijklmn", true},
    {"1234567\xE3" "abcdefgh" "\x81\x82" "abcdef", false},  // what a lead calls for comes later
    {"123456\xE3\x81" "abcdefgh" "\x82" "abcdefg", false},
    {"abcdefgh" "\x82" "abcdefg" "abcdefgh", false},
    {"\xE3\x81\x82\xE3\x81\x82\xE3\x81" "\xF0\x9F\x98\x80" "abcd", false},
};

TEST(Utf8Test, AcceptsOneToThreeByteSequencesOnly) {
  for (const Utf8Case& c : kUtf8Cases) EXPECT_EQ(IsUtf8Text(c.text), c.utf8) << ::testing::PrintToString(c.text);
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

// ---------------------------------------------------------------- detection of a file in pieces

// The answers for `bytes` fed in pieces of `piece` bytes; with `stopWhenDone`, feeding stops
// as soon as the detector says no further byte counts.
FileCodes InPieces(const std::string& bytes, size_t piece, bool stopWhenDone) {
  CodeDetector d;
  for (size_t at = 0; at < bytes.size() && !(stopWhenDone && d.Done()); at += piece)
    d.Feed(std::string_view(bytes).substr(at, piece));
  return d.Finish();
}

void ExpectTheWholeTextsAnswers(const std::string& bytes) {
  const int file = ScanFileCode(bytes), document = DetectLoadedTextCode(bytes);
  for (size_t piece : {1, 2, 3, 4, 5, 6, 7, 8, 9, 63, 64, 100, 4096}) {
    for (bool stop : {false, true}) {
      const FileCodes got = InPieces(bytes, piece, stop);
      ASSERT_EQ(got.file, file) << ::testing::PrintToString(bytes) << " in pieces of " << piece;
      ASSERT_EQ(got.document, document) << ::testing::PrintToString(bytes) << " in pieces of " << piece;
    }
  }
}

TEST(DetectInPieces, GivesTheWholeTextsAnswersOnTheExamples) {
  for (const ScanCase& c : kScanCases) {
    ExpectTheWholeTextsAnswers(c.bytes);
    ExpectTheWholeTextsAnswers("a\r\n" + c.bytes + "\r\n");
    ExpectTheWholeTextsAnswers(c.bytes + std::string(1, '\0') + "\x82\xA0");  // the document ends at the NUL
  }
  for (const Utf8Case& c : kUtf8Cases) {
    ExpectTheWholeTextsAnswers(c.text);
    ExpectTheWholeTextsAnswers("\xE3\x81\x82" + c.text);
  }
}

TEST(DetectInPieces, GivesTheWholeTextsAnswersOnRandomBytes) {
  // The bytes the scans decide on, and pieces of the patterns they look for.
  struct Range {
    unsigned char lo, hi;
  } ranges[] = {{0x1B, 0x1B}, {'$', '$'}, {'(', '('}, {'B', 'B'}, {'@', '@'}, {0x8E, 0x8E}, {0xA1, 0xDF},
                {0xE0, 0xEF}, {0xF0, 0xFE}, {0x81, 0x9F}, {0x00, 0x00}, {'\r', '\r'}, {'\n', '\n'}, {0x20, 0x7E}};
  const std::string tokens[] = {"\x1B$B", "\x1B(B", "\xB1\xE0", "\xE3\x81\x82", "\xC3\xA9", "\r\n", "abcdefgh"};
  std::mt19937 rng(20261210);
  int file[6] = {}, document[6] = {};
  for (int round = 0; round < 3000; ++round) {
    std::string s;
    for (size_t k = 0, n = rng() % 24; k < n; ++k) {
      if (rng() % 4 == 0) {
        s += tokens[rng() % std::size(tokens)];
      } else {
        const Range& r = ranges[rng() % std::size(ranges)];
        s.push_back(static_cast<char>(r.lo + rng() % (r.hi - r.lo + 1)));
      }
    }
    ExpectTheWholeTextsAnswers(s);
    ++file[ScanFileCode(s)];
    ++document[DetectLoadedTextCode(s)];
  }
  for (int code : {S, J, E, A, X}) EXPECT_GT(file[code], 0) << "no file came out as " << code;
  for (int code : {S, J, E, U, A, X}) EXPECT_GT(document[code], 0) << "no document came out as " << code;
}

TEST(DetectFileCodes, ReadsOnlyAsFarAsTheAnswersNeed) {
  const std::string sjisLine = sj(u8"日本語の文、半角ｶﾅ入り。\r\n");
  auto times = [](const std::string& s, size_t bytes) {
    std::string t;
    while (t.size() < bytes) t += s;
    return t;
  };
  const size_t big = 3 << 20;  // beyond the largest read
  struct Case {
    const char* name;
    std::string text;
    bool toTheEnd;
  } cases[] = {
      {"ShiftJis", times(sjisLine, big), false},
      {"Euc", times("\xB4\xC1\xBB\xFA\r\n", big), false},
      {"Jis", times("\x1B$B4A;z\x1B(B\r\n", big), false},
      {"Utf8NeedsEveryByte", times("\xE6\x97\xA5\xE6\x9C\xAC\r\n", big), true},
      {"Utf8BrokenAtTheEnd", times("\xE6\x97\xA5\xE6\x9C\xAC\r\n", big) + "\xE6\x97", true},
      {"AsciiNeedsEveryByte", times("plain text\r\n", big) + "\x82\xA0", true},
      {"RunOfHighBytesAcrossReads", "\xB1\xE0" + std::string(big, '\xE5') + "\xFD", true},
      {"DocumentEndsAtTheNul", times("plain\r\n", big) + std::string(1, '\0') + "\xB4\xC1\xBB\xFA", true},
  };
  for (const Case& c : cases) {
    StringReadFile f(c.text);
    const std::optional<FileCodes> got = DetectFileCodes(f);
    ASSERT_TRUE(got) << c.name;
    EXPECT_EQ(got->file, ScanFileCode(c.text)) << c.name;
    EXPECT_EQ(got->document, DetectLoadedTextCode(c.text)) << c.name;
    if (c.toTheEnd) EXPECT_EQ(f.served, c.text.size()) << c.name;
    else EXPECT_LT(f.served, c.text.size() / 8) << c.name;
  }
}

TEST(DetectFileCodes, AFailedReadBeforeTheAnswersIsNoAnswer) {
  const std::string ascii(300000, 'a');
  for (size_t failing : {1, 2, 3}) {
    StringReadFile f(ascii);
    f.failAtRead = failing;
    EXPECT_FALSE(DetectFileCodes(f)) << failing;
  }
  // Once answered, the rest is never read, so it cannot fail.
  StringReadFile f(sj(u8"漢字") + ascii);
  f.failAtRead = 2;
  const std::optional<FileCodes> got = DetectFileCodes(f);
  ASSERT_TRUE(got);
  EXPECT_EQ(got->file, kCodeSjis);
  EXPECT_EQ(f.reads, 1u);
}

// The UTF-8 test read rule by rule, one byte at a time.
bool Utf8ByRule(std::string_view t) {
  for (size_t i = 0; i < t.size();) {
    const auto b = static_cast<unsigned char>(t[i++]);
    const size_t follow = b < 0x80 ? 0 : b >= 0xC0 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : 3;
    if (follow == 3) return false;
    for (size_t k = 0; k < follow; ++k, ++i)
      if (i == t.size() || (static_cast<unsigned char>(t[i]) & 0xC0) != 0x80) return false;
  }
  return true;
}

TEST(DetectInPieces, TellsUtf8AsTheWholeTextDoesOnLongTexts) {
  // Long runs of well-formed UTF-8 with one fault somewhere: the test reads wide blocks, and
  // a sequence, a fault or the zero byte that ends the document may sit on any boundary of
  // them. Every path the processor may take is run.
  const std::string pieces[] = {"\xE3\x81\x82", "\xC3\xA9", "a", "\r\n", "0123456789abcdef",
                                // the bounds of each kind of byte
                                "\x7F", "\xC0\x80", "\xDF\xBF", "\xE0\x80\x80", "\xEF\xBF\xBF"};
  const std::string faults[] = {"\x82", "\xBF", "\xE3\x81", "\xEF\xBF", "\xC3", "\xDF", "\xF0\x9F\x98\x80",
                                "\xF0", "\xF0\x80\x80", "\xFF", "\xE3" "a", "\xE0\x80", "\xC0\x7F", std::string(1, '\0'), ""};
  for (CpuLevel level : {CpuLevel::Portable, CpuLevel::Sse2, CpuLevel::Ssse3, CpuLevel::Avx2}) {
    const CpuCap cap(level);
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
      std::string text = "\xE3\x81\x82";  // scans as Shift-JIS: the UTF-8 test decides
      const size_t want = rng() % 400;
      while (text.size() < want) text += pieces[rng() % std::size(pieces)];
      const std::string& fault = faults[rng() % std::size(faults)];
      text.insert(rng() % (text.size() + 1), fault);
      ASSERT_EQ(IsUtf8Text(text), Utf8ByRule(text)) << static_cast<int>(level) << ::testing::PrintToString(text);
      ExpectTheWholeTextsAnswers(text);
      if (fault.empty()) {
        ASSERT_EQ(DetectLoadedTextCode(text), kCodeUtf8) << ::testing::PrintToString(text);
      }
    }
  }
}

}  // namespace
