// The one binding helper: shows any portable dialog model in its dialog resource, moving the
// model's fields to and from the controls by identifier.
#include <cwchar>
#include <vector>

#include "app/Dialog.h"
#include "conv/Carried.h"
#include "app/HotKeys.h"
#include "win32/platform/Win32Platform.h"

#include <commctrl.h>

namespace qlk::win {
namespace {

struct Binder final : DialogHost {
  DialogModel& model;
  Win32UI& parentUi;
  HWND dlg = nullptr;
  bool modeless = false;
  std::unique_ptr<Win32UI> ownUi;

  Binder(DialogModel& m, Win32UI& ui) : model(m), parentUi(ui) {}
  IUserInterface& ui() override { return *ownUi; }
  void FocusControl(int control) override {
    if (HWND c = GetDlgItem(dlg, control)) SetFocus(c);
  }
  void End(bool ok) override {
    if (modeless) ShowWindow(dlg, SW_HIDE);
    else EndDialog(dlg, ok ? IDOK : IDCANCEL);
  }

  const ICodePage& cp() const { return parentUi.codepage(); }
  // Text to and from the controls; in a command's dialog, carried characters as themselves.
  std::wstring W(std::string_view sjis) const {
    std::u16string u = model.carried ? model.carried->ToUtf16(cp(), sjis) : cp().ToUtf16(Charset::Sjis, sjis);
    return std::wstring(u.begin(), u.end());
  }
  std::string N(std::wstring_view w) const {
    const std::u16string u(w.begin(), w.end());
    return model.carried ? model.carried->ToSjis(cp(), u) : cp().FromUtf16(Charset::Sjis, u);
  }
  std::wstring Text(int id) const {
    HWND c = GetDlgItem(dlg, id);
    if (!c) return {};
    int n = GetWindowTextLengthW(c);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(c, s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
  }

  void Fill(HWND c, UINT reset, UINT add, const std::vector<std::wstring>& items) {
    SendMessageW(c, WM_SETREDRAW, FALSE, 0);
    SendMessageW(c, reset, 0, 0);
    for (const auto& s : items) SendMessageW(c, add, 0, reinterpret_cast<LPARAM>(s.c_str()));
    SendMessageW(c, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(c, nullptr, TRUE);
  }
  std::vector<std::wstring> Items(const Field& f) const {
    std::vector<std::wstring> v;
    for (Txt t : f.fixedItems) v.push_back(Utf8ToWide(TextOf(t)));
    if (f.items)
      for (const auto& s : *f.items) v.push_back(W(s));
    return v;
  }

  // Model to controls.
  void Put() {
    for (const Field& f : model.Fields()) {
      HWND c = GetDlgItem(dlg, f.control);
      switch (f.kind) {
        case FieldKind::Int: SetDlgItemTextW(dlg, f.control, std::to_wstring(*f.number).c_str()); break;
        case FieldKind::Text:
          // 0 lifts the limit (a multi-line edit holds 32,767 characters unless told).
          if (f.maxChars != 0)
            SendDlgItemMessageW(dlg, f.control, EM_LIMITTEXT, f.maxChars > 0 ? static_cast<WPARAM>(f.maxChars) : 0, 0);
          SetDlgItemTextW(dlg, f.control, W(*f.text).c_str());
          break;
        case FieldKind::Check: CheckDlgButton(dlg, f.control, *f.number ? BST_CHECKED : BST_UNCHECKED); break;
        case FieldKind::Radio:
          for (size_t i = 0; i < f.radios.size(); ++i)
            CheckDlgButton(dlg, f.radios[i], static_cast<int>(i) == *f.number ? BST_CHECKED : BST_UNCHECKED);
          break;
        case FieldKind::Combo:
          if (c) {
            Fill(c, CB_RESETCONTENT, CB_ADDSTRING, Items(f));
            SendMessageW(c, CB_SETCURSEL, static_cast<WPARAM>(*f.number), 0);
          }
          break;
        case FieldKind::ComboEdit:
          if (c) {
            Fill(c, CB_RESETCONTENT, CB_ADDSTRING, Items(f));
            SetWindowTextW(c, W(*f.text).c_str());
          }
          break;
        case FieldKind::List:
          if (c) {
            Fill(c, LB_RESETCONTENT, LB_ADDSTRING, Items(f));
            SendMessageW(c, LB_SETCURSEL, static_cast<WPARAM>(*f.number), 0);
          }
          break;
        case FieldKind::Label:
          SetDlgItemTextW(dlg, f.control, f.text ? W(*f.text).c_str() : Utf8ToWide(TextOf(f.label)).c_str());
          break;
        case FieldKind::Link: SetDlgItemTextW(dlg, f.control, Utf8ToWide(f.shown ? f.shown : "").c_str()); break;
        case FieldKind::HotKey: {
          const uint32_t v = static_cast<uint32_t>(*f.number), mods = v >> 16;
          const BYTE flags = static_cast<BYTE>(((mods & kModShift) ? HOTKEYF_SHIFT : 0) |
                                               ((mods & kModCtrl) ? HOTKEYF_CONTROL : 0) | ((mods & kModAlt) ? HOTKEYF_ALT : 0));
          SendMessageW(c, HKM_SETHOTKEY, MAKEWORD(v & 0xFF, flags), 0);
          break;
        }
        case FieldKind::Progress:
          SendMessageW(c, PBM_SETRANGE32, 0, f.max);
          SendMessageW(c, PBM_SETPOS, static_cast<WPARAM>(*f.number), 0);
          break;
      }
    }
    Enable();
  }

  // Controls to model. With `validate`, a bad integer stops the transfer with a message.
  bool Take(bool validate) {
    for (const Field& f : model.Fields()) {
      HWND c = GetDlgItem(dlg, f.control);
      switch (f.kind) {
        case FieldKind::Int: {
          std::wstring t = Text(f.control);
          wchar_t* end = nullptr;
          long v = std::wcstol(t.c_str(), &end, 10);
          bool number = !t.empty() && end && *end == L'\0';
          if (!number || v < f.min || v > f.max) {
            if (!validate) break;
            bool ranged = f.min != INT_MIN || f.max != INT_MAX;
            Message m = ranged ? MakeMessage(Txt::IntRange, {static_cast<long long>(f.min), static_cast<long long>(f.max)})
                               : MakeMessage(Txt::IntRequired);
            ownUi->Tell(m);
            FocusControl(f.control);
            SendDlgItemMessageW(dlg, f.control, EM_SETSEL, 0, -1);
            return false;
          }
          *f.number = static_cast<int>(v);
          break;
        }
        case FieldKind::Text: {
          bool lost = false;
          const std::wstring w = Text(f.control);
          *f.text = cp().FromUtf16(Charset::Sjis, std::u16string(w.begin(), w.end()), &lost);
          if (f.lossy) *f.lossy = lost;
          break;
        }
        case FieldKind::Check: *f.number = IsDlgButtonChecked(dlg, f.control) == BST_CHECKED ? 1 : 0; break;
        case FieldKind::Radio:
          for (size_t i = 0; i < f.radios.size(); ++i)
            if (IsDlgButtonChecked(dlg, f.radios[i]) == BST_CHECKED) *f.number = static_cast<int>(i);
          break;
        case FieldKind::Combo:
          if (c) *f.number = static_cast<int>(SendMessageW(c, CB_GETCURSEL, 0, 0));
          break;
        case FieldKind::ComboEdit:
          if (c) *f.text = N(Text(f.control));
          break;
        case FieldKind::List:
          if (c) *f.number = static_cast<int>(SendMessageW(c, LB_GETCURSEL, 0, 0));
          break;
        case FieldKind::HotKey:
          if (c) {
            const WORD hk = LOWORD(SendMessageW(c, HKM_GETHOTKEY, 0, 0));
            const BYTE flags = HIBYTE(hk);
            uint32_t mods = 0;
            if (flags & HOTKEYF_SHIFT) mods |= kModShift;
            if (flags & HOTKEYF_CONTROL) mods |= kModCtrl;
            if (flags & HOTKEYF_ALT) mods |= kModAlt;
            *f.number = static_cast<int>(mods << 16 | LOBYTE(hk));
          }
          break;
        case FieldKind::Label:
        case FieldKind::Link:
        case FieldKind::Progress: break;
      }
    }
    return true;
  }

  void Enable() {
    for (const Field& f : model.Fields()) {
      std::vector<int> ids = f.radios.empty() ? std::vector<int>{f.control} : f.radios;
      for (int id : ids)
        if (HWND c = GetDlgItem(dlg, id)) EnableWindow(c, model.IsEnabled(id));
    }
    // Buttons that are no field ask the model too.
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      int id = GetDlgCtrlID(c);
      if (id != IDOK && id != IDCANCEL && id > 0) {
        bool isField = false;
        for (const Field& f : model.Fields()) {
          if (f.control == id) isField = true;
          for (int r : f.radios) isField = isField || r == id;
        }
        if (!isField) EnableWindow(c, model.IsEnabled(id));
      }
    }
    GreyLabels();
  }

  // A label stands grey beside a field that is grey. The label of a control is the static
  // text just before it in the template (where its mnemonic leads), on the same row or
  // above it.
  void GreyLabels() {
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (!IsTextStatic(c)) continue;
      HWND next = GetWindow(c, GW_HWNDNEXT);
      while (next && IsTextStatic(next)) next = GetWindow(next, GW_HWNDNEXT);
      if (!next) break;
      RECT label, field;
      GetWindowRect(c, &label);
      GetWindowRect(next, &field);
      const bool sameRow = field.top < label.bottom && label.top < field.bottom;
      const bool below = field.top >= label.bottom && field.left >= label.left && field.left < label.right;
      if (sameRow || below) EnableWindow(c, IsWindowEnabled(next));
    }
  }
  static bool IsTextStatic(HWND c) {
    wchar_t cls[16] = {};
    GetClassNameW(c, cls, 16);
    return _wcsicmp(cls, L"Static") == 0 && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) <= SS_RIGHT;
  }

