#include "cli/XmlView.h"

#include <memory>
#include <optional>
#include <vector>

#include "app/Texts.h"
#include "platform/System.h"
#include "update/Xml.h"

using namespace qlk;

namespace {

class PrintUI final : public IUserInterface {
 public:
  Answer Show(const Message& m) override {
    sys::PrintError("qlark: " + m.text);
    return Answer::Cancel;
  }
  void BeginWait() override {}
  void EndWait() override {}
  bool RunDialog(DialogModel&) override { return false; }
  std::vector<std::string> FileDialog(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> BrowseFolder(Txt) override { return std::nullopt; }
};

// A value in double quotes, its line breaks and tabs written as escapes.
std::string Quoted(const ICodePage& cp, const std::string& sjis) {
  std::string out = "\"";
  for (char c : cp.SjisToUtf8(sjis)) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '"' || c == '\\') out += std::string("\\") + c;
    else out += c;
  }
  return out + "\"";
}

// One line a node, indented by depth (a number past 40 levels).
std::string Tree(const ICodePage& cp, const CKXMLNode& root) {
  std::string out;
  std::vector<std::pair<const CKXMLNode*, int>> st;
  const auto& top = root.GetChildNodes();
  for (size_t i = top.GetLength(); i-- > 0;) st.push_back({top.Item(i), 0});
  while (!st.empty()) {
    auto [n, depth] = st.back();
    st.pop_back();
    out += depth <= 40 ? std::string(static_cast<size_t>(depth) * 2, ' ') : "[" + std::to_string(depth) + "] ";
    if (n->GetNodeType() == CKXMLNode::kElement) {
      auto* e = static_cast<const CKXMLElement*>(n);
      out += "element " + Quoted(cp, e->GetNodeName());
      for (const CKXMLAttribute& a : e->Attributes()) out += " " + cp.SjisToUtf8(a.GetNodeName()) + "=" + Quoted(cp, a.GetNodeValue());
      if (e->emptyElement) out += " (empty)";
      if (e->percent) out += " (%)";
      if (!e->endTag) out += " (no end tag)";
    } else {
      out += n->GetNodeName() + " " + Quoted(cp, n->GetNodeValue());
    }
    out += "\n";
    const auto& kids = n->GetChildNodes();
    for (size_t i = kids.GetLength(); i-- > 0;) st.push_back({kids.Item(i), depth + 1});
  }
  return out;
}

}  // namespace

int ShowXml(const std::string& utf8Path) {
  std::unique_ptr<ICodePage> cp = sys::MakeCodePage();
  std::unique_ptr<IFiles> files = sys::MakeFiles(*cp);
  PrintUI ui;
  CKXMLDocument doc(cp.get());
  if (!doc.LoadFile(cp->Utf8ToSjis(utf8Path), *files, ui)) return 2;
  std::string tree = Tree(*cp, doc);
  if (!tree.empty() && tree.back() == '\n') tree.pop_back();
  sys::PrintOut(TextOf(Txt::CliXmlTree));
  sys::PrintOut(tree);
  sys::PrintOut(TextOf(Txt::CliXmlText));
  sys::PrintOut(cp->SjisToUtf8(doc.GetXml()));
  return 0;
}
