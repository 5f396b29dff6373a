#include <gtest/gtest.h>

#include "Fakes.h"
#include "doc/Document.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct DocFixture : ::testing::Test {
  TestPlatform tp;
  CQuenlarkDoc doc{tp.platform};
  void Load(std::string text) {
    tp.clipboard.text = std::move(text);
    ASSERT_TRUE(doc.NewFromClipboard());
  }
  std::vector<std::string> Lines() const { return doc.Lines().ToVector(); }
  using V = std::vector<std::string>;
};

struct LoadCase {
  const char* name;
  std::string clip;
  std::vector<std::string> lines;
  int finalBreak;
};

class ClipboardRoundTrip : public DocFixture, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(ClipboardRoundTrip, LoadsLinesAndStoresTheSameBytes) {
  const LoadCase& c = GetParam();
  Load(c.clip);
  EXPECT_EQ(Lines(), c.lines);
  EXPECT_EQ(doc.finalBreak, c.finalBreak);
  EXPECT_EQ(doc.rangeStart, 1);
  EXPECT_EQ(doc.rangeEnd, static_cast<int>(c.lines.size()));
  tp.clipboard.text.reset();
  ASSERT_TRUE(doc.StoreClipboard(true));
  EXPECT_EQ(*tp.clipboard.text, c.clip);
  EXPECT_EQ(tp.clipboard.focusReturns, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Edge, ClipboardRoundTrip,
    ::testing::Values(LoadCase{"NoFinalBreak", "a\r\nb", {"a", "b"}, 0},
                      LoadCase{"FinalBreak", "a\r\nb\r\n", {"a", "b"}, 1},
                      LoadCase{"Empty", "", {}, 1},
                      LoadCase{"SingleBreak", "\r\n", {""}, 1},
                      LoadCase{"TwoBreaks", "a\r\n\r\n", {"a", ""}, 1},
                      LoadCase{"LoneCrAndLfStay", "a\rb\nc\r\nd", {"a\rb\nc", "d"}, 0},
                      LoadCase{"CrCrLf", "x\r\r\ny", {"x\r", "y"}, 0},
                      LoadCase{"EmptyLinesBetween", "\r\n\r\nz", {"", "", "z"}, 0}),
    [](const auto& info) { return info.param.name; });

TEST_F(DocFixture, NoTextOnClipboardLoadsNothingAndKeepsTheFlag) {
  Load("a");
  EXPECT_EQ(doc.finalBreak, 0);
  tp.clipboard.text.reset();
  ASSERT_TRUE(doc.NewFromClipboard());
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(doc.finalBreak, 0);
  // What the clipboard holds instead of text (a picture, say) is not thrown away for nothing.
  ASSERT_TRUE(doc.StoreClipboard(true));
  EXPECT_FALSE(tp.clipboard.text.has_value());
  EXPECT_EQ(tp.clipboard.writes, 0);
  // Text made from nothing takes its place.
  doc.Lines().PushBack("new");
  ASSERT_TRUE(doc.StoreClipboard(true));
  EXPECT_EQ(tp.clipboard.text, "new");
}

TEST_F(DocFixture, HeldClipboardOnLoadIsReportedAndStopsTheCommand) {
  tp.clipboard.text = "keep";
  tp.clipboard.busyReads = 1;
  EXPECT_FALSE(doc.NewFromClipboard());
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::ClipboardBusy});
}

TEST_F(DocFixture, HeldClipboardOnStoreLeavesClipboardAndSelection) {
  Load("a\r\nb\r\nc");
  doc.rangeStart = 2;
  tp.clipboard.text = "other";
  tp.clipboard.busyWrites = 1;
  EXPECT_FALSE(doc.StoreClipboard(true));
  EXPECT_EQ(*tp.clipboard.text, "other");
  EXPECT_EQ(doc.rangeStart, 2);
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::ClipboardBusy});
}

TEST_F(DocFixture, AllSelectOffStoresOnlyTheRange) {
  Load("1\r\n2\r\n3\r\n4\r\n5");
  doc.rangeStart = 2;
  doc.rangeEnd = 3;
  ASSERT_TRUE(doc.StoreClipboard(false));
  EXPECT_EQ(*tp.clipboard.text, "2\r\n3\r\n");
  EXPECT_EQ(doc.rangeStart, 2);  // the selection stays in force
  doc.rangeEnd = 5;
  ASSERT_TRUE(doc.StoreClipboard(false));
  EXPECT_EQ(*tp.clipboard.text, "2\r\n3\r\n4\r\n5");  // the last line keeps its missing break
}

