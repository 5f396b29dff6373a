#include "conv/Detect.h"

#include <cstring>

#include "conv/Jis.h"
#include "conv/LineWalk.h"
#include "conv/Unicode.h"

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

// Continues a scan from result `r` (4 or 5) over `s`; stops at a decision or at the end.
template <class Src>
int Scan(const Src& s, int r, bool file) {
  const size_t n = s.n;
  size_t i = 0;
  while (i < n && (r == kCodeAscii || r == kCodeUnknown)) {
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
        // Both codes allow this pair: look on through the following high bytes for one that
        // only one of them allows. The first byte below 0x40 ends the run.
        r = kCodeUnknown;
        size_t k = i + 2;
        while (k < n && s(k) >= 0x40 && r == kCodeUnknown) {
          const unsigned x = s(k);
          if (SjisOnlyLead(x)) r = kCodeSjis;
          else if (x == 0xFD || x == 0xFE) r = kCodeEuc;
          ++k;
        }
        i = k + 1;
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
  return r;
}

bool AsciiWord(const unsigned char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return (w & 0x8080808080808080ull) == 0;
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
