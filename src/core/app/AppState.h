#pragma once
// What the application object keeps for the whole process and the commands share.
#include <string>

#include "ops/Kinsoku.h"

namespace qlk {

struct AppState {
  std::string helpPath;  // the help file beside the program
  KinsokuRules kinsoku;  // line-breaking rules of the folds, as the rules dialog last left them
};

}  // namespace qlk
