#pragma once
// Hotkeys: a key combination bound to an entry of the custom-menu catalogue (or to opening the
// tray menu at the pointer), kept in the profile's "HotKey" section; and the run with automatic
// copy and paste, over a small input seam so that its key sequence, waits and give-ups are
// the same on every platform and can be driven by a fake.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Settings.h"

namespace qlk {

// Modifier bits as the system's hotkey registration takes them.
enum HotKeyMod : uint32_t { kModAlt = 1, kModCtrl = 2, kModShift = 4, kModWin = 8, kModAll = 15 };

// The pseudo command of the binding that opens the tray menu at the mouse pointer.
inline constexpr uint32_t kHotKeyPopup = 0;

struct HotKeyBinding {
  uint32_t command = 0;  // a catalogue identifier, or kHotKeyPopup
  uint32_t mods = 0;     // HotKeyMod bits
  uint32_t vk = 0;       // the virtual-key code of the key pressed with them
  bool autoPaste = false;
  bool operator==(const HotKeyBinding&) const = default;
  bool SameKeys(const HotKeyBinding& o) const { return mods == o.mods && vk == o.vk; }
};

// At least one modifier, and a key that is no modifier itself.
bool ValidHotKey(uint32_t mods, uint32_t vk);
// "Ctrl+Shift+F1", "Win+Alt+Z": Win, Ctrl, Alt, Shift, then the key (ASCII).
std::string HotKeyText(uint32_t mods, uint32_t vk);
// The key alone: "Z", "F1", "Num 5", "PageUp"; "Key 0xNN" for a code without a name.
std::string KeyName(uint32_t vk);

// The "HotKey" section: "nCount", then per binding "Key%02d" (modifiers << 16 | key),
// "Cmd%02d" (the command identifier) and "bPaste%02d". Loading drops an entry without a valid
// combination or command, and a later entry with keys an earlier one already has.
std::vector<HotKeyBinding> LoadHotKeys(ISettings& s);
void SaveHotKeys(ISettings& s, const std::vector<HotKeyBinding>& bindings);
inline constexpr int kMaxHotKeys = 100;

// ---- the run with automatic copy and paste

struct KeyEvent {
  uint16_t vk = 0;
  bool up = false;
  bool operator==(const KeyEvent&) const = default;
};

class IHotKeyInput {
 public:
  virtual ~IHotKeyInput() = default;
  // Whether the key is physically held now.
  virtual bool IsDown(uint32_t vk) = 0;
  // Puts the events into the input stream in order; how many of them went in (the rest did
  // not, as when the system refuses part of a batch).
  virtual size_t Send(const std::vector<KeyEvent>& events) = 0;
  virtual uint32_t ClipboardSequence() = 0;
  // Lets `ms` milliseconds pass (the front end keeps answering sent messages meanwhile: the
  // program that copies may be waiting on the clipboard's owner).
  virtual void Wait(int ms) = 0;
  virtual uint64_t NowMs() = 0;
  // The foreground window, 0 for none; bringing one back.
  virtual uintptr_t Foreground() = 0;
  virtual void Activate(uintptr_t window) = 0;
  // The window's program runs elevated and this one does not: input sent to it is dropped.
  virtual bool Elevated(uintptr_t window) = 0;
};

enum class HotKeyOutcome {
  Pasted,           // copied, ran, pasted
  Ran,              // ran, nothing to paste (the command changed nothing, or nothing was copied)
  ModifiersHeld,    // the keys were not let go in time: nothing done
  NothingSelected,  // Ctrl+C changed nothing: nothing done
  NoWindow,         // no foreground window to copy from: nothing done
  Elevated,         // ran on the clipboard as from the menu; the result stays there
  SendFailed,       // the system refused the keys: nothing done
};

namespace hotkeyvk {
inline constexpr uint16_t kShift = 0x10, kControl = 0x11, kMenu = 0x12, kLWin = 0x5B, kRWin = 0x5C;
inline constexpr uint16_t kLControl = 0xA2;
}  // namespace hotkeyvk

inline constexpr int kReleaseWaitMs = 1000;   // for the user to let go of the hotkey
inline constexpr int kCopyWaitMs = 500;       // for the program to put its selection on the clipboard
inline constexpr int kPollMs = 10;

// Presses left Ctrl with `key` and lets both go. Every key that went down is sent up, also
// when the system took only part of the events, and no key goes up that was not sent down.
// True when all four went in.
bool SendCtrlChord(IHotKeyInput& in, uint16_t key);

// With automatic paste: remembers the foreground window, waits for the hotkey's keys to be let
// go, sends Ctrl+C, waits for the clipboard to change, `run`s the command, brings the window
// back and sends Ctrl+V when the command changed the clipboard. `needSelection` false (the
// menu opened by a hotkey): the command runs also when nothing was copied, without a paste.
HotKeyOutcome RunWithPaste(IHotKeyInput& in, const HotKeyBinding& b, const std::function<void()>& run,
                           bool needSelection = true);

}  // namespace qlk
