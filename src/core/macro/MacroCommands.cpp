// Recording and running macros, and the keywords only the interpreter knows.
#include <cstdio>

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
  r.initialDir = m.platform().settings.GetText("Macro", "Dir", "");
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
    m.platform().ui.Tell(MakeMessage(Txt::CannotCreateMacro));
}

void RunMacroCommand(MainState& m) {
  if (m.recorder().Recording()) {
    m.platform().ui.Tell(MakeMessage(Txt::MacroRecording));
    return;
  }
  std::vector<std::string> chosen = m.platform().ui.FileDialog(MacroFileRequest(m, true));
  if (chosen.empty()) return;
  RunMacroFile(m, chosen[0]);
}

void ToFirst(MainState& m) {
  CQuenlarkDoc& d = m.doc();
  std::optional<std::string> bytes = m.platform().files.ReadAll(d.PathName());
  if (!bytes) {
    m.platform().ui.Tell(MakeMessage(Txt::FileNotFound));
    return;
  }
  d.BeginUndoStep();
  d.Lines() = CQuenlarkDoc::SplitFileLines(*bytes);
  d.rangeStart = 1;
  d.rangeEnd = d.LineCount();
  d.SetModified(false);
}

void Join(MainState& m, const MacroArgs& a) {
  CQuenlarkDoc& d = m.doc();
  std::optional<std::string> bytes = m.platform().files.ReadAll(a.D(1));
  if (!bytes) {
    m.platform().ui.Tell(MakeMessage(Txt::CannotOpenFile));
    return;
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
    m.platform().ui.Tell(MakeMessage(Txt::MacroRecording));
    return;
  }
  char key[16];
  std::snprintf(key, sizeof key, "Dir%02d", entry);
  RunMacroFile(m, m.platform().settings.GetText("DirMenu", key, ""));
}

}  // namespace

void BindMacroCommands(Bindings& b) {
  b.Command(32837, ToggleRecording);
  b.Command(32838, RunMacroCommand);
  for (int i = 0; i < kMacroMenuEntries; ++i)
    b.Command(kFirstMacroMenuCommand + static_cast<uint32_t>(i), [i](MainState& m) { RunMacroMenuEntry(m, i); });
  auto none = [](MainState&, const MacroArgs&) {};
  b.Keyword("Paste", none);
  b.Keyword("PastePlus", none);
  b.Keyword("Close", none);
  b.Keyword("ToFirst", [](MainState& m, const MacroArgs&) { ToFirst(m); });
  b.Keyword("Join", Join);
  b.Keyword("LineEdit", LineEdit);
  b.Keyword("InsertLine", [](MainState& m, const MacroArgs& a) { m.doc().InsertLine(a.N(1), a.D(2)); });
  b.Keyword("FileInsert", [](MainState& m, const MacroArgs& a) { m.doc().FileInsert(a.D(1)); });
  b.Keyword("Open", [](MainState& m, const MacroArgs& a) { m.doc().OpenFile(a.rest); });
  b.Keyword("Save", [](MainState& m, const MacroArgs& a) {
    CQuenlarkDoc& d = m.doc();
    if (!a.rest.empty()) d.SetPathName(a.rest);
    d.SaveFile(d.PathName());
  });
}

}  // namespace qlk
