#include "macro/Commands.h"

#include "platform/CodePage.h"

namespace qlk {
namespace {

constexpr CommandDef kCommands[] = {
#define QLK_CMD(id, caption, keyword, confirm, frame, args) {id, caption, keyword, Txt::confirm, Frame::frame, args},
#include "macro/Commands.def"
#undef QLK_CMD
};

// Identifiers that stand on the menu under a second caption.
constexpr struct {
  uint32_t id;
  const char* caption;
} kAlsoCaptions[] = {{32797, "左揃え(&L)"}};

struct CatRow {
  uint32_t id;
  const char* caption;  // nullptr marks where the macro entries go
};
constexpr CatRow kCatalogue[] = {
#define QLK_CAT(id, caption) {id, caption},
#define QLK_CAT_MACROS() {0, nullptr},
#include "macro/Catalogue.def"
#undef QLK_CAT
#undef QLK_CAT_MACROS
};

}  // namespace

std::string CommandDef::MacroLine() const {
  std::string l = keyword;
  if (*fixedArgs) {
    l += ' ';
    l += fixedArgs;
  }
  return l;
}

std::span<const CommandDef> AllCommands() { return kCommands; }

const CommandDef* FindCommand(uint32_t id) {
  for (const CommandDef& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

std::vector<std::string_view> CaptionsOf(uint32_t id) {
  std::vector<std::string_view> v;
  for (const CommandDef& c : kCommands)
    if (c.id == id) v.push_back(c.caption);
  for (const auto& a : kAlsoCaptions)
    if (a.id == id) v.push_back(a.caption);
  return v;
}

std::vector<CatalogueEntry> BuildCatalogue(const ICodePage& cp, const std::vector<std::string>& macroNames) {
  std::vector<CatalogueEntry> out;
  const std::string macroGroup = cp.Utf8ToSjis("[ﾏｸﾛ]");
  for (const CatRow& r : kCatalogue) {
    if (!r.caption) {
      for (size_t i = 0; i < macroNames.size() && i < static_cast<size_t>(kMacroMenuEntries); ++i)
        out.push_back({kFirstMacroMenuCommand + static_cast<uint32_t>(i), macroGroup + macroNames[i]});
      continue;
    }
    out.push_back({r.id, cp.Utf8ToSjis(r.caption)});
  }
  return out;
}

}  // namespace qlk
