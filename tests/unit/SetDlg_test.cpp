#include <gtest/gtest.h>

#include "Fakes.h"
#include "app/SetDlg.h"
#include "macro/Bindings.h"
#include "macro/MainState.h"

using namespace qlk;
using namespace qlk::test;

namespace {

TEST(SetDlg, CleanProfileShowsTheDefaults) {
  TestPlatform tp;
  UpdateState u;
  CSetDlg dlg(tp.platform, 1, u);
  EXPECT_EQ(dlg.jis, 1);  // <ESC>$B
  EXPECT_EQ(dlg.kana, 0);
  EXPECT_EQ(dlg.verify, 0);
  EXPECT_EQ(dlg.crlf, 0);
  EXPECT_EQ(dlg.autoConvert, 1);
  EXPECT_EQ(dlg.allSelect, 1);
  EXPECT_EQ(dlg.checkMode, 0);
  EXPECT_EQ(dlg.exeFile, "");
  EXPECT_EQ(dlg.macroDir, "");
}

TEST(SetDlg, OkWritesEveryKeyInOrderAndTheStoredCheckDate) {
  TestPlatform tp;
  AppState app;
  app.update.year = 2024;
  app.update.month = 3;
  app.update.day = 9;
  MainState m(tp.platform, AllBindings(), app);
  tp.ui.dialogScript = [](FakeDialog& d) {
    d.Set(CSetDlg::kJis3, 0);  // choosing a radio button by its own identifier
    d.Set(CSetDlg::kKana2, 0);
    d.Set(CSetDlg::kVerify, 1);
    d.Set(CSetDlg::kCrLf, 2);
    d.Set(CSetDlg::kAllSelect, 0);
    d.Set(CSetDlg::kCheckMode, 3);
    d.Set(CSetDlg::kExeFile, std::string("C:\\x.exe"));
    return d.Ok();
  };
  tp.clock.today = {2026, 12, 8};
  ASSERT_TRUE(m.Dispatch(32806));
  std::vector<std::string> want = {"Update/Year", "Update/Month", "Update/Day", "Update/CheckMode", "Jis/Kana",
                                   "Jis/Jis", "System/Verify", "System/CrLf", "System/Auto", "System/AllSelect",
                                   "Macro/Dir", "System/ExeFile"};
  EXPECT_EQ(tp.settings.writeLog, want);
  EXPECT_EQ(tp.settings.GetInt("Update", "Year", 0), 2024);  // not today's date
  EXPECT_EQ(tp.settings.GetInt("Update", "CheckMode", 0), 3);
  EXPECT_EQ(tp.settings.GetInt("Jis", "Jis", 0), 3);
  EXPECT_EQ(tp.settings.GetInt("Jis", "Kana", 0), 2);
  EXPECT_EQ(tp.settings.GetInt("System", "CrLf", 0), 2);
  EXPECT_EQ(tp.settings.GetText("System", "ExeFile", ""), "C:\\x.exe");
  EXPECT_EQ(m.allSelect, 0);
  EXPECT_EQ(app.update.checkMode, 3);
}

TEST(SetDlg, CancelWritesNothing) {
  TestPlatform tp;
  AppState app;
  MainState m(tp.platform, AllBindings(), app);
  tp.ui.dialogScript = [](FakeDialog& d) {
    d.Set(CSetDlg::kVerify, 1);
    return false;
  };
  m.Dispatch(32806);
  EXPECT_TRUE(tp.settings.writeLog.empty());
  EXPECT_EQ(m.allSelect, 1);
}

TEST(SetDlg, PickersReplaceOnlyTheirField) {
  TestPlatform tp;
  UpdateState u;
  CSetDlg dlg(tp.platform, 1, u);
  FakeDialog d(dlg, tp.ui);
  d.Set(CSetDlg::kExeFile, std::string("typed.exe"));
  tp.ui.folderAnswers.push_back(std::string("C:\\macros"));
  d.Press(CSetDlg::kBrowseFolder);
  EXPECT_EQ(dlg.macroDir, "C:\\macros");
  EXPECT_EQ(dlg.exeFile, "typed.exe");
  d.Press(CSetDlg::kBrowseFolder);  // cancelled: the edit keeps its text
  EXPECT_EQ(dlg.macroDir, "C:\\macros");
  tp.ui.fileAnswers.push_back({"C:\\Tools\\ed.exe"});
  d.Press(CSetDlg::kBrowseFile);
  EXPECT_EQ(dlg.exeFile, "C:\\Tools\\ed.exe");
  ASSERT_EQ(tp.ui.fileRequests.size(), 1u);
  EXPECT_EQ(tp.ui.fileRequests[0].fileName, "*.EXE");
  EXPECT_EQ(tp.ui.fileRequests[0].title, Txt::SetExeTitle);
  EXPECT_TRUE(tp.ui.fileRequests[0].open);
}

TEST(SetDlg, ButtonsStandGreyUntilTheirFeatureIsThere) {
  TestPlatform tp;
  UpdateState u;
  for (int control : {CSetDlg::kKinsoku, CSetDlg::kStartup}) {
    CSetDlg dlg(tp.platform, 1, u);
    EXPECT_FALSE(dlg.IsEnabled(control)) << control;
    int opened = 0;
    (control == CSetDlg::kKinsoku ? dlg.openKinsoku : dlg.createStartupShortcut) = [&](DialogHost&) { ++opened; };
    EXPECT_TRUE(dlg.IsEnabled(control)) << control;
    FakeDialog d(dlg, tp.ui);
    d.Press(control);
    EXPECT_EQ(opened, 1) << control;
  }
}

}  // namespace
