#include "platform/System.h"
#include "posix/platform/IniSettings.h"
#include "posix/platform/PosixPlatform.h"
#include "pcre/Regex_pcre.h"

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

#include <langinfo.h>
#include <locale.h>
#include <iconv.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qlk::sys {

std::optional<std::string> ReadStdin() {
  // A redirected file is read into one buffer of its size; a pipe in growing chunks.
  std::string data;
  struct stat st;
  size_t got = 0;
  size_t chunk = 1 << 16;
  if (::fstat(0, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) chunk = static_cast<size_t>(st.st_size) + 1;
  while (true) {
    // Room is added only when the buffer is full: a file of the size fstat gave ends with
    // one read of 0 into its spare byte, not with a second buffer of its size.
    if (data.size() == got) data.resize(got + chunk);
    ssize_t n = ::read(0, data.data() + got, data.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
    chunk = std::max(chunk, got);  // grow geometrically on pipes
  }
  data.resize(got);
  return data;
}

std::optional<size_t> ReadStdinSome(char* buf, size_t n) {
  for (;;) {
    ssize_t got = ::read(0, buf, n);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) return std::nullopt;
  }
}

namespace {
// Only a regular file reads the same bytes again.
std::optional<uint64_t> FilePosition(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  const off_t at = ::lseek(fd, 0, SEEK_CUR);
  if (at < 0) return std::nullopt;
  return static_cast<uint64_t>(at);
}
}  // namespace

std::optional<uint64_t> StdinPosition() { return FilePosition(0); }
bool SeekStdin(uint64_t offset) {
  return FilePosition(0) && ::lseek(0, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

bool WriteStdout(std::string_view b) {
  bool ok = std::fwrite(b.data(), 1, b.size(), stdout) == b.size();
  return std::fflush(stdout) == 0 && ok;
}

namespace {
void PrintTo(int fd, std::string_view utf8) {
  // The terminal's encoding comes from the user's locale; UTF-8 goes out as it is.
  static const std::string codeset = [] {
    setlocale(LC_CTYPE, "");
    const char* c = nl_langinfo(CODESET);
    return std::string(c ? c : "UTF-8");
  }();
  std::string out(utf8);
  if (codeset != "UTF-8" && codeset != "utf8") {
    iconv_t cd = iconv_open((codeset + "//TRANSLIT").c_str(), "UTF-8");
    if (cd != reinterpret_cast<iconv_t>(-1)) {
      std::string conv(out.size() * 4 + 16, '\0');
      char* ip = out.data();
      char* op = conv.data();
      size_t il = out.size(), ol = conv.size();
      if (iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1)) out.assign(conv.data(), conv.size() - ol);
      iconv_close(cd);
    }
  }
  out += '\n';
  (void)!::write(fd, out.data(), out.size());
}
}  // namespace

void PrintError(std::string_view utf8) { PrintTo(2, utf8); }
void PrintOut(std::string_view utf8) {
  std::fflush(stdout);
  PrintTo(1, utf8);
}

}  // namespace qlk::sys

namespace qlk::sys {

std::vector<std::string> CommandLineArgs(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

}  // namespace qlk::sys
