#include <gtest/gtest.h>

#include <map>
#include <set>

#include "Fakes.h"
#include "macro/Commands.h"
#include "macro/Interpreter.h"

using namespace qlk;
using namespace qlk::test;

namespace {

struct Expected {
  uint32_t id;
  std::vector<const char8_t*> captions;
};

// Typed from the command catalogue of the tray menu, independently of the table itself.
const std::vector<Expected> kCatalogue = {
    {32829, {u8"全て変換(&H)"}},
    {32817, {u8"ｱﾙﾌｧﾍﾞｯﾄ(&A)"}},
    {32820, {u8"数字(&N)"}},
    {32821, {u8"カナ(&K)"}},
    {32846, {u8"文字種を指定(&S)..."}},
    {32830, {u8"全て変換(&H)"}},
    {32818, {u8"ｱﾙﾌｧﾍﾞｯﾄ(&A)"}},
    {32819, {u8"数字(&N)"}},
    {32816, {u8"カナ(&K)"}},
    {32847, {u8"文字種を指定(&S)..."}},
    {32777, {u8"小文字→大文字(&U)"}},
    {32778, {u8"大文字→小文字(&L)"}},
    {32779, {u8"全角小文字→全角大文字(&V)"}},
    {32780, {u8"全角大文字→全角小文字(&M)"}},
    {32911, {u8"文頭の文字を大文字(&P)"}},
    {32904, {u8"単語の先頭を大文字(&T)"}},
    {32912, {u8"大文字小文字の入れ替え(&C)"}},
    {32905, {u8"タブ→空白(&T)..."}},
    {32906, {u8"空白→タブ(&S)..."}},
    {32916, {u8"指定文字をTABに(&I)..."}},
    {32839, {u8"空白の挿入(&N)..."}},
    {32799, {u8"空白行の削除(&L)"}},
    {32800, {u8"複数空行を1行に(&M)"}},
    {32822, {u8"空白のみの行の空白削除(&E)"}},
    {32797, {u8"先頭の空白を削除(&F)", u8"左揃え(&L)"}},
    {32798, {u8"後方の空白を削除(&B)"}},
    {32850, {u8"スペース区切り→CSV(&S)"}},
    {32783, {u8"置換(&P)..."}},
    {32827, {u8"開始・終了文字列を指定(&S)..."}},
    {32915, {u8"囲み文字列の置換(&K)..."}},
    {32851, {u8"複数ファイル置換(&G)..."}},
    {57643, {u8"アンドゥ"}},
    {57644, {u8"リドウ(&R)"}},
    {32831, {u8"整列 - 昇順(&S)"}},
    {32832, {u8"整列 - 降順(&K)"}},
    {32918, {u8"複雑な整列(&X)..."}},
    {32814, {u8"逆順(&G)"}},
    {32931, {u8"最後に行挿入(&E)..."}},
    {32919, {u8"全編集(&W)..."}},
    {57634, {u8"コピー(&C)"}},
    {32769, {u8"対象行選択(&T)..."}},
    {32826, {u8"排他選択(&H)"}},
    {32802, {u8"全て選択(&A)"}},
    {32784, {u8"折り返し(&O)..."}},
    {32801, {u8"ｲﾝﾃﾞﾝﾄ折り返し(&J)..."}},
    {32840, {u8"指定文字で改行(&E)..."}},
    {32772, {u8"カット(&K)..."}},
    {32913, {u8"全行の一行化(&T)"}},
    {32791, {u8"ブロック単位の一行化(&H)"}},
    {32841, {u8"指定行数の一行化(&F)..."}},
    {32773, {u8"インデント(&I)..."}},
    {32770, {u8"文字の埋め込み(&U)..."}},
    {32771, {u8"連番の埋め込み(&R)..."}},
    {32775, {u8"文字の挿入(&S)..."}},
    {32776, {u8"指定桁の削除(&D)..."}},
    {32825, {u8"最後に文字を追加(&A)..."}},
    {32926, {u8"指定文字の削除(&G)..."}},
    {32824, {u8"行の削除(&C)"}},
    {32923, {u8"重複行削除(&P)..."}},
    {32908, {u8"センタリング(&C)"}},
    {32909, {u8"右揃え(&R)"}},
    {32842, {u8"左シフト(&S)"}},
    {32843, {u8"右シフト(&D)"}},
    {32781, {u8"ひらがな→カタカナ(&K)"}},
    {32782, {u8"カタカナ→ひらがな(&R)"}},
    {32808, {u8"CR→改行変換(&Q)"}},
    {32823, {u8"LF→改行変換(&A)"}},
    {32789, {u8"16進コード化(&C)"}},
    {32790, {u8"JIS16進コード化(&D)"}},
    {32804, {u8"16進->文字化(&P)"}},
    {32805, {u8"16進JISコードを文字化(&W)"}},
    {32807, {u8"全て→シフトJIS(&A)"}},
    {32785, {u8"JIS→シフトJIS(&S)"}},
    {32794, {u8"EUC→シフトJIS(&E)"}},
    {32927, {u8"UTF8→シフトJIS(&8)"}},
    {32920, {u8"UTF7→通常コード(&7)"}},
    {32787, {u8"URL形式(%)デコード(&U)"}},
    {32796, {u8"URL形式(=)デコード(&T)"}},
    {32813, {u8"URL形式(%)エンコード(&R)"}},
    {32833, {u8"MIME→シフトJIS(&I)"}},
    {32786, {u8"シフトJIS→JIS(&J)"}},
    {32795, {u8"シフトJIS→EUC(&F)"}},
    {32788, {u8"シフトJIS→UTF8(&B)"}},
    {32836, {u8"シフトJIS→MIMEヘッダ(&N)"}},
    {32803, {u8"MIMEに変換(&M)"}},
    {32811, {u8"コード判定(&C)..."}},
    {32806, {u8"設定(&S)..."}},
    {32792, {u8"エディタの設定(&R)..."}},
    {32774, {u8"メニューカスタマイズ(&C)..."}},
    {32809, {u8"文字数のカウント(&N)..."}},
    {32793, {u8"エディタの起動(&E)"}},
    {32837, {u8"マクロ記録(&M)"}},
    {32838, {u8"マクロ実行(&X)..."}},
    {32852, {u8"マクロメニュー編集(&D)..."}},
    {32812, {u8"複数ファイルを開いてマクロ実行(&N)...", u8"複数ファイルを開いてマクロ実行(&N)..."}},  // options, and the unshown menu
    {57667, {u8"目次(&C)"}},
    {32810, {u8"キーワードで検索(&S)"}},
    {57664, {u8"バージョン情報"}},
    {57665, {u8"終了"}},
};

std::string S(const char8_t* s) { return reinterpret_cast<const char*>(s); }

TEST(CommandTable, HoldsEveryCatalogueIdentifierOnceWithItsCaptions) {
  std::map<uint32_t, int> rows;
  for (const CommandDef& c : AllCommands()) ++rows[c.id];
  for (const Expected& e : kCatalogue) {
    EXPECT_EQ(rows[e.id], 1) << e.id;
    std::vector<std::string_view> got = CaptionsOf(e.id);
    ASSERT_EQ(got.size(), e.captions.size()) << e.id;
    for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(std::string(got[i]), S(e.captions[i])) << e.id;
  }
  for (uint32_t web : {32848u, 32899u, 32901u, 32902u}) EXPECT_EQ(rows[web], 1) << web;
  for (const auto& [id, n] : rows) EXPECT_EQ(n, 1) << "identifier twice in the table: " << id;
}

TEST(CommandTable, PlainCommandsWriteTheirKeywordAndFixedArguments) {
  struct { uint32_t id; const char* line; } cases[] = {
      {32829, "ZenToHan"}, {32817, "ZenToHan2 1"}, {32821, "ZenToHan2 3"}, {32816, "HanToZen2 3"},
      {32843, "SpaceInsert 1 1 0"}, {32842, "DeletePos 1 1"}, {32781, "HiraToKana"}};
  for (auto& c : cases) EXPECT_EQ(FindCommand(c.id)->MacroLine(), c.line) << c.id;
  EXPECT_EQ(FindCommand(32843)->confirm, Txt::None);  // the shifts ask nothing
  EXPECT_EQ(FindCommand(32842)->confirm, Txt::None);
  EXPECT_STREQ(TextOf(FindCommand(32781)->confirm), "ひらがなをカタカナに変換します");
}

TEST(CommandTable, EveryKeywordItWritesIsOneTheInterpreterKnows) {
  for (const CommandDef& c : AllCommands())
    if (*c.keyword) {
      EXPECT_GE(FindKeyword(c.keyword), 0) << c.keyword;
    }
}

TEST(Catalogue, HasTheFixedEntriesAndTheMacroMenuInPlace) {
  auto cat = BuildCatalogue(CodePage(), {sj(u8"整形"), sj(u8"sort")});
  ASSERT_EQ(cat.size(), 103u);
  int twice = 0;
  for (auto& e : cat) twice += e.id == 32797;
  EXPECT_EQ(twice, 2);
  // The macro entries stand after the options group and before the window group.
  size_t at = 0;
  while (cat[at].id != 32853) ++at;
  EXPECT_EQ(cat[at - 1].id, 32852u);
  EXPECT_EQ(u8(cat[at].caption), "[ﾏｸﾛ]整形");
  EXPECT_EQ(cat[at + 1].id, 32854u);
  EXPECT_EQ(cat[at + 2].id, 57648u);
  EXPECT_EQ(BuildCatalogue(CodePage(), {}).size(), 101u);
}

}  // namespace

