#pragma once
// What the application object keeps for the whole process and the commands share.
#include <functional>
#include <string>

#include "app/SettingKeys.h"
#include "ops/Kinsoku.h"
#include "platform/Settings.h"

namespace qlk {

// The state of the automatic update check: the date of the last check and how often to check.
struct UpdateState {
  int year = 2005, month = 1, day = 1;
  int checkMode = 0;  // 0 never, 1 at every start, 2 once a day, 3 once a week

  void Load(ISettings& s) {
    year = Get(s, keys::kUpdateYear);
    month = Get(s, keys::kUpdateMonth);
    day = Get(s, keys::kUpdateDay);
    checkMode = Get(s, keys::kUpdateCheckMode);
  }
  void Save(ISettings& s) const {
    Set(s, keys::kUpdateYear, year);
    Set(s, keys::kUpdateMonth, month);
    Set(s, keys::kUpdateDay, day);
    Set(s, keys::kUpdateCheckMode, checkMode);
  }
};

class DialogHost;

// Features the settings dialog opens, attached by the families that build them (their
// Bindings::DocHooks installers).
struct AppHooks {
  std::function<void(DialogHost&)> openKinsokuDialog;
  std::function<void(DialogHost&)> createStartupShortcut;  // filled by a feature not yet built
};

// The hook slots of AppHooks and DocHooks that a feature not yet built will fill: until it
// lands they stay empty, and the button or step that calls them does nothing. A test checks
// that every other slot is filled once the bindings are made, and that these are not.
inline constexpr const char* kHooksNotYetBuilt[] = {"createStartupShortcut"};

struct AppState {
  std::string helpPath;  // the help file beside the program
  KinsokuRules kinsoku;  // line-breaking rules of the folds, as the rules dialog last left them
  UpdateState update;
  AppHooks hooks;
};

}  // namespace qlk
