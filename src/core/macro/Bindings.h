#pragma once
// What each command identifier and each macro keyword does. The command table says what a
// command is; the feature families attach the behaviour here, one binding function each.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "doc/Document.h"
#include "macro/Commands.h"
#include "macro/Keywords.h"

namespace qlk {

class MainState;

// The arguments of one macro line. Indices count from 1, as a1, a2 ... of the macro format;
// a missing argument reads as 0 or as the empty text.
struct MacroArgs {
  std::vector<std::string> tokens;  // at most 20
  std::string rest;                 // the line after the keyword and one separating byte

  size_t Count() const { return tokens.size(); }
  bool Has(size_t i) const { return i >= 1 && i <= tokens.size(); }
  // Decimal value, as the C library's atoi reads it (leading blanks, sign, digits).
  int N(size_t i) const;
  // The token unescaped.
  std::string D(size_t i) const;
  // The token as written.
  std::string Raw(size_t i) const { return Has(i) ? tokens[i - 1] : std::string(); }
};

class Bindings {
 public:
  using Handler = std::function<void(MainState&)>;
  using DocOp = std::function<void(CQuenlarkDoc&)>;
  // The macro line of a plain command whose line depends on the settings (read when it runs).
  using LineMaker = std::function<std::string(MainState&)>;
  // A keyword's work on the document; false when it could not do it and has said why (a file
  // it cannot open, a malformed expression, a text that would grow too far). An action may
  // also be given as a function returning nothing, which never fails.
  using Action = std::function<bool(MainState&, const MacroArgs&)>;
  using DocHookInstaller = std::function<void(MainState&)>;
  // A keyword whose run over a whole text converts each line on its own, in order (state may
  // carry from one line to the next), can also be given as that conversion: it appends the
  // new bytes of one line (without its CR LF; CR LF inside cut it into several lines) to
  // `out`, and never fails (or, failing on a line, says so through the user interface, leaves
  // the lines from there on as they were, and answers Failed() afterwards). The maker sees
  // the macro line's arguments and the settings, as the keyword's action would, and gives an
  // empty function when they ask for more than one line alone can tell (a message, a limit
  // over the whole text): the action runs then.
  //
  // A conversion whose output for a line of n bytes has a known bound may be given as a pair
  // of plain functions instead (RawLine): `put` writes the line's bytes at `to`, which has
  // room for `most(n)`, and returns their end. The stream writes such a conversion straight
  // into its output block: no string grows, nothing is cleared and no closure is called per line.
  // `putLines`, when given, converts a run of whole lines, each with its CR LF, in one call
  // (room `most` of the run's size): the same bytes as `put` of each line and CR LF.
  // `putPiece`, when given, is the piece form of LineFn::Piece: it writes at `to` (room
  // `most(rest.size())`) and moves `to` past what it wrote.
  struct RawLine {
    size_t (*most)(size_t n);
    char* (*put)(std::string_view line, char* to);
    char* (*putLines)(std::string_view lines, char* to) = nullptr;
    size_t (*putPiece)(std::string_view rest, bool ends, uint32_t& carry, char*& to) = nullptr;
  };
  class LineFn {
   public:
    using Append = std::function<void(std::string_view line, std::string& out)>;
    // A line far longer than the stream's block is converted a piece at a time as it is read,
    // where the conversion allows it, so that it never has to be held whole. A piece
    // function converts the front of `rest`, the part of a line not converted yet, appends the
    // bytes to `out`, and returns how many bytes of `rest` it took; the stream gives the others
    // again at the front of the next piece. With `ends` the line ends with `rest`: the function
    // is then called until it has taken every byte (at least once, `rest` maybe empty, and
    // taking at least one byte of a rest that is not). `carry` is 0 at the start of each line and
    // keeps what the conversion must know from one piece to the next. Taken over all pieces, the
    // bytes are those of the conversion of the whole line.
    using Piece = std::function<size_t(std::string_view rest, bool ends, uint32_t& carry, std::string& out)>;
    // A conversion that cannot take any piece before it has seen the line's end (its pieces
    // give 0 then) may have the line shown to it first, where the input can be read again:
    // `look(part, ends, carry)` sees the line's parts in order, the last with `ends`, and
    // keeps in `carry` what its pieces then need to know.
    using Look = std::function<void(std::string_view part, bool ends, uint32_t& carry)>;
    LineFn() = default;
    LineFn(Append append) : append_(std::move(append)) {}
    // A conversion that may fail on a line; `failed` tells afterwards whether it did.
    LineFn(Append append, std::function<bool()> failed) : append_(std::move(append)), failed_(std::move(failed)) {}
    LineFn(Append append, Piece piece, Look look = {})
        : append_(std::move(append)), piece_(std::move(piece)), look_(std::move(look)) {}
    template <class F, class = std::enable_if_t<std::is_invocable_v<F&, std::string_view, std::string&> &&
                                                !std::is_same_v<std::decay_t<F>, LineFn>>>
    LineFn(F f) : append_(std::move(f)) {}
    LineFn(RawLine raw) : raw_(raw) {}