namespace {

struct TopItem {
  MenuNode::Kind kind;
  std::string caption;
  size_t children;  // items of a submenu, separators included
};

// The top level of the popup, each submenu's caption and size.
std::vector<TopItem> TopLevel() {
  std::vector<TopItem> top;
  int depth = 0;
  for (const MenuNode& n : TrayMenu()) {
    if (n.kind == MenuNode::End) {
      --depth;
      continue;
    }
    if (depth == 0) top.push_back({n.kind, std::string(n.caption) + n.mnemonic, 0});
    else if (depth == 1) ++top.back().children;
    if (n.kind == MenuNode::Popup) ++depth;
  }
  return top;
}

TEST(TrayMenu, HasTheStructureOfTheMenuResource) {
  std::vector<TopItem> top = TopLevel();
  ASSERT_EQ(top.size(), 16u);
  const char* captions[16] = {"全角→半角(&Z)", "半角→全角(&H)", "", "大文字小文字変換(&L)", "TAB文字変換(&B)",
                              "空白処理(&A)", "置換処理(&R)", "", "編集(\x1E" "E\x1F" "ｼ)", "整形(&S)", "変換(&C)",
                              "コード(&D)", "オプション(&O)", "ヘルプ(\x1E" "H\x1F" "ﾍ)", "", "終了(\x1E" "X\x1F" "ﾘ)"};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(top[i].caption, captions[i]) << i;
  for (int sep : {2, 7, 14}) EXPECT_EQ(top[sep].kind, MenuNode::Separator);
  EXPECT_EQ(top[12].children, 15u);  // the options submenu ends with its placeholder at 14
}

TEST(TrayMenu, OptionsSubmenuEndsWithThePlaceholder) {
  int depth = 0, inOptions = -1;
  std::vector<uint32_t> ids;
  for (const MenuNode& n : TrayMenu()) {
    if (n.kind == MenuNode::Popup && depth == 0 && std::string(n.caption) == "オプション(&O)") inOptions = 0;
    if (n.kind == MenuNode::Popup) ++depth;
    if (n.kind == MenuNode::End && --depth == 0) inOptions = -1;
    if (inOptions >= 0 && depth == 1 && n.kind != MenuNode::Popup && n.kind != MenuNode::End) ids.push_back(n.id);
  }
  std::vector<uint32_t> want = {32806, 32792, 32774, 33090, 0, 32809, 0, 32793, 0, 32837, 32838, 32812, 32852, 0, 32853};
  EXPECT_EQ(ids, want);
}

TEST(TrayMenu, EveryItemIsACommandAndEveryCommandIsOnAMenu) {
  std::set<uint32_t> onMenu;
  for (std::span<const MenuNode> m : {TrayMenu(), SecondaryMenu()})
    for (const MenuNode& n : m)
      if (n.kind == MenuNode::Item) onMenu.insert(n.id);
  for (uint32_t id : onMenu)
    if (id != kFirstMacroMenuCommand) {
      EXPECT_NE(FindCommand(id), nullptr) << id;
    }
  // The custom menu's own entries (its help entry) stand on no menu, only in its catalogue.
  std::set<uint32_t> catalogued;
  for (const CatalogueEntry& e : BuildCatalogue(test::CodePage(), {})) catalogued.insert(e.id);
  for (const CommandDef& c : AllCommands()) EXPECT_TRUE(onMenu.count(c.id) || catalogued.count(c.id)) << c.id;
}

}  // namespace
