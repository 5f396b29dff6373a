#include "macro/Families.h"

#include "macro/Bindings.h"

namespace qlk {

void BindAllFamilies(Bindings& b) {
  BindSelectionCommands(b);
  BindMacroCommands(b);
  BindFoldCommands(b);
  BindShellCommands(b);
  BindCodeCommands(b);
  BindWidthCommands(b);
  BindTransferCommands(b);
  BindReplaceCommands(b);
  BindSortCommands(b);
  BindBlankCommands(b);
  BindUpdateCommands(b);
  BindCountCommands(b);
}

}  // namespace qlk
