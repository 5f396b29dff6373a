#include "doc/Document.h"

#include "app/SettingKeys.h"
#include "conv/Sjis.h"

namespace qlk {

CQuenlarkDoc::CQuenlarkDoc(Platform& p) : p_(p) {
  storedRegexFlag_ = Get(p_.settings, keys::kLineSelectRegex);
  regexFlag = storedRegexFlag_ != 0 ? 1 : 0;
  regex_ = p_.regex.Create();
  if (!regex_) regexFlag = 0;
}

CQuenlarkDoc::~CQuenlarkDoc() {
  // Written back only when it changed: the profile is not rewritten for nothing.
  if (regexFlag != storedRegexFlag_) Set(p_.settings, keys::kLineSelectRegex, regexFlag);
}

// ---------------------------------------------------------------- clipboard

void CQuenlarkDoc::ClearLines() {
  lines_.Clear();
  rangeStart = 0;
  rangeEnd = 0;
}

bool CQuenlarkDoc::NewFromClipboard() {
  ClearLines();
  bool ok = LoadClipboard();
  rangeStart = 1;
  rangeEnd = LineCount();
  return ok;
}

bool CQuenlarkDoc::LoadClipboard() {
  ClipRead r = p_.clipboard.Read();
  loadedLossy = r.lossy;
  loadedNoText = r.status == ClipStatus::NoText;
  if (r.status == ClipStatus::Busy) {
    p_.ui.Tell(MakeMessage(Txt::ClipboardBusy));
    return false;
  }
  if (r.status != ClipStatus::Ok) return true;  // no text: the document stays empty
  finalBreak = 1;
  std::string_view t = r.text;
  // The clipboard's text ends at its first NUL byte.
  if (auto z = t.find('\0'); z != std::string_view::npos) t = t.substr(0, z);
  size_t breaks = 0;
  for (size_t q = t.find("\r\n"); q != std::string_view::npos; q = t.find("\r\n", q + 2)) ++breaks;
  lines_.Reserve(breaks + 1);
  size_t p = 0;
  while (p < t.size()) {
    size_t q = t.find("\r\n", p);
    if (q == std::string_view::npos) {
      lines_.PushBack(std::string(t.substr(p)));
      finalBreak = 0;
      break;
    }
    lines_.PushBack(std::string(t.substr(p, q - p)));
    p = q + 2;
  }
  return true;
}

bool CQuenlarkDoc::EveryLineIsTarget() const {
  return rangeStart <= 1 && rangeEnd >= LineCount() && step <= 1 && pattern.empty() && exclusive == 0;
}

size_t CQuenlarkDoc::TargetTextSize() const {
  auto* self = const_cast<CQuenlarkDoc*>(this);  // the regex test is not const
  const bool all = EveryLineIsTarget();
  size_t n = 0;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (all || self->IsTargetLine(i)) n += lines_[i].size() + 2;
  return n;
}

bool CQuenlarkDoc::StoreClipboard(bool allSelect) {
  int saved[3] = {rangeStart, rangeEnd, step};
  std::string savedPattern = pattern;
  if (allSelect) SelectAll();
  std::string text;
  text.reserve(TargetTextSize());
  const size_t last = lines_.size() - 1;
  const bool all = EveryLineIsTarget();
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!all && !IsTargetLine(i)) continue;
    text += lines_[i];
    if (!(finalBreak == 0 && i == last)) text += "\r\n";
  }
  // A clipboard that held no text keeps what it holds (a picture, files) unless there is text
  // to put in its place: storing nothing would throw it away.
  if (loadedNoText && text.empty()) return true;
  if (!p_.clipboard.Write(std::move(text))) {
    // Nothing was stored: leave the selection as the command found it.
    rangeStart = saved[0];
    rangeEnd = saved[1];
    step = saved[2];
    pattern = std::move(savedPattern);
    p_.ui.Tell(MakeMessage(Txt::ClipboardBusy));
    return false;
  }
  p_.clipboard.ReturnFocus();
  return true;
}

