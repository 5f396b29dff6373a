#include "conv/Detect.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "conv/Jis.h"
#include "conv/LineWalk.h"
#include "conv/Unicode.h"
#include "platform/Files.h"

namespace qlk {
namespace {

constexpr unsigned char kEsc = 0x1B;

bool SjisOnlyLead(unsigned b) { return (b >= 0x81 && b <= 0x8D) || (b >= 0x8F && b <= 0x9F); }

// Bytes of a text; reads past the end give 0, which every rule takes as "no such byte".
struct Text {
  const unsigned char* p;
  size_t n;
  unsigned operator()(size_t k) const { return k < n ? p[k] : 0u; }
};

// A line followed by the CR LF that the document's text puts after every line. No rule
// looks further ahead from a byte of the line than the LF, and CR and LF decide nothing, so
// each line can be scanned on its own with the result carried from the line before.
struct LineWithBreak {
  const unsigned char* p;
  size_t len;
  size_t n;
  unsigned operator()(size_t k) const { return k < len ? p[k] : k == len ? '\r' : k == len + 1 ? '\n' : 0u; }
};

// The bytes a scan still holds from the pieces before, then the next piece.
struct Joined {
  const unsigned char* a;
  size_t na;
  const unsigned char* b;
  size_t n;  // na + the size of b
  unsigned operator()(size_t k) const { return k < na ? a[k] : k < n ? b[k - na] : 0u; }
};

bool Undecided(int r) { return r == kCodeAscii || r == kCodeUnknown; }

// Continues a scan over `s` until a decision or the end. A step reads at most two bytes past
// the one it starts at, except a run, which reads one byte at a time. With `final` the text
// ends at s.n; otherwise more bytes may follow, so a step starts only where all its bytes are
// held, and a run stops at the end of them to go on in the next ones.
template <class Src>
int Advance(const Src& s, CodeScanState& st, bool file, bool final) {
  const size_t n = s.n;
  const size_t stepEnd = final ? n : n >= 2 ? n - 2 : 0;
  size_t i = st.i;
  int r = st.r;
  while (Undecided(r)) {
    if (st.run) {
      // Both codes allow the pair before: look on through the following high bytes for one
      // that only one of them allows. The first byte below 0x40 ends the run.
      size_t k = i;
      while (k < n && s(k) >= 0x40 && r == kCodeUnknown) {
        const unsigned x = s(k);
        if (SjisOnlyLead(x)) r = kCodeSjis;
        else if (x == 0xFD || x == 0xFE) r = kCodeEuc;
        ++k;
      }
      if (r == kCodeUnknown && k == n && !final) {
        i = k;
        break;
      }
      st.run = false;
      i = k + 1;
      continue;
    }
    if (i >= stepEnd) break;
    const unsigned b = s(i);
    const unsigned c = s(i + 1);  // the following byte, 0 past the end
    if (b < 0x80 && b != kEsc) {
      ++i;
    } else if (b == kEsc) {
      if (file) {
        // Only the two-byte escapes count; ESC and the byte after it are passed over.
        if (c == '$') {
          const unsigned d = s(i + 2);
          if (d == 'B' || d == '@') r = kCodeJis;
          i += 3;
        } else {
          i += 2;
        }
      } else {
        const bool intro = c == '$' || c == '&' || c == '(';
        const unsigned d = s(i + 2);
        if (intro && (d == 'B' || d == '@' || d == 'J' || d == 'H')) r = kCodeJis;
        i += intro ? 3 : 2;
      }
    } else if (SjisOnlyLead(b)) {
      r = kCodeSjis;
    } else if (b == 0x8E) {
      if ((c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xA0) || (c >= 0xE0 && c <= 0xFC)) r = kCodeSjis;
      else if (c >= 0xA1 && c <= 0xDF) r = kCodeUnknown;
      i += 2;
    } else if (b >= 0xA1 && b <= 0xDF) {
      if (c >= 0xF0 && c <= 0xFE) {
        r = kCodeEuc;
        i += 2;
      } else if (c >= 0xA1 && c <= 0xDF) {
        r = kCodeUnknown;
        i += 2;
      } else if (c >= 0xE0 && c <= 0xEF) {
        r = kCodeUnknown;
        st.run = true;
        i += 2;
      } else if (c <= 0x9F) {  // a half-width katakana followed by ASCII, or the end
        r = kCodeSjis;
        i += 2;
      } else {  // 0xA0 or 0xFF
        i += 2;
      }
    } else if (b >= 0xF0 && b <= 0xFE) {
      r = kCodeEuc;
    } else if (b >= 0xE0 && b <= 0xEF) {
      if ((c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xA0)) r = kCodeSjis;
      else if (c == 0xFD || c == 0xFE) r = kCodeEuc;
      else if (c >= 0xA1 && c <= 0xFC) r = kCodeUnknown;
      i += 2;
    } else {
      ++i;
    }
  }
  st.i = i;
  st.r = r;
  return r;
}

// Continues a scan from result `r` (4 or 5) over the whole of `s`.
template <class Src>
int Scan(const Src& s, int r, bool file) {
  CodeScanState st;
  st.r = r;
  return Advance(s, st, file, true);
}

bool AsciiWord(const unsigned char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return (w & 0x8080808080808080ull) == 0;
}

// Eight bytes with byte k in bits 8k..8k+7.
uint64_t LoadLittle(const unsigned char* p) {
  uint64_t w;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&w, p, 8);
  } else {
    w = 0;
    for (int k = 7; k >= 0; --k) w = w << 8 | p[k];
  }
  return w;
}

}  // namespace

