#pragma once
// What the application object keeps for the whole process and the commands share.
#include <string>

namespace qlk {

struct AppState {
  std::string helpPath;  // the help file beside the program
};

}  // namespace qlk
