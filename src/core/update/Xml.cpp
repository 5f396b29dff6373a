#include "update/Xml.h"

#include <algorithm>

#include "conv/FileReader.h"
#include "conv/Unicode.h"
#include "platform/UserInterface.h"
#include "update/XmlMatch.h"

namespace qlk {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view TrimBlanks(std::string_view s) {
  size_t b = s.find_first_not_of(kBlanks);
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
}

// Cuts the text into nodes. Element content is not parsed where it is found but put on a
// list of work, so nesting costs heap, not stack; each element's children still come out in
// the order of its text, since every piece of work appends to its own element only.
class Loader {
 public:
  explicit Loader(std::string_view text) : text_(text), finder_(text) {}

  // The element loader over the whole text, then all the work it left.
  void LoadElement(CKXMLElement& e) {
    LoadElementAt(e, 0, text_.size());
    Drain();
  }
  // The fragment parser over the whole text; its own result (nested ones are not passed on).
  bool ParseFragment(CKXMLNode& parent) {
    bool ok = Fragment(parent, 0, text_.size());
    Drain();
    return ok;
  }

 private:
  struct Work {
    CKXMLNode* parent;
    size_t b, e;
  };

  void Drain() {
    while (!work_.empty()) {
      Work w = work_.back();
      work_.pop_back();
      Fragment(*w.parent, w.b, w.e);
    }
  }

  size_t FindIn(std::string_view what, size_t from, size_t end) const {
    size_t at = text_.find(what, from);
    return at == std::string_view::npos || at + what.size() > end ? std::string_view::npos : at;
  }
  size_t FindIn(char c, size_t from, size_t end) const {
    size_t at = text_.find(c, from);
    return at == std::string_view::npos || at >= end ? std::string_view::npos : at;
  }
  std::string Cut(size_t b, size_t e) const { return std::string(text_.substr(b, e > b ? e - b : 0)); }

  // Text holding start tag, content and end tag.
  void LoadElementAt(CKXMLElement& el, size_t b, size_t e) {
    el.endTag = 1;
    StartTag(el, b, e);
    const std::string& name = el.GetNodeName();
    if (name.empty()) return;
    const std::string endTag = "</" + name + ">";
    if (e - b < endTag.size() || text_.substr(e - endTag.size(), endTag.size()) != endTag) {
      el.endTag = 0;
      return;
    }
    const size_t gt = FindIn('>', b, e);  // there is one: the start tag had it
    const size_t cb = gt + 1, ce = e - endTag.size();
    if (cb < ce) work_.push_back({&el, cb, ce});
  }

  void StartTag(CKXMLElement& el, size_t b, size_t e) {
    el.SetNodeName({});
    el.emptyElement = el.percent = 0;
    el.Attributes().clear();
    const size_t lt = FindIn('<', b, e);
    if (lt == std::string_view::npos) {
      el.AppendChild(std::make_unique<CKXMLTextNode>(Cut(b, e)));
      return;
    }
    const size_t gt = FindIn('>', lt, e);
    if (gt == std::string_view::npos) return;
    std::string_view tag = text_.substr(lt + 1, gt - lt - 1);
    if (!tag.empty() && tag.back() == '/') {
      el.emptyElement = 1;
      tag.remove_suffix(1);
    }
    if (tag.size() > 2 && tag.front() == '%' && tag.back() == '%') {
      el.SetNodeName(std::string(TrimBlanks(tag.substr(1, tag.size() - 2))));
      el.percent = 1;
      return;
    }
    const size_t ws = tag.find_first_of(kBlanks);
    if (ws == std::string_view::npos) {
      el.SetNodeName(std::string(tag));
      return;
    }
    el.SetNodeName(std::string(tag.substr(0, ws)));
    std::string_view attrs = tag.substr(ws + 1);
    const size_t last = attrs.find_last_not_of(kBlanks);
    attrs = last == std::string_view::npos ? std::string_view() : attrs.substr(0, last + 1);
    Attributes(el, attrs);
  }

