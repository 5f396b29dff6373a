#include "platform/System.h"
#include "win32/platform/Win32Platform.h"

#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>

namespace qlk::sys {

std::unique_ptr<ICodePage> MakeCodePage() { return win::MakeCodePage(); }
std::unique_ptr<IRegexFactory> MakeRegexFactory(const ICodePage& cp) { return win::MakeRegexFactory(cp); }
std::unique_ptr<IFiles> MakeFiles(const ICodePage& cp) { return win::MakeFiles(cp); }
std::unique_ptr<ISettings> MakeSettings(const std::string& appName, const ICodePage& cp) {
  return win::MakeRegistrySettings(win::Utf8ToWide(appName), cp);
}
std::unique_ptr<IShell> MakeShell(const ICodePage& cp) { return win::MakeShell(cp, nullptr); }

namespace {
class Win32Clock final : public IClock {
 public:
  Date Today() override {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay};
  }
  LocalSeconds Now() override {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return ToLocalSeconds(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  }
};

void PrintTo(DWORD which, FILE* stream, std::string_view utf8) {
  HANDLE h = GetStdHandle(which);
  DWORD mode = 0;
  std::wstring w = win::Utf8ToWide(utf8) + L"\r\n";
  if (h && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode)) {
    DWORD done = 0;
    WriteConsoleW(h, w.c_str(), static_cast<DWORD>(w.size()), &done, nullptr);
    return;
  }
  // Redirected: in the console's code page, as other programs of the console expect.
  UINT cp = GetConsoleOutputCP();
  if (!cp) cp = GetACP();
  int n = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  fflush(stream);
  _setmode(_fileno(stream), _O_BINARY);
  fwrite(s.data(), 1, s.size(), stream);
  fflush(stream);
}
}  // namespace

std::unique_ptr<IClock> MakeClock() { return std::make_unique<Win32Clock>(); }

std::vector<std::string> CommandLineArgs(int, char**) {
  int n = 0;
  LPWSTR* w = CommandLineToArgvW(GetCommandLineW(), &n);
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) out.push_back(win::WideToUtf8(w[i]));
  LocalFree(w);
  return out;
}

std::optional<std::string> ReadStdin() {
  _setmode(_fileno(stdin), _O_BINARY);
  std::string data;
  char buf[1 << 16];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, stdin)) > 0) data.append(buf, n);
  if (ferror(stdin)) return std::nullopt;
  return data;
}

std::optional<size_t> ReadStdinSome(char* buf, size_t n) {
  _setmode(_fileno(stdin), _O_BINARY);
  size_t got = fread(buf, 1, n, stdin);
  if (got == 0 && ferror(stdin)) return std::nullopt;
  return got;
}

// The C library's stream is the one read from: its position counts what it has handed out.
std::optional<uint64_t> StdinPosition() {
  if (GetFileType(GetStdHandle(STD_INPUT_HANDLE)) != FILE_TYPE_DISK) return std::nullopt;
  _setmode(_fileno(stdin), _O_BINARY);
  const long long at = _ftelli64(stdin);
  return at < 0 ? std::nullopt : std::optional<uint64_t>(static_cast<uint64_t>(at));
}

bool SeekStdin(uint64_t offset) {
  return StdinPosition() && _fseeki64(stdin, static_cast<long long>(offset), SEEK_SET) == 0;
}

bool WriteStdout(std::string_view b) {
  _setmode(_fileno(stdout), _O_BINARY);
  bool ok = fwrite(b.data(), 1, b.size(), stdout) == b.size();
  return fflush(stdout) == 0 && ok;
}

void PrintError(std::string_view utf8) { PrintTo(STD_ERROR_HANDLE, stderr, utf8); }
void PrintOut(std::string_view utf8) { PrintTo(STD_OUTPUT_HANDLE, stdout, utf8); }

void Init() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
void Shutdown() { CoUninitialize(); }

}  // namespace qlk::sys
