#include <gtest/gtest.h>

#include "CommandHarness.h"
#include "macro/Bindings.h"
#include "macro/Commands.h"
#include "macro/Families.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"
#include "ops/BlankDlg.h"
#include "ops/Blanks.h"
#include "ops/SortDlg.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct Harness : CommandHarness {
  int Setting(const char* section, const char* key) { return tp.settings.GetInt(section, key, -12345); }
  // Runs macro lines on the clipboard's text, as one macro run does.
  std::vector<std::string> Run(std::string clip, const std::vector<std::string>& lines) {
    Clip(std::move(clip));
    EXPECT_TRUE(m->Reload());
    for (const std::string& l : lines) ExecuteMacroLine(*m, l);
    return m->doc().Lines().ToVector();
  }
};

using Lines = std::vector<std::string>;

}  // namespace

TEST(SortCommands, PlainCommandsAskTheirQuestionAndRecordTheirKeyword) {
  struct Case {
    uint32_t id;
    Txt question;
    const char* keyword;
  } cases[] = {
      {32831, Txt::CfSort1, "Sort1"},
      {32832, Txt::CfSort2, "Sort2"},
      {32814, Txt::CfReverse, "Reverse"},
      {32799, Txt::CfDelSpaceLine, "DelSpaceLine"},
      {32800, Txt::CfDelSpaceMultiLine, "DelSpaceMultiLine"},
      {32822, Txt::CfDelSpaceOnly, "DelSpaceOnly"},
      {32797, Txt::CfDelSpaceFirst, "DelSpaceFirst"},
      {32798, Txt::CfDelSpaceBack, "DelSpaceBack"},
      {32908, Txt::CfToCenter, "ToCenter"},
      {32909, Txt::CfToRight, "ToRight"},
      {32791, Txt::CfToOneline, "ToOneline"},
      {32913, Txt::CfToOnelineAll, "ToOnelineAll"},
      {32808, Txt::CfCtlMToCRLF, "CtlMToCRLF"},
      {32823, Txt::CfLFToCRLF, "LFToCRLF"},
  };
  for (const Case& c : cases) {
    Harness h;
    h.tp.settings.SetInt("System", "Verify", 1);
    h.Clip("b \r\n\r\n a");
    h.tp.ui.answers.push_back(Answer::Cancel);
    ASSERT_TRUE(h.m->Dispatch(c.id)) << c.keyword;
    EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{c.question}) << c.keyword;
    EXPECT_EQ(h.tp.clipboard.writes, 0) << c.keyword;
    h.Record();
    ASSERT_TRUE(h.m->Dispatch(c.id));  // no answer queued: OK
    EXPECT_EQ(h.tp.clipboard.writes, 1) << c.keyword;
    EXPECT_EQ(h.StopAndRead(), std::string(c.keyword) + "\r\n");
  }
}

TEST(SortCommands, SortAscendingThroughTheMenu) {
  Harness h;
  h.Clip("c\r\na\r\nB");
  h.m->Dispatch(32831);
  EXPECT_EQ(h.ClipText(), "a\r\nB\r\nc");
}

