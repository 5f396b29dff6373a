#pragma once
// The seams the timing drivers run on: the platform's own code page, regex engine, files,
// shell and clock; a clipboard in memory (or on standard output), no stored settings, and
// messages on standard error.
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "platform/System.h"

namespace qlk::bench {

// Reading hands the text over (no copy in the timings); writing puts the result back.
class MemClipboard final : public IClipboard {
 public:
  std::string text;
  ClipRead Read() override { return {ClipStatus::Ok, std::move(text)}; }
  bool Write(std::string_view s) override {
    text.assign(s);
    return true;
  }
};

// Reads what was put in `text`; writes the result to standard output.
class StdoutClipboard final : public IClipboard {
 public:
  std::string text;
  ClipRead Read() override { return {ClipStatus::Ok, std::move(text)}; }
  bool Write(std::string_view s) override { return std::fwrite(s.data(), 1, s.size(), stdout) == s.size(); }
};

class NoSettings final : public ISettings {
 public:
  int GetInt(std::string_view, std::string_view, int def) override { return def; }
  std::string GetText(std::string_view, std::string_view, std::string_view def) override { return std::string(def); }
  bool SetInt(std::string_view, std::string_view, int) override { return true; }
  bool SetText(std::string_view, std::string_view, std::string_view) override { return true; }
};

class StderrUI final : public IUserInterface {
 public:
  Answer Show(const Message& m) override {
    std::fprintf(stderr, "%s\n", m.text.c_str());
    return Answer::Ok;
  }
  void BeginWait() override {}
  void EndWait() override {}
  bool RunDialog(DialogModel&) override { return false; }
  std::vector<std::string> FileDialog(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> BrowseFolder(Txt) override { return std::nullopt; }
};

template <class Clip>
struct BenchEnv {
  Clip clip;
  NoSettings settings;
  StderrUI ui;
  std::unique_ptr<ICodePage> cp = sys::MakeCodePage();
  std::unique_ptr<IRegexFactory> regex = sys::MakeRegexFactory(*cp);
  std::unique_ptr<IFiles> files = sys::MakeFiles(*cp);
  std::unique_ptr<IShell> shell = sys::MakeShell(*cp);
  std::unique_ptr<IClock> clock = sys::MakeClock();
  Platform platform{clip, settings, *cp, *regex, ui, *files, *shell, *clock};
};

}  // namespace qlk::bench