Txt CodeName(int code) {
  switch (code) {
    case kCodeSjis: return Txt::CodeNameSjis;
    case kCodeJis: return Txt::CodeNameJis;
    case kCodeEuc: return Txt::CodeNameEuc;
    case kCodeUtf8: return Txt::CodeNameUtf8;
    case kCodeAscii: return Txt::CodeNameAscii;
    default: return Txt::CodeNameUnknown;
  }
}

int ScanTextCode(std::string_view text) {
  return Scan(Text{reinterpret_cast<const unsigned char*>(text.data()), text.size()}, kCodeAscii, false);
}

int ScanFileCode(std::string_view bytes) {
  return Scan(Text{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}, kCodeAscii, true);
}

bool IsUtf8Text(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n && AsciiWord(p + i)) {
      i += 8;
      continue;
    }
    const unsigned b = p[i];
    size_t follow;
    if (b < 0x80) follow = 0;
    else if (b >= 0xC0 && b <= 0xDF) follow = 1;
    else if (b >= 0xE0 && b <= 0xEF) follow = 2;
    else return false;
    if (n - i - 1 < follow) return false;  // ends inside a sequence
    for (size_t k = 1; k <= follow; ++k)
      if ((p[i + k] & 0xC0) != 0x80) return false;
    i += follow + 1;
  }
  return true;
}

int DetectTextCode(std::string_view text) {
  const int r = ScanTextCode(text);
  return r == kCodeSjis && IsUtf8Text(text) ? kCodeUtf8 : r;
}

int DetectDocumentCode(const CQuenlarkDoc& doc) {
  // The same answer as DetectTextCode(doc.GetText()), without building the text.
  const LineArray& lines = doc.Lines();
  int r = kCodeAscii;
  for (size_t i = 0; i < lines.size() && (r == kCodeAscii || r == kCodeUnknown); ++i) {
    const std::string& l = lines[i];
    r = Scan(LineWithBreak{reinterpret_cast<const unsigned char*>(l.data()), l.size(), l.size() + 2}, r, false);
  }
  if (r != kCodeSjis) return r;
  // CR LF cannot continue a sequence, so the text is UTF-8 when every line is.
  for (size_t i = 0; i < lines.size(); ++i)
    if (!IsUtf8Text(lines[i])) return r;
  return kCodeUtf8;
}

int DetectLoadedTextCode(std::string_view clipText) {
  std::string_view t = clipText.substr(0, clipText.find('\0'));
  if (t.empty()) return kCodeAscii;  // no lines
  if (t.ends_with("\r\n")) return DetectTextCode(t);
  std::string withBreak;
  withBreak.reserve(t.size() + 2);
  withBreak.append(t).append("\r\n");
  return DetectTextCode(withBreak);
}

