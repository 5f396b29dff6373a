#include <gtest/gtest.h>

#include <random>

#include "Fakes.h"
#include "conv/FileReader.h"
#include "update/Xml.h"
#include "update/XmlMatch.h"

namespace qlk::test {
namespace {

// The tree as one line: element name{flags}[attr=value,...](children), #text"v", #comment"v".
std::string Dump(const CKXMLNode& n) {
  std::string out;
  std::vector<std::pair<const CKXMLNode*, bool>> st{{&n, false}};
  while (!st.empty()) {
    auto [node, closing] = st.back();
    st.pop_back();
    if (closing) {
      out += ")";
      continue;
    }
    if (node->GetNodeType() == CKXMLNode::kElement) {
      auto* e = static_cast<const CKXMLElement*>(node);
      out += "<" + e->GetNodeName();
      if (e->emptyElement) out += "/";
      if (e->percent) out += "%";
      if (!e->endTag) out += "!";
      for (auto& a : e->Attributes()) out += "[" + a.GetNodeName() + "=" + a.GetNodeValue() + "]";
    } else {
      out += node->GetNodeName() + "\"" + node->GetNodeValue() + "\"";
    }
    if (!node->HasChildNodes()) continue;
    out += "(";
    st.push_back({node, true});
    const auto& kids = node->GetChildNodes();
    for (size_t i = kids.GetLength(); i-- > 0;) st.push_back({kids.Item(i), false});
  }
  return out;
}

std::string Load(std::string_view text, bool prolog = false) {
  CKXMLDocument doc(&CodePage());
  EXPECT_TRUE(doc.LoadXml(text, prolog));
  return Dump(*doc.GetDocumentElement());
}

TEST(Xml, LoaderCutsAsDefined) {
  struct Case {
    const char* text;
    const char* tree;
  } cases[] = {
      {"<a><a>x</a></a>", "<a(<a(#text\"x\"))"},
      {"<p><br>text</p>", "<p(<br!#text\"text\")"},
      {"<r><item>x</ITEM></r>", "<r(<item!)"},
      {"<e c='1' d=\"1\" selected/>", "<e/![c=1][d=1][selected=]"},
      {"<r>x</r><!-- after -->", "<r!"},
      {"no tags at all", "<(#text\"no tags at all\")"},
      {"<a>1<!--c-->2<![CDATA[<b>]]>3</a>", "<a(#text\"1\"#comment\"c\"#text\"2\"#cdata-section\"<b>\"#text\"3\")"},
      {"<a><!-- open</a>", "<a"},
      {"<a>x<!-->yz</a>", "<a(#text\"x\"#comment\"\"#text\"yz\")"},
      {"<a>x<!-->y</a>", "<a(#text\"x\"<!--!#text\"y\")"},
      {"<% name %>", "<name%!"},
      {"<a b=\"'q'\" c=x/y d>", "<a![b='q'][c=x/y][d=]"},
      {"<list><item name=\"A\">1</item><itemlist>2</itemlist></list>",
       "<list(<item[name=A](#text\"1\")<itemlist(#text\"2\"))"},
      {"<a><b></a>", "<a(<b!)"},
      {"<A>x</a>", "<A!"},
      {"<x><item><item>in</item>", "<x!"},
      {"<r><u><v>deep</v></u></r>", "<r(<u(<v(#text\"deep\")))"},
      {"<r>&amp;&#x41;</r>", "<r(#text\"&amp;&#x41;\")"},
      {"<a </a>", "<a[</a=]"},
      {"<r><item><itemlist></itemlist></item></r>", "<r(<item!<itemlist</item!)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Load(c.text), c.tree) << c.text;
}

TEST(Xml, PrologTrimAndUtf8Conversion) {
  // A byte order mark, a declaration, blank lines: the values come out in Shift-JIS.
  std::string text = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<r v=\"\xE6\x97\xA5\">\xE6\x9C\xAC</r>\r\n";
  EXPECT_EQ(Load(text, true), "<r[v=" + sj(u8"日") + "](#text\"" + sj(u8"本") + "\")");
  // Already Shift-JIS (not UTF-8 by the four-state test): kept as it is.
  std::string sjis = "<r>" + sj(u8"日本") + "</r>";
  EXPECT_EQ(Load(sjis, false), "<r(#text\"" + sj(u8"日本") + "\")");
  // Only the first tag goes with the prolog, whatever it is.
  EXPECT_EQ(Load("<a><b>x</b>", true), "<b(#text\"x\")");
  EXPECT_TRUE(LooksLikeUtf8(""));
  EXPECT_TRUE(LooksLikeUtf8("\xE3\x81\x82z"));
  EXPECT_FALSE(LooksLikeUtf8("\xF0\x9F\x98\x80"));  // four bytes are not counted as UTF-8
  EXPECT_FALSE(LooksLikeUtf8("\xE3\x81"));
  EXPECT_FALSE(LooksLikeUtf8("\x82\xA0"));
}

TEST(Xml, WriterText) {
  CKXMLDocument doc(&CodePage());
  doc.LoadXml("<a x=\"1\" y><b/><c>t</c><!--n--><![CDATA[d]]></a>", false);
  EXPECT_EQ(doc.GetXml(), "<?xml version=\"1.0\" encoding=\"utf-8\" ?><a x=\"1\" y><b /><c>t</c><!--n--><![CDATA[d]]></a>");
  EXPECT_EQ(doc.GetDocumentElement()->GetText(), "td");
  // An element whose end tag was missing keeps its children but writes no end tag.
  CKXMLElement e;
  e.SetNodeName("p");
  EXPECT_TRUE(e.SetNodeValue("1<q>2</q>"));
  e.endTag = 0;
  EXPECT_EQ(e.GetXml(), "<p>1<q>2</q>");
  EXPECT_FALSE(e.SetNodeValue("x<![CDATA[open"));
  EXPECT_EQ(Dump(e), "<p!(#text\"x\")");
}

TEST(Xml, QueriesAndCopies) {
  CKXMLDocument doc(&CodePage());
  doc.LoadXml("<list><g><item name=\"a\"><v>1</v></item></g><item name=\"b\"><v>2</v><v>3</v></item><item name=\"b\"/></list>",
              false);
  auto items = doc.GetDocumentElement()->GetElementsByTagName("item");
  ASSERT_EQ(items.GetLength(), 3u);
  CKXMLElement* b = FindElementByAttribute(items, "name", "b");
  ASSERT_EQ(b, items.Item(1));
  EXPECT_EQ(FindChildElement(b->GetChildNodes(), "v")->GetText(), "2");
  EXPECT_EQ(FindElementByAttribute(items, "name", "B"), nullptr);
  EXPECT_EQ(b->GetAttribute("name"), "b");
  EXPECT_EQ(b->GetAttribute("none"), "");
  EXPECT_EQ(doc.GetDocumentElement()->GetElementsByTagName(nullptr).GetLength(), 7u);
  auto copy = doc.CloneNode();
  EXPECT_EQ(copy->GetXml(), doc.GetXml());
  // AppendChild moves a node; the copy stays whole.
  CKXMLElement* first = static_cast<CKXMLElement*>(items.Item(0));
  doc.GetDocumentElement()->AppendChild(first);
  EXPECT_EQ(first->GetParentNode(), doc.GetDocumentElement());
  EXPECT_EQ(doc.GetDocumentElement()->GetChildNodes().GetLength(), 4u);
  EXPECT_NE(copy->GetXml(), doc.GetXml());
}

// A hundred thousand levels: loaded, written, copied, searched and freed without recursion
// (the Windows build runs these with its 2 MiB stack).
TEST(Xml, DeepNestingNeedsNoStack) {
  const int depth = 100000;
  std::string text;
  for (int i = 0; i < depth; ++i) text += "<a>";
  text += "x";
  for (int i = 0; i < depth; ++i) text += "</a>";
  CKXMLDocument doc(&CodePage());
  doc.LoadXml(text, false);
  EXPECT_EQ(doc.GetDocumentElement()->GetElementsByTagName("a").GetLength(), static_cast<size_t>(depth - 1));
  EXPECT_EQ(doc.GetDocumentElement()->GetText(), "x");
  std::unique_ptr<CKXMLNode> copy = doc.CloneNode();
  EXPECT_EQ(copy->GetXml(), "<?xml version=\"1.0\" encoding=\"utf-8\" ?>" + text);
  // Unclosed, deep, and many: every start tag becomes an empty element.
  std::string open;
  for (int i = 0; i < depth; ++i) open += "<b>";
  doc.LoadXml("<r>" + open + "</b></r>", false);
  EXPECT_EQ(doc.GetDocumentElement()->GetChildNodes().GetLength(), static_cast<size_t>(depth));
}

// The index behind the end-tag search against the scan as written, at every start tag of
// random texts made of the characters that matter to it.
TEST(Xml, CloseFinderAgreesWithTheScan) {
  std::mt19937 rng(22);
  const std::vector<std::string> pieces = {"<", ">", "/", " ", "a", "A", "b", "<a", "</a>", "<ab", "</ab>", "<a>", "<<", "</", "x"};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int n = static_cast<int>(rng() % 40);
    for (int i = 0; i < n; ++i) text += pieces[rng() % pieces.size()];
    xml::CloseFinder finder(text);
    for (size_t p = 0; p < text.size(); ++p) {
      if (text[p] != '<') continue;
      size_t nameEnd = p + 1;
      while (nameEnd < text.size() && text[nameEnd] != '>' && text[nameEnd] != ' ' && text[nameEnd] != '\t') ++nameEnd;
      for (size_t end : {text.size(), text.size() - text.size() / 3}) {
        if (end < nameEnd) continue;
        const std::string_view name = std::string_view(text).substr(p + 1, nameEnd - p - 1);
        ASSERT_EQ(finder.Find(p + 1, nameEnd, end), xml::ScanForClose(text, name, nameEnd, end))
            << "text " << text << " at " << p << " end " << end;
      }
    }
  }
}

TEST(FileReader, ReadsWholeFilesAndNamesTheFileInItsMessages) {
  TempDir dir;
  auto files = sys::MakeFiles(CodePage());
  ASSERT_TRUE(files->WriteAll(dir.Path("empty.txt"), ""));
  ASSERT_TRUE(files->WriteAll(dir.Path("zero.txt"), std::string("ab\0cd", 5)));
  CFileReader r(*files);
  r.OpenReader(dir.Path("empty.txt"), "rb");
  EXPECT_EQ(r.ReadAll(), "");
  EXPECT_TRUE(r.CloseReader());
  EXPECT_TRUE(r.CloseReader());  // nothing open: true at once
  r.OpenReader(dir.Path("zero.txt"), "rb");
  EXPECT_EQ(r.GetSize(), 5);
  EXPECT_EQ(r.ReadAll(), "ab");
  r.SeekTo(3, SEEK_SET);
  char two[2];
  EXPECT_EQ(r.ReadBytes(two, 2), 2u);
  EXPECT_EQ(std::string(two, 2), "cd");
  EXPECT_EQ(r.GetPos(), 5);
  const std::string missing = dir.Path("missing.xml");
  try {
    r.OpenReader(missing, "rb");
    ADD_FAILURE() << "no exception";
  } catch (const CKorvuFileException& e) {
    EXPECT_EQ(e.ToMessage(CodePage()).text, reinterpret_cast<const char*>(u8"ファイルのオープンに失敗しました:") + missing);
  }
  // The document shows it once and stays empty.
  TestPlatform t;
  CKXMLDocument doc(&CodePage());
  EXPECT_FALSE(doc.LoadFile(missing, *files, t.ui));
  ASSERT_EQ(t.ui.ShownIds(), std::vector<Txt>{Txt::FileOpenFailed});
  EXPECT_EQ(doc.GetDocumentElement(), nullptr);
}

}  // namespace
}  // namespace qlk::test
