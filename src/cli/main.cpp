// qlark: the command-line front end over the same core as the tray tool. It runs one macro
// line or a macro file on its input as the tray runs them on the clipboard.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Texts.h"
#include "cli/XmlView.h"
#include "conv/Carried.h"
#include "conv/Cp932.h"
#include "conv/Detect.h"
#include "macro/Bindings.h"
#include "macro/Interpreter.h"
#include "macro/Keywords.h"
#include "macro/MainState.h"
#include "macro/Streaming.h"
#include "macro/Escape.h"
#include "ops/Count.h"
#include "ops/MultiReplace.h"
#include "platform/Files.h"
#include "platform/System.h"
#include "Version.h"

using namespace qlk;

namespace {

class MemoryClipboard final : public IClipboard {
 public:
  explicit MemoryClipboard(std::string text) : text_(std::move(text)) {}
  // The input is read once per run: it is handed over, not copied.
  ClipRead Read() override {
    ClipRead r{ClipStatus::Ok, std::move(text_)};
    r.carried = std::move(carried_);
    return r;
  }
  bool Write(std::string_view s) override {
    text_ = std::string(s);
    carried_ = nullptr;
    return true;
  }
  bool Write(std::string&& s) override {
    text_ = std::move(s);
    carried_ = nullptr;
    return true;
  }
  bool Write(std::string&& s, std::shared_ptr<const CarriedChars> carried) override {
    text_ = std::move(s);
    carried_ = std::make_shared<CarriedChars>(*carried);
    return true;
  }
  // The input, before anything ran, with the characters its codes carry (--utf8).
  void Hold(std::string text, std::shared_ptr<CarriedChars> carried = nullptr) {
    text_ = std::move(text);
    carried_ = std::move(carried);
  }
  const std::string& Text() const { return text_; }
  const CarriedChars* Carried() const { return carried_.get(); }

