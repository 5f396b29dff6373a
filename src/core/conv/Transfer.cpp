#include "conv/Transfer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "conv/Cpu.h"
#include "conv/CrFinder.h"
#include "conv/Jis.h"
#include "conv/LineWalk.h"
#include "conv/Sjis.h"
#include "conv/Unicode.h"
#include "doc/Document.h"
#include "platform/Files.h"
#include "platform/UserInterface.h"

namespace qlk {
namespace {

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

const unsigned char* Bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The two characters of every 12 bits: a group of three bytes is two lookups.
constexpr std::array<std::array<char, 2>, 4096> MakeBase64Pairs() {
  std::array<std::array<char, 2>, 4096> t{};
  for (int v = 0; v < 4096; ++v) t[v] = {kAlphabet[v >> 6], kAlphabet[v & 63]};
  return t;
}
constexpr std::array<std::array<char, 2>, 4096> kBase64Pairs = MakeBase64Pairs();

// The decoder's value of every byte: "=" 0, '+' 62, '/' 63, below 'A' byte + 4, up to '`'
// byte - 'A', from 'a' byte - 71; all kept to six bits.
constexpr std::array<unsigned char, 256> MakeBase64Values() {
  std::array<unsigned char, 256> v{};
  for (int b = 0; b < 256; ++b) {
    int x;
    if (b == '=') x = 0;
    else if (b == '+') x = 62;
    else if (b == '/') x = 63;
    else if (b < 'A') x = b + 4;
    else if (b < 'a') x = b - 'A';
    else x = b - 71;
    v[b] = static_cast<unsigned char>(x & 0x3F);
  }
  return v;
}
constexpr std::array<unsigned char, 256> kB64 = MakeBase64Values();

// Two upper-case hexadecimal digits of every byte.
constexpr std::array<std::array<char, 2>, 256> MakeHex() {
  constexpr char d[] = "0123456789ABCDEF";
  std::array<std::array<char, 2>, 256> h{};
  for (int b = 0; b < 256; ++b) h[b] = {d[b >> 4], d[b & 15]};
  return h;
}
constexpr std::array<std::array<char, 2>, 256> kHex = MakeHex();

constexpr std::array<bool, 256> MakeUrlSafe() {
  std::array<bool, 256> s{};
  for (int b = '0'; b <= '9'; ++b) s[b] = true;
  for (int b = 'A'; b <= 'Z'; ++b) s[b] = true;
  for (int b = 'a'; b <= 'z'; ++b) s[b] = true;
  for (char c : std::string_view("-_.!~*'()")) s[static_cast<unsigned char>(c)] = true;
  return s;
}
constexpr std::array<bool, 256> kUrlSafe = MakeUrlSafe();

// What SjisToUrl writes for every byte: the byte itself, or "%XX", padded to four bytes so
// that each is one store.
struct UrlForm {
  std::array<char, 4> bytes;
  unsigned char length;
};
constexpr std::array<UrlForm, 256> MakeUrlForms() {
  constexpr char d[] = "0123456789ABCDEF";
  std::array<UrlForm, 256> f{};
  for (int b = 0; b < 256; ++b)
    f[b] = kUrlSafe[b] ? UrlForm{{static_cast<char>(b), 0, 0, 0}, 1} : UrlForm{{'%', d[b >> 4], d[b & 15], 0}, 3};
  return f;
}
constexpr std::array<UrlForm, 256> kUrlForms = MakeUrlForms();

void EndAtZero(std::string& s, size_t from) {
  size_t z = s.find('\0', from);
  if (z != std::string::npos) s.resize(z);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

size_t FindCaseBlind(std::string_view hay, std::string_view needle, size_t from) {
  if (needle.empty() || hay.size() < needle.size()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= hay.size(); ++i)
    if (SameLetters(hay.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

bool HasLeadByte(std::string_view s) {
  for (char c : s)
    if (sjis::IsLead(c)) return true;
  return false;
}

bool IsTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

#if defined(__SSE2__)
// Where `escape` is, and with `percent` also "&" and "+": the bytes that are not plain.
inline __m128i Stops(__m128i v, unsigned char escape, bool percent) {
  __m128i stop = _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(escape)));
  if (percent) stop = _mm_or_si128(stop, _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('&')), _mm_cmpeq_epi8(v, _mm_set1_epi8('+'))));
  return stop;
}

// Sixteen bytes at `p` stored at `to` as they are; returns how many of them are plain in a row
// from the first (the bytes after those are written over).
inline size_t PlainRun(const unsigned char* p, unsigned char escape, bool percent, char* to) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v);
  const unsigned stops = static_cast<unsigned>(_mm_movemask_epi8(Stops(v, escape, percent)));
  return stops ? static_cast<size_t>(std::countr_zero(stops)) : 16;
}

