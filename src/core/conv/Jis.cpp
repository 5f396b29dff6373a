#include "conv/Jis.h"

#include <algorithm>
#include <cstring>

#include "app/SettingKeys.h"
#include "conv/LineWalk.h"
#include "conv/Sjis.h"
#include "doc/Document.h"
#include "platform/Settings.h"

namespace qlk {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kSO = 0x0E;
constexpr unsigned char kSI = 0x0F;


// Appends bytes through a raw pointer into a buffer sized beforehand; the conversions know
// how far each step can lengthen the text, so no byte is ever written past the end.
class Writer {
 public:
  Writer(std::string& out, size_t most) : out_(out), start_(out.size()) {
    out_.resize(start_ + most);
    p_ = out_.data() + start_;
    begin_ = p_;
  }
  ~Writer() { out_.resize(start_ + static_cast<size_t>(p_ - begin_)); }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  void Put(unsigned char b) { *p_++ = static_cast<char>(b); }
  void Put(std::string_view s) {
    std::memcpy(p_, s.data(), s.size());
    p_ += s.size();
  }
  void Put(const unsigned char* s, size_t n) { Put(std::string_view(reinterpret_cast<const char*>(s), n)); }

 private:
  std::string& out_;
  size_t start_;
  char* begin_;
  char* p_;
};

// Lines are built in a scratch buffer sized for the worst case and then copied out at their
// exact size, so a stored line never carries the worst case's capacity.
template <class Fill>
std::string Exact(Fill&& fill) {
  thread_local std::string scratch;
  scratch.clear();
  fill(scratch);
  return std::string(scratch);
}

std::string_view TwoByteEscape(int jis) {
  switch (jis) {
    case kJisOld: return "\x1B$@";
    case kJis1990: return "\x1B&@\x1B$B";
    case kJisX0212: return "\x1B$(D";
    default: return "\x1B$B";  // an unknown value must still give decodable text
  }
}

constexpr std::string_view kToAscii = "\x1B(B";
constexpr std::string_view kToKana = "\x1B(I";

}  // namespace

JisEncoderSettings ReadJisEncoderSettings(ISettings& settings) {
  return {Get(settings, keys::kJisKana), Get(settings, keys::kJisEscape)};
}

// ---------------------------------------------------------------- JIS decoding

size_t AppendJisToSjisPiece(std::string_view in, bool ends, JisModes& m, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const size_t n = in.size();
  // A step looks at most three bytes ahead (ESC $ ( D): in a piece that does not end the line,
  // only the steps that start before its last three bytes are taken.
  const size_t stop = ends ? n : n - std::min<size_t>(n, 3);
  Writer w(out, n);  // escapes vanish and a JIS pair gives two bytes: never longer
  size_t i = 0;
  while (i < stop) {
    if (!m.twoByte && !m.kana) {
      // One-byte text runs unchanged up to the next escape or shift.
      size_t k = i;
      while (k < n && p[k] != kEsc && p[k] != kSO && p[k] != kSI) ++k;
      w.Put(p + i, k - i);
      i = k;
      if (i >= stop) break;
    }
    const unsigned char b = p[i];
    if (b == kEsc) {
      const size_t left = n - i;
      if (left >= 3) {
        const unsigned char c1 = p[i + 1], c2 = p[i + 2];
        if ((c1 == '$' && (c2 == '@' || c2 == 'B')) || (c1 == '&' && c2 == '@')) {
          m.twoByte = true;
          m.kana = false;
          i += 3;
          continue;
        }
        if (c1 == '(' && (c2 == 'B' || c2 == 'J' || c2 == 'H')) {
          m.Reset();
          i += 3;
          continue;
        }
        if (c1 == '(' && c2 == 'I') {
          m.kana = true;
          m.twoByte = false;
          i += 3;
          continue;
        }
      }
      if (left >= 4 && p[i + 1] == '$' && p[i + 2] == '(' && p[i + 3] == 'D') {
        m.twoByte = true;
        m.kana = false;
        i += 4;
        continue;
      }
      // An unknown escape is text like any other byte.
    } else if (b == kSO) {
      m.kana = true;
      m.twoByte = false;
      ++i;
      continue;
    } else if (b == kSI) {
      m.Reset();
      ++i;
      continue;
    }
    if (m.twoByte) {
      uint16_t s;
      if (i + 1 < n && (s = JisToSjisCode(b, p[i + 1])) != 0) {
        do {
          w.Put(static_cast<unsigned char>(s >> 8));
          w.Put(static_cast<unsigned char>(s & 0xFF));
          i += 2;
        } while (i + 1 < n && (s = JisToSjisCode(p[i], p[i + 1])) != 0);
        continue;
      }
    } else if (m.kana) {
      // Only 0x21-0x5F are katakana in this set; controls, blanks and the rest keep their
      // meaning, as they do under any shift.
      if (b >= 0x21 && b <= 0x5F) {
        w.Put(static_cast<unsigned char>(b + 0x80));
        ++i;
        continue;
      }
    }
    w.Put(b);
    ++i;
  }
  return i;
}

