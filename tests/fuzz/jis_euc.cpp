// Fuzz target: JIS and EUC to and from Shift-JIS. Any bytes decode within their bound (a
// decoder never lengthens the text) and Shift-JIS without escapes passes the JIS decoder
// unchanged; text of JIS characters makes the round trip through either code under every
// encoder setting, in seven bits unless eight-bit kana were asked for, and the encoder always
// ends a line in one-byte mode.
#include "FuzzTarget.h"
#include "conv/Jis.h"

using namespace qlk;

QLK_FUZZ_TARGET(jis_euc) {
  fuzz::Input in(data, size);
  const uint8_t flags = in.Byte();
  JisEncoderSettings settings;
  settings.kana = in.Int(-1, 3);
  settings.jis = in.Int(-1, 4);
  const bool raw = flags & 1;
  if (raw) {
    const std::string_view bytes = in.Rest();
    JisModes modes;
    modes.twoByte = flags & 2;
    modes.kana = flags & 4;
    const JisModes before = modes;
    const std::string sjis = JisToSjisLine(bytes, modes);
    FUZZ_CHECK(sjis.size() <= bytes.size());
    std::string appended = "x";
    JisModes again = before;
    AppendJisToSjis(bytes, again, appended);
    FUZZ_CHECK(appended == "x" + sjis && again.twoByte == modes.twoByte && again.kana == modes.kana);
    if (!before.twoByte && !before.kana && bytes.find_first_of("\x1B\x0E\x0F") == std::string_view::npos)
      FUZZ_CHECK(sjis == bytes && !modes.twoByte && !modes.kana);
    FUZZ_CHECK(EucToSjisLine(bytes).size() <= bytes.size());
    JisModes enc = before;
    const std::string jis = SjisToJisLine(bytes, settings, enc);
    FUZZ_CHECK(jis.size() <= 5 * bytes.size() + 8 && !enc.twoByte && !enc.kana);
    FUZZ_CHECK(SjisToEucLine(bytes).size() <= 2 * bytes.size());
    return 0;
  }
  // Several lines through one pair of modes, as a command converts a document.
  JisModes encModes, decModes;
  while (!in.Empty()) {
    const std::string text = fuzz::JisText(in, 200);
    const std::string jis = SjisToJisLine(text, settings, encModes);
    FUZZ_CHECK(!encModes.twoByte && !encModes.kana);
    if (settings.kana != kKanaEightBit)
      for (char c : jis) FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
    FUZZ_CHECK(JisToSjisLine(jis, decModes) == text);
    const std::string euc = SjisToEucLine(text);
    for (size_t i = 0; i < euc.size(); ++i)  // every character beyond ASCII is a pair of high bytes
      if (static_cast<unsigned char>(euc[i]) >= 0x80) FUZZ_CHECK(++i < euc.size() && (euc[i] & 0x80));
    FUZZ_CHECK(EucToSjisLine(euc) == text);
  }
  return 0;
}
