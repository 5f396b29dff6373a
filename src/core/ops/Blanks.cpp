#include "ops/Blanks.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "conv/Sjis.h"
#include "platform/UserInterface.h"

namespace qlk {
namespace {

constexpr unsigned char kFullSpaceLead = 0x81, kFullSpaceTrail = 0x40;  // "　"
constexpr uint16_t kIdeographicStop = 0x8142;                              // "。"

// Length of the blank at a character boundary i: 1, 2 for the full-width space, 0 for none.
size_t BlankAt(std::string_view s, size_t i) {
  if (s[i] == ' ') return 1;
  if (static_cast<unsigned char>(s[i]) == kFullSpaceLead && i + 1 < s.size() &&
      static_cast<unsigned char>(s[i + 1]) == kFullSpaceTrail)
    return 2;
  return 0;
}

// Runs `f` over every target line, replacing it by the result; lines that `changes` says
// `f` would leave alone are not rebuilt.
template <class F, class P>
void EachTarget(CQuenlarkDoc& doc, F f, P changes) {
  WaitCursor w(doc.platform().ui);
  doc.BeginUndoStep();
  LineArray& lines = doc.Lines();
  for (size_t i = 0; i < lines.size(); ++i)
    if (doc.IsTargetLine(i) && changes(std::string_view(lines[i]))) lines.Set(i, f(std::string_view(lines[i])));
  doc.SetModified();
}

template <class F>
void EachTarget(CQuenlarkDoc& doc, F f) {
  EachTarget(doc, f, [](std::string_view) { return true; });
}

bool Has(std::string_view s, char c) { return s.find(c) != std::string_view::npos; }

// Builds the joined output lines: the current one collects its pieces in one buffer, so
// joining many lines costs their length once, not once per line joined.
class Joiner {
 public:
  explicit Joiner(LineArray& out) : out_(out) {}
  ~Joiner() { Close(); }
  bool Open() const { return open_; }
  void Start(const LineArray& from, size_t i) {
    Close();
    out_.PushShared(from, i);
    at_ = out_.size() - 1;
    open_ = true;
  }
  void Append(std::string_view s) {
    if (!grown_) {
      buf_ = out_[at_];
      grown_ = true;
    }
    buf_ += s;
  }
  void Close() {
    if (grown_) out_.Set(at_, std::move(buf_));
    buf_.clear();
    open_ = grown_ = false;
  }

