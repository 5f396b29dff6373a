// The transfer and detection commands: the frame of each menu command, the macro keywords,
// the line splitting and joining with their target ranges, the file writers and their
// failures, code detection and the conversion of files on opening.
#include <gtest/gtest.h>

#include <climits>

#include "CommandHarness.h"
#include "conv/CodeDetectDlg.h"
#include "conv/Detect.h"
#include "conv/Jis.h"
#include "conv/Transfer.h"
#include "macro/Bindings.h"
#include "macro/Escape.h"
#include "macro/Families.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct Harness : CommandHarness {
  CQuenlarkDoc& doc() { return m->doc(); }
  std::vector<std::string> Lines() const { return m->doc().Lines().ToVector(); }
  void Load(const std::vector<std::string>& lines, int start = 1, int end = -1) {
    doc().Lines() = LineArray::FromVector(lines);
    doc().rangeStart = start;
    doc().rangeEnd = end < 0 ? static_cast<int>(lines.size()) : end;
  }
};

using Lines = std::vector<std::string>;

// ---------------------------------------------------------------- menu commands

struct MenuCase {
  const char* name;
  uint32_t id;
  Txt confirm;
  std::string in;
  std::string out;
};

void PrintTo(const MenuCase& c, std::ostream* os) { *os << c.name; }

class TransferMenu : public ::testing::TestWithParam<MenuCase> {};

TEST_P(TransferMenu, AsksConvertsRecordsItsKeywordAndStores) {
  const MenuCase& c = GetParam();
  Harness h;
  h.tp.settings.SetInt("System", "Verify", 1);
  h.Record();
  h.tp.clipboard.text = "\r\n" + c.in;  // an empty line: no command touches it
  ASSERT_TRUE(h.m->Dispatch(c.id));
  EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{c.confirm});
  EXPECT_EQ(h.ClipText(), "\r\n" + c.out);
  EXPECT_EQ(h.StopAndRead(), std::string(c.name) + "\r\n");
  EXPECT_TRUE(h.doc().CanUndo());
}

TEST_P(TransferMenu, CancelLeavesTheClipboardAndRecordsNothing) {
  const MenuCase& c = GetParam();
  Harness h;
  h.tp.settings.SetInt("System", "Verify", 1);
  h.Record();
  h.tp.clipboard.text = c.in;
  h.tp.ui.answers.push_back(Answer::Cancel);
  ASSERT_TRUE(h.m->Dispatch(c.id));
  EXPECT_EQ(h.tp.clipboard.writes, 0);
  EXPECT_EQ(h.StopAndRead(), "");
}

