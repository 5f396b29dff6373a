// Fuzz target: a macro file of any bytes run on a clipboard text. The file splits into lines
// that hold no line break and give the file back; every line's tokens give the line back;
// whatever each line does, the run ends, the document can go to the clipboard, and what is
// stored is what the document says it holds. Files live in memory, so a line that saves or
// opens touches no disk.
#include "Fakes.h"
#include "FuzzTarget.h"
#include "macro/Bindings.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

using namespace qlk;
using namespace qlk::test;

namespace {

// The lines rejoined with the breaks taken out of the file must be the file.
bool GiveTheFileBack(std::string_view bytes, const std::vector<std::string>& lines) {
  size_t at = 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    if (lines[k].find_first_of("\r\n") != std::string::npos || bytes.substr(at, lines[k].size()) != lines[k])
      return false;
    at += lines[k].size();
    if (bytes.substr(at, 2) == "\r\n") at += 2;
    else if (at < bytes.size() && (bytes[at] == '\r' || bytes[at] == '\n')) ++at;
    else if (k + 1 < lines.size()) return false;
  }
  return at == bytes.size();
}

}  // namespace

QLK_FUZZ_TARGET(macro) {
  fuzz::Input in(data, size);
  const uint8_t flags = in.Byte();
  TestPlatform tp;
  MemoryFiles files;
  files.files["mem/f0"] = "a\r\nb\n";
  files.files["mem/f1"] = "=?ISO-2022-JP?B?GyRCJEIbKEI=?=\r\n";
  Platform p{tp.clipboard, tp.settings, tp.platform.codepage, *tp.regex, tp.ui, files, tp.shell, tp.clock};
  tp.settings.SetInt("Jis", "Kana", flags % 5 - 1);
  tp.settings.SetInt("Jis", "Jis", flags / 5 % 6 - 1);
  tp.settings.SetInt("Turn", "English", flags >> 6);
  AppState app;
  MainState m(p, AllBindings(), app);
  tp.clipboard.text = std::string(in.Text(4096));
  const std::string_view macro = in.Rest();

  const std::vector<std::string> lines = SplitMacroLines(macro);
  FUZZ_CHECK(GiveTheFileBack(macro, lines));
  FUZZ_CHECK(m.Reload());
  for (size_t k = 0; k < lines.size() && k < 48; ++k) {
    const std::string& l = lines[k];
    MacroTokenizer tok(l);
    std::string joined;
    bool first = true;
    for (std::optional<std::string_view> t; (t = tok.Next()); first = false) joined.append(first ? "" : " ").append(*t);
    FUZZ_CHECK(joined == l || joined + " " == l);
    const std::optional<ParsedMacroLine> parsed = ParseMacroLine(l);
    if (parsed && parsed->keyword) FUZZ_CHECK(FindKeyword(parsed->keyword) == parsed->index);

    if (ExecuteMacroLine(m, l) == MacroStatus::Stopped) break;
    CQuenlarkDoc& d = m.doc();
    FUZZ_CHECK(d.step >= 1);
    FUZZ_CHECK(d.StoreClipboard(false));
    FUZZ_CHECK(tp.clipboard.text && tp.clipboard.text->size() <= d.TargetTextSize());
  }
  return 0;
}
