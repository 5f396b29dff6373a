#include "macro/Bindings.h"

#include <climits>
#include <cstdlib>

#include "macro/Escape.h"
#include "macro/Families.h"
#include "macro/Frame.h"

namespace qlk {
int MacroArgs::N(size_t i) const {
  if (!Has(i)) return 0;
  const std::string& t = tokens[i - 1];
  size_t k = 0;
  while (k < t.size() && (t[k] == ' ' || t[k] == '\t')) ++k;
  bool neg = false;
  if (k < t.size() && (t[k] == '+' || t[k] == '-')) neg = t[k++] == '-';
  long long v = 0;
  for (; k < t.size() && t[k] >= '0' && t[k] <= '9'; ++k) {
    v = v * 10 + (t[k] - '0');
    if (v > INT_MAX) v = static_cast<long long>(INT_MAX) + 1;  // clamp rather than overflow
  }
  if (neg) v = -v;
  if (v > INT_MAX) v = INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  return static_cast<int>(v);
}

std::string MacroArgs::D(size_t i) const { return Has(i) ? Unescape(tokens[i - 1]) : std::string(); }

namespace {

std::string Named(Cmd c) {
  const CommandDef* d = FindCommand(c);
  return std::to_string(IdOf(c)) + (d && *d->keyword ? std::string(" (") + d->keyword + ")" : std::string());
}

}  // namespace

void Bindings::Plain(Cmd c, Handler op, LineMaker line) {
  const CommandDef* d = FindCommand(c);
  if (!d) return Problem("plain command " + Named(c) + " is not in the command table");
  if (d->frame != Frame::Plain) return Problem("command " + Named(c) + " is bound as plain; its row has another frame");
  if (handlers_.count(d->id)) return Problem("command " + Named(c) + " is bound twice");
  // Without fixed arguments, the keyword's line replays the same operation.
  if (d->kw != Kw::None && !*d->fixedArgs && !line) Keyword(d->kw, [op](MainState& m, const MacroArgs&) { op(m); });
  handlers_[d->id] = [d, op = std::move(op), line = std::move(line)](MainState& m) { RunPlain(m, *d, op, line); };
}

void Bindings::Plain(Cmd c, DocOp op, LineMaker line) {
  Plain(c, Handler([op = std::move(op)](MainState& m) { op(m.doc()); }), std::move(line));
}

void Bindings::Command(Cmd c, Handler h) {
  const CommandDef* d = FindCommand(c);
  if (!d) return Problem("command " + Named(c) + " is not in the command table");
  if (d->frame != Frame::Dialog && d->frame != Frame::Search && d->frame != Frame::LineSelect &&
      d->frame != Frame::Other)
    return Problem("command " + Named(c) + " has a handler; its row's frame is run by the dispatch");
  if (handlers_.count(d->id)) return Problem("command " + Named(c) + " is bound twice");
  handlers_[d->id] = std::move(h);
}

void Bindings::Range(Cmd first, int count, std::function<void(MainState&, int)> h) {
  for (int i = 0; i < count; ++i) {
    const uint32_t id = IdOf(first) + static_cast<uint32_t>(i);
    if (handlers_.count(id) || FindCommand(id)) {
      Problem("range entry " + std::to_string(id) + " is bound twice");
      continue;
    }
    handlers_[id] = [h, i](MainState& m) { h(m, i); };
  }
}

void Bindings::BindAction(Kw k, Action a) {
  if (k == Kw::None) return Problem("an action bound to no keyword");
  Action& slot = actions_[static_cast<size_t>(k)];
  if (slot) return Problem(std::string("keyword ") + KeywordName(k) + " is bound twice");
  slot = std::move(a);
}

void Bindings::LineKeyword(Kw k, LineFnMaker make) {
  if (k == Kw::None) return Problem("a line conversion bound to no keyword");
  LineFnMaker& slot = lineFns_[static_cast<size_t>(k)];
  if (slot) return Problem(std::string("line conversion of ") + KeywordName(k) + " is bound twice");
  slot = std::move(make);
}

const Bindings::Handler* Bindings::HandlerFor(uint32_t id) const {
  auto it = handlers_.find(id);
  return it == handlers_.end() ? nullptr : &it->second;
}

const Bindings::Action* Bindings::ActionFor(Kw k) const {
  if (k == Kw::None) return nullptr;
  const Action& a = actions_[static_cast<size_t>(k)];
  return a ? &a : nullptr;
}

const Bindings::Action* Bindings::ActionFor(std::string_view keyword) const {
  std::optional<Kw> k = KeywordFor(keyword);
  return k ? ActionFor(*k) : nullptr;
}

const Bindings::LineFnMaker* Bindings::LineFnMakerFor(std::string_view keyword) const {
  std::optional<Kw> k = KeywordFor(keyword);
  if (!k) return nullptr;
  const LineFnMaker& f = lineFns_[static_cast<size_t>(*k)];
  return f ? &f : nullptr;
}

const Bindings& AllBindings() {
  static const Bindings b = [] {
    Bindings x;
    BindAllFamilies(x);
    return x;
  }();
  return b;
}

}  // namespace qlk
