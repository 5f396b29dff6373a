#pragma once
// The loader's search for the end tag that closes an element. From just after the element's
// name, the bytes are scanned once for "<name" (raising a depth) and "</name>" (closing at
// depth 0, else lowering it); letters compare without regard to ASCII case, and after a
// mismatching byte a partial match restarts without trying that byte again.
//
// Scanning afresh for every element would cost the square of the text's length for texts
// full of unmatched start tags or deeply nested ones. CloseFinder gives the same answers from
// an index: the events of each name (counted openings and closings, with the running depth)
// are found once for the whole text, and a query looks up the first closing that brings the
// depth below its start.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qlk::xml {

constexpr size_t kNoMatch = static_cast<size_t>(-1);

// The scan as written: `name` is the element's name, the scan runs over text[from, end).
// Returns the position just after the matching end tag, or kNoMatch.
size_t ScanForClose(std::string_view text, std::string_view name, size_t from, size_t end);

class CloseFinder {
 public:
  explicit CloseFinder(std::string_view text);
  ~CloseFinder();
  // The same answer as ScanForClose(text, text.substr(nameBegin, from - nameBegin), from, end).
  size_t Find(size_t nameBegin, size_t from, size_t end);

 private:
  struct Pattern;
  struct Name;
  Name& NameFor(std::string_view lowerName);
  // The state of the scan that starts at the text's beginning, before position y: how many
  // bytes of the pattern are matched (0 when none).
  uint32_t StateBefore(Pattern& p, uint32_t y);

  std::string_view text_;
  std::string lower_;
  std::vector<uint32_t> lts_;  // every '<'
  std::unordered_map<std::string_view, std::vector<uint32_t>> byToken_;  // '<' by the lower-case token after it
  std::vector<std::string_view> tokens_;  // distinct tokens, sorted
  std::unordered_map<std::string_view, std::vector<uint32_t>> closes_;  // "</x>" by x
  std::unordered_map<std::string, std::unique_ptr<Name>> names_;
};

}  // namespace qlk::xml
