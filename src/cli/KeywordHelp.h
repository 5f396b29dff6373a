#pragma once
// What `qlark --list` prints: each keyword with its arguments and what it does.
#include <span>

namespace qlk::cli {

struct KeywordHelp {
  const char* keyword;
  const char* args;  // as written after the keyword
  const char* what;  // UTF-8
};

std::span<const KeywordHelp> AllKeywordHelp();

}  // namespace qlk::cli
