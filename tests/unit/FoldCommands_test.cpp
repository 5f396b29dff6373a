#include <gtest/gtest.h>

#include <climits>

#include "CommandHarness.h"
#include "app/SetDlg.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"
#include "ops/FoldDialogs.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct FoldHarness : ::testing::Test, CommandHarness {
  // Runs macro text on `clip` and returns the clipboard afterwards.
  std::string Macro(const std::string& text, const std::string& clip) {
    tp.clipboard.text = clip;
    RunMacroText(*m, text);
    return ClipText();
  }
  // Chooses a menu command whose dialog `fill` answers with OK.
  void Menu(uint32_t id, const std::string& clip, std::function<void(FakeDialog&)> fill) {
    tp.clipboard.text = clip;
    tp.ui.dialogScript = [fill](FakeDialog& d) {
      fill(d);
      return d.Ok();
    };
    ASSERT_TRUE(m->Dispatch(id));
  }
};

// ---- every keyword through the interpreter ----

struct KeywordCase {
  const char* name;
  std::string macro, clip, want;
};

class FoldKeywords : public FoldHarness, public ::testing::WithParamInterface<KeywordCase> {};

TEST_P(FoldKeywords, RunFromAMacroLine) {
  const KeywordCase& c = GetParam();
  EXPECT_EQ(Macro(c.macro, c.clip), c.want);
  EXPECT_TRUE(tp.ui.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FoldKeywords,
    ::testing::Values(KeywordCase{"TurnChange", "TurnChange 3", "abcdefg\r\nxy", "abc\r\ndef\r\ng\r\nxy"},
                      KeywordCase{"IndTurnChange", "IndTurnChange 5", "  abcdefgh", "  abc\r\n  defgh"},
                      KeywordCase{"TurnIf", "TurnIf ,\\s 0", "a, b, c", "a, \r\nb, \r\nc"},
                      KeywordCase{"TurnIfDropping", "TurnIf , 1", "a,b", "a\r\nb"},
                      KeywordCase{"KetaChange", "KetaChange 3", "abcdef\r\nab\r\n", "abc\r\nab \r\n"},
                      KeywordCase{"KetaChangeZeroEmptiesTheLines", "KetaChange 0", "abcdef\r\nab\r\n", "\r\n\r\n"},
                      KeywordCase{"IndentChange", "IndentChange 2", "a\r\n\r\nb", "  a\r\n\r\n  b"},
                      KeywordCase{"OverwriteString", "OverwriteString 2 X\\sY", "abcd", "aX Y"},
                      KeywordCase{"RenoStringCutsTo3Digits", "RenoString 1 3 1 998 0", "a\r\nb\r\nc",
                                  "998\r\n999\r\n100"},
                      KeywordCase{"RenoStringBlankFill", "RenoString 1 3 1 1 1", "a\r\nb\r\nc", "  1\r\n  2\r\n  3"},
                      KeywordCase{"RenoStringAcrossNonTargets", "LineSelect 2 1 5\nRenoString 1 2 1 1 0",
                                  "a\r\nb\r\nc\r\nd\r\ne", "01\r\nb\r\n02\r\nd\r\n03"},
                      KeywordCase{"InsertStringDecodesLineBreaks", "InsertString 1 x\\ny", "abc", "x\r\nyabc"},
                      KeywordCase{"InsertedLinesAreTargets", "LineSelect 1 1 1\nInsertString 1 x\\ny\nStrCat !",
                                  "abc\r\ndef", "x!\r\nyabc!\r\ndef"},
                      KeywordCase{"InsertStringPads", "InsertString 3 Z", "a", "a Z"},
                      KeywordCase{"DeletePos", "DeletePos 2 4", "abcdef\r\nab", "aef\r\na"},
                      KeywordCase{"DeletePosFirstAfterLast", "DeletePos 4 2", "abcdef", "abcdef"},
                      KeywordCase{"SpaceInsert", "SpaceInsert 3 2 0", "abcd", "ab  cd"},
                      KeywordCase{"SpaceInsertOverwritesAtLeastOneBlank", "SpaceInsert 1 0 1", "xbc", " bc"},
                      KeywordCase{"StrCatDecodesAndReachesEmptyLines", "StrCat \\s!", "a\r\n\r\nb", "a !\r\n !\r\nb !"},
                      KeywordCase{"LineDelete", "LineSelect 1 2 3\nLineDelete", "a\r\nb\r\nc\r\nd", "a\r\nd"},
                      KeywordCase{"InsertEndLine", "InsertEndLine a\\sb", "x\r\n", "x\r\na b\r\n"},
                      KeywordCase{"LeftShiftLine", "DeletePos 1 1", "ab\r\ncd", "b\r\nd"},
                      KeywordCase{"MissingWidthFoldsNothing", "TurnChange", "abcdef", "abcdef"},
                      KeywordCase{"MissingArgumentsChangeNothing", "DeletePos", "abc", "abc"}),
    [](const auto& info) { return info.param.name; });

TEST_F(FoldHarness, KeywordFoldUsesTheRulesOfTheApplication) {
  app.kinsoku.first = sj(u8"。");
  app.kinsoku.hanging = true;
  EXPECT_EQ(Macro("TurnChange 2", sj(u8"ab。cd")), sj(u8"ab。\r\ncd"));
  app.kinsoku.hanging = false;
  EXPECT_EQ(Macro("TurnChange 2", sj(u8"ab。cd")), sj(u8"ab\r\n。\r\ncd"));
}

TEST_F(FoldHarness, SettingsButtonEditsTheRulesTheFoldsUse) {
  tp.ui.dialogScript = [](FakeDialog& d) {
    if (d.model().ResourceId() != CKinsokuDlg::kResource) {
      d.Press(CSetDlg::kKinsoku);
      return false;  // the settings dialog itself is cancelled
    }
    d.Set(CKinsokuDlg::kHanging, 1);
    d.Set(CKinsokuDlg::kFirst, sj(u8"。"));
    return d.Ok();
  };
  ASSERT_TRUE(m->Dispatch(32806));
  EXPECT_EQ(tp.ui.dialogsRun.size(), 2u);
  EXPECT_TRUE(app.kinsoku.hanging);
  EXPECT_EQ(Macro("TurnChange 2", sj(u8"ab。cd")), sj(u8"ab。\r\ncd"));
}

TEST_F(FoldHarness, AbsurdWidthFromAMacroIsRefusedWithAMessage) {
  EXPECT_EQ(Macro("KetaChange 2000000000\nStrCat !", "abc"), "abc!");
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::FoldTooLarge});
}

