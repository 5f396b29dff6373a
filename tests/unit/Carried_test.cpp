// Characters Shift-JIS cannot hold, carried through commands under user-defined codes: the
// mapping itself, and every command on a clipboard whose Unicode text holds them.
#include <gtest/gtest.h>

#include <string>

#include "CommandHarness.h"
#include "conv/Carried.h"
#include "conv/Cp932.h"
#include "macro/Commands.h"
#include "macro/Interpreter.h"
#include "macro/Keywords.h"
#include "ops/ReplaceDlg.h"

using namespace qlk;
using namespace qlk::test;

namespace {

std::u16string W(std::u8string_view s) {
  return Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(s.data()), s.size()));
}
std::string B(std::u8string_view s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size()); }

const std::u16string kEmoji = W(u8"😀");
const std::u16string kPrivate = u"\uE000";  // code page 932's 0xF040

// ---------------------------------------------------------------- the mapping

struct MapCase {
  const char* name;
  std::u16string text;
  size_t carried;      // distinct characters given codes
  std::string sjis;    // the Shift-JIS text
};

class CarriedMapping : public ::testing::TestWithParam<MapCase> {};

TEST_P(CarriedMapping, GivesEachDistinctCharacterOneCodeAndReadsBackExactly) {
  const MapCase& c = GetParam();
  CarriedChars map;
  bool lost = true;
  const std::string sjis = map.ToSjis(CodePage(), c.text, &lost);
  EXPECT_FALSE(lost);
  EXPECT_EQ(sjis, c.sjis);
  EXPECT_EQ(map.size(), c.carried);
  EXPECT_EQ(map.ToUtf16(CodePage(), sjis), c.text);
  EXPECT_EQ(map.ToUtf8(CodePage(), sjis), Utf16ToUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CarriedMapping,
    ::testing::Values(
        MapCase{"PlainTextNeedsNoCode", W(u8"aあ"), 0, "a\x82\xA0"},
        MapCase{"SurrogatePairIsOneCharacter", W(u8"a😀b"), 1, "a\xF0\x40" "b"},
        MapCase{"SameCharacterSameCode", W(u8"😀x😀"), 1, "\xF0\x40x\xF0\x40"},
        MapCase{"DistinctCharactersDistinctCodes", W(u8"😀𠮷é한"), 4, "\xF0\x40\xF0\x41\xF0\x42\xF0\x43"},
        MapCase{"BaseWithCombiningMarksIsOne", W(u8"e\u0301\u0323か\u3099"), 2, "\xF0\x40\xF0\x41"},
        MapCase{"FlagAndJoinedEmojiAreOneEach", W(u8"🇯🇵👨‍👩‍👧1️⃣"), 3, "\xF0\x40\xF0\x41\xF0\x42"},
        // The text's own user-defined characters keep their codes; the next free one is taken.
        MapCase{"OwnUserDefinedCharactersLeftAlone", kPrivate + kEmoji + u"\uE001" + kEmoji, 1,
                "\xF0\x40\xF0\x42\xF0\x41\xF0\x42"}),
    [](const auto& info) { return info.param.name; });

// Every code of the area serves once; the character after the last is lost, and said so.
TEST(CarriedMapping, RunningOutOfCodesLosesOnlyTheCharactersBeyond) {
  std::u16string text = kPrivate;  // one code the text holds itself
  for (char16_t u = 0xAC00; u < 0xAC00 + CarriedChars::kCapacity; ++u) text += u;  // Hangul
  CarriedChars map;
  bool lost = false;
  const std::string sjis = map.ToSjis(CodePage(), text, &lost);
  EXPECT_TRUE(lost);
  EXPECT_EQ(map.size(), CarriedChars::kCapacity - 1);
  EXPECT_EQ(sjis.back(), '?');
  EXPECT_EQ(map.ToUtf16(CodePage(), sjis), text.substr(0, text.size() - 1) + u"?");
  for (size_t i = 0; i + 1 < sjis.size(); i += 2) {
    const uint16_t code = UserDefinedAt(sjis, i);
    ASSERT_TRUE(code >= CarriedChars::kFirst && code <= CarriedChars::kLast) << i;
  }
  text.pop_back();
  CarriedChars fits;
  fits.ToSjis(CodePage(), text, &lost);
  EXPECT_FALSE(lost) << "as many characters as free codes";
}

TEST(CarriedMapping, DroppedTurnsOnlyCarriedCodesIntoQuestionMarks) {
  CarriedChars map;
  const std::string sjis = map.ToSjis(CodePage(), kPrivate + kEmoji + u"a");
  EXPECT_TRUE(map.Occurs(sjis));
  EXPECT_EQ(map.Dropped(sjis), "\xF0\x40?a");
  EXPECT_FALSE(map.Occurs(map.Dropped(sjis)));
}

// ---------------------------------------------------------------- commands

struct Harness : CommandHarness {
  void Hold(const std::u16string& w) { tp.clipboard.HoldUnicode(w); }
  const std::u16string& Wide() const { return tp.clipboard.wide; }
  std::u16string Run(uint32_t id, const std::u16string& in) {
    Hold(in);
    m->Dispatch(id);
    return Wide();
  }
  std::u16string Macro(std::string_view sjisLines, const std::u16string& in) {
    Hold(in);
    RunMacroText(*m, sjisLines);
    return Wide();
  }
};

std::u16string Swap(std::u16string s, const std::u16string& from, const std::u16string& to) {
  for (size_t p = s.find(from); p != std::u16string::npos; p = s.find(from, p + to.size())) s.replace(p, from.size(), to);
  return s;
}

// A line with an emoji gives what the same line with a user-defined character in its place
// gives, the emoji back where that character ends up: the command took it as one double-byte
// character of two columns. Commands whose result is other bytes are checked on their own.
const std::u16string kLine = W(u8"ｶﾞ ａｂｃ Hello あいう 123 ｶﾞ\tx  ") + kPrivate + W(u8"Ab ｱ、。\r\nz y\r\n");

bool CarriesAsItIs(Kw k) {
  return k != Kw::SjisToUtf8 && k != Kw::MbcsToUnicode && k != Kw::SjisToUrl && k != Kw::SjisToMime &&
         !KeywordOf(k).noCarry;
}

TEST(CarriedCommands, EveryPlainCommandKeepsTheEmojiInPlace) {
  int checked = 0;
  for (const CommandDef& c : AllCommands()) {
    if (c.frame != Frame::Plain || !CarriesAsItIs(c.kw)) continue;
    Harness ref, h;
    const std::u16string want = Swap(ref.Run(c.id, kLine), kPrivate, kEmoji);
    EXPECT_EQ(h.Run(c.id, Swap(kLine, kPrivate, kEmoji)), want) << c.keyword << " " << c.fixedArgs;
    EXPECT_TRUE(h.tp.ui.shown.empty()) << c.keyword << ": nothing is lost, nothing asked";
    ++checked;
  }
  EXPECT_GT(checked, 40);
}

// The families with parameters, as macro lines run from the menu: one load, every line, one store.
TEST(CarriedCommands, ParameterFamiliesCountTheEmojiAsTwoColumns) {
  const char* lines[] = {
      "TurnChange 6",          "KetaChange 5",       "IndentChange 3",  "InsertString 3 [",
      "OverwriteString 2 #",   "DeletePos 2 3",      "RenoString 1 2 1 1 1", "Replace l L 0 0",
      "Replace \\s+ _ 0 1",    "SpaceTab 4",         "TabSpace 4",      "Sort1",
      "ZenToHan\r\nReverse\r\nHanToZen",            "SpToCsv 1 3",     "InsertEndLine end",
  };
  for (const char* l : lines) {
    Harness ref, h;
    const std::u16string want = Swap(ref.Macro(l, kLine), kPrivate, kEmoji);
    EXPECT_EQ(h.Macro(l, Swap(kLine, kPrivate, kEmoji)), want) << l;
  }
}

TEST(CarriedCommands, FoldingCountsAnEmojiAsTwoColumns) {
  Harness h;
  EXPECT_EQ(h.Macro("TurnChange 4", kEmoji + u"abcd"), kEmoji + u"ab\r\ncd");
  EXPECT_EQ(h.Macro("KetaChange 3", kEmoji + u"abcd"), kEmoji + u"a");
}

TEST(CarriedCommands, UndoAndRedoBringTheCarriedCharactersBack) {
  Harness h;
  const std::u16string in = kEmoji + W(u8"ａｂｃ𠮷");
  EXPECT_EQ(h.Run(IdOf(Cmd::ZenToHan), in), kEmoji + W(u8"abc𠮷"));
  EXPECT_TRUE(h.tp.ui.shown.empty());
  // Another text comes in between: undo goes back through each text with its own characters.
  EXPECT_EQ(h.Run(IdOf(Cmd::ToUpper), W(u8"x한")), W(u8"X한"));
  h.m->Dispatch(IdOf(Cmd::Undo));
  EXPECT_EQ(h.Wide(), W(u8"x한"));
  h.m->Dispatch(IdOf(Cmd::Undo));
  EXPECT_EQ(h.Wide(), in);
  h.m->Dispatch(IdOf(Cmd::Redo));
  EXPECT_EQ(h.Wide(), W(u8"x한"));
  h.m->Dispatch(IdOf(Cmd::Redo));
  EXPECT_EQ(h.Wide(), W(u8"X한"));
}

// Conversions into forms that hold any character write the character itself.
struct FormCase {
  Cmd cmd;
  const char8_t* in;
  const char8_t* out;  // the CF_TEXT bytes
};

class CarriedForms : public ::testing::TestWithParam<FormCase> {};

TEST_P(CarriedForms, WriteTheCharacterInTheTargetForm) {
  const FormCase& c = GetParam();
  Harness h;
  h.Hold(W(c.in));
  h.m->Dispatch(IdOf(c.cmd));
  EXPECT_TRUE(h.tp.ui.shown.empty());
  EXPECT_EQ(h.tp.clipboard.text.value_or("<none>"), B(c.out));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CarriedForms,
    ::testing::Values(FormCase{Cmd::SjisToUtf8, u8"😀あ", u8"😀あ"},
                      FormCase{Cmd::SjisToUrl, u8"😀 あ", u8"%F0%9F%98%80%20%82%A0"},
                      FormCase{Cmd::SjisToMime, u8"Re: 😀", u8"=?UTF-8?B?UmU6IPCfmIA=?="}));

// Where the result cannot hold them, the question of today: Cancel keeps the clipboard, OK
// loses them as '?', and undo brings them back.
TEST(CarriedCommands, ConversionsThatCannotHoldThemAsk) {
  int checked = 0;
  for (const CommandDef& c : AllCommands()) {
    if (c.frame != Frame::Plain || c.kw == Kw::None || !KeywordOf(c.kw).noCarry) continue;
    Harness h;
    h.Hold(kEmoji + u"a");
    h.tp.ui.answers = {Answer::Cancel};
    h.m->Dispatch(c.id);
    EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::LossyClipboard}) << c.keyword;
    EXPECT_EQ(h.tp.clipboard.writes, 0) << c.keyword;
    Harness ref;
    const std::u16string want = ref.Run(c.id, u"?a");
    EXPECT_EQ(h.Run(c.id, kEmoji + u"a"), want) << c.keyword;
    h.m->Dispatch(IdOf(Cmd::Undo));
    EXPECT_EQ(h.Wide(), kEmoji + u"a") << c.keyword;
    Harness plain;
    plain.Run(c.id, u"a");
    EXPECT_TRUE(plain.tp.ui.shown.empty()) << c.keyword << ": nothing to lose, nothing asked";
    ++checked;
  }
  EXPECT_EQ(checked, 5);
}

