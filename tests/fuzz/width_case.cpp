// Fuzz target: the width, case and kana conversions on any bytes. Each converts a text as it
// converts its pieces cut at a character boundary (no conversion looks across one, but for
// the half-width voiced marks and the flag that carries sentence starts); the in-place forms
// and the table-driven converters agree with the line forms and say truly whether anything
// changed; case keeps the length, swapping case twice gives the text back, and hiragana made
// katakana come back as they were.
#include <map>

#include "Fakes.h"
#include "FuzzTarget.h"
#include "conv/Case.h"
#include "conv/Sjis.h"
#include "conv/Width.h"

using namespace qlk;

namespace {

bool HasKatakana(std::string_view s) {
  for (size_t i = 0; i < s.size(); i += sjis::CharLen(s, i))
    if (IsKatakana(sjis::CharAt(s, i))) return true;
  return false;
}

// A character boundary at or after `k`.
size_t Boundary(std::string_view s, size_t k) {
  size_t i = 0;
  while (i < k && i < s.size()) i += sjis::CharLen(s, i);
  return std::min(i, s.size());
}

}  // namespace

QLK_FUZZ_TARGET(width_case) {
  fuzz::Input in(data, size);
  const int kind = in.Int(-1, 4), flags = in.Int(0, 0xFF);
  const size_t cutAt = static_cast<size_t>(in.Int(0, 0xFFFF));
  const std::string_view s = in.Rest();
  const ICodePage& cp = test::CodePage();
  const size_t cut = Boundary(s, cutAt % (s.size() + 1));
  const std::string_view a = s.substr(0, cut), b = s.substr(cut);
  const bool markAfterCut = !b.empty() && (b[0] == '\xDE' || b[0] == '\xDF');

  // Width. Each converter builds its tables once; they are kept for later inputs.
  static std::map<int, ZenToHanConverter> zenKinds, zenFlags;
  static std::map<int, HanToZenConverter> hanKinds, hanFlags;
  const auto& zk = zenKinds.try_emplace(kind, ZenToHanConverter::ForKind(kind)).first->second;
  const auto& zf = zenFlags.try_emplace(flags, ZenToHanConverter::ForFlags(flags)).first->second;
  const auto& hk = hanKinds.try_emplace(kind, HanToZenConverter::ForKind(kind)).first->second;
  const auto& hf = hanFlags.try_emplace(flags, HanToZenConverter::ForFlags(flags)).first->second;
  auto conv = [](const auto& c, std::string_view t) {
    std::string o;
    FUZZ_CHECK(c.Convert(t, o) == (o != t));
    return o;
  };
  FUZZ_CHECK(conv(zk, s) == conv(zk, a) + conv(zk, b) && conv(zf, s) == conv(zf, a) + conv(zf, b));
  if (!markAfterCut) FUZZ_CHECK(conv(hk, s) == conv(hk, a) + conv(hk, b) && conv(hf, s) == conv(hf, a) + conv(hf, b));
  if (flags < 4) {  // the line forms build their converter for every call
    FUZZ_CHECK(ZenToHanLine(s, kind) == conv(zk, s) && HanToZenLine(s, kind) == conv(hk, s));
    FUZZ_CHECK(ZenToHanSwLine(s, flags) == conv(zf, s) && HanToZenSwLine(s, flags) == conv(hf, s));
  }

  // Case.
  const std::string upper = ToUpperLine(s, cp), lower = ToLowerLine(s, cp);
  FUZZ_CHECK(upper.size() == s.size() && lower.size() == s.size());
  FUZZ_CHECK(upper == ToUpperLine(a, cp) + ToUpperLine(b, cp) && lower == ToLowerLine(a, cp) + ToLowerLine(b, cp));
  FUZZ_CHECK(ToUpperLine(upper, cp) == upper && ToLowerLine(lower, cp) == lower);
  const std::string zenUpper = ToZenUpperLine(s, cp), zenLower = ToZenLowerLine(s, cp);
  FUZZ_CHECK(zenUpper.size() == s.size() && zenLower.size() == s.size());
  FUZZ_CHECK(zenUpper == ToZenUpperLine(a, cp) + ToZenUpperLine(b, cp));
  const std::string swapped = ChangeUpperLowerLine(s);
  FUZZ_CHECK(swapped.size() == s.size() && ChangeUpperLowerLine(swapped) == s);
  FUZZ_CHECK(ToTopUpperLine(s).size() == s.size());
  bool next = flags & 1, nextPieces = next;
  const std::string sentences = ToLineUpperLine(s, next);
  FUZZ_CHECK(sentences == ToLineUpperLine(a, nextPieces) + ToLineUpperLine(b, nextPieces) && next == nextPieces);
  // The remembering maps live as long as a command's would, over many inputs here.
  constexpr CaseMode kModes[] = {CaseMode::Upper, CaseMode::Lower, CaseMode::LowerToUpper, CaseMode::UpperToLower};
  static DbcsCaseMap keptMaps[] = {{cp, kModes[0], true}, {cp, kModes[1], true}, {cp, kModes[2], true},
                                   {cp, kModes[3], true}};
  for (int m = 0; m < 4; ++m) {
    const CaseMode mode = kModes[m];
    DbcsCaseMap asked(cp, mode, false), &kept = keptMaps[m];
    std::string x(s), y(s);
    FUZZ_CHECK(ToCaseInPlace(x, asked) == (x != s) && ToCaseInPlace(y, kept) == (y != s) && x == y);
    FUZZ_CHECK(x == (mode == CaseMode::Upper ? upper : mode == CaseMode::Lower ? lower
                     : mode == CaseMode::LowerToUpper ? zenUpper : zenLower));
  }
  std::string inPlace(s);
  FUZZ_CHECK(ChangeUpperLowerInPlace(inPlace) == (inPlace != s) && inPlace == swapped);
  inPlace = s;
  FUZZ_CHECK(ToTopUpperInPlace(inPlace) == (inPlace != s) && inPlace == ToTopUpperLine(s));
  inPlace = s;
  bool flag = flags & 1;
  FUZZ_CHECK(ToLineUpperInPlace(inPlace, flag) == (inPlace != s) && inPlace == sentences);

  // Kana.
  const std::string kata = HiraToKanaLine(s), hira = KanaToHiraLine(s);
  FUZZ_CHECK(kata.size() == s.size() && hira.size() == s.size());
  FUZZ_CHECK(kata == HiraToKanaLine(a) + HiraToKanaLine(b) && hira == KanaToHiraLine(a) + KanaToHiraLine(b));
  FUZZ_CHECK(HiraToKanaLine(KanaToHiraLine(kata)) == kata);
  if (!HasKatakana(s)) FUZZ_CHECK(KanaToHiraLine(kata) == s);
  inPlace = s;
  FUZZ_CHECK(HiraToKanaInPlace(inPlace) == (inPlace != s) && inPlace == kata);
  inPlace = s;
  FUZZ_CHECK(KanaToHiraInPlace(inPlace) == (inPlace != s) && inPlace == hira);
  return 0;
}
