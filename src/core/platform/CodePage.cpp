#include "platform/CodePage.h"

namespace qlk {

void ICodePage::AppendSjisToUtf8(std::string_view sjis, std::string& out) const {
  out += FromUtf16(Charset::Utf8, ToUtf16(Charset::Sjis, sjis));
}

void ICodePage::AppendUtf8ToSjis(std::string_view utf8, std::string& out, bool* lossy) const {
  out += FromUtf16(Charset::Sjis, ToUtf16(Charset::Utf8, utf8), lossy);
}

}  // namespace qlk
