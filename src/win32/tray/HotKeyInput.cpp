#include "win32/tray/HotKeyInput.h"

namespace qlk::win {

bool Win32HotKeyInput::IsDown(uint32_t vk) { return (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) != 0; }

size_t Win32HotKeyInput::Send(const std::vector<KeyEvent>& events) {
  std::vector<INPUT> in(events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = events[i].vk;
    in[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(events[i].vk, MAPVK_VK_TO_VSC));
    in[i].ki.dwFlags = events[i].up ? KEYEVENTF_KEYUP : 0;
  }
  return SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

uint32_t Win32HotKeyInput::ClipboardSequence() { return GetClipboardSequenceNumber(); }

// Sent messages are answered meanwhile: the program that copies empties the clipboard, and its
// owner (this window, after a store) is told so by a message the copier waits on.
void Win32HotKeyInput::Wait(int ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_SENDMESSAGE);
    MSG m;
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

uint64_t Win32HotKeyInput::NowMs() { return GetTickCount64(); }

uintptr_t Win32HotKeyInput::Foreground() { return reinterpret_cast<uintptr_t>(GetForegroundWindow()); }

void Win32HotKeyInput::Activate(uintptr_t window) {
  HWND w = reinterpret_cast<HWND>(window);
  if (IsWindow(w)) SetForegroundWindow(w);
}

long IntegrityLevel(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return -1;
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<BYTE> buf(size ? size : 1);
  long level = -1;
  if (size && GetTokenInformation(token, TokenIntegrityLevel, buf.data(), size, &size)) {
    auto* label = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buf.data());
    PSID sid = label->Label.Sid;
    level = static_cast<long>(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u));
  }
  CloseHandle(token);
  return level;
}

// Input to a window of a higher integrity level is dropped without a word; a process whose
// token this one may not even read stands higher too.
bool Win32HotKeyInput::Elevated(uintptr_t window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &pid);
  if (!pid || pid == GetCurrentProcessId()) return false;
  const long ours = IntegrityLevel(GetCurrentProcess());
  if (ours < 0) return false;
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
  const long theirs = IntegrityLevel(h);
  const bool denied = theirs < 0 && GetLastError() == ERROR_ACCESS_DENIED;
  CloseHandle(h);
  return denied || theirs > ours;
}

}  // namespace qlk::win
