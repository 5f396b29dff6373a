// JIS, EUC and Unicode forms: the menu commands, their macro keywords, and the conversions
// run when a file read into the document turns out to be JIS or EUC.
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
    return EachNonEmptyLine([&cp](std::string_view l, std::string& out) { AppendUtf8ToSjisLine(cp, l, out); });
  });
  b.LineKeyword(Kw::SjisToUtf8, [](MainState& m, const MacroArgs&) {
    const ICodePage& cp = m.platform().codepage;
    return EachNonEmptyLine([&cp](std::string_view l, std::string& out) { AppendSjisToUtf8Line(cp, l, out); });
  });

  b.DocHooks([](MainState& m) {
    CQuenlarkDoc& d = m.doc();
    d.hooks().jisToSjis = [&m] { JisToSjis(m.doc(), m.jis()); };
    d.hooks().eucToSjis = [&d] { EucToSjis(d); };
  });
}

}  // namespace qlk
