#pragma once
// The seams the core receives, bundled. The core never creates them.
#include "platform/Clipboard.h"
#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/Regex.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "platform/UserInterface.h"

namespace qlk {

struct Platform {
  IClipboard& clipboard;
  ISettings& settings;
  ICodePage& codepage;
  IRegexFactory& regex;
  IUserInterface& ui;
  IFiles& files;
  IShell& shell;
  IClock& clock;
};

}  // namespace qlk
