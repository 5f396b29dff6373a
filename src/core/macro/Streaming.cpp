#include "macro/Streaming.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstring>

#include "conv/Case.h"
#include "conv/Jis.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

// Conversions of one line at a time. Left out on purpose: numbering (a counter across lines),
// sentence starts (a flag across lines), alignment to the longest line, joining, sorting,
// duplicates, selection and file keywords, decoders that gather several lines
// (UrleToSjis), MimeToSjis (its JIS modes start afresh at every run), code detection over
// the whole text (ToSjis), and the keywords that write files.
constexpr std::array kLineLocal = {
    "ZenToHan",   "ZenToHan2",  "ZenToHanSw", "HanToZen",      "HanToZen2",     "HanToZenSw",
    "ToUpper",    "ToLower",    "ToZenUpper", "ToZenLower",    "ToTopUpper",    "ChangeUpperLower",
    "HiraToKana", "KanaToHira", "JisToSjis",  "SjisToJis",     "EucToSjis",     "SjisToEuc",
    "Utf8ToSjis", "SjisToUtf8", "TurnChange", "IndTurnChange", "KetaChange",    "IndentChange",
    "TurnIf",     "StrCat",     "TextAll",    "TabSpace",      "SpaceTab",      "TabIf",
    "DelSpaceFirst", "DelSpaceBack", "DelSpaceOnly", "SpToCsv", "CtlMToCRLF", "LFToCRLF",
    "ToMime",     "SjisToMime", "SjisToUrl",  "UrlToSjis",     "ToSjisCode",    "ToJisCode",
    "CodeToSjis", "CodeToJis",
    "Replace",    "DelStr",     "SuperReplace", "ReplaceDouble",
};

// Keeps the JIS modes from piece to piece while alive.
struct KeepJis {
  KeepJis() = default;
  ~KeepJis() { KeepJisModesAcrossCommands(false); }
  void On() { KeepJisModesAcrossCommands(true); }
};

}  // namespace

bool IsLineLocal(std::string_view keyword) {
  for (const char* k : kLineLocal)
    if (SameIgnoringAsciiCase(keyword, k)) return true;
  return false;
}

bool RunLinePieces(MainState& m, std::string_view macroLine, std::string_view input, size_t piece,
                   std::string& out, const std::function<bool()>& reported) {
  if (piece == 0) piece = 1;
  IClipboard& clip = m.platform().clipboard;
  KeepJis keep;
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
    RunMacroText(m, macroLine);
    ClipRead r = clip.Read();
    if (r.status != ClipStatus::Ok) return false;
    // A message (a malformed expression, a refused width) would only repeat for every piece.
    if (reported && reported()) return false;
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

static_assert(std::endian::native == std::endian::little, "FindCr reads the first byte of a word as its lowest");

// The first CR in [p, end), or end. Lines are short: a search inline, sixteen or eight bytes
// at a time, beats a call per line.
const char* FindCr(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (const int m = _mm_movemask_epi8(_mm_cmpeq_epi8(v, cr))) return p + std::countr_zero(static_cast<unsigned>(m));
    p += 16;
  }
#endif
  constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull, kCr = 0x0D * kOnes;
  while (end - p >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    w ^= kCr;
    const uint64_t zero = (w - kOnes) & ~w & kHigh;  // the lowest flagged byte is the first CR
    if (zero) return p + (std::countr_zero(zero) >> 3);
    p += 8;
  }
  while (p < end && *p != '\r') ++p;
  return p;
}

// Input bytes held for the stream: grown without being cleared first, since reads fill them.
class InBuffer {
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

 private:
  void Reserve(size_t n) {
    if (n <= cap_) return;
    const size_t cap = std::max(n, cap_ * 2);
    std::unique_ptr<char[]> d(new char[cap]);
    if (size_) std::memcpy(d.get(), data_.get(), size_);
    data_ = std::move(d);
    cap_ = cap;
  }
  std::unique_ptr<char[]> data_;
  size_t size_ = 0, cap_ = 0;
};

}  // namespace

StreamStatus StreamLines(const Bindings::LineFn& fn, std::string head, const ReadMore& read, const WriteOut& write,
                         size_t block) {
  if (block == 0) block = 1;
  bool end = false;
  // The text ends at its first NUL: nothing after it is read.
  if (size_t z = head.find('\0'); z != std::string::npos) {
    head.resize(z);
    end = true;
  }
  InBuffer in;
  in.Append(head);
  head = std::string();
  std::string out;
  out.reserve(block + block / 2);
  size_t start = 0;  // the first byte of `in` not yet converted
  size_t seek = 0;   // where the search for the next CR LF goes on
  for (;;) {
    const char* d = in.data();
    const char* const stop = d + in.size();
    for (;;) {
      const char* cr = FindCr(d + seek, stop);
      const size_t q = static_cast<size_t>(cr - d);
      if (q + 1 >= in.size()) {  // no CR, or its LF is still to be read
        seek = std::min(q, in.size());
        break;
      }
      if (d[q + 1] != '\n') {  // a lone CR belongs to the line
        seek = q + 1;
        continue;
      }
      fn(std::string_view(d + start, q - start), out);
      out += "\r\n";
      start = seek = q + 2;
      if (out.size() >= block) {
        if (!write(out)) return StreamStatus::WriteFailed;
        out.clear();
      }
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
  if (start < in.size()) fn(std::string_view(in.data() + start, in.size() - start), out);  // the last line
  if (!out.empty() && !write(out)) return StreamStatus::WriteFailed;
  return StreamStatus::Ok;
}

}  // namespace qlk
