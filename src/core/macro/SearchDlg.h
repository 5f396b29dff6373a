#pragma once
// "対象行指定": the target-line selection dialog.
#include <string>

#include "app/Dialog.h"

namespace qlk {

class CSearchDlg final : public DialogModel {
 public:
  enum Control {
    kStart = 114,
    kEnd = 106,
    kPattern = 108,
    kRegex = 153,
    kStep = 109,
    kAllLines = 104,  // "全行(&A)"
  };
  static constexpr int kResource = 102;

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
