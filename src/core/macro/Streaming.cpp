#include "macro/Streaming.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "conv/simd/CrFinder.h"
#include "conv/Jis.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

// Keeps the JIS modes from piece to piece while alive.
struct KeepJis {
  JisContext& jis;
  ~KeepJis() { jis.keepModes = false; }
  void On() { jis.keepModes = true; }
};

}  // namespace

bool IsLineLocal(std::string_view keyword) {
  std::optional<Kw> k = KeywordFor(keyword);
  return k && KeywordOf(*k).lineLocal;
}

bool RunLinePieces(MainState& m, std::string_view macroLine, std::string_view input, size_t piece,
                   std::string& out) {
  if (piece == 0) piece = 1;
  IClipboard& clip = m.platform().clipboard;
  KeepJis keep{m.jis()};
  size_t p = 0;
  bool first = true;
  while (first || p < input.size()) {
    // Up to `piece` lines, each with its CR LF; the last piece ends as the input does.
    size_t end = p;
    for (size_t n = 0; n < piece && end < input.size(); ++n) {
      size_t q = input.find("\r\n", end);
      end = (q == std::string_view::npos) ? input.size() : q + 2;
    }
    if (!clip.Write(input.substr(p, end - p))) return false;
    if (RunMacroText(m, macroLine) != MacroStatus::Ok) return false;
    ClipRead r = clip.Read();
    if (r.status != ClipStatus::Ok) return false;
    out += r.text;
    p = end;
    if (first) keep.On();
    first = false;
  }
  return true;
}

Bindings::LineFn LineFnForMacroLine(MainState& m, std::string_view macroLine) {
  std::optional<ParsedMacroLine> p = ParseMacroLine(macroLine);
  if (!p || !p->keyword) return {};
  const Bindings::LineFnMaker* make = m.bindings().LineFnMakerFor(p->keyword);
  return make ? (*make)(m, p->args) : Bindings::LineFn();
}

namespace {

// Bytes held for the stream: grown without being cleared first, since reads and
// conversions fill them.
class ByteBuffer {
 public:
  char* data() { return data_.get(); }
  size_t size() const { return size_; }
  void Append(std::string_view b) {
    Reserve(size_ + b.size());
    std::memcpy(data_.get() + size_, b.data(), b.size());
    size_ += b.size();
  }
  // Room for n more bytes after size(); fill it, then Grow by what was written.
  char* Room(size_t n) {
    Reserve(size_ + n);
    return data_.get() + size_;
  }
  void Grow(size_t n) { size_ += n; }
  void Cut(size_t n) { size_ = n; }
  void DropFront(size_t n) {
    std::memmove(data_.get(), data_.get() + n, size_ - n);
    size_ -= n;
  }
  void Reserve(size_t n) {
    if (n <= cap_) return;
    const size_t cap = std::max(n, cap_ * 2);
    std::unique_ptr<char[]> d(new char[cap]);
    if (size_) std::memcpy(d.get(), data_.get(), size_);
    data_ = std::move(d);
    cap_ = cap;
  }

 private:
  std::unique_ptr<char[]> data_;
  size_t size_ = 0, cap_ = 0;
};

// Where converted lines gather until a block is full: through the appending function...
class AppendOut {
 public:
  AppendOut(const Bindings::LineFn& fn, size_t block) : fn_(fn) { out_.reserve(block + block / 2); }
  void Line(std::string_view line) {
    fn_(line, out_);
    out_ += "\r\n";
  }
  void Last(std::string_view line) { fn_(line, out_); }
  bool TakesLines() const { return false; }
  void Lines(std::string_view) {}
  size_t size() const { return out_.size(); }
  bool Flush(const WriteOut& write) {
    const bool ok = write(out_);
    out_.clear();
    return ok;
  }

