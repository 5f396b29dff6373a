#include "platform/CodePage.h"

#include <algorithm>

namespace qlk {

size_t ICodePage::SjisToUtf16(std::string_view sjis, char16_t* out) const {
  std::u16string u = ToUtf16(Charset::Sjis, sjis);
  std::copy(u.begin(), u.end(), out);
  return u.size();
}

void ICodePage::AppendSjisToUtf8(std::string_view sjis, std::string& out) const {
  out += FromUtf16(Charset::Utf8, ToUtf16(Charset::Sjis, sjis));
}

void ICodePage::AppendUtf8ToSjis(std::string_view utf8, std::string& out, bool* lossy) const {
  out += FromUtf16(Charset::Sjis, ToUtf16(Charset::Utf8, utf8), lossy);
}

}  // namespace qlk
