// Hotkeys: the text of a combination, the "HotKey" section, the binding dialog, and the run
// with automatic copy and paste against a scripted keyboard, clipboard and window.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "CommandHarness.h"
#include "app/HotKeyDlg.h"
#include "app/HotKeys.h"
#include "app/SetDlg.h"

using namespace qlk;
using namespace qlk::test;

namespace {

TEST(HotKeys, TextOfACombination) {
  struct Case {
    uint32_t mods, vk;
    const char* text;
  } cases[] = {
      {kModCtrl | kModShift, 0x70, "Ctrl+Shift+F1"},
      {kModWin | kModAlt, 'Z', "Win+Alt+Z"},
      {kModCtrl | kModAlt, 'Z', "Ctrl+Alt+Z"},
      {kModAll, '5', "Win+Ctrl+Alt+Shift+5"},
      {kModShift, 0x87, "Shift+F24"},
      {kModCtrl, 0x65, "Ctrl+Num 5"},
      {kModAlt, 0x21, "Alt+PageUp"},
      {kModCtrl, 0xBB, "Ctrl+;"},
      {kModCtrl, 0xE2, "Ctrl+_"},
      {kModWin, 0x20, "Win+Space"},
      {kModCtrl, 0xFE, "Ctrl+Key 0xFE"},
  };
  for (const Case& c : cases) EXPECT_EQ(HotKeyText(c.mods, c.vk), c.text);
}

TEST(HotKeys, AValidCombinationHasAModifierAndAKeyThatIsNone) {
  struct Case {
    uint32_t mods, vk;
    bool valid;
  } cases[] = {
      {kModCtrl, 'A', true},   {kModWin, 0x70, true},  {0, 'A', false},         {0, 0x70, false},
      {kModCtrl, 0, false},    {kModCtrl, 0x11, false}, {kModAlt, 0x10, false}, {kModShift, 0x5B, false},
      {kModCtrl, 0xA3, false}, {16, 'A', false},        {kModCtrl, 0x1FF, false},
  };
  for (const Case& c : cases) EXPECT_EQ(ValidHotKey(c.mods, c.vk), c.valid) << c.mods << " " << c.vk;
}

// Random lists saved and loaded again come back as they were, whatever stood there before.
TEST(HotKeys, TheSectionKeepsEveryBindingInOrder) {
  std::mt19937 rng(24);
  for (int round = 0; round < 200; ++round) {
    MemorySettings s;
    std::vector<HotKeyBinding> list;
    const int n = static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i) {
      HotKeyBinding b{static_cast<uint32_t>(rng() % 3 ? 32769 + rng() % 300 : kHotKeyPopup),
                      static_cast<uint32_t>(1 + rng() % 15), static_cast<uint32_t>('A' + rng() % 26), rng() % 2 == 0};
      bool dup = false;
      for (const HotKeyBinding& e : list) dup = dup || e.SameKeys(b);
      if (!dup) list.push_back(b);
    }
    SaveHotKeys(s, {{32829, kModCtrl, 'Q', true}, {32830, kModCtrl, 'R', false}, {32831, kModCtrl, 'S', true},
                    {32832, kModCtrl, 'T', false}, {32833, kModCtrl, 'U', true}, {32834, kModCtrl, 'V', true},
                    {32835, kModCtrl, 'W', true}, {32836, kModCtrl, 'X', true}, {32837, kModCtrl, 'Y', true},
                    {32838, kModCtrl, 'Z', true}, {32839, kModCtrl, '1', true}, {32840, kModCtrl, '2', true}});
    SaveHotKeys(s, list);
    EXPECT_EQ(LoadHotKeys(s), list) << "round " << round;
    EXPECT_EQ(s.GetInt("HotKey", "nCount", -1), static_cast<int>(list.size())) << "round " << round;
  }
}

TEST(HotKeys, BrokenEntriesAreDroppedAndAKeyBoundTwiceKeepsItsFirst) {
  MemorySettings s;
  s.SetInt("HotKey", "nCount", 6);
  auto put = [&](int i, int keys, int cmd) {
    char k[16];
    std::snprintf(k, sizeof k, "Key%02d", i);
    s.SetInt("HotKey", k, keys);
    std::snprintf(k, sizeof k, "Cmd%02d", i);
    if (cmd >= 0) s.SetInt("HotKey", k, cmd);
  };
  put(0, kModCtrl << 16 | 'A', 32829);
  put(1, 'B', 32829);                   // no modifier
  put(2, kModCtrl << 16 | 'C', -1);     // no command
  put(3, kModCtrl << 16 | 'A', 32830);  // keys of entry 0
  put(4, kModAlt << 16 | 0x70, 0);      // the menu opener
  // entry 5 missing altogether
  EXPECT_EQ(LoadHotKeys(s), (std::vector<HotKeyBinding>{{32829, kModCtrl, 'A', false}, {kHotKeyPopup, kModAlt, 0x70, false}}));
  s.SetInt("HotKey", "nCount", 1 << 30);  // an absurd count reads no more than the limit
  EXPECT_EQ(LoadHotKeys(s).size(), 2u);
}

