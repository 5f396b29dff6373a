#include "app/HotKeys.h"

#include <cstdio>

namespace qlk {
namespace {

using namespace hotkeyvk;

bool IsModifierKey(uint32_t vk) {
  return vk == kShift || vk == kControl || vk == kMenu || vk == kLWin || vk == kRWin || (vk >= 0xA0 && vk <= 0xA5);
}

struct Named {
  uint32_t vk;
  const char* name;
};
// Keys of the Japanese 106/109 keyboard by their virtual-key codes.
constexpr Named kNames[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},      {0x0D, "Enter"},      {0x13, "Pause"},      {0x14, "CapsLock"},
    {0x1B, "Esc"},       {0x1C, "Convert"},  {0x1D, "NonConvert"}, {0x20, "Space"},      {0x21, "PageUp"},
    {0x22, "PageDown"},  {0x23, "End"},      {0x24, "Home"},       {0x25, "Left"},       {0x26, "Up"},
    {0x27, "Right"},     {0x28, "Down"},     {0x2C, "PrintScreen"}, {0x2D, "Insert"},    {0x2E, "Delete"},
    {0x5D, "Apps"},      {0x6A, "Num *"},    {0x6B, "Num +"},      {0x6D, "Num -"},      {0x6E, "Num ."},
    {0x6F, "Num /"},     {0x90, "NumLock"},  {0x91, "ScrollLock"}, {0xBA, ":"},          {0xBB, ";"},
    {0xBC, ","},         {0xBD, "-"},        {0xBE, "."},          {0xBF, "/"},          {0xC0, "@"},
    {0xDB, "["},         {0xDC, "\\"},       {0xDD, "]"},          {0xDE, "^"},          {0xE2, "_"},
};

constexpr const char* kKeySection = "HotKey";

std::string Numbered(const char* prefix, int n) {
  char k[32];
  std::snprintf(k, sizeof k, "%s%02d", prefix, n);
  return k;
}

}  // namespace

bool ValidHotKey(uint32_t mods, uint32_t vk) {
  return (mods & kModAll) != 0 && (mods & ~static_cast<uint32_t>(kModAll)) == 0 && vk > 0 && vk < 0xFF &&
         !IsModifierKey(vk);
}

std::string KeyName(uint32_t vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, static_cast<char>(vk));
  if (vk >= 0x70 && vk <= 0x87) return "F" + std::to_string(vk - 0x70 + 1);
  if (vk >= 0x60 && vk <= 0x69) return "Num " + std::to_string(vk - 0x60);
  for (const Named& n : kNames)
    if (n.vk == vk) return n.name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "Key 0x%02X", vk & 0xFFFF);
  return buf;
}

std::string HotKeyText(uint32_t mods, uint32_t vk) {
  std::string s;
  if (mods & kModWin) s += "Win+";
  if (mods & kModCtrl) s += "Ctrl+";
  if (mods & kModAlt) s += "Alt+";
  if (mods & kModShift) s += "Shift+";
  return s + KeyName(vk);
}

std::vector<HotKeyBinding> LoadHotKeys(ISettings& s) {
  std::vector<HotKeyBinding> out;
  const int n = s.GetInt(kKeySection, "nCount", 0);
  for (int i = 0; i < n && i < kMaxHotKeys; ++i) {
    const int keys = s.GetInt(kKeySection, Numbered("Key", i), 0);
    const int cmd = s.GetInt(kKeySection, Numbered("Cmd", i), -1);
    HotKeyBinding b;
    b.mods = static_cast<uint32_t>(keys) >> 16;
    b.vk = static_cast<uint32_t>(keys) & 0xFFFF;
    b.command = static_cast<uint32_t>(cmd);
    b.autoPaste = s.GetInt(kKeySection, Numbered("bPaste", i), 0) != 0;
    if (cmd < 0 || cmd > 0xFFFF || keys < 0 || !ValidHotKey(b.mods, b.vk)) continue;
    bool taken = false;
    for (const HotKeyBinding& e : out) taken = taken || e.SameKeys(b);
    if (!taken) out.push_back(b);
  }
  return out;
}