 private:
  LineArray& out_;
  std::string buf_;
  size_t at_ = 0;
  bool open_ = false, grown_ = false;
};

// The frame of the operations that change the line count: `build` fills the new lines from
// the old ones and their target marks; the range end follows the change of the count.
template <class F>
void Rebuild(CQuenlarkDoc& doc, F build) {
  WaitCursor w(doc.platform().ui);
  doc.BeginUndoStep();
  const std::vector<char> target = doc.TargetMask();
  const LineArray old = doc.Lines();
  LineArray out;
  out.Reserve(old.size());
  build(old, target, out);
  const long long change = static_cast<long long>(out.size()) - static_cast<long long>(old.size());
  doc.Lines() = std::move(out);
  doc.rangeEnd = static_cast<int>(std::clamp<long long>(doc.rangeEnd + change, INT_MIN, INT_MAX));
  doc.SetModified();
}

void SplitAt(CQuenlarkDoc& doc, char cut) {
  Rebuild(doc, [cut](const LineArray& old, const std::vector<char>& target, LineArray& out) {
    for (size_t i = 0; i < old.size(); ++i) {
      std::string_view s = old[i];
      if (!target[i] || s.find(cut) == std::string_view::npos) {
        out.PushShared(old, i);
        continue;
      }
      size_t p = 0;
      for (size_t q; (q = s.find(cut, p)) != std::string_view::npos; p = q + 1) out.PushBack(std::string(s.substr(p, q - p)));
      out.PushBack(std::string(s.substr(p)));
    }
  });
}

size_t LongestLine(const LineArray& lines) {
  size_t m = 0;
  for (size_t i = 0; i < lines.size(); ++i) m = std::max(m, lines[i].size());
  return m;
}

}  // namespace

// ---------------------------------------------------------------- per line

bool IsBlankLine(std::string_view s, bool tabIsBlank) {
  for (size_t i = 0; i < s.size();) {
    if (tabIsBlank && s[i] == '\t') {
      ++i;
    } else if (size_t b = BlankAt(s, i)) {
      i += b;
    } else {
      return false;
    }
  }
  return true;
}

std::string DelSpaceFirstLine(std::string_view s) {
  size_t i = 0;
  while (i < s.size())
    if (size_t b = BlankAt(s, i))
      i += b;
    else
      break;
  return std::string(s.substr(i));
}

std::string DelSpaceBackLine(std::string_view s) {
  // Walking forward keeps the characters whole: scanning back would take the 0x81 0x40
  // ending a pair such as 0x81 0x81 '@' for a full-width space and cut the pair in two.
  size_t keep = 0;
  for (size_t i = 0; i < s.size();) {
    size_t n = BlankAt(s, i);
    if (n == 0) {
      n = sjis::CharLen(s, i);
      keep = i + n;
    }
    i += n;
  }
  return std::string(s.substr(0, keep));
}

std::string TabSpaceLine(std::string_view s, int width) {
  if (width < 1 || width > kMaxTabWidth) return std::string(s);
  const size_t w = static_cast<size_t>(width);
  std::string out;
  out.reserve(s.size() + s.size() / 2);
  size_t col = 0;  // within the current tab cell
  for (size_t i = 0;;) {
    size_t t = s.find('\t', i);
    if (t == std::string_view::npos) t = s.size();
    out.append(s.substr(i, t - i));
    col = (col + (t - i)) % w;
    if (t == s.size()) break;
    out.append(w - col, ' ');
    col = 0;
    i = t + 1;
  }
  return out;
}

namespace {

// The spaces-to-tabs walk. Without an output it only tells whether any run of spaces reaches
// a tab stop, which most lines of prose never do, so those are not rebuilt at all.
bool SpaceTabWalk(std::string_view s, size_t w, std::string* out) {
  const size_t n = s.size();
  bool changed = false;
  size_t col = 0;
  for (size_t i = 0; i < n;) {
    size_t t = i;
    while (t < n && s[t] != ' ' && s[t] != '\t') ++t;
    if (out) out->append(s.substr(i, t - i));
    col = (col + (t - i)) % w;
    if (t == n) break;
    if (s[t] == '\t') {  // a tab already there reaches the next stop
      if (out) *out += '\t';
      col = 0;
      i = t + 1;
      continue;
    }
    size_t e = t;
    while (e < n && s[e] == ' ') ++e;
    size_t run = e - t;
    const size_t toStop = w - col;
    if (run < toStop) {  // no stop reached: the spaces stay
      if (out) out->append(run, ' ');
      col += run;
    } else {  // one tab per stop reached, the rest of the run stays spaces
      if (!out) return true;
      changed = true;
      run -= toStop;
      out->append(1 + run / w, '\t');
      out->append(run % w, ' ');
      col = run % w;
    }
    i = e;
  }
  return changed;
}

}  // namespace

std::string SpaceTabLine(std::string_view s, int width) {
  if (width < 1 || width > kMaxTabWidth) return std::string(s);
  std::string out;
  out.reserve(s.size());
  SpaceTabWalk(s, static_cast<size_t>(width), &out);
  return out;
}

std::string TabIfLine(std::string_view s, std::string_view text, int replace) {
  if (text.empty()) return std::string(s);
  std::string out;
  size_t p = 0;
  for (size_t b; (b = sjis::FindAligned(s, text, p)) != std::string_view::npos; p = b + text.size()) {
    out.append(s.substr(p, b - p));
    if (!replace) out.append(text);
    out += '\t';
  }
  if (p == 0) return std::string(s);
  out.append(s.substr(p));
  return out;
}

std::string SpToCsvLine(std::string_view s, int start, int end) {
  if (start < 1 || end < start) return std::string(s);
  std::string out(s);
  const size_t from = static_cast<size_t>(start - 1);
  const size_t to = std::min(out.size(), static_cast<size_t>(end));
  bool afterText = false;  // leading spaces of the part stay
  for (size_t i = from; i < to; ++i) {
    if (out[i] == ' ') {
      if (afterText) out[i] = ',';
      afterText = false;
    } else {
      afterText = true;
    }
  }
  return out;
}

std::string CenterLine(std::string_view s, size_t half) {
  // The text between the first and the last non-blank byte; a line of blanks has none and
  // counts as all leading blanks.
  size_t first = s.size(), end = 0;
  for (size_t i = 0; i < s.size();) {
    size_t n = BlankAt(s, i);
    if (n == 0) {
      n = sjis::CharLen(s, i);
      if (first == s.size()) first = i;
      end = i + n;
    }
    i += n;
  }
  const size_t c = first == s.size() ? 0 : end - first;
  const long long at = std::max(0LL, static_cast<long long>(half) - static_cast<long long>(c / 2));
  const long long shift = at - static_cast<long long>(first);
  if (shift >= 0) return std::string(static_cast<size_t>(shift), ' ') + std::string(s);
  // Dropping leading blanks: when the cut falls inside a full-width space its remaining half
  // becomes a space, so the text still lands where it should and no stray byte is left.
  const size_t drop = static_cast<size_t>(-shift);
  size_t i = 0;
  while (i < drop) i += BlankAt(s, i);
  if (i == drop) return std::string(s.substr(drop));
  std::string out(1, ' ');
  out.append(s.substr(i));
  return out;
}

std::string RightLine(std::string_view s, size_t width) {
  std::string t = DelSpaceBackLine(s);
  if (t.size() >= width) return t;
  return std::string(width - t.size(), ' ') + t;
}

bool EndsWithChar(std::string_view s, uint16_t code) {
  if (s.size() < 2) return false;
  const size_t k = s.size() - 2;
  return sjis::IsLeadAt(s, k) && sjis::CharAt(s, k) == code;
}

// ---------------------------------------------------------------- operations

void DelSpaceLine(CQuenlarkDoc& doc) {
  Rebuild(doc, [](const LineArray& old, const std::vector<char>& target, LineArray& out) {
    for (size_t i = 0; i < old.size(); ++i)
      if (!(target[i] && IsBlankLine(old[i], true))) out.PushShared(old, i);
  });
}

void DelSpaceMultiLine(CQuenlarkDoc& doc) {
  Rebuild(doc, [](const LineArray& old, const std::vector<char>& target, LineArray& out) {
    bool inRun = false;
    for (size_t i = 0; i < old.size(); ++i) {
      if (!target[i]) {
        out.PushShared(old, i);  // copied, and the run goes on across it
      } else if (!IsBlankLine(old[i], false)) {
        out.PushShared(old, i);
        inRun = false;
      } else if (!inRun) {
        out.PushBack(std::string());
        inRun = true;
      }
    }
  });
}

void DelSpaceOnly(CQuenlarkDoc& doc) {
  EachTarget(doc, [](std::string_view s) { return IsBlankLine(s, false) ? std::string() : std::string(s); });
}

void DelSpaceFirst(CQuenlarkDoc& doc) { EachTarget(doc, DelSpaceFirstLine); }
void DelSpaceBack(CQuenlarkDoc& doc) { EachTarget(doc, DelSpaceBackLine); }

void TabSpace(CQuenlarkDoc& doc, int width) {
  if (width < 1 || width > kMaxTabWidth) return;
  EachTarget(doc, [width](std::string_view s) { return TabSpaceLine(s, width); },
             [](std::string_view s) { return Has(s, '\t'); });
}

void SpaceTab(CQuenlarkDoc& doc, int width) {
  if (width < 1 || width > kMaxTabWidth) return;
  EachTarget(doc, [width](std::string_view s) { return SpaceTabLine(s, width); },
             [width](std::string_view s) { return SpaceTabWalk(s, static_cast<size_t>(width), nullptr); });
}

void TabIf(CQuenlarkDoc& doc, const std::string& text, int replace) {
  if (text.empty()) return;
  EachTarget(doc, [&](std::string_view s) { return TabIfLine(s, text, replace); });
}

void ToCenter(CQuenlarkDoc& doc) {
  const size_t half = LongestLine(doc.Lines()) / 2;
  EachTarget(doc, [half](std::string_view s) { return CenterLine(s, half); });
}

void ToRight(CQuenlarkDoc& doc) {
  const size_t width = LongestLine(doc.Lines());
  EachTarget(doc, [width](std::string_view s) { return RightLine(s, width); });
}

void SpToCsv(CQuenlarkDoc& doc, int start, int end) {
  if (start < 1 || end < start) return;
  EachTarget(doc, [=](std::string_view s) { return SpToCsvLine(s, start, end); });
}

void ToOneline(CQuenlarkDoc& doc) {
  Rebuild(doc, [](const LineArray& old, const std::vector<char>& target, LineArray& out) {
    Joiner j(out);
    for (size_t i = 0; i < old.size(); ++i) {
      std::string_view s = old[i];
      if (!target[i]) {
        out.PushShared(old, i);  // a line of its own; the block goes on after it
        continue;
      }
      if (s.empty()) {
        j.Close();
        out.PushBack(std::string());
        continue;
      }
      if (j.Open())
        j.Append(s);
      else
        j.Start(old, i);
      // A sentence's end closes its output line, also when it ends the block's first line.
      if (EndsWithChar(s, kIdeographicStop)) j.Close();
    }
  });
}

void ToOnelineAll(CQuenlarkDoc& doc) {
  Rebuild(doc, [](const LineArray& old, const std::vector<char>& target, LineArray& out) {
    // Every target line joins the first; the other lines stay as they are.
    Joiner j(out);
    for (size_t i = 0; i < old.size(); ++i) {
      if (!target[i])
        out.PushShared(old, i);
      else if (j.Open())
        j.Append(old[i]);
      else
        j.Start(old, i);
    }
  });
}

void OnelineNo(CQuenlarkDoc& doc, int count) {
  if (count < 2) return;
  Rebuild(doc, [count](const LineArray& old, const std::vector<char>& target, LineArray& out) {
    Joiner j(out);
    int inGroup = 0;
    for (size_t i = 0; i < old.size(); ++i) {
      if (!target[i]) {
        out.PushShared(old, i);
        continue;
      }
      if (inGroup == 0)
        j.Start(old, i);
      else
        j.Append(old[i]);
      if (++inGroup == count) inGroup = 0;
    }
  });
}

void CtlMToCRLF(CQuenlarkDoc& doc) { SplitAt(doc, '\r'); }
void LFToCRLF(CQuenlarkDoc& doc) { SplitAt(doc, '\n'); }

}  // namespace qlk