// ---- the run with automatic copy and paste

// A keyboard, clipboard and window on a clock of its own: keys let go at given times, the
// clipboard changing a while after Ctrl+C went in (or never), and a system that takes only
// so many events of a batch.
struct FakeInput final : IHotKeyInput {
  uint64_t now = 0;
  std::map<uint32_t, uint64_t> heldUntil;  // virtual key: physically let go at this time
  int copyDelay = 30;                      // ms after Ctrl+C; -1: the clipboard never changes
  uint32_t seq = 7;
  uint64_t copiedAt = UINT64_MAX;
  std::vector<KeyEvent> sent;
  std::vector<size_t> takes;  // per Send call, how many go in; all when none is left
  uintptr_t foreground = 0x1234;
  bool elevated = false;
  std::vector<uintptr_t> activated;

  bool IsDown(uint32_t vk) override {
    auto it = heldUntil.find(vk);
    return it != heldUntil.end() && now < it->second;
  }
  size_t Send(const std::vector<KeyEvent>& events) override {
    size_t n = events.size();
    if (!takes.empty()) {
      n = std::min(n, takes.front());
      takes.erase(takes.begin());
    }
    for (size_t i = 0; i < n; ++i) {
      sent.push_back(events[i]);
      if (events[i] == KeyEvent{'C', false} && copyDelay >= 0) copiedAt = now + static_cast<uint64_t>(copyDelay);
    }
    return n;
  }
  uint32_t ClipboardSequence() override { return now >= copiedAt ? seq + 1 : seq; }
  void Wait(int ms) override { now += static_cast<uint64_t>(ms); }
  uint64_t NowMs() override { return now; }
  uintptr_t Foreground() override { return foreground; }
  void Activate(uintptr_t w) override { activated.push_back(w); }
  bool Elevated(uintptr_t) override { return elevated; }
};

const std::vector<KeyEvent> kCopy = {{0xA2, false}, {'C', false}, {'C', true}, {0xA2, true}};
const std::vector<KeyEvent> kPaste = {{0xA2, false}, {'V', false}, {'V', true}, {0xA2, true}};

