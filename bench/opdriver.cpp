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
#include "BenchPlatform.h"

using namespace qlk;

int main(int argc, char** argv) {
  const bool times = argc > 1 && std::strcmp(argv[1], "-t") == 0;
  const int firstLine = times ? 2 : 1;
  if (argc <= firstLine) {
    std::fputs("usage: opdriver 'MACRO LINE' [...] < in > out\n", stderr);
    return 2;
  }
  sys::Init();
  bench::BenchEnv<bench::StdoutClipboard> env;
  for (char buf[1 << 16];;) {
    size_t n = std::fread(buf, 1, sizeof buf, stdin);
    if (n == 0) break;
    env.clip.text.append(buf, n);
  }
  AppState app;
  {
    using Clock = std::chrono::steady_clock;
    auto secs = [](Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); };
    MainState m(env.platform, AllBindings(), app);
    const auto t0 = Clock::now();
    if (!m.Reload()) return 1;
    const auto t1 = Clock::now();
    for (int i = firstLine; i < argc; ++i)
      if (ExecuteMacroLine(m, argv[i]) == MacroStatus::Stopped) break;
    const auto t2 = Clock::now();
    if (!m.Store()) return 1;
    std::fflush(stdout);
    if (times)
      std::fprintf(stderr, "load %.3f s, lines %.3f s, store %.3f s\n", secs(t0, t1), secs(t1, t2), secs(t2, Clock::now()));
  }
  sys::Shutdown();
  return 0;
}
