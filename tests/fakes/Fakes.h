#pragma once
// In-memory seams for tests, and the real code page, regex engine and files of the platform
// the tests run on (POSIX natively, Win32 under Wine).
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "app/Dialog.h"
#include "conv/Carried.h"
#include "platform/Platform.h"
#include "platform/System.h"

namespace qlk::test {

// The platform's own code page, shared by all tests.
const ICodePage& CodePage();
// UTF-8 text (a u8 literal) as Shift-JIS bytes, and back.
std::string sj(std::u8string_view utf8);
std::string sj(std::string_view utf8);
std::string u8(std::string_view sjis);

class FakeClipboard final : public IClipboard {
 public:
  std::optional<std::string> text;  // nullopt: no text on the clipboard
  int busyReads = 0;                // so many reads find the clipboard held
  int busyWrites = 0;
  int writes = 0;
  int focusReturns = 0;

  ClipRead Read() override {
    if (busyReads > 0) {
      --busyReads;
      return {ClipStatus::Busy, {}};
    }
    if (unicode) {
      CarriedText t = CarryText(CodePage(), wide);
      return {ClipStatus::Ok, std::move(t.sjis), std::move(t.carried), t.lost};
    }
    if (!text) return {ClipStatus::NoText, {}};
    return {ClipStatus::Ok, *text};
  }
  using IClipboard::Write;
  bool Write(std::string_view sjis) override { return Write(std::string(sjis), nullptr); }
  bool Write(std::string&& sjis, std::shared_ptr<const CarriedChars> carried) override {
    if (busyWrites > 0) {
      --busyWrites;
      return false;
    }
    ++writes;
    wide = carried ? carried->ToUtf16(CodePage(), sjis) : CodePage().ToUtf16(Charset::Sjis, sjis);
    text = std::move(sjis);
    return true;
  }
  // As the tray's clipboard holds Unicode text: read from `wide`, written to both forms.
  void HoldUnicode(std::u16string w) {
    unicode = true;
    wide = std::move(w);
  }
  bool unicode = false;
  std::u16string wide;  // the Unicode form of the last store
  void ReturnFocus() override { ++focusReturns; }
};

class MemorySettings final : public ISettings {
 public:
  using Value = std::variant<int, std::string>;
  std::map<std::pair<std::string, std::string>, Value> values;
  std::vector<std::string> writeLog;  // "Section/Key" in write order

  int GetInt(std::string_view s, std::string_view k, int def) override {
    auto it = values.find({std::string(s), std::string(k)});
    if (it == values.end()) return def;
    if (auto* i = std::get_if<int>(&it->second)) return *i;
    return def;
  }
  std::string GetText(std::string_view s, std::string_view k, std::string_view def) override {
    auto it = values.find({std::string(s), std::string(k)});
    if (it == values.end()) return std::string(def);
    if (auto* t = std::get_if<std::string>(&it->second)) return *t;
    return std::string(def);
  }
  bool SetInt(std::string_view s, std::string_view k, int v) override {
    values[{std::string(s), std::string(k)}] = v;
    writeLog.push_back(std::string(s) + "/" + std::string(k));
    return true;
  }
  bool SetText(std::string_view s, std::string_view k, std::string_view v) override {
    values[{std::string(s), std::string(k)}] = std::string(v);
    writeLog.push_back(std::string(s) + "/" + std::string(k));
    return true;
  }
  bool Has(std::string_view s, std::string_view k) const { return values.count({std::string(s), std::string(k)}) > 0; }
};

class FakeUI;

// Drives a dialog model the way a person at the real dialog would: set controls, press
// buttons, OK or Cancel. Values go through the model's field list, as the binding helper's do.
class FakeDialog final : public DialogHost {
 public:
  FakeDialog(DialogModel& m, FakeUI& ui) : model_(m), ui_(ui) {}
  IUserInterface& ui() override;
  DialogModel& model() { return model_; }

