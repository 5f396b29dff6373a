#include "win32/platform/Win32Platform.h"

#include <commctrl.h>
#include <shellapi.h>

namespace qlk::win {

namespace {
constexpr UINT_PTR kSubclassId = 0x4C4E4B;  // "LNK"
constexpr const wchar_t* kLinkProp = L"QlkStaticLink";  // the control's link object, for its parent
}

CStaticLink* CStaticLink::Attach(HWND control, std::wstring target) {
  if (!control) return nullptr;
  auto* link = new CStaticLink(control, std::move(target));
  // Clicks reach a static control only with SS_NOTIFY.
  SetWindowLongW(control, GWL_STYLE, GetWindowLongW(control, GWL_STYLE) | SS_NOTIFY);
  if (!SetWindowSubclass(control, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(link))) {
    delete link;
    return nullptr;
  }
  SetPropW(control, kLinkProp, link);
  return link;
}

CStaticLink* CStaticLink::Of(HWND control) {
  return control ? static_cast<CStaticLink*>(GetPropW(control, kLinkProp)) : nullptr;
}

CStaticLink::~CStaticLink() {
  if (font_) DeleteObject(font_);
}

HBRUSH CStaticLink::OnCtlColor(HWND control, HDC dc) {
  CStaticLink* link = Of(control);
  if (!link) return nullptr;
  // The control's own font, underlined, made on first use.
  if (!link->font_) {
    LOGFONTW lf{};
    HFONT base = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (!base) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    GetObjectW(base, sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    link->font_ = CreateFontIndirectW(&lf);
  }
  if (link->font_) SelectObject(dc, link->font_);
  SetTextColor(dc, link->colour_);
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void CStaticLink::Click() {
  std::wstring target = target_;
  if (target.empty()) {
    int n = GetWindowTextLengthW(hwnd_);
    target.assign(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd_, target.data(), n + 1);
    target.resize(static_cast<size_t>(n));
  }
  if (target.empty()) return;
  auto r = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (r <= 32) {
    MessageBeep(MB_OK);
    return;
  }
  colour_ = kVisited;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK CStaticLink::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) {
  auto* link = reinterpret_cast<CStaticLink*>(self);
  switch (msg) {
    case WM_NCHITTEST:
      return HTCLIENT;  // the whole control takes clicks
    case WM_SETCURSOR:
      // The system's own hand; the arrow where there is none.
      if (HCURSOR hand = LoadCursorW(nullptr, IDC_HAND)) {
        SetCursor(hand);
        return TRUE;
      }
      break;
    case WM_LBUTTONUP:
      link->Click();
      break;
    case WM_NCDESTROY: {
      RemoveWindowSubclass(h, Proc, id);
      RemovePropW(h, kLinkProp);
      const bool autoDelete = link->autoDelete_;
      LRESULT r = DefSubclassProc(h, msg, wp, lp);
      if (autoDelete) delete link;
      return r;
    }
  }
  return DefSubclassProc(h, msg, wp, lp);
}

}  // namespace qlk::win
