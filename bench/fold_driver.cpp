// Timing driver for the fold: one long line against the same text as many short lines, and a
// whole-process fold of a file for the comparison with other folding tools.
//   fold_driver pieces CORPUS        times TurnChange 70 (hanging, push-out, tag rule on) on
//                                    4 MB of the corpus as one line, as 70-byte lines and as
//                                    140-byte lines
//   fold_driver file WIDTH FILE      folds FILE (CR LF lines) as TurnChange does and writes the
//                                    result to standard output
//   fold_driver phases WIDTH FILE    the same, with the time of each phase on standard error
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "conv/Sjis.h"
#include "doc/Document.h"
#include "ops/Fold.h"
#include "BenchPlatform.h"

using namespace qlk;

namespace {

using Env = bench::BenchEnv<bench::MemClipboard>;

std::string ReadFile(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    std::fprintf(stderr, "cannot read %s\n", path);
    std::exit(1);
  }
  std::string s;
  char buf[1 << 16];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
  std::fclose(f);
  return s;
}

KinsokuRules BenchRules(const ICodePage& cp) {
  KinsokuRules r;
  r.first = cp.Utf8ToSjis("、。，．・：；？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰ");
  r.last = cp.Utf8ToSjis("（［｛「『([{｢");
  r.hanging = r.pushOut = r.noBreakInTags = true;
  return r;
}

double FoldSeconds(Env& env, const std::string& clipText, const KinsokuRules& rules, size_t* lines) {
  CQuenlarkDoc doc(env.platform);
  env.clip.text = clipText;
  doc.NewFromClipboard();
  doc.width = 70;
  auto t0 = std::chrono::steady_clock::now();
  TurnChange(doc, rules);
  auto t1 = std::chrono::steady_clock::now();
  *lines = doc.Lines().size();
  return std::chrono::duration<double>(t1 - t0).count();
}

// The corpus text without its line breaks, cut at a character boundary near `bytes`.
std::string OneLine(const std::string& corpus, size_t bytes) {
  std::string s;
  s.reserve(bytes + 2);
  for (size_t i = 0; i < corpus.size() && s.size() < bytes;) {
    if (corpus[i] == '\r' || corpus[i] == '\n') {
      ++i;
      continue;
    }
    size_t n = sjis::CharLen(corpus, i);
    s.append(corpus, i, n);
    i += n;
  }
  return s;
}

// The same bytes as lines of about `len` bytes (never splitting a character), CR LF between.
std::string AsLines(const std::string& line, size_t len) {
  std::string out;
  out.reserve(line.size() + line.size() / len * 2 + 2);
  size_t start = 0;
  for (size_t i = 0; i < line.size();) {
    size_t n = sjis::CharLen(line, i);
    if (i + n - start > len) {
      out.append(line, start, i - start).append("\r\n");
      start = i;
    }
    i += n;
  }
  out.append(line, start, std::string::npos);
  return out;
}

int Pieces(const char* corpusPath) {
  Env env;
  const std::string corpus = ReadFile(corpusPath);
  const std::string line = OneLine(corpus, 4u << 20);
  const KinsokuRules rules = BenchRules(*env.cp);
  struct {
    const char* name;
    std::string text;
  } runs[] = {{"one 4 MB line", line},
              {"4 MB as 70-byte lines", AsLines(line, 70)},
              {"4 MB as 140-byte lines", AsLines(line, 140)}};
  for (auto& r : runs) {
    double best = 1e9;
    size_t lines = 0;
    for (int k = 0; k < 5; ++k) best = std::min(best, FoldSeconds(env, r.text, rules, &lines));
    std::printf("%-24s %9zu bytes -> %7zu lines  %8.2f ms (best of 5)\n", r.name, r.text.size(), lines, best * 1e3);
  }
  return 0;
}

int File(int width, const char* path, bool phases) {
  using clock = std::chrono::steady_clock;
  auto t0 = clock::now();
  Env env;
  env.clip.text = ReadFile(path);
  auto t1 = clock::now();
  CQuenlarkDoc doc(env.platform);
  doc.NewFromClipboard();
  auto t2 = clock::now();
  doc.width = width;
  TurnChange(doc, KinsokuRules{});
  auto t3 = clock::now();
  doc.StoreClipboard(true);
  auto t4 = clock::now();
  std::fwrite(env.clip.text.data(), 1, env.clip.text.size(), stdout);
  std::fflush(stdout);
  auto t5 = clock::now();
  if (phases) {
    auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
    std::fprintf(stderr, "read %.0f ms, load %.0f ms, fold %.0f ms, store %.0f ms, write %.0f ms\n", ms(t0, t1),
                 ms(t1, t2), ms(t2, t3), ms(t3, t4), ms(t4, t5));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  sys::Init();
  if (argc == 3 && std::strcmp(argv[1], "pieces") == 0) return Pieces(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "file") == 0) return File(std::atoi(argv[2]), argv[3], false);
  if (argc == 4 && std::strcmp(argv[1], "phases") == 0) return File(std::atoi(argv[2]), argv[3], true);
  std::fprintf(stderr, "usage: fold_driver pieces CORPUS | fold_driver file WIDTH FILE\n");
  return 2;
}
