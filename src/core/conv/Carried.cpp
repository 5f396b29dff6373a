#include "conv/Carried.h"

#include "platform/CodePage.h"

namespace qlk {
namespace {

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code point at text[i] and how many units it takes.
char32_t CodePointAt(std::u16string_view t, size_t i, size_t* len) {
  if (IsHigh(t[i]) && i + 1 < t.size() && IsLow(t[i + 1])) {
    *len = 2;
    return 0x10000 + ((t[i] - 0xD800u) << 10) + (t[i + 1] - 0xDC00u);
  }
  *len = 1;
  return t[i];
}

// Marks that belong to the character before them.
bool Attaches(char32_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x0483 && c <= 0x0489) || (c >= 0x0591 && c <= 0x05BD) ||
         (c >= 0x0610 && c <= 0x061A) || (c >= 0x064B && c <= 0x065F) || (c >= 0x0900 && c <= 0x0903) ||
         (c >= 0x093A && c <= 0x094F) || (c >= 0x0E31 && c <= 0x0E3A && c != 0x0E32 && c != 0x0E33) ||
         (c >= 0x0E47 && c <= 0x0E4E) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
         (c >= 0x20D0 && c <= 0x20FF) || (c >= 0x302A && c <= 0x302F) || c == 0x3099 || c == 0x309A ||
         (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) || (c >= 0x1F3FB && c <= 0x1F3FF) ||
         (c >= 0xE0020 && c <= 0xE007F) || (c >= 0xE0100 && c <= 0xE01EF);
}

bool IsFlagLetter(char32_t c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

void Put(std::string& out, int code) {
  if (code > 0xFF) out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

}  // namespace

size_t CarriedChars::CharEnd(std::u16string_view t, size_t i) {
  size_t len;
  const char32_t first = CodePointAt(t, i, &len);
  size_t j = i + len;
  if (IsFlagLetter(first) && j < t.size() && IsFlagLetter(CodePointAt(t, j, &len))) j += len;
  while (j < t.size()) {
    const char32_t c = CodePointAt(t, j, &len);
    if (Attaches(c)) {
      j += len;
    } else if (c == 0x200D && j + 1 < t.size()) {  // a joiner takes the character after it
      j += 1;
      CodePointAt(t, j, &len);
      j += len;
    } else {
      break;
    }
  }
  return j;
}

CarriedText CarryText(const ICodePage& cp, std::u16string_view text) {
  CarriedText t;
  bool foreign = false;
  t.sjis = cp.FromUtf16(Charset::Sjis, text, &foreign);
  if (foreign) {
    t.carried = std::make_shared<CarriedChars>();
    t.sjis = t.carried->ToSjis(cp, text, &t.lost);
  }
  return t;
}

const std::u16string* CarriedChars::Find(uint16_t code) const {
  if (code < kFirst || code > kLast) return nullptr;
  const std::u16string& c = byCode_[Index(code)];
  return c.empty() ? nullptr : &c;
}

void CarriedChars::Reserve(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x81) {
      ++i;
      continue;
    }
    if (uint16_t code = b >= 0xF0 ? UserDefinedAt(s, i) : 0) used_[Index(code)] = true;
    i += (b <= 0x9F || b >= 0xE0) && i + 1 < s.size() ? 2 : 1;
  }
}

int CarriedChars::NextFree() {
  for (; next_ <= kLast; ++next_) {
    const unsigned trail = next_ & 0xFF;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
    if (!used_[Index(next_)]) return next_++;
  }
  return -1;
}

void CarriedChars::AppendSjis(const ICodePage& cp, std::u16string_view text, std::string& out, bool* lost) {
  bool anyLost = false;
  const size_t start = out.size();
  bool lossy = false;
  out += cp.FromUtf16(Charset::Sjis, text, &lossy);
  // The text's own area codes are never given out, whatever it holds besides.
  Reserve(std::string_view(out).substr(start));
  if (lossy) {
    out.resize(start);
    for (size_t i = 0; i < text.size();) {
      const size_t end = CharEnd(text, i);
      if (end == i + 1 && text[i] < 0x80) {
        out += static_cast<char>(text[i++]);
        continue;
      }
      const std::u16string_view one = text.substr(i, end - i);
      bool foreign = false;
      for (char16_t v : one) foreign = foreign || IsHigh(v) || IsLow(v) || cp.SjisCodeOf(v) < 0;
      if (!foreign) {
        for (char16_t v : one) Put(out, cp.SjisCodeOf(v));
      } else {
        std::u16string key(one);
        auto it = byText_.find(key);
        int code = it != byText_.end() ? it->second : NextFree();
        if (code < 0) {
          anyLost = true;
          out += '?';
        } else {
          if (it == byText_.end()) {
            byCode_[Index(static_cast<uint16_t>(code))] = key;
            used_[Index(static_cast<uint16_t>(code))] = true;
            byText_.emplace(std::move(key), static_cast<uint16_t>(code));
          }
          Put(out, code);
        }
      }
      i = end;
    }
  }
  if (lost) *lost = anyLost;
}

std::u16string CarriedChars::ToUtf16(const ICodePage& cp, std::string_view sjis) const {
  if (empty()) return cp.ToUtf16(Charset::Sjis, sjis);
  std::u16string out;
  Split(sjis, [&](std::string_view plain) { out += cp.ToUtf16(Charset::Sjis, plain); },
        [&](uint16_t, const std::u16string& c) { out += c; });
  return out;
}

void CarriedChars::AppendUtf8(const ICodePage& cp, std::string_view sjis, std::string& out) const {
  if (empty()) return cp.AppendSjisToUtf8(sjis, out);
  Split(sjis, [&](std::string_view plain) { cp.AppendSjisToUtf8(plain, out); },
        [&](uint16_t, const std::u16string& c) { out += cp.FromUtf16(Charset::Utf8, c); });
}

bool CarriedChars::Occurs(std::string_view sjis) const {
  if (empty()) return false;
  bool found = false;
  Split(sjis, [](std::string_view) {}, [&](uint16_t, const std::u16string&) { found = true; });
  return found;
}

std::string CarriedChars::Dropped(std::string_view sjis) const {
  std::string out;
  out.reserve(sjis.size());
  Split(sjis, [&](std::string_view plain) { out += plain; }, [&](uint16_t, const std::u16string&) { out += '?'; });
  return out;
}

}  // namespace qlk
