#include "ops/Replace.h"

#include <algorithm>
#include <optional>

#include "conv/Case.h"
#include "conv/Cp932.h"
#include "conv/Sjis.h"
#include "conv/Width.h"
#include "doc/Document.h"
#include "platform/UserInterface.h"

namespace qlk {
namespace {

constexpr size_t npos = std::string_view::npos;
constexpr uint16_t kFullVoiced = 0x814A;      // ゛
constexpr uint16_t kFullSemiVoiced = 0x814B;  // ゜

// The first occurrence of `find` at or after `from` (a character start) that starts and ends
// on a character boundary: a search string ending in a lone lead byte never takes half of a
// character, which would set every later search off by one byte.
size_t FindPlain(std::string_view s, std::string_view find, size_t from) {
  size_t safe = from;
  for (;;) {
    size_t h = s.find(find, from);
    if (h == npos) return h;
    if (IsCharStart(s, safe, h)) {
      const size_t e = h + find.size();
      if (e == s.size() || IsCharStart(s, h, e)) return h;
      safe = h;  // a start, though the match is not whole
      from = h + 1;
    } else {
      safe = from = h + 1;  // h was a trail byte, so the next byte starts a character
    }
  }
}

// Whether the character just before `h` is the escape character. `anchor` < h is a
// character start; the escape is compared as a whole character, so the trail byte of a
// double-byte character such as ソ (0x83 0x5C) never stands for a backslash.
bool EscapedAt(std::string_view s, size_t anchor, size_t h, std::string_view esc) {
  size_t prev = IsCharStart(s, anchor, h - 1) ? h - 1 : h - 2;
  return s.substr(prev, h - prev) == esc;
}

// The first occurrence of `find` at or after `from` that the escape character does not
// protect. Nothing lies before the searched text, so an occurrence at `from` is never escaped.
size_t FindUnescaped(std::string_view s, std::string_view find, std::string_view esc, size_t from) {
  size_t anchor = from, at = from;
  for (;;) {
    size_t h = FindPlain(s, find, at);
    if (h == npos || esc.empty() || h == from || !EscapedAt(s, anchor, h, esc)) return h;
    anchor = h;
    at = h + find.size();  // the search goes on after the escaped occurrence
  }
}

// Byte offsets of the UTF-16 units the code page makes of a Shift-JIS text, with the end as
// the last entry: one unit per character, a lead byte without a trail byte on its own.
std::vector<size_t> UnitOffsets(std::string_view s) {
  std::vector<size_t> o;
  o.reserve(s.size() + 1);
  for (size_t i = 0; i < s.size();) {
    o.push_back(i);
    const auto b = static_cast<unsigned char>(s[i]);
    i += (sjis::IsLead(b) && i + 1 < s.size() && IsTrail932(static_cast<unsigned char>(s[i + 1]))) ? 2 : 1;
  }
  o.push_back(s.size());
  return o;
}

// The frame of every operation here: wait cursor, one undo step, the target lines recorded
// first (the cut lines shift the line numbers), each target line rewritten, a new text
// holding CR LF cut into lines, the target range kept on the same lines. `rewrite(line, out)`
// gives the count for the line (with the new text in `out` when it is above 0), or Failed,
// which leaves the lines as they were.
template <class Rewrite>
SearchResult RewriteTargets(CQuenlarkDoc& doc, Rewrite&& rewrite) {
  WaitCursor w(doc.platform().ui);
  doc.BeginUndoStep();
  const std::vector<char> target = doc.TargetMask();
  const LineArray& lines = doc.Lines();
  LineArray result;
  result.Reserve(lines.size());
  const long long first = doc.rangeStart - 1LL, last = doc.rangeEnd - 1LL;
  int startShift = 0, endShift = 0, total = 0;
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!target[i]) {
      result.PushShared(lines, i);
      continue;
    }
    const SearchResult r = rewrite(std::string_view(lines[i]), out);
    if (r.failed) return r;
    const int n = r.count;
    if (n <= 0) {
      result.PushShared(lines, i);
      continue;
    }
    total += n;
    size_t from = 0, br;
    int added = 0;
    while ((br = out.find("\r\n", from)) != npos) {
      result.PushBack(out.substr(from, br - from));
      from = br + 2;
      ++added;
    }
    result.PushBack(out.substr(from));  // sized to the line; `out` keeps its room for the next
    const auto at = static_cast<long long>(i);
    if (at < first) startShift += added;
    if (at <= last) endShift += added;
  }
  doc.Lines() = std::move(result);
  doc.rangeStart += startShift;
  doc.rangeEnd += endShift;
  doc.SetModified();
  return total;
}

}  // namespace