std::string CQuenlarkDoc::GetText() const {
  std::string t;
  size_t n = 0;
  for (size_t i = 0; i < lines_.size(); ++i) n += lines_[i].size() + 2;
  t.reserve(n);
  for (size_t i = 0; i < lines_.size(); ++i) {
    t += lines_[i];
    t += "\r\n";
  }
  return t;
}

void CQuenlarkDoc::SetText(std::string_view text) {
  lines_.Clear();
  size_t p = 0;
  while (p < text.size()) {
    size_t q = text.find("\r\n", p);
    if (q == std::string_view::npos) {
      lines_.PushBack(std::string(text.substr(p)));
      break;
    }
    lines_.PushBack(std::string(text.substr(p, q - p)));
    p = q + 2;
  }
}

// ---------------------------------------------------------------- files

LineArray CQuenlarkDoc::SplitFileLines(std::string_view b) {
  // Binary read split at LF: a 0x1A byte is data, and a line of any length stays one line.
  LineArray out;
  size_t p = 0;
  while (p < b.size()) {
    size_t q = b.find('\n', p);
    size_t end = (q == std::string_view::npos) ? b.size() : q + 1;
    std::string_view piece = b.substr(p, end - p);
    if (!piece.empty() && piece.back() == '\n') piece.remove_suffix(1);
    if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    if (!piece.empty() && piece.back() == '\n') piece.remove_suffix(1);
    out.PushBack(std::string(piece));
    p = end;
  }
  return out;
}

bool CQuenlarkDoc::OpenFile(std::string_view path) {
  SetModified(true);
  ClearLines();
  std::optional<std::string> bytes = p_.files.ReadAll(path);
  if (!bytes) {
    p_.ui.Tell(MakeMessage(Txt::FileNotFound));
    return false;
  }
  {
    WaitCursor wait(p_.ui);
    lines_ = SplitFileLines(*bytes);
    rangeStart = 1;
    rangeEnd = LineCount();
    if (Get(p_.settings, keys::kAutoConvert) != 0 && hooks_.detectFileCode) {
      switch (hooks_.detectFileCode(*bytes)) {
        case FileCode::Jis:
          if (hooks_.jisToSjis) hooks_.jisToSjis();
          break;
        case FileCode::Euc:
          if (hooks_.eucToSjis) hooks_.eucToSjis();
          break;
        case FileCode::None:
          break;
      }
    }
    WriteMacroLine("Open " + std::string(path));
  }
  pathName_ = std::string(path);
  SetModified(false);
  return true;
}

std::string CQuenlarkDoc::FileBytes() const {
  int crlf = Get(p_.settings, keys::kCrLf);
  // Values outside the three the settings offer fall back to CR LF.
  const char* term = crlf == 1 ? "\r" : crlf == 2 ? "\n" : "\r\n";
  std::string out;
  size_t n = 0;
  for (size_t i = 0; i < lines_.size(); ++i) n += lines_[i].size() + 2;
  out.reserve(n);
  for (size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i];
    out += term;
  }
  return out;
}

bool CQuenlarkDoc::SaveFile(std::string_view path) {
  auto f = p_.files.Create(path);
  if (!f) {
    p_.ui.Tell(MakeMessage(Txt::CannotWriteFile));
    return false;
  }
  WaitCursor wait(p_.ui);
  bool ok = f->Write(FileBytes());
  ok = f->Close() && ok;
  if (!ok) {
    // A short write must not pass for a saved file.
    p_.ui.Tell(MakeMessage(Txt::CannotWriteFile));
    return false;
  }
  SetModified(false);
  return true;
}

void CQuenlarkDoc::CloseFile() { WriteMacroLine("Close"); }