 private:
  const Bindings::LineFn& fn_;
  std::string out_;
};

// ... or written in place by the raw form.
class RawOut {
 public:
  RawOut(const Bindings::RawLine& raw, size_t block) : raw_(raw) { out_.Reserve(block + block / 2); }
  void Line(std::string_view line) {
    char* to = out_.Room(raw_.most(line.size()) + 2);
    char* end = raw_.put(line, to);
    std::memcpy(end, "\r\n", 2);
    out_.Grow(static_cast<size_t>(end + 2 - to));
  }
  void Last(std::string_view line) {
    char* to = out_.Room(raw_.most(line.size()));
    out_.Grow(static_cast<size_t>(raw_.put(line, to) - to));
  }
  // Whether whole runs of lines may be given at once (see Lines).
  bool TakesLines() const { return raw_.putLines != nullptr; }
  // Lines each ending in CR LF, converted in one call.
  void Lines(std::string_view lines) {
    char* to = out_.Room(raw_.most(lines.size()));
    out_.Grow(static_cast<size_t>(raw_.putLines(lines, to) - to));
  }
  size_t size() const { return out_.size(); }
  bool Flush(const WriteOut& write) {
    const bool ok = write(std::string_view(out_.data(), out_.size()));
    out_.Cut(0);
    return ok;
  }

 private:
  const Bindings::RawLine& raw_;
  ByteBuffer out_;
};

template <class Out>
StreamStatus Stream(Out& out, std::string head, const ReadMore& read, const WriteOut& write, size_t block) {
  bool end = false;
  // The text ends at its first NUL: nothing after it is read.
  if (size_t z = head.find('\0'); z != std::string::npos) {
    head.resize(z);
    end = true;
  }
  ByteBuffer in;
  in.Append(head);
  head = std::string();
  size_t start = 0;  // the first byte of `in` not yet converted
  size_t seek = 0;   // where the search for the next CR LF goes on
  for (;;) {
    const char* d = in.data();
    if (out.TakesLines()) {
      // Everything before the last CR LF read so far goes in one call.
      size_t e = 0;
      for (size_t k = in.size(); k >= seek + 2 && k >= start + 2; --k)
        if (d[k - 1] == '\n' && d[k - 2] == '\r') {
          e = k;
          break;
        }
      if (e) {
        out.Lines(std::string_view(d + start, e - start));
        start = e;
        if (out.size() >= block && !out.Flush(write)) return StreamStatus::WriteFailed;
      }
      seek = std::max(start, in.size() - (in.size() > 0));  // a CR at the end may meet its LF
    }
    CrFinder crs(d, in.size(), seek);
    for (;;) {
      const size_t q = crs.Next();
      if (q + 1 >= in.size()) {  // no CR, or its LF is still to be read
        seek = std::min(q, in.size());
        break;
      }
      if (d[q + 1] != '\n') continue;  // a lone CR belongs to the line
      out.Line(std::string_view(d + start, q - start));
      start = seek = q + 2;
      if (out.size() >= block && !out.Flush(write)) return StreamStatus::WriteFailed;
    }
    if (end) break;
    // Keep the unfinished line at the front; a long one grows the buffer rather than moving.
    if (start > 0) {
      in.DropFront(start);
      seek -= start;
      start = 0;
    }
    const size_t have = in.size(), room = std::max(block, have);
    char* at = in.Room(room);
    std::optional<size_t> got = read(at, room);
    if (!got) return StreamStatus::ReadFailed;
    in.Grow(*got);
    if (*got == 0) {
      end = true;
    } else if (const void* z = std::memchr(at, '\0', *got)) {
      in.Cut(have + static_cast<size_t>(static_cast<const char*>(z) - at));
      end = true;
    }
  }
  if (start < in.size()) out.Last(std::string_view(in.data() + start, in.size() - start));  // the last line
  if (out.size() != 0 && !out.Flush(write)) return StreamStatus::WriteFailed;
  return StreamStatus::Ok;
}

}  // namespace

StreamStatus StreamLines(const Bindings::LineFn& fn, std::string head, const ReadMore& read, const WriteOut& write,
                         size_t block) {
  if (block == 0) block = 1;
  if (const Bindings::RawLine* raw = fn.raw()) {
    RawOut out(*raw, block);
    return Stream(out, std::move(head), read, write, block);
  }
  AppendOut out(fn, block);
  return Stream(out, std::move(head), read, write, block);
}

}  // namespace qlk
