#pragma once
// Transfer encodings (Base64 and MIME encoded words, URL percent escapes, "=" escapes,
// uuencode) and hexadecimal code listings: Base64.cpp, Escapes.cpp, their kernels in simd/,
// and the document walks in TransferDoc.cpp.
//
// Line conversions are pure functions over byte strings of any length. Decoders never read
// past the end of their text: a group or escape cut short by the end is resolved as each
// function says, never by looking further. Decoded zero bytes never reach a line, because
// the clipboard's text would end at the first of them and everything after it would be lost:
// Base64 results end there, the escape decoders and the listings drop the byte.
#include <cstdint>
#include <string>
#include <string_view>

namespace qlk {

class CQuenlarkDoc;
class ICodePage;
struct JisModes;
struct JisContext;
struct JisEncoderSettings;

// ---- primitives ----

// Value of a hexadecimal digit as every decoder here reads it: (b & 0x0F) + 9 for bytes at
// or above 0x40, b & 0x0F below. Other bytes give some value without complaint.
constexpr int HexDigitValue(unsigned char b) { return b >= 0x40 ? (b & 0x0F) + 9 : b & 0x0F; }
constexpr unsigned char HexPair(unsigned char hi, unsigned char lo) {
  return static_cast<unsigned char>((HexDigitValue(hi) << 4) + HexDigitValue(lo));
}

// Standard alphabet, "=" fill, no line breaks however long the input.
std::string Base64Encode(std::string_view bytes);
void AppendBase64(std::string_view bytes, std::string& out);
// The same written at `to`, which has room for Base64Room(bytes.size()) bytes (exactly what
// is written); returns the end.
size_t Base64Room(size_t n);
char* PutBase64(std::string_view bytes, char* to);
// ToMime of a run of lines, each ending in CR LF: every line encoded on its own, its CR LF
// kept. `to` has room for ToMimeRoom(lines.size()) bytes, which also bounds PutBase64 of a
// line of that many bytes; returns the end.
size_t ToMimeRoom(size_t n);
char* PutToMimeLines(std::string_view lines, char* to);
// ToMime of a long line a piece at a time (see Bindings::LineFn::Piece): whole groups of
// three bytes until the piece that ends the line. Room as for PutBase64.
size_t PutBase64Piece(std::string_view rest, bool ends, uint32_t& carry, char*& to);
// Four characters at a time; every byte maps to some 6-bit value (nothing is skipped). A "="
// third character ends the text after one byte of its group, a "=" fourth after two; what
// follows the first padded group is ignored. A last group cut short reads as if filled with
// "=", and a lone last character (six bits) gives nothing. Zero bytes are kept.
std::string Base64Decode(std::string_view text);
void AppendBase64Decode(std::string_view text, std::string& out);

// "=" escapes: "=" raises the escape flag and is not copied; while it is raised, a byte with
// another after it starts a pair of hexadecimal digits. Other bytes are copied.
std::string EqualsDecode(std::string_view text);

// ---- line conversions (one per command) ----

// ToMime.
std::string ToMimeLine(std::string_view line);
// MimeToSjis of one line: a line without "=?" is Base64 decoded as a whole (no code
// conversion); otherwise the encoded words of the first word's charset and encoding are
// decoded in place and the whole line is read by the JIS decoder with `modes`, which carry
// from line to line.
std::string MimeToSjisLine(const ICodePage& cp, std::string_view line, JisModes& modes);
void AppendMimeToSjis(const ICodePage& cp, std::string_view line, JisModes& modes, std::string& out);
// The same for a long line a piece at a time (see Bindings::LineFn::Piece). Whether the line
// holds "=?" decides how all of it converts, so nothing is taken before the line's end has
// been seen: by LookMimeToSjis (see Bindings::LineFn::Look), or in the piece that ends it.
// Base64 then goes out in slices; encoded words are decoded over the whole line.
size_t AppendMimeToSjisPiece(const ICodePage& cp, std::string_view rest, bool ends, uint32_t& carry, JisModes& modes,
                             std::string& out);
void LookMimeToSjis(std::string_view part, bool ends, uint32_t& carry);
// The encoded words of a line decoded in place, without the JIS step.
std::string DecodeEncodedWords(const ICodePage& cp, std::string_view line);
// SjisToMime: a line with a double-byte character becomes one encoded word
// "=?ISO-2022-JP?B?...?=" of its whole JIS text; other lines stay. Resets `modes` before
// and after.
std::string SjisToMimeLine(std::string_view line, const JisEncoderSettings& settings, JisModes& modes);

// SjisToUrl: letters, digits and - _ . ! ~ * ' ( ) stay; every other byte is "%XX".
std::string SjisToUrlLine(std::string_view line);
void AppendSjisToUrl(std::string_view line, std::string& out);
// The same written at `to`, which has room for SjisToUrlRoom(line.size()) bytes (seven more
// than the most it writes); returns the end.
size_t SjisToUrlRoom(size_t n);
char* PutSjisToUrl(std::string_view line, char* to);
// SjisToUrl of a run of lines, each ending in CR LF, their CR LF kept; `to` has room for
// SjisToUrlRoom(lines.size()) bytes. Returns the end.
char* PutSjisToUrlLines(std::string_view lines, char* to);
// UrlToSjis: "%" raises the escape flag, "&" gives CR LF, "+" a blank; a byte with another
// after it while the flag is raised starts a pair of hexadecimal digits. The result may hold
// CR LF; the command cuts the line there.
std::string UrlToSjisLine(std::string_view line);
void AppendUrlToSjis(std::string_view line, std::string& out);
// The same written at `to`, which has room for UrlToSjisRoom(line.size()) bytes; returns the
// end. Of a run of lines each ending in CR LF, their CR LF kept, in the same room.
size_t UrlToSjisRoom(size_t n);
char* PutUrlToSjis(std::string_view line, char* to);
char* PutUrlToSjisLines(std::string_view lines, char* to);
// UrlToSjis of a long line a piece at a time, the escape flag carried (see
// Bindings::LineFn::Piece); room UrlToSjisRoom(rest.size()).
size_t PutUrlToSjisPiece(std::string_view rest, bool ends, uint32_t& carry, char*& to);

// ToSjisCode: "%02X " per byte. ToJisCode: "%04X " per double-byte character (its JIS code,
// 0000 for none), "%02X " per single byte.
std::string ToSjisCodeLine(std::string_view line);
std::string ToJisCodeLine(std::string_view line);
// CodeToSjis: blanks (half- and full-width) are skipped; two bytes are read as hexadecimal
// digits, a lone last byte is copied. CodeToJis then reads every pair of bytes 0x21-0x7E as
// a JIS code.
std::string CodeToSjisLine(std::string_view line);
std::string CodeToJisLine(std::string_view line);

// The data bytes of one uuencoded line: the length character's count, taken from groups of
// four characters. Characters missing at the end of the line (mail programs strip trailing
// blanks, which stand for zero bits) read as zero bits, so the count is always met.
std::string UudecodeLine(std::string_view line);

// ---- document operations (the macro keywords) ----

void ToMime(CQuenlarkDoc& doc);
void MimeToSjis(CQuenlarkDoc& doc, JisContext& jis);
// Uses the JIS encoder settings of `jis` as the last SjisToJis left them.
void SjisToMime(CQuenlarkDoc& doc, JisContext& jis);
void SjisToUrl(CQuenlarkDoc& doc);
// Cuts each converted line at its CR LF pairs; the target range ends as many lines later as
// lines were added.
void UrlToSjis(CQuenlarkDoc& doc);
// Joins each run of target lines ending in "=" with the next target line and decodes the
// whole; the final "=" of a joined line is a soft line break and is removed. The target
// range ends as many lines earlier as lines were merged.
void UrleToSjis(CQuenlarkDoc& doc);
void ToSjisCode(CQuenlarkDoc& doc);
void ToJisCode(CQuenlarkDoc& doc);
void CodeToSjis(CQuenlarkDoc& doc);
void CodeToJis(CQuenlarkDoc& doc);

// Decode the target lines into a file, leaving the lines alone. A file that cannot be
// created says "ファイルが開けません"; one that cannot be written whole says
// "ファイルに書き込めません" and is removed. Either way the document is untouched and the
// result is false.
bool MimeOut(CQuenlarkDoc& doc, std::string_view path);
// Lines containing "begin" are skipped; a line whose length character counts zero bytes, or
// the line "end", ends the data.
bool UuencodeOut(CQuenlarkDoc& doc, std::string_view path);

}  // namespace qlk
