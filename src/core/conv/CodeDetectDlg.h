#pragma once
// "コード判定": shows the detected code of the document. Nothing the user does in it changes
// anything; OK and Cancel both just close it.
#include <vector>

#include "app/Dialog.h"
#include "conv/Detect.h"

namespace qlk {

// Control identifiers of dialog resource 1150.
enum CodeDetectControl {
  kCodeDetectList = 1001,  // drop-down list of the six code names, the detected one selected
  kCodeDetectLead = 1002,  // "現在の文字コードは"
  kCodeDetectNote = 1003,  // "注：文字数が少ない場合などには判定が正確でない場合があります"
};

class CCodeDetectDlg final : public DialogModel {
 public:
  static constexpr int kResource = 1150;
  explicit CCodeDetectDlg(DetectedCode detected) : selected(detected) {}

  int ResourceId() const override { return kResource; }
  Txt Title() const override { return Txt::CodeDetectTitle; }
  std::vector<Field> Fields() override;

  int selected;  // index in the list, as the detection result numbers the codes
};

}  // namespace qlk
