#pragma once
// What the application object keeps for the whole process and the commands share.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/HotKeys.h"
#include "app/SettingKeys.h"
#include "macro/Commands.h"
#include "ops/Kinsoku.h"
#include "platform/Settings.h"
#include "platform/Shell.h"

namespace qlk {

// The address of the update information when [Update] "Url" names none.
inline constexpr const char* kDefaultUpdateUrl = keys::kUpdateUrl.def;

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
class IUpdateSystem;

// Features the settings dialog opens, attached by the families that build them (their
// Bindings::DocHooks installers).
struct AppHooks {
  std::function<void(DialogHost&)> openKinsokuDialog;
  std::function<void(DialogHost&)> createStartupShortcut;
};

// The hook slots of AppHooks and DocHooks that a feature not yet built will fill: until it
// lands they stay empty, and the button or step that calls them does nothing. A test checks
// that every other slot is filled once the bindings are made, and that these are not.
inline constexpr std::array<const char*, 0> kHooksNotYetBuilt{};

struct AppState {
  std::string helpPath;  // the help file beside the program
  // The custom menu: the catalogue its entries are chosen from (built once at start-up, with
  // the macro menu as it stood then) and the identifiers on top of the tray menu, in order.
  std::vector<CatalogueEntry> catalogue;
  std::vector<uint32_t> customMenu;
  // Where the custom menu's file goes when the program's folder cannot be written; empty
  // where there is no such folder.
  std::string appDataFolder;
  KinsokuRules kinsoku;  // line-breaking rules of the folds, as the rules dialog last left them
  UpdateState update;
  AppHooks hooks;
  // The update check's seam and the public key its information must be signed with: given
  // by the front end that checks for updates (the tray), absent elsewhere.
  IUpdateSystem* updateSystem = nullptr;
  std::string updateKeyPem;
  // Ends the program as closing its main window does (after a setup program was started);
  // given by the front end that has such a window.
  std::function<void()> closeMainWindow;
  // The hotkeys, as the "HotKey" section holds them. The front end that registers them gives
  // `applyHotKeys` (registers the list anew, returns the bindings another program holds) and
  // `hotKeyFree` (whether a combination could be registered now); without them every
  // combination counts as free.
  std::vector<HotKeyBinding> hotKeys;
  std::function<std::vector<HotKeyBinding>()> applyHotKeys;
  std::function<bool(uint32_t mods, uint32_t vk)> hotKeyFree;
};

}  // namespace qlk
