#include "win32/platform/Win32Platform.h"

#include <htmlhelp.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace qlk::win {
namespace {

std::wstring W(const ICodePage& cp, std::string_view sjis) {
  std::u16string u = cp.ToUtf16(Charset::Sjis, sjis);
  return std::wstring(u.begin(), u.end());
}

// Writes a shell link to `target` as `name` in the folder of `csidl`; false when the folder
// cannot be had or the link cannot be written there.
bool SaveLink(int csidl, const std::wstring& target, const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)) || !folder[0]) return false;
  std::wstring path = folder;
  if (path.back() != L'\\') path += L'\\';
  path += name;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return false;
  bool saved = false;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->SetPath(target.c_str())) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    saved = SUCCEEDED(file->Save(path.c_str(), TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

BOOL CALLBACK CancelMode(HWND h, LPARAM) {
  SendMessageW(h, WM_CANCELMODE, 0, 0);
  return TRUE;
}

void CancelModeOfTree(HWND h) {
  if (!h) return;
  SendMessageW(h, WM_CANCELMODE, 0, 0);
  EnumChildWindows(h, CancelMode, 0);
}

}  // namespace

Win32Shell::~Win32Shell() {
  if (viewer_) FreeLibrary(viewer_);
}

int Win32Shell::Execute(std::string_view file, std::string_view verb, std::string_view params) {
  std::wstring f = W(cp_, file), v = W(cp_, verb), p = W(cp_, params);
  auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(owner_, v.empty() ? nullptr : v.c_str(), f.c_str(),
                                                   p.empty() ? nullptr : p.c_str(), nullptr, SW_SHOWNORMAL));
  return static_cast<int>(r);
}

std::optional<std::string> Win32Shell::FullEditorPath() {
  HKEY k = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Korvu\\Quenlark", 0, KEY_READ, &k) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<wchar_t> path(32768, L'\0');
  DWORD size = static_cast<DWORD>((path.size() - 1) * sizeof(wchar_t)), type = 0;
  if (RegQueryValueExW(k, L"Path", nullptr, &type, reinterpret_cast<BYTE*>(path.data()), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    path[0] = L'\0';
  RegCloseKey(k);
  std::wstring w(path.data());
  return cp_.FromUtf16(Charset::Sjis, std::u16string(w.begin(), w.end()));
}

bool Win32Shell::CreateStartupShortcut(std::string_view linkName) {
  std::vector<wchar_t> self(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  if (n == 0 || n >= self.size()) return false;
  const std::wstring target(self.data(), n), name = Utf8ToWide(linkName);
  // The machine's Startup folder, which only an administrator may write on current systems,
  // else the user's own (made when it is not there yet).
  return SaveLink(CSIDL_COMMON_STARTUP, target, name) || SaveLink(CSIDL_STARTUP | CSIDL_FLAG_CREATE, target, name);
}

void Win32Shell::CancelModes() {
  CancelModeOfTree(owner_);
  if (owner_) {
    HWND top = GetAncestor(owner_, GA_ROOT);
    if (top && top != owner_) CancelModeOfTree(top);
  }
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
}

bool Win32Shell::PathExists(std::string_view utf8Path) {
  return GetFileAttributesW(Utf8ToWide(utf8Path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Shell::ShowHelp(std::string_view utf8Path, HelpView view) {
  // The viewer is looked for once, when first needed: a system without it still runs the tray.
  if (!viewerTried_) {
    viewerTried_ = true;
    viewer_ = LoadLibraryW(L"hhctrl.ocx");
  }
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  auto help = viewer_ ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(viewer_, "HtmlHelpW")))
                      : nullptr;
  if (!help) return false;
  const std::wstring path = Utf8ToWide(utf8Path);
  if (view == HelpView::Index) help(nullptr, path.c_str(), HH_DISPLAY_INDEX, 0);
  else help(owner_, path.c_str(), HH_DISPLAY_TOPIC, 0);
  return true;
}

std::unique_ptr<IShell> MakeShell(const ICodePage& cp, HWND owner) { return std::make_unique<Win32Shell>(cp, owner); }

}  // namespace qlk::win
