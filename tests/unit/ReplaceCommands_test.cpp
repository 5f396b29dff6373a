// The replace family through the command frame: dialog, macro line, operation, message and
// store; and the interpreter's forms of each keyword, old ones included.
#include <gtest/gtest.h>

#include <functional>

#include "CommandHarness.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"
#include "ops/ReplaceDlg.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct Harness : CommandHarness {
  using CommandHarness::Clip;
  void Clip(std::u8string_view s) { tp.clipboard.text = sj(s); }
  std::string ClipUtf8() const { return tp.clipboard.text ? u8(*tp.clipboard.text) : "<none>"; }
  std::string StopAndRead() { return u8(CommandHarness::StopAndRead()); }
  void Macro(std::string_view sjisText) { RunMacroText(*m, sjisText); }
};

std::string U(std::u8string_view s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size()); }

using Fill = std::function<void(FakeDialog&)>;

// Sets text controls (UTF-8 here) and boxes.
Fill Texts(std::vector<std::pair<int, const char8_t*>> texts, std::vector<int> ticks = {}) {
  return [=](FakeDialog& d) {
    for (auto& [control, text] : texts) d.Set(control, sj(text));
    for (int t : ticks) d.Set(t, 1);
  };
}

struct CommandCase {
  const char* name;
  uint32_t id;
  Fill fill;
  const char8_t* in;
  const char8_t* out;
  std::string message;  // UTF-8
  const char8_t* line;  // the recorded macro line
};

class ReplaceCommand : public ::testing::TestWithParam<CommandCase> {};

// Each command changes the clipboard, says how much, records its line, and the recorded
// line replayed on the same text gives the same result.
TEST_P(ReplaceCommand, ChangesReportsRecordsAndReplaysAlike) {
  const CommandCase& c = GetParam();
  Harness h;
  h.Record();
  h.Clip(c.in);
  h.tp.ui.dialogScript = [&c](FakeDialog& d) {
    c.fill(d);
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(c.id));
  EXPECT_EQ(h.ClipUtf8(), U(c.out));
  ASSERT_EQ(h.tp.ui.shown.size(), 1u);
  EXPECT_EQ(h.tp.ui.shown[0].text, c.message);
  EXPECT_EQ(h.tp.ui.styles[0], std::make_pair(MsgButtons::Ok, MsgIcon::Information)) << "a count is a result";
  EXPECT_EQ(h.StopAndRead(), U(c.line) + "\r\n");
  h.Clip(c.in);
  h.Macro(sj(c.line));
  EXPECT_EQ(h.ClipUtf8(), U(c.out)) << "replayed";
}

constexpr int kSearch = CReplaceDlg::kSearch, kRepl = CReplaceDlg::kReplacement;
constexpr int kRegex = SearchBoxes::kRegex;

