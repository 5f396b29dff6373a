#pragma once
// What the application object keeps for the whole process and the commands share.
#include <functional>
#include <string>

#include "ops/Kinsoku.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

namespace qlk {

// The address of the update information when [Update] "Url" names none.
inline constexpr const char* kDefaultUpdateUrl = "https://www.korvu.example/soft/update.xml";

// The state of the update check: the schedule, where to look, and what the information file
// said of the release.
struct UpdateState {
  std::string productKey = "QlkTray";  // selects the entry of the information file
  int checkMode = 0;  // 0 never, 1 at every start, 2 once a day, 3 once a week
  std::string infoUrl = kDefaultUpdateUrl;  // [Update] "Url", read at each check
  int year = 2005, month = 1, day = 1;  // the last check, read as local midnight of that date
  // From the entry: the setup program's address, what to show, and what the setup must be.
  std::string setupUrl, version, description, home;
  LocalSeconds releaseDate = 0;  // 0 until an entry gives a valid date
  std::string setupSha256;       // 64 hexadecimal digits
  long long setupSize = -1;      // bytes; -1 until an entry gives it

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
class IUpdateSystem;

struct AppState {
  std::string helpPath;  // the help file beside the program
  KinsokuRules kinsoku;  // line-breaking rules of the folds, as the rules dialog last left them
  UpdateState update;
  // Features the settings dialog opens, attached by the families that build them.
  std::function<void(DialogHost&)> openKinsokuDialog;
  std::function<void(DialogHost&)> createStartupShortcut;
  // The update check's seam and the public key its information must be signed with: given
  // by the front end that checks for updates (the tray), absent elsewhere.
  IUpdateSystem* updateSystem = nullptr;
  std::string updateKeyPem;
  // Ends the program as closing its main window does (after a setup program was started).
  std::function<void()> closeMainWindow;
};

}  // namespace qlk