// Sixteen bytes at `p`, starting with an escape: of the (up to five) escapes in a row there,
// each followed by a first digit that is no byte of its own meaning, the bytes of those before
// the first that is not or that gives a zero byte (which is left out) are stored at `to`
// (eight bytes written); returns their number, 0 leaving the escape to the steps byte by byte.
// The digits are read as HexDigitValue does.
__attribute__((target("ssse3"))) inline size_t Escapes(const unsigned char* p, unsigned char escape, bool percent,
                                                       char* to) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i none = _mm_set1_epi8(-1);  // a shuffle gives zero bytes there
  const __m128i at = _mm_setr_epi8(0, 3, 6, 9, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m128i one = _mm_set1_epi8(1), two = _mm_set1_epi8(2);
  const __m128i atFirst = _mm_or_si128(_mm_add_epi8(at, one), _mm_cmpeq_epi8(at, none));
  const __m128i atSecond = _mm_or_si128(_mm_add_epi8(at, two), _mm_cmpeq_epi8(at, none));
  const __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(v, _mm_set1_epi8(0x40)), v);  // 0x40 and above
  const __m128i value = _mm_add_epi8(_mm_and_si128(v, _mm_set1_epi8(0x0F)), _mm_and_si128(high, _mm_set1_epi8(9)));
  const __m128i hi = _mm_shuffle_epi8(value, atFirst), lo = _mm_shuffle_epi8(value, atSecond);
  const __m128i bytes = _mm_add_epi8(_mm_and_si128(_mm_slli_epi16(hi, 4), _mm_set1_epi8(-16)), lo);
  // Slots 0-4: not an escape where one must be, a first digit of its own meaning, or a zero byte.
  const __m128i notEscape = _mm_xor_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(escape))), none);
  const __m128i bad = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(notEscape, at), _mm_shuffle_epi8(Stops(v, escape, percent), atFirst)),
                                   _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
  const unsigned badSlots = static_cast<unsigned>(_mm_movemask_epi8(bad)) | 0x20;
  _mm_storel_epi64(reinterpret_cast<__m128i*>(to), bytes);
  return static_cast<size_t>(std::countr_zero(badSlots));
}
#endif

// The escape decoders of "%" and "=" share one walk; `percent` adds "&" and "+". Writes at
// most twice the bytes of `in` at `to` ("&" is the only byte that grows, to two) and up to
// sixteen bytes past its result; returns the end. `past` bytes after `in` may be read.
//
// A piece of a longer text: `flag` is the escape flag as the text before `in` left it (and as
// `in` leaves it), and only the steps that start before `stop` are taken; `taken` says where
// they ended. A step looks at most two bytes ahead, so with `stop` two bytes short of the end
// every step sees what it would see in the whole text.
char* PutEscapes(std::string_view in, bool percent, char* to, size_t past, bool& flag, size_t stop, size_t& taken) {
  const unsigned char* p = Bytes(in);
  const size_t n = in.size();
  const unsigned char escape = percent ? '%' : '=';
#if defined(__SSE2__)
  const bool wide = n + past >= 16 && Cpu() >= CpuLevel::Ssse3;
#endif
  size_t i = 0;
  for (; i < stop; ++i) {
    const unsigned char c = p[i];
#if defined(__SSE2__)
    // Sixteen bytes at a time where they are plain or escapes in a row, with the same
    // result as the steps below: only what lies within `in` is taken.
    if (wide && i + 16 <= n + past) {
      if (c == escape) {
        if (const size_t k = std::min(Escapes(p + i, escape, percent, to), (n - i) / 3)) {
          to += k;
          flag = false;
          i += 3 * k - 1;
          continue;
        }
      } else if (!flag) {
        if (const size_t k = std::min(PlainRun(p + i, escape, percent, to), n - i)) {
          to += k;
          i += k - 1;
          continue;
        }
      }
    }
#endif
    // The common case first: an escape and the two digits after it, which are no bytes
    // of their own meaning (the general steps below give the same).
    if (c == escape && i + 2 < n && p[i + 1] != escape && !(percent && (p[i + 1] == '&' || p[i + 1] == '+'))) {
      const unsigned char v = HexPair(p[i + 1], p[i + 2]);
      if (v) *to++ = static_cast<char>(v);
      flag = false;
      i += 2;
      continue;
    }
    if (c == escape) {
      flag = true;
    } else if (percent && c == '&') {
      *to++ = '\r';
      *to++ = '\n';
    } else if (percent && c == '+') {
      *to++ = ' ';
    } else if (flag && i + 1 < n) {
      const unsigned char v = HexPair(c, p[i + 1]);
      if (v) *to++ = static_cast<char>(v);
      flag = false;
      ++i;
    } else {
      *to++ = static_cast<char>(c);
    }
  }
  taken = i;
  return to;
}