bool IsCharStart(std::string_view s, size_t safe, size_t h) {
  size_t j = h;
  while (j > safe && sjis::IsLead(s[j - 1])) --j;
  // j starts a character (s[j - 1] cannot be a lead byte, or j is `safe`), and every byte
  // from j to h pairs with the next one.
  return (h - j) % 2 == 0;
}

FoldedChar FoldAt(std::string_view s, size_t i, int options) {
  uint16_t c = sjis::CharAt(s, i);
  auto bytes = static_cast<uint8_t>(sjis::CharLen(s, i));
  if (options & kIgnoreWidth) {
    const size_t next = i + bytes;
    if (bytes == 1 && sjis::IsHalfKana(static_cast<unsigned char>(c)) && next < s.size()) {
      // ｶﾞ is the one character ガ
      if (const VoicedKana* v = VoicedOfHalf(static_cast<unsigned char>(c), static_cast<unsigned char>(s[next]))) {
        c = v->katakana;
        bytes = 2;
      }
    } else if (bytes == 2 && (IsKatakana(c) || ((options & kIgnoreKana) && IsHiragana(c))) && next + 1 < s.size()) {
      // カ゛ is the one character ガ, か゛ is が
      const uint16_t mark = sjis::CharAt(s, next);
      if (mark == kFullVoiced || mark == kFullSemiVoiced) {
        const auto base = static_cast<unsigned char>(NarrowChar(c) & 0xFF);
        const unsigned char half = mark == kFullVoiced ? kVoicedMark : kSemiVoicedMark;
        // A kana that is voiced already (ガ゛) stays two characters.
        if (NarrowChar(c) != c && !VoicedOfFull(c))
          if (const VoicedKana* v = VoicedOfHalf(base, half)) {
            c = IsHiragana(c) ? v->hiragana : v->katakana;
            bytes = 4;
          }
      }
    }
    if (bytes == 1) c = WidenChar(c);
  }
  if (options & kIgnoreCase) c = FoldUpper(c);
  if (options & kIgnoreKana) c = HiraToKanaChar(c);
  return {c, bytes};
}

Searcher::Searcher(std::string_view find, int options) : find_(find), options_(options & 7) {
  if (options_ == 0) return;
  for (size_t i = 0; i < find_.size();) {
    FoldedChar f = FoldAt(find_, i, options_);
    folded_.push_back(f);
    i += f.bytes;
  }
}

Found Searcher::Next(std::string_view s, size_t from) const {
  if (find_.empty()) return {};
  if (options_ == 0) {
    size_t h = FindPlain(s, find_, from);
    return h == npos ? Found{} : Found{h, find_.size()};
  }
  const uint16_t head = folded_[0].value;
  for (size_t i = from; i < s.size(); i += sjis::CharLen(s, i)) {
    FoldedChar c = FoldAt(s, i, options_);
    if (c.value != head) continue;
    size_t at = i + c.bytes, k = 1;
    for (; k < folded_.size() && at < s.size(); ++k) {
      FoldedChar d = FoldAt(s, at, options_);
      if (d.value != folded_[k].value) break;
      at += d.bytes;
    }
    if (k == folded_.size()) return {i, at - i};
  }
  return {};
}

int ReplaceLine(std::string_view line, const Searcher& find, std::string_view replacement, std::string& out) {
  Found f = find.Next(line, 0);
  if (!f) return 0;
  out.clear();
  int n = 0;
  size_t from = 0;
  while (f) {
    out.append(line.substr(from, f.pos - from));
    out.append(replacement);
    from = f.pos + f.length;
    ++n;
    f = find.Next(line, from);
  }
  out.append(line.substr(from));
  return n;
}

int SuperReplaceLine(std::string_view line, std::string_view start, std::string_view end, std::string_view after,
                     std::string& out) {
  if (start.empty()) return 0;  // it would match everywhere without moving on
  size_t h = FindPlain(line, start, 0);
  if (h == npos) return 0;
  out.clear();
  int n = 0;
  size_t from = 0;
  while (h != npos) {
    out.append(line.substr(from, h - from));
    out.append(after);
    from = h + start.size();
    // Without an end string after it, the start string goes alone.
    size_t e = FindPlain(line, end, from);
    if (e != npos) from = e + end.size();
    ++n;
    h = FindPlain(line, start, from);
  }
  out.append(line.substr(from));
  return n;
}

