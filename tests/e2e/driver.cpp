// End-to-end driver for QlkTray.exe: starts it, talks to its hidden window the way the shell
// and the user would (icon callbacks, menu commands), puts text on the clipboard and reads it
// back, answers message boxes and fills dialogs by control identifier.
//
//   qlk_e2e suite QLKTRAY.EXE [ENGINE [regex]]
//                                    every check, with a summary; exit status 0 when all pass;
//                                    the tray must hold the regex ENGINE ("object" or
//                                    "builtin"); with "regex", only the regular-expression checks;
//                                    with other words ("a|b"), only the checks whose names hold one
//   qlk_e2e shots QLKTRAY.EXE DIR [--url URL] [NAME...]
//                                    screenshots of the menus, dialogs and boxes (all, or the
//                                    named ones) as DIR\NAME.bmp; run it inside a virtual desktop;
//                                    with URL (a slow test server), the update check's windows
//   qlk_e2e touch FILE               creates FILE (the program started by a double click)
//   qlk_e2e setup-suite SETUP.EXE VERSION
//                                    installs, runs, upgrades and uninstalls the setup program
//                                    silently, with a summary; exit status 0 when all pass
//   qlk_e2e release-suite SETUP.EXE VERSION NEXT URL
//                                    installs SETUP.EXE (VERSION) as an earlier release; its
//                                    update check at URL must install the release NEXT
//   qlk_e2e wait-window TITLE [DESKTOP]
//                                    waits for a window with that title (on the named desktop
//                                    of a Wine virtual desktop, when given)
//   qlk_e2e close-window TITLE [DESKTOP]
//                                    waits for it, cancels it, answers the question that may
//                                    follow with Yes, and waits for its program to end
//   qlk_e2e update-suite QLKTRAY.EXE BASE   the update check against the test server at BASE
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "CommandIds.h"  // the menu commands by name
#include "TrayClient.h"

namespace {

using namespace qlk::e2e;

constexpr UINT kCallback = WM_USER + 500;
constexpr UINT kIconId = 100;
constexpr const wchar_t* kKey = kProfileKey;

int failures = 0, checks = 0;
std::string currentTest;

void Check(bool ok, const std::string& what) {
  ++checks;
  if (!ok) {
    ++failures;
    std::printf("    FAILED: %s\n", what.c_str());
  }
}

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

PROCESS_INFORMATION tray{};

// The tray's process: its window's, or the one started here before it has a window.
DWORD TrayPid() {
  DWORD pid = 0;
  if (HWND h = TrayWindow()) GetWindowThreadProcessId(h, &pid);
  return pid ? pid : tray.dwProcessId;
}

// A top-level window of the tray's process with the given class ("#32770" for dialogs and
// boxes, "#32768" for popup menus), optionally with a title.
HWND TrayTopLevel(const wchar_t* cls, const wchar_t* title = nullptr) {
  struct Ctx {
    DWORD pid;
    const wchar_t* cls;
    const wchar_t* title;
    HWND found;
  } ctx{TrayPid(), cls, title, nullptr};
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        wchar_t name[64], text[256];
        GetClassNameW(h, name, 64);
        GetWindowTextW(h, text, 256);
        if (!IsWindowVisible(h) || wcscmp(name, c->cls) != 0) return TRUE;
        if (wcscmp(c->cls, L"#32768") != 0 && pid != c->pid) return TRUE;
        if (c->title && wcscmp(text, c->title) != 0) return TRUE;
        c->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

std::wstring ChildText(HWND dlg, int id) {
  wchar_t buf[1024] = {};
  GetDlgItemTextW(dlg, id, buf, 1024);
  return buf;
}

// The text of a message box: its static control.
std::wstring BoxText(HWND box) {
  std::wstring out;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[32];
    GetClassNameW(c, cls, 32);
    if (wcscmp(cls, L"Static") == 0) {
      wchar_t t[1024] = {};
      GetWindowTextW(c, t, 1024);
      if (*t) out += t;
    }
  }
  return out;
}

void Press(HWND dlg, int id) { PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id))); }

// ---------------------------------------------------------------- clipboard

// ---------------------------------------------------------------- registry

void SetInt(const wchar_t* section, const wchar_t* key, DWORD v) {
  HKEY k;
  std::wstring p = std::wstring(kKey) + L"\\" + section;
  RegCreateKeyExW(HKEY_CURRENT_USER, p.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
  RegSetValueExW(k, key, 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), sizeof v);
  RegCloseKey(k);
}

void SetText(const wchar_t* section, const wchar_t* key, const std::wstring& v) {
  HKEY k;
  std::wstring p = std::wstring(kKey) + L"\\" + section;
  RegCreateKeyExW(HKEY_CURRENT_USER, p.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
  RegSetValueExW(k, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()), static_cast<DWORD>((v.size() + 1) * 2));
  RegCloseKey(k);
}

// Every value name under the profile, "Section/Key".
std::vector<std::wstring> ProfileValues() {
  std::vector<std::wstring> out;
  HKEY root;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &root) != ERROR_SUCCESS) return out;
  wchar_t sec[256];
  for (DWORD i = 0;; ++i) {
    DWORD n = 256;
    if (RegEnumKeyExW(root, i, sec, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY k;
    if (RegOpenKeyExW(root, sec, 0, KEY_READ, &k) != ERROR_SUCCESS) continue;
    wchar_t name[256];
    for (DWORD j = 0;; ++j) {
      DWORD m = 256;
      if (RegEnumValueW(k, j, name, &m, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      out.push_back(std::wstring(sec) + L"/" + name);
    }
    RegCloseKey(k);
  }
  RegCloseKey(root);
  return out;
}

DWORD GetInt(const wchar_t* section, const wchar_t* key, DWORD def) {
  std::wstring p = std::wstring(kKey) + L"\\" + section;
  DWORD v = def, size = sizeof v;
  if (RegGetValueW(HKEY_CURRENT_USER, p.c_str(), key, RRF_RT_REG_DWORD, nullptr, &v, &size) != ERROR_SUCCESS) return def;
  return v;
}

std::wstring GetText(const wchar_t* section, const wchar_t* key) {
  std::wstring p = std::wstring(kKey) + L"\\" + section;
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, p.c_str(), key, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return L"";
  return buf;
}

// ---------------------------------------------------------------- the tray process

std::wstring trayExe;

LRESULT Ask(const std::string& req) {
  COPYDATASTRUCT cd{0x514C4B, static_cast<DWORD>(req.size()), const_cast<char*>(req.data())};
  DWORD_PTR r = 0;
  SendMessageTimeoutW(TrayWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd), SMTO_NORMAL, 5000, &r);
  return static_cast<LRESULT>(r);
}

bool ExitTray() {
  CommandAsync(CMD_Exit);
  if (WaitForSingleObject(tray.hProcess, 10000) != WAIT_OBJECT_0) return false;
  DWORD code = 1;
  GetExitCodeProcess(tray.hProcess, &code);
  CloseHandle(tray.hProcess);
  CloseHandle(tray.hThread);
  tray = {};
  return code == 0;
}

void Icon(UINT event) { PostMessageW(TrayWindow(), kCallback, kIconId, event); }

void Key(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
  Sleep(80);
}

void CloseMenus() {
  for (int i = 0; i < 10 && TrayTopLevel(L"#32768"); ++i) Key(VK_ESCAPE);
}

void CancelAll() {
  for (int i = 0; i < 10; ++i) {
    HWND d = TrayTopLevel(L"#32770");
    if (!d) break;
    PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
    Sleep(200);
  }
}


// ---------------------------------------------------------------- files and menus

std::wstring TempPath(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + name;
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text;
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
  CloseHandle(f);
  return text;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(f);
}

// The popup as the tray would open it now, described by the tray itself: one item a line,
// "depth TAB position TAB identifier TAB caption TAB state".
std::string MenuText() {
  std::wstring path = TempPath(L"qlk-e2e-menu.txt");
  Check(Ask("menu " + Utf8(path)) == TRUE, "the tray describes its menu");
  return ReadBytes(path);
}

// The items of a list box of another process's dialog.
std::vector<std::wstring> ListItems(HWND dlg, int id) {
  std::vector<std::wstring> v;
  HWND c = GetDlgItem(dlg, id);
  LRESULT n = SendMessageW(c, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    wchar_t buf[1024] = {};
    SendMessageW(c, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    v.push_back(buf);
  }
  return v;
}

int ListSelection(HWND dlg, int id) { return static_cast<int>(SendDlgItemMessageW(dlg, id, LB_GETCURSEL, 0, 0)); }

// ---------------------------------------------------------------- the checks

struct Test {
  const char* name;
  void (*run)();
  bool regex = false;  // run again, alone, with the other engine
};

void IconIsShownAndTheWindowIsHidden() {
  HWND w = TrayWindow();
  // The shell's notification area may come up after the tray: it tries again each second.
  for (int i = 0; i < 100 && Ask("icon") != 1; ++i) Sleep(100);
  Check(w != nullptr, "the window TrayIconHandler exists");
  Check(!IsWindowVisible(w), "the window is never shown");
  Check(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, "it is a tool window");
  Check(Ask("icon") == 1, "the icon was given to the shell");
}

void SingleClickOpensTheMenuAfterTheDoubleClickTime() {
  Icon(WM_LBUTTONDOWN);
  Icon(WM_LBUTTONUP);
  Sleep(GetDoubleClickTime() / 3);
  Check(TrayTopLevel(L"#32768") == nullptr, "no menu before the double-click time has passed");
  HWND menu = WaitFor([] { return TrayTopLevel(L"#32768"); }, GetDoubleClickTime() + 3000);
  Check(menu != nullptr, "the menu opens once the double-click time has passed");
  CloseMenus();
  Check(WaitFor([] { return TrayTopLevel(L"#32768") ? nullptr : TrayWindow(); }, 3000) != nullptr, "Escape closes it");
}

void RightClickOpensTheMenuAtOnce() {
  Icon(WM_RBUTTONUP);
  Check(WaitFor([] { return TrayTopLevel(L"#32768"); }, 1500) != nullptr, "a right click opens the menu");
  CloseMenus();
}

void DoubleClickStartsTheProgramAndNeverOpensTheMenu() {
  std::wstring marker = TempPath(L"qlk-e2e-doubleclick.txt");
  DeleteFileW(marker.c_str());
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  // A batch file stands for the user's program: it leaves a marker behind.
  std::wstring bat = TempPath(L"qlk-e2e-dbl.bat");
  std::string body = "@\"" + Utf8(self) + "\" touch \"" + Utf8(marker) + "\"\r\n";
  HANDLE f = CreateFileW(bat.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n;
  WriteFile(f, body.data(), static_cast<DWORD>(body.size()), &n, nullptr);
  CloseHandle(f);
  SetText(L"System", L"ExeFile", bat);
  Icon(WM_LBUTTONDOWN);
  Icon(WM_LBUTTONUP);
  Icon(WM_LBUTTONDBLCLK);
  Icon(WM_LBUTTONUP);
  DWORD end = GetTickCount() + GetDoubleClickTime() + 1500;
  bool menu = false;
  while (GetTickCount() < end) {
    if (TrayTopLevel(L"#32768")) menu = true;
    Sleep(50);
  }
  Check(!menu, "a double click never opens the menu");
  bool started = false;
  for (int i = 0; i < 100 && !started; ++i, Sleep(100)) started = GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
  Check(started, "a double click starts [System] ExeFile");
  CloseMenus();
  SetText(L"System", L"ExeFile", L"");
}

void SelectAllRoundTripsBytesExactly() {
  const std::string cases[] = {
      "a\r\nb", "a\r\nb\r\n", "", "\r\n", "a\rb\nc\r\n",
      "\x93\xFA\x96\x7B\x8C\xEA\r\n\xB6\xDE\xB7\xDE",  // 日本語 / ｶﾞｷﾞ
      std::string(70000, 'x') + "\r\n" + std::string(40000, '\x88') + "\x9F"};
  for (const std::string& c : cases) {
    PutBytes(c);
    Command(CMD_LineSelect);  // 対象行選択 loads the clipboard ...
    if (HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"対象行指定"); }, 5000)) {
      Press(d, IDOK);
      Settle();
    }
    Command(CMD_TextAll);  // ... and 全て選択 stores every line back
    Check(GetBytes() == c, "the text comes back byte for byte (" + std::to_string(c.size()) + " bytes)");
  }
}

void CopyStoresOnlyTheTargetLines() {
  PutBytes("1\r\n2\r\n3\r\n4\r\n5\r\n");
  CommandAsync(CMD_LineSelect);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"対象行指定"); }, 5000);
  Check(d != nullptr, "the selection dialog opens");
  if (!d) return;
  Check(ChildText(d, 114) == L"1" && ChildText(d, 106) == L"5", "it shows the whole range");
  SetDlgItemTextW(d, 114, L"4");
  SetDlgItemTextW(d, 106, L"2");  // stored swapped
  Press(d, IDOK);
  Settle();
  Command(57634);
  Check(GetBytes() == "2\r\n3\r\n4\r\n", "コピー puts out the target lines only");
}

// Characters Shift-JIS cannot hold ride through a command under user-defined codes: no
// question, the Unicode form has them back, the Shift-JIS form keeps the codes, undo restores
// them, and a conversion to UTF-8 writes their own bytes.
void CarriedCharactersSurviveACommand() {
  const std::wstring text = L"\xD83D\xDE00\xFF41\xFF42\xFF43\xD842\xDFB7";  // 😀ａｂｃ𠮷
  PutUnicode(text);
  Command(CMD_ZenToHan);
  Check(TrayTopLevel(L"#32770", L"QlkTray") == nullptr, "no question for characters that can be carried");
  Check(GetUnicode() == L"\xD83D\xDE00" L"abc\xD842\xDFB7", "the emoji and 𠮷 come back around the converted text");
  Check(GetBytes() == "\xF0\x40" "abc\xF0\x41", "the Shift-JIS form holds user-defined codes, never '?'");
  Command(57643);  // アンドゥ
  Check(GetUnicode() == text, "undo gives the original text");
  PutUnicode(L"\xD83D\xDE00\x3042");
  Command(CMD_SjisToUtf8);
  Check(TrayTopLevel(L"#32770", L"QlkTray") == nullptr, "UTF-8 can hold them: no question");
  Check(GetBytes() == "\xF0\x9F\x98\x80\xE3\x81\x82", "SjisToUtf8 writes the emoji's own UTF-8 bytes");
}

// More distinct such characters than free codes: the question of old, and Cancel keeps them.
void TooManyForeignCharactersAskAndCancelKeepsThem() {
  std::wstring text;
  for (wchar_t u = 0xAC00; u <= 0xAC00 + 1880; ++u) text += u;  // 1881 Hangul syllables
  PutUnicode(text);
  CommandAsync(CMD_LineSelect);
  HWND box = WaitFor([] { return TrayTopLevel(L"#32770", L"QlkTray"); }, 5000);
  Check(box != nullptr, "a question appears when the codes run out");
  if (!box) return;
  Check(BoxText(box).find(L"シフトJISで表せない文字があります") != std::wstring::npos, "it names the problem");
  PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  Settle();
  Check(TrayTopLevel(L"#32770", L"対象行指定") == nullptr, "Cancel ends the command");
  Check(GetUnicode() == text, "the clipboard keeps its text");
}

// The JIS forms of the wave dash, minus sign and the like are Shift-JIS characters: no
// question, and the command stores their code page 932 bytes.
void JisFormsAreReadWithoutAQuestion() {
  PutUnicode(L"\x2212\x301C\x2016\x00A2\x00A3\x00AC\x2014\r\n");
  CommandAsync(CMD_LineSelect);  // 対象行選択 loads the clipboard ...
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"対象行指定"); }, 5000);
  Check(TrayTopLevel(L"#32770", L"QlkTray") == nullptr, "no question about characters Shift-JIS cannot hold");
  Check(d != nullptr, "the command goes on to its dialog");
  if (!d) return;
  Press(d, IDOK);
  Settle();
  Command(CMD_TextAll);  // ... and 全て選択 stores every line back
  Check(GetBytes() == "\x81\x7C\x81\x60\x81\x61\x81\x91\x81\x92\x81\xCA\x81\x5C\r\n",
        "the seven characters are stored as their Shift-JIS codes");
}

