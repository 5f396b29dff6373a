#include "UpdateFakes.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace qlk::test {
namespace {

class MemoryResponse final : public IHttpResponse {
 public:
  explicit MemoryResponse(const FakeUpdateSystem::Reply& r) : r_(r) {}
  int Status() override { return r_.status; }
  std::optional<uint64_t> ContentLength() override { return r_.length ? r_.length : std::optional<uint64_t>(r_.body.size()); }
  std::optional<size_t> Read(char* buf, size_t n, std::string* error) override {
    if (r_.failAfterBlocks && blocks_ == r_.failAfterBlocks) {
      *error = "connection reset";
      return std::nullopt;
    }
    ++blocks_;
    const size_t take = std::min(n, r_.body.size() - at_);
    std::copy_n(r_.body.data() + at_, take, buf);
    at_ += take;
    return take;
  }

 private:
  const FakeUpdateSystem::Reply& r_;
  size_t at_ = 0, blocks_ = 0;
};

}  // namespace

std::optional<UrlParts> FakeUpdateSystem::Crack(std::string_view url) {
  const size_t colon = url.find("://");
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  UrlParts p;
  for (char c : url.substr(0, colon)) p.scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string_view rest = url.substr(colon + 3);
  const size_t slash = rest.find('/');
  std::string_view hostPort = rest.substr(0, slash);
  p.object = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
  const size_t pc = hostPort.rfind(':');
  if (pc != std::string_view::npos && hostPort.find(']', pc) == std::string_view::npos) {
    p.host = std::string(hostPort.substr(0, pc));
    p.port = std::atoi(std::string(hostPort.substr(pc + 1)).c_str());
  } else {
    p.host = std::string(hostPort);
    p.port = p.scheme == "https" ? 443 : 80;
  }
  if (p.host.size() > 2 && p.host.front() == '[' && p.host.back() == ']') p.host = p.host.substr(1, p.host.size() - 2);
  if (p.host.empty()) return std::nullopt;
  cracked_[{p.scheme, p.host, p.port, p.object}] = std::string(url);
  return p;
}

std::unique_ptr<IHttpResponse> FakeUpdateSystem::Get(const UrlParts& u, std::string* error) {
  const std::string url = cracked_.at({u.scheme, u.host, u.port, u.object});
  requested.push_back(url);
  auto it = replies.find(url);
  if (it == replies.end()) {
    static const Reply kMissing{404, "not found"};
    return std::make_unique<MemoryResponse>(kMissing);
  }
  if (!it->second.connectError.empty()) {
    *error = it->second.connectError;
    return nullptr;
  }
  return std::make_unique<MemoryResponse>(it->second);
}

std::string FakeUpdateSystem::MakeFreshFolder(std::string_view parent) {
  for (int i = 0;; ++i) {
    std::filesystem::path p = std::filesystem::path(std::string(parent)) / ("dl" + std::to_string(i));
    std::error_code ec;
    if (std::filesystem::create_directory(p, ec)) {
      std::string s = p.string();
      s += std::filesystem::path::preferred_separator == '\\' ? '\\' : '/';
      foldersMade.push_back(s);
      return s;
    }
    if (ec) return {};
  }
}

bool FakeUpdateSystem::RemoveFolder(std::string_view path) {
  std::error_code ec;
  std::string p(path);
  while (!p.empty() && (p.back() == '/' || p.back() == '\\')) p.pop_back();
  return std::filesystem::remove(p, ec);
}

}  // namespace qlk::test
