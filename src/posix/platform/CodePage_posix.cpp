#include <iconv.h>
#include <wctype.h>
#include <locale.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "conv/Cp932.h"
#include "posix/platform/PosixPlatform.h"

namespace qlk {
namespace {

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv_open ") + from + " -> " + to);
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  // Converts all of `in`; nullopt-like empty result with ok=false on any error.
  bool Run(const void* in, size_t inLen, std::string& out) const {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(inLen * 4 + 16);
    char* ip = const_cast<char*>(static_cast<const char*>(in));
    char* op = out.data();
    size_t il = inLen, ol = out.size();
    size_t r = iconv(cd_, &ip, &il, &op, &ol);
    if (r == static_cast<size_t>(-1)) return false;
    if (iconv(cd_, nullptr, nullptr, &op, &ol) == static_cast<size_t>(-1)) return false;
    out.resize(out.size() - ol);
    return true;
  }

 private:
  iconv_t cd_;
};

// Where one character has several codes, the platform writes the lowest, except that the
// NEC-selected IBM extensions (lead bytes 0xED, 0xEE) give way to the IBM extensions.
int Rank(int code) { return (code >= 0xED00 && code <= 0xEEFF) ? code + 0x10000 : code; }

Cp932Codec BuildCodec() {
  Iconv dec("UTF-16LE", "CP932");
  std::vector<char16_t> table(65536, 0);
  auto decodeOne = [&](uint16_t code) -> char16_t {
    unsigned char b[2];
    size_t n = 0;
    if (code > 0xFF) b[n++] = static_cast<unsigned char>(code >> 8);
    b[n++] = static_cast<unsigned char>(code & 0xFF);
    std::string out;
    if (!dec.Run(b, n, out) || out.size() != 2) return 0;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
  };
  for (unsigned c = 1; c < 65536; ++c) table[c] = decodeOne(static_cast<uint16_t>(c));
  // The one single byte the platform code page maps and iconv does not; 0xA0 and 0xFD-0xFF
  // are no characters on either.
  table[0x80] = u'\u0080';
  std::vector<int> inverse(65536, -1);
  for (unsigned c = 1; c < 65536; ++c) {
    char16_t u = table[c];
    if (!u) continue;
    if ((c > 0xFF) && !(((c >> 8) >= 0x81 && (c >> 8) <= 0x9F) || ((c >> 8) >= 0xE0 && (c >> 8) <= 0xFC))) continue;
    if (inverse[u] < 0 || Rank(static_cast<int>(c)) < Rank(inverse[u])) inverse[u] = static_cast<int>(c);
  }
  return Cp932Codec([&](uint16_t c) { return table[c]; }, [&](char16_t u) { return inverse[u]; });
}

class PosixCodePage final : public ICodePage {
 public:
  PosixCodePage() : loc_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {}
  ~PosixCodePage() override {
    if (loc_) freelocale(loc_);
  }

  std::u16string ToUtf16(Charset cs, std::string_view bytes) const override {
    switch (cs) {
      case Charset::Sjis: return Codec().Decode(bytes);
      case Charset::Utf8: return Utf8ToUtf16(bytes);
      case Charset::Utf7: return Utf7ToUtf16(bytes);
    }
    return {};
  }

  std::string FromUtf16(Charset cs, std::u16string_view text, bool* lossy) const override {
    if (lossy) *lossy = false;
    switch (cs) {
      case Charset::Sjis: return Codec().Encode(text, lossy);
      case Charset::Utf8: return Utf16ToUtf8(text);
      case Charset::Utf7: {
        Iconv enc("UTF-7", "UTF-16LE");
        std::string out;
        if (enc.Run(text.data(), text.size() * 2, out)) return out;
        if (lossy) *lossy = true;
        return {};
      }
    }
    return {};
  }

  // UTF-8 here is the portable Utf8ToUtf16/Utf16ToUtf8, which the codec's one-pass loops
  // follow for every input.
  void AppendSjisToUtf8(std::string_view sjis, std::string& out) const override {
    if (AsciiBeforeTables(sjis, out, nullptr)) return;
    Codec().AppendUtf8(sjis, out);
  }
  void AppendUtf8ToSjis(std::string_view utf8, std::string& out, bool* lossy) const override {
    if (AsciiBeforeTables(utf8, out, lossy)) return;
    Codec().AppendFromUtf8(utf8, out, lossy);
  }

  size_t SjisToUtf16(std::string_view sjis, char16_t* out) const override { return Codec().DecodeInto(sjis, out); }
  bool SjisReadsAs(std::string_view sjis, std::u16string_view text) const override { return Codec().DecodesTo(sjis, text); }
  bool SjisHasOtherForms(std::u16string_view text) const override { return Codec().HasOtherForms(text); }

  CharCase CaseOf(uint16_t dbcs) const override {
    char16_t u = Codec().DecodeChar(dbcs);
    if (!u || !loc_) return CharCase::None;
    if (iswlower_l(u, loc_)) return CharCase::Lower;
    if (iswupper_l(u, loc_)) return CharCase::Upper;
    return CharCase::None;
  }

  uint16_t MapCase(uint16_t dbcs, bool upper) const override {
    char16_t u = Codec().DecodeChar(dbcs);
    if (!u || !loc_) return dbcs;
    wint_t m = upper ? towupper_l(u, loc_) : towlower_l(u, loc_);
    if (m == u || m > 0xFFFF) return dbcs;
    int c = Codec().EncodeUnit(static_cast<char16_t>(m));
    return (c > 0xFF) ? static_cast<uint16_t>(c) : dbcs;
  }

 private:
  static std::u16string Utf7ToUtf16(std::string_view bytes) {
    // iconv stops at a bad byte; convert piece by piece so the rest still comes through.
    Iconv dec("UTF-16LE", "UTF-7");
    std::u16string out;
    std::string tmp;
    if (dec.Run(bytes.data(), bytes.size(), tmp)) {
      out.resize(tmp.size() / 2);
      std::memcpy(out.data(), tmp.data(), out.size() * 2);
      return out;
    }
    for (unsigned char b : bytes) out.push_back(b < 0x80 ? b : u'\uFFFD');
    return out;
  }

  // ASCII is the same in both codes. Until the tables exist, such text (a file name, say)
  // is copied without building them; afterwards the codec's loops copy it as fast.
  bool AsciiBeforeTables(std::string_view s, std::string& out, bool* lossy) const {
    if (codec_) return false;
    for (char c : s)
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    out.append(s);
    if (lossy) *lossy = false;
    return true;
  }

  // Built on first use: a run that never converts between codes does not pay for the tables.
  const Cp932Codec& Codec() const {
    if (!codec_) codec_.emplace(BuildCodec());
    return *codec_;
  }

  mutable std::optional<Cp932Codec> codec_;
  locale_t loc_;
};

}  // namespace

std::unique_ptr<ICodePage> MakePosixCodePage() { return std::make_unique<PosixCodePage>(); }

}  // namespace qlk
