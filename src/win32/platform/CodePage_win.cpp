#include "conv/Cp932.h"
#include "win32/platform/Win32Platform.h"

namespace qlk::win {
namespace {

Cp932Codec BuildCodec() {
  auto decode = [](uint16_t code) -> char16_t {
    char b[2];
    int n = 0;
    if (code > 0xFF) b[n++] = static_cast<char>(code >> 8);
    b[n++] = static_cast<char>(code & 0xFF);
    wchar_t w[4];
    int r = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, b, n, w, 4);
    return r == 1 ? static_cast<char16_t>(w[0]) : 0;
  };
  auto encode = [](char16_t u) -> int {
    wchar_t w = static_cast<wchar_t>(u);
    char b[4];
    BOOL used = FALSE;
    int r = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, &w, 1, b, 4, nullptr, &used);
    if (r <= 0 || used) return -1;
    if (r == 1) return static_cast<unsigned char>(b[0]);
    return static_cast<unsigned char>(b[0]) << 8 | static_cast<unsigned char>(b[1]);
  };
  return Cp932Codec(decode, encode);
}

}  // namespace

// Built once for the process: the tray's code page and the Win32 text helpers read the same
// tables.
const Cp932Codec& Codec932() {
  static const Cp932Codec codec = BuildCodec();
  return codec;
}

namespace {

constexpr LCID kJapanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);

class Win32CodePage final : public ICodePage {
 public:
  Win32CodePage() : codec_(Codec932()) {}

  std::u16string ToUtf16(Charset cs, std::string_view bytes) const override {
    if (cs == Charset::Sjis) return codec_.Decode(bytes);
    if (bytes.empty()) return {};
    UINT cp = cs == Charset::Utf8 ? CP_UTF8 : CP_UTF7;
    int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string w(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), reinterpret_cast<wchar_t*>(w.data()), n);
    return w;
  }

  std::string FromUtf16(Charset cs, std::u16string_view text, bool* lossy) const override {
    if (lossy) *lossy = false;
    if (cs == Charset::Sjis) return codec_.Encode(text, lossy);
    if (text.empty()) return {};
    UINT cp = cs == Charset::Utf8 ? CP_UTF8 : CP_UTF7;
    auto* w = reinterpret_cast<const wchar_t*>(text.data());
    int n = WideCharToMultiByte(cp, 0, w, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, w, static_cast<int>(text.size()), s.data(), n, nullptr, nullptr);
    return s;
  }

  // The codec's characters are never surrogates, so their UTF-8 is the system's.
  void AppendSjisToUtf8(std::string_view sjis, std::string& out) const override { codec_.AppendUtf8(sjis, out); }
  // The system's UTF-8 reader may count malformed sequences and noncharacters its own way;
  // such text keeps going through it.
  void AppendUtf8ToSjis(std::string_view utf8, std::string& out, bool* lossy) const override {
    if (!codec_.AppendFromUtf8(utf8, out, lossy, true)) ICodePage::AppendUtf8ToSjis(utf8, out, lossy);
  }

  size_t SjisToUtf16(std::string_view sjis, char16_t* out) const override { return codec_.DecodeInto(sjis, out); }
  bool SjisReadsAs(std::string_view sjis, std::u16string_view text) const override { return codec_.DecodesTo(sjis, text); }
  bool SjisHasOtherForms(std::u16string_view text) const override { return codec_.HasOtherForms(text); }

  CharCase CaseOf(uint16_t dbcs) const override {
    char16_t u = codec_.DecodeChar(dbcs);
    if (!u) return CharCase::None;
    WORD type = 0;
    wchar_t w = static_cast<wchar_t>(u);
    if (!GetStringTypeW(CT_CTYPE1, &w, 1, &type)) return CharCase::None;
    if (type & C1_LOWER) return CharCase::Lower;
    if (type & C1_UPPER) return CharCase::Upper;
    return CharCase::None;
  }

  uint16_t MapCase(uint16_t dbcs, bool upper) const override {
    char16_t u = codec_.DecodeChar(dbcs);
    if (!u) return dbcs;
    wchar_t in = static_cast<wchar_t>(u), out = 0;
    if (LCMapStringW(kJapanese, upper ? LCMAP_UPPERCASE : LCMAP_LOWERCASE, &in, 1, &out, 1) != 1) return dbcs;
    if (out == in) return dbcs;
    int c = codec_.EncodeUnit(static_cast<char16_t>(out));
    return c > 0xFF ? static_cast<uint16_t>(c) : dbcs;
  }

 private:
  const Cp932Codec& codec_;
};

}  // namespace

std::unique_ptr<ICodePage> MakeCodePage() { return std::make_unique<Win32CodePage>(); }

}  // namespace qlk::win
