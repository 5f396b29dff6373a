// Base64, MIME encoded words and uudecoding (the encoder's kernels are in simd/Base64.cpp).
#include <array>
#include <string>

#include "conv/Jis.h"
#include "conv/Sjis.h"
#include "conv/Transfer.h"
#include "conv/TransferParts.h"
#include "conv/Unicode.h"

namespace qlk {

using transfer::AppendEscapes;
using transfer::Bytes;
using transfer::IsTrailingSpace;
using transfer::Sink;

namespace {

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

}  // namespace

namespace transfer {

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

}  // namespace transfer

// ---------------------------------------------------------------- Base64

size_t Base64Room(size_t n) { return (n + 2) / 3 * 4; }

void AppendBase64(std::string_view bytes, std::string& out) {
  const size_t at = out.size();
  out.resize(at + Base64Room(bytes.size()));  // exact
  PutBase64(bytes, out.data() + at);
}

size_t ToMimeRoom(size_t n) { return 2 * n + 16; }

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

// ---------------------------------------------------------------- uuencode

std::string UudecodeLine(std::string_view line) {
  std::string s;
  transfer::AppendUudecode(line, s);
  return s;
}

}  // namespace qlk
