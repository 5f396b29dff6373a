#include "conv/FileReader.h"

#include <cstring>
#include <new>

#include "platform/CodePage.h"
#include "platform/Files.h"

namespace qlk {

Message CKorvuFileException::ToMessage(const ICodePage& cp) const {
  return {id_, std::string(TextOf(id_)) + ":" + cp.SjisToUtf8(name_)};
}

CFileReader::~CFileReader() {
  if (stream_) std::fclose(stream_);
}

bool CFileReader::OpenReader(std::string_view name, const char* mode) {
  if (stream_) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  name_ = std::string(name);
  stream_ = files_.OpenStream(name, mode);
  if (!stream_) Fail(Txt::FileOpenFailed);
  return true;
}

bool CFileReader::CloseReader() {
  if (!stream_) return true;
  std::FILE* f = stream_;
  stream_ = nullptr;
  if (std::fclose(f) != 0) Fail(Txt::FileCloseFailed);
  return true;
}

void CFileReader::SeekTo(long long offset, int origin) {
  // A stream that was never opened cannot be positioned either.
  if (!stream_ || std::fseek(stream_, static_cast<long>(offset), origin) != 0) Fail(Txt::FileSeekFailed);
}

long long CFileReader::GetPos() { return stream_ ? std::ftell(stream_) : -1; }

long long CFileReader::GetSize() {
  long long here = GetPos();
  SeekTo(0, SEEK_END);
  long long size = GetPos();
  SeekTo(here, SEEK_SET);
  return size;
}

size_t CFileReader::ReadBytes(char* buffer, size_t count) {
  if (!stream_) Fail(Txt::FileReadFailed);
  size_t n = std::fread(buffer, 1, count, stream_);
  if (std::ferror(stream_)) Fail(Txt::FileReadFailed);
  return n;
}

std::string CFileReader::ReadAll() {
  long long size = GetSize();
  if (size < 0) Fail(Txt::FileSeekFailed);
  std::string text;
  try {
    text.resize(static_cast<size_t>(size) + 1);
  } catch (const std::bad_alloc&) {
    Fail(Txt::FileBufferFailed);
  } catch (const std::length_error&) {
    Fail(Txt::FileBufferFailed);
  }
  size_t n = ReadBytes(text.data(), static_cast<size_t>(size));
  text.resize(n);
  // The text stops at its first zero byte, as a C string of the buffer would.
  text.resize(std::strlen(text.c_str()));
  return text;
}

}  // namespace qlk
