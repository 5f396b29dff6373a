#pragma once
// The macro interpreter: runs the lines of a macro file on the document.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "macro/Bindings.h"

namespace qlk {

class MainState;

// The names of the keyword table in its fixed order (87 entries), and of the two keywords the
// recorder writes beyond it (ChangeUpperLower, Reverse), which replay with their operations
// (all of them from Keywords.def).
std::span<const char* const> MacroKeywords();
std::span<const char* const> RecorderOnlyKeywords();
// Index in the keyword table (case-blind, first match), as Kw counts; the recorder-only
// keywords follow at 87 and 88; -1 when the token is no keyword.
int FindKeyword(std::string_view token);

// Splits a macro line into tokens at single spaces; a token followed by k spaces keeps k - 1
// of them (so a keyword followed by two spaces is no keyword).
class MacroTokenizer {
 public:
  explicit MacroTokenizer(std::string_view line) : line_(line) {}
  std::optional<std::string_view> Next();
  size_t Cursor() const { return pos_; }

 private:
  std::string_view line_;
  size_t pos_ = 0;
};

// A macro line taken apart: the keyword as the table spells it (null when the first token is
// no keyword) and its arguments. Empty for an empty line.
struct ParsedMacroLine {
  const char* keyword = nullptr;
  Kw kw = Kw::None;
  int index = -1;  // in the keyword table, as FindKeyword gives it
  MacroArgs args;
};
std::optional<ParsedMacroLine> ParseMacroLine(std::string_view line);

// How a macro line, or a run of lines, ended.
enum class MacroStatus {
  Ok,         // every line did its work (a keyword the table does not hold does nothing: no failure)
  Failed,     // a line could not do its work and said why; the lines after it ran
  Stopped,    // the document was empty at a line that needs one, and said so: the run stopped there
  NotLoaded,  // the clipboard could not be loaded (held, or the user declined to lose characters)
  NotStored,  // the lines ran, but the clipboard refused the result
};

// Runs one line: Ok, Failed, or Stopped, which ends the run.
MacroStatus ExecuteMacroLine(MainState& m, std::string_view line);
// Splits a macro file's bytes into lines at CR LF, LF or CR; a line of any length stays whole.
std::vector<std::string> SplitMacroLines(std::string_view bytes);
// The whole run: one load of the clipboard, every line, one store. A file that cannot be read
// says "ファイルを開けません" and leaves the clipboard alone. False when the file could not be read.
bool RunMacroFile(MainState& m, std::string_view path);
// The same run over macro text already in memory: Ok, or the first thing that went wrong.
MacroStatus RunMacroText(MainState& m, std::string_view text);
// The lines of a macro file on the document as it stands, without the load and the store
// (for a macro applied to opened files). False when the file could not be read.
bool RunMacroOnDocument(MainState& m, std::string_view path);
// The same with the macro's text in hand: Ok, or the first thing that went wrong.
MacroStatus RunMacroLinesOnDocument(MainState& m, std::string_view text);

}  // namespace qlk