  static void Attributes(CKXMLElement& el, std::string_view t) {
    const size_t n = t.size();
    size_t i = 0;
    while (i < n && t[i] != '>') {
      while (i < n && kBlanks.find(t[i]) != std::string_view::npos) ++i;
      if (i >= n || t[i] == '>') break;
      const size_t start = i;
      while (i < n) {
        const char c = t[i];
        if (c == ' ' || c == '=' || c == '>' || (c == '/' && i >= 2)) break;
        ++i;
      }
      std::string name(t.substr(start, i - start));
      bool equals = false;
      while (i < n && (t[i] == ' ' || t[i] == '=')) {
        equals = equals || t[i] == '=';
        ++i;
      }
      std::string value;
      if (equals && i < n) {
        size_t stop;
        if (t[i] == '"' || t[i] == '\'') {
          stop = t.find(t[i], i + 1);
          stop = stop == std::string_view::npos ? n : stop + 1;  // the quotes go with the value
        } else {
          stop = i;
          while (stop < n && t[stop] != ' ' && t[stop] != '>') ++stop;
        }
        std::string_view v = t.substr(i, stop - i);
        for (char q : {'\'', '"'}) {
          while (!v.empty() && v.front() == q) v.remove_prefix(1);
          while (!v.empty() && v.back() == q) v.remove_suffix(1);
        }
        value = std::string(v);
        i = stop;
      }
      if (!name.empty() || !value.empty()) el.Attributes().emplace_back(std::move(name), std::move(value));
      if (i == start) ++i;  // a lone '/' names nothing: step over it
    }
  }

  bool Fragment(CKXMLNode& parent, size_t b, size_t e) {
    size_t pos = b;
    while (pos < e) {
      const size_t lt = FindIn('<', pos, e);
      if (lt == std::string_view::npos) {
        parent.AppendChild(std::make_unique<CKXMLTextNode>(Cut(pos, e)));
        return true;
      }
      if (lt > pos) {
        parent.AppendChild(std::make_unique<CKXMLTextNode>(Cut(pos, lt)));
        pos = lt;
      }
      const size_t rest = e - pos;
      if (rest >= 7 && text_.substr(pos, 4) == "<!--") {
        const size_t end = FindIn("-->", pos, e);
        if (end == std::string_view::npos) return false;
        parent.AppendChild(std::make_unique<CKXMLComment>(Cut(pos + 4, end)));
        pos = end + 3;
        continue;
      }
      if (rest >= 12 && text_.substr(pos, 9) == "<![CDATA[") {
        const size_t end = FindIn("]]>", pos, e);
        if (end == std::string_view::npos) return false;
        parent.AppendChild(std::make_unique<CKXMLCDATASection>(Cut(pos + 9, end)));
        pos = end + 3;
        continue;
      }
      size_t nameEnd = pos + 1;
      while (nameEnd < e && text_[nameEnd] != '>' && text_[nameEnd] != ' ' && text_[nameEnd] != '\t') ++nameEnd;
      size_t te = finder_.Find(pos + 1, nameEnd, e);
      if (te == xml::kNoMatch) {
        const size_t gt = FindIn('>', pos, e);
        te = gt == std::string_view::npos ? e : gt + 1;
      }
      auto el = std::make_unique<CKXMLElement>();
      CKXMLElement& ref = *el;
      parent.AppendChild(std::move(el));
      LoadElementAt(ref, pos, te);
      pos = te;
    }
    return true;
  }

  std::string_view text_;
  xml::CloseFinder finder_;
  std::vector<Work> work_;
};

}  // namespace

// ------------------------------------------------------------------------------ lists and nodes

CKXMLNodeList::~CKXMLNodeList() {
  if (!owning_) return;
  // Children of the nodes freed here are taken over first, so no destructor recurses.
  std::vector<CKXMLNode*> pending(nodes_.begin(), nodes_.end());
  nodes_.clear();
  while (!pending.empty()) {
    CKXMLNode* n = pending.back();
    pending.pop_back();
    pending.insert(pending.end(), n->children_.nodes_.begin(), n->children_.nodes_.end());
    n->children_.nodes_.clear();
    delete n;
  }
}

CKXMLNode::~CKXMLNode() = default;

