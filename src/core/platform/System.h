#pragma once
// The running platform's implementations of the seams. Declared here, defined once per
// platform (src/win32/platform, src/posix/platform) and chosen at link time.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace qlk::sys {

std::unique_ptr<ICodePage> MakeCodePage();
std::unique_ptr<IRegexFactory> MakeRegexFactory(const ICodePage& cp);
std::unique_ptr<IFiles> MakeFiles(const ICodePage& cp);
// The profile of the named program (the tray's name, "QlkTray", for every front end).
std::unique_ptr<ISettings> MakeSettings(const std::string& appName, const ICodePage& cp);
std::unique_ptr<IShell> MakeShell(const ICodePage& cp);
std::unique_ptr<IClock> MakeClock();
// The program's arguments as UTF-8 (argv[0] included).
std::vector<std::string> CommandLineArgs(int argc, char** argv);
// Standard streams of the command line, as bytes.
std::optional<std::string> ReadStdin();
// Up to `n` bytes of standard input into `buf`: how many (0 at its end), nothing on an error.
std::optional<size_t> ReadStdinSome(char* buf, size_t n);
// Standard input as a file that can be read again, when it is one (see IReadFile::Position).
std::optional<uint64_t> StdinPosition();
bool SeekStdin(uint64_t offset);
bool WriteStdout(std::string_view bytes);
// Text for a person on the standard error stream (or standard output), in the terminal's
// encoding, with a line break after it.
void PrintError(std::string_view utf8);
void PrintOut(std::string_view utf8);
// Per-process start and end (COM on Windows).
void Init();
void Shutdown();

}  // namespace qlk::sys
