// The built-in engine on its own, on both platforms (under Wine it is the mingw build with its
// JIT): cases where the scripting object under Wine loops (empty global matches, backtracking
// over very long lines), and its caches against fresh engines.
#include <gtest/gtest.h>

#include <random>

#include "Fakes.h"
#include "pcre/Regex_pcre.h"

using namespace qlk;
using namespace qlk::test;

namespace {

std::unique_ptr<IRegex> BuiltIn() { return MakePcreRegexFactory(CodePage())->Create(); }

TEST(BuiltInRegex, EmptyMatchesMoveOnByOneCharacter) {
  auto r = BuiltIn();
  ASSERT_TRUE(r);
  r->SetPattern("x*");
  r->SetGlobal(true);
  EXPECT_EQ(r->Replace("ab", "-"), std::optional<std::string>("-a-b-"));
}

TEST(BuiltInRegex, LongLinesDoNotExhaustTheEngine) {
  auto r = BuiltIn();
  ASSERT_TRUE(r);
  std::string line(100000, 'a');
  r->SetPattern("(a|b)*c");
  EXPECT_FALSE(r->Test(line).value_or(false));
  r->SetPattern("a+$");
  EXPECT_EQ(r->Test(line), std::optional<bool>(true));
}

// Both builds run on x86-64, where the library's JIT works: a deep match that the interpreter
// gives up on (its depth limit) is answered by the machine code.
TEST(BuiltInRegex, DeepMatchesRunAsMachineCode) {
  ASSERT_TRUE(PcreJitWorks());
  auto r = BuiltIn();
  ASSERT_TRUE(r);
  r->SetPattern("^(a|b)*$");
  EXPECT_EQ(r->Test(std::string(60000, 'a')), std::optional<bool>(true));
  EXPECT_EQ(r->Test(std::string(60000, 'a') + "c"), std::optional<bool>(false));
}

// One engine reused line after line, with the pattern, flags and replacement changing now and
// then, answers as a fresh engine does for every call.
TEST(BuiltInRegex, ReusedEngineAnswersAsAFreshOne) {
  // "ア" is 83 41 and "ソ" 83 5C: trail bytes that look like "A" and "\"; a lone 83 takes the
  // byte after it.
  const std::vector<std::string> pieces = {"a",        "b",        "1", "22", " ",    sj(u8"漢"),
                                           sj(u8"ア"), sj(u8"ソ"), "A", "$",  "\x83", "\xB1"};
  const std::vector<std::string> patterns = {"a+", "[0-9]+", "(a)(b)?", "^.",   sj(u8"[ア-ン]"), "b$",
                                             "A",  "[a-c]",  "[k-s]",   "\\\\", "\\d\\s"};
  const std::vector<std::string> replacements = {"x", "<$&>", "$2$1", "$`|$'", "", sj(u8"字")};
  std::mt19937 rng(27);
  auto pick = [&](const std::vector<std::string>& v) { return v[rng() % v.size()]; };
  auto reused = BuiltIn();
  std::string pattern = patterns[0], replacement = replacements[0];
  bool ignoreCase = false, global = true;
  for (int i = 0; i < 2000; ++i) {
    if (rng() % 4 == 0) pattern = pick(patterns);
    if (rng() % 4 == 0) replacement = pick(replacements);
    if (rng() % 8 == 0) ignoreCase = !ignoreCase;
    if (rng() % 8 == 0) global = !global;
    std::string line;
    for (int n = static_cast<int>(rng() % 8); n > 0; --n) line += pick(pieces);
    // The reference: a new engine for every call.
    auto fresh = [&] {
      auto r = BuiltIn();
      r->SetPattern(pattern);
      r->SetIgnoreCase(ignoreCase);
      r->SetGlobal(global);
      return r;
    };
    reused->SetPattern(pattern);
    reused->SetIgnoreCase(ignoreCase);
    reused->SetGlobal(global);
    const std::string what = u8(line) + " ~ " + u8(pattern) + " -> " + u8(replacement);
    const std::optional<bool> t = reused->Test(line);
    ASSERT_EQ(t, fresh()->Test(line)) << what;
    // Test answers some lines from their bytes alone; Replace converts every line.
    ASSERT_EQ(t, fresh()->Replace(line, "\x7F")->find('\x7F') != std::string::npos) << what;
    ASSERT_EQ(reused->Replace(line, replacement), fresh()->Replace(line, replacement)) << what;
    // Another line, then the first once more, while the engine's caches hold the other.
    const std::string other = line + "b1";
    ASSERT_EQ(reused->Replace(other, replacement), fresh()->Replace(other, replacement)) << what;
    ASSERT_EQ(reused->Test(line), t) << what;
  }
}

// What lets Test answer a line from its bytes: an ASCII unit comes only from that same byte.
TEST(BuiltInRegex, AsciiUnitsComeOnlyFromAsciiBytes) {
  for (unsigned c = 0x80; c < 0x10000; ++c) {
    std::string b;
    if (c > 0xFF) b += static_cast<char>(c >> 8);
    b += static_cast<char>(c & 0xFF);
    for (char16_t u : CodePage().ToUtf16(Charset::Sjis, b)) {
      if (u < 0x80) {
        ASSERT_NE(b.find(static_cast<char>(u)), std::string::npos) << std::hex << c;
      }
    }
  }
}

}  // namespace