char* PutEscapes(std::string_view in, bool percent, char* to, size_t past = 0) {
  bool flag = false;
  size_t taken;
  return PutEscapes(in, percent, to, past, flag, in.size(), taken);
}

void AppendEscapes(std::string_view in, bool percent, std::string& out) {
  const size_t at = out.size();
  out.resize(at + 2 * in.size());
  out.resize(static_cast<size_t>(PutEscapes(in, percent, out.data() + at) - out.data()));
}

// Pairs of hexadecimal digits to bytes, blanks skipped; zero bytes are left out.
void AppendListing(std::string_view in, std::string& out) {
  const unsigned char* p = Bytes(in);
  const size_t n = in.size();
  Sink w(out, n);
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c == ' ') {
      ++i;
    } else if (c == 0x81 && i + 1 < n && p[i + 1] == 0x40) {  // full-width space
      i += 2;
    } else if (i + 1 < n) {
      const unsigned char v = HexPair(c, p[i + 1]);
      if (v) w.Put(v);
      i += 2;
    } else {
      w.Put(c);
      ++i;
    }
  }
}

void AppendUudecode(std::string_view line, std::string& out) {
  if (line.empty()) return;
  const unsigned char* p = Bytes(line);
  const size_t count = static_cast<size_t>((p[0] - 0x20) & 0x3F);
  auto at = [&](size_t k) -> unsigned { return k < line.size() ? static_cast<unsigned>((p[k] - 0x20) & 0x3F) : 0u; };
  Sink w(out, count + 2);
  size_t written = 0;
  for (size_t k = 1; written < count; k += 4) {
    const unsigned a = at(k), b = at(k + 1), c = at(k + 2), d = at(k + 3);
    const unsigned char bytes[3] = {static_cast<unsigned char>(a << 2 | b >> 4),
                                    static_cast<unsigned char>(b << 4 | c >> 2),
                                    static_cast<unsigned char>(c << 6 | d)};
    for (unsigned char x : bytes)
      if (written < count) {
        w.Put(x);
        ++written;
      }
  }
}

bool IsUuEnd(std::string_view line) {
  while (!line.empty() && IsTrailingSpace(line.back())) line.remove_suffix(1);
  return line == "end";
}

// Replaces the lines by those `produce(i, line, push)` gives for each target line; other
// lines stay as they are. Returns the number of lines added (negative when lines merged).
template <class Produce>
long long RebuildLines(CQuenlarkDoc& doc, Produce&& produce) {
  const std::vector<char> mask = doc.TargetMask();
  const LineArray& old = doc.Lines();
  LineArray next;
  next.Reserve(old.size());
  produce(old, mask, next);
  const long long added = static_cast<long long>(next.size()) - static_cast<long long>(old.size());
  doc.Lines() = std::move(next);
  return added;
}

// A range end given far past the last line (LineSelect's end is any number) must not wrap.
void ShiftRangeEnd(CQuenlarkDoc& doc, long long added) {
  doc.rangeEnd = static_cast<int>(std::clamp<long long>(doc.rangeEnd + added, INT_MIN, INT_MAX));
}

// Creates the file, writes what `each(line, out)` gives for the lines, and says what failed.
template <class Each>
bool DecodeToFile(CQuenlarkDoc& doc, std::string_view path, Each&& each) {
  Platform& p = doc.platform();
  std::unique_ptr<IWriteFile> f = p.files.Create(path);
  if (!f) {
    p.ui.Info(MakeMessage(Txt::CannotOpenFile));
    return false;
  }
  WaitCursor wait(p.ui);
  ResetJisModes();
  bool ok = true;
  std::string buf;  // gathers small lines; written out in pieces of about 64 KB
  const LineArray& lines = doc.Lines();
  for (size_t i = 0; i < lines.size() && ok; ++i) {
    if (lines[i].empty() || !doc.IsTargetLine(i)) continue;
    if (!each(std::string_view(lines[i]), buf)) break;
    if (buf.size() >= (1u << 16)) {
      ok = f->Write(buf);
      buf.clear();
    }
  }
  if (ok && !buf.empty()) ok = f->Write(buf);
  ok = f->Close() && ok;
  if (!ok) {
    p.files.Remove(path);  // a partial file must not pass for the decoded data
    p.ui.Info(MakeMessage(Txt::CannotWriteFile));
    return false;
  }
  doc.BeginUndoStep();
  doc.SetModified();
  return true;
}

}  // namespace

namespace {

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

}  // namespace

// ---------------------------------------------------------------- Base64

size_t Base64Room(size_t n) { return (n + 2) / 3 * 4; }

