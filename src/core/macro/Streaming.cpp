#include "macro/Streaming.h"

#include <array>

#include "conv/Case.h"
#include "conv/Jis.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

// Conversions of one line at a time. Left out on purpose: numbering (a counter across lines),
// sentence starts (a flag across lines), alignment to the longest line, joining, sorting,
// duplicates, selection and file keywords, decoders that gather several lines
// (UrleToSjis), MimeToSjis (its JIS modes start afresh at every run), code detection over
// the whole text (ToSjis), and the keywords that write files.
constexpr std::array kLineLocal = {
    "ZenToHan",   "ZenToHan2",  "ZenToHanSw", "HanToZen",      "HanToZen2",     "HanToZenSw",
    "ToUpper",    "ToLower",    "ToZenUpper", "ToZenLower",    "ToTopUpper",    "ChangeUpperLower",
    "HiraToKana", "KanaToHira", "JisToSjis",  "SjisToJis",     "EucToSjis",     "SjisToEuc",
    "Utf8ToSjis", "SjisToUtf8", "TurnChange", "IndTurnChange", "KetaChange",    "IndentChange",
    "TurnIf",     "StrCat",     "TextAll",    "TabSpace",      "SpaceTab",      "TabIf",
    "DelSpaceFirst", "DelSpaceBack", "DelSpaceOnly", "SpToCsv", "CtlMToCRLF", "LFToCRLF",
    "ToMime",     "SjisToMime", "SjisToUrl",  "UrlToSjis",     "ToSjisCode",    "ToJisCode",
    "CodeToSjis", "CodeToJis",
    "Replace",    "DelStr",     "SuperReplace", "ReplaceDouble",
};

// Keeps the JIS modes from piece to piece while alive.
struct KeepJis {
  KeepJis() = default;
  ~KeepJis() { KeepJisModesAcrossCommands(false); }
  void On() { KeepJisModesAcrossCommands(true); }
};

}  // namespace

bool IsLineLocal(std::string_view keyword) {
  for (const char* k : kLineLocal)
    if (SameIgnoringAsciiCase(keyword, k)) return true;
  return false;
}

bool RunLinePieces(MainState& m, std::string_view macroLine, std::string_view input, size_t piece,
                   std::string& out, const std::function<bool()>& reported) {
  if (piece == 0) piece = 1;
  IClipboard& clip = m.platform().clipboard;
  KeepJis keep;
  size_t p = 0;
  bool first = true;
  while (first || p < input.size()) {
    // Up to `piece` lines, each with its CR LF; the last piece ends as the input does.
    size_t end = p;
    for (size_t n = 0; n < piece && end < input.size(); ++n) {
      size_t q = input.find("\r\n", end);
      end = (q == std::string_view::npos) ? input.size() : q + 2;
    }
    if (!clip.Write(input.substr(p, end - p))) return false;
    RunMacroText(m, macroLine);
    ClipRead r = clip.Read();
    if (r.status != ClipStatus::Ok) return false;
    // A message (a malformed expression, a refused width) would only repeat for every piece.
    if (reported && reported()) return false;
    out += r.text;
    p = end;
    if (first) keep.On();
    first = false;
  }
  return true;
}

}  // namespace qlk
