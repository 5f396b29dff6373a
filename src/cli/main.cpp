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
#include "cli/KeywordHelp.h"
#include "cli/XmlView.h"
#include "conv/Detect.h"
#include "macro/Bindings.h"
#include "macro/Interpreter.h"
#include "macro/MainState.h"
#include "macro/Streaming.h"
#include "platform/Files.h"
#include "platform/System.h"
#include "Version.h"

using namespace qlk;

namespace {

class MemoryClipboard final : public IClipboard {
 public:
  explicit MemoryClipboard(std::string text) : text_(std::move(text)) {}
  // The input is read once per run: it is handed over, not copied.
  ClipRead Read() override { return {ClipStatus::Ok, std::move(text_)}; }
  bool Write(std::string_view s) override {
    text_ = std::string(s);
    written_ = true;
    return true;
  }
  bool Write(std::string&& s) override {
    text_ = std::move(s);
    written_ = true;
    return true;
  }
  // The input, before anything ran.
  void Hold(std::string text) {
    text_ = std::move(text);
    written_ = false;
  }
  const std::string& Text() const { return text_; }
  bool Written() const { return written_; }

 private:
  std::string text_;
  bool written_ = false;
};

// Messages go to standard error; there is nobody to answer dialogs.
class CliUI final : public IUserInterface {
 public:
  Answer Show(const Message& m, MsgButtons b, MsgIcon) override {
    if (!quiet) sys::PrintError("qlark: " + m.text);
    ++shown;
    return b == MsgButtons::YesNo ? Answer::No : Answer::Cancel;
  }
  void BeginWait() override {}
  void EndWait() override {}
  bool RunDialog(DialogModel&) override { return false; }
  std::vector<std::string> FileDialog(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> BrowseFolder(Txt) override { return std::nullopt; }
  int shown = 0;
  bool quiet = false;  // counted, not printed: a run that is to be repeated whole
};

struct Options {
  std::string in, out, macroFile, detect, xml;  // UTF-8 paths
  bool utf8 = false, list = false, help = false, version = false;
  std::vector<std::string> line;   // keyword and arguments
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
    } else if (options && s == "--utf8") {
      o.utf8 = true;
    } else if (options && s == "--list") {
      o.list = true;
    } else if (options && s == "--version") {
      o.version = true;
    } else if (options && (s == "--help" || s == "-h")) {
      o.help = true;
    } else if (options && o.line.empty() && s.size() > 1 && s[0] == '-') {
      Fail(Txt::CliUnknownOption, s);
      return std::nullopt;
    } else {
      o.line.push_back(s);
    }
  }
  return o;
}

void PrintList() {
  for (const cli::KeywordHelp& h : cli::AllKeywordHelp()) {
    std::string l = h.keyword;
    if (*h.args) l += std::string(" ") + h.args;
    while (l.size() < 48) l += ' ';
    sys::PrintOut(l + "  " + h.what);
  }
}

// ASCII is the same in both codes: most runs then never need the code page's tables.
std::string ToSjis(const ICodePage& cp, const std::string& utf8) {
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) return cp.Utf8ToSjis(utf8);
  return utf8;
}