TEST_F(DocFixture, AllSelectOnResetsRangeStepAndPatternButNotFlags) {
  Load("a\r\nb\r\nc\r\n");
  doc.rangeStart = 2;
  doc.step = 2;
  doc.pattern = "b";
  doc.exclusive = 1;
  ASSERT_TRUE(doc.StoreClipboard(true));
  EXPECT_EQ(doc.rangeStart, 1);
  EXPECT_EQ(doc.rangeEnd, 3);
  EXPECT_EQ(doc.step, 1);
  EXPECT_EQ(doc.pattern, "");
  EXPECT_EQ(doc.exclusive, 1);
  EXPECT_EQ(*tp.clipboard.text, "");  // exclusive with everything selected: nothing goes out
}

TEST_F(DocFixture, LongLinesRoundTripWhole) {
  std::string big(100000, 'x');
  big[50000] = '\x82';
  big[50001] = '\xA0';
  std::string clip = big + "\r\n" + big;
  Load(clip);
  ASSERT_EQ(Lines().size(), 2u);
  EXPECT_EQ(Lines()[0], big);
  ASSERT_TRUE(doc.StoreClipboard(true));
  EXPECT_EQ(*tp.clipboard.text, clip);
}

TEST_F(DocFixture, GetTextEndsEveryLineAndSetTextSplits) {
  Load("a\r\nb");
  EXPECT_EQ(doc.GetText(), "a\r\nb\r\n");
  doc.SetText("x\r\n");
  EXPECT_EQ(Lines(), V{"x"});
  doc.SetText("x\r\n\r\ny");
  EXPECT_EQ(Lines(), (V{"x", "", "y"}));
  doc.SetText("");
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(doc.finalBreak, 0);  // untouched by SetText
}

TEST_F(DocFixture, TargetTextSizeCountsTargetsWithBreaks) {
  Load("ab\r\nc\r\ndef");
  EXPECT_EQ(doc.TargetTextSize(), 4u + 3u + 5u);
  doc.pattern = "c";
  EXPECT_EQ(doc.TargetTextSize(), 3u);
}

// ---------------------------------------------------------------- selection

struct SelCase {
  const char* name;
  int start, end, step;
  std::string pattern;
  int exclusive;
  std::vector<int> targets;  // 0-based
};

class TargetLines : public DocFixture, public ::testing::WithParamInterface<SelCase> {};

TEST_P(TargetLines, AreChosenByRangeStepPatternAndFlag) {
  Load("abc0\r\nx1\r\nabc2\r\nx3\r\nabc4\r\nx5\r\nabc6");
  const SelCase& c = GetParam();
  doc.rangeStart = c.start;
  doc.rangeEnd = c.end;
  doc.step = c.step;
  doc.pattern = c.pattern;
  doc.exclusive = c.exclusive;
  std::vector<int> got;
  for (size_t i = 0; i < doc.Lines().size(); ++i)
    if (doc.IsTargetLine(i)) got.push_back(static_cast<int>(i));
  EXPECT_EQ(got, c.targets);
}