  Field* Find(int control);
  void Set(int control, int value);
  void Set(int control, std::string sjis);
  // Text typed into a field as the real dialog takes it: in a command's dialog, characters
  // Shift-JIS cannot hold under the codes the document carries them in.
  void Type(int control, std::u16string_view text);
  int GetInt(int control);
  std::string GetText(int control);
  const std::vector<std::string>* Items(int control);
  bool Enabled(int control) const { return model_.IsEnabled(control); }
  void Press(int control) { model_.OnCommand(control, *this); }
  // OK with validation as the real dialog does it: false when the dialog stays open.
  bool Ok();
  void End(bool ok) override { ended = ok ? 1 : 0; }
  int refusedOk = 0;
  int ended = -1;  // End(true): 1, End(false): 0

 private:
  DialogModel& model_;
  FakeUI& ui_;
};

class FakeUI final : public IUserInterface {
 public:
  std::vector<Message> shown;
  std::vector<std::pair<MsgButtons, MsgIcon>> styles;
  std::vector<Txt> untypedShown;  // texts shown that are declared as no message
  // A test fails when a text that is declared as no message was shown in a box.
  ~FakeUI() override;
  std::deque<Answer> answers;  // answers to questions in order; OK/Yes when none is left
  // Fills and ends each dialog; no script means Cancel.
  std::function<bool(FakeDialog&)> dialogScript;
  std::vector<int> dialogsRun;  // resource identifiers in order
  std::deque<std::vector<std::string>> fileAnswers;  // empty vector: Cancel
  std::vector<FileDialogRequest> fileRequests;
  std::deque<std::optional<std::string>> folderAnswers;
  int waitDepth = 0, waits = 0;
  // Modeless dialogs now on show, and every resource shown so.
  std::vector<DialogModel*> modeless;
  std::vector<int> modelessShown;
  int refreshes = 0;
  // Called for each waiting message the program lets through (a person acting meanwhile).
  std::function<void()> onPump;

  // Every text shown must be a message, whose kind gives the box its look.
  Answer Show(const Message& m) override {
    shown.push_back(m);
    if (m.kind() == MsgKind::None) untypedShown.push_back(m.id);
    const MsgButtons b = ButtonsOf(m.kind());
    styles.emplace_back(b, IconOf(m.kind()));
    if (b == MsgButtons::Ok) return Answer::Ok;
    if (!answers.empty()) {
      Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return b == MsgButtons::YesNo ? Answer::Yes : Answer::Ok;
  }
  void BeginWait() override {
    ++waitDepth;
    ++waits;
  }
  void EndWait() override { --waitDepth; }
  bool RunDialog(DialogModel& m) override {
    dialogsRun.push_back(m.ResourceId());
    FakeDialog d(m, *this);
    m.OnInit(d);
    if (!dialogScript) return false;
    return dialogScript(d);
  }
  std::vector<std::string> FileDialog(const FileDialogRequest& r) override {
    fileRequests.push_back(r);
    if (fileAnswers.empty()) return {};
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
  }
  std::optional<std::string> BrowseFolder(Txt) override {
    if (folderAnswers.empty()) return std::nullopt;
    auto a = folderAnswers.front();
    folderAnswers.pop_front();
    return a;
  }
  std::unique_ptr<IModeless> OpenModeless(DialogModel& m) override;
  void PumpOne() override {
    if (onPump) onPump();
  }
  // Names of the texts shown, in order.
  std::vector<Txt> ShownIds() const {
    std::vector<Txt> v;
    for (auto& m : shown) v.push_back(m.id);
    return v;
  }
};

class FakeShell final : public IShell {
 public:
  std::vector<std::string> started;
  std::vector<std::string> verbs;  // the verb of each start, in order
  int result = 42;
  std::optional<std::string> fullEditor;       // the machine-wide key's value; none: no key
  bool shortcutWorks = true;
  std::vector<std::string> shortcuts;          // link names asked for, in order
  std::vector<std::string> existing;           // paths PathExists answers yes for
  std::vector<std::pair<std::string, HelpView>> helpShown;
  int modesCancelled = 0;
  int Execute(std::string_view file, std::string_view verb, std::string_view params) override {
    started.push_back(std::string(file));
    verbs.push_back(std::string(verb));
    return result;
  }
  std::optional<std::string> FullEditorPath() override { return fullEditor; }
  bool CreateStartupShortcut(std::string_view linkName) override {
    shortcuts.push_back(std::string(linkName));
    return shortcutWorks;
  }
  void CancelModes() override { ++modesCancelled; }
  bool PathExists(std::string_view p) override {
    for (const auto& e : existing)
      if (e == p) return true;
    return false;
  }
  bool ShowHelp(std::string_view p, HelpView v) override {
    helpShown.emplace_back(std::string(p), v);
    return true;
  }
};

class FakeClock final : public IClock {
 public:
  Date today{2026, 12, 8};
  LocalSeconds now = -1;  // -1: noon of `today`
  Date Today() override { return now < 0 ? today : DateOf(now); }
  LocalSeconds Now() override { return now < 0 ? ToLocalSeconds(today.year, today.month, today.day, 12) : now; }
};

// A regex factory standing for a system without any engine.
class NoRegexFactory final : public IRegexFactory {
 public:
  bool Available() const override { return false; }
  std::unique_ptr<IRegex> Create() override { return nullptr; }
};

// A private temporary folder removed at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  // A path inside the folder, as the core writes paths (Shift-JIS bytes; ASCII here).
  std::string Path(const std::string& name) const;
  std::string Folder() const;

