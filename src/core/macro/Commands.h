#pragma once
// The command table: every command of the tray menu once, with what the frame needs.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/Texts.h"

namespace qlk {

// How a command's handler runs.
enum class Frame {
  Plain,       // reload, "Verify" confirmation, macro line, operation, store
  Dialog,      // reload, parameter dialog (Cancel ends), macro line, operation, store
  Search,      // as Dialog, but stores only when the operation found something
  LineSelect,  // reload, selection dialog, macro line; nothing stored
  Notsel,      // no reload: invert the selection, store
  TextAll,     // no reload: select all lines, store
  Copy,        // no reload, no macro line: store the target lines, keep the selection
  Undo,        // no reload, no macro line
  Redo,
  Other,       // a handler of its own (dialogs that store nothing, shell commands, ...)
};

struct CommandDef {
  uint32_t id;
  const char* keyword;  // macro keyword written by the command, "" for none
  Txt confirm;          // asked when "Verify" is on; Txt::None for no question
  Frame frame;
  const char* fixedArgs;  // written after the keyword, "" for none

  // The macro line of a command without parameters: keyword and fixed arguments.
  std::string MacroLine() const;
};

std::span<const CommandDef> AllCommands();
const CommandDef* FindCommand(uint32_t id);
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

constexpr uint32_t kFirstMacroMenuCommand = 32853;
constexpr int kMacroMenuEntries = 30;

}  // namespace qlk