INSTANTIATE_TEST_SUITE_P(
    Commands, ReplaceCommand,
    ::testing::Values(
        CommandCase{"Plain", IdOf(Cmd::Replace), Texts({{kSearch, u8"a b"}, {kRepl, u8"x"}}), u8"a b a b", u8"x x",
                    "2個の置換を行いました", u8"Replace a\\sb x 0 0"},
        CommandCase{"EmptyReplacementRecordsDelStr", IdOf(Cmd::Replace), Texts({{kSearch, u8"a b"}}), u8"a bc", u8"c",
                    "1個の置換を行いました", u8"DelStr a\\sb 0 0"},
        CommandCase{"TypedBreakSplitsTheLine", IdOf(Cmd::Replace), Texts({{kSearch, u8","}, {kRepl, u8"\\n"}}), u8"a,b", u8"a\r\nb",
                    "1個の置換を行いました", u8"Replace , \\n 0 0"},
        CommandCase{"WidthBox", IdOf(Cmd::Replace), Texts({{kSearch, u8"ガ"}, {kRepl, u8"x"}}, {SearchBoxes::kZenhan}), u8"ｶﾞガ",
                    u8"xx", "2個の置換を行いました", u8"Replace ガ x 1 0"},
        CommandCase{"RegexCountsLines", IdOf(Cmd::Replace), Texts({{kSearch, u8"\\d+"}, {kRepl, u8"#"}}, {kRegex}),
                    u8"a1b22\r\nc", u8"a#b#\r\nc", "1行の置換を行いました", u8"Replace \\d+ # 0 1"},
        CommandCase{"RegexSpaceAndReferences", IdOf(Cmd::Replace), Texts({{kSearch, u8"(\\w) (\\w)"}, {kRepl, u8"$2 $1"}}, {kRegex}),
                    u8"x y", u8"y x", "1行の置換を行いました", u8"Replace (\\w)\\s(\\w) $2\\s$1 0 1"},
        CommandCase{"DelStr", IdOf(Cmd::DelStr), Texts({{CDelStrDlg::kSearch, u8"B"}}, {SearchBoxes::kUplow}), u8"abcb", u8"ac",
                    "2個の削除を行いました", u8"DelStr B 2 0"},
        CommandCase{"DelStrRegexWithASpace", IdOf(Cmd::DelStr), Texts({{CDelStrDlg::kSearch, u8"a b"}}, {kRegex}), u8"a b a\tb",
                    u8" a\tb", "1個の削除を行いました", u8"DelStr a\\x20b 0 1"},
        // An escaped space is the same space; the trail byte of ソ (0x83 0x5C) escapes nothing.
        CommandCase{"DelStrRegexEscapedSpace", IdOf(Cmd::DelStr), Texts({{CDelStrDlg::kSearch, u8"a\\ b"}}, {kRegex}), u8"xa by",
                    u8"xy", "1個の削除を行いました", u8"DelStr a\\x20b 0 1"},
        CommandCase{"RegexSpaceAfterATrailBackslash", IdOf(Cmd::Replace), Texts({{kSearch, u8"ソ b"}, {kRepl, u8"-"}}, {kRegex}),
                    u8"xソ by", u8"x-y", "1行の置換を行いました", u8"Replace ソ\\sb - 0 1"},
        CommandCase{"SuperReplaceSpaces", IdOf(Cmd::SuperReplace),
                    Texts({{CSReplaceDlg::kStart, u8"< "}, {CSReplaceDlg::kEnd, u8" >"}, {CSReplaceDlg::kAfter, u8"-"}}),
                    u8"a< b >c", u8"a-c", "1個の置換を行いました", u8"SuperReplace <\\s \\s> -"},
        CommandCase{"ReplaceDoubleEmptyTexts", IdOf(Cmd::ReplaceDouble),
                    Texts({{CReplaceDoubleDlg::kStartBefore, u8"("}, {CReplaceDoubleDlg::kEndBefore, u8")"}}),
                    u8"(a)(b)", u8"ab", "2個の置換を行いました", u8"ReplaceDouble ( \\b ) \\b \\b"}),
    [](const auto& info) { return info.param.name; });

TEST(ReplaceCommands, NothingFoundSaysSoRecordsAndStoresNothing) {
  Harness h;
  h.Record();
  h.Clip(u8"abc");
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    d.Set(CReplaceDlg::kSearch, "zz");
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(IdOf(Cmd::Replace)));
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::NotFound});
  EXPECT_EQ(h.tp.ui.styles[0], std::make_pair(MsgButtons::Ok, MsgIcon::Information)) << "finding nothing is a result";
  EXPECT_EQ(h.tp.clipboard.writes, 0);
  EXPECT_EQ(h.StopAndRead(), "DelStr zz 0 0\r\n");
}

TEST(ReplaceCommands, MalformedExpressionIsReportedAndNothingStored) {
  Harness h;
  h.Clip(u8"a(b");
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    d.Set(CReplaceDlg::kSearch, "(");
    d.Set(SearchBoxes::kRegex, 1);
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(IdOf(Cmd::Replace)));
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::RegexInvalid});
  EXPECT_EQ(h.tp.ui.styles[0], std::make_pair(MsgButtons::Ok, MsgIcon::Warning)) << "a failure warns";
  EXPECT_EQ(h.tp.clipboard.writes, 0);
}

