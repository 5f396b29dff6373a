#pragma once
// The macro menu's dialogs: the list ("マクロメニューの編集"), one entry ("マクロメニュー編集"),
// and a macro applied to files ("指定ファイルにマクロを適用").

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_MACRO_MENU          1537
#define IDC_MACRO_MENU_LIST     110
#define IDC_MACRO_MENU_ADD      141
#define IDC_MACRO_MENU_DELETE   131
#define IDC_MACRO_MENU_MODIFY   132
#define IDC_MACRO_MENU_UP       133
#define IDC_MACRO_MENU_DOWN     135
#define IDD_MACRO_EDIT          119
#define IDC_MACRO_EDIT_NAME     122
#define IDC_MACRO_EDIT_PATH     156
#define IDC_MACRO_EDIT_BROWSE   129
#define IDD_MACRO_EXE           1542
#define IDC_MACRO_EXE_MACRO     226
#define IDC_MACRO_EXE_BROWSE    106
#define IDC_MACRO_EXE_FILES     111
#define IDC_MACRO_EXE_ADD       141
#define IDC_MACRO_EXE_DELETE    131
#define IDC_MACRO_EXE_END       230

#ifndef RC_INVOKED
#include <string>
#include <vector>

#include "app/Dialog.h"
#include "app/SettingKeys.h"
#include "macro/DirMenu.h"
#include "platform/Platform.h"

namespace qlk {

// One entry: its name and macro file. Browsing fills both from the chosen file.
class CMacroEditDlg final : public DialogModel {
 public:
  enum Control { kName = IDC_MACRO_EDIT_NAME, kPath = IDC_MACRO_EDIT_PATH, kBrowse = IDC_MACRO_EDIT_BROWSE };
  static constexpr int kResource = IDD_MACRO_EDIT;
  CMacroEditDlg(ISettings& s, std::string name, std::string path) : name(std::move(name)), path(std::move(path)), s_(s) {}

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override {
    return {Field::Text(kName, name), Field::Text(kPath, path)};
  }
  bool OnCommand(int control, DialogHost& host) override;

  std::string name, path;

 private:
  ISettings& s_;
};

// The whole list, edited on a copy of the profile's and written back on OK.
class CMacroMenuDlg final : public DialogModel {
 public:
  enum Control {
    kList = IDC_MACRO_MENU_LIST,
    kAdd = IDC_MACRO_MENU_ADD,        // "追加(&A)..."
    kDelete = IDC_MACRO_MENU_DELETE,  // "削除(&D)..."
    kModify = IDC_MACRO_MENU_MODIFY,  // "修正(&E)..."
    kUp = IDC_MACRO_MENU_UP,          // "一つ上へ移動"
    kDown = IDC_MACRO_MENU_DOWN,      // "一つ下へ移動"
  };
  static constexpr int kResource = IDD_MACRO_MENU;
  explicit CMacroMenuDlg(Platform& p);  // loads the list

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override { return {Field::List(kList, selected, names_)}; }
  bool OnCommand(int control, DialogHost& host) override;
  bool OnOk(DialogHost& host) override;  // saves the list

  const CDirMenuArray& list() const { return list_; }
  int selected = -1;  // -1: none

 private:
  void Refill() { names_ = list_.Names(); }

  Platform& p_;
  CDirMenuArray list_;
  std::vector<std::string> names_;
};

// The macro and the files it is applied to, and what becomes of each file afterwards.
class CMacroExeDlg final : public DialogModel {
 public:
  enum Control {
    kMacro = IDC_MACRO_EXE_MACRO,
    kBrowse = IDC_MACRO_EXE_BROWSE,
    kFiles = IDC_MACRO_EXE_FILES,
    kAdd = IDC_MACRO_EXE_ADD,        // "追加-複数指定可能(&A）..."
    kDelete = IDC_MACRO_EXE_DELETE,  // "削除(&D)..."
    kEnd = IDC_MACRO_EXE_END,        // "処理終了後(&E):"
  };
  enum EndMode { kLeave = 0, kSave = 1, kSaveAndClose = 2 };
  static constexpr int kResource = IDD_MACRO_EXE;
  // Section "MacroExe": the macro file is kept under its own key's name, "MaroName".
  static constexpr TextKey kMacroKey{"MacroExe", "MaroName", ""};
  static constexpr IntKey kEndKey{"MacroExe", "EndMode", 0};

  CMacroExeDlg(Platform& p, std::vector<std::string> files = {});

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  void OnInit(DialogHost&) override { selected = files.empty() ? -1 : 0; }
  bool OnCommand(int control, DialogHost& host) override;
  bool OnOk(DialogHost& host) override;

  std::string macro;
  int endMode = 0;
  std::vector<std::string> files;
  int selected = -1;

 private:
  Platform& p_;
};

// The file dialog that asks for a macro file to run, from the macro folder ([Macro] "Dir").
// `lowerCase`: the ".qmc" spelling, which leaves the current folder alone.
FileDialogRequest MacroFileRequest(ISettings& s, bool lowerCase);
// The name of a macro file as the menu shows it: without its folder and extension.
std::string MacroNameOf(std::string_view path);

// What the macro-over-files command does after OK: each file opened as the keyword Open opens
// it, the macro's lines run on its text, and with a saving end mode the text written back
// beside the file and renamed over it. A file that cannot be opened or written is said so
// and skipped; the clipboard is left alone. The number of files that went well.
class MainState;
int ApplyMacroToFiles(MainState& m, std::string_view macroPath, const std::vector<std::string>& files, int endMode);

}  // namespace qlk

#endif  // RC_INVOKED
