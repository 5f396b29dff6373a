#pragma once
// The frame of a line-for-line conversion command: wait cursor, one undo step, every
// non-empty target line replaced by its conversion, document marked modified.
#include <string>
#include <string_view>
#include <utility>

#include "doc/Document.h"

namespace qlk {

// `convert(std::string_view line) -> std::string`. A line is replaced only when its bytes
// change, so unchanged lines keep sharing their bytes with the undo snapshot.
template <class Convert>
void ConvertTargetLines(CQuenlarkDoc& doc, Convert&& convert) {
  WaitCursor wait(doc.platform().ui);
  doc.BeginUndoStep();
  LineArray& lines = doc.Lines();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty() || !doc.IsTargetLine(i)) continue;
    std::string out = convert(std::string_view(lines[i]));
    if (out == lines[i]) continue;
    // Converters size their output for the worst case; a stored line keeps only its bytes.
    if (out.capacity() > out.size() + out.size() / 4 + 32) out = std::string(out);
    lines.Set(i, std::move(out));
  }
  doc.SetModified();
}

// `append(std::string_view line, std::string& out)` adds the converted line to `out`, a
// buffer reused for every line; only lines whose bytes change get storage of their own.
template <class Append>
void AppendTargetLines(CQuenlarkDoc& doc, Append&& append) {
  WaitCursor wait(doc.platform().ui);
  doc.BeginUndoStep();
  LineArray& lines = doc.Lines();
  std::string buf;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty() || !doc.IsTargetLine(i)) continue;
    buf.clear();
    append(std::string_view(lines[i]), buf);
    if (buf != lines[i]) lines.Set(i, std::string(buf));
  }
  doc.SetModified();
}

}  // namespace qlk
