#pragma once
// Every dialog template among a module's resources, read item by item, and each created as the
// program would create it: for tests that check all dialogs at once (layout, labels,
// mnemonics, the controls a model binds).
#include <windows.h>

#include <string>
#include <vector>

namespace qlk::test {

struct DialogItem {
  int id = -1;          // -1 for none
  std::wstring cls;     // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox", or a class name
  std::wstring text;    // empty when the template gives none or an ordinal (an icon's resource)
  DWORD style = 0, exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units

  bool IsStatic() const { return cls == L"Static"; }
  bool IsButton() const { return cls == L"Button"; }
  // The button kind (BS_PUSHBUTTON, BS_AUTOCHECKBOX, BS_GROUPBOX ...).
  DWORD ButtonKind() const { return style & BS_TYPEMASK; }
  bool IsCheckOrRadio() const;
  bool IsPushButton() const { return IsButton() && (ButtonKind() == BS_PUSHBUTTON || ButtonKind() == BS_DEFPUSHBUTTON); }
  bool IsGroupBox() const { return IsButton() && ButtonKind() == BS_GROUPBOX; }
  // A static showing text (not an icon, bitmap or frame).
  bool IsTextStatic() const { return IsStatic() && (style & SS_TYPEMASK) <= SS_RIGHT; }
};

struct DialogResource {
  int id = 0;
  std::wstring caption, font;
  int pointSize = 0, weight = 0, charset = 0;
  bool italic = false;
  DWORD style = 0, exStyle = 0;
  int cx = 0, cy = 0;  // dialog units
  std::vector<DialogItem> items;  // in template order, which is also tab and z-order

  const DialogItem* Item(int control) const;
};

// Every DIALOGEX template of `module` (the test program itself when null), by identifier.
// A template of another form, or one that cannot be read whole, is reported in `errors`.
std::vector<DialogResource> DialogResources(HMODULE module, std::vector<std::string>* errors);

// A dialog created hidden from its resource, with a procedure that does nothing, as
// DialogBox would create it; destroyed with the object.
class CreatedDialog {
 public:
  CreatedDialog(HMODULE module, int resource);
  ~CreatedDialog();
  CreatedDialog(const CreatedDialog&) = delete;
  CreatedDialog& operator=(const CreatedDialog&) = delete;
  HWND hwnd() const { return hwnd_; }
  // A control's rectangle in the dialog's client pixels.
  RECT ControlRect(int control) const;

 private:
  HWND hwnd_ = nullptr;
};

// The text a control shows: `&` marks the next character as the mnemonic and `&&` stands for
// one ampersand.
std::wstring WithoutMnemonicMarks(const std::wstring& text);
// The mnemonic of a text, upper case, or 0 when it has none.
wchar_t MnemonicOf(const std::wstring& text);

}  // namespace qlk::test
