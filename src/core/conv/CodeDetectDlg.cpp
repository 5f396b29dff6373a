#include "conv/CodeDetectDlg.h"

namespace qlk {

std::vector<Field> CCodeDetectDlg::Fields() {
  return {Field::Label(kCodeDetectLead, Txt::CodeDetectLead),
          Field::Combo(kCodeDetectList, selected,
                       {Txt::CodeNameSjis, Txt::CodeNameJis, Txt::CodeNameEuc, Txt::CodeNameUtf8, Txt::CodeNameAscii,
                        Txt::CodeNameUnknown}),
          Field::Label(kCodeDetectNote, Txt::CodeDetectNote)};
}

}  // namespace qlk
