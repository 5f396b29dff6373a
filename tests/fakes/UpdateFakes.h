#pragma once
// The update check's seam for tests: addresses answered from memory, folders of our own in a
// test folder, and the cryptography of the platform the tests run on.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Internet.h"
#include "Fakes.h"

namespace qlk::test {

// SHA-256 and P-256 verification as the tests' platform does them (the system's CNG under
// Wine; a reference library natively).
IUpdateSystem& TestCrypto();

class FakeUpdateSystem final : public IUpdateSystem {
 public:
  struct Reply {
    Reply() = default;
    Reply(int s, std::string b) : status(s), body(std::move(b)) {}
    int status = 200;
    std::string body;
    std::optional<uint64_t> length;  // the Content-Length sent; the body's size when unset
    std::string connectError;        // non-empty: the connection fails with this text
    size_t failAfterBlocks = 0;      // >0: reading fails after so many blocks
  };
  std::map<std::string, Reply> replies;  // by address
  std::vector<std::string> requested;    // addresses asked for, in order
  std::optional<LocalSeconds> programTime = ToLocalSeconds(2024, 6, 1, 10);
  std::vector<std::string> foldersMade;

  std::optional<UrlParts> Crack(std::string_view url) override;
  std::unique_ptr<IHttpResponse> Get(const UrlParts& url, std::string* error) override;
  std::array<uint8_t, 32> Sha256(std::string_view bytes) override { return TestCrypto().Sha256(bytes); }
  bool VerifyP256(std::string_view key, std::string_view data, std::string_view rs) override {
    return TestCrypto().VerifyP256(key, data, rs);
  }
  std::optional<LocalSeconds> ProgramModified() override { return programTime; }
  std::string MakeFreshFolder(std::string_view parent) override;
  bool RemoveFolder(std::string_view path) override;

 private:
  std::map<std::tuple<std::string, std::string, int, std::string>, std::string> cracked_;
};

// The platform's files, with the temporary folder moved into a test's own folder.
class TempRootFiles final : public IFiles {
 public:
  TempRootFiles(IFiles& real, std::string temp) : real_(real), temp_(std::move(temp)) {}
  std::optional<std::string> ReadAll(std::string_view p) override { return real_.ReadAll(p); }
  std::unique_ptr<IReadFile> OpenRead(std::string_view p) override { return real_.OpenRead(p); }
  std::unique_ptr<IWriteFile> Create(std::string_view p) override { return real_.Create(p); }
  bool Exists(std::string_view p) override { return real_.Exists(p); }
  bool Remove(std::string_view p) override { return real_.Remove(p); }
  bool Rename(std::string_view a, std::string_view b) override { return real_.Rename(a, b); }
  bool MakeDirs(std::string_view p) override { return real_.MakeDirs(p); }
  std::vector<std::string> Find(std::string_view d, std::string_view p) override { return real_.Find(d, p); }
  std::FILE* OpenStream(std::string_view p, const char* mode) override { return real_.OpenStream(p, mode); }
  std::string TempFolder() override { return temp_; }
  std::string ProgramFolder() override { return real_.ProgramFolder(); }
  char Separator() const override { return real_.Separator(); }

 private:
  IFiles& real_;
  std::string temp_;
};

}  // namespace qlk::test