void SettingsOkWritesTheKeysAndCancelWritesNothing() {
  ClearProfile();
  CommandAsync(CMD_Settings);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"設定"); }, 5000);
  Check(d != nullptr, "the settings dialog opens");
  if (!d) return;
  Check(IsDlgButtonChecked(d, 109) == BST_CHECKED, "a clean profile uses <ESC>$B");
  Check(IsDlgButtonChecked(d, 127) == BST_CHECKED, "automatic code conversion is on");
  Check(IsDlgButtonChecked(d, 112) == BST_UNCHECKED, "confirmation is off");
  CheckDlgButton(d, 112, BST_CHECKED);
  PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
  Settle();
  Check(ProfileValues().empty(), "Cancel writes nothing");
  CommandAsync(CMD_Settings);
  d = WaitFor([] { return TrayTopLevel(L"#32770", L"設定"); }, 5000);
  if (!d) return;
  CheckDlgButton(d, 112, BST_CHECKED);
  CheckDlgButton(d, 109, BST_UNCHECKED);
  CheckDlgButton(d, 111, BST_CHECKED);
  SendDlgItemMessageW(d, 118, CB_SETCURSEL, 2, 0);
  SetDlgItemTextW(d, 136, L"C:\\tools\\メモ帳.exe");
  Press(d, IDOK);
  Settle();
  std::vector<std::wstring> v = ProfileValues();
  Check(v.size() == 12, "OK writes the twelve keys of the dialog (" + std::to_string(v.size()) + ")");
  Check(GetInt(L"System", L"Verify", 9) == 1, "Verify 1");
  Check(GetInt(L"Jis", L"Jis", 9) == 3, "Jis 3");
  Check(GetInt(L"System", L"CrLf", 9) == 2, "CrLf 2");
  Check(GetInt(L"Update", L"Year", 0) == 2005, "the last-check date is the stored one");
  SetInt(L"System", L"Verify", 0);
}

void FoldAsksTheWidthAndFoldsTheClipboard() {
  PutBytes("abcdefg");
  CommandAsync(CMD_TurnChange);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"Quenlark"); }, 5000);
  Check(d != nullptr, "the width dialog opens with the product name as its title");
  if (!d) return;
  Check(ChildText(d, 1001) == L"折り返す桁数を指定してください", "it shows the fold prompt");
  Check(ChildText(d, 1000) == L"70", "it offers the stored width");
  SetDlgItemTextW(d, 1000, L"3");
  Press(d, IDOK);
  Settle();
  Check(GetBytes() == "abc\r\ndef\r\ng", "the clipboard holds the folded text");
  Check(GetInt(L"Turn", L"No", 0) == 3, "the width is stored");
}

void RulesDialogFromTheSettingsDrivesTheFold() {
  CommandAsync(CMD_Settings);
  HWND set = WaitFor([] { return TrayTopLevel(L"#32770", L"設定"); }, 5000);
  Check(set != nullptr, "the settings dialog opens");
  if (!set) return;
  Press(set, 154);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"折り返し時の禁則処理"); }, 5000);
  Check(d != nullptr, "its button opens the rules dialog");
  if (!d) return;
  Check(!IsWindowEnabled(GetDlgItem(d, 1000)), "the first-forbidden edit waits for its box");
  CheckDlgButton(d, 1002, BST_CHECKED);
  Press(d, 1002);
  Settle();
  Check(IsWindowEnabled(GetDlgItem(d, 1000)) != 0, "ticking the box enables it");
  SetDlgItemTextW(d, 1000, L"。");
  Press(d, IDOK);
  Settle();
  PostMessageW(set, WM_COMMAND, IDCANCEL, 0);
  Settle();
  PutBytes("ab\x81\x42" "cd");  // ab。cd
  CommandAsync(CMD_TurnChange);
  HWND w = WaitFor([] { return TrayTopLevel(L"#32770", L"Quenlark"); }, 5000);
  if (!w) return;
  SetDlgItemTextW(w, 1000, L"2");
  Press(w, IDOK);
  Settle();
  Check(GetBytes() == "ab\x81\x42\r\ncd", "the period hangs at the end of the line");
}

// Answers the message box a search command shows; its text, or "" when none came.
std::wstring AnswerBox() {
  HWND box = WaitFor([] { return TrayTopLevel(L"#32770", L"QlkTray"); }, 5000);
  if (!box) return L"";
  std::wstring t = BoxText(box);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  Settle();
  return t;
}

void ReplaceThroughTheDialogAndTheRealClipboard() {
  struct Step {
    std::string in;
    const wchar_t *search, *replacement;
    std::vector<int> boxes;
    const wchar_t* message;
    std::string out;
    const char* what;
  } steps[] = {
      {"a,b", L",", L"\\n", {}, L"1個の置換を行いました", "a\r\nb", "a typed \\n cuts the line"},
      {"\xB6\xDE\x83\x4B", L"ガ", L"x", {1002}, L"2個の置換を行いました", "xx", "ｶﾞ and ガ alike with the width box"},
      {"a1b22\r\nc", L"(\\d+)", L"<$1$&>", {1005}, L"1行の置換を行いました", "a<11>b<2222>\r\nc",
       "the scripting engine counts lines and knows $1 and $&"},
      {"abc", L"zz", L"", {}, L"文字列が見つかりません", "abc", "nothing found leaves the clipboard"},
  };
  for (const Step& s : steps) {
    PutBytes(s.in);
    CommandAsync(CMD_Replace);
    HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"置換"); }, 5000);
    Check(d != nullptr, std::string("the replace dialog opens: ") + s.what);
    if (!d) return;
    SetDlgItemTextW(d, 1000, s.search);
    SetDlgItemTextW(d, 1001, s.replacement);
    for (int b : {1002, 1003, 1004, 1005}) CheckDlgButton(d, b, BST_UNCHECKED);
    for (int b : s.boxes) CheckDlgButton(d, b, BST_CHECKED);
    Press(d, IDOK);
    Check(AnswerBox() == s.message, std::string("its message: ") + s.what);
    Check(GetBytes() == s.out, s.what);
  }
  // The searches are remembered, and listed when the dialog opens again.
  PutBytes("x");
  CommandAsync(CMD_Replace);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"置換"); }, 5000);
  if (!d) return;
  Check(ChildText(d, 1000) == L"zz", "the last search is offered");
  Check(SendDlgItemMessageW(d, 1000, CB_GETCOUNT, 0, 0) == 4, "the four searches are listed");
  PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
  Settle();
}

// "object" or "builtin" when the run names the engine the tray must hold; empty otherwise.
std::wstring expectedEngine;
bool regexOnly = false;
std::string onlyNamed;  // runs only the checks whose names hold one of its words ("a|b")

bool Named(const std::string& name) {
  for (size_t at = 0; at <= onlyNamed.size();) {
    size_t bar = std::min(onlyNamed.find('|', at), onlyNamed.size());
    if (bar > at && name.find(onlyNamed.substr(at, bar - at)) != std::string::npos) return true;
    at = bar + 1;
  }
  return false;
}

// The regular-expression box of the selection, replace and delete dialogs is offered and
// works, whichever engine the tray holds: the scripting object, or the built-in engine when
// the object cannot be created.
void RegexOptionSelectsReplacesAndDeletes() {
  const LRESULT engine = Ask("regex");
  const char* name = engine == 1 ? "the scripting object" : engine == 2 ? "built-in" : "none";
  std::printf("    the tray's regex engine: %s\n", name);
  if (!expectedEngine.empty()) Check(engine == (expectedEngine == L"object" ? 1 : 2), "it holds the expected engine");
  PutBytes("a1\r\nbb\r\n22\r\n");
  CommandAsync(CMD_LineSelect);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"対象行指定"); }, 5000);
  Check(d != nullptr, "the selection dialog opens");
  if (!d) return;
  Check(IsWindowEnabled(GetDlgItem(d, 153)) != 0, "its regex box is enabled");
  SetDlgItemTextW(d, 108, L"\\d$");
  CheckDlgButton(d, 153, BST_CHECKED);
  Press(d, IDOK);
  Settle();
  Command(57634);
  Check(GetBytes() == "a1\r\n22\r\n", "コピー puts out the lines the expression selects");
  // The regex flag outlives the command: clear it with the dialog's all-lines button.
  CommandAsync(CMD_LineSelect);
  d = WaitFor([] { return TrayTopLevel(L"#32770", L"対象行指定"); }, 5000);
  if (!d) return;
  CheckDlgButton(d, 153, BST_UNCHECKED);
  Press(d, 104);
  Press(d, IDOK);
  Settle();

  struct Step {
    UINT id;
    const wchar_t *title, *search, *replacement;
    std::string in;
    const wchar_t* message;
    std::string out;
    const char* what;
  } steps[] = {
      {CMD_Replace, L"置換", L"([0-9]+)([a-z])", L"$2$1", "x12y3z\r\nq", L"1行の置換を行いました", "xy12z3\r\nq",
       "replace swaps the groups"},
      {CMD_Replace, L"置換", L"^.", L"半", "\x91\x53\x8A\x70", L"1行の置換を行いました", "\x94\xBC\x8A\x70",
       "a dot is one double-byte character"},  // 全角 -> 半角
      {CMD_DelStr, L"指定文字の削除", L"\\s+", nullptr, "a b\tc\r\nd", L"1個の削除を行いました", "abc\r\nd",
       "delete takes every match"},
  };
  for (const Step& s : steps) {
    PutBytes(s.in);
    CommandAsync(s.id);
    const wchar_t* title = s.title;
    d = WaitFor([title] { return TrayTopLevel(L"#32770", title); }, 5000);
    Check(d != nullptr, std::string("the dialog opens: ") + s.what);
    if (!d) return;
    Check(IsWindowEnabled(GetDlgItem(d, 1005)) != 0, std::string("its regex box is enabled: ") + s.what);
    SetDlgItemTextW(d, 1000, s.search);
    if (s.replacement) SetDlgItemTextW(d, 1001, s.replacement);
    for (int b : {1002, 1003, 1004}) CheckDlgButton(d, b, BST_UNCHECKED);
    CheckDlgButton(d, 1005, BST_CHECKED);
    Press(d, IDOK);
    Check(AnswerBox() == s.message, std::string("its message: ") + s.what);
    Check(GetBytes() == s.out, s.what);
  }
}

void EnclosingReplaceRefusesAnEmptyStartAndStaysOpen() {
  PutBytes("\x81\x75" "a\x81\x76");  // 「a」
  CommandAsync(CMD_ReplaceDouble);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"囲み文字の置換"); }, 5000);
  Check(d != nullptr, "the enclosing-replace dialog opens");
  if (!d) return;
  Check(SendDlgItemMessageW(d, 1004, EM_GETLIMITTEXT, 0, 0) == 1, "the escape takes one character");
  Press(d, IDOK);
  Check(AnswerBox() == L"開始文字列の置換前が設定されていません", "OK without a start string is refused");
  Check(TrayTopLevel(L"#32770", L"囲み文字の置換") == d, "the dialog stays open");
  SetDlgItemTextW(d, 1000, L"「");
  SetDlgItemTextW(d, 1001, L"『");
  SetDlgItemTextW(d, 1002, L"」");
  SetDlgItemTextW(d, 1003, L"』");
  Press(d, IDOK);
  Check(AnswerBox() == L"1個の置換を行いました", "then it replaces");
  Check(GetBytes() == "\x81\x77" "a\x81\x78", "「a」 becomes 『a』");
}

void VerifyAsksAndCancelLeavesTheClipboard() {
  SetInt(L"System", L"Verify", 1);
  PutBytes("abc\r\n");
  CommandAsync(CMD_HiraToKana);  // ひらがな→カタカナ
  HWND box = WaitFor([] { return TrayTopLevel(L"#32770", L"QlkTray"); }, 5000);
  Check(box != nullptr, "Verify 1 asks before the command runs");
  if (box) {
    Check(BoxText(box) == L"ひらがなをカタカナに変換します", "with the command's confirmation");
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    Settle();
  }
  Check(GetBytes() == "abc\r\n", "Cancel leaves the clipboard untouched");
  SetInt(L"System", L"Verify", 0);
}

// Each code command on the clipboard's own bytes, and back. The inputs are valid code page
// 932 text too, so the clipboard hands them over unchanged.
void CodeCommandsConvertTheClipboard() {
  const std::string sjis = "\x88\x9F\x82\xA0" "a\xB1";  // 亜あaｱ
  struct Step {
    UINT id;
    std::string in, out;
    const char* what;
  } steps[] = {
      {CMD_SjisToJis, sjis, "\x1B$B0!$\"\x1B(Ba\x0E" "1\x0F", "シフトJIS→JIS"},
      {CMD_JisToSjis, "\x1B$B0!$\"\x1B(Ba\x0E" "1\x0F", sjis, "JIS→シフトJIS"},
      {CMD_SjisToEuc, "\x88\x9F\x82\xA0", "\xB0\xA1\xA4\xA2", "シフトJIS→EUC"},
      {CMD_EucToSjis, "\xB0\xA1\xA4\xA2", "\x88\x9F\x82\xA0", "EUC→シフトJIS"},
      {CMD_SjisToUtf8, "\x88\x9F\xB1", "\xE4\xBA\x9C\xEF\xBD\xB1", "シフトJIS→UTF8"},
      {CMD_Utf8ToSjis, "\xE4\xBA\x9C\xEF\xBD\xB1", "\x88\x9F\xB1", "UTF8→シフトJIS"},
      {CMD_UnicodeToMbcs, "+MEIwRA-", "\x82\xA0\x82\xA2", "UTF7→通常コード"},
  };
  SetInt(L"System", L"Verify", 0);
  SetInt(L"Jis", L"Jis", 1);
  SetInt(L"Jis", L"Kana", 0);
  for (const Step& s : steps) {
    PutBytes(s.in + "\r\n");
    Command(s.id);
    Check(GetBytes() == s.out + "\r\n", s.what);
  }
}

// The transfer encodings and listings on the clipboard's bytes, then the code detection
// dialog, which reads the document as the last command left it.
void TransferCommandsConvertTheClipboard() {
  const std::string tesuto = "\x83\x65\x83\x58\x83\x67";  // テスト
  struct Step {
    UINT id;
    std::string in, out;
    const char* what;
  } steps[] = {
      {CMD_SjisToUrl, "a b\x82\xA0", "a%20b%82%A0", "URL形式(%)エンコード"},
      {CMD_UrlToSjis, "%82%A0+x&y", "\x82\xA0 x\r\ny", "URL形式(%)デコード cuts at &"},
      {CMD_UrleToSjis, "=82=\r\n=A0", "\x82\xA0", "URL形式(=)デコード joins the lines"},
      {CMD_ToMime, "abc", "YWJj", "MIMEに変換"},
      {CMD_MimeToSjis, "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=", tesuto, "MIME→シフトJIS"},
      {CMD_SjisToMime, tesuto, "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=", "シフトJIS→MIMEヘッダ"},
      {CMD_ToSjisCode, "A\x82\xA0", "41 82 A0 ", "16進コード化"},
      {CMD_ToJisCode, "A\x82\xA0", "41 2422 ", "JIS16進コード化"},
      {CMD_CodeToSjis, "41 82 A0 ", "A\x82\xA0", "16進->文字化"},
      {CMD_CodeToJis, "2422 2424", "\x82\xA0\x82\xA2", "16進JISコードを文字化"},
      {CMD_ToSjis, "\x1B$B$\"\x1B(B", "\x82\xA0", "全て→シフトJIS of JIS text"},
  };
  SetInt(L"System", L"Verify", 0);
  SetInt(L"Jis", L"Jis", 1);
  for (const Step& s : steps) {
    PutBytes(s.in + "\r\n");
    Command(s.id);
    Check(GetBytes() == s.out + "\r\n", s.what);
  }
  // The document now holds Shift-JIS; the JIS text put on the clipboard is not read.
  PutBytes("\x1B$B$\"\x1B(B\r\n");
  CommandAsync(CMD_CodeDetect);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"コード判定"); }, 5000);
  Check(d != nullptr, "the code detection dialog opens");
  if (!d) return;
  const LRESULT sel = SendDlgItemMessageW(d, 1001, CB_GETCURSEL, 0, 0);
  wchar_t name[32] = {};
  SendDlgItemMessageW(d, 1001, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(name));
  Check(sel == 0 && std::wstring(name) == L"シフトJIS", "it shows the document's code");
  Check(SendDlgItemMessageW(d, 1001, CB_GETCOUNT, 0, 0) == 6, "the list holds the six names");
  Press(d, IDOK);
  Settle();
  Check(GetBytes() == "\x1B$B$\"\x1B(B\r\n", "the clipboard is left alone");
}

