// The transfer commands over the document's target lines, and the decoders that write files.
#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "conv/Jis.h"
#include "conv/LineWalk.h"
#include "conv/Transfer.h"
#include "conv/TransferParts.h"
#include "doc/Document.h"
#include "platform/Files.h"
#include "platform/UserInterface.h"

namespace qlk {
namespace {

// Replaces the lines by those `produce(i, line, push)` gives for each target line; other
// lines stay as they are. Returns the number of lines added (negative when lines merged).
template <class Produce>
long long RebuildLines(CQuenlarkDoc& doc, Produce&& produce) {
  const std::vector<char> mask = doc.TargetMask();
  const LineArray& old = doc.Lines();
  LineArray next;
  next.Reserve(old.size());
  produce(old, mask, next);
  const long long added = static_cast<long long>(next.size()) - static_cast<long long>(old.size());
  doc.Lines() = std::move(next);
  return added;
}

// A range end given far past the last line (LineSelect's end is any number) must not wrap.
void ShiftRangeEnd(CQuenlarkDoc& doc, long long added) {
  doc.rangeEnd = static_cast<int>(std::clamp<long long>(doc.rangeEnd + added, INT_MIN, INT_MAX));
}

// Creates the file, writes what `each(line, out)` gives for the lines, and says what failed.
template <class Each>
bool DecodeToFile(CQuenlarkDoc& doc, std::string_view path, Each&& each) {
  Platform& p = doc.platform();
  std::unique_ptr<IWriteFile> f = p.files.Create(path);
  if (!f) {
    p.ui.Tell(MakeMessage(Txt::CannotOpenFile));
    return false;
  }
  WaitCursor wait(p.ui);
  bool ok = true;
  std::string buf;  // gathers small lines; written out in pieces of about 64 KB
  const LineArray& lines = doc.Lines();
  for (size_t i = 0; i < lines.size() && ok; ++i) {
    if (lines[i].empty() || !doc.IsTargetLine(i)) continue;
    if (!each(std::string_view(lines[i]), buf)) break;
    if (buf.size() >= (1u << 16)) {
      ok = f->Write(buf);
      buf.clear();
    }
  }
  if (ok && !buf.empty()) ok = f->Write(buf);
  ok = f->Close() && ok;
  if (!ok) {
    p.files.Remove(path);  // a partial file must not pass for the decoded data
    p.ui.Tell(MakeMessage(Txt::CannotWriteFile));
    return false;
  }
  doc.BeginUndoStep();
  doc.SetModified();
  return true;
}

}  // namespace

// ---------------------------------------------------------------- document operations

void ToMime(CQuenlarkDoc& doc) { ConvertTargetLines(doc, ToMimeLine); }

void MimeToSjis(CQuenlarkDoc& doc, JisContext& jis) {
  jis.modes.Reset();
  const ICodePage& cp = doc.platform().codepage;
  ConvertTargetLines(doc, [&](std::string_view l) { return MimeToSjisLine(cp, l, jis.modes); });
}

void SjisToMime(CQuenlarkDoc& doc, JisContext& jis) {
  jis.modes.Reset();
  ConvertTargetLines(doc, [&](std::string_view l) { return SjisToMimeLine(l, jis.encoder, jis.modes); });
  jis.modes.Reset();
}

void SjisToUrl(CQuenlarkDoc& doc) { ConvertTargetLines(doc, SjisToUrlLine); }

void UrlToSjis(CQuenlarkDoc& doc) {
  WaitCursor wait(doc.platform().ui);
  doc.BeginUndoStep();
  std::string buf;
  const long long added = RebuildLines(doc, [&](const LineArray& old, const std::vector<char>& mask, LineArray& next) {
    for (size_t i = 0; i < old.size(); ++i) {
      if (!mask[i] || old[i].empty()) {
        next.PushShared(old, i);
        continue;
      }
      buf.clear();
      transfer::AppendEscapes(old[i], true, buf);
      if (buf == old[i]) {
        next.PushShared(old, i);
        continue;
      }
      std::string_view rest = buf;
      for (;;) {
        const size_t q = rest.find("\r\n");
        if (q == std::string_view::npos) break;
        next.PushBack(std::string(rest.substr(0, q)));
        rest.remove_prefix(q + 2);
      }
      next.PushBack(std::string(rest));
    }
  });
  ShiftRangeEnd(doc, added);
  doc.SetModified();
}

void UrleToSjis(CQuenlarkDoc& doc) {
  WaitCursor wait(doc.platform().ui);
  doc.BeginUndoStep();
  const long long added = RebuildLines(doc, [](const LineArray& old, const std::vector<char>& mask, LineArray& next) {
    std::string acc;
    size_t pieces = 0;  // lines gathered in acc
    auto flush = [&](size_t lastIndex) {
      // A single line that decodes to itself keeps its shared bytes.
      std::string decoded = EqualsDecode(acc);
      if (pieces == 1 && decoded == old[lastIndex]) next.PushShared(old, lastIndex);
      else next.PushBack(std::move(decoded));
      acc.clear();
      pieces = 0;
    };
    size_t last = 0;
    for (size_t i = 0; i < old.size(); ++i) {
      const std::string& l = old[i];
      if (!mask[i] || l.empty()) {
        next.PushShared(old, i);
        continue;
      }
      last = i;
      ++pieces;
      if (l.back() == '=') {
        acc.append(l, 0, l.size() - 1);  // soft line break
        continue;
      }
      acc += l;
      flush(i);
    }
    if (pieces > 0) flush(last);
  });
  ShiftRangeEnd(doc, added);
  doc.SetModified();
}

void ToSjisCode(CQuenlarkDoc& doc) { ConvertTargetLines(doc, ToSjisCodeLine); }
void ToJisCode(CQuenlarkDoc& doc) { ConvertTargetLines(doc, ToJisCodeLine); }
void CodeToSjis(CQuenlarkDoc& doc) { ConvertTargetLines(doc, CodeToSjisLine); }
void CodeToJis(CQuenlarkDoc& doc) { ConvertTargetLines(doc, CodeToJisLine); }

bool MimeOut(CQuenlarkDoc& doc, std::string_view path) {
  return DecodeToFile(doc, path, [](std::string_view line, std::string& out) {
    AppendBase64Decode(line, out);  // zero bytes included: this is file data
    return true;
  });
}

bool UuencodeOut(CQuenlarkDoc& doc, std::string_view path) {
  return DecodeToFile(doc, path, [](std::string_view line, std::string& out) {
    if (line.find("begin") != std::string_view::npos) return true;
    if (transfer::IsUuEnd(line) || ((static_cast<unsigned char>(line[0]) - 0x20) & 0x3F) == 0) return false;
    transfer::AppendUudecode(line, out);
    return true;
  });
}

}  // namespace qlk