TEST_P(TransferMenu, TheKeywordDoesTheSame) {
  const MenuCase& c = GetParam();
  Harness h;
  h.tp.clipboard.text = c.in + "\r\n" + c.in;
  RunMacroText(*h.m, c.name);
  EXPECT_EQ(h.ClipText(), c.out + "\r\n" + c.out);
  EXPECT_TRUE(h.tp.ui.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TransferMenu,
    ::testing::Values(
        MenuCase{"MimeToSjis", IdOf(Cmd::MimeToSjis), Txt::CfMimeToSjis, "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=", sj(u8"テスト")},
        MenuCase{"SjisToMime", IdOf(Cmd::SjisToMime), Txt::CfSjisToMime, sj(u8"テスト"), "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?="},
        MenuCase{"ToMime", IdOf(Cmd::ToMime), Txt::CfToMime, "abc", "YWJj"},
        MenuCase{"UrlToSjis", IdOf(Cmd::UrlToSjis), Txt::CfUrlToSjis, "%82%A0+x", sj(u8"あ x")},
        MenuCase{"UrleToSjis", IdOf(Cmd::UrleToSjis), Txt::CfUrleToSjis, "=82=A0", sj(u8"あ")},
        MenuCase{"SjisToUrl", IdOf(Cmd::SjisToUrl), Txt::CfSjisToUrl, sj(u8"a あ"), "a%20%82%A0"},
        MenuCase{"ToSjisCode", IdOf(Cmd::ToSjisCode), Txt::CfToSjisCode, sj(u8"Aあ"), "41 82 A0 "},
        MenuCase{"ToJisCode", IdOf(Cmd::ToJisCode), Txt::CfToJisCode, sj(u8"Aあ"), "41 2422 "},
        MenuCase{"CodeToSjis", IdOf(Cmd::CodeToSjis), Txt::CfCodeToSjis, "41 82 A0 ", sj(u8"Aあ")},
        MenuCase{"CodeToJis", IdOf(Cmd::CodeToJis), Txt::CfCodeToJis, "2422 2424", sj(u8"あい")},
        // EUC 漢字 decides at its second character (0xBB 0xFA).
        MenuCase{"ToSjis", IdOf(Cmd::ToSjis), Txt::CfToSjis, "\xA4\xA2\xB4\xC1\xBB\xFA", sj(u8"あ漢字")}),
    [](const auto& info) { return info.param.name; });

TEST(TransferCommands, EmptyLinesAndLinesOutsideTheRangeStay) {
  Harness h;
  h.Load({"abc", "", "abc"}, 2, 3);
  ToMime(h.doc());
  EXPECT_EQ(h.Lines(), (Lines{"abc", "", "YWJj"}));
}

TEST(TransferCommands, SjisToMimeUsesTheEncoderSettingsOfTheLastSjisToJis) {
  Harness h;
  h.tp.settings.SetInt("Jis", "Jis", kJisOld);
  h.tp.clipboard.text = sj(u8"あ");
  RunMacroText(*h.m, "SjisToMime");
  EXPECT_EQ(h.ClipText(), "=?ISO-2022-JP?B?GyRCJCIbKEI=?=");  // ESC $ B: no SjisToJis ran yet
  h.m->jis().encoder = ReadJisEncoderSettings(h.tp.settings);  // what SjisToJis does first
  h.tp.clipboard.text = sj(u8"あ");
  RunMacroText(*h.m, "SjisToMime");
  EXPECT_EQ(h.ClipText(), "=?ISO-2022-JP?B?GyRAJCIbKEI=?=");  // ESC $ @
}

TEST(TransferCommands, MimeToSjisCarriesTheJisModesFromLineToLine) {
  Harness h;
  // The first word leaves two-byte mode open; the next line goes on in it.
  h.Load({"=?ISO-2022-JP?Q?=1B$B$\"?=", "$$=?ISO-2022-JP?Q?=1B(B?="});
  h.m->jis().modes.twoByte = true;  // left by an earlier command: reset at the start
  MimeToSjis(h.doc(), h.m->jis());
  EXPECT_EQ(h.Lines(), (Lines{sj(u8"あ"), sj(u8"い")}));
}

// ---------------------------------------------------------------- line splitting

TEST(UrlToSjis, CutsAtEachLineBreakAndTheRangeGrowsWithTheLines) {
  struct Case {
    const char* name;
    Lines in;
    int start, end;
    Lines out;
    int endAfter;
  } cases[] = {
      {"LastTargetLine", {"%82%A0+x&y"}, 1, 1, {sj(u8"あ x"), "y"}, 2},
      {"SeveralBreaks", {"a&b&&c", "d"}, 1, 2, {"a", "b", "", "c", "d"}, 5},
      {"BreakAtTheEnd", {"a&", "b"}, 1, 1, {"a", "", "b"}, 2},
      {"LinesAfterTheRangeStay", {"x&y", "p&q"}, 1, 1, {"x", "y", "p&q"}, 2},
      {"LinesBeforeTheRangeStay", {"p&q", "x&y"}, 2, 2, {"p&q", "x", "y"}, 3},
      {"AnEndFarPastTheLastLineDoesNotWrap", {"a&b&c"}, 1, INT_MAX, {"a", "b", "c"}, INT_MAX},
  };
  for (const Case& c : cases) {
    Harness h;
    h.Load(c.in, c.start, c.end);
    UrlToSjis(h.doc());
    EXPECT_EQ(h.Lines(), c.out) << c.name;
    EXPECT_EQ(h.doc().rangeStart, c.start) << c.name;
    EXPECT_EQ(h.doc().rangeEnd, c.endAfter) << c.name;
    h.doc().Undo();
    EXPECT_EQ(h.Lines(), c.in) << c.name;
    EXPECT_EQ(h.doc().rangeEnd, c.end) << c.name;
  }
}

TEST(UrlToSjis, OnlyLinesMatchingThePatternAreCut) {
  Harness h;
  h.Load({"a&b", "c&d%", "e&f"});
  h.doc().pattern = "%";
  UrlToSjis(h.doc());
  EXPECT_EQ(h.Lines(), (Lines{"a&b", "c", "d", "e&f"}));
  EXPECT_EQ(h.doc().rangeEnd, 4);
}

TEST(UrleToSjis, JoinsLinesEndingInEqualsAndTheRangeShrinks) {
  struct Case {
    const char* name;
    Lines in;
    int end;
    std::string pattern;
    Lines out;
    int endAfter;
  } cases[] = {
      {"EscapesCutByALineEnd", {"=82=", "=A0", "x"}, 3, "", {sj(u8"あ"), "x"}, 2},
      // The final "=" is a soft line break: the next line's first bytes are text, not digits.
      {"SoftLineBreak", {"abc=", "def"}, 2, "", {"abcdef"}, 1},
      {"EmptyLineWhileJoiningComesFirst", {"=82=", "", "=A0"}, 3, "", {"", sj(u8"あ")}, 2},
      {"LineOutsideThePatternComesFirst", {"=82=", "plain", "=A0", "=41"}, 4, "=", {"plain", sj(u8"あ"), "A"}, 3},
      {"JoiningAtTheEndIsDecoded", {"x", "=41="}, 2, "", {"x", "A"}, 2},
      {"LinesAfterTheRangeStay", {"=41=", "=42", "=43="}, 2, "", {"AB", "=43="}, 1},
  };
  for (const Case& c : cases) {
    Harness h;
    h.Load(c.in, 1, c.end);
    h.doc().pattern = c.pattern;
    UrleToSjis(h.doc());
    EXPECT_EQ(h.Lines(), c.out) << c.name;
    EXPECT_EQ(h.doc().rangeEnd, c.endAfter) << c.name;
  }
}

// ---------------------------------------------------------------- file writers

class FailingWrite final : public IWriteFile {
 public:
  explicit FailingWrite(bool failClose) : failClose_(failClose) {}
  bool Write(std::string_view) override { return failClose_; }
  bool Close() override { return !failClose_; }

 private:
  bool failClose_;
};

// Real files, except that what is created cannot be written (or not closed) whole.
class FailingFiles final : public IFiles {
 public:
  FailingFiles(IFiles& real, bool failClose) : real_(real), failClose_(failClose) {}
  std::optional<std::string> ReadAll(std::string_view p) override { return real_.ReadAll(p); }
  std::unique_ptr<IReadFile> OpenRead(std::string_view p) override { return real_.OpenRead(p); }
  std::unique_ptr<IWriteFile> Create(std::string_view p) override {
    created.emplace_back(p);
    return std::make_unique<FailingWrite>(failClose_);
  }
  bool Exists(std::string_view p) override { return real_.Exists(p); }
  bool Remove(std::string_view p) override {
    removed.emplace_back(p);
    return true;
  }
  bool Rename(std::string_view a, std::string_view b) override { return real_.Rename(a, b); }
  bool MakeDirs(std::string_view p) override { return real_.MakeDirs(p); }
  std::vector<std::string> Find(std::string_view d, std::string_view p) override { return real_.Find(d, p); }
  std::string TempFolder() override { return real_.TempFolder(); }
  std::string ProgramFolder() override { return real_.ProgramFolder(); }
  char Separator() const override { return real_.Separator(); }
  std::vector<std::string> created, removed;

 private:
  IFiles& real_;
  bool failClose_;
};

TEST(MimeOut, DecodesTheTargetLinesIntoTheFileWithTheirZeroBytes) {
  Harness h;
  const std::string path = h.dir.Path("out.bin");
  h.tp.clipboard.text = "YWJj\r\n\r\nAAE=\r\nIQ==";
  RunMacroText(*h.m, "LineSelect 1 1 3\nMimeOut " + Escape(path));
  EXPECT_EQ(h.tp.files->ReadAll(path), std::string("abc\0\x01", 5));
  EXPECT_EQ(h.ClipText(), "YWJj\r\n\r\nAAE=\r\nIQ==");
  EXPECT_TRUE(h.tp.ui.shown.empty());
}

TEST(UuencodeOut, SkipsTheBeginLineAndStopsAtTheBackquoteLine) {
  Harness h;
  const std::string path = h.dir.Path("out.bin");
  h.tp.clipboard.text = "begin 644 x\r\n#86)C\r\n#80\r\n`\r\n#86)C\r\nend\r\n";
  RunMacroText(*h.m, "UuencodeOut " + Escape(path));
  EXPECT_EQ(h.tp.files->ReadAll(path), std::string("abca\0\0", 6));
  EXPECT_TRUE(h.tp.ui.shown.empty());
}

TEST(UuencodeOut, TheEndLineEndsTheDataWhenTheZeroLineWasLost) {
  // A mail program stripped the last data line (" ") to nothing; "end" would read as five
  // bytes of data.
  Harness h;
  const std::string path = h.dir.Path("out.bin");
  h.tp.clipboard.text = "begin 644 x\r\n#86)C\r\n\r\nend\r\n";
  RunMacroText(*h.m, "UuencodeOut " + Escape(path));
  EXPECT_EQ(h.tp.files->ReadAll(path), "abc");
}

TEST(FileWriters, AFileThatCannotBeCreatedSaysSoAndLeavesTheDocument) {
  for (const char* kw : {"MimeOut", "UuencodeOut"}) {
    Harness h;
    h.Load({"YWJj"});
    const bool ok = std::string(kw) == "MimeOut" ? MimeOut(h.doc(), h.dir.Path("no/such/dir/x"))
                                                   : UuencodeOut(h.doc(), h.dir.Path("no/such/dir/x"));
    EXPECT_FALSE(ok) << kw;
    EXPECT_EQ(h.tp.ui.ShownIds(), std::vector<Txt>{Txt::CannotOpenFile}) << kw;
    EXPECT_FALSE(h.doc().CanUndo()) << kw;
    EXPECT_FALSE(h.doc().IsModified()) << kw;
  }
}

TEST(FileWriters, AWriteThatFailsIsReportedAndThePartialFileRemoved) {
  for (bool failClose : {false, true}) {
    for (const char* kw : {"MimeOut", "UuencodeOut"}) {
      TestPlatform tp;
      FailingFiles files(*tp.files, failClose);
      Platform p{tp.clipboard, tp.settings, tp.platform.codepage, *tp.regex, tp.ui, files, tp.shell, tp.clock};
      CQuenlarkDoc doc(p);
      doc.Lines() = LineArray::FromVector({"#86)C", "YWJj"});
      doc.rangeStart = 1;
      doc.rangeEnd = 2;
      const bool ok = std::string(kw) == "MimeOut" ? MimeOut(doc, "out.bin") : UuencodeOut(doc, "out.bin");
      SCOPED_TRACE(::testing::Message() << kw << (failClose ? " close" : " write"));
      EXPECT_FALSE(ok);
      EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::CannotWriteFile});
      EXPECT_EQ(files.removed, std::vector<std::string>{"out.bin"});
      EXPECT_FALSE(doc.CanUndo());
      EXPECT_EQ(doc.Lines().ToVector(), (Lines{"#86)C", "YWJj"}));
    }
  }
}

