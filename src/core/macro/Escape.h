#pragma once
// The escape notation of texts in macro lines and in several dialogs.
#include <string>
#include <string_view>

namespace qlk {

// "" becomes "\b" and every space "\s"; all other bytes stay.
std::string Escape(std::string_view text);
// For a text the command itself uses as typed (not unescaped): backslashes are doubled and a
// CR LF becomes "\n" as well, so that the interpreter's Unescape gives the typed text back.
std::string EscapeTyped(std::string_view text);
// Exactly "\b" is the empty text; otherwise a backslash pair is one backslash, "\n" is CR LF,
// "\t" a tab and "\s" a space. Trail bytes of double-byte characters are never taken for a
// backslash, so a character such as ソ (0x83 0x5C) followed by "n" stays as it is.
std::string Unescape(std::string_view text);

}  // namespace qlk
