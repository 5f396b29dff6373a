#include "macro/Escape.h"

#include "conv/Sjis.h"

namespace qlk {

std::string Escape(std::string_view t) {
  if (t.empty()) return "\\b";
  std::string o;
  o.reserve(t.size());
  for (char c : t) {
    if (c == ' ')
      o += "\\s";
    else
      o += c;
  }
  return o;
}

std::string EscapeTyped(std::string_view t) {
  if (t.empty()) return "\\b";
  std::string o;
  o.reserve(t.size() + 8);
  for (size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (sjis::IsLead(c) && i + 1 < t.size()) {  // a trail byte 0x5C is no backslash
      o += c;
      o += t[++i];
    } else if (c == '\\') {
      o += "\\\\";
    } else if (c == ' ') {
      o += "\\s";
    } else if (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n') {
      o += "\\n";
      ++i;
    } else {
      o += c;
    }
  }
  return o;
}

std::string Unescape(std::string_view t) {
  if (t == "\\b") return {};
  std::string o;
  o.reserve(t.size());
  for (size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    if (sjis::IsLead(c) && i + 1 < t.size()) {
      o += c;
      o += t[++i];
      continue;
    }
    if (c == '\\' && i + 1 < t.size()) {
      char n = t[i + 1];
      if (n == '\\') {
        o += '\\';
        ++i;
        continue;
      }
      if (n == 'n') {
        o += "\r\n";
        ++i;
        continue;
      }
      if (n == 't') {
        o += '\t';
        ++i;
        continue;
      }
      if (n == 's') {
        o += ' ';
        ++i;
        continue;
      }
    }
    o += c;
  }
  return o;
}

}  // namespace qlk
