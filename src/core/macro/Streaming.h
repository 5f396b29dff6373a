#pragma once
// Running one macro line over a long text piece by piece. For the keywords whose result for
// each line depends on that line alone (and on state that carries over in order), converting
// the text in pieces of lines gives the same bytes as converting it whole, with a small
// working set instead of millions of lines in memory at once.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "macro/Bindings.h"

namespace qlk {

class MainState;

// Whether the keyword (case-blind) may run piece by piece: its line-local column in Keywords.def.
bool IsLineLocal(std::string_view keyword);

// Runs `macroLine` on `input` in pieces of `piece` lines through the clipboard of `m`, and
// appends each piece's result to `out`. False when the clipboard failed, or when a piece's run
// did not end well (a malformed expression, a refused width: it would only fail again for
// every piece): the run stops there, and `out` is then incomplete and must not be used.
bool RunLinePieces(MainState& m, std::string_view macroLine, std::string_view input, size_t piece,
                   std::string& out);

// The line conversion of a one-line macro (see Bindings::LineFn), ready to run on `m`'s
// settings; empty when its keyword has none or its arguments ask for the whole text.
Bindings::LineFn LineFnForMacroLine(MainState& m, std::string_view macroLine);

// Fills up to `n` bytes of `buf`: how many (0 at the end of the input), or nothing when the
// input cannot be read.
using ReadMore = std::function<std::optional<size_t>(char* buf, size_t n)>;
using WriteOut = std::function<bool(std::string_view bytes)>;
// A conversion that failed on a line has said why and answers Failed() (see Bindings::LineFn).
// Where the input can be read again: makes the next read give the byte at `offset`, counted
// from the first byte of the text (the head's); false when it cannot.
using Rewind = std::function<bool(uint64_t offset)>;
enum class StreamStatus { Ok, ReadFailed, WriteFailed };

// Converts the text `head` followed by what `read` gives through `fn`, line by line, as the
// keyword would convert the whole text loaded from the clipboard: the text ends at its first
// NUL byte, lines end at CR LF, and a last line without CR LF stays without. The result goes
// to `write` in blocks of about `block` bytes; the input is held a block at a time, and a
// line longer than that goes through in pieces where the conversion can take them (see
// Bindings::LineFn::Piece), else is held whole. With `rewind`, a long line that the
// conversion must see to its end before it converts any of it (see Bindings::LineFn::Look) is
// read twice rather than held.
StreamStatus StreamLines(const Bindings::LineFn& fn, std::string head, const ReadMore& read, const WriteOut& write,
                         size_t block = size_t{1} << 20, const Rewind& rewind = {});

}  // namespace qlk