TEST(ReplaceCommands, CancelRecordsStoresAndWritesNothing) {
  for (uint32_t id : {32783u, 32926u, 32827u, 32915u}) {
    Harness h;
    h.Record();
    h.Clip(u8"a");
    h.tp.settings.writeLog.clear();
    h.tp.ui.dialogScript = [](FakeDialog&) { return false; };
    ASSERT_TRUE(h.m->Dispatch(id));
    EXPECT_EQ(h.tp.clipboard.writes, 0) << id;
    EXPECT_TRUE(h.tp.settings.writeLog.empty()) << id;
    EXPECT_EQ(h.StopAndRead(), "") << id;
  }
}

TEST(ReplaceCommands, RefusedDoubleDialogStaysOpenUntilBothBeforeTextsAreSet) {
  Harness h;
  h.Clip(u8"(a)");
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    d.Set(CReplaceDoubleDlg::kStartBefore, "(");
    EXPECT_FALSE(d.Ok());
    d.Set(CReplaceDoubleDlg::kEndBefore, ")");
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(IdOf(Cmd::ReplaceDouble)));
  EXPECT_EQ(h.tp.ui.ShownIds(), (std::vector<Txt>{Txt::NoEndBefore, Txt::ReplacedCount}));
  EXPECT_EQ(h.ClipUtf8(), "a");
}

// ---------------------------------------------------------------- interpreter

struct FormCase {
  const char* name;
  std::string macro;  // Shift-JIS
  std::string in, out;
};

class ReplaceKeywords : public ::testing::TestWithParam<FormCase> {};

TEST_P(ReplaceKeywords, ReadEveryForm) {
  const FormCase& c = GetParam();
  Harness h;
  h.tp.clipboard.text = c.in;
  h.Macro(c.macro);
  EXPECT_EQ(h.tp.clipboard.text.value_or("<none>"), c.out);
  EXPECT_TRUE(h.tp.ui.shown.empty());  // a macro run shows no counts
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ReplaceKeywords,
    ::testing::Values(
        FormCase{"ThreeArguments", "Replace a\\sb x 0", "a b", "x"},
        FormCase{"OptionBits", sj(u8"Replace ａ x 3"), sj(u8"Ａa"), "xx"},
        FormCase{"TwoWithBareEmptyReplacement", "Replace a\\s  1", "a bc", "bc"},
        FormCase{"TwoUndecoded", "Replace \\s x", "a\\sb", "axb"},
        FormCase{"OneDeletes", "Replace b", "abc", "ac"},
        FormCase{"RegexOldEmptyReplacement", "Replace b+ \x01\x01 0 1", "abbc", "ac"},
        FormCase{"RegexIgnoringCase", "Replace B x 2 1", "abc", "axc"},
        FormCase{"SuperReplaceTwoUndecoded", "SuperReplace \\s \\s", "a\\sb\\sc", "ac"},
        // Empty search strings (only a macro can hold them) change nothing, and the run ends.
        FormCase{"EmptyReplace", "Replace \\b x 0 0\r\nReplace\r\nReplace  x 0 1", "ab", "ab"},
        FormCase{"EmptyOthers", "DelStr \\b 0 0\r\nSuperReplace \\b > x\r\nReplaceDouble \\b [ ) ]", "a>)", "a>)"}),
    [](const auto& info) { return info.param.name; });

TEST(ReplaceKeywords, MalformedExpressionIsReportedAndTheRunGoesOn) {
  Harness h;
  h.tp.clipboard.text = "a(b";
  h.Macro("Replace ( x 0 1\r\nReplace a y 0 0");
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::RegexInvalid});
  EXPECT_EQ(h.tp.clipboard.text.value_or("<none>"), "y(b");
}

}  // namespace