FileCode DetectFileCode(std::string_view bytes) {
  switch (ScanFileCode(bytes)) {
    case kCodeJis: return FileCode::Jis;
    case kCodeEuc: return FileCode::Euc;
    default: return FileCode::None;
  }
}

void CodeDetector::Scanner::Feed(const unsigned char* p, size_t n, bool final) {
  if (!Undecided(st.r)) return;
  const Joined s{held, nHeld, p, nHeld + n};
  Advance(s, st, file, final);
  if (final || !Undecided(st.r)) return;
  // What the scan has not read yet: nothing inside a run, else at most the last two bytes.
  unsigned char keep[2];
  const size_t k = s.n - st.i;
  for (size_t j = 0; j < k; ++j) keep[j] = static_cast<unsigned char>(s(st.i + j));
  std::memcpy(held, keep, k);
  nHeld = k;
  st.i = 0;
}

void CodeDetector::Utf8Test::Feed(const unsigned char* p, size_t n) {
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  size_t i = 0;
#if defined(__SSE2__)
  // Sixty-four bytes at a time, the same test on masks of one bit per byte; `due` has bit 0
  // (and bit 1) set when the first byte (and the second) of the next block must continue.
  {
    uint64_t due = need == 0 ? 0 : need == 1 ? 1 : 3;
    for (; i + 64 <= n && !failed; i += 64) {
      __m128i v[4];
      for (int k = 0; k < 4; ++k) v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16 * k));
      const __m128i any = _mm_or_si128(_mm_or_si128(v[0], v[1]), _mm_or_si128(v[2], v[3]));
      if (!due && !_mm_movemask_epi8(any)) continue;  // ASCII
      uint64_t high = 0, lead = 0, three = 0, four = 0;
      for (int k = 0; k < 4; ++k) {
        const auto top = [](__m128i x) { return uint64_t{static_cast<unsigned>(_mm_movemask_epi8(x))}; };
        high |= top(v[k]) << (16 * k);                         // 1xxxxxxx
        lead |= top(_mm_slli_epi64(v[k], 1)) << (16 * k);      // x1xxxxxx
        three |= top(_mm_slli_epi64(v[k], 2)) << (16 * k);     // xx1xxxxx
        four |= top(_mm_slli_epi64(v[k], 3)) << (16 * k);      // xxx1xxxx
      }
      lead &= high;    // 11xxxxxx
      three &= lead;   // 111xxxxx
      four &= three;   // 1111xxxx: no lead of a sequence here
      const uint64_t cont = high & ~lead, two = lead & ~three;
      if (four || cont != (due | two << 1 | three << 1 | three << 2)) failed = true;
      due = two >> 63 | three >> 63 | three >> 62;
    }
    need = due == 0 ? 0 : due == 1 ? 1 : 2;
  }
#endif
  // Eight bytes at a time: the continuation bytes must be exactly those that the lead bytes
  // before them call for. Each mask has the top bit of a byte set where the byte is of its
  // kind; `due` marks the bytes of the next word that leads in this one call for.
  uint64_t due = need == 0 ? 0 : need == 1 ? 0x80 : 0x8080;
  for (; i + 8 <= n && !failed; i += 8) {
    const uint64_t w = LoadLittle(p + i);
    const uint64_t high = w & kHigh;
    if (!high && !due) continue;
    const uint64_t cont = high & ~(w << 1);           // 10xxxxxx
    const uint64_t lead = high & (w << 1);            // 11xxxxxx
    const uint64_t three = lead & (w << 2) & kHigh;   // 111xxxxx
    const uint64_t four = three & (w << 3) & kHigh;   // 1111xxxx: no lead of a sequence here
    const uint64_t two = lead & ~three;
    if (four || cont != (due | two << 8 | three << 8 | three << 16)) failed = true;
    due = two >> 56 | three >> 56 | three >> 48;
  }
  need = due == 0 ? 0 : (due & 0x8000) ? 2 : 1;
  for (; need > 0 && i < n && !failed; ++i, --need) failed = (p[i] & 0xC0) != 0x80;
  while (i < n && !failed) {
    const unsigned b = p[i];
    int follow;
    if (b < 0x80) follow = 0;
    else if (b >= 0xC0 && b <= 0xDF) follow = 1;
    else if (b >= 0xE0 && b <= 0xEF) follow = 2;
    else {
      failed = true;
      break;
    }
    ++i;
    for (; follow > 0 && i < n; ++i, --follow)
      if ((p[i] & 0xC0) != 0x80) failed = true;
    need = follow;  // cut by the end of the piece
  }
}

