#pragma once
// Replacement and deletion of strings in the target lines: the option-aware search, the
// regular-expression replace, start/end replace and enclosing replace. Each document
// operation returns how much it did; a line whose new text holds CR LF is cut there into
// several target lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qlk {

class CQuenlarkDoc;
class ICodePage;
class IRegex;

// Search options (the bits of the macro lines and the "bZenhan", "bUplow", "bHira" keys).
enum SearchOption : int {
  kIgnoreWidth = 1,  // full-width and half-width forms compare equal
  kIgnoreCase = 2,   // letter case, single-byte and full-width
  kIgnoreKana = 4,   // hiragana and katakana
};

// What a search operation did: how much it changed, or that it could not search at all (a
// malformed expression, no engine), in which case the document is as it was and nothing
// must be stored.
struct [[nodiscard]] SearchResult {
  int count = 0;
  bool failed = false;

  SearchResult(int n = 0) : count(n) {}  // a count is a result
  static SearchResult Failed() {
    SearchResult r;
    r.failed = true;
    return r;
  }
  bool Found() const { return !failed && count > 0; }
  bool operator==(const SearchResult&) const = default;
};

// One character of a text as the options see it: its folded value and how many bytes of the
// text it took (a voiced pair such as ｶﾞ or カ゛ is one character of two or four bytes).
struct FoldedChar {
  uint16_t value;
  uint8_t bytes;
};
FoldedChar FoldAt(std::string_view s, size_t i, int options);

// Whether `h` starts a character, given that `safe` (<= h) does. Looks back only over the
// lead-byte-valued bytes before h and never past `safe`.
bool IsCharStart(std::string_view s, size_t safe, size_t h);

struct Found {
  size_t pos = std::string_view::npos;
  size_t length = 0;  // in bytes of the text; may differ from the search string's length
  explicit operator bool() const { return pos != std::string_view::npos; }
};

// A search string prepared once for a whole command. Candidates are character starts
// (a trail byte never starts a match); with no options the comparison is of bytes.
class Searcher {
 public:
  Searcher(std::string_view find, int options);
  // The first match at or after `from`, which must be a character start of `s`.
  Found Next(std::string_view s, size_t from) const;
  bool Empty() const { return find_.empty(); }

 private:
  std::string find_;
  int options_;
  std::vector<FoldedChar> folded_;
};

// ---- per-line forms (count of replacements; `out` holds the new line when it is > 0) ----
int ReplaceLine(std::string_view line, const Searcher& find, std::string_view replacement, std::string& out);
int SuperReplaceLine(std::string_view line, std::string_view start, std::string_view end, std::string_view after,
                     std::string& out);
int ReplaceDoubleLine(std::string_view line, std::string_view startBefore, std::string_view startAfter,
                      std::string_view endBefore, std::string_view endAfter, std::string_view escape,
                      std::string& out);

// Puts the bytes of `original` back around the part a regular-expression replace changed,
// where they do not survive the trip through UTF-16 (malformed bytes, a lone lead byte, a
// character with two codes). `replaced` is the engine's result for `original`.
std::string KeepUnchangedBytes(const ICodePage& cp, std::string_view original, std::string replaced);
// The regular-expression replace of one line by an engine already given its pattern and flags:
// 1 when the expression matched (`out` holds the new line), 0 when not, Failed when the
// engine failed.
SearchResult RegexReplaceLine(IRegex& re, const ICodePage& cp, std::string_view line, std::string_view replacement,
                              std::string& out);

// ---- document operations ----
// Number of replacements made. An empty search string changes nothing and gives 0.
SearchResult Replace(CQuenlarkDoc& doc, std::string_view find, std::string_view replacement, int options);
// Number of lines in which a replacement was made, or Failed (the user has not been told:
// that is the caller's). Only kIgnoreCase of the options has an effect.
SearchResult RegexReplace(CQuenlarkDoc& doc, std::string_view pattern, std::string_view replacement, int options);
// Number of start strings processed.
SearchResult SuperReplace(CQuenlarkDoc& doc, std::string_view start, std::string_view end, std::string_view after);
SearchResult ReplaceDouble(CQuenlarkDoc& doc, std::string_view startBefore, std::string_view startAfter,
                           std::string_view endBefore, std::string_view endAfter, std::string_view escape);

}  // namespace qlk
