// The JIS state belongs to its main window: what one window's commands leave, another's
// never see.
#include <gtest/gtest.h>

#include "CommandHarness.h"
#include "conv/Jis.h"
#include "macro/Interpreter.h"

using namespace qlk;
using namespace qlk::test;

namespace {

TEST(JisContext, EachMainWindowKeepsItsOwnEncoderSettings) {
  CommandHarness a, b;
  for (CommandHarness* h : {&a, &b}) h->tp.settings.SetInt("Jis", "Jis", kJisOld);
  a.Clip(sj(u8"あ"));
  ASSERT_EQ(RunMacroText(*a.m, "SjisToJis"), MacroStatus::Ok);  // reads ESC $ @ from the settings
  EXPECT_EQ(a.m->jis().encoder.jis, kJisOld);
  EXPECT_EQ(b.m->jis().encoder.jis, kJisNew);
  for (CommandHarness* h : {&a, &b}) {
    h->Clip(sj(u8"あ"));
    ASSERT_EQ(RunMacroText(*h->m, "SjisToMime"), MacroStatus::Ok);
  }
  EXPECT_EQ(a.ClipText(), "=?ISO-2022-JP?B?GyRAJCIbKEI=?=");  // ESC $ @, as its last SjisToJis read
  EXPECT_EQ(b.ClipText(), "=?ISO-2022-JP?B?GyRCJCIbKEI=?=");  // ESC $ B: no SjisToJis ran in it
}

TEST(JisContext, ModesCarryBetweenCommandsOnlyWhileKept) {
  const std::string open = "\x1B$B$\"";  // あ, the two-byte run left open
  for (bool keep : {false, true}) {
    CommandHarness h;
    h.Clip(open);
    ASSERT_EQ(RunMacroText(*h.m, "JisToSjis"), MacroStatus::Ok);
    EXPECT_TRUE(h.m->jis().modes.twoByte);
    h.m->jis().keepModes = keep;
    h.Clip("$$");  // い when two-byte mode goes on
    ASSERT_EQ(RunMacroText(*h.m, "JisToSjis"), MacroStatus::Ok);
    EXPECT_EQ(h.ClipText(), keep ? sj(u8"い") : std::string("$$")) << keep;
  }
}

}  // namespace
