// The macro menu's list and dialogs, and a macro applied to files.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "CommandHarness.h"
#include "Fakes.h"
#include "macro/DirMenu.h"
#include "macro/MacroMenuDlg.h"

using namespace qlk;
using namespace qlk::test;

namespace {

using Entry = CDirMenuArray::Entry;

std::vector<Entry> Entries(const CDirMenuArray& a) {
  std::vector<Entry> v;
  for (int n = 0; n < a.Count(); ++n) v.push_back(a[n]);
  return v;
}

TEST(DirMenu, BehavesAsAVectorOfAtMostThirtyAndSurvivesTheProfile) {
  std::mt19937 rng(30);
  for (int round = 0; round < 50; ++round) {
    MemorySettings s;
    CDirMenuArray a(s);
    std::vector<Entry> ref;
    for (int op = 0; op < 120; ++op) {
      const int n = static_cast<int>(ref.size());
      const int i = static_cast<int>(rng() % 32) - 1, j = static_cast<int>(rng() % 32) - 1;
      switch (rng() % 3) {
        case 0: {
          Entry e{"name" + std::to_string(op), "C:\\m\\" + std::to_string(op) + ".qmc"};
          EXPECT_EQ(a.Append(e.name, e.path), n < 30);
          if (n < 30) ref.push_back(e);
          break;
        }
        case 1:
          a.Remove(i);
          if (i >= 0 && i < n) ref.erase(ref.begin() + i);
          break;
        case 2:
          a.Swap(i, j);
          if (i >= 0 && j >= 0 && i < n && j < n) std::swap(ref[static_cast<size_t>(i)], ref[static_cast<size_t>(j)]);
          break;
      }
      ASSERT_EQ(Entries(a), ref) << round << " " << op;
    }
    a.Save();
    CDirMenuArray b(s);
    EXPECT_EQ(b.Load(), static_cast<int>(ref.size()));
    EXPECT_EQ(Entries(b), ref);
    EXPECT_EQ(b.At(static_cast<int>(ref.size())), Entry{});
  }
}

TEST(DirMenu, ACountBeyondTheArrayReadsAsThirtyAndKeysBeyondTheCountStay) {
  struct Case {
    int stored, count;
  } cases[] = {{0, 0}, {2, 2}, {30, 30}, {31, 30}, {1000, 30}, {-4, 0}};
  for (const Case& c : cases) {
    MemorySettings s;
    Set(s, keys::kMacroMenuCount, c.stored);
    for (int n = 0; n < 40; ++n) Set(s, keys::kMacroMenuName, n, "n" + std::to_string(n));
    CDirMenuArray a(s);
    EXPECT_EQ(a.Load(), c.count) << c.stored;
    if (c.count > 0) {
      EXPECT_EQ(a[c.count - 1].name, "n" + std::to_string(c.count - 1));
    }
    a.Save();
    EXPECT_EQ(Get(s, keys::kMacroMenuCount), c.count);
    EXPECT_TRUE(s.Has("DirMenu", "Name35")) << "keys beyond the count are not removed";
  }
}

TEST(MacroMenu, NameOfAFileIsItsBaseNameWithoutExtension) {
  struct Case {
    std::string path, name;
  } cases[] = {
      {"C:\\macros\\sort.qmc", "sort"},
      {"D:\\a.b\\sort.QMC", "sort"},
      {"C:\\\x83\x5C\\x.qmc", "x"},  // "ソ" ends in 0x5C
      {"C:\\m\\\x83\x5C.qmc", "\x83\x5C"},
      {"sort", "sort"},
      {"/home/u/整形.tar.qmc", "整形.tar"},
  };
  for (const Case& c : cases) EXPECT_EQ(MacroNameOf(c.path), c.name) << c.path;
}

// The list dialog over a profile holding the given names (paths "P" + name).
struct MenuDlg {
  CommandHarness h;
  std::unique_ptr<CMacroMenuDlg> dlg;
  std::unique_ptr<FakeDialog> d;
  explicit MenuDlg(std::vector<std::string> names) {
    MemorySettings& s = h.tp.settings;
    Set(s, keys::kMacroMenuCount, static_cast<int>(names.size()));
    for (size_t n = 0; n < names.size(); ++n) {
      Set(s, keys::kMacroMenuName, static_cast<int>(n), names[n]);
      Set(s, keys::kMacroMenuFile, static_cast<int>(n), "P" + names[n]);
    }
    dlg = std::make_unique<CMacroMenuDlg>(h.tp.platform);
    d = std::make_unique<FakeDialog>(*dlg, h.tp.ui);
  }
  std::vector<std::string> Shown() { return *d->Items(CMacroMenuDlg::kList); }
  std::vector<std::string> Paths() {
    std::vector<std::string> v;
    for (const Entry& e : Entries(dlg->list())) v.push_back(e.path);
    return v;
  }
};

TEST(MacroMenuDlg, ListRules) {
  using D = CMacroMenuDlg;
  struct Case {
    const char* what;
    std::vector<std::string> start;
    int selected, button;
    std::vector<std::string> after;
    int selectedAfter;
  } cases[] = {
      {"delete the last of several", {"a", "b", "c"}, 2, D::kDelete, {"a", "b"}, 1},
      {"delete the first", {"a", "b", "c"}, 0, D::kDelete, {"b", "c"}, 0},
      {"delete the only entry", {"a"}, 0, D::kDelete, {}, -1},
      {"delete without a selection", {"a"}, -1, D::kDelete, {"a"}, -1},
      {"up", {"a", "b", "c"}, 1, D::kUp, {"b", "a", "c"}, 0},
      {"up from the top", {"a", "b"}, 0, D::kUp, {"a", "b"}, 0},
      {"down", {"a", "b", "c"}, 1, D::kDown, {"a", "c", "b"}, 2},
      {"down from the bottom", {"a", "b"}, 1, D::kDown, {"a", "b"}, 1},
      {"down without a selection", {"a", "b"}, -1, D::kDown, {"a", "b"}, -1},
  };
  for (const Case& c : cases) {
    MenuDlg t(c.start);
    EXPECT_EQ(t.dlg->selected, 0) << c.what << ": opens on the first entry";
    t.dlg->selected = c.selected;
    t.d->Press(c.button);
    EXPECT_EQ(t.Shown(), c.after) << c.what;
    std::vector<std::string> paths;
    for (const std::string& n : c.after) paths.push_back("P" + n);
    EXPECT_EQ(t.Paths(), paths) << c.what << ": names and paths move together";
    EXPECT_EQ(t.dlg->selected, c.selectedAfter) << c.what;
    EXPECT_EQ(Get(t.h.tp.settings, keys::kMacroMenuCount), static_cast<int>(c.start.size())) << c.what << ": saved only on OK";
  }
}

TEST(MacroMenuDlg, AddAndModifyGoThroughTheEntryDialogAndOkSaves) {
  MenuDlg t({"a"});
  FakeUI& ui = t.h.tp.ui;
  ui.dialogScript = [](FakeDialog& e) {
    e.Set(CMacroEditDlg::kName, "new");
    e.Set(CMacroEditDlg::kPath, "C:\\new.qmc");
    return e.Ok();
  };
  t.d->Press(CMacroMenuDlg::kAdd);
  EXPECT_EQ(t.Shown(), (std::vector<std::string>{"a", "new"}));
  // Modify opens with the entry's values and stores both back.
  std::string seenName, seenPath;
  ui.dialogScript = [&](FakeDialog& e) {
    seenName = e.GetText(CMacroEditDlg::kName);
    seenPath = e.GetText(CMacroEditDlg::kPath);
    e.Set(CMacroEditDlg::kName, "renamed");
    return e.Ok();
  };
  t.dlg->selected = 1;
  t.d->Press(CMacroMenuDlg::kModify);
  EXPECT_EQ(seenName, "new");
  EXPECT_EQ(seenPath, "C:\\new.qmc");
  EXPECT_EQ(t.Shown(), (std::vector<std::string>{"a", "renamed"}));
  EXPECT_EQ(t.dlg->selected, 1);
  // Cancel in the entry dialog changes nothing.
  ui.dialogScript = nullptr;
  t.d->Press(CMacroMenuDlg::kAdd);
  EXPECT_EQ(t.Shown().size(), 2u);
  ASSERT_TRUE(t.d->Ok());
  CDirMenuArray saved(t.h.tp.settings);
  saved.Load();
  EXPECT_EQ(Entries(saved), (std::vector<Entry>{{"a", "Pa"}, {"renamed", "C:\\new.qmc"}}));
}

TEST(MacroMenuDlg, DeleteAsksWithTheNameAndAFullListRefusesAnother) {
  MenuDlg t({sj(u8"整形"), "b"});
  FakeUI& ui = t.h.tp.ui;
  ui.answers = {Answer::Cancel};
  t.d->Press(CMacroMenuDlg::kDelete);
  EXPECT_EQ(t.Shown().size(), 2u);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "整形を削除しますか？");
  std::vector<std::string> thirty(30, "m");
  MenuDlg full(thirty);
  full.d->Press(CMacroMenuDlg::kAdd);
  EXPECT_EQ(full.h.tp.ui.ShownIds(), std::vector<Txt>{Txt::MacroMenuFull});
  EXPECT_TRUE(full.h.tp.ui.dialogsRun.empty());
  EXPECT_EQ(full.dlg->list().Count(), 30);
}