void CodeDetector::Feed(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  file_.Feed(p, bytes.size(), false);
  if (docEnded_ || bytes.empty()) return;
  const void* nul = std::memchr(p, 0, bytes.size());
  const size_t n = nul ? static_cast<size_t>(static_cast<const unsigned char*>(nul) - p) : bytes.size();
  doc_.Feed(p, n, false);
  // The UTF-8 test counts only for a Shift-JIS answer.
  if (!utf8_.failed && (Undecided(doc_.st.r) || doc_.st.r == kCodeSjis)) utf8_.Feed(p, n);
  if (n >= 2) {
    last_[0] = p[n - 2];
    last_[1] = p[n - 1];
  } else if (n == 1) {
    last_[0] = last_[1];
    last_[1] = p[0];
  }
  docLen_ += n;
  if (nul) EndDocument();
}

void CodeDetector::EndDocument() {
  docEnded_ = true;
  if (docLen_ == 0) {
    docCode_ = kCodeAscii;  // no lines
    return;
  }
  // The loaded text ends every line with CR LF.
  const bool crlf = docLen_ >= 2 && last_[0] == '\r' && last_[1] == '\n';
  doc_.Feed(reinterpret_cast<const unsigned char*>("\r\n"), crlf ? 0 : 2, true);
  const bool utf8 = !utf8_.failed && utf8_.need == 0;
  docCode_ = doc_.st.r == kCodeSjis && utf8 ? kCodeUtf8 : doc_.st.r;
}

bool CodeDetector::Done() const {
  if (Undecided(file_.st.r)) return false;
  if (docEnded_) return true;
  const int r = doc_.st.r;
  return r == kCodeJis || r == kCodeEuc || (r == kCodeSjis && utf8_.failed);
}

FileCodes CodeDetector::Finish() {
  file_.Feed(nullptr, 0, true);
  if (!docEnded_) EndDocument();
  return {file_.st.r, docCode_};
}

std::optional<FileCodes> DetectFileCodes(IReadFile& file) {
  // Small pieces first, as most files are answered by their first bytes; larger ones after,
  // so that a file read to its end costs few calls.
  constexpr size_t kFirst = 64 * 1024, kLargest = 64 * 1024;
  std::string buf;
  CodeDetector d;
  for (size_t size = kFirst; !d.Done(); size = std::min(size * 2, kLargest)) {
    if (buf.size() < size) buf.resize(size);
    const std::optional<size_t> got = file.Read(buf.data(), size);
    if (!got) return std::nullopt;
    if (*got == 0) break;
    d.Feed(std::string_view(buf.data(), *got));
  }
  return d.Finish();
}

void ToSjis(CQuenlarkDoc& doc) {
  ResetJisModes();
  const int code = DetectDocumentCode(doc);
  const ICodePage& cp = doc.platform().codepage;
  switch (code) {
    case kCodeJis:
      AppendTargetLines(doc, [](std::string_view l, std::string& out) { AppendJisToSjis(l, SharedJisModes(), out); });
      break;
    case kCodeEuc:
      ConvertTargetLines(doc, EucToSjisLine);
      break;
    case kCodeUtf8:
      AppendTargetLines(doc, [&](std::string_view l, std::string& out) { AppendUtf8ToSjisLine(cp, l, out); });
      break;
    default: {
      // Nothing to convert; the command still counts as a change of the document.
      WaitCursor wait(doc.platform().ui);
      doc.BeginUndoStep();
      doc.SetModified();
    }
  }
}

}  // namespace qlk