namespace {

#if defined(__SSE2__)
// Twelve bytes become sixteen characters a step: `pick` spreads each group of three over four
// bytes so that two multiplications move the four six-bit values into bytes of their own, and
// a table of sixteen offsets, chosen by the range each value lies in, turns them into letters.
__attribute__((target("ssse3"))) inline __m128i Base64Of12(__m128i bytes, __m128i pick) {
  const __m128i in = _mm_shuffle_epi8(bytes, pick);
  const __m128i hi = _mm_mulhi_epu16(_mm_and_si128(in, _mm_set1_epi32(0x0FC0FC00)), _mm_set1_epi32(0x04000040));
  const __m128i lo = _mm_mullo_epi16(_mm_and_si128(in, _mm_set1_epi32(0x003F03F0)), _mm_set1_epi32(0x01000010));
  const __m128i values = _mm_or_si128(hi, lo);  // 0-63 in every byte
  // 0-25 take entry 13, 26-51 entry 0, 52-61 entries 1-10, 62 and 63 entries 11 and 12.
  const __m128i offsets = _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                        '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
  __m128i entry = _mm_subs_epu8(values, _mm_set1_epi8(51));
  entry = _mm_or_si128(entry, _mm_and_si128(_mm_cmpgt_epi8(_mm_set1_epi8(26), values), _mm_set1_epi8(13)));
  return _mm_add_epi8(_mm_shuffle_epi8(offsets, entry), values);
}

// The whole groups of three of a text of at least sixteen bytes; returns the bytes encoded.
// Sixteen bytes are read a step; the last groups are read from the last sixteen bytes of the
// text, moved into place by the spreading shuffle, and only their characters are stored.
__attribute__((target("ssse3"))) size_t PutBase64Ssse3(const unsigned char* p, size_t n, char*& to) {
  const __m128i spread = _mm_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
  size_t i = 0;
  for (; i + 16 <= n; i += 12, to += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), Base64Of12(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), spread));
  const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
  auto fromLast = [&] { return _mm_add_epi8(spread, _mm_set1_epi8(static_cast<char>(i - (n - 16)))); };
  if (n - i >= 12) {  // fewer than sixteen left: the next twelve sit one to four bytes into `last`
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), Base64Of12(last, fromLast()));
    i += 12;
    to += 16;
  }
  const size_t groups = (n - i) / 3;  // at most three
  if (groups > 0) {
    __m128i chars = Base64Of12(last, fromLast());
    if (groups >= 2) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(to), chars);
      chars = _mm_srli_si128(chars, 8);
      to += 8;
    }
    if (groups != 2) {
      const uint32_t four = static_cast<uint32_t>(_mm_cvtsi128_si32(chars));
      std::memcpy(to, &four, 4);
      to += 4;
    }
    i += 3 * groups;
  }
  return i;
}

// One line of a run at `p`, of n bytes, followed by its CR LF and at least fourteen more
// readable bytes: twelve bytes a step, the last step reading past the line. The bytes read
// past it need no clearing: the first is the CR, whose top four bits (all that a short last
// group takes from the byte after it) are zero, and the characters of the rest are
// overwritten. The "=" fill is put where the line's characters end; stores reach up to
// sixteen bytes past them, into room that the next line overwrites.
__attribute__((target("ssse3"))) inline char* PutBase64Over(const unsigned char* p, size_t n, char* to) {
  const __m128i spread = _mm_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
  char* const start = to;
  for (size_t i = 0; i < n; i += 12, to += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), Base64Of12(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), spread));
  char* const end = start + (n + 2) / 3 * 4;
  const size_t cut = n % 3;  // the last group's bytes, when it is short
  end[cut ? -1 : 0] = '=';   // past the end when nothing is short: the next bytes overwrite it
  end[cut == 1 ? -2 : 0] = '=';
  return end;
}
#endif

}  // namespace

char* PutBase64(std::string_view bytes, char* to) {
  const unsigned char* p = Bytes(bytes);
  const size_t n = bytes.size();
  size_t i = 0;
#if defined(__SSE2__)
  if (n >= 16 && Cpu() >= CpuLevel::Ssse3) i = PutBase64Ssse3(p, n, to);
#endif
  for (; i + 3 <= n; i += 3) {
    const unsigned v = static_cast<unsigned>(p[i]) << 16 | static_cast<unsigned>(p[i + 1]) << 8 | p[i + 2];
    std::memcpy(to, kBase64Pairs[v >> 12].data(), 2);
    std::memcpy(to + 2, kBase64Pairs[v & 0xFFF].data(), 2);
    to += 4;
  }
  if (n - i == 1) {
    *to++ = kAlphabet[p[i] >> 2];
    *to++ = kAlphabet[(p[i] & 3) << 4];
    *to++ = '=';
    *to++ = '=';
  } else if (n - i == 2) {
    *to++ = kAlphabet[p[i] >> 2];
    *to++ = kAlphabet[(p[i] & 3) << 4 | p[i + 1] >> 4];
    *to++ = kAlphabet[(p[i + 1] & 15) << 2];
    *to++ = '=';
  }
  return to;
}

