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
  std::wstring filter = Utf8ToWide(TextOf(req.filter));
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter += L'\0';
  std::wstring title = Utf8ToWide(TextOf(req.title));
  std::wstring dir = W(cp_, req.initialDir);
  std::wstring ext = W(cp_, req.defaultExt);
  std::vector<wchar_t> name(32768, L'\0');
  std::wstring initial = W(cp_, req.fileName);
  wcsncpy(name.data(), initial.c_str(), name.size() - 1);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;  // the full structure, with the places bar
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER;
  if (req.promptOverwrite) ofn.Flags |= OFN_OVERWRITEPROMPT;
  if (req.keepCurrentDir) ofn.Flags |= OFN_NOCHANGEDIR;
  if (req.mustExist) ofn.Flags |= req.open ? (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST) : OFN_PATHMUSTEXIST;
  if (req.multiSelect) ofn.Flags |= OFN_ALLOWMULTISELECT;
  BOOL ok = req.open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  if (!ok) return {};
  std::vector<std::string> out;
  if (req.multiSelect) {
    // "folder\0name\0name\0\0", or one full path when a single file was chosen.
    std::wstring first(name.data());
    const wchar_t* p = name.data() + first.size() + 1;
    if (!*p) {
      out.push_back(N(cp_, first));
    } else {
      if (!first.empty() && first.back() != L'\\') first += L'\\';
      while (*p) {
        std::wstring f(p);
        out.push_back(N(cp_, first + f));
        p += f.size() + 1;
      }
    }
  } else {
    out.push_back(N(cp_, name.data()));
  }
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
