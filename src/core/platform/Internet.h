#pragma once
// The seam of the update check: the system's HTTP client, its cryptography, the running
// program's file time and folders of our own under the temporary folder.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Shell.h"

namespace qlk {

// An address as the system's HTTP client splits it.
struct UrlParts {
  std::string scheme;  // lower case: "https", "http"
  std::string host;    // as written in the address (an IPv6 literal without brackets)
  int port = 0;
  std::string object;  // path and query
};

class IHttpResponse {
 public:
  virtual ~IHttpResponse() = default;
  virtual int Status() = 0;
  // The Content-Length header, when there is one.
  virtual std::optional<uint64_t> ContentLength() = 0;
  // Up to `n` bytes; 0 at the end; nullopt on an Internet error, with the system's text.
  virtual std::optional<size_t> Read(char* buf, size_t n, std::string* error) = 0;
};

class IUpdateSystem {
 public:
  virtual ~IUpdateSystem() = default;
  // nullopt when the address cannot be split.
  virtual std::optional<UrlParts> Crack(std::string_view url) = 0;
  // Connects and sends a GET that is always answered by the server, never by a cache;
  // nullptr on an Internet error, with the system's text for it (UTF-8).
  virtual std::unique_ptr<IHttpResponse> Get(const UrlParts& url, std::string* error) = 0;
  virtual std::array<uint8_t, 32> Sha256(std::string_view bytes) = 0;
  // ECDSA over P-256 of the SHA-256 of `data`: the key as X and Y (64 bytes), the signature
  // as r and s (64 bytes).
  virtual bool VerifyP256(std::string_view publicXY, std::string_view data, std::string_view rs) = 0;
  // The running program file's last modification, local time.
  virtual std::optional<LocalSeconds> ProgramModified() = 0;
  // A new, empty folder under `parent` that nobody else made (Shift-JIS path, ending with its
  // separator); empty text on failure.
  virtual std::string MakeFreshFolder(std::string_view parent) = 0;
  // Removes an empty folder.
  virtual bool RemoveFolder(std::string_view path) = 0;
};

}  // namespace qlk
