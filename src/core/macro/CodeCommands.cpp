// JIS, EUC and Unicode forms: the menu commands, their macro keywords, and the conversions
// run when a file read into the document turns out to be JIS or EUC.
#include <memory>

#include "conv/Jis.h"
#include "conv/Unicode.h"
#include "macro/Bindings.h"
#include "macro/Families.h"
#include "macro/MacroLines.h"
#include "macro/MainState.h"

namespace qlk {
namespace {

constexpr uint32_t kSjisToEuc = 32795;

// The option is read at every run, from the menu or from a macro line, and recorded.
void LoadEucOption(MainState& m) { m.doc().eucOption = m.platform().settings.GetInt("Euc", "Code", 0); }

void SjisToEucCommand(MainState& m) {
  if (!m.Reload()) return;
  if (!m.Verify(Txt::CfSjisToEuc)) return;
  LoadEucOption(m);
  m.WriteMacroLine(ml::SjisToEuc(m.doc().eucOption));
  SjisToEuc(m.doc());
  m.Store();
}

template <void (*Op)(CQuenlarkDoc&)>
void Run(MainState& m, const MacroArgs&) {
  Op(m.doc());
}

}  // namespace

void BindCodeCommands(Bindings& b) {
  b.Plain(32785, JisToSjis);
  b.Plain(32786, SjisToJis);
  b.Plain(32794, EucToSjis);
  b.Command(kSjisToEuc, SjisToEucCommand);
  b.Plain(32927, Utf8ToSjis);
  b.Plain(32788, SjisToUtf8);
  b.Plain(32920, UnicodeToMbcs);

  b.Keyword("JisToSjis", Run<JisToSjis>);
  b.Keyword("SjisToJis", Run<SjisToJis>);
  b.Keyword("EucToSjis", Run<EucToSjis>);
  b.Keyword("SjisToEuc", [](MainState& m, const MacroArgs&) {
    LoadEucOption(m);  // the recorded option is ignored: the setting decides
    SjisToEuc(m.doc());
  });
  b.Keyword("Utf8ToSjis", Run<Utf8ToSjis>);
  b.Keyword("SjisToUtf8", Run<SjisToUtf8>);
  b.Keyword("UnicodeToMbcs", Run<UnicodeToMbcs>);
  b.Keyword("MbcsToUnicode", Run<MbcsToUnicode>);

  b.LineKeyword("Utf8ToSjis", [](MainState& m, const MacroArgs&) {
    const ICodePage& cp = m.platform().codepage;
    return EachNonEmptyLineInPieces([&cp](std::string_view rest, bool ends, uint32_t& carry, std::string& out) {
      return AppendUtf8ToSjisPiece(cp, rest, ends, carry, out);
    });
  });
  b.LineKeyword("SjisToUtf8", [](MainState& m, const MacroArgs&) {
    const ICodePage& cp = m.platform().codepage;
    return EachNonEmptyLineInPieces([&cp](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendSjisToUtf8Piece(cp, rest, ends, out);
    });
  });

  // The JIS and EUC conversions a line at a time, for a long text streamed through them; the
  // JIS modes carry from line to line as in a run over the whole text, from a fresh start.
  b.LineKeyword("JisToSjis", [](MainState&, const MacroArgs&) {
    auto modes = std::make_shared<JisModes>();
    return EachNonEmptyLineInPieces([modes](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendJisToSjisPiece(rest, ends, *modes, out);
    });
  });
  b.LineKeyword("SjisToJis", [](MainState& m, const MacroArgs&) {
    auto modes = std::make_shared<JisModes>();
    const JisEncoderSettings settings = ReadJisEncoderSettings(m.platform().settings);
    return EachNonEmptyLineInPieces([modes, settings](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendSjisToJisPiece(rest, ends, settings, *modes, out);
    });
  });
  b.LineKeyword("EucToSjis", [](MainState&, const MacroArgs&) {
    return EachNonEmptyLineInPieces([](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendEucToSjisPiece(rest, ends, out);
    });
  });
  // Every value of the EUC option gives the same bytes.
  b.LineKeyword("SjisToEuc", [](MainState&, const MacroArgs&) {
    return EachNonEmptyLineInPieces([](std::string_view rest, bool ends, uint32_t&, std::string& out) {
      return AppendSjisToEucPiece(rest, ends, out);
    });
  });

  b.DocHooks([](MainState& m) {
    CQuenlarkDoc& d = m.doc();
    d.hooks().jisToSjis = [&d] { JisToSjis(d); };
    d.hooks().eucToSjis = [&d] { EucToSjis(d); };
  });
}

}  // namespace qlk
