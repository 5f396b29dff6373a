#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

extern char** environ;

#include "posix/platform/PosixPlatform.h"

namespace qlk {
namespace {

class PosixWriteFile final : public IWriteFile {
 public:
  explicit PosixWriteFile(std::FILE* f) : f_(f) {}
  ~PosixWriteFile() override {
    if (f_) std::fclose(f_);
  }
  bool Write(std::string_view b) override {
    if (!f_) return false;
    if (std::fwrite(b.data(), 1, b.size(), f_) != b.size()) ok_ = false;
    return ok_;
  }
  bool Close() override {
    if (!f_) return false;
    bool ok = std::fflush(f_) == 0 && !std::ferror(f_) && ok_;
    ok = (std::fclose(f_) == 0) && ok;
    f_ = nullptr;
    return ok;
  }

 private:
  std::FILE* f_;
  bool ok_ = true;
};

class PosixReadFile final : public IReadFile {
 public:
  explicit PosixReadFile(int fd) : fd_(fd) {}
  ~PosixReadFile() override { ::close(fd_); }
  std::optional<size_t> Read(char* buf, size_t size) override {
    for (;;) {
      ssize_t n = ::read(fd_, buf, size);
      if (n >= 0) return static_cast<size_t>(n);
      if (errno != EINTR) return std::nullopt;
    }
  }
  std::optional<uint64_t> Position() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    return at < 0 ? std::nullopt : std::optional<uint64_t>(static_cast<uint64_t>(at));
  }
  bool Seek(uint64_t offset) override {
    return Position() && ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
  }

 private:
  int fd_;
};

// Paths inside the core are Shift-JIS (they come from macro files and settings); the file
// system here speaks UTF-8.
class PosixFiles final : public IFiles {
 public:
  explicit PosixFiles(const ICodePage& cp) : cp_(cp) {}

  std::optional<std::string> ReadAll(std::string_view path) override {
    std::FILE* f = std::fopen(Native(path).c_str(), "rb");
    if (!f) return std::nullopt;
    std::string data;
    struct stat st;
    if (::fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (bad) return std::nullopt;
    return data;
  }
  std::unique_ptr<IReadFile> OpenRead(std::string_view path) override {
    int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixReadFile>(fd);
  }
  std::unique_ptr<IWriteFile> Create(std::string_view path) override {
    std::FILE* f = std::fopen(Native(path).c_str(), "wb");
    if (!f) return nullptr;
    return std::make_unique<PosixWriteFile>(f);
  }
  bool Exists(std::string_view path) override {
    struct stat st;
    return ::stat(Native(path).c_str(), &st) == 0;
  }
  bool Remove(std::string_view path) override { return std::remove(Native(path).c_str()) == 0; }
  bool Rename(std::string_view from, std::string_view to) override {
    return std::rename(Native(from).c_str(), Native(to).c_str()) == 0;
  }
  // rename() would put the new file over a read-only one: refuse a file that nobody may
  // write (even where the user could, as root can), as the read-only flag does on Windows.
  bool ReplaceFile(std::string_view from, std::string_view to) override {
    const std::string f = Native(from), t = Native(to);
    struct stat st;
    if (::stat(t.c_str(), &st) != 0 || (st.st_mode & 0222) == 0 || ::access(t.c_str(), W_OK) != 0) return false;
    if (::chmod(f.c_str(), st.st_mode & 07777) != 0) return false;
    return std::rename(f.c_str(), t.c_str()) == 0;
  }
  bool MakeDirs(std::string_view path) override {
    std::string p = Native(path);
    for (size_t i = 1; i <= p.size(); ++i) {
      if (i == p.size() || p[i] == '/') {
        std::string part = p.substr(0, i);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
      }
    }
    return true;
  }
  std::vector<std::string> Find(std::string_view dir, std::string_view pattern) override {
    std::vector<std::string> out;
    std::string d = Native(dir);
    std::string pat = Native(pattern);
    DIR* h = ::opendir(d.empty() ? "." : d.c_str());
    if (!h) return out;
    while (dirent* e = ::readdir(h)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      if (::fnmatch(pat.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
      std::string full = d;
      if (!full.empty() && full.back() != '/') full += '/';
      full += name;
      struct stat st;
      if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) out.push_back(cp_.Utf8ToSjis(full));
    }
    ::closedir(h);
    return out;
  }
  std::FILE* OpenStream(std::string_view path, const char* mode) override {
    return std::fopen(Native(path).c_str(), mode);
  }
  std::string TempFolder() override {
    const char* t = std::getenv("TMPDIR");
    std::string s = (t && *t) ? t : "/tmp";
    if (s.back() != '/') s += '/';
    return cp_.Utf8ToSjis(s);
  }
  std::string ProgramFolder() override {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string s(buf, static_cast<size_t>(n));
    s.erase(s.rfind('/') + 1);
    return cp_.Utf8ToSjis(s);
  }
  char Separator() const override { return '/'; }

 private:
  std::string Native(std::string_view sjis) const {
    bool ascii = true;
    for (char c : sjis) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    return ascii ? std::string(sjis) : cp_.SjisToUtf8(sjis);
  }
  const ICodePage& cp_;
};

class PosixShell final : public IShell {
 public:
  explicit PosixShell(const ICodePage& cp) : cp_(cp) {}
  int Execute(std::string_view file, std::string_view verb, std::string_view params) override {
    // Programs and addresses go to the desktop's opener, as one argument (never through a
    // shell, so no character of the name is interpreted); its absence is "file not found".
    std::string target = cp_.SjisToUtf8(file);
    char opener[] = "xdg-open";
    char* argv[] = {opener, target.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, opener, nullptr, nullptr, argv, environ) != 0) return 2;
    int status = 0;
    if (::waitpid(pid, &status, 0) < 0) return 2;
    return (WIFEXITED(status) && WEXITSTATUS(status) == 0) ? 42 : 2;
  }

 private:
  const ICodePage& cp_;
};

class PosixClock final : public IClock {
 public:
  Date Today() override {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
  }
  LocalSeconds Now() override {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return ToLocalSeconds(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  }
};

}  // namespace

std::unique_ptr<IFiles> MakePosixFiles(const ICodePage& cp) { return std::make_unique<PosixFiles>(cp); }
std::unique_ptr<IShell> MakePosixShell(const ICodePage& cp) { return std::make_unique<PosixShell>(cp); }
std::unique_ptr<IClock> MakePosixClock() { return std::make_unique<PosixClock>(); }

std::string DefaultSettingsPath(const std::string& appName) {
  const char* x = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (x && *x) {
    base = x;
  } else {
    const char* h = std::getenv("HOME");
    base = std::string(h && *h ? h : ".") + "/.config";
  }
  return base + "/Korvu/" + appName + ".ini";
}

}  // namespace qlk
