#include "win32/tray/TrayWnd.h"


#include <cstdio>

#include "app/CustomMenu.h"
#include "app/ShellActions.h"
#include "app/SettingKeys.h"
#include "macro/Bindings.h"
#include "macro/Commands.h"
#include "macro/DirMenu.h"
#include "platform/System.h"
#include "win32/tray/HotKeyInput.h"

#ifndef MOD_NOREPEAT
#define MOD_NOREPEAT 0x4000
#endif

namespace qlk::win {

// ------------------------------------------------------------------------------ CTrayWnd

CTrayWnd::~CTrayWnd() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool CTrayWnd::Create(HINSTANCE instance) {
  instance_ = instance;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"QlkTrayIconHandler";  // no cursor, brush or icon: the window is never shown
  RegisterClassExW(&wc);
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"TrayIconHandler", 0, 0, 0, 0, 0, nullptr, nullptr,
                          instance, this);
  return hwnd_ != nullptr;
}

bool CTrayWnd::NotifyIcon(DWORD operation, HICON icon, const wchar_t* tip) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = hwnd_;
  nid.uID = kIconId;
  nid.uCallbackMessage = kCallbackMessage;
  nid.uFlags = NIF_MESSAGE;
  if (icon && (icon != lastIcon_ || operation == NIM_ADD)) {
    nid.uFlags |= NIF_ICON;
    nid.hIcon = icon;
    lastIcon_ = icon;
  }
  if (tip) {
    nid.uFlags |= NIF_TIP;
    wcsncpy(nid.szTip, tip, ARRAYSIZE(nid.szTip) - 1);
  }
  BOOL ok = Shell_NotifyIconW(operation, &nid);
  if (operation == NIM_ADD && ok) iconShown_ = true;
  if (operation == NIM_DELETE) iconShown_ = false;
  return ok != FALSE;
}

bool CTrayWnd::Balloon(const std::wstring& text) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = hwnd_;
  nid.uID = kIconId;
  nid.uFlags = NIF_INFO;
  wcsncpy(nid.szInfo, text.c_str(), ARRAYSIZE(nid.szInfo) - 1);
  wcsncpy(nid.szInfoTitle, Utf8ToWide(TextOf(Txt::TrayTip)).c_str(), ARRAYSIZE(nid.szInfoTitle) - 1);
  nid.dwInfoFlags = NIIF_WARNING;
  return iconShown_ && Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

void CTrayWnd::OnCallback(LPARAM event) {
  switch (static_cast<UINT>(event)) {
    case WM_LBUTTONDOWN:
      doubleClick_ = 0;
      SetTimer(hwnd_, kClickTimer, GetDoubleClickTime(), nullptr);
      break;
    case WM_LBUTTONUP:
      if (doubleClick_) PostMessageW(hwnd_, WM_LBUTTONDBLCLK, 0, 0);
      break;
    case WM_LBUTTONDBLCLK:
      doubleClick_ = 1;
      KillTimer(hwnd_, kClickTimer);
      break;
    case WM_RBUTTONUP:
      PostMessageW(hwnd_, WM_RBUTTONUP, 0, 0);
      break;
  }
}

LRESULT CTrayWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case kCallbackMessage:
      if (wp == kIconId) OnCallback(lp);
      return 0;
    case WM_TIMER:
      if (wp == kClickTimer) {
        KillTimer(hwnd_, kClickTimer);
        PostMessageW(hwnd_, WM_LBUTTONUP, 0, 0);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      OnTrayLButtonUp();
      return 0;
    case WM_LBUTTONDBLCLK:
      OnTrayLButtonDblClk();
      return 0;
    case WM_RBUTTONUP:
      OnTrayRButtonUp();
      return 0;
    case WM_DESTROY:
      // Also when the window is closed from outside (the setup program ends a running copy
      // with WM_CLOSE): no icon may stay behind.
      if (iconShown_) NotifyIcon(NIM_DELETE, nullptr, nullptr);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK CTrayWnd::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  CTrayWnd* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<CTrayWnd*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = h;
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CTrayWnd*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(h, msg, wp, lp);
  LRESULT r = self->OnMessage(msg, wp, lp);
  if (msg == WM_NCDESTROY) self->hwnd_ = nullptr;
  return r;
}

