// The committed inputs of every fuzz target (tests/fuzz/corpus/<target>/: the seeds, what the
// fuzzer kept, and the reproducer of every fault it found) through the same target code,
// built here by the ordinary compiler: a mended fault stays mended on both platforms.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "../fuzz/FuzzTarget.h"
#include "Fakes.h"

namespace qlk::fuzz {

std::map<std::string, Entry>& Targets() {
  static std::map<std::string, Entry> targets;
  return targets;
}
void Register(const char* name, Entry e) { Targets()[name] = e; }

}  // namespace qlk::fuzz

namespace {

using namespace qlk;

const std::string kCorpus = std::string(QLK_SOURCE_DIR) + "/tests/fuzz/corpus/";

TEST(FuzzReplay, EveryCommittedInputHoldsInItsTarget) {
  auto files = sys::MakeFiles(test::CodePage());
  ASSERT_GE(fuzz::Targets().size(), 13u);
  for (const auto& [name, entry] : fuzz::Targets()) {
    const std::vector<std::string> inputs = files->Find(kCorpus + name, "*");
    EXPECT_FALSE(inputs.empty()) << name << " has no committed inputs";
    for (const std::string& f : inputs) {
      const std::optional<std::string> bytes = files->ReadAll(f);
      ASSERT_TRUE(bytes) << f;
      try {
        entry(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
      } catch (const fuzz::CheckFailed& e) {
        ADD_FAILURE() << f << ": " << e.what();
      }
    }
  }
}

// A corpus folder without its target would be replayed by nothing.
TEST(FuzzReplay, EveryCorpusFolderHasItsTarget) {
  int folders = 0;
  for (const auto& e : std::filesystem::directory_iterator(kCorpus)) {
    if (!e.is_directory()) continue;
    const std::string name = e.path().filename().string();
    ++folders;
#ifdef _WIN32
    if (name == "ini_settings") continue;  // the settings file is the POSIX build's store
#endif
    EXPECT_TRUE(fuzz::Targets().count(name)) << name;
  }
  EXPECT_GE(folders, 14);
}

// A failed check reports the input's file and the condition, and does not end the program.
TEST(FuzzReplay, AFailedCheckNamesItsCondition) {
  try {
    FUZZ_CHECK(1 + 1 == 3);
    ADD_FAILURE() << "no failure";
  } catch (const fuzz::CheckFailed& e) {
    EXPECT_NE(std::string(e.what()).find("1 + 1 == 3"), std::string::npos) << e.what();
  }
}

}  // namespace
