#pragma once
// A small document object model for the update information file: node classes after the W3C
// node kinds, a loader that cuts Shift-JIS text into a tree with substring searches (loose,
// HTML-like input is accepted and never reported), queries by name and attribute, and a
// writer back to text. Values are kept exactly as cut: entity references stay as written.
//
// Every walk over a tree (freeing, copying, writing, collecting text, queries) and the loader
// itself keep their own stacks, so a document nested a hundred thousand deep is no danger to
// the thread's stack.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qlk {

class ICodePage;
class IFiles;
class IUserInterface;
class CKXMLNode;

// An ordered list of nodes. As a node's child list it owns them; as a query's result it only
// refers to them.
class CKXMLNodeList {
 public:
  explicit CKXMLNodeList(bool owning = false) : owning_(owning) {}
  ~CKXMLNodeList();
  CKXMLNodeList(CKXMLNodeList&& o) noexcept : nodes_(std::move(o.nodes_)), owning_(o.owning_) { o.nodes_.clear(); }
  CKXMLNodeList(const CKXMLNodeList&) = delete;
  CKXMLNodeList& operator=(const CKXMLNodeList&) = delete;

  size_t GetLength() const { return nodes_.size(); }
  CKXMLNode* Item(size_t i) const { return i < nodes_.size() ? nodes_[i] : nullptr; }
  auto begin() const { return nodes_.begin(); }
  auto end() const { return nodes_.end(); }

 private:
  friend class CKXMLNode;
  std::vector<CKXMLNode*> nodes_;
  bool owning_;
};

class CKXMLNode {
 public:
  enum Type { kElement = 1, kAttribute = 2, kText = 3, kCData = 4, kComment = 8, kDocument = 9 };

  virtual ~CKXMLNode();  // frees every descendant
  virtual int GetNodeType() const = 0;
  virtual void SetNodeName(std::string name) { name_ = std::move(name); }
  virtual const std::string& GetNodeName() const { return name_; }
  virtual const std::string& GetNodeValue() const { return value_; }
  virtual bool HasChildNodes() const { return children_.GetLength() != 0; }
  virtual bool SetNodeValue(std::string value);
  virtual std::string GetText() const { return value_; }
  // A deep copy: name, value, attributes, flags and every descendant.
  virtual std::unique_ptr<CKXMLNode> CloneNode() const;
  virtual std::string GetXml() const { return {}; }

  // Takes the node (from this node's or any other child list) and links it after the last
  // child; returns it.
  CKXMLNode* AppendChild(CKXMLNode* node);
  CKXMLNode* AppendChild(std::unique_ptr<CKXMLNode> node) { return AppendChild(node.release()); }
  const CKXMLNodeList& GetChildNodes() const { return children_; }
  CKXMLNode* GetParentNode() const { return parent_; }
  CKXMLNode* GetPreviousSibling() const { return prev_; }
  CKXMLNode* GetNextSibling() const { return next_; }
  CKXMLNode* GetFirstChild() const { return children_.Item(0); }
  // Every descendant element in document order whose name is `name` (exact bytes); every
  // descendant element when `name` is null.
  CKXMLNodeList GetElementsByTagName(const std::string* name) const;
  CKXMLNodeList GetElementsByTagName(const std::string& name) const { return GetElementsByTagName(&name); }
  // Removes and frees every child.
  void RemoveChildren();

  CKXMLNode(const CKXMLNode&) = delete;
  CKXMLNode& operator=(const CKXMLNode&) = delete;

 protected:
  friend class CKXMLNodeList;
  CKXMLNode() = default;
  // This node alone, without children.
  virtual std::unique_ptr<CKXMLNode> ShallowCopy() const = 0;
  // The next node of a pre-order walk under `root`; `descend` says whether to enter `n`.
  static const CKXMLNode* NextInWalk(const CKXMLNode* n, const CKXMLNode* root, bool descend);

  CKXMLNodeList children_{true};
  CKXMLNode* prev_ = nullptr;
  CKXMLNode* next_ = nullptr;
  CKXMLNode* parent_ = nullptr;
  std::string name_;
  std::string value_;
};

class CKXMLCharacterData : public CKXMLNode {
 public:
  explicit CKXMLCharacterData(std::string value = {}) { value_ = std::move(value); }
};

class CKXMLTextNode final : public CKXMLCharacterData {
 public:
  explicit CKXMLTextNode(std::string value = {}) : CKXMLCharacterData(std::move(value)) { name_ = "#text"; }
  int GetNodeType() const override { return kText; }
  std::string GetXml() const override { return value_; }

