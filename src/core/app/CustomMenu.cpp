#include "app/CustomMenu.h"

#include <algorithm>

#include "app/AppState.h"
#include "conv/Sjis.h"
#include "macro/DirMenu.h"
#include "platform/Platform.h"

namespace qlk {
namespace {

void PutU32(std::string& out, uint32_t v) {
  for (int k = 0; k < 4; ++k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
}

uint32_t GetU32(std::string_view b, size_t at) {
  uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<size_t>(k)]);
  return v;
}

}  // namespace

std::string EncodeCustomMenu(const std::vector<uint32_t>& ids) {
  std::string out;
  out.reserve(4 + 4 * ids.size());
  PutU32(out, static_cast<uint32_t>(ids.size()));
  for (uint32_t id : ids) PutU32(out, id);
  return out;
}

std::vector<uint32_t> DecodeCustomMenu(std::string_view bytes) {
  std::vector<uint32_t> ids;
  if (bytes.size() < 4) return ids;
  // Only what the file holds: the count alone never decides how much is taken or reserved.
  const size_t n = std::min<size_t>(GetU32(bytes, 0), (bytes.size() - 4) / 4);
  ids.reserve(n);
  for (size_t k = 0; k < n; ++k) ids.push_back(GetU32(bytes, 4 + 4 * k));
  return ids;
}

std::string CustomMenuPath(ISettings& s, IFiles& files) {
  std::string path = Get(s, keys::kCustomMenuFile);
  return path.empty() ? files.ProgramFolder() + kCustomMenuFileName : path;
}

std::vector<uint32_t> LoadCustomMenu(ISettings& s, IFiles& files, const std::function<void()>& pause) {
  const std::string path = CustomMenuPath(s, files);
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0 && pause) pause();
    if (std::optional<std::string> bytes = files.ReadAll(path)) return DecodeCustomMenu(*bytes);
  }
  return {};
}

bool SaveCustomMenu(ISettings& s, IFiles& files, const std::vector<uint32_t>& ids, std::string_view appDataFolder) {
  const std::string bytes = EncodeCustomMenu(ids);
  if (files.WriteAllReplacing(CustomMenuPath(s, files), {bytes})) return true;
  if (appDataFolder.empty()) return false;
  const char sep = files.Separator();
  std::string folder(appDataFolder);
  if (folder.back() != sep) folder += sep;
  folder += std::string("Korvu") + sep + "Quenlark";
  const std::string path = folder + sep + kCustomMenuFileName;
  if (!files.MakeDirs(folder) || !files.WriteAllReplacing(path, {bytes})) return false;
  Set(s, keys::kCustomMenuFile, path);
  return true;
}

std::string CaptionOf(const std::vector<CatalogueEntry>& catalogue, uint32_t id) {
  for (const CatalogueEntry& e : catalogue)
    if (e.id == id) return e.caption;
  return {};
}

std::string MenuCaptionOf(const std::vector<CatalogueEntry>& catalogue, uint32_t id) {
  std::string c = CaptionOf(catalogue, id);
  // "]" (0x5D) can be the trail byte of a double-byte character: look for it character by
  // character.
  for (size_t i = 0; i < c.size(); i += sjis::CharLen(c, i))
    if (c[i] == ']') return c.substr(i + 1);
  return c;
}

std::vector<std::string> CatalogueCaptions(const std::vector<CatalogueEntry>& catalogue) {
  std::vector<std::string> out;
  out.reserve(catalogue.size());
  for (const CatalogueEntry& e : catalogue) out.push_back(e.caption);
  return out;
}

void InitCustomMenu(AppState& app, ISettings& s, IFiles& files, const ICodePage& cp, const std::function<void()>& pause) {
  CDirMenuArray macros(s);
  macros.Load();
  app.catalogue = BuildCatalogue(cp, macros.Names());
  app.customMenu = LoadCustomMenu(s, files, pause);
}

}  // namespace qlk