void SaveHotKeys(ISettings& s, const std::vector<HotKeyBinding>& bindings) {
  const int n = static_cast<int>(bindings.size() < kMaxHotKeys ? bindings.size() : kMaxHotKeys);
  for (int i = 0; i < n; ++i) {
    const HotKeyBinding& b = bindings[static_cast<size_t>(i)];
    s.SetInt(kKeySection, Numbered("Key", i), static_cast<int>(b.mods << 16 | b.vk));
    s.SetInt(kKeySection, Numbered("Cmd", i), static_cast<int>(b.command));
    s.SetInt(kKeySection, Numbered("bPaste", i), b.autoPaste ? 1 : 0);
  }
  // The count last: a write cut short leaves the old count over entries written whole.
  s.SetInt(kKeySection, "nCount", n);
}

bool SendCtrlChord(IHotKeyInput& in, uint16_t key) {
  const std::vector<KeyEvent> chord = {{kLControl, false}, {key, false}, {key, true}, {kLControl, true}};
  const size_t went = in.Send(chord);
  if (went >= chord.size()) return true;
  // Which keys are down now: those whose down went in and whose up did not, let go in the
  // reverse order of pressing. Each is tried a few times; nothing else is sent up.
  std::vector<uint16_t> down;
  for (size_t i = 0; i < went; ++i) {
    if (!chord[i].up) down.push_back(chord[i].vk);
    else std::erase(down, chord[i].vk);
  }
  for (size_t k = down.size(); k-- > 0;)
    for (int attempt = 0; attempt < 3 && in.Send({{down[k], true}}) == 0; ++attempt) in.Wait(kPollMs);
  return false;
}

HotKeyOutcome RunWithPaste(IHotKeyInput& in, const HotKeyBinding& b, const std::function<void()>& run,
                           bool needSelection) {
  const uintptr_t target = in.Foreground();
  if (!target) return HotKeyOutcome::NoWindow;
  if (in.Elevated(target)) {
    // Keys sent to it would be dropped: the command works on the clipboard as from the menu.
    run();
    return HotKeyOutcome::Elevated;
  }
  // The keys of the hotkey would otherwise join ours (Alt+Ctrl+C is not a copy) or repeat.
  std::vector<uint16_t> held;
  if (b.mods & kModCtrl) held.push_back(kControl);
  if (b.mods & kModAlt) held.push_back(kMenu);
  if (b.mods & kModShift) held.push_back(kShift);
  if (b.mods & kModWin) {
    held.push_back(kLWin);
    held.push_back(kRWin);
  }
  if (b.vk) held.push_back(static_cast<uint16_t>(b.vk));
  auto anyHeld = [&] {
    for (uint16_t vk : held)
      if (in.IsDown(vk)) return true;
    return false;
  };
  const uint64_t releaseBy = in.NowMs() + kReleaseWaitMs;
  while (anyHeld()) {
    if (in.NowMs() >= releaseBy) return HotKeyOutcome::ModifiersHeld;
    in.Wait(kPollMs);
  }
  const uint32_t before = in.ClipboardSequence();
  if (!SendCtrlChord(in, 'C')) return HotKeyOutcome::SendFailed;
  const uint64_t copyBy = in.NowMs() + kCopyWaitMs;
  bool copied = true;
  while (in.ClipboardSequence() == before) {
    if (in.NowMs() >= copyBy) {
      copied = false;
      break;
    }
    in.Wait(kPollMs);
  }
  if (!copied && needSelection) return HotKeyOutcome::NothingSelected;
  const uint32_t loaded = in.ClipboardSequence();
  run();
  const bool changed = in.ClipboardSequence() != loaded;
  in.Activate(target);
  if (!copied || !changed) return HotKeyOutcome::Ran;
  return SendCtrlChord(in, 'V') ? HotKeyOutcome::Pasted : HotKeyOutcome::SendFailed;
}

}  // namespace qlk
