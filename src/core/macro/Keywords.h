#pragma once
// The macro keywords by name, with the properties of each (Keywords.def).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace qlk {

// A keyword by its name; the value is its index in the interpreter's table, the keywords the
// recorder writes beyond the table following it. None: a command that writes no macro line.
enum class Kw : uint8_t {
#define QLK_KW(name, lineLocal, args, help) name,
#define QLK_KW_EXTRA(name, lineLocal, args, help) name,
#include "macro/Keywords.def"
#undef QLK_KW
#undef QLK_KW_EXTRA
  None
};

struct KeywordDef {
  const char* name;
  bool inTable;    // in the interpreter's table (false: written by the recorder beyond it)
  bool lineLocal;  // converts each line on its own: may run a piece of the text at a time
  const char* args;  // as `qlark --list` shows them, "" for none
  const char* help;  // UTF-8
};

namespace detail {
inline constexpr KeywordDef kKeywordDefs[] = {
#define QLK_KW(name, lineLocal, args, help) {#name, true, lineLocal != 0, args, help},
#define QLK_KW_EXTRA(name, lineLocal, args, help) {#name, false, lineLocal != 0, args, help},
#include "macro/Keywords.def"
#undef QLK_KW
#undef QLK_KW_EXTRA
};
}  // namespace detail

inline constexpr size_t kKeywordCount = std::size(detail::kKeywordDefs);
// The interpreter's own table: the keywords before the recorder's extras.
inline constexpr size_t kTableKeywordCount = [] {
  size_t n = 0;
  while (n < kKeywordCount && detail::kKeywordDefs[n].inTable) ++n;
  return n;
}();

// Every keyword, in table order (the extras last).
constexpr std::span<const KeywordDef> AllKeywords() { return detail::kKeywordDefs; }
constexpr const KeywordDef& KeywordOf(Kw k) { return detail::kKeywordDefs[static_cast<size_t>(k)]; }
// The keyword as the table spells it; "" for Kw::None.
constexpr const char* KeywordName(Kw k) { return k == Kw::None ? "" : KeywordOf(k).name; }
// The keyword a token names (case-blind, first match), or nothing.
std::optional<Kw> KeywordFor(std::string_view token);

}  // namespace qlk
