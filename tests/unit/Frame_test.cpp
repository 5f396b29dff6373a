#include <gtest/gtest.h>

#include "CommandHarness.h"
#include "macro/Bindings.h"
#include "macro/Escape.h"
#include "macro/Families.h"
#include "macro/Frame.h"
#include "macro/Interpreter.h"
#include "macro/MacroLines.h"
#include "macro/MainState.h"
#include "macro/SearchDlg.h"

using namespace qlk;
using namespace qlk::test;

namespace {

// Upper-cases ASCII letters of the target lines: a stand-in operation for the frame tests.
void UpperOp(CQuenlarkDoc& d) {
  d.BeginUndoStep();
  for (size_t i = 0; i < d.Lines().size(); ++i) {
    if (!d.IsTargetLine(i)) continue;
    std::string s = d.Lines()[i];
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    d.Lines().Set(i, s);
  }
  d.SetModified();
}

Bindings StandInBindings() {
  Bindings x;
  BindSelectionCommands(x);
  BindMacroCommands(x);
  x.Plain(Cmd::HiraToKana, UpperOp);  // "ひらがな→カタカナ(&K)" frame with a stand-in operation
  x.Keyword(Kw::ToUpper, [](MainState& m, const MacroArgs&) { UpperOp(m.doc()); });
  return x;
}

struct Harness : CommandHarness {
  Harness() : CommandHarness(StandInBindings()) {}
};

TEST(Frame, VerifyCancelLeavesClipboardAndMacroFileUntouched) {
  Harness h;
  h.tp.settings.SetInt("System", "Verify", 1);
  h.Record("m.qmc");
  h.Clip("abc");
  h.tp.ui.answers.push_back(Answer::Cancel);
  ASSERT_TRUE(h.m->Dispatch(32781));
  EXPECT_EQ(h.ClipText(), "abc");
  EXPECT_EQ(h.tp.clipboard.writes, 0);
  ASSERT_EQ(h.tp.ui.shown.size(), 1u);
  EXPECT_EQ(h.tp.ui.shown[0].id, Txt::CfHiraToKana);
  EXPECT_EQ(h.tp.ui.styles[0], std::make_pair(MsgButtons::OkCancel, MsgIcon::Question));
  EXPECT_EQ(h.StopAndRead("m.qmc"), "");
}

TEST(Frame, VerifyOkRunsRecordsAndStores) {
  Harness h;
  h.tp.settings.SetInt("System", "Verify", 1);
  h.Record("m.qmc");
  h.Clip("abc\r\nd");
  ASSERT_TRUE(h.m->Dispatch(32781));
  EXPECT_EQ(h.ClipText(), "ABC\r\nD");
  EXPECT_EQ(h.StopAndRead("m.qmc"), "HiraToKana\r\n");
}

TEST(Frame, VerifyOffAsksNothing) {
  Harness h;
  h.Clip("x");
  h.m->Dispatch(32781);
  EXPECT_TRUE(h.tp.ui.shown.empty());
  EXPECT_EQ(h.ClipText(), "X");
}

TEST(Frame, UnboundCommandsAreNotDispatched) {
  Harness h;
  h.Clip("x");
  EXPECT_FALSE(h.m->Dispatch(32829));  // its family is not bound in this harness
  EXPECT_EQ(h.tp.clipboard.writes, 0);
}

TEST(Frame, LossyClipboardAsksBeforeReplacingIt) {
  Harness h;
  h.Clip("x?");
  struct LossyClip final : IClipboard {
    FakeClipboard& inner;
    explicit LossyClip(FakeClipboard& c) : inner(c) {}
    ClipRead Read() override {
      ClipRead r = inner.Read();
      r.lossy = true;
      return r;
    }
    bool Write(std::string_view s) override { return inner.Write(s); }
  } lossy(h.tp.clipboard);
  Platform p{lossy, h.tp.settings, h.tp.platform.codepage, *h.tp.regex, h.tp.ui, *h.tp.files, h.tp.shell, h.tp.clock};
  MainState m(p, h.b, h.app);
  h.tp.ui.answers.push_back(Answer::Cancel);
  m.Dispatch(32781);
  EXPECT_EQ(h.tp.clipboard.writes, 0);
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::LossyClipboard});
  m.Dispatch(32781);  // OK this time
  EXPECT_EQ(h.ClipText(), "X?");
}

