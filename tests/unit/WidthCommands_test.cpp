// The width, case and kana commands through the command frame, the dialogs and the macro
// interpreter.
#include <gtest/gtest.h>

#include "CommandHarness.h"
#include "conv/WidthDlg.h"
#include "conv/WidthOps.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct Harness : CommandHarness {
  using CommandHarness::Clip;
  void Clip(std::u8string_view s) { tp.clipboard.text = sj(s); }
  std::string ClipUtf8() const { return tp.clipboard.text ? u8(*tp.clipboard.text) : "<none>"; }
  void Macro(std::u8string_view text) { RunMacroText(*m, sj(text)); }
};

std::string U(std::u8string_view s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size()); }

// ---------------------------------------------------------------- plain commands

struct PlainCase {
  uint32_t id;
  Txt confirm;
  const char* macroLine;
  const char8_t* in;
  const char8_t* out;
};

class WidthPlain : public ::testing::TestWithParam<PlainCase> {};

TEST_P(WidthPlain, AsksRecordsConvertsAndStores) {
  const PlainCase& c = GetParam();
  Harness h;
  h.tp.settings.SetInt("System", "Verify", 1);
  h.Record();
  h.Clip(c.in);
  ASSERT_TRUE(h.m->Dispatch(c.id));
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{c.confirm});
  EXPECT_EQ(h.ClipUtf8(), U(c.out));
  EXPECT_EQ(h.StopAndRead(), std::string(c.macroLine) + "\r\n");
  // One undo step: undo brings the clipboard text back.
  h.m->Dispatch(57643);
  EXPECT_EQ(h.ClipUtf8(), U(c.in));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, WidthPlain,
    ::testing::Values(PlainCase{32829, Txt::CfZenToHan, "ZenToHan", u8"がＡ１！\r\nあ", u8"ｶﾞA1!\r\nｱ"},
                      PlainCase{32817, Txt::CfZenToHanAlpha, "ZenToHan2 1", u8"がＡ１！", u8"がA１！"},
                      PlainCase{32820, Txt::CfZenToHanNum, "ZenToHan2 2", u8"がＡ１！", u8"がＡ1！"},
                      PlainCase{32821, Txt::CfZenToHanKana, "ZenToHan2 3", u8"ガがＡ！", u8"ｶﾞがＡ!"},
                      PlainCase{32830, Txt::CfHanToZen, "HanToZen", u8"ｶﾞa1!\r\n", u8"ガａ１！\r\n"},
                      PlainCase{32818, Txt::CfHanToZenAlpha, "HanToZen2 1", u8"ｶﾞa1!", u8"ｶﾞａ1!"},
                      PlainCase{32819, Txt::CfHanToZenNum, "HanToZen2 2", u8"ｶﾞa1!", u8"ｶﾞa１!"},
                      PlainCase{32816, Txt::CfHanToZenKana, "HanToZen2 3", u8"ｶﾞa1!", u8"ガa1!"},
                      PlainCase{32777, Txt::CfToUpper, "ToUpper", u8"abｃ", u8"ABＣ"},
                      PlainCase{32778, Txt::CfToLower, "ToLower", u8"ABＣ", u8"abｃ"},
                      PlainCase{32779, Txt::CfToZenUpper, "ToZenUpper", u8"abｃα", u8"ABＣΑ"},
                      PlainCase{32780, Txt::CfToZenLower, "ToZenLower", u8"ABＣΑ", u8"abｃα"},
                      PlainCase{32911, Txt::CfToLineUpper, "ToLineUpper", u8"end. next\r\nline", u8"End. Next\r\nline"},
                      PlainCase{32904, Txt::CfToTopUpper, "ToTopUpper", u8"it's a pen.ok", u8"It's A Pen.Ok"},
                      PlainCase{32912, Txt::CfChangeUpperLower, "ChangeUpperLower", u8"aBc１", u8"AbC１"},
                      PlainCase{32781, Txt::CfHiraToKana, "HiraToKana", u8"ひらがなカナ", u8"ヒラガナカナ"},
                      PlainCase{32782, Txt::CfKanaToHira, "KanaToHira", u8"カタカナヴ", u8"かたかなヴ"}),
    [](const auto& info) { return std::to_string(info.param.id); });

