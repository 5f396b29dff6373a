// The custom menu: its file, the catalogue it is chosen from, loading and saving, and the
// customisation dialog's list rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "CommandHarness.h"
#include "Fakes.h"
#include "app/CustomMenu.h"
#include "app/RMenuCustDlg.h"

using namespace qlk;
using namespace qlk::test;

namespace {

std::string Le(std::initializer_list<uint32_t> words) {
  std::string s;
  for (uint32_t w : words)
    for (int k = 0; k < 4; ++k) s += static_cast<char>(w >> (8 * k));
  return s;
}

TEST(CustomMenuFile, DecodesWhatTheFileHoldsAndNoMore) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<uint32_t> ids;
  } cases[] = {
      {"zero-length file", "", {}},
      {"shorter than the count", std::string("\x02\x00\x00", 3), {}},
      {"count 0", Le({0}), {}},
      {"two entries", Le({2, 32797, 57648}), {32797, 57648}},
      {"count above the identifiers", Le({5, 32829, 32830}), {32829, 32830}},
      {"absurd count", Le({0xFFFFFFFFu, 32774}), {32774}},
      {"a partial identifier at the end", Le({2, 32774}) + std::string("\x1D\x80", 2), {32774}},
      {"bytes after the counted identifiers", Le({1, 32853, 32854}), {32853}},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeCustomMenu(c.bytes), c.ids) << c.what;
  EXPECT_EQ(EncodeCustomMenu({32797, 57648}), std::string("\x02\0\0\0\x1D\x80\0\0\x30\xE1\0\0", 12));
  EXPECT_EQ(EncodeCustomMenu({}), std::string(4, '\0'));
}

TEST(CustomMenuFile, EveryListRoundTripsAndEveryCutGivesAPrefix) {
  std::mt19937 rng(19);
  for (int round = 0; round < 200; ++round) {
    std::vector<uint32_t> ids(rng() % 40);
    for (uint32_t& id : ids) id = rng();
    const std::string bytes = EncodeCustomMenu(ids);
    ASSERT_EQ(bytes.size(), 4 + 4 * ids.size());
    ASSERT_EQ(DecodeCustomMenu(bytes), ids);
    const size_t cut = rng() % (bytes.size() + 1);
    std::vector<uint32_t> got = DecodeCustomMenu(std::string_view(bytes).substr(0, cut));
    const size_t whole = cut < 4 ? 0 : (cut - 4) / 4;
    ASSERT_EQ(got, std::vector<uint32_t>(ids.begin(), ids.begin() + static_cast<long>(whole))) << cut;
  }
}

// The catalogue's identifiers in order, typed from the list of the customisation dialog.
const uint32_t kCatalogueIds[] = {
    32829, 32817, 32820, 32821, 32846, 32830, 32818, 32819, 32816, 32847, 32777, 32778, 32779, 32780, 32911,
    32904, 32912, 32905, 32906, 32916, 32783, 32827, 32915, 32851, 57643, 57644, 32831, 32832, 32918, 32931,
    32919, 32769, 32826, 32802, 32784, 32801, 32840, 32772, 32913, 32791, 32841, 32773, 32770, 32771, 32775,
    32776, 32825, 32926, 32824, 32923, 32839, 32799, 32800, 32822, 32797, 32798, 32850, 32908, 32797, 32909,
    32842, 32843, 32781, 32782, 32808, 32823, 32789, 32790, 32804, 32805, 32807, 32785, 32794, 32927, 32920,
    32787, 32796, 32833, 32786, 32795, 32788, 32836, 32803, 32811, 32806, 32792, 32774, 32809, 32793, 32837,
    32838, 32852, 57648, 57650, 57651, 57652, 57649, 57666, 32810, 33078, 57664};

