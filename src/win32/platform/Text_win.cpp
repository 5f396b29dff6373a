#include "conv/Cp932.h"
#include "win32/platform/Win32Platform.h"

namespace qlk::win {

std::wstring SjisToWide(std::string_view s) {
  const std::u16string u = Codec932().Decode(s);
  return std::wstring(u.begin(), u.end());
}

std::string WideToSjis(std::wstring_view w, bool* lossy) {
  return Codec932().Encode(std::u16string_view(reinterpret_cast<const char16_t*>(w.data()), w.size()), lossy);
}

std::wstring Utf8ToWide(std::string_view s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string WideToUtf8(std::wstring_view w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

}  // namespace qlk::win