INSTANTIATE_TEST_SUITE_P(
    Selection, TargetLines,
    ::testing::Values(SelCase{"All", 1, 7, 1, "", 0, {0, 1, 2, 3, 4, 5, 6}},
                      SelCase{"StepTwoFull", 1, 7, 2, "", 0, {0, 2, 4, 6}},
                      SelCase{"StepTwoRangeTwoToSix", 2, 6, 2, "", 0, {2, 4}},
                      SelCase{"Pattern", 1, 7, 1, "abc", 0, {0, 2, 4, 6}},
                      SelCase{"PatternExclusive", 1, 7, 1, "abc", 1, {1, 3, 5}},
                      SelCase{"RangeExclusive", 2, 3, 1, "", 1, {0, 3, 4, 5, 6}},
                      SelCase{"ReversedRangeSelectsNothing", 5, 2, 1, "", 0, {}},
                      SelCase{"CaseSensitive", 1, 7, 1, "ABC", 0, {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(DocFixture, RegexPatternSelectsMatchingLines) {
  ASSERT_TRUE(doc.RegexAvailable());
  Load(sj(u8"abc\r\nあいう\r\nx9y\r\nABC"));
  doc.regexFlag = 1;
  doc.pattern = "^[a-z]+$";
  EXPECT_TRUE(doc.IsTargetLine(0));
  EXPECT_FALSE(doc.IsTargetLine(1));
  EXPECT_FALSE(doc.IsTargetLine(2));
  EXPECT_FALSE(doc.IsTargetLine(3));  // case-sensitive
  doc.pattern = sj(u8"[ぁ-ん]");  // a class of characters, not of bytes
  EXPECT_TRUE(doc.IsTargetLine(1));
  EXPECT_FALSE(doc.IsTargetLine(0));
  doc.pattern = "\\d";
  EXPECT_TRUE(doc.IsTargetLine(2));
}

TEST_F(DocFixture, InvalidRegexMakesNoLineATarget) {
  Load("a(\r\nb");
  doc.regexFlag = 1;
  doc.pattern = "a(";
  EXPECT_FALSE(doc.IsTargetLine(0));
  EXPECT_FALSE(doc.IsTargetLine(1));
  doc.exclusive = 1;  // the flag still inverts the failed test
  EXPECT_TRUE(doc.IsTargetLine(0));
}

TEST(DocumentRegexFlag, ReadFromAndWrittenBackToTheProfile) {
  TestPlatform tp;
  tp.settings.SetInt("LineSelect", "RegExp", 1);
  {
    CQuenlarkDoc doc(tp.platform);
    EXPECT_EQ(doc.regexFlag, 1);
    doc.regexFlag = 0;
  }
  EXPECT_EQ(tp.settings.GetInt("LineSelect", "RegExp", 7), 0);
}

TEST(DocumentRegexFlag, ForcedOffWithoutAnEngine) {
  TestPlatform tp;
  NoRegexFactory none;
  Platform p = tp.platform;
  Platform q{p.clipboard, p.settings, p.codepage, none, p.ui, p.files, p.shell, p.clock};
  tp.settings.SetInt("LineSelect", "RegExp", 1);
  CQuenlarkDoc doc(q);
  EXPECT_EQ(doc.regexFlag, 0);
  EXPECT_FALSE(doc.RegexAvailable());
  tp.clipboard.text = "abc";
  ASSERT_TRUE(doc.NewFromClipboard());
  doc.regexFlag = 1;  // set by a macro line: nothing can match
  doc.pattern = "a";
  EXPECT_FALSE(doc.IsTargetLine(0));
}

// ---------------------------------------------------------------- files

TEST_F(DocFixture, OpenFileSplitsAtLfAndKeepsEofBytesAndLongLines) {
  TempDir dir;
  std::string longLine(40000, 'q');
  std::string bytes = "a\r\nb\x1A" "c\n\n" + longLine + "\r\nlast";
  ASSERT_TRUE(tp.files->WriteAll(dir.Path("in.txt"), bytes));
  tp.settings.SetInt("System", "Auto", 0);
  ASSERT_TRUE(doc.OpenFile(dir.Path("in.txt")));
  EXPECT_EQ(Lines(), (V{"a", "b\x1A" "c", "", longLine, "last"}));
  EXPECT_EQ(doc.rangeStart, 1);
  EXPECT_EQ(doc.rangeEnd, 5);
  EXPECT_EQ(doc.PathName(), dir.Path("in.txt"));
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocFixture, OpenFileStripsLfCrLfOnly) {
  EXPECT_EQ(CQuenlarkDoc::SplitFileLines("x\r\r\n").ToVector(), V{"x\r"});
  EXPECT_EQ(CQuenlarkDoc::SplitFileLines("x\n\r\n").ToVector(), (V{"x", ""}));
  EXPECT_EQ(CQuenlarkDoc::SplitFileLines("").ToVector(), V{});
  EXPECT_EQ(CQuenlarkDoc::SplitFileLines("\n").ToVector(), V{""});
  EXPECT_EQ(CQuenlarkDoc::SplitFileLines("a\rb").ToVector(), V{"a\rb"});
}

TEST_F(DocFixture, OpenMissingFileSaysSoAndEmptiesTheDocument) {
  Load("keep");
  TempDir dir;
  EXPECT_FALSE(doc.OpenFile(dir.Path("missing.txt")));
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::FileNotFound});
}

TEST_F(DocFixture, OpenFileRunsTheDetectedConversionWhenAutoIsOn) {
  TempDir dir;
  ASSERT_TRUE(tp.files->WriteAll(dir.Path("j.txt"), "x\n"));
  int jis = 0, euc = 0;
  doc.hooks().detectFileCode = [](std::string_view) { return FileCode::Jis; };
  doc.hooks().jisToSjis = [&] { ++jis; };
  doc.hooks().eucToSjis = [&] { ++euc; };
  ASSERT_TRUE(doc.OpenFile(dir.Path("j.txt")));
  EXPECT_EQ(jis, 1);
  tp.settings.SetInt("System", "Auto", 0);
  ASSERT_TRUE(doc.OpenFile(dir.Path("j.txt")));
  EXPECT_EQ(jis, 1);
  EXPECT_EQ(euc, 0);
}

TEST_F(DocFixture, OpenAndSaveWriteTheirMacroLinesWhileRecording) {
  TempDir dir;
  std::vector<std::string> rec;
  doc.hooks().writeMacroLine = [&](const std::string& l) { rec.push_back(l); };
  ASSERT_TRUE(tp.files->WriteAll(dir.Path("a.txt"), "a\n"));
  ASSERT_TRUE(doc.OpenFile(dir.Path("a.txt")));
  ASSERT_TRUE(doc.Save());
  tp.ui.fileAnswers.push_back({dir.Path("b.txt")});
  ASSERT_TRUE(doc.SaveAs());
  doc.CloseFile();
  EXPECT_EQ(rec, (V{"Open " + dir.Path("a.txt"), "Save", "Save " + dir.Path("b.txt"), "Close"}));
  ASSERT_EQ(tp.ui.fileRequests.size(), 1u);
  EXPECT_EQ(tp.ui.fileRequests[0].title, Txt::SaveAsTitle);
  EXPECT_EQ(tp.ui.fileRequests[0].defaultExt, "txt");
  EXPECT_FALSE(tp.ui.fileRequests[0].open);
}

TEST_F(DocFixture, SaveFileWritesEveryLineWithTheChosenBreak) {
  TempDir dir;
  Load("a\r\nb");  // no final break on the clipboard: the file still ends the last line
  doc.pattern = "a";  // non-target lines are written too
  struct { int crlf; std::string bytes; } cases[] = {
      {0, "a\r\nb\r\n"}, {1, "a\rb\r"}, {2, "a\nb\n"}, {9, "a\r\nb\r\n"}};
  for (auto& c : cases) {
    tp.settings.SetInt("System", "CrLf", c.crlf);
    ASSERT_TRUE(doc.SaveFile(dir.Path("out.txt")));
    EXPECT_EQ(*tp.files->ReadAll(dir.Path("out.txt")), c.bytes) << c.crlf;
  }
}

TEST_F(DocFixture, SaveToAnUnwritablePathSaysSo) {
  TempDir dir;
  Load("a");
  EXPECT_FALSE(doc.SaveFile(dir.Path("no/such/folder/x.txt")));
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::CannotWriteFile});
}

