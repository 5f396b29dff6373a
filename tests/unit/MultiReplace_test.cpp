// The multi-file replacement: the replacement in a file's bytes for each code a file may be
// written in (checked against the Shift-JIS search as the reference), and the run over a real
// folder: what is rewritten, what is left byte for byte and untouched, the work file, the
// failures, the dialog, the report, the macro line and its replay.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "CommandHarness.h"
#include "conv/Jis.h"
#include "macro/Interpreter.h"
#include "ops/MultiReplace.h"
#include "ops/MultiReplaceDlg.h"

using namespace qlk;
using namespace qlk::test;
namespace fs = std::filesystem;

namespace {

std::string U(std::u8string_view s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size()); }
std::string Jis(std::string_view sjis) {
  JisModes m;
  return SjisToJisLine(sjis, JisEncoderSettings{}, m);
}

int Replace(std::string_view bytes, std::string_view find, std::string_view repl, std::string& out) {
  const FileReplacer r(CodePage(), find, repl, JisEncoderSettings{});
  return r.Replace(bytes, out);
}

struct BytesCase {
  const char* name;
  std::string in, find, repl;  // find and replacement in Shift-JIS
  std::string out;             // "" when nothing is replaced
  int count;
  FileText code;
};

class ReplaceInBytes : public ::testing::TestWithParam<BytesCase> {};

TEST_P(ReplaceInBytes, ReplacesExactlyTheWordsInTheFilesOwnCode) {
  const BytesCase& c = GetParam();
  EXPECT_EQ(DetectFileText(c.in), c.code);
  std::string out = "untouched";
  EXPECT_EQ(Replace(c.in, c.find, c.repl, out), c.count);
  if (c.count > 0) {
    EXPECT_EQ(out, c.out);
  }
}

const std::string kLong = std::string(4094, 'x');

INSTANTIATE_TEST_SUITE_P(
    Codes, ReplaceInBytes,
    ::testing::Values(
        BytesCase{"CaseBlind", "abc ABC Abc\r\nxyz\r\n", "abc", "Q", "Q Q Q\r\nxyz\r\n", 3, FileText::Sjis},
        BytesCase{"NoOverlap", "aaaaa", "aa", "b", "bba", 2, FileText::Sjis},
        BytesCase{"InsertedTextNotSearchedAgain", "ab\n", "a", "aa", "aab\n", 1, FileText::Sjis},
        BytesCase{"NotFound", "abc\r\n", "abd", "x", "", 0, FileText::Sjis},
        BytesCase{"WordAcrossTheOld4095ByteCut", kLong + "word\r\n", "WORD", "w", kLong + "w\r\n", 1, FileText::Sjis},
        BytesCase{"ZeroBytesAreData", std::string("a\0word\0b\nword", 13), "word", "W", std::string("a\0W\0b\nW", 7), 2,
                  FileText::Sjis},
        BytesCase{"TrailByteIsNoMatch", sj(u8"ソ\\"), "\\", "/", sj(u8"ソ/"), 1, FileText::Sjis},
        BytesCase{"FullWidthLettersFold", sj(u8"ａｂｃとＡＢＣ\r\n"), sj(u8"ＡＢＣ"), "x", sj(u8"xとx\r\n"), 2,
                  FileText::Sjis},
        BytesCase{"CrLfReplacement", "a b\r\n", "a", "x\r\ny", "x\r\ny b\r\n", 1, FileText::Sjis},
        BytesCase{"JisWrittenBackInJis", Jis(sj(u8"漢字のテスト")) + "\r\n" + Jis(sj(u8"ＡＢ")) + "\r\n",
                  sj(u8"テスト"), sj(u8"試験"), Jis(sj(u8"漢字の試験")) + "\r\n" + Jis(sj(u8"ＡＢ")) + "\r\n", 1,
                  FileText::Jis},
        BytesCase{"EucWrittenBackInEuc", SjisToEucLine(sj(u8"漢字のテストです。ｶﾀｶﾅ\nテスト\n")), sj(u8"テスト"),
                  sj(u8"試験"), SjisToEucLine(sj(u8"漢字の試験です。ｶﾀｶﾅ\n試験\n")), 2, FileText::Euc},
        BytesCase{"Utf8WithEmoji", U(u8"😀 日本語のテスト\n𠮷テスト\n"), sj(u8"テスト"), sj(u8"試験"),
                  U(u8"😀 日本語の試験\n𠮷試験\n"), 2, FileText::Utf8},
        BytesCase{"Utf8BomKept", U(u8"\uFEFFabc テスト\r\n"), sj(u8"テスト"), "ok", U(u8"\uFEFFabc ok\r\n"), 1,
                  FileText::Utf8},
        BytesCase{"Utf8BomOnlyAsciiWord", U(u8"\uFEFFABC"), "abc", "x", U(u8"\uFEFFx"), 1, FileText::Utf8},
        BytesCase{"Utf8CaseBlindFullWidth", U(u8"ａｂｃ Abc\n"), sj(u8"ＡＢＣ"), "z", U(u8"z Abc\n"), 1,
                  FileText::Utf8},
        // Bytes inside a character never start a match: "ア" is E3 82 A2, and 0x82 0xA2 is
        // Shift-JIS "い".
        BytesCase{"Utf8NoMatchInsideACharacter", U(u8"アア\n"), sj(u8"い"), "x", "", 0, FileText::Utf8}),
    [](const auto& i) { return std::string(i.param.name); });

