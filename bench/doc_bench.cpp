// Document benchmarks (figures only).
//   doc_bench roundtrip      clipboard load and store of 10 MB in 200,000 lines, beside a plain
//                            split into strings and join of the same bytes
//   doc_bench undo-shared    100 single-line edits, each an undo step, on that document; prints
//                            the peak resident memory
//   doc_bench undo-copies    the same with every snapshot a full copy of the lines' bytes, for
//                            comparison
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "doc/Document.h"
#include "BenchPlatform.h"

using namespace qlk;

namespace {

std::string MakeText() {
  // 200,000 lines of 48 bytes and CR LF: 10,000,000 bytes, a mix of kana and ASCII.
  std::string t;
  t.reserve(10'000'000);
  const char* kana = "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8";
  for (int i = 0; i < 200'000; ++i) {
    char head[16];
    std::snprintf(head, sizeof head, "%07d ", i);
    t += head;
    t += kana;
    t += "abcdefghijklmnopqrstuvwxyz01234";
    t += "\r\n";
  }
  return t;
}

double Seconds(std::chrono::steady_clock::time_point a) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
}

long PeakKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

using Env = bench::BenchEnv<bench::MemClipboard>;

int RoundTrip() {
  Env e;
  std::string text = MakeText();
  const double mb = static_cast<double>(text.size()) / 1e6;
  const int reps = 10;
  CQuenlarkDoc doc(e.platform);
  double best = 1e9, bestPlain = 1e9;
  for (int r = 0; r < reps; ++r) {
    e.clip.text = text;
    auto t0 = std::chrono::steady_clock::now();
    doc.NewFromClipboard();
    doc.StoreClipboard(true);
    best = std::min(best, Seconds(t0));
    if (e.clip.text != text) return std::fprintf(stderr, "round trip changed the text\n"), 1;

    // The same bytes split into plain strings at CR LF and joined again.
    auto t1 = std::chrono::steady_clock::now();
    std::vector<std::string> lines;
    size_t p = 0;
    while (p < text.size()) {
      size_t q = text.find("\r\n", p);
      if (q == std::string::npos) q = text.size();
      lines.emplace_back(text, p, q - p);
      p = q + 2;
    }
    std::string joined;
    joined.reserve(text.size());
    for (auto& l : lines) {
      joined += l;
      joined += "\r\n";
    }
    bestPlain = std::min(bestPlain, Seconds(t1));
    if (joined != text) return 1;
  }
  std::printf("clipboard load + store: %.1f MB in %.1f ms = %.0f MB/s\n", mb, best * 1e3, mb / best);
  std::printf("plain split + join:     %.1f MB in %.1f ms = %.0f MB/s\n", mb, bestPlain * 1e3, mb / bestPlain);
  std::printf("ratio (document / plain): %.2f\n", best / bestPlain);
  return 0;
}

int Undo(bool copies) {
  Env e;
  e.clip.text = MakeText();
  CQuenlarkDoc doc(e.platform);
  doc.NewFromClipboard();
  e.clip.text.clear();
  e.clip.text.shrink_to_fit();
  long before = PeakKb();
  std::vector<std::vector<std::string>> deep;  // what snapshots holding byte copies would keep
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < 100; ++i) {
    if (copies) deep.push_back(doc.Lines().ToVector());
    doc.BeginUndoStep();
    size_t at = static_cast<size_t>(i) * 1999 % doc.Lines().size();
    doc.Lines().Set(at, doc.Lines()[at] + "!");
  }
  double s = Seconds(t0);
  while (doc.CanUndo()) doc.Undo();
  std::printf("%s: 100 single-line edits in %.0f ms; peak resident %ld MB (%ld MB after the load)\n",
              copies ? "byte copies" : "shared lines", s * 1e3, PeakKb() / 1024, before / 1024);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "roundtrip") return RoundTrip();
  if (mode == "undo-shared") return Undo(false);
  if (mode == "undo-copies") return Undo(true);
  std::fprintf(stderr, "usage: doc_bench roundtrip|undo-shared|undo-copies\n");
  return 2;
}