int ReplaceDoubleLine(std::string_view line, std::string_view startBefore, std::string_view startAfter,
                      std::string_view endBefore, std::string_view endAfter, std::string_view escape,
                      std::string& out) {
  if (startBefore.empty()) return 0;
  const std::string_view esc = escape.substr(0, escape.empty() ? 0 : sjis::CharLen(escape, 0));
  size_t h = FindUnescaped(line, startBefore, esc, 0);
  if (h == npos) return 0;
  out.clear();
  int n = 0;
  size_t from = 0;
  while (h != npos) {
    out.append(line.substr(from, h - from));
    out.append(startAfter);
    from = h + startBefore.size();
    size_t e = FindUnescaped(line, endBefore, esc, from);
    if (e != npos) {
      out.append(line.substr(from, e - from));
      out.append(endAfter);
      from = e + endBefore.size();
    }
    // An opening string with no closing one after it changes alone: no end string is made up.
    ++n;
    h = FindUnescaped(line, startBefore, esc, from);
  }
  out.append(line.substr(from));
  return n;
}

std::string KeepUnchangedBytes(const ICodePage& cp, std::string_view original, std::string replaced) {
  const std::u16string u = cp.ToUtf16(Charset::Sjis, original);
  if (cp.FromUtf16(Charset::Sjis, u) == original) return replaced;
  const std::u16string r = cp.ToUtf16(Charset::Sjis, replaced);
  const std::vector<size_t> ou = UnitOffsets(original), ru = UnitOffsets(replaced);
  if (ou.size() != u.size() + 1 || ru.size() != r.size() + 1) return replaced;
  const size_t limit = std::min(u.size(), r.size());
  size_t p = 0, q = 0;
  while (p < limit && u[p] == r[p]) ++p;
  while (q < limit - p && u[u.size() - 1 - q] == r[r.size() - 1 - q]) ++q;
  std::string out;
  out.reserve(original.size() + replaced.size());
  out.append(original.substr(0, ou[p]));
  out.append(std::string_view(replaced).substr(ru[p], ru[r.size() - q] - ru[p]));
  out.append(original.substr(ou[u.size() - q]));
  return out;
}

SearchResult Replace(CQuenlarkDoc& doc, std::string_view find, std::string_view replacement, int options) {
  const Searcher s(find, options);
  return RewriteTargets(doc, [&](std::string_view line, std::string& out) -> SearchResult {
    return ReplaceLine(line, s, replacement, out);
  });
}

SearchResult RegexReplaceLine(IRegex& re, const ICodePage& cp, std::string_view line, std::string_view replacement,
                              std::string& out) {
  std::optional<bool> t = re.Test(line);
  if (!t) return SearchResult::Failed();
  if (!*t) return 0;
  std::optional<std::string> r = re.Replace(line, replacement);
  if (!r) return SearchResult::Failed();
  out = KeepUnchangedBytes(cp, line, std::move(*r));
  return 1;
}

SearchResult RegexReplace(CQuenlarkDoc& doc, std::string_view pattern, std::string_view replacement, int options) {
  IRegex* re = doc.Regex();
  if (!re) return SearchResult::Failed();
  const ICodePage& cp = doc.platform().codepage;
  bool prepared = false;
  const SearchResult n = RewriteTargets(doc, [&](std::string_view line, std::string& out) -> SearchResult {
    // An empty expression matches everywhere without moving on: it changes nothing.
    if (pattern.empty()) return 0;
    // Set once the target lines are known: a regex selection uses the same object.
    if (!prepared) {
      if (!re->SetPattern(pattern) || !re->SetGlobal(true) || !re->SetIgnoreCase((options & kIgnoreCase) != 0))
        return SearchResult::Failed();
      prepared = true;
    }
    return RegexReplaceLine(*re, cp, line, replacement, out);
  });
  // The object is shared with the target-line test, which compares case.
  re->SetIgnoreCase(false);
  return n;
}

SearchResult SuperReplace(CQuenlarkDoc& doc, std::string_view start, std::string_view end, std::string_view after) {
  return RewriteTargets(doc, [&](std::string_view line, std::string& out) -> SearchResult {
    return SuperReplaceLine(line, start, end, after, out);
  });
}

SearchResult ReplaceDouble(CQuenlarkDoc& doc, std::string_view startBefore, std::string_view startAfter,
                           std::string_view endBefore, std::string_view endAfter, std::string_view escape) {
  return RewriteTargets(doc, [&](std::string_view line, std::string& out) -> SearchResult {
    return ReplaceDoubleLine(line, startBefore, startAfter, endBefore, endAfter, escape, out);
  });
}

}  // namespace qlk
