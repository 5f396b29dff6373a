#pragma once
// The portable part of the main window: the document, the AllSelect flag, the recording
// state, and the dispatch of command identifiers to their handlers.
#include <cstdint>
#include <memory>
#include <string>

#include "app/AppState.h"
#include "conv/Jis.h"
#include "doc/Document.h"
#include "macro/Commands.h"
#include "macro/Recorder.h"

namespace qlk {

class Bindings;

class MainState {
 public:
  MainState(Platform& p, const Bindings& b, AppState& app);
  ~MainState();
  MainState(const MainState&) = delete;
  MainState& operator=(const MainState&) = delete;

  CQuenlarkDoc& doc() { return doc_; }
  Platform& platform() { return p_; }
  AppState& app() { return app_; }
  const Bindings& bindings() const { return b_; }
  MacroRecorder& recorder() { return recorder_; }
  // The JIS modes and encoder settings the commands of this window share.
  JisContext& jis() { return jis_; }

  // Runs a command as its row's frame says; false when nothing is bound to the identifier.
  bool Dispatch(uint32_t id);
  bool Dispatch(Cmd c) { return Dispatch(IdOf(c)); }
  bool IsBound(uint32_t id) const;

  // ---- pieces of the command frame ----
  // Reloads the document from the clipboard; false when the command must end (the
  // clipboard was held, or the user declined to lose characters Shift-JIS cannot hold).
  bool Reload();
  // The "Verify" question; true when the command may go on.
  bool Verify(Txt confirm);
  void WriteMacroLine(const std::string& line);
  bool Store() { return doc_.StoreClipboard(allSelect != 0); }

  int allSelect;  // [System] "AllSelect", read once

 private:
  Platform& p_;
  const Bindings& b_;
  AppState& app_;
  MacroRecorder recorder_;
  JisContext jis_;
  CQuenlarkDoc doc_;
};

}  // namespace qlk