// ------------------------------------------------------------------------------ CMainWnd

namespace {

// Beside each item with a hotkey, its combination as an accelerator text (after a tab).
void ShowHotKeys(HMENU m, const std::vector<HotKeyBinding>& bindings) {
  const int n = GetMenuItemCount(m);
  for (int i = 0; i < n; ++i) {
    if (HMENU sub = GetSubMenu(m, i)) {
      ShowHotKeys(sub, bindings);
      continue;
    }
    const UINT id = GetMenuItemID(m, i);
    const HotKeyBinding* b = nullptr;
    for (const HotKeyBinding& h : bindings)
      if (!b && h.command != kHotKeyPopup && h.command == id) b = &h;
    if (!b || id == 0 || id == static_cast<UINT>(-1)) continue;
    wchar_t text[512] = {};
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STRING;
    mi.dwTypeData = text;
    mi.cch = 400;
    if (!GetMenuItemInfoW(m, static_cast<UINT>(i), TRUE, &mi) || wcschr(text, L'\t')) continue;
    std::wstring caption = std::wstring(text) + L"\t" + Utf8ToWide(HotKeyText(b->mods, b->vk));
    mi.fMask = MIIM_STRING;
    mi.dwTypeData = caption.data();
    SetMenuItemInfoW(m, static_cast<UINT>(i), TRUE, &mi);
  }
}

}  // namespace

CMainWnd::CMainWnd(AppState& app, std::wstring appName) : app_(app), appName_(std::move(appName)) {
  cp_ = MakeCodePage();
  settings_ = MakeRegistrySettings(appName_, *cp_);
  regex_ = MakeRegexFactory(*cp_);
  files_ = MakeFiles(*cp_);
  shell_ = std::make_unique<Win32Shell>(*cp_, nullptr);
  clock_ = sys::MakeClock();
  clipboard_ = std::make_unique<Win32Clipboard>(*cp_, nullptr);
  ui_ = std::make_unique<Win32UI>(*cp_, nullptr, appName_);
  platform_ = std::make_unique<Platform>(Platform{*clipboard_, *settings_, *cp_, *regex_, *ui_, *files_, *shell_, *clock_});
  // Reads [System] "AllSelect" once and starts with recording off.
  state_ = std::make_unique<MainState>(*platform_, AllBindings(), app_);
}

CMainWnd::~CMainWnd() {
  // While the clipboard is here to hear the window go and leave its text complete.
  if (hwnd_) DestroyWindow(hwnd_);
  app_.closeMainWindow = nullptr;
  app_.applyHotKeys = nullptr;
  app_.hotKeyFree = nullptr;
  state_.reset();  // closes a macro file still being recorded, writes the regex flag back
}

void CMainWnd::OnCreate() {
  clipboard_->SetOwner(hwnd_);
  shell_->SetOwner(hwnd_);
  ui_->SetOwner(nullptr);  // message boxes of a hidden window stand on their own
  // After the update check started a setup program: the icon goes, then the window.
  app_.closeMainWindow = [this] {
    NotifyIcon(NIM_DELETE, nullptr, nullptr);
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  };
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  ping_ = RegisterWindowMessageW(L"QlkTrayPing");
  AddIcon();
  app_.applyHotKeys = [this] { return RegisterHotKeys(); };
  app_.hotKeyFree = [this](uint32_t mods, uint32_t vk) { return HotKeyFree(mods, vk); };
  app_.hotKeys = LoadHotKeys(*settings_);
  // Never lost in silence: a combination another program holds is named in a balloon.
  std::wstring taken;
  for (const HotKeyBinding& b : RegisterHotKeys())
    taken += (taken.empty() ? L"" : L"\n") + Utf8ToWide(FormatText(Txt::HotKeyInUse, {HotKeyText(b.mods, b.vk)}));
  if (!taken.empty()) Balloon(taken);
}