// The UTF-8 search against the Shift-JIS search as the reference: random lines of characters
// that both codes hold give the same result through either.
TEST(ReplaceInBytes, Utf8AgreesWithShiftJisOnRandomText) {
  const std::vector<std::string> pieces = {"a", "A", "b", "B", " ", "\r\n", "\n", sj(u8"あ"), sj(u8"ア"), sj(u8"ａ"),
                                           sj(u8"Ａ"), sj(u8"漢"), sj(u8"ソ"), "\\", "-", std::string("\0", 1)};
  const std::vector<std::string> finds = {"a", "ab", sj(u8"ａあ"), "b\r\n", sj(u8"ソ\\"), sj(u8"アＡ")};
  std::mt19937 rng(20);
  for (int round = 0; round < 400; ++round) {
    std::string sjis;
    const int n = static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) sjis += pieces[rng() % pieces.size()];
    const std::string& find = finds[rng() % finds.size()];
    const std::string repl = round % 2 ? sj(u8"置") : "";
    std::string sjisOut, utf8Out;
    const int ns = Replace(sjis, find, repl, sjisOut);
    const std::string bom = U(u8"\uFEFF");
    const int nu = Replace(bom + CodePage().SjisToUtf8(sjis), find, repl, utf8Out);
    ASSERT_EQ(ns, nu) << round;
    if (ns > 0) {
      EXPECT_EQ(utf8Out, bom + CodePage().SjisToUtf8(sjisOut)) << round;
    }
  }
}

TEST(DetectFileText, Utf8NeedsWellFormedHighBytes) {
  const struct {
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"plain ascii", false},
      {sj(u8"シフトJISの文"), false},
      {U(u8"UTF-8の文"), true},
      {U(u8"four bytes 😀"), true},
      {"\xED\xA0\x80", false},     // a surrogate
      {"\xC0\xAF", false},          // overlong
      {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
      {"\xF0\x9F\x98", false},     // cut short
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWellFormedUtf8(c.bytes) && c.bytes != "plain ascii", c.utf8) << c.bytes;
    EXPECT_EQ(DetectFileText(c.bytes) == FileText::Utf8, c.utf8) << c.bytes;
  }
  EXPECT_EQ(DetectFileText("\x1B$B%F%9%H\x1B(B"), FileText::Jis);
}

// ---------------------------------------------------------------- the run over a folder

