#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "Fakes.h"
#include "conv/Sjis.h"
#include "doc/Document.h"
#include "ops/Columns.h"

using namespace qlk;
using namespace qlk::test;

namespace {

using V = std::vector<std::string>;

// ---- one line ----

struct LineCase {
  const char* name;
  std::string (*edit)(std::string_view, int, int);
  std::string line;
  int a, b;
  std::string want;
};

std::string Keta(std::string_view l, int w, int) { return KetaChangeLine(l, w); }
std::string Indent(std::string_view l, int w, int) { return IndentChangeLine(l, w); }
std::string Delete(std::string_view l, int f, int t) { return DeletePosLine(l, f, t); }

class ColumnLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ColumnLine, Edits) {
  const LineCase& c = GetParam();
  EXPECT_EQ(c.edit(c.line, c.a, c.b), c.want);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColumnLine,
    ::testing::Values(LineCase{"KetaCutsALongLine", Keta, "abcdefg", 5, 0, "abcde"},
                      LineCase{"KetaPadsAShortLine", Keta, "ab", 5, 0, "ab   "},
                      LineCase{"KetaExactLength", Keta, "abcde", 5, 0, "abcde"},
                      LineCase{"KetaKeepsADoubleByteCharacterWhole", Keta, "abcd" + sj(u8"あ") + "x", 5, 0, "abcd"},
                      LineCase{"KetaTrailByteInLeadRangeIsNotALead", Keta, sj(u8"亜亜亜"), 4, 0, sj(u8"亜亜")},
                      LineCase{"KetaEmptyLineIsPadded", Keta, "", 3, 0, "   "},
                      LineCase{"KetaWidthZeroEmptiesTheLine", Keta, "abc", 0, 0, ""},
                      LineCase{"KetaWidthZeroEmptiesADoubleByteLine", Keta, sj(u8"あ"), 0, 0, ""},
                      LineCase{"KetaNegativeWidthChangesNothing", Keta, "abc", -1, 0, "abc"},
                      LineCase{"IndentPutsBlanksInFront", Indent, "ab", 4, 0, "    ab"},
                      LineCase{"IndentLeavesEmptyLinesEmpty", Indent, "", 4, 0, ""},
                      LineCase{"IndentZeroChangesNothing", Indent, "ab", 0, 0, "ab"},
                      LineCase{"DeleteMiddleColumns", Delete, "abcdef", 2, 4, "aef"},
                      LineCase{"DeletePastTheEnd", Delete, "ab", 2, 4, "a"},
                      LineCase{"DeleteOnAnEmptyLineFromColumnTwo", Delete, "", 2, 4, ""},
                      LineCase{"DeleteStartsRightAfterTheLine", Delete, "ab", 3, 4, "ab"},
                      LineCase{"DeleteBeyondTheLine", Delete, "ab", 4, 5, "ab"},
                      LineCase{"DeleteFirstAfterLastDoesNotDoubleText", Delete, "abcdef", 4, 2, "abcdef"},
                      LineCase{"DeleteFirstColumnSplitsADoubleByteCharacter", Delete, sj(u8"あbc"), 1, 1,
                               "\xA0"
                               "bc"}),  // the trail byte of あ stays
    [](const auto& info) { return info.param.name; });

TEST(FormatRenoNumber, RightAlignedAndCutToTheDigits) {
  struct {
    long long n;
    int digits;
    bool blank;
    const char* want;
  } cases[] = {{1, 3, false, "001"},    {1, 3, true, "  1"},   {999, 3, false, "999"},
               {1000, 3, false, "100"}, {-5, 3, false, "-05"}, {-5, 3, true, " -5"},
               {12345, 1, false, "1"},  {0, 2, false, "00"},   {7, 0, false, ""}};
  for (auto& c : cases) EXPECT_EQ(FormatRenoNumber(c.n, c.digits, c.blank), c.want) << c.n << " " << c.digits;
}

TEST(ColumnProperty, EditsKeepEveryByteTheyDoNotTouch) {
  std::mt19937 rng(3);
  const char alphabet[] = {'a', 'b', ' ', '\x82', '\xA0', '\x88', '\x9F'};
  for (int round = 0; round < 3000; ++round) {
    std::string line(rng() % 12, 'a');
    for (char& c : line) c = alphabet[rng() % sizeof alphabet];
    std::string text(rng() % 4, 'X');
    const int col = static_cast<int>(rng() % 16) - 2;
    const size_t c0 = col < 1 ? 0 : static_cast<size_t>(col) - 1;
    std::string padded = line;
    if (padded.size() < c0) padded.resize(c0, ' ');

    std::string o = OverwriteStringLine(line, col, text);
    ASSERT_EQ(o.size(), std::max(padded.size(), c0 + text.size()));
    ASSERT_EQ(o.substr(0, c0), padded.substr(0, c0));
    ASSERT_EQ(o.substr(c0, text.size()), text);
    if (padded.size() > c0 + text.size()) {
      ASSERT_EQ(o.substr(c0 + text.size()), padded.substr(c0 + text.size()));
    }

    std::string in = InsertStringLine(line, col, text);
    ASSERT_EQ(in, padded.substr(0, c0) + text + padded.substr(c0));

    const int last = static_cast<int>(rng() % 16) - 2;
    std::string d = DeletePosLine(line, col, last);
    if (last < col || last < 1 || line.size() < c0) {
      ASSERT_EQ(d, line);
    } else {
      ASSERT_EQ(d, line.substr(0, c0) + (line.size() > static_cast<size_t>(last) ? line.substr(last) : ""));
    }

    std::string k = KetaChangeLine(line, col);
    if (col < 0) {
      ASSERT_EQ(k, line);
    } else if (line.size() <= static_cast<size_t>(col)) {
      ASSERT_EQ(k, line + std::string(col - line.size(), ' '));
    } else {
      ASSERT_TRUE(k.size() == static_cast<size_t>(col) || k.size() + 1 == static_cast<size_t>(col));
      ASSERT_EQ(k, line.substr(0, k.size()));
      ASSERT_FALSE(!k.empty() && sjis::IsLeadAt(line, k.size() - 1)) << "split character, round " << round;
    }
  }
}

