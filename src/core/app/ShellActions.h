#pragma once
// The tray's outward-facing actions: the text editor, the double-click program, the start-up
// shortcut and the help file. They hand work to the shell and never touch the document.
#include <optional>
#include <string>
#include <string_view>

#include "app/Texts.h"
#include "platform/Platform.h"

namespace qlk {

// Kinds of request that reach the application's help entry.
inline constexpr int kHelpContext = 1;  // context help: F1 in a dialog
inline constexpr int kHelpQuit = 2;
inline constexpr int kHelpIndex = 3;
inline constexpr int kHelpKind5 = 5;
inline constexpr int kHelpFinder = 11;  // the contents command

inline constexpr const char* kStartupLinkName = "Quenlark Tray.lnk";

// What a failed start of the editor says, by the shell's result: nothing for a success (32 and
// more), for 23-30, for 31 (no program is associated) and for 2 (not found) when the file's
// name has no "." (a name the shell looked up as a command).
std::optional<Txt> EditorFailureText(int result, std::string_view file);

// Starts [System] "Editor" with its default action; a failure is told from the table above.
void LaunchEditor(Platform& p);
// Starts [System] "ExeFile", or with none the full editor named under the machine-wide key of
// the product; silent whatever happens.
void StartDoubleClickProgram(Platform& p);
// Writes the start-up shortcut and says whether it was made.
void CreateStartupShortcut(Platform& p, IUserInterface& ui);
// The application's help entry: drops context help and kind 5; otherwise ends the program's
// modes, tells of a missing help file with its full path, and opens the contents for the
// finder request.
void HelpRequest(Platform& p, const std::string& helpPath, int kind);
// The help file straight in the viewer, without looking for it first.
void ShowHelp(Platform& p, const std::string& helpPath, HelpView view);

}  // namespace qlk
