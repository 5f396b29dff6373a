// Every hook slot of the application and the document is filled once the bindings are made,
// but for the slots of features not yet built, which the test names.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "CommandHarness.h"
#include "app/AppState.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct Slot {
  std::string name;
  bool filled;
};

// A slot added to either struct fails to compile here until it is named.
std::vector<Slot> SlotsOf(const AppHooks& h) {
  const auto& [openKinsokuDialog, createStartupShortcut] = h;
  return {{"openKinsokuDialog", static_cast<bool>(openKinsokuDialog)},
          {"createStartupShortcut", static_cast<bool>(createStartupShortcut)}};
}

std::vector<Slot> SlotsOf(const DocHooks& h) {
  const auto& [writeMacroLine, detectFileCode, jisToSjis, eucToSjis] = h;
  return {{"writeMacroLine", static_cast<bool>(writeMacroLine)},
          {"detectFileCode", static_cast<bool>(detectFileCode)},
          {"jisToSjis", static_cast<bool>(jisToSjis)},
          {"eucToSjis", static_cast<bool>(eucToSjis)}};
}

TEST(Hooks, EverySlotIsFilledOnceTheBindingsAreMade) {
  CommandHarness h;
  std::vector<Slot> slots = SlotsOf(h.app.hooks);
  for (const Slot& s : SlotsOf(h.m->doc().hooks())) slots.push_back(s);
  const std::set<std::string> notYet(std::begin(kHooksNotYetBuilt), std::end(kHooksNotYetBuilt));
  std::string waiting;
  for (const Slot& s : slots) {
    // A slot listed as waiting for its feature must be empty: the list shrinks when it lands.
    EXPECT_EQ(s.filled, !notYet.count(s.name)) << s.name;
    if (!s.filled) waiting += " " + s.name;
  }
  for (const std::string& n : notYet) {
    bool known = false;
    for (const Slot& s : slots) known = known || s.name == n;
    EXPECT_TRUE(known) << "not a hook slot: " << n;
  }
  if (!waiting.empty()) std::printf("  hook slots of features not yet built:%s\n", waiting.c_str());
}

}  // namespace
