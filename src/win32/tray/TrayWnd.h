#pragma once
// The hidden windows of the tray: CTrayWnd owns the notification icon and recognises clicks;
// CMainWnd adds the document, the menu and the commands.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <vector>
#include <string>

#include "app/AppState.h"
#include "macro/MainState.h"
#include "win32/platform/Win32Platform.h"

namespace qlk::win {

constexpr UINT kIconId = 100;
constexpr UINT kCallbackMessage = WM_USER + 500;  // 1524
constexpr UINT_PTR kClickTimer = 4;
constexpr int kIconResource = 128;
constexpr int kMenuResource = 128;
constexpr int kOptionsPosition = 12;      // of the options submenu in the popup

class CTrayWnd {
 public:
  virtual ~CTrayWnd();
  // The hidden tool window "TrayIconHandler".
  bool Create(HINSTANCE instance);
  HWND hwnd() const { return hwnd_; }
  // Adds (NIM_ADD) or deletes (NIM_DELETE) the icon; false when the shell refused.
  bool NotifyIcon(DWORD operation, HICON icon, const wchar_t* tip);
  bool IconShown() const { return iconShown_; }
  // A balloon of the icon with `text`; false when the shell took none.
  bool Balloon(const std::wstring& text);

 protected:
  virtual void OnCreate() {}
  virtual void OnTrayRButtonUp() {}
  virtual void OnTrayLButtonUp() {}
  virtual void OnTrayLButtonDblClk() {}
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  void OnCallback(LPARAM event);

  int doubleClick_ = 0;
  bool iconShown_ = false;
  HICON lastIcon_ = nullptr;  // the icon last given to the shell, not sent again unchanged
};

class CMainWnd final : public CTrayWnd {
 public:
  CMainWnd(AppState& app, std::wstring appName);
  ~CMainWnd() override;
  MainState& state() { return *state_; }

 protected:
  void OnCreate() override;
  void OnTrayRButtonUp() override { OnTrayLButtonUp(); }
  void OnTrayLButtonUp() override;
  void OnTrayLButtonDblClk() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnCommand(UINT id);
  HMENU BuildPopup(HMENU loaded);
  // Opens the popup at the pointer; with `runHere`, the chosen command runs before it returns.
  void ShowPopup(bool runHere);
  // The hotkeys: registered anew from app_.hotKeys (returning those another program holds),
  // all let go, one run.
  std::vector<HotKeyBinding> RegisterHotKeys();
  void UnregisterHotKeys();
  bool HotKeyFree(uint32_t mods, uint32_t vk);
  void RunHotKey(const HotKeyBinding& b);
  void AddIcon();
  void Exit();
  LRESULT OnCopyData(const COPYDATASTRUCT* cd);

  AppState& app_;
  std::wstring appName_;
  std::unique_ptr<ICodePage> cp_;
  std::unique_ptr<ISettings> settings_;
  std::unique_ptr<IRegexFactory> regex_;
  std::unique_ptr<IFiles> files_;
  std::unique_ptr<Win32Shell> shell_;
  std::unique_ptr<IClock> clock_;
  std::unique_ptr<Win32Clipboard> clipboard_;
  std::unique_ptr<Win32UI> ui_;
  std::unique_ptr<Platform> platform_;
  std::unique_ptr<MainState> state_;
  std::vector<HotKeyBinding> registered_;  // WM_HOTKEY identifier - 1 is the index
  UINT taskbarCreated_ = 0;
  UINT ping_ = 0;
  int iconTries_ = 0;
};

// While the shell's notification area is not there yet (early at log-on), adding the icon is
// tried again each second for a minute.
constexpr UINT_PTR kIconRetryTimer = 5;

}  // namespace qlk::win