void AppendBase64(std::string_view bytes, std::string& out) {
  const size_t at = out.size();
  out.resize(at + Base64Room(bytes.size()));  // exact
  PutBase64(bytes, out.data() + at);
}

size_t ToMimeRoom(size_t n) { return 2 * n + 16; }

char* PutToMimeLines(std::string_view lines, char* to) {
#if defined(__SSE2__)
  // With sixteen readable bytes after the line (its CR LF and the lines after it), twelve
  // bytes a step.
  if (Cpu() >= CpuLevel::Ssse3) {
    return PutEachLine(lines, to, [](std::string_view line, size_t after, char* at) {
      return after >= 16 ? PutBase64Over(Bytes(line), line.size(), at) : PutBase64(line, at);
    });
  }
#endif
  return PutEachLine(lines, to, [](std::string_view line, size_t, char* at) { return PutBase64(line, at); });
}

size_t PutBase64Piece(std::string_view rest, bool ends, uint32_t&, char*& to) {
  const size_t k = ends ? rest.size() : rest.size() - rest.size() % 3;  // whole groups of three
  to = PutBase64(rest.substr(0, k), to);
  return k;
}

std::string Base64Encode(std::string_view bytes) {
  std::string s;
  AppendBase64(bytes, s);
  return s;
}

void AppendBase64Decode(std::string_view text, std::string& out) {
  const unsigned char* p = Bytes(text);
  const size_t n = text.size();
  Sink w(out, n / 4 * 3 + 3);
  for (size_t i = 0; i + 1 < n; i += 4) {
    // A group cut short by the end reads as filled with "=".
    const unsigned char c2 = i + 2 < n ? p[i + 2] : '=', c3 = i + 3 < n ? p[i + 3] : '=';
    const unsigned a = kB64[p[i]], b = kB64[p[i + 1]], c = kB64[c2], d = kB64[c3];
    w.Put(static_cast<unsigned char>(a << 2 | b >> 4));
    if (c2 == '=') break;
    w.Put(static_cast<unsigned char>(b << 4 | c >> 2));
    if (c3 == '=') break;
    w.Put(static_cast<unsigned char>(c << 6 | d));
  }
}

std::string Base64Decode(std::string_view text) {
  std::string s;
  AppendBase64Decode(text, s);
  return s;
}

std::string EqualsDecode(std::string_view text) {
  std::string s;
  AppendEscapes(text, false, s);
  return s;
}

// ---------------------------------------------------------------- MIME

std::string ToMimeLine(std::string_view line) { return Base64Encode(line); }  // sized exactly

std::string DecodeEncodedWords(const ICodePage& cp, std::string_view line) {
  const size_t start = line.find("=?");
  if (start == std::string_view::npos) return std::string(line);
  const size_t q1 = line.find('?', start + 2);
  if (q1 == std::string_view::npos) return std::string(line);
  const size_t q2 = line.find('?', q1 + 1);
  if (q2 == std::string_view::npos || q2 != q1 + 2) return std::string(line);  // one-character encoding only
  const std::string_view charset = line.substr(start + 2, q1 - start - 2);
  char encoding = line[q1 + 1];
  if (encoding >= 'a' && encoding <= 'z') encoding = static_cast<char>(encoding - 32);
  const std::string prefix = "=?" + std::string(charset) + "?" + encoding + "?";
  const bool utf8 = SameLetters(charset, "utf-8"), utf7 = SameLetters(charset, "unicode-1-1-utf-7");

  std::string out;
  out.reserve(line.size());
  size_t pos = 0;
  for (;;) {
    const size_t at = FindCaseBlind(line, prefix, pos);
    if (at == std::string_view::npos) break;
    const size_t textAt = at + prefix.size();
    const size_t end = line.find("?=", textAt);
    if (end == std::string_view::npos) break;
    std::string_view text = line.substr(textAt, end - textAt);
    while (!text.empty() && IsTrailingSpace(text.back())) text.remove_suffix(1);
    std::string bytes;
    if (encoding == 'B') {
      AppendBase64Decode(text, bytes);
      EndAtZero(bytes, 0);
    } else {
      AppendEscapes(text, false, bytes);
    }
    if (utf8) bytes = Utf8ToSjisLine(cp, bytes);
    else if (utf7) bytes = Utf7ToSjisLine(cp, bytes);
    out.append(line.substr(pos, at - pos));
    out += bytes;
    pos = end + 2;
  }
  out.append(line.substr(pos));
  return out;
}

