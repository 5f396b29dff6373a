#pragma once
// Sorting, reversing and removing repeated lines.
#include <cstdint>
#include <span>
#include <string_view>

#include "doc/Document.h"

namespace qlk {

// The letter case the sort ignores, the comparison folding of the case family: single-byte
// and full-width Latin small letters become their capitals, other codes stay.
uint16_t SortFoldCase(uint16_t code);

// The bytes of a line that one key compares: columns first..last (from 1, inclusive, -1 the
// end of the line); a line shorter than the first column gives its last byte.
std::string_view SortKeyText(std::string_view line, const CSortItem& key);

// Text order of two key texts: character by character, case-blind, the end counting as 0.
// Negative, zero or positive.
int CompareKeyText(std::string_view a, std::string_view b);
// Numeric order of two key texts, each read as a decimal integer from its start (leading
// white space, optional sign, digits; 0 when there is none). Exact for any number of digits.
int CompareKeyNumber(std::string_view a, std::string_view b);
// Order of two lines on the keys in turn (descending keys negated); 0 when all are equal.
int CompareSortLines(std::string_view a, std::string_view b, std::span<const CSortItem> keys);

// The heap sort of every line on the keys. Not stable: its order of equal lines is part of
// the result. Permutes line references only; the bytes of the lines are never copied.
void HeapSortLines(LineArray& lines, std::span<const CSortItem> keys);

// Document operations. The sorts and Reverse act on every line whatever the selection.
void Sort(CQuenlarkDoc& doc);   // on doc.sortKeys; no key leaves the text as it is
void Sort1(CQuenlarkDoc& doc);  // whole line ascending (replaces the keys)
void Sort2(CQuenlarkDoc& doc);  // whole line descending
void Reverse(CQuenlarkDoc& doc);

// The bytes DupLineDel compares: the whole line, or with `partial` columns start..end
// (empty when the line is shorter than start, to the end when it is shorter than end).
std::string_view DupLineKey(std::string_view line, int partial, int start, int end);
// Drops lines repeating an earlier target line's key: with `sorted` only adjacent repeats
// among the target lines; otherwise every later line, target or not. Range end becomes the
// line count.
void DupLineDel(CQuenlarkDoc& doc, int partial, int start, int end, int sorted);

}  // namespace qlk
