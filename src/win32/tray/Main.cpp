// QlkTray.exe: the resident tray tool. CQlkTrayApp's start-up, then the message loop until
// the exit command destroys the main window.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "app/AppState.h"
#include "app/CustomMenu.h"
#include "platform/System.h"
#include "update/Update.h"
#include "win32/tray/TrayWnd.h"
#include "win32/tray/UpdateKey.h"

using namespace qlk;

namespace {

// The program file's full path, its folder (with the last backslash) and its base name.
struct ProgramPath {
  std::wstring full, folder, base;
  ProgramPath() {
    wchar_t buf[32768];
    DWORD n = GetModuleFileNameW(nullptr, buf, 32768);
    full.assign(buf, n);
    size_t slash = full.find_last_of(L"\\/");
    folder = full.substr(0, slash + 1);
    base = full.substr(slash + 1);
    if (size_t dot = base.rfind(L'.'); dot != std::wstring::npos) base.erase(dot);
  }
};

class CQlkTrayApp {
 public:
  bool InitInstance(HINSTANCE instance) {
    sys::Init();  // COM, for the regular-expression object and the shell link
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    ProgramPath prog;
    app_.helpPath = win::WideToUtf8(prog.folder + L"QlkTray.chm");
    // The profile lives under HKCU\Software\Korvu\<program base name>.
    cp_ = win::MakeCodePage();
    auto& cp = cp_;
    auto settings = win::MakeRegistrySettings(prog.base, *cp);
    // The update check keeps its state from start-up on; its seam and key serve the menu too.
    app_.update.Load(*settings);
    app_.update.productKey = "QlkTray";
    updateSystem_ = win::MakeUpdateSystem(*cp);
    app_.updateSystem = updateSystem_.get();
    app_.updateKeyPem = kUpdatePublicKeyPem;
    // The catalogue and the custom menu, for the whole run; the file may be held a moment.
    app_.appDataFolder = AppDataFolder(*cp);
    InitCustomMenu(app_, *settings, *win::MakeFiles(*cp), *cp, [] { Sleep(100); });
    // A setup program was started: end before any icon is shown, so that it can replace us.
    if (RunStartupUpdateCheck(*cp, *settings, prog.base)) return false;
    main_ = std::make_unique<win::CMainWnd>(app_, prog.base);
    return main_->Create(instance);
  }
  int Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    main_.reset();
    sys::Shutdown();
    return static_cast<int>(msg.wParam);
  }

 private:
  // The per-user application-data folder, where the custom menu goes when the program's
  // folder cannot be written (Windows 2000 on; none before).
  static std::string AppDataFolder(const ICodePage& cp) {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&v) || v.dwMajorVersion < 5) return {};
#pragma GCC diagnostic pop
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path))) return {};
    std::wstring w(path);
    return cp.FromUtf16(Charset::Sjis, std::u16string(w.begin(), w.end()));
  }
  bool RunStartupUpdateCheck(const ICodePage& cp, ISettings& settings, const std::wstring& appName) {
    auto files = win::MakeFiles(cp);
    auto shell = win::MakeShell(cp, nullptr);
    auto clock = sys::MakeClock();
    auto regex = win::MakeRegexFactory(cp);
    win::Win32Clipboard clipboard(cp, nullptr);
    win::Win32UI ui(cp, nullptr, appName);
    Platform p{clipboard, settings, const_cast<ICodePage&>(cp), *regex, ui, *files, *shell, *clock};
    return UpdateCheck(p, *updateSystem_, app_.update, app_.updateKeyPem).Startup() == 1;
  }

  std::unique_ptr<ICodePage> cp_;  // lives as long as the update seam that converts with it
  std::unique_ptr<IUpdateSystem> updateSystem_;
  AppState app_;
  std::unique_ptr<win::CMainWnd> main_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  CQlkTrayApp app;
  if (!app.InitInstance(instance)) return 0;
  return app.Run();
}
