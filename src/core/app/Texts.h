#pragma once
// Names of the texts shown to people; the texts themselves live in Texts.def.
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace qlk {

enum class Txt {
#define QLK_TEXT(name, text) name,
#define QLK_MESSAGE(name, kind, text) name,
#include "app/Texts.def"
#undef QLK_MESSAGE
#undef QLK_TEXT
  Count_
};

// What a message box says by its look, one rule for all: an information icon and OK for
// results, a warning icon and OK for refusals and failures, a question icon with OK and
// Cancel, or Yes and No, for questions. Texts that are no message have None.
enum class MsgKind { None, Result, Failure, Question, YesNo };

// The UTF-8 text of a name.
const char* TextOf(Txt id);
// The enumerator's name, for diagnostics and tests.
const char* TextName(Txt id);
// How the text is shown when it is a message.
MsgKind KindOf(Txt id);

// One argument of a formatted text: a number, or UTF-8 text.
using TextArg = std::variant<long long, std::string>;

// Fills %d and %s in order; "%%" stands for one percent sign.
std::string FormatText(Txt id, std::initializer_list<TextArg> args = {});

// A text ready to be shown, with the name it came from.
struct Message {
  Txt id = Txt::None;
  std::string text;  // UTF-8
  MsgKind kind() const { return KindOf(id); }
};

inline Message MakeMessage(Txt id, std::initializer_list<TextArg> args = {}) { return {id, FormatText(id, args)}; }

}  // namespace qlk
