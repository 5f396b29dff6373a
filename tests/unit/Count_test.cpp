// The character count and the full edit: the kinds of characters, the figures and their
// display, the English words, and both commands through their dialogs.
#include <gtest/gtest.h>

#include <map>

#include "CommandHarness.h"
#include "ops/Count.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct Doc : CommandHarness {
  CQuenlarkDoc& Load(std::u8string_view text) {
    Clip(sj(text));
    m->doc().NewFromClipboard();
    return m->doc();
  }
};

TEST(CharKind, EachCharacterCountsAsTheFirstKindThatApplies) {
  const struct {
    const char8_t* c;
    CharKind kind;
  } cases[] = {
      {u8"あ", kHiragana}, {u8"ア", kKatakana}, {u8"ｱ", kKatakana}, {u8"ヶ", kKatakana}, {u8"a", kLetter},
      {u8"Ｚ", kLetter},   {u8"1", kDigit},     {u8"１", kDigit},   {u8"漢", kKanji},   {u8"。", kSymbol},
      {u8" ", kSymbol},    {u8"　", kSymbol},   {u8"!", kSymbol},   {u8"～", kSymbol},  {u8"ー", kSymbol},
      {u8"α", kKanji},     {u8"\t", kKanji},
  };
  for (const auto& c : cases) EXPECT_EQ(CharKindOf(sj(c.c), 0), c.kind) << reinterpret_cast<const char*>(c.c);
}

TEST(CharCount, SixKindsAtSixteenPercent) {
  Doc d;
  CQuenlarkDoc& doc = d.Load(u8"あア1a漢。");
  const CharCounts c = CountChars(doc);
  EXPECT_EQ(c.Total(), 6);
  for (int k = 0; k < kCharKinds; ++k) {
    EXPECT_EQ(c.n[k], 1) << k;
    EXPECT_EQ(c.Percent(static_cast<CharKind>(k)), 16) << k;
  }
}

TEST(CharCount, OnlyTargetLinesCount) {
  Doc d;
  CQuenlarkDoc& doc = d.Load(u8"ab\r\nあい\r\n\r\n12");
  doc.rangeStart = 2;
  doc.rangeEnd = 3;
  EXPECT_EQ(CountChars(doc).n[kHiragana], 2);
  EXPECT_EQ(CountChars(doc).Total(), 2);
  EXPECT_EQ(ByteSize(doc), 4 + 2 + 2);
}

TEST(ByteSize, TwoLinesOfThreeBytesAreTen) {
  Doc d;
  EXPECT_EQ(ByteSize(d.Load(u8"abc\r\ndef")), 10);
}

TEST(WordCount, EnglishWords) {
  const struct {
    const char8_t* text;
    long long words;
  } cases[] = {
      {u8"well-\r\nknown word", 2},
      {u8"it's a test", 3},
      {u8"snake_case, and-so-on!", 2},
      {u8"a-\r\n\r\nb", 2},      // the continuation reaches the next target line only
      {u8"a-\r\n b", 2},         // which must begin with a word character
      {u8"日本語 text", 2},      // high characters belong to words
      {u8"ソソ", 1},             // a trail byte with the backslash's value is no separator
      {u8"　a", 1},              // nor the trail byte 0x40 of the full-width space
      {u8"", 0},
      {u8"1,234.5", 3},
  };
  for (const auto& c : cases) {
    Doc d;
    EXPECT_EQ(WordCount(d.Load(c.text)), c.words) << reinterpret_cast<const char*>(c.text);
  }
}

TEST(FormatCount, ThousandsSeparatorsBeforeThePoint) {
  const struct {
    double v;
    const char* shown;
  } cases[] = {{0, "0"},           {999, "999"},         {1000, "1,000"},         {1536, "1,536"},
               {1234567, "1,234,567"}, {1.5, "1.5"},     {123456.7, "123,456.7"}, {-1234, "-1,234"},
               {1e12, "1e+12"}};
  for (const auto& c : cases) EXPECT_EQ(FormatCount(c.v), c.shown) << c.v;
}

TEST(SizeInUnits, KAboveAThousandAndMAboveAMillion) {
  const struct {
    long long bytes;
    const char* shown;
  } cases[] = {{10, ""},          {1000, ""},           {1001, "0.9K"},    {1536, "1.5K"},
               {1000000, "976.5K"}, {1000001, "0.9M"}, {2674000, "2.5M"}, {1048576LL * 1500, "1,500M"}};
  for (const auto& c : cases) EXPECT_EQ(SizeInUnits(c.bytes), c.shown) << c.bytes;
}

