// Fuzz target: UTF-8 and UTF-7 to and from Shift-JIS on any bytes. Shift-JIS becomes
// well-formed UTF-8; after one trip through Unicode a text is stable (a second trip changes
// nothing), UTF-7 carries exactly what UTF-8 carries, a leading byte order mark is dropped,
// decoders never lengthen the text nor bring in a zero byte the text did not hold, and the
// appending forms agree with the line forms.
#include "Fakes.h"
#include "FuzzTarget.h"
#include "conv/Detect.h"
#include "conv/Unicode.h"

using namespace qlk;

namespace {
bool HasZero(std::string_view s) { return s.find('\0') != std::string_view::npos; }
}  // namespace

QLK_FUZZ_TARGET(unicode) {
  const ICodePage& cp = test::CodePage();
  const std::string_view s(reinterpret_cast<const char*>(data), size);

  const std::string u = SjisToUtf8Line(cp, s);
  FUZZ_CHECK(IsUtf8Text(u) && u.size() <= 3 * s.size());
  const std::string once = Utf8ToSjisLine(cp, u);
  const std::string onceUtf8 = SjisToUtf8Line(cp, once);
  FUZZ_CHECK(Utf8ToSjisLine(cp, onceUtf8) == once);
  const std::string utf7 = SjisToUtf7Line(cp, s);
  if (!HasZero(s)) FUZZ_CHECK(Utf7ToSjisLine(cp, utf7) == once);  // no line holds a zero byte
  for (char c : utf7) FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);

  // Any bytes read as UTF-8 or UTF-7.
  const std::string fromUtf8 = Utf8ToSjisLine(cp, s);
  FUZZ_CHECK(fromUtf8.size() <= s.size());
  if (s.substr(0, 3) != "\xEF\xBB\xBF") FUZZ_CHECK(Utf8ToSjisLine(cp, "\xEF\xBB\xBF" + std::string(s)) == fromUtf8);
  const std::string fromUtf7 = Utf7ToSjisLine(cp, s);
  FUZZ_CHECK(fromUtf7.size() <= s.size());
  if (!HasZero(s)) FUZZ_CHECK(!HasZero(fromUtf8) && !HasZero(fromUtf7) && !HasZero(u));

  std::string out = "x";
  AppendUtf8ToSjisLine(cp, s, out);
  FUZZ_CHECK(out == "x" + fromUtf8);
  out = "y";
  AppendSjisToUtf8Line(cp, s, out);
  FUZZ_CHECK(out == "y" + u);
  return 0;
}