 private:
  std::string text_;
  std::shared_ptr<CarriedChars> carried_;
};

// Messages go to standard error; there is nobody to answer dialogs.
class CliUI final : public IUserInterface {
 public:
  Answer Show(const Message& m) override {
    if (quiet) {
      ++held;
    } else {
      sys::PrintError("qlark: " + m.text);
    }
    return ButtonsOf(m.kind()) == MsgButtons::YesNo ? Answer::No : Answer::Cancel;
  }
  void BeginWait() override {}
  void EndWait() override {}
  bool RunDialog(DialogModel&) override { return false; }
  std::vector<std::string> FileDialog(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> BrowseFolder(Txt) override { return std::nullopt; }
  // While quiet, messages are counted (`held`), not printed: the run is to be repeated whole
  // if any came.
  bool quiet = false;
  int held = 0;
};

struct Options {
  std::string in, out, macroFile, detect, xml;  // UTF-8 paths
  bool utf8 = false, list = false, help = false, version = false, inPlace = false, count = false;
  std::vector<std::string> line;   // keyword and arguments; with --in-place, the files
};

// Lines per piece of a line-by-line run: small enough to stay in the caches' reach, large
// enough that the per-piece work does not count.
constexpr size_t kPieceLines = 4096;
// Bytes read and written at a time by a streamed run: within the second-level cache, which
// makes the kernel's copies cheaper than larger blocks do.
constexpr size_t kStreamBlock = size_t{1} << 16;

void Fail(Txt t, std::string_view arg = {}) { sys::PrintError("qlark: " + FormatText(t, {std::string(arg)})); }

std::optional<Options> Parse(const std::vector<std::string>& a) {
  Options o;
  bool options = true;
  for (size_t i = 1; i < a.size(); ++i) {
    const std::string& s = a[i];
    auto value = [&](std::string& dst) {
      if (i + 1 >= a.size()) {
        Fail(Txt::CliMissingValue, s);
        return false;
      }
      dst = a[++i];
      return true;
    };
    // The options may stand anywhere until "--"; anything else is the macro line, so that
    // negative numbers ("-1") are arguments.
    if (options && s == "--") {
      options = false;
    } else if (options && s == "-i") {
      if (!value(o.in)) return std::nullopt;
    } else if (options && s == "-o") {
      if (!value(o.out)) return std::nullopt;
    } else if (options && s == "-f") {
      if (!value(o.macroFile)) return std::nullopt;
    } else if (options && s == "--detect") {
      if (!value(o.detect)) return std::nullopt;
    } else if (options && s == "--xml") {
      if (!value(o.xml)) return std::nullopt;
    } else if (options && s == "--count") {
      o.count = true;
    } else if (options && s == "--in-place") {
      o.inPlace = true;
    } else if (options && s == "--utf8") {
      o.utf8 = true;
    } else if (options && s == "--list") {
      o.list = true;
    } else if (options && s == "--version") {
      o.version = true;
    } else if (options && (s == "--help" || s == "-h")) {
      o.help = true;
    } else if (options && (o.line.empty() || o.inPlace) && s.size() > 1 && s[0] == '-') {
      Fail(Txt::CliUnknownOption, s);
      return std::nullopt;
    } else {
      o.line.push_back(s);
    }
  }
  return o;
}

// Every keyword with its arguments and what it does, in the order of the keyword table.
void PrintList() {
  for (const KeywordDef& h : AllKeywords()) {
    std::string l = h.name;
    if (*h.args) l += std::string(" ") + h.args;
    while (l.size() < 48) l += ' ';
    sys::PrintOut(l + "  " + h.help);
  }
}

// ASCII is the same in both codes: most runs then never need the code page's tables.
std::string ToSjis(const ICodePage& cp, const std::string& utf8) {
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) return cp.Utf8ToSjis(utf8);
  return utf8;
}

// The seams and the main state of one run, held for the whole process, which ends without
// tearing them down: freeing millions of lines one by one would only cost time. (Nor is the
// regex flag written back: a command-line run leaves the tray's profile as it found it.)
struct Session {
  const Options& o;
  std::unique_ptr<ICodePage> cp = sys::MakeCodePage();
  std::unique_ptr<IFiles> files = sys::MakeFiles(*cp);
  std::unique_ptr<ISettings> settings = sys::MakeSettings("QlkTray", *cp);
  std::unique_ptr<IRegexFactory> regex = sys::MakeRegexFactory(*cp);
  std::unique_ptr<IShell> shell = sys::MakeShell(*cp);
  std::unique_ptr<IClock> clock = sys::MakeClock();
  CliUI ui;
  MemoryClipboard clip{std::string()};
  Platform platform{clip, *settings, *cp, *regex, ui, *files, *shell, *clock};
  AppState app;
  MainState m{platform, AllBindings(), app};
  std::string line;  // the macro line in Shift-JIS

  explicit Session(const Options& opts) : o(opts) {
    m.doc().DisableUndo();  // nobody can undo after the process has ended
    for (const std::string& a : o.line) {
      if (!line.empty()) line += ' ';
      line += Sjis(a);
    }
  }
  std::string Sjis(const std::string& utf8) const { return ToSjis(*cp, utf8); }
  std::string InName() const { return o.in.empty() ? "-" : o.in; }