TEST(Catalogue, HoldsTheHundredAndOneEntriesInOrderAndCaptionsByFirstMatch) {
  const std::vector<CatalogueEntry> cat = BuildCatalogue(CodePage(), {});
  ASSERT_EQ(std::size(kCatalogueIds), 101u);
  ASSERT_EQ(cat.size(), 101u);
  for (size_t i = 0; i < cat.size(); ++i) EXPECT_EQ(cat[i].id, kCatalogueIds[i]) << i;
  EXPECT_EQ(u8(CaptionOf(cat, 32797)), "[整形]先頭の空白を削除");
  EXPECT_EQ(u8(MenuCaptionOf(cat, 32797)), "先頭の空白を削除");
  EXPECT_EQ(u8(MenuCaptionOf(cat, 32802)), "全て選択");
  EXPECT_EQ(u8(CaptionOf(cat, 57649)), "[ｳｨﾝﾄﾞｳ]アイコンの整列");
  for (uint32_t unknown : {0u, 32853u, 32812u, 99999u}) {
    EXPECT_EQ(CaptionOf(cat, unknown), "") << unknown;
    EXPECT_EQ(MenuCaptionOf(cat, unknown), "") << unknown;
  }
}

TEST(Catalogue, TakesAtMostThirtyMacroEntries) {
  std::vector<std::string> names;
  for (int i = 0; i < 31; ++i) names.push_back("m" + std::to_string(i));
  const std::vector<CatalogueEntry> cat = BuildCatalogue(CodePage(), names);
  ASSERT_EQ(cat.size(), 131u);
  EXPECT_EQ(u8(CaptionOf(cat, 32882)), "[ﾏｸﾛ]m29");
  EXPECT_EQ(MenuCaptionOf(cat, 32882), "m29");
}

TEST(Catalogue, TheGroupEndsAtTheFirstBracketThatIsACharacter) {
  // "ゾ" is 0x83 0x5D: its trail byte is no bracket.
  const std::vector<CatalogueEntry> cat = {{1, "[\x83\x5D" "a]b]c"}, {2, "no group"}};
  EXPECT_EQ(MenuCaptionOf(cat, 1), "b]c");
  EXPECT_EQ(MenuCaptionOf(cat, 2), "no group");
}

TEST(CustomMenuStore, LoadTriesThreeTimesThenGivesAnEmptyList) {
  MemoryFiles files;
  MemorySettings s;
  int pauses = 0;
  EXPECT_TRUE(LoadCustomMenu(s, files, [&] { ++pauses; }).empty());
  EXPECT_EQ(pauses, 2);
  // The file beside the program, free after the first pause.
  pauses = 0;
  std::vector<uint32_t> got = LoadCustomMenu(s, files, [&] {
    if (++pauses == 1) files.files["mem/prog/QLarkRMenu.dat"] = Le({1, 32802});
  });
  EXPECT_EQ(got, std::vector<uint32_t>{32802});
  EXPECT_EQ(pauses, 1);
  // [System] "RMenu" names another file.
  Set(s, keys::kCustomMenuFile, "elsewhere.dat");
  files.files["elsewhere.dat"] = Le({2, 32829, 32830});
  EXPECT_EQ(LoadCustomMenu(s, files, {}), (std::vector<uint32_t>{32829, 32830}));
}

TEST(CustomMenuStore, SavesBesideAndRenamesOverAndFallsBackToTheApplicationData) {
  TestPlatform tp;
  TempDir dir;
  IFiles& f = *tp.files;
  MemorySettings& s = tp.settings;
  const std::string file = dir.Path("QLarkRMenu.dat");
  Set(s, keys::kCustomMenuFile, file);
  ASSERT_TRUE(SaveCustomMenu(s, f, {32797, 32853}, ""));
  EXPECT_EQ(f.ReadAll(file), Le({2, 32797, 32853}));
  EXPECT_FALSE(f.Exists(file + ".qlk-tmp"));
  // A write that fails (here its work file cannot be made) leaves the old list.
  std::filesystem::create_directory(file + ".qlk-tmp");
  ASSERT_TRUE(f.WriteAll(file + ".qlk-tmp" + f.Separator() + "x", "x"));
  EXPECT_FALSE(SaveCustomMenu(s, f, {1, 2, 3}, ""));
  EXPECT_EQ(f.ReadAll(file), Le({2, 32797, 32853}));
  EXPECT_EQ(Get(s, keys::kCustomMenuFile), file);
  // Now with the application-data folder: the file moves there for good.
  const std::string appData = dir.Path("appdata");
  ASSERT_TRUE(SaveCustomMenu(s, f, {32774}, appData));
  const std::string moved = appData + f.Separator() + "Korvu" + f.Separator() + "Quenlark" + f.Separator() + "QLarkRMenu.dat";
  EXPECT_EQ(Get(s, keys::kCustomMenuFile), moved);
  EXPECT_EQ(f.ReadAll(moved), Le({1, 32774}));
  EXPECT_EQ(LoadCustomMenu(s, f, {}), std::vector<uint32_t>{32774});
}

