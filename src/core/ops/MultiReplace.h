#pragma once
// Replacement of a word in every file of a folder whose name matches a pattern. Works on files
// only: the document's lines, its undo stack and the clipboard stay as they are. A file is
// read whole, searched line by line in its own code (Shift-JIS, JIS, EUC or UTF-8) and, only
// when something was replaced, written to a work file that then takes its place in one step.
#include <string>
#include <string_view>
#include <vector>

#include "conv/Jis.h"
#include "ops/Replace.h"

namespace qlk {

class CQuenlarkDoc;
class ICodePage;

// The work file, beside the files it replaces; never taken as one of them.
inline constexpr std::string_view kMultiReplaceWorkFile = "QLARK.$$$";

enum class FileText { Sjis, Jis, Euc, Utf8 };

// The code a file's bytes are searched and written in: UTF-8 when they start with its
// byte-order mark or are well-formed UTF-8 holding some character beyond ASCII (unless JIS
// escapes say JIS); otherwise the file scan's JIS or EUC, else Shift-JIS.
FileText DetectFileText(std::string_view bytes);

// Well-formed UTF-8, four-byte sequences included (no overlong forms, no surrogates).
bool IsWellFormedUtf8(std::string_view bytes);

// The word and its replacement, prepared once for a run: the Shift-JIS forms (upper-cased
// comparison of single-byte and full-width letters) and the UTF-8 forms with the same folding.
class FileReplacer {
 public:
  FileReplacer(const ICodePage& cp, std::string_view sjisFind, std::string_view sjisReplacement,
               const JisEncoderSettings& jis);
  // Replacements made in a file's bytes; when above 0 `out` holds the new bytes, equal to
  // the old ones but for the replaced words (and the JIS escapes of a changed JIS line).
  int Replace(std::string_view bytes, std::string& out) const;
  bool Empty() const { return sjis_.Empty(); }

 private:
  Searcher sjis_;
  std::string sjisReplacement_;
  std::vector<char32_t> utf8Find_;  // folded code points
  std::string utf8Replacement_;
  JisEncoderSettings jis_;
};

// One replacement of a line by the folded UTF-8 search: the count, `out` holding the new line
// when it is above 0.
int ReplaceUtf8Line(std::string_view line, const std::vector<char32_t>& foldedFind, std::string_view replacement,
                    std::string& out);
// The folded code points of a UTF-8 text (ASCII and full-width Latin letters upper-cased).
std::vector<char32_t> FoldedUtf8(std::string_view utf8);

// The run over `folder`: the counts go to doc.multiReplaceFiles and doc.multiReplaceCount.
// A file that cannot be read is reported and passed by; a failure to write or to put a file
// in place is reported and ends the run, leaving that file as it was and no work file.
// False when the run ended on a failure.
bool MultiFileReplace(CQuenlarkDoc& doc, std::string_view folder, std::string_view pattern, std::string_view find,
                      std::string_view replacement);

}  // namespace qlk
