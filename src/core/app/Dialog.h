#pragma once
// Portable dialog models. A model names its dialog resource and lists its fields, each bound
// to a control identifier and to a member of the model; one binding helper per front end
// moves values between those members and the controls. The model holds the logic: defaults,
// settings, validation, list and history handling, what OK writes.
#include <climits>
#include <string>
#include <vector>

#include "app/Texts.h"

namespace qlk {

class CarriedChars;
class IUserInterface;

enum class FieldKind {
  Int,        // edit holding an integer, checked against [min, max] on OK
  Text,       // edit holding Shift-JIS text
  Check,      // check box, 0 or 1
  Radio,      // group of radio buttons, the index of the chosen one
  Combo,      // drop-down list, the index of the chosen entry
  ComboEdit,  // drop-down with an edit: text, entries from `items`
  List,       // list box: entries from `items`, the selected index (-1 for none)
  Label,      // static text set by the model
  Progress,   // progress bar: position `number` in [0, max]
  Link,       // static text that opens an address when clicked: shows `shown`, opens `link`
              // (the shown text when `link` is empty)
  HotKey,     // the system's hotkey control: Ctrl, Alt, Shift bits (HotKeyMod) << 16 | virtual key
};

struct Field {
  int control = 0;
  FieldKind kind = FieldKind::Text;
  int* number = nullptr;                          // Int, Check, Radio, Combo, List
  std::string* text = nullptr;                    // Text, ComboEdit, Label (Shift-JIS)
  const std::vector<std::string>* items = nullptr;  // ComboEdit, List, Combo (Shift-JIS)
  std::vector<Txt> fixedItems;                    // Combo with entries of the text table
  std::vector<int> radios;                        // Radio: the buttons in index order
  Txt label = Txt::None;                          // Label from the text table
  int min = INT_MIN, max = INT_MAX;               // Int
  int maxChars = 0;                               // Text: at most so many characters (0: the control's
                                                  // own limit, kNoLimit: none)
  bool* lossy = nullptr;                          // Text: set when the typed text held characters
                                                  // Shift-JIS cannot hold (they became '?')
  const char* shown = nullptr;                    // Link: its text (UTF-8)
  const char* link = nullptr;                     // Link: its address (UTF-8), "" for the text

  static constexpr int kNoLimit = -1;

  static Field Int(int control, int& v, int min = INT_MIN, int max = INT_MAX) {
    Field f;
    f.control = control;
    f.kind = FieldKind::Int;
    f.number = &v;
    f.min = min;
    f.max = max;
    return f;
  }
  static Field Text(int control, std::string& s, int maxChars = 0) {
    Field f;
    f.control = control;
    f.kind = FieldKind::Text;
    f.text = &s;
    f.maxChars = maxChars;
    return f;
  }
  // A text of any length (a whole document), telling whether taking it lost characters.
  static Field WholeText(int control, std::string& s, bool& lossy) {
    Field f = Text(control, s, kNoLimit);
    f.lossy = &lossy;
    return f;
  }
  static Field Check(int control, int& v) {
    Field f;
    f.control = control;
    f.kind = FieldKind::Check;
    f.number = &v;
    return f;
  }
  static Field Radio(std::vector<int> controls, int& index) {
    Field f;
    f.control = controls.empty() ? 0 : controls.front();
    f.kind = FieldKind::Radio;
    f.number = &index;
    f.radios = std::move(controls);
    return f;
  }
  static Field Combo(int control, int& index, std::vector<Txt> entries) {
    Field f;
    f.control = control;
    f.kind = FieldKind::Combo;
    f.number = &index;
    f.fixedItems = std::move(entries);
    return f;
  }
  static Field ComboEdit(int control, std::string& s, const std::vector<std::string>& entries) {
    Field f;
    f.control = control;
    f.kind = FieldKind::ComboEdit;
    f.text = &s;
    f.items = &entries;
    return f;
  }
  static Field List(int control, int& selected, const std::vector<std::string>& entries) {
    Field f;
    f.control = control;
    f.kind = FieldKind::List;
    f.number = &selected;
    f.items = &entries;
    return f;
  }
  static Field Label(int control, Txt t) {
    Field f;
    f.control = control;
    f.kind = FieldKind::Label;
    f.label = t;
    return f;
  }
  static Field Progress(int control, int& position, int range) {
    Field f;
    f.control = control;
    f.kind = FieldKind::Progress;
    f.number = &position;
    f.min = 0;
    f.max = range;
    return f;
  }
  static Field Link(int control, const char* shownText, const char* address) {
    Field f;
    f.control = control;
    f.kind = FieldKind::Link;
    f.shown = shownText;
    f.link = address;
    return f;
  }
  static Field HotKey(int control, int& v) {
    Field f;
    f.control = control;
    f.kind = FieldKind::HotKey;
    f.number = &v;
    return f;
  }
  static Field LabelText(int control, std::string& s) {
    Field f;
    f.control = control;
    f.kind = FieldKind::Label;
    f.text = &s;
    return f;
  }
};

// What a model may ask of the front end that shows it.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // Message boxes and file dialogs, owned by the dialog.
  virtual IUserInterface& ui() = 0;
  // Moves the keyboard focus to a control (after a refused OK, for example).
  virtual void FocusControl(int control) {}
  // Ends the dialog as OK or Cancel would (a modeless one is hidden).
  virtual void End(bool ok) {}
};

class DialogModel {
 public:
  virtual ~DialogModel() = default;
  virtual int ResourceId() const = 0;
  // A title set at run time; Txt::None keeps the resource's own.
  virtual Txt Title() const { return Txt::None; }
  virtual std::vector<Field> Fields() = 0;
  virtual void OnInit(DialogHost&) {}
  // A button was pressed, a box toggled or a list selection changed; the fields already hold
  // the controls' values. Return true when the fields changed and must be shown again.
  virtual bool OnCommand(int control, DialogHost&) { return false; }
  // OK with valid fields; false keeps the dialog open.
  virtual bool OnOk(DialogHost&) { return true; }
  // Enable state of a control, asked again after every change.
  virtual bool IsEnabled(int control) const { return true; }

  // Set while a command's dialog is shown: text fields read and write the characters Shift-JIS
  // cannot hold under the codes the document carries them in (a new one gets a code).
  CarriedChars* carried = nullptr;
};

}  // namespace qlk