TEST(Frame, SearchFrameStoresOnlyWhenSomethingWasFound) {
  Harness h;
  struct Dlg final : DialogModel {
    int ResourceId() const override { return 1; }
    std::vector<Field> Fields() override { return {}; }
  } dlg;
  h.tp.ui.dialogScript = [](FakeDialog& d) { return d.Ok(); };
  h.Record("s.qmc");
  h.Clip("abc");
  RunSearch(*h.m, dlg, [] { return std::string("Replace x y 0 0"); }, [](CQuenlarkDoc&) { return 0; },
            Txt::ReplacedCount);
  EXPECT_EQ(h.tp.clipboard.writes, 0);
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::NotFound});
  RunSearch(*h.m, dlg, [] { return std::string("Replace a b 0 0"); },
            [](CQuenlarkDoc& d) {
              d.Lines().Set(0, "bbc");
              return 1;
            },
            Txt::ReplacedCount);
  EXPECT_EQ(h.ClipText(), "bbc");
  EXPECT_EQ(h.tp.ui.shown.back().text, "1個の置換を行いました");
  // The line of the search that found nothing is recorded too.
  EXPECT_EQ(h.StopAndRead("s.qmc"), "Replace x y 0 0\r\nReplace a b 0 0\r\n");
}

// ---------------------------------------------------------------- selection commands

TEST(Selection, DialogCancelRecordsNothing) {
  Harness h;
  h.Record("m.qmc");
  h.Clip("a\r\nb");
  h.tp.ui.dialogScript = [](FakeDialog&) { return false; };
  h.m->Dispatch(32769);
  EXPECT_EQ(h.tp.ui.dialogsRun, std::vector<int>{CSearchDlg::kResource});
  EXPECT_EQ(h.StopAndRead("m.qmc"), "");
}

TEST(Selection, DialogSwapsTheRangeAndWritesTheShortFormWithoutPattern) {
  Harness h;
  h.Record("m.qmc");
  h.Clip("1\r\n2\r\n3\r\n4\r\n5");
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    EXPECT_EQ(d.GetInt(CSearchDlg::kStart), 1);
    EXPECT_EQ(d.GetInt(CSearchDlg::kEnd), 5);
    d.Set(CSearchDlg::kStart, 4);
    d.Set(CSearchDlg::kEnd, 2);
    return d.Ok();
  };
  h.m->Dispatch(32769);
  EXPECT_EQ(h.m->doc().rangeStart, 2);
  EXPECT_EQ(h.m->doc().rangeEnd, 4);
  EXPECT_EQ(h.tp.clipboard.writes, 0);  // nothing is stored
  // Copy without reloading puts only the target lines out and keeps the selection.
  h.m->Dispatch(57634);
  EXPECT_EQ(h.ClipText(), "2\r\n3\r\n4\r\n");
  EXPECT_EQ(h.m->doc().rangeStart, 2);
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    d.Set(CSearchDlg::kPattern, std::string("a b"));
    d.Set(CSearchDlg::kStep, 2);
    return d.Ok();
  };
  h.m->Dispatch(32769);
  EXPECT_EQ(h.StopAndRead("m.qmc"), "LineSelect 1 2 4\r\nLineSelect 2 a\\sb 1 3 0\r\n");
}

TEST(Selection, AllLinesButtonResetsFieldsButKeepsTheRegexBox) {
  CSearchDlg dlg(2, 3, 9, 4, "p", 1, true);
  TestPlatform tp;
  FakeDialog d(dlg, tp.ui);
  d.Press(CSearchDlg::kAllLines);
  EXPECT_EQ(dlg.start, 1);
  EXPECT_EQ(dlg.end, 9);
  EXPECT_EQ(dlg.step, 1);
  EXPECT_EQ(dlg.pattern, "");
  EXPECT_EQ(dlg.regex, 1);
  EXPECT_TRUE(d.Enabled(CSearchDlg::kRegex));
  CSearchDlg none(1, 1, 1, 1, "", 0, false);
  EXPECT_FALSE(FakeDialog(none, tp.ui).Enabled(CSearchDlg::kRegex));
}