 protected:
  std::unique_ptr<CKXMLNode> ShallowCopy() const override { return std::make_unique<CKXMLTextNode>(value_); }
};

class CKXMLComment final : public CKXMLCharacterData {
 public:
  explicit CKXMLComment(std::string value = {}) : CKXMLCharacterData(std::move(value)) { name_ = "#comment"; }
  int GetNodeType() const override { return kComment; }
  std::string GetText() const override { return {}; }
  std::string GetXml() const override { return "<!--" + value_ + "-->"; }

 protected:
  std::unique_ptr<CKXMLNode> ShallowCopy() const override { return std::make_unique<CKXMLComment>(value_); }
};

class CKXMLCDATASection final : public CKXMLCharacterData {
 public:
  explicit CKXMLCDATASection(std::string value = {}) : CKXMLCharacterData(std::move(value)) { name_ = "#cdata-section"; }
  int GetNodeType() const override { return kCData; }
  std::string GetXml() const override { return "<![CDATA[" + value_ + "]]>"; }

 protected:
  std::unique_ptr<CKXMLNode> ShallowCopy() const override { return std::make_unique<CKXMLCDATASection>(value_); }
};

class CKXMLAttribute final : public CKXMLCharacterData {
 public:
  CKXMLAttribute(std::string name = {}, std::string value = {}) : CKXMLCharacterData(std::move(value)) {
    name_ = std::move(name);
  }
  // Attributes are held by value in their element: a copy takes the name and the value.
  CKXMLAttribute(const CKXMLAttribute& o) : CKXMLAttribute(o.name_, o.value_) {}
  CKXMLAttribute& operator=(const CKXMLAttribute& o) {
    name_ = o.name_;
    value_ = o.value_;
    return *this;
  }
  int GetNodeType() const override { return kAttribute; }
  // name="value", or the name alone when the value is empty.
  std::string GetXml() const override { return value_.empty() ? name_ : name_ + "=\"" + value_ + "\""; }

 protected:
  std::unique_ptr<CKXMLNode> ShallowCopy() const override { return std::make_unique<CKXMLAttribute>(*this); }
};

class CKXMLElement final : public CKXMLNode {
 public:
  int GetNodeType() const override { return kElement; }
  // Replaces the content with `value` parsed as a fragment; false when a comment or CDATA
  // section in it is not closed (the nodes before it stay).
  bool SetNodeValue(std::string value) override;
  std::string GetText() const override;
  std::string GetXml() const override;

  // The value of the first attribute named `name` (exact bytes), or empty text.
  std::string GetAttribute(std::string_view name) const;
  const std::vector<CKXMLAttribute>& Attributes() const { return attributes_; }
  std::vector<CKXMLAttribute>& Attributes() { return attributes_; }

  int emptyElement = 0;  // the start tag ended in "/"
  int percent = 0;       // the tag started and ended with "%"
  int endTag = 1;        // the element's text ended with its end tag

 protected:
  std::unique_ptr<CKXMLNode> ShallowCopy() const override;

 private:
  std::vector<CKXMLAttribute> attributes_;
};

class CKXMLDocument final : public CKXMLNode {
 public:
  // Without a code page, UTF-8 text is kept as it is.
  explicit CKXMLDocument(const ICodePage* cp = nullptr) : cp_(cp) { name_ = "#document"; }
  int GetNodeType() const override { return kDocument; }
  std::string GetXml() const override;

  // The first child when it is an element.
  CKXMLElement* GetDocumentElement() const;
  // Reads the file whole (CFileReader, "rb") and loads it; a file error is shown once in a
  // message box and leaves the document empty.
  bool LoadFile(std::string_view path, IFiles& files, IUserInterface& ui);
  // Cuts the prolog's first tag when asked, trims, converts UTF-8 text to Shift-JIS, and loads
  // the text as one element, the document's only child. Always true.
  bool LoadXml(std::string_view text, bool skipProlog = true);

 protected:
  std::unique_ptr<CKXMLNode> ShallowCopy() const override { return std::make_unique<CKXMLDocument>(cp_); }

 private:
  const ICodePage* cp_;
};

// The first element of the list named `name` (exact bytes), or null.
CKXMLElement* FindChildElement(const CKXMLNodeList& list, std::string_view name);
// The first element of the list whose attribute `attr` has exactly the value `value`.
CKXMLElement* FindElementByAttribute(const CKXMLNodeList& list, std::string_view attr, std::string_view value);

// Whether the whole text passes the loader's UTF-8 test: one- to three-byte sequences only.
bool LooksLikeUtf8(std::string_view text);

}  // namespace qlk