bool CKXMLNode::SetNodeValue(std::string value) {
  value_ = std::move(value);
  return true;
}

void CKXMLNode::RemoveChildren() {
  CKXMLNodeList old(true);
  old.nodes_.swap(children_.nodes_);
  for (CKXMLNode* n : old.nodes_) n->parent_ = n->prev_ = n->next_ = nullptr;
}

CKXMLNode* CKXMLNode::AppendChild(CKXMLNode* node) {
  if (!node) return nullptr;
  if (CKXMLNode* old = node->parent_) {
    auto& v = old->children_.nodes_;
    v.erase(std::find(v.begin(), v.end(), node));
    if (node->prev_) node->prev_->next_ = node->next_;
    if (node->next_) node->next_->prev_ = node->prev_;
  }
  node->parent_ = this;
  node->next_ = nullptr;
  node->prev_ = children_.nodes_.empty() ? nullptr : children_.nodes_.back();
  if (node->prev_) node->prev_->next_ = node;
  children_.nodes_.push_back(node);
  return node;
}

const CKXMLNode* CKXMLNode::NextInWalk(const CKXMLNode* n, const CKXMLNode* root, bool descend) {
  if (descend && n->HasChildNodes()) return n->GetFirstChild();
  while (n != root) {
    if (n->next_) return n->next_;
    n = n->parent_;
  }
  return nullptr;
}

std::unique_ptr<CKXMLNode> CKXMLNode::CloneNode() const {
  std::unique_ptr<CKXMLNode> top = ShallowCopy();
  // Pairs of (original, copy) whose children are still to copy.
  std::vector<std::pair<const CKXMLNode*, CKXMLNode*>> todo{{this, top.get()}};
  while (!todo.empty()) {
    auto [from, to] = todo.back();
    todo.pop_back();
    for (CKXMLNode* c : from->children_) {
      CKXMLNode* copy = to->AppendChild(c->ShallowCopy());
      if (c->HasChildNodes()) todo.emplace_back(c, copy);
    }
  }
  return top;
}

CKXMLNodeList CKXMLNode::GetElementsByTagName(const std::string* name) const {
  CKXMLNodeList out(false);
  for (const CKXMLNode* n = GetFirstChild(); n; n = NextInWalk(n, this, true))
    if (n->GetNodeType() == kElement && (!name || n->GetNodeName() == *name)) out.nodes_.push_back(const_cast<CKXMLNode*>(n));
  return out;
}

// ------------------------------------------------------------------------------ elements

bool CKXMLElement::SetNodeValue(std::string value) {
  RemoveChildren();
  Loader loader(value);
  return loader.ParseFragment(*this);
}

std::string CKXMLElement::GetText() const {
  std::string out;
  for (const CKXMLNode* n = GetFirstChild(); n; n = NextInWalk(n, this, n->GetNodeType() == kElement))
    if (n->GetNodeType() != kElement) out += n->GetText();
  return out;
}

std::string CKXMLElement::GetXml() const {
  std::string out;
  auto open = [&out](const CKXMLElement& e) {
    if (e.name_.empty()) return;
    out += '<';
    out += e.name_;
    for (const CKXMLAttribute& a : e.attributes_) {
      out += ' ';
      out += a.GetXml();
    }
    out += e.HasChildNodes() ? ">" : " />";
  };
  auto close = [&out](const CKXMLNode& n) {
    const auto& e = static_cast<const CKXMLElement&>(n);
    if (e.HasChildNodes() && e.endTag) out += "</" + e.name_ + ">";
  };
  open(*this);
  const CKXMLNode* n = this;
  bool descend = true;
  // Enter each element once and leave it once; other nodes write themselves whole.
  while (true) {
    if (descend && n->GetNodeType() == kElement && n->HasChildNodes()) {
      n = n->GetFirstChild();
    } else {
      if (n->GetNodeType() == kElement) close(*n);
      if (n == this) break;
      while (!n->GetNextSibling()) {
        n = n->GetParentNode();
        close(*n);
        if (n == this) return out;
      }
      n = n->GetNextSibling();
    }
    if (n->GetNodeType() == kElement) open(static_cast<const CKXMLElement&>(*n));
    else out += n->GetXml();
    descend = n->GetNodeType() == kElement;
  }
  return out;
}

