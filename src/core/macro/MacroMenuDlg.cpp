#include "macro/MacroMenuDlg.h"

#include "app/ListEdit.h"
#include "conv/Sjis.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

namespace qlk {

FileDialogRequest MacroFileRequest(ISettings& s, bool lowerCase) {
  FileDialogRequest r;
  r.open = true;
  r.defaultExt = lowerCase ? "qmc" : "QMC";
  r.fileName = lowerCase ? "*.qmc" : "*.QMC";
  r.filter = lowerCase ? Txt::MacroFileFilterLower : Txt::MacroFileFilter;
  r.title = Txt::MacroRunTitle;
  r.keepCurrentDir = lowerCase;
  r.initialDir = Get(s, keys::kMacroDir);
  return r;
}

std::string MacroNameOf(std::string_view path) {
  // "\" (0x5C) can be the trail byte of a double-byte character: walk by characters.
  size_t base = 0, dot = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += sjis::CharLen(path, i)) {
    if (path[i] == '\\' || path[i] == '/') {
      base = i + 1;
      dot = std::string_view::npos;
    } else if (path[i] == '.') {
      dot = i;
    }
  }
  return std::string(path.substr(base, dot == std::string_view::npos ? std::string_view::npos : dot - base));
}

// ---------------------------------------------------------------- CMacroEditDlg

bool CMacroEditDlg::OnCommand(int control, DialogHost& host) {
  if (control != kBrowse) return false;
  std::vector<std::string> chosen = host.ui().FileDialog(MacroFileRequest(s_, false));
  if (chosen.empty()) return false;
  path = chosen[0];
  name = MacroNameOf(path);
  return true;
}

// ---------------------------------------------------------------- CMacroMenuDlg

CMacroMenuDlg::CMacroMenuDlg(Platform& p) : p_(p), list_(p.settings) {
  selected = list_.Load() > 0 ? 0 : -1;
  Refill();
}

bool CMacroMenuDlg::OnCommand(int control, DialogHost& host) {
  const int n = list_.Count();
  const bool chosen = selected >= 0 && selected < n;
  auto swap = [this](int a, int b) { list_.Swap(a, b); };
  switch (control) {
    case kAdd: {
      if (n >= CDirMenuArray::kMax) {
        host.ui().Tell(MakeMessage(Txt::MacroMenuFull));
        return false;
      }
      CMacroEditDlg edit(p_.settings, "", "");
      if (!host.ui().RunDialog(edit)) return false;
      list_.Append(edit.name, edit.path);
      if (selected < 0) selected = n;
      break;
    }
    case kModify: {
      if (!chosen) return false;
      CMacroEditDlg edit(p_.settings, list_[selected].name, list_[selected].path);
      if (!host.ui().RunDialog(edit)) return false;
      list_[selected] = {edit.name, edit.path};
      break;
    }
    case kDelete: {
      auto question = [this](int i) { return MakeMessage(Txt::DeleteQuestion, {p_.codepage.SjisToUtf8(list_[i].name)}); };
      if (!listedit::Delete(host.ui(), selected, n, question, [this](int i) { list_.Remove(i); })) return false;
      break;
    }
    case kUp:
      if (!listedit::MoveUp(selected, n, swap)) return false;
      break;
    case kDown:
      if (!listedit::MoveDown(selected, n, swap)) return false;
      break;
    default: return false;
  }
  Refill();
  return true;
}

bool CMacroMenuDlg::OnOk(DialogHost&) {
  list_.Save();
  return true;
}

// ---------------------------------------------------------------- CMacroExeDlg

CMacroExeDlg::CMacroExeDlg(Platform& p, std::vector<std::string> fileList)
    : macro(Get(p.settings, kMacroKey)), endMode(Get(p.settings, kEndKey)), files(std::move(fileList)), p_(p) {
  if (endMode < kLeave || endMode > kSaveAndClose) endMode = kLeave;
}

std::vector<Field> CMacroExeDlg::Fields() {
  return {Field::Text(kMacro, macro), Field::List(kFiles, selected, files),
          Field::Combo(kEnd, endMode, {Txt::MacroEndLeave, Txt::MacroEndSave, Txt::MacroEndSaveClose})};
}

bool CMacroExeDlg::OnCommand(int control, DialogHost& host) {
  switch (control) {
    case kBrowse: {
      std::vector<std::string> chosen = host.ui().FileDialog(MacroFileRequest(p_.settings, true));
      if (chosen.empty()) return false;
      macro = chosen[0];
      return true;
    }
    case kAdd: {
      FileDialogRequest r;
      r.open = true;
      r.multiSelect = true;
      r.mustExist = true;
      r.fileName = "*.*";
      r.filter = Txt::MacroExeFilesFilter;
      r.title = Txt::MacroExeFilesTitle;
      std::vector<std::string> chosen = host.ui().FileDialog(r);
      if (chosen.empty()) return false;
      files.insert(files.end(), chosen.begin(), chosen.end());
      selected = static_cast<int>(files.size()) - 1;
      return true;
    }
    case kDelete: {
      auto question = [this](int i) {
        return MakeMessage(Txt::DeleteQuestionSpaced, {p_.codepage.SjisToUtf8(files[static_cast<size_t>(i)])});
      };
      return listedit::Delete(host.ui(), selected, static_cast<int>(files.size()), question,
                              [this](int i) { files.erase(files.begin() + i); });
    }
  }
  return false;
}

bool CMacroExeDlg::OnOk(DialogHost&) {
  Set(p_.settings, kMacroKey, macro);
  Set(p_.settings, kEndKey, endMode);
  return true;
}

// ---------------------------------------------------------------- the run over files

int ApplyMacroToFiles(MainState& m, std::string_view macroPath, const std::vector<std::string>& files, int endMode) {
  Platform& p = m.platform();
  std::optional<std::string> macro = p.files.ReadAll(macroPath);
  if (!macro) {
    // Said once: without its macro the run has nothing to do to any file.
    p.ui.Tell(MakeMessage(Txt::CannotOpenFile2));
    return 0;
  }
  CQuenlarkDoc& d = m.doc();
  int done = 0;
  for (const std::string& file : files) {
    if (!d.OpenFile(file)) continue;  // it has said so
    RunMacroLinesOnDocument(m, *macro);
    if (endMode == CMacroExeDlg::kSave || endMode == CMacroExeDlg::kSaveAndClose) {
      if (!p.files.WriteAllReplacing(file, {d.FileBytes()})) {
        p.ui.Tell(MakeMessage(Txt::CannotWriteNamedFile, {p.codepage.SjisToUtf8(file)}));
        continue;
      }
      d.SetModified(false);
    }
    ++done;
  }
  return done;
}

}  // namespace qlk
