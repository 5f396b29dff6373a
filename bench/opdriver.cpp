// Timing driver: runs macro lines on standard input as one macro run does (one load, the
// lines, one store) and writes the result to standard output. Whole-process timings of the
// line operations are taken with it beside the usual text tools.
//   usage: opdriver [-t] 'MACRO LINE' [...] < in > out
//   -t: print the seconds of the load, the lines and the store to standard error
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/AppState.h"
#include "macro/Bindings.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"
#include "platform/System.h"

namespace {

using namespace qlk;

class StdClipboard final : public IClipboard {
 public:
  std::string in;
  ClipRead Read() override { return {ClipStatus::Ok, in}; }
  bool Write(std::string_view s) override { return std::fwrite(s.data(), 1, s.size(), stdout) == s.size(); }
};

class NoSettings final : public ISettings {
 public:
  int GetInt(std::string_view, std::string_view, int def) override { return def; }
  std::string GetText(std::string_view, std::string_view, std::string_view def) override { return std::string(def); }
  bool SetInt(std::string_view, std::string_view, int) override { return true; }
  bool SetText(std::string_view, std::string_view, std::string_view) override { return true; }
};

class StderrUI final : public IUserInterface {
 public:
  Answer Show(const Message& m, MsgButtons, MsgIcon) override {
    std::fprintf(stderr, "%s\n", m.text.c_str());
    return Answer::Ok;
  }
  void BeginWait() override {}
  void EndWait() override {}
  bool RunDialog(DialogModel&) override { return false; }
  std::vector<std::string> FileDialog(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> BrowseFolder(Txt) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
  const bool times = argc > 1 && std::strcmp(argv[1], "-t") == 0;
  const int firstLine = times ? 2 : 1;
  if (argc <= firstLine) {
    std::fputs("usage: opdriver 'MACRO LINE' [...] < in > out\n", stderr);
    return 2;
  }
  sys::Init();
  StdClipboard clip;
  for (char buf[1 << 16];;) {
    size_t n = std::fread(buf, 1, sizeof buf, stdin);
    if (n == 0) break;
    clip.in.append(buf, n);
  }
  NoSettings settings;
  StderrUI ui;
  auto cp = sys::MakeCodePage();
  auto regex = sys::MakeRegexFactory(*cp);
  auto files = sys::MakeFiles(*cp);
  auto shell = sys::MakeShell(*cp);
  auto clock = sys::MakeClock();
  Platform p{clip, settings, *cp, *regex, ui, *files, *shell, *clock};
  AppState app;
  {
    using Clock = std::chrono::steady_clock;
    auto secs = [](Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); };
    MainState m(p, AllBindings(), app);
    const auto t0 = Clock::now();
    if (!m.Reload()) return 1;
    const auto t1 = Clock::now();
    for (int i = firstLine; i < argc; ++i)
      if (!ExecuteMacroLine(m, argv[i])) break;
    const auto t2 = Clock::now();
    if (!m.Store()) return 1;
    std::fflush(stdout);
    if (times)
      std::fprintf(stderr, "load %.3f s, lines %.3f s, store %.3f s\n", secs(t0, t1), secs(t1, t2), secs(t2, Clock::now()));
  }
  sys::Shutdown();
  return 0;
}
