#include "macro/Keywords.h"

#include "conv/Case.h"

namespace qlk {

static_assert(kTableKeywordCount == 87);  // the interpreter's table is fixed; extras may follow it
static_assert(KeywordOf(Kw::Paste).inTable && KeywordOf(Kw::Reverse).inTable == false);

std::optional<Kw> KeywordFor(std::string_view token) {
  for (size_t i = 0; i < kKeywordCount; ++i)
    if (SameIgnoringAsciiCase(token, detail::kKeywordDefs[i].name)) return static_cast<Kw>(i);
  return std::nullopt;
}

}  // namespace qlk