std::string CKXMLElement::GetAttribute(std::string_view name) const {
  for (const CKXMLAttribute& a : attributes_)
    if (a.GetNodeName() == name) return a.GetNodeValue();
  return {};
}

std::unique_ptr<CKXMLNode> CKXMLElement::ShallowCopy() const {
  auto e = std::make_unique<CKXMLElement>();
  e->name_ = name_;
  e->value_ = value_;
  e->attributes_ = attributes_;
  e->emptyElement = emptyElement;
  e->percent = percent;
  e->endTag = endTag;
  return e;
}

// ------------------------------------------------------------------------------ documents

CKXMLElement* CKXMLDocument::GetDocumentElement() const {
  CKXMLNode* first = GetFirstChild();
  return first && first->GetNodeType() == kElement ? static_cast<CKXMLElement*>(first) : nullptr;
}

std::string CKXMLDocument::GetXml() const {
  std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
  if (CKXMLElement* root = GetDocumentElement()) out += root->GetXml();
  return out;
}

bool CKXMLDocument::LoadFile(std::string_view path, IFiles& files, IUserInterface& ui) {
  std::string text;
  try {
    CFileReader reader(files);
    reader.OpenReader(path, "rb");
    text = reader.ReadAll();
    reader.CloseReader();
  } catch (const CKorvuFileException& e) {
    ui.Tell(cp_ ? e.ToMessage(*cp_) : Message{e.Id(), std::string(TextOf(e.Id())) + ":" + e.Name()});
    return false;
  }
  return LoadXml(text, true);
}

bool LooksLikeUtf8(std::string_view text) {
  int state = 1;
  for (unsigned char c : text) {
    switch (state) {
      case 1:
        if (c <= 0x7F) break;
        if (c >= 0xC0 && c <= 0xDF) state = 2;
        else if (c >= 0xE0 && c <= 0xEF) state = 3;
        else return false;
        break;
      case 2:
      case 4:
        if (c < 0x80 || c > 0xBF) return false;
        state = 1;
        break;
      case 3:
        if (c < 0x80 || c > 0xBF) return false;
        state = 4;
        break;
    }
  }
  return state == 1;
}

bool CKXMLDocument::LoadXml(std::string_view text, bool skipProlog) {
  if (skipProlog) {
    // Only the first tag goes, whatever it is; without any '>' nothing does.
    const size_t gt = text.find('>');
    if (gt != std::string_view::npos) text.remove_prefix(gt + 1);
  }
  text = TrimBlanks(text);
  std::string sjis;
  if (cp_ && LooksLikeUtf8(text)) {
    // The ordinary UTF-8 to Shift-JIS conversion, byte order mark skipped.
    AppendUtf8ToSjisLine(*cp_, text, sjis);
  } else {
    sjis = std::string(text);
  }
  RemoveChildren();
  auto root = std::make_unique<CKXMLElement>();
  CKXMLElement& ref = *root;
  AppendChild(std::move(root));
  Loader loader(sjis);
  loader.LoadElement(ref);
  return true;
}

CKXMLElement* FindChildElement(const CKXMLNodeList& list, std::string_view name) {
  for (CKXMLNode* n : list)
    if (n->GetNodeType() == CKXMLNode::kElement && n->GetNodeName() == name) return static_cast<CKXMLElement*>(n);
  return nullptr;
}

CKXMLElement* FindElementByAttribute(const CKXMLNodeList& list, std::string_view attr, std::string_view value) {
  for (CKXMLNode* n : list) {
    if (n->GetNodeType() != CKXMLNode::kElement) continue;
    auto* e = static_cast<CKXMLElement*>(n);
    for (const CKXMLAttribute& a : e->Attributes())
      if (a.GetNodeName() == attr) {
        if (a.GetNodeValue() == value) return e;
        break;  // the first attribute of that name decides
      }
  }
  return nullptr;
}

}  // namespace qlk
