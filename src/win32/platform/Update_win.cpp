// The update check's seam on Windows: WinINet for HTTP, CNG for hashes and signatures.
#include "win32/platform/Win32Platform.h"

#include <bcrypt.h>
#include <wininet.h>

#include <cstdio>
#include <vector>

namespace qlk::win {
namespace {

std::wstring W(const ICodePage& cp, std::string_view sjis) {
  std::u16string u = cp.ToUtf16(Charset::Sjis, sjis);
  return std::wstring(u.begin(), u.end());
}

// The system's text for an Internet error, at most 2048 characters.
std::string InternetErrorText(DWORD code) {
  wchar_t buf[2049] = {};
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, GetModuleHandleW(L"wininet.dll"), code, 0,
                           buf, 2048, nullptr);
  if (!n) n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf, 2048, nullptr);
  std::wstring text(buf, n);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) text = L"Internet error " + std::to_wstring(code);
  return WideToUtf8(text);
}

struct InternetHandle {
  HINTERNET h = nullptr;
  InternetHandle() = default;
  explicit InternetHandle(HINTERNET x) : h(x) {}
  InternetHandle(InternetHandle&& o) noexcept : h(o.h) { o.h = nullptr; }
  ~InternetHandle() {
    if (h) InternetCloseHandle(h);
  }
};

class WinInetResponse final : public IHttpResponse {
 public:
  WinInetResponse(InternetHandle session, InternetHandle connect, InternetHandle request)
      : session_(std::move(session)), connect_(std::move(connect)), request_(std::move(request)) {}
  int Status() override {
    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoW(request_.h, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 999;
    return static_cast<int>(status);
  }
  std::optional<uint64_t> ContentLength() override {
    wchar_t buf[32] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    if (!HttpQueryInfoW(request_.h, HTTP_QUERY_CONTENT_LENGTH, buf, &size, nullptr)) return std::nullopt;
    wchar_t* end = nullptr;
    unsigned long long v = wcstoull(buf, &end, 10);
    if (end == buf) return std::nullopt;
    return v;
  }
  std::optional<size_t> Read(char* out, size_t n, std::string* error) override {
    DWORD got = 0;
    if (!InternetReadFile(request_.h, out, static_cast<DWORD>(n), &got)) {
      *error = InternetErrorText(GetLastError());
      return std::nullopt;
    }
    return got;
  }

 private:
  // Freed in reverse: the request, the connection, then the session.
  InternetHandle session_, connect_, request_;
};

struct AlgHandle {
  BCRYPT_ALG_HANDLE h = nullptr;
  ~AlgHandle() {
    if (h) BCryptCloseAlgorithmProvider(h, 0);
  }
};

class Win32UpdateSystem final : public IUpdateSystem {
 public:
  explicit Win32UpdateSystem(const ICodePage& cp) : cp_(cp) {}

  std::optional<UrlParts> Crack(std::string_view url) override {
    std::wstring u = W(cp_, url);
    wchar_t scheme[32] = {}, host[1024] = {}, path[4096] = {}, extra[4096] = {};
    URL_COMPONENTSW c{};
    c.dwStructSize = sizeof c;
    c.lpszScheme = scheme;
    c.dwSchemeLength = 31;
    c.lpszHostName = host;
    c.dwHostNameLength = 1023;
    c.lpszUrlPath = path;
    c.dwUrlPathLength = 4095;
    c.lpszExtraInfo = extra;
    c.dwExtraInfoLength = 4095;
    if (!InternetCrackUrlW(u.c_str(), static_cast<DWORD>(u.size()), 0, &c) || !*host) return std::nullopt;
    UrlParts p;
    for (wchar_t* s = scheme; *s; ++s) p.scheme += static_cast<char>(towlower(*s) < 128 ? towlower(*s) : '?');
    p.host = WideToUtf8(host);
    if (p.host.size() > 2 && p.host.front() == '[' && p.host.back() == ']') {
      p.host.pop_back();
      p.host.erase(0, 1);
    }
    p.port = c.nPort;
    p.object = WideToUtf8(std::wstring(path) + extra);
    if (p.object.empty()) p.object.push_back('/');
    return p;
  }