  void Centre() {
    RECT r, area;
    GetWindowRect(dlg, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + ((area.right - area.left) - (r.right - r.left)) / 2;
    int y = area.top + ((area.bottom - area.top) - (r.bottom - r.top)) / 2;
    SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }

  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_INITDIALOG: {
        ownUi = std::make_unique<Win32UI>(cp(), dlg, parentUi.Title());
        if (model.Title() != Txt::None) SetWindowTextW(dlg, Utf8ToWide(TextOf(model.Title())).c_str());
        model.OnInit(*this);
        for (const Field& f : model.Fields())
          if (f.kind == FieldKind::Link) CStaticLink::Attach(GetDlgItem(dlg, f.control), Utf8ToWide(f.link ? f.link : ""));
        Put();
        Centre();
        SetForegroundWindow(dlg);
        return TRUE;
      }
      case WM_CTLCOLORSTATIC:
        if (HBRUSH b = CStaticLink::OnCtlColor(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp)))
          return reinterpret_cast<INT_PTR>(b);
        return FALSE;
      case WM_COMMAND: {
        int id = LOWORD(wp);
        int code = HIWORD(wp);
        if (modeless && (id == IDOK || id == IDCANCEL)) {
          // A modeless dialog is not ended here: its model decides (and may hide it).
          model.OnCommand(id, *this);
          return TRUE;
        }
        if (id == IDOK) {
          if (!Take(true)) return TRUE;
          if (model.OnOk(*this)) EndDialog(dlg, IDOK);
          return TRUE;
        }
        if (id == IDCANCEL) {
          EndDialog(dlg, IDCANCEL);
          return TRUE;
        }
        bool act = code == BN_CLICKED || code == CBN_SELCHANGE || code == LBN_SELCHANGE || code == LBN_DBLCLK;
        if (!act) return FALSE;
        if (code == CBN_SELCHANGE) {
          // The edit part of a drop-down only changes after this notification: take the entry.
          HWND c = reinterpret_cast<HWND>(lp);
          LRESULT sel = SendMessageW(c, CB_GETCURSEL, 0, 0);
          if (sel >= 0) {
            LRESULT n = SendMessageW(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
            std::wstring s(static_cast<size_t>(n) + 1, L'\0');
            SendMessageW(c, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(s.data()));
            s.resize(static_cast<size_t>(n));
            SetWindowTextW(c, s.c_str());
          }
        }
        Take(false);
        if (model.OnCommand(id, *this)) Put();
        else Enable();
        return TRUE;
      }
    }
    return FALSE;
  }

