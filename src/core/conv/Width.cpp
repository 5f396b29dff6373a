#include "conv/Width.h"

#include <algorithm>

#include "conv/Sjis.h"

namespace qlk {
namespace {

// ---- the ASCII width table ----
// Digits and letters follow JIS X 0208 row 3; the other printable bytes pair as listed.
struct AsciiPair {
  unsigned char ascii;
  uint16_t full;
};
constexpr AsciiPair kAsciiOthers[] = {
    {0x20, 0x8140},  // 　
    {'!', 0x8149},   // ！
    {'"', 0x8168},   // ”
    {'#', 0x8194},   // ＃
    {'$', 0x8190},   // ＄
    {'%', 0x8193},   // ％
    {'&', 0x8195},   // ＆
    {'\'', 0x8166},  // ’
    {'(', 0x8169},   // （
    {')', 0x816A},   // ）
    {'*', 0x8196},   // ＊
    {'+', 0x817B},   // ＋
    {',', 0x8143},   // ，
    {'-', 0x817C},   // －
    {'.', 0x8144},   // ．
    {'/', 0x815E},   // ／
    {':', 0x8146},   // ：
    {';', 0x8147},   // ；
    {'<', 0x8183},   // ＜
    {'=', 0x8181},   // ＝
    {'>', 0x8184},   // ＞
    {'?', 0x8148},   // ？
    {'@', 0x8197},   // ＠
    {'[', 0x816D},   // ［
    {'\\', 0x818F},  // ￥
    {']', 0x816E},   // ］
    {'^', 0x814F},   // ＾
    {'_', 0x8151},   // ＿
    {'`', 0x8165},   // ‘
    {'{', 0x816F},   // ｛
    {'|', 0x8162},   // ｜
    {'}', 0x8170},   // ｝
    {'~', 0x8150},   // ￣
};
static_assert(std::size(kAsciiOthers) == 33);

constexpr std::array<uint16_t, 0x5F> BuildAsciiWide() {
  std::array<uint16_t, 0x5F> t{};
  for (int i = 0; i < 10; ++i) t['0' + i - 0x20] = static_cast<uint16_t>(0x824F + i);
  for (int i = 0; i < 26; ++i) {
    t['A' + i - 0x20] = static_cast<uint16_t>(0x8260 + i);
    t['a' + i - 0x20] = static_cast<uint16_t>(0x8281 + i);
  }
  for (const AsciiPair& p : kAsciiOthers) t[p.ascii - 0x20] = p.full;
  return t;
}
constexpr std::array<uint16_t, 0x5F> kAsciiWide = BuildAsciiWide();  // by byte - 0x20

// ---- the kana width table ----
// Each half-width byte, what it widens to, and every full-width character that narrows to it.
struct KanaRow {
  unsigned char half;
  uint16_t widen;
  std::array<uint16_t, 6> from;  // 0 ends the list
};
constexpr KanaRow kKanaRows[] = {
    {0xA1, 0x8142, {0x8142}},                                          // ｡ 。
    {0xA2, 0x8175, {0x8175}},                                          // ｢ 「
    {0xA3, 0x8176, {0x8176}},                                          // ｣ 」
    {0xA4, 0x8141, {0x8141}},                                          // ､ 、
    {0xA5, 0x8145, {0x8145}},                                          // ･ ・
    {0xA6, 0x8392, {0x8392, 0x82F0}},                                  // ｦ ヲ を
    {0xA7, 0x8340, {0x8340, 0x829F}},                                  // ｧ ァ ぁ
    {0xA8, 0x8342, {0x8342, 0x82A1}},                                  // ｨ ィ ぃ
    {0xA9, 0x8344, {0x8344, 0x82A3}},                                  // ｩ ゥ ぅ
    {0xAA, 0x8346, {0x8346, 0x82A5}},                                  // ｪ ェ ぇ
    {0xAB, 0x8348, {0x8348, 0x82A7}},                                  // ｫ ォ ぉ
    {0xAC, 0x8383, {0x8383, 0x82E1}},                                  // ｬ ャ ゃ
    {0xAD, 0x8385, {0x8385, 0x82E3}},                                  // ｭ ュ ゅ
    {0xAE, 0x8387, {0x8387, 0x82E5}},                                  // ｮ ョ ょ
    {0xAF, 0x8362, {0x8362, 0x82C1}},                                  // ｯ ッ っ
    {0xB0, 0x815B, {0x815B}},                                          // ｰ ー
    {0xB1, 0x8341, {0x8341, 0x82A0}},                                  // ｱ ア あ
    {0xB2, 0x8343, {0x8343, 0x8390, 0x82A2, 0x82EE}},                  // ｲ イ ヰ い ゐ
    {0xB3, 0x8345, {0x8345, 0x8394, 0x82A4}},                          // ｳ ウ ヴ う
    {0xB4, 0x8347, {0x8347, 0x8391, 0x82A6, 0x82EF}},                  // ｴ エ ヱ え ゑ
    {0xB5, 0x8349, {0x8349, 0x82A8}},                                  // ｵ オ お
    {0xB6, 0x834A, {0x834A, 0x834B, 0x8395, 0x82A9, 0x82AA}},          // ｶ カ ガ ヵ か が
    {0xB7, 0x834C, {0x834C, 0x834D, 0x82AB, 0x82AC}},                  // ｷ キ ギ き ぎ
    {0xB8, 0x834E, {0x834E, 0x834F, 0x82AD, 0x82AE}},                  // ｸ ク グ く ぐ
    {0xB9, 0x8350, {0x8350, 0x8351, 0x8396, 0x82AF, 0x82B0}},          // ｹ ケ ゲ ヶ け げ
    {0xBA, 0x8352, {0x8352, 0x8353, 0x82B1, 0x82B2}},                  // ｺ コ ゴ こ ご
    {0xBB, 0x8354, {0x8354, 0x8355, 0x82B3, 0x82B4}},                  // ｻ サ ザ さ ざ
    {0xBC, 0x8356, {0x8356, 0x8357, 0x82B5, 0x82B6}},                  // ｼ シ ジ し じ
    {0xBD, 0x8358, {0x8358, 0x8359, 0x82B7, 0x82B8}},                  // ｽ ス ズ す ず
    {0xBE, 0x835A, {0x835A, 0x835B, 0x82B9, 0x82BA}},                  // ｾ セ ゼ せ ぜ
    {0xBF, 0x835C, {0x835C, 0x835D, 0x82BB, 0x82BC}},                  // ｿ ソ ゾ そ ぞ
    {0xC0, 0x835E, {0x835E, 0x835F, 0x82BD, 0x82BE}},                  // ﾀ タ ダ た だ
    {0xC1, 0x8360, {0x8360, 0x8361, 0x82BF, 0x82C0}},                  // ﾁ チ ヂ ち ぢ
    {0xC2, 0x8363, {0x8363, 0x8364, 0x82C2, 0x82C3}},                  // ﾂ ツ ヅ つ づ
    {0xC3, 0x8365, {0x8365, 0x8366, 0x82C4, 0x82C5}},                  // ﾃ テ デ て で
    {0xC4, 0x8367, {0x8367, 0x8368, 0x82C6, 0x82C7}},                  // ﾄ ト ド と ど
    {0xC5, 0x8369, {0x8369, 0x82C8}},                                  // ﾅ ナ な
    {0xC6, 0x836A, {0x836A, 0x82C9}},                                  // ﾆ ニ に
    {0xC7, 0x836B, {0x836B, 0x82CA}},                                  // ﾇ ヌ ぬ
    {0xC8, 0x836C, {0x836C, 0x82CB}},                                  // ﾈ ネ ね
    {0xC9, 0x836D, {0x836D, 0x82CC}},                                  // ﾉ ノ の
    {0xCA, 0x836E, {0x836E, 0x836F, 0x8370, 0x82CD, 0x82CE, 0x82CF}},  // ﾊ ハ バ パ は ば ぱ
    {0xCB, 0x8371, {0x8371, 0x8372, 0x8373, 0x82D0, 0x82D1, 0x82D2}},  // ﾋ ヒ ビ ピ ひ び ぴ
    {0xCC, 0x8374, {0x8374, 0x8375, 0x8376, 0x82D3, 0x82D4, 0x82D5}},  // ﾌ フ ブ プ ふ ぶ ぷ
    {0xCD, 0x8377, {0x8377, 0x8378, 0x8379, 0x82D6, 0x82D7, 0x82D8}},  // ﾍ ヘ ベ ペ へ べ ぺ
    {0xCE, 0x837A, {0x837A, 0x837B, 0x837C, 0x82D9, 0x82DA, 0x82DB}},  // ﾎ ホ ボ ポ ほ ぼ ぽ
    {0xCF, 0x837D, {0x837D, 0x82DC}},                                  // ﾏ マ ま
    {0xD0, 0x837E, {0x837E, 0x82DD}},                                  // ﾐ ミ み
    {0xD1, 0x8380, {0x8380, 0x82DE}},                                  // ﾑ ム む
    {0xD2, 0x8381, {0x8381, 0x82DF}},                                  // ﾒ メ め
    {0xD3, 0x8382, {0x8382, 0x82E0}},                                  // ﾓ モ も
    {0xD4, 0x8384, {0x8384, 0x82E2}},                                  // ﾔ ヤ や
    {0xD5, 0x8386, {0x8386, 0x82E4}},                                  // ﾕ ユ ゆ
    {0xD6, 0x8388, {0x8388, 0x82E6}},                                  // ﾖ ヨ よ
    {0xD7, 0x8389, {0x8389, 0x82E7}},                                  // ﾗ ラ ら
    {0xD8, 0x838A, {0x838A, 0x82E8}},                                  // ﾘ リ り
    {0xD9, 0x838B, {0x838B, 0x82E9}},                                  // ﾙ ル る
    {0xDA, 0x838C, {0x838C, 0x82EA}},                                  // ﾚ レ れ
    {0xDB, 0x838D, {0x838D, 0x82EB}},                                  // ﾛ ロ ろ
    {0xDC, 0x838F, {0x838F, 0x838E, 0x82ED, 0x82EC}},                  // ﾜ ワ ヮ わ ゎ (widens to ワ)
    {0xDD, 0x8393, {0x8393, 0x82F1}},                                  // ﾝ ン ん
    {0xDE, 0x814A, {0x814A}},                                          // ﾞ ゛
    {0xDF, 0x814B, {0x814B}},                                          // ﾟ ゜
};
static_assert(std::size(kKanaRows) == 0xDF - 0xA1 + 1);

// Narrow forms of the double-byte characters with lead bytes 0x81-0x83, where every
// full-width member of both tables lies; 0 for none. The ASCII table wins where both list a
// character (none does today, but that is the order of the lookup).
constexpr std::array<unsigned char, 3 * 256> BuildNarrow() {
  std::array<unsigned char, 3 * 256> t{};
  for (const KanaRow& r : kKanaRows)
    for (uint16_t f : r.from)
      if (f) t[f - 0x8100] = r.half;
  for (int b = 0x20; b <= 0x7E; ++b) t[kAsciiWide[b - 0x20] - 0x8100] = static_cast<unsigned char>(b);
  return t;
}
constexpr std::array<unsigned char, 3 * 256> kNarrow = BuildNarrow();

constexpr VoicedKana kVoiced[26] = {
    {0x834B, 0x82AA, 0xB6, 0xDE},  // ガ が ｶﾞ
    {0x834D, 0x82AC, 0xB7, 0xDE},  // ギ ぎ ｷﾞ
    {0x834F, 0x82AE, 0xB8, 0xDE},  // グ ぐ ｸﾞ
    {0x8351, 0x82B0, 0xB9, 0xDE},  // ゲ げ ｹﾞ
    {0x8353, 0x82B2, 0xBA, 0xDE},  // ゴ ご ｺﾞ
    {0x8355, 0x82B4, 0xBB, 0xDE},  // ザ ざ ｻﾞ
    {0x8357, 0x82B6, 0xBC, 0xDE},  // ジ じ ｼﾞ
    {0x8359, 0x82B8, 0xBD, 0xDE},  // ズ ず ｽﾞ
    {0x835B, 0x82BA, 0xBE, 0xDE},  // ゼ ぜ ｾﾞ
    {0x835D, 0x82BC, 0xBF, 0xDE},  // ゾ ぞ ｿﾞ
    {0x835F, 0x82BE, 0xC0, 0xDE},  // ダ だ ﾀﾞ
    {0x8361, 0x82C0, 0xC1, 0xDE},  // ヂ ぢ ﾁﾞ
    {0x8364, 0x82C3, 0xC2, 0xDE},  // ヅ づ ﾂﾞ
    {0x8366, 0x82C5, 0xC3, 0xDE},  // デ で ﾃﾞ
    {0x8368, 0x82C7, 0xC4, 0xDE},  // ド ど ﾄﾞ
    {0x836F, 0x82CE, 0xCA, 0xDE},  // バ ば ﾊﾞ
    {0x8372, 0x82D1, 0xCB, 0xDE},  // ビ び ﾋﾞ
    {0x8375, 0x82D4, 0xCC, 0xDE},  // ブ ぶ ﾌﾞ
    {0x8378, 0x82D7, 0xCD, 0xDE},  // ベ べ ﾍﾞ
    {0x837B, 0x82DA, 0xCE, 0xDE},  // ボ ぼ ﾎﾞ
    {0x8370, 0x82CF, 0xCA, 0xDF},  // パ ぱ ﾊﾟ
    {0x8373, 0x82D2, 0xCB, 0xDF},  // ピ ぴ ﾋﾟ
    {0x8376, 0x82D5, 0xCC, 0xDF},  // プ ぷ ﾌﾟ
    {0x8379, 0x82D8, 0xCD, 0xDF},  // ペ ぺ ﾍﾟ
    {0x837C, 0x82DB, 0xCE, 0xDF},  // ポ ぽ ﾎﾟ
    {0x8394, 0x8394, 0xB3, 0xDE},  // ヴ ヴ ｳﾞ
};

constexpr uint16_t kNumerals[10] = {
    0x815A,  // 〇
    0x88EA,  // 一
    0x93F1,  // 二
    0x8E4F,  // 三
    0x8E6C,  // 四
    0x8CDC,  // 五
    0x985A,  // 六
    0x8EB5,  // 七
    0x94AA,  // 八
    0x8BE3,  // 九
};

constexpr uint16_t kHyphen = 0x815D;  // ‐
constexpr uint16_t kTimes = 0x817E;   // ×
constexpr uint16_t kDivide = 0x8180;  // ÷

// What one full-width character becomes: nothing (copied), one byte, or a voiced pair.
struct Narrowed {
  int count = 0;
  unsigned char b[2] = {0, 0};
};
constexpr Narrowed One(unsigned char b) { return {1, {b, 0}}; }
Narrowed Pair(const VoicedKana& v) { return {2, {v.base, v.mark}}; }

// The per-character rules, as the commands define them; the converters tabulate them.
Narrowed ZenToHanChar(uint16_t c, int kind) {
  const uint16_t h = NarrowChar(c);
  switch (kind) {
    case kWidthAll:
      if (IsHiragana(c) || IsKatakana(c))
        if (const VoicedKana* v = VoicedOfFull(c)) return Pair(*v);
      if (h != c) return One(static_cast<unsigned char>(h));
      if (c == kHyphen) return One('-');
      if (c == kTimes) return One('*');
      if (c == kDivide) return One('/');
      return {};
    case kWidthKindAlpha:
      return (h != c && IsAsciiLetter(h)) ? One(static_cast<unsigned char>(h)) : Narrowed{};
    case kWidthKindDigit:
      return (IsDigitChar(c) && h != c) ? One(static_cast<unsigned char>(h)) : Narrowed{};
    case kWidthKindKana:
      if (IsKatakana(c)) {
        for (const VoicedKana& v : kVoiced)
          if (v.katakana == c) return Pair(v);
      }
      if ((IsKatakana(c) || IsSymbolBlock(c)) && h != c) return One(static_cast<unsigned char>(h));
      return {};
    default:
      return {};
  }
}

Narrowed ZenToHanSwChar(uint16_t c, int f) {
  if ((IsKatakana(c) && (f & kWidthKatakana)) || (IsHiragana(c) && (f & kWidthHiragana)))
    if (const VoicedKana* v = VoicedOfFull(c)) return Pair(*v);
  if (f & kWidthKanjiNumeral) {
    int n = KanjiNumeralValue(c);
    if (n >= 0) return One(static_cast<unsigned char>('0' + n));
  }
  const uint16_t h = NarrowChar(c);
  const uint16_t l = h & 0xFF;
  const bool letter = IsAsciiLetter(l), digit = IsDigitChar(c), kata = IsKatakana(c), hira = IsHiragana(c),
             punct = IsAsciiPunct(l), white = IsWhiteChar(l);
  const bool selected = (letter && (f & kWidthAlpha)) || (digit && (f & kWidthDigit)) ||
                        (kata && (f & kWidthKatakana)) || (IsSymbolBlock(c) && (f & kWidthKatakana)) ||
                        (punct && (f & kWidthAsciiSymbol)) || (white && (f & kWidthAsciiSymbol)) ||
                        (hira && (f & kWidthHiragana)) ||
                        ((f & kWidthJapaneseSymbol) && !(letter || digit || kata || hira || punct || white));
  if (selected && h != c) return One(static_cast<unsigned char>(h));
  if (c == kHyphen) return One('-');  // whatever the flags
  return {};
}

template <class Rule>
std::array<uint32_t, 3 * 256> Tabulate(Rule rule) {
  std::array<uint32_t, 3 * 256> t{};
  for (unsigned i = 0; i < t.size(); ++i) {
    Narrowed n = rule(static_cast<uint16_t>(0x8100 + i));
    if (n.count) t[i] = static_cast<uint32_t>(n.count) << 16 | n.b[0] << 8 | n.b[1];
  }
  return t;
}

// Whether the half-width byte takes part in the kana rules (voiced pairs, katakana widening).
bool HanToZenSelected(unsigned char c, int f) {
  const bool letter = IsAsciiLetter(c), digit = IsDigitChar(c), kana = sjis::IsHalfKana(c),
             punct = c < 0x7F && IsAsciiPunct(c), white = IsWhiteChar(c);
  return (letter && (f & kWidthAlpha)) || (digit && (f & kWidthDigit)) || (kana && (f & kWidthKatakana)) ||
         (punct && (f & kWidthAsciiSymbol)) || (white && (f & kWidthAsciiSymbol)) ||
         ((f & kWidthJapaneseSymbol) && !(letter || digit || kana || punct || white));
}

bool HanToZenKindSelected(unsigned char c, int kind) {
  switch (kind) {
    case kWidthAll:
      return true;
    case kWidthKindAlpha:
      return IsAsciiLetter(c);
    case kWidthKindDigit:
      return c >= '0' && c <= '9';
    case kWidthKindKana:
      return sjis::IsHalfKana(c);
    default:
      return false;
  }
}

}  // namespace

uint16_t NarrowChar(uint16_t c) {
  if (c < 0x8100 || c > 0x83FF) return c;
  unsigned char h = kNarrow[c - 0x8100];
  return h ? h : c;
}

uint16_t WidenChar(uint16_t c) {
  if (c >= 0x20 && c <= 0x7E) return kAsciiWide[c - 0x20];
  if (c >= 0xA1 && c <= 0xDF) return kKanaRows[c - 0xA1].widen;
  return c;
}

std::span<const VoicedKana, 26> VoicedKanaTable() { return std::span<const VoicedKana, 26>(kVoiced); }

const VoicedKana* VoicedOfFull(uint16_t c) {
  for (const VoicedKana& v : kVoiced)
    if (v.katakana == c) return &v;
  for (const VoicedKana& v : kVoiced)
    if (v.hiragana == c) return &v;
  return nullptr;
}

const VoicedKana* VoicedOfHalf(unsigned char base, unsigned char mark) {
  for (const VoicedKana& v : kVoiced)
    if (v.base == base && v.mark == mark) return &v;
  return nullptr;
}

std::span<const uint16_t, 10> KanjiNumerals() { return std::span<const uint16_t, 10>(kNumerals); }

int KanjiNumeralValue(uint16_t c) {
  for (int i = 0; i < 10; ++i)
    if (kNumerals[i] == c) return i;
  return -1;
}

// ---- full width to half width ----

ZenToHanConverter ZenToHanConverter::ForKind(int kind) {
  ZenToHanConverter z;
  z.map_ = Tabulate([kind](uint16_t c) { return ZenToHanChar(c, kind); });
  return z;
}

ZenToHanConverter ZenToHanConverter::ForFlags(int flags) {
  flags &= kWidthFlagMask;
  ZenToHanConverter z;
  z.map_ = Tabulate([flags](uint16_t c) { return ZenToHanSwChar(c, flags); });
  z.numerals_ = (flags & kWidthKanjiNumeral) != 0;
  return z;
}

bool ZenToHanConverter::Convert(std::string_view in, std::string& out) const {
  out.clear();
  size_t stop = in.size();
  return Append(in, stop, out);
}

size_t ZenToHanConverter::AppendPiece(std::string_view in, bool ends, std::string& out) const {
  // A lead byte takes the byte after it: the last byte waits for the next piece.
  size_t stop = ends ? in.size() : in.size() - std::min<size_t>(in.size(), 1);
  Append(in, stop, out);
  return stop;
}

bool ZenToHanConverter::Append(std::string_view in, size_t& stop, std::string& out) const {
  const size_t n = in.size();
  const size_t at = out.size();
  out.resize(at + n);  // a character never narrows to more bytes than it has
  const auto* s = reinterpret_cast<const unsigned char*>(in.data());
  char* o = out.data() + at;
  bool changed = false;
  size_t i = 0;
  while (i < stop) {
    const unsigned char b = s[i];
    if (!sjis::IsLead(b) || i + 1 == n) {  // a lone lead byte at the end is copied as it is
      *o++ = static_cast<char>(b);
      ++i;
      continue;
    }
    const unsigned char t = s[i + 1];
    uint32_t e = 0;
    if (b >= 0x81 && b <= 0x83) {
      e = map_[(b - 0x81) * 256 + t];
    } else if (numerals_) {
      int v = KanjiNumeralValue(static_cast<uint16_t>(b << 8 | t));
      if (v >= 0) e = 1u << 16 | static_cast<uint32_t>('0' + v) << 8;
    }
    if (e == 0) {
      o[0] = static_cast<char>(b);
      o[1] = static_cast<char>(t);
      o += 2;
    } else {
      *o++ = static_cast<char>(e >> 8 & 0xFF);
      if ((e >> 16) == 2) *o++ = static_cast<char>(e & 0xFF);
      changed = true;
    }
    i += 2;
  }
  out.resize(static_cast<size_t>(o - out.data()));
  stop = i;
  return changed;
}

// ---- half width to full width ----

HanToZenConverter HanToZenConverter::ForKind(int kind) {
  HanToZenConverter z;
  for (unsigned c = 0; c < 256; ++c) {
    uint16_t w = WidenChar(static_cast<uint16_t>(c));
    if (w != c && HanToZenKindSelected(static_cast<unsigned char>(c), kind)) z.map_[c] = w;
  }
  z.voiced_ = kind == kWidthAll || kind == kWidthKindKana;
  return z;
}

HanToZenConverter HanToZenConverter::ForFlags(int flags) {
  flags &= kWidthFlagMask;
  HanToZenConverter z;
  for (unsigned c = 0; c < 256; ++c) {
    uint16_t w = WidenChar(static_cast<uint16_t>(c));
    if (w != c && HanToZenSelected(static_cast<unsigned char>(c), flags)) z.map_[c] = w;
  }
  z.voiced_ = (flags & kWidthKatakana) != 0;
  return z;
}

bool HanToZenConverter::Convert(std::string_view in, std::string& out) const {
  out.clear();
  size_t stop = in.size();
  return Append(in, stop, out);
}

size_t HanToZenConverter::AppendPiece(std::string_view in, bool ends, std::string& out) const {
  // A lead byte takes the byte after it and a kana its voicing mark: the last byte waits.
  size_t stop = ends ? in.size() : in.size() - std::min<size_t>(in.size(), 1);
  Append(in, stop, out);
  return stop;
}

bool HanToZenConverter::Append(std::string_view in, size_t& stop, std::string& out) const {
  const size_t n = in.size();
  const size_t at = out.size();
  out.resize(at + 2 * n);  // every byte may widen to two; the line is never cut
  const auto* s = reinterpret_cast<const unsigned char*>(in.data());
  char* o = out.data() + at;
  bool changed = false;
  size_t i = 0;
  auto put = [&o](uint16_t w) {
    o[0] = static_cast<char>(w >> 8);
    o[1] = static_cast<char>(w & 0xFF);
    o += 2;
  };
  while (i < stop) {
    const unsigned char b = s[i];
    if (sjis::IsLead(b) && i + 1 < n) {
      o[0] = static_cast<char>(b);
      o[1] = static_cast<char>(s[i + 1]);
      o += 2;
      i += 2;
      continue;
    }
    if (voiced_ && sjis::IsHalfKana(b) && i + 1 < n && (s[i + 1] == kVoicedMark || s[i + 1] == kSemiVoicedMark)) {
      if (const VoicedKana* v = VoicedOfHalf(b, s[i + 1])) {
        put(v->katakana);
        changed = true;
        i += 2;
        continue;
      }
      // No voiced form (ｱﾞ, or a mark after a mark): the base alone, the mark next.
    }
    if (uint16_t w = map_[b]) {
      put(w);
      changed = true;
    } else {
      *o++ = static_cast<char>(b);
    }
    ++i;
  }
  out.resize(static_cast<size_t>(o - out.data()));
  stop = i;
  return changed;
}

namespace {

const ZenToHanConverter* ZenKind(int kind) {
  static const ZenToHanConverter k[4] = {ZenToHanConverter::ForKind(0), ZenToHanConverter::ForKind(1),
                                         ZenToHanConverter::ForKind(2), ZenToHanConverter::ForKind(3)};
  return kind >= 0 && kind < 4 ? &k[kind] : nullptr;
}

const HanToZenConverter* HanKind(int kind) {
  static const HanToZenConverter k[4] = {HanToZenConverter::ForKind(0), HanToZenConverter::ForKind(1),
                                         HanToZenConverter::ForKind(2), HanToZenConverter::ForKind(3)};
  return kind >= 0 && kind < 4 ? &k[kind] : nullptr;
}

template <class Conv>
std::string Run(const Conv* c, std::string_view line) {
  if (!c) return std::string(line);
  std::string out;
  c->Convert(line, out);
  return out;
}

}  // namespace

std::string ZenToHanLine(std::string_view line, int kind) { return Run(ZenKind(kind), line); }
std::string HanToZenLine(std::string_view line, int kind) { return Run(HanKind(kind), line); }

std::string ZenToHanSwLine(std::string_view line, int flags) {
  ZenToHanConverter c = ZenToHanConverter::ForFlags(flags);
  return Run(&c, line);
}

std::string HanToZenSwLine(std::string_view line, int flags) {
  HanToZenConverter c = HanToZenConverter::ForFlags(flags);
  return Run(&c, line);
}

}  // namespace qlk