std::vector<KeyEvent> Join(std::vector<KeyEvent> a, const std::vector<KeyEvent>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(HotKeyRun, SequencesWaitsAndGiveUps) {
  const HotKeyBinding ctrlAltZ{32829, kModCtrl | kModAlt, 'Z', true};
  const HotKeyBinding winF1{32829, kModWin, 0x70, true};
  struct Case {
    const char* what;
    HotKeyBinding b;
    std::map<uint32_t, uint64_t> held;
    int copyDelay;
    bool commandStores, needSelection, elevated;
    uintptr_t foreground;
    HotKeyOutcome outcome;
    std::vector<KeyEvent> keys;
    int runs;
    bool activates;
  } cases[] = {
      {"keys already up", ctrlAltZ, {}, 30, true, true, false, 1, HotKeyOutcome::Pasted, Join(kCopy, kPaste), 1, true},
      {"Ctrl and Alt let go after 300 ms", ctrlAltZ, {{0x11, 300}, {0x12, 250}}, 30, true, true, false, 1,
       HotKeyOutcome::Pasted, Join(kCopy, kPaste), 1, true},
      {"the key itself held a while", ctrlAltZ, {{'Z', 600}}, 30, true, true, false, 1, HotKeyOutcome::Pasted,
       Join(kCopy, kPaste), 1, true},
      {"Ctrl held on", ctrlAltZ, {{0x11, 5000}}, 30, true, true, false, 1, HotKeyOutcome::ModifiersHeld, {}, 0, false},
      {"the right Win held on", winF1, {{0x5C, 5000}}, 30, true, true, false, 1, HotKeyOutcome::ModifiersHeld, {}, 0, false},
      {"Shift held is none of this hotkey's", ctrlAltZ, {{0x10, 5000}}, 30, true, true, false, 1, HotKeyOutcome::Pasted,
       Join(kCopy, kPaste), 1, true},
      {"nothing selected", ctrlAltZ, {}, -1, true, true, false, 1, HotKeyOutcome::NothingSelected, kCopy, 0, false},
      {"the copy comes too late", ctrlAltZ, {}, 700, true, true, false, 1, HotKeyOutcome::NothingSelected, kCopy, 0, false},
      {"the command leaves the clipboard", ctrlAltZ, {}, 30, false, true, false, 1, HotKeyOutcome::Ran, kCopy, 1, true},
      {"from the menu with nothing selected", ctrlAltZ, {}, -1, true, false, false, 1, HotKeyOutcome::Ran, kCopy, 1, true},
      {"an elevated window", ctrlAltZ, {}, 30, true, true, true, 1, HotKeyOutcome::Elevated, {}, 1, false},
      {"no foreground window", ctrlAltZ, {}, 30, true, true, false, 0, HotKeyOutcome::NoWindow, {}, 0, false},
  };
  for (const Case& c : cases) {
    FakeInput in;
    in.heldUntil = c.held;
    in.copyDelay = c.copyDelay;
    in.elevated = c.elevated;
    in.foreground = c.foreground;
    int runs = 0;
    uint64_t ranAt = 0;
    auto run = [&] {
      ++runs;
      ranAt = in.now;
      if (c.commandStores) in.seq += 10;
    };
    EXPECT_EQ(RunWithPaste(in, c.b, run, c.needSelection), c.outcome) << c.what;
    EXPECT_EQ(in.sent, c.keys) << c.what;
    EXPECT_EQ(runs, c.runs) << c.what;
    EXPECT_EQ(in.activated, c.activates ? std::vector<uintptr_t>{1} : std::vector<uintptr_t>{}) << c.what;
    uint64_t lastRelease = 0;
    for (const auto& [vk, until] : c.held)
      if (vk != 0x10 || (c.b.mods & kModShift)) lastRelease = std::max(lastRelease, until);  // the hotkey's keys
    if (c.outcome == HotKeyOutcome::ModifiersHeld) {
      EXPECT_TRUE(in.now >= kReleaseWaitMs && in.now < kReleaseWaitMs + 100) << c.what << ": gave up after " << in.now;
    }
    if (c.outcome == HotKeyOutcome::NothingSelected) {
      EXPECT_TRUE(in.now >= kCopyWaitMs && in.now < kCopyWaitMs + 100) << c.what << ": gave up after " << in.now;
    }
    if (runs && c.outcome != HotKeyOutcome::Elevated && c.needSelection) {
      EXPECT_GE(ranAt, lastRelease + static_cast<uint64_t>(c.copyDelay)) << c.what << ": runs on the copied text";
    }
  }
}

// However much of a batch the system takes, and however often it refuses the key-ups, no key
// stays down after a chord, and no key goes up that was not sent down.
TEST(HotKeyRun, EveryKeySentDownIsSentUpAndNoOtherUp) {
  for (size_t first = 0; first <= 4; ++first) {
    for (int refusals = 0; refusals <= 2; ++refusals) {
      FakeInput in;
      in.takes = {first};
      for (int r = 0; r < refusals; ++r) in.takes.push_back(0);
      const bool whole = SendCtrlChord(in, 'C');
      EXPECT_EQ(whole, first == 4);
      std::map<uint16_t, int> down;
      for (const KeyEvent& e : in.sent) {
        if (e.up) {
          EXPECT_EQ(down[e.vk], 1) << "an up of a key not down, first " << first;
          down[e.vk] = 0;
        } else {
          down[e.vk] = 1;
        }
      }
      for (const auto& [vk, d] : down) EXPECT_EQ(d, 0) << "key " << vk << " left down, first " << first;
      // Let go in the reverse order of pressing: the key before left Ctrl.
      if (first == 2) {
        EXPECT_EQ(in.sent, kCopy);
      }
    }
  }
}

// ---- the dialog

struct HotKeyHarness {
  CommandHarness h;
  std::unique_ptr<CHotKeyDlg> dlg;
  std::unique_ptr<FakeDialog> d;
  std::vector<std::pair<uint32_t, uint32_t>> heldElsewhere;  // combinations another program has
  explicit HotKeyHarness(std::vector<HotKeyBinding> start = {}) {
    h.app.catalogue = BuildCatalogue(CodePage(), {"逆順"});
    h.app.hotKeys = std::move(start);
    h.app.hotKeyFree = [this](uint32_t mods, uint32_t vk) {
      return std::find(heldElsewhere.begin(), heldElsewhere.end(), std::make_pair(mods, vk)) == heldElsewhere.end();
    };
    Open();
  }
  void Open() {
    dlg = std::make_unique<CHotKeyDlg>(h.tp.platform, h.app);
    d = std::make_unique<FakeDialog>(*dlg, h.tp.ui);
  }
  int RowOf(uint32_t id) const {
    for (int i = 0; i < 200; ++i)
      if (dlg->CommandAt(i) == id) return i;
    return -1;
  }
  // Chooses the command and the keys as a person does in the controls.
  void Choose(uint32_t id, uint32_t mods, uint32_t vk, bool paste) {
    d->Set(CHotKeyDlg::kAll, RowOf(id));
    d->Set(CHotKeyDlg::kKey, static_cast<int>((mods & ~static_cast<uint32_t>(kModWin)) << 16 | vk));
    d->Set(CHotKeyDlg::kWin, (mods & kModWin) ? 1 : 0);
    d->Set(CHotKeyDlg::kPaste, paste ? 1 : 0);
  }
};

TEST(HotKeyDlg, AddChangeDeleteAndTheirRefusals) {
  using C = CHotKeyDlg;
  const HotKeyBinding a{32829, kModCtrl | kModAlt, 'Z', false}, b{32853, kModWin | kModShift, 0x70, true};
  struct Case {
    const char* what;
    std::vector<HotKeyBinding> start;
    int selected;
    HotKeyBinding chosen;
    int button;
    std::vector<HotKeyBinding> after;
    std::string said;  // the message and the status line, "" for none
  } cases[] = {
      {"add", {a}, 0, b, C::kAdd, {a, b}, ""},
      {"add the menu opener", {}, -1, {kHotKeyPopup, kModCtrl, 0x20, true}, C::kAdd, {{kHotKeyPopup, kModCtrl, 0x20, true}}, ""},
      {"add without a modifier", {a}, 0, {32830, 0, 'Q', false}, C::kAdd, {a},
       "Ctrl、Alt、Shift、Win のいずれかを含むキーを指定してください"},
      {"add keys bound already", {a}, 0, {32830, kModCtrl | kModAlt, 'Z', false}, C::kAdd, {a}, "Ctrl+Alt+Z は既に割り当てられています"},
      {"add keys another program holds", {a}, 0, {32830, kModCtrl | kModAlt, 'Q', false}, C::kAdd, {a},
       "Ctrl+Alt+Q は他のプログラムが使用中です"},
      {"change", {a, b}, 0, {32830, kModCtrl | kModAlt, 'Z', true}, C::kChange, {{32830, kModCtrl | kModAlt, 'Z', true}, b}, ""},
      {"change to another's keys", {a, b}, 0, {32829, kModWin | kModShift, 0x70, false}, C::kChange, {a, b},
       "Win+Shift+F1 は既に割り当てられています"},
      {"change with nothing selected", {a}, -1, b, C::kChange, {a}, ""},
      {"delete", {a, b}, 1, a, C::kDelete, {a}, ""},
  };
  for (const Case& c : cases) {
    HotKeyHarness t(c.start);
    t.heldElsewhere = {{kModCtrl | kModAlt, 'Q'}};
    t.dlg->selected = c.selected;
    t.Choose(c.chosen.command, c.chosen.mods, c.chosen.vk, c.chosen.autoPaste);
    t.d->Press(c.button);
    EXPECT_EQ(t.dlg->bindings(), c.after) << c.what;
    const bool asked = c.button == C::kDelete;
    const size_t messages = t.h.tp.ui.shown.size() - (asked ? 1 : 0);
    EXPECT_EQ(messages, c.said.empty() ? 0u : 1u) << c.what;
    if (!c.said.empty() && messages) {
      EXPECT_EQ(t.h.tp.ui.shown.back().text, c.said) << c.what;
      EXPECT_EQ(t.d->GetText(C::kStatus), CodePage().Utf8ToSjis(c.said)) << c.what;
    }
    EXPECT_EQ(t.h.app.hotKeys, c.start) << c.what << ": the bindings change only on OK";
  }
}

TEST(HotKeyDlg, ListsTheCatalogueAndTheBindingsWithTheirKeys) {
  HotKeyHarness t({{32829, kModCtrl | kModShift, 0x70, true}, {kHotKeyPopup, kModWin | kModAlt, 'Z', false}});
  const auto* all = t.d->Items(CHotKeyDlg::kAll);
  ASSERT_EQ(all->size(), t.h.app.catalogue.size() + 1);
  EXPECT_EQ(CodePage().SjisToUtf8((*all)[0]), "[ﾒﾆｭｰ]マウスの位置にメニューを表示");
  for (size_t i = 0; i < t.h.app.catalogue.size(); ++i) EXPECT_EQ((*all)[i + 1], t.h.app.catalogue[i].caption);
  const auto* list = t.d->Items(CHotKeyDlg::kList);
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ(CodePage().SjisToUtf8((*list)[0]), "Ctrl+Shift+F1\t[全角→半角]全て変換\t自動で貼り付け");
  EXPECT_EQ(CodePage().SjisToUtf8((*list)[1]), "Win+Alt+Z\t[ﾒﾆｭｰ]マウスの位置にメニューを表示");
  // Opening selects the first; choosing a binding shows its command and keys in the controls.
  EXPECT_EQ(t.dlg->selected, 0);
  EXPECT_EQ(t.dlg->CommandAt(t.dlg->chosen), 32829u);
  t.d->Set(CHotKeyDlg::kList, 1);
  EXPECT_EQ(t.dlg->CommandAt(t.dlg->chosen), kHotKeyPopup);
  EXPECT_EQ(t.dlg->win, 1);
  EXPECT_EQ(t.dlg->key, static_cast<int>(kModAlt << 16 | 'Z'));
  EXPECT_EQ(t.dlg->paste, 0);
  EXPECT_TRUE(t.d->Enabled(CHotKeyDlg::kDelete));
  HotKeyHarness empty;
  EXPECT_FALSE(empty.d->Enabled(CHotKeyDlg::kChange));
  EXPECT_FALSE(empty.d->Enabled(CHotKeyDlg::kDelete));
}

TEST(HotKeyDlg, OkWritesAndRegistersAndNamesWhatIsTakenWhileCancelWritesNothing) {
  HotKeyHarness t;
  std::vector<HotKeyBinding> registered;
  t.h.app.applyHotKeys = [&] {
    registered = t.h.app.hotKeys;
    return std::vector<HotKeyBinding>{t.h.app.hotKeys.back()};  // taken meanwhile
  };
  t.h.tp.ui.dialogScript = [&t](FakeDialog& d) {
    auto& m = static_cast<CHotKeyDlg&>(d.model());
    for (int i = 0; i < 200; ++i)
      if (m.CommandAt(i) == 32853) m.chosen = i;
    d.Set(CHotKeyDlg::kKey, static_cast<int>(kModCtrl << 16 | 0x70));
    d.Set(CHotKeyDlg::kPaste, 1);
    d.Press(CHotKeyDlg::kAdd);
    return d.Ok();
  };
  ASSERT_TRUE(t.h.m->Dispatch(Cmd::HotKeySettings));
  const std::vector<HotKeyBinding> want = {{32853, kModCtrl, 0x70, true}};
  EXPECT_EQ(t.h.app.hotKeys, want);
  EXPECT_EQ(registered, want);
  EXPECT_EQ(LoadHotKeys(t.h.tp.settings), want) << "the profile holds it";
  ASSERT_EQ(t.h.tp.ui.shown.size(), 1u);
  EXPECT_EQ(t.h.tp.ui.shown[0].text, "Ctrl+F1 は他のプログラムが使用中です");
  // Cancel: nothing written, nothing registered.
  t.h.tp.settings.writeLog.clear();
  registered.clear();
  t.h.tp.ui.dialogScript = [](FakeDialog& d) {
    d.Press(CHotKeyDlg::kDelete);
    return false;
  };
  ASSERT_TRUE(t.h.m->Dispatch(Cmd::HotKeySettings));
  EXPECT_EQ(t.h.app.hotKeys, want);
  EXPECT_TRUE(t.h.tp.settings.writeLog.empty());
  EXPECT_TRUE(registered.empty());
}

TEST(HotKeyDlg, TheSettingsDialogOpensIt) {
  CommandHarness h;
  std::vector<int> opened;
  h.tp.ui.dialogScript = [&](FakeDialog& d) {
    opened.push_back(d.model().ResourceId());
    if (d.model().ResourceId() == CSetDlg::kResource) {
      EXPECT_TRUE(d.Enabled(CSetDlg::kHotKeys));
      d.Press(CSetDlg::kHotKeys);
    }
    return false;
  };
  ASSERT_TRUE(h.m->Dispatch(Cmd::Settings));
  EXPECT_EQ(opened, (std::vector<int>{CSetDlg::kResource, CHotKeyDlg::kResource}));
}

}  // namespace