TEST(FileWriters, TheKeywordsUnescapeTheirPath) {
  Harness h;
  const std::string path = h.dir.Path("a b.bin");
  h.tp.clipboard.text = "YWJj";
  RunMacroText(*h.m, "MimeOut " + Escape(path));
  EXPECT_EQ(h.tp.files->ReadAll(path), "abc");
}

// ---------------------------------------------------------------- code detection

TEST(CodeDetect, ShowsTheDocumentsCodeWithoutReloadingRecordingOrStoring) {
  Harness h;
  h.Record();
  h.tp.clipboard.text = "\xA4\xA2\xB4\xC1\xBB\xFA";  // EUC あ漢字
  h.doc().NewFromClipboard();
  h.tp.clipboard.text = sj(u8"あ");  // not read again by the command
  int shown = -1;
  h.tp.ui.dialogScript = [&](FakeDialog& d) {
    shown = d.GetInt(kCodeDetectList);
    d.Set(kCodeDetectList, 0);  // choosing another entry changes nothing
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(IdOf(Cmd::CodeDetect)));
  EXPECT_EQ(h.tp.ui.dialogsRun, std::vector<int>{CCodeDetectDlg::kResource});
  EXPECT_EQ(shown, kCodeEuc);
  EXPECT_EQ(h.tp.clipboard.writes, 0);
  EXPECT_FALSE(h.doc().CanUndo());
  EXPECT_EQ(h.Lines(), Lines{"\xA4\xA2\xB4\xC1\xBB\xFA"});
  EXPECT_EQ(h.StopAndRead(), "");
}

