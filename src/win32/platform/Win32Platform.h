#pragma once
// Win32 implementations of the seams.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Internet.h"
#include "platform/Platform.h"

namespace qlk {
class Cp932Codec;
}

namespace qlk::win {

// Code page 932 always, never the system's: a Japanese user may run an English Windows.
constexpr UINT kCp932 = 932;

// The code page 932 tables of the process, which every conversion of the tray goes through.
const Cp932Codec& Codec932();
// Shift-JIS to UTF-16 and back through those tables (characters Shift-JIS cannot hold
// become '?', and *lossy says so).
std::wstring SjisToWide(std::string_view s);
std::string WideToSjis(std::wstring_view w, bool* lossy = nullptr);
std::wstring Utf8ToWide(std::string_view s);
std::string WideToUtf8(std::wstring_view w);

std::unique_ptr<ICodePage> MakeCodePage();
// The scripting RegExp object named by `progId` when it can be created, else the built-in engine.
std::unique_ptr<IRegexFactory> MakeRegexFactory(const ICodePage& cp, const wchar_t* progId = L"VBScript.RegExp");
// Whether an engine made by MakeRegexFactory is the scripting object.
bool IsScriptingRegex(const IRegex& r);
std::unique_ptr<IFiles> MakeFiles(const ICodePage& cp);
std::unique_ptr<ISettings> MakeRegistrySettings(const std::wstring& appName, const ICodePage& cp);
std::unique_ptr<IShell> MakeShell(const ICodePage& cp, HWND owner);

// The shell: ShellExecute, the full editor's key, the start-up shortcut (a shell link saved
// through the Unicode interfaces), the help viewer (loaded when first needed, so that the
// program runs where there is none). The owner window is that of the program's main window.
class Win32Shell final : public IShell {
 public:
  Win32Shell(const ICodePage& cp, HWND owner) : cp_(cp), owner_(owner) {}
  ~Win32Shell() override;
  void SetOwner(HWND h) { owner_ = h; }
  int Execute(std::string_view file, std::string_view verb, std::string_view params) override;
  std::optional<std::string> FullEditorPath() override;
  bool CreateStartupShortcut(std::string_view linkName) override;
  void CancelModes() override;
  bool PathExists(std::string_view utf8Path) override;
  bool ShowHelp(std::string_view utf8Path, HelpView view) override;

 private:
  const ICodePage& cp_;
  HWND owner_;
  HMODULE viewer_ = nullptr;
  bool viewerTried_ = false;
};

// A static control that opens an address when clicked: underlined, blue until followed and
// purple after, with the hand cursor. Attach() subclasses the control; the object deletes
// itself with the control's window. An empty target opens the control's own text.
class CStaticLink {
 public:
  static constexpr COLORREF kUnvisited = RGB(0, 0, 255);
  static constexpr COLORREF kVisited = RGB(128, 0, 128);
  static CStaticLink* Attach(HWND control, std::wstring target);
  // The control's colours, for its parent's WM_CTLCOLORSTATIC: the brush to paint with.
  static HBRUSH OnCtlColor(HWND control, HDC dc);
  static CStaticLink* Of(HWND control);
  COLORREF Colour() const { return colour_; }

 private:
  CStaticLink(HWND control, std::wstring target) : hwnd_(control), target_(std::move(target)) {}
  ~CStaticLink();
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  void Click();

  HWND hwnd_;
  std::wstring target_;
  COLORREF colour_ = kUnvisited;
  HFONT font_ = nullptr;
  bool autoDelete_ = true;
};

// The open and save file dialog of every part of the program, on the Unicode interfaces. On
// Windows 2000 and later (and Me) it passes the full-size structure, which brings the places
// bar; on older systems the short one they know.
class CFileDialogEx {
 public:
  CFileDialogEx(bool open, const wchar_t* defExt, const wchar_t* fileName, DWORD flags, const wchar_t* filter,
                HWND parent);
  void SetTitle(std::wstring t) { title_ = std::move(t); }
  void SetInitialDir(std::wstring d) { dir_ = std::move(d); }
  // IDOK or IDCANCEL.
  int DoModal();
  // The chosen path; with multiple selection, every chosen path.
  std::vector<std::wstring> Paths() const;
  // The size of the structure the dialog passes on this system.
  static DWORD StructSize();

