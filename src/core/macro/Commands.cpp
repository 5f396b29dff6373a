#include "macro/Commands.h"

#include "platform/CodePage.h"

namespace qlk {
namespace {

constexpr CommandDef kCommands[] = {
#define QLK_CMD(name, id, keyword, confirm, frame, args) \
  {Cmd::name, id, Kw::keyword, KeywordName(Kw::keyword), Txt::confirm, Frame::frame, args},
#define QLK_CMD_RANGE(name, first, count)
#include "macro/Commands.def"
#undef QLK_CMD
#undef QLK_CMD_RANGE
};

#define QLK_POPUP(caption) {MenuNode::Popup, 0, caption, ""},
#define QLK_POPUP_M(caption, m) {MenuNode::Popup, 0, caption, m},
#define QLK_ITEM(name, caption) {MenuNode::Item, IdOf(Cmd::name), caption, ""},
#define QLK_ITEM_M(name, caption, m) {MenuNode::Item, IdOf(Cmd::name), caption, m},
#define QLK_SEPARATOR() {MenuNode::Separator, 0, "", ""},
#define QLK_END() {MenuNode::End, 0, "", ""},
constexpr MenuNode kTrayMenu[] = {
#include "macro/Menu128.def"
};
constexpr MenuNode kSecondaryMenu[] = {
#include "macro/Menu132.def"
};
#undef QLK_POPUP
#undef QLK_POPUP_M
#undef QLK_ITEM
#undef QLK_ITEM_M
#undef QLK_SEPARATOR
#undef QLK_END

struct CatRow {
  uint32_t id;
  const char* caption;  // nullptr marks where the macro entries go
};
constexpr CatRow kCatalogue[] = {
#define QLK_CAT(name, caption) {IdOf(Cmd::name), caption},
#define QLK_CAT_ID(id, caption) {id, caption},
#define QLK_CAT_MACROS() {0, nullptr},
#include "macro/Catalogue.def"
#undef QLK_CAT
#undef QLK_CAT_ID
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
  for (std::span<const MenuNode> menu : {TrayMenu(), SecondaryMenu()})
    for (const MenuNode& n : menu)
      if (n.kind == MenuNode::Item && n.id == id) v.push_back(n.caption);
  return v;
}

std::span<const MenuNode> TrayMenu() { return kTrayMenu; }
std::span<const MenuNode> SecondaryMenu() { return kSecondaryMenu; }

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
