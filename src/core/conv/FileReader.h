#pragma once
// A reader that takes a whole file into one string and reports every failure as an exception
// carrying a ready-made message: the failure's fixed text, a colon and the file name.
#include <cstdio>
#include <string>
#include <string_view>

#include "app/Texts.h"

namespace qlk {

class ICodePage;
class IFiles;

class CKorvuFileException {
 public:
  CKorvuFileException(Txt id, std::string name) : id_(id), name_(std::move(name)) {}
  Txt Id() const { return id_; }
  // The file name as it was given (Shift-JIS).
  const std::string& Name() const { return name_; }
  // The message to show: the fixed text, ":" and the name.
  Message ToMessage(const ICodePage& cp) const;

 private:
  Txt id_;
  std::string name_;
};

class CFileReader {
 public:
  explicit CFileReader(IFiles& files) : files_(files) {}
  ~CFileReader();  // closes a stream still open, without reporting
  CFileReader(const CFileReader&) = delete;
  CFileReader& operator=(const CFileReader&) = delete;

  // Opens with the C library's mode; throws the open message (with the name given).
  bool OpenReader(std::string_view name, const char* mode);
  // True at once without a stream; throws the close message when closing fails.
  bool CloseReader();
  // Origins as the C library's: SEEK_SET, SEEK_CUR, SEEK_END.
  void SeekTo(long long offset, int origin);
  long long GetPos();
  long long GetSize();
  // Up to `count` bytes; throws the read message when the stream reports an error.
  size_t ReadBytes(char* buffer, size_t count);
  // The whole file, ending at its first zero byte.
  std::string ReadAll();

 private:
  [[noreturn]] void Fail(Txt id) const { throw CKorvuFileException(id, name_); }
  IFiles& files_;
  std::FILE* stream_ = nullptr;
  std::string name_;
};

}  // namespace qlk