TEST(MacroEditDlg, BrowseAsksForAMacroFileAndFillsBothFields) {
  CommandHarness h;
  Set(h.tp.settings, keys::kMacroDir, "C:\\macros");
  CMacroEditDlg dlg(h.tp.settings, "old", "old.qmc");
  FakeDialog d(dlg, h.tp.ui);
  h.tp.ui.fileAnswers.push_back({"C:\\macros\\sort.qmc"});
  d.Press(CMacroEditDlg::kBrowse);
  EXPECT_EQ(dlg.name, "sort");
  EXPECT_EQ(dlg.path, "C:\\macros\\sort.qmc");
  ASSERT_EQ(h.tp.ui.fileRequests.size(), 1u);
  const FileDialogRequest& r = h.tp.ui.fileRequests[0];
  EXPECT_TRUE(r.open);
  EXPECT_EQ(r.defaultExt, "QMC");
  EXPECT_EQ(r.fileName, "*.QMC");
  EXPECT_STREQ(TextOf(r.filter), "ﾏｸﾛﾌｧｲﾙ(*.qmc) |*.QMC|全てのファイル|*.*||");
  EXPECT_STREQ(TextOf(r.title), "ﾏｸﾛﾌｧｲﾙ名の入力");
  EXPECT_EQ(r.initialDir, "C:\\macros");
  d.Press(CMacroEditDlg::kBrowse);  // cancelled: both stay
  EXPECT_EQ(dlg.name, "sort");
}

