// The code conversions against outside converters (iconv, nkf) on real Japanese text: the
// Japanese manual pages, in code page 932, kept to lines whose characters all have JIS X 0208
// codes. tools/setup installs every tool used here, so a missing one is a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Fakes.h"
#include "conv/Jis.h"
#include "conv/Unicode.h"

using namespace qlk;
using namespace qlk::test;

namespace {

namespace fs = std::filesystem;

const char* const kManPages = "/usr/share/man/ja/man1";
constexpr size_t kPages = 100;  // about a megabyte of text

bool HaveTool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

std::string ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Runs a filter over `input`; nullopt when it fails.
std::optional<std::string> Filter(const std::string& command, const std::string& input) {
  TempDir dir;
  const std::string in = dir.Path("in"), out = dir.Path("out");
  std::ofstream(in, std::ios::binary) << input;
  if (std::system(("(" + command + ") < " + Quote(in) + " > " + Quote(out) + " 2>/dev/null").c_str()) != 0) return std::nullopt;
  return ReadFile(out);
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> v;
  size_t p = 0;
  while (p < text.size()) {
    size_t q = text.find('\n', p);
    if (q == std::string::npos) q = text.size();
    v.push_back(text.substr(p, q - p));
    p = q + 1;
  }
  return v;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string t;
  for (auto& l : lines) t += l + "\n";
  return t;
}

// Printable ASCII, tabs, half-width katakana and double-byte characters of the JIS X 0208
// rows (1-8, 16-84); nothing that reads as an escape or a shift.
bool AllJisX0208(const std::string& line) {
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  for (size_t i = 0; i < line.size(); ++i) {
    unsigned char b = p[i];
    if ((b >= 0x20 && b < 0x7F) || b == '\t' || (b >= 0xA1 && b <= 0xDF)) continue;
    if (i + 1 >= line.size()) return false;
    uint16_t j = SjisToJisCode(b, p[i + 1]);
    int row = (j >> 8) - 0x20;
    if (!j || (row > 8 && row < 16) || row > 84) return false;
    ++i;
  }
  return true;
}

struct Sample {
  std::vector<std::string> lines;      // from the pages as they are (no half-width kana)
  std::vector<std::string> kanaLines;  // the same with katakana made half-width by nkf
  std::string problem;
};

const Sample& TheSample() {
  static const Sample sample = [] {
    Sample s;
    if (!HaveTool("iconv") || !HaveTool("nkf") || !HaveTool("zcat")) {
      s.problem = "iconv, nkf or zcat is missing (tools/setup installs them)";
      return s;
    }
    std::vector<fs::path> pages;
    std::error_code ec;
    for (auto& e : fs::directory_iterator(kManPages, ec))
      if (e.path().extension() == ".gz") pages.push_back(e.path());
    std::sort(pages.begin(), pages.end());
    if (pages.empty()) {
      s.problem = std::string("no manual pages in ") + kManPages + " (tools/setup installs manpages-ja)";
      return s;
    }
    // One shell for all pages; iconv -c reports the characters it left out, and what it kept
    // is still good text.
    std::string loop = "for f in";
    for (size_t k = 0; k < pages.size() && k < kPages; ++k) loop += " " + Quote(pages[k].string());
    loop += "; do zcat \"$f\" | iconv -c -f UTF-8 -t CP932; done; true";
    auto text = Filter(loop, "");
    if (!text) {
      s.problem = "zcat or iconv failed";
      return s;
    }
    for (std::string& l : Split(*text)) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      if (!l.empty() && AllJisX0208(l)) s.lines.push_back(std::move(l));
    }
    auto kana = Filter("nkf -S -s -x -Z4", Join(s.lines));
    if (!kana) {
      s.problem = "nkf failed";
      return s;
    }
    for (std::string& l : Split(*kana))
      if (AllJisX0208(l)) s.kanaLines.push_back(std::move(l));
    if (s.lines.size() < 1000 || s.kanaLines.size() < 1000) s.problem = "too little sample text";
    return s;
  }();
  return sample;
}

// Compares line by line and names the first difference, so a failure shows what broke.
void ExpectSameLines(const std::vector<std::string>& got, const std::vector<std::string>& want, const char* what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (size_t i = 0; i < got.size(); ++i)
    ASSERT_EQ(got[i], want[i]) << what << ", line " << i;
}

template <class F>
std::vector<std::string> Map(const std::vector<std::string>& lines, F f) {
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (auto& l : lines) out.push_back(f(l));
  return out;
}