void WidthAndCaseCommandsConvertTheClipboard() {
  struct Step {
    UINT id;
    std::string in, out;
    const char* what;
  } steps[] = {
      {CMD_HanToZen, "\xB6\xDE\xB7\xDE\xCA\xDF", "\x83\x4B\x83\x4D\x83\x70", "ｶﾞｷﾞﾊﾟ becomes ガギパ"},
      {CMD_ZenToHan, "\x82\xAA\x82\xCF\x83\x94", "\xB6\xDE\xCA\xDF\xB3\xDE", "がぱヴ becomes ｶﾞﾊﾟｳﾞ"},
      {CMD_HanToZenAlpha, "\xB6\xDE" "ab", "\xB6\xDE\x82\x81\x82\x82", "only the letters widen"},
      {CMD_ToUpper, "abc\x82\x81", "ABC\x82\x60", "ToUpper, ａ included"},
      {CMD_HiraToKana, "\x82\xA0\x82\xF0", "\x83\x41\x83\x92", "あを becomes アヲ"},
      {CMD_ToTopUpper, "it's a pen.ok", "It's A Pen.Ok", "word starts"},
  };
  SetInt(L"System", L"Verify", 0);
  for (const Step& s : steps) {
    PutBytes(s.in);
    Command(s.id);
    Check(GetBytes() == s.out, s.what);
  }
  // A program that pastes Unicode gets the same text; the tray makes that form when asked.
  PutBytes("\xB6\xDE\xB7\xDE" "\r\n");
  Command(CMD_HanToZen);
  Check(GetUnicode() == L"ガギ\r\n", "the Unicode form of a result is the same text");
  Check(GetBytes() == "\x83\x4B\x83\x4D\r\n", "and its Shift-JIS form stays");
  // The kind dialog: digits only, and its choice is kept for the next time.
  PutBytes("\x82\x50\x82\x81");  // １ａ
  CommandAsync(CMD_ZenToHanSw);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"全角→半角"); }, 5000);
  Check(d != nullptr, "the kind dialog opens");
  if (!d) return;
  CheckDlgButton(d, 1003, BST_CHECKED);
  Press(d, IDOK);
  Settle();
  Check(GetBytes() == "1\x82\x81", "the ticked kind alone narrows");
  Check(GetInt(L"ZenToHan", L"bNum", 0) == 1, "the box is remembered");
}

void SortAndDuplicateCommandsChangeTheClipboard() {
  SetInt(L"System", L"Verify", 0);
  PutBytes("b\r\nA\r\nc\r\n");
  Command(CMD_Sort1);  // 昇順
  Check(GetBytes() == "A\r\nb\r\nc\r\n", "the lines sort ascending, case aside");
  // Duplicates compared on columns 2-3 only, through the dialog's edits.
  PutBytes("xab1\r\nyab2\r\nz");
  CommandAsync(CMD_DupLineDel);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"重複行削除"); }, 5000);
  Check(d != nullptr, "the duplicate dialog opens");
  if (!d) return;
  Check(!IsWindowEnabled(GetDlgItem(d, 1002)), "the columns wait for their box");
  CheckDlgButton(d, 1001, BST_CHECKED);
  Press(d, 1001);
  Settle();
  Check(IsWindowEnabled(GetDlgItem(d, 1002)) != 0, "ticking the box enables them");
  SetDlgItemTextW(d, 1002, L"2");
  SetDlgItemTextW(d, 1003, L"3");
  Press(d, IDOK);
  Settle();
  Check(GetBytes() == "xab1\r\nz", "the line equal in those columns goes");
  Check(GetInt(L"CDupLineDelDlg", L"Start", 0) == 2, "the dialog keeps its columns");
}

void MenuIsBuiltFromTheResourceEveryTime() {
  SetInt(L"DirMenu", L"DirNo", 2);
  SetText(L"DirMenu", L"Name00", L"整形マクロ");
  SetText(L"DirMenu", L"Name01", L"sort");
  std::string text = MenuText();
  int top = 0;
  size_t p = 0;
  while ((p = text.find("\n0\t", p)) != std::string::npos || (top == 0 && text.rfind("0\t", 0) == 0)) {
    ++top;
    if (p == std::string::npos) break;
    ++p;
  }
  Check(text.find("0\t12\tpopup\tオプション(&O)") != std::string::npos, "the options submenu stands at 12");
  Check(text.find("DUMMY") == std::string::npos, "its placeholder is gone");
  Check(text.find("1\t14\t32853\t整形マクロ") != std::string::npos, "the first macro entry follows the separator");
  Check(text.find("1\t15\t32854\tsort") != std::string::npos, "and the second after it");
  Check(text.find("1\t11\t32812\t複数ファイルを開いてマクロ実行(&N)...") != std::string::npos,
        "the macro over files follows the macro run");
  Check(text.find("32837\tマクロ記録(&M)") != std::string::npos, "recording is off");
  Check(text.find("57643\tアンドゥ(\x1E" "U\x1F" "ｱ)\tgrayed") != std::string::npos, "undo is grey with nothing to undo");
  Check(text.find("0\t15\t57665\t終了(\x1E" "X\x1F" "ﾘ)") != std::string::npos, "exit ends the menu");
  SetInt(L"DirMenu", L"DirNo", 0);
}

// ---------------------------------------------------------------- faults a user meets

// A helper of the tests' folder started with `args`; its process handle.
HANDLE StartHelper(const wchar_t* exe, const std::wstring& args = L"") {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path = path.substr(0, path.find_last_of(L"\\/") + 1) + exe;
  std::wstring cmd = L"\"" + path + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

// Another program keeps the clipboard open for two seconds: the command says so and changes
// nothing; once it lets go, the next command works.
void AClipboardHeldByAnotherProgramIsReportedAndChangesNothing() {
  SetInt(L"System", L"Verify", 0);
  PutBytes("abc");
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"QlkClipHeld");
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"QlkClipRelease");
  ResetEvent(held);
  ResetEvent(release);
  HANDLE holder = StartHelper(L"qlk_cliphold.exe");
  Check(holder && WaitForSingleObject(held, 10000) == WAIT_OBJECT_0, "another program holds the clipboard");
  const DWORD start = GetTickCount();
  CommandAsync(CMD_ToUpper);  // 大文字
  Check(AnswerBox() == L"クリップボードを開けません", "the command says the clipboard cannot be opened");
  while (GetTickCount() - start < 2000) Sleep(50);
  SetEvent(release);
  if (holder) WaitForSingleObject(holder, 10000), CloseHandle(holder);
  CloseHandle(held);
  CloseHandle(release);
  Check(GetBytes() == "abc", "the text is as it was");
  Command(CMD_ToUpper);
  Check(GetBytes() == "ABC", "the next command converts it");
}

// A clipboard holding a picture and no text: a command has nothing to convert, and the
// picture stays.
void APictureOnTheClipboardIsKept() {
  SetInt(L"System", L"Verify", 0);
  if (!OpenClip()) return Check(false, "the clipboard opens");
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, CreateBitmap(4, 4, 1, 32, nullptr));
  CloseClipboard();
  for (UINT id : {32777u, 32831u, 32814u}) Command(id);  // 大文字, 昇順, 逆順
  Check(TrayTopLevel(L"#32770") == nullptr, "no box, no dialog");
  bool picture = false, text = true;
  if (OpenClip()) {
    picture = IsClipboardFormatAvailable(CF_BITMAP);
    text = IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT);
    CloseClipboard();
  }
  Check(picture && !text, "the picture is still there, and no text was put in its place");
}

// A setting of the wrong type in the registry (a text where a number belongs) counts as
// unset.
void ASettingOfTheWrongTypeCountsAsUnset() {
  SetText(L"System", L"Verify", L"1");
  PutBytes("abc");
  Command(CMD_ToUpper);
  Check(TrayTopLevel(L"#32770", L"QlkTray") == nullptr, "no question: 確認 stays off");
  Check(GetBytes() == "ABC", "the command ran");
  SetText(L"Turn", L"No", L"3");
  PutBytes("abcdefg");
  CommandAsync(CMD_TurnChange);  // 折り返し
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"Quenlark"); }, 5000);
  Check(d && ChildText(d, 1000) == L"70", "the fold offers its usual width");
  if (d) Press(d, IDCANCEL), Settle();
  Check(GetBytes() == "abcdefg", "Cancel leaves the text");
  SetInt(L"System", L"Verify", 0);
  SetInt(L"Turn", L"No", 70);
}

// A macro file of binary bytes run from the menu: no keyword in it, so the text stays, and the
// tray goes on.
void ABinaryMacroFileLeavesTheText() {
  const std::wstring path = TempPath(L"qlk-e2e-binary.mac");
  std::string bytes;
  unsigned x = 12345;
  for (int i = 0; i < 65536; ++i) bytes += static_cast<char>((x = x * 1103515245 + 12345) >> 16);
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD wrote = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
  CloseHandle(f);
  SetInt(L"DirMenu", L"DirNo", 1);
  SetText(L"DirMenu", L"Name00", L"binary");
  SetText(L"DirMenu", L"Dir00", path);
  const std::string text = "keep \x82\xA0\r\nthis";
  PutBytes(text);
  Command(CMD_MacroMenu);
  for (int i = 0; i < 20 && TrayTopLevel(L"#32770"); ++i) CancelAll(), Settle();
  Check(TrayWindow() != nullptr, "the tray is still there");
  Check(GetBytes() == text, "the text is as it was");
  Command(CMD_ToUpper);
  Check(GetBytes() == "KEEP \x82\xA0\r\nTHIS", "the next command works");
  SetInt(L"DirMenu", L"DirNo", 0);
  DeleteFileW(path.c_str());
}

// A line of 50 MB goes through a command whole and exact.
void AFiftyMegabyteLineConvertsWhole() {
  SetInt(L"System", L"Verify", 0);
  std::string line(50u << 20, 'a');
  for (size_t i = 0; i < line.size(); i += 4099) line.replace(i, 2, "\x82\xA0");  // あ now and then
  PutBytes(line);
  PostMessageW(TrayWindow(), WM_COMMAND, CMD_ToUpper, 0);
  Settle(120000);
  std::string want = line;
  for (size_t i = 0; i < want.size(); ++i)
    if (want[i] == 'a') want[i] = 'A';
  const std::string got = GetBytes();
  Check(got.size() == want.size(), "the line keeps its length");
  Check(got == want, "every byte is converted");
}

// ---------------------------------------------------------------- soak

struct Usage {
  LRESULT privateKb = 0, gdi = 0, user = 0;
};

// Read by the tray itself: another process's counters cannot be read under every platform.
Usage TrayUsage() { return {Ask("private"), Ask("gdi"), Ask("user")}; }

// 2,000 commands in a row on a 10 KB text: plain commands, undo and redo, a dialog, a search
// and a macro run now and then. The tray's private memory and its GDI and USER objects do
// not grow beyond a small margin.
void TwoThousandCommandsGrowNothing() {
  SetInt(L"System", L"Verify", 0);
  const std::wstring macro = TempPath(L"qlk-e2e-soak.mac");
  HANDLE f = CreateFileW(macro.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const char lines[] = "ZenToHan\r\nToUpper\r\nReplace A a 0 0\r\nTurnChange 30\r\nTextAll\r\n";
  DWORD wrote = 0;
  WriteFile(f, lines, sizeof lines - 1, &wrote, nullptr);
  CloseHandle(f);
  SetInt(L"DirMenu", L"DirNo", 1);
  SetText(L"DirMenu", L"Name00", L"soak");
  SetText(L"DirMenu", L"Dir00", macro);
  std::string text;
  while (text.size() < 10240) text += "Quenlark \x83\x65\x83\x4C\x83\x58\x83\x67 abc \xB6\xC0\xB6\xC5 123, \x82\xA0\x82\xA2\r\n";
  const UINT plain[] = {CMD_ToUpper, CMD_ToLower, CMD_HiraToKana, CMD_KanaToHira, CMD_Sort1, CMD_Reverse, CMD_Undo, CMD_Redo};
  auto one = [&](int i) {
    if (i % 100 == 37) {  // the fold dialog
      CommandAsync(CMD_TurnChange);
      if (HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"Quenlark"); }, 5000)) {
        SetDlgItemTextW(d, 1000, L"40");
        Press(d, IDOK);
      }
      Settle();
    } else if (i % 100 == 71) {  // a search with its dialog and message
      CommandAsync(CMD_Replace);
      if (HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"置換"); }, 5000)) {
        SetDlgItemTextW(d, 1000, L"abc");
        SetDlgItemTextW(d, 1001, L"xyz");
        Press(d, IDOK);
        AnswerBox();
      }
    } else if (i % 50 == 13) {
      Command(CMD_MacroMenu);  // the macro
    } else if (i % 25 == 0) {
      PutBytes(text);
      Command(plain[i % 8]);
    } else {
      Command(plain[i % 8]);
    }
  };
  PutBytes(text);
  for (int i = 0; i < 100; ++i) one(i);  // the first use of each part allocates what it keeps
  const Usage before = TrayUsage();
  const DWORD start = GetTickCount();
  for (int i = 0; i < 2000; ++i) one(i);
  const DWORD ms = GetTickCount() - start;
  const Usage after = TrayUsage();
  auto count = [](LRESULT n) { return n < 0 ? std::string("not counted here") : std::to_string(n); };
  std::printf("soak: 2000 commands in %lu ms (%.2f ms each); private memory %ld -> %ld KB; GDI objects %s -> %s;"
              " USER objects %s -> %s\n",
              ms, ms / 2000.0, static_cast<long>(before.privateKb), static_cast<long>(after.privateKb),
              count(before.gdi).c_str(), count(after.gdi).c_str(), count(before.user).c_str(), count(after.user).c_str());
  Check(before.privateKb > 0, "the private memory can be read");
  Check(after.privateKb <= before.privateKb + 4096, "private memory grows by less than 4 MB");
  Check(before.user > 0 && after.user <= before.user + 8, "USER objects do not pile up");
  if (before.gdi >= 0) Check(after.gdi <= before.gdi + 8, "GDI objects do not pile up");
  Check(TrayTopLevel(L"#32770") == nullptr, "no box or dialog left open");
  SetInt(L"DirMenu", L"DirNo", 0);
  DeleteFileW(macro.c_str());
}

// ---------------------------------------------------------------- the menus the user shapes

// A dialog or box of the tray with that title.
HWND WaitDialog(const wchar_t* title, DWORD ms = 15000) {
  return WaitFor([title] { return TrayTopLevel(L"#32770", title); }, ms);
}

