#pragma once
// The input seam of the hotkeys' automatic copy and paste, on the system's keyboard, clipboard
// and windows.
#include <windows.h>

#include "app/HotKeys.h"

namespace qlk::win {

class Win32HotKeyInput final : public IHotKeyInput {
 public:
  bool IsDown(uint32_t vk) override;
  size_t Send(const std::vector<KeyEvent>& events) override;
  uint32_t ClipboardSequence() override;
  void Wait(int ms) override;
  uint64_t NowMs() override;
  uintptr_t Foreground() override;
  void Activate(uintptr_t window) override;
  bool Elevated(uintptr_t window) override;
};

// The integrity level of a process's token; -1 when it cannot be read.
long IntegrityLevel(HANDLE process);

}  // namespace qlk::win