TEST(CodeDetect, TheListNamesTheSixResultsInOrder) {
  CCodeDetectDlg dlg(kCodeUnknown);
  std::vector<Txt> names;
  for (const Field& f : dlg.Fields())
    if (f.control == kCodeDetectList) names = f.fixedItems;
  ASSERT_EQ(names.size(), 6u);
  const char* want[] = {"シフトJIS", "JIS", "EUC", "UTF8", "ASCII", "不明"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_STREQ(TextOf(names[i]), want[i]);
    EXPECT_EQ(names[i], CodeName(static_cast<DetectedCode>(i)));
  }
  EXPECT_STREQ(TextOf(dlg.Title()), "コード判定");
}

TEST(ToSjis, ConvertsFromTheDetectedCodeOrLeavesTheLines) {
  struct Case {
    const char* name;
    std::string in;
    std::string out;
  } cases[] = {
      {"Ascii", "abc\r\ndef", "abc\r\ndef"},
      {"Sjis", sj(u8"あ\r\nい"), sj(u8"あ\r\nい")},
      {"Jis", "\x1B$B$\"\r\n$$\x1B(B", sj(u8"あ\r\nい")},  // two-byte mode carries to the next line
      {"Euc", "\xA4\xA2\xB4\xC1\xBB\xFA", sj(u8"あ漢字")},
      {"Utf8", "\xE3\x81\x82\r\n\xEF\xBD\xB1", sj(u8"あ\r\nｱ")},
      {"Undecided", "\xA4\xA2\xA4\xA4", "\xA4\xA2\xA4\xA4"},
  };
  for (const Case& c : cases) {
    Harness h;
    h.tp.clipboard.text = c.in;
    RunMacroText(*h.m, "ToSjis");
    EXPECT_EQ(h.ClipText(), c.out) << c.name;
    EXPECT_TRUE(h.doc().IsModified()) << c.name;
    EXPECT_TRUE(h.doc().CanUndo()) << c.name;
  }
}

