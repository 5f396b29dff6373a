#include "app/Texts.h"

namespace qlk {
namespace {

constexpr const char* kTexts[] = {
#define QLK_TEXT(name, text) text,
#define QLK_MESSAGE(name, kind, text) text,
#include "app/Texts.def"
#undef QLK_MESSAGE
#undef QLK_TEXT
};

constexpr const char* kNames[] = {
#define QLK_TEXT(name, text) #name,
#define QLK_MESSAGE(name, kind, text) #name,
#include "app/Texts.def"
#undef QLK_MESSAGE
#undef QLK_TEXT
};

constexpr MsgKind kKinds[] = {
#define QLK_TEXT(name, text) MsgKind::None,
#define QLK_MESSAGE(name, kind, text) MsgKind::kind,
#include "app/Texts.def"
#undef QLK_MESSAGE
#undef QLK_TEXT
};

}  // namespace

const char* TextOf(Txt id) { return kTexts[static_cast<int>(id)]; }
const char* TextName(Txt id) { return kNames[static_cast<int>(id)]; }
MsgKind KindOf(Txt id) { return kKinds[static_cast<int>(id)]; }

std::string FormatText(Txt id, std::initializer_list<TextArg> args) {
  std::string_view t = TextOf(id);
  std::string out;
  auto next = args.begin();
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '%' && i + 1 < t.size()) {
      char f = t[i + 1];
      if (f == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (f == 'd' || f == 's') {
        if (next != args.end()) {
          if (auto* n = std::get_if<long long>(&*next))
            out += std::to_string(*n);
          else
            out += std::get<std::string>(*next);
          ++next;
        }
        ++i;
        continue;
      }
    }
    out += t[i];
  }
  return out;
}

}  // namespace qlk
