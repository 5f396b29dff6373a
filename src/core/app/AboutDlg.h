#pragma once
// "バージョン情報": the icon, the version and the maker's two links; nothing to fill in.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_ABOUT      100
#define IDC_ABOUT_MAIL 155
#define IDC_ABOUT_HOME 156
#define IDC_ABOUT_VERSION 1002

#ifndef RC_INVOKED
#include <vector>

#include "app/Dialog.h"
#include "app/WebPages.h"

namespace qlk {

class CAboutDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_ABOUT;
  int ResourceId() const override { return kResource; }
  // The site's link opens its own text; the mail link shows the address and opens a mail.
  std::vector<Field> Fields() override {
    return {Field::Link(IDC_ABOUT_HOME, kMakerSite, ""), Field::Link(IDC_ABOUT_MAIL, kMakerMail, kMakerMailLink)};
  }
};

}  // namespace qlk

#endif  // RC_INVOKED