TEST_F(DocFixture, FileInsertAppendsLinesAsOneUndoStep) {
  TempDir dir;
  ASSERT_TRUE(tp.files->WriteAll(dir.Path("ins.txt"), "x\r\ny"));
  Load("a");
  ASSERT_TRUE(doc.FileInsert(dir.Path("ins.txt")));
  EXPECT_EQ(Lines(), (V{"a", "x", "y"}));
  EXPECT_EQ(doc.rangeEnd, 3);
  doc.Undo();
  EXPECT_EQ(Lines(), V{"a"});
  EXPECT_FALSE(doc.FileInsert(dir.Path("none.txt")));
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::CannotOpenFile});
}

TEST_F(DocFixture, InsertLineAndInsertEndLine) {
  Load("a\r\nb");
  doc.InsertLine(1, "m");
  doc.InsertLine(3, "z");
  EXPECT_EQ(Lines(), (V{"a", "m", "b", "z"}));
  doc.InsertLine(9, "never");
  doc.InsertLine(-1, "never");
  EXPECT_EQ(Lines().size(), 4u);
  doc.rangeEnd = 1;
  doc.InsertEndLine("e");
  EXPECT_EQ(Lines().back(), "e");
  EXPECT_EQ(doc.rangeEnd, 5);
  EXPECT_EQ(doc.UndoStack().Count(), 3);  // the refused inserts took no step
}

// ---------------------------------------------------------------- undo

