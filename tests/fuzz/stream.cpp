// Fuzz target: a one-line macro of a line-by-line keyword, with arguments from the input, run
// three ways on the same text: whole through the clipboard, in pieces of lines through the
// clipboard, and streamed from a reader in chunks of any size (read again where it may be).
// Where the whole run shows no message, the three give the same bytes.
#include <algorithm>
#include <cstring>

#include "Fakes.h"
#include "FuzzTarget.h"
#include "macro/Bindings.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"
#include "macro/Streaming.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct Tray {
  explicit Tray(uint8_t flags) {
    tp.settings.SetInt("Jis", "Kana", flags % 3);
    tp.settings.SetInt("Jis", "Jis", flags / 3 % 5);
    tp.settings.SetInt("Turn", "English", flags / 15 % 3);
  }
  TestPlatform tp;
  AppState app;
  MainState m{tp.platform, AllBindings(), app};
};

std::vector<std::string> LineLocalKeywords() {
  std::vector<std::string> v;
  for (auto list : {MacroKeywords(), RecorderOnlyKeywords()})
    for (const char* k : list)
      if (IsLineLocal(k)) v.emplace_back(k);
  return v;
}

}  // namespace

QLK_FUZZ_TARGET(stream) {
  static const std::vector<std::string> keywords = LineLocalKeywords();
  fuzz::Input in(data, size);
  const uint8_t flags = in.Byte();
  const std::string& keyword = keywords[in.Byte() % keywords.size()];
  const size_t piece = static_cast<size_t>(in.Int(1, 4));
  const size_t chunk = static_cast<size_t>(in.Int(1, 300));
  const size_t block = static_cast<size_t>(in.Int(1, 300));
  const bool rewindable = flags & 0x80;
  std::string_view args = in.Until('\n');
  args = args.substr(0, args.find('\r'));  // a macro file's line ends at a CR too
  // A width or count of millions is a valid request whose answer is hundreds of megabytes:
  // the command's own growth limit is what bounds it, and the macro target covers that. Here
  // it would only spend the time limit on copying, three times over.
  for (size_t i = 0, digits = 0; i < args.size(); ++i)
    if ((digits = (args[i] >= '0' && args[i] <= '9') ? digits + 1 : 0) > 5) return 0;
  const std::string line = args.empty() ? keyword : keyword + " " + std::string(args);
  const std::string_view full = in.Rest();
  const std::string_view text = full.substr(0, full.find('\0'));  // the clipboard's text ends there
  if (text.empty()) return 0;

  Tray whole(flags);
  whole.tp.clipboard.text = std::string(text);
  RunMacroText(whole.m, line);
  if (!whole.tp.ui.shown.empty()) return 0;
  FUZZ_CHECK(whole.tp.clipboard.text.has_value());
  const std::string& want = *whole.tp.clipboard.text;

  Tray cut(flags);
  std::string pieces;
  FUZZ_CHECK(RunLinePieces(cut.m, line, text, piece, pieces));
  FUZZ_CHECK(cut.tp.ui.shown.empty());
  FUZZ_CHECK(pieces == want);

  Tray streamed(flags);
  const Bindings::LineFn fn = LineFnForMacroLine(streamed.m, line);
  if (!fn) return 0;
  size_t at = std::min(chunk, full.size());
  std::string out;
  Rewind rewind;
  if (rewindable) rewind = [&](uint64_t offset) { return offset <= full.size() && (at = offset, true); };
  const StreamStatus status = StreamLines(
      fn, std::string(full.substr(0, at)),
      [&](char* buf, size_t n) -> std::optional<size_t> {
        const size_t k = std::min({n, chunk, full.size() - at});
        std::memcpy(buf, full.data() + at, k);
        at += k;
        return k;
      },
      [&](std::string_view b) {
        out += b;
        return true;
      },
      block, rewind);
  FUZZ_CHECK(status == StreamStatus::Ok);
  FUZZ_CHECK(out == want);
  return 0;
}
