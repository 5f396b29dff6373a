#include "ops/BlankDlg.h"

#include "ops/Blanks.h"
#include "platform/Settings.h"

namespace qlk {

CTabDlg::CTabDlg(ISettings& s) : width(s.GetInt("TabDlg", "nTab", 8)), s_(s) {}

// A width of 0 or less converts nothing, and a larger one than the limit is refused by
// the operation as well: the dialog says so instead of running a command that does nothing.
std::vector<Field> CTabDlg::Fields() { return {Field::Int(kWidth, width, 1, kMaxTabWidth)}; }

bool CTabDlg::OnOk(DialogHost&) {
  s_.SetInt("TabDlg", "nTab", width);
  return true;
}

CTabIfDlg::CTabIfDlg(ISettings& s)
    : text(s.GetText("TabIf", "TabStr", "")), replace(s.GetInt("TabIf", "bReplace", 0) != 0 ? 1 : 0), s_(s) {}

std::vector<Field> CTabIfDlg::Fields() { return {Field::Text(kText, text), Field::Check(kReplace, replace)}; }

bool CTabIfDlg::OnOk(DialogHost&) {
  s_.SetText("TabIf", "TabStr", text);
  s_.SetInt("TabIf", "bReplace", replace);
  return true;
}

CSptocsvDlg::CSptocsvDlg(ISettings& s)
    : start(s.GetInt("SpToCsv", "nStart", 0)), end(s.GetInt("SpToCsv", "nEnd", 0)), s_(s) {}

std::vector<Field> CSptocsvDlg::Fields() { return {Field::Int(kStart, start), Field::Int(kEnd, end)}; }

bool CSptocsvDlg::OnOk(DialogHost&) {
  s_.SetInt("SpToCsv", "nStart", start);
  s_.SetInt("SpToCsv", "nEnd", end);
  return true;
}

COnelineDlg::COnelineDlg(ISettings& s) : count(s.GetInt("Oneline", "nCount", 2)), s_(s) {}

std::vector<Field> COnelineDlg::Fields() { return {Field::Int(kCount, count, 2, 65535)}; }

bool COnelineDlg::OnOk(DialogHost&) {
  s_.SetInt("Oneline", "nCount", count);
  return true;
}

}  // namespace qlk
