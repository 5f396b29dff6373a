#pragma once
// What each command identifier and each macro keyword does. The command table says what a
// command is; the feature families attach the behaviour here, one binding function each.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "doc/Document.h"

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
  using Action = std::function<void(MainState&, const MacroArgs&)>;
  using DocHookInstaller = std::function<void(MainState&)>;

  // A plain command: the frame of its table row around the operation.
  void Plain(uint32_t id, DocOp op);
  // A command with a handler of its own (dialog, search and other frames).
  void Command(uint32_t id, Handler h);
  // What a macro keyword does in the interpreter (case-blind name).
  void Keyword(std::string_view keyword, Action a);
  // Lets a family reach into file reading (code detection and conversion on open).
  void DocHooks(DocHookInstaller i) { docHooks_.push_back(std::move(i)); }

  const Handler* HandlerFor(uint32_t id) const;
  const Action* ActionFor(std::string_view keyword) const;
  void InstallDocHooks(MainState& m) const {
    for (const auto& i : docHooks_) i(m);
  }

 private:
  std::map<uint32_t, Handler> handlers_;
  std::map<std::string, Action> actions_;  // by lower-case keyword
  std::vector<DocHookInstaller> docHooks_;
};

// Every family bound once for the process.
const Bindings& AllBindings();

}  // namespace qlk
