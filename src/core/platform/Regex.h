#pragma once
// Regular-expression seam, shaped after the platform's scripting RegExp object: a pattern,
// two flags, Test and Replace. Texts are Shift-JIS bytes; engines see them as UTF-16.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qlk {

class IRegex {
 public:
  virtual ~IRegex() = default;
  virtual bool SetPattern(std::string_view sjis) = 0;
  virtual bool SetIgnoreCase(bool on) = 0;
  virtual bool SetGlobal(bool on) = 0;
  // nullopt when the call fails (an invalid expression, for example).
  virtual std::optional<bool> Test(std::string_view sjis) = 0;
  // Replacement texts know $1..$99, $&, $`, $' and $$.
  virtual std::optional<std::string> Replace(std::string_view sjis, std::string_view replacement) = 0;
};

class IRegexFactory {
 public:
  virtual ~IRegexFactory() = default;
  // Whether an engine exists at all (the dialogs disable their regex box when not).
  virtual bool Available() const = 0;
  // nullptr when the engine cannot be created.
  virtual std::unique_ptr<IRegex> Create() = 0;
};

}  // namespace qlk
