#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "pcre/Regex_pcre.h"

namespace qlk {
namespace {

// Lines are matched as UTF-16, the way the scripting RegExp object sees them, so that
// a class such as [ぁ-ん] means characters and not bytes.
class PcreRegex final : public IRegex {
 public:
  explicit PcreRegex(const ICodePage& cp) : cp_(cp) {
    mctx_ = pcre2_match_context_create(nullptr);
    // A runaway pattern fails the call instead of hanging the tool.
    pcre2_set_match_limit(mctx_, 20'000'000);
    pcre2_set_depth_limit(mctx_, 100'000);
    cctx_ = pcre2_compile_context_create(nullptr);
    // Whatever the library was built with: a line's lone LF ends it for "." as in the object.
    pcre2_set_newline(cctx_, PCRE2_NEWLINE_LF);
  }
  ~PcreRegex() override {
    Drop();
    if (jitStack_) pcre2_jit_stack_free(jitStack_);
    pcre2_compile_context_free(cctx_);
    pcre2_match_context_free(mctx_);
  }

  bool SetPattern(std::string_view sjis) override {
    std::u16string p = cp_.ToUtf16(Charset::Sjis, sjis);
    if (p != pattern_ || !compiled_) {
      pattern_ = std::move(p);
      dirty_ = true;
    }
    return true;
  }
  bool SetIgnoreCase(bool on) override {
    if (on != ignoreCase_) dirty_ = true;
    ignoreCase_ = on;
    return true;
  }
  bool SetGlobal(bool on) override {
    global_ = on;
    return true;
  }

  std::optional<bool> Test(std::string_view sjis) override {
    if (!Compile()) return std::nullopt;
    if (gated_ && !PassesGate(sjis)) return false;
    const std::u16string& s = Subject(sjis);
    int rc = Match(s, 0, 0);
    if (rc >= 0) return true;
    if (rc == PCRE2_ERROR_NOMATCH) return false;
    return std::nullopt;
  }

  std::optional<std::string> Replace(std::string_view sjis, std::string_view replacement) override {
    if (!Compile()) return std::nullopt;
    const std::u16string& s = Subject(sjis);
    if (replacement != replacementBytes_ || !replacementSet_) {
      replacementBytes_.assign(replacement);
      replacement_ = cp_.ToUtf16(Charset::Sjis, replacement);
      replacementSet_ = true;
    }
    const std::u16string& r = replacement_;
    const bool plain = r.find(u'$') == std::u16string::npos;
    std::u16string& out = out_;
    out.clear();
    size_t pos = 0, copied = 0;
    uint32_t checked = 0;  // the subject's UTF-16 is checked by the first call only
    while (pos <= s.size()) {
      int rc = Match(s, pos, checked);
      checked = PCRE2_NO_UTF_CHECK;
      if (rc == PCRE2_ERROR_NOMATCH) break;
      if (rc < 0) return std::nullopt;
      PCRE2_SIZE* ov = pcre2_get_ovector_pointer(md_);
      size_t ms = ov[0], me = ov[1];
      out.append(s, copied, ms - copied);
      if (plain)
        out.append(r);
      else
        Expand(r, s, ov, rc, groups_, out);
      copied = me;
      if (!global_) break;
      // An empty match moves on by one character, as the scripting engine does.
      pos = (me == ms) ? me + 1 : me;
    }
    if (copied < s.size()) out.append(s, copied, std::u16string::npos);
    return cp_.FromUtf16(Charset::Sjis, out);
  }

 private:
  // The line as UTF-16; Replace right after Test on the same line converts it once.
  const std::u16string& Subject(std::string_view sjis) {
    if (!subjectSet_ || sjis != subjectBytes_) {
      subjectBytes_.assign(sjis);
      subject_ = cp_.ToUtf16(Charset::Sjis, sjis);
      subjectSet_ = true;
    }
    return subject_;
  }

  // Whether a line holds a byte that may start a match. When every match starts with an ASCII
  // character, a line without one of those bytes cannot match: ASCII units come only from
  // single bytes below 0x80, so such a line is answered without converting it.
  bool PassesGate(std::string_view sjis) const {
    for (unsigned char b : sjis)
      if (gate_[b]) return true;
    return false;
  }
  void BuildGate() {
    const uint8_t* map = nullptr;
    gated_ = pcre2_pattern_info(code_, PCRE2_INFO_FIRSTBITMAP, &map) == 0 && map;
    // Bit n: the unit n may start a match; bit 0xFF stands for every unit above it too.
    for (int c = 0x80; gated_ && c < 0x100; ++c)
      if (map[c / 8] & (1u << (c % 8))) gated_ = false;
    for (int c = 0; c < 0x100; ++c) gate_[c] = gated_ && c < 0x80 && (map[c / 8] & (1u << (c % 8)));
  }

  // The compiled machine code when there is one. Should its stack run out (it is given 4 MB,
  // or only 32 KB when that could not be had), the interpreter, which keeps its frames on the
  // heap, has its turn.
  int Match(const std::u16string& s, size_t start, uint32_t opts) {
    auto subject = reinterpret_cast<PCRE2_SPTR>(s.data());
    int rc = pcre2_match(code_, subject, s.size(), start, opts, md_, mctx_);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
      rc = pcre2_match(code_, subject, s.size(), start, opts | PCRE2_NO_JIT, md_, mctx_);
    return rc;
  }

  static void Expand(const std::u16string& r, const std::u16string& s, const PCRE2_SIZE* ov, int rc, uint32_t groups,
                     std::u16string& out) {
    auto group = [&](uint32_t g, std::u16string& o) {
      if (static_cast<int>(g) < rc && ov[2 * g] != PCRE2_UNSET) o.append(s, ov[2 * g], ov[2 * g + 1] - ov[2 * g]);
    };
    for (size_t i = 0; i < r.size(); ++i) {
      char16_t c = r[i];
      if (c != u'$' || i + 1 >= r.size()) {
        out.push_back(c);
        continue;
      }
      char16_t n = r[i + 1];
      if (n == u'$') {
        out.push_back(u'$');
        ++i;
      } else if (n == u'&') {
        group(0, out);
        ++i;
      } else if (n == u'`') {
        out.append(s, 0, ov[0]);
        ++i;
      } else if (n == u'\'') {
        out.append(s, ov[1], std::u16string::npos);
        ++i;
      } else if (n >= u'0' && n <= u'9') {
        uint32_t g1 = n - u'0';
        // Two digits when that group exists, else one.
        if (i + 2 < r.size() && r[i + 2] >= u'0' && r[i + 2] <= u'9') {
          uint32_t g2 = g1 * 10 + (r[i + 2] - u'0');
          if (g2 >= 1 && g2 <= groups) {
            group(g2, out);
            i += 2;
            continue;
          }
        }
        if (g1 >= 1 && g1 <= groups) {
          group(g1, out);
          ++i;
        } else {
          out.push_back(c);
        }
      } else {
        out.push_back(c);
      }
    }
  }

  bool Compile() {
    if (!dirty_) return compiled_;
    Drop();
    dirty_ = false;
    int err = 0;
    PCRE2_SIZE off = 0;
    uint32_t opts = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_BACKSLASH_C;
    if (ignoreCase_) opts |= PCRE2_CASELESS;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern_.data()), pattern_.size(), opts, &err, &off, cctx_);
    if (!code_) return compiled_ = false;
    md_ = pcre2_match_data_create_from_pattern(code_, nullptr);
    if (!md_) return compiled_ = false;
    groups_ = 0;
    pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &groups_);
    BuildGate();
    // Machine code where the processor and the library allow it; the interpreter otherwise.
    if (pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) == 0) {
      if (!jitStack_) {
        jitStack_ = pcre2_jit_stack_create(32 * 1024, 4 * 1024 * 1024, nullptr);
        if (jitStack_) pcre2_jit_stack_assign(mctx_, nullptr, jitStack_);
      }
    }
    return compiled_ = true;
  }
  void Drop() {
    if (md_) pcre2_match_data_free(md_);
    if (code_) pcre2_code_free(code_);
    md_ = nullptr;
    code_ = nullptr;
    compiled_ = false;
  }

  const ICodePage& cp_;
  std::u16string pattern_;
  bool ignoreCase_ = false;
  bool global_ = false;
  bool dirty_ = true;
  bool compiled_ = false;
  uint32_t groups_ = 0;
  bool gated_ = false;
  bool gate_[256] = {};
  std::string subjectBytes_, replacementBytes_;
  std::u16string subject_, replacement_, out_;
  bool subjectSet_ = false, replacementSet_ = false;
  pcre2_code* code_ = nullptr;
  pcre2_match_data* md_ = nullptr;
  pcre2_match_context* mctx_ = nullptr;
  pcre2_compile_context* cctx_ = nullptr;
  pcre2_jit_stack* jitStack_ = nullptr;
};

class PcreFactory final : public IRegexFactory {
 public:
  explicit PcreFactory(const ICodePage& cp) : cp_(cp) {}
  bool Available() const override { return true; }
  std::unique_ptr<IRegex> Create() override { return std::make_unique<PcreRegex>(cp_); }

 private:
  const ICodePage& cp_;
};

}  // namespace

bool PcreJitWorks() {
  int err = 0;
  PCRE2_SIZE off = 0;
  const char16_t pattern[] = u"a";
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), 1, 0, &err, &off, nullptr);
  const bool works = code && pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
  pcre2_code_free(code);
  return works;
}

std::unique_ptr<IRegexFactory> MakePcreRegexFactory(const ICodePage& cp) { return std::make_unique<PcreFactory>(cp); }

}  // namespace qlk
