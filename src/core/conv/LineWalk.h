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
    if (out != lines[i]) lines.Set(i, std::move(out));
  }
  doc.SetModified();
}

}  // namespace qlk
