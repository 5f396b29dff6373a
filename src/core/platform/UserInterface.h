#pragma once
// User-interface seam: message boxes, the wait cursor, dialogs and file dialogs.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Texts.h"

namespace qlk {

class DialogModel;

enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Information, Question, Warning };
enum class Answer { Ok, Cancel, Yes, No };

// The buttons and icon of a message's kind (app/Texts.h): the one rule every box follows.
constexpr MsgButtons ButtonsOf(MsgKind k) {
  return k == MsgKind::Question ? MsgButtons::OkCancel : k == MsgKind::YesNo ? MsgButtons::YesNo : MsgButtons::Ok;
}
constexpr MsgIcon IconOf(MsgKind k) {
  switch (k) {
    case MsgKind::Result: return MsgIcon::Information;
    case MsgKind::Failure: return MsgIcon::Warning;
    case MsgKind::Question:
    case MsgKind::YesNo: return MsgIcon::Question;
    case MsgKind::None: break;
  }
  return MsgIcon::None;
}

struct FileDialogRequest {
  bool open = true;
  bool multiSelect = false;
  bool mustExist = false;       // path (open) or file (multi-select) must exist
  bool promptOverwrite = false;
  bool keepCurrentDir = false;
  std::string defaultExt;       // without the dot
  std::string fileName;         // initial name, Shift-JIS
  Txt filter = Txt::None;       // "name|pattern|...||"
  Txt title = Txt::None;
  std::string initialDir;       // Shift-JIS, empty for the default
};

// A modeless dialog on show; it goes when the object does.
class IModeless {
 public:
  virtual ~IModeless() = default;
  // Shows the model's fields again.
  virtual void Refresh() = 0;
};

class IUserInterface {
 public:
  virtual ~IUserInterface() = default;
  // A message box with the buttons and icon of the message's kind.
  virtual Answer Show(const Message& m) = 0;
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;
  // Runs the model's dialog modally; true when it ended with OK.
  virtual bool RunDialog(DialogModel& model) = 0;
  // Chosen paths (Shift-JIS); empty when cancelled.
  virtual std::vector<std::string> FileDialog(const FileDialogRequest& req) = 0;
  virtual std::optional<std::string> BrowseFolder(Txt title) = 0;
  // Shows the model's dialog without waiting for it; nullptr where there are no windows.
  virtual std::unique_ptr<IModeless> OpenModeless(DialogModel& model) { return nullptr; }
  // Lets one waiting window message be handled (a long task keeps its dialogs alive so).
  virtual void PumpOne() {}

  // Shows a result or a failure.
  void Tell(const Message& m) { Show(m); }
  // Asks a question; true for OK or Yes.
  bool Confirm(const Message& m) {
    Answer a = Show(m);
    return a == Answer::Ok || a == Answer::Yes;
  }
};

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
 public:
  explicit WaitCursor(IUserInterface& ui) : ui_(ui) { ui_.BeginWait(); }
  ~WaitCursor() { ui_.EndWait(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  IUserInterface& ui_;
};

}  // namespace qlk
