#pragma once
// What the application object keeps for the whole process and the commands share.
#include <functional>
#include <string>

#include "ops/Kinsoku.h"
#include "platform/Settings.h"

namespace qlk {

// The state of the automatic update check: the date of the last check and how often to check.
struct UpdateState {
  int year = 2005, month = 1, day = 1;
  int checkMode = 0;  // 0 never, 1 at every start, 2 once a day, 3 once a week

  void Load(ISettings& s) {
    year = s.GetInt("Update", "Year", 2005);
    month = s.GetInt("Update", "Month", 1);
    day = s.GetInt("Update", "Day", 1);
    checkMode = s.GetInt("Update", "CheckMode", 0);
  }
  void Save(ISettings& s) const {
    s.SetInt("Update", "Year", year);
    s.SetInt("Update", "Month", month);
    s.SetInt("Update", "Day", day);
    s.SetInt("Update", "CheckMode", checkMode);
  }
};

class DialogHost;

struct AppState {
  std::string helpPath;  // the help file beside the program
  KinsokuRules kinsoku;  // line-breaking rules of the folds, as the rules dialog last left them
  UpdateState update;
  // Features the settings dialog opens, attached by the families that build them.
  std::function<void(DialogHost&)> openKinsokuDialog;
  std::function<void(DialogHost&)> createStartupShortcut;
};

}  // namespace qlk