// Waits until a dialog has gone (after OK or Cancel).
void WaitGone(HWND d) {
  for (int i = 0; i < 100 && IsWindow(d) && IsWindowVisible(d); ++i) Sleep(50);
  Settle();
}

// One entry through the entry dialog the list dialog's Add opens.
void AddMacroEntry(HWND list, const std::wstring& name, const std::wstring& path) {
  Press(list, 141);
  HWND e = WaitDialog(L"マクロメニュー編集");
  Check(e != nullptr, "追加 opens the entry dialog");
  if (!e) return;
  SetDlgItemTextW(e, 122, name.c_str());
  SetDlgItemTextW(e, 156, path.c_str());
  Press(e, IDOK);
  WaitGone(e);
}

void MacroMenuIsEditedInItsDialogAndRunsFromTheMenu() {
  SetInt(L"DirMenu", L"DirNo", 0);
  const std::wstring up = TempPath(L"qlk-e2e-up.qmc"), rev = TempPath(L"qlk-e2e-rev.qmc");
  WriteBytes(up, "ToUpper\r\n");
  WriteBytes(rev, "Sort2\r\n");
  CommandAsync(CMD_MacroMenuEdit);
  HWND d = WaitDialog(L"マクロメニューの編集");
  Check(d != nullptr, "the macro menu dialog opens");
  if (!d) return;
  AddMacroEntry(d, L"大文字", up);
  AddMacroEntry(d, L"逆順", rev);
  Check(ListItems(d, 110) == std::vector<std::wstring>{L"大文字", L"逆順"}, "both names are listed in order");
  SendDlgItemMessageW(d, 110, LB_SETCURSEL, 1, 0);
  Press(d, 133);  // 一つ上へ移動
  Settle();
  Check(ListItems(d, 110) == std::vector<std::wstring>{L"逆順", L"大文字"}, "up moves the second entry first");
  Check(ListSelection(d, 110) == 0, "and keeps it selected");
  Check(GetInt(L"DirMenu", L"DirNo", 9) == 0, "nothing is saved before OK");
  Press(d, IDOK);
  WaitGone(d);
  Check(GetInt(L"DirMenu", L"DirNo", 9) == 2, "OK saves the two entries");
  Check(GetText(L"DirMenu", L"Name00") == L"逆順" && GetText(L"DirMenu", L"Dir00") == rev, "the moved entry first");
  std::string menu = MenuText();
  Check(menu.find("1\t14\t32853\t逆順") != std::string::npos && menu.find("1\t15\t32854\t大文字") != std::string::npos,
        "the options submenu ends with both entries in their new order");
  PutBytes("b\r\na\r\nc");
  Command(32853);
  Check(GetBytes() == "c\r\nb\r\na", "the first entry sorts the clipboard descending");
  Command(32854);
  Check(GetBytes() == "C\r\nB\r\nA", "the second makes it upper case");
}

// Chooses one file in the file dialog `fd` by its full path.
void FillFileDialog(HWND fd, const std::wstring& path) {
  // The file name field is the dialog's one edit, inside the name's drop-down (cmb13).
  HWND edit = nullptr;
  EnumChildWindows(
      fd,
      [](HWND c, LPARAM out) -> BOOL {
        wchar_t cls[16] = {};
        GetClassNameW(c, cls, 16);
        if (lstrcmpiW(cls, L"Edit") != 0) return TRUE;
        *reinterpret_cast<HWND*>(out) = c;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&edit));
  Check(edit != nullptr, "it has a file name field");
  if (!edit) return;
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(fd, WM_COMMAND, IDOK, 0);
  WaitGone(fd);
}

// Chooses one file in the tray's file dialog by its full path.
void ChooseFile(const wchar_t* title, const std::wstring& path) {
  HWND fd = WaitDialog(title);
  Check(fd != nullptr, "the file dialog opens");
  if (fd) FillFileDialog(fd, path);
}

// The apply-macro dialog with the macro, the two files and the end mode; OK.
void ApplyMacro(const std::wstring& macro, const std::vector<std::wstring>& files, int endMode) {
  CommandAsync(CMD_MacroOverFiles);
  HWND d = WaitDialog(L"指定ファイルにマクロを適用");
  Check(d != nullptr, "the apply-macro dialog opens");
  if (!d) return;
  Check(ListItems(d, 111).empty(), "its file list starts empty");
  SetDlgItemTextW(d, 226, macro.c_str());
  for (const std::wstring& f : files) {
    Press(d, 141);
    ChooseFile(L"マクロを適用するファイル", f);
  }
  Check(ListItems(d, 111) == files, "the chosen files are listed in order");
  SendDlgItemMessageW(d, 230, CB_SETCURSEL, static_cast<WPARAM>(endMode), 0);
  Press(d, IDOK);
  WaitGone(d);
}

void AMacroIsAppliedToTwoFiles() {
  const std::wstring macro = TempPath(L"qlk-e2e-apply.qmc");
  const std::wstring a = TempPath(L"qlk-e2e-a.txt"), b = TempPath(L"qlk-e2e-b.txt");
  WriteBytes(macro, "ToUpper\r\nInsertEndLine end\r\n");
  const std::string aText = "abc\r\ndef", bText = std::string(120000, 'x') + "\n\x82\xA0y\r\n";
  WriteBytes(a, aText);
  WriteBytes(b, bText);
  SetInt(L"System", L"CrLf", 0);  // saved lines end with CR LF (a check before may have changed it)
  PutBytes("keep");
  ApplyMacro(macro, {a, b}, 0);
  Check(ReadBytes(a) == aText && ReadBytes(b) == bText, "そのまま leaves both files as they were");
  Check(GetText(L"MacroExe", L"MaroName") == macro && GetInt(L"MacroExe", L"EndMode", 9) == 0, "OK keeps the macro and mode");
  ApplyMacro(macro, {a, b}, 1);
  Check(ReadBytes(a) == "ABC\r\nDEF\r\nend\r\n", "保存 writes the first file back");
  Check(ReadBytes(b) == std::string(120000, 'X') + "\r\n\x82\xA0Y\r\nend\r\n", "and the one with a line over 100 KB, byte for byte");
  Check(GetBytes() == "keep", "the clipboard is left alone");
}

void CustomEntriesStandOnTopAndSurviveARestart() {
  const std::wstring file = TempPath(L"qlk-e2e-QLarkRMenu.dat");
  DeleteFileW(file.c_str());
  SetText(L"System", L"RMenu", file);
  // The catalogue is built at start-up: a new start brings in the macro entries made above.
  Check(ExitTray() && StartTray(trayExe, tray), "the tray restarts");
  CommandAsync(CMD_MenuCustomize);
  HWND d = WaitDialog(L"右クリックメニューカスタマイズ");
  Check(d != nullptr, "the customisation dialog opens");
  if (!d) return;
  std::vector<std::wstring> all = ListItems(d, 164);
  Check(all.size() == 103, "it lists the catalogue with the two macro entries (" + std::to_string(all.size()) + ")");
  if (all.size() < 100) return;
  Check(all[58] == L"[整形]左揃え" && all[92] == L"[ﾏｸﾛ]逆順", "in catalogue order");
  for (int pick : {33, 58, 0}) {
    SendDlgItemMessageW(d, 164, LB_SETCURSEL, static_cast<WPARAM>(pick), 0);
    Press(d, 141);
    Settle();
  }
  Check(ListItems(d, 165) == std::vector<std::wstring>{L"[編集]全て選択", L"[整形]先頭の空白を削除", L"[全角→半角]全て変換"},
        "the entries show with their group, 32797 as its first caption");
  Check(ListSelection(d, 165) == 2, "the last added is selected");
  Press(d, IDOK);
  WaitGone(d);
  Check(ReadBytes(file) == std::string("\x03\0\0\0\x22\x80\0\0\x1D\x80\0\0\x3D\x80\0\0", 16),
        "QLarkRMenu.dat holds the count and the identifiers, little-endian");
  const char* top[] = {"0\t0\t32802\t全て選択\t", "0\t1\t32797\t先頭の空白を削除\t", "0\t2\t32829\t全て変換\t",
                       "0\t3\t-\t", "0\t4\tpopup\t全角→半角(&Z)"};
  auto onTop = [&](const std::string& menu) {
    size_t at = 0;
    for (const char* line : top) {
      if (menu.compare(at, strlen(line), line) != 0) return false;
      at = menu.find('\n', at);
      if (at == std::string::npos) return false;
      ++at;
      while (menu.compare(at, 2, "1\t") == 0) at = menu.find('\n', at) + 1;  // a submenu's items
    }
    return true;
  };
  Check(onTop(MenuText()), "the menu starts with the three entries without their group, then a separator");
  PutBytes("keep");
  Command(57648);  // a window command of the catalogue: nothing at all
  Check(GetBytes() == "keep" && TrayWindow() != nullptr, "a window entry does nothing");
  Check(ExitTray() && StartTray(trayExe, tray), "the tray restarts");
  Check(onTop(MenuText()), "after a restart the entries are read back");
  // Deleted one by one with their question, the file keeps an empty list.
  CommandAsync(CMD_MenuCustomize);
  d = WaitDialog(L"右クリックメニューカスタマイズ");
  if (!d) return Check(false, "the dialog opens again");
  Check(ListItems(d, 165).size() == 3 && ListSelection(d, 165) == 0, "it shows the list with the first selected");
  SendDlgItemMessageW(d, 165, LB_SETCURSEL, 2, 0);
  for (int i = 0; i < 3; ++i) {
    Press(d, 131);
    HWND box = WaitDialog(L"QlkTray");
    Check(box && BoxText(box).find(L" を削除しますか？") != std::wstring::npos, "削除 asks first");
    if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitGone(box);
    if (i == 0) Check(ListSelection(d, 165) == 1, "deleting the last selects the new last");
  }
  Check(ListItems(d, 165).empty() && ListSelection(d, 165) == -1, "deleting the only entry leaves no selection");
  Press(d, IDOK);
  WaitGone(d);
  Check(ReadBytes(file) == std::string(4, '\0'), "an empty list is a count of zero");
  Check(MenuText().rfind("0\t0\tpopup\t全角→半角(&Z)", 0) == 0, "and the menu starts with its standard items again");
  SetText(L"System", L"RMenu", L"");
}

// ---------------------------------------------------------------- hotkeys

constexpr int kHotKeyAll = 1601, kHotKeyKey = 1602, kHotKeyPaste = 1604, kHotKeyList = 1605, kHotKeyAdd = 1606;

// A binding made in the dialog: the row of the catalogue list (0 opens the menu), the keys of
// the system's hotkey control, the paste box.
void AddBinding(HWND d, int row, BYTE hotkeyFlags, BYTE vk, bool paste) {
  SendDlgItemMessageW(d, kHotKeyAll, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendDlgItemMessageW(d, kHotKeyKey, HKM_SETHOTKEY, MAKEWORD(vk, hotkeyFlags), 0);
  CheckDlgButton(d, kHotKeyPaste, paste ? BST_CHECKED : BST_UNCHECKED);
  Press(d, kHotKeyAdd);
  Settle();
}

// Ctrl+Alt+Z runs 全て変換 (full width to half width) on the clipboard; Ctrl+Alt+X does it
// with automatic copy and paste.
void BindTwoHotKeys() {
  CommandAsync(CMD_HotKeySettings);
  HWND d = WaitDialog(L"ホットキーの設定");
  Check(d != nullptr, "the hotkey dialog opens");
  if (!d) return;
  std::vector<std::wstring> all = ListItems(d, kHotKeyAll);
  Check(all.size() > 100 && all[0] == L"[ﾒﾆｭｰ]マウスの位置にメニューを表示" && all[1] == L"[全角→半角]全て変換",
        "it lists the menu opener, then the catalogue");
  AddBinding(d, 1, HOTKEYF_CONTROL | HOTKEYF_ALT, 'Z', false);
  AddBinding(d, 1, HOTKEYF_CONTROL | HOTKEYF_ALT, 'X', true);
  Check(ListItems(d, kHotKeyList) ==
            std::vector<std::wstring>{L"Ctrl+Alt+Z\t[全角→半角]全て変換", L"Ctrl+Alt+X\t[全角→半角]全て変換\t自動で貼り付け"},
        "the bindings show with their keys");
  Press(d, IDOK);
  WaitGone(d);
}

void HotKeysAreBoundInTheirDialogAndRunOnTheClipboard() {
  BindTwoHotKeys();
  Check(GetInt(L"HotKey", L"nCount", 0) == 2, "the profile holds two bindings");
  Check(GetInt(L"HotKey", L"Key00", 0) == ((MOD_CONTROL | MOD_ALT) << 16 | 'Z') && GetInt(L"HotKey", L"Cmd00", 0) == 32829 &&
            GetInt(L"HotKey", L"bPaste00", 9) == 0 && GetInt(L"HotKey", L"bPaste01", 0) == 1,
        "with their keys, command and paste box");
  const std::string menu = MenuText();
  Check(menu.find("\t32829\t全て変換(&H)\tCtrl+Alt+Z\t") != std::string::npos, "the menu shows the keys beside the command");
  PutBytes("\x82\x60\x82\x61\x82\x62");  // ＡＢＣ
  PostMessageW(TrayWindow(), WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'Z'));
  Settle();
  Check(GetBytes() == "ABC", "the hotkey ran the command on the clipboard");
}

// A window of our own with an edit control holding Japanese text, part of it selected. As a
// real program does, it gives the focus back to its edit whenever it is activated.
HWND editOfTheTestWindow = nullptr;

LRESULT CALLBACK EditWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if ((msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE) || msg == WM_SETFOCUS) {
    if (editOfTheTestWindow) SetFocus(editOfTheTestWindow);
    return 0;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

struct EditWindow {
  HWND top = nullptr, edit = nullptr;
  EditWindow(const wchar_t* text, int from, int to) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = EditWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QlkE2eEditWindow";
    RegisterClassW(&wc);
    top = CreateWindowExW(0, wc.lpszClassName, L"qlk-e2e-edit", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 120,
                          nullptr, nullptr, wc.hInstance, nullptr);
    edit = CreateWindowExW(0, L"EDIT", text, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 360, 24, top,
                           nullptr, wc.hInstance, nullptr);
    editOfTheTestWindow = edit;
    SetForegroundWindow(top);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(from), to);
    Pump(200);
  }
  ~EditWindow() {
    editOfTheTestWindow = nullptr;
    DestroyWindow(top);
  }
  static void Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
      Sleep(10);
    }
  }
  std::wstring Text() const {
    wchar_t buf[256] = {};
    GetWindowTextW(edit, buf, 256);
    return buf;
  }
};

void AutoPasteReplacesTheSelectionInAnotherWindow() {
  if (GetInt(L"HotKey", L"nCount", 0) != 2) BindTwoHotKeys();
  PutBytes("keep");
  EditWindow w(L"前ＡＢＣ　テスト後", 1, 8);
  Check(GetForegroundWindow() == w.top, "the test window is in front");
  PostMessageW(TrayWindow(), WM_HOTKEY, 2, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'X'));
  for (int i = 0; i < 40 && w.Text() != L"前ABC ﾃｽﾄ後"; ++i) EditWindow::Pump(100);
  Check(w.Text() == L"前ABC ﾃｽﾄ後", "the selection is replaced by the converted text: " + Utf8(w.Text()));
  Check(GetBytes() == "ABC \xC3\xBD\xC4", "the clipboard holds the result, as after a menu run");
  Check(!(GetAsyncKeyState(VK_CONTROL) & 0x8000) && !(GetAsyncKeyState(VK_LCONTROL) & 0x8000), "no Ctrl is left down");
  // Nothing selected: the copy changes nothing, and everything stays as it was.
  SendMessageW(w.edit, EM_SETSEL, 0, 0);
  PutBytes("keep");
  PostMessageW(TrayWindow(), WM_HOTKEY, 2, 0);
  EditWindow::Pump(1500);
  Settle();
  Check(w.Text() == L"前ABC ﾃｽﾄ後" && GetBytes() == "keep", "with nothing selected nothing changes");
  SetInt(L"HotKey", L"nCount", 0);
}

