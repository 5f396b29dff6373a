// The regex seam answers alike on both platforms: PCRE2 natively, the scripting RegExp
// object under Windows.
#include <gtest/gtest.h>

#include "Fakes.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct ReplaceCase {
  const char8_t* pattern;
  bool global, ignoreCase;
  const char8_t* text;
  const char8_t* replacement;
  const char8_t* want;
};

class RegexReplace : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(RegexReplace, GivesTheSameResultAsTheScriptingObject) {
  const ReplaceCase& c = GetParam();
  auto f = sys::MakeRegexFactory(CodePage());
  ASSERT_TRUE(f->Available());
  auto r = f->Create();
  ASSERT_TRUE(r);
  ASSERT_TRUE(r->SetPattern(sj(c.pattern)));
  ASSERT_TRUE(r->SetGlobal(c.global));
  ASSERT_TRUE(r->SetIgnoreCase(c.ignoreCase));
  std::optional<std::string> got = r->Replace(sj(c.text), sj(c.replacement));
  ASSERT_TRUE(got);
  EXPECT_EQ(u8(*got), std::string(reinterpret_cast<const char*>(c.want)));
}

INSTANTIATE_TEST_SUITE_P(
    Both, RegexReplace,
    ::testing::Values(ReplaceCase{u8"a", false, false, u8"banana", u8"o", u8"bonana"},
                      ReplaceCase{u8"a", true, false, u8"banana", u8"o", u8"bonono"},
                      ReplaceCase{u8"(\\w+)@(\\w+)", true, false, u8"x me@host y", u8"$2 at $1", u8"x host at me y"},
                      ReplaceCase{u8"n", true, false, u8"ana", u8"[$&]", u8"a[n]a"},
                      ReplaceCase{u8"n", false, false, u8"ana", u8"<$`|$'>", u8"a<a|a>a"},
                      ReplaceCase{u8"n", false, false, u8"ana", u8"$$", u8"a$a"},
                      ReplaceCase{u8"(a)", false, false, u8"a", u8"$2$1", u8"$2a"},
                      ReplaceCase{u8"A", true, true, u8"aAa", u8"b", u8"bbb"},
                      ReplaceCase{u8"[ぁ-ん]+", true, false, u8"漢字ひらがなカタカナ", u8"*", u8"漢字*カタカナ"},
                      ReplaceCase{u8"\\s", true, false, u8"a b\tc", u8"_", u8"a_b_c"},
                      ReplaceCase{u8"^.", true, false, u8"全角", u8"半", u8"半角"}));

TEST(Regex, TestAndInvalidPatterns) {
  auto f = sys::MakeRegexFactory(CodePage());
  auto r = f->Create();
  ASSERT_TRUE(r);
  r->SetPattern("^a.c$");
  EXPECT_EQ(r->Test("abc"), std::optional<bool>(true));
  EXPECT_EQ(r->Test("abcd"), std::optional<bool>(false));
  EXPECT_EQ(r->Test("abc\n"), std::optional<bool>(false));  // $ is the end of the text only
  r->SetPattern(sj(u8"^.$"));
  EXPECT_EQ(r->Test(sj(u8"漢")), std::optional<bool>(true));  // one character, not one byte
  r->SetPattern("a(");
  EXPECT_FALSE(r->Test("a(").value_or(false));
  r->SetPattern("b");
  EXPECT_EQ(r->Test("abc"), std::optional<bool>(true));  // usable again after a bad pattern
}

}  // namespace
