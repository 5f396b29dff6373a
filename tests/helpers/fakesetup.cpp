// A stand-in for a setup program in the end-to-end tests: started by the update check, it
// leaves a marker in the temporary folder naming the file it ran from and, on the next line,
// its command line; and ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  wchar_t self[MAX_PATH] = {}, temp[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetTempPathW(MAX_PATH, temp);
  const std::wstring marker = std::wstring(temp) + L"qlk-e2e-setup-ran.txt";
  HANDLE f = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 1;
  DWORD n = 0;
  const std::wstring text = std::wstring(self) + L"\n" + GetCommandLineW();
  WriteFile(f, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &n, nullptr);
  CloseHandle(f);
  return 0;
}
