#include "platform/System.h"
#include "posix/platform/IniSettings.h"
#include "posix/platform/PosixPlatform.h"

namespace qlk::sys {

std::unique_ptr<ICodePage> MakeCodePage() { return MakePosixCodePage(); }
std::unique_ptr<IRegexFactory> MakeRegexFactory(const ICodePage& cp) { return MakePcreRegexFactory(cp); }
std::unique_ptr<IFiles> MakeFiles(const ICodePage& cp) { return MakePosixFiles(cp); }
std::unique_ptr<ISettings> MakeSettings(const std::string& appName, const ICodePage& cp) {
  return std::make_unique<IniSettings>(DefaultSettingsPath(appName), cp);
}
std::unique_ptr<IShell> MakeShell(const ICodePage& cp) { return MakePosixShell(cp); }
std::unique_ptr<IClock> MakeClock() { return MakePosixClock(); }
void Init() {}
void Shutdown() {}

}  // namespace qlk::sys