TEST(Selection, StepOutsideItsRangeKeepsTheDialogOpen) {
  CSearchDlg dlg(1, 1, 1, 1, "", 0, true);
  TestPlatform tp;
  FakeDialog d(dlg, tp.ui);
  d.Set(CSearchDlg::kStep, 0);
  EXPECT_FALSE(d.Ok());
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::IntRange});
}

TEST(Selection, NotselTwiceStoresEverythingAgain) {
  Harness h;
  h.Clip("a\r\nb\r\n");
  h.m->Dispatch(32781);
  h.m->Dispatch(32826);
  EXPECT_EQ(h.ClipText(), "");  // every line excluded
  EXPECT_EQ(h.m->doc().LineCount(), 2);
  h.m->Dispatch(32826);
  EXPECT_EQ(h.ClipText(), "A\r\nB\r\n");
}

TEST(Selection, TextAllResetsRangeStepAndPatternAndRecords) {
  Harness h;
  h.m->allSelect = 0;
  h.Record("t.qmc");
  h.Clip("ab\r\ncd");
  h.m->doc().NewFromClipboard();
  h.m->doc().rangeStart = 2;
  h.m->doc().step = 2;
  h.m->doc().pattern = "zz";
  h.m->Dispatch(32802);
  EXPECT_EQ(h.ClipText(), "ab\r\ncd");
  EXPECT_EQ(h.StopAndRead("t.qmc"), "TextAll\r\n");
}

TEST(Selection, UndoAndRedoStoreTheRestoredState) {
  Harness h;
  h.Record("u.qmc");
  h.Clip("ab");
  h.m->Dispatch(32781);
  EXPECT_EQ(h.ClipText(), "AB");
  h.Clip("something else");  // undo works on the document, not on the clipboard
  h.m->Dispatch(57643);
  EXPECT_EQ(h.ClipText(), "ab");
  h.m->Dispatch(57644);
  EXPECT_EQ(h.ClipText(), "AB");
  h.m->Dispatch(57634);  // copy
  EXPECT_EQ(h.StopAndRead("u.qmc"), "HiraToKana\r\n");  // undo, redo and copy record nothing
}

// ---------------------------------------------------------------- recording

TEST(Recording, CancelledFileDialogLeavesRecordingOff) {
  Harness h;
  h.tp.settings.SetText("Macro", "Dir", "C:\\macros");
  h.m->Dispatch(32837);
  EXPECT_FALSE(h.m->recorder().Recording());
  ASSERT_EQ(h.tp.ui.fileRequests.size(), 1u);
  const FileDialogRequest& r = h.tp.ui.fileRequests[0];
  EXPECT_FALSE(r.open);
  EXPECT_EQ(r.defaultExt, "qmc");
  EXPECT_EQ(r.fileName, "*.qmc");
  EXPECT_EQ(r.title, Txt::MacroRecordTitle);
  EXPECT_EQ(r.initialDir, "C:\\macros");
  EXPECT_TRUE(r.promptOverwrite);
}

TEST(Recording, UncreatableFileSaysSoAndStaysOff) {
  Harness h;
  h.tp.ui.fileAnswers.push_back({h.dir.Path("no/such/dir/m.qmc")});
  h.m->Dispatch(32837);
  EXPECT_FALSE(h.m->recorder().Recording());
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::CannotCreateMacro});
}

TEST(Recording, RunningAMacroWhileRecordingIsRefused) {
  Harness h;
  h.Record("m.qmc");
  h.m->Dispatch(32838);
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::MacroRecording});
  EXPECT_EQ(h.tp.ui.fileRequests.size(), 1u);  // only the recording's own dialog
}

struct LineCase {
  std::string got, want;
};

