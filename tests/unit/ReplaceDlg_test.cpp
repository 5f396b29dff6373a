// The dialogs of the replace family: histories, enabling rules, what OK writes, refusals.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "ops/Replace.h"
#include "ops/ReplaceDlg.h"

using namespace qlk;
using namespace qlk::test;

namespace {

using V = std::vector<std::string>;

V Numbered(int n, const char* prefix = "s") {
  V v;
  for (int i = 0; i < n; ++i) v.push_back(prefix + std::to_string(i));
  return v;
}

std::string Key(const char* prefix, size_t i) { return prefix + std::string(i < 10 ? "0" : "") + std::to_string(i); }

void Store(MemorySettings& s, const char* section, const char* prefix, const V& items) {
  for (size_t i = 0; i < items.size(); ++i) s.SetText(section, Key(prefix, i), items[i]);
}

struct HistoryCase {
  const char* name;
  V stored;
  std::string added;
  V after;
};

class History : public ::testing::TestWithParam<HistoryCase> {};

TEST_P(History, AddMovesOrInsertsAndDropsTheOldest) {
  const HistoryCase& c = GetParam();
  MemorySettings s;
  Store(s, "Replace", "Search", c.stored);
  SearchHistory h(20);
  h.Load(s, "Replace", "Search");
  h.Add(c.added);
  EXPECT_EQ(h.Items(), c.after);
  h.Save(s, "Replace", "Search");
  SearchHistory again(20);
  again.Load(s, "Replace", "Search");
  EXPECT_EQ(again.Items(), c.after);
}

V Front(std::string first, V rest) {
  rest.insert(rest.begin(), std::move(first));
  return rest;
}

INSTANTIATE_TEST_SUITE_P(
    Updates, History,
    // Keys never written read as "", so a short history ends in one empty entry.
    ::testing::Values(HistoryCase{"NewGoesInFront", {"a", "b"}, "c", {"c", "a", "b", ""}},
                      HistoryCase{"KnownMovesToTheFront", {"a", "b", "c"}, "c", {"c", "a", "b", ""}},
                      HistoryCase{"FrontStays", {"a", "b"}, "a", {"a", "b", ""}},
                      HistoryCase{"FullDropsTheOldest", Numbered(20), "new", Front("new", V(Numbered(19)))},
                      HistoryCase{"RepeatsAreReadOnce", {"a", "", "a", "", "b"}, "b", {"b", "a", ""}}),
    [](const auto& info) { return info.param.name; });

TEST(ReplaceDlg, OpensWithTheStoredValuesAndListsNoEmptyEntry) {
  MemorySettings s;
  s.SetText("Replace", "SearchStr", "x");
  s.SetText("Replace", "RepStr", "y");
  s.SetInt("Replace", "bUplow", 1);
  s.SetInt("Replace", "bRegExp", 1);
  Store(s, "Replace", "Search", {"p", "", "q"});
  FakeUI ui;
  CReplaceDlg dlg(s, true);
  FakeDialog d(dlg, ui);
  EXPECT_EQ(d.GetText(CReplaceDlg::kSearch), "x");
  EXPECT_EQ(d.GetText(CReplaceDlg::kReplacement), "y");
  EXPECT_EQ(*d.Items(CReplaceDlg::kSearch), (V{"p", "q"}));
  EXPECT_EQ(d.GetInt(SearchBoxes::kUplow), 1);
  // While the expression box is ticked, width and kana mean nothing; case still does.
  const int boxes[] = {SearchBoxes::kZenhan, SearchBoxes::kUplow, SearchBoxes::kHira, SearchBoxes::kRegex};
  const bool ticked[] = {false, true, false, true}, cleared[] = {true, true, true, true};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(d.Enabled(boxes[i]), ticked[i]) << boxes[i];
  d.Set(SearchBoxes::kRegex, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(d.Enabled(boxes[i]), cleared[i]) << boxes[i];
}

TEST(ReplaceDlg, WithoutAnEngineTheExpressionBoxIsClearedAndDisabled) {
  MemorySettings s;
  s.SetInt("Replace", "bRegExp", 1);
  s.SetInt("DeleleStr", "bRegExp", 1);
  CReplaceDlg r(s, false);
  CDelStrDlg d(s, false);
  EXPECT_EQ(r.boxes.regex, 0);
  EXPECT_EQ(d.boxes.regex, 0);
  EXPECT_FALSE(r.IsEnabled(SearchBoxes::kRegex));
  EXPECT_FALSE(d.IsEnabled(SearchBoxes::kRegex));
  EXPECT_TRUE(r.IsEnabled(SearchBoxes::kZenhan));
}

TEST(ReplaceDlg, OkWritesTheStringsFlagsAndBothHistories) {
  MemorySettings s;
  Store(s, "Replace", "Replace", {"r0", "r1"});
  FakeUI ui;
  CReplaceDlg dlg(s, true);
  FakeDialog d(dlg, ui);
  d.Set(CReplaceDlg::kSearch, "find");
  d.Set(CReplaceDlg::kReplacement, "r1");
  d.Set(SearchBoxes::kZenhan, 1);
  d.Set(SearchBoxes::kHira, 1);
  s.writeLog.clear();
  ASSERT_TRUE(d.Ok());
  EXPECT_EQ(s.writeLog, (V{"Replace/RepStr", "Replace/SearchStr", "Replace/bZenhan", "Replace/bUplow", "Replace/bHira",
                           "Replace/bRegExp", "Replace/Replace00", "Replace/Search00", "Replace/Search00",
                           "Replace/Search01", "Replace/Replace00", "Replace/Replace01", "Replace/Replace02"}));
  EXPECT_EQ(s.GetText("Replace", "Search01", "?"), "");  // the empty entry read back from 00
  EXPECT_EQ(s.GetText("Replace", "Replace00", "?"), "r1");
  EXPECT_EQ(s.GetText("Replace", "Replace01", "?"), "r0");
  EXPECT_EQ(dlg.boxes.Options(), kIgnoreWidth | kIgnoreKana);
}

TEST(DelStrDlg, ListsTenEntriesAndShiftsThemDownOnOk) {
  MemorySettings s;
  V stored = Numbered(10);
  stored[3] = "";
  stored[5] = "s1";  // no duplicate removal
  Store(s, "DeleleStr", "Search", stored);
  FakeUI ui;
  CDelStrDlg dlg(s, true);
  FakeDialog d(dlg, ui);
  EXPECT_EQ(*d.Items(CDelStrDlg::kSearch), stored);
  d.Set(CDelStrDlg::kSearch, "s1");
  d.Set(SearchBoxes::kUplow, 1);
  ASSERT_TRUE(d.Ok());
  V after = Front("s1", V(stored.begin(), stored.end() - 1));
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(s.GetText("DeleleStr", Key("Search", i), "?"), after[i]) << i;
  EXPECT_EQ(s.GetText("DeleleStr", "SearchStr", "?"), "s1");
  EXPECT_EQ(s.GetInt("DeleleStr", "bUplow", 0), 1);
}

TEST(SReplaceDlg, ReadsAndWritesItsThreeStrings) {
  MemorySettings s;
  s.SetText("SReplace", "StartStr", "<");
  FakeUI ui;
  CSReplaceDlg dlg(s);
  FakeDialog d(dlg, ui);
  EXPECT_EQ(d.GetText(CSReplaceDlg::kStart), "<");
  d.Set(CSReplaceDlg::kEnd, ">");
  d.Set(CSReplaceDlg::kAfter, "\\b");
  ASSERT_TRUE(d.Ok());
  EXPECT_EQ(s.GetText("SReplace", "EndStr", "?"), ">");
  EXPECT_EQ(s.GetText("SReplace", "AfterStr", "?"), "\\b");
}

TEST(ReplaceDoubleDlg, RefusesOkWithoutEitherBeforeTextAndStaysOpen) {
  struct Case {
    const char *startBefore, *endBefore;
    std::vector<Txt> shown;
  } cases[] = {{"", "", {Txt::NoStartBefore}}, {"", ")", {Txt::NoStartBefore}}, {"(", "", {Txt::NoEndBefore}},
               {"(", ")", {}}};
  for (const Case& c : cases) {
    FakeUI ui;
    CReplaceDoubleDlg dlg;
    FakeDialog d(dlg, ui);
    d.Set(CReplaceDoubleDlg::kStartBefore, c.startBefore);
    d.Set(CReplaceDoubleDlg::kEndBefore, c.endBefore);
    EXPECT_EQ(d.Ok(), c.shown.empty());
    EXPECT_EQ(ui.ShownIds(), c.shown);
  }
}

}  // namespace
