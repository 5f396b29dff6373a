#pragma once
// Settings seam: the per-user profile, by section and key. Reads and writes go straight to
// the store; there is no cache. Texts are Shift-JIS bytes.
#include <string>
#include <string_view>

namespace qlk {

class ISettings {
 public:
  virtual ~ISettings() = default;
  virtual int GetInt(std::string_view section, std::string_view key, int def) = 0;
  virtual std::string GetText(std::string_view section, std::string_view key, std::string_view def) = 0;
  virtual bool SetInt(std::string_view section, std::string_view key, int value) = 0;
  virtual bool SetText(std::string_view section, std::string_view key, std::string_view value) = 0;
};

}  // namespace qlk
