// Every dialog resource, created for real: each command that opens a dialog runs, and the
// dialog its model names is created from the resources and searched for every control the
// model binds (the binder would pass a missing one by in silence).
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "CommandHarness.h"
#include "macro/Commands.h"
#include "ops/MultiReplaceDlg.h"
#include "update/Update.h"
#include "win32/platform/Win32Platform.h"

using namespace qlk;
using namespace qlk::test;

namespace {

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

BOOL CALLBACK AddDialog(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR into) {
  if (IS_INTRESOURCE(name)) reinterpret_cast<std::set<int>*>(into)->insert(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
  return TRUE;
}

// What the check found for one dialog resource.
struct Seen {
  bool created = false;
  std::vector<int> missing;
};

// Creates the model's dialog and notes what it lacks; the dialog, or null.
HWND Create(DialogModel& model, std::map<int, Seen>& seen) {
  const int id = model.ResourceId();
  if (seen.count(id)) return nullptr;
  Seen& s = seen[id];
  HWND dlg = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, Quiet, 0);
  if (!dlg) return nullptr;
  s.created = true;
  s.missing = win::MissingControls(dlg, model);
  return dlg;
}

// The same for a dialog a command opens, whose buttons that are no field are then pressed
// (one opens the line-breaking rules dialog from the settings).
bool Check(FakeDialog& d, std::map<int, Seen>& seen) {
  HWND dlg = Create(d.model(), seen);
  if (!dlg) return false;
  std::vector<int> buttons;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    GetClassNameW(c, cls, 16);
    const LONG style = GetWindowLongW(c, GWL_STYLE) & 0x0F;
    const int cid = GetDlgCtrlID(c);
    if (lstrcmpiW(cls, L"Button") == 0 && (style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON) && cid != IDOK &&
        cid != IDCANCEL && d.Find(cid) == nullptr)
      buttons.push_back(cid);
  }
  DestroyWindow(dlg);
  for (int b : buttons) d.Press(b);
  return false;  // Cancel: nothing runs
}

TEST(Dialogs, EveryResourceHasEveryControlItsModelBinds) {
  std::map<int, Seen> seen;
  for (const CommandDef& c : AllCommands()) {
    CommandHarness h;
    h.Clip("abc\r\ndef");
    h.tp.ui.dialogScript = [&](FakeDialog& d) { return Check(d, seen); };
    h.m->Dispatch(c.id);
  }
  // The update check's dialogs, which its command opens only with the update seam the tray
  // gives (the harness has none), and the multi-file replacement's report.
  {
    TestPlatform tp;
    UpdateState state;
    CAutoUpdateDlg checking;
    CAutoUpdateCheckDlg offer(tp.platform.codepage, state);
    CHttpDownloadDlg download(tp.platform.codepage, "setup.exe");
    CRReportDlg report(1, 2);  // after a run, which the check's Cancel never starts
    for (DialogModel* model : std::vector<DialogModel*>{&checking, &offer, &download, &report})
      if (HWND dlg = Create(*model, seen)) DestroyWindow(dlg);
  }
  std::set<int> resources;
  EnumResourceNamesW(GetModuleHandleW(nullptr), RT_DIALOG, AddDialog, reinterpret_cast<LONG_PTR>(&resources));
  ASSERT_FALSE(resources.empty());
  for (const auto& [id, s] : seen) {
    EXPECT_TRUE(s.created) << "no dialog resource " << id;
    EXPECT_EQ(s.missing, std::vector<int>{}) << "controls missing from dialog " << id;
  }
  // Every resource is some command's dialog: a resource no model opens is a left-over.
  for (int id : resources) EXPECT_TRUE(seen.count(id)) << "dialog resource " << id << " is opened by no command";
}

}  // namespace
