#include "macro/Interpreter.h"

#include <vector>

#include "conv/Case.h"
#include "macro/Bindings.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

constexpr const char* kKeywords[] = {
    "OverwriteString", "RenoString", "KetaChange", "IndentChange", "InsertString", "DeletePos", "ZenToHan",
    "HanToZen", "ToUpper", "ToLower", "ToZenUpper", "ToZenLower", "HiraToKana", "KanaToHira", "Replace",
    "TurnChange", "JisToSjis", "SjisToJis", "UrlToSjis", "ToSjisCode", "ToJisCode", "ToOneline", "EucToSjis",
    "SjisToEuc", "UrleToSjis", "DelSpaceLine", "DelSpaceBack", "DelSpaceFirst", "DelSpaceMultiLine",
    "IndTurnChange", "TextAll", "CodeToSjis", "CodeToJis", "ToFirst", "CtlMToCRLF", "ZenToHan2", "HanToZen2",
    "DelSpaceOnly", "LFToCRLF", "LineDelete", "StrCat", "Notsel", "SuperReplace", "Sort1", "Sort2",
    "MimeToSjis", "MimeOut", "SjisToMime", "LineSelect", "Copy", "Paste", "SpaceInsert", "OnelineNo", "TurnIf",
    "ZenToHanSw", "HanToZenSw", "UuencodeOut", "Join", "SpToCsv", "MultiFileReplace", "ToTopUpper", "TabSpace",
    "SpaceTab", "PastePlus", "ToCenter", "ToRight", "ToLineUpper", "ToOnelineAll", "ReplaceDouble", "TabIf",
    "Sort", "UnicodeToMbcs", "MbcsToUnicode", "DupLineDel", "LineEdit", "Open", "Close", "Save", "DelStr",
    "InsertLine", "InsertEndLine", "Utf8ToSjis", "SjisToUtf8", "ToSjis", "ToMime", "SjisToUrl", "FileInsert",
};
static_assert(std::size(kKeywords) == 87);
static_assert(std::string_view(kKeywords[50]) == "Paste" && std::string_view(kKeywords[75]) == "Open");

constexpr const char* kRecorderOnly[] = {"ChangeUpperLower", "Reverse"};

constexpr int kMaxArgs = 20;
constexpr int kPaste = 50;
constexpr int kOpen = 75;

}  // namespace

std::span<const char* const> MacroKeywords() { return kKeywords; }
std::span<const char* const> RecorderOnlyKeywords() { return kRecorderOnly; }

int FindKeyword(std::string_view token) {
  for (size_t i = 0; i < std::size(kKeywords); ++i)
    if (SameIgnoringAsciiCase(token, kKeywords[i])) return static_cast<int>(i);
  for (size_t i = 0; i < std::size(kRecorderOnly); ++i)
    if (SameIgnoringAsciiCase(token, kRecorderOnly[i])) return static_cast<int>(std::size(kKeywords) + i);
  return -1;
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
  p.index = FindKeyword(*kw);
  if (p.index >= 0) p.keyword = p.index < 87 ? kKeywords[p.index] : kRecorderOnly[p.index - 87];
  return p;
}

bool ExecuteMacroLine(MainState& m, std::string_view line) {
  std::optional<ParsedMacroLine> p = ParseMacroLine(line);
  if (!p) return true;  // an empty line is skipped
  const bool pasteOrOpen = p->index == kPaste || p->index == kOpen;
  if (m.doc().LineCount() == 0 && !pasteOrOpen) {
    m.platform().ui.Tell(MakeMessage(Txt::NoDocument));
    return false;
  }
  if (!p->keyword) return true;
  if (const Bindings::Action* a = m.bindings().ActionFor(p->keyword)) (*a)(m, p->args);
  return true;
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

bool RunLines(MainState& m, std::string_view path) {
  std::optional<std::string> bytes = m.platform().files.ReadAll(path);
  if (!bytes) return false;
  for (const std::string& l : SplitMacroLines(*bytes))
    if (!ExecuteMacroLine(m, l)) break;
  return true;
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

void RunMacroText(MainState& m, std::string_view text) {
  if (!m.Reload()) return;
  for (const std::string& l : SplitMacroLines(text))
    if (!ExecuteMacroLine(m, l)) break;
  m.Store();
}

bool RunMacroOnDocument(MainState& m, std::string_view path) {
  if (!RunLines(m, path)) {
    m.platform().ui.Tell(MakeMessage(Txt::CannotOpenFile2));
    return false;
  }
  return true;
}

}  // namespace qlk
