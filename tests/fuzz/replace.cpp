// Fuzz target: the option-aware replace. Without options a search is the plain byte search
// for whole characters (a match starts and ends on a character boundary); with them every
// match starts on a character, and its text folds to what the search string folds to;
// swapping the case of letters, or the script of kana, does not move a match that ignores
// it. The replace is the walk of matches, and the regular-expression replace of a quoted
// search agrees with the plain one where the text survives the code page, and keeps every
// byte outside the changed part where it does not.
#include "Fakes.h"
#include "FuzzTarget.h"
#include "conv/Case.h"
#include "conv/Cp932.h"
#include "conv/Sjis.h"
#include "ops/Replace.h"

using namespace qlk;

namespace {

std::vector<size_t> CharStarts(std::string_view s) {
  std::vector<size_t> v;
  for (size_t i = 0; i < s.size(); i += sjis::CharLen(s, i)) v.push_back(i);
  return v;
}

std::vector<uint16_t> Folded(std::string_view s, int options) {
  std::vector<uint16_t> v;
  for (size_t i = 0; i < s.size();) {
    const FoldedChar f = FoldAt(s, i, options);
    v.push_back(f.value);
    i += f.bytes;
  }
  return v;
}

std::vector<Found> AllMatches(const Searcher& s, std::string_view line) {
  std::vector<Found> all;
  for (Found f = s.Next(line, 0); f; f = s.Next(line, f.pos + f.length)) all.push_back(f);
  return all;
}

}  // namespace

QLK_FUZZ_TARGET(replace) {
  fuzz::Input in(data, size);
  const int options = in.Int(0, 7);
  const uint8_t flags = in.Byte();
  const std::string find(in.Text(8));
  const std::string replacement(in.Text(8));
  const std::string_view line = in.Rest();
  const std::vector<size_t> starts = CharStarts(line);

  for (size_t k = 0; k < line.size(); k += 1 + k / 32) {
    const bool start = std::binary_search(starts.begin(), starts.end(), k);
    FUZZ_CHECK(IsCharStart(line, 0, k) == start);
  }

  const Searcher searcher(find, options);
  const std::vector<Found> matches = AllMatches(searcher, line);
  if (options == 0) {
    std::vector<Found> plain;
    for (size_t i : starts)
      if (!find.empty() && line.substr(i, find.size()) == find && (plain.empty() || i >= plain.back().pos + find.size()) &&
          (i + find.size() == line.size() || std::binary_search(starts.begin(), starts.end(), i + find.size())))
        plain.push_back({i, find.size()});
    FUZZ_CHECK(matches.size() == plain.size());
    for (size_t k = 0; k < plain.size(); ++k) FUZZ_CHECK(matches[k].pos == plain[k].pos && matches[k].length == plain[k].length);
  } else {
    const std::vector<uint16_t> want = Folded(find, options);
    for (const Found& f : matches) {
      FUZZ_CHECK(std::binary_search(starts.begin(), starts.end(), f.pos) && f.length > 0);
      FUZZ_CHECK(Folded(line.substr(f.pos, f.length), options) == want);
    }
  }
  if (options & kIgnoreCase) {
    const std::vector<Found> swapped = AllMatches(searcher, ChangeUpperLowerLine(line));
    FUZZ_CHECK(swapped.size() == matches.size());
    for (size_t k = 0; k < matches.size(); ++k) FUZZ_CHECK(swapped[k].pos == matches[k].pos);
  }
  if ((options & kIgnoreKana) && !(options & kIgnoreWidth)) {  // width folding looks at kana marks
    const std::vector<Found> kata = AllMatches(searcher, HiraToKanaLine(line));
    FUZZ_CHECK(kata.size() == matches.size());
    for (size_t k = 0; k < matches.size(); ++k) FUZZ_CHECK(kata[k].pos == matches[k].pos);
  }

  std::string out;
  const int n = ReplaceLine(line, searcher, replacement, out);
  FUZZ_CHECK(n == static_cast<int>(matches.size()));
  if (n > 0) {
    std::string want;
    size_t from = 0;
    for (const Found& f : matches) {
      want.append(line.substr(from, f.pos - from)).append(replacement);
      from = f.pos + f.length;
    }
    FUZZ_CHECK(out == want.append(line.substr(from)));
  }
  std::string other;
  SuperReplaceLine(line, find, replacement, find, other);
  ReplaceDoubleLine(line, find, replacement, replacement, find, replacement.substr(0, flags & 3), other);

  // The expression engine on a quoted search of ASCII punctuation and letters.
  bool quotable = !find.empty();
  std::string pattern;
  for (char c : find) {
    const auto b = static_cast<unsigned char>(c);
    quotable = quotable && b >= 0x21 && b < 0x7F;
    if (!((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'))) pattern += '\\';
    pattern += c;
  }
  bool plainText = true;
  for (char c : replacement) plainText = plainText && c != '$' && c != '\\' && c != '\0';
  const ICodePage& cp = test::CodePage();
  auto survives = [&](std::string_view t) { return cp.FromUtf16(Charset::Sjis, cp.ToUtf16(Charset::Sjis, t)) == t; };
  if (options != 0 || !quotable || !plainText || !survives(replacement) || line.find('\0') != std::string_view::npos)
    return 0;
  static test::TestPlatform tp;
  static std::unique_ptr<IRegex> re = tp.regex->Create();
  FUZZ_CHECK(re && re->SetPattern(pattern) && re->SetGlobal(true) && re->SetIgnoreCase(false));
  std::string byRegex;
  const SearchResult sr = RegexReplaceLine(*re, cp, line, replacement, byRegex);
  FUZZ_CHECK(!sr.failed);
  const int r = sr.count;
  FUZZ_CHECK(r == 0 || r == 1);
  // A lead byte before a byte no character has after it is a character of its own to the
  // engine, but pairs up in the plain search: the two searches differ on such text.
  for (size_t i : starts)
    if (sjis::CharLen(line, i) == 2 && !IsTrail932(static_cast<unsigned char>(line[i + 1]))) return 0;
  if (survives(line)) {
    FUZZ_CHECK(r == (matches.empty() ? 0 : 1));
    if (r) FUZZ_CHECK(byRegex == out);
  } else if (r && !matches.empty()) {
    const size_t head = matches.front().pos, tail = line.size() - (matches.back().pos + matches.back().length);
    FUZZ_CHECK(byRegex.size() >= head + tail && byRegex.substr(0, head) == line.substr(0, head) &&
               byRegex.substr(byRegex.size() - tail) == line.substr(line.size() - tail));
  }
  return 0;
}
