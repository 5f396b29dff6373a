#include "update/Update.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "app/SettingKeys.h"
#include "conv/FileReader.h"
#include "conv/Transfer.h"
#include "update/Xml.h"

namespace qlk {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string LowerAscii(std::string_view s) {
  std::string o(s);
  for (char& c : o) c = AsciiLower(c);
  return o;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && LowerAscii(s.substr(0, prefix.size())) == prefix;
}

// Decimal as the C library's atoi reads it: leading blanks, a sign, digits; clamped.
long long Atoi(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) v = std::min<long long>(v * 10 + (s[i] - '0'), INT_MAX);
  return neg ? -v : v;
}

std::string_view Trim(std::string_view s) {
  const std::string_view blanks = " \t\r\n";
  size_t b = s.find_first_not_of(blanks);
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}

bool IsLoopbackHost(std::string_view host) {
  const std::string h = LowerAscii(host);
  if (h == "localhost" || h == "::1" || h == "[::1]") return true;
  // 127.0.0.0/8 written as four decimal numbers.
  int parts = 0;
  size_t i = 0;
  int first = -1;
  while (i <= h.size()) {
    size_t j = i;
    while (j < h.size() && h[j] >= '0' && h[j] <= '9') ++j;
    if (j == i || j - i > 3) return false;
    const int v = std::stoi(h.substr(i, j - i));
    if (v > 255) return false;
    if (first < 0) first = v;
    ++parts;
    if (j == h.size()) break;
    if (h[j] != '.') return false;
    i = j + 1;
  }
  return parts == 4 && first == 127;
}