// The tray makes the Unicode form of its store later; however its store ends, that form is
// the text. Enough lines that the command is still running when the next message is posted.
void TheUnicodeFormOfAStoreIsNeverLost() {
  std::string in, wantBytes;
  std::wstring want;
  for (int i = 0; i < 20000; ++i) {
    in += "\xB6\xDE\xB7\xDE\r\n";  // ｶﾞｷﾞ
    wantBytes += "\x83\x4B\x83\x4D\r\n";
    want += L"ガギ\r\n";
  }
  const struct {
    const char* how;
    std::function<void()> after;  // posted right behind the command, or run once it is done
  } ends[] = {
      {"the tray quits right after the command", [] { Check(ExitTray(), "the tray ends cleanly"); }},
      {"the session ends right after the command",
       [] {
         PostMessageW(TrayWindow(), WM_ENDSESSION, TRUE, 0);
         Settle();
         // As the system does at the end of a session: the window is never destroyed.
         TerminateProcess(tray.hProcess, 0);
         WaitForSingleObject(tray.hProcess, 10000);
         CloseHandle(tray.hProcess);
         CloseHandle(tray.hThread);
         tray = {};
       }},
      {"a program asks at once", [] { Settle(); }},
  };
  SetInt(L"System", L"Verify", 0);
  for (const auto& e : ends) {
    PutBytes(in);
    CommandAsync(CMD_HanToZen);
    e.after();
    Check(GetUnicode() == want, std::string("Unicode form whole when ") + e.how);
    Check(GetBytes() == wantBytes, std::string("Shift-JIS form whole when ") + e.how);
    if (!tray.hProcess) Check(StartTray(trayExe, tray), "the tray starts again");
  }
  // Another program's store after ours is the text the next command reads, not ours.
  PutBytes("\xB6\xDE\r\n");
  Command(CMD_HanToZen);
  PutUnicode(L"theirs");
  Sleep(100);  // the tray's idle work comes and finds the store gone
  Settle();
  Check(GetUnicode() == L"theirs", "the other program's store stays");
  Command(CMD_ToUpper);
  Check(GetBytes() == "THEIRS", "and is what the next command reads");
}

// ---------------------------------------------------------------- files and the text shown

std::string Cp932(const std::wstring& w) {
  int n = WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// The whole text of a control of another process's dialog, however long.
std::wstring LongText(HWND dlg, int id) {
  HWND c = GetDlgItem(dlg, id);
  const LRESULT n = SendMessageW(c, WM_GETTEXTLENGTH, 0, 0);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  SendMessageW(c, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(n));
  return s;
}

// The multi-file dialog over a folder: the report's two numbers read from its controls, then
// every file byte for byte (Shift-JIS, UTF-8 with an emoji, one without the word, one that
// is read-only and so stays, no work file left).
void MultiFileReplaceRewritesTheFolderAndReports() {
  const std::wstring dir = TempPath(L"qlk-e2e-multi");
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring a = dir + L"\\a.txt", b = dir + L"\\b.txt", c = dir + L"\\c.txt", d = dir + L"\\d.log";
  for (const std::wstring& f : {a, b, c, d}) SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
  WriteBytes(a, Cp932(L"テストAと テストa\r\nほか\r\n"));
  WriteBytes(b, "nothing\r\n");
  WriteBytes(c, Utf8(L"\xFEFF\xD83D\xDE00 テストa\n"));
  WriteBytes(d, "test");
  PutBytes("clipboard");
  CommandAsync(CMD_MultiFileReplace);
  HWND dlg = WaitDialog(L"複数ファイル置換", 5000);
  Check(dlg != nullptr, "the multi-file dialog opens");
  if (!dlg) return;
  SetDlgItemTextW(dlg, 1000, dir.c_str());
  SetDlgItemTextW(dlg, 1002, L"*.txt");
  SetDlgItemTextW(dlg, 1003, L"");
  Press(dlg, IDOK);
  Check(AnswerBox() == L"検索語を入力してください", "an empty word is refused");
  Check(IsWindow(dlg) && IsWindowVisible(dlg), "and the dialog stays");
  SetDlgItemTextW(dlg, 1003, L"テストa");
  SetDlgItemTextW(dlg, 1004, L"試験");
  Press(dlg, IDOK);
  HWND report = WaitDialog(L"置換終了", 10000);
  Check(report != nullptr, "the report opens");
  if (!report) return;
  Check(ChildText(report, 1000) == L"2", "files replaced: 2");
  Check(ChildText(report, 1001) == L"3", "words replaced: 3");
  PostMessageW(report, WM_COMMAND, IDOK, 0);
  Settle();
  Check(ReadBytes(a) == Cp932(L"試験と 試験\r\nほか\r\n"), "the Shift-JIS file, case-blind");
  Check(ReadBytes(b) == "nothing\r\n", "the file without the word");
  Check(ReadBytes(c) == Utf8(L"\xFEFF\xD83D\xDE00 試験\n"), "the UTF-8 file keeps its mark and its emoji");
  Check(ReadBytes(d) == "test", "a file the pattern does not name");
  Check(GetFileAttributesW((dir + L"\\QLARK.$$$").c_str()) == INVALID_FILE_ATTRIBUTES, "no work file is left");
  Check(GetBytes() == "clipboard", "the clipboard is left alone");
  Check(GetText(L"MultiReplace", L"Dir") == dir && GetText(L"MultiReplace", L"Find") == L"テストa", "OK keeps the inputs");

  // A read-only file: its message, the file as it was, no work file.
  WriteBytes(b, "test");
  SetFileAttributesW(b.c_str(), FILE_ATTRIBUTE_READONLY);
  CommandAsync(CMD_MultiFileReplace);
  dlg = WaitDialog(L"複数ファイル置換", 5000);
  if (!dlg) return;
  SetDlgItemTextW(dlg, 1002, L"b.txt");
  SetDlgItemTextW(dlg, 1003, L"test");
  Press(dlg, IDOK);
  Check(AnswerBox() == L"ファイルRenameエラー", "a read-only file cannot be replaced");
  if (HWND r = WaitDialog(L"置換終了", 5000)) {
    Check(ChildText(r, 1000) == L"0", "and is not counted");
    PostMessageW(r, WM_COMMAND, IDOK, 0);
    Settle();
  }
  SetFileAttributesW(b.c_str(), FILE_ATTRIBUTE_NORMAL);
  Check(ReadBytes(b) == "test", "it stays as it was");
  Check(GetFileAttributesW((dir + L"\\QLARK.$$$").c_str()) == INVALID_FILE_ATTRIBUTES, "with no work file left");
}

void CountDialogShowsTheFigures() {
  PutBytes(Cp932(L"あア1a漢。\r\nwell-\r\nknown"));
  CommandAsync(CMD_CharCount);
  HWND d = WaitDialog(L"文字数のカウント", 5000);
  Check(d != nullptr, "the count dialog opens");
  if (!d) return;
  const struct {
    int id;
    const wchar_t* text;
  } fields[] = {{1000, L"16"}, {1001, L"1"},  {1011, L"6"},  {1002, L"1"},  {1003, L"1"},
                {1004, L"10"}, {1014, L"62"}, {1005, L"1"},  {1016, L"12"}, {1020, L"26"},
                {1021, L""},   {1022, L"2"}};
  for (const auto& f : fields) Check(ChildText(d, f.id) == f.text, "field " + std::to_string(f.id) + ": " + Utf8(f.text));
  Check(ChildText(d, IDOK) == L"閉じる", "closed with 閉じる");
  PostMessageW(d, WM_COMMAND, IDOK, 0);
  Settle();
  Check(GetBytes() == Cp932(L"あア1a漢。\r\nwell-\r\nknown"), "the clipboard is left alone");
}

// The full edit of a text over 100 KB: shown whole, one character changed beyond the edit
// control's usual limit, taken back whole; a character Shift-JIS cannot hold asks first.
void FullEditTakesALargeTextBackWhole() {
  std::wstring text;
  for (int i = 0; i < 3000; ++i) text += L"行" + std::to_wstring(i) + L" abcdefghijklmnopqrstuvwxyz 漢字かな\r\n";
  PutBytes(Cp932(text));
  CommandAsync(CMD_EditAll);
  HWND d = WaitDialog(L"テキスト編集", 5000);
  Check(d != nullptr, "the edit dialog opens");
  if (!d) return;
  Check(Cp932(text).size() > 100000, "the text is over 100 KB");
  Check(LongText(d, 1000) == text, "every line is shown");
  // Typing near the end, far past 32,767 characters.
  const size_t at = text.size() - 10;
  SendDlgItemMessageW(d, 1000, EM_SETSEL, at, at + 1);
  SendDlgItemMessageW(d, 1000, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"X"));
  std::wstring changed = text;
  changed[at] = L'X';
  Check(LongText(d, 1000) == changed, "a character typed near the end is taken");
  // An emoji: the lossy question; Cancel keeps the dialog with the text as typed.
  SendDlgItemMessageW(d, 1000, EM_SETSEL, 0, 0);
  SendDlgItemMessageW(d, 1000, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\xD83D\xDE00"));
  Press(d, IDOK);
  HWND box = WaitFor([] { return TrayTopLevel(L"#32770", L"QlkTray"); }, 5000);
  Check(box && BoxText(box).find(L"シフトJISで表せない文字があります") != std::wstring::npos, "the lossy question");
  if (box) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  Settle();
  Check(IsWindow(d) && LongText(d, 1000) == L"\xD83D\xDE00" + changed, "Cancel keeps the dialog and the text");
  SendDlgItemMessageW(d, 1000, EM_SETSEL, 0, 2);
  SendDlgItemMessageW(d, 1000, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
  Press(d, IDOK);
  Settle();
  Check(GetBytes() == Cp932(changed), "OK stores the whole text with the change");
}

// ---------------------------------------------------------------- editor, shortcut, help, about

// The box the tray shows next: its text, answered with `button`; "" when none came.
std::wstring NextBox(int button, DWORD ms = 15000) {
  HWND box = WaitDialog(L"QlkTray", ms);
  if (!box) return L"";
  std::wstring t = BoxText(box);
  PostMessageW(box, WM_COMMAND, button, 0);
  for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(50);
  return t;
}


// The stand-in program: the tests' fake setup program copied under `name` into %TEMP%. Started,
// it leaves SetupMarker() naming the file it ran from.
std::wstring StandIn(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring from(self);
  from.erase(from.find_last_of(L'\\') + 1);
  from += L"qlk_fakesetup.exe";
  const std::wstring to = TempPath(name);
  CopyFileW(from.c_str(), to.c_str(), FALSE);
  return to;
}
std::wstring SetupMarker() { return TempPath(L"qlk-e2e-setup-ran.txt"); }
// The program the stand-in ran as, once it has run; "" when it has not within `ms`.
std::wstring StandInRan(DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 100, Sleep(100)) {
    std::string b = ReadBytes(SetupMarker());
    if (b == "<missing>" || b.size() < 2) continue;
    std::wstring w(reinterpret_cast<const wchar_t*>(b.data()), b.size() / 2);
    return w.substr(0, w.find(L'\n'));
  }
  return L"";
}
bool SameFile(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// A top-level dialog of the tray titled `title` other than `not_`.
HWND OtherDialog(const wchar_t* title, HWND not_) {
  return WaitFor(
      [&] {
        struct Ctx {
          DWORD pid;
          const wchar_t* title;
          HWND not_, found;
        } c{TrayPid(), title, not_, nullptr};
        EnumWindows(
            [](HWND h, LPARAM lp) -> BOOL {
              auto* c = reinterpret_cast<Ctx*>(lp);
              DWORD pid = 0;
              GetWindowThreadProcessId(h, &pid);
              wchar_t text[256] = {};
              GetWindowTextW(h, text, 256);
              if (pid != c->pid || h == c->not_ || !IsWindowVisible(h) || wcscmp(text, c->title) != 0) return TRUE;
              c->found = h;
              return FALSE;
            },
            reinterpret_cast<LPARAM>(&c));
        return c.found;
      },
      10000);
}

void EditorIsChosenInItsDialogAndStarted() {
  const std::wstring editor = StandIn(L"qlk-e2e-editor.exe");
  CommandAsync(CMD_EditorSettings);
  HWND d = WaitDialog(L"エディタの設定");
  Check(d != nullptr, "the editor dialog opens");
  if (!d) return;
  Check(ChildText(d, 105) == L"notepad.exe", "its default is notepad.exe");
  Press(d, 106);
  HWND fd = OtherDialog(L"エディタの設定", d);
  Check(fd != nullptr, "参照 opens the file dialog titled エディタの設定");
  if (fd) FillFileDialog(fd, editor);
  Check(SameFile(ChildText(d, 105), editor), "the chosen program replaces the path");
  Press(d, IDOK);
  WaitGone(d);
  Check(SameFile(GetText(L"System", L"Editor"), editor), "OK writes [System] Editor");
  DeleteFileW(SetupMarker().c_str());
  CommandAsync(CMD_LaunchEditor);
  Check(SameFile(StandInRan(10000), editor), "エディタの起動 starts it");
  DeleteFileW(SetupMarker().c_str());

  // A missing editor: with an extension the table's message, without one nothing.
  SetText(L"System", L"Editor", TempPath(L"qlk-e2e-no-such-editor.exe"));
  CommandAsync(CMD_LaunchEditor);
  Check(NextBox(IDOK, 10000) == L"ファイルが見つかりませんでした", "a missing editor.exe is told");
  SetText(L"System", L"Editor", L"qlk-e2e-no-such-editor");
  CommandAsync(CMD_LaunchEditor);
  Settle();
  Check(NextBox(IDOK, 2000).empty(), "a missing name without a dot is not");
  SetText(L"System", L"Editor", L"");
}

constexpr const wchar_t* kFullEditorKey = L"SOFTWARE\\Korvu\\Quenlark";

void DoubleClickStartsTheFullEditorFromTheMachineKey() {
  const std::wstring full = StandIn(L"qlk-e2e-fulleditor.exe");
  SetText(L"System", L"ExeFile", L"");
  HKEY k = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, kFullEditorKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
  RegSetValueExW(k, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(full.c_str()),
                 static_cast<DWORD>((full.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  auto doubleClick = [] {
    DeleteFileW(SetupMarker().c_str());
    Icon(WM_LBUTTONDOWN);
    Icon(WM_LBUTTONUP);
    Icon(WM_LBUTTONDBLCLK);
    Icon(WM_LBUTTONUP);
  };
  doubleClick();
  Check(SameFile(StandInRan(10000), full), "with ExeFile empty, a double click starts the program the key names");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kFullEditorKey);
  doubleClick();
  Check(StandInRan(GetDoubleClickTime() + 2000).empty(), "without the key nothing starts");
  Check(NextBox(IDOK, 500).empty(), "and nothing is said");
  CloseMenus();
}

// A special folder, and the target of a shell link ("" when it cannot be read).
std::wstring ShellFolder(int csidl) {
  wchar_t p[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, p);
  return p;
}

std::wstring LinkTarget(const std::wstring& lnk) {
  std::wstring target;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link))))
    return target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(lnk.c_str(), STGM_READ)) && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0))) target = path;
    file->Release();
  }
  link->Release();
  return target;
}

void PressStartupTwice(const std::wstring& expectText) {
  CommandAsync(CMD_Settings);
  HWND d = WaitDialog(L"設定");
  Check(d != nullptr, "the settings dialog opens");
  if (!d) return;
  for (int i = 0; i < 2; ++i) {
    Press(d, 1001);
    Check(NextBox(IDOK, 10000) == expectText, "スタートアップに登録 says so, press " + std::to_string(i + 1));
  }
  PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
  WaitGone(d);
}

