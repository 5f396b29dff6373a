#pragma once
// Shell and clock seams: starting programs and addresses, the date.
#include <string>
#include <string_view>

namespace qlk {

class IShell {
 public:
  virtual ~IShell() = default;
  // Starts a program, document or address; the result follows the shell's convention
  // (32 or more is success).
  virtual int Execute(std::string_view file, std::string_view verb, std::string_view params) = 0;
};

struct Date {
  int year = 0, month = 0, day = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  virtual Date Today() = 0;
};

}  // namespace qlk
