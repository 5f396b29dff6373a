#include "macro/Streaming.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

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
// conversions fill them. A line that has to be held whole grows the buffer by reallocation,
// which moves large blocks without copying or touching their pages again.
class ByteBuffer {
 public:
  ByteBuffer() = default;
  ~ByteBuffer() { std::free(data_); }
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;
  char* data() { return data_; }
  size_t size() const { return size_; }
  void Append(std::string_view b) {
    Reserve(size_ + b.size());
    if (!b.empty()) std::memcpy(data_ + size_, b.data(), b.size());
    size_ += b.size();
  }
  // Room for n more bytes after size(); fill it, then Grow by what was written.
  char* Room(size_t n) {
    Reserve(size_ + n);
    return data_ + size_;
  }
  void Grow(size_t n) { size_ += n; }
  void Cut(size_t n) { size_ = n; }
  void DropFront(size_t n) {
    std::memmove(data_, data_ + n, size_ - n);
    size_ -= n;
  }
  void Reserve(size_t n) {
    if (n <= cap_) return;
    const size_t cap = std::max(n, cap_ * 2);
    void* d = std::realloc(data_, cap);
    if (!d) throw std::bad_alloc();
    data_ = static_cast<char*>(d);
    cap_ = cap;
  }

 private:
  char* data_ = nullptr;
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
  // A long line in pieces (see Bindings::LineFn::Piece), and the CR LF after its last piece.
  bool TakesPieces() const { return fn_.piece() != nullptr; }
  size_t Piece(std::string_view rest, bool ends, uint32_t& carry) { return (*fn_.piece())(rest, ends, carry, out_); }
  const Bindings::LineFn::Look* Look() const { return fn_.look(); }
  void Break() { out_ += "\r\n"; }
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
  bool TakesPieces() const { return raw_.putPiece != nullptr; }
  const Bindings::LineFn::Look* Look() const { return nullptr; }
  size_t Piece(std::string_view rest, bool ends, uint32_t& carry) {
    char* const to = out_.Room(raw_.most(rest.size()));
    char* end = to;
    const size_t taken = raw_.putPiece(rest, ends, carry, end);
    out_.Grow(static_cast<size_t>(end - to));
    return taken;
  }
  void Break() {
    std::memcpy(out_.Room(2), "\r\n", 2);
    out_.Grow(2);
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

// Shows the line that starts at `start` to `look`, part by part, reading on to its end (a
// CR LF, a NUL or the end of the input) without keeping what it has shown. False when the
// input cannot be read.
bool LookToLineEnd(ByteBuffer& in, size_t start, const Bindings::LineFn::Look& look, uint32_t& carry,
                   const ReadMore& read, size_t block) {
  in.DropFront(start);
  bool last = false;  // nothing more is to be read
  for (;;) {
    const std::string_view part(in.data(), in.size());
    if (const size_t e = part.find("\r\n"); e != std::string_view::npos || last) {
      look(part.substr(0, e), true, carry);
      return true;
    }
    const size_t keep = !part.empty() && part.back() == '\r';  // it may start the line's break
    look(part.substr(0, part.size() - keep), false, carry);
    in.DropFront(part.size() - keep);
    char* at = in.Room(block);
    const std::optional<size_t> got = read(at, block);
    if (!got) return false;
    in.Grow(*got);
    if (*got == 0) {
      last = true;
    } else if (const void* z = std::memchr(at, '\0', *got)) {
      in.Cut(keep + static_cast<size_t>(static_cast<const char*>(z) - at));
      last = true;
    }
  }
}

template <class Out>
StreamStatus Stream(Out& out, std::string& head, const ReadMore& read, const WriteOut& write, size_t block,
                    const Rewind& rewind) {
  bool end = false;
  // The text ends at its first NUL: nothing after it is read.
  if (size_t z = head.find('\0'); z != std::string::npos) {
    head.resize(z);
    end = true;
  }
  ByteBuffer in;
  in.Append(head);
  head = std::string();
  size_t start = 0;     // the first byte of `in` not yet converted
  size_t seek = 0;      // where the search for the next CR LF goes on
  uint64_t dropped = 0;  // bytes of the text before the first of `in`
  // A line longer than the block goes out a piece at a time (when the conversion allows),
  // so that one long line costs what as many short ones do.
  const bool takesPieces = out.TakesPieces();
  bool pieced = false;  // the line at `start` has been given in pieces
  bool looked = false;  // ... and shown whole to the conversion
  uint32_t carry = 0;
  auto endPieces = [&](std::string_view rest) {  // the last of them
    size_t k = 0;
    do {
      const size_t t = out.Piece(rest.substr(k), true, carry);
      k += t;
      if (out.size() >= block && !out.Flush(write)) return false;
      if (t == 0) break;  // (a rest that ends the line is taken a byte or more at a time)
    } while (k < rest.size());
    pieced = looked = false;
    return true;
  };
  for (;;) {
    const char* d = in.data();
    if (out.TakesLines() && !pieced) {
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
      if (pieced) {
        if (!endPieces(std::string_view(d + start, q - start))) return StreamStatus::WriteFailed;
        out.Break();
      } else {
        out.Line(std::string_view(d + start, q - start));
      }
      start = seek = q + 2;
      if (out.size() >= block && !out.Flush(write)) return StreamStatus::WriteFailed;
    }
    if (end) break;
    if (takesPieces) {
      // The unfinished line, but for a CR at the end that may be the start of its break.
      const size_t open = in.size() - start - (in.size() > start && d[in.size() - 1] == '\r');
      if (open >= block) {
        if (!pieced) carry = 0;
        pieced = true;
        const size_t taken = out.Piece(std::string_view(d + start, open), false, carry);
        start += taken;
        if (out.size() >= block && !out.Flush(write)) return StreamStatus::WriteFailed;
        // A conversion that must see the end of the line first: where the input can be read
        // again, the line is read to its end and then again from its start, rather than held.
        // (Moving to where the input stands tells whether it can.)
        const Bindings::LineFn::Look* look = out.Look();
        if (taken == 0 && look && !looked && rewind && rewind(dropped + in.size())) {
          looked = true;
          const uint64_t lineAt = dropped + start;
          if (!LookToLineEnd(in, start, *look, carry, read, block) || !rewind(lineAt)) return StreamStatus::ReadFailed;
          in.Cut(0);
          start = seek = 0;
          dropped = lineAt;
          continue;
        }
      }
    }
    // Keep the unfinished line at the front; a long one grows the buffer rather than moving.
    if (start > 0) {
      in.DropFront(start);
      seek -= start;
      dropped += start;
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
  // The last line.
  if (pieced) {
    if (!endPieces(std::string_view(in.data() + start, in.size() - start))) return StreamStatus::WriteFailed;
  } else if (start < in.size()) {
    out.Last(std::string_view(in.data() + start, in.size() - start));
  }
  if (out.size() != 0 && !out.Flush(write)) return StreamStatus::WriteFailed;
  return StreamStatus::Ok;
}

}  // namespace

StreamStatus StreamLines(const Bindings::LineFn& fn, std::string head, const ReadMore& read, const WriteOut& write,
                         size_t block, const Rewind& rewind) {
  if (block == 0) block = 1;
  if (const Bindings::RawLine* raw = fn.raw()) {
    RawOut out(*raw, block);
    return Stream(out, head, read, write, block, rewind);
  }
  AppendOut out(fn, block);
  return Stream(out, head, read, write, block, rewind);
}

}  // namespace qlk
