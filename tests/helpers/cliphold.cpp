// Holds the clipboard open from another process until told to let go, as a busy program
// would: signals "QlkClipHeld" once it holds it and waits for "QlkClipRelease" (10 s at most).
#include <windows.h>

int main() {
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"QlkClipHeld");
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"QlkClipRelease");
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QlkClipHold";
  RegisterClassW(&wc);
  // A window of its own: a clipboard opened without one is shared by every caller without one.
  HWND w = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  if (!w || !OpenClipboard(w)) return 1;
  SetEvent(held);
  WaitForSingleObject(release, 10000);
  CloseClipboard();
  DestroyWindow(w);
  return 0;
}