TEST(MacroExeDlg, KeepsItsMacroAndEndModeAndEditsItsFiles) {
  CommandHarness h;
  MemorySettings& s = h.tp.settings;
  s.SetText("MacroExe", "MaroName", "C:\\m.qmc");
  s.SetInt("MacroExe", "EndMode", 2);
  CMacroExeDlg dlg(h.tp.platform, {"C:\\0.txt"});
  FakeDialog d(dlg, h.tp.ui);
  dlg.OnInit(d);
  EXPECT_EQ(dlg.macro, "C:\\m.qmc");
  EXPECT_EQ(dlg.endMode, 2);
  EXPECT_EQ(dlg.selected, 0);
  h.tp.ui.fileAnswers.push_back({"C:\\a.txt", "C:\\b.txt"});
  d.Press(CMacroExeDlg::kAdd);
  EXPECT_EQ(dlg.files, (std::vector<std::string>{"C:\\0.txt", "C:\\a.txt", "C:\\b.txt"}));
  EXPECT_EQ(dlg.selected, 2);
  const FileDialogRequest& add = h.tp.ui.fileRequests.back();
  EXPECT_TRUE(add.multiSelect && add.mustExist && add.open);
  EXPECT_STREQ(TextOf(add.title), "マクロを適用するファイル");
  EXPECT_STREQ(TextOf(add.filter), "全てのﾌｧｲﾙ(*.*) |*.*||");
  d.Press(CMacroExeDlg::kDelete);  // the last: the one before is selected
  EXPECT_EQ(dlg.files.size(), 2u);
  EXPECT_EQ(dlg.selected, 1);
  EXPECT_EQ(h.tp.ui.shown.back().text, "C:\\b.txt を削除しますか？");
  h.tp.ui.fileAnswers.push_back({"D:\\x.qmc"});
  d.Press(CMacroExeDlg::kBrowse);
  EXPECT_EQ(dlg.macro, "D:\\x.qmc");
  const FileDialogRequest& browse = h.tp.ui.fileRequests.back();
  EXPECT_EQ(browse.fileName, "*.qmc");
  EXPECT_TRUE(browse.keepCurrentDir);
  d.Set(CMacroExeDlg::kEnd, 1);
  ASSERT_TRUE(d.Ok());
  EXPECT_EQ(s.GetText("MacroExe", "MaroName", ""), "D:\\x.qmc");
  EXPECT_EQ(s.GetInt("MacroExe", "EndMode", 9), 1);
}

