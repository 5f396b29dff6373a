#include "update/XmlMatch.h"

#include <algorithm>

namespace qlk::xml {
namespace {

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline bool EndsName(char c) { return c == '>' || c == ' ' || c == '\t'; }

std::string LowerCopy(std::string_view s) {
  std::string o(s);
  for (char& c : o) c = Lower(c);
  return o;
}

// The two patterns matched byte by byte as the loader defines it.
struct Scanner {
  std::string_view open, close;  // lower case
  uint32_t o = 0, k = 0;
  long depth = 0;
  // Takes one lower-case byte; true when it completes the closing at depth 0.
  bool Step(char c) {
    if (c == open[o]) {
      if (++o == open.size()) {
        ++depth;
        o = 0;
      }
    } else {
      o = 0;
    }
    if (c == close[k]) {
      if (++k == close.size()) {
        k = 0;
        if (depth == 0) return true;
        --depth;
      }
    } else {
      k = 0;
    }
    return false;
  }
};

}  // namespace

size_t ScanForClose(std::string_view text, std::string_view name, size_t from, size_t end) {
  const std::string open = "<" + LowerCopy(name), close = "</" + LowerCopy(name) + ">";
  Scanner s{open, close};
  for (size_t i = from; i < end && i < text.size(); ++i)
    if (s.Step(Lower(text[i]))) return i + 1;
  return kNoMatch;
}

struct CloseFinder::Pattern {
  std::string text;  // lower case, starting with '<'
  std::unordered_map<uint32_t, uint32_t> state;  // StateBefore, by position
};

struct CloseFinder::Name {
  Pattern open, close;
  std::vector<uint32_t> closes;  // where "</name>" stands
  bool indexed = false;
  struct Event {
    uint32_t last;  // position of the pattern's last byte
    bool close;
  };
  std::vector<Event> events;               // every opening and closing, by last byte
  std::vector<int32_t> depthAfter;         // running depth of the scan from the text's start
  std::unordered_map<int32_t, std::vector<uint32_t>> reaching;  // depth -> counted events that reach it
};

CloseFinder::CloseFinder(std::string_view text) : text_(text), lower_(LowerCopy(text)) {
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i)
    if (text[i] == '<') lts_.push_back(static_cast<uint32_t>(i));
  // The token after each '<', cut at a name's end or at the next '<': the tokens do not
  // overlap, so indexing them all costs the text's length.
  for (size_t idx = 0; idx < lts_.size(); ++idx) {
    const size_t b = lts_[idx] + 1;
    const size_t limit = idx + 1 < lts_.size() ? lts_[idx + 1] : n;
    size_t e = b;
    while (e < limit && !EndsName(lower_[e])) ++e;
    byToken_[std::string_view(lower_).substr(b, e - b)].push_back(lts_[idx]);
  }
  tokens_.reserve(byToken_.size());
  for (const auto& [t, _] : byToken_) tokens_.push_back(t);
  std::sort(tokens_.begin(), tokens_.end());
}

CloseFinder::~CloseFinder() = default;

uint32_t CloseFinder::StateBefore(Pattern& p, uint32_t y) {
  const uint32_t len = static_cast<uint32_t>(p.text.size());
  if (len < 2) return 0;  // a one-byte pattern completes at once
  if (auto it = p.state.find(y); it != p.state.end()) return it->second;
  // A partial match in progress before t began at a '<' x no further than len - 1 back, whose
  // bytes up to t are the pattern's start, and which began a match (its own state was 0).
  // The dependencies point backwards; a stack of our own replaces the recursion.
  auto each = [&](uint32_t t, auto&& fn) {
    const uint32_t lo = t >= len - 1 ? t - (len - 1) : 0;
    auto it = std::lower_bound(lts_.begin(), lts_.end(), t);
    while (it != lts_.begin()) {
      const uint32_t x = *--it;
      if (x < lo) break;
      if (std::string_view(lower_).substr(x, t - x) == std::string_view(p.text).substr(0, t - x))
        if (!fn(x)) return;
    }
  };
  std::vector<uint32_t> stack{y};
  while (!stack.empty()) {
    const uint32_t t = stack.back();
    if (p.state.count(t)) {
      stack.pop_back();
      continue;
    }
    bool ready = true;
    each(t, [&](uint32_t x) {
      if (!p.state.count(x)) {
        stack.push_back(x);
        ready = false;
      }
      return true;
    });
    if (!ready) continue;
    uint32_t s = 0;
    each(t, [&](uint32_t x) {
      if (p.state.at(x) != 0) return true;
      s = t - x;  // at most one match can be in progress
      return false;
    });
    p.state[t] = s;
    stack.pop_back();
  }
  return p.state.at(y);
}

