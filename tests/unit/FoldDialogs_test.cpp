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

TEST_F(DialogFixture, InputNoPromptIsTheOneAskedFor) {
  CInputNoDlg dlg(tp.settings, Txt::FoldPromptIndent, "TextIndent");
  bool found = false;
  for (const Field& f : dlg.Fields())
    if (f.control == CInputNoDlg::kPrompt) found = f.kind == FieldKind::Label && f.label == Txt::FoldPromptIndent;
  EXPECT_TRUE(found);
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
        RangeCase{"UstrColumn", [](ISettings& s) { auto m = std::make_unique<CUstrDlg>(s); return m; }, CUstrDlg::kColumn},
        RangeCase{"RenoColumn", [](ISettings& s) { auto m = std::make_unique<CRenoDlg>(s); m->digits = 3; return m; },
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

TEST_F(DialogFixture, RenoWritesEveryFieldAndTakesAnyStartAndIncrement) {
  CRenoDlg dlg(tp.settings);
  ASSERT_TRUE(Run(dlg, [](FakeDialog& d) {
    d.Set(CRenoDlg::kColumn, 4);
    d.Set(CRenoDlg::kDigits, 3);
    d.Set(CRenoDlg::kStart, -100);
    d.Set(CRenoDlg::kIncrement, -7);
    d.Set(CRenoDlg::kBlankFill, 1);
  }));
  EXPECT_EQ(tp.settings.GetInt("RenoDlg", "RenoPos", 0), 4);
  EXPECT_EQ(tp.settings.GetInt("RenoDlg", "RenoKeta", 0), 3);
  EXPECT_EQ(tp.settings.GetInt("RenoDlg", "RenoStart", 0), -100);
  EXPECT_EQ(tp.settings.GetInt("RenoDlg", "Zoubun", 0), -7);
  EXPECT_EQ(tp.settings.GetInt("RenoDlg", "ZeroSup", 0), 1);
  CRenoDlg again(tp.settings);
  EXPECT_EQ(again.start, -100);
  EXPECT_EQ(again.blankFill, 1);
}

TEST_F(DialogFixture, TextDialogsRoundTripTheirSettings) {
  const std::string text = sj(u8"a b\\n　");
  CTurnIfDlg turnIf(tp.settings);
  ASSERT_TRUE(Run(turnIf, [&](FakeDialog& d) {
    d.Set(CTurnIfDlg::kText, text);
    d.Set(CTurnIfDlg::kReplace, 1);
  }));
  CTurnIfDlg turnIf2(tp.settings);
  EXPECT_EQ(turnIf2.text, text);
  EXPECT_EQ(turnIf2.replace, 1);

  CInsertDlg insert(tp.settings);
  ASSERT_TRUE(Run(insert, [&](FakeDialog& d) {
    d.Set(CInsertDlg::kColumn, 5);
    d.Set(CInsertDlg::kText, text);
  }));
  EXPECT_EQ(tp.settings.GetText("InsertDlg", "InsertStr", ""), text);  // kept as typed
  EXPECT_EQ(tp.settings.GetInt("InsertDlg", "InsertPos", 0), 5);

  CInputDlg strCat(tp.settings, Txt::FoldPromptStrCat, "StrAdd", "String");
  ASSERT_TRUE(Run(strCat, [&](FakeDialog& d) { d.Set(CInputDlg::kText, text); }));
  EXPECT_EQ(tp.settings.GetText("StrAdd", "String", ""), text);

  CUstrDlg ustr(tp.settings);
  ASSERT_TRUE(Run(ustr, [&](FakeDialog& d) {
    d.Set(CUstrDlg::kColumn, 2);
    d.Set(CUstrDlg::kText, text);
  }));
  CUstrDlg ustr2(tp.settings);
  EXPECT_EQ(ustr2.column, 2);
  EXPECT_EQ(ustr2.text, text);
}

TEST_F(DialogFixture, DelposAndSpaceInsertDefaultsAndWrites) {
  CDelposDlg del(tp.settings);
  EXPECT_EQ(del.first, 1);
  EXPECT_EQ(del.last, 1);
  CSpaceInsDlg space(tp.settings);
  EXPECT_EQ(space.column, 1);
  EXPECT_EQ(space.count, 1);
  EXPECT_EQ(space.overwrite, 0);
  ASSERT_TRUE(Run(space, [](FakeDialog& d) {
    d.Set(CSpaceInsDlg::kColumn, 0);  // a column of 0 is accepted here
    d.Set(CSpaceInsDlg::kCount, 0);
    d.Set(CSpaceInsDlg::kOverwrite, 1);
  }));
  EXPECT_EQ(tp.settings.GetInt("SpaceIns", "nKeta", -1), 0);
  EXPECT_EQ(tp.settings.GetInt("SpaceIns", "nCount", -1), 0);
  EXPECT_EQ(tp.settings.GetInt("SpaceIns", "bOverWrite", -1), 1);
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

TEST_F(DialogFixture, LineEditKeepsNoSettings) {
  CLineEditDlg dlg;
  ASSERT_TRUE(Run(dlg, [](FakeDialog& d) { d.Set(CLineEditDlg::kText, "new"); }));
  EXPECT_EQ(dlg.text, "new");
  EXPECT_TRUE(tp.settings.writeLog.empty());
}

}  // namespace