std::string MimeToSjisLine(const ICodePage& cp, std::string_view line, JisModes& modes) {
  std::string s;
  AppendMimeToSjis(cp, line, modes, s);
  return s;
}

void AppendMimeToSjis(const ICodePage& cp, std::string_view line, JisModes& modes, std::string& out) {
  if (line.find("=?") == std::string_view::npos) {
    const size_t from = out.size();
    AppendBase64Decode(line, out);
    EndAtZero(out, from);
    return;
  }
  AppendJisToSjis(DecodeEncodedWords(cp, line), modes, out);
}

namespace {

// What a long MimeToSjis line carries from piece to piece.
enum MimePiece : uint32_t {
  kMimeUnseen,     // nothing known yet
  kMimeEquals,     // looked at so far without "=?", the last part ending in "="
  kMimeBase64,     // the line holds no "=?": Base64
  kMimeWords,      // it does: encoded words, the line converted whole
  kMimeDone,       // Base64 ended by a "=" fill or a zero byte: the rest gives nothing
};

// Base64 of whole groups of the front of `rest`, as far as `most` bytes (all of `rest` when it
// ends the line), following the decoding of the whole line.
size_t AppendBase64Slice(std::string_view rest, bool ends, size_t most, uint32_t& carry, std::string& out) {
  if (carry == kMimeDone) return rest.size();
  size_t k = std::min(rest.size(), most);
  if (!ends || k < rest.size()) k -= k % 4;
  const size_t from = out.size();
  AppendBase64Decode(rest.substr(0, k), out);
  if (const size_t z = out.find('\0', from); z != std::string::npos) {
    out.resize(z);
    carry = kMimeDone;
  } else if (out.size() - from < k / 4 * 3) {
    carry = kMimeDone;  // a group with "=" fill ends the text
  }
  return k;
}

}  // namespace

void LookMimeToSjis(std::string_view part, bool ends, uint32_t& carry) {
  if (carry != kMimeUnseen && carry != kMimeEquals) return;
  if ((carry == kMimeEquals && !part.empty() && part[0] == '?') || part.find("=?") != std::string_view::npos) {
    carry = kMimeWords;
  } else if (ends) {
    carry = kMimeBase64;
  } else if (!part.empty()) {
    carry = part.back() == '=' ? kMimeEquals : kMimeUnseen;
  }
}

size_t AppendMimeToSjisPiece(const ICodePage& cp, std::string_view rest, bool ends, uint32_t& carry, JisModes& modes,
                             std::string& out) {
  // Slices of whole groups, so that the output goes out as it is made.
  constexpr size_t kSlice = size_t{1} << 16;
  // Whether the line holds "=?" anywhere decides how all of it converts: before its end has
  // been seen (by LookMimeToSjis or in this rest), nothing is taken.
  if (carry == kMimeUnseen || carry == kMimeEquals) {
    if (!ends) return 0;
    carry = rest.find("=?") == std::string_view::npos ? kMimeBase64 : kMimeWords;
  }
  if (carry == kMimeWords) {
    if (!ends) return 0;  // decoded in place over the whole line
    AppendJisToSjis(DecodeEncodedWords(cp, rest), modes, out);
    return rest.size();
  }
  return AppendBase64Slice(rest, ends, kSlice, carry, out);
}

std::string SjisToMimeLine(std::string_view line, const JisEncoderSettings& settings, JisModes& modes) {
  modes.Reset();
  if (!HasLeadByte(line)) return std::string(line);  // ASCII and half-width katakana alone stay
  std::string jis = SjisToJisLine(line, settings, modes);
  modes.Reset();
  std::string out = "=?ISO-2022-JP?B?";
  AppendBase64(jis, out);
  out += "?=";
  return out;
}

// ---------------------------------------------------------------- URL

size_t SjisToUrlRoom(size_t n) { return n * 3 + 7; }

namespace {

// kUrlForms split in two for the loop below: each byte's four stored bytes and its length.
template <class T, class F>
constexpr std::array<T, 256> UrlTable(F field) {
  std::array<T, 256> t{};
  for (int b = 0; b < 256; ++b) t[b] = field(kUrlForms[b]);
  return t;
}
constexpr auto kUrlWords = UrlTable<uint32_t>([](const UrlForm& f) {
  uint32_t w = 0;
  for (int k = 3; k >= 0; --k) w = w << 8 | static_cast<unsigned char>(f.bytes[k]);  // as stored, lowest byte first
  return w;
});
constexpr auto kUrlLengths = UrlTable<unsigned char>([](const UrlForm& f) { return f.length; });

}  // namespace

