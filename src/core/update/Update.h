#pragma once
// The update check: the schedule, the signed information file, the offer, the download with
// its progress dialog, and the setup program, which runs only when it is exactly the one the
// signed information names.

// Resource and control identifiers, defined here once and read by the resource script
// too: the resource compiler sees only these #defines (RC_INVOKED).
#define IDD_AUTO_UPDATE               1541
#define IDC_AUTO_UPDATE_TEXT          1000
#define IDD_AUTO_UPDATE_CHECK         1540
#define IDC_AUTO_UPDATE_CHECK_VERSION 223
#define IDC_AUTO_UPDATE_CHECK_DATE    139
#define IDC_AUTO_UPDATE_CHECK_MESSAGE 140
#define IDC_AUTO_UPDATE_CHECK_HOME    4
#define IDD_HTTP_DOWNLOAD             133
#define IDC_HTTP_DOWNLOAD_TEXT        1000
#define IDC_HTTP_DOWNLOAD_COUNT       1001
#define IDC_HTTP_DOWNLOAD_CANCEL      1003
#define IDC_HTTP_DOWNLOAD_NAME        156
#define IDC_HTTP_DOWNLOAD_BAR         269

#ifndef RC_INVOKED
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppState.h"
#include "app/Dialog.h"
#include "platform/Internet.h"
#include "platform/Platform.h"

namespace qlk {

class CKXMLDocument;

// ---- pure rules ----

// "year/month/day" as local midnight; nullopt when the text is no valid date. Two-digit
// years: 70-99 are 19xx, 0-38 are 20xx.
std::optional<LocalSeconds> ParseUpdateDate(std::string_view text);
// Whether the schedule asks for a check now (modes 1, 2 and 3).
bool UpdateDue(const UpdateState& s, LocalSeconds now);
// The local name for a downloaded address: the part after the last "/" of the address
// without its query or fragment. Refused (nullopt): empty names, "\", ":", "..", control
// characters, characters no file name may hold, device names, and for a setup program any
// name not ending in ".exe" or ".msi".
std::optional<std::string> SafeFileName(std::string_view url, bool setup);
// https, or plain http to the loopback address only.
bool AllowedAddress(std::string_view url, const UrlParts& parts);
// X and Y of a P-256 public key in PEM (SubjectPublicKeyInfo); nullopt for anything else.
std::optional<std::string> PublicKeyFromPem(std::string_view pem);
// r and s (32 bytes each) of a DER ECDSA signature; nullopt for anything malformed.
std::optional<std::string> SignatureFromDer(std::string_view der);
// The signature check of the information file's exact bytes.
bool InformationSigned(IUpdateSystem& sys, std::string_view publicKeyPem, std::string_view data, std::string_view der);
std::string HexOf(const std::array<uint8_t, 32>& digest);
// Copies the entry for `s.productKey` into the state; false when there is none.
bool ReadUpdateEntry(const CKXMLDocument& doc, UpdateState& s);

// ---- dialogs ----

// "更新確認中": shown while the information is fetched.
class CAutoUpdateDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_AUTO_UPDATE, kText = IDC_AUTO_UPDATE_TEXT;
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override { return {Field::Label(kText, Txt::UpdateChecking)}; }
};

// "更新がありました": the offer.
class CAutoUpdateCheckDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_AUTO_UPDATE_CHECK, kVersion = IDC_AUTO_UPDATE_CHECK_VERSION,
                       kDate = IDC_AUTO_UPDATE_CHECK_DATE, kMessage = IDC_AUTO_UPDATE_CHECK_MESSAGE,
                       kHome = IDC_AUTO_UPDATE_CHECK_HOME;
  CAutoUpdateCheckDlg(const ICodePage& cp, const UpdateState& s);
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  bool OnCommand(int control, DialogHost& host) override;
  std::string version, date, message;  // Shift-JIS
  bool home = false;                   // "ホームページを開く" was chosen
};

// "ダウンロード": the progress of one download.
class CHttpDownloadDlg final : public DialogModel {
 public:
  static constexpr int kResource = IDD_HTTP_DOWNLOAD, kText = IDC_HTTP_DOWNLOAD_TEXT, kCount = IDC_HTTP_DOWNLOAD_COUNT,
                       kBar = IDC_HTTP_DOWNLOAD_BAR, kName = IDC_HTTP_DOWNLOAD_NAME, kCancel = IDC_HTTP_DOWNLOAD_CANCEL;
  CHttpDownloadDlg(const ICodePage& cp, std::string fileName) : cp_(cp), name(std::move(fileName)) {}
  int ResourceId() const override { return kResource; }
  std::vector<Field> Fields() override;
  // Cancel (the button, Escape or the close box) asks first.
  bool OnCommand(int control, DialogHost& host) override;
  void SetProgress(uint64_t received, uint64_t total);

 private:
  const ICodePage& cp_;

 public:
  std::string name, count = "0/0";
  int position = 0, range = 0;
  bool cancelled = false;
};

// ---- the check ----

class UpdateCheck {
 public:
  UpdateCheck(Platform& p, IUpdateSystem& sys, UpdateState& state, std::string publicKeyPem)
      : p_(p), sys_(sys), s_(state), key_(std::move(publicKeyPem)) {}

  // Start-up: deletes the last setup program (only when it lies in the temporary folder),
  // then checks quietly when due. 1 when a setup program was started.
  int Startup();
  // The menu command: asks, then checks with messages. 1 when a setup program was started.
  int Manual();
  // The check itself.
  int Run(bool manual);

  // Downloads `url` into a new folder of its own under the temporary folder: the local path,
  // or empty text. More than `limit` bytes are refused (and `*tooLarge` set).
  std::string Download(std::string_view url, bool showProgress, bool setup, uint64_t limit, bool* tooLarge = nullptr);

  // How the setup program is started: silently, and starting the new version when it is done
  // (our own QlkTraySetup.exe reads both; the offer already had the user's consent).
  static constexpr std::string_view kSetupParameters = "/S /START";

  // The largest information file and signature taken.
  static constexpr uint64_t kInfoLimit = 1 << 20;
  static constexpr uint64_t kSignatureLimit = 4096;

 private:
  enum class Fetch { Ok, Failed, Reported };
  Fetch FetchInformation();
  int Install();
  // Deletes a downloaded file and the folder made for it.
  void Discard(const std::string& path);
  void DeleteRecentSetup();
  Message Msg(Txt id, std::string_view sjisArg = {}) const;

  Platform& p_;
  IUpdateSystem& sys_;
  UpdateState& s_;
  std::string key_;
};

}  // namespace qlk
#endif  // RC_INVOKED
