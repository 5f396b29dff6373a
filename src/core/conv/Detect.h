#pragma once
// Which Japanese code a text is written in, from its bytes alone.
//
// One scan serves text in memory and file contents: it walks the bytes until the first
// pattern that only one code allows (JIS escapes; Shift-JIS lead bytes below 0xA0 or trail
// bytes EUC never uses; EUC bytes 0xF0-0xFE or 0xFD-0xFE as a second byte) and leaves the
// rest unread. Texts are length-counted: a zero byte is data and decides nothing.
#include <cstddef>
#include <optional>
#include <string_view>

#include "app/Texts.h"
#include "conv/simd/Utf8Check.h"
#include "doc/Document.h"

namespace qlk {

class IReadFile;
struct JisContext;

// Detection results, in the order of the code detection dialog's list.
enum DetectedCode {
  kCodeSjis = 0,
  kCodeJis = 1,
  kCodeEuc = 2,
  kCodeUtf8 = 3,     // document detection only
  kCodeAscii = 4,    // nothing but bytes that decide nothing
  kCodeUnknown = 5,  // undecided between Shift-JIS and EUC
};

// The name shown for a result (Txt::CodeNameSjis ... Txt::CodeNameUnknown).
Txt CodeName(DetectedCode code);

// The scan of a text in memory: 0, 1, 2, 4 or 5. ESC followed by '$', '&' or '(' and one of
// 'B', '@', 'J', 'H' is JIS, ESC ( B included.
DetectedCode ScanTextCode(std::string_view text);
// The scan of a file's bytes: as the memory scan, but only ESC $ B and ESC $ @ are JIS.
DetectedCode ScanFileCode(std::string_view bytes);
// Well-formed UTF-8 of one- to three-byte sequences; four-byte sequences fail, the empty
// text passes.
bool IsUtf8Text(std::string_view text);
// The memory scan, with a Shift-JIS answer turned into UTF-8 when the text passes the UTF-8
// test.
DetectedCode DetectTextCode(std::string_view text);
// DetectTextCode of every line, target or not, each followed by CR LF.
DetectedCode DetectDocumentCode(const CQuenlarkDoc& doc);
// DetectDocumentCode of the document that loading `clipText` from the clipboard would give
// (the text up to its first NUL, every line followed by CR LF), without building it.
DetectedCode DetectLoadedTextCode(std::string_view clipText);
// The file scan as the conversion on opening a file wants it.
FileCode DetectFileCode(std::string_view bytes);

// Where a scan stands: the next byte to read, the result so far, and whether it is inside a
// run of high bytes that both codes allow.
struct CodeScanState {
  size_t i = 0;
  DetectedCode r = kCodeAscii;
  bool run = false;
};

// Both answers for a file: ScanFileCode and DetectLoadedTextCode of its bytes.
struct FileCodes {
  DetectedCode file;
  DetectedCode document;
};

// The two detections of a file fed piece by piece, so that reading can stop as soon as no
// further byte can change either answer: mostly after a few bytes, except that a UTF-8
// answer needs every byte of the text.
class CodeDetector {
 public:
  // The next bytes of the file.
  void Feed(std::string_view bytes);
  // Whether further bytes can no longer change the answers.
  [[nodiscard]] bool Done() const;
  // The answers for the bytes fed, taken as the whole file (or, once Done, for any longer
  // file that starts with them). Nothing may be fed afterwards.
  FileCodes Finish();

 private:
  // One scan, holding the (at most two) bytes it has not yet read.
  struct Scanner {
    explicit Scanner(bool fileScan) : file(fileScan) {}
    bool file;
    CodeScanState st;
    unsigned char held[2] = {};
    size_t nHeld = 0;
    void Feed(const unsigned char* p, size_t n, bool final);
  };
  void EndDocument();

  Scanner file_{true};
  Scanner doc_{false};  // over the text up to the first NUL
  Utf8State utf8_;      // of the same text
  size_t docLen_ = 0;
  unsigned char last_[2] = {};  // the text's last two bytes
  bool docEnded_ = false;
  DetectedCode docCode_ = kCodeAscii;  // once the document's text has ended
};

// Reads a file in pieces until both answers are known; nullopt when a read fails.
std::optional<FileCodes> DetectFileCodes(IReadFile& file);

// ToSjis: detects the document's code once, then converts the non-empty target lines from
// JIS, EUC or UTF-8; with any other result no line changes.
void ToSjis(CQuenlarkDoc& doc, JisContext& jis);

}  // namespace qlk
