#include "posix/platform/IniSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "conv/Case.h"

namespace qlk {
namespace {

// Backslash escapes keep every value on one line.
std::string EscapeValue(std::string_view v) {
  std::string o;
  for (char c : v) {
    switch (c) {
      case '\\': o += "\\\\"; break;
      case '\n': o += "\\n"; break;
      case '\r': o += "\\r"; break;
      case '\0': o += "\\0"; break;
      default: o += c;
    }
  }
  return o;
}

std::string UnescapeValue(std::string_view v) {
  std::string o;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\\' && i + 1 < v.size()) {
      char n = v[++i];
      o += n == 'n' ? '\n' : n == 'r' ? '\r' : n == '0' ? '\0' : n;
    } else {
      o += v[i];
    }
  }
  return o;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

bool IsSection(const std::string& l, std::string_view name) {
  return l.size() >= 2 && l.front() == '[' && l.back() == ']' && SameIgnoringAsciiCase(std::string_view(l).substr(1, l.size() - 2), name);
}

}  // namespace

bool IniSettings::Lookup(std::string_view section, std::string_view key, std::string& raw) const {
  bool in = false;
  for (const std::string& l : ReadLines(path_)) {
    if (!l.empty() && l.front() == '[') {
      in = IsSection(l, section);
      continue;
    }
    if (!in) continue;
    size_t eq = l.find('=');
    if (eq != std::string::npos && SameIgnoringAsciiCase(std::string_view(l).substr(0, eq), key)) {
      raw = UnescapeValue(std::string_view(l).substr(eq + 1));
      return true;
    }
  }
  return false;
}

bool IniSettings::Store(std::string_view section, std::string_view key, const std::string& raw) {
  std::vector<std::string> lines = ReadLines(path_);
  const std::string entry = std::string(key) + "=" + EscapeValue(raw);
  bool in = false, done = false;
  size_t sectionEnd = std::string::npos;
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    const std::string& l = lines[i];
    if (!l.empty() && l.front() == '[') {
      if (in) break;
      in = IsSection(l, section);
      if (in) sectionEnd = i + 1;
      continue;
    }
    if (!in) continue;
    if (!l.empty()) sectionEnd = i + 1;
    size_t eq = l.find('=');
    if (eq != std::string::npos && SameIgnoringAsciiCase(std::string_view(l).substr(0, eq), key)) {
      lines[i] = entry;
      done = true;
    }
  }
  if (!done) {
    if (sectionEnd == std::string::npos) {
      if (!lines.empty() && !lines.back().empty()) lines.push_back("");
      lines.push_back("[" + std::string(section) + "]");
      lines.push_back(entry);
    } else {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), entry);
    }
  }
  // Make the folder, then write beside the target and rename over it.
  for (size_t i = 1; i < path_.size(); ++i)
    if (path_[i] == '/') ::mkdir(path_.substr(0, i).c_str(), 0777);
  std::string tmp = path_ + ".tmp" + std::to_string(::getpid());
  {
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    bool ok = true;
    for (const std::string& l : lines) {
      ok = ok && std::fwrite(l.data(), 1, l.size(), f) == l.size();
      // Reading takes one CR off a line's end: a line that still ends in one (a hand-edited
      // file) gets it back, or its value would change with every write of another.
      if (!l.empty() && l.back() == '\r') ok = ok && std::fputc('\r', f) != EOF;
      ok = ok && std::fputc('\n', f) != EOF;
    }
    ok = (std::fflush(f) == 0) && ok;
    ok = (::fsync(::fileno(f)) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
      std::remove(tmp.c_str());
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path_.c_str()) != 0) {
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

int IniSettings::GetInt(std::string_view section, std::string_view key, int def) {
  std::string raw;
  if (!Lookup(section, key, raw) || raw.empty()) return def;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(raw.c_str(), &end, 10);
  // A number too large for an int is no number: cut down, it would be another value.
  if (end == raw.c_str() || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return def;
  return static_cast<int>(v);
}

std::string IniSettings::GetText(std::string_view section, std::string_view key, std::string_view def) {
  std::string raw;
  if (!Lookup(section, key, raw)) return std::string(def);
  return cp_.Utf8ToSjis(raw);
}

bool IniSettings::SetInt(std::string_view section, std::string_view key, int value) {
  return Store(section, key, std::to_string(value));
}

bool IniSettings::SetText(std::string_view section, std::string_view key, std::string_view value) {
  return Store(section, key, cp_.SjisToUtf8(value));
}

}  // namespace qlk
