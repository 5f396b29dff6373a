// The editor, the double click, the start-up shortcut, the help entry, the web pages and the
// about box, through the command dispatch over the fake shell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandHarness.h"
#include "app/AboutDlg.h"
#include "app/EditorDlg.h"
#include "app/SetDlg.h"
#include "app/ShellActions.h"
#include "app/WebPages.h"

using namespace qlk;
using namespace qlk::test;

namespace {

// The rule against the table over every result: silent for a success, for 23 and above (31, no
// program associated, among them) and for 2 when the file's name (after its folder) has no dot.
TEST(EditorFailureText, EveryResultAndNameAgainstTheRule) {
  const struct {
    std::string file;
    bool dotInName;
  } names[] = {
      {"notepad", false},
      {"notepad.exe", true},
      {"C:\\a.b\\notepad", false},
      {"C:\\tools\\ed.exe", true},
      {"x/y.z/ed", false},
      {"", false},
      // 表 is 0x95 0x5C in Shift-JIS: its trail byte is no folder separator.
      {"a." "\x95\x5C" "b", true},
      {"C:\\a.b\\" "\x95\x5C" "x", false},
  };
  for (int r = -2; r <= 40; ++r) {
    for (const auto& n : names) {
      const bool silent = r < 0 || r >= 23 || (r == 2 && !n.dotInName);
      std::optional<Txt> t = EditorFailureText(r, n.file);
      ASSERT_EQ(t.has_value(), !silent) << r << " " << n.file;
      if (t) {
        EXPECT_EQ(std::string(TextName(*t)), "ShellErr" + std::to_string(r)) << n.file;
      }
    }
  }
}

struct LaunchCase {
  const char* editor;  // [System] "Editor"; nullptr: not set
  int result;
  std::vector<Txt> shown;
};

TEST(LaunchEditor, StartsTheEditorAndTellsFailuresFromTheTable) {
  const LaunchCase cases[] = {
      {nullptr, 42, {}},
      {nullptr, 2, {Txt::ShellErr2}},  // "notepad.exe" not found
      {"notepad", 2, {}},              // a bare name: the shell looked it up as a command
      {"C:\\ed\\ed.exe", 31, {}},      // nothing associated
      {"C:\\ed\\ed.exe", 0, {Txt::ShellErr0}},
      {"C:\\ed\\ed.exe", 3, {Txt::ShellErr3}},
      {"C:\\ed\\ed.exe", 22, {Txt::ShellErr22}},
      {"C:\\ed\\ed.exe", 26, {}},
      {"C:\\ed\\ed.exe", 32, {}},
  };
  for (const LaunchCase& c : cases) {
    CommandHarness h;
    if (c.editor) h.tp.settings.SetText("System", "Editor", c.editor);
    h.tp.shell.result = c.result;
    ASSERT_TRUE(h.m->Dispatch(Cmd::LaunchEditor));
    ASSERT_EQ(h.tp.shell.started, std::vector<std::string>{c.editor ? c.editor : "notepad.exe"});
    EXPECT_EQ(h.tp.shell.verbs, std::vector<std::string>{""}) << "the default action";
    EXPECT_EQ(h.tp.ui.ShownIds(), c.shown) << c.result;
    if (!c.shown.empty()) {
      EXPECT_EQ(h.tp.ui.styles[0].first, MsgButtons::Ok);
    }
  }
}

TEST(DoubleClick, StartsTheProgramOrTheFullEditorAndNothingWithoutEither) {
  struct Case {
    const char* exe;
    std::optional<std::string> full;
    std::vector<std::string> started;
  } cases[] = {
      {"C:\\p\\prog.exe", std::string("C:\\q\\Quenlark.exe"), {"C:\\p\\prog.exe"}},
      {"", std::string("C:\\q\\Quenlark.exe"), {"C:\\q\\Quenlark.exe"}},
      {"", std::string(""), {""}},  // a key whose value cannot be read: started, and fails quietly
      {"", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    TestPlatform tp;
    tp.settings.SetText("System", "ExeFile", c.exe);
    tp.shell.fullEditor = c.full;
    tp.shell.result = 2;  // failures stay silent
    StartDoubleClickProgram(tp.platform);
    EXPECT_EQ(tp.shell.started, c.started) << c.exe;
    for (const std::string& v : tp.shell.verbs) EXPECT_EQ(v, "open");
    EXPECT_TRUE(tp.ui.shown.empty());
  }
}

TEST(StartupShortcut, TheSettingsButtonTellsWhatHappenedEachTime) {
  for (bool works : {true, false}) {
    CommandHarness h;
    h.tp.shell.shortcutWorks = works;
    h.tp.ui.dialogScript = [](FakeDialog& d) {
      EXPECT_TRUE(d.Enabled(CSetDlg::kStartup));
      d.Press(CSetDlg::kStartup);
      d.Press(CSetDlg::kStartup);
      return false;
    };
    h.m->Dispatch(Cmd::Settings);
    EXPECT_EQ(h.tp.shell.shortcuts, (std::vector<std::string>{"Quenlark Tray.lnk", "Quenlark Tray.lnk"}));
    const Txt t = works ? Txt::ShortcutCreated : Txt::ShortcutFailed;
    EXPECT_EQ(h.tp.ui.ShownIds(), (std::vector<Txt>{t, t}));
    EXPECT_TRUE(h.tp.settings.writeLog.empty()) << "Cancel of the dialog writes nothing";
  }
}

TEST(HelpRequest, DropsContextHelpAndTellsOfAMissingFileWithItsPath) {
  const std::string path = "Z:\\プログラム\\Quenlark\\QlkTray.chm";
  struct Case {
    int kind;
    bool present;
    bool told, opened, cancelled;
  } cases[] = {
      {kHelpContext, false, false, false, false}, {kHelpKind5, false, false, false, false},
      {kHelpFinder, false, true, false, true},    {kHelpFinder, true, false, true, true},
      {kHelpIndex, false, true, false, true},     {kHelpIndex, true, false, false, true},
  };
  for (const Case& c : cases) {
    TestPlatform tp;
    if (c.present) tp.shell.existing.push_back(path);
    HelpRequest(tp.platform, path, c.kind);
    ASSERT_EQ(tp.ui.shown.size(), c.told ? 1u : 0u) << c.kind;
    if (c.told) {
      EXPECT_EQ(tp.ui.shown[0].id, Txt::HelpFileMissing);
      EXPECT_EQ(tp.ui.shown[0].text, "ヘルプファイルがありません：" + path);
    }
    EXPECT_EQ(tp.shell.helpShown.size(), c.opened ? 1u : 0u) << c.kind;
    EXPECT_EQ(tp.shell.modesCancelled, c.cancelled ? 1 : 0) << c.kind;
    EXPECT_EQ(tp.ui.waits, c.cancelled ? 1 : 0);
  }
}

TEST(HelpCommands, ContentsGoThroughTheEntryTheOthersStraightToTheViewer) {
  struct Case {
    Cmd cmd;
    bool present;
    std::vector<HelpView> views;
    bool told;
  } cases[] = {
      {Cmd::HelpContents, true, {HelpView::Contents}, false},
      {Cmd::HelpContents, false, {}, true},
      {Cmd::HelpTopics, false, {HelpView::Contents}, false},
      {Cmd::HelpSearch, false, {HelpView::Index}, false},
  };
  for (const Case& c : cases) {
    CommandHarness h;
    h.app.helpPath = "C:\\Q\\QlkTray.chm";
    if (c.present) h.tp.shell.existing.push_back(h.app.helpPath);
    ASSERT_TRUE(h.m->Dispatch(c.cmd));
    std::vector<HelpView> views;
    for (const auto& [p, v] : h.tp.shell.helpShown) {
      EXPECT_EQ(p, h.app.helpPath);
      views.push_back(v);
    }
    EXPECT_EQ(views, c.views) << IdOf(c.cmd);
    EXPECT_EQ(!h.tp.ui.shown.empty(), c.told);
  }
}

TEST(HelpCommands, TheCustomMenusHelpEntryIsACommandOfItsOwn) {
  CommandHarness h;
  EXPECT_TRUE(h.m->IsBound(57666));
  bool listed = false;
  for (const CatalogueEntry& e : BuildCatalogue(CodePage(), {})) listed = listed || e.id == 57666;
  EXPECT_TRUE(listed);
}

TEST(WebPages, EveryWebCommandOpensItsHttpsAddressWithTheDefaultAction) {
  const Cmd web[] = {Cmd::WebQuenlark, Cmd::WebForum, Cmd::WebKorvu, Cmd::WebKorvuSoft};
  for (Cmd c : web) {
    CommandHarness h;
    h.tp.shell.result = 2;  // a failure says nothing
    ASSERT_TRUE(h.m->Dispatch(c));
    ASSERT_EQ(h.tp.shell.started.size(), 1u);
    const std::string& url = h.tp.shell.started[0];
    EXPECT_EQ(url.rfind("https://", 0), 0u) << url;
    EXPECT_EQ(h.tp.shell.verbs[0], "");
    EXPECT_TRUE(h.tp.ui.shown.empty());
    int rows = 0;
    for (const WebPage& w : kWebPages) rows += w.cmd == c && w.url == url;
    EXPECT_EQ(rows, 1);
  }
  EXPECT_EQ(std::size(kWebPages), std::size(web));
  EXPECT_EQ(std::string(kMakerSite).rfind("https://", 0), 0u);
  EXPECT_EQ(std::string(kMakerMailLink), std::string("mailto:") + kMakerMail);
}

TEST(AboutDlg, ShowsTheTwoLinksFromTheTable) {
  CommandHarness h;
  ASSERT_TRUE(h.m->Dispatch(Cmd::About));
  EXPECT_EQ(h.tp.ui.dialogsRun, std::vector<int>{100});
  CAboutDlg dlg;
  std::vector<Field> f = dlg.Fields();
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].control, 156);
  EXPECT_EQ(std::string(f[0].shown), kMakerSite);
  EXPECT_EQ(std::string(f[0].link), "");  // its own text is its target
  EXPECT_EQ(f[1].control, 155);
  EXPECT_EQ(std::string(f[1].link), kMakerMailLink);
}