void StartupShortcutIsWrittenAndOverwritten() {
  const std::wstring common = ShellFolder(CSIDL_COMMON_STARTUP) + L"\\Quenlark Tray.lnk";
  const std::wstring own = ShellFolder(CSIDL_STARTUP) + L"\\Quenlark Tray.lnk";
  DeleteFileW(common.c_str());
  DeleteFileW(own.c_str());
  const std::wstring created = L"スタートアップにショートカットを作成しました。削除は手動で行ってください";
  PressStartupTwice(created);
  Check(SameFile(LinkTarget(common), trayExe), "a shell link in the machine's Startup folder points at QlkTray.exe");
  Check(GetFileAttributesW(own.c_str()) == INVALID_FILE_ATTRIBUTES, "and none in the user's own");
  DeleteFileW(common.c_str());

  // The machine's folder out of reach (named where nothing is): the user's own takes it.
  const wchar_t* shellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  HKEY k = nullptr;
  RegOpenKeyExW(HKEY_LOCAL_MACHINE, shellFolders, 0, KEY_READ | KEY_WRITE, &k);
  wchar_t saved[1024] = {};
  DWORD size = sizeof saved - sizeof(wchar_t), type = REG_EXPAND_SZ;
  const bool had = RegQueryValueExW(k, L"Common Startup", nullptr, &type, reinterpret_cast<BYTE*>(saved), &size) == ERROR_SUCCESS;
  const std::wstring away = L"Q:\\qlk-e2e-no-such-drive\\Startup";
  RegSetValueExW(k, L"Common Startup", 0, REG_SZ, reinterpret_cast<const BYTE*>(away.c_str()),
                 static_cast<DWORD>((away.size() + 1) * sizeof(wchar_t)));
  PressStartupTwice(created);
  if (had) RegSetValueExW(k, L"Common Startup", 0, type, reinterpret_cast<const BYTE*>(saved), size);
  else RegDeleteValueW(k, L"Common Startup");
  RegCloseKey(k);
  Check(SameFile(LinkTarget(own), trayExe), "without the machine's folder the link goes to the user's own");
  DeleteFileW(own.c_str());
}

void HelpTellsOfAMissingFileWithItsFullPath() {
  std::wstring chm = trayExe;
  chm.erase(chm.find_last_of(L'\\') + 1);
  chm += L"QlkTray.chm";
  const std::wstring aside = chm + L".e2e-aside";
  Check(GetFileAttributesW(chm.c_str()) != INVALID_FILE_ATTRIBUTES, "the build put QlkTray.chm beside QlkTray.exe");
  MoveFileExW(chm.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
  CommandAsync(CMD_HelpContents);
  const std::wstring told = NextBox(IDOK, 10000);
  MoveFileExW(aside.c_str(), chm.c_str(), MOVEFILE_REPLACE_EXISTING);
  Check(told == L"ヘルプファイルがありません：" + chm, "目次 names the full path of the missing file: " + Utf8(told));
}

void AboutBoxShowsItsVersionAndLinks() {
  CommandAsync(CMD_About);
  HWND d = WaitDialog(L"バージョン情報");
  Check(d != nullptr, "the about box opens");
  if (!d) return;
  DWORD size = GetFileVersionInfoSizeW(trayExe.c_str(), nullptr);
  std::vector<BYTE> info(size ? size : 1);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  std::wstring version = L"?";
  if (size && GetFileVersionInfoW(trayExe.c_str(), 0, size, info.data()) &&
      VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) && fixed)
    version = std::to_wstring(HIWORD(fixed->dwProductVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwProductVersionMS));
  Check(ChildText(d, 1002) == L"Quenlark Tray Version " + version, "the version text: " + Utf8(ChildText(d, 1002)));
  Check(ChildText(d, 156) == L"https://www.korvu.example/", "the site's link: " + Utf8(ChildText(d, 156)));
  Check(ChildText(d, 155) == L"support@korvu.example", "the mail link: " + Utf8(ChildText(d, 155)));
  Check((GetWindowLongW(GetDlgItem(d, 156), GWL_STYLE) & SS_NOTIFY) != 0, "the links take clicks");
  Press(d, IDOK);
  WaitGone(d);
  Check(!IsWindow(d) || !IsWindowVisible(d), "OK closes it");
}

const Test kTests[] = {
    {"IconIsShownAndTheWindowIsHidden", IconIsShownAndTheWindowIsHidden},
    {"MenuIsBuiltFromTheResourceEveryTime", MenuIsBuiltFromTheResourceEveryTime},
    {"SingleClickOpensTheMenuAfterTheDoubleClickTime", SingleClickOpensTheMenuAfterTheDoubleClickTime},
    {"RightClickOpensTheMenuAtOnce", RightClickOpensTheMenuAtOnce},
    {"DoubleClickStartsTheProgramAndNeverOpensTheMenu", DoubleClickStartsTheProgramAndNeverOpensTheMenu},
    {"SelectAllRoundTripsBytesExactly", SelectAllRoundTripsBytesExactly},
    {"CopyStoresOnlyTheTargetLines", CopyStoresOnlyTheTargetLines},
    {"CarriedCharactersSurviveACommand", CarriedCharactersSurviveACommand},
    {"TooManyForeignCharactersAskAndCancelKeepsThem", TooManyForeignCharactersAskAndCancelKeepsThem},
    {"JisFormsAreReadWithoutAQuestion", JisFormsAreReadWithoutAQuestion},
    {"SettingsOkWritesTheKeysAndCancelWritesNothing", SettingsOkWritesTheKeysAndCancelWritesNothing},
    {"FoldAsksTheWidthAndFoldsTheClipboard", FoldAsksTheWidthAndFoldsTheClipboard},
    {"RulesDialogFromTheSettingsDrivesTheFold", RulesDialogFromTheSettingsDrivesTheFold},
    {"CodeCommandsConvertTheClipboard", CodeCommandsConvertTheClipboard},
    {"WidthAndCaseCommandsConvertTheClipboard", WidthAndCaseCommandsConvertTheClipboard},
    {"ReplaceThroughTheDialogAndTheRealClipboard", ReplaceThroughTheDialogAndTheRealClipboard},
    {"RegexOptionSelectsReplacesAndDeletes", RegexOptionSelectsReplacesAndDeletes, true},
    {"EnclosingReplaceRefusesAnEmptyStartAndStaysOpen", EnclosingReplaceRefusesAnEmptyStartAndStaysOpen},
    {"SortAndDuplicateCommandsChangeTheClipboard", SortAndDuplicateCommandsChangeTheClipboard},
    {"TransferCommandsConvertTheClipboard", TransferCommandsConvertTheClipboard},
    {"VerifyAsksAndCancelLeavesTheClipboard", VerifyAsksAndCancelLeavesTheClipboard},
    {"AClipboardHeldByAnotherProgramIsReportedAndChangesNothing", AClipboardHeldByAnotherProgramIsReportedAndChangesNothing},
    {"APictureOnTheClipboardIsKept", APictureOnTheClipboardIsKept},
    {"ASettingOfTheWrongTypeCountsAsUnset", ASettingOfTheWrongTypeCountsAsUnset},
    {"ABinaryMacroFileLeavesTheText", ABinaryMacroFileLeavesTheText},
    {"TwoThousandCommandsGrowNothing", TwoThousandCommandsGrowNothing},
    {"AFiftyMegabyteLineConvertsWhole", AFiftyMegabyteLineConvertsWhole},

    {"MacroMenuIsEditedInItsDialogAndRunsFromTheMenu", MacroMenuIsEditedInItsDialogAndRunsFromTheMenu},
    {"AMacroIsAppliedToTwoFiles", AMacroIsAppliedToTwoFiles},
    {"CustomEntriesStandOnTopAndSurviveARestart", CustomEntriesStandOnTopAndSurviveARestart},
    {"HotKeysAreBoundInTheirDialogAndRunOnTheClipboard", HotKeysAreBoundInTheirDialogAndRunOnTheClipboard},
    {"AutoPasteReplacesTheSelectionInAnotherWindow", AutoPasteReplacesTheSelectionInAnotherWindow},
    {"TheUnicodeFormOfAStoreIsNeverLost", TheUnicodeFormOfAStoreIsNeverLost},
    {"MultiFileReplaceRewritesTheFolderAndReports", MultiFileReplaceRewritesTheFolderAndReports},
    {"CountDialogShowsTheFigures", CountDialogShowsTheFigures},
    {"FullEditTakesALargeTextBackWhole", FullEditTakesALargeTextBackWhole},
    {"EditorIsChosenInItsDialogAndStarted", EditorIsChosenInItsDialogAndStarted},
    {"DoubleClickStartsTheFullEditorFromTheMachineKey", DoubleClickStartsTheFullEditorFromTheMachineKey},
    {"StartupShortcutIsWrittenAndOverwritten", StartupShortcutIsWrittenAndOverwritten},
    {"HelpTellsOfAMissingFileWithItsFullPath", HelpTellsOfAMissingFileWithItsFullPath},
    {"AboutBoxShowsItsVersionAndLinks", AboutBoxShowsItsVersionAndLinks},
};

// ---------------------------------------------------------------- the update check

std::string ReadAll(const std::wstring& p) {
  std::string out;
  HANDLE f = CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n) out.append(buf, n);
  CloseHandle(f);
  return out;
}

std::wstring updateBase;  // the test server, http://127.0.0.1:PORT

bool Exists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Files left in the download folders the tray makes under %TEMP%.
int DownloadedFiles() {
  int n = 0;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(TempPath(L"QlkTray-*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    WIN32_FIND_DATAW inner;
    HANDLE g = FindFirstFileW((TempPath(fd.cFileName) + L"\\*").c_str(), &inner);
    if (g == INVALID_HANDLE_VALUE) continue;
    do n += !(inner.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileW(g, &inner));
    FindClose(g);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return n;
}

void UseScenario(const wchar_t* name) {
  SetText(L"Update", L"Url", updateBase + L"/" + name + L"/update.xml");
  DeleteFileW(SetupMarker().c_str());
}


// The menu command, answered Yes.
void AskForTheCheck() {
  CommandAsync(CMD_UpdateCheck);
  std::wstring q = NextBox(IDYES);
  Check(q == L"このソフトが最新版かどうか確認しますか？\r\n注：インターネットに接続していることが必要です" ||
            q == L"このソフトが最新版かどうか確認しますか？\n注：インターネットに接続していることが必要です",
        "the command asks first");
}

// Follows a progress dialog to its end; whether it counted bytes on the way.
bool FollowProgress(HWND d) {
  bool partial = false;
  while (IsWindow(d) && IsWindowVisible(d)) {
    std::wstring t = ChildText(d, 1001);
    LRESULT pos = SendMessageW(GetDlgItem(d, 269), PBM_GETPOS, 0, 0);
    LRESULT top = SendMessageW(GetDlgItem(d, 269), PBM_GETRANGE, FALSE, 0);
    if (pos > 0 && pos < top && t.find(L"バイト") != std::wstring::npos) partial = true;
    Sleep(30);
  }
  return partial;
}

bool WaitTrayEnd(DWORD ms) {
  if (!tray.hProcess || WaitForSingleObject(tray.hProcess, ms) != WAIT_OBJECT_0) return false;
  CloseHandle(tray.hProcess);
  CloseHandle(tray.hThread);
  tray = {};
  return true;
}

void ManualCheckOffersANewerReleaseAndStartsIt() {
  UseScenario(L"newer");
  AskForTheCheck();
  HWND offer = WaitDialog(L"更新がありました");
  Check(offer != nullptr, "the offer opens");
  if (!offer) return;
  Check(ChildText(offer, 223) == L"1.50", "it shows the version");
  Check(ChildText(offer, 139) == L"2099/01/01", "the date");
  Check(ChildText(offer, 140) == L"新しい版です\r\n二行目", "and the message");
  Press(offer, IDOK);
  HWND progress = WaitDialog(L"ダウンロード");
  Check(progress != nullptr, "the progress dialog opens");
  if (progress) {
    Check(ChildText(progress, 156) == L"QlkSetup.exe", "it names the file");
    Check(FollowProgress(progress), "it counts the bytes on the way");
  }
  Check(WaitTrayEnd(15000), "the tray ends after starting the setup");
  bool ran = false;
  for (int i = 0; i < 100 && !ran; ++i, Sleep(100)) ran = Exists(SetupMarker());
  Check(ran, "the setup ran");
  const std::string marker = ReadAll(SetupMarker());
  const std::wstring commandLine(reinterpret_cast<const wchar_t*>(marker.data()), marker.size() / sizeof(wchar_t));
  Check(commandLine.ends_with(L" /S /START"), "silently, starting the new version after: " + Utf8(commandLine));
  std::wstring setup = GetText(L"Update", L"RecentSetupFile");
  Check(setup.rfind(TempPath(L"QlkTray-"), 0) == 0 && Exists(setup), "RecentSetupFile names it in its own folder");
  // The next start deletes it.
  SetInt(L"Update", L"CheckMode", 0);
  Check(StartTray(trayExe, tray), "the tray starts again");
  Check(!setup.empty() && !Exists(setup), "and deletes the setup program");
}

void ChangedInformationIsRefused() {
  UseScenario(L"changed");
  AskForTheCheck();
  Check(NextBox(IDOK) == L"アップデート情報の署名を確認できません", "a changed file fails its signature");
  Check(NextBox(IDOK, 1500).empty(), "nothing else follows");
  Check(!TrayTopLevel(L"#32770", L"更新がありました"), "no offer");
}

void ASetupWithAnotherHashNeverRuns() {
  UseScenario(L"badhash");
  AskForTheCheck();
  HWND offer = WaitDialog(L"更新がありました");
  Check(offer != nullptr, "the offer opens");
  if (!offer) return;
  Press(offer, IDOK);
  Check(NextBox(IDOK, 30000) == L"ダウンロードしたファイルを確認できません", "the download is refused");
  Check(DownloadedFiles() == 0, "and deleted");
  Sleep(1000);
  Check(!Exists(SetupMarker()), "nothing ran");
}

void CancelDeletesThePartialFile() {
  UseScenario(L"cancel");
  AskForTheCheck();
  HWND offer = WaitDialog(L"更新がありました");
  if (!offer) return Check(false, "the offer opens");
  Press(offer, IDOK);
  HWND progress = WaitDialog(L"ダウンロード");
  if (!progress) return Check(false, "the progress dialog opens");
  for (int i = 0; i < 200 && ChildText(progress, 1001).rfind(L"0/", 0) == 0; ++i) Sleep(50);
  Press(progress, 1003);
  Check(NextBox(IDOK) == L"中止しますか？", "Cancel asks");
  Check(NextBox(IDOK) == L"ダウンロードに失敗しました", "then the download fails");
  Check(DownloadedFiles() == 0, "and the partial file is gone");
  Check(!Exists(SetupMarker()), "nothing ran");
}

void MissingInformationAndAnOlderRelease() {
  UseScenario(L"missing");
  AskForTheCheck();
  Check(NextBox(IDOK) == L"アップデート情報のダウンロードに失敗しました", "404 fails the download");
  Check(NextBox(IDOK, 1500).empty(), "without a second message");
  UseScenario(L"older");
  AskForTheCheck();
  Check(NextBox(IDOK) == L"現在お使いのバージョンが最新版です", "an older release is no update");
  Check(GetInt(L"Update", L"Year", 0) >= 2024, "the check was counted");
}

void StartupCheckEndsTheProgramAfterStartingTheSetup() {
  ExitTray();
  UseScenario(L"newer");
  SetInt(L"Update", L"CheckMode", 1);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring cmd = L"\"" + trayExe + L"\"";
  Check(CreateProcessW(trayExe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &tray) != 0, "started");
  HWND offer = WaitDialog(L"更新がありました");
  Check(offer != nullptr, "the start-up check offers the release");
  Check(TrayWindow() == nullptr, "before any icon");
  if (!offer) return;
  Press(offer, IDOK);
  Check(WaitTrayEnd(30000), "the program ends");
  bool ran = false;
  for (int i = 0; i < 100 && !ran; ++i, Sleep(100)) ran = Exists(SetupMarker());
  Check(ran, "after starting the setup");
  SetInt(L"Update", L"CheckMode", 0);
  Check(StartTray(trayExe, tray), "the tray starts again");
}

const Test kUpdateTests[] = {
    {"ManualCheckOffersANewerReleaseAndStartsIt", ManualCheckOffersANewerReleaseAndStartsIt},
    {"ChangedInformationIsRefused", ChangedInformationIsRefused},
    {"ASetupWithAnotherHashNeverRuns", ASetupWithAnotherHashNeverRuns},
    {"CancelDeletesThePartialFile", CancelDeletesThePartialFile},
    {"MissingInformationAndAnOlderRelease", MissingInformationAndAnOlderRelease},
    {"StartupCheckEndsTheProgramAfterStartingTheSetup", StartupCheckEndsTheProgramAfterStartingTheSetup},
};

template <size_t N>
int Suite(const Test (&tests)[N], const std::wstring& url = L"") {
  ClearProfile();
  if (!url.empty()) SetText(L"Update", L"Url", url);
  if (!StartTray(trayExe, tray)) {
    std::printf("[  FAILED  ] the tray did not start\n");
    return 1;
  }
  int failedTests = 0;
  size_t ran = 0;
  for (const Test& t : tests) {
    if (regexOnly && !t.regex) continue;
    if (!onlyNamed.empty() && !Named(t.name)) continue;
    ++ran;
    int before = failures;
    std::printf("[ RUN      ] e2e.%s\n", t.name);
    std::fflush(stdout);
    t.run();
    CloseMenus();
    CancelAll();
    bool ok = failures == before;
    failedTests += ok ? 0 : 1;
    std::printf("[ %s ] e2e.%s\n", ok ? "      OK" : " FAILED ", t.name);
    std::fflush(stdout);
  }
  std::printf("[ RUN      ] e2e.ExitRemovesTheIconAndEndsTheProcess\n");
  bool exited = ExitTray();
  ++checks;
  if (!exited) ++failedTests;
  std::printf("[ %s ] e2e.ExitRemovesTheIconAndEndsTheProcess\n", exited ? "      OK" : " FAILED ");
  size_t total = ran + 1;
  std::printf("[==========] %zu end-to-end tests ran (%d checks).\n", total, checks);
  if (failedTests == 0) std::printf("[  PASSED  ] %zu tests.\n", total);
  else std::printf("[  FAILED  ] %d tests.\n", failedTests);
  ClearProfile();
  return failedTests ? 1 : 0;
}

// ---------------------------------------------------------------- the setup program

constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QlkTray";


std::wstring InstallDir() { return ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Quenlark Tray"; }
std::wstring Installed(const wchar_t* name) { return InstallDir() + L"\\" + name; }
std::wstring StartMenuLink() { return ShellFolder(CSIDL_PROGRAMS) + L"\\Quenlark Tray.lnk"; }
std::wstring StartupLink() { return ShellFolder(CSIDL_STARTUP) + L"\\Quenlark Tray.lnk"; }


void WriteAll(const std::wstring& p, const std::string& bytes) {
  HANDLE f = CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  CloseHandle(f);
}

// Runs a command line and waits for it: its exit code, or -1 when it did not start or end.
long RunAndWait(std::wstring cmd) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return static_cast<long>(code);
}

std::wstring RegText(HKEY root, const wchar_t* key, const wchar_t* name) {
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf - sizeof(wchar_t);
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return L"<missing>";
  return buf;
}

bool KeyExists(HKEY root, const wchar_t* key) {
  HKEY k;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

// Every value of the profile with its type and data.
std::map<std::wstring, std::string> ProfileSnapshot() {
  std::map<std::wstring, std::string> out;
  for (const std::wstring& v : ProfileValues()) {
    size_t slash = v.find(L'/');
    std::wstring key = std::wstring(kKey) + L"\\" + v.substr(0, slash);
    BYTE data[4096];
    DWORD type = 0, size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), v.substr(slash + 1).c_str(), RRF_RT_ANY, &type, data, &size) == ERROR_SUCCESS)
      out[v] = std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), size);
  }
  return out;
}

