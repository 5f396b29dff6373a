#pragma once
// The binding function of each feature family. Add yours here and call it from
// BindAllFamilies (Families.cpp).
namespace qlk {

class Bindings;

void BindSelectionCommands(Bindings& b);  // selection, copy, undo and redo
void BindMacroCommands(Bindings& b);      // recording, running macros, interpreter-only keywords
void BindFoldCommands(Bindings& b);       // folding, column edits, numbering, line edits
void BindShellCommands(Bindings& b);      // settings
void BindCodeCommands(Bindings& b);       // JIS, EUC, UTF-8 and UTF-7
void BindWidthCommands(Bindings& b);      // full/half width, case and kana
void BindTransferCommands(Bindings& b);   // MIME, URL, uuencode, code listings, code detection
void BindReplaceCommands(Bindings& b);    // replacement and deletion of strings
void BindSortCommands(Bindings& b);       // sorting, reversing, duplicate removal
void BindBlankCommands(Bindings& b);      // blanks, tabs, alignment, joining, stray line ends
void BindUpdateCommands(Bindings& b);     // the update check on demand
void BindCountCommands(Bindings& b);      // character count and full edit

void BindAllFamilies(Bindings& b);

}  // namespace qlk