 private:
  std::filesystem::path dir_;
};

// Fakes where the tests steer, the platform's own where behaviour is the point.
struct TestPlatform {
  FakeClipboard clipboard;
  MemorySettings settings;
  FakeUI ui;
  FakeShell shell;
  FakeClock clock;
  std::unique_ptr<IRegexFactory> regex = sys::MakeRegexFactory(CodePage());
  std::unique_ptr<IFiles> files = sys::MakeFiles(CodePage());
  Platform platform{clipboard, settings, const_cast<ICodePage&>(CodePage()), *regex, ui, *files, shell, clock};
};

}  // namespace qlk::test

namespace qlk::test {

// A file's bytes served from memory; counts what was handed out, and may fail a read.
class StringReadFile final : public IReadFile {
 public:
  explicit StringReadFile(std::string data) : data_(std::move(data)) {}
  std::optional<size_t> Read(char* buf, size_t size) override;
  size_t served = 0;
  size_t reads = 0;
  size_t failAtRead = 0;  // 1-based number of the read that fails; 0: none

 private:
  std::string data_;
};

// Files kept in memory, for tests that must never touch the disk (the fuzz test writes
// wherever its random macro lines say).
class MemoryFiles final : public IFiles {
 public:
  std::map<std::string, std::string> files;
  std::unique_ptr<IWriteFile> Create(std::string_view path) override;
  std::optional<std::string> ReadAll(std::string_view path) override {
    auto it = files.find(std::string(path));
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  std::unique_ptr<IReadFile> OpenRead(std::string_view path) override;
  bool Exists(std::string_view path) override { return files.count(std::string(path)) > 0; }
  bool Remove(std::string_view path) override { return files.erase(std::string(path)) > 0; }
  bool Rename(std::string_view from, std::string_view to) override {
    auto it = files.find(std::string(from));
    if (it == files.end()) return false;
    std::string data = std::move(it->second);
    files.erase(it);
    files[std::string(to)] = std::move(data);
    return true;
  }
  bool MakeDirs(std::string_view) override { return true; }
  std::vector<std::string> Find(std::string_view dir, std::string_view pattern) override;
  std::string TempFolder() override { return "mem/tmp/"; }
  std::string ProgramFolder() override { return "mem/prog/"; }
  char Separator() const override { return '/'; }
};

}  // namespace qlk::test
