#include "ops/MultiReplace.h"

#include <memory>
#include <optional>

#include "conv/Case.h"
#include "conv/Detect.h"
#include "doc/Document.h"
#include "platform/Platform.h"

namespace qlk {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One code point of UTF-8 at `i` and its length; a byte that starts no well-formed sequence
// stands for itself, as a value no character has.
struct Decoded {
  char32_t cp;
  size_t len;
};
Decoded DecodeAt(std::string_view s, size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) return {b, 1};
  const Decoded bad{0x80000000u | b, 1};
  size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
  if (len == 0 || b > 0xF4 || i + len > s.size()) return bad;
  char32_t cp = b & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return bad;
    cp = (cp << 6) | (c & 0x3F);
  }
  const char32_t least = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return bad;
  return {cp, len};
}

// The letters the Shift-JIS search folds (FoldUpper), as code points.
constexpr char32_t FoldUpper32(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;  // ａ-ｚ → Ａ-Ｚ
  return c;
}

// Where the next line starts: after its LF, or the end.
size_t LineEnd(std::string_view s, size_t from) {
  const size_t q = s.find('\n', from);
  return q == std::string_view::npos ? s.size() : q + 1;
}

// The common walk: each whole line (with its line end) through `convert`, which returns the
// replacements made and leaves the new bytes of a changed line in its out argument. Unchanged
// lines are copied only once a change has been met, so a file without one costs no copy.
template <class Convert>
int ReplaceLines(std::string_view bytes, size_t start, std::string& out, Convert&& convert) {
  int total = 0;
  size_t copied = 0;  // bytes of `bytes` already in `out`
  std::string line;
  for (size_t p = start; p < bytes.size();) {
    const size_t e = LineEnd(bytes, p);
    const int n = convert(bytes.substr(p, e - p), line);
    if (n > 0) {
      if (total == 0) {
        out.clear();
        out.reserve(bytes.size() + line.size());
      }
      out.append(bytes.substr(copied, p - copied));
      out += line;
      copied = e;
      total += n;
    }
    p = e;
  }
  if (total > 0) out.append(bytes.substr(copied));
  return total;
}

std::string DirectoryOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1));
}

std::string_view NameOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool IsWellFormedUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const Decoded d = DecodeAt(s, i);
    if (d.cp & 0x80000000u) return false;
    i += d.len;
  }
  return true;
}

FileText DetectFileText(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return FileText::Utf8;
  const DetectedCode scan = ScanFileCode(bytes);
  if (scan == kCodeJis) return FileText::Jis;
  bool high = false;
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) {
      high = true;
      break;
    }
  if (high && IsWellFormedUtf8(bytes)) return FileText::Utf8;
  return scan == kCodeEuc ? FileText::Euc : FileText::Sjis;
}

std::vector<char32_t> FoldedUtf8(std::string_view utf8) {
  std::vector<char32_t> v;
  for (size_t i = 0; i < utf8.size();) {
    const Decoded d = DecodeAt(utf8, i);
    v.push_back(FoldUpper32(d.cp));
    i += d.len;
  }
  return v;
}

int ReplaceUtf8Line(std::string_view line, const std::vector<char32_t>& find, std::string_view replacement,
                    std::string& out) {
  if (find.empty()) return 0;
  int n = 0;
  size_t from = 0;  // the first byte not yet in `out`
  for (size_t i = 0; i < line.size();) {
    const Decoded d = DecodeAt(line, i);
    if (FoldUpper32(d.cp) == find[0]) {
      size_t at = i + d.len, k = 1;
      for (; k < find.size() && at < line.size(); ++k) {
        const Decoded e = DecodeAt(line, at);
        if (FoldUpper32(e.cp) != find[k]) break;
        at += e.len;
      }
      if (k == find.size()) {
        if (n == 0) out.clear();
        out.append(line.substr(from, i - from));
        out.append(replacement);
        from = i = at;
        ++n;
        continue;
      }
    }
    i += d.len;
  }
  if (n > 0) out.append(line.substr(from));
  return n;
}

