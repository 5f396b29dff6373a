#include "ops/Columns.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "doc/Document.h"
#include "ops/Fold.h"
#include "ops/Growth.h"
#include "ops/RangeShift.h"

namespace qlk {
namespace {

size_t Col0(int column) { return column < 1 ? 0 : static_cast<size_t>(column) - 1; }

// Bytes a line of `len` must grow by to reach `want`.
uint64_t PadNeeded(size_t len, uint64_t want) { return want > len ? want - len : 0; }

// Rebuilds the target lines with `edit` (false from it: the line stays and keeps sharing its
// bytes). Gives up, leaving the document untouched, once the budget is spent.
template <typename Edit>
bool EditTargets(CQuenlarkDoc& doc, Edit edit) {
  WaitCursor wait(doc.platform().ui);
  const LineArray& in = doc.Lines();
  LineArray out;
  out.Reserve(in.size());
  GrowthBudget budget;
  std::string changed;
  for (size_t i = 0; i < in.size(); ++i) {
    if (doc.IsTargetLine(i) && edit(in[i], changed, budget)) {
      out.PushBack(std::move(changed));
      changed.clear();
    } else {
      if (budget.Exceeded()) return false;
      out.PushShared(in, i);
    }
  }
  doc.BeginUndoStep();
  doc.Lines() = std::move(out);
  doc.SetModified();
  return true;
}

}  // namespace

// ---------------------------------------------------------------- one line

std::string KetaChangeLine(std::string_view line, int width) {
  if (width < 0) return std::string(line);
  size_t w = static_cast<size_t>(width);
  if (line.size() > w) {
    if (w > 0 && LeadByteAt(line, w - 1)) --w;
    return std::string(line.substr(0, w));
  }
  std::string s(line);
  s.resize(w, ' ');
  return s;
}

std::string IndentChangeLine(std::string_view line, int width) {
  if (line.empty() || width < 1) return std::string(line);
  std::string s(static_cast<size_t>(width), ' ');
  s.append(line);
  return s;
}

std::string OverwriteStringLine(std::string_view line, int column, std::string_view text) {
  const size_t c = Col0(column);
  std::string s(line);
  if (s.size() < c + text.size()) s.resize(c + text.size(), ' ');
  s.replace(c, text.size(), text);
  return s;
}

std::string FormatRenoNumber(long long number, int digits, bool blankFill) {
  if (digits < 1) return {};
  std::string buf(static_cast<size_t>(digits) + 24, '\0');
  int n = std::snprintf(buf.data(), buf.size(), blankFill ? "%*lld" : "%0*lld", digits, number);
  buf.resize(std::min(static_cast<size_t>(n), static_cast<size_t>(digits)));
  return buf;
}

std::string RenoStringLine(std::string_view line, int column, std::string_view number) {
  return OverwriteStringLine(line, column, number);
}

std::string InsertStringLine(std::string_view line, int column, std::string_view text) {
  const size_t c = Col0(column);
  std::string s;
  s.reserve(std::max(line.size(), c) + text.size());
  s.append(line.substr(0, std::min(c, line.size())));
  s.resize(c, ' ');
  s.append(text);
  if (line.size() > c) s.append(line.substr(c));
  return s;
}

std::string DeletePosLine(std::string_view line, int first, int last) {
  const size_t f = Col0(first);
  if (last < first || last < 1 || line.size() < f) return std::string(line);
  const size_t l = static_cast<size_t>(last);
  std::string s(line.substr(0, f));
  if (line.size() > l) s.append(line.substr(l));
  return s;
}

// ---------------------------------------------------------------- document operations

bool KetaChange(CQuenlarkDoc& doc) {
  const int width = doc.width;
  return EditTargets(doc, [&](const std::string& line, std::string& out, GrowthBudget& budget) {
    if (width < 0 || line.size() == static_cast<size_t>(width)) return false;
    if (!budget.Take(PadNeeded(line.size(), static_cast<uint64_t>(width)))) return false;
    out = KetaChangeLine(line, width);
    return true;
  });
}

bool IndentChange(CQuenlarkDoc& doc) {
  const int width = doc.width;
  return EditTargets(doc, [&](const std::string& line, std::string& out, GrowthBudget& budget) {
    if (line.empty() || width < 1) return false;
    if (!budget.Take(static_cast<uint64_t>(width))) return false;
    out = IndentChangeLine(line, width);
    return true;
  });
}

bool OverwriteString(CQuenlarkDoc& doc) {
  const int column = doc.overwriteColumn;
  const std::string text = doc.overwriteString;
  return EditTargets(doc, [&](const std::string& line, std::string& out, GrowthBudget& budget) {
    if (!budget.Take(PadNeeded(line.size(), uint64_t{Col0(column)} + text.size()))) return false;
    out = OverwriteStringLine(line, column, text);
    return true;
  });
}

bool RenoString(CQuenlarkDoc& doc) {
  const int column = doc.renoColumn, digits = doc.renoDigits;
  const long long start = doc.renoStart, increment = doc.renoIncrement;
  const bool blankFill = doc.renoBlankFill != 0;
  if (digits < 1) return EditTargets(doc, [](const std::string&, std::string&, GrowthBudget&) { return false; });
  long long n = 0;  // counts target lines only
  return EditTargets(doc, [&](const std::string& line, std::string& out, GrowthBudget& budget) {
    if (!budget.Take(PadNeeded(line.size(), uint64_t{Col0(column)} + static_cast<uint64_t>(digits)))) return false;
    out = RenoStringLine(line, column, FormatRenoNumber(start + increment * n, digits, blankFill));
    ++n;
    return true;
  });
}

bool InsertString(CQuenlarkDoc& doc) {
  WaitCursor wait(doc.platform().ui);
  const int column = doc.insertColumn;
  const std::string text = doc.insertString;
  const std::vector<char> targets = doc.TargetMask();
  const LineArray& in = doc.Lines();
  LineArray out;
  out.Reserve(in.size());
  RangeShift shift(doc.rangeStart, doc.rangeEnd);
  GrowthBudget budget;
  for (size_t i = 0; i < in.size(); ++i) {
    if (!targets[i]) {
      out.PushShared(in, i);
      continue;
    }
    if (!budget.Take(PadNeeded(in[i].size(), Col0(column)) + text.size())) return false;
    std::string s = InsertStringLine(in[i], column, text);
    std::string_view v = s;
    size_t extra = 0;
    for (size_t q; (q = v.find("\r\n")) != std::string_view::npos; v.remove_prefix(q + 2), ++extra)
      out.PushBack(std::string(v.substr(0, q)));
    out.PushBack(extra ? std::string(v) : std::move(s));
    shift.Add(i, extra);
  }
  doc.BeginUndoStep();
  doc.Lines() = std::move(out);
  shift.Apply(doc.rangeStart, doc.rangeEnd);
  doc.SetModified();
  return true;
}

void DeletePos(CQuenlarkDoc& doc, int first, int last) {
  EditTargets(doc, [&](const std::string& line, std::string& out, GrowthBudget&) {
    if (last < first || last < 1 || line.size() < Col0(first)) return false;
    out = DeletePosLine(line, first, last);
    return true;
  });
}

bool SpaceInsert(CQuenlarkDoc& doc, int column, int count, int overwrite) {
  const uint64_t n = count < 0 ? 0 : static_cast<uint64_t>(count);
  if (n > GrowthBudget::kLimit) return false;
  std::string blanks(static_cast<size_t>(n), ' ');
  if (overwrite != 0) {
    doc.overwriteColumn = column;
    doc.overwriteString = std::move(blanks);
    return OverwriteString(doc);
  }
  doc.insertColumn = column;
  doc.insertString = std::move(blanks);
  return InsertString(doc);
}

bool StrCat(CQuenlarkDoc& doc, std::string_view text) {
  return EditTargets(doc, [&](const std::string& line, std::string& out, GrowthBudget& budget) {
    if (text.empty() || !budget.Take(text.size())) return false;
    out.reserve(line.size() + text.size());
    out.append(line).append(text);
    return true;
  });
}

void LineDelete(CQuenlarkDoc& doc) {
  WaitCursor wait(doc.platform().ui);
  const std::vector<char> targets = doc.TargetMask();
  const LineArray& in = doc.Lines();
  LineArray out;
  for (size_t i = 0; i < in.size(); ++i)
    if (!targets[i]) out.PushShared(in, i);
  doc.BeginUndoStep();
  doc.Lines() = std::move(out);
  doc.rangeEnd = std::min(doc.rangeEnd, doc.LineCount());
  doc.SetModified();
}

void InsertEndLine(CQuenlarkDoc& doc, std::string text) {
  WaitCursor wait(doc.platform().ui);
  doc.InsertEndLine(std::move(text));
}

}  // namespace qlk