 private:
  bool open_;
  std::wstring defExt_, filter_, title_, dir_;
  std::vector<wchar_t> name_;
  DWORD flags_;
  HWND parent_;
};

// The clipboard, owned by `owner` while it is open (may be null). A store puts the exact
// Shift-JIS bytes as CF_TEXT and, with an owner window, makes the Unicode form after the
// command, when the tray is idle, or when a program asks for it first: the owner passes its
// messages to OnMessage.
class Win32Clipboard final : public IClipboard {
 public:
  Win32Clipboard(const ICodePage& cp, HWND owner) : cp_(cp), owner_(owner) {}
  void SetOwner(HWND h) { owner_ = h; }
  ClipRead Read() override;
  bool Write(std::string_view sjis) override;
  bool Write(std::string&& sjis) override;
  bool Write(std::string&& sjis, std::shared_ptr<const CarriedChars> carried) override;
  void ReturnFocus() override;
  // WM_RENDERFORMAT, WM_RENDERALLFORMATS, WM_DESTROYCLIPBOARD, WM_ENDSESSION and the
  // clipboard's WM_TIMER of the owner window; true when the message was handled for good.
  bool OnMessage(UINT msg, WPARAM wp);
  static constexpr UINT_PTR kMakeUnicodeTimer = 0x514C;

 private:
  bool Store(std::string sjis, std::shared_ptr<const CarriedChars> carried);
  bool Put(std::string sjis, std::shared_ptr<const CarriedChars> carried);
  void MarkCurrent();
  void MakeUnicode();  // within an open clipboard
  void MakeUnicodeNow();  // opens the clipboard for it, while it is still ours
  HGLOBAL UnicodeBlock(std::string_view sjis) const;

  const ICodePage& cp_;
  HWND owner_;
  std::string stored_;          // the bytes of our last store
  std::shared_ptr<const CarriedChars> storedCarried_;  // the characters its codes carry
  DWORD storedSeq_ = 0;         // the clipboard's sequence number just after it, 0 for none
  bool unicodeToMake_ = false;  // its Unicode form is still to be made
};

// The MessageBox style of a message's kind.
UINT BoxStyle(MsgKind kind);

// Message boxes and dialogs, titled with the application's name.
class Win32UI final : public IUserInterface {
 public:
  Win32UI(const ICodePage& cp, HWND owner, std::wstring title) : cp_(cp), owner_(owner), title_(std::move(title)) {}
  void SetOwner(HWND h) { owner_ = h; }
  HWND Owner() const { return owner_; }
  Answer Show(const Message& m) override;
  void BeginWait() override;
  void EndWait() override;
  bool RunDialog(DialogModel& model) override;
  std::vector<std::string> FileDialog(const FileDialogRequest& req) override;
  std::optional<std::string> BrowseFolder(Txt title) override;
  std::unique_ptr<IModeless> OpenModeless(DialogModel& model) override;
  void PumpOne() override;
  const ICodePage& codepage() const { return cp_; }
  const std::wstring& Title() const { return title_; }

 private:
  const ICodePage& cp_;
  HWND owner_;
  std::wstring title_;
  int waitDepth_ = 0;
  HCURSOR saved_ = nullptr;
};

// Shows a dialog model in its dialog resource of `instance`: the one binding helper.
bool RunDialogModel(HINSTANCE instance, HWND owner, DialogModel& model, Win32UI& ui);
// The controls the model binds (its fields and each of their radio buttons) that the dialog
// `dlg`, created from the model's resource, lacks. The binder passes a missing control by.
std::vector<int> MissingControls(HWND dlg, DialogModel& model);
// The same without waiting; the dialog goes with the object.
std::unique_ptr<IModeless> OpenModelessModel(HINSTANCE instance, HWND owner, DialogModel& model, Win32UI& ui);
// Handles one waiting message of this thread, if there is one.
void PumpOneMessage();

// The update check's seam: WinINet, CNG, the program file's time, folders under %TEMP%.
std::unique_ptr<IUpdateSystem> MakeUpdateSystem(const ICodePage& cp);

}  // namespace qlk::win
