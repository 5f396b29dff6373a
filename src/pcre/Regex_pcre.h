#pragma once
// The built-in regular-expression engine: PCRE2 on 16-bit units, behaving as the scripting
// RegExp object does. The POSIX build uses it alone; the Windows build when the object cannot
// be created.
#include <memory>

#include "platform/CodePage.h"
#include "platform/Regex.h"

namespace qlk {

std::unique_ptr<IRegexFactory> MakePcreRegexFactory(const ICodePage& cp);
// Whether expressions run as machine code here: the library has its JIT and the system lets
// it run. Where not, they are interpreted, with the same answers but slower.
bool PcreJitWorks();

}  // namespace qlk
