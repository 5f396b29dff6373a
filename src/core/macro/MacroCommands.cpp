// Recording and running macros, and the keywords only the interpreter knows.
#include <cstdio>

#include "app/SettingKeys.h"
#include "doc/Document.h"
#include "macro/Commands.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Interpreter.h"
#include "macro/MacroMenuDlg.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

// The file dialog of the two macro commands: the file to record into, or the one to run.
FileDialogRequest MacroCommandRequest(MainState& m, bool open) {
  if (open) return MacroFileRequest(m.platform().settings, false);
  FileDialogRequest r;
  r.open = false;
  r.filter = Txt::MacroFileFilter;
  r.initialDir = Get(m.platform().settings, keys::kMacroDir);
  r.defaultExt = "qmc";
  r.fileName = "*.qmc";
  r.title = Txt::MacroRecordTitle;
  r.promptOverwrite = true;
  r.keepCurrentDir = true;
  r.mustExist = true;
  return r;
}

void ToggleRecording(MainState& m) {
  if (m.recorder().Recording()) {
    m.recorder().Stop();
    return;
  }
  std::vector<std::string> chosen = m.platform().ui.FileDialog(MacroCommandRequest(m, false));
  if (chosen.empty()) return;
  if (!m.recorder().Start(m.platform().files, chosen[0]))
    m.platform().ui.Tell(MakeMessage(Txt::CannotCreateMacro));
}

// A macro does not run while one is being recorded: its lines would go into the recording.
bool NotRecording(MainState& m) {
  if (!m.recorder().Recording()) return true;
  m.platform().ui.Tell(MakeMessage(Txt::MacroRecording));
  return false;
}

void RunMacroCommand(MainState& m) {
  if (!NotRecording(m)) return;
  std::vector<std::string> chosen = m.platform().ui.FileDialog(MacroCommandRequest(m, true));
  if (chosen.empty()) return;
  RunMacroFile(m, chosen[0]);
}

bool ToFirst(MainState& m) {
  CQuenlarkDoc& d = m.doc();
  std::optional<std::string> bytes = m.platform().files.ReadAll(d.PathName());
  if (!bytes) {
    m.platform().ui.Tell(MakeMessage(Txt::FileNotFound));
    return false;
  }
  d.BeginUndoStep();
  d.Lines() = CQuenlarkDoc::SplitFileLines(*bytes);
  d.rangeStart = 1;
  d.rangeEnd = d.LineCount();
  d.SetModified(false);
  return true;
}

bool Join(MainState& m, const MacroArgs& a) {
  CQuenlarkDoc& d = m.doc();
  std::optional<std::string> bytes = m.platform().files.ReadAll(a.D(1));
  if (!bytes) {
    m.platform().ui.Tell(MakeMessage(Txt::CannotOpenFile));
    return false;
  }
  d.BeginUndoStep();
  LineArray add = CQuenlarkDoc::SplitFileLines(*bytes);
  LineArray& lines = d.Lines();
  for (size_t k = 0; k < add.size(); ++k) {
    if (k < lines.size())
      lines.Set(k, lines[k] + add[k]);
    else
      lines.PushShared(add, k);
  }
  d.SetModified();
  return true;
}

void LineEdit(MainState& m, const MacroArgs& a) {
  CQuenlarkDoc& d = m.doc();
  int i = a.N(1);
  if (i < 0 || i >= d.LineCount()) return;  // no such line: the macro line is refused
  d.BeginUndoStep();
  d.Lines().Set(static_cast<size_t>(i), a.D(2));
  d.SetModified();
}

// An entry of the macro menu: the macro file at that place of the list, run on the clipboard.
void RunMacroMenuEntry(MainState& m, int entry) {
  if (!NotRecording(m)) return;
  CDirMenuArray list(m.platform().settings);
  list.Load();
  RunMacroFile(m, list.At(entry).path);
}

void EditMacroMenu(MainState& m) {
  CMacroMenuDlg dlg(m.platform());
  m.platform().ui.RunDialog(dlg);
}

// The chosen macro over the chosen files, each opened, run and (as the end mode says) saved.
void MacroOverFiles(MainState& m) {
  if (!NotRecording(m)) return;
  CMacroExeDlg dlg(m.platform());
  if (!m.platform().ui.RunDialog(dlg)) return;
  ApplyMacroToFiles(m, dlg.macro, dlg.files, dlg.endMode);
}

}  // namespace

void BindMacroCommands(Bindings& b) {
  b.Command(Cmd::MacroRecord, ToggleRecording);
  b.Command(Cmd::MacroRun, RunMacroCommand);
  b.Range(Cmd::MacroMenu, kMacroMenuEntries, RunMacroMenuEntry);
  b.Command(Cmd::MacroMenuEdit, EditMacroMenu);
  b.Command(Cmd::MacroOverFiles, MacroOverFiles);
  auto none = [](MainState&, const MacroArgs&) {};
  b.Keyword(Kw::Paste, none);
  b.Keyword(Kw::PastePlus, none);
  b.Keyword(Kw::Close, none);
  b.Keyword(Kw::ToFirst, [](MainState& m, const MacroArgs&) { return ToFirst(m); });
  b.Keyword(Kw::Join, Join);
  b.Keyword(Kw::LineEdit, LineEdit);
  b.Keyword(Kw::InsertLine, [](MainState& m, const MacroArgs& a) { m.doc().InsertLine(a.N(1), a.D(2)); });
  b.Keyword(Kw::FileInsert, [](MainState& m, const MacroArgs& a) { return m.doc().FileInsert(a.D(1)); });
  b.Keyword(Kw::Open, [](MainState& m, const MacroArgs& a) { return m.doc().OpenFile(a.rest); });
  b.Keyword(Kw::Save, [](MainState& m, const MacroArgs& a) {
    CQuenlarkDoc& d = m.doc();
    if (!a.rest.empty()) d.SetPathName(a.rest);
    return d.SaveFile(d.PathName());
  });
}

}  // namespace qlk
