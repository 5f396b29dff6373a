#include <gtest/gtest.h>

#include "Fakes.h"
#include "ops/FoldDialogs.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct DialogFixture : ::testing::Test {
  TestPlatform tp;
  // Runs the model through the fake UI: `fill` sets the controls, then OK.
  bool Run(DialogModel& m, std::function<void(FakeDialog&)> fill) {
    tp.ui.dialogScript = [fill](FakeDialog& d) {
      fill(d);
      return d.Ok();
    };
    return tp.ui.RunDialog(m);
  }
};

TEST_F(DialogFixture, InputNoOffersTheStoredWidthAndWritesItOnOk) {
  CInputNoDlg fresh(tp.settings, Txt::FoldPromptTurn, "Turn");
  EXPECT_EQ(fresh.value, 70);
  EXPECT_EQ(fresh.Title(), Txt::ProductName);
  tp.settings.SetInt("Turn", "No", 40);
  CInputNoDlg dlg(tp.settings, Txt::FoldPromptTurn, "Turn");
  EXPECT_EQ(dlg.value, 40);
  ASSERT_TRUE(Run(dlg, [](FakeDialog& d) { d.Set(CInputNoDlg::kValue, -3); }));  // any integer
  EXPECT_EQ(tp.settings.GetInt("Turn", "No", 0), -3);
  EXPECT_FALSE(tp.settings.Has("Textketa", "No"));
}

TEST_F(DialogFixture, CancelWritesNothing) {
  tp.ui.dialogScript = nullptr;
  CRenoDlg reno(tp.settings);
  CTurnIfDlg turnIf(tp.settings);
  KinsokuRules rules;
  CKinsokuDlg kinsoku(rules, tp.settings);
  CSpaceInsDlg space(tp.settings);
  EXPECT_FALSE(tp.ui.RunDialog(reno));
  EXPECT_FALSE(tp.ui.RunDialog(turnIf));
  EXPECT_FALSE(tp.ui.RunDialog(kinsoku));
  EXPECT_FALSE(tp.ui.RunDialog(space));
  EXPECT_TRUE(tp.settings.writeLog.empty());
}

// Columns of these dialogs are validated to 1..32767 on OK.
struct RangeCase {
  const char* name;
  std::function<std::unique_ptr<DialogModel>(ISettings&)> make;
  int control;
};

class ColumnRange : public DialogFixture, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(ColumnRange, RefusesOutsideOneTo32767) {
  auto m = GetParam().make(tp.settings);
  FakeDialog d(*m, tp.ui);
  for (int bad : {0, -1, 32768}) {
    d.Set(GetParam().control, bad);
    EXPECT_FALSE(d.Ok()) << bad;
  }
  EXPECT_TRUE(tp.settings.writeLog.empty());
  d.Set(GetParam().control, 32767);
  EXPECT_TRUE(d.Ok());
  EXPECT_EQ(tp.ui.ShownIds().front(), Txt::IntRange);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, ColumnRange,
    ::testing::Values(
        RangeCase{"UstrColumn",
                  [](ISettings& s) {
                    auto m = std::make_unique<CUstrDlg>(s);
                    return m;
                  },
                  CUstrDlg::kColumn},
        RangeCase{"RenoColumn",
                  [](ISettings& s) {
                    auto m = std::make_unique<CRenoDlg>(s);
                    m->digits = 3;
                    return m;
                  },
                  CRenoDlg::kColumn},
        RangeCase{"RenoDigits", [](ISettings& s) { return std::make_unique<CRenoDlg>(s); }, CRenoDlg::kDigits},
        RangeCase{"InsertColumn", [](ISettings& s) { return std::make_unique<CInsertDlg>(s); }, CInsertDlg::kColumn},
        RangeCase{"DelposFirst", [](ISettings& s) { return std::make_unique<CDelposDlg>(s); }, CDelposDlg::kFirst},
        RangeCase{"DelposLast", [](ISettings& s) { return std::make_unique<CDelposDlg>(s); }, CDelposDlg::kLast}),
    [](const auto& info) { return info.param.name; });

TEST_F(DialogFixture, StoredZeroDefaultsMustBeChangedBeforeOk) {
  CUstrDlg ustr(tp.settings);
  CRenoDlg reno(tp.settings);
  EXPECT_EQ(ustr.column, 0);
  EXPECT_EQ(reno.digits, 0);
  FakeDialog du(ustr, tp.ui), dr(reno, tp.ui);
  EXPECT_FALSE(du.Ok());
  EXPECT_FALSE(dr.Ok());
}