TEST(WidthCommands, OnlyTargetLinesChange) {
  Harness h;
  h.Clip(u8"ａ\r\nｂ\r\nｃ");
  h.Macro(u8"LineSelect 2 1 3\r\nZenToHan");
  EXPECT_EQ(h.ClipUtf8(), "a\r\nｂ\r\nc");
}

TEST(WidthCommands, LineUpperFlagSkipsNonTargetLines) {
  Harness h;
  // Line 2 ends with a full stop but is no target: line 3 does not start a sentence.
  h.Clip(u8"one\r\ntwo.\r\nthree.\r\nfour\r\nsix");
  h.Macro(u8"LineSelect 2 1 5\r\nToLineUpper");
  EXPECT_EQ(h.ClipUtf8(), "One\r\ntwo.\r\nthree.\r\nfour\r\nSix");
}

// ---------------------------------------------------------------- dialogs

TEST(WidthDialogs, ZenToHanBoxesBuildTheFlagByteAndAreStored) {
  Harness h;
  h.Record();
  h.Clip(u8"がアあ１Ａ！　。〇");
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    for (int c : {kWidthDlgHira, kWidthDlgKata, kWidthDlgNum, kWidthDlgAlpha, kWidthDlgOther, kWidthDlgAsciiSymbol,
                  kWidthDlgWasu})
      EXPECT_EQ(d.GetInt(c), 0) << c;
    d.Set(kWidthDlgHira, 1);
    d.Set(kWidthDlgAsciiSymbol, 1);
    d.Set(kWidthDlgWasu, 1);
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(32846));
  EXPECT_EQ(h.tp.ui.dialogsRun, std::vector<int>{CZentohanDlg::kResource});
  EXPECT_TRUE(h.tp.ui.shown.empty());  // the dialog takes the place of the question
  EXPECT_EQ(h.ClipUtf8(), "ｶﾞアｱ１Ａ! 。0");
  EXPECT_EQ(h.tp.settings.GetInt("ZenToHan", "bHira", -1), 1);
  EXPECT_EQ(h.tp.settings.GetInt("ZenToHan", "bWasu", -1), 1);
  EXPECT_EQ(h.tp.settings.GetInt("ZenToHan", "bKata", -1), 0);
  for (const std::string& k : h.tp.settings.writeLog) EXPECT_EQ(k.rfind("ZenToHan/", 0), 0u) << k;
  EXPECT_EQ(h.tp.settings.writeLog.size(), 6u);  // the "英数記号(&M)" box is not stored

  // Opened again: the stored boxes come back ticked, the ASCII-symbol box does not.
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    EXPECT_EQ(d.GetInt(kWidthDlgHira), 1);
    EXPECT_EQ(d.GetInt(kWidthDlgWasu), 1);
    EXPECT_EQ(d.GetInt(kWidthDlgAsciiSymbol), 0);
    d.Set(kWidthDlgWasu, 0);
    d.Set(kWidthDlgKata, 1);
    return d.Ok();
  };
  h.Clip(u8"ガ");
  h.m->Dispatch(32846);
  EXPECT_EQ(h.StopAndRead(), "ZenToHanSw 97\r\nZenToHanSw 3\r\n");
}

TEST(WidthDialogs, HanToZenBoxesBuildTheFlagByteAndAreStored) {
  Harness h;
  h.tp.settings.SetInt("HanToZen", "bNum", 1);
  h.tp.settings.writeLog.clear();
  h.Record();
  h.Clip(u8"ｶﾞa1! ");
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    EXPECT_EQ(d.GetInt(kWidthDlgNum), 1);
    EXPECT_EQ(d.Find(kWidthDlgHira), nullptr);  // no hiragana box in this direction
    EXPECT_EQ(d.Find(kWidthDlgWasu), nullptr);
    d.Set(kWidthDlgKata, 1);
    d.Set(kWidthDlgAsciiSymbol, 1);
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(32847));
  EXPECT_EQ(h.tp.ui.dialogsRun, std::vector<int>{CHantozenDlg::kResource});
  EXPECT_EQ(h.ClipUtf8(), "ガa１！　");
  EXPECT_EQ(h.tp.settings.writeLog,
            (std::vector<std::string>{"HanToZen/bKata", "HanToZen/bNum", "HanToZen/bAlpha", "HanToZen/bOther"}));
  EXPECT_EQ(h.StopAndRead(), "HanToZenSw 38\r\n");
}

