// The command and keyword tables against what is built from them: the identifiers the
// resources use, the bindings of the families, the keyword columns.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "CommandHarness.h"
#include "CommandIds.h"
#include "macro/Bindings.h"
#include "macro/Commands.h"
#include "macro/Keywords.h"
#include "macro/Streaming.h"

using namespace qlk;

namespace {

TEST(CommandIds, TheResourceNamesAreTheTableIdentifiers) {
  // A row the generator missed does not compile; one it misread fails here.
#define QLK_CMD(name, id, keyword, confirm, frame, args) EXPECT_EQ(CMD_##name, id) << #name;
#define QLK_CMD_RANGE(name, first, count) EXPECT_EQ(CMD_##name, first) << #name;
#include "macro/Commands.def"
#undef QLK_CMD
#undef QLK_CMD_RANGE
}

TEST(Bindings, EveryFamilyAgreesWithTheTables) {
  EXPECT_EQ(AllBindings().Problems(), std::vector<std::string>{});
}

// Keywords of features not yet built. The list must shrink when one lands: a keyword listed
// here that does something fails the test as one missing does.
const std::set<std::string> kKeywordsNotYetBuilt = {};

TEST(Bindings, EveryKeywordOfTheTableDoesSomething) {
  for (const KeywordDef& k : AllKeywords())
    EXPECT_EQ(AllBindings().ActionFor(k.name) != nullptr, !kKeywordsNotYetBuilt.count(k.name)) << k.name;
}

// Commands of features not yet built (and Exit, which the tray's window handles itself). The
// list must shrink when one lands: a command listed here that is bound fails the test as one
// missing does.
const std::set<Cmd> kCommandsNotYetBuilt = {
    Cmd::Exit,
};

TEST(Bindings, EveryCommandOfTheTableIsBound) {
  test::CommandHarness h;
  for (const CommandDef& c : AllCommands())
    EXPECT_EQ(h.m->IsBound(c.id), !kCommandsNotYetBuilt.count(c.cmd)) << c.id << " " << c.keyword;
  for (int i = 0; i < kMacroMenuEntries; ++i) EXPECT_TRUE(h.m->IsBound(kFirstMacroMenuCommand + i)) << i;
}

TEST(Bindings, WhatDisagreesWithTheTablesIsReportedAndNotBound) {
  auto op = [](CQuenlarkDoc&) {};
  auto handler = [](MainState&) {};
  struct Case {
    const char* what;
    std::function<void(Bindings&)> bind;
    uint32_t id;  // not bound afterwards (0: nothing to look at)
  } cases[] = {
      {"unknown plain", [&](Bindings& b) { b.Plain(static_cast<Cmd>(12345), op); }, 12345},
      {"unknown command", [&](Bindings& b) { b.Command(static_cast<Cmd>(12346), handler); }, 12346},
      {"plain of a dialog row", [&](Bindings& b) { b.Plain(Cmd::Replace, op); }, IdOf(Cmd::Replace)},
      {"handler of a plain row", [&](Bindings& b) { b.Command(Cmd::ZenToHan, handler); }, IdOf(Cmd::ZenToHan)},
      {"handler of a dispatch frame", [&](Bindings& b) { b.Command(Cmd::Undo, handler); }, IdOf(Cmd::Undo)},
      {"range over a command", [&](Bindings& b) { b.Range(Cmd::ZenToHan, 1, [](MainState&, int) {}); },
       IdOf(Cmd::ZenToHan)},
      {"no keyword", [&](Bindings& b) { b.Keyword(Kw::None, [](MainState&, const MacroArgs&) {}); }, 0},
  };
  for (const Case& c : cases) {
    Bindings b;
    c.bind(b);
    EXPECT_EQ(b.Problems().size(), 1u) << c.what;
    if (c.id) {
      EXPECT_EQ(b.HandlerFor(c.id), nullptr) << c.what;
    }
  }
}

TEST(Bindings, TwiceIsReportedAndTheFirstStays) {
  Bindings b;
  int ran = 0;
  b.Keyword(Kw::Paste, [&](MainState&, const MacroArgs&) { ran = 1; });
  b.Keyword(Kw::Paste, [&](MainState&, const MacroArgs&) { ran = 2; });
  b.Plain(Cmd::ToUpper, [](CQuenlarkDoc&) {});
  b.Plain(Cmd::ToUpper, [](CQuenlarkDoc&) {});
  b.Plain(Cmd::ToLower, [](CQuenlarkDoc&) {});
  b.Keyword(Kw::ToLower, [](MainState&, const MacroArgs&) {});  // already bound by its plain row
  EXPECT_EQ(b.Problems().size(), 3u);
  test::CommandHarness h;
  (*b.ActionFor(Kw::Paste))(*h.m, MacroArgs{});
  EXPECT_EQ(ran, 1);
}

TEST(Bindings, APlainRowBindsItsKeywordOnlyWhenTheLineIsTheKeywordAlone) {
  Bindings b;
  b.Plain(Cmd::ZenToHan, [](CQuenlarkDoc&) {});
  b.Plain(Cmd::ZenToHanAlpha, [](CQuenlarkDoc&) {});  // "ZenToHan2 1": the keyword reads its argument
  b.Plain(Cmd::SjisToEuc, [](CQuenlarkDoc&) {}, [](MainState&) { return std::string("SjisToEuc 0"); });
  EXPECT_NE(b.ActionFor(Kw::ZenToHan), nullptr);
  EXPECT_EQ(b.ActionFor(Kw::ZenToHan2), nullptr);
  EXPECT_EQ(b.ActionFor(Kw::SjisToEuc), nullptr);
  EXPECT_TRUE(b.Problems().empty());
}

TEST(Keywords, TheLineLocalColumnIsWhatTheStreamReads) {
  for (const KeywordDef& k : AllKeywords()) EXPECT_EQ(IsLineLocal(k.name), k.lineLocal) << k.name;
  EXPECT_TRUE(IsLineLocal("zentohan"));
  EXPECT_FALSE(IsLineLocal("ZenToHan "));
}

TEST(Keywords, EveryCommandWritesAKeywordOfTheTableByName) {
  for (const CommandDef& c : AllCommands()) {
    EXPECT_STREQ(c.keyword, KeywordName(c.kw)) << c.id;
    if (c.kw != Kw::None) {
      EXPECT_EQ(KeywordFor(c.keyword), c.kw) << c.id;
    }
  }
}

}  // namespace
