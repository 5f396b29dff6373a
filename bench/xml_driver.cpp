// Times the XML loader on 1 MB texts made to be hard for it, and beside it the end-tag search
// as written (a fresh scan from every start tag) on the same texts, cut short where it would
// run for minutes. usage: xml_driver
#include <chrono>
#include <ctime>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/System.h"
#include "update/Xml.h"
#include "update/XmlMatch.h"

using namespace qlk;
using Clock = std::chrono::steady_clock;

namespace {

// Processor time, not wall time: the figures stay comparable on a machine others share.
double Seconds(const std::function<void()>& f) {
  const std::clock_t t0 = std::clock();
  f();
  return static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
}

std::string Repeat(const std::string& s, size_t bytes) {
  std::string out;
  while (out.size() + s.size() <= bytes) out += s;
  return out;
}

}  // namespace

int main() {
  const size_t mb = 1 << 20;
  std::mt19937 rng(7);
  std::string random;
  const char* pieces[] = {"<a>", "</a>", "<b x='1'>", "</b>", "text", "<!--c-->", " ", "<", ">", "<ab"};
  while (random.size() < mb) random += pieces[rng() % 10];
  std::string deep = Repeat("<a>", mb / 2) + "x";
  deep += Repeat("</a>", mb - deep.size());
  struct Input {
    const char* name;
    std::string text;
  } inputs[] = {
      {"unmatched <a>", "<r>" + Repeat("<a>", mb - 8) + "</r>"},
      {"unmatched <a>, one </a> at the end", "<r>" + Repeat("<a>", mb - 12) + "</a></r>"},
      {"nested 100,000 deep", Repeat("<a>", 300000) + Repeat("</a>", 400000)},
      {"half open, half closed", deep},
      {"many names, closed at the end", [] {
         std::string s = "<r>";
         for (int i = 0; s.size() < mb / 2; ++i) s += "<n" + std::to_string(i % 5000) + ">";
         for (int i = 0; i < 5000; ++i) s += "</n" + std::to_string(i) + ">";
         return s + "</r>";
       }()},
      {"random tags", "<r>" + random + "</r>"},
  };
  auto cp = sys::MakeCodePage();
  std::printf("%-40s %10s %14s %22s\n", "1 MB input", "bytes", "LoadXml (cpu s)", "scan as written (cpu s)");
  for (const Input& in : inputs) {
    const double load = Seconds([&] {
      CKXMLDocument doc(cp.get());
      doc.LoadXml(in.text, false);
    });
    // The scan as written from each of the first start tags, extrapolated to all of them.
    size_t starts = 0, timed = 0;
    for (char c : in.text) starts += c == '<';
    const double scan = Seconds([&] {
      const auto t0 = Clock::now();
      for (size_t p = 0; p < in.text.size() && Clock::now() - t0 < std::chrono::seconds(2); ++p) {
        if (in.text[p] != '<') continue;
        size_t e = p + 1;
        while (e < in.text.size() && in.text[e] != '>' && in.text[e] != ' ') ++e;
        xml::ScanForClose(in.text, std::string_view(in.text).substr(p + 1, e - p - 1), e, in.text.size());
        ++timed;
      }
    });
    std::printf("%-40s %10zu %14.3f %22.1f\n", in.name, in.text.size(), load, timed ? scan * starts / timed : 0.0);
  }
  std::printf("(the scan as written: one scan per start tag at the document's level, timed for 2 s of wall time and extrapolated)\n");
  return 0;
}
