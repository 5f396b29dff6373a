// Times one tray command end to end under Windows (or Wine): the command posted to a running
// QlkTray.exe, its clipboard read, the conversion and its store, until the tray has handled it.
//
//   tray_bench QLKTRAY.EXE TEXT.sjis [COMMAND [COUNT [MEGABYTES]]]
//
// COMMAND (default 32829, 全て変換 to half width) runs COUNT times (default 20) on the first
// MEGABYTES (default 1) of TEXT.sjis, cut at a line end, and as often on 5 bytes; the cost of
// one command on the large text is the difference over COUNT. Three ways the text can stand on
// the clipboard:
//   own      the tray's own store of the previous command (the first is put once as CF_TEXT)
//   text     put as CF_TEXT before each command, as a program of code page 932 does
//   unicode  put as CF_UNICODETEXT before each command, as a Unicode program does
// and then, as "paste", what a Unicode program pays to read the result of each command (the
// commands themselves not counted): the other half of the round trip. Commands and pastes
// come at a person's pace, kPause apart, as the tray's idle time then is a person's too.
// Figures only: nothing here passes or fails.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "../../tests/e2e/TrayClient.h"

namespace {

using namespace qlk::e2e;

std::string ReadPrefix(const wchar_t* path, size_t bytes) {
  std::string s;
  HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return s;
  s.resize(bytes);
  DWORD n = 0;
  ReadFile(f, s.data(), static_cast<DWORD>(bytes), &n, nullptr);
  CloseHandle(f);
  s.resize(n);
  size_t end = s.rfind("\r\n");
  if (end != std::string::npos) s.resize(end + 2);
  return s;
}

std::wstring Wide(const std::string& sjis) {
  int n = MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), w.data(), n);
  return w;
}

double Now() {
  static LARGE_INTEGER f = [] {
    LARGE_INTEGER x;
    QueryPerformanceFrequency(&x);
    return x;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

enum class Way { Own, Text, Unicode, Paste };

constexpr DWORD kPause = 300;  // ms: no one pastes or clicks again sooner

// Milliseconds for `count` commands (or, for Paste, for reading their results as Unicode),
// the puts before them not counted.
double Run(Way way, const std::string& sjis, UINT command, int count) {
  const std::wstring wide = way == Way::Unicode ? Wide(sjis) : std::wstring();
  if (way == Way::Own || way == Way::Paste) PutBytes(sjis);
  double total = 0;
  for (int i = 0; i < count; ++i) {
    if (way == Way::Text) PutBytes(sjis);
    if (way == Way::Unicode) PutUnicode(wide);
    if (way == Way::Paste) Command(command);
    Sleep(kPause);
    double t0 = Now();
    if (way == Way::Paste) GetUnicode();
    else Command(command);
    total += Now() - t0;
  }
  return total;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: tray_bench QLKTRAY.EXE TEXT.sjis [COMMAND [COUNT [MEGABYTES]]]\n");
    return 2;
  }
  const UINT command = argc > 3 ? static_cast<UINT>(_wtoi(argv[3])) : 32829;
  const int count = argc > 4 ? _wtoi(argv[4]) : 20;
  const double mb = argc > 5 ? _wtof(argv[5]) : 1.0;
  const std::string large = ReadPrefix(argv[2], static_cast<size_t>(mb * 1024 * 1024));
  const std::string small = "\x82\x60\x82\x61" "a";  // ＡＢa, 5 bytes
  if (large.empty()) {
    std::fprintf(stderr, "tray_bench: cannot read the text\n");
    return 1;
  }
  ClearProfile();
  PROCESS_INFORMATION tray{};
  if (!StartTray(argv[1], tray)) {
    std::fprintf(stderr, "tray_bench: the tray did not start\n");
    return 1;
  }
  Command(32802);  // a first command, so that nothing of the start-up is timed
  std::printf("command %u, %d times on %zu bytes and on %zu bytes\n", command, count, large.size(), small.size());
  std::printf("%-8s %12s %12s %14s\n", "way", "large ms", "small ms", "ms per command");
  const struct {
    Way way;
    const char* name;
  } ways[] = {{Way::Own, "own"}, {Way::Text, "text"}, {Way::Unicode, "unicode"}, {Way::Paste, "paste"}};
  for (const auto& w : ways) {
    double big = Run(w.way, large, command, count);
    double little = Run(w.way, small, command, count);
    std::printf("%-8s %12.1f %12.1f %14.1f\n", w.name, big, little, (big - little) / count);
  }
  // That the command did its work: the result of the last large run.
  PutBytes(large);
  Command(command);
  std::string out = GetBytes();
  std::printf("result: %zu bytes, %s the text put\n", out.size(), out == large ? "the same as" : "changed from");
  CommandAsync(57665);
  WaitForSingleObject(tray.hProcess, 10000);
  ClearProfile();
  return 0;
}
