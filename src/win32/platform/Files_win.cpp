#include <cstdio>

#include "win32/platform/Win32Platform.h"

#include <shellapi.h>

namespace qlk::win {
namespace {

std::wstring W(const ICodePage& cp, std::string_view sjis) {
  std::u16string u = cp.ToUtf16(Charset::Sjis, sjis);
  return std::wstring(u.begin(), u.end());
}

std::string N(const ICodePage& cp, std::wstring_view w) {
  return cp.FromUtf16(Charset::Sjis, std::u16string(w.begin(), w.end()));
}

class Win32WriteFile final : public IWriteFile {
 public:
  explicit Win32WriteFile(FILE* f) : f_(f) {}
  ~Win32WriteFile() override {
    if (f_) fclose(f_);
  }
  bool Write(std::string_view b) override {
    if (!f_) return false;
    if (fwrite(b.data(), 1, b.size(), f_) != b.size()) ok_ = false;
    return ok_;
  }
  bool Close() override {
    if (!f_) return false;
    bool ok = fflush(f_) == 0 && !ferror(f_) && ok_;
    ok = (fclose(f_) == 0) && ok;
    f_ = nullptr;
    return ok;
  }

 private:
  FILE* f_;
  bool ok_ = true;
};

class Win32ReadFile final : public IReadFile {
 public:
  explicit Win32ReadFile(HANDLE h) : h_(h) {}
  ~Win32ReadFile() override { CloseHandle(h_); }
  std::optional<size_t> Read(char* buf, size_t size) override {
    DWORD got = 0;
    const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    if (!ReadFile(h_, buf, want, &got, nullptr)) return std::nullopt;
    return static_cast<size_t>(got);
  }
  std::optional<uint64_t> Position() override {
    LARGE_INTEGER at{};
    if (GetFileType(h_) != FILE_TYPE_DISK || !SetFilePointerEx(h_, LARGE_INTEGER{}, &at, FILE_CURRENT)) return std::nullopt;
    return static_cast<uint64_t>(at.QuadPart);
  }
  bool Seek(uint64_t offset) override {
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    return GetFileType(h_) == FILE_TYPE_DISK && SetFilePointerEx(h_, to, nullptr, FILE_BEGIN);
  }

 private:
  HANDLE h_;
};

// Paths are Shift-JIS in the core; here they become UTF-16 through code page 932, so they
// open whatever the system code page is.
class Win32Files final : public IFiles {
 public:
  explicit Win32Files(const ICodePage& cp) : cp_(cp) {}

  std::optional<std::string> ReadAll(std::string_view path) override {
    FILE* f = _wfopen(W(cp_, path).c_str(), L"rb");
    if (!f) return std::nullopt;
    std::string data;
    char buf[1 << 16];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    bool bad = ferror(f) != 0;
    fclose(f);
    if (bad) return std::nullopt;
    return data;
  }
  // Shared as ReadAll's "rb" shares the file: others may read and write it meanwhile.
  std::unique_ptr<IReadFile> OpenRead(std::string_view path) override {
    HANDLE h = CreateFileW(W(cp_, path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32ReadFile>(h);
  }
  std::unique_ptr<IWriteFile> Create(std::string_view path) override {
    FILE* f = _wfopen(W(cp_, path).c_str(), L"wb");
    if (!f) return nullptr;
    return std::make_unique<Win32WriteFile>(f);
  }
  bool Exists(std::string_view path) override {
    return GetFileAttributesW(W(cp_, path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  bool Remove(std::string_view path) override { return DeleteFileW(W(cp_, path).c_str()) != 0; }
  bool Rename(std::string_view from, std::string_view to) override {
    return MoveFileExW(W(cp_, from).c_str(), W(cp_, to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  }
  // A read-only file is refused by the move itself; the new file takes the old one's other
  // attributes (hidden, system, archive) before it moves.
  bool ReplaceFile(std::string_view from, std::string_view to) override {
    const std::wstring f = W(cp_, from), t = W(cp_, to);
    const DWORD attrs = GetFileAttributesW(t.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_READONLY)) return false;
    const DWORD keep = attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (keep) SetFileAttributesW(f.c_str(), keep);
    return MoveFileExW(f.c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  bool MakeDirs(std::string_view path) override {
    std::wstring p = W(cp_, path);
    for (size_t i = 1; i <= p.size(); ++i) {
      if (i == p.size() || p[i] == L'\\' || p[i] == L'/') {
        std::wstring part = p.substr(0, i);
        if (part.size() == 2 && part[1] == L':') continue;
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
      }
    }
    return true;
  }
  std::vector<std::string> Find(std::string_view dir, std::string_view pattern) override {
    std::vector<std::string> out;
    std::wstring d = W(cp_, dir);
    if (!d.empty() && d.back() != L'\\' && d.back() != L'/') d += L'\\';
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((d + W(cp_, pattern)).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      out.push_back(N(cp_, d + fd.cFileName));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return out;
  }
  std::FILE* OpenStream(std::string_view path, const char* mode) override {
    std::wstring m(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(W(cp_, path).c_str(), m.c_str());
  }
  std::string TempFolder() override {
    wchar_t buf[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buf);
    return N(cp_, std::wstring_view(buf, n));
  }
  std::string ProgramFolder() override {
    wchar_t buf[32768];
    DWORD n = GetModuleFileNameW(nullptr, buf, 32768);
    std::wstring p(buf, n);
    p.erase(p.find_last_of(L"\\/") + 1);
    return N(cp_, p);
  }
  char Separator() const override { return '\\'; }

 private:
  const ICodePage& cp_;
};

}  // namespace

std::unique_ptr<IFiles> MakeFiles(const ICodePage& cp) { return std::make_unique<Win32Files>(cp); }

}  // namespace qlk::win
