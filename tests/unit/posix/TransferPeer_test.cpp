// The transfer encodings and the code detection on real Japanese text, the manual pages of
// manpages-ja, against outside tools (iconv, nkf). tools/setup installs every tool and the
// pages, so a missing one is a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "Fakes.h"
#include "conv/Detect.h"
#include "conv/Jis.h"
#include "conv/Transfer.h"

using namespace qlk;
using namespace qlk::test;

namespace {

namespace fs = std::filesystem;

const char* const kManPages = "/usr/share/man/ja";
constexpr size_t kPages = 60;

std::string ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

std::vector<std::string> SplitLf(const std::string& text) {
  std::vector<std::string> v;
  size_t p = 0;
  while (p < text.size()) {
    size_t q = text.find('\n', p);
    if (q == std::string::npos) q = text.size();
    std::string l = text.substr(p, q - p);
    if (!l.empty() && l.back() == '\r') l.pop_back();
    v.push_back(std::move(l));
    p = q + 1;
  }
  return v;
}

std::string JoinLf(const std::vector<std::string>& lines) {
  std::string t;
  for (auto& l : lines) t += l + "\n";
  return t;
}

// Each page in four codes, made by iconv from its code page 932 text, so every file holds
// the same characters.
struct Page {
  std::string name, sjis, euc, jis, utf8;
};

struct Corpus {
  TempDir dir;
  std::vector<Page> pages;
  std::vector<std::string> lines;  // the code page 932 lines of all pages
  std::string problem;
};

const Corpus& TheCorpus() {
  static Corpus c = [] {
    Corpus c;
    for (const char* tool : {"iconv", "nkf", "zcat"})
      if (!Shell(std::string("command -v ") + tool + " >/dev/null 2>&1")) {
        c.problem = std::string(tool) + " is missing (tools/setup installs it)";
        return c;
      }
    std::vector<fs::path> gz;
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(kManPages, ec))
      if (e.path().extension() == ".gz") gz.push_back(e.path());
    std::sort(gz.begin(), gz.end());
    if (gz.size() < kPages) {
      c.problem = std::string("too few manual pages in ") + kManPages + " (tools/setup installs manpages-ja)";
      return c;
    }
    // One shell for every page; iconv -c leaves out what code page 932 cannot hold.
    std::string script = "set -e; cd " + Quote(c.dir.Folder()) + "; n=0; for f in";
    for (size_t k = 0; k < kPages; ++k) script += " " + Quote(gz[k * gz.size() / kPages].string());
    script +=
        "; do n=$((n+1)); zcat \"$f\" | iconv -c -f UTF-8 -t CP932 > $n.sjis 2>/dev/null || true;"
        " iconv -f CP932 -t EUC-JP-MS $n.sjis > $n.euc; iconv -c -f CP932 -t ISO-2022-JP $n.sjis > $n.jis 2>/dev/null || true;"
        " iconv -f CP932 -t UTF-8 $n.sjis > $n.utf8; done";
    if (!Shell("bash -c " + Quote(script))) {
      c.problem = "iconv failed on a page";
      return c;
    }
    for (size_t k = 1; k <= kPages; ++k) {
      Page p;
      p.name = gz[(k - 1) * gz.size() / kPages].filename().string();
      const std::string base = c.dir.Path(std::to_string(k));
      p.sjis = ReadFile(base + ".sjis");
      p.euc = ReadFile(base + ".euc");
      p.jis = ReadFile(base + ".jis");
      p.utf8 = ReadFile(base + ".utf8");
      for (std::string& l : SplitLf(p.sjis)) c.lines.push_back(std::move(l));
      c.pages.push_back(std::move(p));
    }
    return c;
  }();
  return c;
}

bool HasHighByte(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
}

struct TransferPeer : ::testing::Test {
  void SetUp() override { ASSERT_EQ(TheCorpus().problem, ""); }
  const Corpus& corpus = TheCorpus();
};

// The document detection of a file's text as the clipboard would hold it.
int DocumentCode(const std::string& bytes) {
  static TestPlatform tp;
  static CQuenlarkDoc doc(tp.platform);
  std::string crlf;
  for (const std::string& l : SplitLf(bytes)) crlf += l + "\r\n";
  tp.clipboard.text = crlf;
  doc.NewFromClipboard();
  return DetectDocumentCode(doc);
}

