#pragma once
// "対象行指定": the target-line selection dialog.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_SEARCH           102
#define IDC_SEARCH_START     114
#define IDC_SEARCH_END       106
#define IDC_SEARCH_PATTERN   108
#define IDC_SEARCH_REGEX     153
#define IDC_SEARCH_STEP      109
#define IDC_SEARCH_ALL_LINES 104

#ifndef RC_INVOKED
#include <string>

#include "app/Dialog.h"

namespace qlk {

class CSearchDlg final : public DialogModel {
 public:
  enum Control {
    kStart = IDC_SEARCH_START,
    kEnd = IDC_SEARCH_END,
    kPattern = IDC_SEARCH_PATTERN,
    kRegex = IDC_SEARCH_REGEX,
    kStep = IDC_SEARCH_STEP,
    kAllLines = IDC_SEARCH_ALL_LINES,  // "全行(&A)"
  };
  static constexpr int kResource = IDD_SEARCH;

  CSearchDlg(int start, int end, int lineCount, int step, std::string pattern, int regex, bool regexAvailable)
      : start(start), end(end), step(step), pattern(std::move(pattern)), regex(regex), lineCount_(lineCount),
        regexAvailable_(regexAvailable) {}

  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnCommand(int control, DialogHost& host) override;
  bool OnOk(DialogHost& host) override;
  bool IsEnabled(int control) const override { return control != kRegex || regexAvailable_; }

  int start, end, step;
  std::string pattern;
  int regex;

 private:
  int lineCount_;
  bool regexAvailable_;
};

}  // namespace qlk

#endif  // RC_INVOKED
