#include "macro/Streaming.h"

#include <algorithm>
#include <array>
#include <cstring>

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

Bindings::LineFn LineFnForMacroLine(MainState& m, std::string_view macroLine) {
  std::optional<ParsedMacroLine> p = ParseMacroLine(macroLine);
  if (!p || !p->keyword) return {};
  const Bindings::LineFnMaker* make = m.bindings().LineFnMakerFor(p->keyword);
  return make ? (*make)(m, p->args) : Bindings::LineFn();
}

StreamStatus StreamLines(const Bindings::LineFn& fn, std::string head, const ReadMore& read, const WriteOut& write,
                         size_t block) {
  if (block == 0) block = 1;
  std::string in;
  in.swap(head);
  bool end = false;
  // The text ends at its first NUL: nothing after it is read.
  if (size_t z = in.find('\0'); z != std::string::npos) {
    in.resize(z);
    end = true;
  }
  std::string out;
  out.reserve(block + block / 2);
  size_t start = 0;  // the first byte of `in` not yet converted
  size_t seek = 0;   // where the search for the next CR LF goes on
  for (;;) {
    const char* d = in.data();
    for (;;) {
      const void* cr = seek < in.size() ? std::memchr(d + seek, '\r', in.size() - seek) : nullptr;
      if (!cr) {
        seek = in.size();
        break;
      }
      const size_t q = static_cast<size_t>(static_cast<const char*>(cr) - d);
      if (q + 1 >= in.size()) {  // the LF, if any, is still to be read
        seek = q;
        break;
      }
      if (d[q + 1] != '\n') {  // a lone CR belongs to the line
        seek = q + 1;
        continue;
      }
      fn(std::string_view(d + start, q - start), out);
      out += "\r\n";
      start = seek = q + 2;
      if (out.size() >= block) {
        if (!write(out)) return StreamStatus::WriteFailed;
        out.clear();
      }
    }
    if (end) break;
    // Keep the unfinished line at the front; a long one grows the buffer rather than moving.
    if (start > 0) {
      in.erase(0, start);
      seek -= start;
      start = 0;
    }
    const size_t have = in.size(), room = std::max(block, have);
    in.resize(have + room);
    std::optional<size_t> got = read(in.data() + have, room);
    if (!got) return StreamStatus::ReadFailed;
    in.resize(have + *got);
    if (*got == 0) {
      end = true;
    } else if (const void* z = std::memchr(in.data() + have, '\0', *got)) {
      in.resize(static_cast<size_t>(static_cast<const char*>(z) - in.data()));
      end = true;
    }
  }
  if (start < in.size()) fn(std::string_view(in).substr(start), out);  // the last line, without CR LF
  if (!out.empty() && !write(out)) return StreamStatus::WriteFailed;
  return StreamStatus::Ok;
}

}  // namespace qlk