std::vector<HotKeyBinding> CMainWnd::RegisterHotKeys() {
  UnregisterHotKeys();
  registered_ = app_.hotKeys;
  std::vector<HotKeyBinding> failed;
  for (size_t i = 0; i < registered_.size(); ++i) {
    const HotKeyBinding& b = registered_[i];
    if (!RegisterHotKey(hwnd_, static_cast<int>(i + 1), b.mods | MOD_NOREPEAT, b.vk)) failed.push_back(b);
  }
  return failed;
}

void CMainWnd::UnregisterHotKeys() {
  for (size_t i = 0; i < registered_.size(); ++i) UnregisterHotKey(hwnd_, static_cast<int>(i + 1));
  registered_.clear();
}

// Whether the combination could be registered now: ours already, or free for a moment's try.
bool CMainWnd::HotKeyFree(uint32_t mods, uint32_t vk) {
  for (const HotKeyBinding& b : registered_)
    if (b.mods == mods && b.vk == vk) return true;
  constexpr int kProbe = 0xBFFF;
  if (!RegisterHotKey(hwnd_, kProbe, mods | MOD_NOREPEAT, vk)) return false;
  UnregisterHotKey(hwnd_, kProbe);
  return true;
}

void CMainWnd::RunHotKey(const HotKeyBinding& b) {
  const bool popup = b.command == kHotKeyPopup;
  auto run = [this, &b, popup] {
    if (popup) ShowPopup(true);
    else OnCommand(b.command);
  };
  if (!b.autoPaste) {
    if (popup) ShowPopup(false);
    else OnCommand(b.command);
    return;
  }
  Win32HotKeyInput input;
  // From the menu a command may also leave the clipboard alone: it runs with nothing copied.
  if (RunWithPaste(input, b, run, !popup) == HotKeyOutcome::Elevated)
    Balloon(Utf8ToWide(TextOf(Txt::HotKeyElevated)));
}

void CMainWnd::AddIcon() {
  HICON icon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (NotifyIcon(NIM_ADD, icon, Utf8ToWide(TextOf(Txt::TrayTip)).c_str())) {
    KillTimer(hwnd_, kIconRetryTimer);
    iconTries_ = 0;
  } else if (iconTries_++ == 0) {
    SetTimer(hwnd_, kIconRetryTimer, 1000, nullptr);
  }
}

void CMainWnd::Exit() {
  NotifyIcon(NIM_DELETE, nullptr, nullptr);
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void CMainWnd::OnTrayLButtonUp() { ShowPopup(false); }

void CMainWnd::ShowPopup(bool runHere) {
  POINT pt;
  GetCursorPos(&pt);
  HMENU loaded = LoadMenuW(instance_, MAKEINTRESOURCEW(kMenuResource));
  if (!loaded) return;
  HMENU popup = BuildPopup(loaded);
  // In front first, so that the menu closes when the user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  const UINT flags = TPM_LEFTALIGN | TPM_RIGHTBUTTON | (runHere ? TPM_RETURNCMD | TPM_NONOTIFY : 0);
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(popup, flags, pt.x, pt.y, 0, hwnd_, nullptr));
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  DestroyMenu(loaded);
  if (runHere && chosen) OnCommand(chosen);
}

