#pragma once
// "エディタの設定": which text editor the editor command starts.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_EDITOR        125
#define IDC_EDITOR_PATH   105
#define IDC_EDITOR_BROWSE 106

#ifndef RC_INVOKED
#include <string>
#include <vector>

#include "app/Dialog.h"
#include "platform/Settings.h"

namespace qlk {

class CEditorDlg final : public DialogModel {
 public:
  enum Control { kPath = IDC_EDITOR_PATH, kBrowse = IDC_EDITOR_BROWSE };
  static constexpr int kResource = IDD_EDITOR;

  // Reads [System] "Editor".
  explicit CEditorDlg(ISettings& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override { return {Field::Text(kPath, path)}; }
  // The browse button: an executable file that exists replaces the path.
  bool OnCommand(int control, DialogHost& host) override;
  // Writes [System] "Editor".
  bool OnOk(DialogHost& host) override;

  std::string path;  // Shift-JIS

 private:
  ISettings& s_;
};

}  // namespace qlk

#endif  // RC_INVOKED
