#include "macro/Bindings.h"

#include <cctype>
#include <climits>
#include <cstdlib>

#include "macro/Escape.h"
#include "macro/Families.h"
#include "macro/Frame.h"

namespace qlk {
namespace {

std::string Lower(std::string_view s) {
  std::string o(s);
  for (char& c : o)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return o;
}

}  // namespace

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

void Bindings::Plain(uint32_t id, DocOp op) {
  const CommandDef* c = FindCommand(id);
  if (!c) return;
  handlers_[id] = [c, op = std::move(op)](MainState& m) { RunPlain(m, *c, op); };
}

void Bindings::Command(uint32_t id, Handler h) { handlers_[id] = std::move(h); }

void Bindings::Keyword(std::string_view keyword, Action a) { actions_[Lower(keyword)] = std::move(a); }

void Bindings::LineKeyword(std::string_view keyword, LineFnMaker make) { lineFns_[Lower(keyword)] = std::move(make); }

const Bindings::LineFnMaker* Bindings::LineFnMakerFor(std::string_view keyword) const {
  auto it = lineFns_.find(Lower(keyword));
  return it == lineFns_.end() ? nullptr : &it->second;
}

const Bindings::Handler* Bindings::HandlerFor(uint32_t id) const {
  auto it = handlers_.find(id);
  return it == handlers_.end() ? nullptr : &it->second;
}

const Bindings::Action* Bindings::ActionFor(std::string_view keyword) const {
  auto it = actions_.find(Lower(keyword));
  return it == actions_.end() ? nullptr : &it->second;
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