bool IsHex64(std::string_view s) {
  if (s.size() != 64) return false;
  return std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The folder part of a path, with its separator.
std::string FolderOf(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// Whether `path` names something inside `folder` (which ends with its separator): compared
// without regard to ASCII case and separator kind, and never through "..", a stream name or
// a device path.
bool InsideFolder(std::string_view path, std::string_view folder) {
  if (folder.empty() || path.size() <= folder.size()) return false;
  auto norm = [](std::string_view s) {
    std::string o = LowerAscii(s);
    std::replace(o.begin(), o.end(), '/', '\\');
    return o;
  };
  std::string p = norm(path), f = norm(folder);
  if (f.back() != '\\') f += '\\';
  if (p.compare(0, f.size(), f) != 0) return false;
  const std::string rest = p.substr(f.size());
  if (rest.empty() || rest.find(':') != std::string::npos) return false;
  if (rest.find("..") != std::string::npos) return false;
  return true;
}

}  // namespace

// ------------------------------------------------------------------------------ rules

std::optional<LocalSeconds> ParseUpdateDate(std::string_view text) {
  const size_t s1 = text.find('/');
  if (s1 == std::string_view::npos) return std::nullopt;
  const size_t s2 = text.find('/', s1 + 1);
  if (s2 == std::string_view::npos) return std::nullopt;
  long long year = Atoi(text.substr(0, s1));
  const long long month = Atoi(text.substr(s1 + 1, s2 - s1 - 1));
  const long long day = Atoi(text.substr(s2 + 1));
  if (year < 100) {
    if (year >= 70) year += 1900;
    else if (year <= 38) year += 2000;
  }
  if (year < 1583 || year > 9998 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int length = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  if (day > length) return std::nullopt;
  return ToLocalSeconds(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

bool UpdateDue(const UpdateState& s, LocalSeconds now) {
  const LocalSeconds last = ToLocalSeconds(s.year, s.month, s.day);
  switch (s.checkMode) {
    case 1: return true;
    case 2: return last + 86400 < now;
    case 3: return last + 7 * 86400 < now;
    default: return false;
  }
}

std::optional<std::string> SafeFileName(std::string_view url, bool setup) {
  url = url.substr(0, url.find_first_of("?#"));
  const size_t slash = url.rfind('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view name = url.substr(slash + 1);
  if (name.empty() || name.find("..") != std::string_view::npos) return std::nullopt;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || std::string_view("\\:*?\"<>|").find(c) != std::string_view::npos) return std::nullopt;
  }
  // Windows drops trailing dots and spaces: the name written would not be the name checked.
  if (name.back() == '.' || name.back() == ' ') return std::nullopt;
  std::string base = LowerAscii(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static constexpr std::string_view kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  for (std::string_view d : kDevices)
    if (base == d) return std::nullopt;
  if (base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '0' &&
      base[3] <= '9')
    return std::nullopt;
  if (setup) {
    const std::string lower = LowerAscii(name);
    const bool exe = lower.size() > 4 && (lower.compare(lower.size() - 4, 4, ".exe") == 0 || lower.compare(lower.size() - 4, 4, ".msi") == 0);
    if (!exe) return std::nullopt;
  }
  return std::string(name);
}

bool AllowedAddress(std::string_view url, const UrlParts& parts) {
  const std::string scheme = LowerAscii(parts.scheme);
  if (scheme == "https") return StartsWithNoCase(url, "https://");
  if (scheme == "http") return StartsWithNoCase(url, "http://") && IsLoopbackHost(parts.host);
  return false;
}

std::optional<std::string> PublicKeyFromPem(std::string_view pem) {
  constexpr std::string_view kBegin = "-----BEGIN PUBLIC KEY-----", kEnd = "-----END PUBLIC KEY-----";
  const size_t b = pem.find(kBegin);
  const size_t e = pem.find(kEnd);
  if (b == std::string_view::npos || e == std::string_view::npos || e < b) return std::nullopt;
  std::string body;
  for (char c : pem.substr(b + kBegin.size(), e - b - kBegin.size()))
    if (c != '\r' && c != '\n' && c != ' ' && c != '\t') body += c;
  const std::string der = Base64Decode(body);
  // SubjectPublicKeyInfo of an id-ecPublicKey on prime256v1, the point uncompressed.
  static constexpr unsigned char kPrefix[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x02, 0x01, 0x06,
                                              0x08, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};
  if (der.size() != sizeof kPrefix + 64) return std::nullopt;
  if (der.compare(0, sizeof kPrefix, reinterpret_cast<const char*>(kPrefix), sizeof kPrefix) != 0) return std::nullopt;
  return der.substr(sizeof kPrefix);
}

std::optional<std::string> SignatureFromDer(std::string_view der) {
  // SEQUENCE { INTEGER r, INTEGER s }, short lengths only (a P-256 signature is at most 72
  // bytes), each integer positive and minimal.
  if (der.size() < 8 || static_cast<unsigned char>(der[0]) != 0x30) return std::nullopt;
  if (static_cast<unsigned char>(der[1]) != der.size() - 2) return std::nullopt;
  std::string out;
  size_t i = 2;
  for (int k = 0; k < 2; ++k) {
    if (i + 2 > der.size() || der[i] != 0x02) return std::nullopt;
    const size_t len = static_cast<unsigned char>(der[i + 1]);
    i += 2;
    if (len == 0 || len > 33 || i + len > der.size()) return std::nullopt;
    std::string_view v = der.substr(i, len);
    i += len;
    if (static_cast<unsigned char>(v[0]) & 0x80) return std::nullopt;  // negative
    if (v[0] == 0) {
      if (v.size() == 1 || !(static_cast<unsigned char>(v[1]) & 0x80)) return std::nullopt;  // not minimal
      v.remove_prefix(1);
    }
    if (v.size() > 32) return std::nullopt;
    out += std::string(32 - v.size(), '\0');
    out += v;
  }
  if (i != der.size()) return std::nullopt;
  return out;
}

bool InformationSigned(IUpdateSystem& sys, std::string_view publicKeyPem, std::string_view data, std::string_view der) {
  auto key = PublicKeyFromPem(publicKeyPem);
  auto rs = SignatureFromDer(der);
  return key && rs && sys.VerifyP256(*key, data, *rs);
}

std::string HexOf(const std::array<uint8_t, 32>& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : digest) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

bool ReadUpdateEntry(const CKXMLDocument& doc, UpdateState& s) {
  const CKXMLElement* root = doc.GetDocumentElement();
  if (!root) return false;
  const CKXMLNodeList items = root->GetElementsByTagName("item");
  const CKXMLElement* entry = FindElementByAttribute(items, "name", s.productKey);
  if (!entry) return false;
  auto child = [&](std::string_view name) { return FindChildElement(entry->GetChildNodes(), name); };
  auto copy = [&](std::string_view name, std::string& field) {
    if (const CKXMLElement* e = child(name)) field = e->GetText();
  };
  copy("link", s.setupUrl);
  copy("version", s.version);
  copy("description", s.description);
  copy("home", s.home);
  if (const CKXMLElement* e = child("date"))
    if (auto d = ParseUpdateDate(e->GetText())) s.releaseDate = *d;
  // What the setup program must be is read afresh each time: nothing of an earlier entry
  // may vouch for this one's link.
  s.setupSha256.clear();
  s.setupSize = -1;
  if (const CKXMLElement* e = child("sha256")) {
    std::string h = LowerAscii(Trim(e->GetText()));
    if (IsHex64(h)) s.setupSha256 = h;
  }
  if (const CKXMLElement* e = child("size")) {
    const std::string text = e->GetText();
    std::string_view t = Trim(text);
    if (!t.empty() && t.size() <= 15 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
      s.setupSize = std::stoll(std::string(t));
  }
  return true;
}

// ------------------------------------------------------------------------------ dialogs

CAutoUpdateCheckDlg::CAutoUpdateCheckDlg(const ICodePage&, const UpdateState& s) : version(s.version) {
  const Date d = DateOf(s.releaseDate);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d.year, d.month, d.day);
  date = buf;
  // A multi-line edit breaks lines at CR LF only.
  for (size_t i = 0; i < s.description.size(); ++i) {
    const char c = s.description[i];
    if (c == '\n' && (i == 0 || s.description[i - 1] != '\r')) message += '\r';
    message += c;
  }
}

std::vector<Field> CAutoUpdateCheckDlg::Fields() {
  return {Field::Text(kVersion, version), Field::Text(kDate, date), Field::Text(kMessage, message)};
}

bool CAutoUpdateCheckDlg::OnCommand(int control, DialogHost& host) {
  if (control == kHome) {
    home = true;
    host.End(true);
  }
  return false;
}

std::vector<Field> CHttpDownloadDlg::Fields() {
  return {Field::Label(kText, Txt::UpdateDownloading), Field::LabelText(kCount, count), Field::Progress(kBar, position, range),
          Field::LabelText(kName, name)};
}

bool CHttpDownloadDlg::OnCommand(int control, DialogHost& host) {
  if (control != kCancel && control != 2 /* IDCANCEL: Escape, the close box */) return false;
  if (!host.ui().Confirm(MakeMessage(Txt::UpdateCancelAsk))) return false;
  cancelled = true;
  host.End(false);
  return false;
}

void CHttpDownloadDlg::SetProgress(uint64_t received, uint64_t total) {
  count = cp_.Utf8ToSjis(
      FormatText(Txt::UpdateProgress, {static_cast<long long>(received), static_cast<long long>(total)}));
  position = static_cast<int>(std::min<uint64_t>(received, INT_MAX));
  range = static_cast<int>(std::min<uint64_t>(total, INT_MAX));
}

// ------------------------------------------------------------------------------ the check

Message UpdateCheck::Msg(Txt id, std::string_view sjisArg) const {
  return MakeMessage(id, {p_.codepage.SjisToUtf8(sjisArg)});
}

void UpdateCheck::Discard(const std::string& path) {
  if (path.empty()) return;
  p_.files.Remove(path);
  sys_.RemoveFolder(FolderOf(path));
}

std::string UpdateCheck::Download(std::string_view url, bool showProgress, bool setup, uint64_t limit, bool* tooLarge) {
  IUserInterface& ui = p_.ui;
  auto name = SafeFileName(url, setup);
  if (!name) return {};
  auto parts = sys_.Crack(url);
  if (!parts) {
    ui.Tell(Msg(Txt::UpdateUrlParseFailed, url));
    return {};
  }
  if (!AllowedAddress(url, *parts)) {
    ui.Tell(Msg(Txt::UpdateUrlInsecure, url));
    return {};
  }
  CHttpDownloadDlg dlg(p_.codepage, *name);
  std::unique_ptr<IModeless> window;
  if (showProgress) window = ui.OpenModeless(dlg);
  std::string error;
  std::unique_ptr<IHttpResponse> response = sys_.Get(*parts, &error);
  if (!response) {
    window.reset();
    if (!error.empty()) ui.Tell(MakeMessage(Txt::UpdateSystemError, {error}));
    return {};
  }
  if (response->Status() >= 300) return {};
  ui.PumpOne();
  const uint64_t total = response->ContentLength().value_or(0);
  if (total > limit) {
    if (tooLarge) *tooLarge = true;
    return {};
  }
  const std::string folder = sys_.MakeFreshFolder(p_.files.TempFolder());
  if (folder.empty()) return {};
  const std::string path = folder + *name;
  std::unique_ptr<IWriteFile> file = p_.files.Create(path);
  if (!file) {
    sys_.RemoveFolder(folder);
    return {};
  }
  dlg.SetProgress(0, total);
  if (window) window->Refresh();
  uint64_t received = 0;
  bool failed = false;
  for (;;) {
    char block[1023];
    std::optional<size_t> n = response->Read(block, sizeof block, &error);
    if (!n) {
      file.reset();
      response.reset();
      window.reset();
      Discard(path);
      if (!error.empty()) ui.Tell(MakeMessage(Txt::UpdateSystemError, {error}));
      return {};
    }
    if (*n == 0) break;
    received += *n;
    if (received > limit) {
      if (tooLarge) *tooLarge = true;
      failed = true;
      break;
    }
    if (window) {
      dlg.SetProgress(received, total);
      window->Refresh();
    }
    ui.PumpOne();
    if (dlg.cancelled) break;
    if (!file->Write(std::string_view(block, *n))) {
      failed = true;
      break;
    }
  }
  response.reset();
  failed = !file->Close() || failed;
  window.reset();
  if (failed || dlg.cancelled) {
    Discard(path);
    return {};
  }
  return path;
}

UpdateCheck::Fetch UpdateCheck::FetchInformation() {
  // The attempt counts as a check before anything goes out, whether it succeeds or not.
  const Date today = DateOf(p_.clock.Now());
  s_.year = today.year;
  s_.month = today.month;
  s_.day = today.day;
  s_.Save(p_.settings);

  IUserInterface& ui = p_.ui;
  const std::string info = Download(s_.infoUrl, false, false, kInfoLimit);
  if (info.empty()) {
    ui.Tell(MakeMessage(Txt::UpdateInfoFailed));
    return Fetch::Reported;
  }
  std::string text;
  try {
    CFileReader reader(p_.files);
    reader.OpenReader(info, "rb");
    text = reader.ReadAll();
    reader.CloseReader();
  } catch (const CKorvuFileException& e) {
    Discard(info);
    ui.Tell(e.ToMessage(p_.codepage));
    return Fetch::Reported;
  }
  Discard(info);
  // Nothing of the file is read before its signature holds.
  const std::string sigPath = Download(s_.infoUrl + ".sig", false, false, kSignatureLimit);
  std::optional<std::string> sig = sigPath.empty() ? std::nullopt : p_.files.ReadAll(sigPath);
  Discard(sigPath);
  if (!sig || !InformationSigned(sys_, key_, text, *sig)) {
    ui.Tell(MakeMessage(Txt::UpdateSignatureBad));
    return Fetch::Reported;
  }
  CKXMLDocument doc(&p_.codepage);
  doc.LoadXml(text, true);
  return ReadUpdateEntry(doc, s_) ? Fetch::Ok : Fetch::Failed;
}

int UpdateCheck::Install() {
  IUserInterface& ui = p_.ui;
  if (!IsHex64(s_.setupSha256) || s_.setupSize < 0) {
    ui.Tell(MakeMessage(Txt::UpdateSetupBad));
    return 0;
  }
  bool tooLarge = false;
  const std::string path = Download(s_.setupUrl, true, true, static_cast<uint64_t>(s_.setupSize), &tooLarge);
  if (path.empty()) {
    // More than the signed size is no download failure but another file.
    ui.Tell(MakeMessage(tooLarge ? Txt::UpdateSetupBad : Txt::UpdateDownloadFailed));
    return 0;
  }
  std::optional<std::string> bytes = p_.files.ReadAll(path);
  if (!bytes || bytes->size() != static_cast<uint64_t>(s_.setupSize) || HexOf(sys_.Sha256(*bytes)) != s_.setupSha256) {
    Discard(path);
    ui.Tell(MakeMessage(Txt::UpdateSetupBad));
    return 0;
  }
  Set(p_.settings, keys::kUpdateRecentSetup, path);
  if (p_.shell.Execute(path, "", kSetupParameters) < 32) {
    // Nothing was started: the program must not end for it.
    ui.Tell(MakeMessage(Txt::UpdateDownloadFailed));
    return 0;
  }
  return 1;
}

int UpdateCheck::Run(bool manual) {
  // Read where it is used: the address may change while the tray runs.
  s_.infoUrl = Get(p_.settings, keys::kUpdateUrl);
  CAutoUpdateDlg checking;
  std::unique_ptr<IModeless> window = p_.ui.OpenModeless(checking);
  const Fetch fetched = FetchInformation();
  bool newer = false;
  if (fetched == Fetch::Ok)
    if (auto modified = sys_.ProgramModified()) newer = *modified < s_.releaseDate;
  window.reset();
  if (!newer) {
    if (manual && fetched != Fetch::Reported)
      p_.ui.Tell(MakeMessage(Txt::UpdateLatest));
    return 0;
  }
  CAutoUpdateCheckDlg offer(p_.codepage, s_);
  if (!p_.ui.RunDialog(offer)) return 0;
  if (offer.home) {
    // Only a web address is handed to the shell, whatever the file says.
    if (StartsWithNoCase(s_.home, "https://") || StartsWithNoCase(s_.home, "http://")) p_.shell.Execute(s_.home, "", "");
    return 0;
  }
  return Install();
}

void UpdateCheck::DeleteRecentSetup() {
  const std::string path = Get(p_.settings, keys::kUpdateRecentSetup);
  if (path.empty() || !InsideFolder(path, p_.files.TempFolder()) || !p_.files.Exists(path)) return;
  p_.files.Remove(path);
  const std::string folder = FolderOf(path);
  if (InsideFolder(folder.substr(0, folder.size() - 1), p_.files.TempFolder())) sys_.RemoveFolder(folder);
}

int UpdateCheck::Startup() {
  DeleteRecentSetup();
  if (!UpdateDue(s_, p_.clock.Now())) return 0;
  return Run(false);
}

int UpdateCheck::Manual() {
  if (!p_.ui.Confirm(MakeMessage(Txt::UpdateAsk))) return 0;
  return Run(true);
}

}  // namespace qlk
