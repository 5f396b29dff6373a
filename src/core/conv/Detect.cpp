#include "conv/Detect.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "conv/Jis.h"
#include "conv/LineWalk.h"
#include "conv/Unicode.h"
#include "conv/simd/Utf8Check.h"
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

bool Undecided(DetectedCode r) { return r == kCodeAscii || r == kCodeUnknown; }

// Continues a scan over `s` until a decision or the end. A step reads at most two bytes past
// the one it starts at, except a run, which reads one byte at a time. With `final` the text
// ends at s.n; otherwise more bytes may follow, so a step starts only where all its bytes are
// held, and a run stops at the end of them to go on in the next ones.
template <class Src>
DetectedCode Advance(const Src& s, CodeScanState& st, bool file, bool final) {
  const size_t n = s.n;
  const size_t stepEnd = final ? n : n >= 2 ? n - 2 : 0;
  size_t i = st.i;
  DetectedCode r = st.r;
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
DetectedCode Scan(const Src& s, DetectedCode r, bool file) {
  CodeScanState st;
  st.r = r;
  return Advance(s, st, file, true);
}

}  // namespace

Txt CodeName(DetectedCode code) {
  switch (code) {
    case kCodeSjis: return Txt::CodeNameSjis;
    case kCodeJis: return Txt::CodeNameJis;
    case kCodeEuc: return Txt::CodeNameEuc;
    case kCodeUtf8: return Txt::CodeNameUtf8;
    case kCodeAscii: return Txt::CodeNameAscii;
    default: return Txt::CodeNameUnknown;
  }
}

DetectedCode ScanTextCode(std::string_view text) {
  return Scan(Text{reinterpret_cast<const unsigned char*>(text.data()), text.size()}, kCodeAscii, false);
}

DetectedCode ScanFileCode(std::string_view bytes) {
  return Scan(Text{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}, kCodeAscii, true);
}

bool IsUtf8Text(std::string_view text) {
  Utf8State s;
  FeedUtf8(reinterpret_cast<const unsigned char*>(text.data()), text.size(), s);
  return !s.failed && s.need == 0;
}

DetectedCode DetectTextCode(std::string_view text) {
  const DetectedCode r = ScanTextCode(text);
  return r == kCodeSjis && IsUtf8Text(text) ? kCodeUtf8 : r;
}

DetectedCode DetectDocumentCode(const CQuenlarkDoc& doc) {
  // The same answer as DetectTextCode(doc.GetText()), without building the text.
  const LineArray& lines = doc.Lines();
  DetectedCode r = kCodeAscii;
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

DetectedCode DetectLoadedTextCode(std::string_view clipText) {
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

void CodeDetector::Feed(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  file_.Feed(p, bytes.size(), false);
  if (docEnded_ || bytes.empty()) return;
  // The document's text ends at the first zero byte; the UTF-8 test finds it on its way. The
  // test counts only for a Shift-JIS answer, so a JIS or EUC one ends it.
  if (!Undecided(doc_.st.r) && doc_.st.r != kCodeSjis) utf8_.failed = true;
  const size_t n = FeedUtf8ToNul(p, bytes.size(), utf8_);
  doc_.Feed(p, n, false);
  if (n >= 2) {
    last_[0] = p[n - 2];
    last_[1] = p[n - 1];
  } else if (n == 1) {
    last_[0] = last_[1];
    last_[1] = p[0];
  }
  docLen_ += n;
  if (n < bytes.size()) EndDocument();
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
  const DetectedCode r = doc_.st.r;
  return r == kCodeJis || r == kCodeEuc || (r == kCodeSjis && utf8_.failed);
}

FileCodes CodeDetector::Finish() {
  file_.Feed(nullptr, 0, true);
  if (!docEnded_) EndDocument();
  return {file_.st.r, docCode_};
}

std::optional<FileCodes> DetectFileCodes(IReadFile& file) {
  // Pieces of a page-aligned buffer: the kernel copies into it at the speed of whole lines,
  // and it stays in the second-level cache for the test that reads it next.
  constexpr size_t kPiece = 64 * 1024, kPage = 4096;
  struct Free {
    void operator()(char* p) const { ::operator delete[](p, std::align_val_t{kPage}); }
  };
  const std::unique_ptr<char[], Free> buf(static_cast<char*>(::operator new[](kPiece, std::align_val_t{kPage})));
  CodeDetector d;
  while (!d.Done()) {
    const std::optional<size_t> got = file.Read(buf.get(), kPiece);
    if (!got) return std::nullopt;
    if (*got == 0) break;
    d.Feed(std::string_view(buf.get(), *got));
  }
  return d.Finish();
}

void ToSjis(CQuenlarkDoc& doc, JisContext& jis) {
  jis.modes.Reset();
  const DetectedCode code = DetectDocumentCode(doc);
  const ICodePage& cp = doc.platform().codepage;
  switch (code) {
    case kCodeJis:
      AppendTargetLines(doc, [&jis](std::string_view l, std::string& out) { AppendJisToSjis(l, jis.modes, out); });
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
