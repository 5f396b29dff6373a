// The update check's cryptography for the native tests: a reference library checks what the
// core hands to the seam, as the system's CNG does on Windows.
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include "UpdateFakes.h"

namespace qlk::test {
namespace {

class OpenSslCrypto final : public IUpdateSystem {
 public:
  std::optional<UrlParts> Crack(std::string_view) override { return std::nullopt; }
  std::unique_ptr<IHttpResponse> Get(const UrlParts&, std::string*) override { return nullptr; }
  std::array<uint8_t, 32> Sha256(std::string_view bytes) override {
    std::array<uint8_t, 32> d{};
    SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), d.data());
    return d;
  }
  bool VerifyP256(std::string_view xy, std::string_view data, std::string_view rs) override {
    if (xy.size() != 64 || rs.size() != 64) return false;
    // The key as a SubjectPublicKeyInfo, the signature as DER: the forms the library takes.
    static const unsigned char kPrefix[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x02, 0x01, 0x06,
                                            0x08, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};
    std::string spki(reinterpret_cast<const char*>(kPrefix), sizeof kPrefix);
    spki += xy;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(spki.data());
    EVP_PKEY* key = d2i_PUBKEY(nullptr, &p, static_cast<long>(spki.size()));
    if (!key) return false;
    ECDSA_SIG* sig = ECDSA_SIG_new();
    ECDSA_SIG_set0(sig, BN_bin2bn(reinterpret_cast<const unsigned char*>(rs.data()), 32, nullptr),
                   BN_bin2bn(reinterpret_cast<const unsigned char*>(rs.data()) + 32, 32, nullptr));
    unsigned char* der = nullptr;
    const int derLen = i2d_ECDSA_SIG(sig, &der);
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    bool ok = EVP_DigestVerifyInit(ctx, nullptr, EVP_sha256(), nullptr, key) == 1 &&
              EVP_DigestVerify(ctx, der, static_cast<size_t>(derLen), reinterpret_cast<const unsigned char*>(data.data()),
                               data.size()) == 1;
    EVP_MD_CTX_free(ctx);
    OPENSSL_free(der);
    ECDSA_SIG_free(sig);
    EVP_PKEY_free(key);
    return ok;
  }
  std::optional<LocalSeconds> ProgramModified() override { return std::nullopt; }
  std::string MakeFreshFolder(std::string_view) override { return {}; }
  bool RemoveFolder(std::string_view) override { return false; }
};

}  // namespace

IUpdateSystem& TestCrypto() {
  static OpenSslCrypto c;
  return c;
}

}  // namespace qlk::test