HMENU CMainWnd::BuildPopup(HMENU loaded) {
  HMENU popup = GetSubMenu(loaded, 0);
  HMENU options = GetSubMenu(popup, kOptionsPosition);
  // The macro menu's placeholder, and whatever follows it, goes.
  int placeholder = GetMenuItemCount(options);
  for (int i = 0; i < GetMenuItemCount(options); ++i)
    if (GetMenuItemID(options, i) == IdOf(Cmd::MacroMenu)) placeholder = i;
  for (int i = 0; i < kMacroMenuEntries && DeleteMenu(options, static_cast<UINT>(placeholder), MF_BYPOSITION); ++i) {
  }
  CDirMenuArray macros(*settings_);
  macros.Load();
  for (int i = 0; i < macros.Count(); ++i)
    AppendMenuW(options, MF_STRING, kFirstMacroMenuCommand + static_cast<UINT>(i), SjisToWide(macros[i].name).c_str());
  MainState& m = *state_;
  const UINT record = IdOf(Cmd::MacroRecord);
  if (m.recorder().Recording())
    ModifyMenuW(popup, record, MF_BYCOMMAND | MF_STRING, record, Utf8ToWide(TextOf(Txt::MacroRecordStop)).c_str());
  CheckMenuItem(popup, record, MF_BYCOMMAND | (m.recorder().Recording() ? MF_CHECKED : MF_UNCHECKED));
  EnableMenuItem(popup, IdOf(Cmd::Undo), MF_BYCOMMAND | (m.doc().CanUndo() ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(popup, IdOf(Cmd::Redo), MF_BYCOMMAND | (m.doc().CanRedo() ? MF_ENABLED : MF_GRAYED));
  // A command whose feature is not in this build stands grey rather than doing nothing.
  auto grey = [&m](uint32_t id) {
    if (id == IdOf(Cmd::Undo)) return !m.doc().CanUndo();
    if (id == IdOf(Cmd::Redo)) return !m.doc().CanRedo();
    const CommandDef* c = FindCommand(id);
    return c && c->cmd != Cmd::Exit && !m.IsBound(id);
  };
  for (const CommandDef& c : AllCommands())
    if (c.cmd != Cmd::Undo && c.cmd != Cmd::Redo && grey(c.id)) EnableMenuItem(popup, c.id, MF_BYCOMMAND | MF_GRAYED);
  // The custom entries on top, in list order, without their group, and a separator below
  // them: added last, so that the changes above, made by identifier, find the standard items.
  const std::vector<uint32_t>& custom = app_.customMenu;
  for (size_t k = custom.size(); k-- > 0;)
    InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING | (grey(custom[k]) ? MF_GRAYED : 0), custom[k],
                SjisToWide(MenuCaptionOf(app_.catalogue, custom[k])).c_str());
  if (!custom.empty()) InsertMenuW(popup, static_cast<UINT>(custom.size()), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  ShowHotKeys(popup, app_.hotKeys);
  return popup;
}

void CMainWnd::OnTrayLButtonDblClk() { StartDoubleClickProgram(*platform_); }

void CMainWnd::OnCommand(UINT id) {
  if (id == IdOf(Cmd::Exit)) {
    Exit();
    return;
  }
  state_->Dispatch(id);
}

LRESULT CMainWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (taskbarCreated_ && msg == taskbarCreated_) {
    // Explorer restarted: its notification area is new and empty.
    AddIcon();
    return 0;
  }
  if (ping_ && msg == ping_) {
    // The end-to-end tests post this after a command: handled in order, it tells them the
    // messages before it have been handled.
    if (HANDLE e = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"QlkTrayPing")) {
      SetEvent(e);
      CloseHandle(e);
    }
    return 0;
  }
  if (clipboard_->OnMessage(msg, wp)) return 0;
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp));
      return 0;
    case WM_HOTKEY:
      if (wp >= 1 && wp <= registered_.size()) {
        const HotKeyBinding b = registered_[wp - 1];  // a copy: the command may register anew
        RunHotKey(b);
      }
      return 0;
    case WM_DESTROY:
      UnregisterHotKeys();
      break;
    case WM_COPYDATA:
      return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_TIMER:
      if (wp == kIconRetryTimer) {
        if (IconShown() || iconTries_ > 60) KillTimer(hwnd_, kIconRetryTimer);
        else AddIcon();
        return 0;
      }
      break;
  }
  return CTrayWnd::OnMessage(msg, wp, lp);
}

