#pragma once
// The line-breaking rules of the fold commands. The application object owns one set for the
// whole run of the program; the rules dialog edits it and every fold reads it.
#include <string>

namespace qlk {

struct KinsokuRules {
  std::string first;           // characters that must not begin a line (Shift-JIS, one per entry)
  std::string last;            // characters that must not end a line
  bool hanging = false;        // a first-forbidden character hangs at the end of the line
  bool pushOut = false;        // a last-forbidden character moves to the next line
  bool noBreakInTags = false;  // never cut between "<" and ">"
};

}  // namespace qlk