// The files of a run, written before it; the expected bytes after ToUpper and a numbering.
struct Files {
  CommandHarness h;
  std::string macro, a, b;
  Files() {
    macro = h.dir.Path("m.qmc");
    a = h.dir.Path("a.txt");
    b = h.dir.Path("b.txt");
    EXPECT_TRUE(h.tp.files->WriteAll(macro, "ToUpper\r\nInsertEndLine end\r\n"));
    EXPECT_TRUE(h.tp.files->WriteAll(a, "abc\r\ndef"));
    EXPECT_TRUE(h.tp.files->WriteAll(b, std::string(150000, 'x') + "\n\x82\xA0y\n"));
  }
  std::string Read(const std::string& p) { return h.tp.files->ReadAll(p).value_or("<missing>"); }
};

TEST(MacroOverFiles, EachFileIsOpenedRunAndSavedWhenTheEndModeSays) {
  for (int mode : {0, 1, 2}) {
    Files f;
    f.h.Clip("clip");
    f.h.tp.ui.dialogScript = [&](FakeDialog& d) {
      auto& m = static_cast<CMacroExeDlg&>(d.model());
      m.macro = f.macro;
      m.files = {f.a, f.b};
      m.endMode = mode;
      return d.Ok();
    };
    ASSERT_TRUE(f.h.m->Dispatch(Cmd::MacroOverFiles));
    if (mode == 0) {
      EXPECT_EQ(f.Read(f.a), "abc\r\ndef");
      EXPECT_EQ(f.Read(f.b), std::string(150000, 'x') + "\n\x82\xA0y\n");
    } else {
      EXPECT_EQ(f.Read(f.a), "ABC\r\nDEF\r\nend\r\n") << mode;
      EXPECT_EQ(f.Read(f.b), std::string(150000, 'X') + "\r\n\x82\xA0Y\r\nend\r\n") << mode;
    }
    EXPECT_FALSE(f.h.tp.files->Exists(f.a + ".qlk-tmp"));
    EXPECT_EQ(f.h.ClipText(), "clip");
    EXPECT_EQ(f.h.tp.clipboard.writes, 0);
    EXPECT_TRUE(f.h.tp.ui.shown.empty());
  }
}

