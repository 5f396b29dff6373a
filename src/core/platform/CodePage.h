#pragma once
// Code-page seam: Shift-JIS (code page 932), UTF-8 and UTF-7 to and from UTF-16, and the
// locale's case mapping of double-byte characters.
#include <cstdint>
#include <string>
#include <string_view>

namespace qlk {

enum class Charset { Sjis, Utf8, Utf7 };

enum class CharCase { None, Lower, Upper };

class ICodePage {
 public:
  virtual ~ICodePage() = default;
  virtual std::u16string ToUtf16(Charset cs, std::string_view bytes) const = 0;
  // Characters without a form in the target become '?'; *lossy tells whether that happened.
  virtual std::string FromUtf16(Charset cs, std::u16string_view text, bool* lossy = nullptr) const = 0;
  // Case of a double-byte Shift-JIS character (lead * 256 + trail).
  virtual CharCase CaseOf(uint16_t dbcs) const = 0;
  // Its counterpart in the other case, or the character itself when it has none.
  virtual uint16_t MapCase(uint16_t dbcs, bool upper) const = 0;

  // Shift-JIS to UTF-8 and back, appended to `out`: the bytes of the conversions through
  // UTF-16 above. A platform may do them in one pass.
  virtual void AppendSjisToUtf8(std::string_view sjis, std::string& out) const;
  virtual void AppendUtf8ToSjis(std::string_view utf8, std::string& out, bool* lossy = nullptr) const;

  // Shift-JIS read into `out`, which has room for sjis.size() units; the units written.
  virtual size_t SjisToUtf16(std::string_view sjis, char16_t* out) const;
  // Whether Shift-JIS bytes read as exactly `text`.
  virtual bool SjisReadsAs(std::string_view sjis, std::u16string_view text) const {
    return ToUtf16(Charset::Sjis, sjis) == text;
  }
  // Whether bytes other than FromUtf16(Sjis, text) could read as `text` (a character with
  // two codes, or bytes that read as no character). When not, another program's Shift-JIS
  // form of the text can only be those very bytes, or wrong.
  virtual bool SjisHasOtherForms(std::u16string_view text) const { return true; }

  std::string SjisToUtf8(std::string_view sjis) const {
    std::string out;
    AppendSjisToUtf8(sjis, out);
    return out;
  }
  std::string Utf8ToSjis(std::string_view utf8, bool* lossy = nullptr) const {
    std::string out;
    AppendUtf8ToSjis(utf8, out, lossy);
    return out;
  }
};

}  // namespace qlk
