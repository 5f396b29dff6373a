// The help file the build makes, read back with chmls: every command of the command table has
// its anchor, every macro keyword its entry in the reference and in the index, and each
// example of the pages is what the tool really does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "CommandHarness.h"
#include "macro/Commands.h"
#include "macro/Escape.h"
#include "macro/Interpreter.h"
#include "macro/Keywords.h"

using namespace qlk;
using namespace qlk::test;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// The pages and the index of the help file, in code page 932 as they are stored.
class HelpFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const fs::path chm = fs::path(QLK_BINARY_DIR) / "QlkTray.chm";
    ASSERT_TRUE(fs::exists(chm)) << chm << ": the build makes it (target QlkTrayHelp)";
    dir_ = new TempDir;
    const std::string cmd = "chmls extractall '" + chm.string() + "' '" + dir_->Folder() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    files_ = new std::map<std::string, std::string>;
    for (const auto& e : fs::recursive_directory_iterator(dir_->Folder()))
      if (e.is_regular_file()) (*files_)[e.path().filename().string()] = ReadFile(e.path());
  }
  static void TearDownTestSuite() {
    delete files_;
    delete dir_;
  }
  static const std::string& File(const std::string& name) {
    static const std::string none;
    auto it = files_->find(name);
    return it == files_->end() ? none : it->second;
  }
  // The page holding an anchor, or "".
  static std::string PageWith(const std::string& anchor) {
    for (const auto& [name, text] : *files_)
      if (name.ends_with(".html") && text.find("name=\"" + anchor + "\"") != std::string::npos) return name;
    return "";
  }
  static TempDir* dir_;
  static std::map<std::string, std::string>* files_;
};
TempDir* HelpFile::dir_ = nullptr;
std::map<std::string, std::string>* HelpFile::files_ = nullptr;

// A menu caption as the index lists it: no mnemonic, no trailing dots, HTML's escapes.
std::string PlainCaption(std::string_view c) {
  std::string s(c);
  if (size_t amp = s.find("(&"); amp != std::string::npos) s.erase(amp, 4);
  while (!s.empty() && s.back() == '.') s.pop_back();
  std::string out;
  for (char ch : s) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += ch;
    }
  }
  return out;
}

TEST_F(HelpFile, EveryCommandHasItsAnchorAndItsCaptionInTheIndex) {
  const std::string& index = File("QlkTray.hhk");
  ASSERT_FALSE(index.empty());
  int commands = 0;
  for (const CommandDef& c : AllCommands()) {
    ++commands;
    const std::string anchor = "c" + std::to_string(c.id);
    const std::string page = PageWith(anchor);
    EXPECT_FALSE(page.empty()) << "no page for command " << c.id;
    for (std::string_view caption : CaptionsOf(c.id)) {
      const std::string entry = "value=\"" + sj(PlainCaption(caption));
      EXPECT_NE(index.find(entry), std::string::npos) << "index: " << caption;
    }
    // The index entry of the command leads to its anchor.
    EXPECT_NE(index.find(page + "#" + anchor + "\""), std::string::npos) << anchor;
    if (c.kw != Kw::None) {
      EXPECT_NE(File(page).find("href=\"keywords.html#kw-" + std::string(c.keyword) + "\""), std::string::npos)
          << anchor << " links its keyword";
    }
  }
  EXPECT_GT(commands, 90);
}

TEST_F(HelpFile, EveryKeywordHasItsReferenceEntryWithArgumentsAndIndexEntry) {
  const std::string& ref = File("keywords.html");
  const std::string& index = File("QlkTray.hhk");
  for (const KeywordDef& k : AllKeywords()) {
    const std::string anchor = "kw-" + std::string(k.name);
    const size_t at = ref.find("name=\"" + anchor + "\"");
    ASSERT_NE(at, std::string::npos) << k.name;
    const size_t rowEnd = ref.find("</tr>", at);
    const std::string row = ref.substr(at, rowEnd - at);
    EXPECT_NE(row.find("<code>" + std::string(k.args) + "</code>"), std::string::npos) << k.name;
    EXPECT_NE(row.find(sj(std::string(k.help))), std::string::npos) << k.name;
    EXPECT_NE(index.find("value=\"" + std::string(k.name) + "\">\r\n<param name=\"Local\" value=\"keywords.html#" + anchor),
              std::string::npos)
        << k.name;
  }
}

TEST_F(HelpFile, HasContentsIndexAndTheBinaryIndexTheViewerSearches) {
  EXPECT_NE(File("QlkTray.hhc").find("index.html"), std::string::npos);
  EXPECT_NE(File("#SYSTEM").find("index.html"), std::string::npos) << "the default topic";
  EXPECT_FALSE(File("BTree").empty()) << "$WWKeywordLinks/BTree: the index the viewer's search reads";
  for (const char* page : {"index.html", "selection.html", "macro.html", "menus.html", "multifile.html",
                           "settings.html", "qlark.html", "keywords.html"})
    EXPECT_FALSE(File(page).empty()) << page;
}

// Each example row: COMMAND, macro line, before, after (escape notation, UTF-8).
TEST(HelpExamples, EachExampleIsWhatTheToolDoes) {
  std::ifstream f(std::string(QLK_SOURCE_DIR) + "/src/help/examples.tsv");
  ASSERT_TRUE(f.good());
  std::string line;
  int rows = 0;
  while (std::getline(f, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cols;
    std::stringstream s(line);
    for (std::string c; std::getline(s, c, '\t');) cols.push_back(c);
    ASSERT_EQ(cols.size(), 4u) << line;
    CommandHarness h;
    h.Clip(Unescape(sj(cols[2])));
    EXPECT_EQ(RunMacroText(*h.m, sj(cols[1])), MacroStatus::Ok) << line;
    EXPECT_EQ(h.ClipText(), Unescape(sj(cols[3]))) << line;
    ++rows;
  }
  EXPECT_GT(rows, 40);
}

}  // namespace
