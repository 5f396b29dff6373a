#include "conv/WidthOps.h"

#include <string>

#include "conv/Case.h"
#include "conv/Width.h"
#include "doc/Document.h"
#include "platform/UserInterface.h"

namespace qlk {
namespace {

// The frame of every operation here: wait cursor, one undo step, each non-empty target line
// converted into a working buffer sized to the line, modified mark. A line is replaced only
// when its bytes changed, so untouched lines keep sharing their bytes with the undo step.
template <class Convert>
void ConvertTargets(CQuenlarkDoc& doc, Convert convert) {
  WaitCursor w(doc.platform().ui);
  doc.BeginUndoStep();
  LineArray& lines = doc.Lines();
  std::string buf;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!doc.IsTargetLine(i) || lines[i].empty()) continue;
    if (convert(lines[i], buf)) lines.Set(i, std::string(buf));
  }
  doc.SetModified();
}

// The same for the conversions that keep the length and work on a copy of the line.
template <class Change>
void ChangeTargets(CQuenlarkDoc& doc, Change change) {
  ConvertTargets(doc, [&change](const std::string& line, std::string& buf) {
    buf.assign(line);
    return change(buf);
  });
}

bool KnownKind(int kind) { return kind >= kWidthAll && kind <= kWidthKindKana; }

}  // namespace

void ZenToHan(CQuenlarkDoc& doc, int kind) {
  if (!KnownKind(kind)) return;
  const ZenToHanConverter c = ZenToHanConverter::ForKind(kind);
  ConvertTargets(doc, [&c](const std::string& l, std::string& out) { return c.Convert(l, out); });
}

void HanToZen(CQuenlarkDoc& doc, int kind) {
  if (!KnownKind(kind)) return;
  const HanToZenConverter c = HanToZenConverter::ForKind(kind);
  ConvertTargets(doc, [&c](const std::string& l, std::string& out) { return c.Convert(l, out); });
}

void ZenToHanSw(CQuenlarkDoc& doc, int flags) {
  const ZenToHanConverter c = ZenToHanConverter::ForFlags(flags);
  ConvertTargets(doc, [&c](const std::string& l, std::string& out) { return c.Convert(l, out); });
}

void HanToZenSw(CQuenlarkDoc& doc, int flags) {
  const HanToZenConverter c = HanToZenConverter::ForFlags(flags);
  ConvertTargets(doc, [&c](const std::string& l, std::string& out) { return c.Convert(l, out); });
}

namespace {

void ToCase(CQuenlarkDoc& doc, CaseMode mode) {
  DbcsCaseMap map(doc.platform().codepage, mode, true);
  ChangeTargets(doc, [&map](std::string& s) { return ToCaseInPlace(s, map); });
}

}  // namespace

void ToUpper(CQuenlarkDoc& doc) { ToCase(doc, CaseMode::Upper); }
void ToLower(CQuenlarkDoc& doc) { ToCase(doc, CaseMode::Lower); }
void ToZenUpper(CQuenlarkDoc& doc) { ToCase(doc, CaseMode::LowerToUpper); }
void ToZenLower(CQuenlarkDoc& doc) { ToCase(doc, CaseMode::UpperToLower); }
void ToTopUpper(CQuenlarkDoc& doc) { ChangeTargets(doc, ToTopUpperInPlace); }

void ToLineUpper(CQuenlarkDoc& doc) {
  bool next = true;  // the first letter of the first target line starts a sentence
  ChangeTargets(doc, [&next](std::string& s) { return ToLineUpperInPlace(s, next); });
}

void ChangeUpperLower(CQuenlarkDoc& doc) { ChangeTargets(doc, ChangeUpperLowerInPlace); }
void HiraToKana(CQuenlarkDoc& doc) { ChangeTargets(doc, HiraToKanaInPlace); }
void KanaToHira(CQuenlarkDoc& doc) { ChangeTargets(doc, KanaToHiraInPlace); }

}  // namespace qlk
