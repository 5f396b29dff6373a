// What a macro run reports back: the status the command line's exit code follows.
#include <gtest/gtest.h>

#include "CommandHarness.h"
#include "macro/Escape.h"
#include "macro/Interpreter.h"
#include "macro/Streaming.h"
#include "pcre/Regex_pcre.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct StatusCase {
  const char* name;
  const char* clip;  // nullptr: no text on the clipboard
  std::string macro;
  MacroStatus want;
  std::vector<Txt> said;  // what the run showed
};

TEST(MacroStatus, EachRunSaysHowItEnded) {
  CommandHarness files;  // a temporary folder for the file cases
  const std::string none = Escape(files.dir.Path("no/such/file"));
  const StatusCase cases[] = {
      {"every line ran", "ab", "ToUpper\nTextAll", MacroStatus::Ok, {}},
      {"a keyword not in the table does nothing", "ab", "Frobnicate\nToUpper", MacroStatus::Ok, {}},
      {"malformed expression", "a(b", "Replace ( x 0 1\nToUpper", MacroStatus::Failed, {Txt::RegexInvalid}},
      {"file that cannot be written", "YWJj", "MimeOut " + none, MacroStatus::Failed, {Txt::CannotOpenFile}},
      {"file that cannot be joined", "ab", "Join " + none, MacroStatus::Failed, {Txt::CannotOpenFile}},
      {"width that grows too far", "ab", "KetaChange 2000000000", MacroStatus::Failed, {Txt::FoldTooLarge}},
      {"no document", nullptr, "ToUpper\nToLower", MacroStatus::Stopped, {Txt::NoDocument}},
      {"every line deleted", "ab", "LineDelete\nToUpper\nMimeOut " + none, MacroStatus::Stopped, {Txt::NoDocument}},
      {"the first failure is the run's", "a(b", "Replace ( x 0 1\nLineDelete\nToUpper", MacroStatus::Failed,
       {Txt::RegexInvalid, Txt::NoDocument}},
  };
  for (const StatusCase& c : cases) {
    CommandHarness h;
    if (c.clip) h.Clip(c.clip);
    EXPECT_EQ(RunMacroText(*h.m, c.macro), c.want) << c.name;
    EXPECT_EQ(h.tp.ui.ShownIds(), c.said) << c.name;
  }
}

TEST(MacroStatus, ALineStopsTheRunOnlyOnAnEmptyDocument) {
  CommandHarness h;
  h.Clip("a(b");
  ASSERT_EQ(RunMacroText(*h.m, "TextAll"), MacroStatus::Ok);
  EXPECT_EQ(ExecuteMacroLine(*h.m, "Replace ( x 0 1"), MacroStatus::Failed);
  EXPECT_EQ(ExecuteMacroLine(*h.m, "ToUpper"), MacroStatus::Ok);
  EXPECT_EQ(ExecuteMacroLine(*h.m, ""), MacroStatus::Ok);
  EXPECT_EQ(ExecuteMacroLine(*h.m, "LineDelete"), MacroStatus::Ok);
  EXPECT_EQ(ExecuteMacroLine(*h.m, "ToUpper"), MacroStatus::Stopped);
  EXPECT_EQ(ExecuteMacroLine(*h.m, "Paste"), MacroStatus::Ok);  // needs no document
}

TEST(MacroStatus, TheClipboardsRefusalsAreTheirOwn) {
  CommandHarness held;
  held.Clip("ab");
  held.tp.clipboard.busyReads = 1;
  EXPECT_EQ(RunMacroText(*held.m, "ToUpper"), MacroStatus::NotLoaded);
  EXPECT_EQ(held.ClipText(), "ab");

  CommandHarness refused;
  refused.Clip("ab");
  refused.tp.clipboard.busyWrites = 1;
  EXPECT_EQ(RunMacroText(*refused.m, "ToUpper"), MacroStatus::NotStored);
  EXPECT_EQ(refused.ClipText(), "ab");
}

TEST(MacroStatus, PiecesStopAtThePieceThatFailed) {
  CommandHarness h;
  std::string out;
  EXPECT_TRUE(RunLinePieces(*h.m, "KetaChange 1", "abc\r\ndef\r\n", 1, out));
  EXPECT_EQ(out, "a\r\nd\r\n");
  out.clear();
  EXPECT_FALSE(RunLinePieces(*h.m, "KetaChange 2000000000", "abc\r\ndef\r\n", 1, out));
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::FoldTooLarge});
}

// A streamed conversion that failed on a line answers so afterwards (the command line's status).
TEST(MacroStatus, AStreamedLineThatFailedIsAnswered) {
  TestPlatform tp;
  auto builtIn = MakePcreRegexFactory(CodePage());
  Platform p{tp.clipboard, tp.settings, const_cast<ICodePage&>(CodePage()), *builtIn, tp.ui, *tp.files, tp.shell,
             tp.clock};
  AppState app;
  MainState m{p, AllBindings(), app};
  for (const std::string& text : {std::string("ab\r\nab"), "ab\r\n" + std::string(40, 'a') + "cb\r\nab"}) {
    Bindings::LineFn fn = LineFnForMacroLine(m, "Replace (a+)+b x 0 1");
    ASSERT_TRUE(fn);
    const bool runaway = text.size() > 10;
    std::string out;
    size_t at = 0;
    const StreamStatus s = StreamLines(
        fn, std::string(), [&](char* buf, size_t n) -> std::optional<size_t> {
          const size_t k = std::min(n, text.size() - at);
          std::copy_n(text.data() + at, k, buf);
          at += k;
          return k;
        },
        [&](std::string_view b) {
          out += b;
          return true;
        });
    EXPECT_EQ(s, StreamStatus::Ok);
    EXPECT_EQ(fn.Failed(), runaway) << out;
  }
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::RegexInvalid});
}

}  // namespace
