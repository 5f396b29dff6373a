#include "app/ShellActions.h"

#include <iterator>

#include "app/SettingKeys.h"
#include "conv/Sjis.h"

namespace qlk {

namespace {

constexpr Txt kShellErrors[] = {
    Txt::ShellErr0,  Txt::ShellErr1,  Txt::ShellErr2,  Txt::ShellErr3,  Txt::ShellErr4,  Txt::ShellErr5,
    Txt::ShellErr6,  Txt::ShellErr7,  Txt::ShellErr8,  Txt::ShellErr9,  Txt::ShellErr10, Txt::ShellErr11,
    Txt::ShellErr12, Txt::ShellErr13, Txt::ShellErr14, Txt::ShellErr15, Txt::ShellErr16, Txt::ShellErr17,
    Txt::ShellErr18, Txt::ShellErr19, Txt::ShellErr20, Txt::ShellErr21, Txt::ShellErr22,
};
constexpr int kShellErrorCount = static_cast<int>(std::size(kShellErrors));
constexpr int kFileNotFound = 2;

}  // namespace

std::optional<Txt> EditorFailureText(int result, std::string_view file) {
  if (result < 0 || result >= kShellErrorCount) return std::nullopt;
  if (result == kFileNotFound) {
    // Only the name counts: a folder with a dot in its name still leaves a bare command name.
    // Shift-JIS: a trail byte may be 0x5C, which is no separator.
    bool dot = false;
    for (size_t k = 0; k < file.size(); ++k) {
      if (sjis::IsLead(file[k])) {
        ++k;
        continue;
      }
      if (file[k] == '\\' || file[k] == '/') dot = false;
      else if (file[k] == '.') dot = true;
    }
    if (!dot) return std::nullopt;
  }
  return kShellErrors[result];
}

void LaunchEditor(Platform& p) {
  const std::string editor = Get(p.settings, keys::kEditor);
  // 31 (nothing associated) and 23-30 say nothing, as the table has no text for them.
  if (std::optional<Txt> t = EditorFailureText(p.shell.Execute(editor, "", ""), editor)) p.ui.Tell(MakeMessage(*t));
}

void StartDoubleClickProgram(Platform& p) {
  std::string exe = Get(p.settings, keys::kExeFile);
  if (exe.empty()) {
    std::optional<std::string> full = p.shell.FullEditorPath();
    if (!full) return;
    exe = *full;
  }
  p.shell.Execute(exe, "open", "");
}

void CreateStartupShortcut(Platform& p, IUserInterface& ui) {
  ui.Tell(MakeMessage(p.shell.CreateStartupShortcut(kStartupLinkName) ? Txt::ShortcutCreated : Txt::ShortcutFailed));
}

void HelpRequest(Platform& p, const std::string& helpPath, int kind) {
  if (kind == kHelpContext || kind == kHelpKind5) return;
  WaitCursor wait(p.ui);
  p.shell.CancelModes();
  if (!p.shell.PathExists(helpPath)) {
    p.ui.Tell(MakeMessage(Txt::HelpFileMissing, {helpPath}));
    return;
  }
  // Only the finder request opens the file; the other kinds have nothing to show.
  if (kind == kHelpFinder) p.shell.ShowHelp(helpPath, HelpView::Contents);
}

void ShowHelp(Platform& p, const std::string& helpPath, HelpView view) { p.shell.ShowHelp(helpPath, view); }

}  // namespace qlk