TEST_F(DocFixture, UndoAndRedoFollowTheWorkedExample) {
  Load("s0");
  auto op = [&](const char* text) {
    doc.BeginUndoStep();
    doc.Lines().Set(0, text);
  };
  op("A");
  op("B");
  EXPECT_EQ(doc.UndoStack().Position(), 2);
  doc.Undo();
  EXPECT_EQ(Lines(), V{"A"});
  EXPECT_EQ(doc.UndoStack().Position(), 1);
  EXPECT_EQ(doc.UndoStack().Count(), 3);
  doc.Undo();
  EXPECT_EQ(Lines(), V{"s0"});
  EXPECT_EQ(doc.UndoStack().Count(), 3);
  EXPECT_FALSE(doc.CanUndo());
  doc.Undo();  // nothing left: no change
  EXPECT_EQ(Lines(), V{"s0"});
  doc.Redo();
  EXPECT_EQ(Lines(), V{"A"});
  doc.Redo();
  EXPECT_EQ(Lines(), V{"B"});
  EXPECT_FALSE(doc.CanRedo());
  doc.Redo();
  EXPECT_EQ(Lines(), V{"B"});
}

TEST_F(DocFixture, NewOperationAfterUndoDropsRedo) {
  Load("0");
  doc.BeginUndoStep();
  doc.Lines().Set(0, "1");
  doc.Undo();
  EXPECT_TRUE(doc.CanRedo());
  doc.BeginUndoStep();
  doc.Lines().Set(0, "2");
  EXPECT_FALSE(doc.CanRedo());
  doc.Undo();
  EXPECT_EQ(Lines(), V{"0"});
}

TEST_F(DocFixture, HundredUnitLimitDropsTheOldest) {
  Load("0");
  for (int i = 1; i <= 101; ++i) {
    doc.BeginUndoStep();
    doc.Lines().Set(0, std::to_string(i));
  }
  EXPECT_TRUE(doc.UndoStack().Overflowed());
  int undos = 0;
  while (doc.CanUndo()) {
    doc.Undo();
    ++undos;
  }
  EXPECT_EQ(undos, 100);
  EXPECT_EQ(Lines(), V{"1"});  // the state before operation 1 was dropped
}

TEST_F(DocFixture, UndoRestoresRangeButNotPatternOrStep) {
  Load("a\r\nb\r\nc");
  doc.rangeStart = 2;
  doc.rangeEnd = 3;
  doc.BeginUndoStep();
  doc.Lines().Erase(0);
  doc.rangeStart = 1;
  doc.rangeEnd = 2;
  doc.pattern = "p";
  doc.step = 3;
  doc.Undo();
  EXPECT_EQ(Lines(), (V{"a", "b", "c"}));
  EXPECT_EQ(doc.rangeStart, 2);
  EXPECT_EQ(doc.rangeEnd, 3);
  EXPECT_EQ(doc.pattern, "p");
  EXPECT_EQ(doc.step, 3);
}

TEST_F(DocFixture, EmptyDocumentStillTakesASnapshot) {
  Load("");
  doc.BeginUndoStep();
  doc.Lines().PushBack("new");
  doc.Undo();
  EXPECT_TRUE(Lines().empty());
}

TEST_F(DocFixture, SnapshotsShareUnchangedLines) {
  Load("a\r\nb\r\nc");
  doc.BeginUndoStep();
  LineArray before = doc.Lines();
  doc.Lines().Set(1, "B");
  doc.Lines().Set(2, "c");  // same bytes: still shared
  EXPECT_TRUE(before.SharesLine(doc.Lines(), 0));
  EXPECT_FALSE(before.SharesLine(doc.Lines(), 1));
  EXPECT_TRUE(before.SharesLine(doc.Lines(), 2));
  EXPECT_EQ(before[1], "b");
}

}  // namespace

namespace {

TEST(DocumentPattern, MatchesWholeCharactersOnly) {
  TestPlatform tp;
  CQuenlarkDoc doc(tp.platform);
  tp.clipboard.text = sj(u8"ア\r\nxA\r\nソ\\");  // ア is 0x83 0x41, ソ is 0x83 0x5C
  ASSERT_TRUE(doc.NewFromClipboard());
  doc.pattern = "A";
  EXPECT_FALSE(doc.IsTargetLine(0));  // not the trail byte of ア
  EXPECT_TRUE(doc.IsTargetLine(1));
  doc.pattern = "\\";
  EXPECT_TRUE(doc.IsTargetLine(2));  // the real backslash after ソ, not its trail byte
  tp.clipboard.text = sj(u8"ソ");
  ASSERT_TRUE(doc.NewFromClipboard());
  EXPECT_FALSE(doc.IsTargetLine(0));
}

TEST(DocumentRegexFlag, UnchangedFlagIsNotWrittenBack) {
  TestPlatform tp;
  { CQuenlarkDoc doc(tp.platform); }
  EXPECT_TRUE(tp.settings.writeLog.empty());
}

}  // namespace