// ---- menu commands through the frame ----

TEST_F(FoldHarness, FoldMenuAsksTheWidthRecordsAndStores) {
  tp.settings.SetInt("System", "Verify", 1);  // a dialog command asks no confirmation
  Record();
  Menu(32784, "abcdefg", [](FakeDialog& d) {
    EXPECT_EQ(d.GetInt(CInputNoDlg::kValue), 70);
    d.Set(CInputNoDlg::kValue, 3);
  });
  EXPECT_EQ(ClipText(), "abc\r\ndef\r\ng");
  EXPECT_EQ(tp.settings.GetInt("Turn", "No", 0), 3);
  EXPECT_EQ(m->doc().width, 3);
  EXPECT_TRUE(tp.ui.shown.empty());
  Menu(32801, "  abcdefgh", [](FakeDialog& d) {
    EXPECT_EQ(d.GetInt(CInputNoDlg::kValue), 3);  // the last fold width is offered again
    d.Set(CInputNoDlg::kValue, 5);
  });
  EXPECT_EQ(ClipText(), "  abc\r\n  defgh");
  EXPECT_EQ(StopAndRead(), "TurnChange 3\r\nIndTurnChange 5\r\n");
}

TEST_F(FoldHarness, CancelLeavesClipboardSettingsAndMacroAlone) {
  Record();
  tp.clipboard.text = "abcdefg";
  tp.ui.dialogScript = nullptr;
  for (uint32_t id : {32784u, 32801u, 32840u, 32772u, 32773u, 32770u, 32771u, 32775u, 32776u, 32839u, 32825u, 32931u})
    ASSERT_TRUE(m->Dispatch(id)) << id;
  EXPECT_EQ(ClipText(), "abcdefg");
  EXPECT_EQ(tp.clipboard.writes, 0);
  EXPECT_EQ(StopAndRead(), "");
  for (const std::string& w : tp.settings.writeLog) EXPECT_EQ(w, "LineSelect/RegExp") << w;
}