bool CQuenlarkDoc::SaveAs() {
  FileDialogRequest req;
  req.open = false;
  req.defaultExt = "txt";
  req.fileName = pathName_.empty() ? "*.txt" : pathName_;
  req.filter = Txt::TextFileFilter;
  req.title = Txt::SaveAsTitle;
  req.promptOverwrite = true;
  req.keepCurrentDir = true;
  req.mustExist = true;
  std::vector<std::string> chosen = p_.ui.FileDialog(req);
  if (chosen.empty()) return false;
  WriteMacroLine("Save " + chosen[0]);
  pathName_ = chosen[0];
  return SaveFile(pathName_);
}

bool CQuenlarkDoc::Save() {
  if (pathName_.empty()) return SaveAs();
  bool ok = SaveFile(pathName_);
  WriteMacroLine("Save");
  return ok;
}

bool CQuenlarkDoc::FileInsert(std::string_view path) {
  std::optional<std::string> bytes = p_.files.ReadAll(path);
  if (!bytes) {
    p_.ui.Tell(MakeMessage(Txt::CannotOpenFile));
    return false;
  }
  WaitCursor wait(p_.ui);
  BeginUndoStep();
  LineArray add = SplitFileLines(*bytes);
  for (size_t i = 0; i < add.size(); ++i) lines_.PushShared(add, i);
  SetModified(true);
  rangeEnd = LineCount();
  return true;
}

void CQuenlarkDoc::InsertLine(int index, std::string text) {
  if (index < 0 || index > LineCount()) return;  // refused: no such place
  BeginUndoStep();
  lines_.Insert(static_cast<size_t>(index), std::move(text));
  SetModified(true);
}

void CQuenlarkDoc::InsertEndLine(std::string text) {
  BeginUndoStep();
  lines_.PushBack(std::move(text));
  rangeEnd = LineCount();
  SetModified(true);
}

// ---------------------------------------------------------------- selection

bool CQuenlarkDoc::IsTargetLine(size_t index) {
  const long long i = static_cast<long long>(index);
  bool t = true;
  if (i < rangeStart - 1LL || i > rangeEnd - 1LL) t = false;
  if (t) {
    const std::string& line = lines_[index];
    if (regexFlag == 0) {
      if (!pattern.empty() && sjis::FindAligned(line, pattern) == std::string::npos) t = false;
    } else if (!regex_) {
      t = false;  // a regex selection without an engine matches nothing
    } else {
      std::optional<bool> r;
      if (regex_->SetPattern(pattern) && regex_->SetGlobal(true)) r = regex_->Test(line);
      if (!r || !*r) t = false;
    }
  }
  if (t && step > 1 && i % step != 0) t = false;
  return t != (exclusive != 0);
}

std::vector<char> CQuenlarkDoc::TargetMask() {
  std::vector<char> m(lines_.size());
  for (size_t i = 0; i < lines_.size(); ++i) m[i] = IsTargetLine(i) ? 1 : 0;
  return m;
}

void CQuenlarkDoc::SelectAll() {
  rangeStart = 1;
  rangeEnd = LineCount();
  step = 1;
  pattern.clear();
}

// ---------------------------------------------------------------- undo

void CQuenlarkDoc::BeginUndoStep() {
  if (undoEnabled_) undo_.Push(std::make_unique<CQLarkUndo>(rangeStart, rangeEnd, lines_));
}

void CQuenlarkDoc::Undo() {
  if (!undo_.CanUndo()) return;
  CKorvuUndoUnit* u = undo_.Undo(std::make_unique<CQLarkUndo>(rangeStart, rangeEnd, lines_));
  if (auto* s = dynamic_cast<CQLarkUndo*>(u)) s->Restore(rangeStart, rangeEnd, lines_);
}

void CQuenlarkDoc::Redo() {
  if (!undo_.CanRedo()) return;
  CKorvuUndoUnit* u = undo_.Redo();
  if (auto* s = dynamic_cast<CQLarkUndo*>(u)) s->Restore(rangeStart, rangeEnd, lines_);
}

}  // namespace qlk
