#pragma once
// The running platform's implementations of the seams. Declared here, defined once per
// platform (src/win32/platform, src/posix/platform) and chosen at link time.
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace qlk::sys {

std::unique_ptr<ICodePage> MakeCodePage();
std::unique_ptr<IRegexFactory> MakeRegexFactory(const ICodePage& cp);
std::unique_ptr<IFiles> MakeFiles(const ICodePage& cp);
// The profile of the named program (the tray's name, "QlkTray", for every front end).
std::unique_ptr<ISettings> MakeSettings(const std::string& appName, const ICodePage& cp);
std::unique_ptr<IShell> MakeShell(const ICodePage& cp);
std::unique_ptr<IClock> MakeClock();
// Per-process start and end (COM on Windows).
void Init();
void Shutdown();

}  // namespace qlk::sys
