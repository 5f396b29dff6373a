// Every dialog resource of the program as a Japanese user sees it: each label's text fits its
// room in the dialog font at the usual display scales, no two controls share a mnemonic, OK and
// Cancel follow one layout, and labels grey with the fields they name.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "DialogResources.h"
#include "Fakes.h"
#include "ops/FoldDialogs.h"
#include "ops/SortDlg.h"
#include "win32/platform/Win32Platform.h"

using namespace qlk;
using namespace qlk::test;

namespace {

std::string Utf8(const std::wstring& w) { return win::WideToUtf8(w); }

std::string Where(const DialogResource& d, const DialogItem& it) {
  return "dialog " + std::to_string(d.id) + " (" + Utf8(d.caption) + "), \"" + Utf8(it.text) + "\"";
}

const std::vector<DialogResource>& Dialogs() {
  static const std::vector<DialogResource> all = DialogResources(nullptr, nullptr);
  return all;
}

TEST(DialogResources, EveryTemplateIsReadWholeAndCreates) {
  std::vector<std::string> errors;
  const std::vector<DialogResource> all = DialogResources(nullptr, &errors);
  EXPECT_TRUE(errors.empty()) << errors.front();
  ASSERT_GE(all.size(), 20u);
  for (const DialogResource& d : all) {
    CreatedDialog c(nullptr, d.id);
    ASSERT_NE(c.hwnd(), nullptr) << d.id;
    int children = 0;
    for (HWND h = GetWindow(c.hwnd(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, static_cast<int>(d.items.size())) << d.id;
    wchar_t caption[256] = {};
    GetWindowTextW(c.hwnd(), caption, 256);
    EXPECT_EQ(caption, d.caption) << d.id;
    for (const DialogItem& it : d.items) {
      if (it.id < 0) continue;
      HWND h = GetDlgItem(c.hwnd(), it.id);
      ASSERT_NE(h, nullptr) << d.id << " control " << it.id;
      wchar_t cls[64] = {};
      GetClassNameW(h, cls, 64);
      EXPECT_EQ(_wcsicmp(cls, it.cls.c_str()), 0) << d.id << " control " << it.id;
    }
  }
}

TEST(DialogResources, MnemonicMarksAreReadAsTheControlsShowThem) {
  const struct {
    const wchar_t* text;
    const wchar_t* shown;
    wchar_t mnemonic;
  } cases[] = {
      {L"置換(&r)", L"置換(r)", L'R'}, {L"a&&b", L"a&b", 0}, {L"a&&&b", L"a&b", L'B'}, {L"none", L"none", 0}, {L"end&", L"end&", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithoutMnemonicMarks(c.text), c.shown) << Utf8(c.text);
    EXPECT_EQ(MnemonicOf(c.text), c.mnemonic) << Utf8(c.text);
  }
}

// The dialog's font at a display scale, and its dialog units in pixels there, computed as the
// dialog manager computes them.
class DialogFont {
 public:
  DialogFont(const DialogResource& d, int dpi) : dpi_(dpi) {
    dc_ = CreateCompatibleDC(nullptr);
    font_ = CreateFontW(-MulDiv(d.pointSize, dpi, 72), 0, 0, 0, d.weight, d.italic, 0, 0, static_cast<BYTE>(d.charset), 0, 0,
                        0, 0, d.font.c_str());
    old_ = SelectObject(dc_, font_);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    SIZE s{};
    GetTextExtentPoint32W(dc_, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &s);
    baseX_ = (s.cx / 26 + 1) / 2;
    baseY_ = tm.tmHeight;
  }
  ~DialogFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
    DeleteDC(dc_);
  }
  int X(int dlu) const { return MulDiv(dlu, baseX_, 4); }
  int Y(int dlu) const { return MulDiv(dlu, baseY_, 8); }
  // Device pixels of a length given at 96 dots per inch.
  int Scaled(int px) const { return MulDiv(px, dpi_, 96); }
  int LineHeight() const { return baseY_; }
  // The size of a control's text as it is drawn: the mnemonic marks take no room; with a
  // width, the text wraps within it.
  SIZE Extent(const std::wstring& text, int wrapWidth = 0) const {
    RECT r{0, 0, wrapWidth, 0};
    UINT flags = DT_CALCRECT | (wrapWidth ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r, flags);
    return {r.right - r.left, r.bottom - r.top};
  }

 private:
  int dpi_;
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
  int baseX_ = 0, baseY_ = 0;
};

// The pixels a control's own drawing takes beside its text, at 96 dots per inch: the box of a
// check box or radio button with the gap after it, a push button's frame, the frame line
// before and after a group box's caption.
int Chrome(const DialogItem& it) {
  if (it.IsCheckOrRadio()) return 18;
  if (it.IsPushButton()) return 8;
  if (it.IsGroupBox()) return 16;
  return 0;
}

bool HasLabel(const DialogItem& it) {
  return !it.text.empty() && (it.IsTextStatic() || it.IsCheckOrRadio() || it.IsPushButton() || it.IsGroupBox());
}

// Text that does not fit is cut off, and with it, often, the mnemonic that follows it.
TEST(DialogResources, EveryLabelFitsItsRoomAtEveryDisplayScale) {
  for (int dpi : {96, 120, 144}) {
    for (const DialogResource& d : Dialogs()) {
      DialogFont f(d, dpi);
      for (const DialogItem& it : d.items) {
        if (!HasLabel(it)) continue;
        const int width = f.X(it.cx) - f.Scaled(Chrome(it)), height = f.Y(it.cy);
        const bool wraps = it.IsTextStatic() && height >= 2 * f.LineHeight();
        SIZE s = f.Extent(it.text, wraps ? width : 0);
        EXPECT_LE(s.cx, width) << Where(d, it) << " at " << dpi << " dpi";
        EXPECT_LE(s.cy, it.IsGroupBox() ? height : std::max(height, f.LineHeight())) << Where(d, it) << " at " << dpi << " dpi";
      }
    }
  }
}

// The computed dialog units are those of the dialogs the system creates, so the check above
// measures the room the controls really get.
TEST(DialogResources, ComputedRoomIsTheRoomOfTheCreatedControls) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  for (const DialogResource& d : Dialogs()) {
    DialogFont f(d, dpi);
    CreatedDialog c(nullptr, d.id);
    ASSERT_NE(c.hwnd(), nullptr);
    for (const DialogItem& it : d.items) {
      if (it.id < 0 || !HasLabel(it)) continue;
      RECT r = c.ControlRect(it.id);
      EXPECT_NEAR(r.right - r.left, f.X(it.cx), 1) << Where(d, it);
      EXPECT_NEAR(r.bottom - r.top, f.Y(it.cy), 1) << Where(d, it);
    }
  }
}

// Alt and a letter goes to one control only.
TEST(DialogResources, NoTwoControlsShareAMnemonic) {
  for (const DialogResource& d : Dialogs()) {
    std::map<wchar_t, std::wstring> seen;
    for (const DialogItem& it : d.items) {
      if (!HasLabel(it) || (it.IsTextStatic() && (it.style & SS_NOPREFIX))) continue;
      wchar_t m = MnemonicOf(it.text);
      if (!m) continue;
      auto [at, fresh] = seen.emplace(m, it.text);
      EXPECT_TRUE(fresh) << "dialog " << d.id << " (" << Utf8(d.caption) << "): " << Utf8(std::wstring(1, m)) << " in \""
                         << Utf8(at->second) << "\" and \"" << Utf8(it.text) << "\"";
    }
  }
}

// OK and Cancel: 50 by 14 units (wider where OK names its action at length), side by side
// 6 units apart, at the right of the dialog's last row, 8 units in from its right and bottom
// edges.
TEST(DialogResources, OkAndCancelFollowOneLayout) {
  constexpr int kWidth = 50, kHeight = 14, kGap = 6, kMargin = 8;
  for (const DialogResource& d : Dialogs()) {
    const DialogItem* ok = d.Item(IDOK);
    const DialogItem* cancel = d.Item(IDCANCEL);
    const DialogItem* last = cancel ? cancel : ok;
    if (!last) continue;
    const std::string name = "dialog " + std::to_string(d.id) + " (" + Utf8(d.caption) + ")";
    for (const DialogItem* b : {ok, cancel}) {
      if (!b) continue;
      if (b == ok && b->text != L"OK") EXPECT_GE(b->cx, kWidth) << name;
      else EXPECT_EQ(b->cx, kWidth) << name;
      EXPECT_EQ(b->cy, kHeight) << name;
      EXPECT_EQ(b->y + b->cy, d.cy - kMargin) << name;
    }
    EXPECT_EQ(last->x + last->cx, d.cx - kMargin) << name;
    if (ok && cancel) {
      EXPECT_EQ(cancel->x, ok->x + ok->cx + kGap) << name << ": OK directly left of Cancel";
    }
    if (ok) {
      EXPECT_EQ(ok->ButtonKind(), static_cast<DWORD>(BS_DEFPUSHBUTTON)) << name << ": OK is the default";
    }
  }
}

// ---------------------------------------------------------------- labels of disabled fields

// Runs a model in its dialog and calls `look` once the dialog stands, then cancels it.
void WithDialogOpen(DialogModel& model, const std::function<void(HWND)>& look) {
  static const std::function<void(HWND)>* current = nullptr;
  current = &look;
  // Asked again until the dialog is shown; then the timer goes.
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
          wchar_t cls[16] = {};
          GetClassNameW(h, cls, 16);
          if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(h)) return TRUE;
          *reinterpret_cast<HWND*>(lp) = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&dlg));
    if (!dlg || !current) return;
    KillTimer(nullptr, id);
    (*current)(dlg);
    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
  });
  win::Win32UI ui(CodePage(), nullptr, L"QlkUnitTest");
  EXPECT_FALSE(win::RunDialogModel(GetModuleHandleW(nullptr), nullptr, model, ui));
  current = nullptr;
}