TEST_F(FoldHarness, KetaAndIndentKeepTheirOwnWidths) {
  Menu(32772, "abcdef", [](FakeDialog& d) { d.Set(CInputNoDlg::kValue, 4); });
  EXPECT_EQ(ClipText(), "abcd");
  Menu(32773, "ab", [](FakeDialog& d) {
    EXPECT_EQ(d.GetInt(CInputNoDlg::kValue), 70);  // not the cut's width
    d.Set(CInputNoDlg::kValue, 2);
  });
  EXPECT_EQ(ClipText(), "  ab");
  EXPECT_EQ(tp.settings.GetInt("Textketa", "No", 0), 4);
  EXPECT_EQ(tp.settings.GetInt("TextIndent", "No", 0), 2);
  EXPECT_FALSE(tp.settings.Has("Turn", "No"));
}

TEST_F(FoldHarness, ShiftsRecordTheirFixedLinesWithoutAsking) {
  tp.settings.SetInt("System", "Verify", 1);
  Record();
  tp.clipboard.text = "ab\r\ncd";
  ASSERT_TRUE(m->Dispatch(32843));
  EXPECT_EQ(ClipText(), " ab\r\n cd");
  ASSERT_TRUE(m->Dispatch(32842));
  ASSERT_TRUE(m->Dispatch(32842));
  EXPECT_EQ(ClipText(), "b\r\nd");
  EXPECT_TRUE(tp.ui.shown.empty());
  EXPECT_EQ(StopAndRead(), "SpaceInsert 1 1 0\r\nDeletePos 1 1\r\nDeletePos 1 1\r\n");
}

TEST_F(FoldHarness, LineDeleteAsksWhenVerifyIsOn) {
  tp.settings.SetInt("System", "Verify", 1);
  tp.clipboard.text = "a\r\nb";
  tp.ui.answers.push_back(Answer::Cancel);
  ASSERT_TRUE(m->Dispatch(32824));
  EXPECT_EQ(ClipText(), "a\r\nb");
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::CfLineDelete});
  ASSERT_TRUE(m->Dispatch(32824));
  EXPECT_EQ(ClipText(), "");
}

TEST_F(FoldHarness, TurnIfMenuTakesTheTextAsTypedAndSelectsEveryLine) {
  Record();
  Menu(32840, "a b c", [](FakeDialog& d) {
    d.Set(CTurnIfDlg::kText, " ");
    d.Set(CTurnIfDlg::kReplace, 1);
  });
  EXPECT_EQ(ClipText(), "a\r\nb\r\nc");
  EXPECT_EQ(m->doc().rangeEnd, 3);
  EXPECT_EQ(tp.settings.GetText("TurnIf", "TurnStr", ""), " ");
  EXPECT_EQ(StopAndRead(), "TurnIf \\s 1\r\n");
}

// What a dialog command does, and what its recorded line does when replayed, must agree.
struct ReplayCase {
  const char* name;
  uint32_t id;
  std::function<void(FakeDialog&)> fill;
  std::string clip, want, line;
};

class MenuAndReplay : public FoldHarness, public ::testing::WithParamInterface<ReplayCase> {};

