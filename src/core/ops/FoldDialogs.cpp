#include "ops/FoldDialogs.h"

#include <climits>

#include "app/SettingKeys.h"
#include "platform/Settings.h"

namespace qlk {

// ---------------------------------------------------------------- CInputNoDlg

CInputNoDlg::CInputNoDlg(ISettings& settings, Txt prompt, std::string section)
    : settings_(settings), prompt_(prompt), section_(std::move(section)) {
  value = settings_.GetInt(section_, "No", 70);
}

std::vector<Field> CInputNoDlg::Fields() { return {Field::Int(kValue, value), Field::Label(kPrompt, prompt_)}; }

bool CInputNoDlg::OnOk(DialogHost&) {
  settings_.SetInt(section_, "No", value);
  return true;
}

// ---------------------------------------------------------------- CTurnIfDlg

CTurnIfDlg::CTurnIfDlg(ISettings& settings) : settings_(settings) {
  text = settings_.GetText("TurnIf", "TurnStr", "");
  replace = settings_.GetInt("TurnIf", "bReplace", 0) != 0 ? 1 : 0;
}

std::vector<Field> CTurnIfDlg::Fields() { return {Field::Text(kText, text), Field::Check(kReplace, replace)}; }

bool CTurnIfDlg::OnOk(DialogHost&) {
  settings_.SetText("TurnIf", "TurnStr", text);
  settings_.SetInt("TurnIf", "bReplace", replace);
  return true;
}

// ---------------------------------------------------------------- CKinsokuDlg

CKinsokuDlg::CKinsokuDlg(KinsokuRules& rules, ISettings& settings) : rules_(rules), settings_(settings) {
  first = rules_.first;
  last = rules_.last;
  hanging = rules_.hanging ? 1 : 0;
  pushOut = rules_.pushOut ? 1 : 0;
  noBreakInTags = rules_.noBreakInTags ? 1 : 0;
  english = Get(settings_, keys::kTurnEnglish);
  if (english < 0 || english > 2) english = 0;
}

std::vector<Field> CKinsokuDlg::Fields() {
  return {Field::Text(kFirst, first),
          Field::Text(kLast, last),
          Field::Check(kHanging, hanging),
          Field::Check(kPushOut, pushOut),
          Field::Check(kNoBreakInTags, noBreakInTags),
          Field::Combo(kEnglish, english, {Txt::FoldEnglishNormal, Txt::FoldEnglishNextLine, Txt::FoldEnglishHyphen})};
}

bool CKinsokuDlg::IsEnabled(int control) const {
  if (control == kFirst) return hanging != 0;
  if (control == kLast) return pushOut != 0;
  return true;
}

bool CKinsokuDlg::OnOk(DialogHost&) {
  rules_.first = first;
  rules_.last = last;
  rules_.hanging = hanging != 0;
  rules_.pushOut = pushOut != 0;
  rules_.noBreakInTags = noBreakInTags != 0;
  settings_.SetText("Print", "KinsokuFirst", first);
  settings_.SetText("Print", "KinsokuLast", last);
  settings_.SetInt("Print", "bKinFirst", hanging != 0 ? 1 : 0);
  settings_.SetInt("Print", "bKinLast", pushOut != 0 ? 1 : 0);
  Set(settings_, keys::kTurnEnglish, english);
  return true;
}

// ---------------------------------------------------------------- CUstrDlg

CUstrDlg::CUstrDlg(ISettings& settings) : settings_(settings) {
  column = settings_.GetInt("UstrDlg", "Upos", 0);
  text = settings_.GetText("UstrDlg", "Ustr", "");
}

std::vector<Field> CUstrDlg::Fields() {
  return {Field::Int(kColumn, column, kMinColumn, kMaxColumn), Field::Text(kText, text)};
}

bool CUstrDlg::OnOk(DialogHost&) {
  settings_.SetInt("UstrDlg", "Upos", column);
  settings_.SetText("UstrDlg", "Ustr", text);
  return true;
}

// ---------------------------------------------------------------- CRenoDlg

CRenoDlg::CRenoDlg(ISettings& settings) : settings_(settings) {
  column = settings_.GetInt("RenoDlg", "RenoPos", 1);
  digits = settings_.GetInt("RenoDlg", "RenoKeta", 0);
  start = settings_.GetInt("RenoDlg", "RenoStart", 1);
  increment = settings_.GetInt("RenoDlg", "Zoubun", 1);
  blankFill = settings_.GetInt("RenoDlg", "ZeroSup", 0) != 0 ? 1 : 0;
}

std::vector<Field> CRenoDlg::Fields() {
  return {Field::Int(kColumn, column, kMinColumn, kMaxColumn), Field::Int(kDigits, digits, kMinColumn, kMaxColumn),
          Field::Int(kStart, start), Field::Int(kIncrement, increment), Field::Check(kBlankFill, blankFill)};
}

bool CRenoDlg::OnOk(DialogHost&) {
  settings_.SetInt("RenoDlg", "RenoPos", column);
  settings_.SetInt("RenoDlg", "RenoKeta", digits);
  settings_.SetInt("RenoDlg", "RenoStart", start);
  settings_.SetInt("RenoDlg", "Zoubun", increment);
  settings_.SetInt("RenoDlg", "ZeroSup", blankFill);
  return true;
}

// ---------------------------------------------------------------- CInsertDlg

CInsertDlg::CInsertDlg(ISettings& settings) : settings_(settings) {
  column = settings_.GetInt("InsertDlg", "InsertPos", 1);
  text = settings_.GetText("InsertDlg", "InsertStr", "");
}

std::vector<Field> CInsertDlg::Fields() {
  return {Field::Int(kColumn, column, kMinColumn, kMaxColumn), Field::Text(kText, text)};
}

bool CInsertDlg::OnOk(DialogHost&) {
  settings_.SetInt("InsertDlg", "InsertPos", column);
  settings_.SetText("InsertDlg", "InsertStr", text);
  return true;
}

// ---------------------------------------------------------------- CDelposDlg

CDelposDlg::CDelposDlg(ISettings& settings) : settings_(settings) {
  first = settings_.GetInt("DelPos", "m_PosStart", 1);
  last = settings_.GetInt("DelPos", "m_PosEnd", 1);
}

std::vector<Field> CDelposDlg::Fields() {
  return {Field::Int(kFirst, first, kMinColumn, kMaxColumn), Field::Int(kLast, last, kMinColumn, kMaxColumn)};
}

bool CDelposDlg::OnOk(DialogHost&) {
  settings_.SetInt("DelPos", "m_PosStart", first);
  settings_.SetInt("DelPos", "m_PosEnd", last);
  return true;
}

// ---------------------------------------------------------------- CSpaceInsDlg

CSpaceInsDlg::CSpaceInsDlg(ISettings& settings) : settings_(settings) {
  column = settings_.GetInt("SpaceIns", "nKeta", 1);
  count = settings_.GetInt("SpaceIns", "nCount", 1);
  overwrite = settings_.GetInt("SpaceIns", "bOverWrite", 0) != 0 ? 1 : 0;
}

std::vector<Field> CSpaceInsDlg::Fields() {
  return {Field::Int(kColumn, column, 0, INT_MAX), Field::Int(kCount, count, 0, INT_MAX),
          Field::Check(kOverwrite, overwrite)};
}

bool CSpaceInsDlg::OnOk(DialogHost&) {
  settings_.SetInt("SpaceIns", "nKeta", column);
  settings_.SetInt("SpaceIns", "nCount", count);
  settings_.SetInt("SpaceIns", "bOverWrite", overwrite);
  return true;
}

// ---------------------------------------------------------------- CInputDlg

CInputDlg::CInputDlg(ISettings& settings, Txt prompt, std::string section, std::string key)
    : settings_(settings), prompt_(prompt), section_(std::move(section)), key_(std::move(key)) {
  text = settings_.GetText(section_, key_, "");
}

std::vector<Field> CInputDlg::Fields() { return {Field::Text(kText, text), Field::Label(kPrompt, prompt_)}; }

bool CInputDlg::OnOk(DialogHost&) {
  settings_.SetText(section_, key_, text);
  return true;
}

}  // namespace qlk
