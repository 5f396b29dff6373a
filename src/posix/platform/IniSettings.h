#pragma once
// The profile as an INI file: one [section] per profile section, Key=value lines, texts in
// UTF-8. Every read parses the file and every write replaces it atomically (a temporary
// file renamed over it), so an interrupted write never leaves a broken profile.
#include <string>

#include "platform/CodePage.h"
#include "platform/Settings.h"

namespace qlk {

class IniSettings final : public ISettings {
 public:
  IniSettings(std::string path, const ICodePage& cp) : path_(std::move(path)), cp_(cp) {}
  int GetInt(std::string_view section, std::string_view key, int def) override;
  std::string GetText(std::string_view section, std::string_view key, std::string_view def) override;
  bool SetInt(std::string_view section, std::string_view key, int value) override;
  bool SetText(std::string_view section, std::string_view key, std::string_view value) override;
  const std::string& Path() const { return path_; }

 private:
  bool Lookup(std::string_view section, std::string_view key, std::string& raw) const;
  bool Store(std::string_view section, std::string_view key, const std::string& raw);

  std::string path_;
  const ICodePage& cp_;
};

}  // namespace qlk