TEST_F(TransferPeer, EachCodeOfEveryJapanesePageIsDetected) {
  size_t japanese = 0;
  for (const Page& p : corpus.pages) {
    if (!HasHighByte(p.sjis)) continue;  // a page all in ASCII decides nothing
    ++japanese;
    SCOPED_TRACE(p.name);
    EXPECT_EQ(ScanFileCode(p.sjis), kCodeSjis);
    EXPECT_EQ(ScanFileCode(p.euc), kCodeEuc);
    EXPECT_EQ(ScanFileCode(p.jis), kCodeJis);
    EXPECT_EQ(ScanFileCode(p.utf8), kCodeSjis);  // the file scan has no UTF-8 test
    EXPECT_EQ(DocumentCode(p.sjis), kCodeSjis);
    EXPECT_EQ(DocumentCode(p.euc), kCodeEuc);
    EXPECT_EQ(DocumentCode(p.jis), kCodeJis);
    EXPECT_EQ(DocumentCode(p.utf8), kCodeUtf8);
  }
  EXPECT_GT(japanese, kPages * 9 / 10);
}

TEST_F(TransferPeer, ToSjisConvertsEveryCodeBack) {
  // iconv's JIS leaves out what ISO-2022-JP cannot hold, so that text comes back as the
  // JIS conversion reads it; EUC and UTF-8 hold every character and come back whole.
  for (size_t k = 0; k < corpus.pages.size(); k += 10) {
    const Page& p = corpus.pages[k];
    if (!HasHighByte(p.sjis)) continue;
    JisModes modes;
    std::vector<std::string> jisBack;
    for (const std::string& l : SplitLf(p.jis)) jisBack.push_back(l.empty() ? l : JisToSjisLine(l, modes));
    const std::pair<const std::string*, std::vector<std::string>> cases[] = {
        {&p.euc, SplitLf(p.sjis)}, {&p.utf8, SplitLf(p.sjis)}, {&p.jis, jisBack}};
    for (const auto& [text, want] : cases) {
      TestPlatform tp;
      CQuenlarkDoc doc(tp.platform);
      doc.Lines() = LineArray::FromVector(SplitLf(*text));
      doc.rangeStart = 1;
      doc.rangeEnd = doc.LineCount();
      JisContext jis;
      ToSjis(doc, jis);
      const std::vector<std::string> got = doc.Lines().ToVector();
      ASSERT_EQ(got.size(), want.size()) << p.name;
      for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], want[i]) << p.name << ", line " << i;
    }
  }
}

TEST_F(TransferPeer, RoundTripsGiveBackEveryByte) {
  JisContext jis;
  struct Trip {
    const char* name;
    std::function<void(CQuenlarkDoc&)> there, back;
  } trips[] = {{"ToMime/MimeToSjis", ToMime, [&](CQuenlarkDoc& d) { MimeToSjis(d, jis); }},
               {"SjisToUrl/UrlToSjis", SjisToUrl, UrlToSjis},
               {"ToSjisCode/CodeToSjis", ToSjisCode, CodeToSjis}};
  for (const Trip& t : trips) {
    TestPlatform tp;
    CQuenlarkDoc doc(tp.platform);
    doc.Lines() = LineArray::FromVector(corpus.lines);
    doc.rangeStart = 1;
    doc.rangeEnd = doc.LineCount();
    t.there(doc);
    EXPECT_NE(doc.Lines().ToVector(), corpus.lines) << t.name;
    t.back(doc);
    const std::vector<std::string> got = doc.Lines().ToVector();
    ASSERT_EQ(got.size(), corpus.lines.size()) << t.name;
    for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], corpus.lines[i]) << t.name << ", line " << i;
    EXPECT_EQ(doc.rangeEnd, doc.LineCount()) << t.name;
  }
}

TEST_F(TransferPeer, SjisToMimeOutputDecodesWithNkf) {
  // Left out: a line starting with a blank, which would continue the encoded word before it
  // as a folded mail header (nkf joins the two), and lines longer than nkf reads in one
  // encoded word (about a thousand characters; our words are never split).
  std::vector<std::string> sample, lines;
  for (const std::string& l : corpus.lines)
    if (l.size() < 300 && (l.empty() || (l[0] != ' ' && l[0] != '\t'))) sample.push_back(l);
  JisModes modes;
  const JisEncoderSettings defaults;
  for (const std::string& l : sample) lines.push_back(SjisToMimeLine(l, defaults, modes));
  TempDir dir;
  std::ofstream(dir.Path("in"), std::ios::binary) << JoinLf(lines);
  ASSERT_TRUE(Shell("nkf -m -s -x < " + Quote(dir.Path("in")) + " > " + Quote(dir.Path("out"))));
  const std::vector<std::string> back = SplitLf(ReadFile(dir.Path("out")));
  ASSERT_EQ(back.size(), sample.size());
  size_t encoded = 0;
  for (size_t i = 0; i < back.size(); ++i) {
    ASSERT_EQ(back[i], sample[i]) << "line " << i;
    encoded += lines[i] != sample[i];
  }
  EXPECT_GT(encoded, sample.size() / 4);
}

}  // namespace