struct CodesPeer : ::testing::Test {
  void SetUp() override { ASSERT_EQ(TheSample().problem, ""); }
  const std::vector<std::string>& lines = TheSample().lines;
  const std::vector<std::string>& kanaLines = TheSample().kanaLines;
  std::vector<std::string> all() const {
    std::vector<std::string> v = lines;
    v.insert(v.end(), kanaLines.begin(), kanaLines.end());
    return v;
  }
};

TEST_F(CodesPeer, SjisToEucMatchesIconvAndEucToSjisComesBack) {
  auto text = all();
  auto peer = Filter("iconv -f CP932 -t EUC-JP-MS", Join(text));
  ASSERT_TRUE(peer);
  auto euc = Split(*peer);
  ExpectSameLines(Map(text, SjisToEucLine), euc, "SjisToEuc");
  ExpectSameLines(Map(euc, EucToSjisLine), text, "EucToSjis");
}

// glibc's JIS X 0208 table reads these codes as other characters than code page 932 does.
std::string FoldToGlibcJis(std::string utf8) {
  static const std::pair<const char*, const char*> folds[] = {
      {"\uFF5E", "\u301C"}, {"\u2225", "\u2016"}, {"\uFF0D", "\u2212"},
      {"\uFFE0", "\u00A2"}, {"\uFFE1", "\u00A3"}, {"\uFFE2", "\u00AC"}};
  for (auto [from, to] : folds) {
    std::string f = from, t = to;
    for (size_t p = 0; (p = utf8.find(f, p)) != std::string::npos; p += t.size()) utf8.replace(p, f.size(), t);
  }
  return utf8;
}

TEST_F(CodesPeer, SjisToJisDecodesWithIconvToTheSameTextAndJisToSjisComesBack) {
  JisModes modes;
  const JisEncoderSettings defaults;
  auto jis = Map(lines, [&](const std::string& l) { return SjisToJisLine(l, defaults, modes); });
  auto peer = Filter("iconv -f ISO-2022-JP -t UTF-8", Join(jis));
  ASSERT_TRUE(peer) << "iconv could not read the JIS text";
  auto want = Filter("iconv -f CP932 -t UTF-8", Join(lines));
  ASSERT_TRUE(want);
  ExpectSameLines(Split(*peer), Map(Split(*want), FoldToGlibcJis), "SjisToJis read by iconv");
  JisModes d;
  ExpectSameLines(Map(jis, [&](const std::string& l) { return JisToSjisLine(l, d); }), lines, "JisToSjis");
}

TEST_F(CodesPeer, JisToSjisReadsJisWrittenByNkf) {
  auto text = all();
  auto peer = Filter("nkf -S -j -x", Join(text));
  ASSERT_TRUE(peer);
  JisModes d;
  ExpectSameLines(Map(Split(*peer), [&](const std::string& l) { return JisToSjisLine(l, d); }), text,
                  "JisToSjis of nkf's JIS");
}

TEST_F(CodesPeer, EveryKanaSettingDecodesWithNkf) {
  struct Setting {
    int kana;
    const char* reader;
  } settings[] = {
      {0, "nkf -J -s -x"},
      {1, "nkf -J -s -x"},
      {2, "nkf -s -x"},  // eight-bit kana are outside the seven-bit input form
  };
  for (const Setting& s : settings) {
    JisModes modes;
    auto jis = Map(kanaLines, [&](const std::string& l) { return SjisToJisLine(l, JisEncoderSettings{s.kana, 1}, modes); });
    auto peer = Filter(s.reader, Join(jis));
    ASSERT_TRUE(peer) << s.reader;
    SCOPED_TRACE(::testing::Message() << "Kana " << s.kana);
    ExpectSameLines(Split(*peer), kanaLines, "SjisToJis read by nkf");
  }
}

TEST_F(CodesPeer, SjisToUtf8MatchesIconvAndUtf8ToSjisComesBack) {
  auto text = all();
  auto peer = Filter("iconv -f CP932 -t UTF-8", Join(text));
  ASSERT_TRUE(peer);
  auto utf8 = Split(*peer);
  ExpectSameLines(Map(text, [](const std::string& l) { return SjisToUtf8Line(CodePage(), l); }), utf8, "SjisToUtf8");
  ExpectSameLines(Map(utf8, [](const std::string& l) { return Utf8ToSjisLine(CodePage(), l); }), text, "Utf8ToSjis");
}

}  // namespace
