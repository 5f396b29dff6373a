#pragma once
// The settings more than one part of the tool reads or writes: section, key and default once,
// here. A key that one dialog alone keeps stays in that dialog's model, next to what it means.
//   int v = Get(settings, keys::kVerify);   Set(settings, keys::kVerify, 1);
#include <cstdio>
#include <string>

#include "platform/Settings.h"

namespace qlk {

struct IntKey {
  const char* section;
  const char* key;
  int def;
};
struct TextKey {
  const char* section;
  const char* key;
  const char* def;
};
// A numbered family of text keys: prefix and two digits ("Name00", "Dir07").
struct NumberedTextKey {
  const char* section;
  const char* prefix;
  const char* def;
  std::string Key(int n) const {
    char k[32];
    std::snprintf(k, sizeof k, "%s%02d", prefix, n);
    return k;
  }
};

inline int Get(ISettings& s, IntKey k) { return s.GetInt(k.section, k.key, k.def); }
inline std::string Get(ISettings& s, TextKey k) { return s.GetText(k.section, k.key, k.def); }
inline std::string Get(ISettings& s, const NumberedTextKey& k, int n) { return s.GetText(k.section, k.Key(n), k.def); }
inline bool Set(ISettings& s, IntKey k, int v) { return s.SetInt(k.section, k.key, v); }
inline bool Set(ISettings& s, TextKey k, std::string_view v) { return s.SetText(k.section, k.key, v); }
inline bool Set(ISettings& s, const NumberedTextKey& k, int n, std::string_view v) {
  return s.SetText(k.section, k.Key(n), v);
}

namespace keys {

// [System]
inline constexpr IntKey kVerify{"System", "Verify", 0};        // plain commands ask first
inline constexpr IntKey kCrLf{"System", "CrLf", 0};            // line end of saved files: 0 CR LF, 1 CR, 2 LF
inline constexpr IntKey kAutoConvert{"System", "Auto", 1};     // convert JIS and EUC files on opening
inline constexpr IntKey kAllSelect{"System", "AllSelect", 1};  // every store resets the selection
inline constexpr TextKey kExeFile{"System", "ExeFile", ""};    // started by a double click on the icon
inline constexpr TextKey kEditor{"System", "Editor", "notepad.exe"};  // started by the editor command
inline constexpr TextKey kCustomMenuFile{"System", "RMenu", ""};  // the custom menu's file; "" beside the program

// [Jis]: the JIS encoder.
inline constexpr IntKey kJisKana{"Jis", "Kana", 0};  // half-width katakana: 0 shift, 1 escape, 2 eight bits
inline constexpr IntKey kJisEscape{"Jis", "Jis", 1};  // two-byte escape: 0 old, 1 new, 2 1990, 3 X 0212

// [Euc]
inline constexpr IntKey kEucCode{"Euc", "Code", 0};

// [Macro] and the macro menu [DirMenu].
inline constexpr TextKey kMacroDir{"Macro", "Dir", ""};
inline constexpr IntKey kMacroMenuCount{"DirMenu", "DirNo", 0};
inline constexpr NumberedTextKey kMacroMenuName{"DirMenu", "Name", ""};
inline constexpr NumberedTextKey kMacroMenuFile{"DirMenu", "Dir", ""};

// [Turn]: the folds.
inline constexpr IntKey kTurnEnglish{"Turn", "English", 0};  // Latin words cut by a fold (EnglishMode)

// [LineSelect]
inline constexpr IntKey kLineSelectRegex{"LineSelect", "RegExp", 0};

// [Update]: the update check.
inline constexpr IntKey kUpdateYear{"Update", "Year", 2005};
inline constexpr IntKey kUpdateMonth{"Update", "Month", 1};
inline constexpr IntKey kUpdateDay{"Update", "Day", 1};
inline constexpr IntKey kUpdateCheckMode{"Update", "CheckMode", 0};
inline constexpr TextKey kUpdateUrl{"Update", "Url", "https://www.korvu.example/soft/update.xml"};  // the information
inline constexpr TextKey kUpdateRecentSetup{"Update", "RecentSetupFile", ""};  // the setup last started

}  // namespace keys
}  // namespace qlk