void AppendJisToSjis(std::string_view in, JisModes& m, std::string& out) { AppendJisToSjisPiece(in, true, m, out); }

std::string JisToSjisLine(std::string_view jis, JisModes& modes) {
  return Exact([&](std::string& out) { AppendJisToSjis(jis, modes, out); });
}


// ---------------------------------------------------------------- JIS encoding

size_t AppendSjisToJisPiece(std::string_view in, bool ends, const JisEncoderSettings& s, JisModes& m,
                            std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const size_t n = in.size();
  // A lead byte takes the byte after it: a piece that does not end the line stops before its
  // last character, and leaves the modes open for the next piece.
  const size_t stop = ends ? n : sjis::LastCharStart(in);
  const int kana = (s.kana == kKanaShift || s.kana == kKanaEightBit) ? s.kana : kKanaEscape;
  const std::string_view open = TwoByteEscape(s.jis);
  if (m.kana) m.twoByte = false;  // at most one mode is on
  // Worst case per input byte: a kana byte after two-byte text (ESC ( B, SO, byte) or a
  // double-byte character after kana (SI and the longest escape, two bytes); plus closing.
  Writer w(out, n * 5 + 8);
  size_t i = 0;
  while (i < stop) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      // A run of one-byte characters, the commonest case, copied at once.
      if (m.kana) {
        if (kana == kKanaShift)
          w.Put(kSI);
        else
          w.Put(kToAscii);
        m.kana = false;
      }
      if (m.twoByte) {
        w.Put(kToAscii);
        m.twoByte = false;
      }
      size_t k = i + 1;
      while (k < n && p[k] < 0x80) ++k;
      w.Put(p + i, k - i);
      i = k;
      continue;
    }
    if (sjis::IsHalfKana(b)) {
      if (kana == kKanaEightBit) {
        // Eight-bit kana stand in one-byte text, where every reader expects them.
        if (m.twoByte) {
          w.Put(kToAscii);
          m.twoByte = false;
        }
        w.Put(b);
      } else {
        if (!m.kana) {
          // SI returns to whatever G0 holds, so two-byte text is closed before SO; otherwise
          // the ASCII after the kana would be read as two-byte text.
          if (kana == kKanaShift && m.twoByte) w.Put(kToAscii);
          if (kana == kKanaShift)
            w.Put(kSO);
          else
            w.Put(kToKana);
          m.kana = true;
          m.twoByte = false;
        }
        w.Put(static_cast<unsigned char>(b - 0x80));
      }
      ++i;
      continue;
    }
    const size_t len = (sjis::IsLead(b) && i + 1 < n) ? 2 : 1;
    const uint16_t j = len == 2 ? SjisToJisCode(b, p[i + 1]) : 0;
    if (j) {
      if (m.kana) {
        if (kana == kKanaShift) w.Put(kSI);
        m.kana = false;
      }
      if (!m.twoByte) {
        w.Put(open);
        m.twoByte = true;
      }
      // The rest of a run of two-byte characters needs no further escape.
      uint16_t c = j;
      do {
        w.Put(static_cast<unsigned char>(c >> 8));
        w.Put(static_cast<unsigned char>(c & 0xFF));
        i += 2;
      } while (i + 1 < n && (c = SjisToJisCode(p[i], p[i + 1])) != 0);
      continue;
    } else {
      if (m.kana) {
        if (kana == kKanaShift)
          w.Put(kSI);
        else
          w.Put(kToAscii);
        m.kana = false;
      }
      if (m.twoByte) {
        w.Put(kToAscii);
        m.twoByte = false;
      }
      w.Put(b);
      if (len == 2) w.Put(p[i + 1]);
    }
    i += len;
  }
  if (!ends) return i;
  if (m.kana) {
    if (kana == kKanaShift)
      w.Put(kSI);
    else
      w.Put(kToAscii);
    m.kana = false;
  }
  if (m.twoByte) {
    w.Put(kToAscii);
    m.twoByte = false;
  }
  return i;
}