// ---------------------------------------------------------------- the commands

TEST(CharCountCommand, ShowsTheFiguresAndChangesNothing) {
  CommandHarness h;
  h.Clip(sj(u8"あア1a漢。\r\nwell-\r\nknown"));
  std::map<int, std::string> shown;
  h.tp.ui.dialogScript = [&](FakeDialog& d) {
    for (int id : {IDC_COUNT_TOTAL, IDC_COUNT_KANJI, IDC_COUNT_LETTERS, IDC_COUNT_LETTERS_PCT, IDC_COUNT_BYTES,
                   IDC_COUNT_BYTES_UNIT, IDC_COUNT_WORDS})
      shown[id] = d.GetText(id);
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(Cmd::CharCount));
  EXPECT_EQ(h.tp.ui.dialogsRun, std::vector<int>{IDD_COUNT});
  EXPECT_EQ(shown, (std::map<int, std::string>{{IDC_COUNT_TOTAL, "16"},
                                               {IDC_COUNT_KANJI, "1"},
                                               {IDC_COUNT_LETTERS, "10"},
                                               {IDC_COUNT_LETTERS_PCT, "62"},
                                               {IDC_COUNT_BYTES, "26"},
                                               {IDC_COUNT_BYTES_UNIT, ""},
                                               {IDC_COUNT_WORDS, "2"}}));
  EXPECT_EQ(h.tp.clipboard.writes, 0);
}

TEST(CharCountCommand, NoCharactersSaysSoWithoutADialog) {
  CommandHarness h;
  h.Clip("\r\n\r\n");
  ASSERT_TRUE(h.m->Dispatch(Cmd::CharCount));
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::CountNoLines});
  EXPECT_TRUE(h.tp.ui.dialogsRun.empty());
}

TEST(EditAllCommand, OkTakesTheTextBackAsTheLinesAndStoresIt) {
  CommandHarness h;
  h.Clip("one\r\ntwo");
  std::string seen;
  h.tp.ui.dialogScript = [&](FakeDialog& d) {
    seen = d.GetText(IDC_TEXT_EDIT_TEXT);
    d.Set(IDC_TEXT_EDIT_TEXT, "a\r\nb\r\n");
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(Cmd::EditAll));
  EXPECT_EQ(seen, "one\r\ntwo\r\n");
  EXPECT_EQ(h.m->doc().LineCount(), 2);
  EXPECT_EQ(h.ClipText(), "a\r\nb");  // as loaded: no final CR LF
  EXPECT_FALSE(h.m->doc().CanUndo());
}

TEST(EditAllCommand, CancelChangesNothing) {
  CommandHarness h;
  h.Clip("one");
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    d.Set(IDC_TEXT_EDIT_TEXT, "changed");
    return false;
  };
  ASSERT_TRUE(h.m->Dispatch(Cmd::EditAll));
  EXPECT_EQ(h.ClipText(), "one");
  EXPECT_EQ(h.tp.clipboard.writes, 0);
}

// Text the code page cannot hold asks the lossy question; Cancel keeps the dialog open with
// the text as typed, OK then takes it.
TEST(EditAllCommand, LossyTextAsksAndCancelKeepsTheDialog) {
  CommandHarness h;
  h.Clip("one");
  h.tp.ui.answers = {Answer::Cancel, Answer::Ok};
  std::vector<bool> oks;
  h.tp.ui.dialogScript = [&](FakeDialog& d) {
    d.Set(IDC_TEXT_EDIT_TEXT, "one?");
    *d.Find(IDC_TEXT_EDIT_TEXT)->lossy = true;  // as the binder reports it
    oks.push_back(d.Ok());
    EXPECT_EQ(d.GetText(IDC_TEXT_EDIT_TEXT), "one?");
    oks.push_back(d.Ok());
    return oks.back();
  };
  ASSERT_TRUE(h.m->Dispatch(Cmd::EditAll));
  EXPECT_EQ(oks, (std::vector<bool>{false, true}));
  EXPECT_EQ(h.tp.ui.ShownIds(), (std::vector<Txt>{Txt::LossyClipboard, Txt::LossyClipboard}));
  EXPECT_EQ(h.ClipText(), "one?");
}

}  // namespace