// Two bytes' forms are joined in a register and stored as eight bytes, so the room must
// reach seven bytes past the result. Each step reads all it needs before it stores: the
// stores go through a char pointer that the compiler must otherwise assume may change the tables.
char* PutSjisToUrl(std::string_view line, char* to) {
  static_assert(std::endian::native == std::endian::little, "the forms are stored lowest byte first");
  const unsigned char* p = Bytes(line);
  const size_t n = line.size();
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const unsigned l0 = kUrlLengths[p[i]], l1 = kUrlLengths[p[i + 1]], l2 = kUrlLengths[p[i + 2]];
    const uint64_t a = kUrlWords[p[i]] | uint64_t{kUrlWords[p[i + 1]]} << (8 * l0);
    const uint64_t b = kUrlWords[p[i + 2]] | uint64_t{kUrlWords[p[i + 3]]} << (8 * l2);
    const size_t la = l0 + l1, lb = l2 + kUrlLengths[p[i + 3]];
    std::memcpy(to, &a, 8);
    std::memcpy(to + la, &b, 8);
    to += la + lb;
  }
  for (; i < n; ++i) {
    const uint32_t w = kUrlWords[p[i]];
    const size_t l = kUrlLengths[p[i]];
    std::memcpy(to, &w, 4);
    to += l;
  }
  return to;
}

char* PutSjisToUrlLines(std::string_view lines, char* to) {
  return PutEachLine(lines, to, [](std::string_view line, size_t, char* at) { return PutSjisToUrl(line, at); });
}

std::string SjisToUrlLine(std::string_view line) {
  // Sized exactly first, so the line is written once into storage of its own.
  size_t size = line.size();
  for (unsigned char c : line) size += kUrlSafe[c] ? 0 : 2;
  std::string out(size + 7, '\0');  // the last store may reach seven past the result
  out.resize(static_cast<size_t>(PutSjisToUrl(line, out.data()) - out.data()));
  return out;
}

void AppendSjisToUrl(std::string_view line, std::string& out) {
  const size_t at = out.size();
  out.resize(at + SjisToUrlRoom(line.size()));
  out.resize(static_cast<size_t>(PutSjisToUrl(line, out.data() + at) - out.data()));
}

std::string UrlToSjisLine(std::string_view line) {
  std::string s;
  AppendEscapes(line, true, s);
  return s;
}

void AppendUrlToSjis(std::string_view line, std::string& out) { AppendEscapes(line, true, out); }

size_t UrlToSjisRoom(size_t n) { return 2 * n + 16; }

char* PutUrlToSjis(std::string_view line, char* to) { return PutEscapes(line, true, to); }

size_t PutUrlToSjisPiece(std::string_view rest, bool ends, uint32_t& carry, char*& to) {
  bool flag = carry != 0;
  size_t taken;
  to = PutEscapes(rest, true, to, 0, flag, ends ? rest.size() : rest.size() - std::min<size_t>(rest.size(), 2), taken);
  carry = flag;
  return taken;
}

char* PutUrlToSjisLines(std::string_view lines, char* to) {
  return PutEachLine(lines, to, [](std::string_view line, size_t after, char* at) { return PutEscapes(line, true, at, after); });
}

// ---------------------------------------------------------------- code listings

std::string ToSjisCodeLine(std::string_view line) {
  std::string out;
  {
    Sink w(out, line.size() * 3);
    for (unsigned char c : line) {
      w.Put2(kHex[c].data());
      w.Put(' ');
    }
  }
  return out;
}

std::string ToJisCodeLine(std::string_view line) {
  const unsigned char* p = Bytes(line);
  const size_t n = line.size();
  size_t size = 0;
  for (size_t i = 0; i < n; i += sjis::CharLen(line, i)) size += sjis::CharLen(line, i) == 2 ? 5 : 3;
  std::string out;
  {
    Sink w(out, size);
    size_t i = 0;
    while (i < n) {
      if (sjis::CharLen(line, i) == 2) {
        const uint16_t j = SjisToJisCode(p[i], p[i + 1]);
        w.Put2(kHex[j >> 8].data());
        w.Put2(kHex[j & 0xFF].data());
        i += 2;
      } else {
        w.Put2(kHex[p[i]].data());
        ++i;
      }
      w.Put(' ');
    }
  }
  return out;
}

std::string CodeToSjisLine(std::string_view line) {
  std::string s;
  AppendListing(line, s);
  return s;
}

