#pragma once
// JIS (ISO-2022-JP with the half-width katakana extensions) and EUC-JP to and from Shift-JIS.
//
// Line conversions are pure functions over byte strings of any length; a zero byte is data.
// The JIS conversions carry two mode flags (two-byte mode, kana mode) from one line to the
// next, so a two-byte run left open continues on the next line; the encoder always ends a
// line in one-byte mode. The document commands keep the flags, and the encoder settings the
// last SjisToJis read, in the JisContext of their main window, which is passed to them.
#include <cstdint>
#include <string>
#include <string_view>

namespace qlk {

class CQuenlarkDoc;
class ISettings;

// ---- character arithmetic ----

// JIS X 0208 code (j1 * 256 + j2) of a Shift-JIS double-byte character, or 0 when it has none
// (not a lead/trail pair, or outside rows 1-94, as for lead bytes 0xF0-0xFC).
constexpr uint16_t SjisToJisCode(unsigned char s1, unsigned char s2) {
  if (!((s1 >= 0x81 && s1 <= 0x9F) || (s1 >= 0xE0 && s1 <= 0xFC))) return 0;
  if (!((s2 >= 0x40 && s2 <= 0x7E) || (s2 >= 0x80 && s2 <= 0xFC))) return 0;
  const int a = s1 < 0xA0 ? s1 - 0x81 : s1 - 0xC1;
  int j1, j2;
  if (s2 < 0x9F) {
    j1 = 2 * a + 0x21;
    j2 = s2 - 0x1F - (s2 > 0x7E ? 1 : 0);
  } else {
    j1 = 2 * a + 0x22;
    j2 = s2 - 0x7E;
  }
  if (j1 > 0x7E) return 0;  // j1 >= 0x21 and j2 in 0x21-0x7E follow from the ranges above
  return static_cast<uint16_t>(j1 << 8 | j2);
}

// Shift-JIS character (lead * 256 + trail) of a JIS code whose bytes are both 0x21-0x7E,
// or 0 when either byte is outside that range.
constexpr uint16_t JisToSjisCode(unsigned char j1, unsigned char j2) {
  if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) return 0;
  const int s1 = ((j1 - 0x21) >> 1) + (j1 <= 0x5E ? 0x81 : 0xC1);
  const int s2 = (j1 & 1) ? j2 + (j2 < 0x60 ? 0x1F : 0x20) : j2 + 0x7E;
  return static_cast<uint16_t>(s1 << 8 | s2);
}

// ---- JIS mode flags and encoder settings ----

struct JisModes {
  bool twoByte = false;
  bool kana = false;
  void Reset() { twoByte = kana = false; }
};

// [Jis] "Kana": half-width katakana in JIS output.
enum JisKana { kKanaShift = 0, kKanaEscape = 1, kKanaEightBit = 2 };
// [Jis] "Jis": the escape that starts two-byte text.
enum JisEscape { kJisOld = 0, kJisNew = 1, kJis1990 = 2, kJisX0212 = 3 };

struct JisEncoderSettings {
  int kana = kKanaShift;  // values other than 0 and 2 behave as 1
  int jis = kJisNew;      // values other than 0-3 behave as 1
};

// [Jis] "Kana" (default 0) and "Jis" (default 1).
JisEncoderSettings ReadJisEncoderSettings(ISettings& settings);

// What the JIS commands of one main window share from command to command: the mode flags,
// and the encoder settings the last SjisToJis read, which the MIME header encoding uses too.
struct JisContext {
  JisModes modes;
  JisEncoderSettings encoder;
  // While a run split into pieces (the command line's) goes on, each piece carries the modes
  // of the one before instead of starting afresh.
  bool keepModes = false;
  // At the start of a command that decodes or encodes JIS.
  void StartCommand() {
    if (!keepModes) modes.Reset();
  }
};

// ---- line conversions ----

// JIS to Shift-JIS. Reads and updates the mode flags; unknown escapes and bytes that are no
// JIS code are copied as they are, so Shift-JIS text passes through unchanged.
std::string JisToSjisLine(std::string_view jis, JisModes& modes);
// Appends the decoded text to `out` (for callers that build one buffer of many lines).
void AppendJisToSjis(std::string_view jis, JisModes& modes, std::string& out);

// Shift-JIS to JIS. Characters without a JIS code are copied as their Shift-JIS bytes, in
// one-byte mode. Leaves both flags off at the end of the line.
std::string SjisToJisLine(std::string_view sjis, const JisEncoderSettings& settings, JisModes& modes);
void AppendSjisToJis(std::string_view sjis, const JisEncoderSettings& settings, JisModes& modes, std::string& out);

// The same three for a long line a piece at a time (see Bindings::LineFn::Piece): each takes
// the characters of `in` whose conversion the rest of the line cannot change, carrying the
// modes; the encoder closes them only at the end of the line.
size_t AppendJisToSjisPiece(std::string_view jis, bool ends, JisModes& modes, std::string& out);
size_t AppendSjisToJisPiece(std::string_view sjis, bool ends, const JisEncoderSettings& settings, JisModes& modes,
                            std::string& out);
size_t AppendEucToSjisPiece(std::string_view euc, bool ends, std::string& out);
size_t AppendSjisToEucPiece(std::string_view sjis, bool ends, std::string& out);

// EUC-JP to Shift-JIS, stateless. The single shift 3 (0x8F) is dropped and the pair after it
// read as a JIS X 0208 code; undecodable bytes are copied.
std::string EucToSjisLine(std::string_view euc);
// Shift-JIS to EUC-JP, stateless. Half-width katakana get the single shift 2 (0x8E); a
// double-byte character without a JIS code (lead bytes 0xF0-0xFC, bad pairs) is copied as
// its Shift-JIS bytes.
std::string SjisToEucLine(std::string_view sjis);

// ---- document operations (the macro keywords) ----

void JisToSjis(CQuenlarkDoc& doc, JisContext& jis);
// Reads the encoder settings from [Jis] into `jis` first.
void SjisToJis(CQuenlarkDoc& doc, JisContext& jis);
void EucToSjis(CQuenlarkDoc& doc);
// Uses doc.eucOption, which the command sets from [Euc] "Code" before each run. Every value
// gives plain EUC-JP: the fixed-width form of other values would put zero bytes into lines,
// and text ends at the first of them on the clipboard.
void SjisToEuc(CQuenlarkDoc& doc);

}  // namespace qlk
