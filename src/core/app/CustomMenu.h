#pragma once
// The custom menu: command identifiers the user puts on top of the tray menu, kept in the
// file "QLarkRMenu.dat" (a 32-bit count, then the identifiers, little-endian) that [System]
// "RMenu" names.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/SettingKeys.h"
#include "macro/Commands.h"

namespace qlk {

struct AppState;
class ICodePage;
class IFiles;

inline constexpr const char* kCustomMenuFileName = "QLarkRMenu.dat";

// The file's bytes for a list, and a list from the file's bytes. A file shorter than its
// count says gives the identifiers it holds (an absurd count allocates nothing); a file of
// length 0, or shorter than the count itself, is an empty list.
std::string EncodeCustomMenu(const std::vector<uint32_t>& ids);
std::vector<uint32_t> DecodeCustomMenu(std::string_view bytes);

// [System] "RMenu", or the file beside the program.
std::string CustomMenuPath(ISettings& s, IFiles& files);

// Reads the list: three tries, `pause` between them (the file may be held for a moment), and
// an empty list after the third failure, without a message.
std::vector<uint32_t> LoadCustomMenu(ISettings& s, IFiles& files, const std::function<void()>& pause);

// Writes the list beside its file and renames it over, so that the old list survives a
// failed write. Where the program's folder cannot be written and `appDataFolder` is given,
// the file moves to Korvu\Quenlark in that folder and [System] "RMenu" names it from then on.
// No message either way; false when nothing could be written.
bool SaveCustomMenu(ISettings& s, IFiles& files, const std::vector<uint32_t>& ids, std::string_view appDataFolder);

// The caption of the first catalogue entry with the identifier; empty when none has it.
std::string CaptionOf(const std::vector<CatalogueEntry>& catalogue, uint32_t id);
// As the menu shows it: without the group in brackets (the text after the first "]").
std::string MenuCaptionOf(const std::vector<CatalogueEntry>& catalogue, uint32_t id);

// The captions of the catalogue in its order, as the dialogs that choose from it list them.
std::vector<std::string> CatalogueCaptions(const std::vector<CatalogueEntry>& catalogue);

// Start-up: the catalogue with the macro menu as it stands now, and the custom list.
void InitCustomMenu(AppState& app, ISettings& s, IFiles& files, const ICodePage& cp, const std::function<void()>& pause);

}  // namespace qlk