TEST(MacroLines, FormatsOfTheRecordedKeywords) {
  LineCase cases[] = {
      {ml::DelStr("a b", 0, 0), "DelStr a\\sb 0 0"},
      {ml::DelStr("a b", 2, 1), "DelStr a\\x20b 2 1"},  // regex: a space as \x20, so the line reads back whole
      {ml::Replace("a b", "", 1, 0), "Replace a\\sb \\b 1 0"},
      {ml::Replace("\\d x", "$1 y", 0, 1), "Replace \\d\\sx $1\\sy 0 1"},
      {ml::LineSelect(1, 2, 3), "LineSelect 1 2 3"},
      {ml::LineSelect(2, "", 1, 9, 1), "LineSelect 2 \\b 1 9 1"},
      {ml::SpaceInsert(1, 1, 0), "SpaceInsert 1 1 0"},
      {ml::OverwriteString(3, "x y"), "OverwriteString 3 x\\sy"},
      {ml::RenoString(1, 3, 1, 10, 0), "RenoString 1 3 1 10 0"},
      {ml::SuperReplace("<a", "b>", "c d"), "SuperReplace <a b> c\\sd"},
      {ml::ReplaceDouble("(", "[", ")", "]", "\\"), "ReplaceDouble ( [ ) ] \\"},
      {ml::Sort({{0, 1, -1, 0}, {1, 3, 5, 1}}), "Sort 0 1 -1 0 1 3 5 1"},
      {ml::DupLineDel(1, 2, 3, 0), "DupLineDel 1 2 3 0"},
      {ml::Save(""), "Save"},
      {ml::Save("C:\\a b.txt"), "Save C:\\a b.txt"},
      {ml::Open("C:\\a b.txt"), "Open C:\\a b.txt"},
      {ml::InsertEndLine(""), "InsertEndLine \\b"},
      {ml::MultiFileReplace("C:\\d", "*.txt", "a", "b c"), "MultiFileReplace C:\\d *.txt a b\\sc"},
  };
  for (auto& c : cases) EXPECT_EQ(c.got, c.want);
}

struct EscCase {
  const char* typed;
  const char* escaped;
  const char* unescaped;  // Unescape(escaped)
};

TEST(EscapeNotation, EscapesAndUnescapes) {
  EscCase cases[] = {
      {"", "\\b", ""},
      {"a b", "a\\sb", "a b"},
      {"a\\b", "a\\b", "a\\b"},          // "\b" among other bytes stays two bytes
      {"x\\ny", "x\\ny", "x\r\ny"},
      {"\\\\n", "\\\\n", "\\n"},         // a backslash pair is decoded first
      {"\\\\\\n", "\\\\\\n", "\\\r\n"},  // pair, then \n
      {"t\\tu", "t\\tu", "t\tu"},
      {"\\", "\\", "\\"},
      {"\\s", "\\s", " "},
  };
  for (auto& c : cases) {
    EXPECT_EQ(Escape(c.typed), c.escaped) << c.typed;
    EXPECT_EQ(Unescape(c.escaped), c.unescaped) << c.escaped;
  }
  // Text with spaces survives the round trip whole.
  EXPECT_EQ(Unescape(Escape("a  b ")), "a  b ");
}

TEST(EscapeNotation, TrailBytesAreNotBackslashes) {
  std::string so = sj(u8"ソ");  // 0x83 0x5C
  ASSERT_EQ(so, "\x83\x5C");
  EXPECT_EQ(Unescape(so + "n"), so + "n");
  EXPECT_EQ(Unescape(so + "\\\\"), so + "\\");
  EXPECT_EQ(Unescape(Escape(sj(u8"表示 ソース"))), sj(u8"表示 ソース"));
}

// ---------------------------------------------------------------- interpreter

TEST(Tokenizer, SplitsAtSpacesAndKeepsExtraSpaces) {
  MacroTokenizer t("A  B C   D");
  EXPECT_EQ(*t.Next(), "A ");
  EXPECT_EQ(*t.Next(), "B");
  EXPECT_EQ(*t.Next(), "C  ");
  EXPECT_EQ(*t.Next(), "D");
  EXPECT_FALSE(t.Next());
  MacroTokenizer e("");
  EXPECT_FALSE(e.Next());
  MacroTokenizer trailing("X ");
  EXPECT_EQ(*trailing.Next(), "X");
  EXPECT_FALSE(trailing.Next());
}

