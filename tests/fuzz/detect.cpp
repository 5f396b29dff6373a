// Fuzz target: code detection. Fed in pieces of any sizes, the detector gives the answers of
// the scans over the whole text; once it says no further byte can change them, the bytes
// fed so far give them too; a file read in pieces and a document loaded from the clipboard
// give the same answers as the text in memory.
#include "Fakes.h"
#include "FuzzTarget.h"
#include "conv/Detect.h"

using namespace qlk;

QLK_FUZZ_TARGET(detect) {
  fuzz::Input in(data, size);
  size_t pieces[8];
  for (size_t& p : pieces) p = in.Byte() % 64 + 1;
  pieces[in.Byte() % 8] *= 64;
  const std::string_view bytes = in.Rest();

  CodeDetector whole;
  size_t doneAt = std::string_view::npos;
  for (size_t at = 0, k = 0; at < bytes.size(); ++k) {
    const size_t n = std::min(pieces[k % 8], bytes.size() - at);
    whole.Feed(bytes.substr(at, n));
    at += n;
    if (doneAt == std::string_view::npos && whole.Done()) doneAt = at;
  }
  const FileCodes codes = whole.Finish();
  FUZZ_CHECK(codes.file == ScanFileCode(bytes));
  FUZZ_CHECK(codes.document == DetectLoadedTextCode(bytes));
  if (doneAt != std::string_view::npos) {
    CodeDetector prefix;
    prefix.Feed(bytes.substr(0, doneAt));
    const FileCodes early = prefix.Finish();
    FUZZ_CHECK(early.file == codes.file && early.document == codes.document);
  }
  test::StringReadFile file{std::string(bytes)};
  const std::optional<FileCodes> read = DetectFileCodes(file);
  FUZZ_CHECK(read && read->file == codes.file && read->document == codes.document);

  // The memory scans: UTF-8 only ever replaces a Shift-JIS answer.
  const int scan = ScanTextCode(bytes), detected = DetectTextCode(bytes);
  FUZZ_CHECK(detected == scan || (scan == kCodeSjis && detected == kCodeUtf8 && IsUtf8Text(bytes)));

  static test::TestPlatform tp;
  tp.clipboard.text = std::string(bytes);
  CQuenlarkDoc doc(tp.platform);
  FUZZ_CHECK(doc.NewFromClipboard());
  FUZZ_CHECK(DetectDocumentCode(doc) == codes.document);
  return 0;
}