// The program a shortcut starts, or empty.

// A text of a program's version resource, such as "ProductVersion".
std::wstring VersionText(const std::wstring& exe, const wchar_t* name) {
  DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  if (!size) return L"<none>";
  std::vector<BYTE> info(size);
  if (!GetFileVersionInfoW(exe.c_str(), 0, size, info.data())) return L"<none>";
  wchar_t* text = nullptr;
  UINT len = 0;
  std::wstring sub = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
  if (!VerQueryValueW(info.data(), sub.c_str(), reinterpret_cast<void**>(&text), &len) || !text) return L"<none>";
  return text;
}

// The application manifest a program carries.
std::string Manifest(const std::wstring& exe) {
  HMODULE m = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!m) return "";
  std::string text;
  if (HRSRC r = FindResourceW(m, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)))
    if (HGLOBAL g = LoadResource(m, r)) text.assign(static_cast<const char*>(LockResource(g)), SizeofResource(m, r));
  FreeLibrary(m);
  return text;
}

// Waits until a path is gone: the uninstaller goes on in a copy of itself after it returns.
bool WaitGone(const std::wstring& p, DWORD ms) {
  DWORD end = GetTickCount() + ms;
  while (Exists(p)) {
    if (GetTickCount() > end) return false;
    Sleep(100);
  }
  return true;
}

struct SetupState {
  std::wstring setup, version;
  std::string readme;                          // as the first install put it
  std::map<std::wstring, std::string> profile;  // before the upgrade
} setupRun;

const wchar_t* const kInstalledFiles[] = {L"QlkTray.exe", L"qlark.exe", L"Readme.txt", L"QlkTray.chm", L"Uninstall.exe"};

void SilentInstallPutsFilesShortcutAndEntryWithoutElevation() {
  std::string manifest = Manifest(setupRun.setup);
  Check(manifest.find("level=\"asInvoker\"") != std::string::npos, "the setup program asks for no elevation");
  Check(RunAndWait(L"\"" + setupRun.setup + L"\" /S") == 0, "the silent install succeeds");
  for (const wchar_t* f : kInstalledFiles) Check(Exists(Installed(f)), "installed: " + Utf8(Installed(f)));
  setupRun.readme = ReadAll(Installed(L"Readme.txt"));
  Check(LinkTarget(StartMenuLink()) == Installed(L"QlkTray.exe"), "the Start-menu shortcut starts the installed program");
  Check(!Exists(StartupLink()), "no start-up shortcut unless chosen");
  const struct {
    const wchar_t* name;
    std::wstring want;
  } entry[] = {
      {L"DisplayName", L"Quenlark Tray"},
      {L"DisplayVersion", setupRun.version},
      {L"Publisher", L"Korvu"},
      {L"DisplayIcon", Installed(L"QlkTray.exe") + L",0"},
      {L"InstallLocation", InstallDir()},
      {L"UninstallString", L"\"" + Installed(L"Uninstall.exe") + L"\""},
  };
  for (const auto& e : entry)
    Check(RegText(HKEY_CURRENT_USER, kUninstallKey, e.name) == e.want,
          "uninstall entry " + Utf8(e.name) + " is " + Utf8(e.want) + ", not " + Utf8(RegText(HKEY_CURRENT_USER, kUninstallKey, e.name)));
  DWORD size = 0, bytes = sizeof size;
  RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size, &bytes);
  size_t files = 0;
  for (const wchar_t* f : kInstalledFiles) files += ReadAll(Installed(f)).size();
  Check(size >= files / 1024 && size <= files / 1024 + 16, "the entry's size is the installed files' size in KiB");
  Check(!KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), "nothing is registered for all users");
  for (const wchar_t* exe : {L"QlkTray.exe", L"qlark.exe"}) {
    Check(VersionText(Installed(exe), L"ProductVersion") == setupRun.version, Utf8(exe) + " carries the version");
    Check(VersionText(Installed(exe), L"OriginalFilename") == exe, Utf8(exe) + " names itself");
  }
}

void InstalledTrayAddsItsIcon() {
  trayExe = Installed(L"QlkTray.exe");
  Check(StartTray(trayExe, tray), "the installed program starts");
  for (int i = 0; i < 100 && Ask("icon") != 1; ++i) Sleep(100);
  Check(Ask("icon") == 1, "its icon is in the notification area");
}

void InstallOverTheRunningCopyReplacesItAndKeepsTheSettings() {
  SetInt(L"System", L"Verify", 1);
  SetText(L"System", L"Editor", L"C:\\エディタ\\edit.exe");
  // Never at start-up: a due check would ask the real site before the icon comes.
  SetInt(L"Update", L"CheckMode", 0);
  setupRun.profile = ProfileSnapshot();
  HANDLE old = OpenProcess(SYNCHRONIZE, FALSE, TrayPid());
  const DWORD oldPid = TrayPid();
  WriteAll(Installed(L"Readme.txt"), "changed since the install");
  // A start-up shortcut made by an earlier install: the upgrade keeps that choice.
  WriteAll(StartupLink(), "");
  Check(RunAndWait(L"\"" + setupRun.setup + L"\" /S") == 0, "installing again succeeds");
  Check(WaitForSingleObject(old, 0) == WAIT_OBJECT_0, "the running copy was asked to end, and ended");
  CloseHandle(old);
  Check(ReadAll(Installed(L"Readme.txt")) == setupRun.readme, "the installed files are replaced");
  Check(WaitFor(TrayWindow, 15000) != nullptr && TrayPid() != oldPid, "the program runs again after a silent upgrade");
  for (int i = 0; i < 100 && Ask("icon") != 1; ++i) Sleep(100);
  Check(Ask("icon") == 1, "with its icon");
  Check(ProfileSnapshot() == setupRun.profile, "the settings are as they were");
  Check(LinkTarget(StartupLink()) == Installed(L"QlkTray.exe"), "the start-up shortcut starts the installed program");
}

void SilentUninstallRemovesAllButTheSettings() {
  std::wstring quiet = RegText(HKEY_CURRENT_USER, kUninstallKey, L"QuietUninstallString");
  HANDLE running = OpenProcess(SYNCHRONIZE, FALSE, TrayPid());
  Check(RunAndWait(quiet) == 0, "the registered silent uninstall succeeds");
  Check(WaitGone(InstallDir(), 20000), "the install folder is removed");
  Check(running && WaitForSingleObject(running, 0) == WAIT_OBJECT_0, "the running copy was asked to end, and ended");
  if (running) CloseHandle(running);
  Check(!Exists(StartMenuLink()), "the Start-menu shortcut is removed");
  Check(!Exists(StartupLink()), "the start-up shortcut is removed");
  Check(!KeyExists(HKEY_CURRENT_USER, kUninstallKey), "the uninstall entry is removed");
  Check(ProfileSnapshot() == setupRun.profile, "the settings are kept");
}

// Leaves no install of an earlier run behind: the prefix is kept between runs.
void RemoveEarlierInstall() {
  std::wstring quiet = RegText(HKEY_CURRENT_USER, kUninstallKey, L"QuietUninstallString");
  if (quiet != L"<missing>") RunAndWait(quiet);
  WaitGone(InstallDir(), 20000);
  DeleteFileW(StartupLink().c_str());
  ClearProfile();
}

// Runs the steps in order, each after the one before, with a summary; 0 when all pass.
template <size_t N>
int Steps(const char* suite, const Test (&steps)[N]) {
  int failed = 0;
  for (const Test& t : steps) {
    int before = failures;
    std::printf("[ RUN      ] %s.%s\n", suite, t.name);
    std::fflush(stdout);
    t.run();
    failed += failures == before ? 0 : 1;
    std::printf("[ %s ] %s.%s\n", failures == before ? "      OK" : " FAILED ", suite, t.name);
    std::fflush(stdout);
  }
  std::printf("[==========] %zu %s tests ran (%d checks).\n", N, suite, checks);
  if (failed == 0) std::printf("[  PASSED  ] %zu tests.\n", N);
  else std::printf("[  FAILED  ] %d tests.\n", failed);
  return failed ? 1 : 0;
}

int SetupSuite() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  RemoveEarlierInstall();
  const Test steps[] = {
      {"SilentInstallPutsFilesShortcutAndEntryWithoutElevation", SilentInstallPutsFilesShortcutAndEntryWithoutElevation},
      {"InstalledTrayAddsItsIcon", InstalledTrayAddsItsIcon},
      {"InstallOverTheRunningCopyReplacesItAndKeepsTheSettings", InstallOverTheRunningCopyReplacesItAndKeepsTheSettings},
      {"SilentUninstallRemovesAllButTheSettings", SilentUninstallRemovesAllButTheSettings},
  };
  int rc = Steps("setup", steps);
  RemoveEarlierInstall();
  return rc;
}

// ---------------------------------------------------------------- an update that installs

// The setup program of this version (with the tests' key) is installed as an earlier release;
// the release after it, made by tools/release and served by the test server, is what the
// installed program's own update check finds, downloads, checks and runs.
struct ReleaseState {
  std::wstring setup, version, next, url;
  std::map<std::wstring, std::string> profile;  // before the update, without [Update]
} releaseRun;

// The profile's values other than those of [Update], which the check itself writes.
std::map<std::wstring, std::string> SettingsBesidesUpdate() {
  std::map<std::wstring, std::string> all = ProfileSnapshot();
  std::erase_if(all, [](const auto& v) { return v.first.rfind(L"Update/", 0) == 0; });
  return all;
}

bool SetWriteYear(const std::wstring& path, WORD year) {
  HANDLE f = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = st.wDay = 1;
  FILETIME ft;
  bool ok = SystemTimeToFileTime(&st, &ft) && SetFileTime(f, nullptr, nullptr, &ft);
  CloseHandle(f);
  return ok;
}

// ---------------------------------------------------------------- screenshots

// Writes the screen's pixels inside `r` as a 24-bit BMP file (run.sh turns it into PNG).
bool Capture(const RECT& r, const std::wstring& path) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  std::vector<BYTE> pixels(stride * static_cast<DWORD>(h));
  GetDIBits(mem, bmp, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER bf{};
  bf.bfType = 0x4D42;
  bf.bfOffBits = sizeof bf + sizeof bi;
  bf.bfSize = bf.bfOffBits + static_cast<DWORD>(pixels.size());
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  bool ok = WriteFile(f, &bf, sizeof bf, &n, nullptr) && WriteFile(f, &bi, sizeof bi, &n, nullptr) &&
            WriteFile(f, pixels.data(), static_cast<DWORD>(pixels.size()), &n, nullptr);
  CloseHandle(f);
  return ok;
}

std::wstring ProcessImage(DWORD pid) {
  wchar_t path[MAX_PATH] = {};
  DWORD n = MAX_PATH;
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!h) return L"";
  if (!QueryFullProcessImageNameW(h, 0, path, &n)) path[0] = 0;
  CloseHandle(h);
  return path;
}

void AnEarlierReleaseIsInstalledAndRunning() {
  Check(RunAndWait(L"\"" + releaseRun.setup + L"\" /S") == 0, "the earlier release installs silently");
  Check(VersionText(Installed(L"QlkTray.exe"), L"ProductVersion") == releaseRun.version, "as version " + Utf8(releaseRun.version));
  // Installed long ago: the check offers a release dated after the program file.
  Check(SetWriteYear(Installed(L"QlkTray.exe"), 2020), "its program file dates from 2020");
  SetText(L"Update", L"Url", releaseRun.url);
  SetInt(L"Update", L"CheckMode", 0);
  SetInt(L"System", L"Verify", 1);
  SetText(L"System", L"Editor", L"C:\\エディタ\\edit.exe");
  releaseRun.profile = SettingsBesidesUpdate();
  trayExe = Installed(L"QlkTray.exe");
  Check(StartTray(trayExe, tray), "the installed program starts");
}

