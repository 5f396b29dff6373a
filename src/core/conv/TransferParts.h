#pragma once
// What the transfer files share (Base64.cpp, Escapes.cpp, TransferDoc.cpp and their kernels
// in simd/): the writer into reserved room, the walk over a run of lines, and the decoders
// the document walks call. Not for use outside them.
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "conv/simd/CrFinder.h"

namespace qlk::transfer {

// Writes through a raw pointer into room reserved beforehand; each conversion knows how far a
// step can lengthen the text, so nothing is written past the end.
class Sink {
 public:
  Sink(std::string& out, size_t most) : out_(out), start_(out.size()) {
    out_.resize(start_ + most);
    begin_ = p_ = out_.data() + start_;
  }
  ~Sink() { out_.resize(start_ + static_cast<size_t>(p_ - begin_)); }
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;
  void Put(unsigned char b) { *p_++ = static_cast<char>(b); }
  void Put2(const char* two) {
    std::memcpy(p_, two, 2);
    p_ += 2;
  }

 private:
  std::string& out_;
  size_t start_;
  char* begin_;
  char* p_;
};

inline const unsigned char* Bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

inline bool IsTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A run of lines that each end in CR LF, written line by line: put(line, after, to) writes a
// line's conversion at `to` and returns its end, `after` being the bytes of the run that
// follow the line; CR LF is written after each. A run in one call saves a call per line.
template <class Put>
char* PutEachLine(std::string_view lines, char* to, Put put) {
  const char* const d = lines.data();
  const size_t size = lines.size();
  CrFinder crs(d, size, 0);
  for (size_t start = 0; start < size;) {
    size_t q = crs.Next();
    while (q + 1 < size && d[q + 1] != '\n') q = crs.Next();  // a lone CR belongs to the line
    if (q + 1 >= size) q = size;  // (a run ends in CR LF; this only guards the walk)
    to = put(std::string_view(d + start, q - start), size - q, to);
    if (q >= size) break;
    std::memcpy(to, "\r\n", 2);
    to += 2;
    start = q + 2;
  }
  return to;
}

// The escape decoders of "%" and "=" share one walk (simd/Escapes.cpp); `percent` adds "&"
// and "+". Writes at most twice the bytes of `in` at `to` ("&" is the only byte that grows,
// to two) and up to sixteen bytes past its result; returns the end. `past` bytes after `in`
// may be read.
char* PutEscapes(std::string_view in, bool percent, char* to, size_t past = 0);
// A piece of a longer text: `flag` is the escape flag as the text before `in` left it (and as
// `in` leaves it), and only the steps that start before `stop` are taken; `taken` says where
// they ended. A step looks at most two bytes ahead, so with `stop` two bytes short of the end
// every step sees what it would see in the whole text.
char* PutEscapes(std::string_view in, bool percent, char* to, size_t past, bool& flag, size_t stop, size_t& taken);
void AppendEscapes(std::string_view in, bool percent, std::string& out);

// The data bytes of one uuencoded line, and whether a line is the closing "end" (Base64.cpp).
void AppendUudecode(std::string_view line, std::string& out);
bool IsUuEnd(std::string_view line);

}  // namespace qlk::transfer
