#pragma once
// A main state over the fake platform: what the command tests drive through menus, dialogs,
// the recorder and the interpreter.
#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "Fakes.h"
#include "macro/Bindings.h"
#include "macro/MainState.h"

namespace qlk::test {

struct CommandHarness {
  TestPlatform tp;
  AppState app;
  Bindings b;
  std::unique_ptr<MainState> m;
  TempDir dir;

  explicit CommandHarness(Bindings bindings = AllBindings())
      : b(std::move(bindings)), m(std::make_unique<MainState>(tp.platform, b, app)) {}

  void Clip(std::string s) { tp.clipboard.text = std::move(s); }
  std::string ClipText() const { return tp.clipboard.text.value_or("<none>"); }
  // Starts recording into `name` of the temporary folder, as the file dialog answers.
  void Record(const std::string& name = "m.qmc") {
    tp.ui.fileAnswers.push_back({dir.Path(name)});
    ASSERT_TRUE(m->Dispatch(32837));
    ASSERT_TRUE(m->recorder().Recording());
  }
  std::string StopAndRead(const std::string& name = "m.qmc") {
    m->Dispatch(32837);
    return tp.files->ReadAll(dir.Path(name)).value_or("<missing>");
  }
};

}  // namespace qlk::test