// ---- document operations ----

struct ColumnDoc : ::testing::Test {
  TestPlatform tp;
  CQuenlarkDoc doc{tp.platform};
  void Load(const std::string& text) {
    tp.clipboard.text = text;
    ASSERT_TRUE(doc.NewFromClipboard());
  }
  V Lines() const { return doc.Lines().ToVector(); }
};

// Every target line becomes exactly 0 bytes long, in one step that undo takes back.
TEST_F(ColumnDoc, KetaChangeZeroEmptiesTheTargetLines) {
  Load("abc\r\n\x82\xA0x\r\n\r\nlast");
  doc.rangeStart = 2;
  doc.width = 0;
  ASSERT_TRUE(KetaChange(doc));
  EXPECT_EQ(Lines(), (V{"abc", "", "", ""}));
  EXPECT_TRUE(doc.IsModified());
  doc.Undo();
  EXPECT_EQ(Lines(), (V{"abc", "\x82\xA0x", "", "last"}));
}

TEST_F(ColumnDoc, KetaChangeTouchesTargetsOnly) {
  Load("abcdefg\r\nab\r\nabcdefg");
  doc.rangeStart = 2;
  doc.rangeEnd = 3;
  doc.width = 5;
  ASSERT_TRUE(KetaChange(doc));
  EXPECT_EQ(Lines(), (V{"abcdefg", "ab   ", "abcde"}));
  EXPECT_TRUE(doc.IsModified());
  doc.Undo();
  EXPECT_EQ(Lines(), (V{"abcdefg", "ab", "abcdefg"}));
}

TEST_F(ColumnDoc, RenoStringNumbersTargetLinesOnly) {
  Load("a\r\nb\r\nc\r\nd\r\ne");
  doc.step = 2;  // lines 1, 3 and 5
  doc.renoColumn = 1;
  doc.renoDigits = 3;
  doc.renoStart = 998;
  doc.renoIncrement = 1;
  doc.renoBlankFill = 0;
  ASSERT_TRUE(RenoString(doc));
  EXPECT_EQ(Lines(), (V{"998", "b", "999", "d", "100"}));
}

TEST_F(ColumnDoc, RenoStringOverwritesAndPads) {
  Load("a\r\nb\r\nc");
  doc.renoColumn = 1;
  doc.renoDigits = 3;
  doc.renoStart = 1;
  doc.renoIncrement = 1;
  doc.renoBlankFill = 1;
  ASSERT_TRUE(RenoString(doc));
  EXPECT_EQ(Lines(), (V{"  1", "  2", "  3"}));
  Load("abcdef\r\nx");
  doc.renoColumn = 3;
  doc.renoDigits = 2;
  doc.renoStart = 10;
  doc.renoIncrement = -5;
  doc.renoBlankFill = 0;
  ASSERT_TRUE(RenoString(doc));
  EXPECT_EQ(Lines(), (V{"ab10ef", "x 05"}));
}

TEST_F(ColumnDoc, LineDeleteRemovesTargetsAndClampsTheRange) {
  Load("a\r\nb\r\nc\r\nd");
  doc.rangeStart = 2;
  doc.rangeEnd = 4;
  LineDelete(doc);
  EXPECT_EQ(Lines(), V{"a"});
  EXPECT_EQ(doc.rangeEnd, 1);
  Load("a\r\nb");
  LineDelete(doc);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(doc.rangeEnd, 0);
  doc.Undo();
  EXPECT_EQ(Lines(), (V{"a", "b"}));
}

// Numbers that would grow the text past the budget leave the document untouched.
TEST_F(ColumnDoc, AbsurdNumbersAreRefusedWithoutChange) {
  Load("abc\r\ndef");
  LineArray before = doc.Lines();
  doc.width = INT_MAX;
  EXPECT_FALSE(KetaChange(doc));
  EXPECT_FALSE(IndentChange(doc));
  doc.overwriteColumn = INT_MAX;
  doc.overwriteString = "x";
  EXPECT_FALSE(OverwriteString(doc));
  doc.insertColumn = INT_MAX;
  doc.insertString = "x";
  EXPECT_FALSE(InsertString(doc));
  doc.renoColumn = 1;
  doc.renoDigits = INT_MAX;
  EXPECT_FALSE(RenoString(doc));
  EXPECT_FALSE(SpaceInsert(doc, 1, INT_MAX, 0));
  EXPECT_EQ(doc.Lines(), before);
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(ColumnDoc, ColumnEditsOnAVeryLongLineAreExact) {
  std::string line(100000, 'a');
  Load(line);
  doc.overwriteColumn = 40000;
  doc.overwriteString = "XYZ";
  ASSERT_TRUE(OverwriteString(doc));
  std::string want = line;
  want.replace(39999, 3, "XYZ");
  EXPECT_EQ(Lines(), V{want});
  DeletePos(doc, 40000, 40002);
  EXPECT_EQ(Lines(), V{std::string(99997, 'a')});
}

}  // namespace
