#include "app/Dialog.h"
#include "win32/platform/Win32Platform.h"

#include <commdlg.h>
#include <shlobj.h>

namespace qlk::win {
namespace {

std::wstring W(const ICodePage& cp, std::string_view sjis) {
  std::u16string u = cp.ToUtf16(Charset::Sjis, sjis);
  return std::wstring(u.begin(), u.end());
}

std::string N(const ICodePage& cp, std::wstring_view w) {
  return cp.FromUtf16(Charset::Sjis, std::u16string(w.begin(), w.end()));
}

}  // namespace

UINT BoxStyle(MsgKind kind) {
  MsgButtons b = ButtonsOf(kind);
  UINT flags = b == MsgButtons::OkCancel ? MB_OKCANCEL : b == MsgButtons::YesNo ? MB_YESNO : MB_OK;
  switch (IconOf(kind)) {
    case MsgIcon::Information: flags |= MB_ICONINFORMATION; break;
    case MsgIcon::Question: flags |= MB_ICONQUESTION; break;
    case MsgIcon::Warning: flags |= MB_ICONWARNING; break;
    case MsgIcon::None: break;
  }
  return flags;
}

Answer Win32UI::Show(const Message& m) {
  UINT flags = BoxStyle(m.kind());
  // A box without an owner window would open behind the window the user works in.
  if (!owner_) flags |= MB_SETFOREGROUND | MB_TOPMOST;
  int r = MessageBoxW(owner_, Utf8ToWide(m.text).c_str(), title_.c_str(), flags);
  switch (r) {
    case IDOK: return Answer::Ok;
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    default: return Answer::Cancel;
  }
}

void Win32UI::BeginWait() {
  if (waitDepth_++ == 0) saved_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void Win32UI::EndWait() {
  if (waitDepth_ > 0 && --waitDepth_ == 0) SetCursor(saved_ ? saved_ : LoadCursorW(nullptr, IDC_ARROW));
}

bool Win32UI::RunDialog(DialogModel& model) { return RunDialogModel(GetModuleHandleW(nullptr), owner_, model, *this); }

std::unique_ptr<IModeless> Win32UI::OpenModeless(DialogModel& model) {
  return OpenModelessModel(GetModuleHandleW(nullptr), owner_, model, *this);
}

void Win32UI::PumpOne() { PumpOneMessage(); }

std::vector<std::string> Win32UI::FileDialog(const FileDialogRequest& req) {
  DWORD flags = OFN_HIDEREADONLY;
  if (req.promptOverwrite) flags |= OFN_OVERWRITEPROMPT;
  if (req.keepCurrentDir) flags |= OFN_NOCHANGEDIR;
  if (req.mustExist) flags |= req.open ? (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST) : OFN_PATHMUSTEXIST;
  if (req.multiSelect) flags |= OFN_ALLOWMULTISELECT;
  CFileDialogEx d(req.open, W(cp_, req.defaultExt).c_str(), W(cp_, req.fileName).c_str(), flags,
                  Utf8ToWide(TextOf(req.filter)).c_str(), owner_);
  d.SetTitle(Utf8ToWide(TextOf(req.title)));
  d.SetInitialDir(W(cp_, req.initialDir));
  if (d.DoModal() != IDOK) return {};
  std::vector<std::string> out;
  for (const std::wstring& p : d.Paths()) out.push_back(N(cp_, p));
  return out;
}

std::optional<std::string> Win32UI::BrowseFolder(Txt title) {
  std::wstring t = Utf8ToWide(TextOf(title));
  BROWSEINFOW bi{};
  bi.hwndOwner = owner_;
  bi.lpszTitle = t.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
  if (!pidl) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  bool ok = SHGetPathFromIDListW(pidl, path) != 0;
  CoTaskMemFree(pidl);
  if (!ok) return std::nullopt;
  return N(cp_, path);
}

}  // namespace qlk::win
