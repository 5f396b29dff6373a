#include "platform/CodePage.h"

#include <algorithm>

namespace qlk {

size_t ICodePage::SjisToUtf16(std::string_view sjis, char16_t* out) const {
  std::u16string u = ToUtf16(Charset::Sjis, sjis);
  std::copy(u.begin(), u.end(), out);
  return u.size();
}

int ICodePage::SjisCodeOf(char16_t unit) const {
  if (unit >= 0xD800 && unit <= 0xDFFF) return -1;
  bool lossy = false;
  const std::string s = FromUtf16(Charset::Sjis, std::u16string_view(&unit, 1), &lossy);
  if (lossy || s.empty()) return -1;
  if (s.size() == 1) return static_cast<unsigned char>(s[0]);
  return static_cast<unsigned char>(s[0]) << 8 | static_cast<unsigned char>(s[1]);
}

void ICodePage::AppendSjisToUtf8(std::string_view sjis, std::string& out) const {
  out += FromUtf16(Charset::Utf8, ToUtf16(Charset::Sjis, sjis));
}

void ICodePage::AppendUtf8ToSjis(std::string_view utf8, std::string& out, bool* lossy) const {
  out += FromUtf16(Charset::Sjis, ToUtf16(Charset::Utf8, utf8), lossy);
}

}  // namespace qlk