  static INT_PTR CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Binder* b = nullptr;
    if (msg == WM_INITDIALOG) {
      b = reinterpret_cast<Binder*>(lp);
      b->dlg = h;
      SetWindowLongPtrW(h, DWLP_USER, lp);
    } else {
      b = reinterpret_cast<Binder*>(GetWindowLongPtrW(h, DWLP_USER));
    }
    return b ? b->OnMessage(msg, wp, lp) : FALSE;
  }
};

}  // namespace

std::vector<int> MissingControls(HWND dlg, DialogModel& model) {
  std::vector<int> missing;
  for (const Field& f : model.Fields()) {
    std::vector<int> ids = f.radios.empty() ? std::vector<int>{f.control} : f.radios;
    for (int id : ids)
      if (!GetDlgItem(dlg, id)) missing.push_back(id);
  }
  return missing;
}

namespace {

// The modeless dialogs on show, for the message pump's keyboard handling.
std::vector<HWND>& ModelessWindows() {
  static std::vector<HWND> v;
  return v;
}

class ModelessDialog final : public IModeless {
 public:
  ModelessDialog(DialogModel& m, Win32UI& ui) : b_(m, ui) {}
  ~ModelessDialog() override {
    if (!b_.dlg) return;
    std::erase(ModelessWindows(), b_.dlg);
    DestroyWindow(b_.dlg);
  }
  bool Open(HINSTANCE instance, HWND owner) {
    b_.modeless = true;
    CreateDialogParamW(instance, MAKEINTRESOURCEW(b_.model.ResourceId()), owner, Binder::Proc, reinterpret_cast<LPARAM>(&b_));
    if (!b_.dlg) return false;
    ModelessWindows().push_back(b_.dlg);
    ShowWindow(b_.dlg, SW_SHOW);
    UpdateWindow(b_.dlg);
    return true;
  }
  void Refresh() override {
    if (!b_.dlg) return;
    b_.Put();
    UpdateWindow(b_.dlg);
  }

 private:
  Binder b_;
};

}  // namespace

std::unique_ptr<IModeless> OpenModelessModel(HINSTANCE instance, HWND owner, DialogModel& model, Win32UI& ui) {
  auto d = std::make_unique<ModelessDialog>(model, ui);
  if (!d->Open(instance, owner)) return nullptr;
  return d;
}

void PumpOneMessage() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
  if (msg.message == WM_QUIT) {
    // Not ours to take: the main loop ends on it.
    PostQuitMessage(static_cast<int>(msg.wParam));
    return;
  }
  for (HWND d : ModelessWindows())
    if (IsDialogMessageW(d, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool RunDialogModel(HINSTANCE instance, HWND owner, DialogModel& model, Win32UI& ui) {
  Binder b(model, ui);
  INT_PTR r = DialogBoxParamW(instance, MAKEINTRESOURCEW(model.ResourceId()), owner, Binder::Proc,
                              reinterpret_cast<LPARAM>(&b));
  return r == IDOK;
}

}  // namespace qlk::win
