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
