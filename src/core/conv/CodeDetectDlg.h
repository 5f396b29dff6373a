#pragma once
// "コード判定": shows the detected code of the document. Nothing the user does in it changes
// anything; OK and Cancel both just close it.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_CODE_DETECT      1150
#define IDC_CODE_DETECT_LIST 1001
#define IDC_CODE_DETECT_LEAD 1002
#define IDC_CODE_DETECT_NOTE 1003

#ifndef RC_INVOKED
#include <vector>

#include "app/Dialog.h"
#include "conv/Detect.h"

namespace qlk {

// Control identifiers of dialog resource 1150.
enum CodeDetectControl {
  kCodeDetectList = IDC_CODE_DETECT_LIST,  // drop-down list of the six code names, the detected one selected
  kCodeDetectLead = IDC_CODE_DETECT_LEAD,  // "現在の文字コードは"
  kCodeDetectNote = IDC_CODE_DETECT_NOTE,  // "注：文字数が少ない場合などには判定が正確でない場合があります"
};

class CCodeDetectDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_CODE_DETECT;
  explicit CCodeDetectDlg(DetectedCode detected) : selected(detected) {}

  int ResourceId() const override { return kResource; }
  Txt Title() const override { return Txt::CodeDetectTitle; }
  std::vector<Field> Fields() override;

  int selected;  // index in the list, as the detection result numbers the codes
};

}  // namespace qlk

#endif  // RC_INVOKED