TEST(SortCommands, ComplexSortDialogChainsItsKeys) {
  Harness h;
  h.Clip("bb02\r\naa09\r\nbb01\r\naa03\r\n");
  h.Record();
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    const int key2 = CSortDlg::kFirst + CSortDlg::kKeyStep, key3 = CSortDlg::kFirst + 2 * CSortDlg::kKeyStep;
    EXPECT_FALSE(d.Enabled(key2));
    EXPECT_FALSE(d.Enabled(CSortDlg::kThird));
    d.Set(CSortDlg::kSecond, 1);
    EXPECT_TRUE(d.Enabled(key2));
    EXPECT_TRUE(d.Enabled(CSortDlg::kThird));
    EXPECT_FALSE(d.Enabled(key3));
    d.Set(CSortDlg::kThird, 1);
    EXPECT_TRUE(d.Enabled(key3));
    d.Set(CSortDlg::kSecond, 0);  // clears the third box as well
    EXPECT_EQ(d.GetInt(CSortDlg::kThird), 0);
    EXPECT_FALSE(d.Enabled(key3));
    d.Set(CSortDlg::kSecond, 1);
    d.Set(CSortDlg::kFirst, 1);
    d.Set(CSortDlg::kEnd, 2);
    d.Set(CSortDlg::kMode + CSortDlg::kKeyStep, 1);
    d.Set(key2, 3);
    d.Set(CSortDlg::kEnd + CSortDlg::kKeyStep, 4);
    d.Set(CSortDlg::kNum + CSortDlg::kKeyStep, 1);
    return d.Ok();
  };
  h.m->Dispatch(32918);
  EXPECT_EQ(h.ClipText(), "aa09\r\naa03\r\nbb02\r\nbb01\r\n");
  EXPECT_EQ(h.StopAndRead(), "Sort 0 1 2 0 1 3 4 1\r\n");
  EXPECT_EQ(h.m->doc().sortKeys, (std::vector<CSortItem>{{0, 1, 2, 0}, {1, 3, 4, 1}}));
  EXPECT_EQ(h.Setting("SortDlg", "End1"), 2);
  EXPECT_EQ(h.Setting("SortDlg", "Mode2"), 1);
  EXPECT_EQ(h.Setting("SortDlg", "Second"), 1);
  EXPECT_EQ(h.Setting("SortDlg", "Third"), 0);
  EXPECT_EQ(h.Setting("SortDlg", "First3"), 1);  // every key is written on OK
}

TEST(SortCommands, DialogsReadTheirSettingsAndCancelWritesNothing) {
  Harness h;
  h.tp.settings.SetInt("SortDlg", "First1", 3);
  h.tp.settings.SetInt("SortDlg", "Second", 0);
  h.tp.settings.SetInt("SortDlg", "Third", 1);  // cannot stand without the second key
  h.tp.settings.writeLog.clear();
  CSortDlg sortDlg(h.tp.settings);
  EXPECT_EQ(sortDlg.keys[0].first, 3);
  EXPECT_EQ(sortDlg.third, 0);
  EXPECT_EQ(sortDlg.Keys().size(), 1u);
  h.Clip("b\r\na");
  h.tp.ui.dialogScript = [](FakeDialog&) { return false; };
  for (uint32_t id : {32918u, 32923u, 32905u, 32906u, 32916u, 32850u, 32841u}) ASSERT_TRUE(h.m->Dispatch(id));
  EXPECT_TRUE(h.tp.settings.writeLog.empty());
  EXPECT_EQ(h.tp.clipboard.writes, 0);
  EXPECT_EQ(h.tp.ui.dialogsRun, (std::vector<int>{CSortDlg::kResource, CDupLineDelDlg::kResource, CTabDlg::kResource,
                                                  CTabDlg::kResource, CTabIfDlg::kResource, CSptocsvDlg::kResource,
                                                  COnelineDlg::kResource}));
}

TEST(SortCommands, DupLineDelDialog) {
  Harness h;
  h.Clip("xab1\r\nyab2\r\nz");
  h.Record();
  h.tp.ui.dialogScript = [](FakeDialog& d) {
    EXPECT_FALSE(d.Enabled(CDupLineDelDlg::kStart));
    d.Set(CDupLineDelDlg::kPartial, 1);
    EXPECT_TRUE(d.Enabled(CDupLineDelDlg::kStart));
    EXPECT_TRUE(d.Enabled(CDupLineDelDlg::kEnd));
    d.Set(CDupLineDelDlg::kStart, 2);
    d.Set(CDupLineDelDlg::kEnd, 3);
    return d.Ok();
  };
  h.m->Dispatch(32923);
  EXPECT_EQ(h.ClipText(), "xab1\r\nz");
  EXPECT_EQ(h.StopAndRead(), "DupLineDel 1 2 3 0\r\n");
  EXPECT_EQ(h.Setting("CDupLineDelDlg", "Keta"), 1);
  EXPECT_EQ(h.Setting("CDupLineDelDlg", "Start"), 2);
  EXPECT_EQ(h.Setting("CDupLineDelDlg", "End"), 3);
  EXPECT_EQ(h.Setting("CDupLineDelDlg", "Sort"), 0);
}