void ManualCheckInstallsTheReleaseAndStartsIt() {
  const DWORD oldPid = TrayPid();
  AskForTheCheck();
  HWND offer = WaitDialog(L"更新がありました", 30000);
  Check(offer != nullptr, "the release is offered");
  if (!offer) return;
  Check(ChildText(offer, 223) == releaseRun.next, "as version " + Utf8(releaseRun.next) + ", not " + Utf8(ChildText(offer, 223)));
  Press(offer, IDOK);
  Check(WaitTrayEnd(60000), "the running program ends for the setup");
  HWND w = WaitFor(
      [oldPid] {
        DWORD pid = 0;
        HWND h = TrayWindow();
        if (h) GetWindowThreadProcessId(h, &pid);
        return pid && pid != oldPid ? h : nullptr;
      },
      90000);
  Check(w != nullptr, "a program starts after the install");
  Check(lstrcmpiW(ProcessImage(TrayPid()).c_str(), Installed(L"QlkTray.exe").c_str()) == 0,
        "from the install folder, not " + Utf8(ProcessImage(TrayPid())));
  Check(VersionText(Installed(L"QlkTray.exe"), L"ProductVersion") == releaseRun.next, "the installed program is the new version");
  Check(RegText(HKEY_CURRENT_USER, kUninstallKey, L"DisplayVersion") == releaseRun.next, "so is its uninstall entry");
  for (int i = 0; i < 100 && Ask("icon") != 1; ++i) Sleep(100);
  Check(Ask("icon") == 1, "it adds its icon");
  Check(SettingsBesidesUpdate() == releaseRun.profile, "the settings are as they were");
  Check(GetText(L"Update", L"Url") == releaseRun.url, "the update address too");
}

int ReleaseSuite() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  RemoveEarlierInstall();
  const Test steps[] = {
      {"AnEarlierReleaseIsInstalledAndRunning", AnEarlierReleaseIsInstalledAndRunning},
      {"ManualCheckInstallsTheReleaseAndStartsIt", ManualCheckInstallsTheReleaseAndStartsIt},
  };
  int rc = Steps("release", steps);
  RemoveEarlierInstall();
  return rc;
}

// A visible top-level window with the title, of any process, other than `besides`.
HWND WindowTitled(const std::wstring& title, HWND besides = nullptr) {
  struct Ctx {
    const std::wstring& title;
    HWND besides, found;
  } ctx{title, besides, nullptr};
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(lp);
        wchar_t text[256] = {};
        GetWindowTextW(h, text, 256);
        if (h == c->besides || !IsWindowVisible(h) || c->title != text) return TRUE;
        c->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&ctx));
  return ctx.found;
}

RECT Screen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// How a screenshot is brought about: what opens the window, its title (a dialog or box of the
// tray's), what answers it afterwards.
struct Shot {
  const char* name;  // the file, without .bmp
  std::function<void()> open;
  const wchar_t* title;  // nullptr: the whole screen once a menu is open
  std::function<void(HWND)> close;
  bool update = false;  // of the update check: only with a server to ask
};

void Dismiss(HWND w) {
  PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
  Settle();
}

// Opens the replace dialog on `text` and answers it so that a message box follows.
void ReplaceAndAnswer(const std::string& text, const wchar_t* search, bool regex) {
  PutBytes(text);
  CommandAsync(CMD_Replace);
  HWND d = WaitFor([] { return TrayTopLevel(L"#32770", L"置換"); }, 5000);
  if (!d) return;
  SetDlgItemTextW(d, 1000, search);
  CheckDlgButton(d, 1005, regex ? BST_CHECKED : BST_UNCHECKED);
  Press(d, IDOK);
}

// Two macro entries and the macro to apply, as the macro dialogs show them.
void MacroEntries() {
  SetInt(L"DirMenu", L"DirNo", 2);
  SetText(L"DirMenu", L"Name00", L"逆順");
  SetText(L"DirMenu", L"Dir00", L"C:\\macros\\rev.qmc");
  SetText(L"DirMenu", L"Name01", L"大文字");
  SetText(L"DirMenu", L"Dir01", L"C:\\macros\\up.qmc");
  SetText(L"MacroExe", L"MaroName", L"C:\\macros\\up.qmc");
}

// Three custom entries: 全て選択, 先頭の空白を削除 and 全て変換.
void CustomEntries() {
  const std::wstring file = TempPath(L"qlk-e2e-shots-QLarkRMenu.dat");
  WriteBytes(file, std::string("\x03\0\0\0\x22\x80\0\0\x1D\x80\0\0\x3D\x80\0\0", 16));
  SetText(L"System", L"RMenu", file);
}

// Two hotkeys in the profile, read at start-up: Ctrl+Alt+Z for 全て変換, Win+Shift+F1 opening
// the menu with automatic paste.
void HotKeyEntries() {
  SetInt(L"HotKey", L"nCount", 2);
  SetInt(L"HotKey", L"Key00", (MOD_CONTROL | MOD_ALT) << 16 | 'Z');
  SetInt(L"HotKey", L"Cmd00", 32829);
  SetInt(L"HotKey", L"bPaste00", 1);
  SetInt(L"HotKey", L"Key01", (MOD_WIN | MOD_SHIFT) << 16 | VK_F1);
  SetInt(L"HotKey", L"Cmd01", 0);
  SetInt(L"HotKey", L"bPaste01", 0);
}

std::wstring updateUrl;  // a slow test server's information file: the update check's windows

// Starts the update check against updateUrl, answering its question Yes.
void StartTheCheck() {
  SetText(L"Update", L"Url", updateUrl);
  CommandAsync(CMD_UpdateCheck);
  NextBox(IDYES);
}

// Starts the check and accepts the offer: the download's progress opens.
void StartTheDownload() {
  StartTheCheck();
  if (HWND offer = WaitDialog(L"更新がありました")) Press(offer, IDOK);
}

const std::vector<Shot>& Shots() {
  static const std::vector<Shot> shots = {
      {"menu", [] { Icon(WM_RBUTTONUP); }, nullptr, [](HWND) {}},
      {"submenu",
       [] {
         Icon(WM_RBUTTONUP);
         WaitFor([] { return TrayTopLevel(L"#32768"); }, 5000);
         Key(VK_DOWN);
         Key(VK_RIGHT);
       },
       nullptr, [](HWND) {}},
      {"searchdlg", [] { CommandAsync(CMD_LineSelect); }, L"対象行指定", Dismiss},
      {"spaceinsdlg", [] { CommandAsync(CMD_SpaceInsert); }, L"空白の挿入", Dismiss},
      {"replacedlg", [] { CommandAsync(CMD_Replace); }, L"置換", Dismiss},
      {"sortdlg", [] { CommandAsync(CMD_Sort); }, L"整列", Dismiss},
      {"duplinedeldlg", [] { CommandAsync(CMD_DupLineDel); }, L"重複行削除", Dismiss},
      {"setdlg", [] { CommandAsync(CMD_Settings); }, L"設定", Dismiss},
      {"kinsokudlg",
       [] {
         CommandAsync(CMD_Settings);
         if (HWND set = WaitFor([] { return TrayTopLevel(L"#32770", L"設定"); }, 5000)) Press(set, 154);
       },
       L"折り返し時の禁則処理",
       [](HWND d) {
         Dismiss(d);
         if (HWND set = TrayTopLevel(L"#32770", L"設定")) Dismiss(set);
       }},
      {"aboutdlg", [] { CommandAsync(CMD_About); }, L"バージョン情報", Dismiss},
      {"multireplacedlg", [] { CommandAsync(CMD_MultiFileReplace); }, L"複数ファイル置換", Dismiss},
      {"countdlg",
       [] {
         PutBytes(Cp932(L"あア1a漢。\r\nwell-known words, 12345"));
         CommandAsync(CMD_CharCount);
       },
       L"文字数のカウント", Dismiss},
      {"texteditdlg",
       [] {
         PutBytes(Cp932(L"一行目\r\n二行目 second line\r\n三行目"));
         CommandAsync(CMD_EditAll);
       },
       L"テキスト編集", Dismiss},
      {"resultbox", [] { ReplaceAndAnswer("abc", L"zz", false); }, L"QlkTray", Dismiss},
      {"failurebox", [] { ReplaceAndAnswer("abc", L"(", true); }, L"QlkTray", Dismiss},
      {"questionbox",
       [] {
         SetInt(L"System", L"Verify", 1);
         PutBytes("abc");
         CommandAsync(CMD_HiraToKana);
       },
       L"QlkTray",
       [](HWND b) {
         Dismiss(b);
         SetInt(L"System", L"Verify", 0);
       }},
      {"macromenudlg",
       [] {
         MacroEntries();
         CommandAsync(CMD_MacroMenuEdit);
       },
       L"マクロメニューの編集", Dismiss},
      {"macroeditdlg",
       [] {
         MacroEntries();
         CommandAsync(CMD_MacroMenuEdit);
         if (HWND list = WaitDialog(L"マクロメニューの編集", 5000)) Press(list, 132);  // 編集, on the first entry
       },
       L"マクロメニュー編集",
       [](HWND d) {
         Dismiss(d);
         if (HWND list = TrayTopLevel(L"#32770", L"マクロメニューの編集")) Dismiss(list);
       }},
      {"macroexedlg",
       [] {
         MacroEntries();
         CommandAsync(CMD_MacroOverFiles);
       },
       L"指定ファイルにマクロを適用", Dismiss},
      {"editordlg", [] { CommandAsync(CMD_EditorSettings); }, L"エディタの設定", Dismiss},
      {"aboutdlg", [] { CommandAsync(CMD_About); }, L"バージョン情報", Dismiss},
      {"rmenucustdlg",
       [] {
         CustomEntries();
         CommandAsync(CMD_MenuCustomize);
       },
       L"右クリックメニューカスタマイズ", Dismiss},
      // The catalogue is read at start-up: the tray starts again with the custom entries.
      {"custommenu",
       [] {
         MacroEntries();
         CustomEntries();
         if (ExitTray() && StartTray(trayExe, tray)) Icon(WM_RBUTTONUP);
       },
       nullptr,
       [](HWND) {
         CloseMenus();
         SetText(L"System", L"RMenu", L"");
         if (ExitTray()) StartTray(trayExe, tray);
       }},
      {"hotkeydlg",
       [] {
         HotKeyEntries();
         if (ExitTray() && StartTray(trayExe, tray)) CommandAsync(CMD_HotKeySettings);
       },
       L"ホットキーの設定", Dismiss},
      // The first submenu, whose first command has a hotkey.
      {"hotkeymenu",
       [] {
         Icon(WM_RBUTTONUP);
         WaitFor([] { return TrayTopLevel(L"#32768"); }, 5000);
         Key(VK_DOWN);
         Key(VK_RIGHT);
       },
       nullptr,
       [](HWND) {
         CloseMenus();
         SetInt(L"HotKey", L"nCount", 0);
         if (ExitTray()) StartTray(trayExe, tray);
       }},
      {"updatecheck", StartTheCheck, L"更新確認中",
       [](HWND) {
         if (HWND offer = WaitDialog(L"更新がありました")) Dismiss(offer);
       },
       true},
      {"updateoffer", StartTheCheck, L"更新がありました", Dismiss, true},
      {"updateprogress", StartTheDownload, L"ダウンロード",
       [](HWND d) {
         Press(d, 1003);
         NextBox(IDOK);  // stop it?
         NextBox(IDOK);  // the download failed
       },
       true},
  };
  return shots;
}

// Takes the named screenshots (every one when none is named) into OUTDIR as BMP files, each
// of the window it is named after, with its title bar; the menus with the whole screen, so
// that the notification area shows too. Run inside a virtual desktop.
int TakeShots(const std::wstring& outDir, const std::vector<std::string>& only) {
  SetProcessDPIAware();  // the pixels of the screen, whatever its scale
  ClearProfile();
  if (!StartTray(trayExe, tray)) return 1;
  for (int i = 0; i < 100 && Ask("icon") != 1; ++i) Sleep(100);
  int missing = 0;
  for (const Shot& s : Shots()) {
    if (!only.empty() && std::find(only.begin(), only.end(), s.name) == only.end()) continue;
    if (s.update && updateUrl.empty()) continue;
    s.open();
    const wchar_t* title = s.title;
    HWND w = title ? WaitFor([title] { return TrayTopLevel(L"#32770", title); }, 5000)
                   : WaitFor([] { return TrayTopLevel(L"#32768"); }, 5000);
    Sleep(400);  // painted
    RECT r = Screen();
    if (w && title) GetWindowRect(w, &r);
    const std::wstring path = outDir + L"\\" + std::wstring(s.name, s.name + strlen(s.name)) + L".bmp";
    if (!w || !Capture(r, path)) {
      std::printf("screenshot %s: no window\n", s.name);
      ++missing;
    }
    if (w) s.close(w);
    CloseMenus();
    CancelAll();
  }
  ExitTray();
  ClearProfile();
  return missing ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  std::wstring verb = argv[1];
  if (verb == L"touch" && argc > 2) {
    HANDLE f = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    return 0;
  }
  if (verb == L"suite" && argc > 2) {
    trayExe = argv[2];
    if (argc > 3) expectedEngine = argv[3];
    regexOnly = argc > 4 && std::wstring(argv[4]) == L"regex";
    if (argc > 4 && !regexOnly) onlyNamed = Utf8(argv[4]);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the shortcut check reads a shell link
    return Suite(kTests);
  }
  if (verb == L"setup-suite" && argc > 3) {
    setupRun.setup = argv[2];
    setupRun.version = argv[3];
    return SetupSuite();
  }
  if (verb == L"release-suite" && argc > 5) {
    releaseRun.setup = argv[2];
    releaseRun.version = argv[3];
    releaseRun.next = argv[4];
    releaseRun.url = argv[5];
    return ReleaseSuite();
  }
  if ((verb == L"wait-window" || verb == L"close-window") && argc > 2) {
    std::wstring title = argv[2];
    // The virtual desktop comes with the program started on it, a moment after.
    HDESK desk = nullptr;
    for (int i = 0; argc > 3 && !desk && i < 150; ++i)
      if (!(desk = OpenDesktopW(argv[3], 0, FALSE, GENERIC_ALL))) Sleep(100);
    if (desk) SetThreadDesktop(desk);
    HWND w = WaitFor([&] { return WindowTitled(title); }, 15000);
    if (!w) return 1;
    if (verb == L"wait-window") return 0;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    // The question whether to stop: a box of the same process.
    for (int i = 0; i < 50 && WaitForSingleObject(h, 100) == WAIT_TIMEOUT; ++i)
      if (HWND box = WindowTitled(title, w)) PostMessageW(box, WM_COMMAND, IDYES, 0);
    bool ended = WaitForSingleObject(h, 5000) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ended ? 0 : 1;
  }
  if (verb == L"update-suite" && argc > 3) {
    trayExe = argv[2];
    updateBase = argv[3];
    return Suite(kUpdateTests, updateBase + L"/none/update.xml");
  }
  if (verb == L"shots" && argc > 3) {
    trayExe = argv[2];
    std::vector<std::string> only;
    for (int i = 4; i < argc; ++i) {
      if (std::wstring(argv[i]) == L"--url" && i + 1 < argc) updateUrl = argv[++i];
      else only.push_back(Utf8(argv[i]));
    }
    return TakeShots(argv[3], only);
  }
  return 2;
}
