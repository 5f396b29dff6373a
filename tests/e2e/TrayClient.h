#pragma once
// Talking to a running QlkTray.exe from another process, as the end-to-end tests and the tray
// timings do: its hidden window, its menu commands, the clipboard, its profile.
#include <windows.h>

#include <functional>
#include <string>

namespace qlk::e2e {

constexpr const wchar_t* kWindowTitle = L"TrayIconHandler";
constexpr const wchar_t* kProfileKey = L"Software\\Korvu\\QlkTray";

inline HWND TrayWindow() { return FindWindowW(nullptr, kWindowTitle); }

inline HWND WaitFor(const std::function<HWND()>& find, DWORD ms) {
  DWORD end = GetTickCount() + ms;
  do {
    if (HWND h = find()) return h;
    Sleep(50);
  } while (GetTickCount() < end);
  return nullptr;
}

// Starts the tray and waits for its window; false when it did not come up.
inline bool StartTray(const std::wstring& exe, PROCESS_INFORMATION& pi) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring cmd = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  return WaitFor(TrayWindow, 15000) != nullptr;
}

inline void ClearProfile() { RegDeleteTreeW(HKEY_CURRENT_USER, kProfileKey); }

// Waits until the tray has handled every message posted to it so far: it handles posted
// messages in order and answers the ping last. (A sent message would overtake them.)
inline void Settle(DWORD ms = 10000) {
  static HANDLE e = CreateEventW(nullptr, FALSE, FALSE, L"QlkTrayPing");
  static UINT ping = RegisterWindowMessageW(L"QlkTrayPing");
  ResetEvent(e);
  PostMessageW(TrayWindow(), ping, 0, 0);
  WaitForSingleObject(e, ms);
}

// Posts a command that opens a box or dialog; the tray waits in it until it is answered.
inline void CommandAsync(UINT id) { PostMessageW(TrayWindow(), WM_COMMAND, id, 0); }

// Posts a command and waits until the tray has handled it.
inline void Command(UINT id) {
  CommandAsync(id);
  Settle();
}

// ---------------------------------------------------------------- clipboard

inline bool OpenClip() {
  for (int i = 0; i < 50; ++i) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

// Replaces the clipboard with one format holding `bytes` bytes from `data` (a terminator
// included by the caller).
inline void PutFormat(UINT format, const void* data, size_t bytes) {
  if (!OpenClip()) return;
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(GlobalLock(h), data, bytes);
  GlobalUnlock(h);
  SetClipboardData(format, h);
  CloseClipboard();
}

inline void PutBytes(const std::string& sjis) { PutFormat(CF_TEXT, sjis.c_str(), sjis.size() + 1); }
inline void PutUnicode(const std::wstring& w) { PutFormat(CF_UNICODETEXT, w.c_str(), (w.size() + 1) * sizeof(wchar_t)); }

inline std::string GetBytes() {
  std::string s = "<none>";
  if (!OpenClip()) return "<busy>";
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    s = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return s;
}

inline std::wstring GetUnicode() {
  std::wstring s = L"<none>";
  if (!OpenClip()) return L"<busy>";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    s = static_cast<const wchar_t*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return s;
}

}  // namespace qlk::e2e