TEST(SortCommands, ParameterDialogsRecordWhatTheyRun) {
  struct Case {
    uint32_t id;
    std::function<bool(FakeDialog&)> script;
    std::string clip, result, macro;
    const char* section;
    const char* key;
    int stored;
  } cases[] = {
      {32905, [](FakeDialog& d) { return d.Ok(); }, "a\tb", "a       b", "TabSpace 8", "TabDlg", "nTab", 8},
      {32906,
       [](FakeDialog& d) {
         d.Set(CTabDlg::kWidth, 4);
         return d.Ok();
       },
       "a   b", "a\tb", "SpaceTab 4", "TabDlg", "nTab", 4},
      {32916,
       [](FakeDialog& d) {
         d.Set(CTabIfDlg::kText, std::string(", "));
         d.Set(CTabIfDlg::kReplace, 1);
         return d.Ok();
       },
       "a, b, c", "a\tb\tc", "TabIf ,\\s 1", "TabIf", "bReplace", 1},
      {32850,
       [](FakeDialog& d) {
         d.Set(CSptocsvDlg::kStart, 1);
         d.Set(CSptocsvDlg::kEnd, 100);
         return d.Ok();
       },
       "a  b c", "a, b,c", "SpToCsv 1 100", "SpToCsv", "nEnd", 100},
      {32841, [](FakeDialog& d) { return d.Ok(); }, "1\r\n2\r\n3", "12\r\n3", "OnelineNo 2", "Oneline", "nCount", 2},
  };
  for (const Case& c : cases) {
    Harness h;
    h.Clip(c.clip);
    h.Record();
    h.tp.ui.dialogScript = c.script;
    h.m->Dispatch(c.id);
    EXPECT_EQ(h.ClipText(), c.result) << c.macro;
    EXPECT_EQ(h.StopAndRead(), c.macro + "\r\n");
    EXPECT_EQ(h.Setting(c.section, c.key), c.stored) << c.macro;
  }
}

TEST(SortCommands, DialogsRefuseOutOfRangeNumbers) {
  struct Case {
    std::function<std::unique_ptr<DialogModel>(ISettings&)> make;
    int control, bad, good;
  } cases[] = {
      {[](ISettings& s) { return std::make_unique<CTabDlg>(s); }, CTabDlg::kWidth, 0, 1},
      {[](ISettings& s) { return std::make_unique<CTabDlg>(s); }, CTabDlg::kWidth, kMaxTabWidth + 1, kMaxTabWidth},
      {[](ISettings& s) { return std::make_unique<COnelineDlg>(s); }, COnelineDlg::kCount, 1, 2},
      {[](ISettings& s) { return std::make_unique<COnelineDlg>(s); }, COnelineDlg::kCount, 65536, 65535},
  };
  for (const Case& c : cases) {
    TestPlatform tp;
    auto model = c.make(tp.settings);
    FakeDialog d(*model, tp.ui);
    d.Set(c.control, c.bad);
    EXPECT_FALSE(d.Ok());
    EXPECT_TRUE(tp.settings.writeLog.empty());
    d.Set(c.control, c.good);
    EXPECT_TRUE(d.Ok());
  }
}

TEST(SortCommands, OnelineNoLeavesEveryLineInRange) {
  Harness h;
  h.m->allSelect = 0;
  h.Clip("1\r\n2\r\n3\r\n4\r\n5");
  h.tp.ui.dialogScript = [](FakeDialog& d) { return d.Ok(); };
  h.m->Dispatch(32841);
  EXPECT_EQ(h.ClipText(), "12\r\n34\r\n5");
  EXPECT_EQ(h.m->doc().rangeEnd, 3);
}

