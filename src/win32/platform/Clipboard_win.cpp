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

// A movable zero-filled block holding the bytes, with `extra` zero bytes after them.
HGLOBAL Block(const void* data, size_t bytes, size_t extra) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes + extra);
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

HGLOBAL Win32Clipboard::UnicodeBlock(std::string_view sjis) const {
  // Read straight into the block, sized for the most units the bytes can give, then trimmed.
  const size_t room = (sjis.size() + 1) * sizeof(char16_t);
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, room);
  if (!h) return nullptr;
  auto* p = static_cast<char16_t*>(GlobalLock(h));
  if (!p) {
    GlobalFree(h);
    return nullptr;
  }
  const size_t n = cp_.SjisToUtf16(sjis, p);
  p[n] = u'\0';
  GlobalUnlock(h);
  if ((n + 1) * sizeof(char16_t) < room) {
    if (HGLOBAL trimmed = GlobalReAlloc(h, (n + 1) * sizeof(char16_t), GMEM_MOVEABLE)) h = trimmed;
  }
  return h;
}

ClipRead Win32Clipboard::Read() {
  // Nothing has touched the clipboard since our own store: its text is the bytes we put
  // there, and neither form needs reading again.
  if (storedSeq_ && GetClipboardSequenceNumber() == storedSeq_ && GetClipboardOwner() == owner_)
    return {ClipStatus::Ok, stored_, false};
  ClipboardLock lock;
  if (!lock.Open(owner_)) return {ClipStatus::Busy, {}};
  // The Unicode form first: it is the text itself, whatever code page its program used.
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const char16_t*>(GlobalLock(h))) {
      const std::u16string_view u(p, wcsnlen(reinterpret_cast<const wchar_t*>(p), GlobalSize(h) / sizeof(char16_t)));
      ClipRead r{ClipStatus::Ok, {}, false};
      r.text = cp_.FromUtf16(Charset::Sjis, u, &r.lossy);
      // The Shift-JIS form beside it can differ from those bytes and still read as the same
      // text only where a character has two codes or bytes read as no character: then the
      // program's own bytes are taken when they read as exactly this text, so that no byte
      // is lost. Elsewhere they are these bytes or wrong, and are not read at all.
      if (cp_.SjisHasOtherForms(u)) {
        if (HANDLE a = GetClipboardData(CF_TEXT)) {
          if (const char* b = static_cast<const char*>(GlobalLock(a))) {
            const std::string_view raw(b, strnlen(b, GlobalSize(a)));
            if (cp_.SjisReadsAs(raw, u)) r = {ClipStatus::Ok, std::string(raw), false};
            GlobalUnlock(a);
          }
        }
      }
      GlobalUnlock(h);
      return r;
    }
  }
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      ClipRead r{ClipStatus::Ok, std::string(p, strnlen(p, GlobalSize(h))), false};
      GlobalUnlock(h);
      return r;
    }
  }
  return {ClipStatus::NoText, {}};
}

bool Win32Clipboard::Write(std::string_view sjis) { return Store(std::string(sjis)); }

bool Win32Clipboard::Write(std::string&& sjis) { return Store(std::move(sjis)); }

bool Win32Clipboard::Store(std::string sjis) {
  if (!Put(std::move(sjis))) return false;
  MarkCurrent();
  return true;
}

void Win32Clipboard::MarkCurrent() {
  // Taken after the close, which may count as a change too. A store of another program
  // coming in between takes the ownership away from us, and ours is not taken as current.
  storedSeq_ = GetClipboardSequenceNumber();
  if (!owner_ || GetClipboardOwner() != owner_) storedSeq_ = 0;
}

bool Win32Clipboard::Put(std::string sjis) {
  storedSeq_ = 0;
  ClipboardLock lock;
  if (!lock.Open(owner_)) return false;
  if (!EmptyClipboard()) return false;  // tells the previous owner, perhaps ourselves
  HGLOBAL text = Block(sjis.data(), sjis.size(), 1);
  // With a window to be asked, the Unicode form is made once the command is over and the
  // tray idle, or at once when a program asks for it sooner (a paste); never within the
  // command. Without one, now.
  const bool later = owner_ != nullptr;
  HGLOBAL wide = later ? nullptr : UnicodeBlock(sjis);
  LCID japanese = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);
  HGLOBAL locale = Block(&japanese, sizeof japanese, 0);
  bool ok = text && (wide || later);
  if (later) {
    SetClipboardData(CF_UNICODETEXT, nullptr);  // no handle to tell success by
  } else if (wide && !SetClipboardData(CF_UNICODETEXT, wide)) {
    GlobalFree(wide);
    ok = false;
  }
  if (text && !SetClipboardData(CF_TEXT, text)) {
    GlobalFree(text);
    ok = false;
  }
  if (locale && !SetClipboardData(CF_LOCALE, locale)) GlobalFree(locale);
  stored_ = std::move(sjis);
  unicodeToMake_ = later;
  // A timer's message comes only when no other waits: after the command and whatever the
  // user does next.
  if (later) SetTimer(owner_, kMakeUnicodeTimer, USER_TIMER_MINIMUM, nullptr);
  return ok;
}

void Win32Clipboard::MakeUnicode() {
  if (!unicodeToMake_) return;
  unicodeToMake_ = false;
  if (HGLOBAL w = UnicodeBlock(stored_); w && !SetClipboardData(CF_UNICODETEXT, w)) GlobalFree(w);
}

void Win32Clipboard::MakeUnicodeNow() {
  if (!unicodeToMake_) return;
  ClipboardLock lock;
  if (lock.Open(owner_) && GetClipboardOwner() == owner_) MakeUnicode();
  unicodeToMake_ = false;
}

bool Win32Clipboard::OnMessage(UINT msg, WPARAM wp) {
  switch (msg) {
    case WM_RENDERFORMAT:
      // A program asks for the Unicode form of our store; the clipboard is open for it.
      if (wp == CF_UNICODETEXT) MakeUnicode();
      return true;
    case WM_RENDERALLFORMATS:
      // The window goes: the text stays on the clipboard whole.
      MakeUnicodeNow();
      return true;
    case WM_ENDSESSION:
      // The process is ended without its window being destroyed: nobody would be left to
      // make the Unicode form. Others may still want the message.
      if (wp) MakeUnicodeNow();
      return false;
    case WM_TIMER:
      if (wp != kMakeUnicodeTimer) return false;
      KillTimer(owner_, kMakeUnicodeTimer);
      if (unicodeToMake_ && storedSeq_ && GetClipboardSequenceNumber() == storedSeq_) {
        ClipboardLock lock;
        if (lock.Open(owner_) && GetClipboardOwner() == owner_) MakeUnicode();
      }
      if (storedSeq_) MarkCurrent();
      return true;
    case WM_DESTROYCLIPBOARD:
      // Another store replaced ours.
      stored_ = std::string();
      storedSeq_ = 0;
      unicodeToMake_ = false;
      return true;
  }
  return false;
}

void Win32Clipboard::ReturnFocus() {
  if (!owner_) return;
  HWND w = GetWindow(owner_, GW_HWNDNEXT);
  while (w && !IsWindowVisible(w)) w = GetWindow(w, GW_HWNDNEXT);
  if (w) SetForegroundWindow(w);
}

}  // namespace qlk::win