int Run(const Options& o) {
  // Held for the whole process, which ends without tearing them down (see below).
  static std::unique_ptr<ICodePage> cp = sys::MakeCodePage();
  static std::unique_ptr<IFiles> files = sys::MakeFiles(*cp);
  auto toSjis = [&](const std::string& utf8) { return ToSjis(*cp, utf8); };
  auto sjisPath = toSjis;

  if (o.line.empty() && o.macroFile.empty()) {
    Fail(Txt::CliNoKeyword);
    return 2;
  }
  const Bindings& bindings = AllBindings();
  if (o.macroFile.empty()) {
    int k = FindKeyword(o.line[0]);
    if (k < 0) {
      Fail(Txt::CliUnknownKeyword, o.line[0]);
      return 2;
    }
    if (!bindings.ActionFor(o.line[0])) {
      Fail(Txt::CliNotAvailable, o.line[0]);
      return 2;
    }
  }

  static std::unique_ptr<ISettings> settings = sys::MakeSettings("QlkTray", *cp);
  static std::unique_ptr<IRegexFactory> regex = sys::MakeRegexFactory(*cp);
  static std::unique_ptr<IShell> shell = sys::MakeShell(*cp);
  static std::unique_ptr<IClock> clock = sys::MakeClock();
  static CliUI ui;
  auto& clip = *new MemoryClipboard(std::string());
  auto& p = *new Platform{clip, *settings, *cp, *regex, ui, *files, *shell, *clock};
  AppState app;
  // The document is never destroyed: the process ends right after the output, and freeing
  // millions of lines one by one would only cost time. (Nor is the regex flag written back:
  // a command-line run leaves the tray's profile as it found it.)
  auto* m = new MainState(p, bindings, app);
  m->doc().DisableUndo();  // nobody can undo after the process has ended

  std::string line;
  for (const std::string& a : o.line) {
    if (!line.empty()) line += ' ';
    line += toSjis(a);
  }
  // The output, in one or more parts written one after another.
  auto writeParts = [&](const std::vector<std::string_view>& parts) {
    if (o.out.empty()) {
      for (std::string_view p : parts)
        if (!sys::WriteStdout(p)) return 1;
      return 0;
    }
    // Written beside the target and renamed over it, so a failed write leaves the old file.
    std::string target = sjisPath(o.out);
    std::string tmp = target + ".qlark-tmp";
    bool ok = false;
    if (auto f = files->Create(tmp)) {
      ok = true;
      for (std::string_view p : parts) ok = ok && f->Write(p);
      ok = f->Close() && ok && files->Rename(tmp, target);
    }
    if (!ok) {
      files->Remove(tmp);
      Fail(Txt::CliCannotWrite, o.out);
      return 1;
    }
    return 0;
  };
  auto writeResult = [&](std::string_view out) { return writeParts({out}); };

  // A one-line run of a keyword that converts each line on its own streams: the input is read
  // and the output written a block at a time.
  std::optional<std::string> input;
  if (o.macroFile.empty() && !o.utf8) {
    if (Bindings::LineFn fn = LineFnForMacroLine(*m, line)) {
      // Standard input or the file, a block at a time.
      std::unique_ptr<IReadFile> inFile;
      if (!o.in.empty() && !(inFile = files->OpenRead(sjisPath(o.in)))) {
        Fail(Txt::CliCannotRead, o.in);
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
        Fail(Txt::CliCannotRead, o.in.empty() ? "-" : o.in);
        return 2;
      }
      head.resize(*got);
      if (head.empty() || head[0] == '\0') {
        input = std::string();  // no text: the run below says so
      } else {
        // For -o the file is written only after a whole run.
        const bool whole = !o.out.empty();
        std::vector<std::string> collected;  // the blocks as they come: never moved again
        WriteOut write = [&](std::string_view b) {
          if (whole) {
            collected.emplace_back(b);
            return true;
          }
          return sys::WriteStdout(b);
        };
        switch (StreamLines(fn, std::move(head), read, write, kStreamBlock, rewind)) {
          case StreamStatus::ReadFailed: Fail(Txt::CliCannotRead, o.in.empty() ? "-" : o.in); return 2;
          case StreamStatus::WriteFailed: Fail(Txt::CliCannotWrite, o.out.empty() ? "-" : o.out); return 1;
          case StreamStatus::Ok: break;
        }
        if (ui.shown > 0) return 1;  // a line failed (see LineFn): -o leaves the file untouched
        return whole ? writeParts(std::vector<std::string_view>(collected.begin(), collected.end())) : 0;
      }
    }
  }

  if (!input) input = o.in.empty() ? sys::ReadStdin() : files->ReadAll(sjisPath(o.in));
  if (!input) {
    Fail(Txt::CliCannotRead, o.in.empty() ? "-" : o.in);
    return 2;
  }
  if (o.utf8) {
    bool lossy = false;
    *input = cp->Utf8ToSjis(*input, &lossy);
    if (lossy) Fail(Txt::CliLossyInput);
  }

  // Other one-line runs of a line-by-line conversion go through the text in pieces: the same
  // bytes as a run over the whole text, in a fraction of the memory. The text ends at its
  // first NUL, as it would on the clipboard.
  bool pieces = o.macroFile.empty() && IsLineLocal(o.line[0]) && !input->empty() && (*input)[0] != '\0';
  if (pieces) input->resize(std::min(input->size(), input->find('\0')));
  std::string result;
  if (!o.macroFile.empty()) {
    clip.Hold(std::move(*input));
    RunMacroFile(*m, sjisPath(o.macroFile));
  } else if (pieces) {
    result.reserve(input->size() + input->size() / 8);
    ui.quiet = true;
    const bool whole = RunLinePieces(*m, line, *input, kPieceLines, result, [] { return ui.shown > 0; });
    ui.quiet = false;
    if (!whole) {
      // A piece showed a message (a malformed expression, a refused width): the run over the
      // whole text shows it once and gives what the tray would store.
      ui.shown = 0;
      result = std::string();
      pieces = false;
    }
  }
  if (!pieces && o.macroFile.empty()) {
    clip.Hold(std::move(*input));
    RunMacroText(*m, line);
  }
  if (!pieces && !clip.Written()) return 1;  // nothing was stored: nothing to write
  // After a message the run went on and stored its text, as the tray does: that text is the
  // output, and the status says the run failed. A file named by -o is written only after a
  // run without one, so a failed run leaves it as it was.
  const bool failed = ui.shown > 0;
  if (failed && !o.out.empty()) return 1;
  const std::string& sjisOut = pieces ? result : clip.Text();
  const int rc = writeResult(o.utf8 ? cp->SjisToUtf8(sjisOut) : sjisOut);
  return failed ? 1 : rc;
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
  const int fileCode = codes->file;
  const int docCode = codes->document;
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
    } else {
      rc = Run(*o);
    }
  }
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(rc);
}
