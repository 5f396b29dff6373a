#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "Fakes.h"
#include "posix/platform/IniSettings.h"

using namespace qlk;
using namespace qlk::test;

namespace {

std::string Slurp(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(IniSettings, MissingFileAndKeysGiveDefaults) {
  TempDir d;
  IniSettings s(d.Path("none/QlkTray.ini"), CodePage());
  EXPECT_EQ(s.GetInt("System", "Verify", 4), 4);
  EXPECT_EQ(s.GetText("System", "Editor", "notepad.exe"), "notepad.exe");
}

TEST(IniSettings, ValuesPersistAcrossInstancesInUtf8) {
  TempDir d;
  std::string path = d.Path("cfg/Korvu/QlkTray.ini");
  {
    IniSettings s(path, CodePage());
    ASSERT_TRUE(s.SetInt("System", "Verify", 1));
    ASSERT_TRUE(s.SetText("Macro", "Dir", sj(u8"/home/ユーザ/マクロ")));
    ASSERT_TRUE(s.SetText("Replace", "Find00", "a=b\\c\r\nd  "));
    ASSERT_TRUE(s.SetInt("system", "VERIFY", 2));  // names are case-blind, as in the registry
  }
  IniSettings s(path, CodePage());
  EXPECT_EQ(s.GetInt("System", "Verify", 0), 2);
  EXPECT_EQ(s.GetText("Macro", "Dir", ""), sj(u8"/home/ユーザ/マクロ"));
  EXPECT_EQ(s.GetText("Replace", "Find00", ""), "a=b\\c\r\nd  ");
  EXPECT_NE(Slurp(path).find("Dir=/home/ユーザ/マクロ"), std::string::npos);
  EXPECT_EQ(s.GetInt("Macro", "Dir", 9), 9);  // a text is no integer
}

TEST(IniSettings, WritesLeaveNoTemporaryFileAndKeepOtherSections) {
  TempDir d;
  std::string path = d.Path("QlkTray.ini");
  IniSettings s(path, CodePage());
  ASSERT_TRUE(s.SetInt("A", "x", 1));
  ASSERT_TRUE(s.SetInt("B", "y", 2));
  ASSERT_TRUE(s.SetInt("A", "z", 3));
  EXPECT_EQ(s.GetInt("A", "x", 0), 1);
  EXPECT_EQ(s.GetInt("B", "y", 0), 2);
  EXPECT_EQ(s.GetInt("A", "z", 0), 3);
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(d.Folder())) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(IniSettings, FailedWriteReportsFailureAndKeepsTheOldFile) {
  TempDir d;
  std::string path = d.Path("QlkTray.ini");
  IniSettings s(path, CodePage());
  ASSERT_TRUE(s.SetInt("A", "x", 1));
  std::string before = Slurp(path);
  // The temporary file cannot be made: a folder stands where it would go.
  std::filesystem::create_directory(path + ".tmp" + std::to_string(::getpid()));
  EXPECT_FALSE(s.SetInt("A", "x", 2));
  EXPECT_EQ(Slurp(path), before);
  EXPECT_EQ(s.GetInt("A", "x", 0), 1);
}

// A hand-edited file: a number that does not fit an int is no number (found by the fuzzer, it
// came back cut down to another value), and a value ending in a bare CR keeps it when another
// key is written.
TEST(IniSettings, HandEditedValuesReadAsWrittenAndSurviveOtherWrites) {
  TempDir d;
  const std::string path = d.Path("QlkTray.ini");
  {
    std::ofstream out(path, std::ios::binary);
    out << "[A]\nbig=99999999999\nmost=2147483647\nleast=-2147483648\nover=2147483648\nbare=x\r\r\nword=12a\n";
  }
  IniSettings s(path, CodePage());
  struct Case {
    const char* key;
    int want;
  } cases[] = {{"big", -7}, {"most", 2147483647}, {"least", -2147483647 - 1}, {"over", -7}, {"word", -7}};
  for (const Case& c : cases) EXPECT_EQ(s.GetInt("A", c.key, -7), c.want) << c.key;
  EXPECT_EQ(s.GetText("A", "bare", ""), "x\r");
  ASSERT_TRUE(s.SetInt("A", "most", 1));
  EXPECT_EQ(s.GetText("A", "bare", ""), "x\r");
  EXPECT_EQ(s.GetInt("A", "big", -7), -7);
}

}  // namespace