TEST(Keywords, TableOrderAndCaseBlindLookup) {
  ASSERT_EQ(MacroKeywords().size(), 87u);
  EXPECT_EQ(FindKeyword("OverwriteString"), 0);
  EXPECT_EQ(FindKeyword("toupper"), 8);
  EXPECT_EQ(FindKeyword("FILEINSERT"), 86);
  EXPECT_EQ(FindKeyword("ChangeUpperLower"), 87);
  EXPECT_EQ(FindKeyword("Reverse"), 88);
  EXPECT_EQ(FindKeyword("ToUpper "), -1);
  EXPECT_EQ(FindKeyword("Nothing"), -1);
}

struct MacroRun : Harness {
  std::string Run(const std::string& macro, const std::string& clip) {
    std::string path = dir.Path("run.qmc");
    EXPECT_TRUE(tp.files->WriteAll(path, macro));
    Clip(clip);
    RunMacroFile(*m, path);
    return ClipText();
  }
};

TEST(Interpreter, LowerCaseKeywordRuns) {
  MacroRun r;
  EXPECT_EQ(r.Run("toupper\r\n", "ab"), "AB");
}

TEST(Interpreter, RangeFromLineSelectStaysForTheFollowingLines) {
  MacroRun r;
  EXPECT_EQ(r.Run("LineSelect 1 1 3\r\nToUpper\r\n", "a\r\nb\r\nc\r\nd\r\n"), "A\r\nB\r\nC\r\nd\r\n");
  EXPECT_EQ(r.Run("LineSelect 1 5 2\nToUpper\n", "a\r\nb\r\nc\r\nd\r\ne\r\nf"), "a\r\nb\r\nc\r\nd\r\ne\r\nf");
}

TEST(Interpreter, LineSelectForms) {
  MacroRun r;
  EXPECT_EQ(r.Run("LineSelect 1 a\\sb 1 9 0\rToUpper", "a b\r\nab\r\nxa b"), "A B\r\nab\r\nXA B");
  EXPECT_EQ(r.Run("LineSelect 1 a\\sb 1 9\nToUpper", "a\\sb\r\nab"), "A\\SB\r\nab");  // four: undecoded
  EXPECT_EQ(r.Run("LineSelect 0 1 1\nToUpper", "ab"), "AB");  // a step below 1 is refused
  EXPECT_EQ(r.Run("LineSelect 1 ^a 1 9 1\nToUpper", "ab\r\nba"), "AB\r\nba");
}

TEST(Interpreter, EmptyClipboardStopsAtTheFirstLineUnlessPasteOrOpen) {
  MacroRun r;
  r.Run("ToUpper\nToUpper\n", "");
  EXPECT_EQ(r.tp.ui.ShownIds(), std::vector<Txt>{Txt::NoDocument});
  EXPECT_EQ(r.ClipText(), "");  // the empty document is still stored
  r.tp.ui.shown.clear();
  std::string file = r.dir.Path("in.txt");
  ASSERT_TRUE(r.tp.files->WriteAll(file, "opened\n"));
  EXPECT_EQ(r.Run("Paste\nOpen " + file + "\nToUpper\n", ""), "OPENED\r\n");
  EXPECT_TRUE(r.tp.ui.shown.empty());
}

TEST(Interpreter, CopyMidMacroStoresThenTheEndStoresAgain) {
  MacroRun r;
  int writes = r.tp.clipboard.writes;
  EXPECT_EQ(r.Run("Copy\nToUpper\n", "ab"), "AB");
  EXPECT_EQ(r.tp.clipboard.writes - writes, 2);
}

TEST(Interpreter, UnknownKeywordsAndTrailingSpacesAreSkipped) {
  MacroRun r;
  EXPECT_EQ(r.Run("Frobnicate 1 2\nToUpper  \nToUpper \n\n", "ab"), "AB");
  EXPECT_TRUE(r.tp.ui.shown.empty());
  EXPECT_EQ(r.m->doc().UndoStack().Count(), 1);  // only the clean line ran
}