void Write(const fs::path& p, std::string_view bytes) {
  std::ofstream f(p, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
std::string Read(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

struct Folder {
  CommandHarness h;
  fs::path dir{h.dir.Folder()};
  // Whole seconds, which every file system keeps exactly.
  const fs::file_time_type old =
      std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now() - std::chrono::hours(48));
  void Put(const std::string& name, std::string_view bytes) {
    Write(dir / name, bytes);
    fs::last_write_time(dir / name, old);
  }
  bool Run(const std::string& folder, const std::string& pattern, std::string_view find, std::string_view repl) {
    return MultiFileReplace(h.m->doc(), folder, pattern, find, repl);
  }
  int Files() { return h.m->doc().multiReplaceFiles; }
  int Words() { return h.m->doc().multiReplaceCount; }
};

TEST(MultiFileReplace, RewritesOnlyFilesWithTheWordAndNeverTheWorkFile) {
  for (const char* sep : {"", "/"}) {  // with or without a separator at the end of the folder
    Folder f;
    f.Put("a.txt", "word WORD\r\nnone\r\n");
    f.Put("b.txt", "nothing here\r\n");
    f.Put("C.TXT", "Word");
    f.Put("QLARK.$$$", "word left from before");
    f.Put("d.dat", "word");
    fs::create_directory(f.dir / "sub.txt");
    const fs::path cwd = fs::current_path();
    const std::string dir = f.dir.string() + sep;
    ASSERT_TRUE(f.Run(dir, "*.txt", "word", "w"));
    EXPECT_EQ(fs::current_path(), cwd);
    EXPECT_EQ(f.Files(), 2);
    EXPECT_EQ(f.Words(), 3);
    EXPECT_EQ(Read(f.dir / "a.txt"), "w w\r\nnone\r\n");
    EXPECT_EQ(Read(f.dir / "C.TXT"), "w");
    // Untouched: same bytes, same time stamp; the stale work file is no input.
    EXPECT_EQ(Read(f.dir / "b.txt"), "nothing here\r\n");
    EXPECT_EQ(fs::last_write_time(f.dir / "b.txt"), f.old);
    EXPECT_EQ(Read(f.dir / "d.dat"), "word");
    EXPECT_FALSE(fs::exists(f.dir / "QLARK.$$$"));  // the old one took a.txt's new text
    f.Put("QLARK.$$$", "word left from before");
    ASSERT_TRUE(f.Run(dir, "*.*", "word", "w"));
    EXPECT_EQ(f.Files(), 1);  // d.dat alone
    EXPECT_EQ(f.Words(), 1);
    EXPECT_TRUE(f.h.tp.ui.shown.empty());
    EXPECT_EQ(f.h.tp.clipboard.writes, 0);
  }
}

TEST(MultiFileReplace, NoMatchingFileGivesZeroCounts) {
  Folder f;
  f.Put("a.txt", "word");
  ASSERT_TRUE(f.Run(f.dir.string(), "*.none", "word", "x"));
  EXPECT_EQ(f.Files(), 0);
  EXPECT_EQ(f.Words(), 0);
  EXPECT_EQ(Read(f.dir / "a.txt"), "word");
  EXPECT_EQ(std::distance(fs::directory_iterator(f.dir), fs::directory_iterator()), 1);
}

TEST(MultiFileReplace, AReadOnlyFileStaysAsItWasAndNoWorkFileIsLeft) {
  Folder f;
  f.Put("a.txt", "word");
  fs::permissions(f.dir / "a.txt", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_FALSE(f.Run(f.dir.string(), "*.txt", "word", "x"));
  fs::permissions(f.dir / "a.txt", fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(Read(f.dir / "a.txt"), "word");
  EXPECT_EQ(fs::last_write_time(f.dir / "a.txt"), f.old);
  EXPECT_FALSE(fs::exists(f.dir / "QLARK.$$$"));
  EXPECT_EQ(f.h.tp.ui.ShownIds(), std::vector<Txt>{Txt::MultiReplaceRenameError});
  EXPECT_EQ(f.Files(), 0);
}

TEST(MultiFileReplace, KeepsTheFilesPermissions) {
#ifdef _WIN32
  GTEST_SKIP() << "permission bits are POSIX's";
#else
  Folder f;
  f.Put("run.sh", "echo word");
  fs::permissions(f.dir / "run.sh", fs::perms::owner_all);
  ASSERT_TRUE(f.Run(f.dir.string(), "*.sh", "word", "x"));
  EXPECT_EQ(Read(f.dir / "run.sh"), "echo x");
  EXPECT_EQ(fs::status(f.dir / "run.sh").permissions() & fs::perms::all, fs::perms::owner_all);
#endif
}

// ---------------------------------------------------------------- the command

TEST(MultiFileReplaceCommand, DialogReportMacroLineAndReplay) {
  Folder f;
  f.h.Record();
  f.h.Clip("clipboard text");
  f.Put("a.txt", "one two one\r\n");
  f.Put("b.txt", "two");
  std::vector<std::string> report;
  int dialogs = 0;
  f.h.tp.ui.folderAnswers.push_back(f.dir.string());
  f.h.tp.ui.dialogScript = [&](FakeDialog& d) {
    if (dialogs++ == 0) {
      d.Press(IDC_MULTI_REPLACE_BROWSE);
      EXPECT_EQ(d.GetText(IDC_MULTI_REPLACE_DIR), f.dir.string());
      d.Set(IDC_MULTI_REPLACE_FILE, "*.txt");
      EXPECT_FALSE(d.Ok());  // no word yet: refused, the dialog stays
      d.Set(IDC_MULTI_REPLACE_FIND, "one");
      d.Set(IDC_MULTI_REPLACE_REPLACE, "1\\s1");
      return d.Ok();
    }
    report = {d.GetText(IDC_RREPORT_FILES), d.GetText(IDC_RREPORT_WORDS)};
    return d.Ok();
  };
  ASSERT_TRUE(f.h.m->Dispatch(Cmd::MultiFileReplace));
  EXPECT_EQ(f.h.tp.ui.dialogsRun, (std::vector<int>{IDD_MULTI_REPLACE, IDD_RREPORT}));
  EXPECT_EQ(f.h.tp.ui.ShownIds(), std::vector<Txt>{Txt::MultiReplaceNoWord});
  EXPECT_EQ(report, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(Read(f.dir / "a.txt"), "1 1 two 1 1\r\n");
  EXPECT_EQ(f.h.ClipText(), "clipboard text");
  EXPECT_EQ(f.h.tp.clipboard.writes, 0);
  EXPECT_EQ(f.h.tp.settings.GetText("MultiReplace", "Find", ""), "one");
  EXPECT_EQ(f.h.tp.settings.GetText("MultiReplace", "Replace", ""), "1\\s1");
  const std::string line = "MultiFileReplace " + f.dir.string() + " *.txt one 1\\s1";
  EXPECT_EQ(f.h.StopAndRead(), line + "\r\n");

  // The recorded line replayed: "two" → "2" through the same keyword.
  f.Put("a.txt", "one two\r\n");
  ASSERT_TRUE(f.h.m->Reload());  // a macro line runs on a loaded document
  EXPECT_EQ(ExecuteMacroLine(*f.h.m, "MultiFileReplace " + f.dir.string() + " *.txt TWO 2"), MacroStatus::Ok);
  EXPECT_EQ(Read(f.dir / "a.txt"), "one 2\r\n");
  EXPECT_EQ(Read(f.dir / "b.txt"), "2");
  EXPECT_EQ(f.h.m->doc().multiReplaceFiles, 2);
}

TEST(MultiFileReplaceCommand, CancelWritesNothing) {
  Folder f;
  f.Put("a.txt", "one");
  f.h.tp.ui.dialogScript = [&](FakeDialog& d) {
    d.Set(IDC_MULTI_REPLACE_DIR, f.dir.string());
    d.Set(IDC_MULTI_REPLACE_FIND, "one");
    return false;
  };
  ASSERT_TRUE(f.h.m->Dispatch(Cmd::MultiFileReplace));
  EXPECT_EQ(Read(f.dir / "a.txt"), "one");
  EXPECT_TRUE(f.h.tp.settings.writeLog.empty());
  EXPECT_EQ(f.h.tp.ui.dialogsRun, std::vector<int>{IDD_MULTI_REPLACE});
}

}  // namespace
