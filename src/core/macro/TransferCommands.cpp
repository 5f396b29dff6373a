// Transfer encodings, code listings and code detection: the menu commands, their macro
// keywords, and the code detection of files read into the document.
#include "conv/CodeDetectDlg.h"
#include "conv/Detect.h"
#include "conv/Jis.h"
#include "conv/Transfer.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

// Works on the document as the last command left it: no reload, no macro line, no undo step.
void CodeDetectCommand(MainState& m) {
  CCodeDetectDlg dlg(DetectDocumentCode(m.doc()));
  m.platform().ui.RunDialog(dlg);
}

template <void (*Op)(CQuenlarkDoc&)>
void Run(MainState& m, const MacroArgs&) {
  Op(m.doc());
}

template <void (*Append)(std::string_view, std::string&)>
Bindings::LineFn Lines(MainState&, const MacroArgs&) {
  return EachNonEmptyLine(Append);
}

// A conversion written in place: per line, per run of lines, and per piece of a long line for
// the stream.
template <size_t (*Most)(size_t), char* (*Put)(std::string_view, char*), char* (*PutLines)(std::string_view, char*),
          size_t (*PutPiece)(std::string_view, bool, uint32_t&, char*&)>
Bindings::LineFn Raw(MainState&, const MacroArgs&) {
  return Bindings::RawLine{Most, Put, PutLines, PutPiece};
}

// Every byte on its own: any piece is taken whole.
size_t PutSjisToUrlPiece(std::string_view rest, bool, uint32_t&, char*& to) {
  to = PutSjisToUrl(rest, to);
  return rest.size();
}

template <bool (*Op)(CQuenlarkDoc&, std::string_view)>
void RunToFile(MainState& m, const MacroArgs& a) {
  Op(m.doc(), a.D(1));
}

}  // namespace

void BindTransferCommands(Bindings& b) {
  b.Plain(32833, MimeToSjis);
  b.Plain(32836, SjisToMime);
  b.Plain(32803, ToMime);
  b.Plain(32787, UrlToSjis);
  b.Plain(32796, UrleToSjis);
  b.Plain(32813, SjisToUrl);
  b.Plain(32789, ToSjisCode);
  b.Plain(32790, ToJisCode);
  b.Plain(32804, CodeToSjis);
  b.Plain(32805, CodeToJis);
  b.Plain(32807, ToSjis);
  b.Command(32811, CodeDetectCommand);

  b.Keyword("MimeToSjis", Run<MimeToSjis>);
  b.Keyword("SjisToMime", Run<SjisToMime>);
  b.Keyword("ToMime", Run<ToMime>);
  b.Keyword("UrlToSjis", Run<UrlToSjis>);
  b.Keyword("UrleToSjis", Run<UrleToSjis>);
  b.Keyword("SjisToUrl", Run<SjisToUrl>);
  b.Keyword("ToSjisCode", Run<ToSjisCode>);
  b.Keyword("ToJisCode", Run<ToJisCode>);
  b.Keyword("CodeToSjis", Run<CodeToSjis>);
  b.Keyword("CodeToJis", Run<CodeToJis>);
  b.Keyword("ToSjis", Run<ToSjis>);
  b.Keyword("MimeOut", RunToFile<MimeOut>);
  b.Keyword("UuencodeOut", RunToFile<UuencodeOut>);

  // The same conversions, a line at a time (a long text streams through them).
  // Empty lines give nothing, as they stay empty in the whole run.
  b.LineKeyword("ToMime", Raw<ToMimeRoom, PutBase64, PutToMimeLines, PutBase64Piece>);
  b.LineKeyword("SjisToUrl", Raw<SjisToUrlRoom, PutSjisToUrl, PutSjisToUrlLines, PutSjisToUrlPiece>);
  b.LineKeyword("UrlToSjis", Raw<UrlToSjisRoom, PutUrlToSjis, PutUrlToSjisLines, PutUrlToSjisPiece>);
  b.LineKeyword("MimeToSjis", [](MainState& m, const MacroArgs&) {
    ResetJisModes();  // as at the start of the run over the whole text; the modes then carry on
    const ICodePage& cp = m.platform().codepage;
    return EachNonEmptyLineInPieces(
        [&cp](std::string_view rest, bool ends, uint32_t& carry, std::string& out) {
          return AppendMimeToSjisPiece(cp, rest, ends, carry, SharedJisModes(), out);
        },
        LookMimeToSjis);
  });

  b.DocHooks([](MainState& m) { m.doc().hooks().detectFileCode = DetectFileCode; });
}

}  // namespace qlk
