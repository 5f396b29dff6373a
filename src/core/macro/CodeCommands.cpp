// JIS, EUC and Unicode forms: the menu commands, their macro keywords, and the conversions
// run when a file read into the document turns out to be JIS or EUC.
#include <memory>

#include "app/SettingKeys.h"
#include "conv/Jis.h"
#include "conv/Unicode.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/MacroLines.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

// The option is read at every run, from the menu or from a macro line, and recorded.
void LoadEucOption(MainState& m) { m.doc().eucOption = Get(m.platform().settings, keys::kEucCode); }

template <void (*Op)(CQuenlarkDoc&)>
void Run(MainState& m, const MacroArgs&) {
  Op(m.doc());
}

}  // namespace

void BindCodeCommands(Bindings& b) {
  b.Plain(Cmd::JisToSjis, [](MainState& m) { JisToSjis(m.doc(), m.jis()); });
  b.Plain(Cmd::SjisToJis, [](MainState& m) { SjisToJis(m.doc(), m.jis()); });
  b.Plain(Cmd::EucToSjis, EucToSjis);
  // The line carries the option, read from the settings once the question is answered.
  b.Plain(Cmd::SjisToEuc, SjisToEuc, [](MainState& m) {
    LoadEucOption(m);
    return ml::SjisToEuc(m.doc().eucOption);
  });
  b.Plain(Cmd::Utf8ToSjis, Utf8ToSjis);
  b.Plain(Cmd::SjisToUtf8, SjisToUtf8);
  b.Plain(Cmd::UnicodeToMbcs, UnicodeToMbcs);

  b.Keyword(Kw::SjisToEuc, [](MainState& m, const MacroArgs&) {
    LoadEucOption(m);  // the recorded option is ignored: the setting decides
    SjisToEuc(m.doc());
  });
  b.Keyword(Kw::MbcsToUnicode, Run<MbcsToUnicode>);

  b.LineKeyword(Kw::Utf8ToSjis, [](MainState& m, const MacroArgs&) {
    const ICodePage& cp = m.platform().codepage;
    return EachNonEmptyLineInPieces([&cp](std::string_view rest, bool ends, uint32_t& carry, std::string& out) {
      return AppendUtf8ToSjisPiece(cp, rest, ends, carry, out);
    });
  });
  b.LineKeyword(Kw::SjisToUtf8, [](MainState& m, const MacroArgs&) {
    const ICodePage& cp = m.platform().codepage;
    return EachNonEmptyLineInPieces([&cp](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendSjisToUtf8Piece(cp, rest, ends, out);
    });
  });

  // The JIS and EUC conversions a line at a time, for a long text streamed through them; the
  // JIS modes carry from line to line as in a run over the whole text, from a fresh start.
  b.LineKeyword(Kw::JisToSjis, [](MainState&, const MacroArgs&) {
    auto modes = std::make_shared<JisModes>();
    return EachNonEmptyLineInPieces([modes](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendJisToSjisPiece(rest, ends, *modes, out);
    });
  });
  b.LineKeyword(Kw::SjisToJis, [](MainState& m, const MacroArgs&) {
    auto modes = std::make_shared<JisModes>();
    const JisEncoderSettings settings = ReadJisEncoderSettings(m.platform().settings);
    return EachNonEmptyLineInPieces([modes, settings](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendSjisToJisPiece(rest, ends, settings, *modes, out);
    });
  });
  b.LineKeyword(Kw::EucToSjis, [](MainState&, const MacroArgs&) {
    return EachNonEmptyLineInPieces([](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendEucToSjisPiece(rest, ends, out);
    });
  });
  // Every value of the EUC option gives the same bytes.
  b.LineKeyword(Kw::SjisToEuc, [](MainState&, const MacroArgs&) {
    return EachNonEmptyLineInPieces([](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendSjisToEucPiece(rest, ends, out);
    });
  });

  b.DocHooks([](MainState& m) {
    CQuenlarkDoc& d = m.doc();
    d.hooks().jisToSjis = [&m] { JisToSjis(m.doc(), m.jis()); };
    d.hooks().eucToSjis = [&d] { EucToSjis(d); };
  });
}

}  // namespace qlk
