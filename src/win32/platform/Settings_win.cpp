#include "win32/platform/Win32Platform.h"

namespace qlk::win {
namespace {

// HKCU\Software\Korvu\<program>\<section>: integers as DWORD, texts as strings.
class RegistrySettings final : public ISettings {
 public:
  RegistrySettings(std::wstring app, const ICodePage& cp) : base_(L"Software\\Korvu\\" + app), cp_(cp) {}

  int GetInt(std::string_view section, std::string_view key, int def) override {
    HKEY k = Open(section, false);
    if (!k) return def;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG r = RegQueryValueExW(k, Name(key).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS || type != REG_DWORD) return def;
    return static_cast<int>(value);
  }

  std::string GetText(std::string_view section, std::string_view key, std::string_view def) override {
    HKEY k = Open(section, false);
    if (!k) return std::string(def);
    std::wstring name = Name(key);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(k, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
      RegCloseKey(k);
      return std::string(def);
    }
    std::wstring w(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(w.size() * sizeof(wchar_t));
    LONG r = RegQueryValueExW(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(w.data()), &got);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS) return std::string(def);
    w.resize(got / sizeof(wchar_t));
    while (!w.empty() && w.back() == L'\0') w.pop_back();
    return cp_.FromUtf16(Charset::Sjis, std::u16string(w.begin(), w.end()));
  }

  bool SetInt(std::string_view section, std::string_view key, int value) override {
    HKEY k = Open(section, true);
    if (!k) return false;
    DWORD v = static_cast<DWORD>(value);
    LONG r = RegSetValueExW(k, Name(key).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    RegCloseKey(k);
    return r == ERROR_SUCCESS;
  }

  bool SetText(std::string_view section, std::string_view key, std::string_view value) override {
    HKEY k = Open(section, true);
    if (!k) return false;
    std::u16string u = cp_.ToUtf16(Charset::Sjis, value);
    std::wstring w(u.begin(), u.end());
    LONG r = RegSetValueExW(k, Name(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(w.c_str()),
                            static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return r == ERROR_SUCCESS;
  }

 private:
  static std::wstring Name(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }
  HKEY Open(std::string_view section, bool create) {
    std::wstring path = base_ + L"\\" + Name(section);
    HKEY k = nullptr;
    LONG r = create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                      &k, nullptr)
                    : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k);
    return r == ERROR_SUCCESS ? k : nullptr;
  }

  std::wstring base_;
  const ICodePage& cp_;
};

}  // namespace

std::unique_ptr<ISettings> MakeRegistrySettings(const std::wstring& appName, const ICodePage& cp) {
  return std::make_unique<RegistrySettings>(appName, cp);
}

}  // namespace qlk::win