TEST(EditorDlg, BrowseReplacesThePathAndOkWritesItCancelNothing) {
  CommandHarness h;
  h.tp.ui.fileAnswers.push_back({"C:\\エディタ\\ed.exe"});
  h.tp.ui.fileAnswers.push_back({});  // the second browse is cancelled
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    EXPECT_EQ(d.GetText(CEditorDlg::kPath), "notepad.exe");
    d.Press(CEditorDlg::kBrowse);
    d.Press(CEditorDlg::kBrowse);
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(Cmd::EditorSettings));
  EXPECT_EQ(h.tp.ui.dialogsRun, std::vector<int>{125});
  ASSERT_EQ(h.tp.ui.fileRequests.size(), 2u);
  const FileDialogRequest& r = h.tp.ui.fileRequests[0];
  EXPECT_TRUE(r.open);
  EXPECT_TRUE(r.mustExist);
  EXPECT_EQ(r.fileName, "*.EXE");
  EXPECT_EQ(r.filter, Txt::ExeFilter);
  EXPECT_EQ(r.title, Txt::EditorTitle);
  EXPECT_EQ(h.tp.settings.GetText("System", "Editor", ""), "C:\\エディタ\\ed.exe");
  EXPECT_EQ(h.tp.settings.writeLog, std::vector<std::string>{"System/Editor"});

  CommandHarness c;
  c.tp.ui.dialogScript = [](FakeDialog& d) {
    d.Set(CEditorDlg::kPath, std::string("vi.exe"));
    return false;
  };
  c.m->Dispatch(Cmd::EditorSettings);
  EXPECT_TRUE(c.tp.settings.writeLog.empty());
}

}  // namespace