// The customisation dialog over a catalogue without macros.
struct Cust {
  CommandHarness h;
  std::unique_ptr<CRMenuCustDlg> dlg;
  std::unique_ptr<FakeDialog> d;
  explicit Cust(std::vector<uint32_t> list) {
    h.app.catalogue = BuildCatalogue(CodePage(), {});
    h.app.customMenu = std::move(list);
    dlg = std::make_unique<CRMenuCustDlg>(h.tp.platform, h.app);
    d = std::make_unique<FakeDialog>(*dlg, h.tp.ui);
  }
  int IndexOf(uint32_t id) const {
    for (size_t i = 0; i < h.app.catalogue.size(); ++i)
      if (h.app.catalogue[i].id == id) return static_cast<int>(i);
    return -1;
  }
};

TEST(RMenuCustDlg, ListRules) {
  using C = CRMenuCustDlg;
  const uint32_t A = 32829, B = 32830, D = 32802, E = 32797;
  struct Case {
    const char* what;
    std::vector<uint32_t> start;
    int selected;
    int chosen;  // catalogue identifier chosen in the left list, 0 for none
    int button;
    std::vector<uint32_t> after;
    int selectedAfter;
  } cases[] = {
      {"add appends", {A, B}, 0, D, C::kAdd, {A, B, D}, 2},
      {"add without a chosen command", {A, B}, 0, 0, C::kAdd, {A, B}, 0},
      {"insert goes before the selected entry", {A, B}, 1, D, C::kInsert, {A, D, B}, 2},
      {"insert without a selection goes to the end", {A, B}, -1, D, C::kInsert, {A, B, D}, 2},
      {"insert into an empty list", {}, -1, D, C::kInsert, {D}, 0},
      {"delete the last of three", {A, B, D}, 2, 0, C::kDelete, {A, B}, 1},
      {"delete the middle", {A, B, D}, 1, 0, C::kDelete, {A, D}, 1},
      {"delete the only entry", {A}, 0, 0, C::kDelete, {}, -1},
      {"delete without a selection", {A, B}, -1, 0, C::kDelete, {A, B}, -1},
      {"up", {A, B, D}, 2, 0, C::kUp, {A, D, B}, 1},
      {"up from the top", {A, B, D}, 0, 0, C::kUp, {A, B, D}, 0},
      {"down", {A, B, D}, 0, 0, C::kDown, {B, A, D}, 1},
      {"down from the bottom", {A, B, D}, 2, 0, C::kDown, {A, B, D}, 2},
      {"the second of an identifier standing twice", {}, -1, E, C::kAdd, {E}, 0},
  };
  for (const Case& c : cases) {
    Cust t(c.start);
    t.dlg->selected = c.selected;
    t.dlg->chosen = c.chosen ? t.IndexOf(c.chosen) : -1;
    t.d->Press(c.button);
    EXPECT_EQ(t.dlg->entries(), c.after) << c.what;
    EXPECT_EQ(t.dlg->selected, c.selectedAfter) << c.what;
    ASSERT_EQ(t.d->Items(C::kList)->size(), c.after.size()) << c.what;
    for (size_t i = 0; i < c.after.size(); ++i)
      EXPECT_EQ((*t.d->Items(C::kList))[i], CaptionOf(t.h.app.catalogue, c.after[i])) << c.what;
    EXPECT_EQ(t.h.app.customMenu, c.start) << c.what << ": the list changes only on OK";
  }
}

