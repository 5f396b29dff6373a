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
bool RunToFile(MainState& m, const MacroArgs& a) {
  return Op(m.doc(), a.D(1));
}

}  // namespace

void BindTransferCommands(Bindings& b) {
  b.Plain(Cmd::MimeToSjis, [](MainState& m) { MimeToSjis(m.doc(), m.jis()); });
  b.Plain(Cmd::SjisToMime, [](MainState& m) { SjisToMime(m.doc(), m.jis()); });
  b.Plain(Cmd::ToMime, ToMime);
  b.Plain(Cmd::UrlToSjis, UrlToSjis);
  b.Plain(Cmd::UrleToSjis, UrleToSjis);
  b.Plain(Cmd::SjisToUrl, SjisToUrl);
  b.Plain(Cmd::ToSjisCode, ToSjisCode);
  b.Plain(Cmd::ToJisCode, ToJisCode);
  b.Plain(Cmd::CodeToSjis, CodeToSjis);
  b.Plain(Cmd::CodeToJis, CodeToJis);
  b.Plain(Cmd::ToSjis, [](MainState& m) { ToSjis(m.doc(), m.jis()); });
  b.Command(Cmd::CodeDetect, CodeDetectCommand);

  b.Keyword(Kw::MimeOut, RunToFile<MimeOut>);
  b.Keyword(Kw::UuencodeOut, RunToFile<UuencodeOut>);

  // The same conversions, a line at a time (a long text streams through them).
  // Empty lines give nothing, as they stay empty in the whole run.
  b.LineKeyword(Kw::ToMime, Raw<ToMimeRoom, PutBase64, PutToMimeLines, PutBase64Piece>);
  b.LineKeyword(Kw::SjisToUrl, Raw<SjisToUrlRoom, PutSjisToUrl, PutSjisToUrlLines, PutSjisToUrlPiece>);
  b.LineKeyword(Kw::UrlToSjis, Raw<UrlToSjisRoom, PutUrlToSjis, PutUrlToSjisLines, PutUrlToSjisPiece>);
  b.LineKeyword(Kw::MimeToSjis, [](MainState& m, const MacroArgs&) {
    JisModes& modes = m.jis().modes;
    modes.Reset();  // as at the start of the run over the whole text; the modes then carry on
    const ICodePage& cp = m.platform().codepage;
    return EachNonEmptyLineInPieces(
        [&cp, &modes](std::string_view rest, bool ends, uint32_t& carry, std::string& out) {
          return AppendMimeToSjisPiece(cp, rest, ends, carry, modes, out);
        },
        LookMimeToSjis);
  });

  b.DocHooks([](MainState& m) { m.doc().hooks().detectFileCode = DetectFileCode; });
}

}  // namespace qlk
