#pragma once
// Characters that code page 932 cannot hold (emoji and other surrogate pairs, accented
// letters, Hangul, a letter with combining marks ...), carried through one command under
// codes of the user-defined area 0xF040-0xF9FC: each distinct such character gets a code that
// does not occur in the text, the commands treat it as any double-byte character (one
// character, two columns), and the text written back as Unicode gets the character again.
// Text that only ever stays Shift-JIS (CF_TEXT, a file) keeps the code.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qlk {

class ICodePage;

class CarriedChars {
 public:
  static constexpr uint16_t kFirst = 0xF040;
  static constexpr uint16_t kLast = 0xF9FC;
  // How many codes the area holds: lead bytes 0xF0-0xF9, each with its 188 trail bytes.
  static constexpr size_t kCapacity = 10 * 188;

  // `text` in Shift-JIS appended to `out`, each character the code page cannot hold under its
  // code (the same character, the same code). Codes of the area that the text itself holds
  // are never given out. A character that finds no free code becomes '?' and *lost is set.
  void AppendSjis(const ICodePage& cp, std::u16string_view text, std::string& out, bool* lost = nullptr);
  std::string ToSjis(const ICodePage& cp, std::u16string_view text, bool* lost = nullptr) {
    std::string out;
    AppendSjis(cp, text, out, lost);
    return out;
  }
  // Keeps the area codes that `sjis` holds from being given out.
  void Reserve(std::string_view sjis);

  // Shift-JIS read back with every carried code as its character.
  std::u16string ToUtf16(const ICodePage& cp, std::string_view sjis) const;
  void AppendUtf8(const ICodePage& cp, std::string_view sjis, std::string& out) const;
  std::string ToUtf8(const ICodePage& cp, std::string_view sjis) const {
    std::string out;
    AppendUtf8(cp, sjis, out);
    return out;
  }

  bool empty() const { return byText_.empty(); }
  size_t size() const { return byText_.size(); }
  // The character a code carries, or nullptr.
  const std::u16string* Find(uint16_t code) const;
  // Whether `sjis` holds a carried code.
  bool Occurs(std::string_view sjis) const;
  // `sjis` with every carried code as '?': for a conversion into bytes that cannot hold them.
  std::string Dropped(std::string_view sjis) const;
  // Calls each(segment) for the runs of plain Shift-JIS and carried(code, character) for each
  // carried code, in order.
  template <class Plain, class Carried>
  void Split(std::string_view sjis, Plain plain, Carried carried) const;

  // Where one character ends: a code point (a surrogate pair as one) with the marks that
  // attach to it (combining marks, variation selectors, skin tones, a joiner and what it
  // joins, the second of a flag's two letters).
  static size_t CharEnd(std::u16string_view text, size_t i);

 private:
  static size_t Index(uint16_t code) { return code - kFirst; }
  int NextFree();

  std::unordered_map<std::u16string, uint16_t> byText_;
  std::vector<std::u16string> byCode_ = std::vector<std::u16string>(kLast - kFirst + 1);
  std::vector<bool> used_ = std::vector<bool>(kLast - kFirst + 1, false);
  uint16_t next_ = kFirst;
};

// Unicode text as a command takes it: Shift-JIS, with the characters Shift-JIS cannot hold
// carried (none: `carried` is null; text without such characters pays for nothing more).
struct CarriedText {
  std::string sjis;
  std::shared_ptr<CarriedChars> carried;
  bool lost = false;  // some found no free code and became '?'
};
CarriedText CarryText(const ICodePage& cp, std::u16string_view text);

// A code of the user-defined area as Shift-JIS reads it at s[i] (lead in 0xF0-0xF9 with a
// trail byte), or 0.
constexpr uint16_t UserDefinedAt(std::string_view s, size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  if (lead < 0xF0 || lead > 0xF9 || i + 1 >= s.size()) return 0;
  const auto trail = static_cast<unsigned char>(s[i + 1]);
  if (!((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC))) return 0;
  return static_cast<uint16_t>(lead << 8 | trail);
}

template <class Plain, class Carried>
void CarriedChars::Split(std::string_view s, Plain plain, Carried carried) const {
  size_t start = 0, i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x81) {
      ++i;
      continue;
    }
    const uint16_t code = b >= 0xF0 ? UserDefinedAt(s, i) : 0;
    const std::u16string* c = code ? Find(code) : nullptr;
    if (!c) {
      i += (b <= 0x9F || b >= 0xE0) && i + 1 < s.size() ? 2 : 1;
      continue;
    }
    if (i > start) plain(s.substr(start, i - start));
    carried(code, *c);
    i += 2;
    start = i;
  }
  if (start < s.size()) plain(s.substr(start));
}

}  // namespace qlk
