#pragma once
// UTF-8 and UTF-7 to and from Shift-JIS. Every conversion goes through the code-page seam,
// so characters agree with the platform's own converter; a character that code page 932
// cannot hold becomes '?'. Pure functions over lines of any length.
#include <cstdint>
#include <string>
#include <string_view>

namespace qlk {

class CQuenlarkDoc;
class ICodePage;

// UTF-8 to Shift-JIS. A byte order mark at the start of the line is skipped; anywhere else
// it is the character U+FEFF, which has no Shift-JIS form. This is the conversion for any
// UTF-8 text that comes in (a file, the update information, an encoded word): it takes the
// JIS forms of the wave dash, minus sign and the like as code page 932's characters.
std::string Utf8ToSjisLine(const ICodePage& cp, std::string_view utf8);
// Shift-JIS to UTF-8, without a byte order mark.
std::string SjisToUtf8Line(const ICodePage& cp, std::string_view sjis);
// The same conversions appended to `out`, for callers that reuse one buffer.
void AppendUtf8ToSjisLine(const ICodePage& cp, std::string_view utf8, std::string& out);
void AppendSjisToUtf8Line(const ICodePage& cp, std::string_view sjis, std::string& out);
// The same for a long line a piece at a time, up to the last character that the piece holds
// whole (see Bindings::LineFn::Piece).
size_t AppendUtf8ToSjisPiece(const ICodePage& cp, std::string_view rest, bool ends, uint32_t& carry, std::string& out);
size_t AppendSjisToUtf8Piece(const ICodePage& cp, std::string_view rest, bool ends, std::string& out);

// UTF-7 to Shift-JIS. Bytes outside a shifted run are copied as they are; a run starts at
// '+', collects base64 characters and ends at any other byte ('-' is absorbed, and "+-" is
// '+'); a run still open at the end of the line is decoded too.
std::string Utf7ToSjisLine(const ICodePage& cp, std::string_view utf7);
// The base64 characters of one shifted run (without '+' and '-') to Shift-JIS: big-endian
// UTF-16 units; an incomplete last unit is dropped, and so is U+0000.
std::string Utf7RunToSjis(const ICodePage& cp, std::string_view run);
// Shift-JIS to UTF-7: printable ASCII except '+', '\' and '~', and tab, CR and LF, stay
// direct; '+' is "+-"; every other run of characters is one base64 run closed by '-'.
std::string SjisToUtf7Line(const ICodePage& cp, std::string_view sjis);

// ---- document operations (the macro keywords) ----

void Utf8ToSjis(CQuenlarkDoc& doc);
void SjisToUtf8(CQuenlarkDoc& doc);
// UTF-7 to Shift-JIS.
void UnicodeToMbcs(CQuenlarkDoc& doc);
// Shift-JIS to UTF-7, the counterpart of UnicodeToMbcs. (Raw UTF-16 bytes cannot stand in a
// line: the clipboard's text would end at the first zero byte of the first character.)
void MbcsToUnicode(CQuenlarkDoc& doc);

}  // namespace qlk