TEST_P(MenuAndReplay, RecordedLineRepeatsTheCommand) {
  const ReplayCase& c = GetParam();
  Record();
  Menu(c.id, c.clip, c.fill);
  EXPECT_EQ(ClipText(), c.want);
  std::string recorded = StopAndRead();
  EXPECT_EQ(recorded, c.line + "\r\n");
  EXPECT_EQ(Macro(recorded, c.clip), c.want);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MenuAndReplay,
    ::testing::Values(ReplayCase{"Overwrite", 32770,
                                 [](FakeDialog& d) {
                                   d.Set(CUstrDlg::kColumn, 2);
                                   d.Set(CUstrDlg::kText, "X Y");
                                 },
                                 "abcdef", "aX Yef", "OverwriteString 2 X\\sY"},
                      ReplayCase{"Reno", 32771,
                                 [](FakeDialog& d) {
                                   d.Set(CRenoDlg::kDigits, 2);
                                   d.Set(CRenoDlg::kStart, 9);
                                   d.Set(CRenoDlg::kIncrement, 2);
                                 },
                                 "a\r\nb", "09\r\n11", "RenoString 2 2 1 9 0"},
                      ReplayCase{"InsertWithLineBreak", 32775, [](FakeDialog& d) { d.Set(CInsertDlg::kText, "x\\ny"); },
                                 "abc", "x\r\nyabc", "InsertString 1 x\\ny"},
                      ReplayCase{"Delpos", 32776,
                                 [](FakeDialog& d) {
                                   d.Set(CDelposDlg::kFirst, 2);
                                   d.Set(CDelposDlg::kLast, 4);
                                 },
                                 "abcdef", "aef", "DeletePos 2 4"},
                      ReplayCase{"SpaceInsertOverwrite", 32839,
                                 [](FakeDialog& d) {
                                   d.Set(CSpaceInsDlg::kColumn, 2);
                                   d.Set(CSpaceInsDlg::kCount, 2);
                                   d.Set(CSpaceInsDlg::kOverwrite, 1);
                                 },
                                 "abcd", "a  d", "SpaceInsert 2 2 1"},
                      ReplayCase{"StrCat", 32825, [](FakeDialog& d) { d.Set(CInputDlg::kText, "; x"); }, "a\r\nb",
                                 "a; x\r\nb; x", "StrCat ;\\sx"},
                      ReplayCase{"InsertEndLine", 32931, [](FakeDialog& d) { d.Set(CLineEditDlg::kText, "new line"); },
                                 "a", "a\r\nnew line", "InsertEndLine new\\sline"},
                      ReplayCase{"OverwriteTypedBackslashes", 32770,
                                 [](FakeDialog& d) {
                                   d.Set(CUstrDlg::kColumn, 1);
                                   d.Set(CUstrDlg::kText, "C:\\n \\b");
                                 },
                                 "ab", "C:\\n \\b", "OverwriteString 1 C:\\\\n\\s\\\\b"},
                      ReplayCase{"StrCatTypedBackslash", 32825, [](FakeDialog& d) { d.Set(CInputDlg::kText, "\\t"); },
                                 "a", "a\\t", "StrCat \\\\t"},
                      ReplayCase{"StrCatTrailByte5C", 32825,
                                 [](FakeDialog& d) { d.Set(CInputDlg::kText, sj(u8"ソn")); }, "a", "a" + sj(u8"ソn"),
                                 "StrCat " + sj(u8"ソn")},
                      ReplayCase{"TurnIfTypedBackslash", 32840, [](FakeDialog& d) { d.Set(CTurnIfDlg::kText, "\\n"); },
                                 "a\\nb", "a\\n\r\nb", "TurnIf \\\\n 0"},
                      ReplayCase{"InsertEndLineEmpty", 32931, [](FakeDialog& d) { d.Set(CLineEditDlg::kText, ""); },
                                 "a\r\n", "a\r\n\r\n", "InsertEndLine \\b"},
                      ReplayCase{"Keta", 32772, [](FakeDialog& d) { d.Set(CInputNoDlg::kValue, 2); },
                                 sj(u8"aあbc\r\nb"), "a\r\nb ", "KetaChange 2"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
