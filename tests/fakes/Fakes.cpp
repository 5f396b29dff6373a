#include "Fakes.h"

#ifdef QLK_FUZZING
#include <cstdio>
#include <cstdlib>
#else
#include <gtest/gtest.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <random>

namespace qlk::test {

FakeUI::~FakeUI() {
  for (Txt t : untypedShown) {
#ifdef QLK_FUZZING
    // The fuzz targets link no test framework: a text shown as the wrong kind is a fault found.
    std::fprintf(stderr, "%s was shown in a box but is declared as no message\n", TextName(t));
    std::abort();
#else
    ADD_FAILURE() << TextName(t) << " was shown in a box but is declared as no message";
#endif
  }
}

const ICodePage& CodePage() {
  static std::unique_ptr<ICodePage> cp = [] {
    sys::Init();
    return sys::MakeCodePage();
  }();
  return *cp;
}

std::string sj(std::u8string_view utf8) {
  return sj(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}
std::string sj(std::string_view utf8) { return CodePage().Utf8ToSjis(utf8); }
std::string u8(std::string_view sjis) { return CodePage().SjisToUtf8(sjis); }

IUserInterface& FakeDialog::ui() { return ui_; }

namespace {
class FakeModeless final : public IModeless {
 public:
  FakeModeless(FakeUI& ui, DialogModel& m) : ui_(ui), m_(m) {}
  ~FakeModeless() override { std::erase(ui_.modeless, &m_); }
  void Refresh() override { ++ui_.refreshes; }

 private:
  FakeUI& ui_;
  DialogModel& m_;
};
}  // namespace

std::unique_ptr<IModeless> FakeUI::OpenModeless(DialogModel& m) {
  modeless.push_back(&m);
  modelessShown.push_back(m.ResourceId());
  return std::make_unique<FakeModeless>(*this, m);
}

Field* FakeDialog::Find(int control) {
  static thread_local std::vector<Field> fields;
  fields = model_.Fields();
  for (Field& f : fields) {
    if (f.control == control) return &f;
    for (int r : f.radios)
      if (r == control) return &f;
  }
  return nullptr;
}

void FakeDialog::Set(int control, int value) {
  Field* f = Find(control);
  if (!f || !f->number) throw std::runtime_error("no numeric control " + std::to_string(control));
  if (f->kind == FieldKind::Radio) {
    // Setting a radio button's own identifier chooses it.
    for (size_t i = 0; i < f->radios.size(); ++i)
      if (f->radios[i] == control && control != f->control) value = static_cast<int>(i);
  }
  *f->number = value;
  if (f->kind == FieldKind::Check || f->kind == FieldKind::Radio || f->kind == FieldKind::Combo ||
      f->kind == FieldKind::List)
    model_.OnCommand(control, *this);
}

void FakeDialog::Set(int control, std::string sjis) {
  Field* f = Find(control);
  if (!f || !f->text) throw std::runtime_error("no text control " + std::to_string(control));
  *f->text = std::move(sjis);
}

int FakeDialog::GetInt(int control) {
  Field* f = Find(control);
  if (!f || !f->number) throw std::runtime_error("no numeric control " + std::to_string(control));
  return *f->number;
}

std::string FakeDialog::GetText(int control) {
  Field* f = Find(control);
  if (!f || !f->text) throw std::runtime_error("no text control " + std::to_string(control));
  return *f->text;
}

const std::vector<std::string>* FakeDialog::Items(int control) {
  Field* f = Find(control);
  return f ? f->items : nullptr;
}

bool FakeDialog::Ok() {
  for (const Field& f : model_.Fields()) {
    if (f.kind == FieldKind::Int && (*f.number < f.min || *f.number > f.max)) {
      ui_.Tell(MakeMessage(Txt::IntRange, {static_cast<long long>(f.min), static_cast<long long>(f.max)}));
      ++refusedOk;
      return false;
    }
  }
  if (!model_.OnOk(*this)) {
    ++refusedOk;
    return false;
  }
  return true;
}

TempDir::TempDir() {
  static std::atomic<int> n{0};
  auto seed = std::chrono::steady_clock::now().time_since_epoch().count();
  dir_ = std::filesystem::temp_directory_path() /
         ("qlk-test-" + std::to_string(seed) + "-" + std::to_string(n++));
  std::filesystem::create_directories(dir_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string TempDir::Path(const std::string& name) const { return (dir_ / name).string(); }
std::string TempDir::Folder() const { return dir_.string(); }

}  // namespace qlk::test

namespace qlk::test {

namespace {
class MemoryWriteFile final : public IWriteFile {
 public:
  MemoryWriteFile(MemoryFiles& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
  bool Write(std::string_view b) override {
    data_.append(b);
    return true;
  }
  bool Close() override {
    owner_.files[path_] = std::move(data_);
    return true;
  }

 private:
  MemoryFiles& owner_;
  std::string path_, data_;
};

bool WildMatch(std::string_view pat, std::string_view s) {
  if (pat.empty()) return s.empty();
  if (pat[0] == '*') return WildMatch(pat.substr(1), s) || (!s.empty() && WildMatch(pat, s.substr(1)));
  return !s.empty() && (pat[0] == '?' || pat[0] == s[0]) && WildMatch(pat.substr(1), s.substr(1));
}
}  // namespace

std::unique_ptr<IWriteFile> MemoryFiles::Create(std::string_view path) {
  if (path.empty()) return nullptr;
  return std::make_unique<MemoryWriteFile>(*this, std::string(path));
}

std::optional<size_t> StringReadFile::Read(char* buf, size_t size) {
  if (++reads == failAtRead) return std::nullopt;
  const size_t n = std::min(size, data_.size() - served);
  std::memcpy(buf, data_.data() + served, n);
  served += n;
  return n;
}

std::unique_ptr<IReadFile> MemoryFiles::OpenRead(std::string_view path) {
  auto it = files.find(std::string(path));
  if (it == files.end()) return nullptr;
  return std::make_unique<StringReadFile>(it->second);
}

std::vector<std::string> MemoryFiles::Find(std::string_view dir, std::string_view pattern) {
  std::vector<std::string> out;
  std::string prefix(dir);
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  for (const auto& [name, data] : files) {
    if (name.rfind(prefix, 0) != 0) continue;
    std::string_view rest = std::string_view(name).substr(prefix.size());
    if (rest.find('/') == std::string_view::npos && WildMatch(pattern, rest)) out.push_back(name);
  }
  return out;
}

}  // namespace qlk::test
