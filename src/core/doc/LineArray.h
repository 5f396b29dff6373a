#pragma once
// The lines of a document: an ordered array of immutable byte strings with value semantics.
// Copies share the bytes of every line, so an undo snapshot costs a pointer per line and
// never the text itself; a line is copied only when it is replaced by different bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qlk {

class LineArray {
 public:
  LineArray() = default;
  LineArray(const LineArray& o);
  LineArray(LineArray&& o) noexcept : refs_(std::move(o.refs_)) {}
  LineArray& operator=(const LineArray& o);
  LineArray& operator=(LineArray&& o) noexcept;
  ~LineArray();

  size_t size() const { return refs_.size(); }
  bool empty() const { return refs_.empty(); }
  const std::string& operator[](size_t i) const { return refs_[i]->text; }
  const std::string& back() const { return refs_.back()->text; }

  // Replaces line i; keeps the shared bytes when the new text is the same.
  void Set(size_t i, std::string text);
  void Insert(size_t i, std::string text);
  void Erase(size_t i, size_t count = 1);
  void PushBack(std::string text);
  // Appends line i of another array, sharing its bytes.
  void PushShared(const LineArray& from, size_t i);
  void Swap(size_t a, size_t b) { std::swap(refs_[a], refs_[b]); }
  void Clear();
  void Reserve(size_t n) { refs_.reserve(n); }

  // Moves line `from` to position `to`, shifting the lines between (no bytes copied).
  void Move(size_t from, size_t to);

  std::vector<std::string> ToVector() const;
  static LineArray FromVector(const std::vector<std::string>& v);

  bool operator==(const LineArray& o) const;

  // Whether two arrays share the bytes of line i (for tests of the sharing itself).
  bool SharesLine(const LineArray& o, size_t i) const { return refs_[i] == o.refs_[i]; }

 private:
  struct Node {
    uint32_t refs;
    std::string text;
  };
  static Node* New(std::string&& text) { return new Node{1, std::move(text)}; }
  static void Retain(Node* n) { ++n->refs; }
  static void Release(Node* n) {
    if (--n->refs == 0) delete n;
  }
  void ReleaseAll();

  std::vector<Node*> refs_;
};

}  // namespace qlk
