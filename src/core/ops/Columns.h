#pragma once
// Column edits and numbering: cutting to a width, indenting, overwriting, inserting and
// deleting at columns, running numbers, appending, and adding or removing whole lines.
// Columns count bytes from 1; a double-byte character takes two. Only the cut keeps
// double-byte characters whole: the other edits work on bytes, so a column inside a character
// splits it, exactly as recorded macros expect. Lines are filled out with half-width spaces.
// A column below 1 stands for column 1.
#include <string>
#include <string_view>

namespace qlk {

class CQuenlarkDoc;

// ---- one line ----
// Exactly `width` bytes: cut (one byte shorter rather than split a character) or padded, so
// a width of 0 empties the line. A negative width names no length: the line stays.
std::string KetaChangeLine(std::string_view line, int width);
// `width` blanks in front of a line that is not empty.
std::string IndentChangeLine(std::string_view line, int width);
// The bytes from `column` on replaced by `text`, the line padded out to reach them.
std::string OverwriteStringLine(std::string_view line, int column, std::string_view text);
// A running number right-aligned in `digits` places, zero- or blank-filled, cut to its first
// `digits` characters when longer.
std::string FormatRenoNumber(long long number, int digits, bool blankFill);
// `number` (exactly `digits` bytes) written over the line from `column`.
std::string RenoStringLine(std::string_view line, int column, std::string_view number);
// `text` inserted before `column`, the line padded out to reach it. May contain CR LF.
std::string InsertStringLine(std::string_view line, int column, std::string_view text);
// Columns first..last removed. Nothing changes when the line ends before `first`, or when
// `last` is before `first` (that range names no columns).
std::string DeletePosLine(std::string_view line, int first, int last);

// ---- document operations over the target lines ----
// Those returning bool give false when the parameters would grow the text beyond the growth
// budget; the document is then left as it was.
bool KetaChange(CQuenlarkDoc& doc);       // doc.width
bool IndentChange(CQuenlarkDoc& doc);     // doc.width
bool OverwriteString(CQuenlarkDoc& doc);  // doc.overwriteColumn, doc.overwriteString
bool RenoString(CQuenlarkDoc& doc);       // doc.reno*
// doc.insertColumn, doc.insertString; a CR LF in the result makes the text before it a line of
// its own (a target) in front of the current one.
bool InsertString(CQuenlarkDoc& doc);
void DeletePos(CQuenlarkDoc& doc, int first, int last);
// `count` blanks written over (overwrite non-zero) or inserted at `column`, through the
// overwrite or insert operation and their document parameters.
bool SpaceInsert(CQuenlarkDoc& doc, int column, int count, int overwrite);
bool StrCat(CQuenlarkDoc& doc, std::string_view text);
// Removes the target lines; the range end is clamped to what is left.
void LineDelete(CQuenlarkDoc& doc);
// Appends a last line; the range end becomes the line count.
void InsertEndLine(CQuenlarkDoc& doc, std::string text);

}  // namespace qlk