// OK writes every value under its own key; the next dialog reads them back.
TEST_F(DialogFixture, OkWritesTheKeysThatTheNextOpeningReads) {
  using Log = std::vector<std::string>;
  CTurnIfDlg turnIf(tp.settings);
  turnIf.text = "a b";
  turnIf.replace = 1;
  CUstrDlg ustr(tp.settings);
  ustr.column = 2;
  ustr.text = "u";
  CRenoDlg reno(tp.settings);
  reno.digits = 3;
  reno.start = -100;
  CInsertDlg insert(tp.settings);
  insert.text = "x\\ny";
  CDelposDlg del(tp.settings);
  del.last = 4;
  CSpaceInsDlg space(tp.settings);
  space.column = 0;  // a column of 0 is accepted here
  space.count = 0;
  CInputDlg strCat(tp.settings, Txt::FoldPromptStrCat, "StrAdd", "String");
  strCat.text = "s";
  for (DialogModel* d : std::initializer_list<DialogModel*>{&turnIf, &ustr, &reno, &insert, &del, &space, &strCat}) {
    FakeDialog f(*d, tp.ui);
    ASSERT_TRUE(f.Ok()) << d->ResourceId();
  }
  EXPECT_EQ(tp.settings.writeLog,
            (Log{"TurnIf/TurnStr", "TurnIf/bReplace", "UstrDlg/Upos", "UstrDlg/Ustr", "RenoDlg/RenoPos",
                 "RenoDlg/RenoKeta", "RenoDlg/RenoStart", "RenoDlg/Zoubun", "RenoDlg/ZeroSup", "InsertDlg/InsertPos",
                 "InsertDlg/InsertStr", "DelPos/m_PosStart", "DelPos/m_PosEnd", "SpaceIns/nKeta", "SpaceIns/nCount",
                 "SpaceIns/bOverWrite", "StrAdd/String"}));
  EXPECT_EQ(CTurnIfDlg(tp.settings).text, "a b");
  EXPECT_EQ(CUstrDlg(tp.settings).column, 2);
  EXPECT_EQ(CRenoDlg(tp.settings).start, -100);
  EXPECT_EQ(CInsertDlg(tp.settings).text, "x\\ny");  // kept as typed
  EXPECT_EQ(CDelposDlg(tp.settings).last, 4);
  EXPECT_EQ(CSpaceInsDlg(tp.settings).count, 0);
  EXPECT_EQ(CInputDlg(tp.settings, Txt::FoldPromptStrCat, "StrAdd", "String").text, "s");
  CSpaceInsDlg neg(tp.settings);
  FakeDialog d(neg, tp.ui);
  d.Set(CSpaceInsDlg::kCount, -1);
  EXPECT_FALSE(d.Ok());
}

TEST_F(DialogFixture, KinsokuShowsTheRulesInMemoryAndWritesThemOnOk) {
  KinsokuRules rules;
  rules.first = sj(u8"。、");
  rules.hanging = true;
  tp.settings.SetText("Print", "KinsokuFirst", "stale");  // never read back
  tp.settings.SetInt("Turn", "English", 2);
  CKinsokuDlg dlg(rules, tp.settings);
  EXPECT_EQ(dlg.first, sj(u8"。、"));
  EXPECT_EQ(dlg.hanging, 1);
  EXPECT_EQ(dlg.pushOut, 0);
  EXPECT_EQ(dlg.english, 2);  // what the folds will use
  EXPECT_TRUE(dlg.IsEnabled(CKinsokuDlg::kFirst));
  EXPECT_FALSE(dlg.IsEnabled(CKinsokuDlg::kLast));
  tp.settings.writeLog.clear();
  ASSERT_TRUE(Run(dlg, [](FakeDialog& d) {
    d.Set(CKinsokuDlg::kPushOut, 1);
    EXPECT_TRUE(d.Enabled(CKinsokuDlg::kLast));
    d.Set(CKinsokuDlg::kLast, sj(u8"「（"));
    d.Set(CKinsokuDlg::kHanging, 0);
    EXPECT_FALSE(d.Enabled(CKinsokuDlg::kFirst));
    d.Set(CKinsokuDlg::kNoBreakInTags, 1);
    d.Set(CKinsokuDlg::kEnglish, 1);
  }));
  EXPECT_EQ(rules.last, sj(u8"「（"));
  EXPECT_FALSE(rules.hanging);
  EXPECT_TRUE(rules.pushOut);
  EXPECT_TRUE(rules.noBreakInTags);
  EXPECT_EQ(rules.first, sj(u8"。、"));
  EXPECT_EQ(tp.settings.GetText("Print", "KinsokuFirst", ""), sj(u8"。、"));
  EXPECT_EQ(tp.settings.GetText("Print", "KinsokuLast", ""), sj(u8"「（"));
  EXPECT_EQ(tp.settings.GetInt("Print", "bKinFirst", -1), 0);
  EXPECT_EQ(tp.settings.GetInt("Print", "bKinLast", -1), 1);
  EXPECT_EQ(tp.settings.GetInt("Turn", "English", -1), 1);
  EXPECT_EQ(tp.settings.writeLog.size(), 5u);  // the tag flag is not stored
}

TEST_F(DialogFixture, KinsokuOutOfRangeStoredEnglishModeShowsNormal) {
  KinsokuRules rules;
  tp.settings.SetInt("Turn", "English", 9);
  CKinsokuDlg dlg(rules, tp.settings);
  EXPECT_EQ(dlg.english, 0);
}

}  // namespace