FileReplacer::FileReplacer(const ICodePage& cp, std::string_view find, std::string_view replacement,
                           const JisEncoderSettings& jis)
    : sjis_(find, kIgnoreCase),
      sjisReplacement_(replacement),
      utf8Find_(FoldedUtf8(cp.SjisToUtf8(find))),
      utf8Replacement_(cp.SjisToUtf8(replacement)),
      jis_(jis) {}

int FileReplacer::Replace(std::string_view bytes, std::string& out) const {
  if (sjis_.Empty()) return 0;
  switch (DetectFileText(bytes)) {
    case FileText::Utf8: {
      // The byte-order mark stays in front, out of the search.
      const size_t start = bytes.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
      return ReplaceLines(bytes, start, out, [&](std::string_view line, std::string& o) {
        return ReplaceUtf8Line(line, utf8Find_, utf8Replacement_, o);
      });
    }
    case FileText::Jis: {
      JisModes read;  // carried from line to line, as the file's escapes say
      std::string sjis, replaced;
      return ReplaceLines(bytes, 0, out, [&](std::string_view line, std::string& o) {
        sjis = JisToSjisLine(line, read);
        const int n = ReplaceLine(sjis, sjis_, sjisReplacement_, replaced);
        if (n > 0) {
          JisModes write;
          o = SjisToJisLine(replaced, jis_, write);
        }
        return n;
      });
    }
    case FileText::Euc: {
      std::string sjis, replaced;
      return ReplaceLines(bytes, 0, out, [&](std::string_view line, std::string& o) {
        sjis = EucToSjisLine(line);
        const int n = ReplaceLine(sjis, sjis_, sjisReplacement_, replaced);
        if (n > 0) o = SjisToEucLine(replaced);
        return n;
      });
    }
    case FileText::Sjis: break;
  }
  return ReplaceLines(bytes, 0, out, [&](std::string_view line, std::string& o) {
    return ReplaceLine(line, sjis_, sjisReplacement_, o);
  });
}

bool MultiFileReplace(CQuenlarkDoc& doc, std::string_view folder, std::string_view pattern, std::string_view find,
                      std::string_view replacement) {
  doc.multiReplaceFiles = doc.multiReplaceCount = 0;
  Platform& p = doc.platform();
  WaitCursor wait(p.ui);
  const FileReplacer replacer(p.codepage, find, replacement, ReadJisEncoderSettings(p.settings));
  if (replacer.Empty()) return true;
  // Full paths throughout: the current directory is never changed.
  std::string out;
  for (const std::string& path : p.files.Find(folder, pattern)) {
    if (SameIgnoringAsciiCase(NameOf(path), kMultiReplaceWorkFile)) continue;
    const std::optional<std::string> bytes = p.files.ReadAll(path);
    if (!bytes) {
      p.ui.Tell(MakeMessage(Txt::MultiReplaceReadOpenError));
      continue;
    }
    const int n = replacer.Replace(*bytes, out);
    if (n == 0) continue;  // not rewritten: same bytes, same time stamp
    const std::string work = DirectoryOf(path) + std::string(kMultiReplaceWorkFile);
    std::unique_ptr<IWriteFile> w = p.files.Create(work);
    if (!w) {
      p.ui.Tell(MakeMessage(Txt::MultiReplaceWorkOpenError));
      return false;
    }
    const bool written = w->Write(out);
    const bool closed = w->Close();
    Txt failure = !written ? Txt::MultiReplaceWriteError : !closed ? Txt::MultiReplaceCloseError : Txt::None;
    // The new file takes the old one's place in one step: at every moment the folder holds
    // one of the two whole.
    if (failure == Txt::None && !p.files.ReplaceFile(work, path)) failure = Txt::MultiReplaceRenameError;
    if (failure != Txt::None) {
      p.files.Remove(work);
      p.ui.Tell(MakeMessage(failure));
      return false;
    }
    ++doc.multiReplaceFiles;
    doc.multiReplaceCount += n;
  }
  return true;
}

}  // namespace qlk
