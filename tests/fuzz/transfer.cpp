// Fuzz target: the transfer encodings and the code listings. Encoders and decoders make the
// round trip where the pair is one-to-one (Base64 exactly; URL escapes and the listings but
// for the zero bytes they drop; uuencoded lines, even with their trailing blanks stripped;
// MIME encoded words of JIS text), every decoder stays within its bound on any bytes, the
// forms that write into a room given beforehand stay in it and agree with the string forms,
// and the processor's fast paths give the bytes of the portable ones.
#include <algorithm>

#include "Fakes.h"
#include "FuzzTarget.h"
#include "conv/Cpu.h"
#include "conv/Jis.h"
#include "conv/Transfer.h"

using namespace qlk;

namespace {

std::string WithoutZeros(std::string_view s) {
  std::string o(s);
  o.erase(std::remove(o.begin(), o.end(), '\0'), o.end());
  return o;
}

// Into a room of exactly `room` bytes, which ASan guards at its end.
template <class Put>
std::string IntoRoom(size_t room, Put put) {
  std::unique_ptr<char[]> buf(new char[room]);
  const char* end = put(buf.get());
  FUZZ_CHECK(end >= buf.get() && static_cast<size_t>(end - buf.get()) <= room);
  return std::string(buf.get(), static_cast<size_t>(end - buf.get()));
}

std::string Uuencode(std::string_view bytes, bool backquote) {
  auto ch = [&](unsigned v) { return static_cast<char>(v == 0 && backquote ? '`' : 0x20 + v); };
  std::string s(1, ch(static_cast<unsigned>(bytes.size())));
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned char g[3] = {};
    for (size_t k = 0; k < 3 && i + k < bytes.size(); ++k) g[k] = static_cast<unsigned char>(bytes[i + k]);
    s += ch(g[0] >> 2);
    s += ch((g[0] & 3) << 4 | g[1] >> 4);
    s += ch((g[1] & 15) << 2 | g[2] >> 6);
    s += ch(g[2] & 63);
  }
  return s;
}

// Everything that depends on the processor's paths, as one string to compare across them.
std::string Paths(std::string_view bytes, std::string_view lines) {
  std::string all = Base64Encode(bytes) + '|' + Base64Decode(bytes) + '|' + EqualsDecode(bytes) + '|';
  all += IntoRoom(Base64Room(bytes.size()), [&](char* to) { return PutBase64(bytes, to); }) + '|';
  all += IntoRoom(SjisToUrlRoom(bytes.size()), [&](char* to) { return PutSjisToUrl(bytes, to); }) + '|';
  all += IntoRoom(UrlToSjisRoom(bytes.size()), [&](char* to) { return PutUrlToSjis(bytes, to); }) + '|';
  all += IntoRoom(ToMimeRoom(lines.size()), [&](char* to) { return PutToMimeLines(lines, to); }) + '|';
  all += IntoRoom(SjisToUrlRoom(lines.size()), [&](char* to) { return PutSjisToUrlLines(lines, to); }) + '|';
  all += IntoRoom(UrlToSjisRoom(lines.size()), [&](char* to) { return PutUrlToSjisLines(lines, to); });
  return all;
}

}  // namespace

QLK_FUZZ_TARGET(transfer) {
  fuzz::Input in(data, size);
  const uint8_t flags = in.Byte();
  const ICodePage& cp = test::CodePage();
  const std::string text = fuzz::JisText(in, 300, flags & 1);
  const std::string_view bytes = in.Rest();

  // Round trips.
  const std::string b64 = Base64Encode(bytes);
  FUZZ_CHECK(b64.size() == Base64Room(bytes.size()) && Base64Decode(b64) == bytes);
  FUZZ_CHECK(UrlToSjisLine(SjisToUrlLine(bytes)) == WithoutZeros(bytes));
  FUZZ_CHECK(CodeToSjisLine(ToSjisCodeLine(bytes)) == WithoutZeros(bytes));
  const std::string_view uu = bytes.substr(0, 45);
  std::string uuLine = Uuencode(uu, flags & 2);
  FUZZ_CHECK(UudecodeLine(uuLine) == uu);
  while (!uuLine.empty() && uuLine.size() > 1 && uuLine.back() == ' ') uuLine.pop_back();
  FUZZ_CHECK(UudecodeLine(uuLine) == uu);
  if (flags & 1) FUZZ_CHECK(CodeToJisLine(ToJisCodeLine(text)) == text);  // double-byte characters alone
  JisEncoderSettings settings;
  settings.kana = flags >> 2 & 3;
  settings.jis = flags >> 4 & 3;
  JisModes modes, decodeModes;
  const std::string mime = SjisToMimeLine(text, settings, modes);
  FUZZ_CHECK(!modes.twoByte && !modes.kana);
  if (mime != text) FUZZ_CHECK(MimeToSjisLine(cp, mime, decodeModes) == text);

  // Bounds of the decoders on any bytes.
  FUZZ_CHECK(Base64Decode(bytes).size() <= bytes.size() / 4 * 3 + 3);
  FUZZ_CHECK(EqualsDecode(bytes).size() <= bytes.size());
  FUZZ_CHECK(UrlToSjisLine(bytes).size() <= 2 * bytes.size());
  FUZZ_CHECK(CodeToSjisLine(bytes).size() <= bytes.size() && CodeToJisLine(bytes).size() <= bytes.size());
  FUZZ_CHECK(UudecodeLine(bytes).size() <= 63);
  FUZZ_CHECK(DecodeEncodedWords(cp, bytes).size() <= bytes.size());
  JisModes anyModes;
  const std::string decoded = MimeToSjisLine(cp, bytes, anyModes);
  FUZZ_CHECK(decoded.size() <= bytes.size());
  if (bytes.find('\0') == std::string_view::npos) FUZZ_CHECK(decoded.find('\0') == std::string::npos);

  // The room forms against the string forms, line by line and for runs of lines.
  FUZZ_CHECK(IntoRoom(SjisToUrlRoom(bytes.size()), [&](char* to) { return PutSjisToUrl(bytes, to); }) ==
             SjisToUrlLine(bytes));
  FUZZ_CHECK(IntoRoom(UrlToSjisRoom(bytes.size()), [&](char* to) { return PutUrlToSjis(bytes, to); }) ==
             UrlToSjisLine(bytes));
  std::string lines, mimeEach, urlEach, unurlEach;
  for (std::string_view rest = bytes; !rest.empty();) {
    const size_t cut = std::min(rest.find("\r\n"), rest.size());
    const std::string_view line = rest.substr(0, cut);
    lines.append(line) += "\r\n";
    mimeEach += ToMimeLine(line) + "\r\n";
    urlEach += SjisToUrlLine(line) + "\r\n";
    unurlEach += UrlToSjisLine(line) + "\r\n";
    rest.remove_prefix(std::min(cut + 2, rest.size()));
  }
  FUZZ_CHECK(IntoRoom(ToMimeRoom(lines.size()), [&](char* to) { return PutToMimeLines(lines, to); }) == mimeEach);
  FUZZ_CHECK(IntoRoom(SjisToUrlRoom(lines.size()), [&](char* to) { return PutSjisToUrlLines(lines, to); }) == urlEach);
  FUZZ_CHECK(IntoRoom(UrlToSjisRoom(lines.size()), [&](char* to) { return PutUrlToSjisLines(lines, to); }) ==
             unurlEach);

  // Every path of the processor gives the portable bytes.
  const std::string fast = Paths(bytes, lines);
  CpuCap portable(CpuLevel::Portable);
  FUZZ_CHECK(Paths(bytes, lines) == fast);
  return 0;
}
