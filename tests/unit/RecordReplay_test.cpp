// Every command that writes a macro line, recorded through the frame with scripted dialog
// answers, then replayed by the interpreter on the same clipboard text: the bytes agree.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "Fakes.h"
#include "conv/CodeDetectDlg.h"
#include "conv/Detect.h"
#include "conv/WidthDlg.h"
#include "macro/Bindings.h"
#include "macro/Commands.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"
#include "macro/SearchDlg.h"
#include "ops/BlankDlg.h"
#include "ops/FoldDialogs.h"
#include "ops/MultiReplaceDlg.h"
#include "ops/ReplaceDlg.h"
#include "ops/SortDlg.h"

using namespace qlk;
using namespace qlk::test;

namespace {

// What a person types into each dialog: values that exercise escapes, blanks and columns.
const std::map<int, std::function<void(FakeDialog&)>>& Scripts() {
  static const std::map<int, std::function<void(FakeDialog&)>> s = {
      {CZentohanDlg::kResource, [](FakeDialog& d) { d.Set(kWidthDlgKata, 1); d.Set(kWidthDlgNum, 1); d.Set(kWidthDlgWasu, 1); }},
      {CHantozenDlg::kResource, [](FakeDialog& d) { d.Set(kWidthDlgAlpha, 1); d.Set(kWidthDlgAsciiSymbol, 1); }},
      {CInputNoDlg::kResource, [](FakeDialog& d) { d.Set(CInputNoDlg::kValue, 7); }},
      {CTurnIfDlg::kResource, [](FakeDialog& d) { d.Set(CTurnIfDlg::kText, std::string(", ")); d.Set(CTurnIfDlg::kReplace, 1); }},
      {CUstrDlg::kResource, [](FakeDialog& d) { d.Set(CUstrDlg::kColumn, 3); d.Set(CUstrDlg::kText, std::string("C:\\new x")); }},
      {CRenoDlg::kResource, [](FakeDialog& d) {
         d.Set(CRenoDlg::kColumn, 2);
         d.Set(CRenoDlg::kDigits, 3);
         d.Set(CRenoDlg::kStart, 8);
         d.Set(CRenoDlg::kIncrement, 2);
         d.Set(CRenoDlg::kBlankFill, 1);
       }},
      {CInsertDlg::kResource, [](FakeDialog& d) { d.Set(CInsertDlg::kColumn, 2); d.Set(CInsertDlg::kText, std::string("a\\nb c")); }},
      {CDelposDlg::kResource, [](FakeDialog& d) { d.Set(CDelposDlg::kFirst, 2); d.Set(CDelposDlg::kLast, 4); }},
      {CSpaceInsDlg::kResource, [](FakeDialog& d) { d.Set(CSpaceInsDlg::kColumn, 3); d.Set(CSpaceInsDlg::kCount, 2); }},
      {CInputDlg::kResource, [](FakeDialog& d) { d.Set(CInputDlg::kText, std::string(" tail\\t\\")); }},
      {CLineEditDlg::kResource, [](FakeDialog& d) { d.Set(CLineEditDlg::kText, std::string("last \\ line")); }},
      {CReplaceDlg::kResource, [](FakeDialog& d) {
         d.Set(CReplaceDlg::kSearch, sj(u8"ａｂｃ"));
         d.Set(CReplaceDlg::kReplacement, std::string("x\\ny z"));
         d.Set(SearchBoxes::kZenhan, 1);
         d.Set(SearchBoxes::kUplow, 1);
       }},
      {CDelStrDlg::kResource, [](FakeDialog& d) {
         d.Set(CDelStrDlg::kSearch, std::string("it's a"));
         d.Set(SearchBoxes::kRegex, 1);
       }},
      {CSReplaceDlg::kResource, [](FakeDialog& d) {
         d.Set(CSReplaceDlg::kStart, std::string(", "));
         d.Set(CSReplaceDlg::kEnd, std::string("?"));
         d.Set(CSReplaceDlg::kAfter, std::string("\\t"));
       }},
      {CReplaceDoubleDlg::kResource, [](FakeDialog& d) {
         d.Set(CReplaceDoubleDlg::kStartBefore, std::string("<b>"));
         d.Set(CReplaceDoubleDlg::kEndBefore, std::string("</b>"));
         d.Set(CReplaceDoubleDlg::kEscape, std::string("\\"));
       }},
      {CTabDlg::kResource, [](FakeDialog& d) { d.Set(CTabDlg::kWidth, 4); }},
      {CTabIfDlg::kResource, [](FakeDialog& d) { d.Set(CTabIfDlg::kText, std::string(", ")); d.Set(CTabIfDlg::kReplace, 1); }},
      {CSptocsvDlg::kResource, [](FakeDialog& d) { d.Set(CSptocsvDlg::kStart, 1); d.Set(CSptocsvDlg::kEnd, 3); }},
      {COnelineDlg::kResource, [](FakeDialog& d) { d.Set(COnelineDlg::kCount, 2); }},
      {CSortDlg::kResource, [](FakeDialog& d) {
         d.Set(CSortDlg::kMode, 1);
         d.Set(CSortDlg::kFirst, 3);
         d.Set(CSortDlg::kSecond, 1);
         d.Set(CSortDlg::kNum + CSortDlg::kKeyStep, 1);
       }},
      // Over a folder of its own (the clipboard is no part of it, and replays the same).
      {CMultiReplaceDlg::kResource, [](FakeDialog& d) {
         static const TempDir folder;
         d.Set(IDC_MULTI_REPLACE_DIR, folder.Folder());
         d.Set(IDC_MULTI_REPLACE_FILE, std::string("*.txt"));
         d.Set(IDC_MULTI_REPLACE_FIND, std::string("a\\sb"));
         d.Set(IDC_MULTI_REPLACE_REPLACE, std::string("x\\ny"));
       }},
      {CRReportDlg::kResource, [](FakeDialog&) {}},
      {CCodeDetectDlg::kResource, [](FakeDialog& d) { d.Set(kCodeDetectList, kCodeEuc); }},
      {CDupLineDelDlg::kResource, [](FakeDialog& d) {
         d.Set(CDupLineDelDlg::kPartial, 1);
         d.Set(CDupLineDelDlg::kStart, 1);
         d.Set(CDupLineDelDlg::kEnd, 2);
       }},
  };
  return s;
}

struct Recorder {
  TestPlatform tp;
  AppState app;
  std::unique_ptr<MainState> m = std::make_unique<MainState>(tp.platform, AllBindings(), app);
  TempDir dir;
  bool dialogUnknown = false;