TEST(ToSjis, DetectsOverTheWholeDocumentButConvertsOnlyTargetLines) {
  Harness h;
  // Line 1 alone is undecided; line 2 decides EUC for the whole text.
  h.Load({"\xA4\xA2", "\xBB\xFA"}, 1, 1);
  ToSjis(h.doc(), h.m->jis());
  EXPECT_EQ(h.Lines(), (Lines{sj(u8"あ"), "\xBB\xFA"}));
}

TEST(OpenFile, FilesDetectedAsJisOrEucAreConverted) {
  struct Case {
    const char* name;
    std::string bytes;
    int autoSetting;
    Lines lines;
  } cases[] = {
      {"Jis", "\x1B$B$\"\x1B(B\n", 1, {sj(u8"あ")}},
      {"JisOldEscape", "\x1B$@$\"\x1B(B\n", 1, {sj(u8"あ")}},
      {"Euc", "\xA4\xA2\xB4\xC1\xBB\xFA\r\n", 1, {sj(u8"あ漢字")}},
      {"AutoOff", "\xA4\xA2\xB4\xC1\xBB\xFA\r\n", 0, {"\xA4\xA2\xB4\xC1\xBB\xFA"}},
      // The file scan takes only ESC $ B and ESC $ @ for JIS.
      {"AsciiEscapeIsNotJisInAFile", "a\x1B(Bb\n", 1, {"a\x1B(Bb"}},
      {"Utf8IsLeftAlone", "\xE3\x81\x82\n", 1, {"\xE3\x81\x82"}},
  };
  for (const Case& c : cases) {
    Harness h;
    h.tp.settings.SetInt("System", "Auto", c.autoSetting);
    ASSERT_TRUE(h.tp.files->WriteAll(h.dir.Path("f.txt"), c.bytes));
    ASSERT_TRUE(h.doc().OpenFile(h.dir.Path("f.txt"))) << c.name;
    EXPECT_EQ(h.Lines(), c.lines) << c.name;
  }
}

}  // namespace
