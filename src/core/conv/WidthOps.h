#pragma once
// Document operations of the width, case and kana commands. Each converts the non-empty
// target lines of the document in one undo step and marks it modified.
namespace qlk {

class CQuenlarkDoc;

// kind 0 converts everything, 1 letters, 2 digits, 3 katakana (and, for ZenToHan, the
// symbols of row 1). Any other kind, possible only in a hand-written macro line, leaves the
// document alone.
void ZenToHan(CQuenlarkDoc& doc, int kind);
void HanToZen(CQuenlarkDoc& doc, int kind);
// flags: the WidthFlag bits of conv/Width.h.
void ZenToHanSw(CQuenlarkDoc& doc, int flags);
void HanToZenSw(CQuenlarkDoc& doc, int flags);

void ToUpper(CQuenlarkDoc& doc);
void ToLower(CQuenlarkDoc& doc);
void ToZenUpper(CQuenlarkDoc& doc);
void ToZenLower(CQuenlarkDoc& doc);
void ToTopUpper(CQuenlarkDoc& doc);
// The sentence-start flag carries from one target line to the next within the command.
void ToLineUpper(CQuenlarkDoc& doc);
void ChangeUpperLower(CQuenlarkDoc& doc);
void HiraToKana(CQuenlarkDoc& doc);
void KanaToHira(CQuenlarkDoc& doc);

}  // namespace qlk