void AppendSjisToJis(std::string_view in, const JisEncoderSettings& s, JisModes& m, std::string& out) {
  AppendSjisToJisPiece(in, true, s, m, out);
}

std::string SjisToJisLine(std::string_view sjis, const JisEncoderSettings& settings, JisModes& modes) {
  return Exact([&](std::string& out) { AppendSjisToJis(sjis, settings, modes, out); });
}


// ---------------------------------------------------------------- EUC

// Both EUC conversions look one byte ahead: a piece that does not end the line stops before
// its last byte.
size_t AppendEucToSjisPiece(std::string_view in, bool ends, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const size_t n = in.size();
  const size_t stop = ends ? n : n - std::min<size_t>(n, 1);
  size_t i = 0;
  {
    Writer w(out, n);
    while (i < stop) {
      const unsigned char b = p[i];
      if (b < 0x80) {
        w.Put(b);
        ++i;
      } else if (b == 0x8E) {
        if (i + 1 < n) w.Put(p[i + 1]);
        i += 2;  // a single shift with nothing after it is dropped
      } else if (b == 0x8F) {
        ++i;  // the JIS X 0212 pair after it is read as a JIS X 0208 code
      } else {
        const uint16_t s = i + 1 < n ? JisToSjisCode(static_cast<unsigned char>(b - 0x80), p[i + 1] & 0x7F) : 0;
        if (s) {
          w.Put(static_cast<unsigned char>(s >> 8));
          w.Put(static_cast<unsigned char>(s & 0xFF));
          i += 2;
        } else {
          w.Put(b);
          ++i;
        }
      }
    }
  }
  return i;
}

size_t AppendSjisToEucPiece(std::string_view in, bool ends, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const size_t n = in.size();
  const size_t stop = ends ? n : n - std::min<size_t>(n, 1);
  size_t i = 0;
  {
    Writer w(out, n * 2);
    while (i < stop) {
      const unsigned char b = p[i];
      if (b < 0x80) {
        w.Put(b);
        ++i;
      } else if (sjis::IsHalfKana(b)) {
        w.Put(0x8E);
        w.Put(b);
        ++i;
      } else if (sjis::IsLead(b) && i + 1 < n) {
        const uint16_t j = SjisToJisCode(b, p[i + 1]);
        if (j) {
          w.Put(static_cast<unsigned char>((j >> 8) | 0x80));
          w.Put(static_cast<unsigned char>((j & 0xFF) | 0x80));
        } else {
          w.Put(b);
          w.Put(p[i + 1]);
        }
        i += 2;
      } else {
        w.Put(b);
        ++i;
      }
    }
  }
  return i;
}

namespace {

void AppendEucToSjis(std::string_view in, std::string& out) { AppendEucToSjisPiece(in, true, out); }
void AppendSjisToEuc(std::string_view in, std::string& out) { AppendSjisToEucPiece(in, true, out); }

}  // namespace

std::string EucToSjisLine(std::string_view euc) {
  return Exact([&](std::string& out) { AppendEucToSjis(euc, out); });
}

std::string SjisToEucLine(std::string_view sjis) {
  return Exact([&](std::string& out) { AppendSjisToEuc(sjis, out); });
}

// ---------------------------------------------------------------- document operations

void JisToSjis(CQuenlarkDoc& doc, JisContext& jis) {
  jis.StartCommand();
  AppendTargetLines(doc, [&jis](std::string_view line, std::string& out) { AppendJisToSjis(line, jis.modes, out); });
}

void SjisToJis(CQuenlarkDoc& doc, JisContext& jis) {
  jis.StartCommand();
  jis.encoder = ReadJisEncoderSettings(doc.platform().settings);
  AppendTargetLines(
      doc, [&jis](std::string_view line, std::string& out) { AppendSjisToJis(line, jis.encoder, jis.modes, out); });
}

void EucToSjis(CQuenlarkDoc& doc) { AppendTargetLines(doc, AppendEucToSjis); }

void SjisToEuc(CQuenlarkDoc& doc) { AppendTargetLines(doc, AppendSjisToEuc); }

}  // namespace qlk