TEST(Interpreter, OneUndoStepPerOperationLine) {
  MacroRun r;
  r.Run("ToUpper\nLineEdit 0 x\nInsertLine 1 y\n", "ab");
  EXPECT_EQ(r.ClipText(), "x\r\ny");
  r.m->doc().Undo();
  EXPECT_EQ(r.m->doc().Lines().ToVector(), std::vector<std::string>{"x"});
  r.m->doc().Undo();
  EXPECT_EQ(r.m->doc().Lines().ToVector(), std::vector<std::string>{"AB"});
}

TEST(Interpreter, IndexOutsideTheDocumentIsRefused) {
  MacroRun r;
  EXPECT_EQ(r.Run("LineEdit 5 x\nLineEdit -1 x\nInsertLine 9 y\nInsertLine 1 z\n", "a"), "a\r\nz");
}

TEST(Interpreter, MissingArgumentsReadAsZeroOrEmpty) {
  MacroRun r;
  EXPECT_EQ(r.Run("LineEdit\n", "a\r\nb"), "\r\nb");
}

TEST(Interpreter, LongMacroLineIsReadWhole) {
  MacroRun r;
  std::string text(5000, 'q');
  EXPECT_EQ(r.Run("LineEdit 0 " + text + "\n", "a"), text);
}

TEST(Interpreter, JoinAppendsFileLinesToDocumentLines) {
  MacroRun r;
  std::string f = r.dir.Path("j.txt");
  ASSERT_TRUE(r.tp.files->WriteAll(f, "1\r\n2\r\n3\r\n"));
  EXPECT_EQ(r.Run("Join " + f + "\n", "a\r\nb"), "a1\r\nb2\r\n3");
}

TEST(Interpreter, SaveWritesTheDocumentAndToFirstReadsItBack) {
  MacroRun r;
  std::string f = r.dir.Path("s.txt");
  EXPECT_EQ(r.Run("Save " + f + "\nToUpper\nToFirst\n", "ab\r\ncd"), "ab\r\ncd");
  EXPECT_EQ(*r.tp.files->ReadAll(f), "ab\r\ncd\r\n");
}

TEST(Interpreter, UnreadableMacroFileLeavesTheClipboardAlone) {
  MacroRun r;
  r.Clip("keep");
  EXPECT_FALSE(RunMacroFile(*r.m, r.dir.Path("none.qmc")));
  EXPECT_EQ(r.ClipText(), "keep");
  EXPECT_EQ(r.tp.clipboard.writes, 0);
  EXPECT_EQ(r.tp.ui.ShownIds(), std::vector<Txt>{Txt::CannotOpenFile2});
}

TEST(Interpreter, MacroOnDocumentNeitherLoadsNorStores) {
  MacroRun r;
  std::string mac = r.dir.Path("m.qmc");
  ASSERT_TRUE(r.tp.files->WriteAll(mac, "ToUpper\n"));
  r.Clip("clip");
  r.m->doc().SetText("file text\r\n");
  r.m->doc().SelectAll();
  ASSERT_TRUE(RunMacroOnDocument(*r.m, mac));
  EXPECT_EQ(r.m->doc().Lines().ToVector(), std::vector<std::string>{"FILE TEXT"});
  EXPECT_EQ(r.ClipText(), "clip");
}

TEST(Interpreter, SplitsMacroLinesAtAnyBreak) {
  EXPECT_EQ(SplitMacroLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitMacroLines("a\n\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
}

TEST(MacroMenu, AnEntryRunsItsMacroFileOnTheClipboard) {
  Harness h;
  std::string mac = h.dir.Path("up.qmc");
  ASSERT_TRUE(h.tp.files->WriteAll(mac, "ToUpper\r\n"));
  h.tp.settings.SetInt("DirMenu", "DirNo", 2);
  h.tp.settings.SetText("DirMenu", "Dir01", mac);
  h.Clip("ab");
  ASSERT_TRUE(h.m->Dispatch(32854));
  EXPECT_EQ(h.ClipText(), "AB");
  h.Clip("ab");
  h.m->Dispatch(32853);  // an entry without a file says so and leaves the clipboard
  EXPECT_EQ(h.ClipText(), "ab");
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::CannotOpenFile2});
  EXPECT_TRUE(h.m->IsBound(32882));
  EXPECT_FALSE(h.m->IsBound(32883));
}

}  // namespace