  Recorder() {
    tp.ui.dialogScript = [this](FakeDialog& d) {
      auto it = Scripts().find(d.model().ResourceId());
      if (it == Scripts().end()) {
        dialogUnknown = true;
        return false;
      }
      it->second(d);
      return d.Ok();
    };
  }
  // Runs the commands from the menu with recording on; returns the clipboard and the macro.
  std::pair<std::string, std::string> Record(const std::vector<uint32_t>& ids, const std::string& text) {
    tp.ui.fileAnswers.push_back({dir.Path("rec.qmc")});
    m->Dispatch(IdOf(Cmd::MacroRecord));
    tp.clipboard.text = text;
    for (uint32_t id : ids) m->Dispatch(id);
    m->Dispatch(IdOf(Cmd::MacroRecord));
    return {tp.clipboard.text.value_or(""), tp.files->ReadAll(dir.Path("rec.qmc")).value_or("")};
  }
  std::string Replay(const std::string& text) {
    Recorder fresh;  // a new tray: nothing carries over but the macro file
    fresh.tp.settings = tp.settings;
    fresh.tp.clipboard.text = text;
    RunMacroFile(*fresh.m, dir.Path("rec.qmc"));
    return fresh.tp.clipboard.text.value_or("");
  }
};

const std::string& Sample() {
  static const std::string s = sj(u8"Hello, wörld? ｶﾞｷﾞ ａｂｃ １２ 〇一\r\n"
                                  "  　indented\tline with a\\backslash and ソ表\r\n"
                                  "\r\n"
                                  "<b>it's a pen.ok</b> あいうえおかきくけこ ABCDEF 0123456789\r\n"
                                  "last");
  return s;
}

// Commands whose menu form differs from their macro line by design: the selection dialog stores
// nothing, and the commands without a reload act on the document the previous command left.
const std::set<uint32_t> kMenuOnlySemantics = {IdOf(Cmd::LineSelect), IdOf(Cmd::Notsel), IdOf(Cmd::TextAll)};

TEST(RecordReplay, EveryRecordingCommandReplaysToTheSameBytes) {
  int covered = 0;
  for (const CommandDef& c : AllCommands()) {
    if (!*c.keyword || kMenuOnlySemantics.count(c.id)) continue;
    Recorder r;
    if (!r.m->IsBound(c.id)) continue;
    auto [menu, macro] = r.Record({c.id}, Sample());
    ASSERT_FALSE(r.dialogUnknown) << "no script for the dialog of " << c.id << " (" << c.keyword << ")";
    ASSERT_NE(macro.find(c.keyword), std::string::npos) << c.id << " recorded: " << macro;
    EXPECT_EQ(u8(r.Replay(Sample())), u8(menu)) << c.id << " " << c.keyword << " recorded " << macro;
    ++covered;
  }
  EXPECT_GE(covered, 40);
}

TEST(RecordReplay, ASequenceReplaysWhole) {
  Recorder r;
  std::vector<uint32_t> seq = {IdOf(Cmd::HanToZen), IdOf(Cmd::ToUpper), IdOf(Cmd::ShiftRight), IdOf(Cmd::TurnChange), IdOf(Cmd::OverwriteString), IdOf(Cmd::StrCat), IdOf(Cmd::HiraToKana), IdOf(Cmd::ToTopUpper)};
  for (uint32_t id : seq) ASSERT_TRUE(r.m->IsBound(id)) << id;
  auto [menu, macro] = r.Record(seq, Sample());
  EXPECT_EQ(u8(r.Replay(Sample())), u8(menu)) << macro;
  EXPECT_EQ(std::count(macro.begin(), macro.end(), '\n'), static_cast<long>(seq.size()));
}

}  // namespace
