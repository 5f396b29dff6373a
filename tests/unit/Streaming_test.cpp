// A line-by-line conversion run piece by piece gives the bytes of the run over the whole text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "Fakes.h"
#include "macro/Bindings.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"
#include "macro/Streaming.h"
#include "pcre/Regex_pcre.h"

using namespace qlk;
using namespace qlk::test;

namespace {

std::string RandomText(std::mt19937& r) {
  const char* pieces[] = {"abc", " ", "\x82\xA0", "\x83\x94", "\xB6\xDE", "\x82\x60", "\x1B$B0!", "\x1B(B", "\x0E" "1",
                          "\x0F", "\xB0\xA1", "\x8E\xB1", "\xE3\x81\x82", "\xEF\xBB\xBF", "It's a pen.ok", "\t",
                          "\x81\x40", "\x88\x9F\x88\xA0", ",", "<b>", "\x82", "", "\r", "\n", "  "};
  std::string t;
  int lines = std::uniform_int_distribution<int>(1, 30)(r);
  for (int l = 0; l < lines; ++l) {
    int n = std::uniform_int_distribution<int>(0, 25)(r);
    for (int i = 0; i < n; ++i) t += pieces[std::uniform_int_distribution<size_t>(0, std::size(pieces) - 1)(r)];
    if (l + 1 < lines || r() % 2) t += "\r\n";
  }
  return t;
}

struct Tray {
  TestPlatform tp;
  AppState app;
  MainState m{tp.platform, AllBindings(), app};
};

TEST(Streaming, PiecesGiveTheBytesOfTheWholeRun) {
  const char* lines[] = {"ZenToHan", "ZenToHan2 3", "ZenToHanSw 127", "HanToZen", "HanToZen2 1", "HanToZenSw 63",
                         "ToUpper", "ToLower", "ToZenUpper", "ToZenLower", "ToTopUpper", "ChangeUpperLower",
                         "HiraToKana", "KanaToHira", "JisToSjis", "SjisToJis", "EucToSjis", "SjisToEuc 0",
                         "Utf8ToSjis", "SjisToUtf8", "TurnChange 7", "IndTurnChange 9", "KetaChange 5", "KetaChange 0",
                         "IndentChange 4", "TurnIf , 1", "StrCat x\\sy", "TextAll", "TabSpace 4", "SpaceTab 4",
                         "TabIf , 0", "DelSpaceFirst", "DelSpaceBack", "DelSpaceOnly", "SpToCsv 1 3",
                         "CtlMToCRLF", "LFToCRLF",
                         // the replace family: typed breaks cut lines, folded and expression
                         // searches, spans and enclosing strings; 0x83 0x4B is ガ
                         "Replace , \\n 0 0", "Replace \x83\x4B x 1 0", "Replace A\\sb ? 7 0",
                         "Replace [a-c]+ <$&> 2 1", "Replace b", "DelStr b 2 0", "DelStr \\x20 0 1",
                         "SuperReplace < > -", "SuperReplace < >", "SuperReplace It's . \\b", "ReplaceDouble <b> [ , ] c"};
  std::mt19937 r(7);
  int compared = 0;
  for (const char* line : lines) {
    ASSERT_TRUE(IsLineLocal(MacroTokenizer(line).Next().value())) << line;
    for (int round = 0; round < 12; ++round) {
      std::string text = RandomText(r);
      Tray whole;
      whole.tp.settings.SetInt("Jis", "Kana", round % 3);
      whole.tp.clipboard.text = text;
      RunMacroText(whole.m, line);
      for (size_t piece : {1u, 2u, 5u}) {
        Tray cut;
        cut.tp.settings.SetInt("Jis", "Kana", round % 3);
        std::string out;
        ASSERT_TRUE(RunLinePieces(cut.m, line, text, piece, out));
        EXPECT_EQ(out, *whole.tp.clipboard.text) << line << " in pieces of " << piece;
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, static_cast<int>(std::size(lines)) * 12 * 3);
}

// A run that shows a message would show it again for every piece: it stops after the first.
TEST(Streaming, AReportedFailureStopsAtTheFirstPiece) {
  Tray cut;
  std::string out;
  std::string text;
  for (int i = 0; i < 10; ++i) text += "a(b\r\n";
  EXPECT_FALSE(RunLinePieces(cut.m, "Replace ( x 0 1", text, 2, out));
  EXPECT_EQ(cut.tp.ui.ShownIds(), std::vector<Txt>{Txt::RegexInvalid});
}

// Text made of what the transfer decoders react to: escapes cut short at a line end, "&"
// and "%0D%0A" that cut lines, listings with odd digits and zero bytes, Base64 with padding;
// then あ, ｶﾞ, a lone lead byte, ESC $ B and the full-width blank.
std::string RandomTransferText(std::mt19937& r) {
  const char* pieces[] = {"%82%A0", "%", "%%41", "+", "&", "%0D%0A", "%00", "41 82 A0 ", "2422 2424", "0", "00 ",
                          "4", " ", "YWJj", "YQ==", "YWI=", "=", "=?ISO-2022-JP?B?GyRCJUYbKEI=?=", "~*'()",
                          "\x82\xA0", "\xB6\xDE", "\x82", "\x1B$B", "\x81\x40", "\r", "\n", ""};
  std::string t;
  int lines = std::uniform_int_distribution<int>(1, 30)(r);
  for (int l = 0; l < lines; ++l) {
    int n = std::uniform_int_distribution<int>(0, 12)(r);
    for (int i = 0; i < n; ++i) t += pieces[std::uniform_int_distribution<size_t>(0, std::size(pieces) - 1)(r)];
    if (l + 1 < lines || r() % 2) t += "\r\n";
  }
  return t;
}

TEST(Streaming, TransferConversionsInPiecesGiveTheBytesOfTheWholeRun) {
  const char* lines[] = {"ToMime",    "SjisToMime", "SjisToUrl",  "UrlToSjis",
                         "ToSjisCode", "ToJisCode", "CodeToSjis", "CodeToJis"};
  std::mt19937 r(11);
  for (const char* line : lines) {
    ASSERT_TRUE(IsLineLocal(line)) << line;
    int changed = 0;
    for (int round = 0; round < 20; ++round) {
      std::string text = RandomTransferText(r);
      Tray whole;
      whole.tp.clipboard.text = text;
      RunMacroText(whole.m, line);
      ASSERT_TRUE(whole.tp.clipboard.text.has_value()) << line;
      if (*whole.tp.clipboard.text != text) ++changed;
      for (size_t piece : {1u, 2u, 5u}) {
        Tray cut;
        std::string out;
        ASSERT_TRUE(RunLinePieces(cut.m, line, text, piece, out));
        EXPECT_EQ(out, *whole.tp.clipboard.text) << line << " in pieces of " << piece;
      }
    }
    EXPECT_GT(changed, 10) << line << " hardly changed the texts it was given";
  }
}

TEST(Streaming, TransferKeywordsThatGatherOrDetectStayWhole) {
  for (const char* k : {"UrleToSjis", "ToSjis", "MimeOut", "UuencodeOut"}) EXPECT_FALSE(IsLineLocal(k)) << k;
}

TEST(Streaming, LineDependentKeywordsStayWhole) {
  for (const char* k : {"ToLineUpper", "RenoString", "Sort1", "DupLineDel", "ToCenter", "ToOneline", "LineSelect",
                        "MimeToSjis", "Copy", "Save"})
    EXPECT_FALSE(IsLineLocal(k)) << k;
}

// ---- streaming through a keyword's line conversion ----

struct Streamed {
  StreamStatus status;
  std::string out;
  size_t largestRead = 0;   // the most bytes the stream asked for at once
  size_t readAtFirstWrite = 0;  // input bytes handed out before the first write
  size_t largestWrite = 0;
};

// Streams `text` through `fn`, the input arriving at most `chunk` bytes at a time (the first
// chunk as the head), the output leaving in blocks of about `block` bytes. A `rewindable`
// input can be read again, as a file can.
Streamed Stream(const Bindings::LineFn& fn, const std::string& text, size_t chunk, size_t block,
                bool rewindable = false) {
  size_t at = std::min(chunk, text.size()), served = at;
  Streamed s;
  bool wrote = false;
  Rewind rewind;
  if (rewindable) rewind = [&](uint64_t offset) { return offset <= text.size() && (at = offset, true); };
  s.status = StreamLines(
      fn, text.substr(0, at),
      [&](char* buf, size_t n) -> std::optional<size_t> {
        s.largestRead = std::max(s.largestRead, n);
        const size_t k = std::min({n, chunk, text.size() - at});
        std::memcpy(buf, text.data() + at, k);
        at += k;
        served += k;
        return k;
      },
      [&](std::string_view b) {
        if (!wrote) s.readAtFirstWrite = served;
        wrote = true;
        s.largestWrite = std::max(s.largestWrite, b.size());
        s.out += b;
        return true;
      },
      block, rewind);
  return s;
}

TEST(Streaming, LineConversionsGiveTheBytesOfTheWholeRun) {
  const char* lines[] = {"TextAll", "SjisToUtf8", "Utf8ToSjis", "TurnChange 7", "TurnChange 1", "TurnChange 0",
                         "TurnChange -3", "Replace , \\n 0 0", "Replace \x83\x4B x 1 0", "Replace A\\sb ? 7 0",
                         "Replace b", "Replace b  1", "Replace b\\s 0", "DelStr b 2 0", "DelStr \\x82\\xA0 4 0",
                         "Replace [a-c]+ x 0 1", "Replace (B)(.) $2$1 2 1", "Replace , \\n 0 1", "DelStr b 0 1",
                         "JisToSjis", "SjisToJis", "EucToSjis", "SjisToEuc", "ZenToHan", "ZenToHan2 3",
                         "ZenToHanSw 127", "HanToZen", "HanToZen2 1", "HanToZenSw 63", "HanToZen2 7"};
  const char* transfer[] = {"ToMime", "SjisToUrl", "UrlToSjis", "MimeToSjis"};
  std::mt19937 r(23);
  int compared = 0;
  // `jis` picks the JIS encoder's settings: every "Kana" and "Jis" value and one unknown.
  auto check = [&](const char* line, const std::string& text, int english, int jis) {
    Tray whole;
    whole.tp.settings.SetInt("Turn", "English", english);
    whole.tp.settings.SetInt("Jis", "Kana", jis % 3);
    whole.tp.settings.SetInt("Jis", "Jis", jis % 5);
    whole.tp.clipboard.text = text;
    RunMacroText(whole.m, line);
    ASSERT_TRUE(whole.tp.clipboard.text.has_value()) << line;
    for (auto [chunk, block] : {std::pair<size_t, size_t>{1, 1}, {2, 3}, {7, 5}, {64, 1 << 20}, {1 << 20, 16}}) {
      Tray t;
      t.tp.settings.SetInt("Turn", "English", english);
      t.tp.settings.SetInt("Jis", "Kana", jis % 3);
      t.tp.settings.SetInt("Jis", "Jis", jis % 5);
      Bindings::LineFn fn = LineFnForMacroLine(t.m, line);
      ASSERT_TRUE(fn) << line;
      Streamed s = Stream(fn, text, chunk, block);
      EXPECT_EQ(s.status, StreamStatus::Ok);
      EXPECT_EQ(s.out, *whole.tp.clipboard.text) << line << " in chunks of " << chunk;
      EXPECT_TRUE(t.tp.ui.shown.empty()) << line;
      ++compared;
    }
  };
  for (int round = 0; round < 16; ++round) {
    std::string text = RandomText(r), ttext = RandomTransferText(r);
    // A zero byte ends the text, wherever it stands after the first byte.
    if (round % 4 == 3) {
      text.insert(1 + r() % text.size(), 1, '\0');
      ttext.insert(1 + r() % ttext.size(), 1, '\0');
    }
    if (text[0] == '\0' || ttext[0] == '\0') continue;
    for (const char* line : lines) check(line, text, round % 2, round);
    for (const char* line : transfer) check(line, ttext, 0, 0);
  }
  EXPECT_GT(compared, 5 * 12 * static_cast<int>(std::size(lines) + std::size(transfer)));
}

TEST(Streaming, LongLinesStreamWhole) {
  // One line far longer than the blocks, a CR LF cut across two reads, a CR alone.
  std::string text(300000, 'a');
  text += "\r";
  text += std::string(5000, 'b');
  text += "\r\n\r\n";
  text += std::string(70000, '\x82') + "\xA0";
  for (const char* line : {"TextAll", "TurnChange 70", "Replace b c 0 0", "SjisToUrl"}) {
    Tray whole;
    whole.tp.clipboard.text = text;
    RunMacroText(whole.m, line);
    Tray t;
    Streamed s = Stream(LineFnForMacroLine(t.m, line), text, 4093, 4096);
    EXPECT_EQ(s.status, StreamStatus::Ok);
    EXPECT_EQ(s.out, *whole.tp.clipboard.text) << line;
  }
}

// Long lines of what the conversions react to, so that pieces end anywhere: inside a double-
// byte character, a UTF-8 sequence, an escape sequence, "%XX", a kana before its mark.
std::string RandomLongText(std::mt19937& r) {
  const char* pieces[] = {"abc", "\x82\xA0", "\x82", "\x83\x94", "\xB6\xDE", "\xB6", "\xDE", "\xDF", "\x1B$B0!",
                          "\x1B(B", "\x1B$(D", "\x1B$", "\x1B", "\x0E" "1", "\x0F", "\xB0\xA1", "\x8E\xB1", "\x8E",
                          "\x8F\xB0\xA1", "\xE3\x81\x82", "\xE3\x81", "\xF0\x9F\x98\x80", "\xEF\xBB\xBF", "%82%A0",
                          "%", "&", "+", "YWJj", "=", "\r", " ", "\x81\x40", "\xFC\xFC"};
  std::string t;
  const int lines = std::uniform_int_distribution<int>(1, 3)(r);
  for (int l = 0; l < lines; ++l) {
    const size_t size = std::uniform_int_distribution<size_t>(0, 30000)(r);
    while (t.size() < size + (t.empty() ? 0 : t.rfind('\n') + 1))
      t += pieces[std::uniform_int_distribution<size_t>(0, std::size(pieces) - 1)(r)];
    if (l + 1 < lines || r() % 2) t += "\r\n";
  }
  return t;
}

// Every keyword with a line conversion; those that may convert a long line in pieces first.
const char* kPieceKeywords[] = {"TextAll",   "SjisToUtf8",  "Utf8ToSjis", "ToMime",     "SjisToUrl",
                                "UrlToSjis", "JisToSjis",   "SjisToJis",  "EucToSjis",  "SjisToEuc",
                                "ZenToHan",  "ZenToHan2 1", "ZenToHanSw 127", "HanToZen", "HanToZen2 3",
                                "HanToZenSw 2", "MimeToSjis"};
const char* kWholeLineKeywords[] = {"TurnChange 70", "Replace b c 0 0", "DelStr \\x82\\xA0 4 0"};

TEST(Streaming, LongLinesInPiecesGiveTheBytesOfTheWholeRun) {
  std::mt19937 r(29);
  int compared = 0;
  for (int round = 0; round < 4; ++round) {
    const std::string text = RandomLongText(r);
    if (text.empty()) continue;
    std::vector<const char*> all(std::begin(kPieceKeywords), std::end(kPieceKeywords));
    all.insert(all.end(), std::begin(kWholeLineKeywords), std::end(kWholeLineKeywords));
    for (const char* line : all) {
      Tray whole;
      whole.tp.settings.SetInt("Jis", "Kana", round % 3);
      whole.tp.clipboard.text = text;
      RunMacroText(whole.m, line);
      ASSERT_TRUE(whole.tp.clipboard.text.has_value()) << line;
      for (auto [chunk, block] : {std::pair<size_t, size_t>{4093, 4096}, {1000, 7}, {64, 333}}) {
        Tray t;
        t.tp.settings.SetInt("Jis", "Kana", round % 3);
        Streamed s = Stream(LineFnForMacroLine(t.m, line), text, chunk, block, block != 7);
        EXPECT_EQ(s.status, StreamStatus::Ok);
        ASSERT_EQ(s.out, *whole.tp.clipboard.text) << line << " round " << round << " block " << block;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 3 * 3 * static_cast<int>(std::size(kPieceKeywords)));
}

// Base64 lines as MimeToSjis reads them: decoded whole, ended by a "=" fill or a zero byte, or
// taken as encoded words when "=?" comes anywhere, even at the very end.
TEST(Streaming, LongMimeLinesGiveTheBytesOfTheWholeRun) {
  std::string b64;
  while (b64.size() < 300000) b64 += "gqCCooKkgqaCqDEy";  // あいうえお12, four groups
  const std::string texts[] = {b64, b64 + "YQ", b64 + "YQ==" + b64, b64.substr(0, 200000) + "AAAA" + b64,
                               b64 + "=?", b64 + "=?ISO-2022-JP?B?GyRCJUYbKEI=?=" + b64, b64 + "\r\n" + b64 + "YWI=",
                               b64 + "=", b64 + "\r", b64.substr(0, 100000) + std::string(1, '\0') + "=?" + b64};
  for (const std::string& text : texts) {
    Tray whole;
    whole.tp.clipboard.text = text;
    RunMacroText(whole.m, "MimeToSjis");
    for (bool rewindable : {false, true}) {
      Tray t;
      Streamed s = Stream(LineFnForMacroLine(t.m, "MimeToSjis"), text, 4093, 4096, rewindable);
      EXPECT_EQ(s.status, StreamStatus::Ok);
      EXPECT_EQ(s.out, *whole.tp.clipboard.text) << text.size() << (rewindable ? " read again" : " held");
    }
  }
}

// A long line goes out in pieces as it is read, never held whole: the stream never asks for
// more than a block or two at once, the first bytes are written long before the line's end is
// read, and no write is larger than a few blocks. MimeToSjis must see the end of the line
// first (whether it holds "=?" decides how all of it converts): it reads a file's line twice,
// and holds the line read from a pipe.
TEST(Streaming, ALongLineGoesOutAsItIsRead) {
  std::string line;
  while (line.size() < (size_t{1} << 20)) line += "\x8A\xBF\x8E\x9A\x82\xA9\x82\xC8\xB6\xDE abc YWJj %41 \x1B$B0!\x1B(B ";
  constexpr size_t kBlock = 4096;
  for (const char* k : kPieceKeywords) {
    const bool mime = std::string_view(k) == "MimeToSjis";
    for (bool rewindable : {true, false}) {
      Tray t;
      Streamed s = Stream(LineFnForMacroLine(t.m, k), line, kBlock, kBlock, rewindable);
      EXPECT_EQ(s.status, StreamStatus::Ok);
      EXPECT_FALSE(s.out.empty()) << k;
      EXPECT_LT(s.largestWrite, 16 * kBlock) << k;
      if (mime && !rewindable) {
        EXPECT_GT(s.largestRead, line.size() / 4) << k << " holds the line read from a pipe";
        continue;
      }
      EXPECT_LE(s.largestRead, 2 * kBlock) << k << (rewindable ? " from a file" : " from a pipe");
      if (!mime) {
        EXPECT_LT(s.readAtFirstWrite, line.size() / 8) << k;
      }
    }
  }
}

// An engine that fails on one line (a runaway match, here the built-in engine's step limit)
// says so once; that line and the ones after it stay as they were.
TEST(Streaming, AnExpressionFailingOnALineSaysSoOnce) {
  TestPlatform tp;
  auto builtIn = MakePcreRegexFactory(CodePage());
  Platform p{tp.clipboard, tp.settings, const_cast<ICodePage&>(CodePage()), *builtIn, tp.ui, *tp.files, tp.shell,
             tp.clock};
  AppState app;
  MainState m{p, AllBindings(), app};
  Bindings::LineFn fn = LineFnForMacroLine(m, "Replace (a+)+b x 0 1");
  ASSERT_TRUE(fn);
  const std::string runaway = std::string(40, 'a') + "cb";  // b is there, but never after the a's
  Streamed s = Stream(fn, "ab\r\n" + runaway + "\r\nab\r\n", 5, 8);
  EXPECT_EQ(s.status, StreamStatus::Ok);
  EXPECT_EQ(s.out, "x\r\n" + runaway + "\r\nab\r\n");
  EXPECT_EQ(tp.ui.ShownIds(), std::vector<Txt>{Txt::RegexInvalid});
}

TEST(Streaming, ArgumentsOnlyTheWholeRunCanServeGiveNoLineConversion) {
  struct Case {
    const char* line;
    int english;
  };
  for (Case c : std::initializer_list<Case>{{"TurnChange 7", 2},        // hyphens: the growth limit is the run's
                                            {"Replace", 0},
                                            {"Replace ( x 0 1", 0},  // malformed: the whole run says so
                                            {"DelStr [ 0 1", 0},
                                            {"ToUpper", 0},  // line-local, but run in pieces
                                            {"Sort1 1 0", 0},
                                            {"NoSuchKeyword", 0},
                                            {"", 0}}) {
    Tray t;
    t.tp.settings.SetInt("Turn", "English", c.english);
    EXPECT_FALSE(LineFnForMacroLine(t.m, c.line)) << c.line;
  }
}

TEST(Streaming, FailuresOfTheStreamsAreTold) {
  Tray t;
  const Bindings::LineFn fns[] = {
      Bindings::LineFn([](std::string_view l, std::string& out) { out += l; }),
      LineFnForMacroLine(t.m, "TextAll"),  // written in place, whole runs of lines at once
      LineFnForMacroLine(t.m, "ToMime"),   // written in place, a line at a time
  };
  for (const Bindings::LineFn& fn : fns) {
    ASSERT_TRUE(fn);
    std::string text = "a\r\nb\r\nc";
    int writes = 0;
    EXPECT_EQ(StreamLines(fn, "a\r\n", [](char*, size_t) { return std::optional<size_t>(); },
                          [](std::string_view) { return true; }),
              StreamStatus::ReadFailed);
    EXPECT_EQ(StreamLines(
                  fn, text, [](char*, size_t) { return std::optional<size_t>(0); },
                  [&](std::string_view) { return ++writes > 1; }, 1),
              StreamStatus::WriteFailed);
    EXPECT_EQ(writes, 1);  // nothing more is written after a refused write
  }
}

TEST(Streaming, AConversionWrittenInPlaceAlsoAppendsToAString) {
  Tray t;
  const Bindings::LineFn fn = LineFnForMacroLine(t.m, "SjisToUrl");
  ASSERT_TRUE(fn.raw());
  std::string out = "kept:";
  fn("a b", out);
  fn("", out);
  fn("\x82\xA0", out);
  EXPECT_EQ(out, "kept:a%20b%82%A0");
}

}  // namespace
