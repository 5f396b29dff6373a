// Recording and running macros, and the keywords only the interpreter knows.
#include <cstdio>

#include "app/SettingKeys.h"
#include "doc/Document.h"
#include "macro/Commands.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

FileDialogRequest MacroFileRequest(MainState& m, bool open) {
  FileDialogRequest r;
  r.open = open;
  r.filter = Txt::MacroFileFilter;
  r.initialDir = Get(m.platform().settings, keys::kMacroDir);
  if (open) {
    r.defaultExt = "QMC";
    r.fileName = "*.QMC";
    r.title = Txt::MacroRunTitle;
  } else {
    r.defaultExt = "qmc";
    r.fileName = "*.qmc";
    r.title = Txt::MacroRecordTitle;
    r.promptOverwrite = true;
    r.keepCurrentDir = true;
    r.mustExist = true;
  }
  return r;
}

void ToggleRecording(MainState& m) {
  if (m.recorder().Recording()) {
    m.recorder().Stop();
    return;
  }
  std::vector<std::string> chosen = m.platform().ui.FileDialog(MacroFileRequest(m, false));
  if (chosen.empty()) return;
  if (!m.recorder().Start(m.platform().files, chosen[0]))
    m.platform().ui.Info(MakeMessage(Txt::CannotCreateMacro));
}

void RunMacroCommand(MainState& m) {
  if (m.recorder().Recording()) {
    m.platform().ui.Info(MakeMessage(Txt::MacroRecording));
    return;
  }
  std::vector<std::string> chosen = m.platform().ui.FileDialog(MacroFileRequest(m, true));
  if (chosen.empty()) return;
  RunMacroFile(m, chosen[0]);
}

bool ToFirst(MainState& m) {
  CQuenlarkDoc& d = m.doc();
  std::optional<std::string> bytes = m.platform().files.ReadAll(d.PathName());
  if (!bytes) {
    m.platform().ui.Info(MakeMessage(Txt::FileNotFound));
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
    m.platform().ui.Info(MakeMessage(Txt::CannotOpenFile));
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

// An entry of the macro menu: the macro file at that place of [DirMenu], run on the clipboard.
void RunMacroMenuEntry(MainState& m, int entry) {
  if (m.recorder().Recording()) {
    m.platform().ui.Info(MakeMessage(Txt::MacroRecording));
    return;
  }
  RunMacroFile(m, Get(m.platform().settings, keys::kMacroMenuFile, entry));
}

}  // namespace

void BindMacroCommands(Bindings& b) {
  b.Command(Cmd::MacroRecord, ToggleRecording);
  b.Command(Cmd::MacroRun, RunMacroCommand);
  b.Range(Cmd::MacroMenu, kMacroMenuEntries, RunMacroMenuEntry);
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
