#include "macro/Interpreter.h"

#include <array>
#include <vector>

#include "macro/Bindings.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

template <bool kInTable>
constexpr auto Names() {
  std::array<const char*, kInTable ? kTableKeywordCount : kKeywordCount - kTableKeywordCount> a{};
  for (size_t i = 0; i < a.size(); ++i) a[i] = AllKeywords()[kInTable ? i : kTableKeywordCount + i].name;
  return a;
}
constexpr auto kTableNames = Names<true>();
constexpr auto kRecorderOnlyNames = Names<false>();

constexpr int kMaxArgs = 20;

}  // namespace

std::span<const char* const> MacroKeywords() { return kTableNames; }
std::span<const char* const> RecorderOnlyKeywords() { return kRecorderOnlyNames; }

int FindKeyword(std::string_view token) {
  std::optional<Kw> k = KeywordFor(token);
  return k ? static_cast<int>(*k) : -1;
}

std::optional<std::string_view> MacroTokenizer::Next() {
  if (pos_ >= line_.size()) return std::nullopt;
  size_t sp = line_.find(' ', pos_);
  if (sp == std::string_view::npos) {
    std::string_view t = line_.substr(pos_);
    pos_ = line_.size();
    return t;
  }
  size_t last = sp;
  while (last + 1 < line_.size() && line_[last + 1] == ' ') ++last;
  std::string_view t = line_.substr(pos_, last - pos_);
  pos_ = last + 1;
  return t;
}

std::optional<ParsedMacroLine> ParseMacroLine(std::string_view line) {
  MacroTokenizer tok(line);
  std::optional<std::string_view> kw = tok.Next();
  if (!kw || kw->empty()) return std::nullopt;
  ParsedMacroLine p;
  size_t restAt = kw->size() + 1;
  p.args.rest = restAt < line.size() ? std::string(line.substr(restAt)) : std::string();
  while (p.args.tokens.size() < kMaxArgs) {
    auto t = tok.Next();
    if (!t) break;
    p.args.tokens.emplace_back(*t);
  }
  if (std::optional<Kw> k = KeywordFor(*kw)) {
    p.kw = *k;
    p.index = static_cast<int>(*k);
    p.keyword = KeywordName(*k);
  }
  return p;
}

MacroStatus ExecuteMacroLine(MainState& m, std::string_view line) {
  std::optional<ParsedMacroLine> p = ParseMacroLine(line);
  if (!p) return MacroStatus::Ok;  // an empty line is skipped
  if (m.doc().LineCount() == 0 && p->kw != Kw::Paste && p->kw != Kw::Open) {
    m.platform().ui.Tell(MakeMessage(Txt::NoDocument));
    return MacroStatus::Stopped;
  }
  const Bindings::Action* a = m.bindings().ActionFor(p->kw);
  return !a || (*a)(m, p->args) ? MacroStatus::Ok : MacroStatus::Failed;
}

std::vector<std::string> SplitMacroLines(std::string_view b) {
  std::vector<std::string> out;
  size_t p = 0;
  while (p < b.size()) {
    size_t q = b.find_first_of("\r\n", p);
    if (q == std::string_view::npos) {
      out.emplace_back(b.substr(p));
      break;
    }
    out.emplace_back(b.substr(p, q - p));
    p = q + 1;
    if (b[q] == '\r' && p < b.size() && b[p] == '\n') ++p;
  }
  return out;
}

namespace {

// Every line until one stops the run: Ok, or the first thing that went wrong.
MacroStatus RunLines(MainState& m, std::string_view text) {
  MacroStatus s = MacroStatus::Ok;
  for (const std::string& l : SplitMacroLines(text)) {
    const MacroStatus r = ExecuteMacroLine(m, l);
    if (s == MacroStatus::Ok) s = r;
    if (r == MacroStatus::Stopped) break;
  }
  return s;
}

}  // namespace

bool RunMacroFile(MainState& m, std::string_view path) {
  std::optional<std::string> bytes = m.platform().files.ReadAll(path);
  if (!bytes) {
    m.platform().ui.Tell(MakeMessage(Txt::CannotOpenFile2));
    return false;
  }
  RunMacroText(m, *bytes);
  return true;
}

MacroStatus RunMacroText(MainState& m, std::string_view text) {
  if (!m.Reload()) return MacroStatus::NotLoaded;
  MacroStatus s = RunLines(m, text);
  // Also after a stop: the document as the run left it.
  if (!m.Store() && s == MacroStatus::Ok) s = MacroStatus::NotStored;
  return s;
}

bool RunMacroOnDocument(MainState& m, std::string_view path) {
  std::optional<std::string> bytes = m.platform().files.ReadAll(path);
  if (!bytes) {
    m.platform().ui.Tell(MakeMessage(Txt::CannotOpenFile2));
    return false;
  }
  RunLines(m, *bytes);  // a line that fails has said why
  return true;
}

MacroStatus RunMacroLinesOnDocument(MainState& m, std::string_view text) { return RunLines(m, text); }

}  // namespace qlk