std::string CodeToJisLine(std::string_view line) {
  const std::string d = CodeToSjisLine(line);
  const unsigned char* p = Bytes(d);
  const size_t n = d.size();
  std::string s;
  {
    Sink w(s, n);
    size_t i = 0;
    while (i < n) {
      const uint16_t c = i + 1 < n ? JisToSjisCode(p[i], p[i + 1]) : 0;
      if (c) {
        w.Put(static_cast<unsigned char>(c >> 8));
        w.Put(static_cast<unsigned char>(c & 0xFF));
        i += 2;
      } else {
        w.Put(p[i]);
        ++i;
      }
    }
  }
  return s;
}

// ---------------------------------------------------------------- uuencode

std::string UudecodeLine(std::string_view line) {
  std::string s;
  AppendUudecode(line, s);
  return s;
}

// ---------------------------------------------------------------- document operations

void ToMime(CQuenlarkDoc& doc) { ConvertTargetLines(doc, ToMimeLine); }

void MimeToSjis(CQuenlarkDoc& doc) {
  ResetJisModes();
  const ICodePage& cp = doc.platform().codepage;
  ConvertTargetLines(doc, [&](std::string_view l) { return MimeToSjisLine(cp, l, SharedJisModes()); });
}

void SjisToMime(CQuenlarkDoc& doc) {
  ResetJisModes();
  ConvertTargetLines(doc, [](std::string_view l) { return SjisToMimeLine(l, SharedJisEncoder(), SharedJisModes()); });
  ResetJisModes();
}

void SjisToUrl(CQuenlarkDoc& doc) { ConvertTargetLines(doc, SjisToUrlLine); }

void UrlToSjis(CQuenlarkDoc& doc) {
  WaitCursor wait(doc.platform().ui);
  doc.BeginUndoStep();
  std::string buf;
  const long long added = RebuildLines(doc, [&](const LineArray& old, const std::vector<char>& mask, LineArray& next) {
    for (size_t i = 0; i < old.size(); ++i) {
      if (!mask[i] || old[i].empty()) {
        next.PushShared(old, i);
        continue;
      }
      buf.clear();
      AppendEscapes(old[i], true, buf);
      if (buf == old[i]) {
        next.PushShared(old, i);
        continue;
      }
      std::string_view rest = buf;
      for (;;) {
        const size_t q = rest.find("\r\n");
        if (q == std::string_view::npos) break;
        next.PushBack(std::string(rest.substr(0, q)));
        rest.remove_prefix(q + 2);
      }
      next.PushBack(std::string(rest));
    }
  });
  ShiftRangeEnd(doc, added);
  doc.SetModified();
}

void UrleToSjis(CQuenlarkDoc& doc) {
  WaitCursor wait(doc.platform().ui);
  doc.BeginUndoStep();
  const long long added = RebuildLines(doc, [](const LineArray& old, const std::vector<char>& mask, LineArray& next) {
    std::string acc;
    size_t pieces = 0;  // lines gathered in acc
    auto flush = [&](size_t lastIndex) {
      // A single line that decodes to itself keeps its shared bytes.
      std::string decoded = EqualsDecode(acc);
      if (pieces == 1 && decoded == old[lastIndex]) next.PushShared(old, lastIndex);
      else next.PushBack(std::move(decoded));
      acc.clear();
      pieces = 0;
    };
    size_t last = 0;
    for (size_t i = 0; i < old.size(); ++i) {
      const std::string& l = old[i];
      if (!mask[i] || l.empty()) {
        next.PushShared(old, i);
        continue;
      }
      last = i;
      ++pieces;
      if (l.back() == '=') {
        acc.append(l, 0, l.size() - 1);  // soft line break
        continue;
      }
      acc += l;
      flush(i);
    }
    if (pieces > 0) flush(last);
  });
  ShiftRangeEnd(doc, added);
  doc.SetModified();
}

void ToSjisCode(CQuenlarkDoc& doc) { ConvertTargetLines(doc, ToSjisCodeLine); }
void ToJisCode(CQuenlarkDoc& doc) { ConvertTargetLines(doc, ToJisCodeLine); }
void CodeToSjis(CQuenlarkDoc& doc) { ConvertTargetLines(doc, CodeToSjisLine); }
void CodeToJis(CQuenlarkDoc& doc) { ConvertTargetLines(doc, CodeToJisLine); }

bool MimeOut(CQuenlarkDoc& doc, std::string_view path) {
  return DecodeToFile(doc, path, [](std::string_view line, std::string& out) {
    AppendBase64Decode(line, out);  // zero bytes included: this is file data
    return true;
  });
}

bool UuencodeOut(CQuenlarkDoc& doc, std::string_view path) {
  return DecodeToFile(doc, path, [](std::string_view line, std::string& out) {
    if (line.find("begin") != std::string_view::npos) return true;
    if (IsUuEnd(line) || ((static_cast<unsigned char>(line[0]) - 0x20) & 0x3F) == 0) return false;
    AppendUudecode(line, out);
    return true;
  });
}

}  // namespace qlk
