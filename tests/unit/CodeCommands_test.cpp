#include <gtest/gtest.h>

#include "CommandHarness.h"
#include "conv/Jis.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

using namespace qlk;
using namespace qlk::test;

namespace {

const std::string kB = "\x1B$B", kAsc = "\x1B(B";

using Harness = CommandHarness;

struct MenuCase {
  const char* name;
  uint32_t id;
  Txt confirm;
  std::string macroLine;
  std::string in;
  std::string out;
};

class CodeMenu : public ::testing::TestWithParam<MenuCase> {};

TEST_P(CodeMenu, AsksConvertsRecordsAndStores) {
  const MenuCase& c = GetParam();
  Harness h;
  h.tp.settings.SetInt("System", "Verify", 1);
  h.Record();
  h.tp.clipboard.text = "x\r\n" + c.in;
  ASSERT_TRUE(h.m->Dispatch(c.id));
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{c.confirm});
  EXPECT_EQ(h.ClipText(), "x\r\n" + c.out);
  EXPECT_EQ(h.StopAndRead(), c.macroLine + "\r\n");
}

TEST_P(CodeMenu, CancelLeavesTheClipboardAndRecordsNothing) {
  const MenuCase& c = GetParam();
  Harness h;
  h.tp.settings.SetInt("System", "Verify", 1);
  h.Record();
  h.tp.clipboard.text = c.in;
  h.tp.ui.answers.push_back(Answer::Cancel);
  ASSERT_TRUE(h.m->Dispatch(c.id));
  EXPECT_EQ(h.ClipText(), c.in);
  EXPECT_EQ(h.tp.clipboard.writes, 0);
  EXPECT_EQ(h.StopAndRead(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CodeMenu,
    ::testing::Values(MenuCase{"JisToSjis", 32785, Txt::CfJisToSjis, "JisToSjis", kB + "0!" + kAsc, sj(u8"亜")},
                      MenuCase{"SjisToJis", 32786, Txt::CfSjisToJis, "SjisToJis", sj(u8"亜"), kB + "0!" + kAsc},
                      MenuCase{"EucToSjis", 32794, Txt::CfEucToSjis, "EucToSjis", "\xB0\xA1", sj(u8"亜")},
                      MenuCase{"SjisToEuc", 32795, Txt::CfSjisToEuc, "SjisToEuc 0", sj(u8"亜"), "\xB0\xA1"},
                      MenuCase{"Utf8ToSjis", 32927, Txt::CfUtf8ToSjis, "Utf8ToSjis", "\xE4\xBA\x9C", sj(u8"亜")},
                      MenuCase{"SjisToUtf8", 32788, Txt::CfSjisToUtf8, "SjisToUtf8", sj(u8"亜"), "\xE4\xBA\x9C"},
                      MenuCase{"UnicodeToMbcs", 32920, Txt::CfUnicodeToMbcs, "UnicodeToMbcs", "+MEIwRA-",
                               sj(u8"あい")}),
    [](const auto& info) { return info.param.name; });

TEST(CodeCommands, SjisToEucRecordsTheOptionReadAtEachRun) {
  Harness h;
  h.Record();
  h.tp.settings.SetInt("Euc", "Code", 1);
  h.tp.clipboard.text = sj(u8"あ");
  h.m->Dispatch(32795);
  h.tp.settings.SetInt("Euc", "Code", 0);
  h.tp.clipboard.text = sj(u8"い");
  h.m->Dispatch(32795);
  EXPECT_EQ(h.StopAndRead(), "SjisToEuc 1\r\nSjisToEuc 0\r\n");
  EXPECT_EQ(h.ClipText(), "\xA4\xA4");
}

struct MacroCase {
  const char* name;
  std::string macro;
  std::string in;
  std::string out;
};

class CodeKeyword : public ::testing::TestWithParam<MacroCase> {};

TEST_P(CodeKeyword, RunsItsOperation) {
  const MacroCase& c = GetParam();
  Harness h;
  h.tp.clipboard.text = c.in;
  RunMacroText(*h.m, c.macro);
  EXPECT_EQ(h.ClipText(), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, CodeKeyword,
    ::testing::Values(
        MacroCase{"JisToSjis", "JisToSjis", kB + "0!\r\n0!" + kAsc, sj(u8"亜\r\n亜")},
        MacroCase{"SjisToJis", "sjistojis", sj(u8"亜"), kB + "0!" + kAsc},
        MacroCase{"EucToSjis", "EucToSjis", "\x8E\xB1", sj(u8"ｱ")},
        MacroCase{"SjisToEucIgnoresItsArgument", "SjisToEuc 7", sj(u8"ｱ"), "\x8E\xB1"},
        MacroCase{"Utf8ToSjis", "Utf8ToSjis", "\xEF\xBB\xBF\xE3\x81\x82", sj(u8"あ")},
        MacroCase{"SjisToUtf8", "SjisToUtf8", sj(u8"ｱ"), "\xEF\xBD\xB1"},
        MacroCase{"UnicodeToMbcs", "UnicodeToMbcs", "A+-B", "A+B"},
        MacroCase{"MbcsToUnicode", "MbcsToUnicode", sj(u8"あい+"), "+MEIwRA-+-"},
        MacroCase{"RoundTrips", "SjisToJis\nJisToSjis\nSjisToEuc\nEucToSjis\nSjisToUtf8\nUtf8ToSjis\nMbcsToUnicode\nUnicodeToMbcs",
                  sj(u8"漢字ｶﾅ+abc\r\n\r\n①"), sj(u8"漢字ｶﾅ+abc\r\n\r\n①")}),
    [](const auto& info) { return info.param.name; });

TEST(CodeCommands, SjisToJisKeywordLoadsTheEncoderSettings) {
  Harness h;
  h.tp.settings.SetInt("Jis", "Kana", 2);
  h.tp.clipboard.text = sj(u8"ｱ");
  RunMacroText(*h.m, "SjisToJis");
  EXPECT_EQ(h.ClipText(), "\xB1");
}

TEST(CodeCommands, FilesDetectedAsJisOrEucAreConvertedWhenOpened) {
  struct Case {
    FileCode code;
    std::string bytes;
  } cases[] = {{FileCode::Jis, kB + "0!" + kAsc + "\r\n$\"\r\n"}, {FileCode::Euc, "\xB0\xA1\r\n\xA4\xA2\r\n"}};
  for (const Case& c : cases) {
    Harness h;
    h.m->doc().hooks().detectFileCode = [&](std::string_view) { return c.code; };
    ASSERT_TRUE(h.tp.files->WriteAll(h.dir.Path("f.txt"), c.bytes));
    ASSERT_TRUE(h.m->doc().OpenFile(h.dir.Path("f.txt")));
    // JIS text after a closed run stays one-byte text; the EUC pair decodes.
    const std::string second = c.code == FileCode::Jis ? "$\"" : sj(u8"あ");
    EXPECT_EQ(h.m->doc().Lines().ToVector(), (std::vector<std::string>{sj(u8"亜"), second}));
  }
}

}  // namespace
