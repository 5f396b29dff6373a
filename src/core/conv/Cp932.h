#pragma once
// Table-driven code page 932 codec. The tables are filled once from the platform's own
// mapping of each character, so conversions agree with the platform (save for seven
// characters that every conversion into Shift-JIS takes as their JIS forms, the same on
// every platform: see Cp932.cpp), while malformed bytes are handled the same way
// everywhere: a lead byte whose next byte cannot be a trail byte becomes U+30FB and the next
// byte is read on its own, so no ASCII byte is ever swallowed.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qlk {

class Cp932Codec {
 public:
  static constexpr char16_t kBadChar = u'\u30FB';
  // decode(code) gives the UTF-16 unit of a 932 character (one byte, or lead * 256 + trail),
  // or 0 when it has none. encode(unit) gives the 932 character of a UTF-16 unit, or -1.
  Cp932Codec(const std::function<char16_t(uint16_t)>& decode, const std::function<int(char16_t)>& encode);

  std::u16string Decode(std::string_view bytes) const;
  // Decode into `out`, which has room for bytes.size() units; the number of units written.
  size_t DecodeInto(std::string_view bytes, char16_t* out) const;
  // Whether `bytes` decode to exactly `text` (Decode(bytes) == text, without building it).
  bool DecodesTo(std::string_view bytes, std::u16string_view text) const;
  // Whether some bytes other than Encode(text) decode to `text`: it holds a character that
  // has two codes, or U+30FB, which also stands for bytes that decode to nothing.
  bool HasOtherForms(std::u16string_view text) const;
  std::string Encode(std::u16string_view text, bool* lossy) const;
  // Utf16ToUtf8(Decode(sjis)) appended to `out`, in one pass.
  void AppendUtf8(std::string_view sjis, std::string& out) const;
  // Encode(Utf8ToUtf16(utf8), lossy) appended to `out`, in one pass. With `wellFormedOnly`,
  // text with a malformed sequence or a noncharacter appends nothing and gives false: for a
  // platform whose own UTF-8 reader may take such text its own way.
  bool AppendFromUtf8(std::string_view utf8, std::string& out, bool* lossy, bool wellFormedOnly = false) const;
  // The 932 character of a unit, or -1.
  int EncodeUnit(char16_t u) const { return toSjis_[u]; }
  char16_t DecodeChar(uint16_t code) const { return toUtf16_[code]; }

 private:
  template <class Put>
  bool DecodeEach(std::string_view bytes, Put put) const;

  std::vector<char16_t> toUtf16_;  // by 932 code, 0 = none
  std::vector<int32_t> toSjis_;    // by UTF-16 unit, -1 = none
  std::vector<bool> otherForms_;   // by UTF-16 unit: other bytes decode to it too
  // By 932 code, four bytes each: the UTF-8 of what Decode gives for it (U+30FB when it has
  // none; a lead byte's own code is the lead byte alone), then its length.
  std::vector<char> utf8_;
};

// A trail byte of code page 932.
constexpr bool IsTrail932(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// UTF-8 and UTF-16 without any platform: malformed UTF-8 gives U+FFFD per bad sequence.
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

}  // namespace qlk