  // The output, in one or more parts written one after another: to standard output, or to
  // -o, written beside the target and renamed over it, so a failed write leaves the old file.
  int WriteParts(const std::vector<std::string_view>& parts) {
    if (o.out.empty()) {
      for (std::string_view p : parts)
        if (!sys::WriteStdout(p)) return 1;
      return 0;
    }
    if (!files->WriteAllReplacing(Sjis(o.out), parts)) {
      Fail(Txt::CliCannotWrite, o.out);
      return 1;
    }
    return 0;
  }
  // One part; with --utf8 in UTF-8, each carried code as its character again.
  int Write(std::string_view sjisOut) {
    if (!o.utf8) return WriteParts({sjisOut});
    const std::string utf8 = clip.Carried() ? clip.Carried()->ToUtf8(*cp, sjisOut) : cp->SjisToUtf8(sjisOut);
    return WriteParts({utf8});
  }
};

// Whole: the text loaded as the tray loads the clipboard, the macro file or line run once.
int RunWhole(Session& s, std::string input, std::shared_ptr<CarriedChars> carried = nullptr) {
  s.clip.Hold(std::move(input), std::move(carried));
  MacroStatus status;
  if (!s.o.macroFile.empty()) {
    std::optional<std::string> macro = s.files->ReadAll(s.Sjis(s.o.macroFile));
    if (!macro) {
      s.ui.Tell(MakeMessage(Txt::CannotOpenFile2));
      return 1;
    }
    status = RunMacroText(s.m, *macro);
  } else {
    status = RunMacroText(s.m, s.line);
  }
  switch (status) {
    case MacroStatus::Ok: return s.Write(s.clip.Text());
    // A line said why and the run went on (or stopped) and stored its text, as the tray does:
    // that text is the output, and the status says the run failed. A file named by -o is
    // written only after a run that went well, so a failed run leaves it as it was.
    case MacroStatus::Failed:
    case MacroStatus::Stopped:
      if (s.o.out.empty()) s.Write(s.clip.Text());
      return 1;
    case MacroStatus::NotLoaded:
    case MacroStatus::NotStored:
    case MacroStatus::Declined: break;  // nothing was stored: nothing to write
  }
  return 1;
}

// In pieces: a line-by-line keyword over a few thousand lines at a time, the same bytes as a
// run over the whole text in a fraction of the memory. The text ends at its first NUL, as
// it would on the clipboard.
int RunInPieces(Session& s, std::string input) {
  input.resize(std::min(input.size(), input.find('\0')));
  std::string result;
  result.reserve(input.size() + input.size() / 8);
  s.ui.quiet = true;
  const bool done = RunLinePieces(s.m, s.line, input, kPieceLines, result);
  s.ui.quiet = false;
  if (done && s.ui.held == 0) return s.Write(result);
  // A piece did not end well or had something to say (a malformed expression, a refused
  // width): the run over the whole text says it once and gives what the tray would store.
  return RunWhole(s, std::move(input));
}

// Streamed: a line conversion from the input (standard input or the file, a block at a time)
// to standard output, in a few megabytes whatever the size. An input without text runs whole,
// which says so.
int RunStreamed(Session& s, const Bindings::LineFn& fn) {
  std::unique_ptr<IReadFile> inFile;
  if (!s.o.in.empty() && !(inFile = s.files->OpenRead(s.Sjis(s.o.in)))) {
    Fail(Txt::CliCannotRead, s.o.in);
    return 2;
  }
  ReadMore read = [&](char* buf, size_t n) -> std::optional<size_t> {
    return inFile ? inFile->Read(buf, n) : sys::ReadStdinSome(buf, n);
  };
  // A file (not a pipe) can be read again from where the text starts.
  Rewind rewind;
  if (const std::optional<uint64_t> origin = inFile ? inFile->Position() : sys::StdinPosition()) {
    rewind = [&inFile, at = *origin](uint64_t offset) {
      return inFile ? inFile->Seek(at + offset) : sys::SeekStdin(at + offset);
    };
  }
  std::string head(kStreamBlock, '\0');
  std::optional<size_t> got = read(head.data(), head.size());
  if (!got) {
    Fail(Txt::CliCannotRead, s.InName());
    return 2;
  }
  head.resize(*got);
  if (head.empty() || head[0] == '\0') return RunWhole(s, std::string());
  // For -o the file is written only after a whole run.
  const bool whole = !s.o.out.empty();
  std::vector<std::string> collected;  // the blocks as they come: never moved again
  WriteOut write = [&](std::string_view b) {
    if (whole) {
      collected.emplace_back(b);
      return true;
    }
    return sys::WriteStdout(b);
  };
  switch (StreamLines(fn, std::move(head), read, write, kStreamBlock, rewind)) {
    case StreamStatus::ReadFailed: Fail(Txt::CliCannotRead, s.InName()); return 2;
    case StreamStatus::WriteFailed: Fail(Txt::CliCannotWrite, s.o.out.empty() ? "-" : s.o.out); return 1;
    case StreamStatus::Ok: break;
  }
  if (fn.Failed()) return 1;  // a line failed and has said why: -o leaves the file untouched
  return whole ? s.WriteParts(std::vector<std::string_view>(collected.begin(), collected.end())) : 0;
}

// Each file opened as the macro keyword Open opens it (its code detected and converted), the
// macro run on its lines, and the file written back beside itself and renamed over it, only
// after a run that went well: a file whose run failed, or that cannot be written, stays as it
// was, and the run goes on with the next file.
int RunInPlace(const Options& o) {
  if (o.macroFile.empty() || o.line.empty() || !o.in.empty() || !o.out.empty() || o.utf8) {
    Fail(Txt::CliInPlaceUsage);
    return 2;
  }
  Session& s = *new Session(o);  // never destroyed: see Session
  std::optional<std::string> macro = s.files->ReadAll(s.Sjis(o.macroFile));
  if (!macro) {
    Fail(Txt::CliCannotRead, o.macroFile);
    return 2;
  }
  int rc = 0;
  for (const std::string& file : o.line) {
    const std::string path = s.Sjis(file);
    if (!s.m.doc().OpenFile(path)) {  // it has said so
      rc = 1;
      continue;
    }
    if (RunMacroLinesOnDocument(s.m, *macro) != MacroStatus::Ok) {
      Fail(Txt::CliNotRewritten, file);
      rc = 1;
      continue;
    }
    if (!s.files->WriteAllReplacing(path, {s.m.doc().FileBytes()})) {
      Fail(Txt::CliCannotWrite, file);
      rc = 1;
    }
  }
  return rc;
}

// Chooses how to run: a one-line run of a keyword with a line conversion streams, one of a
// line-local keyword goes in pieces, anything else (a macro file, --utf8) runs whole.
int Run(const Options& o) {
  if (o.line.empty() && o.macroFile.empty()) {
    Fail(Txt::CliNoKeyword);
    return 2;
  }
  const bool oneLine = o.macroFile.empty();
  if (oneLine) {
    if (!KeywordFor(o.line[0])) {
      Fail(Txt::CliUnknownKeyword, o.line[0]);
      return 2;
    }
    if (!AllBindings().ActionFor(o.line[0])) {
      Fail(Txt::CliNotAvailable, o.line[0]);
      return 2;
    }
  }
  Session& s = *new Session(o);  // never destroyed: see Session
  if (oneLine && !o.utf8)
    if (Bindings::LineFn fn = LineFnForMacroLine(s.m, s.line)) return RunStreamed(s, fn);

  std::optional<std::string> input = o.in.empty() ? sys::ReadStdin() : s.files->ReadAll(s.Sjis(o.in));
  if (!input) {
    Fail(Txt::CliCannotRead, s.InName());
    return 2;
  }
  std::shared_ptr<CarriedChars> carried;
  if (o.utf8) {
    bool foreign = false;
    std::string sjis = s.cp->Utf8ToSjis(*input, &foreign);
    if (foreign) {
      // Characters Shift-JIS cannot hold are carried through the run under user-defined
      // codes, as the tray carries them through a command.
      CarriedText t = CarryText(*s.cp, Utf8ToUtf16(*input));
      if (t.lost) Fail(Txt::CliLossyInput);
      sjis = std::move(t.sjis);
      carried = std::move(t.carried);
    }
    *input = std::move(sjis);
  }
  if (oneLine && !carried && IsLineLocal(o.line[0]) && !input->empty() && (*input)[0] != '\0')
    return RunInPieces(s, std::move(*input));
  return RunWhole(s, std::move(*input), std::move(carried));
}

// The multi-file replacement on its own: it works on files, not on the input, so nothing is
// read and nothing is written to standard output but the two counts. The arguments stay
// apart (a folder may hold spaces); the word and the replacement are in the escape notation.
int RunMultiFileReplace(const Options& o) {
  if (o.line.size() != 5 || !o.macroFile.empty() || !o.in.empty() || !o.out.empty()) {
    Fail(Txt::CliMultiReplaceUsage);
    return 2;
  }
  Session& s = *new Session(o);  // never destroyed: see Session
  const bool ok = MultiFileReplace(s.m.doc(), s.Sjis(o.line[1]), s.Sjis(o.line[2]), Unescape(s.Sjis(o.line[3])),
                                   Unescape(s.Sjis(o.line[4])));
  sys::PrintOut(FormatText(Txt::CliMultiReplaceCounts, {static_cast<long long>(s.m.doc().multiReplaceFiles),
                                                        static_cast<long long>(s.m.doc().multiReplaceCount)}));
  return ok ? 0 : 1;
}

// The character count of a file or standard input, its lines split as a file's are, every
// line counted: the figures of the count dialog.
int Count(const Options& o) {
  if (o.line.size() > 1 || !o.macroFile.empty() || !o.out.empty() || (!o.in.empty() && !o.line.empty())) {
    Fail(Txt::CliCountUsage);
    return 2;
  }
  Session& s = *new Session(o);  // never destroyed: see Session
  const std::string path = !o.line.empty() ? o.line[0] : o.in;
  std::optional<std::string> input = path.empty() ? sys::ReadStdin() : s.files->ReadAll(s.Sjis(path));
  if (!input) {
    Fail(Txt::CliCannotRead, path.empty() ? "-" : path);
    return 2;
  }
  if (o.utf8) {
    bool lossy = false;
    *input = s.cp->Utf8ToSjis(*input, &lossy);
    if (lossy) Fail(Txt::CliLossyInput);
  }
  CQuenlarkDoc& d = s.m.doc();
  d.Lines() = CQuenlarkDoc::SplitFileLines(*input);
  d.SelectAll();
  const CharCounts c = CountChars(d);
  if (c.Total() == 0) {
    Fail(Txt::CountNoLines);
    return 1;
  }
  const long long bytes = ByteSize(d);
  const CCountDlg f(c, bytes, WordCount(d));
  const std::string units = f.bytesInUnits.empty() ? std::string() : " (" + f.bytesInUnits + ")";
  sys::PrintOut(FormatText(Txt::CliCount, {f.total, f.counts[kKanji], f.percents[kKanji], f.counts[kHiragana],
                                           f.percents[kHiragana], f.counts[kKatakana], f.percents[kKatakana],
                                           f.counts[kLetter], f.percents[kLetter], f.counts[kDigit],
                                           f.percents[kDigit], f.counts[kSymbol], f.percents[kSymbol], f.bytes,
                                           units, f.words}));
  return 0;
}

// Prints the code of a file as the file scan sees it (the conversion on opening a file) and
// as the document detection sees it (the file's text loaded as the clipboard would hold it,
// answered from the bytes without building the document). Reading stops once both answers
// are known, mostly after the first piece.
int Detect(const Options& o) {
  std::unique_ptr<ICodePage> cp = sys::MakeCodePage();
  std::unique_ptr<IFiles> files = sys::MakeFiles(*cp);
  std::unique_ptr<IReadFile> file = files->OpenRead(ToSjis(*cp, o.detect));
  const std::optional<FileCodes> codes = file ? DetectFileCodes(*file) : std::nullopt;
  if (!codes) {
    Fail(Txt::CliCannotRead, o.detect);
    return 2;
  }
  const DetectedCode fileCode = codes->file;
  const DetectedCode docCode = codes->document;
  sys::PrintOut(FormatText(Txt::CliDetectFile, {static_cast<long long>(fileCode), std::string(TextOf(CodeName(fileCode)))}));
  sys::PrintOut(FormatText(Txt::CliDetectDocument, {static_cast<long long>(docCode), std::string(TextOf(CodeName(docCode)))}));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  sys::Init();
  std::optional<Options> o = Parse(sys::CommandLineArgs(argc, argv));
  int rc = 2;
  if (o) {
    if (o->help) {
      sys::PrintOut(TextOf(Txt::CliUsage));
      sys::PrintOut(TextOf(Txt::CliDetectUsage));
      sys::PrintOut(TextOf(Txt::CliXmlUsage));
      sys::PrintOut(TextOf(Txt::CliCountUsage));
      sys::PrintOut(TextOf(Txt::CliMultiReplaceUsage));
      rc = 0;
    } else if (o->list) {
      PrintList();
      rc = 0;
    } else if (o->version) {
      sys::PrintOut("qlark (Quenlark Tray) " QLK_VERSION_TEXT);
      rc = 0;
    } else if (!o->detect.empty()) {
      rc = Detect(*o);
    } else if (!o->xml.empty()) {
      rc = ShowXml(o->xml);
    } else if (o->count) {
      rc = Count(*o);
    } else if (!o->inPlace && !o->line.empty() && o->macroFile.empty() &&
               KeywordFor(o->line[0]) == std::optional<Kw>(Kw::MultiFileReplace)) {
      rc = RunMultiFileReplace(*o);
    } else if (o->inPlace) {
      rc = RunInPlace(*o);
    } else {
      rc = Run(*o);
    }
  }
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(rc);
}
