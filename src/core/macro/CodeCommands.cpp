// JIS, EUC and Unicode forms: the menu commands, their macro keywords, and the conversions
// run when a file read into the document turns out to be JIS or EUC.
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
    return EachNonEmptyLine([&cp](std::string_view l, std::string& out) { AppendUtf8ToSjisLine(cp, l, out); });
  });
  b.LineKeyword("SjisToUtf8", [](MainState& m, const MacroArgs&) {
    const ICodePage& cp = m.platform().codepage;
    return EachNonEmptyLine([&cp](std::string_view l, std::string& out) { AppendSjisToUtf8Line(cp, l, out); });
  });

  b.DocHooks([](MainState& m) {
    CQuenlarkDoc& d = m.doc();
    d.hooks().jisToSjis = [&d] { JisToSjis(d); };
    d.hooks().eucToSjis = [&d] { EucToSjis(d); };
  });
}

}  // namespace qlk