CloseFinder::Name& CloseFinder::NameFor(std::string_view name) {
  auto found = names_.find(std::string(name));
  if (found != names_.end()) return *found->second;
  auto nm = std::make_unique<Name>();
  nm->open.text = "<" + std::string(name);
  nm->close.text = "</" + std::string(name) + ">";
  // The name up to its first '<' is a whole token for both patterns.
  const size_t cut = name.find('<');
  const std::string_view head = name.substr(0, cut);
  const std::string closeHead = "/" + std::string(head);
  const std::string_view lv(lower_);
  if (auto it = byToken_.find(closeHead); it != byToken_.end())
    for (uint32_t x : it->second)
      if (lv.substr(x, nm->close.text.size()) == nm->close.text) nm->closes.push_back(x);
  return *names_.emplace(std::string(name), std::move(nm)).first->second;
}

size_t CloseFinder::Find(size_t nameBegin, size_t from, size_t end) {
  end = std::min(end, text_.size());
  if (from >= end || nameBegin > from) return kNoMatch;
  const std::string_view name = std::string_view(lower_).substr(nameBegin, from - nameBegin);
  Name& nm = NameFor(name);
  // No end tag of this name in reach: no match, whatever lies between.
  const size_t closeLen = nm.close.text.size();
  auto c = std::lower_bound(nm.closes.begin(), nm.closes.end(), static_cast<uint32_t>(from));
  if (c == nm.closes.end() || *c + closeLen > end) return kNoMatch;

  if (!nm.indexed) {
    nm.indexed = true;
    std::vector<uint32_t> opens;
    const std::string_view lv(lower_);
    const size_t cut = name.find('<');
    if (cut == std::string_view::npos) {
      // Every token that starts with the name.
      for (auto t = std::lower_bound(tokens_.begin(), tokens_.end(), name);
           t != tokens_.end() && t->substr(0, name.size()) == name; ++t) {
        const auto& at = byToken_.at(*t);
        opens.insert(opens.end(), at.begin(), at.end());
      }
    } else if (auto it = byToken_.find(name.substr(0, cut)); it != byToken_.end()) {
      for (uint32_t x : it->second)
        if (lv.substr(x, nm.open.text.size()) == nm.open.text) opens.push_back(x);
    }
    const uint32_t openLast = static_cast<uint32_t>(nm.open.text.size() - 1);
    const uint32_t closeLast = static_cast<uint32_t>(closeLen - 1);
    nm.events.reserve(opens.size() + nm.closes.size());
    for (uint32_t x : opens) nm.events.push_back({x + openLast, false});
    for (uint32_t x : nm.closes) nm.events.push_back({x + closeLast, true});
    std::sort(nm.events.begin(), nm.events.end(), [](const Name::Event& a, const Name::Event& b) { return a.last < b.last; });
    nm.depthAfter.resize(nm.events.size());
    int32_t depth = 0;
    for (size_t i = 0; i < nm.events.size(); ++i) {
      const Name::Event& ev = nm.events[i];
      Pattern& p = ev.close ? nm.close : nm.open;
      const uint32_t start = ev.last + 1 - static_cast<uint32_t>(p.text.size());
      if (StateBefore(p, start) == 0) {
        depth += ev.close ? -1 : 1;
        nm.reaching[depth].push_back(static_cast<uint32_t>(i));
      }
      nm.depthAfter[i] = depth;
    }
  }

  // From `from` the scan starts afresh; once its state equals that of the scan from the
  // text's start, the two see the same events from there on.
  Scanner local{nm.open.text, nm.close.text};
  size_t y = from;
  while (local.o != StateBefore(nm.open, static_cast<uint32_t>(y)) ||
         local.k != StateBefore(nm.close, static_cast<uint32_t>(y))) {
    if (y >= end) return kNoMatch;
    if (local.Step(lower_[y])) return y + 1;
    ++y;
  }
  auto first = std::lower_bound(nm.events.begin(), nm.events.end(), static_cast<uint32_t>(y),
                                [](const Name::Event& ev, uint32_t v) { return ev.last < v; });
  const size_t i0 = static_cast<size_t>(first - nm.events.begin());
  const int32_t base = i0 ? nm.depthAfter[i0 - 1] : 0;
  // The match is the first closing that takes the depth one below where this scan stood.
  auto r = nm.reaching.find(base - static_cast<int32_t>(local.depth) - 1);
  if (r == nm.reaching.end()) return kNoMatch;
  auto hit = std::lower_bound(r->second.begin(), r->second.end(), static_cast<uint32_t>(i0));
  if (hit == r->second.end()) return kNoMatch;
  const size_t after = nm.events[*hit].last + 1;
  return after <= end ? after : kNoMatch;
}

}  // namespace qlk::xml
