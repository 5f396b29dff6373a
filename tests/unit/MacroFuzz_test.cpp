// Thousands of random and mutated macro lines through the interpreter, on random documents:
// whatever the line, the run ends and the document stays a document. Built with the
// sanitizers too (tools/test), where any out-of-bounds access or undefined step fails it.
#include <gtest/gtest.h>

#include <random>

#include "Fakes.h"
#include "macro/Bindings.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

using namespace qlk;
using namespace qlk::test;

namespace {

class Gen {
 public:
  explicit Gen(uint32_t seed) : r_(seed) {}
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(r_); }
  bool Chance(int percent) { return Int(0, 99) < percent; }

  // A piece of Shift-JIS-ish text: mostly well formed, sometimes not at all.
  std::string Text(int maxLen) {
    std::string s;
    int n = Int(0, maxLen);
    while (static_cast<int>(s.size()) < n) {
      switch (Int(0, 9)) {
        case 0: s += static_cast<char>(Int(0x81, 0x9F)); s += static_cast<char>(Int(0x40, 0xFC)); break;
        case 1: s += static_cast<char>(Int(0xA1, 0xDF)); break;
        case 2: s += static_cast<char>(Int(0, 255)); break;  // anything, lone lead bytes included
        case 3: s += Pick({"\\", "\\n", "\\s", "\\b", "\\t", "\\\\", " ", "  ", "\t", "\r", "\n", "<", ">", ","}); break;
        case 4: s += Pick({"\x82\xA0", "\x83\x41", "\x83\x5C", "\x81\x40", "\x82\x60", "\xB6\xDE", "\x88\x9F"}); break;
        case 5: s += Pick({"$1", "$&", "(", ")", "[", "]", "*", "+", "?", ".", "^", "$", "|", "{2}"}); break;
        case 6: s += Pick({"=?ISO-2022-JP?B?", "?=", "%82%A0", "%", "=", "begin 644 x", "\x1B$B", "\x1B(B", "+MEI-"}); break;
        default: s += static_cast<char>(Int('a', 'z')); break;
      }
    }
    return s;
  }
  std::string Number() {
    switch (Int(0, 5)) {
      case 0: return std::to_string(Int(-3, 3));
      case 1: return std::to_string(Int(0, 100));
      case 2: return Pick({"2147483647", "-2147483648", "99999999999", "32767", "32768", "-1"});
      case 3: return Pick({"", "x", "1x", "+5", " 7", "0x10"});
      default: return std::to_string(Int(1, 12));
    }
  }
  std::string Pick(std::initializer_list<const char*> v) { return *(v.begin() + Int(0, static_cast<int>(v.size()) - 1)); }
  std::mt19937& rng() { return r_; }

 private:
  std::mt19937 r_;
};

std::string Keyword(Gen& g) {
  auto kw = MacroKeywords();
  std::string k;
  if (g.Chance(90)) {
    k = g.Chance(95) ? kw[g.Int(0, static_cast<int>(kw.size()) - 1)] : RecorderOnlyKeywords()[g.Int(0, 1)];
  } else {
    k = g.Text(8);
  }
  if (g.Chance(10))
    for (char& c : k) c = static_cast<char>(g.Chance(50) ? std::tolower(static_cast<unsigned char>(c)) : std::toupper(static_cast<unsigned char>(c)));
  return k;
}

std::string Line(Gen& g) {
  std::string l = Keyword(g);
  int args = g.Int(0, 7);
  for (int i = 0; i < args; ++i) {
    l += g.Chance(5) ? "  " : " ";
    l += g.Chance(50) ? g.Number() : (g.Chance(20) ? "mem/f" + std::to_string(g.Int(0, 3)) : g.Text(12));
  }
  return l;
}

std::string Mutate(Gen& g, std::string l) {
  int edits = g.Int(1, 4);
  for (int i = 0; i < edits && !l.empty(); ++i) {
    size_t at = static_cast<size_t>(g.Int(0, static_cast<int>(l.size()) - 1));
    switch (g.Int(0, 2)) {
      case 0: l[at] = static_cast<char>(g.Int(0, 255)); break;
      case 1: l.insert(at, 1, static_cast<char>(g.Int(0, 255))); break;
      default: l.erase(at, 1); break;
    }
  }
  return l;
}

std::string Document(Gen& g) {
  std::string d;
  int lines = g.Int(0, 12);
  for (int i = 0; i < lines; ++i) {
    d += g.Chance(3) ? std::string(static_cast<size_t>(g.Int(33000, 40000)), 'w') + g.Text(20) : g.Text(60);
    if (i + 1 < lines || g.Chance(50)) d += "\r\n";
  }
  return d;
}

TEST(MacroFuzz, RandomAndMutatedLinesAlwaysEnd) {
  Gen g(20261208);
  TestPlatform tp;
  MemoryFiles files;
  files.files["mem/f0"] = "a\r\nb\n";
  files.files["mem/f1"] = "=?ISO-2022-JP?B?GyRCJEIbKEI=?=\r\n";
  Platform p{tp.clipboard, tp.settings, tp.platform.codepage, *tp.regex, tp.ui, files, tp.shell, tp.clock};
  AppState app;
  MainState m(p, AllBindings(), app);
  std::vector<std::string> seen;
  int runs = 0, lines = 0;
  for (; runs < 300; ++runs) {
    tp.clipboard.text = Document(g);
    if (g.Chance(20)) tp.settings.SetInt("Jis", "Kana", g.Int(-1, 3));
    if (g.Chance(20)) tp.settings.SetInt("Jis", "Jis", g.Int(-1, 4));
    ASSERT_TRUE(m.Reload());
    for (int i = 0; i < 16; ++i, ++lines) {
      std::string l = (!seen.empty() && g.Chance(30)) ? Mutate(g, seen[g.Int(0, static_cast<int>(seen.size()) - 1)]) : Line(g);
      if (seen.size() < 500) seen.push_back(l);
      if (ExecuteMacroLine(m, l) == MacroStatus::Stopped) break;
      CQuenlarkDoc& d = m.doc();
      // Whatever ran, the document can go to the clipboard and its size is what was stored.
      ASSERT_TRUE(d.StoreClipboard(false)) << l;
      ASSERT_LE(tp.clipboard.text->size(), d.TargetTextSize()) << l;
      ASSERT_GE(d.step, 1) << l;
    }
    tp.ui.shown.clear();
  }
  EXPECT_EQ(runs, 300);
  EXPECT_GT(lines, 3000);
}

}  // namespace
