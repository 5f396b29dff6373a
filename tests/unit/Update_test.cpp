#include <gtest/gtest.h>

#include "Fakes.h"
#include "UpdateFakes.h"
#include "update/Update.h"
#include "update/Xml.h"

namespace qlk::test {
namespace {

// A key pair made once with the reference tools; only its public half and one signature of
// `kSigned` are kept here.
constexpr const char* kKey =
    "-----BEGIN PUBLIC KEY-----\n"
    "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE+Jl+WG4SOEN5vyRirlCEy9dRFJ0f\n"
    "+yrEKDJuRJxITeCj57BFuA21zDixvKhmKJendAK4HI8IY/ZPH0FtC0nvmw==\n"
    "-----END PUBLIC KEY-----\n";
constexpr const char* kOtherKey =
    "-----BEGIN PUBLIC KEY-----\n"
    "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEc43st0XxxOZdEPZ90zlpFvZf7cD0\n"
    "6SghGASNbeR2ir+vicW9hev8O7NeyojPcUvahmXowyX3H8v51hZQ7DcjqQ==\n"
    "-----END PUBLIC KEY-----\n";
constexpr const char* kSigned = "<?xml version=\"1.0\"?>\n<list><item name=\"QlkTray\"><version>2.0</version></item></list>\n";
std::string SignatureOfSigned() {
  const char* hex =
      "3045022100dcfe86d6e50d4f7effb40f23f93b6eecaa74914a50bb403237ee7fa6b759b80702203fffe09d6d52744522697ab3e2a3bce8530868"
      "53139a2bf6cd1e9e5398debf82";
  std::string out;
  for (size_t i = 0; hex[i]; i += 2) out += static_cast<char>(std::stoi(std::string(hex + i, 2), nullptr, 16));
  return out;
}

TEST(UpdateDate, ParsesYearMonthDay) {
  struct Case {
    const char* text;
    int y, m, d;  // y == 0: invalid
  } cases[] = {
      {"2020/4/1", 2020, 4, 1}, {"20/1/5", 2020, 1, 5},     {"70/1/1", 1970, 1, 1},   {"99/12/31", 1999, 12, 31},
      {"38/1/1", 2038, 1, 1},   {"39/1/1", 0, 0, 0},        {"69/1/1", 0, 0, 0},      {"1999/2/29", 0, 0, 0},
      {"2000/2/29", 2000, 2, 29}, {"1900/2/29", 0, 0, 0},   {"2024/2/29", 2024, 2, 29}, {"2021/4/31", 0, 0, 0},
      {"1583/1/1", 1583, 1, 1}, {"1582/12/31", 0, 0, 0},    {"9998/12/31", 9998, 12, 31}, {"9999/1/1", 0, 0, 0},
      {"2020/13/1", 0, 0, 0},   {"2020/0/1", 0, 0, 0},      {"2020/1/0", 0, 0, 0},    {"2020/1", 0, 0, 0},
      {"2020-1-1", 0, 0, 0},    {" 2021/03/07 ", 2021, 3, 7}, {"2021/3/7x", 2021, 3, 7}, {"", 0, 0, 0},
  };
  for (const Case& c : cases) {
    auto t = ParseUpdateDate(c.text);
    if (!c.y) {
      EXPECT_FALSE(t) << c.text;
      continue;
    }
    ASSERT_TRUE(t) << c.text;
    EXPECT_EQ(*t, ToLocalSeconds(c.y, c.m, c.d)) << c.text;
  }
}

TEST(UpdateDue, FollowsTheModeFromTheStoredDate) {
  UpdateState s;
  s.year = 2026, s.month = 12, s.day = 7;  // yesterday
  const LocalSeconds sameHourToday = ToLocalSeconds(2026, 12, 8, 10), earlyToday = ToLocalSeconds(2026, 12, 8, 0, 0, 0);
  struct Case {
    int mode, y, m, d;
    LocalSeconds now;
    bool due;
  } cases[] = {
      {0, 2026, 12, 7, sameHourToday, false}, {1, 2026, 12, 8, sameHourToday, true},  {2, 2026, 12, 7, sameHourToday, true},
      {2, 2026, 12, 8, sameHourToday, false},  // checked two hours ago, today
      {2, 2026, 12, 7, earlyToday, false},     // exactly one day: not earlier than now
      {3, 2026, 12, 2, sameHourToday, false}, {3, 2026, 12, 1, sameHourToday, true}, {7, 2005, 1, 1, sameHourToday, false},
  };
  for (const Case& c : cases) {
    s.checkMode = c.mode, s.year = c.y, s.month = c.m, s.day = c.d;
    EXPECT_EQ(UpdateDue(s, c.now), c.due) << c.mode << " " << c.y << "/" << c.m << "/" << c.d;
  }
}

TEST(UpdateFiles, LocalNamesComeOnlyFromSafeAddresses) {
  struct Case {
    const char* url;
    bool setup;
    const char* name;  // nullptr: refused
  } cases[] = {
      {"https://h/soft/update.xml", false, "update.xml"},
      {"https://h/soft/QlkSetup.exe?v=2#top", true, "QlkSetup.exe"},
      {"https://h/a/Setup.MSI", true, "Setup.MSI"},
      {"https://h/a.exe?x=/evil.exe", true, "a.exe"},
      {"https://h/soft/", false, nullptr},
      {"no-slash.exe", true, nullptr},
      {"https://h/soft/..", false, nullptr},
      {"https://h/a..exe", true, nullptr},
      {"https://h/a\\b.exe", true, nullptr},
      {"https://h/c:x.exe", true, nullptr},
      {"https://h/a\tb.exe", true, nullptr},
      {"https://h/CON", false, nullptr},
      {"https://h/nul.txt", false, nullptr},
      {"https://h/com1.exe", true, nullptr},
      {"https://h/lpt9", false, nullptr},
      {"https://h/console.exe", true, "console.exe"},
      {"https://h/setup.bat", true, nullptr},
      {"https://h/setup.exe.", true, nullptr},
      {"https://h/a<b>.exe", true, nullptr},
  };
  for (const Case& c : cases) {
    auto name = SafeFileName(c.url, c.setup);
    if (!c.name) EXPECT_FALSE(name) << c.url;
    else EXPECT_EQ(name.value_or("<refused>"), c.name) << c.url;
  }
  FakeUpdateSystem sys;
  struct Address {
    const char* url;
    bool allowed;
  } addresses[] = {
      {"https://www.korvu.example/soft/update.xml", true}, {"HTTPS://h/x", true},
      {"http://www.korvu.example/soft/update.xml", false}, {"http://127.0.0.1:8080/u.xml", true},
      {"http://127.1.2.3/u.xml", true},                    {"http://localhost/u.xml", true},
      {"http://[::1]:81/u.xml", true},                     {"http://128.0.0.1/u.xml", false},
      {"http://127.0.0.1.evil.example/u.xml", false},      {"ftp://h/u.xml", false},
  };
  for (const Address& a : addresses) {
    auto parts = sys.Crack(a.url);
    ASSERT_TRUE(parts) << a.url;
    EXPECT_EQ(AllowedAddress(a.url, *parts), a.allowed) << a.url;
  }
}

TEST(UpdateSignature, ChecksTheExactBytesAgainstTheKey) {
  IUpdateSystem& crypto = TestCrypto();
  const std::string sig = SignatureOfSigned();
  EXPECT_TRUE(InformationSigned(crypto, kKey, kSigned, sig));
  std::string changed = kSigned;
  changed[40] ^= 1;
  EXPECT_FALSE(InformationSigned(crypto, kKey, changed, sig));
  EXPECT_FALSE(InformationSigned(crypto, kOtherKey, kSigned, sig));
  EXPECT_FALSE(InformationSigned(crypto, kKey, kSigned, ""));
  std::string bent = sig;
  bent[10] ^= 0x40;
  EXPECT_FALSE(InformationSigned(crypto, kKey, kSigned, bent));
  EXPECT_FALSE(InformationSigned(crypto, "not a key", kSigned, sig));
  EXPECT_EQ(HexOf(crypto.Sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(UpdateSignature, DerSignaturesAreReadStrictly) {
  auto der = [](std::initializer_list<int> b) { return std::string(b.begin(), b.end()); };
  auto rs = SignatureFromDer(der({0x30, 0x06, 0x02, 0x01, 0x05, 0x02, 0x01, 0x07}));
  ASSERT_TRUE(rs);
  EXPECT_EQ(*rs, std::string(31, '\0') + "\x05" + std::string(31, '\0') + "\x07");
  EXPECT_TRUE(SignatureFromDer(der({0x30, 0x07, 0x02, 0x02, 0x00, 0x80, 0x02, 0x01, 0x01})));
  EXPECT_FALSE(SignatureFromDer(der({0x30, 0x07, 0x02, 0x02, 0x00, 0x05, 0x02, 0x01, 0x01})));  // not minimal
  EXPECT_FALSE(SignatureFromDer(der({0x30, 0x06, 0x02, 0x01, 0x85, 0x02, 0x01, 0x01})));        // negative
  EXPECT_FALSE(SignatureFromDer(der({0x30, 0x07, 0x02, 0x01, 0x05, 0x02, 0x01, 0x07, 0x00})));  // length
  EXPECT_FALSE(SignatureFromDer(der({0x30, 0x06, 0x02, 0x01, 0x05, 0x02, 0x02, 0x07})));        // past the end
  EXPECT_FALSE(SignatureFromDer(der({0x31, 0x06, 0x02, 0x01, 0x05, 0x02, 0x01, 0x07})));
  EXPECT_EQ(PublicKeyFromPem(kKey).value_or("").size(), 64u);
}

// The whole check against addresses answered from memory. The cryptography is a fake here
// (tested above on its own): a "signature" is a DER pair whose r is the SHA-256 of the bytes.
class UpdateFlow : public ::testing::Test {
 protected:
  UpdateFlow() {
    state.infoUrl = "https://www.korvu.example/soft/update.xml";
    t.clock.now = ToLocalSeconds(2026, 12, 8, 10);
    t.settings.SetInt("Update", "CheckMode", 1);
    t.settings.writeLog.clear();
  }
  static std::string FakeSign(const std::string& data) {
    auto d = TestCrypto().Sha256(data);
    std::string r(d.begin(), d.end());
    if (static_cast<unsigned char>(r[0]) & 0x80) r.insert(r.begin(), '\0');
    std::string seq = std::string("\x02") + static_cast<char>(r.size()) + r + std::string("\x02\x01\x01", 3);
    return std::string("\x30") + static_cast<char>(seq.size()) + seq;
  }
  void Serve(const std::string& info, const std::string& signedText) {
    sys.replies[state.infoUrl] = {200, info};
    sys.replies[state.infoUrl + ".sig"] = {200, FakeSign(signedText)};
  }
  void Serve(const std::string& info) { Serve(info, info); }
  std::string Entry(const std::string& date, const std::string& hash, size_t size,
                    const std::string& link = "https://www.korvu.example/soft/QlkSetup.exe") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<update><item name=\"Other\"><date>2099/1/1</date></item>"
           "<group><item name=\"QlkTray\"><link>" + link + "</link><version>1.50</version><description>line1\nline2"
           "</description><home>https://www.korvu.example/</home><date>" + date + "</date><sha256>" + hash +
           "</sha256><size>" + std::to_string(size) + "</size></item></group></update>\n";
  }
  void ServeSetup(const std::string& bytes) { sys.replies["https://www.korvu.example/soft/QlkSetup.exe"] = {200, bytes}; }
  int Run(bool manual) {
    UpdateCheck check(platform, verifying, state, kKey);
    return manual ? check.Run(true) : check.Startup();
  }
  // Files left in the test's temporary folder.
  size_t FilesLeft() {
    size_t n = 0;
    for (auto& e : std::filesystem::recursive_directory_iterator(temp.Folder())) n += e.is_regular_file();
    return n;
  }

  class Verifying final : public IUpdateSystem {
   public:
    explicit Verifying(FakeUpdateSystem& s) : s_(s) {}
    std::optional<UrlParts> Crack(std::string_view u) override { return s_.Crack(u); }
    std::unique_ptr<IHttpResponse> Get(const UrlParts& u, std::string* e) override { return s_.Get(u, e); }
    std::array<uint8_t, 32> Sha256(std::string_view b) override { return s_.Sha256(b); }
    bool VerifyP256(std::string_view, std::string_view data, std::string_view rs) override {
      auto d = s_.Sha256(data);
      return rs == std::string(d.begin(), d.end()) + std::string(31, '\0') + "\x01";
    }
    std::optional<LocalSeconds> ProgramModified() override { return s_.ProgramModified(); }
    std::string MakeFreshFolder(std::string_view p) override { return s_.MakeFreshFolder(p); }
    bool RemoveFolder(std::string_view p) override { return s_.RemoveFolder(p); }

   private:
    FakeUpdateSystem& s_;
  };

  TempDir temp;
  TestPlatform t;
  TempRootFiles files{*t.files, temp.Folder()};
  Platform platform{t.clipboard, t.settings, t.platform.codepage, *t.regex, t.ui, files, t.shell, t.clock};
  FakeUpdateSystem sys;
  Verifying verifying{sys};
  UpdateState state;
};

TEST_F(UpdateFlow, NewerReleaseIsOfferedDownloadedCheckedAndStarted) {
  const std::string setup(5000, 'S');
  ServeSetup(setup);
  Serve(Entry("2099/1/1", HexOf(TestCrypto().Sha256(setup)), setup.size()));
  std::vector<std::string> fields;
  t.ui.dialogScript = [&](FakeDialog& d) {
    fields = {d.GetText(223), d.GetText(139), d.GetText(140)};
    return true;  // "ダウンロードし更新"
  };
  EXPECT_EQ(Run(true), 1);
  EXPECT_EQ(fields, (std::vector<std::string>{"1.50", "2099/01/01", "line1\r\nline2"}));
  EXPECT_EQ(t.ui.dialogsRun, std::vector<int>{1540});
  EXPECT_EQ(t.ui.modelessShown, (std::vector<int>{1541, 133}));
  EXPECT_TRUE(t.ui.modeless.empty());
  EXPECT_GT(t.ui.refreshes, 4);
  EXPECT_TRUE(t.ui.shown.empty());
  ASSERT_EQ(t.shell.started.size(), 1u);
  const std::string path = t.shell.started[0];
  EXPECT_EQ(t.settings.GetText("Update", "RecentSetupFile", ""), path);
  EXPECT_EQ(path.rfind(temp.Folder(), 0), 0u);
  EXPECT_EQ(files.ReadAll(path).value_or(""), setup);
  EXPECT_EQ(FilesLeft(), 1u);  // the information and its signature are gone
  EXPECT_EQ(t.settings.GetInt("Update", "Day", 0), 8);  // the check was counted
  EXPECT_EQ(sys.requested, (std::vector<std::string>{state.infoUrl, state.infoUrl + ".sig",
                                                     "https://www.korvu.example/soft/QlkSetup.exe"}));
}

TEST_F(UpdateFlow, ASetupThatIsNotTheSignedOneNeverRuns) {
  const std::string setup(3000, 'S');
  struct Case {
    std::string hash;
    size_t size;
  } cases[] = {
      {HexOf(TestCrypto().Sha256("other")), setup.size()},  // another program
      {HexOf(TestCrypto().Sha256(setup)), setup.size() + 1},  // cut short
      {HexOf(TestCrypto().Sha256(setup)), setup.size() - 1},  // longer than said
      {"", setup.size()},                                     // no hash at all
  };
  for (const Case& c : cases) {
    t.ui.shown.clear();
    ServeSetup(setup);
    Serve(Entry("2099/1/1", c.hash, c.size));
    t.ui.dialogScript = [](FakeDialog&) { return true; };
    EXPECT_EQ(Run(true), 0);
    EXPECT_EQ(t.ui.ShownIds().back(), Txt::UpdateSetupBad);
    EXPECT_TRUE(t.shell.started.empty());
    EXPECT_EQ(FilesLeft(), 0u);
    EXPECT_FALSE(t.settings.Has("Update", "RecentSetupFile"));
  }
}

TEST_F(UpdateFlow, InformationIsReadOnlyWhenSigned) {
  const std::string good = Entry("2099/1/1", std::string(64, 'a'), 10);
  std::string changed = good;
  changed[changed.find("1.50")] = '9';
  Serve(changed, good);
  EXPECT_EQ(Run(true), 0);
  EXPECT_EQ(t.ui.ShownIds(), std::vector<Txt>{Txt::UpdateSignatureBad});
  sys.replies.erase(state.infoUrl + ".sig");
  t.ui.shown.clear();
  EXPECT_EQ(Run(true), 0);
  EXPECT_EQ(t.ui.ShownIds(), std::vector<Txt>{Txt::UpdateSignatureBad});
  EXPECT_TRUE(t.ui.dialogsRun.empty());
  EXPECT_EQ(FilesLeft(), 0u);
}

TEST_F(UpdateFlow, FailuresAndTheLatestVersion) {
  struct Case {
    const char* what;
    std::function<void()> setUp;
    bool manual;
    std::vector<Txt> shown;
  } cases[] = {
      {"404", [&] { sys.replies.clear(); }, true, {Txt::UpdateInfoFailed}},
      {"connection", [&] { sys.replies[state.infoUrl].connectError = "no route"; }, true, {Txt::UpdateSystemError, Txt::UpdateInfoFailed}},
      {"too large", [&] { Serve(std::string(UpdateCheck::kInfoLimit + 1, ' ')); }, true, {Txt::UpdateInfoFailed}},
      {"older", [&] { Serve(Entry("2001/1/1", "", 0)); }, true, {Txt::UpdateLatest}},
      {"older, quiet", [&] { Serve(Entry("2001/1/1", "", 0)); }, false, {}},
      {"no entry", [&] { Serve("<update><item name=\"Other\"/></update>"); }, true, {Txt::UpdateLatest}},
      {"bad date", [&] { Serve(Entry("1999/2/29", "", 0)); }, true, {Txt::UpdateLatest}},
      {"http", [&] { t.settings.SetText("Update", "Url", "http://www.korvu.example/soft/update.xml"); }, true,
       {Txt::UpdateUrlInsecure, Txt::UpdateInfoFailed}},
  };
  for (const Case& c : cases) {
    state = UpdateState();
    t.settings.values.erase({"Update", "Url"});
    state.checkMode = 1;
    t.ui.shown.clear();
    t.ui.styles.clear();
    c.setUp();
    EXPECT_EQ(Run(c.manual), 0) << c.what;
    EXPECT_EQ(t.ui.ShownIds(), c.shown) << c.what;
    // A result informs, every failure warns, the system's own words included.
    for (size_t i = 0; i < t.ui.styles.size(); ++i)
      EXPECT_EQ(t.ui.styles[i].second, t.ui.shown[i].id == Txt::UpdateLatest ? MsgIcon::Information : MsgIcon::Warning)
          << c.what;
    EXPECT_TRUE(t.ui.dialogsRun.empty()) << c.what;
    EXPECT_EQ(FilesLeft(), 0u) << c.what;
  }
}

TEST_F(UpdateFlow, CancelDeletesThePartialSetup) {
  const std::string setup(20000, 'S');
  ServeSetup(setup);
  Serve(Entry("2099/1/1", HexOf(TestCrypto().Sha256(setup)), setup.size()));
  t.ui.dialogScript = [](FakeDialog&) { return true; };
  int pumps = 0;
  t.ui.onPump = [&] {
    if (t.ui.modeless.empty() || t.ui.modeless.back()->ResourceId() != 133 || ++pumps != 5) return;
    FakeDialog d(*t.ui.modeless.back(), t.ui);
    t.ui.answers.push_back(Answer::Cancel);  // "中止しますか？" - no, go on
    d.Press(1003);
    t.ui.answers.push_back(Answer::Ok);
    d.Press(1003);
    EXPECT_EQ(d.ended, 0);
  };
  EXPECT_EQ(Run(true), 0);
  EXPECT_EQ(t.ui.ShownIds(), (std::vector<Txt>{Txt::UpdateCancelAsk, Txt::UpdateCancelAsk, Txt::UpdateDownloadFailed}));
  EXPECT_TRUE(t.shell.started.empty());
  EXPECT_EQ(FilesLeft(), 0u);
}

TEST_F(UpdateFlow, HomePageOpensAndNothingDownloads) {
  Serve(Entry("2099/1/1", std::string(64, 'a'), 10));
  t.ui.dialogScript = [](FakeDialog& d) {
    d.Press(4);
    return d.ended == 1;
  };
  EXPECT_EQ(Run(true), 0);
  EXPECT_EQ(t.shell.started, std::vector<std::string>{"https://www.korvu.example/"});
  EXPECT_EQ(sys.requested.size(), 2u);
}

TEST_F(UpdateFlow, StartupDeletesTheLastSetupOnlyInTheTemporaryFolder) {
  TempDir elsewhere;
  const std::string inside = temp.Path("old") + "/QlkSetup.exe", outside = elsewhere.Path("keep.exe");
  std::filesystem::create_directory(temp.Path("old"));
  ASSERT_TRUE(files.WriteAll(inside, "x"));
  ASSERT_TRUE(files.WriteAll(outside, "x"));
  state.checkMode = 0;
  for (const std::string& path : {outside, temp.Path("old") + "/../../" + "keep.exe", inside}) {
    t.settings.SetText("Update", "RecentSetupFile", path);
    EXPECT_EQ(Run(false), 0);
  }
  EXPECT_TRUE(files.Exists(outside));
  EXPECT_FALSE(files.Exists(inside));
  EXPECT_FALSE(std::filesystem::exists(temp.Path("old")));
  EXPECT_TRUE(sys.requested.empty());  // mode 0: never due
}

}  // namespace
}  // namespace qlk::test