TEST(SortKeywords, RunFromMacroLines) {
  struct Case {
    std::vector<std::string> lines;
    std::string clip;
    Lines out;
  } cases[] = {
      {{"sort1"}, "b\r\nA\r\na\r\nC", {"A", "a", "b", "C"}},
      {{"Sort 0 1 -1 1"}, "10\r\n9\r\nx", {"x", "9", "10"}},
      {{"Sort 0 1 2 0 1 3 4 1"}, "bb02\r\naa09\r\nbb01\r\naa03", {"aa09", "aa03", "bb02", "bb01"}},
      {{"Sort"}, "b\r\na", {"b", "a"}},             // no key: nothing to sort by
      {{"Sort 0 1 -1"}, "b\r\na", {"b", "a"}},      // an incomplete key is no key
      {{"Reverse"}, "a\r\nb\r\nc", {"c", "b", "a"}},
      {{"DupLineDel 0 1 1 0"}, "a\r\nb\r\na\r\na", {"a", "b"}},
      {{"TabSpace 4"}, "a\tb", {"a   b"}},
      {{"SpaceTab 4"}, "a   b", {"a\tb"}},
      {{"TabIf ,\\s 1"}, "a, b", {"a\tb"}},
      {{"TabIf \\b 0"}, "a, b", {"a, b"}},
      {{"SpToCsv 1 9"}, "a b", {"a,b"}},
      {{"OnelineNo 3"}, "1\r\n2\r\n3\r\n4", {"123", "4"}},
      {{"LineSelect 1 2 3", "OnelineNo 2", "ToRight"}, "1\r\n2\r\n3\r\n4", {"1", "23", " 4"}},
      {{"DelSpaceLine", "DelSpaceFirst"}, " a\r\n\t\r\n b", {"a", "b"}},
      {{"CtlMToCRLF", "LFToCRLF"}, "a\rb\nc", {"a", "b", "c"}},
  };
  for (const Case& c : cases) {
    Harness h;
    EXPECT_EQ(h.Run(c.clip, c.lines), c.out) << c.lines[0];
  }
}

TEST(SortKeywords, DegenerateLinesTakeNoUndoStep) {
  for (const char* line : {"Sort", "TabSpace 0", "SpaceTab 99999", "OnelineNo 0", "SpToCsv 0 5", "TabIf \\b 1"}) {
    Harness h;
    h.Run("a b\tc", {line});
    EXPECT_FALSE(h.m->doc().CanUndo()) << line;
    EXPECT_FALSE(h.m->doc().IsModified()) << line;
  }
}

TEST(SortCommands, EveryCommandAndKeywordReachesTheTrayAndTheCommandLine) {
  const Bindings& all = AllBindings();
  for (uint32_t id : {32831u, 32832u, 32918u, 32814u, 32923u, 32799u, 32800u, 32822u, 32797u, 32798u, 32905u, 32906u,
                      32916u, 32908u, 32909u, 32850u, 32791u, 32913u, 32841u, 32808u, 32823u})
    EXPECT_NE(all.HandlerFor(id), nullptr) << id;
  for (const char* k : {"Sort1", "Sort2", "Sort", "Reverse", "DupLineDel", "DelSpaceLine", "DelSpaceMultiLine",
                        "DelSpaceOnly", "DelSpaceFirst", "DelSpaceBack", "TabSpace", "SpaceTab", "TabIf", "ToCenter",
                        "ToRight", "SpToCsv", "ToOneline", "ToOnelineAll", "OnelineNo", "CtlMToCRLF", "LFToCRLF"}) {
    EXPECT_NE(all.ActionFor(k), nullptr) << k;
    EXPECT_GE(FindKeyword(k), 0) << k;
  }
}

TEST(SortCommands, TabIfRecordsTheTypedTextSoThatReplayGivesItBack) {
  const std::string so = sj(u8"ソ");  // its trail byte is a backslash
  for (const std::string& typed : {std::string("\\t"), std::string("C:\\new "), so + "n", std::string("a\\\\b")}) {
    const std::string clip = "x" + typed + "y" + typed + "z";
    Harness h;
    h.Clip(clip);
    h.Record();
    h.tp.ui.dialogScript = [&](FakeDialog& d) {
      d.Set(CTabIfDlg::kText, typed);
      d.Set(CTabIfDlg::kReplace, 1);
      return d.Ok();
    };
    h.m->Dispatch(32916);
    const std::string byMenu = h.ClipText();
    EXPECT_EQ(byMenu, "x\ty\tz") << u8(typed);
    std::string line = h.StopAndRead();
    ASSERT_GE(line.size(), 2u);
    line.resize(line.size() - 2);  // CR LF
    Harness replay;
    EXPECT_EQ(replay.Run(clip, {line}), Lines{"x\ty\tz"}) << line;
  }
}
