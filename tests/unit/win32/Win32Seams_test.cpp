// The Win32 seams for real: the registry, the clipboard and the scripting RegExp object.
#include <gtest/gtest.h>

#include <memory>


#include "Fakes.h"
#include "doc/Document.h"
#include "win32/platform/Win32Platform.h"

using namespace qlk;
using namespace qlk::test;

namespace {

TEST(Win32, RunsWithCodePage932) {
  EXPECT_EQ(GetACP(), 932u);  // the test prefix runs in a Japanese locale
}

TEST(Win32Registry, WritesAndReadsBackUnderTheCompanyKey) {
  const std::wstring app = L"QlkUnitTest";
  auto s = win::MakeRegistrySettings(app, CodePage());
  EXPECT_EQ(s->GetInt("System", "Verify", 7), 7);
  EXPECT_EQ(s->GetText("System", "ExeFile", "def"), "def");
  ASSERT_TRUE(s->SetInt("System", "Verify", 1));
  ASSERT_TRUE(s->SetInt("System", "Negative", -5));
  ASSERT_TRUE(s->SetText("Macro", "Dir", sj(u8"C:\\マクロ\\表示")));
  ASSERT_TRUE(s->SetText("Empty", "Text", ""));
  EXPECT_EQ(s->GetInt("System", "Verify", 0), 1);
  EXPECT_EQ(s->GetInt("System", "Negative", 0), -5);
  EXPECT_EQ(s->GetText("Macro", "Dir", ""), sj(u8"C:\\マクロ\\表示"));
  EXPECT_EQ(s->GetText("Empty", "Text", "x"), "");
  // A text read as an integer gives the default, as a missing value does.
  EXPECT_EQ(s->GetInt("Macro", "Dir", 3), 3);
  // The values stand where other programs of the maker expect them.
  HKEY k = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Korvu\\QlkUnitTest\\System", 0, KEY_READ, &k), ERROR_SUCCESS);
  DWORD v = 0, size = sizeof v, type = 0;
  EXPECT_EQ(RegQueryValueExW(k, L"Verify", nullptr, &type, reinterpret_cast<BYTE*>(&v), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  RegCloseKey(k);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korvu\\QlkUnitTest");
}

struct ClipCase {
  const char* name;
  std::string text;
};

class Win32ClipboardRoundTrip : public ::testing::TestWithParam<ClipCase> {};

TEST_P(Win32ClipboardRoundTrip, KeepsEveryByte) {
  win::Win32Clipboard clip(CodePage(), nullptr);
  const std::string& t = GetParam().text;
  ASSERT_TRUE(clip.Write(t));
  ClipRead r = clip.Read();
  ASSERT_EQ(r.status, ClipStatus::Ok);
  EXPECT_EQ(r.text, t);
  EXPECT_FALSE(r.lossy);
}

INSTANTIATE_TEST_SUITE_P(
    Edge, Win32ClipboardRoundTrip,
    ::testing::Values(ClipCase{"NoFinalBreak", "a\r\nb"}, ClipCase{"FinalBreak", "a\r\nb\r\n"},
                      ClipCase{"Empty", ""}, ClipCase{"SingleBreak", "\r\n"}, ClipCase{"LoneCrLf", "a\rb\nc"},
                      ClipCase{"Japanese", "\x93\xFA\x96\x7B\x8C\xEA\xB1\xB2"},  // 日本語ｱｲ
                      ClipCase{"LeadByteAtTheEnd", "abc\x82"},
                      ClipCase{"UnmappedPair", "x\x85\x40y"},
                      ClipCase{"Long", std::string(200000, 'z') + "\r\n" + std::string(40000, '\x88')}),
    [](const auto& info) { return info.param.name; });

void PutUnicode(const std::wstring& w) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (w.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(h), w.c_str(), (w.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(h);
  SetClipboardData(CF_UNICODETEXT, h);
  CloseClipboard();
}

TEST(Win32Clipboard, UnicodeFromOtherProgramsIsReadThroughCodePage932) {
  PutUnicode(L"\x65E5\x672C a\r\n\xFF71");  // 日本 a / ｱ
  win::Win32Clipboard clip(CodePage(), nullptr);
  ClipRead r = clip.Read();
  ASSERT_EQ(r.status, ClipStatus::Ok);
  EXPECT_EQ(r.text, "\x93\xFA\x96\x7B a\r\n\xB1");
  EXPECT_FALSE(r.lossy);
}

// Both forms put by another program: where a character has two codes, or bytes read as no
// character, its own bytes are kept when they read as the Unicode text; otherwise the Unicode
// text is the text.
TEST(Win32Clipboard, TheOtherProgramsBytesAreKeptWhereTheyReadAsItsText) {
  const struct {
    std::string bytes;
    std::wstring text;
    std::string want;
  } cases[] = {
      {"\xFA\x4A", L"\x2160", "\xFA\x4A"},  // Ⅰ in the IBM rows, not the NEC row's 0x8754
      {"\x87\x54", L"\x2160", "\x87\x54"},
      {"abc\x82", L"abc\x30FB", "abc\x82"},   // a lead byte at the end
      {"\x82\xA0", L"\x3042", "\x82\xA0"},  // あ has one code
      {"zzz", L"abc", "abc"},                // bytes of other text are not the text
      {"\x87\x54", L"\x2161", "\x87\x55"},  // nor of another character with two codes
  };
  win::Win32Clipboard clip(CodePage(), nullptr);
  for (const auto& c : cases) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL w = GlobalAlloc(GMEM_MOVEABLE, (c.text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(w), c.text.c_str(), (c.text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(w);
    SetClipboardData(CF_UNICODETEXT, w);
    HGLOBAL a = GlobalAlloc(GMEM_MOVEABLE, c.bytes.size() + 1);
    memcpy(GlobalLock(a), c.bytes.c_str(), c.bytes.size() + 1);
    GlobalUnlock(a);
    SetClipboardData(CF_TEXT, a);
    CloseClipboard();
    ClipRead r = clip.Read();
    EXPECT_EQ(r.text, c.want) << c.want;
    EXPECT_FALSE(r.lossy);
  }
}

std::wstring ClipboardUnicode() {
  std::wstring s = L"<none>";
  if (!OpenClipboard(nullptr)) return L"<busy>";
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    s = static_cast<const wchar_t*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return s;
}

// A hidden window that owns the clipboard and hands it its messages, as the tray's does.
class OwnerWindow {
 public:
  OwnerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
      auto* clip = reinterpret_cast<win::Win32Clipboard*>(GetWindowLongPtrW(h, GWLP_USERDATA));
      if (clip && clip->OnMessage(msg, wp)) return 0;
      return DefWindowProcW(h, msg, wp, lp);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QlkUnitClipOwner";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    clip = std::make_unique<win::Win32Clipboard>(CodePage(), hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(clip.get()));
  }
  ~OwnerWindow() {
    if (hwnd) DestroyWindow(hwnd);
  }
  HWND hwnd;
  std::unique_ptr<win::Win32Clipboard> clip;
};

// The Unicode form of a store is made when a program asks for it, when the tray is idle
// after the command, or when the window goes.
TEST(Win32Clipboard, UnicodeFormIsThereWhenAskedWhenIdleAndAfterTheOwnerGoes) {
  const std::string sjis = "\x93\xFA\x96\x7B\xB1\r\nb";  // 日本ｱ / b
  const std::wstring text = L"\x65E5\x672C\xFF71\r\nb";
  for (const char* when : {"asked", "idle", "owner gone"}) {
    OwnerWindow w;
    ASSERT_NE(w.hwnd, nullptr);
    ASSERT_TRUE(w.clip->Write(sjis));
    EXPECT_EQ(w.clip->Read().text, sjis);
    if (when == std::string("idle")) {
      // The messages of a quarter second, then nobody left to answer a request.
      for (DWORD end = GetTickCount() + 250; GetTickCount() < end; Sleep(10)) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      }
      SetWindowLongPtrW(w.hwnd, GWLP_USERDATA, 0);
      EXPECT_EQ(w.clip->Read().text, sjis) << "read back after the Unicode form was made";
    }
    if (when == std::string("owner gone")) {
      DestroyWindow(w.hwnd);
      w.hwnd = nullptr;
    }
    EXPECT_EQ(ClipboardUnicode(), text) << when;
  }
}

TEST(Win32Clipboard, AStoreOfAnotherProgramAfterOursIsReadNotOurs) {
  OwnerWindow w;
  ASSERT_TRUE(w.clip->Write(std::string("ours")));
  EXPECT_EQ(w.clip->Read().text, "ours");
  PutUnicode(L"theirs");
  EXPECT_EQ(w.clip->Read().text, "theirs");
  ASSERT_TRUE(w.clip->Write(std::string("ours again")));
  EXPECT_EQ(w.clip->Read().text, "ours again");
}

// Text from other programs carries the JIS forms of the wave dash, minus sign and the like:
// they are code page 932's characters, so no question about lost characters is asked. The
// Win32 text helpers convert through the same tables.
TEST(Win32Clipboard, JisFormsAreReadAsTheirShiftJisCharacters) {
  const std::wstring jis = L"\x2212\x301C\x2016\x00A2\x00A3\x00AC\x2014";
  const std::string sjis = "\x81\x7C\x81\x60\x81\x61\x81\x91\x81\x92\x81\xCA\x81\x5C";
  PutUnicode(L"a" + jis + L"\r\nb");
  win::Win32Clipboard clip(CodePage(), nullptr);
  ClipRead r = clip.Read();
  ASSERT_EQ(r.status, ClipStatus::Ok);
  EXPECT_EQ(r.text, "a" + sjis + "\r\nb");
  EXPECT_FALSE(r.lossy);
  bool lossy = true;
  EXPECT_EQ(win::WideToSjis(jis, &lossy), sjis);
  EXPECT_FALSE(lossy);
  EXPECT_EQ(win::WideToSjis(L"\x00E9", &lossy), "?");
  EXPECT_TRUE(lossy);
  // Read back, they are the code page's own characters.
  EXPECT_EQ(win::SjisToWide(sjis), L"\xFF0D\xFF5E\x2225\xFFE0\xFFE1\xFFE2\x2015");
}

TEST(Win32Clipboard, CharactersOutsideShiftJisAreCarriedNotLost) {
  PutUnicode(L"a\xD83D\xDE00" L"b");  // an emoji: a user-defined code stands in for it
  win::Win32Clipboard clip(CodePage(), nullptr);
  ClipRead r = clip.Read();
  EXPECT_EQ(r.text, "a\xF0\x40" "b");
  EXPECT_FALSE(r.lossy);
}

// Runs the helper beside this test program that holds the clipboard from another process.
class ClipboardHolder {
 public:
  ClipboardHolder() {
    held_ = CreateEventW(nullptr, TRUE, FALSE, L"QlkClipHeld");
    release_ = CreateEventW(nullptr, TRUE, FALSE, L"QlkClipRelease");
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring exe(self, n);
    exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"qlk_cliphold.exe";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    started_ = CreateProcessW(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != 0;
    if (started_) holding_ = WaitForSingleObject(held_, 10000) == WAIT_OBJECT_0;
  }
  ~ClipboardHolder() {
    Release();
    CloseHandle(held_);
    CloseHandle(release_);
  }
  bool Holding() const { return started_ && holding_; }
  void Release() {
    if (!started_) return;
    SetEvent(release_);
    WaitForSingleObject(pi_.hProcess, 10000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    started_ = false;
  }

 private:
  HANDLE held_, release_;
  PROCESS_INFORMATION pi_{};
  bool started_ = false, holding_ = false;
};

TEST(Win32Clipboard, HeldByAnotherProgramIsBusyAndLeftAlone) {
  win::Win32Clipboard clip(CodePage(), nullptr);
  ASSERT_TRUE(clip.Write(std::string("keep")));
  {
    ClipboardHolder other;
    ASSERT_TRUE(other.Holding());
    DWORD t0 = GetTickCount();
    EXPECT_EQ(clip.Read().status, ClipStatus::Busy);
    EXPECT_FALSE(clip.Write(std::string("lost")));
    EXPECT_LT(GetTickCount() - t0, 2000u);  // a few short tries, not a hang
  }
  ClipRead r = clip.Read();
  EXPECT_EQ(r.status, ClipStatus::Ok);
  EXPECT_EQ(r.text, "keep");
}

TEST(Win32Clipboard, DocumentRoundTripThroughTheRealClipboard) {
  TestPlatform tp;
  win::Win32Clipboard clip(CodePage(), nullptr);
  Platform p{clip, tp.settings, tp.platform.codepage, *tp.regex, tp.ui, *tp.files, tp.shell, tp.clock};
  CQuenlarkDoc doc(p);
  for (std::string t : {std::string("a\r\nb"), std::string("a\r\nb\r\n"), std::string("a\r\n\r\n")}) {
    ASSERT_TRUE(clip.Write(t));
    ASSERT_TRUE(doc.NewFromClipboard());
    ASSERT_TRUE(doc.StoreClipboard(true));
    EXPECT_EQ(clip.Read().text, t);
  }
}

// The scripting object whenever Windows can load it, the built-in engine when it cannot (the
// test run repeats the regex cases with the object's DLL switched off).
TEST(Win32Regex, TheObjectWhenItLoadsElseTheBuiltInEngine) {
  HMODULE vbscript = LoadLibraryW(L"vbscript.dll");
  auto f = win::MakeRegexFactory(CodePage());
  EXPECT_TRUE(f->Available());
  auto r = f->Create();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(win::IsScriptingRegex(*r), vbscript != nullptr);
  if (vbscript) FreeLibrary(vbscript);
}

TEST(Win32Regex, BuiltInEngineStandsInForAnUnregisteredObject) {
  auto f = win::MakeRegexFactory(CodePage(), L"QlkTray.NoSuchRegExp");
  EXPECT_TRUE(f->Available());
  auto r = f->Create();
  ASSERT_NE(r, nullptr);
  EXPECT_FALSE(win::IsScriptingRegex(*r));
  r->SetPattern(sj(u8"(\\d+)(字)?"));
  r->SetGlobal(true);
  EXPECT_EQ(r->Replace(sj(u8"a1b22字"), "<$2$1>"), sj(u8"a<1>b<字22>"));
}

}  // namespace