TEST(WidthDialogs, CancelRecordsStoresAndWritesNothing) {
  for (uint32_t id : {32846u, 32847u}) {
    Harness h;
    h.Record();
    h.Clip(u8"ａ");
    h.tp.ui.dialogScript = [](FakeDialog& d) {
      d.Set(kWidthDlgKata, 1);
      return false;
    };
    ASSERT_TRUE(h.m->Dispatch(id));
    EXPECT_EQ(h.tp.clipboard.writes, 0) << id;
    EXPECT_TRUE(h.tp.settings.writeLog.empty()) << id;
    EXPECT_EQ(h.StopAndRead(), "") << id;
  }
}

// ---------------------------------------------------------------- macro lines

struct MacroCase {
  const char* name;
  const char8_t* macro;
  const char8_t* in;
  const char8_t* out;
};

class WidthMacro : public ::testing::TestWithParam<MacroCase> {};

TEST_P(WidthMacro, Replays) {
  const MacroCase& c = GetParam();
  Harness h;
  h.Clip(c.in);
  h.Macro(c.macro);
  EXPECT_EQ(h.ClipUtf8(), U(c.out));
  EXPECT_TRUE(h.tp.ui.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WidthMacro,
    ::testing::Values(MacroCase{"ZenToHan", u8"ZenToHan", u8"ガＡ", u8"ｶﾞA"},
                      MacroCase{"KeywordsAreCaseBlind", u8"zentohan2 3\r\nTOUPPER", u8"ガａa", u8"ｶﾞＡA"},
                      MacroCase{"HanToZen2Digits", u8"HanToZen2 2", u8"a1", u8"a１"},
                      MacroCase{"KindsBeyondTheMenuLeaveTheText", u8"ZenToHan2 4\r\nHanToZen2 9\r\nHanToZen2 -1",
                                u8"ガａa1", u8"ガａa1"},
                      MacroCase{"ZenToHan2ZeroIsAll", u8"ZenToHan2 0", u8"ガａ", u8"ｶﾞa"},
                      MacroCase{"MissingKindConvertsAll", u8"ZenToHan2", u8"ガａ", u8"ｶﾞa"},
                      MacroCase{"ZenToHanSwBits", u8"ZenToHanSw 32", u8"Ａ１！　", u8"Ａ１! "},
                      MacroCase{"HanToZenSwBits", u8"HanToZenSw 2", u8"ｶﾞa", u8"ガa"},
                      MacroCase{"ChangeUpperLowerReplays", u8"ChangeUpperLower", u8"aB", u8"Ab"},
                      MacroCase{"CaseAndKana", u8"ToLower\r\nKanaToHira\r\nToTopUpper", u8"HELLO WORLD カナ",
                                u8"Hello World かな"},
                      MacroCase{"RoundTrip", u8"HanToZen\r\nZenToHan", u8"ｶﾞｷﾞa1 !~", u8"ｶﾞｷﾞa1 !~"}),
    [](const auto& info) { return info.param.name; });

TEST(WidthMacro, KindBeyondTheMenuAddsNoUndoStep) {
  Harness h;
  h.Clip(u8"ａ");
  h.Macro(u8"ZenToHan\r\nZenToHan2 7");
  h.m->Dispatch(57643);  // undoes the ZenToHan line, not the line that did nothing
  EXPECT_EQ(h.ClipUtf8(), "ａ");
}

// The operations on a document directly: empty lines and the modified mark.
TEST(WidthOps, EmptyLinesStayAndTheDocumentIsMarkedModified) {
  TestPlatform tp;
  CQuenlarkDoc doc(tp.platform);
  tp.clipboard.text = "\r\n" + sj(u8"ａ") + "\r\n\r\n";
  ASSERT_TRUE(doc.NewFromClipboard());
  ZenToHan(doc, 0);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.Lines().ToVector(), (std::vector<std::string>{"", "a", ""}));
  EXPECT_EQ(tp.ui.waits, 1);
  EXPECT_EQ(tp.ui.waitDepth, 0);
}

}  // namespace