namespace {

// Committed memory that belongs to this process alone (heaps, stacks, private mappings),
// walked region by region: the process counters of some platforms leave it at 0.
size_t PrivateCommittedBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION mbi;
  for (const char* p = nullptr; VirtualQuery(p, &mbi, sizeof mbi) == sizeof mbi;) {
    if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
    const char* next = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize;
    if (next <= p) break;
    p = next;
  }
  return total;
}

BOOL CALLBACK CountWindow(HWND, LPARAM lp) {
  ++*reinterpret_cast<size_t*>(lp);
  return TRUE;
}

BOOL CALLBACK CountIfOurs(HWND w, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == GetCurrentProcessId()) {
    CountWindow(w, lp);
    EnumChildWindows(w, CountWindow, lp);
  }
  return TRUE;
}

// Every window of this process, child windows included.
size_t WindowsOfThisProcess() {
  size_t n = 0;
  EnumWindows(CountIfOurs, reinterpret_cast<LPARAM>(&n));
  return n;
}

}  // namespace

// Diagnostics for the end-to-end tests, which cannot read another process's menus under
// every platform: "icon" answers whether the icon is shown; "regex" which engine the document
// holds (1 the scripting object, 2 the built-in one, 3 none); "private", "gdi" and "user" the
// process's private memory in KB and its GDI and USER objects, -1 where not counted (for the soak); "menu PATH"
// writes the popup, as it would open now, to PATH (UTF-8, one item a line).
LRESULT CMainWnd::OnCopyData(const COPYDATASTRUCT* cd) {
  if (!cd || cd->dwData != 0x514C4B) return FALSE;
  std::string req(static_cast<const char*>(cd->lpData), cd->cbData);
  if (req == "icon") return IconShown() ? 1 : 2;
  if (req == "private") return static_cast<LRESULT>(PrivateCommittedBytes() / 1024);
  if (req == "gdi" || req == "user") {
    // Some platforms do not count them (0 with "not implemented"): -1 says so, and the
    // windows of the process stand in for the USER objects there.
    SetLastError(0);
    const DWORD n = GetGuiResources(GetCurrentProcess(), req == "gdi" ? GR_GDIOBJECTS : GR_USEROBJECTS);
    if (n || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return n;
    return req == "gdi" ? -1 : static_cast<LRESULT>(WindowsOfThisProcess());
  }
  if (req == "regex") {
    const IRegex* r = state_->doc().Regex();
    return !r ? 3 : IsScriptingRegex(*r) ? 1 : 2;
  }
  if (req.rfind("menu ", 0) != 0) return FALSE;
  HMENU loaded = LoadMenuW(instance_, MAKEINTRESOURCEW(kMenuResource));
  if (!loaded) return FALSE;
  HMENU popup = BuildPopup(loaded);
  FILE* f = _wfopen(Utf8ToWide(req.substr(5)).c_str(), L"wb");
  if (!f) {
    DestroyMenu(loaded);
    return FALSE;
  }
  auto dump = [&](auto&& self, HMENU m, int depth) -> void {
    int n = GetMenuItemCount(m);
    for (int i = 0; i < n; ++i) {
      wchar_t text[512] = {};
      MENUITEMINFOW mi{};
      mi.cbSize = sizeof mi;
      mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
      mi.dwTypeData = text;
      mi.cch = 511;
      GetMenuItemInfoW(m, static_cast<UINT>(i), TRUE, &mi);
      std::string line = std::to_string(depth) + "\t" + std::to_string(i) + "\t";
      line += (mi.fType & MFT_SEPARATOR) ? "-" : mi.hSubMenu ? "popup" : std::to_string(mi.wID);
      line += "\t" + WideToUtf8(text);
      line += (mi.fState & MFS_GRAYED) ? "\tgrayed" : "\tenabled";
      if (mi.fState & MFS_CHECKED) line += "\tchecked";
      line += "\n";
      fwrite(line.data(), 1, line.size(), f);
      if (mi.hSubMenu) self(self, mi.hSubMenu, depth + 1);
    }
  };
  dump(dump, popup, 0);
  fclose(f);
  DestroyMenu(loaded);
  return TRUE;
}

}  // namespace qlk::win
