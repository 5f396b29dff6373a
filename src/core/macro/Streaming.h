#pragma once
// Running one macro line over a long text piece by piece. For the keywords whose result for
// each line depends on that line alone (and on state that carries over in order), converting
// the text in pieces of lines gives the same bytes as converting it whole, with a small
// working set instead of millions of lines in memory at once.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace qlk {

class MainState;

// Whether the keyword (case-blind) may run piece by piece.
bool IsLineLocal(std::string_view keyword);

// Runs `macroLine` on `input` in pieces of `piece` lines through the clipboard of `m`, and
// appends each piece's result to `out`. False when the clipboard failed, or when `reported`
// says that a piece's run showed a message: the run stops there, and `out` is then
// incomplete and must not be used.
bool RunLinePieces(MainState& m, std::string_view macroLine, std::string_view input, size_t piece,
                   std::string& out, const std::function<bool()>& reported = {});

}  // namespace qlk