TEST(CarriedCommands, MacroLineThatCannotHoldThemAsksAndCancelStoresNothing) {
  Harness h;
  h.tp.ui.answers = {Answer::Cancel};
  h.Hold(kEmoji + u"ａ");
  EXPECT_EQ(RunMacroText(*h.m, "ZenToHan\r\nSjisToJis\r\nToUpper"), MacroStatus::Declined);
  EXPECT_EQ(h.tp.clipboard.writes, 0);
  EXPECT_EQ(h.Macro("ZenToHan\r\nSjisToEuc\r\nToUpper", kEmoji + u"ａ"), u"?A");
}

TEST(CarriedCommands, MoreCharactersThanFreeCodesAskOnLoad) {
  std::u16string text;
  for (char16_t u = 0xAC00; u <= 0xAC00 + CarriedChars::kCapacity; ++u) text += u;
  Harness h;
  h.tp.ui.answers = {Answer::Cancel};
  h.Run(IdOf(Cmd::ToUpper), text);
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::LossyClipboard});
  EXPECT_EQ(h.tp.clipboard.writes, 0);
}

TEST(CarriedCommands, ReplaceDialogTakesTypedCharactersBeyondShiftJis) {
  Harness h;
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    d.Type(CReplaceDlg::kSearch, W(u8"😀"));
    d.Type(CReplaceDlg::kReplacement, W(u8"𠮷é"));
    return d.Ok();
  };
  EXPECT_EQ(h.Run(IdOf(Cmd::Replace), W(u8"a😀b😀")), W(u8"a𠮷éb𠮷é"));
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::ReplacedCount});
}

}  // namespace
