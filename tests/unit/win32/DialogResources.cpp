#include "DialogResources.h"

#include <cwctype>

namespace qlk::test {
namespace {

// Reads a template's words in order, never past its end.
class Reader {
 public:
  Reader(const BYTE* p, size_t size) : begin_(p), p_(p), end_(p + size) {}
  bool ok() const { return ok_; }
  WORD Word() { return static_cast<WORD>(Take(2)); }
  DWORD Dword() { return static_cast<DWORD>(Take(4)); }
  short Short() { return static_cast<short>(Word()); }
  BYTE Byte() { return static_cast<BYTE>(Take(1)); }
  // A string, or an ordinal (0xFFFF then a word: returned as "#n"), or nothing (0).
  std::wstring NameOrOrdinal() {
    WORD first = Word();
    if (first == 0) return {};
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    std::wstring s(1, static_cast<wchar_t>(first));
    return s + String();
  }
  std::wstring String() {
    std::wstring s;
    for (WORD w = Word(); ok_ && w; w = Word()) s += static_cast<wchar_t>(w);
    return s;
  }
  void AlignDword() {
    size_t off = static_cast<size_t>(p_ - begin_);
    Skip((4 - off % 4) % 4);
  }
  void Skip(size_t n) {
    if (static_cast<size_t>(end_ - p_) < n) {
      ok_ = false;
      p_ = end_;
    } else {
      p_ += n;
    }
  }

 private:
  uint32_t Take(size_t n) {
    if (static_cast<size_t>(end_ - p_) < n) {
      ok_ = false;
      p_ = end_;
      return 0;
    }
    uint32_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(p_[i]) << (8 * i);
    p_ += n;
    return v;
  }
  const BYTE* begin_;
  const BYTE* p_;
  const BYTE* end_;
  bool ok_ = true;
};

std::wstring ClassName(const std::wstring& raw) {
  static const wchar_t* const kAtoms[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
  if (raw.size() > 1 && raw[0] == L'#') {
    int atom = _wtoi(raw.c_str() + 1);
    if (atom >= 0x80 && atom <= 0x85) return kAtoms[atom - 0x80];
  }
  return raw;
}

bool Parse(int id, const BYTE* data, size_t size, DialogResource& d, std::string& error) {
  Reader r(data, size);
  d.id = id;
  if (r.Word() != 1 || r.Word() != 0xFFFF) {
    error = "dialog " + std::to_string(id) + " is not a DIALOGEX template";
    return false;
  }
  r.Dword();  // help identifier
  d.exStyle = r.Dword();
  d.style = r.Dword();
  const int count = r.Word();
  r.Short();
  r.Short();
  d.cx = r.Short();
  d.cy = r.Short();
  r.NameOrOrdinal();  // menu
  r.NameOrOrdinal();  // class
  d.caption = r.String();
  if (d.style & (DS_SETFONT | DS_SHELLFONT)) {
    d.pointSize = r.Word();
    d.weight = r.Word();
    d.italic = r.Byte() != 0;
    d.charset = r.Byte();
    d.font = r.String();
  }
  for (int i = 0; i < count && r.ok(); ++i) {
    r.AlignDword();
    DialogItem it;
    r.Dword();  // help identifier
    it.exStyle = r.Dword();
    it.style = r.Dword();
    it.x = r.Short();
    it.y = r.Short();
    it.cx = r.Short();
    it.cy = r.Short();
    DWORD control = r.Dword();
    it.id = (control == 0xFFFFFFFF || control == 0xFFFF) ? -1 : static_cast<int>(control);
    it.cls = ClassName(r.NameOrOrdinal());
    std::wstring text = r.NameOrOrdinal();
    if (!(text.size() > 1 && text[0] == L'#' && iswdigit(text[1]))) it.text = text;
    r.Skip(r.Word());  // creation data
    d.items.push_back(std::move(it));
  }
  if (!r.ok() || static_cast<int>(d.items.size()) != count) {
    error = "dialog " + std::to_string(id) + " ends before its " + std::to_string(count) + " items";
    return false;
  }
  return true;
}

struct Walk {
  HMODULE module;
  std::vector<DialogResource> out;
  std::vector<std::string>* errors;
};

BOOL CALLBACK OnName(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR lp) {
  auto* w = reinterpret_cast<Walk*>(lp);
  auto fail = [&](std::string e) {
    if (w->errors) w->errors->push_back(std::move(e));
  };
  if (!IS_INTRESOURCE(name)) {
    fail("a dialog resource has a name, not a number");
    return TRUE;
  }
  const int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
  HRSRC res = FindResourceW(module, name, reinterpret_cast<LPCWSTR>(RT_DIALOG));
  HGLOBAL h = res ? LoadResource(module, res) : nullptr;
  const BYTE* data = h ? static_cast<const BYTE*>(LockResource(h)) : nullptr;
  if (!data) {
    fail("dialog " + std::to_string(id) + " cannot be loaded");
    return TRUE;
  }
  DialogResource d;
  std::string error;
  if (Parse(id, data, SizeofResource(module, res), d, error)) w->out.push_back(std::move(d));
  else fail(error);
  return TRUE;
}

INT_PTR CALLBACK Quiet(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

}  // namespace

bool DialogItem::IsCheckOrRadio() const {
  if (!IsButton()) return false;
  switch (ButtonKind()) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return true;
  }
  return false;
}

const DialogItem* DialogResource::Item(int control) const {
  for (const DialogItem& it : items)
    if (it.id == control) return &it;
  return nullptr;
}

std::vector<DialogResource> DialogResources(HMODULE module, std::vector<std::string>* errors) {
  Walk w{module ? module : GetModuleHandleW(nullptr), {}, errors};
  EnumResourceNamesW(w.module, reinterpret_cast<LPCWSTR>(RT_DIALOG), OnName, reinterpret_cast<LONG_PTR>(&w));
  return std::move(w.out);
}

CreatedDialog::CreatedDialog(HMODULE module, int resource) {
  hwnd_ = CreateDialogParamW(module ? module : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), nullptr, Quiet, 0);
}

CreatedDialog::~CreatedDialog() {
  if (hwnd_) DestroyWindow(hwnd_);
}

RECT CreatedDialog::ControlRect(int control) const {
  RECT r{};
  HWND c = GetDlgItem(hwnd_, control);
  if (!c) return r;
  GetWindowRect(c, &r);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring WithoutMnemonicMarks(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

wchar_t MnemonicOf(const std::wstring& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return static_cast<wchar_t>(towupper(text[i + 1]));
    ++i;
  }
  return 0;
}

}  // namespace qlk::test
