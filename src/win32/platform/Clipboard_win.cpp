#include "win32/platform/Win32Platform.h"

namespace qlk::win {
namespace {

constexpr int kOpenTries = 5;
constexpr DWORD kOpenPause = 20;  // ms: five tries within about 100 ms

class ClipboardLock {
 public:
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  bool Open(HWND owner) {
    for (int i = 0; i < kOpenTries && !open_; ++i) {
      if (i) Sleep(kOpenPause);
      open_ = OpenClipboard(owner) != 0;
    }
    return open_;
  }

 private:
  bool open_ = false;
};

HGLOBAL Copy(const void* data, size_t bytes) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!h) return nullptr;
  void* p = GlobalLock(h);
  if (!p) {
    GlobalFree(h);
    return nullptr;
  }
  memcpy(p, data, bytes);
  GlobalUnlock(h);
  return h;
}

}  // namespace

ClipRead Win32Clipboard::Read() {
  ClipboardLock lock;
  if (!lock.Open(owner_)) return {ClipStatus::Busy, {}};
  std::string raw;
  bool haveRaw = false;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      raw.assign(p, strnlen(p, GlobalSize(h)));
      haveRaw = true;
      GlobalUnlock(h);
    }
  }
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(h))) {
      std::u16string u(reinterpret_cast<const char16_t*>(p), wcsnlen(p, GlobalSize(h) / sizeof(wchar_t)));
      GlobalUnlock(h);
      // Our own stores carry the exact Shift-JIS bytes as CF_TEXT beside the Unicode text;
      // where the two agree the bytes are taken as they are, so no byte is ever lost.
      if (haveRaw && cp_.ToUtf16(Charset::Sjis, raw) == u) return {ClipStatus::Ok, raw, false};
      ClipRead r{ClipStatus::Ok, {}, false};
      r.text = cp_.FromUtf16(Charset::Sjis, u, &r.lossy);
      return r;
    }
  }
  if (haveRaw) return {ClipStatus::Ok, raw, false};
  return {ClipStatus::NoText, {}};
}

bool Win32Clipboard::Write(std::string_view sjis) {
  ClipboardLock lock;
  if (!lock.Open(owner_)) return false;
  if (!EmptyClipboard()) return false;
  std::string bytes(sjis);
  HGLOBAL text = Copy(bytes.c_str(), bytes.size() + 1);
  std::u16string u = cp_.ToUtf16(Charset::Sjis, sjis);
  HGLOBAL wide = Copy(u.c_str(), (u.size() + 1) * sizeof(char16_t));
  LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);
  HGLOBAL locale = Copy(&japanese, sizeof japanese);
  bool ok = text && wide;
  if (wide && !SetClipboardData(CF_UNICODETEXT, wide)) {
    GlobalFree(wide);
    ok = false;
  }
  if (text && !SetClipboardData(CF_TEXT, text)) {
    GlobalFree(text);
    ok = false;
  }
  if (locale && !SetClipboardData(CF_LOCALE, locale)) GlobalFree(locale);
  return ok;
}

void Win32Clipboard::ReturnFocus() {
  if (!owner_) return;
  HWND w = GetWindow(owner_, GW_HWNDNEXT);
  while (w && !IsWindowVisible(w)) w = GetWindow(w, GW_HWNDNEXT);
  if (w) SetForegroundWindow(w);
}

}  // namespace qlk::win