TEST(RMenuCustDlg, DeleteAsksAndOkSavesWhileCancelChangesNothing) {
  Cust t({32829, 32797});
  t.h.tp.ui.answers = {Answer::Cancel};
  t.dlg->selected = 1;
  t.d->Press(CRMenuCustDlg::kDelete);
  EXPECT_EQ(t.dlg->entries().size(), 2u);
  ASSERT_EQ(t.h.tp.ui.shown.size(), 1u);
  EXPECT_EQ(t.h.tp.ui.shown[0].text, "[整形]先頭の空白を削除 を削除しますか？");
  EXPECT_EQ(t.h.tp.ui.styles[0], std::make_pair(MsgButtons::OkCancel, MsgIcon::Question));
  t.d->Press(CRMenuCustDlg::kDelete);
  EXPECT_EQ(t.dlg->entries(), std::vector<uint32_t>{32829});
  // The list opens with its first entry selected and every catalogue caption on the left.
  Cust fresh({32829, 32830});
  EXPECT_EQ(fresh.dlg->selected, 0);
  EXPECT_EQ(fresh.d->Items(CRMenuCustDlg::kAll)->size(), 101u);
  // OK puts the copy in place and writes the file.
  Set(t.h.tp.settings, keys::kCustomMenuFile, t.h.dir.Path("r.dat"));
  ASSERT_TRUE(t.d->Ok());
  EXPECT_EQ(t.h.app.customMenu, std::vector<uint32_t>{32829});
  EXPECT_EQ(t.h.tp.files->ReadAll(t.h.dir.Path("r.dat")), Le({1, 32829}));
}

TEST(RMenuCustDlg, TheMenuCommandOpensItAndAnEntryOfAMacroRunsThatMacro) {
  CommandHarness h;
  const std::string mac = h.dir.Path("up.qmc");
  ASSERT_TRUE(h.tp.files->WriteAll(mac, "ToUpper\r\n"));
  h.tp.settings.SetInt("DirMenu", "DirNo", 1);
  h.tp.settings.SetText("DirMenu", "Name00", "up");
  h.tp.settings.SetText("DirMenu", "Dir00", mac);
  Set(h.tp.settings, keys::kCustomMenuFile, h.dir.Path("r.dat"));
  InitCustomMenu(h.app, h.tp.settings, *h.tp.files, CodePage(), {});
  ASSERT_EQ(h.app.catalogue.size(), 102u);
  int macroAt = 0;
  while (h.app.catalogue[static_cast<size_t>(macroAt)].id != 32853) ++macroAt;
  EXPECT_EQ(h.app.catalogue[static_cast<size_t>(macroAt) - 1].id, 32852u);  // after the options group
  h.tp.ui.dialogScript = [macroAt](FakeDialog& d) {
    auto& m = static_cast<CRMenuCustDlg&>(d.model());
    m.chosen = macroAt;
    d.Press(CRMenuCustDlg::kAdd);
    return d.Ok();
  };
  ASSERT_TRUE(h.m->Dispatch(Cmd::MenuCustomize));
  EXPECT_EQ(h.tp.ui.dialogsRun, std::vector<int>{CRMenuCustDlg::kResource});
  ASSERT_EQ(h.app.customMenu, std::vector<uint32_t>{32853});
  EXPECT_EQ(MenuCaptionOf(h.app.catalogue, 32853), "up");
  // A new start reads the same list back, and the entry runs the macro.
  AppState again;
  InitCustomMenu(again, h.tp.settings, *h.tp.files, CodePage(), {});
  EXPECT_EQ(again.customMenu, std::vector<uint32_t>{32853});
  h.Clip("ab");
  ASSERT_TRUE(h.m->Dispatch(again.customMenu[0]));
  EXPECT_EQ(h.ClipText(), "AB");
}

}  // namespace