TEST(MacroOverFiles, AFileThatCannotBeOpenedOrWrittenIsSaidAndTheRunGoesOn) {
  Files f;
  std::filesystem::create_directory(f.a + ".qlk-tmp");  // a's work file cannot be made
  ASSERT_TRUE(f.h.tp.files->WriteAll(f.a + ".qlk-tmp" + f.h.tp.files->Separator() + "x", "x"));
  const std::string missing = f.h.dir.Path("none.txt");
  EXPECT_EQ(ApplyMacroToFiles(*f.h.m, f.macro, {missing, f.a, f.b}, 1), 1);
  EXPECT_EQ(f.Read(f.a), "abc\r\ndef");
  EXPECT_EQ(f.Read(f.b).substr(0, 3), "XXX");
  ASSERT_EQ(f.h.tp.ui.ShownIds(), (std::vector<Txt>{Txt::FileNotFound, Txt::CannotWriteNamedFile}));
  EXPECT_EQ(f.h.tp.ui.shown[1].text, "ファイルに書き込めません\n" + f.a);
  // Without its macro nothing is opened; said once.
  Files g;
  EXPECT_EQ(ApplyMacroToFiles(*g.h.m, g.h.dir.Path("none.qmc"), {g.a, g.b}, 1), 0);
  EXPECT_EQ(g.h.tp.ui.ShownIds(), std::vector<Txt>{Txt::CannotOpenFile2});
  EXPECT_EQ(g.Read(g.a), "abc\r\ndef");
}

TEST(MacroOverFiles, AJisFileIsConvertedOnOpeningAsTheOpenKeywordDoes) {
  Files f;
  ASSERT_TRUE(f.h.tp.files->WriteAll(f.a, "\x1B$B$\"\x1B(B\r\n"));  // あ in JIS
  ASSERT_TRUE(f.h.tp.files->WriteAll(f.macro, "Sort1\r\n"));
  EXPECT_EQ(ApplyMacroToFiles(*f.h.m, f.macro, {f.a}, 1), 1);
  EXPECT_EQ(f.Read(f.a), "\x82\xA0\r\n");
}

TEST(MacroOverFiles, NotWhileRecording) {
  Files f;
  f.h.Record();
  f.h.tp.ui.dialogScript = [](FakeDialog& d) { return d.Ok(); };
  f.h.m->Dispatch(Cmd::MacroOverFiles);
  EXPECT_TRUE(f.h.tp.ui.dialogsRun.empty());
  EXPECT_EQ(f.h.tp.ui.ShownIds(), std::vector<Txt>{Txt::MacroRecording});
}

TEST(MacroMenuDlg, TheEditCommandAddsTwoEntriesAndTheMenuRunsThem) {
  CommandHarness h;
  const std::string up = h.dir.Path("up.qmc"), rev = h.dir.Path("rev.qmc");
  ASSERT_TRUE(h.tp.files->WriteAll(up, "ToUpper\r\n"));
  ASSERT_TRUE(h.tp.files->WriteAll(rev, "Sort2\r\n"));
  std::deque<std::string> picks = {up, rev};
  h.tp.ui.dialogScript = [&](FakeDialog& d) {
    if (d.model().ResourceId() == CMacroEditDlg::kResource) {
      h.tp.ui.fileAnswers.push_back({picks.front()});
      picks.pop_front();
      d.Press(CMacroEditDlg::kBrowse);
      return d.Ok();
    }
    d.Press(CMacroMenuDlg::kAdd);
    d.Press(CMacroMenuDlg::kAdd);
    d.Set(CMacroMenuDlg::kList, 1);
    d.Press(CMacroMenuDlg::kUp);
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(Cmd::MacroMenuEdit));
  CDirMenuArray list(h.tp.settings);
  list.Load();
  EXPECT_EQ(Entries(list), (std::vector<Entry>{{"rev", rev}, {"up", up}}));
  h.Clip("a\r\nc\r\nb");
  ASSERT_TRUE(h.m->Dispatch(kFirstMacroMenuCommand));
  EXPECT_EQ(h.ClipText(), "c\r\nb\r\na");
  ASSERT_TRUE(h.m->Dispatch(kFirstMacroMenuCommand + 1));
  EXPECT_EQ(h.ClipText(), "C\r\nB\r\nA");
}

}  // namespace
