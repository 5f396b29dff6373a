// Fuzz target: the settings file as a user may have edited it (any bytes). Reading never
// fails, a number that is no number or does not fit gives the default, and writing one
// value reads back as written while every other value reads as before.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>

#include "Fakes.h"
#include "FuzzTarget.h"
#include "conv/Case.h"
#include "posix/platform/IniSettings.h"

using namespace qlk;

namespace {

struct Key {
  const char* section;
  const char* key;
};
constexpr Key kKeys[] = {{"Jis", "Kana"}, {"Jis", "Jis"}, {"Turn", "English"}, {"Turn", "First"},
                         {"Replace", "Find0"}, {"jis", "kana"}, {"", ""}, {"a=b", "c"}};

// A folder in memory where the machine has one, so the writes cost little.
std::string FilePath() {
  const std::filesystem::path dir = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
  return (dir / ("qlk-fuzz-ini-" + std::to_string(::getpid()) + ".ini")).string();
}

}  // namespace

QLK_FUZZ_TARGET(ini_settings) {
  static const std::string path = FilePath();
  fuzz::Input in(data, size);
  const Key& target = kKeys[in.Byte() % std::size(kKeys)];
  const bool asNumber = in.Bool();
  const int number = static_cast<int>(static_cast<long long>(in.Int(0, 0xFFFF)) * 40503 - 0x7FFFFFF);  // wraps to negatives too
  const std::string text(in.Text(40));
  const std::string_view file = in.Rest();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  } else {
    return 0;
  }
  const ICodePage& cp = test::CodePage();
  IniSettings ini(path, cp);

  std::vector<std::string> before;
  for (const Key& k : kKeys) {
    const std::string t = ini.GetText(k.section, k.key, "\x01");
    const int n = ini.GetInt(k.section, k.key, INT_MIN);
    // A number reads as one only where its text is the whole decimal form of an int.
    if (n != INT_MIN) FUZZ_CHECK(std::strtoll(t.c_str(), nullptr, 10) == n);
    before.push_back(t);
  }
  const std::string written = asNumber ? std::to_string(number) : text;
  const bool stored = asNumber ? ini.SetInt(target.section, target.key, number) : ini.SetText(target.section, target.key, text);
  FUZZ_CHECK(stored);
  for (size_t k = 0; k < std::size(kKeys); ++k) {
    const std::string t = ini.GetText(kKeys[k].section, kKeys[k].key, "\x01");
    const bool same = SameIgnoringAsciiCase(kKeys[k].section, target.section) && SameIgnoringAsciiCase(kKeys[k].key, target.key);
    if (!same) FUZZ_CHECK(t == before[k]);
    else if (asNumber) FUZZ_CHECK(ini.GetInt(target.section, target.key, 0) == number);
    else if (cp.Utf8ToSjis(cp.SjisToUtf8(text)) == text) FUZZ_CHECK(t == text);
  }
  return 0;
}
