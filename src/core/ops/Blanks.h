#pragma once
// Blanks and blank lines, tabs, alignment, blank-separated fields, joining lines, and stray
// CR and LF bytes. Blanks are the half-width space and the full-width space (0x81 0x40).
#include <string>
#include <string_view>

#include "doc/Document.h"

namespace qlk {

// Widths above this are refused like widths below 1: a tab of more columns could not have
// fitted the working buffer, and would make a line of gigabytes from a few tabs.
constexpr int kMaxTabWidth = 32767;

// ---- per line ----
// Empty or only blanks (and tabs, when they count).
bool IsBlankLine(std::string_view line, bool tabIsBlank);
std::string DelSpaceFirstLine(std::string_view line);
std::string DelSpaceBackLine(std::string_view line);
// Width outside 1..kMaxTabWidth returns the line unchanged.
std::string TabSpaceLine(std::string_view line, int width);
std::string SpaceTabLine(std::string_view line, int width);
// Each occurrence of `text` (at a character boundary) gains a tab after it, or with
// `replace` becomes one. An empty text changes nothing.
std::string TabIfLine(std::string_view line, std::string_view text, int replace);
// The first space after a non-space byte in columns start..end becomes a comma.
// Columns below 1 or out of order change nothing.
std::string SpToCsvLine(std::string_view line, int start, int end);
// Shifts the line so that its text (without leading and trailing blanks) is centred at
// `half` bytes.
std::string CenterLine(std::string_view line, size_t half);
// Trailing blanks removed and blanks put in front up to `width` bytes.
std::string RightLine(std::string_view line, size_t width);
// Whether the line's last character is the given double-byte one.
bool EndsWithChar(std::string_view line, uint16_t code);

// ---- document operations (target lines only) ----
void DelSpaceLine(CQuenlarkDoc& doc);
void DelSpaceMultiLine(CQuenlarkDoc& doc);
void DelSpaceOnly(CQuenlarkDoc& doc);
void DelSpaceFirst(CQuenlarkDoc& doc);
void DelSpaceBack(CQuenlarkDoc& doc);
void TabSpace(CQuenlarkDoc& doc, int width);
void SpaceTab(CQuenlarkDoc& doc, int width);
void TabIf(CQuenlarkDoc& doc, const std::string& text, int replace);
void ToCenter(CQuenlarkDoc& doc);
void ToRight(CQuenlarkDoc& doc);
void SpToCsv(CQuenlarkDoc& doc, int start, int end);
void ToOneline(CQuenlarkDoc& doc);
void ToOnelineAll(CQuenlarkDoc& doc);
void OnelineNo(CQuenlarkDoc& doc, int count);  // count below 2 changes nothing
void CtlMToCRLF(CQuenlarkDoc& doc);
void LFToCRLF(CQuenlarkDoc& doc);

}  // namespace qlk