  std::unique_ptr<IHttpResponse> Get(const UrlParts& u, std::string* error) override {
    auto fail = [&]() -> std::unique_ptr<IHttpResponse> {
      *error = InternetErrorText(GetLastError());
      return nullptr;
    };
    // The agent without a line break: one would end the request's headers early.
    InternetHandle session(InternetOpenW(L"Mozilla/4.0*", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session.h) return fail();
    InternetHandle connect(InternetConnectW(session.h, Utf8ToWide(u.host).c_str(), static_cast<INTERNET_PORT>(u.port), nullptr,
                                            nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connect.h) return fail();
    // Always from the server. Redirections are not followed: they answer 3xx, which fails.
    // Certificate errors are never ignored.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                  INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES;
    if (u.scheme == "https") flags |= INTERNET_FLAG_SECURE;
    InternetHandle request(
        HttpOpenRequestW(connect.h, L"GET", Utf8ToWide(u.object).c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (!request.h) return fail();
    const wchar_t* headers = L"Accept: text/*\r\nUser-Agent: Mozilla/4.0*\r\n";
    HttpAddRequestHeadersW(request.h, headers, static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
    if (!HttpSendRequestW(request.h, nullptr, 0, nullptr, 0)) return fail();
    return std::make_unique<WinInetResponse>(std::move(session), std::move(connect), std::move(request));
  }

  std::array<uint8_t, 32> Sha256(std::string_view bytes) override {
    std::array<uint8_t, 32> out{};
    AlgHandle alg;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCryptOpenAlgorithmProvider(&alg.h, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return out;
    if (BCryptCreateHash(alg.h, &hash, nullptr, 0, nullptr, 0, 0) != 0) return out;
    size_t at = 0;
    do {
      const ULONG n = static_cast<ULONG>(std::min<size_t>(bytes.size() - at, 1u << 30));
      BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + at)), n, 0);
      at += n;
    } while (at < bytes.size());
    BCryptFinishHash(hash, out.data(), 32, 0);
    BCryptDestroyHash(hash);
    return out;
  }

  bool VerifyP256(std::string_view xy, std::string_view data, std::string_view rs) override {
    if (xy.size() != 64 || rs.size() != 64) return false;
    AlgHandle alg;
    if (BCryptOpenAlgorithmProvider(&alg.h, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) != 0) return false;
    std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64);
    auto* header = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
    header->dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header->cbKey = 32;
    std::copy(xy.begin(), xy.end(), blob.begin() + sizeof(BCRYPT_ECCKEY_BLOB));
    BCRYPT_KEY_HANDLE key = nullptr;
    if (BCryptImportKeyPair(alg.h, nullptr, BCRYPT_ECCPUBLIC_BLOB, &key, blob.data(), static_cast<ULONG>(blob.size()), 0) != 0)
      return false;
    std::array<uint8_t, 32> digest = Sha256(data);
    std::string sig(rs);
    const bool ok = BCryptVerifySignature(key, nullptr, digest.data(), 32, reinterpret_cast<PUCHAR>(sig.data()), 64, 0) == 0;
    BCryptDestroyKey(key);
    return ok;
  }

  std::optional<LocalSeconds> ProgramModified() override {
    wchar_t path[32768];
    DWORD n = GetModuleFileNameW(nullptr, path, 32768);
    if (!n || n >= 32768) return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &a)) return std::nullopt;
    FILETIME local;
    SYSTEMTIME t;
    if (!FileTimeToLocalFileTime(&a.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t)) return std::nullopt;
    return ToLocalSeconds(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  }

  std::string MakeFreshFolder(std::string_view parent) override {
    std::wstring base = W(cp_, parent);
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
    for (int tries = 0; tries < 100; ++tries) {
      uint64_t r = 0;
      BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&r), sizeof r, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
      wchar_t name[32];
      swprintf(name, 32, L"QlkTray-%016llx", static_cast<unsigned long long>(r));
      std::wstring dir = base + name;
      if (CreateDirectoryW(dir.c_str(), nullptr)) return cp_.FromUtf16(Charset::Sjis, std::u16string(dir.begin(), dir.end())) + "\\";
      if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
  }

  bool RemoveFolder(std::string_view path) override {
    std::wstring p = W(cp_, path);
    while (!p.empty() && (p.back() == L'\\' || p.back() == L'/')) p.pop_back();
    return RemoveDirectoryW(p.c_str()) != 0;
  }

 private:
  const ICodePage& cp_;
};

}  // namespace

std::unique_ptr<IUpdateSystem> MakeUpdateSystem(const ICodePage& cp) { return std::make_unique<Win32UpdateSystem>(cp); }

}  // namespace qlk::win
