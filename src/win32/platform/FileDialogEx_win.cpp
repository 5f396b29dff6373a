#include "win32/platform/Win32Platform.h"

#include <commdlg.h>

namespace qlk::win {

CFileDialogEx::CFileDialogEx(bool open, const wchar_t* defExt, const wchar_t* fileName, DWORD flags,
                             const wchar_t* filter, HWND parent)
    : open_(open), defExt_(defExt ? defExt : L""), name_(32768, L'\0'), flags_(flags), parent_(parent) {
  if (fileName) wcsncpy(name_.data(), fileName, name_.size() - 1);
  // "name|pattern|...||" as the dialog wants it: each bar a terminating zero.
  filter_ = filter ? filter : L"";
  for (wchar_t& c : filter_)
    if (c == L'|') c = L'\0';
  filter_ += L'\0';
}

DWORD CFileDialogEx::StructSize() {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const bool known = GetVersionExW(&v) != FALSE;
#pragma GCC diagnostic pop
  const bool full = known && ((v.dwPlatformId == VER_PLATFORM_WIN32_NT && v.dwMajorVersion > 4) ||
                              (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && v.dwMajorVersion == 4 && v.dwMinorVersion >= 90));
  return full ? sizeof(OPENFILENAMEW) : OPENFILENAME_SIZE_VERSION_400W;
}

int CFileDialogEx::DoModal() {
  OPENFILENAMEW ofn{};
  ofn.lStructSize = StructSize();
  ofn.hwndOwner = parent_;
  ofn.lpstrFilter = filter_.size() > 1 ? filter_.c_str() : nullptr;
  ofn.lpstrFile = name_.data();
  ofn.nMaxFile = static_cast<DWORD>(name_.size());
  ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
  ofn.lpstrInitialDir = dir_.empty() ? nullptr : dir_.c_str();
  ofn.lpstrDefExt = defExt_.empty() ? nullptr : defExt_.c_str();
  ofn.Flags = flags_ | OFN_EXPLORER;
  return (open_ ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn)) ? IDOK : IDCANCEL;
}

std::vector<std::wstring> CFileDialogEx::Paths() const {
  std::vector<std::wstring> out;
  std::wstring first(name_.data());
  if (first.empty()) return out;
  const wchar_t* p = name_.data() + first.size() + 1;
  if (!(flags_ & OFN_ALLOWMULTISELECT) || !*p) {
    out.push_back(first);
    return out;
  }
  // "folder\0name\0name\0\0" when several files were chosen.
  if (first.back() != L'\\') first += L'\\';
  while (*p) {
    std::wstring f(p);
    out.push_back(first + f);
    p += f.size() + 1;
  }
  return out;
}

}  // namespace qlk::win
