// Cases where the native engine is checked on its own: the Windows test run uses the
// platform's scripting engine, which under Wine loops on empty global matches and on
// backtracking over very long lines.
#include <gtest/gtest.h>

#include "Fakes.h"

using namespace qlk;
using namespace qlk::test;

namespace {

TEST(Pcre, EmptyMatchesMoveOnByOneCharacter) {
  auto r = sys::MakeRegexFactory(CodePage())->Create();
  ASSERT_TRUE(r);
  r->SetPattern("x*");
  r->SetGlobal(true);
  EXPECT_EQ(r->Replace("ab", "-"), std::optional<std::string>("-a-b-"));
}

TEST(Regex, LongLinesDoNotExhaustTheEngine) {
  auto r = sys::MakeRegexFactory(CodePage())->Create();
  ASSERT_TRUE(r);
  std::string line(100000, 'a');
  r->SetPattern("(a|b)*c");
  EXPECT_FALSE(r->Test(line).value_or(false));
  r->SetPattern("a+$");
  EXPECT_EQ(r->Test(line), std::optional<bool>(true));
}

}  // namespace
