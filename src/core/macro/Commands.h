#pragma once
// The command table: every command of the tray menu once, with what the frame needs.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/Texts.h"
#include "macro/Keywords.h"

namespace qlk {

// A command by its name in the table; the value is its menu command identifier.
enum class Cmd : uint32_t {
#define QLK_CMD(name, id, keyword, confirm, frame, args) name = id,
#define QLK_CMD_RANGE(name, first, count) name = first,
#include "macro/Commands.def"
#undef QLK_CMD
#undef QLK_CMD_RANGE
};
constexpr uint32_t IdOf(Cmd c) { return static_cast<uint32_t>(c); }

// How the dispatch runs a command.
enum class Frame {
  Plain,       // the table's frame around the bound operation: reload, "Verify" confirmation,
               // macro line, operation, store
  Dialog,      // its handler: reload, parameter dialog (Cancel ends), macro line, operation, store
  Search,      // its handler: as Dialog, but stores only when the operation found something
  LineSelect,  // its handler: reload, selection dialog, macro line; nothing stored
  Notsel,      // the dispatch: no reload, invert the selection, store
  TextAll,     // the dispatch: no reload, select all lines, store
  Copy,        // the dispatch: no reload, no macro line, store the target lines, keep the selection
  Undo,        // the dispatch: no reload, no macro line, undo, store
  Redo,
  Other,       // its handler, of its own shape (dialogs that store nothing, shell commands, ...)
};

struct CommandDef {
  Cmd cmd;
  uint32_t id;
  Kw kw;                // the macro keyword written by the command, Kw::None for none
  const char* keyword;  // its name, "" for none
  Txt confirm;          // asked when "Verify" is on; Txt::None for no question
  Frame frame;
  const char* fixedArgs;  // written after the keyword, "" for none

  // The macro line of a command without parameters: keyword and fixed arguments.
  std::string MacroLine() const;
};

std::span<const CommandDef> AllCommands();
const CommandDef* FindCommand(uint32_t id);
inline const CommandDef* FindCommand(Cmd c) { return FindCommand(IdOf(c)); }
// Every caption an identifier carries on the menus, without the two-script mnemonics that
// a few captions add (32797 has two captions).
std::vector<std::string_view> CaptionsOf(uint32_t id);

// The structure of the tray's popup menu, as the resource holds it.
struct MenuNode {
  enum Kind { Item, Separator, Popup, End } kind;
  uint32_t id;           // Item
  const char* caption;   // Item, Popup (UTF-8)
  const char* mnemonic;  // "" or the "(\x1E letter \x1F kana)" suffix
};
std::span<const MenuNode> TrayMenu();
std::span<const MenuNode> SecondaryMenu();

// The custom-menu catalogue: the fixed entries in order, with the macro menu's entries
// (identifiers 32853 + n, captions "[ﾏｸﾛ]" + name) inserted where they belong.
struct CatalogueEntry {
  uint32_t id;
  std::string caption;  // Shift-JIS
};
class ICodePage;
std::vector<CatalogueEntry> BuildCatalogue(const ICodePage& cp, const std::vector<std::string>& macroNames);

constexpr uint32_t kFirstMacroMenuCommand = IdOf(Cmd::MacroMenu);
constexpr int kMacroMenuEntries = [] {
#define QLK_CMD(name, id, keyword, confirm, frame, args)
#define QLK_CMD_RANGE(name, first, count) if (Cmd::name == Cmd::MacroMenu) return count;
#include "macro/Commands.def"
#undef QLK_CMD
#undef QLK_CMD_RANGE
  return 0;
}();

}  // namespace qlk
