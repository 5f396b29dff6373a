#pragma once
// Shell and clock seams: starting programs and addresses, the date.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qlk {

// Where the help viewer opens the help file.
enum class HelpView {
  Contents,  // its default topic, owned by the main window
  Index,     // its index tab, owned by no window
};

class IShell {
 public:
  virtual ~IShell() = default;
  // Starts a program, document or address; the result follows the shell's convention
  // (32 or more is success). An empty verb is the file's default action.
  virtual int Execute(std::string_view file, std::string_view verb, std::string_view params) = 0;
  // The full editor's program file, from the machine-wide key of the product; nothing when
  // the key is missing, an empty path when its value cannot be read.
  virtual std::optional<std::string> FullEditorPath() { return std::nullopt; }
  // Writes a shell link to the running program under `linkName` into a Startup folder (the
  // machine's when it can, else the user's own); false when it was written nowhere.
  virtual bool CreateStartupShortcut(std::string_view /*linkName*/) { return false; }
  // Ends menus, captures and drags of the program's windows before the help viewer comes.
  virtual void CancelModes() {}
  // Whether a file is there (a UTF-8 path, which may hold any character).
  virtual bool PathExists(std::string_view /*utf8Path*/) { return false; }
  // Opens the help file (UTF-8 path) in the help viewer; false where there is no viewer.
  virtual bool ShowHelp(std::string_view /*utf8Path*/, HelpView) { return false; }
};

struct Date {
  int year = 0, month = 0, day = 0;
};

// Local time in seconds since 1970-01-01 00:00 on the same clock; no time zone is involved:
// the times compared (the schedule, a release date, a file's time) are all local.
using LocalSeconds = int64_t;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
constexpr int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
constexpr LocalSeconds ToLocalSeconds(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s;
}
// The date of a local time.
constexpr Date DateOf(LocalSeconds t) {
  int64_t z = (t >= 0 ? t : t - 86399) / 86400 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

class IClock {
 public:
  virtual ~IClock() = default;
  virtual Date Today() = 0;
  // Now, to the second.
  virtual LocalSeconds Now() = 0;
};

}  // namespace qlk
