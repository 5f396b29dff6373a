#pragma once
// POSIX implementations of the seams.
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace qlk {

class IniSettings;

// Code page 932 from iconv, UTF-7 from iconv, UTF-8 and case mapping without a locale.
std::unique_ptr<ICodePage> MakePosixCodePage();
std::unique_ptr<IFiles> MakePosixFiles(const ICodePage& cp);
std::unique_ptr<IShell> MakePosixShell(const ICodePage& cp);
std::unique_ptr<IClock> MakePosixClock();
// The INI file of the profile under the user's config folder.
std::string DefaultSettingsPath(const std::string& appName);

}  // namespace qlk