HWND StaticWithText(HWND dlg, const wchar_t* text, int nth = 0) {
  for (HWND h = GetWindow(dlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    wchar_t cls[16] = {}, t[128] = {};
    GetClassNameW(h, cls, 16);
    GetWindowTextW(h, t, 128);
    if (wcscmp(cls, L"Static") == 0 && wcscmp(t, text) == 0 && nth-- == 0) return h;
  }
  return nullptr;
}

void Click(HWND dlg, int control) {
  CheckDlgButton(dlg, control, IsDlgButtonChecked(dlg, control) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
  SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, control)));
}

struct LabelState {
  const wchar_t* text;
  int nth;  // which of the labels with this text
  bool enabled;
};

struct GreyCase {
  const char* name;
  std::function<std::unique_ptr<DialogModel>(TestPlatform&, KinsokuRules&)> make;
  std::vector<LabelState> before;
  int click;  // then this box is ticked
  std::vector<LabelState> after;
};

TEST(DialogLabels, GreyWithTheFieldsTheyName) {
  const GreyCase cases[] = {
      {"sort keys follow their boxes", [](TestPlatform& tp, KinsokuRules&) { return std::make_unique<CSortDlg>(tp.settings); },
       {{L"桁～", 0, true}, {L"桁", 0, true}, {L"桁～", 1, false}, {L"桁", 1, false}, {L"桁～", 2, false}},
       CSortDlg::kSecond,
       {{L"桁～", 0, true}, {L"桁～", 1, true}, {L"桁", 1, true}, {L"桁～", 2, false}, {L"桁", 2, false}}},
      {"duplicate columns follow their box",
       [](TestPlatform& tp, KinsokuRules&) { return std::make_unique<CDupLineDelDlg>(tp.settings); },
       {{L"比較開始桁(&S)", 0, false}, {L"比較終了桁(&E)", 0, false}},
       CDupLineDelDlg::kPartial,
       {{L"比較開始桁(&S)", 0, true}, {L"比較終了桁(&E)", 0, true}}},
      {"line-breaking characters follow their boxes",
       [](TestPlatform& tp, KinsokuRules& r) { return std::make_unique<CKinsokuDlg>(r, tp.settings); },
       {{L"最初に来てはいけない文字(&F)", 0, false}, {L"最後に来てはいけない文字(&L)", 0, false}},
       CKinsokuDlg::kHanging,
       {{L"最初に来てはいけない文字(&F)", 0, true}, {L"最後に来てはいけない文字(&L)", 0, false}}},
  };
  for (const GreyCase& c : cases) {
    TestPlatform tp;
    KinsokuRules rules;
    std::unique_ptr<DialogModel> model = c.make(tp, rules);
    int looked = 0;
    WithDialogOpen(*model, [&](HWND dlg) {
      ++looked;
      auto check = [&](const std::vector<LabelState>& states, const char* when) {
        for (const LabelState& s : states) {
          HWND label = StaticWithText(dlg, s.text, s.nth);
          ASSERT_NE(label, nullptr) << c.name << ": " << Utf8(s.text);
          EXPECT_EQ(IsWindowEnabled(label) != 0, s.enabled) << c.name << ", " << when << ": " << Utf8(s.text) << " #" << s.nth;
        }
      };
      check(c.before, "as opened");
      Click(dlg, c.click);
      check(c.after, "after the box");
    });
    EXPECT_EQ(looked, 1) << c.name;
  }
}

}  // namespace
