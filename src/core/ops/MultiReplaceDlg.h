#pragma once
// The dialogs of the multi-file replacement: "複数ファイル置換", which asks for the folder, the
// file-name pattern, the word and its replacement, and "置換終了", which reports the counts.

#define IDD_MULTI_REPLACE           1404
#define IDC_MULTI_REPLACE_DIR       1000
#define IDC_MULTI_REPLACE_BROWSE    1001
#define IDC_MULTI_REPLACE_FILE      1002
#define IDC_MULTI_REPLACE_FIND      1003
#define IDC_MULTI_REPLACE_REPLACE   1004
#define IDD_RREPORT                 1405
#define IDC_RREPORT_FILES           1000
#define IDC_RREPORT_WORDS           1001

#ifndef RC_INVOKED
#include <string>

#include "app/Dialog.h"

namespace qlk {

class ISettings;

// Settings section "MultiReplace": "Dir", "File", "Find", "Replace", read when the dialog is
// built and written on OK. The word and the replacement are typed in the escape notation.
class CMultiReplaceDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_MULTI_REPLACE;
  explicit CMultiReplaceDlg(ISettings& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  // The browse button: the shell's folder browser; the chosen folder replaces the field.
  bool OnCommand(int control, DialogHost& host) override;
  // An empty word or folder is refused with its message, the dialog staying open.
  bool OnOk(DialogHost& host) override;

  std::string dir, file, find, replace;

 private:
  ISettings& settings_;
};

// "置換終了": the files and the words replaced, read-only.
class CRReportDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_RREPORT;
  CRReportDlg(int files, int words) : files_(std::to_string(files)), words_(std::to_string(words)) {}
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override {
    return {Field::LabelText(IDC_RREPORT_FILES, files_), Field::LabelText(IDC_RREPORT_WORDS, words_)};
  }

 private:
  std::string files_, words_;
};

}  // namespace qlk
#endif