    explicit operator bool() const { return raw_.put != nullptr || static_cast<bool>(append_); }
    // Whether a line failed in the lines converted so far (it has said why).
    bool Failed() const { return failed_ && failed_(); }
    // The raw form, when the conversion was given as one.
    const RawLine* raw() const { return raw_.put ? &raw_ : nullptr; }
    // The piece form of the appending function, when there is one, and its look.
    const Piece* piece() const { return piece_ ? &piece_ : nullptr; }
    const Look* look() const { return look_ ? &look_ : nullptr; }
    void operator()(std::string_view line, std::string& out) const {
      if (!raw_.put) return append_(line, out);
      const size_t at = out.size();
      out.resize(at + raw_.most(line.size()));
      char* const begin = out.data();
      out.resize(static_cast<size_t>(raw_.put(line, begin + at) - begin));
    }

   private:
    Append append_;
    std::function<bool()> failed_;
    Piece piece_;
    Look look_;
    RawLine raw_{nullptr, nullptr, nullptr, nullptr};
  };
  using LineFnMaker = std::function<LineFn(MainState&, const MacroArgs&)>;

  // A command of the Plain frame: the table's frame around the operation. A row without fixed
  // arguments binds its keyword to the same operation. With `line`, the macro line is made
  // when the command runs, after the question (and the keyword is bound on its own).
  void Plain(Cmd c, Handler op, LineMaker line = {});
  void Plain(Cmd c, DocOp op, LineMaker line = {});
  // A command with a handler of its own (the Dialog, Search, LineSelect and Other frames).
  void Command(Cmd c, Handler h);
  // Each identifier of a run-time range (QLK_CMD_RANGE): h gets the entry's index.
  void Range(Cmd first, int count, std::function<void(MainState&, int)> h);
  // What a macro keyword does in the interpreter.
  template <class F>
  void Keyword(Kw k, F action) {
    if constexpr (std::is_void_v<std::invoke_result_t<F&, MainState&, const MacroArgs&>>)
      BindAction(k, [action = std::move(action)](MainState& m, const MacroArgs& a) {
        action(m, a);
        return true;
      });
    else
      BindAction(k, Action(std::move(action)));
  }
  // The line conversion of a keyword that also has an action (see LineFn).
  void LineKeyword(Kw k, LineFnMaker make);
  // Lets a family reach into file reading (code detection and conversion on open).
  void DocHooks(DocHookInstaller i) { docHooks_.push_back(std::move(i)); }

  // What the dispatch runs for a command bound here: the table's frame around a Plain
  // command's operation, or the handler of the others.
  const Handler* HandlerFor(uint32_t id) const;
  const Action* ActionFor(Kw k) const;
  const Action* ActionFor(std::string_view keyword) const;  // case-blind name
  const LineFnMaker* LineFnMakerFor(std::string_view keyword) const;
  void InstallDocHooks(MainState& m) const {
    for (const auto& i : docHooks_) i(m);
  }

  // Bindings that disagree with the tables: an identifier the command table does not hold, a
  // binding of the wrong frame, a command or keyword bound twice. Empty when all is well; the
  // tests see to that.
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  void Problem(std::string what) { problems_.push_back(std::move(what)); }
  void BindAction(Kw k, Action a);

  std::map<uint32_t, Handler> handlers_;
  std::vector<Action> actions_ = std::vector<Action>(kKeywordCount);  // by Kw
  std::vector<LineFnMaker> lineFns_ = std::vector<LineFnMaker>(kKeywordCount);
  std::vector<DocHookInstaller> docHooks_;
  std::vector<std::string> problems_;
};

// The conversion of each non-empty line, as the line-for-line frames (conv/LineWalk.h) run
// it: an empty line stays empty. `append(std::string_view line, std::string& out)`.
template <class Append>
Bindings::LineFn EachNonEmptyLine(Append append) {
  return [append](std::string_view line, std::string& out) {
    if (!line.empty()) append(line, out);
  };
}

// The same with a piece form for long lines: `piece(rest, ends, carry, out)` as LineFn::Piece
// (a line given in pieces is never empty). A whole line is one rest that ends the line.
template <class Piece>
Bindings::LineFn EachNonEmptyLineInPieces(Piece piece, Bindings::LineFn::Look look = {}) {
  return Bindings::LineFn(
      [piece](std::string_view line, std::string& out) {
        uint32_t carry = 0;
        for (size_t k = 0, t = 1; k < line.size() && t > 0; k += t) t = piece(line.substr(k), true, carry, out);
      },
      piece, std::move(look));
}

// Every family bound once for the process.
const Bindings& AllBindings();

}  // namespace qlk
