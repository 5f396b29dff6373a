#include "win32/platform/Win32Platform.h"

#include <objbase.h>
#include <oleauto.h>

#include "pcre/Regex_pcre.h"

namespace qlk::win {
namespace {

// Dispatch identifiers of the scripting RegExp object.
constexpr DISPID kPattern = 10001;
constexpr DISPID kIgnoreCase = 10002;
constexpr DISPID kGlobal = 10003;
constexpr DISPID kTest = 10005;
constexpr DISPID kReplace = 10006;

class Bstr {
 public:
  explicit Bstr(const std::wstring& w) : b_(SysAllocStringLen(w.data(), static_cast<UINT>(w.size()))) {}
  ~Bstr() { SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return b_; }

 private:
  BSTR b_;
};

class VbRegex final : public IRegex {
 public:
  VbRegex(const ICodePage& cp, IDispatch* d) : cp_(cp), d_(d) {}
  ~VbRegex() override {
    if (d_) d_->Release();
  }

  bool SetPattern(std::string_view sjis) override {
    std::wstring w = Wide(sjis);
    if (w == pattern_ && patternSet_) return true;  // the same pattern for every line of a walk
    Bstr b(w);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = b.get();
    patternSet_ = Put(kPattern, v);
    pattern_ = std::move(w);
    return patternSet_;
  }
  bool SetIgnoreCase(bool on) override { return PutBool(kIgnoreCase, on); }
  bool SetGlobal(bool on) override { return PutBool(kGlobal, on); }

  std::optional<bool> Test(std::string_view sjis) override {
    Bstr s(Wide(sjis));
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = s.get();
    VARIANT res;
    VariantInit(&res);
    if (!Call(kTest, &arg, 1, &res)) return std::nullopt;
    bool r = res.vt == VT_BOOL && res.boolVal != VARIANT_FALSE;
    VariantClear(&res);
    return r;
  }

  std::optional<std::string> Replace(std::string_view sjis, std::string_view replacement) override {
    Bstr s(Wide(sjis)), r(Wide(replacement));
    VARIANT args[2];  // in reverse order: the replacement, then the text
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[0].vt = VT_BSTR;
    args[0].bstrVal = r.get();
    args[1].vt = VT_BSTR;
    args[1].bstrVal = s.get();
    VARIANT res;
    VariantInit(&res);
    if (!Call(kReplace, args, 2, &res)) return std::nullopt;
    std::optional<std::string> out;
    if (res.vt == VT_BSTR) {
      std::u16string u(reinterpret_cast<const char16_t*>(res.bstrVal), SysStringLen(res.bstrVal));
      out = cp_.FromUtf16(Charset::Sjis, u);
    }
    VariantClear(&res);
    return out;
  }

 private:
  std::wstring Wide(std::string_view sjis) const {
    std::u16string u = cp_.ToUtf16(Charset::Sjis, sjis);
    return std::wstring(u.begin(), u.end());
  }
  bool Put(DISPID id, VARIANT& v) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS p{&v, &named, 1, 1};
    return SUCCEEDED(d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr, nullptr));
  }
  bool PutBool(DISPID id, bool on) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
    return Put(id, v);
  }
  bool Call(DISPID id, VARIANT* args, UINT n, VARIANT* res) {
    DISPPARAMS p{args, nullptr, n, 0};
    EXCEPINFO ex{};
    HRESULT hr = d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &p, res, &ex, nullptr);
    if (ex.bstrSource) SysFreeString(ex.bstrSource);
    if (ex.bstrDescription) SysFreeString(ex.bstrDescription);
    if (ex.bstrHelpFile) SysFreeString(ex.bstrHelpFile);
    return SUCCEEDED(hr);
  }

  const ICodePage& cp_;
  IDispatch* d_;
  std::wstring pattern_;
  bool patternSet_ = false;
};

class VbRegexFactory final : public IRegexFactory {
 public:
  VbRegexFactory(const ICodePage& cp, const wchar_t* progId) : cp_(cp) {
    available_ = SUCCEEDED(CLSIDFromProgID(progId, &clsid_));
  }
  bool Available() const override { return available_; }
  std::unique_ptr<IRegex> Create() override {
    if (!available_) return nullptr;
    IDispatch* d = nullptr;
    if (FAILED(CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&d))) ||
        !d)
      return nullptr;
    return std::make_unique<VbRegex>(cp_, d);
  }

 private:
  const ICodePage& cp_;
  CLSID clsid_{};
  bool available_ = false;
};

// The object while Windows still has it; the built-in engine once the object is switched off
// or removed (its class may stay registered while its DLL is gone, so creation decides).
class FallbackRegexFactory final : public IRegexFactory {
 public:
  FallbackRegexFactory(const ICodePage& cp, const wchar_t* progId)
      : object_(cp, progId), builtIn_(MakePcreRegexFactory(cp)) {}
  bool Available() const override { return true; }
  std::unique_ptr<IRegex> Create() override {
    if (std::unique_ptr<IRegex> r = object_.Create()) return r;
    return builtIn_->Create();
  }

 private:
  VbRegexFactory object_;
  std::unique_ptr<IRegexFactory> builtIn_;
};

}  // namespace

std::unique_ptr<IRegexFactory> MakeRegexFactory(const ICodePage& cp, const wchar_t* progId) {
  return std::make_unique<FallbackRegexFactory>(cp, progId);
}

bool IsScriptingRegex(const IRegex& r) { return dynamic_cast<const VbRegex*>(&r) != nullptr; }

}  // namespace qlk::win
